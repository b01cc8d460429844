#include "analysis/ferrite.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>

#include "engine/numbers.h"

namespace vtq::analysis {

// The shipped database entries, one JSON object a line, compiled in at build time.
extern const std::string_view kShippedGrades;

namespace {

constexpr std::array<std::string_view, 5> kGradeLetters{"D", "P", "N", "S", "R"};

// Linear in x, the ends held.
double Interpolate(const std::vector<CurvePoint>& c, double x) {
  if (c.empty()) return 0;
  if (x <= c.front().x) return c.front().value;
  if (x >= c.back().x) return c.back().value;
  const auto hi =
      std::upper_bound(c.begin(), c.end(), x, [](double v, const CurvePoint& p) { return v < p.x; });
  const auto lo = hi - 1;
  const double t = (x - lo->x) / (hi->x - lo->x);
  return lo->value + t * (hi->value - lo->value);
}

}  // namespace

namespace {

// What a material file may hold; anything outside is a typing or unit slip, and would
// carry inf or NaN into the impedance and the netlist.
constexpr double kMostPermeability = 1e6;  // |mu|: supermalloy, the highest of soft magnetic alloys, ~1e6
constexpr double kLeastInitial = 1;        // mu' at the lowest frequency: a magnetic core is at least air
constexpr double kMostFrequency = 1e12;    // Hz, far above any permeameter's range (a few GHz)
constexpr double kLeastCelsius = -273.15, kMostCelsius = 2000;  // absolute zero; above every Curie point
constexpr double kMostFluxDensity = 3;  // T: FeCo, the highest saturating alloy, ~2.4 T
// ohm m: silver, the best conductor, 1.6e-8; NiZn ferrites reach 1e7, insulators far more.
constexpr double kLeastResistivity = 1e-8, kMostResistivity = 1e16;

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
  // A drawn curve between its points, linear in log f; nothing where it is not drawn.
  auto drawn = [](const std::vector<CurvePoint>& curve, double x) -> std::optional<double> {
    if (curve.empty() || x < curve.front().x || x > curve.back().x) return std::nullopt;
    const auto hi = std::lower_bound(curve.begin(), curve.end(), x,
                                     [](const CurvePoint& p, double v) { return p.x < v; });
    if (hi->x == x || hi == curve.begin()) return hi->value;
    const auto lo = hi - 1;
    const double t = std::log(x / lo->x) / std::log(hi->x / lo->x);
    return lo->value + t * (hi->value - lo->value);
  };
  for (double x : at) {
    // Where every curve drawn there is 0, the fit's error relative to |mu| has no scale.
    const std::optional<double> re = drawn(f.real, x), im = drawn(f.imaginary, x);
    if ((!re || *re == 0) && (!im || *im == 0))
      return "mu' and mu'' are both 0 at " + num::Printed(x, 6) + " Hz: the core has no inductance there";
  }
  return "";
}

}  // namespace

double Ferrite::InitialAt(double celsius) const {
  return initial.empty() ? LowFrequency() : Interpolate(initial, celsius);
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
  // The resistivity: a plain number, or a list of {value, temperature} of which the one
  // nearest 25 C is taken (a point without a temperature counts as 25 C).
  if (error.empty() && e.contains("resistivity")) {
    const nlohmann::json& r = e["resistivity"];
    if (r.is_number()) {
      f->resistivity = r.get<double>();
    } else if (r.is_array()) {
      double nearest = std::numeric_limits<double>::infinity();
      for (const auto& v : r) {
        if (!v.is_object() || !v.contains("value") || !v["value"].is_number() ||
            (v.contains("temperature") && !v["temperature"].is_number())) {
          error = "resistivity: a point without a number for value and temperature";
          break;
        }
        const double t = v.contains("temperature") ? v["temperature"].get<double>() : 25;
        if (std::abs(t - 25) < nearest) nearest = std::abs(t - 25), f->resistivity = v["value"].get<double>();
      }
    } else {
      error = "resistivity is not a number or a list of points";
    }
    if (error.empty() && !(f->resistivity >= kLeastResistivity && f->resistivity <= kMostResistivity))
      error = "resistivity is not a resistivity in ohm m";
  }
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
  // The initial permeability as one value with the maker's temperature formula, not points:
  // no curve over temperature, the grade held at its lowest-frequency mu'.
  const bool oneValue = perm.contains("initial") && perm["initial"].is_object() &&
                        perm["initial"].contains("value") && perm["initial"]["value"].is_number();
  if (perm.contains("initial") && !oneValue) {
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

bool IsShippedGrade(const std::shared_ptr<const Ferrite>& ferrite) {
  return ferrite && std::any_of(kGradeLetters.begin(), kGradeLetters.end(),
                                [&](std::string_view l) { return GradeOf(l) == ferrite; });
}

}  // namespace vtq::analysis
