#include "analysis/ferrite.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <nlohmann/json.hpp>
#include <numbers>

#include "analysis/impedance.h"
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

// Every measured point comes back as drawn; half-way in log f lies half-way in value; mu'
// is 0 past its last point, and the ends hold outside the data.
TEST(Ferrite, FollowsTheMeasuredPoints) {
  for (const auto& [letter, name] : kGrades) {
    SCOPED_TRACE(name);
    const auto grade = GradeOf(letter);
    ASSERT_TRUE(grade);
    EXPECT_EQ(grade->name, name);
    const json e = Entry(name);
    const json& re = e["permeability"]["complex"]["real"];
    const json& im = e["permeability"]["complex"]["imaginary"];
    for (const auto& p : re) EXPECT_EQ(grade->Permeability(p["frequency"]).real(), p["value"].get<double>());
    for (const auto& p : im) EXPECT_EQ(-grade->Permeability(p["frequency"]).imag(), p["value"].get<double>());
    const double f0 = im[40]["frequency"], f1 = im[41]["frequency"];
    EXPECT_NEAR(-grade->Permeability(std::sqrt(f0 * f1)).imag(),
                (im[40]["value"].get<double>() + im[41]["value"].get<double>()) / 2, 1e-9);
    EXPECT_EQ(grade->Permeability(re.back()["frequency"].get<double>() * 1.01).real(), 0);
    EXPECT_EQ(grade->Permeability(1e3), grade->Permeability(1e4));
    EXPECT_EQ(grade->Permeability(1e10), grade->Permeability(1e9));
    // Temperature: the data's points, linear between them, 25 C half-way from 20 to 30.
    const json& initial = e["permeability"]["initial"];
    for (const auto& p : initial) EXPECT_EQ(grade->InitialAt(p["temperature"]), p["value"].get<double>());
    EXPECT_EQ(grade->SaturationAt(-40), e["saturation"][0]["magneticFluxDensity"].get<double>());
    EXPECT_EQ(grade->SaturationAt(150), e["saturation"][1]["magneticFluxDensity"].get<double>());
  }
}

// The choke's impedance from the grade's points, worked out here from the data: at a
// measured frequency the core is j w Lm (mu' - j mu'') / mu'(10 kHz), times mu_i(T) / mu_i(25).
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
      const std::complex<double> branch(p.resistance, w2 * p.leakage);
      const std::complex<double> zcm =
          0.5 / (1.0 / (branch + 2.0 * std::complex<double>(0, w2) * p.magnetizing * k * mu / mu0) +
                 std::complex<double>(0, w2 * p.capacitance));
      EXPECT_NEAR(std::abs(CommonModeImpedance(p, f)) / std::abs(zcm), 1, 1e-9) << t << " C, " << f << " Hz";
    }
    EXPECT_NEAR(c.inductanceAt[0], p.leakage + p.magnetizing * 2753.0 / mu25, 1e-12);
    EXPECT_NEAR(c.saturationLimit, t == 100 ? 0.32765 : 0.4651, 1e-12);
  }
}

// The circuit model's network: the kept fit, positive elements only, and within 2 % in |mu| of the
// three grades whose curves fall smoothly (ngspice runs it in the command line's tests).
// N49 and N95 peak sharply and stop drawing mu' early: about 13 % and 37 % at worst.
TEST(Ferrite, NetworkFitsEachGrade) {
  for (const auto& [letter, name] : kGrades) {
    SCOPED_TRACE(name);
    const CoreNetwork& net = NetworkOf(GradeOf(letter));
    if (name[0] == 'T') {
      EXPECT_LT(net.worstMagnitudeDeviation, 0.02);
    }
    for (const Tank& t : net.tanks) EXPECT_TRUE(t.l > 0 && t.r > 0 && t.c >= 0);
    // The kept table is this build's fit, to the rounding of another libm.
    const CoreNetwork fresh = FitNetwork(*GradeOf(letter));
    ASSERT_EQ(fresh.tanks.size(), net.tanks.size());
    for (std::size_t k = 0; k < net.tanks.size(); ++k) {
      EXPECT_NEAR(fresh.tanks[k].l / net.tanks[k].l, 1, 1e-6);
      EXPECT_NEAR(fresh.tanks[k].r / net.tanks[k].r, 1, 1e-6);
    }
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

// A file's permeability is taken as it stands, over the catalogue's mu_i: the core of a
// 5000 material with a flat mu = 2500 - j 2500 file is j w Lm (1 - j) / 2.
TEST(Ferrite, UserFileAsItStands) {
  std::string error;
  const auto flat = FerriteFromText(
      "# flat\r\nfrequency_hz,mu_real,mu_imag\r\n1e3,2500,2500\r\n1e9,2500,2500\r\n", "flat.csv", error);
  ASSERT_TRUE(flat) << error;
  const ImpedanceCurve c = ChokeImpedance(Designed({kImpedance, "100", "2"}), {}, 0, 25, flat);
  const ChokeParameters& p = c.parameters;
  const double f = 3e5, w = 2 * std::numbers::pi * f;
  const std::complex<double> branch(p.resistance, w * p.leakage),
      core = w * p.magnetizing * std::complex<double>(1, 1) / 2.0;
  const std::complex<double> zcm =
      0.5 / (1.0 / (branch + 2.0 * core) + std::complex<double>(0, w * p.capacitance));
  EXPECT_NEAR(std::abs(CommonModeImpedance(p, f) / zcm - 1.0), 0, 1e-12);
  EXPECT_DOUBLE_EQ(c.saturationLimit, 0.4651);  // a CSV has none: the material's grade's
}

}  // namespace
}  // namespace vtq::test
