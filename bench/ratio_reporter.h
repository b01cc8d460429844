// Collects the CPU time per iteration of each benchmark so that a program can print
// ratios against its baseline at the end of the run (CPU time: other work on the
// machine stretches wall time unevenly).
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

namespace vtq::bench {

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  std::map<std::string, double> nsPerIteration;
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const auto& run : runs) {
      if (run.run_type == Run::RT_Iteration) nsPerIteration[run.benchmark_name()] = run.GetAdjustedCPUTime();
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

}  // namespace vtq::bench
