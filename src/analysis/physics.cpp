#include "analysis/physics.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vtq::analysis {

// clang-format off
const std::array<PhysicalConstant, static_cast<std::size_t>(Physics::Count)> kPhysics{{
    {"enamel_permittivity",  3.5,              "",     "assumption: polyurethane and polyester enamels lie "
                                                        "between 3 and 4"},
    {"vacuum_permittivity",  8.8541878128e-12, "F/m",  "CODATA 2018"},
    {"capacitance_factor",   1.366,            "",     "Massarini and Kazimierczuk, Self-capacitance of inductors, "
                                                        "IEEE Trans. Power Electronics 12(4), 1997: one layer on a "
                                                        "conductive core, 10 turns or more"},
}};
// clang-format on

double Constant(Physics p) {
  return kPhysics[static_cast<std::size_t>(p)].value;
}

double CopperDiameter(int gauge) {
  // The AWG definition: 36 at 0.005 in., 0000 (-3) at 0.46 in., geometric between.
  return 0.127e-3 * std::pow(92.0, (36.0 - gauge) / 39.0);
}

double WindingCapacitance(double turnLength, double bareDiameter, double insulatedDiameter) {
  // Turn-to-turn capacitance of two touching enamelled wires: the field through the
  // enamel within the angle theta, then through the air wedge out to pi/6.
  const double er = Constant(Physics::EnamelPermittivity);
  const double logRatio = std::log(std::max(insulatedDiameter / bareDiameter, 1.0 + 1e-6));
  const double theta = std::acos(std::max(1.0 - logRatio / er, -1.0));
  const double perLength =
      er * theta / logRatio + 1.0 / std::tan(theta / 2) - 1.0 / std::tan(std::numbers::pi / 12);
  const double turnToTurn = Constant(Physics::VacuumPermittivity) * turnLength * perLength;
  // The turns in series, each also facing the core (twice the turn-to-turn capacitance),
  // the core floating: the ladder tends to (1 + sqrt 3) / 2 of one turn-to-turn step.
  return Constant(Physics::CapacitanceFactor) * turnToTurn;
}

}  // namespace vtq::analysis
