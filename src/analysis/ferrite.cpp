#include "analysis/ferrite.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <mutex>
#include <nlohmann/json.hpp>
#include <numbers>
#include <optional>

#include "engine/numbers.h"

namespace vtq::analysis {

// The shipped database entries, one JSON object a line, compiled in at build time.
extern const std::string_view kShippedGrades;
extern const std::vector<FittedNetwork> kFittedNetworks;

namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;
constexpr std::array<std::string_view, 5> kGradeLetters{"D", "P", "N", "S", "R"};

// Linear in log f (or, for a temperature curve, in T when `logX` is false); the ends held.
double Interpolate(const std::vector<CurvePoint>& c, double x, bool logX) {
  if (c.empty()) return 0;
  if (x <= c.front().x) return c.front().value;
  if (x >= c.back().x) return c.back().value;
  const auto hi =
      std::upper_bound(c.begin(), c.end(), x, [](double v, const CurvePoint& p) { return v < p.x; });
  const auto lo = hi - 1;
  const double t = logX ? std::log(x / lo->x) / std::log(hi->x / lo->x) : (x - lo->x) / (hi->x - lo->x);
  return lo->value + t * (hi->value - lo->value);
}

// --- Least squares with non-negative unknowns (Lawson and Hanson, Solving Least Squares
// Problems, 1974, chapter 23), through the normal equations G = A^T A, h = A^T b: each step
// then solves a system only as large as the set of tanks in use. G squares the condition
// number of the near-alike tank columns; a column that makes the system singular to
// working precision is refused, and long double gave the same tanks here, four times slower.

using Column = std::vector<double>;
using Real = double;
using Matrix = std::vector<std::vector<Real>>;

// G_PP z = h_P by Cholesky; false when G_PP is not positive definite to working precision.
bool SolveNormal(const Matrix& g, const std::vector<Real>& h, const std::vector<std::size_t>& set,
                 std::vector<Real>& z) {
  const std::size_t p = set.size();
  std::vector<Real> l(p * p, 0);  // row-major lower triangle
  auto at = [&l, p](std::size_t i, std::size_t j) -> Real& { return l[i * p + j]; };
  for (std::size_t i = 0; i < p; ++i) {
    for (std::size_t j = 0; j <= i; ++j) {
      Real sum = g[set[i]][set[j]];
      for (std::size_t k = 0; k < j; ++k) sum -= at(i, k) * at(j, k);
      if (i == j) {
        if (!(sum > 1e-30L * g[set[i]][set[i]])) return false;
        at(i, i) = std::sqrt(sum);
      } else {
        at(i, j) = sum / at(j, j);
      }
    }
  }
  z.assign(p, 0);
  for (std::size_t i = 0; i < p; ++i) {
    Real sum = h[set[i]];
    for (std::size_t k = 0; k < i; ++k) sum -= at(i, k) * z[k];
    z[i] = sum / at(i, i);
  }
  for (std::size_t i = p; i-- > 0;) {
    Real sum = z[i];
    for (std::size_t k = i + 1; k < p; ++k) sum -= at(k, i) * z[k];
    z[i] = sum / at(i, i);
  }
  return true;
}

Matrix Gram(const std::vector<Column>& a) {
  const std::size_t n = a.size();
  Matrix g(n, std::vector<Real>(n, 0));
  for (std::size_t i = 0; i < n; ++i) {
    for (std::size_t j = 0; j <= i; ++j) {
      Real sum = 0;
      for (std::size_t r = 0; r < a[i].size(); ++r) sum += static_cast<Real>(a[i][r]) * a[j][r];
      g[i][j] = g[j][i] = sum;
    }
  }
  return g;
}

// min |A x - b| over x >= 0, given G = A^T A and h = A^T b.
std::vector<double> NonNegativeLeastSquares(const Matrix& g, const std::vector<Real>& h) {
  const std::size_t n = h.size();
  std::vector<Real> x(n, 0);
  std::vector<bool> passive(n, false), refused(n, false);
  for (std::size_t outer = 0; outer < 3 * n; ++outer) {
    std::size_t best = n;
    Real bestGradient = 0;
    for (std::size_t j = 0; j < n; ++j) {
      if (passive[j] || refused[j]) continue;
      Real w = h[j];
      for (std::size_t k = 0; k < n; ++k)
        if (x[k] != 0) w -= g[j][k] * x[k];
      if (w > 1e-12L * std::sqrt(g[j][j]) && w > bestGradient) best = j, bestGradient = w;
    }
    if (best == n) break;
    passive[best] = true;
    for (std::size_t inner = 0; inner < 3 * n; ++inner) {
      std::vector<std::size_t> set;
      for (std::size_t j = 0; j < n; ++j)
        if (passive[j]) set.push_back(j);
      std::vector<Real> z;
      // A column that rounding leaves dependent or at a non-positive value would be taken
      // out again and in again for ever: it stays out instead.
      const bool solved = SolveNormal(g, h, set, z);
      const auto taken = static_cast<std::size_t>(std::find(set.begin(), set.end(), best) - set.begin());
      if (inner == 0 && (!solved || z[taken] <= 0)) {
        passive[best] = false;
        refused[best] = true;
        break;
      }
      if (!solved) break;
      Real step = 1;
      for (std::size_t k = 0; k < set.size(); ++k)
        if (z[k] <= 0) step = std::min(step, x[set[k]] / (x[set[k]] - z[k]));
      for (std::size_t k = 0; k < set.size(); ++k) x[set[k]] += step * (z[k] - x[set[k]]);
      if (step == 1) break;
      for (std::size_t j : set)
        if (x[j] <= 0) passive[j] = false, x[j] = 0;
    }
  }
  return {x.begin(), x.end()};
}

// The tanks' resonances: 1 kHz to 1 GHz, twelve a decade, each as a first-order relaxation
// (no C) and as damped resonances of quality 1 to 8, so a curve whose mu' peaks before
// its resonance and turns negative past it is followed as well as a plain relaxation.
constexpr double kQualities[] = {0, 1, 2, 4, 8};
constexpr int kPerDecade = 12;
constexpr double kWindingRatio = 1000;

Tank TankOf(double weight, double f0, double quality) {
  const double w0 = kTwoPi * f0;
  if (quality == 0) return {weight, w0 * weight, 0};
  return {weight, w0 * weight * quality, 1 / (w0 * w0 * weight)};
}

// A tank's share of mu / mu_i: its impedance per henry of Lm over j w.
std::complex<double> TankPermeability(const Tank& t, double f) {
  const double w = kTwoPi * f;
  const std::complex<double> admittance =
      1.0 / std::complex<double>(0, w * t.l) + 1.0 / t.r + std::complex<double>(0, w * t.c);
  return 1.0 / (std::complex<double>(0, w) * admittance);
}

}  // namespace

