#include "analysis/physics.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vtq::analysis {

// clang-format off
const std::array<PhysicalConstant, static_cast<std::size_t>(Physics::Count)> kPhysics{{
    {"gyromagnetic_ratio",   28.024951e9,      "Hz/T", "CODATA 2018, electron gyromagnetic ratio / 2 pi"},
    {"mnzn_magnetization",   0.50,             "T",    "Snelling, Soft Ferrites: Properties and Applications, 1988 "
                                                        "(no page found to cite): MnZn ferrite saturates near 0.5 T at "
                                                        "25 C; the N48 data sheet under bsat_100c gives 0.42 T at "
                                                        "25 C and 1200 A/m, a lower bound"},
    {"snoek_factor",         2.0 / 3.0,        "",     "Snoek, Dispersion and absorption in magnetic ferrites, "
                                                        "Physica 14, 1948: randomly oriented grains"},
    {"bsat_100c",            0.31,             "T",    "EPCOS data sheet B65501, page 2, SIFERRIT materials table, "
                                                        "N48 (MnZn, mu_i 2300): B_S at 100 C = 310 mT (1200 A/m, 10 kHz); "
                                                        "https://pdf.product.express/78102b66/epcos.com/"
                                                        "B65501D0000Y048.txt; higher-permeability grades saturate lower"},
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

double RelaxationFrequency(double initialPermeability) {
  // Snoek's limit is set by spin rotation; domain walls in real MnZn grades often relax
  // somewhat earlier, so this is the optimistic end of what a ferrite does.
  const double product = Constant(Physics::SnoekFactor) * Constant(Physics::Gyromagnetic) *
                         Constant(Physics::Magnetization);  // Hz
  return product / std::max(initialPermeability - 1, 1.0);
}

std::complex<double> Permeability(double initialPermeability, double frequency) {
  return initialPermeability /
         std::complex<double>(1.0, frequency / RelaxationFrequency(initialPermeability));
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
