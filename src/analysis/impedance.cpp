#include "analysis/impedance.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <numbers>

#include "analysis/physics.h"
#include "analysis/quotient.h"
#include "analysis/winding.h"
#include "engine/numbers.h"

namespace vtq::analysis {
namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;
constexpr std::complex<double> kJ{0, 1};

// The frequency, between low and high, where `positive` turns false, by bisection in log f.
double Crossing(double low, double high, const std::function<bool(double)>& positive) {
  for (int i = 0; i < 60; ++i) {
    const double mid = std::sqrt(low * high);
    (positive(mid) ? low : high) = mid;
  }
  return std::sqrt(low * high);
}

// A log grid wide enough for any winding the catalogue allows: 1 Hz to 100 GHz.
std::vector<double> SearchGrid() {
  std::vector<double> f;
  for (int i = 0; i <= 11 * 20; ++i) f.push_back(std::pow(10.0, i / 20.0));
  return f;
}

double SelfResonance(const ChokeParameters& p) {
  auto inductive = [&](double f) { return CommonModeImpedance(p, f).imag() > 0; };
  const std::vector<double> grid = SearchGrid();
  for (std::size_t i = 1; i < grid.size(); ++i) {
    if (inductive(grid[i - 1]) && !inductive(grid[i])) return Crossing(grid[i - 1], grid[i], inductive);
  }
  return 0;
}

// Where the material's model mu' first falls to half its low-frequency value, 1 kHz to 1 GHz;
// 0 if nowhere.
double SearchHalfPermeability(const std::shared_ptr<const Ferrite>& ferrite) {
  auto above = [&](double f) { return ModelPermeability(ferrite, f).real() > 0.5 * ferrite->LowFrequency(); };
  double previous = 1e3;
  for (int i = 1; i <= 6 * 20; ++i) {
    const double f = 1e3 * std::pow(10.0, i / 20.0);
    if (!above(f)) return above(previous) ? Crossing(previous, f, above) : previous;
    previous = f;
  }
  return 0;
}

// The same, searched once a material: up to 120 model evaluations, which a search over the
// ring library would otherwise repeat for every choke it tries. Held by the material's own
// control block, so a material file freed and another read at the same address is not mistaken for it.
double HalfPermeability(const std::shared_ptr<const Ferrite>& ferrite) {
  if (!ferrite) return 0;
  static std::mutex lock;
  static std::map<std::weak_ptr<const Ferrite>, double, std::owner_less<>> found;
  {
    const std::lock_guard<std::mutex> hold(lock);
    if (auto at = found.find(ferrite); at != found.end()) return at->second;
  }
  const double f = SearchHalfPermeability(ferrite);
  const std::lock_guard<std::mutex> hold(lock);
  found.emplace(ferrite, f);
  return f;
}

// Where the size factor first departs 10 % from 1, 1 kHz to 1 GHz, 20 points a decade; 0 if nowhere.
double SizeOnset(const ChokeParameters& p) {
  auto near = [&](double f) { return std::abs(SizeFactorOf(p, f, RelativePermeability(p, f)) - 1.0) < 0.1; };
  if (p.section.terms.empty()) return 0;
  double previous = 1e3;
  if (!near(previous)) return previous;
  for (int i = 1; i <= 6 * 20; ++i) {
    const double f = 1e3 * std::pow(10.0, i / 20.0);
    if (!near(f)) return Crossing(previous, f, near);
    previous = f;
  }
  return 0;
}

// The material's largest |k^2| over the band (MaterialReach) as its model stands, with a
// resistivity; searched once a material and resistivity, as HalfPermeability is.
double Reach(const std::shared_ptr<const Ferrite>& ferrite, double resistivity) {
  static std::mutex lock;
  static std::map<std::pair<std::weak_ptr<const Ferrite>, double>, double,
                  decltype([](const auto& a, const auto& b) {
                    std::owner_less<std::weak_ptr<const Ferrite>> less;
                    if (less(a.first, b.first)) return true;
                    if (less(b.first, a.first)) return false;
                    return a.second < b.second;
                  })>
      found;
  const std::pair<std::weak_ptr<const Ferrite>, double> key{ferrite, resistivity};
  {
    const std::lock_guard<std::mutex> hold(lock);
    if (auto at = found.find(key); at != found.end()) return at->second;
  }
  const CoreSection material = SectionOf(0, 0, resistivity, Constant(Physics::FerritePermittivity));
  const double reach = MaterialReach(material, [&](double f) { return ModelPermeability(ferrite, f); });
  const std::lock_guard<std::mutex> hold(lock);
  found.emplace(key, reach);
  return reach;
}

std::optional<Band> MeetsRequirement(const ChokeParameters& p, double required) {
  auto meets = [&](double f) { return std::abs(CommonModeImpedance(p, f)) >= required; };
  const std::vector<double> grid = SearchGrid();
  std::size_t peak = 0;
  for (std::size_t i = 1; i < grid.size(); ++i) {
    if (std::abs(CommonModeImpedance(p, grid[i])) > std::abs(CommonModeImpedance(p, grid[peak]))) peak = i;
  }
  if (!meets(grid[peak])) return std::nullopt;
  std::size_t lo = peak, hi = peak;
  while (lo > 0 && meets(grid[lo - 1])) --lo;
  while (hi + 1 < grid.size() && meets(grid[hi + 1])) ++hi;
  Band band{grid[lo], grid[hi]};
  if (lo > 0) band.from = Crossing(grid[lo], grid[lo - 1], meets);
  if (hi + 1 < grid.size()) band.to = Crossing(grid[hi], grid[hi + 1], meets);
  return band;
}

// "25 °C", "−40 °C": whole degrees, a true minus sign.
std::string Celsius(double t) {
  const long whole = std::lround(t);
  return (whole < 0 ? "\u2212" : "") + std::to_string(std::labs(whole)) + " \u00b0C";
}

}  // namespace

