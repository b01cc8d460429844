// The physics beyond the catalogue: the copper of a wire gauge and the self-capacitance
// of a single-layer toroidal winding. The ferrite's permeability is measured (ferrite.h).
#pragma once

#include <array>
#include <complex>
#include <string_view>
#include <vector>

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
  VacuumPermeability,
  CopperResistivity,
  FerritePermittivity,  // eps' of MnZn in the core-size factor: a family value, no grade gives its own
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

// The copper of one winding at frequency: one layer of round wire with the winding's own
// field on its core side, Dowell's layer (P. L. Dowell, Effects of eddy currents in
// transformer windings, Proc. IEE 113(8), 1966) with the round-wire equivalent of
// M. K. Kazimierczuk, High-Frequency Magnetic Components, 2nd ed., 2014, ch. 5:
// Z / Rdc = x coth x, x^2 = j w tau, tau = mu0 (pi/4)^(3/2) d^2 eta / rho, eta = d / pitch.
// Re(Z) / Rdc is Dowell's one-layer F_R. x coth x = 1 + sum over n of 2 j w tau / (j w tau +
// n^2 pi^2): the DC resistance in series with parallel R-L sections, which a circuit
// simulator takes as they are.
struct RlSection {
  double r = 0, l = 0;  // ohm and H, in parallel
};
struct CopperLayer {
  double rdc = 0;  // ohm
  double tau = 0;  // s
  // Sections 1 to 8 as they are, then 9 to 8191 gathered into bands of a factor 2, each
  // keeping its sum of R and of L: within 3 % of x coth x up to Delta = 1000 (a 8 mm wire at
  // 100 MHz).
  std::vector<RlSection> sections;
  // Rdc tau / 3, H: the field inside the copper at low frequency, already part of the
  // differential inductance the design estimates.
  double Internal() const { return rdc * tau / 3; }
};
CopperLayer CopperLayerOf(double rdc, double bareDiameter, double insulatedDiameter);
// Z / Rdc of a layer whose time constant is tau (s); CopperImpedance is Rdc times it, so the
// ratio serves every turn count of one wire.
std::complex<double> CopperRatio(double tau, double frequency);
std::complex<double> CopperImpedance(const CopperLayer& c, double frequency);

}  // namespace vtq::analysis
