#include "analysis/measured.h"

#include <gtest/gtest.h>

#include <charconv>
#include <numbers>
#include <string>

#include "files/touchstone.h"

namespace vtq::analysis {
namespace {

// Each fixture's formula against the S-parameters of a resistor in it, from the voltage
// divider: a 100 ohm end on 50 ohm reflects 1/3; 100 ohm in series passes
// 2 Z0 / (Z + 2 Z0) = 1/2; 25 ohm across passes 2 Z / (2 Z + Z0) = 1/2.
TEST(Measured, EachFixtureGivesTheResistorBack) {
  EXPECT_NEAR(std::abs(ReflectionImpedance(1.0 / 3, 50) - 100.0), 0, 1e-12);
  EXPECT_NEAR(std::abs(SeriesImpedance(0.5, 50) - 100.0), 0, 1e-12);
  EXPECT_NEAR(std::abs(ShuntImpedance(0.5, 50) - 25.0), 0, 1e-12);
  const Complex z(12, 340);
  const std::array<Complex, 4> s = SeriesScattering(z, 50);
  EXPECT_NEAR(std::abs(SeriesImpedance(s[1], 50) - z), 0, 1e-9);
  EXPECT_NEAR(std::abs(s[0] + s[1] - 1.0), 0, 1e-15);  // a series element: S11 + S21 = 1
}

// A two-line choke built as a circuit: two coupled windings (self L, mutual M, resistance R),
// each in series from its line's input port to its output port. Its four-port S comes from
// the node admittance matrix through the Touchstone reader's Y conversion. Both lines
// driven together see (Z11 + Z12) / 2; one line against the other Z11 - Z12 per line. With a
// capacitance between the lines at each end (the windings' through the core), the common mode
// does not see it and the differential mode is a pi of Z11 - Z12 per line and j w C across.
TEST(Measured, MixedModeOfACoupledPairGivesItsModes) {
  const double w = 2 * std::numbers::pi * 1e6, l = 1e-3, m = 0.99e-3, r = 0.2;
  const Complex z11(r, w * l), z12(0, w * m);
  // The branches' admittance: the inverse of [[z11, z12], [z12, z11]].
  const Complex det = z11 * z11 - z12 * z12, ys = z11 / det, ym = -z12 / det;
  for (const auto& [ports, across] : {std::pair{ChokePorts{}, 0.0}, std::pair{ChokePorts{{4, 2, 1, 3}}, 0.0},
                                      std::pair{ChokePorts{{4, 2, 1, 3}}, 30e-12}}) {
    const auto& p = ports.in1out1in2out2;
    // Node admittance of the ports: +y at (in, in) and (out, out), -y across, per branch pair.
    Complex y[4][4] = {};
    const int in[2] = {p[0] - 1, p[2] - 1}, out[2] = {p[1] - 1, p[3] - 1};
    for (int a = 0; a < 2; ++a)
      for (int b = 0; b < 2; ++b) {
        const Complex v = a == b ? ys : ym;
        y[in[a]][in[b]] += v;
        y[out[a]][out[b]] += v;
        y[in[a]][out[b]] -= v;
        y[out[a]][in[b]] -= v;
      }
    for (const auto& end : {in, out}) {
      y[end[0]][end[0]] += Complex(0, w * across), y[end[1]][end[1]] += Complex(0, w * across);
      y[end[0]][end[1]] -= Complex(0, w * across), y[end[1]][end[0]] -= Complex(0, w * across);
    }
    std::string text = "[Version] 2.0\n# Hz Y RI R 50\n[Number of Ports] 4\n[Network Data]\n1e6";
    for (auto& row : y)
      for (const Complex v : row) {
        // Every digit, a point whatever the test's locale (a decimal comma).
        char part[32];
        text += ' ' + std::string(part, std::to_chars(part, part + sizeof part, v.real()).ptr);
        text += ' ' + std::string(part, std::to_chars(part, part + sizeof part, v.imag()).ptr);
      }
    const files::NetworkRead read = files::ParseTouchstone(text + "\n", 0);
    ASSERT_EQ(read.error, "");
    const ModeImpedances modes = ChokeModes(read.network.s[0], 50, ports);
    EXPECT_NEAR(std::abs(modes.common / ((z11 + z12) / 2.0) - 1.0), 0, 1e-9);
    EXPECT_NEAR(std::abs(modes.differential / (z11 - z12) - 1.0), 0, 1e-9);
    EXPECT_NEAR(std::abs(modes.differentialShunt - Complex(0, w * across)), 0, 1e-12);
    // Written from its modes, the choke is the same four-port.
    const std::vector<Complex> back = ChokeScattering(modes, 50, ports);
    for (std::size_t i = 0; i < 16; ++i) EXPECT_NEAR(std::abs(back[i] - read.network.s[0][i]), 0, 1e-9) << i;
  }
  EXPECT_FALSE((ChokePorts{{1, 2, 2, 4}}.Valid()));
}

}  // namespace
}  // namespace vtq::analysis
