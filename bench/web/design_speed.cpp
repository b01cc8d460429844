// Times one automatic design (Calculate on the start-up inputs) and prints two figures in
// microseconds: the first design of a fresh process, then one design once the program
// runs at its steady pace (the median of many short rounds after half a second of designs).
// Usage: design_speed [DESIGNS_PER_ROUND] (default 100). Built natively, for node and for
// a browser from this source; a browser's clock ticks in 5 or 100 us steps, so the runner
// asks every build for rounds long enough to time in those. The warm-up matters for the
// WebAssembly build: node first runs the module through its quick baseline compiler
// and swaps in optimised code only for functions that have run a while, so a short
// count of designs measures the compiler rather than the design.
#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "cli/cli.h"

namespace {

using Clock = std::chrono::steady_clock;
using Micro = std::chrono::duration<double, std::micro>;

// Many short rounds: on a shared machine a round the scheduler interrupts stands out
// as a slow one, and the median of many passes over it.
constexpr int kRounds = 201;

// Microseconds per design over `designs` designs. A call of its own: node swaps in the
// optimised code of a function at its next call, never in the middle of a running one.
[[gnu::noinline]] double Round(vtq::WindowModel& model, int designs) {
  const auto start = Clock::now();
  for (int i = 0; i < designs; ++i) model.CalculateButton_Click();
  return Micro(Clock::now() - start).count() / designs;
}

}  // namespace

int main(int argc, char** argv) {
  const int designs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 100;
  vtq::cli::ShellHost host;
  vtq::WindowModel model(host);
  model.Form_Load(".");
  model.inputs().MainInput = "1000";
  model.SelectMode(vtq::DesignModeOption::Impedance);

  const double first = Round(model, 1);
  const auto warm = Clock::now() + std::chrono::milliseconds(500);
  while (Clock::now() < warm) Round(model, 1000);
  std::array<double, kRounds> rounds{};
  for (double& round : rounds) round = Round(model, designs);
  std::sort(rounds.begin(), rounds.end());
  std::printf("%.1f %.3f\n", first, rounds[kRounds / 2]);
  return 0;
}
