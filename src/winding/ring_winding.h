// Winding a common-mode choke on a ring the user names: n windings, each on its own sector,
// from a requirement or from turns already wound, in SI units, step by step.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "analysis/ferrite.h"
#include "analysis/winding.h"
#include "cores/ring_geometry.h"

namespace vtq::winding {

struct RingRequest {
  cores::RingSize ring;                            // m
  std::string part;                                // the maker's part number; empty for the user's own ring
  std::shared_ptr<const analysis::Ferrite> grade;  // its material
  int windings = 2;                                // 2, 3 or 4
  // The distance between neighbouring windings at the inner circumference, m (what the
  // insulation between them asks). Absent: the catalogue's rule, which lets the windings
  // together fill 83.4 % of the inner circumference with pi wire widths spare in each.
  std::optional<double> gap;
  double inductance = 0;    // H, required of each winding; unused when turns are given
  int turns = 0;            // turns already wound on each winding; 0: from the inductance
  double current = 0;       // A rms in each line
  double density = 0;       // A/cm2, the current density the wire is chosen for
  double temperature = 25;  // C, around the choke: the core's temperature for its permeability
  // How much larger the first winding's current amplitude is than the others', 0.1 = 10 %:
  // the saturation check adds the flux of the current that does not return through the
  // choke (two or three windings) or that the neutral carries (four).
  double unbalance = 0;
};

// One figure of the design as the user reads it: name, value in its unit, and where the
// figure comes from.
struct Step {
  std::string name;
  double value = 0;
  std::string unit;
  std::string how;
};

struct SectorWinding {
  int turns = 0;
  double sectorDeg = 0;  // the angle of the ring the winding takes
  double leakage = 0;    // H, its leakage (differential) inductance
  double current = 0;    // A rms it carries under the check's currents (the neutral: their sum)
};

enum class RingOutcome { Complete, BadInput, DoesNotFit };

struct RingDesign {
  RingOutcome outcome = RingOutcome::BadInput;
  std::string problem;  // why the design is not complete; empty when it is
  std::vector<Step> steps;

  cores::RingFigures figures;                      // le, Ae, Ve
  double permeability = 0;                         // initial, at the request's temperature
  double al = 0;                                   // H per turn squared
  int turns = 0;                                   // per winding
  double inductance = 0;                           // H, one winding, with the whole turns, at the temperature
  double inductanceCold = 0;                       // H, the same at -40 C
  int gauge = 0;                                   // AWG
  double insulatedDiameter = 0, bareDiameter = 0;  // m
  double sectorDeg = 0;                            // each winding's sector
  double fitLimit = 0;                             // m: the thickest wire the sector takes in one layer
  double wireLength = 0;                           // m, one winding with its leads
  double resistance = 0;                           // ohm, one winding at its temperature
  double rise = 0;                                 // C, the copper loss of every winding on the one ring
  double windingTemperature = 0;
  double leakage = 0;                                // H, one winding
  double woundOD = 0, woundID = 0, woundHeight = 0;  // m
  double peakFluxBalanced = 0, peakFlux = 0;         // T: without, and with the unbalance
  double saturation = 0;                             // T, the grade's at the winding temperature
  std::vector<SectorWinding> windings;

  bool Saturates() const { return peakFlux > saturation; }
};

RingDesign WindOnRing(const RingRequest& q);

// The design as the winding description the impedance, emission, circuit-model and MAS code
// take: one winding of the n, with the ring's grade, le, Ae and sector.
analysis::Winding WindingOf(const RingDesign& design, const RingRequest& q);

// The leakage model's angle term for a winding over `theta` radians of a ring (Nave):
// theta / (4 pi) + sin(theta / 2) / pi. The leakage permeability goes as le / (De x this).
double SectorTerm(double theta);

// The sector the catalogue's rule gives each of two windings, degrees: 0.417 x 360.
inline constexpr double kCatalogueSectorDeg = 0.417 * 360;

}  // namespace vtq::winding
