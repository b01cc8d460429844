#include "analysis/spice.h"

#include <gtest/gtest.h>

#include <regex>

#include "support/design_inputs.h"

namespace vtq::test {
namespace {

using analysis::SpiceSubcircuit;

// Whole subcircuits are kept as vtq-cli's expected outputs (tests/cli/expected).
TEST(Spice, DecimalPointsUnderACommaLocale) {
  // The tests run under a decimal-comma locale; a simulator reads "0,99" as two tokens.
  const std::string t = SpiceSubcircuit(Designed({kInductance, "1", "5"})).text;
  EXPECT_NE(t.find("\nR1 in1 w1_0 0."), std::string::npos) << t;
  EXPECT_FALSE(std::regex_search(t, std::regex("[0-9],[0-9]"))) << t;
}

}  // namespace
}  // namespace vtq::test
