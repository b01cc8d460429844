// Collects the CPU time per iteration of each benchmark so that a program can print
// ratios against its baseline at the end of the run (CPU time: other work on the
// machine stretches wall time unevenly). The programs that time whole processes use the
// median and the ratio line below.
#pragma once

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace vtq::bench {

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  // Colours only on a terminal: a log, such as the test command's, stays plain text.
  RatioReporter() : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_Defaults : OO_Tabular) {}
  std::map<std::string, double> nsPerIteration;
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const auto& run : runs) {
      if (run.run_type == Run::RT_Iteration) nsPerIteration[run.benchmark_name()] = run.GetAdjustedCPUTime();
      // A benchmark run several times is known by its median.
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
        nsPerIteration[run.run_name.function_name] = run.GetAdjustedCPUTime();
    }
    ConsoleReporter::ReportRuns(runs);
  }
  bool Has(std::initializer_list<const char*> names) const {
    for (const char* n : names) {
      if (nsPerIteration.count(n) == 0) return false;
    }
    return true;
  }
};

// The middle of a set of timings: a few runs slowed by other work on the machine do not
// move it, where they would move a mean.
inline double Median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

// One line of the closing figures: what / baseline, both figures beside the ratio.
inline void PrintRatio(const char* what, double value, double baseline, const char* unit) {
  std::printf("%-56s %6.2f  (%.3f %s / %.3f %s)\n", what, value / baseline, value, unit, baseline, unit);
}

}  // namespace vtq::bench
