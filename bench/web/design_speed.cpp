// Times one automatic design (Calculate on the start-up inputs) over many repeats and
// prints microseconds per design; built natively and for WebAssembly from this source.
#include <chrono>
#include <cstdio>

#include "cli/cli.h"

int main() {
  vtq::cli::ShellHost host;
  vtq::WindowModel model(host);
  model.Form_Load(".");
  model.inputs().MainInput = "1000";
  model.SelectMode(vtq::DesignModeOption::Impedance);
  constexpr int kDesigns = 20000;
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < kDesigns; ++i) model.CalculateButton_Click();
  const std::chrono::duration<double, std::micro> took = std::chrono::steady_clock::now() - start;
  std::printf("%.3f\n", took.count() / kDesigns);
  return 0;
}
