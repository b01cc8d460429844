// The physics beyond the catalogue: ferrite permeability over frequency, the copper of
// a wire gauge and the self-capacitance of a single-layer toroidal winding.
#pragma once

#include <array>
#include <complex>
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
  Gyromagnetic,   // gamma / 2 pi of the electron spin
  Magnetization,  // mu0 Ms of MnZn ferrite at room temperature
  SnoekFactor,    // the 2/3 of a random polycrystal
  Saturation,     // saturation flux density of MnZn ferrite at 100 C
  EnamelPermittivity,
  VacuumPermittivity,
  CapacitanceFactor,  // ladder of turn-to-turn and turn-to-core capacitances
  Count
};
extern const std::array<PhysicalConstant, static_cast<std::size_t>(Physics::Count)> kPhysics;
double Constant(Physics p);

// Relaxation frequency, Hz, of a MnZn ferrite of initial permeability mu_i, from Snoek's
// law (mu_i - 1) f_r = 2/3 (gamma / 2 pi) mu0 Ms.
double RelaxationFrequency(double initialPermeability);

// mu(f) = mu' - j mu'' = mu_i / (1 + j f / f_r): a first-order (Debye) relaxation. Its
// inductor is exactly L in parallel with R = 2 pi f_r L, which the circuit model uses.
std::complex<double> Permeability(double initialPermeability, double frequency);

// Bare copper diameter of an AWG gauge, m: 0.127 mm x 92^((36 - n) / 39).
double CopperDiameter(int gauge);

// Self-capacitance, F, of a single-layer winding on a conductive (ferrite) core, from the
// turn length (m), the bare and the insulated diameter of the wire (m).
double WindingCapacitance(double turnLength, double bareDiameter, double insulatedDiameter);

}  // namespace vtq::analysis
