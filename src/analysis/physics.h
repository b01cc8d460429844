// The physics beyond the catalogue: the copper of a wire gauge and the self-capacitance
// of a single-layer toroidal winding. The ferrite's permeability is measured (ferrite.h).
#pragma once

#include <array>
#include <string_view>

namespace vtq::analysis {

// A figure the models use that the catalogue does not hold: value, unit and source.
struct PhysicalConstant {
  std::string_view key;  // machine-readable name
  double value;
  std::string_view unit;
  std::string_view source;  // where it comes from, or "assumption: ..." where it is one
};

enum class Physics : std::size_t {
  EnamelPermittivity,
  VacuumPermittivity,
  CapacitanceFactor,  // ladder of turn-to-turn and turn-to-core capacitances
  Count
};
extern const std::array<PhysicalConstant, static_cast<std::size_t>(Physics::Count)> kPhysics;
double Constant(Physics p);

// Bare copper diameter of an AWG gauge, m: 0.127 mm x 92^((36 - n) / 39).
double CopperDiameter(int gauge);

// Self-capacitance, F, of a single-layer winding on a conductive (ferrite) core, from the
// turn length (m), the bare and the insulated diameter of the wire (m).
double WindingCapacitance(double turnLength, double bareDiameter, double insulatedDiameter);

}  // namespace vtq::analysis
