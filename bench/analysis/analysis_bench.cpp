// The comparison of every core follows each keystroke in the window: what does it cost
// against the one automatic design that a click on Calculate runs?
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <complex>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <utility>

#include "analysis/compare.h"
#include "analysis/emissions.h"
#include "analysis/ferrite.h"
#include "analysis/find_core.h"
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

// A converter switching at 50 kHz: 600 harmonics in the band, each solved in both modes
// with and without the filter.
vtq::analysis::EmissionInputs Converter() {
  vtq::analysis::EmissionInputs in;
  in.source = {325, 50e3, 0.45, 40e-9, 20e-12, 0.8, vtq::analysis::RippleShape::Trapezoid};
  in.filter = {2.2e-9, 470e-9, vtq::analysis::Network::Cispr16};
  return in;
}

void BM_EmissionCheck(benchmark::State& state) {
  const vtq::DesignWindow start = Window();
  std::string problem;
  const vtq::analysis::ChokeParameters choke = vtq::analysis::ParametersOf(start, problem);
  const vtq::analysis::EmissionInputs in = Converter();
  for (auto _ : state) benchmark::DoNotOptimize(vtq::analysis::CheckEmissions(in, choke));
}

// Every core offered in the material, each wound to the turns it needs (a source no core
// quiets: the whole catalogue is walked).
void BM_FindCore(benchmark::State& state) {
  const vtq::DesignWindow start = Window();
  const vtq::analysis::EmissionInputs in = Converter();
  for (auto _ : state) benchmark::DoNotOptimize(vtq::analysis::FindCore(start, in));
}

// A user's material file of 200 points, 10 kHz to 1 GHz: a relaxation, a damped resonance
// and mu' going negative past it, as a data sheet draws a high-permeability grade. Read off
// a plot (`rough`), each value carries up to 1 % of error, and the fit cannot meet every
// point within 0.1 %: its refinement runs all its steps.
std::shared_ptr<const vtq::analysis::Ferrite> TwoHundredPoints(bool rough) {
  std::string text = "frequency_hz,mu_real,mu_imag\n";
  std::uint32_t seed = 12345;
  auto reading = [&] {
    seed = seed * 1664525u + 1013904223u;  // a fixed sequence: the same file every run
    return rough ? 1 + 0.02 * (seed / 4294967296.0 - 0.5) : 1.0;
  };
  for (int i = 0; i < 200; ++i) {
    const double f = 1e4 * std::pow(10.0, 5.0 * i / 199), x = f / 2e6;
    std::complex<double> mu =
        4000.0 / std::complex<double>(1, f / 4e5) + 2000.0 / std::complex<double>(1 - x * x, x / 1.5);
    mu = {mu.real() * reading(), mu.imag() * reading()};
    char line[96];
    std::snprintf(line, sizeof line, "%.6g,%.6g,%.6g\n", f, mu.real(), -mu.imag());
    text += line;
  }
  std::string error;
  return vtq::analysis::FerriteFromText(text, "bench.csv", error);
}

// Loading the file: the fit of its model, which the window waits for.
void BM_FitMaterialFile(benchmark::State& state) {
  const auto file = TwoHundredPoints(false);
  for (auto _ : state) benchmark::DoNotOptimize(vtq::analysis::FitNetwork(*file));
}

void BM_FitRoughMaterialFile(benchmark::State& state) {
  const auto file = TwoHundredPoints(true);
  for (auto _ : state) benchmark::DoNotOptimize(vtq::analysis::FitNetwork(*file));
}

BENCHMARK(BM_AutomaticDesign);
// Five runs and their median: a short run (the test command's) would otherwise time one fit,
// the process's first, whose fresh memory costs page faults a user's later loads do not pay.
// That first fit is timed on its own below.
BENCHMARK(BM_FitMaterialFile)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_FitRoughMaterialFile)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_EmissionCheck);
BENCHMARK(BM_FindCore);
BENCHMARK(BM_CompareCores);
BENCHMARK(BM_ImpedanceCurve);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  // The first fit in a fresh process, as `vtq-cli material --material-file` makes it: once,
  // before any benchmark has touched the memory a fit takes.
  const auto file = TwoHundredPoints(false);
  const auto start = std::chrono::steady_clock::now();
  benchmark::DoNotOptimize(vtq::analysis::FitNetwork(*file));
  const double firstFitMs =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
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
  if (reporter.Has({"BM_AutomaticDesign", "BM_EmissionCheck", "BM_FindCore"})) {
    const double base = t.at("BM_AutomaticDesign");
    std::printf("ratio emission check of 600 harmonics / one automatic design: %.2f (%.3f ms, goal 1 ms)\n",
                t.at("BM_EmissionCheck") / base, t.at("BM_EmissionCheck") * 1e-6);
    std::printf("ratio core search over the catalogue / one automatic design: %.0f (%.1f ms, goal 50 ms)\n",
                t.at("BM_FindCore") / base, t.at("BM_FindCore") * 1e-6);
  }
  const std::pair<const char*, const char*> fits[] = {
      {"BM_FitMaterialFile", "a 200-point material file"},
      {"BM_FitRoughMaterialFile", "a 200-point file read off a plot"}};
  for (const auto& [name, what] : fits) {
    if (!reporter.Has({"BM_AutomaticDesign", name})) continue;
    std::printf("ratio fit of %s / one automatic design: %.0f (%.1f ms, median of 5, goal 50 ms)\n", what,
                t.at(name) / t.at("BM_AutomaticDesign"), t.at(name) * 1e-6);
  }
  std::printf("the first fit of a 200-point material file in this process: %.1f ms (once, wall time)\n",
              firstFitMs);
  benchmark::Shutdown();
  return 0;
}
