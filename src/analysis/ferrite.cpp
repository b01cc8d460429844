#include "analysis/ferrite.h"

#include <algorithm>
#include <array>
#include <cmath>
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

std::string CheckCurve(const std::vector<CurvePoint>& c, std::string_view what, bool positiveX) {
  if (c.size() < 2) return std::string(what) + " has fewer than two points";
  for (std::size_t i = 0; i < c.size(); ++i) {
    if (!std::isfinite(c[i].x) || !std::isfinite(c[i].value) || (positiveX && c[i].x <= 0))
      return std::string(what) + ": point " + std::to_string(i + 1) + " is not a usable number";
    if (i > 0 && c[i].x <= c[i - 1].x)
      return std::string(what) + ": point " + std::to_string(i + 1) + " does not rise above the one before";
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
  const nlohmann::json e = nlohmann::json::parse(text, nullptr, false);
  if (e.is_discarded() || !e.is_object()) {
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
  f->name = e.value("name", std::string("unnamed"));
  if (e.contains("manufacturerInfo") && e["manufacturerInfo"].is_object()) {
    f->maker = e["manufacturerInfo"].value("name", std::string());
    f->source = e["manufacturerInfo"].value("datasheetUrl", std::string());
  }
  f->real = PointsOf((*complex)["real"], "frequency", error);
  if (error.empty()) f->imaginary = PointsOf((*complex)["imaginary"], "frequency", error);
  if (!error.empty()) return nullptr;
  for (const auto& [curve, what] : {std::pair{&f->real, "mu'"}, std::pair{&f->imaginary, "mu''"}}) {
    error = CheckCurve(*curve, what, true);
    if (!error.empty()) return nullptr;
  }
  if (f->real.front().value <= 0) error = "mu' at the lowest frequency is not above 0";
  for (std::size_t i = f->imaginary.size(); i-- > 0;)
    if (f->imaginary[i].value < 0) error = "mu'': point " + std::to_string(i + 1) + " is negative";
  if (!error.empty()) return nullptr;
  const nlohmann::json& perm = e["permeability"];
  if (perm.contains("initial") && perm["initial"].is_array()) {
    std::string ignored;
    f->initial = PointsOf(perm["initial"], "temperature", ignored);
    if (!ignored.empty() || !CheckCurve(f->initial, "", false).empty()) f->initial.clear();
  }
  if (e.contains("saturation") && e["saturation"].is_array()) {
    for (const auto& s : e["saturation"]) {
      if (!s.is_object() || !s.contains("temperature") || !s.contains("magneticFluxDensity")) continue;
      const double t = s.value("temperature", 0.0), b = s.value("magneticFluxDensity", 0.0);
      if (std::abs(t - 25) < 5) f->bsat25 = b;
      if (std::abs(t - 100) < 5) f->bsat100 = b;
    }
  }
  if (f->bsat25 <= 0) f->bsat25 = f->bsat100;
  if (f->bsat100 <= 0) f->bsat100 = f->bsat25;
  f->curie = e.value("curieTemperature", 0.0);
  return f;
}

std::shared_ptr<const Ferrite> FerriteFromText(std::string_view text, const std::string& name,
                                               std::string& error) {
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
    if (!(f0 > 0)) {
      error = where + "the frequency must be above 0 Hz";
      return nullptr;
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
  if (f->real.front().value <= 0) {
    error = "mu' at the lowest frequency must be above 0";
    return nullptr;
  }
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
