// Insulation between the windings of a mains choke: the working voltage between adjacent
// windings, the clearance and creepage distance the insulation-coordination tables ask for,
// and the angle each winding's sector gives up on a ring so that its turns keep them.
//
// The insulation is basic: the windings of a common-mode choke sit on different lines of
// the mains, so a flashover between them is a line-to-line or line-to-neutral short ahead
// of the converter, not a path to an accessible part. Enamel on the wire is not
// insulation: distances are measured from the wire's insulated surface as if it were bare.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vtq::safety {

enum class OvervoltageCategory { I = 1, II, III, IV };
// Comparative tracking index: I 600 and above, II 400 to 600, IIIa 175 to 400, IIIb 100 to 175.
enum class MaterialGroup { I, II, IIIa, IIIb };

struct InsulationInputs {
  double lineToNeutral = 230;  // V rms, the highest rated voltage of the system line to neutral
  OvervoltageCategory category = OvervoltageCategory::II;
  int pollutionDegree = 2;  // 1 to 4
  MaterialGroup group = MaterialGroup::IIIa;
  int windings = 2;  // 2: single phase L and N; 3: three-phase lines; 4: three lines and neutral
};

// Line to line of a three-phase system from its line-to-neutral voltage: sqrt(3) times.
double LineToLine(double lineToNeutral);

// Rated impulse voltage, V peak, for equipment fed directly from the mains at this line-to-
// neutral voltage; none above 1000 V, where the table ends.
std::optional<double> RatedImpulseVoltage(double lineToNeutral, OvervoltageCategory category);
// Clearance, m, that withstands `impulse` V peak in an inhomogeneous field below 2000 m, at
// least the pollution degree's least clearance; none above the table's 12 kV.
std::optional<double> ClearanceFor(double impulse, int pollutionDegree);
// Creepage distance, m, that avoids tracking at `working` V rms; none at pollution degree 4
// (no surface stays dry enough to dimension) or above the table's 1000 V.
std::optional<double> CreepageFor(double working, int pollutionDegree, MaterialGroup group);

// One gap of the ring, between two adjacent windings.
struct GapRequirement {
  std::string between;             // "L-N", "L1-L2", "L3-N"
  double workingVoltage;           // V rms across it
  double clearance;                // m
  std::optional<double> creepage;  // m, at least the clearance; none where the table gives none
};
struct InsulationRequirement {
  std::string problem;               // an input outside the tables, said; empty otherwise
  double impulseVoltage = 0;         // V peak
  std::vector<GapRequirement> gaps;  // one per gap of the ring, going round it
  std::string note;                  // a caution the tables attach (IIIb at pollution degree 3)
};
InsulationRequirement RequiredInsulation(const InsulationInputs& inputs);

// The bore of a ring and the wire wound on it, m. The turns lie against the bore, where the
// windings come closest: their centres on the circle of radius inner/2 - wire/2.
struct RingBore {
  double inner = 0, outer = 0;  // diameters
  double wire = 0;              // insulated diameter
};
enum class Binding { Clearance, Creepage, Divider };
struct SectorGap {
  std::string problem;  // the bore cannot part the windings this far; empty otherwise
  // Angle, rad, between the centres of the nearest turns of adjacent windings at the bore,
  // and what the gap takes from the sectors beyond the pitch of two touching turns there.
  double centreAngle = 0, gapAngle = 0;
  // Achieved at that angle, m: the straight line between the turns (none with a divider:
  // the plate stands in the air path), and the path along the coated bore.
  std::optional<double> clearance;
  double creepage = 0;
  Binding binds = Binding::Creepage;
};
// The least angle that meets `gap`'s distances. `divider`: a plate of that thickness, m,
// across the ring between the windings and standing out of the winding on both faces of the
// ring by at least half the clearance, so the air path goes round it; the creepage path then
// runs along the bore under the plate's edge, and the turns lie against its faces.
SectorGap GapBetween(const RingBore& bore, const GapRequirement& gap, std::optional<double> divider = {});

std::string_view BindingName(Binding binding);

}  // namespace vtq::safety