CoreNetwork FitNetwork(const Ferrite& ferrite) {
  CoreNetwork net;
  net.windingRatio = kWindingRatio;
  const double mu0 = ferrite.LowFrequency();
  // 30 points a decade, 10 kHz to 300 MHz: the band the model must hold and a margin above.
  std::vector<double> freqs;
  for (int i = 0; i <= 135; ++i) freqs.push_back(1e4 * std::pow(10.0, i / 30.0));
  std::vector<Column> columns;
  std::vector<std::pair<double, double>> grid;  // f0, quality
  for (int d = 0; d <= 6 * kPerDecade; ++d) {
    for (double q : kQualities)
      grid.emplace_back(1e3 * std::pow(10.0, static_cast<double>(d) / kPerDecade), q);
  }
  std::vector<std::complex<double>> targets;
  std::vector<double> weights;
  for (double f : freqs) {
    const std::complex<double> m = ferrite.Permeability(f) / mu0;
    targets.push_back(m / (1.0 - m / kWindingRatio));
    // Relative error counts: the curve falls a hundredfold and the plot is logarithmic.
    weights.push_back(1 / std::max(std::abs(targets.back()), 1e-6));
  }
  const double drawnTo =
      ferrite.real.back().x < ferrite.imaginary.back().x ? ferrite.real.back().x : INFINITY;
  // Where both curves are drawn they hold the resonance that sets the choke's own
  // self-resonance, which a small error in mu' moves: those points count three times.
  for (std::size_t i = 0; i < freqs.size(); ++i)
    if (freqs[i] <= drawnTo) weights[i] *= 3;
  for (const auto& [f0, q] : grid) {
    const Tank unit = TankOf(1, f0, q);
    Column c;
    for (std::size_t i = 0; i < freqs.size(); ++i) {
      const std::complex<double> g = TankPermeability(unit, freqs[i]) * weights[i];
      c.push_back(g.real());
      c.push_back(g.imag());
    }
    columns.push_back(std::move(c));
  }
  // Where the data sheet stopped drawing mu' the data say 0, but a loss falling faster
  // than 1/f has a negative mu' (the real ferrite's too), which no passive network can
  // cancel. There the fit keeps the measured |mu| and takes the phase its own network
  // gives, refitted a few times; elsewhere it follows mu' and mu'' both.
  const Matrix gram = Gram(columns);
  for (int pass = 0; pass < 4; ++pass) {
    Column target;
    for (std::size_t i = 0; i < freqs.size(); ++i) {
      std::complex<double> t = targets[i];
      if (pass > 0 && freqs[i] > drawnTo) {
        const std::complex<double> fit = NetworkPermeability(net, freqs[i]);
        if (std::abs(fit) > 0) t = std::abs(t) * fit / std::abs(fit);
      }
      target.push_back(t.real() * weights[i]);
      target.push_back(t.imag() * weights[i]);
    }
    std::vector<Real> h(columns.size(), 0);
    for (std::size_t k = 0; k < columns.size(); ++k)
      for (std::size_t r = 0; r < target.size(); ++r) h[k] += static_cast<Real>(columns[k][r]) * target[r];
    const std::vector<double> a = NonNegativeLeastSquares(gram, h);
    net.tanks.clear();
    for (std::size_t k = 0; k < a.size(); ++k)
      if (a[k] > 0) net.tanks.push_back(TankOf(a[k], grid[k].first, grid[k].second));
  }
  for (int i = 0; i <= 80; ++i) {
    const double f = 1e4 * std::pow(10.0, i / 20.0);
    const std::complex<double> m = ferrite.Permeability(f) / mu0;
    const std::complex<double> fit = NetworkPermeability(net, f);
    net.worstDeviation = std::max(net.worstDeviation, std::abs(fit - m) / std::abs(m));
    net.worstMagnitudeDeviation =
        std::max(net.worstMagnitudeDeviation, std::abs(std::abs(fit) / std::abs(m) - 1));
  }
  return net;
}

