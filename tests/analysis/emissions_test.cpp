#include "analysis/emissions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <map>
#include <numbers>
#include <random>
#include <sstream>

#include "analysis/find_core.h"
#include "analysis/quotient.h"
#include "analysis/silent_dialogs.h"
#include "analysis/winding.h"
#include "engine/catalogue.h"
#include "support/design_inputs.h"
#include "support/scripted_host.h"
#include "ui/model/analysis_views.h"
#include "ui/model/plot_layout.h"
#include "ui/model/window_model.h"

namespace vtq::test {
namespace {

using namespace analysis;
constexpr double kPi = std::numbers::pi;

// The limit tables' values at their corners and inside the sloped stretch.
TEST(Emissions, LimitLines) {
  const struct {
    Standard standard;
    double f, qp, av;  // Hz, dBuV
  } cases[] = {
      {Standard::Cispr32B, 150e3, 66, 56},
      {Standard::Cispr32B, 250e3, 61.757, 51.757},
      {Standard::Cispr32B, 500e3, 56, 46},
      {Standard::Cispr32B, 5e6, 56, 46},
      {Standard::Cispr32B, 5.01e6, 60, 50},
      {Standard::Cispr32B, 30e6, 60, 50},
      {Standard::Cispr32A, 150e3, 79, 66},
      {Standard::Cispr32A, 250e3, 79, 66},
      {Standard::Cispr32A, 500e3, 73, 60},
      {Standard::Cispr32A, 5e6, 73, 60},
      {Standard::Cispr32A, 30e6, 73, 60},
      {Standard::Fcc15B, 250e3, 61.757, 51.757},
      {Standard::Fcc15B, 5e6, 56, 46},
      {Standard::Fcc15A, 500e3, 73, 60},
      // CISPR 11 group 1 mains port: class A (up to 20 kVA) 79/66 then 73/60; class B as CISPR 32's.
      {Standard::Cispr11A, 150e3, 79, 66},
      {Standard::Cispr11A, 500e3, 73, 60},
      {Standard::Cispr11A, 5e6, 73, 60},
      {Standard::Cispr11A, 30e6, 73, 60},
      {Standard::Cispr11B, 150e3, 66, 56},
      {Standard::Cispr11B, 500e3, 56, 46},
      {Standard::Cispr11B, 5e6, 56, 46},
      {Standard::Cispr11B, 30e6, 60, 50},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(LineOf(c.standard).name) + " at " + std::to_string(c.f));
    const std::optional<Limit> limit = LimitAt(c.standard, c.f);
    ASSERT_TRUE(limit);
    EXPECT_NEAR(limit->quasiPeak, c.qp, 1e-3);
    EXPECT_NEAR(limit->average, c.av, 1e-3);
  }
  EXPECT_FALSE(LimitAt(Standard::Cispr32B, 149e3));
  EXPECT_FALSE(LimitAt(Standard::Fcc15A, 30.01e6));
}

// The exact coefficients against a numerical Fourier integral of the sampled waveform.
TEST(Emissions, HarmonicsOfTheWaveforms) {
  const int samples = 200000;
  auto numeric = [&](auto wave, int n) {
    double re = 0, im = 0;
    for (int i = 0; i < samples; ++i) {
      const double t = (i + 0.5) / samples;
      re += wave(t) * std::cos(2 * kPi * n * t);
      im += wave(t) * std::sin(2 * kPi * n * t);
    }
    return 2 * std::hypot(re, im) / samples;
  };
  for (const auto& [duty, rise] : {std::pair{0.5, 0.0}, {0.3, 0.05}, {0.8, 0.01}}) {
    // 0 to 1 in `rise`, the edges centred on the half-amplitude points 0, `duty` and 1.
    auto trapezoid = [&](double t) {
      if (rise == 0) return t < duty ? 1.0 : 0.0;
      auto up = [&](double x) { return std::clamp(x / rise + 0.5, 0.0, 1.0); };
      return up(t) - up(t - duty) + up(t - 1);
    };
    auto triangle = [&](double t) { return t < duty ? t / duty : (1 - t) / (1 - duty); };
    for (int n : {1, 2, 3, 7, 40}) {
      SCOPED_TRACE("D " + std::to_string(duty) + " n " + std::to_string(n));
      EXPECT_NEAR(TrapezoidHarmonic(2, duty, rise, n), 2 * numeric(trapezoid, n), 1e-4);
      EXPECT_NEAR(TriangleHarmonic(2, duty, n), 2 * numeric(triangle, n), 1e-4);
    }
  }
}

// A three-phase bridge's common-mode voltage (va + vb + vc) / 3 sampled from its legs, each
// a pulse centred on t = 0 with the duty of phase a at its peak (m = 2 D - 1, the others at
// m cos 120 deg), against the signed sum of the legs' coefficients.
TEST(Emissions, ThreePhaseCommonModeHarmonics) {
  const int samples = 200000;
  for (const auto& [duty, rise] : {std::pair{0.5, 0.0}, {0.8, 0.02}, {0.3, 0.01}, {0.95, 0.0}}) {
    double duties[3] = {duty, 0, 0};
    duties[1] = duties[2] = 0.5 + (duty - 0.5) * std::cos(2 * kPi / 3);
    auto leg = [&](double d, double t) {  // 0 to 1, edges of `rise` centred on -d/2 and d/2
      auto up = [&](double x) {
        return rise == 0 ? (x >= 0 ? 1.0 : 0.0) : std::clamp(x / rise + 0.5, 0.0, 1.0);
      };
      const double x = t - std::round(t);  // -0.5 .. 0.5
      return up(x + d / 2) - up(x - d / 2);
    };
    for (int n : {1, 2, 3, 5, 6, 9, 31}) {
      double re = 0, im = 0;
      for (int i = 0; i < samples; ++i) {
        const double t = (i + 0.5) / samples;
        const double v = (leg(duties[0], t) + leg(duties[1], t) + leg(duties[2], t)) / 3;
        re += v * std::cos(2 * kPi * n * t);
        im += v * std::sin(2 * kPi * n * t);
      }
      SCOPED_TRACE("D " + std::to_string(duty) + " n " + std::to_string(n));
      EXPECT_NEAR(ThreePhaseCommonHarmonic(300, duty, rise, n), 300 * 2 * std::hypot(re, im) / samples, 2e-3);
    }
  }
  // A zero vector: all three legs alike, the single trapezoid's spectrum.
  EXPECT_NEAR(ThreePhaseCommonHarmonic(300, 0.5, 0.01, 3), TrapezoidHarmonic(300, 0.5, 0.01, 3), 1e-9);
}

struct FindCoreCheck {
  std::string part, turns;
  EmissionCheck check;
};

// A choke of nothing but inductance: no copper, no leakage, no capacitance, no loss.
ChokeParameters Ideal(double inductance) {
  ChokeParameters p;
  p.inductance = p.magnetizing = inductance;
  return p;
}

TEST(Emissions, ReferenceCases) {
  // 4 f C V, not C dV/dt: 1.95 mA through 10 pF, read as 25 ohm (both lines' 50 ohm) at the receiver.
  EmissionInputs in;
  in.source = {325, 150e3, 0.5, 0, 10e-12, 0, RippleShape::Trapezoid};
  in.filter.network = Network::FiftyOhm;
  const EmissionCheck c = CheckEmissions(in, Ideal(1e-3));
  ASSERT_EQ(c.problem, "");
  EXPECT_EQ(c.rows.front().harmonic, 1);
  EXPECT_EQ(c.rows[1].harmonic, 3);  // a 50 % square has no even harmonics
  const double current = 2 * kPi * 150e3 * 10e-12 * TrapezoidHarmonic(325, 0.5, 0, 1);
  EXPECT_NEAR(current, 1.95e-3, 1e-6);
  EXPECT_NEAR(c.rows.front().common.bare, 20 * std::log10(1.95e-3 * 25 / std::sqrt(2) / 1e-6), 0.01);
  EXPECT_EQ(c.rows.front().differential.bare, -INFINITY);

  // 20 log10 |1 + j 942.5 / 100| for 1 mH in the 50/50 ohm common-mode test at 150 kHz.
  EXPECT_NEAR(ChokeInsertionLoss(Ideal(1e-3), 150e3).commonMode50, 19.5, 0.05);
  EXPECT_NEAR(InsertionLoss(50, 50, {0, 942.5}), 19.535, 1e-3);
  // The impedance window's second panel: the same figure at its first point, 100 points a
  // decade to 30 MHz, the dB axis in whole steps above the highest loss (an ideal 1 mH
  // reaches 20 log10(1 + 2 pi 30 MHz 1 mH / 100 ohm) = 65.5 dB in 25 ohm).
  const Plot loss = InsertionLossPlot(Ideal(1e-3));
  ASSERT_EQ(loss.frequencies.size(), 232u);
  EXPECT_EQ(loss.frequencies.front(), 150e3);
  EXPECT_NEAR(loss.frequencies.back(), 30e6, 1e-6);
  ASSERT_EQ(loss.traces[2].trace, Trace::LossCommon50);
  EXPECT_NEAR(loss.traces[2].values.front(), 19.5, 0.05);
  EXPECT_EQ(loss.y.to, 80);
  EXPECT_EQ(loss.y.labels, (std::vector<std::string>{"0 dB", "20 dB", "40 dB", "60 dB", "80 dB"}));
  // The V-network's impedance: 36.1 ohm at 150 kHz, 46.1 at 500 kHz, 50 || 1000 far above.
  for (const auto& [f, z] : {std::pair{150e3, 36.1}, {500e3, 46.1}, {30e6, 47.6}})
    EXPECT_NEAR(std::abs(NetworkImpedance(Network::Cispr16, f)), z, 0.05) << f;
}

// The view reads the entries as typed, refuses what is no value, and a measured scan of
// the unfiltered levels gives back the filtered ones.
TEST(Emissions, ViewOfTheEntries) {
  const struct {
    std::string_view text, unit;
    double value;  // 0: refused
  } quantities[] = {{"20p", "F", 20e-12}, {"2.2nF", "F", 2.2e-9}, {"100 kHz", "Hz", 100e3},
                    {"50n", "s", 50e-9},  {"1e3", "Hz", 1e3},     {"4.7\u00b5", "F", 4.7e-6},
                    {"20q", "F", 0},      {"k", "Hz", 0},         {"", "V", 0}};
  for (const auto& q : quantities) {
    const std::optional<double> v = ParseQuantity(q.text, q.unit);
    EXPECT_EQ(v.value_or(0), q.value) << q.text;
  }
  const DesignWindow window = Designed({kImpedance, "1000", "2", "150000"});
  EmissionsEntry e{"cispr32-b", "325",  "65k",  "0.45",    "40n", "20p", "0.8",
                   "triangle",  "2.2n", "470n", "cispr16", "0",   ""};
  EmissionsView v = EmissionsViewOf(window, e);
  ASSERT_EQ(v.inputProblem + v.problem, "");
  EXPECT_EQ(v.check.rows.front().frequency, 195e3);
  // The verdict names what it checked and which of the two limits binds.
  EXPECT_TRUE(v.verdict.starts_with(std::string(v.check.passes ? "Passes: " : "Fails: ") +
                                    window.outputs.txtPN + " with " + window.outputs.Turns +
                                    " turns, worst margin "))
      << v.verdict;
  EXPECT_TRUE(v.verdict.find(" mode, quasi-peak limit)") != std::string::npos ||
              v.verdict.find(" mode, average limit)") != std::string::npos)
      << v.verdict;

  std::string scan = "frequency_hz,dbuv\n";
  for (const HarmonicRow& r : v.check.rows)
    scan += num::DoubleText(r.frequency) + "," + num::DoubleText(r.common.bare) + "\n";
  e.ripple = "0";
  e.prescan = scan;
  const EmissionsView measured = EmissionsViewOf(window, e);
  ASSERT_EQ(measured.inputProblem + measured.problem, "");
  ASSERT_EQ(measured.check.rows.size(), v.check.rows.size());
  for (std::size_t i = 0; i < v.check.rows.size(); ++i)
    EXPECT_NEAR(measured.check.rows[i].common.filtered, v.check.rows[i].common.filtered, 1e-6);

  e.prescan = "150000,50\n200000;40\n";
  EXPECT_EQ(EmissionsViewOf(window, e).inputProblem,
            "Scan line 2 is not a frequency in Hz and a level in dBuV: '200000;40'.");
  e.prescan.clear();
  e.rise = "8u";
  EXPECT_EQ(EmissionsViewOf(window, e).inputProblem,
            "The rise time must fit into the shorter of the on and off times (6.92 \u00b5s).");
  e.cy = "2.2x";
  EXPECT_EQ(
      EmissionsViewOf(window, e).inputProblem,
      "Y capacitance: '2.2x' is not a number; a prefix p, n, u, m, k, M or G may follow it, as in 20p or "
      "100k.");
}

// The search applies a winner that passes, after cores that did not; a source no core
// can quiet says where the best try fails.
TEST(Emissions, FindCore) {
  const DesignWindow window = Designed({kImpedance, "1000", "2", "150000"});
  EmissionsEntry e{"cispr32-b", "325",  "65k", "0.45",    "40n", "5p", "0.01",
                   "trapezoid", "2.2n", "1u",  "cispr16", "3",   ""};
  const CoreSearchView v = CoreSearchOf(window, e);
  ASSERT_TRUE(v.apply) << v.problem;
  ASSERT_GE(v.rows.size(), 2u);
  EXPECT_EQ(v.rows.back()[0], "QN-80119-KX");
  const FindCoreCheck applied = [&] {
    const DesignWindow won = Designed(*v.apply);
    return FindCoreCheck{won.outputs.txtPN, won.outputs.Turns, EmissionsViewOf(won, e).check};
  }();
  EXPECT_EQ(applied.part + " " + applied.turns, v.rows.back()[0] + " " + v.rows.back()[1]);
  EXPECT_TRUE(applied.check.passes);
  EXPECT_GE(applied.check.worstMargin, 3);
  for (std::size_t i = 0; i + 1 < v.rows.size(); ++i) EXPECT_NE(v.rows[i][0], v.rows.back()[0]);

  EXPECT_EQ(v.shown->outputs.txtPN + " " + v.shown->outputs.Turns, applied.part + " " + applied.turns);

  // None passes: the closest try is the one shown, and every figure of it (its row, the
  // search's words, the verdict of the check shown) is the same margin against the limit.
  e.ripple = "1";
  const CoreSearchView none = CoreSearchOf(window, e);
  EXPECT_FALSE(none.apply);
  ASSERT_TRUE(none.shown);
  const auto best =
      std::ranges::find(none.rows, none.shown->outputs.txtPN, [](const auto& r) { return r[0]; });
  ASSERT_NE(best, none.rows.end());
  const std::string margin = (*best)[4].substr(0, (*best)[4].find(" dB") + 3);
  const EmissionsView shown = EmissionsViewOf(*none.shown, e);
  EXPECT_TRUE(shown.verdict.starts_with("Fails: " + (*best)[0] + " with " + (*best)[1] +
                                        " turns, worst margin " + margin + " at "))
      << shown.verdict << " / " << margin;
  EXPECT_TRUE(none.problem.starts_with("No core passes: the best, " + (*best)[0] + " with " + (*best)[1] +
                                       " turns, has a worst margin of " + margin))
      << none.problem;
  EXPECT_NE(none.problem.find(" (differential mode), "), std::string::npos) << none.problem;
  EXPECT_EQ(none.summary.find(" dB"), std::string::npos) << none.summary;  // one verdict, under the plot
}

}  // namespace
}  // namespace vtq::test

