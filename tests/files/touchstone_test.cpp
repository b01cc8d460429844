#include "files/touchstone.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <numbers>
#include <string>

namespace vtq::files {
namespace {

constexpr double kDegree = std::numbers::pi / 180;

// A two-port a reviewer can follow: S11 0.3 at -40 degrees, S21 0.8 at 25, S12 0.7 at 20,
// S22 0.1 at 90, at 1 MHz and 2 MHz (the second with every magnitude halved).
const Complex kS11 = std::polar(0.3, -40 * kDegree), kS21 = std::polar(0.8, 25 * kDegree),
              kS12 = std::polar(0.7, 20 * kDegree), kS22 = std::polar(0.1, 90 * kDegree);

// Every digit, a point whatever the test's locale (a decimal comma).
std::string Exact(double v) {
  char text[32];
  return std::string(text, std::to_chars(text, text + sizeof text, v).ptr);
}

std::string Pair(Complex v, const std::string& format) {
  const double angle = std::arg(v) / kDegree;
  if (format == "RI") return " " + Exact(v.real()) + " " + Exact(v.imag());
  if (format == "MA") return " " + Exact(std::abs(v)) + " " + Exact(angle);
  return " " + Exact(20 * std::log10(std::abs(v))) + " " + Exact(angle);
}

// Every format, frequency unit and spelling of the option line reads as the same matrices.
TEST(Touchstone, EveryFormatAndUnitReadsTheSameTwoPort) {
  const std::pair<std::string, double> units[] = {{"Hz", 1}, {"kHz", 1e3}, {"MHz", 1e6}, {"GHz", 1e9}};
  for (const std::string format : {"RI", "MA", "DB"}) {
    for (const auto& [unit, scale] : units) {
      std::string text = "! a comment line\n#  " + unit + "  s " + format + "  r 50 ! trailing comment\n";
      for (const double f : {1e6, 2e6}) {
        const double k = f == 1e6 ? 1 : 0.5;
        // Version 1 writes a two-port's row as 11 21 12 22.
        text += Exact(f / scale) + Pair(k * kS11, format) + Pair(k * kS21, format) + "\t" +
                Pair(k * kS12, format) + Pair(k * kS22, format) + "\r\n";
      }
      const NetworkRead r = ParseTouchstone(text, 2);
      ASSERT_EQ(r.error, "") << format << " " << unit;
      ASSERT_EQ(r.network.frequencies.size(), 2u);
      EXPECT_NEAR(r.network.frequencies[1], 2e6, 1e-6);
      const auto& s = r.network.s[1];
      for (const auto& [got, want] : {std::pair{s[0], kS11}, {s[2], kS21}, {s[1], kS12}, {s[3], kS22}})
        EXPECT_NEAR(std::abs(got - 0.5 * want), 0, 1e-12) << format << " " << unit;
    }
  }
}

// Z and Y become S with the ports' references: a version 1 file's are normalised to R, a
// version 2 file's in ohm and siemens. References: 100 ohm on a 50 ohm port reflects 1/3;
// 50 ohm across a 50 ohm line passes S21 = 2Z / (2Z + Z0) = 2/3 and reflects -1/3.
TEST(Touchstone, ImpedanceAndAdmittanceBecomeScattering) {
  const std::pair<std::string, std::vector<Complex>> cases[] = {
      {"# Hz Z RI R 50\n1 2 0\n", {1.0 / 3}},
      {"# Hz Y RI R 50\n1 0.5 0\n", {1.0 / 3}},
      {"[Version] 2.0\n# Hz Z RI R 50\n[Number of Ports] 1\n[Network Data]\n1 100 0\n[End]\n", {1.0 / 3}},
      {"[Version] 2.0\n# Hz Y RI\n[Number of Ports] 1\n[Reference] 50\n[Network Data]\n1 0.01 0\n",
       {1.0 / 3}},
      {"[Version] 2.0\n# Hz Z RI R 50\n[Number of Ports] 2\n[Two-Port Data Order] 12_21\n[Network Data]\n"
       "1 50 0 50 0 50 0 50 0\n",
       {-1.0 / 3, 2.0 / 3, 2.0 / 3, -1.0 / 3}},
      // The per-port references: 25 ohm across ports of 100 ohm (port 1) and 25 ohm (port 2);
      // S21 = 2 sqrt(R1 R2) / (R1 + R2 + R1 R2 / Z) = 100 / 225; each S_ii = (Z || R_other - R_i) / (... +
      // R_i).
      {"[Version] 2.1\n# Hz Z RI\n[Number of Ports] 2\n[Two-Port Data Order] 21_12\n[Reference] 100\n25\n"
       "[Matrix Format] Lower\n[Network Data]\n1 25 0 25 0 25 0\n",
       {-175.0 / 225, 100.0 / 225, 100.0 / 225, -25.0 / 225}},
  };
  for (const auto& [text, want] : cases) {
    const NetworkRead r = ParseTouchstone(text, 1);
    ASSERT_EQ(r.error, "") << text;
    ASSERT_EQ(r.network.s[0].size(), want.size()) << text;
    for (std::size_t i = 0; i < want.size(); ++i)
      EXPECT_NEAR(std::abs(r.network.s[0][i] - want[i]), 0, 1e-12) << text;
  }
}

// Four ports: each frequency's rows over several lines, and the writer's file reads back exactly.
TEST(Touchstone, FourPortRowsOverLinesAndTheWrittenFileReadsBack) {
  Network n;
  n.ports = 4;
  for (int k = 0; k < 3; ++k) {
    n.frequencies.push_back(1e4 * std::pow(10.0, k) / 3);
    std::vector<Complex> s;
    for (int i = 0; i < 16; ++i) s.emplace_back(0.01 * i - 0.07 * k, 1.0 / (i + 3 + k));
    n.s.push_back(s);
  }
  const std::string text = WriteTouchstone(n, 50, {"Port 1: line 1 in"});
  EXPECT_TRUE(text.starts_with("! Port 1: line 1 in\n# Hz S RI R 50\n3333.33")) << text;
  const NetworkRead r = ParseTouchstone(text, PortsOfName("CHOKE.S4P"));
  ASSERT_EQ(r.error, "");
  EXPECT_EQ(r.network.frequencies, n.frequencies);
  EXPECT_EQ(r.network.s, n.s);
  EXPECT_EQ(r.network.references, std::vector<double>(4, 50));
  // A two-port's row as version 1 writes it, and noise parameters after it are left alone.
  n.ports = 2;
  for (auto& s : n.s) s.resize(4);
  const NetworkRead two = ParseTouchstone(WriteTouchstone(n, 75, {}) + "1000 1.5 0.3 20 0.4\n", 2);
  ASSERT_EQ(two.error, "");
  EXPECT_EQ(two.network.s, n.s);
  EXPECT_EQ(two.network.references, std::vector<double>(2, 75));
}

// A file that is no network says which line and why, and gives nothing.
TEST(Touchstone, BadFilesNameTheLine) {
  const std::tuple<std::string, int, std::string> cases[] = {
      {"# MHz S XY R 50\n1 0 0\n", 1, "line 1: the option line's 'XY' is no frequency unit"},
      {"# MHz S MA R\n1 0 0\n", 1, "line 1: the option line's R must be followed"},
      {"# MHz H MA\n1 0 0\n", 1, "line 1: the option line asks for H-parameters"},
      {"# MHz S MA\n1 0 0 0 0 0 0 0 0\n2 0 0 0 0 0 0 0\n3 0 0 0 0 0 0 0 0\n", 2, "line 3: too few values: 8"},
      {"# MHz S MA\n1 0 0 0 0 0 0 0 0\n2 0 0 0 0 0 0 0 0 0\n", 2, "line 3: too many values: 10"},
      {"# MHz S MA\n1 0 0 0 0 0 0 0 0\n", 4, "line 2: too few values: 9 where a 4-port frequency needs 33"},
      {"# MHz S MA\n1 0 0\n3 0 0\n2 0 0\n", 1, "line 4: the frequency 2 does not rise"},
      {"# MHz S MA\n1 0 0\n1 0 0\n", 1, "line 3: the frequency 1 does not rise"},
      {"# MHz S MA\n1 0 zero\n", 1, "line 2: 'zero' is not a number"},
      {"# MHz S MA\n1 0 0\n\x89PNG\x1a\n", 1, "line 3: holds the byte 0x1A: a binary file"},
      {std::string("# MHz S MA\n1 0\0 0\n", 18), 1, "line 2: holds the byte 0x00"},
      {"# MHz S MA\n1 0 0\n", 0, "line 2: the number of ports is unknown"},
      {"! only a comment\n", 1, "line 1: the file holds no network data"},
      {"1 0 0\n[Version] 2.0\n", 1, "line 2: a keyword ('[Version]') in a file without [Version] 2.0 first"},
      {"[Version] 3.0\n", 1, "line 1: [Version] '3.0' is not read"},
      {"[Version] 2.0\n# MHz S MA\n[Number of Ports] 2\n[Network Data]\n1 0 0 0 0 0 0 0 0\n", 0,
       "line 5: a two-port file needs [Two-Port Data Order]"},
      {"[Version] 2.0\n[Number of Ports] 1\n1 0 0\n", 0, "line 3: data before [Network Data]"},
      {"[Version] 2.0\n[Number of Ports] 1\n[Number of Frequencies] 2\n[Network Data]\n1 0 0\n[End]\n", 0,
       "line 6: [Number of Frequencies] says 2 but the data has 1"},
      {"[Version] 2.0\n[Number of Ports] 2\n[Reference] 50 50 50\n[Two-Port Data Order] 12_21\n[Network "
       "Data]\n1 "
       "0 0 0 0 0 0 0 0\n",
       0, "line 6: [Reference] gives 3 resistances for 2 ports"},
      {"[Version] 2.0\n[Number of Ports] 4\n[Mixed-Mode Order] D2,3 D1,4 C2,3 C1,4\n", 0,
       "line 3: a mixed-mode file"},
      {"[Version] 2.0\n[Frobnicate]\n", 0, "line 2: the keyword [Frobnicate] is not known"},
  };
  for (const auto& [text, ports, want] : cases) {
    const NetworkRead r = ParseTouchstone(text, ports);
    EXPECT_EQ(r.error.substr(0, want.size()), want) << text;
    EXPECT_TRUE(r.network.frequencies.empty() && r.network.s.empty());
  }
  EXPECT_EQ(PortsOfName("a/b.s2p.s12p"), 12);
  EXPECT_EQ(PortsOfName("meas.ts"), 0);
  EXPECT_EQ(PortsOfName("s2p"), 0);
}

TEST(ImpedanceCsv, ColumnsAndFaults) {
  const ImpedanceTable t = ParseImpedanceCsv(
      "\xEF\xBB\xBF# measured on the bench\nFrequency_Hz, z_ohm, phase_deg\n1e5,100,90\n\n1e6, 50, -60\n");
  ASSERT_EQ(t.error, "");
  ASSERT_EQ(t.impedance.size(), 2u);
  EXPECT_NEAR(std::abs(t.impedance[1] - Complex(25, -25 * std::sqrt(3.0))), 0, 1e-12);
  const ImpedanceTable both = ParseImpedanceCsv("frequency_hz,rdm_ohm,xdm_ohm,rcm_ohm,xcm_ohm\n10,1,2,3,4\n");
  ASSERT_EQ(both.error, "");
  EXPECT_EQ(both.commonMode, std::vector<Complex>{Complex(3, 4)});
  EXPECT_EQ(both.differential, std::vector<Complex>{Complex(1, 2)});
  const std::pair<std::string, std::string> bad[] = {
      {"f,z_ohm,phase_deg\n", "line 1: the heading names no frequency_hz column"},
      {"frequency_hz,r_ohm\n", "line 1: the heading names r_ohm without x_ohm"},
      {"frequency_hz,mu\n", "line 1: the heading names no impedance"},
      {"frequency_hz,r_ohm,x_ohm\n1,2\n", "line 2: 2 values where the heading names 3"},
      {"frequency_hz,r_ohm,x_ohm\n2,1,1\n1,1,1\n", "line 3: the frequency 1 does not rise"},
      {"frequency_hz,z_ohm,phase_deg\n2,-1,1\n", "line 2: the magnitude -1 is negative"},
      {"frequency_hz,r_ohm,x_ohm\n2,1,x\n", "line 2: 'x' is not a number"},
      {"frequency_hz,r_ohm,x_ohm\n", "line 1: the table holds no frequency"},
      {"", "line 0: no heading line"},
  };
  for (const auto& [text, want] : bad)
    EXPECT_EQ(ParseImpedanceCsv(text).error.substr(0, want.size()), want) << text;
}

}  // namespace
}  // namespace vtq::files
