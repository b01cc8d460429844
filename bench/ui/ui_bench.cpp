// Speed of the design window: program start to the first design painted, against a
// bare Qt window's start in the same run; the same inside one process; and one
// Calculate click that changes every output box.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

#include "app/program.h"

extern char** environ;

namespace {

class AnsweringHost : public vtq::WindowHost {
 public:
  QWidget* window = nullptr;
  std::string InputBox(std::string_view, std::string_view, std::string_view) override { return {}; }
  int MsgBox(std::string_view, std::string_view) override { return 1; }
  void SetFocus(std::string_view) override {}
  void ShowWindow() override {
    if (window) window->show();
  }
  void Beep() override {}
};

double ChildrenCpuMs() {
  rusage usage{};
  getrusage(RUSAGE_CHILDREN, &usage);
  return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
         (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

// Real time is what a user waits; the probe's own processor time (user + system) is the
// steadier figure on a machine shared with other work.
void RunProbe(benchmark::State& state, const char* program, const char* mode) {
  const double cpuBefore = ChildrenCpuMs();
  for (auto _ : state) {
    pid_t pid = 0;
    char* args[] = {const_cast<char*>(program), const_cast<char*>(mode), nullptr};
    if (posix_spawn(&pid, program, nullptr, nullptr, args, environ) != 0) {
      state.SkipWithError("the start-up probe could not be started");
      return;
    }
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
      state.SkipWithError("the start-up probe failed");
      return;
    }
  }
  state.counters["probe_cpu_ms"] =
      benchmark::Counter(ChildrenCpuMs() - cpuBefore, benchmark::Counter::kAvgIterations);
}

void BM_ProcessStart_BareWindow(benchmark::State& state) {
  RunProbe(state, VTQ_BARE_PROBE, "bare");
}
void BM_ProcessStart_TextWindow(benchmark::State& state) {
  RunProbe(state, VTQ_STARTUP_PROBE, "text");
}
void BM_ProcessStart_DesignWindow(benchmark::State& state) {
  RunProbe(state, VTQ_STARTUP_PROBE, "design");
}

void BM_InProcess_BareWindow(benchmark::State& state) {
  for (auto _ : state) {
    QWidget window;
    window.resize(697, 484);
    window.show();
    QApplication::processEvents();
    window.repaint();
  }
}

void BM_InProcess_DesignWindow(benchmark::State& state) {
  for (auto _ : state) {
    AnsweringHost host;
    vtq::app::Program program(host);
    host.window = &program.window();
    program.Start(".");
    QApplication::processEvents();
    program.window().repaint();
  }
}

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
 public:
  int paints = 0;
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++paints;
    return false;
  }
};

// Two designs that differ in every output box, clicked alternately; "painted" lets Qt
// repaint what the click changed before the next click.
void BM_CalculateClick(benchmark::State& state) {
  AnsweringHost host;
  vtq::app::Program program(host);
  vtq::qt::MainWindow& window = program.window();
  host.window = &window;
  program.Start(".");
  QApplication::processEvents();
  auto* calculate = window.findChild<QPushButton*>(QStringLiteral("CalculateButton"));
  auto* current = window.findChild<QLineEdit*>(QStringLiteral("Current"));
  const bool paint = state.range(0) != 0;
  PaintCounter counter;
  window.findChild<QLineEdit*>(QStringLiteral("FAP"))->installEventFilter(&counter);
  int flip = 0;
  for (auto _ : state) {
    current->setText(flip ? QStringLiteral("5") : QStringLiteral("0.4"));
    emit current->textEdited(current->text());
    flip ^= 1;
    calculate->click();
    if (paint) QApplication::processEvents();
  }
  // Proof that the painted variant painted: the last box of the window, once per click.
  state.counters["box_paints_per_click"] =
      benchmark::Counter(counter.paints, benchmark::Counter::kAvgIterations);
}

BENCHMARK(BM_ProcessStart_BareWindow)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);
BENCHMARK(BM_ProcessStart_TextWindow)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);
BENCHMARK(BM_ProcessStart_DesignWindow)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);
BENCHMARK(BM_InProcess_BareWindow)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InProcess_DesignWindow)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CalculateClick)->Arg(0)->Arg(1)->ArgName("painted")->Unit(benchmark::kMicrosecond);

// Keeps each run's real time per iteration so the ratios can be printed at the end.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  std::map<std::string, double> ms, probeCpuMs;
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const auto& r : runs) {
      if (!r.error_occurred && r.iterations > 0) {
        if (auto c = r.counters.find("probe_cpu_ms"); c != r.counters.end())
          probeCpuMs[r.benchmark_name()] = c->second;
        ms[r.benchmark_name()] = r.GetAdjustedRealTime() *
                                 benchmark::GetTimeUnitMultiplier(benchmark::kMillisecond) /
                                 benchmark::GetTimeUnitMultiplier(r.time_unit);
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }
};

}  // namespace

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  vtq::app::ConfigureApplication();
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  auto ratio = [&](const char* what, const std::string& a, const std::string& b) {
    if (reporter.ms.count(a) && reporter.ms.count(b)) {
      std::printf("%-52s %6.2f  (%.3f ms / %.3f ms)\n", what, reporter.ms[a] / reporter.ms[b], reporter.ms[a],
                  reporter.ms[b]);
    }
  };
  std::printf("\nRatios (same run):\n");
  ratio("program start to first design / bare Qt window start",
        "BM_ProcessStart_DesignWindow/min_time:1.000/real_time",
        "BM_ProcessStart_BareWindow/min_time:1.000/real_time");
  const std::string bare = "BM_ProcessStart_BareWindow/min_time:1.000/real_time",
                    design = "BM_ProcessStart_DesignWindow/min_time:1.000/real_time";
  if (reporter.probeCpuMs.count(bare) && reporter.probeCpuMs.count(design)) {
    std::printf("%-52s %6.2f  (%.3f ms / %.3f ms processor time)\n",
                "program start, processor time: design / bare",
                reporter.probeCpuMs[design] / reporter.probeCpuMs[bare], reporter.probeCpuMs[design],
                reporter.probeCpuMs[bare]);
  }
  ratio("program start to first design / one-label text window",
        "BM_ProcessStart_DesignWindow/min_time:1.000/real_time",
        "BM_ProcessStart_TextWindow/min_time:1.000/real_time");
  ratio("in-process: design window start / bare window", "BM_InProcess_DesignWindow",
        "BM_InProcess_BareWindow");
  ratio("Calculate click painted / not painted", "BM_CalculateClick/painted:1",
        "BM_CalculateClick/painted:0");
  if (reporter.ms.count("BM_CalculateClick/painted:1")) {
    std::printf("%-52s %6.3f ms (goal: under 2 ms)\n", "one Calculate click, every box updated and painted",
                reporter.ms["BM_CalculateClick/painted:1"]);
  }
  benchmark::Shutdown();
  return 0;
}
