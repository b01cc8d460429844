#include "analysis/ferrite.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <nlohmann/json.hpp>
#include <numbers>

#include "analysis/impedance.h"
#include "engine/numbers.h"
#include "support/design_inputs.h"

namespace vtq::test {
namespace {

using namespace analysis;
using nlohmann::json;

// The database entries as shipped, read here with a JSON library and not the program's reader.
json Entry(const std::string& name) {
  std::ifstream in(VTQ_MATERIALS_DATA);
  for (std::string line; std::getline(in, line);) {
    json e = json::parse(line);
    if (e["name"] == name) return e;
  }
  return {};
}

constexpr std::pair<const char*, const char*> kGrades[] = {
    {"D", "N49"}, {"P", "N95"}, {"N", "T65"}, {"S", "T38"}, {"R", "T46"}};

// The model within 3 % of |mu| at every point where both curves are drawn, for every
// shipped grade, against the database entry read here; and the temperature data as drawn.
TEST(Ferrite, ModelFollowsTheDrawnPoints) {
  for (const auto& [letter, name] : kGrades) {
    SCOPED_TRACE(name);
    const auto grade = GradeOf(letter);
    ASSERT_TRUE(grade);
    EXPECT_EQ(grade->name, name);
    const json e = Entry(name);
    const json& re = e["permeability"]["complex"]["real"];
    const json& im = e["permeability"]["complex"]["imaginary"];
    int compared = 0;
    for (std::size_t i = 0; i < re.size(); ++i) {
      const double f = re[i]["frequency"];
      ASSERT_EQ(im[i]["frequency"].get<double>(), f);  // the entries draw both on one grid
      const std::complex<double> drawn(re[i]["value"].get<double>(), -im[i]["value"].get<double>());
      EXPECT_LT(std::abs(ModelPermeability(grade, f) - drawn) / std::abs(drawn), 0.03) << f << " Hz";
      ++compared;
    }
    EXPECT_GE(compared, 46);
    // Passive: every element positive (r = 0 and c = 0 mean the element is left out).
    for (const Tank& t : NetworkOf(grade).tanks) EXPECT_TRUE(t.l > 0 && t.r >= 0 && t.c >= 0);
    // Temperature: the data's points, linear between them, 25 C half-way from 20 to 30.
    const json& initial = e["permeability"]["initial"];
    for (const auto& p : initial) EXPECT_EQ(grade->InitialAt(p["temperature"]), p["value"].get<double>());
    EXPECT_EQ(grade->SaturationAt(-40), e["saturation"][0]["magneticFluxDensity"].get<double>());
    EXPECT_EQ(grade->SaturationAt(150), e["saturation"][1]["magneticFluxDensity"].get<double>());
  }
}

// The choke's impedance from the model, worked out here from the data: at a drawn frequency
// the core is j w Lm (mu' - j mu'') / mu'(10 kHz) times mu_i(T) / mu_i(25), within the
// model's 0.5 % on this grade.
TEST(Ferrite, ImpedanceFromTheData) {
  const DesignWindow w = Designed({kImpedance, "100", "2"});  // material N, T65
  const json e = Entry("T65");
  const json& re = e["permeability"]["complex"]["real"];
  const json& im = e["permeability"]["complex"]["imaginary"];
  const double mu0 = re[0]["value"], mu25 = (5305.0 + 5252.0) / 2;  // initial at 20 and 30 C
  for (const double t : {25.0, -40.0, 100.0}) {
    const ImpedanceCurve c = ChokeImpedance(w, {}, 0, t);
    const ChokeParameters& p = c.parameters;
    const double k = t == 25 ? 1 : t == -40 ? 2753.0 / mu25 : 5343.0 / mu25;
    for (const int i : {20, 40, 50}) {  // 100 kHz, 1 MHz, 3.2 MHz
      const double f = im[i]["frequency"], w2 = 2 * std::numbers::pi * f;
      ASSERT_EQ(re[i]["frequency"].get<double>(), f);
      const std::complex<double> mu(re[i]["value"].get<double>(), -im[i]["value"].get<double>());
      // The winding's copper and leakage at frequency are held in impedance_test.cpp, the
      // core's size factor in core_size_test.cpp.
      const std::complex<double> relative = k * mu / mu0, core = relative * SizeFactorOf(p, f, relative);
      const std::complex<double> zcm =
          0.5 / (1.0 / (SeriesImpedance(p, f) + 2.0 * std::complex<double>(0, w2) * p.magnetizing * core) +
                 std::complex<double>(0, w2 * p.capacitance));
      EXPECT_NEAR(std::abs(CommonModeImpedance(p, f)) / std::abs(zcm), 1, 0.005) << t << " C, " << f << " Hz";
    }
    EXPECT_NEAR(c.inductanceAt[0], p.leakage + p.magnetizing * 2753.0 / mu25, 1e-12);
    EXPECT_NEAR(c.saturationLimit, t == 100 ? 0.32765 : 0.4651, 1e-12);
  }
}

// The kept table is this build's fit, to the rounding of another compiler.
TEST(Ferrite, KeptNetworksAreTheFit) {
  for (const auto& [letter, name] : kGrades) {
    SCOPED_TRACE(name);
    const CoreNetwork& net = NetworkOf(GradeOf(letter));
    const CoreNetwork fresh = FitNetwork(*GradeOf(letter));
    ASSERT_EQ(fresh.tanks.size(), net.tanks.size());
    for (std::size_t k = 0; k < net.tanks.size(); ++k) {
      EXPECT_NEAR(fresh.tanks[k].l / net.tanks[k].l, 1, 1e-6);
      EXPECT_NEAR(fresh.tanks[k].r, net.tanks[k].r, 1e-6 * net.tanks[k].r);
    }
  }
}

// Curves as a file gives them, written here from closed forms: a causal one (a Debye
// relaxation plus a damped resonance) that the model and the Kramers-Kronig check both
// follow closely, and one whose mu' stays flat under a loss peak, which no causal material
// has: the check says so, and the model's miss is reported and warned of.
TEST(Ferrite, CausalityOfAFile) {
  auto file = [](auto mu) {
    std::string text = "frequency_hz,mu_real,mu_imag\n";
    for (int i = 0; i <= 100; ++i) {
      const double f = 1e4 * std::pow(10.0, i / 20.0);
      const std::complex<double> m = mu(f);
      text += num::DoubleText(f) + "," + num::DoubleText(m.real()) + "," + num::DoubleText(-m.imag()) + "\n";
    }
    return text;
  };
  const auto causal = [](double f) {
    const std::complex<double> j(0, 1);
    const double x = f / 2e6;
    return 1.0 + 2000.0 / (1.0 + j * f / 3e5) + 1000.0 / (1.0 - x * x + j * x / 1.5);
  };
  const auto flat = [](double f) {
    const double x = std::log10(f / 1e6);
    return std::complex<double>(3000, -1500 * std::exp(-x * x));
  };
  const struct {
    std::string text;
    double fitAtMost, fitAtLeast, kkAtMost, kkAtLeast;
  } cases[] = {{file(causal), 0.01, 0, 0.03, 0}, {file(flat), 1, 0.05, 1, 0.2}};
  for (const auto& c : cases) {
    std::string error;
    const auto f = FerriteFromText(c.text, "f.csv", error);
    ASSERT_TRUE(f) << error;
    const CoreNetwork& net = NetworkOf(f);
    EXPECT_LE(net.worstDeviation, c.fitAtMost);
    EXPECT_GE(net.worstDeviation, c.fitAtLeast);
    const KramersKronigCheck kk = KramersKronig(*f);
    EXPECT_EQ(kk.points.size(), 101u);
    EXPECT_LE(kk.worstDeviation, c.kkAtMost);
    EXPECT_GE(kk.worstDeviation, c.kkAtLeast);
  }
}

// A user's file: every fault named with its line, and nothing read from a refused file.
TEST(Ferrite, RefusesABadFile) {
  const std::string head = "frequency_hz,mu_real,mu_imag\n";
  const std::pair<std::string, const char*> cases[] = {
      {"[1]", "line 1: expected the header frequency_hz,mu_real,mu_imag"},
      {"{\"permeability\": {}}", "not a usable material entry: no permeability.complex.real and .imaginary"},
      {head + "1e4,100,1\n2e4,90,x\n", "line 3: \"x\" is not a number"},
      {head + "# note\n1e4,100,1\n1e4,90,1\n", "line 4: the frequency must rise above the line before's"},
      {head + "2e4,100,1\n1e4,90,1\n", "line 3: the frequency must rise above the line before's"},
      {head + "1e4,100,1\n2e4,90,-1\n", "line 3: mu'' (the loss) cannot be negative"},
      {head + "1e4,100,1\n2e4,90\n", "line 3: expected three cells: frequency_hz,mu_real,mu_imag"},
      {head + "1e4,100,1\n2e4,,1\n", "fewer than two points of mu'"},
      {head + std::string("1e4,100,1\n\0\n", 12), "line 3 holds binary data, not text"},
      {R"({"permeability": {"complex": {"real": [{"frequency": 2e4, "value": 100}, {"frequency": 1e4, "value": 90}],
          "imaginary": []}}})",
       "not a usable material entry: mu': point 2 does not rise above the one before"},
  };
  for (const auto& [text, message] : cases) {
    std::string error;
    EXPECT_FALSE(FerriteFromText(text, "f.csv", error)) << message;
    EXPECT_EQ(error, message);
  }
}

