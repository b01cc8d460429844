// Measured ferrites: a manufacturer grade's complex permeability against frequency, its
// initial permeability against temperature and its saturation flux density, as a
// magnetic-material database entry holds them; and the passive network a circuit
// simulator uses in place of the measured curve.
#pragma once

#include <complex>
#include <memory>
#include <optional>
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
  double resistivity = 0;                   // ohm m, DC at 25 C; 0 where the entry gives none

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

// --- The material's model (material_model.cpp): mu(f) / mu'(lowest f) = mu_inf + sum_k
// d_k H_k(f), d_k >= 0, each term a tank in series with the winding, fitted to the drawn
// points. The impedance, the plots, the emission check, the core search and the exports all
// take mu(f) from it; past the data it continues as the network does.

// A parallel R, L, C tank; in series with the other tanks of the network it stands for
// j w Lm mu(f) / mu_i. Values per henry of Lm: L = l Lm, R = r Lm, C = c / Lm. r = 0: no
// resistor (an L alone, mu_inf); c = 0: no capacitor (a relaxation).
struct Tank {
  double l = 0, r = 0, c = 0;  // H/H, ohm/H, F H
};

struct CoreNetwork {
  std::vector<Tank> tanks;
  // The coupled windings that carry the network are this many times Lm, so their own
  // inductance, across the network, changes it by about one part in this ratio; the fit
  // targets the curve with that parallel inductance taken out.
  double windingRatio = 0;
  // How far the model misses the drawn points where both curves are drawn, at worst, and
  // where: |mu_model - mu| / |mu|, |mu_model| / |mu| - 1 and the phase difference in degrees.
  double worstDeviation = 0, worstMagnitudeDeviation = 0, worstPhaseDeviation = 0;
  double worstDeviationAt = 0, worstMagnitudeAt = 0, worstPhaseAt = 0;  // Hz
  // Where one curve alone is drawn (mu'' past the last mu' point): the miss over that value.
  double worstSingleDeviation = 0, worstSingleAt = 0;
};

// The model fitted to a material's drawn points: deterministic, about 0.5 s of processor
// time for 200 points.
CoreNetwork FitNetwork(const Ferrite& ferrite);
// Fills the network's worst deviations from the drawn points.
void Judge(const Ferrite& ferrite, CoreNetwork& network);

// A shipped grade's network as fitted once and kept (fitted_networks.cpp, written by
// vtq-fit-networks), so every build prints the same bytes.
struct FittedNetwork {
  std::string_view grade;
  std::vector<Tank> tanks;
};

// The network of a material: a shipped grade's kept fit, or a user's material fitted once.
const CoreNetwork& NetworkOf(const std::shared_ptr<const Ferrite>& ferrite);
// True for the grades the program ships (GradeOf of a material letter).
bool IsShippedGrade(const std::shared_ptr<const Ferrite>& ferrite);

// The network's relative permeability mu(f) / mu'(lowest f), windings included.
std::complex<double> NetworkPermeability(const CoreNetwork& network, double frequency);
// The material's complex permeability mu' - j mu'' at f as the model gives it: the one
// function every use of the material's curve goes through.
std::complex<double> ModelPermeability(const std::shared_ptr<const Ferrite>& ferrite, double frequency);

// The drawn points, one per frequency either curve has, rising.
struct MaterialSample {
  double frequency = 0;              // Hz
  std::optional<double> real, imag;  // mu', mu''; absent where that curve has no point
};
std::vector<MaterialSample> DrawnSamples(const Ferrite& ferrite);

// 10 kHz to 100 MHz, 20 points a decade, both ends included: where the model is shown.
std::vector<double> ModelGrid();

// Whether the drawn curves can belong to one causal material: mu'(f) worked out from the
// drawn mu'' by Kramers-Kronig, mu'(f) = c + (2/pi) PV integral of mu''(x) x / (x^2 - f^2) dx,
// mu'' linear in log f between its points, proportional to f below them and to 1/f above;
// c (mu' at infinite frequency and what the loss outside the drawn band adds) by least
// squares on the misses over |mu|. Where it misses the drawn mu' by more than 3 % of |mu|, no causal model
// can follow both curves that closely.
struct KramersKronigPoint {
  double frequency = 0;            // Hz, where both curves are drawn
  double drawn = 0, fromLoss = 0;  // mu' as drawn, and as the drawn mu'' gives it
};
struct KramersKronigCheck {
  std::vector<KramersKronigPoint> points;
  double offset = 0;                       // c
  double worstDeviation = 0, worstAt = 0;  // |mu'_KK - mu'| / |mu| at worst, and where (Hz)
};
KramersKronigCheck KramersKronig(const Ferrite& ferrite);

}  // namespace vtq::analysis
