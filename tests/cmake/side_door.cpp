// A face that computes the core table itself instead of asking the window model: the
// only-door check must refuse it.
#include "analysis/compare.h"

std::size_t SideDoorRows(const vtq::DesignWindow& window) {
  return vtq::analysis::CompareCores(window).rows.size();
}