namespace {

// What a material file may hold; anything outside is a typing or unit slip, and would
// carry inf or NaN into the impedance and the netlist.
constexpr double kMostPermeability = 1e6;  // |mu|: supermalloy, the highest of soft magnetic alloys, ~1e6
constexpr double kLeastInitial = 1;        // mu' at the lowest frequency: a magnetic core is at least air
constexpr double kMostFrequency = 1e12;    // Hz, far above any permeameter's range (a few GHz)
constexpr double kLeastCelsius = -273.15, kMostCelsius = 2000;  // absolute zero; above every Curie point
constexpr double kMostFluxDensity = 3;  // T: FeCo, the highest saturating alloy, ~2.4 T

// A member of a material entry: absent leaves `out` as it is, a value of another type
// than asked is an error naming the key.
template <class T>
void Member(const nlohmann::json& o, const std::string& path, const char* key, T& out, std::string& error) {
  if (!error.empty() || !o.is_object() || !o.contains(key)) return;
  const nlohmann::json& v = o[key];
  if constexpr (std::is_same_v<T, std::string>) {
    if (!v.is_string()) {
      error = path + key + " is not a text";
      return;
    }
  } else if (!v.is_number()) {
    error = path + key + " is not a number";
    return;
  }
  out = v.get<T>();
}

std::vector<CurvePoint> PointsOf(const nlohmann::json& list, const char* x, std::string& error) {
  std::vector<CurvePoint> out;
  if (!list.is_array()) {
    error = "not a list of points";
    return out;
  }
  for (const auto& p : list) {
    if (!p.is_object() || !p.contains(x) || !p.contains("value") || !p[x].is_number() ||
        !p["value"].is_number()) {
      error = std::string("a point without a number for ") + x + " and value";
      return out;
    }
    out.push_back({p[x].get<double>(), p["value"].get<double>()});
  }
  return out;
}

// Points rising in x, each within [least, most] in x and within +-kMostPermeability in value.
std::string CheckCurve(const std::vector<CurvePoint>& c, std::string_view what, double least, double most) {
  if (c.size() < 2) return std::string(what) + " has fewer than two points";
  for (std::size_t i = 0; i < c.size(); ++i) {
    if (!(c[i].x >= least && c[i].x <= most) || !(std::abs(c[i].value) <= kMostPermeability))
      return std::string(what) + ": point " + std::to_string(i + 1) + " is not a usable number";
    if (i > 0 && c[i].x <= c[i - 1].x)
      return std::string(what) + ": point " + std::to_string(i + 1) + " does not rise above the one before";
  }
  return "";
}

// What both kinds of file must hold beyond their points: a core that has inductance. Where
// mu' and mu'' are both 0 the core stores no energy, and the fit's relative error divides by |mu|.
std::string CheckPermeability(const Ferrite& f) {
  if (!(f.real.front().value >= kLeastInitial)) return "mu' at the lowest frequency must be at least 1";
  std::vector<double> at;  // every point of both curves, and where mu' crosses 0 between two
  for (const auto* curve : {&f.real, &f.imaginary})
    for (const CurvePoint& p : *curve) at.push_back(p.x);
  for (std::size_t i = 1; i < f.real.size(); ++i) {
    const CurvePoint &a = f.real[i - 1], &b = f.real[i];
    if ((a.value < 0) != (b.value < 0))
      at.push_back(a.x * std::pow(b.x / a.x, a.value / (a.value - b.value)));
  }
  for (double x : at) {
    if (std::abs(f.Permeability(x)) == 0)
      return "mu' and mu'' are both 0 at " + num::Printed(x, 6) + " Hz: the core has no inductance there";
  }
  return "";
}

}  // namespace

