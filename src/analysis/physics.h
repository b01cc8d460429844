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
  CoatingThickness,  // the insulating coat over the ferrite the turns lie on
  CoatingPermittivity,
  Count
};
extern const std::array<PhysicalConstant, static_cast<std::size_t>(Physics::Count)> kPhysics;
double Constant(Physics p);

// Bare copper diameter of an AWG gauge, m: 0.127 mm x 92^((36 - n) / 39).
double CopperDiameter(int gauge);

// One winding of a common-mode choke: one layer of round enamelled wire on a coated,
// conductive (MnZn) toroid or a stack of them, all lengths in m.
struct ToroidWinding {
  int turns = 0;
  double bareDiameter = 0, insulatedDiameter = 0;           // the wire
  double outerDiameter = 0, innerDiameter = 0, height = 0;  // the bare core, height of the stack
  // rad the N turns are spread over, evenly; 0 or less than they take touching at the
  // inner diameter: touching there.
  double sector = 0;
};

struct WindingCapacitances {
  double turnToTurn = 0;  // F, between two neighbouring turns
  double turnToCore = 0;  // F, between one turn and the core
  double total = 0;       // F, across the winding's ends, the core floating
  double sector = 0;      // rad, the angle the winding covers
};

// The self-capacitance of the winding; its turns open from the inner diameter towards the
// outer one.
WindingCapacitances WindingCapacitance(const ToroidWinding& winding);

}  // namespace vtq::analysis