namespace vtq::test {
namespace {

// The plot places each level on the linear dB axis where the axis labels say and keeps
// every point inside the area; a mode without a source has no curve, not a broken one.
TEST(Emissions, PlotOfTheCheck) {
  const DesignWindow window = Designed({kImpedance, "1000", "2", "150000"});
  EmissionsEntry e{"cispr32-b", "325",  "100k", "0.4",     "0", "20p", "0.1",
                   "trapezoid", "2.2n", "470n", "cispr16", "0", ""};
  const EmissionsView v = EmissionsViewOf(window, e);
  ASSERT_EQ(v.inputProblem + v.problem, "");
  ASSERT_TRUE(v.y.linear);
  EXPECT_EQ(v.caption, v.verdict);
  EXPECT_EQ(v.y.labels.back(), std::to_string(v.y.to) + " dB\u00b5V");
  EXPECT_EQ(v.y.ticks.front(), 0);
  EXPECT_EQ(v.y.ticks.back(), 1);
  const double y56 = (56.0 - v.y.from) / (v.y.to - v.y.from);  // class B quasi-peak, 0.5 to 5 MHz
  const double x600k = v.x.At(600e3);
  int placed = 0;  // the quasi-peak limit's point at 600 kHz
  for (const PlotTrace& t : v.traces) {
    SCOPED_TRACE(t.name);
    ASSERT_FALSE(t.line.empty());
    for (const auto& piece : t.line) {
      for (const PlotPoint& p : piece) {
        EXPECT_TRUE(p.x >= 0 && p.x <= 1 && p.y >= 0 && p.y <= 1);
        if (t.trace == Trace::LimitQuasiPeak && std::abs(p.x - x600k) < 1e-12) {
          EXPECT_NEAR(p.y, y56, 1e-12);
          ++placed;
        }
      }
    }
  }
  EXPECT_EQ(placed, 1);
  EXPECT_EQ(std::count(v.y.ticks.begin(), v.y.ticks.end(), y56), 0);  // 56 is no label's place: a real test
  e.ripple = "0";
  const EmissionsView common = EmissionsViewOf(window, e);
  ASSERT_EQ(common.problem, "");
  EXPECT_EQ(common.traces[3].trace, Trace::DifferentialBare);
  EXPECT_TRUE(common.traces[3].line.empty());
  EXPECT_EQ(common.traces[2].line.size(), 1u);
}

}  // namespace
}  // namespace vtq::test

