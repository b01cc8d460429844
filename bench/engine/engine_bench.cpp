// Speed of the two calculations against the same formulas in plain double arithmetic
// (no design state, no checks, no texts), measured in the same run.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "engine/catalogue.h"
#include "engine/design.h"
#include "ratio_reporter.h"

namespace {

class Silent : public vtq::UserDialogs {
 public:
  std::string InputBox(std::string_view, std::string_view, std::string_view d) override {
    return std::string(d);
  }
  int MsgBox(std::string_view, std::string_view) override { return 1; }
  void SetFocus(std::string_view) override {}
};

vtq::DesignWindow WorkedExample() {
  vtq::DesignWindow w;
  w.inputs.Current = "2";  // 1 mH at 2 A, 400 A/cm2, material N: entry 11
  return w;
}

void BM_AutomaticDesign(benchmark::State& state) {
  vtq::DesignWindow w = WorkedExample();
  Silent dialogs;
  for (auto _ : state) {
    vtq::CalculateDesign(w, dialogs);
    benchmark::DoNotOptimize(w.outputs.txtDiffL.data());
  }
  state.counters["designs/s"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_EvaluateCore(benchmark::State& state) {
  vtq::DesignWindow w = WorkedExample();
  Silent dialogs;
  for (auto _ : state) {
    vtq::Integer row = 11;
    vtq::EvaluateCore(row, w, dialogs);
    benchmark::DoNotOptimize(w.outputs.txtDiffL.data());
  }
}

// The automatic design's arithmetic alone.
struct PlainResult {
  double ap, turns, gauge, length, dcr, freq, od, id, ht, loss, surface, rise, diff;
  int row, header;
};

PlainResult PlainDesign(double L, double I, double J, double mu, int material) {
  PlainResult r{};
  const double li = L * I;
  r.ap = 0.386 * std::pow(li * 1e6 / (mu * J), 1.299);
  r.row = 1;
  while (r.row < 24 && vtq::CoreTable[static_cast<std::size_t>(r.row - 1)].CoreAreaProduct < r.ap) ++r.row;
  const vtq::CoreEntry& c = vtq::CoreTable[static_cast<std::size_t>(r.row - 1)];
  const double al = c.AL[static_cast<std::size_t>(material - 1)];
  r.turns = std::floor(std::sqrt(L / al * 1e6) + 0.5);
  r.gauge = std::nearbyint(-4.31 * std::log(I * 1.889 / J));
  double d = 0.3326;
  for (int g = 1; g <= r.gauge; ++g) d *= 0.8927;
  double lr = al * r.turns * r.turns / 1e6;
  if (lr < 1) lr *= 1000;
  r.length = (c.TurnLength * r.turns + 0.5) * 12;
  r.dcr = r.length * 8.196e-6 * std::exp(0.2319 * r.gauge);
  r.freq = 1000 * L / (2 * 3.14 * lr * I) * 1000;
  r.od = c.OD + 2 * d + 0.03;
  r.id = c.ID - 2 * d - 0.03;
  r.ht = c.HT + 2 * d + 0.03;
  r.header = r.od < 0.38                                  ? 1
             : (r.od > 0.5 && r.od < 0.9 && r.ht < 0.385) ? 2
             : (r.od < 1.1 && r.ht < 0.51)                ? 3
                                                          : 6;
  r.loss = 2000 * I * I * r.dcr;
  r.surface = (2 * 3.14 * (r.od / 2) * (r.od / 2) + 3.14 * r.od * r.ht) * 2.54 * 2.54;
  r.rise = std::pow(r.loss / r.surface, 0.833);
  const double lp = 2 * mu / (0.1 * mu + 1);
  r.diff = 1000 * r.turns * r.turns * 4 * 3.14 * lp * c.CrossSection * 1e-6 / c.PathLength;
  return r;
}

// Inputs read through volatile so the compiler cannot fold the formulas away.
// (DoNotOptimize on a double lvalue lets this compiler pass it through a general
// register and garble it.)
volatile double gL = 1, gI = 2, gJ = 400, gMu = 5000;
volatile double gSink;

void BM_Baseline(benchmark::State& state) {
  for (auto _ : state) {
    PlainResult r = PlainDesign(gL, gI, gJ, gMu, 3);
    gSink = r.ap + r.turns + r.gauge + r.length + r.dcr + r.freq + r.od + r.id + r.ht + r.loss + r.surface +
            r.rise + r.diff + r.row + r.header;
  }
}

BENCHMARK(BM_AutomaticDesign);
BENCHMARK(BM_EvaluateCore);
BENCHMARK(BM_Baseline);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  vtq::bench::RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  const auto& t = reporter.nsPerIteration;
  if (reporter.Has({"BM_AutomaticDesign", "BM_Baseline", "BM_EvaluateCore"})) {
    const double design = t.at("BM_AutomaticDesign"), evaluate = t.at("BM_EvaluateCore"),
                 base = t.at("BM_Baseline");
    std::printf("automatic design: %.0f ns, %.0f designs/s on one core\n", design, 1e9 / design);
    std::printf("ratio automatic design / plain-double baseline: %.2f (goal: at most 10)\n", design / base);
    std::printf("ratio EvaluateCore / plain-double baseline: %.2f\n", evaluate / base);
  }
  benchmark::Shutdown();
  return 0;
}
