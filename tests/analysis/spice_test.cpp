#include "analysis/spice.h"

#include <gtest/gtest.h>

#include <clocale>
#include <regex>

#include "support/design_inputs.h"

namespace vtq::test {
namespace {

using analysis::SpiceSubcircuit;

TEST(Spice, SubcircuitText) {
  const auto model = SpiceSubcircuit(Designed({kInductance, "1", "2"}));
  ASSERT_EQ(model.problem, "");
  const std::string& t = model.text;
  EXPECT_EQ(model.name, "QN_80111_KX");
  EXPECT_NE(t.find("* Common-mode choke QN-80111-KX,"), std::string::npos) << t;
  EXPECT_NE(
      t.find("* Inputs: inductance mode, 1 mH, 2 A, 400 A/cm2, material N (initial permeability 5000)\n"),
      std::string::npos)
      << t;
  // 947.2 uH per winding: 3.73 uH of leakage in air, the rest through the ferrite.
  EXPECT_NE(t.find("\n.SUBCKT QN_80111_KX in1 out1 in2 out2\nR1 in1 a1 0.0192"), std::string::npos) << t;
  EXPECT_NE(t.find("\nLS2 a2 b2 3.72995"), std::string::npos) << t;
  EXPECT_NE(t.find("\nL2 b2 out2 0.00094347"), std::string::npos) << t;
  EXPECT_NE(t.find("\nK1 L1 L2 1\nK2 L1 LC 1\nK3 L2 LC 1\n"), std::string::npos) << t;
  EXPECT_EQ(t.substr(t.size() - 18), ".ENDS QN_80111_KX\n");

  const auto stacked = SpiceSubcircuit(Designed({kImpedance, "1000", "5"}));
  EXPECT_EQ(stacked.name, "QN_80124_KX_X2");
  EXPECT_NE(stacked.text.find("* Common-mode choke (2x) QN-80124-KX,"), std::string::npos);
  EXPECT_NE(stacked.text.find("impedance mode, 1000 ohm, 5 A at 10000 Hz"), std::string::npos);

  // Exponents carry their sign, zero's too.
  EXPECT_NE(
      SpiceSubcircuit(Designed({kInductance, "100", "0.5"})).text.find("DC resistance = 1.2285124e+00 ohm"),
      std::string::npos);
  EXPECT_EQ(SpiceSubcircuit(Designed({kImpedance, "100000", "50"})).problem,
            "The filter requirement is too large for the catalogue: no winding was designed.");
}

TEST(Spice, DecimalPointsUnderACommaLocale) {
  // The window runs under the user's locale; a simulator reads "0,99" as two tokens.
  const std::string before = std::setlocale(LC_NUMERIC, nullptr);
  if (!std::setlocale(LC_NUMERIC, "fr_FR.UTF-8"))
    GTEST_SKIP() << "no fr_FR.UTF-8 locale (scripts/install-deps)";
  const std::string t = SpiceSubcircuit(Designed({kInductance, "1", "5"})).text;
  std::setlocale(LC_NUMERIC, before.c_str());
  EXPECT_NE(t.find("\nR1 in1 a1 0."), std::string::npos) << t;
  EXPECT_FALSE(std::regex_search(t, std::regex("[0-9],[0-9]"))) << t;
}

}  // namespace
}  // namespace vtq::test
