// Speed of the design window. Start-up: the shipped program, started as a user starts it,
// until its design window and the disclaimer over it are first painted, against a
// program of its own showing one label in the same font; the two run interleaved (A B A
// B ...) so that the machine's other work falls on both alike, and their medians are
// compared. Then one Calculate click that changes every output box.
// Usage: ui_bench [--runs=N] [--vtq=PATH]... (each program named is timed in turn, a
// second build of the program say; the benchmark runner's flags ask for a short run).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

#include "answering_host.h"
#include "app/program.h"
#include "ratio_reporter.h"

extern char** environ;

namespace {

struct Timing {
  double wallMs = -1, cpuMs = -1;  // negative: no first paint reported
};

long long MonotonicNs() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

// Starts the program with VTQ_FIRST_PAINT set and reads its report (app/first_paint.h):
// from the spawn to the moment it printed, and its own processor time up to then, the
// steadier figure on a machine shared with other work. Ten seconds without a report
// count as a failure.
Timing FirstPaint(const std::string& program) {
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) return {};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);  // Qt's notes on the platform
  char* args[] = {const_cast<char*>(program.c_str()), nullptr};
  const long long start = MonotonicNs();
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, args, environ);
  posix_spawn_file_actions_destroy(&actions);
  close(fds[1]);
  std::string report;
  pollfd wait{fds[0], POLLIN, 0};
  char buffer[128];
  while (spawned == 0 && poll(&wait, 1, 10000) > 0) {
    const ssize_t n = read(fds[0], buffer, sizeof buffer);
    if (n <= 0) break;
    report.append(buffer, static_cast<std::size_t>(n));
  }
  close(fds[0]);
  if (spawned != 0) return {};
  kill(pid, SIGKILL);  // a program that never reported is still waiting
  waitpid(pid, nullptr, 0);
  long long paintedNs = 0, cpuNs = 0;
  if (std::sscanf(report.c_str(), "first paint %lld %lld", &paintedNs, &cpuNs) != 2) return {};
  return {static_cast<double>(paintedNs - start) / 1e6, static_cast<double>(cpuNs) / 1e6};
}

struct Options {
  int runs = 31;
  std::vector<std::string> programs;
};

Options ParseArgs(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    if (std::string_view(argv[i]).starts_with("--benchmark_min_time")) o.runs = 11;
  }
  for (int i = 1; i < argc; ++i) {
    const std::string_view a = argv[i];
    if (a.starts_with("--runs=")) o.runs = std::max(1, std::atoi(argv[i] + 7));
    if (a.starts_with("--vtq=")) o.programs.emplace_back(a.substr(6));
  }
  if (o.programs.empty()) o.programs.emplace_back(VTQ_PROGRAM);
  return o;
}

bool TimeStartUp(const Options& options) {
  setenv("VTQ_FIRST_PAINT", "1", 1);
  const std::string label = VTQ_LABEL_WINDOW;
  std::vector<std::vector<double>> wall(options.programs.size() + 1), cpu(wall.size());
  for (int round = 0; round < options.runs; ++round) {
    for (std::size_t p = 0; p < wall.size(); ++p) {
      const Timing t = FirstPaint(p == 0 ? label : options.programs[p - 1]);
      if (t.wallMs < 0) {
        std::fprintf(stderr, "ui_bench: %s reported no first paint\n",
                     p == 0 ? label.c_str() : options.programs[p - 1].c_str());
        return false;
      }
      wall[p].push_back(t.wallMs);
      cpu[p].push_back(t.cpuMs);
    }
  }
  unsetenv("VTQ_FIRST_PAINT");
  using vtq::bench::Median;
  std::printf("Start to first paint, %d interleaved runs each, medians:   wall ms   processor ms\n",
              options.runs);
  for (std::size_t p = 0; p < wall.size(); ++p) {
    std::printf("  %-54s %8.3f   %8.3f\n",
                p == 0 ? "one label in the window's font" : options.programs[p - 1].c_str(), Median(wall[p]),
                Median(cpu[p]));
  }
  for (std::size_t p = 1; p < wall.size(); ++p) {
    std::printf("%s, against the label (goal: at most 1.3):\n", options.programs[p - 1].c_str());
    vtq::bench::PrintRatio("  wall time", Median(wall[p]), Median(wall[0]), "ms");
    vtq::bench::PrintRatio("  processor time", Median(cpu[p]), Median(cpu[0]), "ms");
  }
  return true;
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

BENCHMARK(BM_CalculateClick)->Arg(0)->Arg(1)->ArgName("painted");

}  // namespace

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  const Options options = ParseArgs(argc, argv);
  if (!TimeStartUp(options)) return 1;
  std::printf("\n");
  QApplication app(argc, argv);
  vtq::app::ConfigureApplication();
  benchmark::Initialize(&argc, argv);
  vtq::bench::RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  const auto& t = reporter.nsPerIteration;
  if (reporter.Has({"BM_CalculateClick/painted:1", "BM_CalculateClick/painted:0"})) {
    vtq::bench::PrintRatio("Calculate click painted / not painted", t.at("BM_CalculateClick/painted:1") / 1e3,
                           t.at("BM_CalculateClick/painted:0") / 1e3, "us");
    std::printf("one Calculate click, every box updated and painted: %.3f ms (goal: under 2 ms)\n",
                t.at("BM_CalculateClick/painted:1") / 1e6);
  }
  benchmark::Shutdown();
  return 0;
}
