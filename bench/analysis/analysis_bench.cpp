// The comparison of every core follows each keystroke in the window: what does it cost
// against the one automatic design that a click on Calculate runs?
#include <benchmark/benchmark.h>

#include <cstdio>

#include "analysis/compare.h"
#include "analysis/impedance.h"
#include "analysis/silent_dialogs.h"
#include "ratio_reporter.h"

namespace {

vtq::DesignWindow Window() {
  vtq::DesignWindow w;
  w.inputs.Mode = vtq::DesignModeOption::Impedance;
  w.inputs.MainInput = "100";
  w.inputs.Current = "2";
  vtq::analysis::SilentDialogs quiet;
  vtq::CalculateDesign(w, quiet);
  return w;
}

// Baseline: one automatic design on a copy of the window, as the comparison makes one.
void BM_AutomaticDesign(benchmark::State& state) {
  const vtq::DesignWindow start = Window();
  for (auto _ : state) {
    vtq::DesignWindow w = start;
    vtq::analysis::SilentDialogs quiet;
    vtq::CalculateDesign(w, quiet);
    benchmark::DoNotOptimize(w.outputs.txtPN);
  }
}

// The 24 offered cores, each a silent list pick, and the automatic choice.
void BM_CompareCores(benchmark::State& state) {
  const vtq::DesignWindow start = Window();
  for (auto _ : state) benchmark::DoNotOptimize(vtq::analysis::CompareCores(start));
}

void BM_ImpedanceCurve(benchmark::State& state) {
  const vtq::DesignWindow start = Window();
  for (auto _ : state) benchmark::DoNotOptimize(vtq::analysis::ChokeImpedance(start));
}

BENCHMARK(BM_AutomaticDesign);
BENCHMARK(BM_CompareCores);
BENCHMARK(BM_ImpedanceCurve);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  vtq::bench::RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  const auto& t = reporter.nsPerIteration;
  if (reporter.Has({"BM_AutomaticDesign", "BM_CompareCores", "BM_ImpedanceCurve"})) {
    const double base = t.at("BM_AutomaticDesign");
    std::printf(
        "ratio compare of every core / one automatic design: %.1f (25 calculations and their texts)\n",
        t.at("BM_CompareCores") / base);
    std::printf("ratio impedance curve / one automatic design: %.2f\n", t.at("BM_ImpedanceCurve") / base);
  }
  benchmark::Shutdown();
  return 0;
}
