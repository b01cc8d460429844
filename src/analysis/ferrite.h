// Measured ferrites: a manufacturer grade's complex permeability against frequency, its
// initial permeability against temperature and its saturation flux density, as a
// magnetic-material database entry holds them; and the passive network a circuit
// simulator uses in place of the measured curve.
#pragma once

#include <complex>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vtq::analysis {

struct CurvePoint {
  double x = 0;  // Hz for a permeability curve, C for a temperature curve
  double value = 0;
};

struct Ferrite {
  std::string name;                         // the grade, "N49"
  std::string maker;                        // "TDK"
  std::string source;                       // the data sheet's address
  std::vector<CurvePoint> real, imaginary;  // mu' and mu'' at 25 C against Hz, rising
  std::vector<CurvePoint> initial;          // initial permeability against C, rising
  double bsat25 = 0, bsat100 = 0;           // T, saturation flux density at 25 C and at 100 C
  double curie = 0;                         // C

  // mu' - j mu'' of the grade as measured, interpolated linearly in log f. Below the
  // lowest and above the highest frequency the data hold the nearest point; mu' is 0
  // beyond its own last point when the data sheet stopped drawing it before mu''.
  std::complex<double> Permeability(double frequency) const;
  // mu' at the lowest measured frequency: the grade's initial permeability at 25 C.
  double LowFrequency() const { return real.empty() ? 1 : real.front().value; }
  // Initial permeability at a temperature, linear between the data's points, held outside.
  double InitialAt(double celsius) const;
  // Saturation flux density, T, linear between 25 C and 100 C, held outside them.
  double SaturationAt(double celsius) const;
};

// The grade that stands for a catalogue material letter (D, P, N, S, R): the nearest
// initial permeability among the shipped entries. Null for any other letter.
std::shared_ptr<const Ferrite> GradeOf(std::string_view materialLetter);

// Where the shipped data comes from and under which licence, for the help and the copyright.
inline constexpr std::string_view kMaterialDataSource =
    "OpenMagnetics MAS material database, data/core_materials.ndjson at commit "
    "0512b026c0c03b80e008b3412af9cf3a71bba029; BSD 4-Clause licence. This product includes software "
    "developed by OpenMagnetics.";

// One database entry (a JSON object) as a Ferrite; on failure `error` says why.
std::shared_ptr<const Ferrite> FerriteFromJson(std::string_view text, std::string& error);

// A user's material: one database entry as JSON, or comma-separated values under the
// header frequency_hz,mu_real,mu_imag (lines starting with # are comments, an empty cell
// is a curve without a point there), as vtq-cli material --csv prints them. On failure
// `error` says why, naming the line. `name` labels the result.
std::shared_ptr<const Ferrite> FerriteFromText(std::string_view text, const std::string& name,
                                               std::string& error);

// A parallel R, L, C tank; in series with the other tanks of the network it stands for
// j w Lm mu(f) / mu_i. Values per henry of Lm: L = l Lm, R = r Lm, C = c / Lm.
struct Tank {
  double l = 0, r = 0, c = 0;  // H/H, ohm/H, F H
};

struct CoreNetwork {
  std::vector<Tank> tanks;
  // The coupled windings that carry the network are this many times Lm, so their own
  // inductance, across the network, changes it by about one part in this ratio; the fit
  // targets the curve with that parallel inductance taken out.
  double windingRatio = 0;
  // Worst |mu_fit - mu| / |mu| and worst ||mu_fit| / |mu| - 1| from 10 kHz to 100 MHz,
  // against the interpolated data. Where the data sheet stopped drawing mu' the data say 0
  // and the network, like the real ferrite, has a small negative mu': the first counts
  // that, the second (what an impedance magnitude shows) hardly.
  double worstDeviation = 0, worstMagnitudeDeviation = 0;
};

// The network fitted to a curve relative to its low-frequency mu': non-negative least
// squares over a fixed grid of tanks. About 0.1 s.
CoreNetwork FitNetwork(const Ferrite& ferrite);

// A shipped grade's network as fitted once and kept (fitted_networks.cpp).
struct FittedNetwork {
  std::string_view grade;
  double worstDeviation, worstMagnitudeDeviation;
  std::vector<Tank> tanks;
};

// The network of a curve: a shipped grade's kept fit, or a user's material fitted once.
const CoreNetwork& NetworkOf(const std::shared_ptr<const Ferrite>& ferrite);

// The network's relative permeability mu(f) / mu_i, windings included, for a check.
std::complex<double> NetworkPermeability(const CoreNetwork& network, double frequency);

}  // namespace vtq::analysis