// A database entry with one value of the wrong type or beyond any material is said by its
// key, never thrown: each edit of a good entry, and what the reader says.
TEST(Ferrite, RefusesAnEntryByItsKey) {
  const json good = json::parse(R"({"name": "X", "manufacturerInfo": {"name": "M"},
      "permeability": {"complex": {"real": [{"frequency": 1e4, "value": 100}, {"frequency": 1e6, "value": 50}],
      "imaginary": [{"frequency": 1e4, "value": 1}, {"frequency": 1e6, "value": 40}]}}})");
  const struct {
    std::string at;  // the value edited, as a JSON pointer
    json value;
    std::string message;
  } edits[] = {
      {"/name", 5, "name is not a text"},
      {"/curieTemperature", nullptr, "curieTemperature is not a number"},
      {"/manufacturerInfo/datasheetUrl", nullptr, "manufacturerInfo.datasheetUrl is not a text"},
      {"/manufacturerInfo", "M", "manufacturerInfo is not an object"},
      {"/saturation",
       {{{"temperature", "25"}, {"magneticFluxDensity", 0.5}}},
       "saturation.temperature is not a number"},
      {"/saturation",
       {{{"temperature", 25}, {"magneticFluxDensity", 1e300}}},
       "saturation: 1e+300 T at 25 C is not usable"},
      {"/permeability/initial",
       {{{"temperature", 25}, {"value", 0}}, {{"temperature", 100}, {"value", 9}}},
       "permeability.initial: point 1 is below 1"},
      {"/permeability/complex/real/0/value", 1.7e308, "mu': point 1 is not a usable number"},
      {"/permeability/complex/real/0/value", 0, "mu' at the lowest frequency must be at least 1"},
      {"/permeability/complex/imaginary", 7, "not a list of points"},
      {"/resistivity", "17", "resistivity is not a number or a list of points"},
      {"/resistivity",
       {{{"value", "17"}}},
       "resistivity: a point without a number for value and temperature"},
      {"/resistivity", 0, "resistivity is not a resistivity in ohm m"},
  };
  std::string error;
  ASSERT_TRUE(FerriteFromText(good.dump(), "x.json", error)) << error;
  // One initial value with the maker's temperature formula (as some makers' grades are
  // filed) reads as no curve over temperature: the grade held at its lowest-frequency mu'.
  json oneValue = good;
  oneValue["permeability"]["initial"] = json::parse(R"({"value": 5000, "modifiers": {"default": {"a": 1}}})");
  const auto held = FerriteFromText(oneValue.dump(), "x.json", error);
  ASSERT_TRUE(held) << error;
  EXPECT_EQ(held->InitialAt(-40), 100);
  // The resistivity: a number, or of a list the point nearest 25 C.
  json resistive = good;
  resistive["resistivity"] =
      json::parse(R"([{"value": 9, "temperature": 100}, {"value": 4, "temperature": 20}])");
  const auto read = FerriteFromText(resistive.dump(), "x.json", error);
  ASSERT_TRUE(read) << error;
  EXPECT_EQ(read->resistivity, 4);
  for (const auto& edit : edits) {
    json e = good;
    e[json::json_pointer(edit.at)] = edit.value;
    EXPECT_FALSE(FerriteFromText(e.dump(), "x.json", error)) << edit.message;
    EXPECT_EQ(error, "not a usable material entry: " + edit.message);
  }
  EXPECT_FALSE(FerriteFromText("{\"name\":\n\n1e400}", "x.json", error));
  EXPECT_EQ(error, "not a usable material entry: not JSON (a number beyond range)");
  EXPECT_FALSE(FerriteFromText("{\"name\":\n\n x}", "x.json", error));
  EXPECT_EQ(error, "not a usable material entry: not JSON (line 3)");
}

