// Speed of vtq-cli as a scripting tool: one `design --json` process against a minimal C++
// program's process, runs interleaved so that the machine's other work falls on both alike,
// medians compared.
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

struct Timing {
  double wallMs = -1, cpuMs = -1;  // negative: the program could not start or failed
};

// Runs the program to its exit with its output thrown away: the real time, and its own
// processor time (user + system), the steadier figure on a machine shared with other work.
Timing TimedRun(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  const auto start = Clock::now();
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return {};
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return {};
  auto msOf = [](const timeval& t) {
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_usec) / 1e3;
  };
  return {ms, msOf(usage.ru_utime) + msOf(usage.ru_stime)};
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

struct Options {
  int runs = 200;
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
    if (a.starts_with("--benchmark_min_time")) o.runs = 40;
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
  return 0;
}