std::complex<double> Ferrite::Permeability(double f) const {
  const bool stopped = !real.empty() && !imaginary.empty() && real.back().x < imaginary.back().x;
  const double mr = stopped && f > real.back().x ? 0 : Interpolate(real, f, true);
  return {mr, -Interpolate(imaginary, f, true)};
}

double Ferrite::InitialAt(double celsius) const {
  return initial.empty() ? LowFrequency() : Interpolate(initial, celsius, false);
}

double Ferrite::SaturationAt(double celsius) const {
  const double t = std::clamp(celsius, 25.0, 100.0);
  return bsat25 + (t - 25) / 75 * (bsat100 - bsat25);
}

std::shared_ptr<const Ferrite> FerriteFromJson(std::string_view text, std::string& error) {
  error.clear();
  nlohmann::json e;
  try {
    e = nlohmann::json::parse(text);
  } catch (const nlohmann::json::parse_error& fault) {
    const auto end = text.begin() + static_cast<long>(std::min<std::size_t>(
                                        fault.byte > 0 ? fault.byte - 1 : 0, text.size()));
    error = "not JSON (line " + std::to_string(std::count(text.begin(), end, '\n') + 1) + ")";
    return nullptr;
  } catch (const nlohmann::json::exception&) {  // a number beyond a double's range
    error = "not JSON (a number beyond range)";
    return nullptr;
  }
  if (!e.is_object()) {
    error = "not a JSON object";
    return nullptr;
  }
  const nlohmann::json* complex = nullptr;
  if (e.contains("permeability") && e["permeability"].is_object() && e["permeability"].contains("complex"))
    complex = &e["permeability"]["complex"];
  if (!complex || !complex->is_object() || !complex->contains("real") || !complex->contains("imaginary")) {
    error = "no permeability.complex.real and .imaginary";
    return nullptr;
  }
  auto f = std::make_shared<Ferrite>();
  f->name = "unnamed";
  Member(e, "", "name", f->name, error);
  if (e.contains("manufacturerInfo")) {
    const nlohmann::json& maker = e["manufacturerInfo"];
    if (!maker.is_object() && error.empty()) error = "manufacturerInfo is not an object";
    Member(maker, "manufacturerInfo.", "name", f->maker, error);
    Member(maker, "manufacturerInfo.", "datasheetUrl", f->source, error);
  }
  Member(e, "", "curieTemperature", f->curie, error);
  if (error.empty() && !(f->curie >= kLeastCelsius && f->curie <= kMostCelsius))
    error = "curieTemperature is not a temperature in C";
  if (error.empty()) f->real = PointsOf((*complex)["real"], "frequency", error);
  if (error.empty()) f->imaginary = PointsOf((*complex)["imaginary"], "frequency", error);
  if (!error.empty()) return nullptr;
  for (const auto& [curve, what] : {std::pair{&f->real, "mu'"}, std::pair{&f->imaginary, "mu''"}}) {
    error = CheckCurve(*curve, what, std::nextafter(0.0, 1.0), kMostFrequency);
    if (!error.empty()) return nullptr;
  }
  for (std::size_t i = f->imaginary.size(); i-- > 0;)
    if (f->imaginary[i].value < 0) error = "mu'': point " + std::to_string(i + 1) + " is negative";
  if (error.empty()) error = CheckPermeability(*f);
  if (!error.empty()) return nullptr;
  const nlohmann::json& perm = e["permeability"];
  if (perm.contains("initial")) {
    f->initial = PointsOf(perm["initial"], "temperature", error);
    if (error.empty() && f->initial.size() < 2) f->initial.clear();  // one point: no curve over temperature
    if (error.empty() && !f->initial.empty())
      error = CheckCurve(f->initial, "permeability.initial", kLeastCelsius, kMostCelsius);
    for (std::size_t i = 0; error.empty() && i < f->initial.size(); ++i) {
      if (!(f->initial[i].value >= kLeastInitial))
        error = "permeability.initial: point " + std::to_string(i + 1) + " is below 1";
    }
    if (!error.empty()) {
      if (error.starts_with("not a list") || error.starts_with("a point"))
        error = "permeability.initial: " + error;
      return nullptr;
    }
  }
  if (e.contains("saturation")) {
    if (!e["saturation"].is_array()) error = "saturation is not a list";
    for (const auto& s : e["saturation"]) {
      if (!error.empty()) break;
      double t = NAN, b = NAN;
      Member(s, "saturation.", "temperature", t, error);
      Member(s, "saturation.", "magneticFluxDensity", b, error);
      if (!error.empty() || std::isnan(t) || std::isnan(b)) continue;
      if (!(t >= kLeastCelsius && t <= kMostCelsius && b >= 0 && b <= kMostFluxDensity))
        error = "saturation: " + num::Printed(b, 6) + " T at " + num::Printed(t, 6) + " C is not usable";
      if (std::abs(t - 25) < 5) f->bsat25 = b;
      if (std::abs(t - 100) < 5) f->bsat100 = b;
    }
    if (!error.empty()) return nullptr;
  }
  if (f->bsat25 <= 0) f->bsat25 = f->bsat100;
  if (f->bsat100 <= 0) f->bsat100 = f->bsat25;
  return f;
}