// Each column goes to its own curve, a cell left empty leaves that curve without the point;
// a curve the core cannot follow (no inductance left) or a value beyond any material is refused.
TEST(Ferrite, ReadsEachColumnIntoItsCurve) {
  std::string error;
  const auto f =
      FerriteFromText("frequency_hz,mu_real,mu_imag\n1e4,100,1\n2e4,90,5\n3e4,,7\n", "f.csv", error);
  ASSERT_TRUE(f) << error;
  auto points = [](const std::vector<CurvePoint>& c) {
    std::vector<std::pair<double, double>> out;
    for (const CurvePoint& p : c) out.emplace_back(p.x, p.value);
    return out;
  };
  using Points = std::vector<std::pair<double, double>>;
  EXPECT_EQ(points(f->real), (Points{{1e4, 100}, {2e4, 90}}));
  EXPECT_EQ(points(f->imaginary), (Points{{1e4, 1}, {2e4, 5}, {3e4, 7}}));
  const std::string head = "frequency_hz,mu_real,mu_imag\n";
  const std::pair<std::string, const char*> refused[] = {
      {head + "1e4,100,0\n1e6,0,0\n",
       "mu' and mu'' are both 0 at 1e+06 Hz: the core has no inductance there"},
      {head + "1e4,100,0\n1e6,90,0\n2e6,,0\n",
       "mu' and mu'' are both 0 at 2e+06 Hz: the core has no inductance there"},
      {head + "1e4,1.7e308,1\n1e6,90,1\n", "line 2: a permeability beyond 1e6 is no material's"},
      {head + "1e4,0,1\n1e6,90,1\n", "mu' at the lowest frequency must be at least 1"},
      {head + "1e13,9,1\n", "line 2: the frequency must be above 0 Hz and at most 1e12 Hz"},
  };
  for (const auto& [text, message] : refused) {
    EXPECT_FALSE(FerriteFromText(text, "f.csv", error)) << message;
    EXPECT_EQ(error, message);
  }
}

