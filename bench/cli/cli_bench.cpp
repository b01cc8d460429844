// Speed of vtq-cli as a scripting tool: one `design --json` process against a minimal C++
// program's process, and `batch` against a Python model of the same formulas in one process
// (design_model.py), each through a pipe. Runs interleaved so that the machine's other work
// falls on both alike, medians compared.
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "ratio_reporter.h"

extern char** environ;

namespace {

using vtq::bench::Median;

using Clock = std::chrono::steady_clock;

struct Timing {
  double wallMs = -1, cpuMs = -1;  // negative: the program could not start or failed
};

// Runs the program to its exit: the real time, and its own processor time (user + system),
// the steadier figure on a machine shared with other work. Its output is thrown away, or
// read through a pipe and its lines counted into `lines`.
Timing TimedRun(const std::vector<std::string>& args, long* lines = nullptr) {
  std::vector<char*> argv;
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  int fds[2] = {-1, -1};
  if (lines != nullptr) {
    if (pipe2(fds, O_CLOEXEC) != 0) return {};
    posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);  // the lines' summary
  } else {
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  }
  const auto start = Clock::now();
  pid_t pid = 0;
  const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (lines != nullptr) {
    close(fds[1]);
    *lines = 0;
    static char buffer[1 << 16];
    for (ssize_t n; spawned == 0 && (n = read(fds[0], buffer, sizeof buffer)) > 0;)
      *lines += std::count(buffer, buffer + n, '\n');
    close(fds[0]);
  }
  if (spawned != 0) return {};
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
  // A batch ends with status 2 when some line asked for an input again; it still ran through.
  const bool ok =
      WIFEXITED(status) && (WEXITSTATUS(status) == 0 || (lines != nullptr && WEXITSTATUS(status) == 2));
  if (!ok) return {};
  auto msOf = [](const timeval& t) {
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_usec) / 1e3;
  };
  return {ms, msOf(usage.ru_utime) + msOf(usage.ru_stime)};
}

// Random option sets, one JSON object a line, the keys of the design options; a few
// inputs the window would ask for again among them.
std::string WriteOptionSets(long count) {
  const std::string path = "/tmp/vtq-cli-bench-" + std::to_string(getpid()) + ".jsonl";
  FILE* f = std::fopen(path.c_str(), "w");
  if (f == nullptr) return {};
  std::mt19937 rng(15);
  const char* modes[] = {"inductance", "impedance", "voltage"};
  const char* mains[] = {"0.5", "2", "10", "50", "120", "250", "1000", "abc"};
  const char* currents[] = {"0.5", "1", "2", "5", "10"};
  const char* frequencies[] = {"5000", "10000", "50000", "150000"};
  const char* densities[] = {"200", "400", "600"};
  const char* materials[] = {"D", "P", "N", "S", "R"};
  auto pick = [&](const auto& list) { return list[rng() % std::size(list)]; };
  for (long i = 0; i < count; ++i) {
    std::fprintf(
        f,
        "{\"mode\":\"%s\",\"main\":\"%s\",\"current\":\"%s\",\"frequency\":\"%s\",\"density\":\"%s\","
        "\"material\":\"%s\",\"units\":\"%s\"}\n",
        pick(modes), pick(mains), pick(currents), pick(frequencies), pick(densities), pick(materials),
        rng() % 2 ? "in" : "mm");
  }
  return std::fclose(f) == 0 ? path : std::string();
}

struct Options {
  int runs = 200;
  long designs = 200000;      // a batch's length
  std::string cli = VTQ_CLI;  // --cli=PATH times another build, an older one for comparison
};

// --runs=N, --cli=PATH; the benchmark runner's flags that start every *_bench program ask
// for a short run.
Options ParseArgs(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    const std::string_view a = argv[i];
    if (a.starts_with("--runs=")) o.runs = std::max(1, std::atoi(argv[i] + 7));
    if (a.starts_with("--cli=")) o.cli = a.substr(6);
    if (a.starts_with("--designs=")) o.designs = std::max(1L, std::atol(argv[i] + 10));
    if (a.starts_with("--benchmark_min_time")) {
      o.runs = 40;
      o.designs = 20000;
    }
  }
  return o;
}

}  // namespace

int main(int argc, char** argv) {
  const Options options = ParseArgs(argc, argv);
  const int runs = options.runs;
  const std::vector<std::string> hello = {VTQ_HELLO}, design = {options.cli, "design", "--json"};
  std::vector<double> helloWall, helloCpu, designWall, designCpu;
  for (int i = 0; i < runs; ++i) {
    const Timing h = TimedRun(hello), d = TimedRun(design);
    if (h.wallMs < 0 || d.wallMs < 0) {
      std::fprintf(stderr, "cli_bench: a timed program failed to run\n");
      return 1;
    }
    helloWall.push_back(h.wallMs);
    helloCpu.push_back(h.cpuMs);
    designWall.push_back(d.wallMs);
    designCpu.push_back(d.cpuMs);
  }
  std::printf("Process start, %d interleaved runs each, medians:  wall ms   processor ms\n", runs);
  std::printf("  minimal C++ program                          %8.3f   %8.3f\n", Median(helloWall),
              Median(helloCpu));
  std::printf("  vtq-cli design --json                        %8.3f   %8.3f\n", Median(designWall),
              Median(designCpu));
  std::printf("  ratio (goal: at most 3)                      %8.2f   %8.2f\n",
              Median(designWall) / Median(helloWall), Median(designCpu) / Median(helloCpu));

  const std::string input = WriteOptionSets(options.designs);
  if (input.empty()) {
    std::fprintf(stderr, "cli_bench: cannot write the option sets\n");
    return 1;
  }
  const std::vector<std::string> batch = {options.cli, "batch", input},
                                 model = {"python3", VTQ_PY_MODEL, input};
  std::vector<double> batchWall, batchCpu, modelWall, modelCpu;
  for (int round = 0; round < 3; ++round) {
    long batchLines = 0, modelLines = 0;
    const Timing b = TimedRun(batch, &batchLines), m = TimedRun(model, &modelLines);
    if (batchLines != options.designs || modelLines != options.designs) {
      std::fprintf(stderr, "cli_bench: %ld and %ld of %ld lines came back\n", batchLines, modelLines,
                   options.designs);
      std::remove(input.c_str());
      return 1;
    }
    batchWall.push_back(b.wallMs);
    batchCpu.push_back(b.cpuMs);
    modelWall.push_back(m.wallMs);
    modelCpu.push_back(m.cpuMs);
  }
  std::remove(input.c_str());
  auto perMinute = [&](double ms) { return static_cast<double>(options.designs) / ms * 60000.0; };
  std::printf(
      "\n%ld designs through a pipe, 3 interleaved runs each, medians:  designs/min (wall)  (processor)\n",
      options.designs);
  std::printf("  Python model, one process                    %14.0f  %14.0f\n", perMinute(Median(modelWall)),
              perMinute(Median(modelCpu)));
  std::printf("  vtq-cli batch (goal: 1000000 a minute)       %14.0f  %14.0f\n", perMinute(Median(batchWall)),
              perMinute(Median(batchCpu)));
  std::printf("  ratio (goal: at least 100)                   %14.2f  %14.2f\n",
              Median(modelWall) / Median(batchWall), Median(modelCpu) / Median(batchCpu));
  return 0;
}