namespace vtq::test {
namespace {

// Every turn count that fits on every offered core, checked in full, in catalogue order:
// the first core with a passing count is the search's winner too.
TEST(Emissions, FindCoreAgreesWithEveryTurnCountTried) {
  std::mt19937 random(7);
  auto pick = [&](double low, double high) { return std::uniform_real_distribution(low, high)(random); };
  int cases = 0, won = 0;
  for (int c = 0; c < 70; ++c) {
    Inputs design{kImpedance, "1000", num::DoubleText(std::round(pick(0.5, 6) * 10) / 10), "150000"};
    design.material = static_cast<int>(pick(1, 5.99));
    const DesignWindow window = Designed(design);
    EmissionInputs in;
    in.standard = static_cast<Standard>(static_cast<int>(pick(0, 3.99)));
    in.source = {pick(100, 400),      pick(20e3, 300e3), pick(0.2, 0.8),        pick(10e-9, 80e-9),
                 pick(1e-12, 15e-12), pick(0, 0.3),      RippleShape::Trapezoid};
    in.filter = {pick(2.2e-9, 4.7e-9), pick(0.47e-6, 2.2e-6), c % 2 ? Network::FiftyOhm : Network::Cispr16};
    in.margin = pick(0, 6);
    if (c % 7 == 3) in.source.parasitic = 0;  // the ripple alone: no common mode
    if (!CheckInputs(in).empty()) continue;
    const CoreSearch search = FindCore(window, in);
    int brute = 0;
    for (int row : OfferedRows(window.inputs.Material)) {
      const double al = CoreAt(row).AL[static_cast<std::size_t>(window.inputs.Material - 1)] * 1e-9;
      for (int n = 1; n < 2000 && !brute; ++n) {
        DesignWindow w = window;
        w.inputs.Mode = DesignModeOption::Inductance;
        w.inputs.MainInput = num::DoubleText(al * n * n * (1 - 1e-9) * 1e3);
        SilentDialogs quiet;
        try {
          CalculateDesign(w, quiet);
          quiet.titles.clear();
          w.state.ListCore = static_cast<Integer>(row);
          EvaluateCore(w.state.ListCore, w, quiet);
        } catch (const PromptWouldShow&) {
          break;
        }
        std::string problem;
        const ChokeParameters choke = ParametersOf(w, problem);
        if (!problem.empty() || !quiet.titles.empty()) break;
        if (CheckEmissions(in, choke).passes) brute = row;
      }
      if (brute) break;
    }
    ++cases;
    won += brute != 0;
    EXPECT_EQ(search.winner, brute) << "case " << c;
  }
  // Both answers occur: a core that passes, and none.
  EXPECT_GT(won, 3);
  EXPECT_LT(won, cases);
}

}  // namespace
}  // namespace vtq::test

