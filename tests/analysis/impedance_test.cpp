#include "analysis/impedance.h"

#include <gtest/gtest.h>

#include <cmath>

#include "support/design_inputs.h"

namespace vtq::test {
namespace {

using analysis::IdealImpedance;

// The inductance reached is kept in uH below 1 mH and in mH above: the curve must not
// be a thousand times off in either case.
TEST(Impedance, CurveOfTheInductanceReached) {
  struct Case {
    Inputs in;
    double henry;    // inductance reached
    double at10kHz;  // ohm, 2 pi f L
  };
  const Case cases[] = {
      {{kInductance, "1", "2"}, 947.2e-6, 59.514},  // 16 turns on 80111, shown in uH
      {{kImpedance, "100", "2", "10000", "400", 3, true, 12}, 1.5652e-3, 98.345},  // 20 turns on 80112
      {{kImpedance, "1000", "5"}, 15.94e-3, 1001.5},                               // two stacked 80124
  };
  for (const Case& k : cases) {
    const auto curve = IdealImpedance(Designed(k.in));
    ASSERT_EQ(curve.problem, "");
    EXPECT_NEAR(curve.inductance / k.henry, 1.0, 5e-4);
    // 25 points a decade from 1 kHz: 10 kHz is point 25.
    ASSERT_EQ(curve.points.size(), 101u);
    EXPECT_DOUBLE_EQ(curve.points[25].frequency, 1e4);
    EXPECT_NEAR(curve.points[25].magnitude / k.at10kHz, 1.0, 1e-3);
  }
}

TEST(Impedance, LogSpacedFromOneKilohertzToTenMegahertz) {
  const auto curve = IdealImpedance(Designed({kInductance, "1", "2"}), 10);
  ASSERT_EQ(curve.points.size(), 41u);
  EXPECT_DOUBLE_EQ(curve.points.front().frequency, 1e3);
  EXPECT_NEAR(curve.points.back().frequency, 1e7, 1e-6);
  const double step = std::pow(10.0, 0.1);
  for (std::size_t i = 1; i < curve.points.size(); ++i) {
    EXPECT_NEAR(curve.points[i].frequency / curve.points[i - 1].frequency, step, 1e-12);
    // An ideal inductor: the magnitude grows exactly as the frequency does.
    EXPECT_NEAR(curve.points[i].magnitude / curve.points[i - 1].magnitude, step, 1e-12);
  }
}

TEST(Impedance, RequirementMarkedInImpedanceAndVoltageModes) {
  struct Case {
    Inputs in;
    bool marked;
    double frequency, ohms;
  };
  const Case cases[] = {
      {{kImpedance, "100", "2", "20000"}, true, 20000, 100},
      {{kVoltage, "250", "1", "10000"}, true, 10000, 250},
      {{kVoltage, "20", "1", "10000"}, true, 10000, 50},  // below 50 ohm the design takes 50
      {{kInductance, "1", "2", "10000"}, false, 0, 0},
  };
  for (const Case& k : cases) {
    const auto curve = IdealImpedance(Designed(k.in));
    ASSERT_EQ(curve.required.has_value(), k.marked);
    if (!k.marked) continue;
    EXPECT_DOUBLE_EQ(curve.required->frequency, k.frequency);
    EXPECT_DOUBLE_EQ(curve.required->magnitude, k.ohms);
    // With whole turns the winding reaches the requirement close to the cutoff frequency.
    EXPECT_NEAR(analysis::IdealMagnitude(k.frequency, curve.inductance) / k.ohms, 1.0, 0.15);
  }
}

TEST(Impedance, NoCurveWithoutAWinding) {
  struct Case {
    Inputs in;
    std::string problem;
  };
  const Case cases[] = {
      {{kImpedance, "100000", "50"},
       "The filter requirement is too large for the catalogue: no winding was designed."},
      {{kImpedance, "1000", "1", "10000", "400", 1},
       "Core QD-80124-KX is not offered in material D: no winding was designed."},
  };
  for (const Case& k : cases) {
    const auto curve = IdealImpedance(Designed(k.in));
    EXPECT_EQ(curve.problem, k.problem);
    EXPECT_TRUE(curve.points.empty());
  }
  EXPECT_EQ(IdealImpedance(DesignWindow{}).problem, "No design has been calculated yet.");
}

}  // namespace
}  // namespace vtq::test