double IdealMagnitude(double frequency, double inductance) {
  // The true pi here, not the 3.14 of the design formulas: this curve is compared with
  // circuit simulators and measurements, and the 0.05 % difference is not worth a trap.
  return kTwoPi * frequency * inductance;
}

std::complex<double> RelativePermeability(const ChokeParameters& p, double f) {
  if (!p.ferrite) return p.temperatureFactor;
  // The material's one model (material_model.cpp), not the drawn points: between and past
  // them the network's curve, which a causal material and the circuit model both follow.
  return p.temperatureFactor * ModelPermeability(p.ferrite, f) / p.muReference;
}

std::complex<double> SizeFactorOf(const ChokeParameters& p, double f, std::complex<double> relative) {
  return SizeFactor(p.section, f, p.permeability * relative);
}

std::complex<double> CorePermeability(const ChokeParameters& p, double f) {
  const std::complex<double> material = RelativePermeability(p, f);
  return material * SizeFactorOf(p, f, material);
}

std::complex<double> CommonModeImpedance(const ChokeParameters& p, double f) {
  return CommonModeImpedance(p, f, CorePermeability(p, f));
}

std::complex<double> CommonModeImpedance(const ChokeParameters& p, double frequency,
                                         std::complex<double> mu) {
  return CommonModeImpedance(p, frequency, mu, SeriesImpedance(p, frequency));
}

std::complex<double> CommonModeImpedance(const ChokeParameters& p, double frequency, std::complex<double> mu,
                                         std::complex<double> series) {
  const double w = kTwoPi * frequency;
  // The ferrite's part: j w Lm mu(f) / mu_i, mu = mu' - j mu'' (mu'' is the core's loss), the
  // size factor included.
  const std::complex<double> core = kJ * w * p.magnetizing * mu;
  // Each of the n windings carries 1/n of the current, and the others add their flux in the
  // core: each branch sees n times the core's part, so Z = Z_series / n + core. Its
  // capacitance lies across it.
  const double n = p.windings;
  const std::complex<double> branch = series + n * core;
  return Quotient(1.0, n * (Quotient(1.0, branch) + kJ * w * p.capacitance));
}

std::complex<double> SeriesImpedance(const ChokeParameters& p, double f) {
  return SeriesImpedance(p, f, p.copper.sections.empty() ? p.resistance : CopperImpedance(p.copper, f));
}

std::complex<double> SeriesImpedance(const ChokeParameters& p, double f, std::complex<double> copper) {
  const std::complex<double> jw = kJ * (kTwoPi * f);
  if (!(p.leakageFerrite > 0)) return copper + jw * p.leakage;
  // The ferrite part as a relaxation: j w Lf / (1 + j f / fc), an Lf beside R = 2 pi fc Lf.
  const std::complex<double> ferrite =
      p.leakageCorner > 0 ? Quotient(1.0, Quotient(1.0, jw * p.leakageFerrite) +
                                              1.0 / (kTwoPi * p.leakageCorner * p.leakageFerrite))
                          : jw * p.leakageFerrite;
  return copper + Quotient(1.0, Quotient(1.0, jw * p.leakageAir) + Quotient(1.0, ferrite));
}

