#include "analysis/spice.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <regex>

#include "analysis/winding.h"
#include "support/design_inputs.h"
#include "support/scratch.h"

namespace vtq::test {
namespace {

namespace fs = std::filesystem;
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
  EXPECT_NE(t.find("\n.SUBCKT QN_80111_KX in1 out1 in2 out2\n"), std::string::npos);
  // 947.2 uH and 0.0192 ohm per winding; k = 1 - 3.73 uH / 947.2 uH.
  EXPECT_NE(t.find("\nL1 in1 n1 9.472e-04\nR1 n1 out1 1.92"), std::string::npos) << t;
  EXPECT_NE(t.find("\nL2 in2 n2 9.472e-04\n"), std::string::npos);
  EXPECT_NEAR(model.coupling, 1 - 3.73 / 947.2, 1e-5);
  EXPECT_EQ(t.substr(t.size() - 18), ".ENDS QN_80111_KX\n");

  const auto stacked = SpiceSubcircuit(Designed({kImpedance, "1000", "5"}));
  EXPECT_EQ(stacked.name, "QN_80124_KX_X2");
  EXPECT_NE(stacked.text.find("* Common-mode choke (2x) QN-80124-KX,"), std::string::npos);
  EXPECT_NE(stacked.text.find("impedance mode, 1000 ohm, 5 A at 10000 Hz"), std::string::npos);

  EXPECT_EQ(SpiceSubcircuit(Designed({kImpedance, "100000", "50"})).problem,
            "The filter requirement is too large for the catalogue: no winding was designed.");
}

std::string Shell(const std::string& command) {
  std::string out;
  if (FILE* p = popen(command.c_str(), "r")) {
    char buf[512];
    while (std::fgets(buf, sizeof buf, p)) out += buf;
    pclose(p);
  }
  return out;
}

double Printed(const std::string& output, const std::string& name) {
  std::smatch m;
  if (!std::regex_search(output, m, std::regex("\\b" + name + " = ([-+0-9.eE]+)"))) return NAN;
  return std::stod(m[1]);
}

// The exported model in a circuit simulator: common mode (both inputs driven together,
// both outputs grounded) and differential mode (a loop in at in1, out through in2, the
// outputs joined) at the cutoff frequency.
TEST(Spice, SimulatorSeesTheDesignedImpedances) {
  if (Shell("command -v ngspice").empty())
    GTEST_SKIP() << "ngspice is not installed (scripts/install-deps adds it)";
  struct Case {
    Inputs in;
    bool atEntered;  // the entered cutoff frequency, else the cutoff frequency reached
  };
  const Case cases[] = {
      {{kImpedance, "100", "2", "10000"}, true},
      {{kImpedance, "100", "2", "10000", "400", 3, true, 12}, true},  // a list pick with a thinner wire
      {{kImpedance, "1000", "5", "10000"}, true},                     // two stacked cores
      {{kVoltage, "250", "1", "150000", "400", 1}, true},             // material D
      {{kInductance, "1", "2"}, false},                               // 84 Hz, where R is felt most
  };
  const ScratchFolder scratch;
  const fs::path& dir = scratch.path;
  for (const Case& k : cases) {
    const DesignWindow w = Designed(k.in);
    const auto model = SpiceSubcircuit(w);
    ASSERT_EQ(model.problem, "");
    SCOPED_TRACE(model.text);
    const auto winding = analysis::DesignedWinding(w).winding;
    const double f = k.atEntered ? w.state.EnteredFrequency : std::stod(w.state.FrequencyText);
    std::ofstream(dir / "choke.lib") << model.text;
    std::ofstream(dir / "test.cir") << "choke test\n"
                                    << ".include " << (dir / "choke.lib").string() << "\n"
                                    << "Vcm a 0 DC 0 AC 1\nX1 a 0 a 0 " << model.name << "\n"
                                    << "Vdm b 0 DC 0 AC 1\nX2 b c 0 c " << model.name << "\n"
                                    << ".control\nset numdgt=12\nac lin 1 " << f << " " << f << "\n"
                                    << "let zcm = mag(1/(-i(vcm)))\n"
                                    << "let ldm = imag(1/(-i(vdm)))/(2*2*pi*" << f << ")\n"
                                    << "print zcm ldm\n.endc\n.end\n";
    const std::string out = Shell("ngspice -b " + (dir / "test.cir").string() + " 2>&1");
    const double zcm = Printed(out, "zcm"), ldm = Printed(out, "ldm");
    ASSERT_FALSE(std::isnan(zcm) || std::isnan(ldm)) << out;
    EXPECT_NEAR(zcm / (2 * std::numbers::pi * f * winding.inductance), 1.0, 0.01);
    EXPECT_NEAR(ldm / winding.leakage, 1.0, 0.001);
  }
}

}  // namespace
}  // namespace vtq::test
