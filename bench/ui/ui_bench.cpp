// Speed of the design window: program start to the first design painted, against a
// bare Qt window's start in the same run; the same inside one process; and one
// Calculate click that changes every output box.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

#include "answering_host.h"
#include "app/program.h"

extern char** environ;

namespace {

// From the spawn to the probe's report of its first paint (first_paint.h): the real time
// a user waits for the picture, and the probe's own processor time (user + system) up to
// then, the steadier figure on a machine shared with other work. The probe's exit after
// that is not timed.
void RunProbe(benchmark::State& state, const char* program, const char* mode) {
  double cpuMs = 0;
  for (auto _ : state) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
      state.SkipWithError("no pipe for the start-up probe");
      return;
    }
    // The write end is handed to the probe (not closed on exec), the read end kept here.
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 3);
    char fdText[] = "3";
    char* args[] = {const_cast<char*>(program), const_cast<char*>(mode), fdText, nullptr};
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, program, &actions, nullptr, args, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (spawned != 0) {
      close(fds[0]);
      state.SkipWithError("the start-up probe could not be started");
      return;
    }
    std::string report;
    char buffer[64];
    for (ssize_t n; (n = read(fds[0], buffer, sizeof buffer)) > 0;)
      report.append(buffer, static_cast<std::size_t>(n));
    const auto painted = std::chrono::steady_clock::now();
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (report.empty() || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
      state.SkipWithError("the start-up probe failed");
      return;
    }
    state.SetIterationTime(std::chrono::duration<double>(painted - start).count());
    cpuMs += std::strtod(report.c_str(), nullptr);
  }
  state.counters["probe_cpu_ms"] = benchmark::Counter(cpuMs, benchmark::Counter::kAvgIterations);
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
    vtq::bench::AnsweringHost host;
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
  vtq::bench::AnsweringHost host;
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

BENCHMARK(BM_ProcessStart_BareWindow)->Unit(benchmark::kMillisecond)->UseManualTime()->MinTime(1.0);
BENCHMARK(BM_ProcessStart_TextWindow)->Unit(benchmark::kMillisecond)->UseManualTime()->MinTime(1.0);
BENCHMARK(BM_ProcessStart_DesignWindow)->Unit(benchmark::kMillisecond)->UseManualTime()->MinTime(1.0);
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
        "BM_ProcessStart_DesignWindow/min_time:1.000/manual_time",
        "BM_ProcessStart_BareWindow/min_time:1.000/manual_time");
  const std::string bare = "BM_ProcessStart_BareWindow/min_time:1.000/manual_time",
                    design = "BM_ProcessStart_DesignWindow/min_time:1.000/manual_time";
  if (reporter.probeCpuMs.count(bare) && reporter.probeCpuMs.count(design)) {
    std::printf("%-52s %6.2f  (%.3f ms / %.3f ms processor time)\n",
                "program start, processor time: design / bare",
                reporter.probeCpuMs[design] / reporter.probeCpuMs[bare], reporter.probeCpuMs[design],
                reporter.probeCpuMs[bare]);
  }
  ratio("program start to first design / one-label text window",
        "BM_ProcessStart_DesignWindow/min_time:1.000/manual_time",
        "BM_ProcessStart_TextWindow/min_time:1.000/manual_time");
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