// A file's permeability is taken as it stands, over the catalogue's mu_i: the core of a
// 5000 material with a 2500 / (1 + j f / 1 MHz) file is j w Lm mu / 5000, within the
// model's miss of the file.
TEST(Ferrite, UserFileAsItStands) {
  std::string text = "# relaxation\r\nfrequency_hz,mu_real,mu_imag\r\n";
  const auto mu = [](double f) { return 2500.0 / std::complex<double>(1, f / 1e6); };
  for (double f = 1e3; f < 2e9; f *= 1.122)  // 20 points a decade, as a data sheet draws
    text += num::DoubleText(f) + "," + num::DoubleText(mu(f).real()) + "," + num::DoubleText(-mu(f).imag()) +
            "\r\n";
  std::string error;
  const auto relaxation = FerriteFromText(text, "relaxation.csv", error);
  ASSERT_TRUE(relaxation) << error;
  const ImpedanceCurve c = ChokeImpedance(Designed({kImpedance, "100", "2"}), {}, 0, 25, relaxation);
  const ChokeParameters& p = c.parameters;
  for (const double f : {1e5, 3e5, 1e6, 3e6}) {
    const double w = 2 * std::numbers::pi * f;
    const std::complex<double> branch = SeriesImpedance(p, f), core = std::complex<double>(0, w) *
                                                                      p.magnetizing * mu(f) / 5000.0 *
                                                                      SizeFactorOf(p, f, mu(f) / 5000.0);
    const std::complex<double> zcm =
        0.5 / (1.0 / (branch + 2.0 * core) + std::complex<double>(0, w * p.capacitance));
    EXPECT_NEAR(std::abs(CommonModeImpedance(p, f) / zcm - 1.0), 0, 0.003) << f;
  }
  EXPECT_DOUBLE_EQ(c.saturationLimit, 0.4651);  // a CSV has none: the material's grade's
}

}  // namespace
}  // namespace vtq::test
