// The automatic choice of a stocked ring against one design on one ring: the choice walks
// the library (every ring the filter leaves, each wound and checked) and should answer
// within 20 ms, fast enough to follow each keystroke of the requirement.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <string_view>

#include "ratio_reporter.h"
#include "ui/model/window_model.h"

namespace {

class QuietHost : public vtq::WindowHost {
 public:
  std::string InputBox(std::string_view, std::string_view, std::string_view) override { return {}; }
  int MsgBox(std::string_view, std::string_view) override { return 1; }
  void SetFocus(std::string_view) override {}
  void ShowWindow() override {}
  void Beep() override {}
};

// 1 mH at `current` A (400 A/cm2): 3 A is taken by a 25 mm ring; 60 A by none of them.
struct Designed {
  QuietHost host;
  vtq::WindowModel model{host};
  explicit Designed(const char* current) {
    model.inputs().MainInput = "1";
    model.inputs().Current = current;
    model.CalculateButton_Click();
  }
};

// Baseline: one design on the ring the choice takes for 3 A.
void BM_DesignOnOneRing(benchmark::State& state) {
  const Designed d("3");
  vtq::RingEntry e;
  e.part = "B64290L0615X830";
  for (auto _ : state) benchmark::DoNotOptimize(d.model.DesignOnRing(e));
}

vtq::RingEntry Library(bool byPrice) {
  vtq::RingEntry e;
  e.library = vtq::LibraryEntry{};
  e.byPrice = byPrice;
  return e;
}

// Smallest first, taken at the first ring that meets 3 A.
void BM_ChooseBySize(benchmark::State& state) {
  const Designed d("3");
  const vtq::RingEntry e = Library(false);
  for (auto _ : state) benchmark::DoNotOptimize(d.model.DesignOnRing(e));
}

// The worst case: no ring meets 60 A, and every one is wound and said why.
void BM_ChooseWholeLibrary(benchmark::State& state) {
  const Designed d("60");
  const vtq::RingEntry e = Library(true);
  for (auto _ : state) benchmark::DoNotOptimize(d.model.DesignOnRing(e));
}

BENCHMARK(BM_DesignOnOneRing);
BENCHMARK(BM_ChooseBySize);
BENCHMARK(BM_ChooseWholeLibrary);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  vtq::bench::RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  const auto& t = reporter.nsPerIteration;
  if (reporter.Has({"BM_DesignOnOneRing", "BM_ChooseBySize", "BM_ChooseWholeLibrary"})) {
    const double base = t.at("BM_DesignOnOneRing");
    std::printf("ratio ring choice, smallest first / one ring design: %.0f (%.2f ms, goal 20 ms)\n",
                t.at("BM_ChooseBySize") / base, t.at("BM_ChooseBySize") * 1e-6);
    std::printf("ratio ring choice, whole library / one ring design: %.0f (%.2f ms, goal 20 ms)\n",
                t.at("BM_ChooseWholeLibrary") / base, t.at("BM_ChooseWholeLibrary") * 1e-6);
  }
  benchmark::Shutdown();
  return 0;
}