namespace vtq::test {
namespace {

using namespace analysis;
using Complex = std::complex<double>;

// The test bench's netlist solved without a simulator, by modified nodal analysis at one
// frequency: the unknowns are the node voltages, then one current per source and winding.
// R, L and C as admittances; a V source fixes its nodes' difference (AC 1, else 0); an I
// source drives its AC current from its first node to its second through the circuit; a
// subcircuit instance is the choke: two windings in1-out1 and in2-out2 of self impedance
// Zs = Zcm + Zdm / 2 and mutual Zm = Zcm - Zdm / 2 (so both carrying I / 2 drop Zcm I,
// and a loop through both drops 2 Zdm I), with `across` (F) from in1 to in2 and from out1 to
// out2, or a plain short when the choke is left out.
std::map<std::string, Complex> SolveBench(const std::string& netlist, double f, Complex zcm, Complex zdm,
                                          double across = 0) {
  std::map<std::string, int> node{{"0", -1}};
  std::vector<std::vector<std::string>> parts;
  std::istringstream lines(netlist);
  bool skip = false;
  for (std::string line; std::getline(lines, line);) {
    if (line.starts_with(".SUBCKT") || line.starts_with(".control")) skip = true;
    if (skip || line.empty() || line[0] == '*' || line[0] == '.') {
      skip = skip && !line.starts_with(".ENDS") && !line.starts_with(".endc");
      continue;
    }
    std::istringstream words(line);
    parts.emplace_back(std::istream_iterator<std::string>(words), std::istream_iterator<std::string>{});
    const std::size_t pins = parts.back()[0][0] == 'X' ? 4 : 2;
    for (std::size_t i = 1; i <= pins; ++i)
      node.try_emplace(parts.back()[i], static_cast<int>(node.size()) - 1);
  }
  const int nodes = static_cast<int>(node.size()) - 1;
  int branches = 0;
  for (const auto& p : parts) branches += p[0][0] == 'V' ? 1 : p[0][0] == 'X' ? 2 : 0;
  const int n = nodes + branches;
  std::vector<std::vector<Complex>> a(n, std::vector<Complex>(n + 1));
  auto add = [&](int r, int c, Complex v) {
    if (r >= 0 && c >= 0) a[r][c] += v;
  };
  const Complex jw{0, 2 * std::numbers::pi * f};
  int branch = nodes;
  for (const auto& p : parts) {
    const int x = node[p[1]], y = node[p[2]];
    const char kind = p[0][0];
    const auto at = std::find(p.begin(), p.end(), "AC");
    const double ac = at != p.end() && at + 1 != p.end() ? *num::ParseStrict(*(at + 1)) : 0;
    if (kind == 'R' || kind == 'C' || kind == 'L') {
      const double v = *num::ParseStrict(p[3]);
      const Complex g = kind == 'R' ? 1 / v : kind == 'C' ? jw * v : 1.0 / (jw * v);
      add(x, x, g), add(y, y, g), add(x, y, -g), add(y, x, -g);
    } else if (kind == 'I') {
      add(x, n, -ac), add(y, n, ac);
    } else if (kind == 'V') {  // V(x) - V(y) = AC; its current enters at x
      add(branch, x, 1), add(branch, y, -1), add(x, branch, 1), add(y, branch, -1);
      a[branch++][n] = ac;
    } else {  // X in1 out1 in2 out2
      const Complex zs = zcm + zdm / 2.0, zm = zcm - zdm / 2.0;
      for (const int end : {1, 2}) {
        const int x1 = node[p[end]], x2 = node[p[end + 2]];
        add(x1, x1, jw * across), add(x2, x2, jw * across), add(x1, x2, -jw * across),
            add(x2, x1, -jw * across);
      }
      for (int k = 0; k < 2; ++k) {
        const int in = node[p[1 + 2 * k]], out = node[p[2 + 2 * k]], b = branch + k;
        add(b, in, 1), add(b, out, -1), add(in, b, 1), add(out, b, -1);
        add(b, branch + k, -zs), add(b, branch + 1 - k, -zm);
      }
      branch += 2;
    }
  }
  for (int c = 0; c < n; ++c) {  // Gauss-Jordan with partial pivoting
    int pivot = c;
    for (int r = c + 1; r < n; ++r) pivot = std::abs(a[r][c]) > std::abs(a[pivot][c]) ? r : pivot;
    std::swap(a[c], a[pivot]);
    for (int r = 0; r < n; ++r) {
      if (r == c) continue;
      const Complex m = a[r][c] / a[c][c];
      for (int k = c; k <= n; ++k) a[r][k] -= m * a[c][k];
    }
  }
  std::map<std::string, Complex> v;
  for (const auto& [name, i] : node) v[name] = i < 0 ? Complex{} : a[i][n] / a[i][i];
  return v;
}

// Both networks, the Y and X capacitors and the receiver ports as the test bench writes
// them, solved on their own, against the check's own levels at every harmonic: a circuit
// element the netlist or the check leaves out or counts twice (the network's 1 kohm, one
// of the two Y capacitors) shows at once, without a simulator.
TEST(Emissions, TestBenchSolvedByNodesAgreesWithTheCheck) {
  const ChokeParameters choke = [] {
    std::string problem;
    return ParametersOf(Designed({kImpedance, "1000", "2", "150000"}), problem);
  }();
  for (const Network network : {Network::Cispr16, Network::FiftyOhm}) {
    EmissionInputs in;
    in.source = {325, 65e3, 0.45, 40e-9, 20e-12, 0.8, RippleShape::Triangle};
    in.filter = {2.2e-9, 470e-9, network};
    const EmissionCheck check = CheckEmissions(in, choke);
    ASSERT_EQ(check.problem, "");
    const std::string bench = EmissionsNetlist(in, check, "", "CHOKE");
    for (const HarmonicRow& r : check.rows) {
      SCOPED_TRACE(r.frequency);
      const double vs = TrapezoidHarmonic(325, 0.45, 40e-9 * 65e3, r.harmonic);
      const double is = TriangleHarmonic(0.8, 0.45, r.harmonic);
      auto dbuv = [](Complex v, double amplitude) {
        return 20 * std::log10(std::abs(v) * amplitude / std::sqrt(2) / 1e-6);
      };
      const auto caps = SolveBench(bench, r.frequency, 0, 0);
      EXPECT_NEAR(dbuv(caps.at("rc1"), vs), r.common.capacitors, 1e-6);
      EXPECT_NEAR(dbuv(caps.at("rd1"), is), r.differential.capacitors, 1e-6);
      const auto filtered = SolveBench(bench, r.frequency, CommonModeImpedance(choke, r.frequency),
                                       DifferentialImpedance(choke, r.frequency), choke.interwinding);
      EXPECT_NEAR(dbuv(filtered.at("rc1"), vs), r.common.filtered, 1e-6);
      EXPECT_NEAR(dbuv(filtered.at("rd1"), is), r.differential.filtered, 1e-6);
    }
    // By hand, in the 50 ohm network at the first harmonic with the capacitors alone: the
    // swing through C_p into two Y capacitors and two lines' 50 ohm, all to earth.
    if (network == Network::FiftyOhm) {
      const double w = 2 * std::numbers::pi * 195e3;  // the third harmonic, the first in the band
      const Complex cp{0, w * 20e-12}, load = Complex{0, w * 2.2e-9} * 2.0 + 2.0 / 50;
      const double vs = TrapezoidHarmonic(325, 0.45, 40e-9 * 65e3, 3);
      ASSERT_EQ(check.rows.front().harmonic, 3);
      EXPECT_NEAR(check.rows.front().common.capacitors,
                  20 * std::log10(std::abs(vs * cp / (cp + load)) / std::sqrt(2) / 1e-6), 1e-6);
    }
  }
}

// The insertion loss in the network's own terminations, by hand: common mode between two
// lines' 50 ohm in parallel on each side (25 + 25 ohm), differential mode between two in
// series (100 + 100 ohm), for windings of 1 mH coupled and 10 uH of leakage each: the common
// mode meets both in parallel, 1 mH + 5 uH; the differential loop both leakages, 20 uH.
TEST(Emissions, InsertionLossInTheNetworksTerminations) {
  ChokeParameters p;
  p.inductance = p.magnetizing = 1e-3;
  p.leakage = 10e-6;
  for (const double f : {150e3, 10e6}) {
    SCOPED_TRACE(f);
    const double w = 2 * std::numbers::pi * f;
    const InsertionLosses il = ChokeInsertionLoss(p, f);
    EXPECT_NEAR(il.commonModeNetwork, 20 * std::log10(std::hypot(1, w * 1.005e-3 / (25 + 25))), 0.01);
    EXPECT_NEAR(il.commonMode50, 20 * std::log10(std::hypot(1, w * 1.005e-3 / (50 + 50))), 0.01);
    EXPECT_NEAR(il.differentialNetwork, 20 * std::log10(std::hypot(1, 2 * w * 10e-6 / (100 + 100))), 0.01);
    EXPECT_NEAR(il.differential50, 20 * std::log10(std::hypot(1, 2 * w * 10e-6 / (50 + 50))), 0.01);
  }
  // 100 pF between the windings at each end, the ladder solved node by node at 10 MHz: the
  // source's 100 ohm into the input end's 100 pF, the loop's 20 uH, the output end's 100 pF
  // beside the load's 100 ohm.
  p.interwinding = 100e-12;
  const Complex jw{0, 2 * std::numbers::pi * 10e6}, y = jw * 100e-12, loop = jw * 20e-6;
  const Complex out = 1.0 / (y + 1.0 / 100.0), in = 1.0 / (y + 1.0 / (loop + out));
  const Complex load = in / (100.0 + in) * out / (loop + out);
  EXPECT_NEAR(ChokeInsertionLoss(p, 10e6).differentialNetwork, 20 * std::log10(0.5 / std::abs(load)), 1e-9);
}

}  // namespace
}  // namespace vtq::test