std::shared_ptr<const Ferrite> FerriteFromText(std::string_view text, const std::string& name,
                                               std::string& error) {
  error.clear();
  if (text.find('\0') != std::string_view::npos) {
    error = "line " + std::to_string(std::count(text.begin(), text.begin() + text.find('\0'), '\n') + 1) +
            " holds binary data, not text";
    return nullptr;
  }
  const std::size_t first = text.find_first_not_of(" \t\r\n");
  if (first != std::string_view::npos && text[first] == '{') {
    auto f = FerriteFromJson(text, error);
    if (!f) error = "not a usable material entry: " + error;
    return f;
  }
  auto f = std::make_shared<Ferrite>();
  f->name = name;
  bool header = false;
  int number = 0;
  double last = 0;
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t end = std::min(text.find('\n', at), text.size());
    std::string_view line = text.substr(at, end - at);
    at = end + 1;
    ++number;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const std::string where = "line " + std::to_string(number) + ": ";
    if (line.empty() || line.front() == '#') continue;
    if (!header) {
      if (line != "frequency_hz,mu_real,mu_imag") {
        error = where + "expected the header frequency_hz,mu_real,mu_imag";
        return nullptr;
      }
      header = true;
      continue;
    }
    std::string_view cells[3];
    std::size_t count = 0, from = 0;
    for (; count < 3 && from <= line.size(); ++count) {
      const std::size_t comma = std::min(line.find(',', from), line.size());
      cells[count] = line.substr(from, comma - from);
      from = comma + 1;
    }
    if (count != 3 || from <= line.size()) {
      error = where + "expected three cells: frequency_hz,mu_real,mu_imag";
      return nullptr;
    }
    std::optional<double> values[3];
    for (std::size_t i = 0; i < 3; ++i) {
      if (cells[i].empty() && i > 0) continue;
      values[i] = num::ParseStrict(cells[i]);
      if (!values[i] || !std::isfinite(*values[i])) {
        error = where + "\"" + std::string(cells[i].substr(0, 40)) + "\" is not a number";
        return nullptr;
      }
    }
    const double f0 = *values[0];
    if (!(f0 > 0 && f0 <= kMostFrequency)) {
      error = where + "the frequency must be above 0 Hz and at most 1e12 Hz";
      return nullptr;
    }
    for (std::size_t i = 1; i < 3; ++i) {
      if (values[i] && !(std::abs(*values[i]) <= kMostPermeability)) {
        error = where + "a permeability beyond 1e6 is no material's";
        return nullptr;
      }
    }
    if (f0 <= last) {
      error = where + "the frequency must rise above the line before's";
      return nullptr;
    }
    last = f0;
    if (values[2] && *values[2] < 0) {
      error = where + "mu'' (the loss) cannot be negative";
      return nullptr;
    }
    if (values[1]) f->real.push_back({f0, *values[1]});
    if (values[2]) f->imaginary.push_back({f0, *values[2]});
  }
  if (!header) {
    error = "no header line frequency_hz,mu_real,mu_imag";
    return nullptr;
  }
  for (const auto& [curve, what] : {std::pair{&f->real, "mu'"}, std::pair{&f->imaginary, "mu''"}}) {
    if (curve->size() < 2) {
      error = std::string("fewer than two points of ") + what;
      return nullptr;
    }
  }
  error = CheckPermeability(*f);
  if (!error.empty()) return nullptr;
  return f;
}