std::complex<double> DifferentialImpedance(const ChokeParameters& p, double f) {
  return DifferentialImpedance(p, f, SeriesImpedance(p, f));
}

std::complex<double> DifferentialImpedance(const ChokeParameters& p, double f, std::complex<double> series) {
  // Opposite currents cancel the core's flux: only the leakage and the copper remain.
  return Quotient(1.0, Quotient(1.0, series) + kJ * (kTwoPi * f) * p.capacitance);
}

std::complex<double> DifferentialShunt(const ChokeParameters& p, double f) {
  return kJ * (kTwoPi * f) * p.interwinding;
}

std::string Engineering(double value, std::string_view unit) {
  static constexpr const char* kPrefixes[] = {"p", "n", "\u00b5", "m", "", "k", "M", "G", "T"};
  if (!std::isfinite(value) || value == 0) return "0 " + std::string(unit);
  const int group = std::clamp(static_cast<int>(std::floor(std::log10(std::abs(value)) / 3)), -4, 4);
  return num::Printed(value / std::pow(1000.0, group), 3) + " " + kPrefixes[group + 4] + std::string(unit);
}

std::string Summary(const ImpedanceCurve& c) {
  if (!c.problem.empty()) return c.problem;
  std::string text = c.selfResonance > 0
                         ? "Self-resonant frequency " + Engineering(c.selfResonance, "Hz") + "."
                         : "No self-resonance.";
  if (c.required) {
    const std::string required = Engineering(c.required->magnitude, "\u03a9");
    text += c.meets ? " The common-mode impedance meets the required " + required + " from " +
                          Engineering(c.meets->from, "Hz") + " to " + Engineering(c.meets->to, "Hz") + "."
                    : " The common-mode impedance never reaches the required " + required + ".";
  }
  const ChokeParameters& p = c.parameters;
  const std::string temperature = Celsius(p.temperature);
  if (p.ferrite && p.ferrite->initial.empty()) {
    // A user's file with no permeability against temperature: nothing to move the curve by.
    text += "\nCore: measured permeability of " + p.ferrite->maker + " " + p.ferrite->name +
            "; the data hold no temperature dependence, so the curve is the same at every temperature. "
            "One winding's inductance: " +
            Engineering(c.inductanceAt[1], "H") + ".";
  } else if (p.ferrite) {
    text += "\nCore: measured permeability of " + p.ferrite->maker + " " + p.ferrite->name + " at " +
            temperature + ". One winding's inductance: " + Engineering(c.inductanceAt[0], "H") +
            " at −40 °C, " + Engineering(c.inductanceAt[1], "H") + " at 25 °C, " +
            Engineering(c.inductanceAt[2], "H") + " at 100 °C.";
  }
  if (p.section.width > 0) {
    text += "\nCore section " + num::FormatDouble(p.section.width * 1e3, "0.0") + " \u00d7 " +
            num::FormatDouble(p.section.height * 1e3, "0.0") + " mm: " +
            (c.sizeOnset > 0 ? "its dimensional resonance sets in at " + Engineering(c.sizeOnset, "Hz") +
                                   ", where the permeability departs 10 % from the small test ring's."
                             : "no dimensional resonance below 1 GHz.");
  }
  const double degrees = p.winding.sector * 180 / std::numbers::pi;
  text += "\nWinding capacitance " + Engineering(p.capacitance, "F") + ": one layer over " +
          num::FormatDouble(degrees, "0") + "\u00b0 of the core, " + Engineering(p.winding.turnToTurn, "F") +
          " between neighbouring turns, " + Engineering(p.winding.turnToCore, "F") +
          " from a turn to the core, " + Engineering(p.interwinding, "F") +
          " from one winding to another at each end, through the core." +
          (degrees > 180 ? " The turns need more than half the core: wound in more than one layer, the "
                           "capacitance is larger."
                         : "");
  text += "\nPeak flux density from the line current through the differential inductance: " +
          Engineering(c.peakFlux, "T") + " (saturation taken at " + Engineering(c.saturationLimit, "T") +
          (p.ferrite ? ", the grade's at " + temperature : std::string()) + ").";
  if (c.Saturates()) {
    text += "\nWarning: the core saturates at this current, and a saturated choke loses its impedance.";
  }
  return text;
}