namespace vtq::test {
namespace {

// Find Core over the stocked library, held against every turn count of every ring it tried:
// a ring is passed over when no turns it holds (one layer, no saturation, rise within
// kWarmRise) pass, and the one taken passes with the turns shown. In size and price order,
// and within the grade filter; and with a filter whose rings cannot pass, the closest is shown.
TEST(Emissions, FindCoreOnTheLibraryAgreesWithEveryTurnCount) {
  ScriptedHost host;
  WindowModel model{host};
  model.inputs().MainInput = "1";
  model.inputs().Current = "2";
  model.CalculateButton_Click();
  EmissionsEntry e = ExampleEmissions();
  e.parasitic = "5p";
  e.ripple = "0.01";
  model.Emissions_Change(e);
  auto passesWith = [&](const std::string& part, int turns) {
    RingEntry one;
    one.part = part;
    one.turns = turns;
    RingView v;
    const EmissionsView check = model.RingEmissions(one, v);
    if (v.status != 0) return std::optional<bool>();  // does not fit: no more turns to try
    if (v.peakFlux > v.saturation || v.rise > kWarmRise) return std::optional<bool>();
    return std::optional<bool>(check.check.passes);
  };
  for (const bool byPrice : {false, true}) {
    SCOPED_TRACE(byPrice ? "by price" : "by size");
    RingEntry library;
    library.library = LibraryEntry{};
    library.library->grade = "N30";
    library.byPrice = byPrice;
    const RingSearchView s = model.RingFindCore(library);
    ASSERT_EQ(s.status, 0) << s.problem << s.inputProblem;
    const std::vector<RingTryRow>& tried = s.ring.tried;
    ASSERT_GE(tried.size(), 3u);
    double price = 0, od = 0;
    for (const RingTryRow& t : tried) {
      EXPECT_EQ(t.grade, "N30");
      EXPECT_GE(byPrice ? t.price : t.od, byPrice ? price : od) << t.part;
      price = t.price, od = t.od;
      bool any = false;
      for (int n = 1;; ++n) {
        const std::optional<bool> passes = passesWith(t.part, n);
        if (!passes) break;
        any = any || *passes;
        if (n == t.turns && &t == &tried.back()) {
          EXPECT_TRUE(*passes) << t.part;
        }
      }
      EXPECT_EQ(any, &t == &tried.back()) << t.part;
    }
    EXPECT_EQ(s.ring.part, tried.back().part);
    EXPECT_EQ(s.ring.turns, tried.back().turns);
    EXPECT_TRUE(s.emissions.check.passes);
  }
  RingEntry small;
  small.library = LibraryEntry{};
  small.library->grade = "N30";
  small.library->maxOd = "12mm";
  const RingSearchView none = model.RingFindCore(small);
  ASSERT_EQ(none.status, 4) << none.problem;
  const auto closest = std::ranges::max_element(
      none.ring.tried, {}, [](const RingTryRow& t) { return t.emissionMargin.value_or(-INFINITY); });
  EXPECT_EQ(none.ring.part, closest->part);
  EXPECT_EQ(none.emissions.check.worstMargin, *closest->emissionMargin);
  EXPECT_TRUE(none.problem.starts_with("No ring passes: the closest, " + closest->part)) << none.problem;
}

}  // namespace
}  // namespace vtq::test