std::shared_ptr<const Ferrite> GradeOf(std::string_view letter) {
  // Catalogue letter -> grade: the nearest initial permeability (1500, 3000, 5000, 10000, 15000).
  static const std::map<std::string, std::string, std::less<>> kGradeOfLetter{
      {"D", "N49"}, {"P", "N95"}, {"N", "T65"}, {"S", "T38"}, {"R", "T46"}};
  static const std::map<std::string, std::shared_ptr<const Ferrite>, std::less<>> grades = [] {
    std::map<std::string, std::shared_ptr<const Ferrite>, std::less<>> byName;
    std::string_view rest = kShippedGrades;
    while (!rest.empty()) {
      const std::size_t end = std::min(rest.find('\n'), rest.size());
      std::string error;
      if (auto f = FerriteFromJson(rest.substr(0, end), error)) byName[f->name] = f;
      rest.remove_prefix(std::min(end + 1, rest.size()));
    }
    std::map<std::string, std::shared_ptr<const Ferrite>, std::less<>> out;
    for (const auto& [l, name] : kGradeOfLetter)
      if (auto it = byName.find(name); it != byName.end()) out[l] = it->second;
    return out;
  }();
  const auto it = grades.find(letter);
  return it == grades.end() ? nullptr : it->second;
}

const CoreNetwork& NetworkOf(const std::shared_ptr<const Ferrite>& ferrite) {
  // Fitted once per grade (a few milliseconds) and kept while the grade lives.
  static std::mutex lock;
  static std::map<const Ferrite*, std::pair<std::shared_ptr<const Ferrite>, CoreNetwork>> fitted;
  static const CoreNetwork none{};
  if (!ferrite) return none;
  const std::lock_guard<std::mutex> hold(lock);
  auto it = fitted.find(ferrite.get());
  if (it == fitted.end()) {
    CoreNetwork net;
    const auto kept = std::find_if(kFittedNetworks.begin(), kFittedNetworks.end(),
                                   [&](const FittedNetwork& n) { return n.grade == ferrite->name; });
    const bool shipped = std::any_of(kGradeLetters.begin(), kGradeLetters.end(),
                                     [&](std::string_view l) { return GradeOf(l) == ferrite; });
    if (shipped && kept != kFittedNetworks.end()) {
      net.tanks.assign(kept->tanks.begin(), kept->tanks.end());
      net.windingRatio = kWindingRatio;
      net.worstDeviation = kept->worstDeviation;
      net.worstMagnitudeDeviation = kept->worstMagnitudeDeviation;
    } else {
      net = FitNetwork(*ferrite);
    }
    it = fitted.emplace(ferrite.get(), std::pair{ferrite, std::move(net)}).first;
  }
  return it->second.second;
}

std::complex<double> NetworkPermeability(const CoreNetwork& net, double f) {
  std::complex<double> sum = 0;
  for (const Tank& t : net.tanks) sum += TankPermeability(t, f);
  if (sum == 0.0) return 0;
  // The windings' own inductance, windingRatio x Lm, lies across the tanks.
  return net.windingRatio > 0 ? 1.0 / (1.0 / sum + 1.0 / net.windingRatio) : sum;
}

}  // namespace vtq::analysis