std::string CurveCsv(const ImpedanceCurve& c) {
  std::string out = "frequency_hz,zcm_ohm,rcm_ohm,xcm_ohm,zdm_ohm,rdm_ohm,xdm_ohm,ideal_ohm\n";
  for (const auto& s : c.points) {
    const double fields[] = {s.frequency,
                             std::abs(s.commonMode),
                             s.commonMode.real(),
                             s.commonMode.imag(),
                             std::abs(s.differential),
                             s.differential.real(),
                             s.differential.imag(),
                             s.ideal};
    for (double v : fields) {
      num::AppendPrinted(out, v, 6);
      out += ',';
    }
    out.back() = '\n';
  }
  return out;
}

ChokeParameters ParametersOf(const Winding& wd, std::string& problem, double temperature,
                             const std::shared_ptr<const Ferrite>& material) {
  ChokeParameters p;
  problem.clear();
  p.inductance = wd.inductance;
  p.leakage = wd.leakage;
  p.magnetizing = wd.inductance - wd.leakage;
  p.permeability = wd.permeability;
  p.ferrite = material ? material : wd.grade;
  if (!p.ferrite) {
    problem = "No measured data for the material of " + wd.partNumber + ".";
    return p;
  }
  p.muReference = material ? p.permeability : p.ferrite->LowFrequency();
  p.temperature = temperature;
  // First order: the whole curve scales with the initial permeability at the temperature;
  // the data give mu' and mu'' at 25 C only, and the dispersion also moves with T.
  if (p.ferrite) p.temperatureFactor = p.ferrite->InitialAt(temperature) / p.ferrite->InitialAt(25);
  p.winding = WindingCapacitance(
      {wd.turns, wd.bareDiameter, wd.insulatedDiameter, wd.coreOD, wd.coreID, wd.coreHeight, wd.sector});
  p.capacitance = p.winding.total;
  p.interwinding = wd.turns * p.winding.turnToCore / (2.0 * std::max(wd.windings, 2));
  p.resistance = wd.resistance;
  p.copper = CopperLayerOf(wd.resistance, wd.bareDiameter, wd.insulatedDiameter);
  // 1 / L = 1 / La + 1 / Lf with Lf = L (0.1 mu + 1) (impedance.h); La less the copper's
  // internal inductance, which the copper's sections carry.
  p.leakageFerrite = wd.leakage * (0.1 * p.permeability + 1);
  p.leakageAir = 1 / (1 / (wd.leakage - p.copper.Internal()) - 1 / p.leakageFerrite);
  p.leakageCorner = HalfPermeability(p.ferrite);
  if (!(p.leakageAir > 0) || !(p.leakageFerrite > 0) || !std::isfinite(p.leakageAir)) {
    p.leakageAir = wd.leakage;
    p.leakageFerrite = 0;
  }
  p.turns = wd.turns;
  p.coreArea = wd.coreArea;
  p.windings = wd.windings;
  // A user's file without a resistivity (a CSV) takes the grade's that stands for the material.
  double resistivity = p.ferrite->resistivity;
  p.resistivitySource = (p.ferrite->maker.empty() ? "" : p.ferrite->maker + " ") + p.ferrite->name;
  if (!(resistivity > 0)) {
    resistivity = wd.grade ? wd.grade->resistivity : 0;
    p.resistivitySource = wd.grade && resistivity > 0
                              ? wd.grade->maker + " " + wd.grade->name +
                                    ", the grade the file stands in for " + "(the file gives none)"
                              : "none: the data give no resistivity, the core conducts nothing";
  }
  const double width = (wd.coreOD - wd.coreID) / 2,
               height = wd.ringHeight > 0 ? wd.ringHeight : wd.coreHeight;
  const double permittivity = Constant(Physics::FerritePermittivity);
  p.permittivitySource = std::string(kPhysics[static_cast<std::size_t>(Physics::FerritePermittivity)].source);
  // The material's reach over the band (its curve at the hottest of 25 C and this temperature)
  // decides which poles the kept terms must follow one by one.
  // |k^2| is linear in mu, so the material's own reach scales.
  const double scale = p.permeability / p.muReference * std::max(1.0, p.temperatureFactor);
  p.section = SectionOf(width, height, resistivity, permittivity, scale * Reach(p.ferrite, resistivity));
  return p;
}

ChokeParameters ParametersOf(const DesignWindow& w, std::string& problem, double temperature,
                             const std::shared_ptr<const Ferrite>& material) {
  const WindingResult wound = DesignedWinding(w);
  problem = wound.problem;
  if (!problem.empty()) return {};
  Winding wd = wound.winding;
  wd.grade = GradeOf(w.state.MaterialLetter);
  ChokeParameters p = ParametersOf(wd, problem, temperature, material);
  if (!p.ferrite) problem = "No measured data for material " + w.state.MaterialLetter + ".";
  return p;
}

