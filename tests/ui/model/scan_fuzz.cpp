// Any bytes as an emission scan handed to --prescan, checked against a designed choke:
// nothing may crash, a refusal names its line and quotes little of it, and a check that is
// made has a finite level or none (-inf) in every cell and a finite worst margin.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "files/user_file.h"
#include "support/design_inputs.h"
#include "ui/model/analysis_views.h"

namespace {

using namespace vtq;

void Check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "scan fuzz: %s\n", what);
    std::abort();
  }
}

bool Level(double dbuv) {
  return std::isfinite(dbuv) || dbuv == -INFINITY;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const DesignWindow window = test::Designed({test::kImpedance, "1000", "2", "150000"});
  const files::UserText in =
      files::UserTextOf(std::string(reinterpret_cast<const char*>(data), size), files::UserFileKind::Scan);
  if (!in.error.empty() || in.text.empty()) return 0;
  EmissionsEntry entry = ExampleEmissions();
  entry.prescan = in.text;
  const EmissionsView v = EmissionsViewOf(window, entry);
  Check(v.inputProblem.size() < 300, "a refusal that quotes too much");
  if (!v.inputProblem.empty() || !v.problem.empty()) return 0;
  for (const analysis::HarmonicRow& r : v.check.rows) {
    for (const analysis::ModeLevels* m : {&r.common, &r.differential})
      Check(Level(m->bare) && Level(m->capacitors) && Level(m->filtered), "a level that is not a number");
  }
  Check(std::isfinite(v.check.worstMargin), "a worst margin that is not finite");
  return 0;
}