namespace vtq::test {
namespace {

using namespace analysis;

// The inline quotient is the runtime's complex division bit for bit: across the whole range
// of magnitudes (where it hands over near the ends), with zeros of either sign, parts of
// equal size, infinities and NaNs.
TEST(Emissions, QuotientIsTheRuntimesDivision) {
  using Complex = std::complex<double>;
  auto same = [](double x, double y) {
    return (std::isnan(x) && std::isnan(y)) ||
           std::bit_cast<std::uint64_t>(x) == std::bit_cast<std::uint64_t>(y);
  };
  const double inf = INFINITY, nan = NAN;
  std::vector<std::pair<Complex, Complex>> cases = {
      {{1, 0}, {0, 3e-9}},
      {{0, 2.5}, {1e-3, 7e4}},
      {{-0.0, 1}, {2, -0.0}},
      {{3, 4}, {5, 5}},
      {{1, 1}, {-5, 5}},
      {{0, 0}, {0, 1}},
      {{1, 0}, {0, 0}},
      {{inf, 1}, {1, 1}},
      {{1, 1}, {inf, 0}},
      {{nan, 1}, {1, 1}},
      {{1e300, 1}, {1e-300, 1e-310}},
      {{0x1p256, 1}, {0x1p-256, 3}},
      {{0x1p257, 1}, {1, 3}},
      {{5e-324, 1}, {1, 3}},
  };
  std::mt19937_64 random(11);
  std::uniform_real_distribution<double> mantissa(1, 2), power(-300, 300);
  std::uniform_int_distribution<int> pick(0, 7);
  auto part = [&](double spread) {
    const int k = pick(random);
    if (k == 0) return 0.0;
    const double v = mantissa(random) * std::exp2(std::round(power(random) * spread));
    return k % 2 ? -v : v;
  };
  for (int i = 0; i < 200000; ++i) {
    const double spread = i % 3 == 0 ? 1 : i % 3 == 1 ? 0.9 : 0.05;  // the ends, near them, and ohms
    cases.push_back({{part(spread), part(spread)}, {part(spread), part(spread)}});
  }
  int mismatches = 0;
  for (const auto& [n, d] : cases) {
    const Complex inlined = Quotient(n, d), runtime = n / d;
    if (!same(inlined.real(), runtime.real()) || !same(inlined.imag(), runtime.imag())) {
      if (++mismatches < 5) ADD_FAILURE() << n << " / " << d << ": " << inlined << " against " << runtime;
    }
  }
  EXPECT_EQ(mismatches, 0);
}

// The search's check on the layout worked out once is CheckEmissions row for row: harmonics
// with and without C_p, the Y and X capacitors, either network, a scan out of order, a
// measured choke, and chokes of other turns, another temperature and another wire than the
// layout's. Its worst common margin, which the turns are chosen by, is the rows' (the model's
// choke, not a measured one).
TEST(Emissions, CheckOnTheLayoutIsTheFullCheck) {
  auto chokeOf = [](const char* inductance, double temperature, const char* current = "2") {
    const DesignWindow w = Designed({kImpedance, inductance, current, "150000"});
    std::string problem;
    ChokeParameters p = ParametersOf(w, problem, temperature);
    EXPECT_EQ(problem, "");
    return p;
  };
  const ChokeParameters material = chokeOf("1000", 25);
  const std::vector<ChokeParameters> chokes = {material, chokeOf("330", 25), chokeOf("4700", 25),
                                               chokeOf("1000", 100), chokeOf("1000", 25, "6")};
  ASSERT_NE(chokes.back().copper.tau, material.copper.tau);
  EmissionInputs base;
  base.source = {325, 65e3, 0.45, 40e-9, 5e-12, 0.01, RippleShape::Trapezoid};
  base.filter = {2.2e-9, 1e-6, Network::Cispr16};
  base.margin = 3;
  std::vector<EmissionInputs> inputs(6, base);
  inputs[1].source.parasitic = 0;  // the ripple alone
  inputs[2].filter = {0, 0, Network::FiftyOhm};
  inputs[3].source.rippleShape = RippleShape::Triangle;
  inputs[3].standard = Standard::Fcc15A;
  inputs[4].prescan = {{2e6, 50}, {160e3, 70}, {2e6, 52}, {20e6, 45}, {40e6, 30}, {500e3, 61}};
  inputs[5].measured.frequencies = {100e3, 1e6, 10e6};
  inputs[5].measured.commonMode = {{50, 600}, {900, 2000}, {400, -800}};
  inputs[5].measured.differential = {{0.1, 3}, {1, 30}, {20, 250}};
  for (std::size_t k = 0; k < inputs.size(); ++k) {
    CommonMargins band(inputs[k], material);
    for (const ChokeParameters& choke : chokes) {
      const EmissionCheck full = CheckEmissions(inputs[k], choke), laid = band.Check(choke);
      SCOPED_TRACE("inputs " + std::to_string(k) + ", " + std::to_string(choke.turns) + " turns at " +
                   std::to_string(choke.temperature) + " C");
      ASSERT_EQ(laid.rows.size(), full.rows.size());
      ASSERT_FALSE(full.rows.empty());
      EXPECT_EQ(EmissionsCsv(laid), EmissionsCsv(full));
      for (std::size_t i = 0; i < full.rows.size(); ++i) {
        const HarmonicRow &a = laid.rows[i], &b = full.rows[i];
        const double x[] = {a.frequency,
                            a.common.bare,
                            a.common.capacitors,
                            a.common.filtered,
                            a.differential.bare,
                            a.differential.capacitors,
                            a.differential.filtered,
                            a.margin};
        const double y[] = {b.frequency,
                            b.common.bare,
                            b.common.capacitors,
                            b.common.filtered,
                            b.differential.bare,
                            b.differential.capacitors,
                            b.differential.filtered,
                            b.margin};
        for (std::size_t j = 0; j < std::size(x); ++j)
          EXPECT_EQ(x[j], y[j]) << "row " << i << ", figure " << j;
      }
      EXPECT_EQ(laid.worstMargin, full.worstMargin);
      EXPECT_EQ(laid.worstFrequency, full.worstFrequency);
      EXPECT_EQ(laid.worstMode, full.worstMode);
      EXPECT_EQ(laid.passes, full.passes);
      double worst = INFINITY;
      for (const HarmonicRow& r : full.rows)
        worst = std::min(worst, std::min(r.limit.quasiPeak, r.limit.average) - r.common.filtered);
      if (inputs[k].measured.frequencies.empty()) {
        EXPECT_EQ(band.Worst(choke), worst);
      }
    }
  }
  // Bad inputs: the same refusal.
  EmissionInputs bad = base;
  bad.source.duty = 1;
  EXPECT_EQ(CommonMargins(bad, material).Check(material).problem, CheckEmissions(bad, material).problem);
}

}  // namespace
}  // namespace vtq::test