namespace {

// The curve of parameters already worked out (the problem empty), for a line current in A
// rms; `saturationGrade` gives the saturation flux density where the material has none.
void FillCurve(ImpedanceCurve& curve, double current, CurveRange range, double bsat, double temperature,
               const std::shared_ptr<const Ferrite>& saturationGrade) {
  const ChokeParameters& p = curve.parameters;
  if (range.from <= 0 || range.to <= range.from) {
    // Whole decades holding 10 kHz to 100 MHz (the band a line filter is judged in) and
    // the requirement's frequency.
    const double marked = curve.required ? curve.required->frequency : 1e4;
    range.from = std::pow(10.0, std::floor(std::log10(std::min(1e4, marked))));
    range.to = std::pow(10.0, std::ceil(std::log10(std::max(1e8, marked))));
  }
  const double decades = std::log10(range.to / range.from);
  const int count =
      range.points >= 2 ? range.points : std::max(2, static_cast<int>(std::lround(decades * 40)) + 1);
  curve.points.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    // Each frequency from its own power, so no rounding accumulates towards the end.
    const double f = range.from * std::pow(10.0, decades * i / (count - 1));
    const std::complex<double> material = RelativePermeability(p, f), size = SizeFactorOf(p, f, material);
    curve.points.push_back({f, CommonModeImpedance(p, f, material * size), DifferentialImpedance(p, f),
                            IdealMagnitude(f, p.inductance), p.permeability * material, size});
  }

  curve.selfResonance = SelfResonance(p);
  curve.sizeOnset = SizeOnset(p);
  if (curve.required) curve.meets = MeetsRequirement(p, curve.required->magnitude);
  // The line current's flux through the differential inductance is not cancelled by the
  // other winding: B = L_diff sqrt(2) I / (N A_e), at the current's peak.
  curve.peakFlux = p.leakage * std::numbers::sqrt2 * current / (p.turns * p.coreArea);
  // A user's file without saturation figures (a CSV) leaves them to the material's grade.
  const auto saturation = p.ferrite->bsat25 > 0 ? p.ferrite : saturationGrade;
  curve.saturationLimit = bsat > 0 ? bsat : saturation ? saturation->SaturationAt(temperature) : 0;
  for (std::size_t i = 0; i < curve.inductanceAt.size(); ++i) {
    // As the curve takes it at its lowest frequency: a user's file scales the catalogue's
    // permeability by its own.
    const double factor = p.ferrite->InitialAt(ImpedanceCurve::kTemperatures[i]) / p.ferrite->InitialAt(25) *
                          p.ferrite->LowFrequency() / p.muReference;
    curve.inductanceAt[i] = p.leakage + p.magnetizing * factor;
  }
  curve.spiceFitDeviation = NetworkOf(p.ferrite).worstDeviation;
  curve.spiceFitMagnitudeDeviation = NetworkOf(p.ferrite).worstMagnitudeDeviation;
}

}  // namespace

ImpedanceCurve ChokeImpedance(const DesignWindow& w, CurveRange range, double bsat, double temperature,
                              const std::shared_ptr<const Ferrite>& material) {
  ImpedanceCurve curve;
  curve.parameters = ParametersOf(w, curve.problem, temperature, material);
  if (!curve.problem.empty()) return curve;
  const DesignState& s = w.state;
  if (w.inputs.Mode != DesignModeOption::Inductance && s.EnteredFrequency > 0 && s.ImpedanceValue > 0) {
    curve.required = ImpedancePoint{s.EnteredFrequency, s.ImpedanceValue};
  }
  FillCurve(curve, static_cast<double>(s.CurrentValue), range, bsat, temperature, GradeOf(s.MaterialLetter));
  return curve;
}

ImpedanceCurve ChokeImpedance(const Winding& winding, double current, std::optional<ImpedancePoint> required,
                              CurveRange range, double bsat, double temperature,
                              const std::shared_ptr<const Ferrite>& material) {
  ImpedanceCurve curve;
  curve.parameters = ParametersOf(winding, curve.problem, temperature, material);
  if (!curve.problem.empty()) return curve;
  curve.required = required;
  FillCurve(curve, current, range, bsat, temperature, winding.grade);
  return curve;
}

}  // namespace vtq::analysis
