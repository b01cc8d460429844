#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>

#include "safety/insulation.h"
#include "safety/touch_current.h"

namespace vtq::safety {
namespace {

using OVC = OvervoltageCategory;
using MG = MaterialGroup;

// Distances read off IEC 60664-1 by hand: rated impulse voltage (Table F.1), clearance in an
// inhomogeneous field (Table F.2), creepage (Table F.5) with linear interpolation between
// rows, raised to the clearance where that is longer. mm.
struct Case {
  const char* what;
  InsulationInputs in;
  double impulse, clearance;
  double creepage[4];  // gap by gap going round the ring
};
const Case kCases[] = {
    // 230 V: row 300 V, 2500 V, 1.5 mm; creepage 2.0 + 30/50 of (2.5 - 2.0) between the 200 and 250 V rows.
    {"230 V single phase", {230, OVC::II, 2, MG::IIIa, 2}, 2500, 1.5, {2.3, 2.3}},
    // 400 V line to line (230 sqrt 3 = 398.37 V): 4.0 + 78.37/80 of (5.0 - 4.0) between 320 and 400 V.
    {"230/400 V three lines", {230, OVC::III, 3, MG::I, 3}, 4000, 3.0, {4.97965, 4.97965, 4.97965}},
    // 120 V: row 150 V, 800 V, 0.10 mm; creepage 0.25 + 20/25 of 0.03 at pollution degree 1.
    {"120 V, pollution degree 1", {120, OVC::I, 1, MG::II, 2}, 800, 0.10, {0.274, 0.274}},
    // 277/480 V with neutral: 6000 V, 5.5 mm, above both creepage figures (3.44 and 1.95 mm).
    {"277/480 V four windings", {277, OVC::IV, 2, MG::II, 4}, 6000, 5.5, {5.5, 5.5, 5.5, 5.5}},
    // The tables' low corner: 50 V, 330 V, 0.01 mm; creepage 0.18 mm.
    {"50 V corner", {50, OVC::I, 1, MG::I, 2}, 330, 0.01, {0.18, 0.18}},
    // Near the high corner: 577 V on the 600 V row, 4000 V; 999.39 V line to line, 8.0 + 199.39/200 of 2.0.
    {"1000 V corner", {577, OVC::II, 2, MG::IIIb, 3}, 4000, 3.0, {9.99393, 9.99393, 9.99393}},
    // 1000 V, the last row of both tables: 6000 V, 5.5 mm; 10.0 mm of creepage.
    {"1000 V single phase", {1000, OVC::II, 2, MG::IIIa, 2}, 6000, 5.5, {10.0, 10.0}},
    // Pollution degree 2's least clearance, 0.2 mm, over the 0.10 mm of 800 V.
    {"least clearance", {100, OVC::II, 2, MG::I, 2}, 800, 0.2, {0.71, 0.71}},
};

TEST(Insulation, DistancesFollowTheTables) {
  for (const Case& c : kCases) {
    const InsulationRequirement r = RequiredInsulation(c.in);
    ASSERT_EQ(r.problem, "") << c.what;
    EXPECT_EQ(r.impulseVoltage, c.impulse) << c.what;
    ASSERT_EQ(r.gaps.size(), static_cast<std::size_t>(c.in.windings)) << c.what;
    for (std::size_t i = 0; i < r.gaps.size(); ++i) {
      EXPECT_NEAR(r.gaps[i].clearance * 1e3, c.clearance, 1e-9) << c.what;
      ASSERT_TRUE(r.gaps[i].creepage) << c.what;
      EXPECT_NEAR(*r.gaps[i].creepage * 1e3, c.creepage[i], 1e-5) << c.what << " gap " << i;
    }
  }
}

TEST(Insulation, WorkingVoltageAcrossEachGap) {
  const InsulationRequirement four = RequiredInsulation({230, OVC::II, 2, MG::I, 4});
  ASSERT_EQ(four.gaps.size(), 4u);
  EXPECT_EQ(four.gaps[0].between, "L1-L2");
  EXPECT_NEAR(four.gaps[1].workingVoltage, 398.372, 1e-3);
  EXPECT_EQ(four.gaps[2].between, "L3-N");
  EXPECT_EQ(four.gaps[3].workingVoltage, 230);
  // Line to line 398.37 V: 1.6 + 78.37/80 of 0.4; line to neutral 230 V: 1.0 + 30/50 of 0.25 = 1.15,
  // raised to the 1.5 mm clearance.
  EXPECT_NEAR(*four.gaps[0].creepage * 1e3, 1.99186, 1e-5);
  EXPECT_NEAR(*four.gaps[3].creepage * 1e3, 1.5, 1e-9);
}

TEST(Insulation, OutsideTheTables) {
  // Pollution degree 4: 1.6 mm least clearance, no creepage distance.
  const InsulationRequirement wet = RequiredInsulation({230, OVC::II, 4, MG::I, 2});
  EXPECT_NEAR(wet.gaps[0].clearance * 1e3, 1.6, 1e-12);
  EXPECT_FALSE(wet.gaps[0].creepage);
  // 600 V line to neutral is 1039 V line to line, past the creepage table; 1001 V past F.1.
  EXPECT_NE(RequiredInsulation({600, OVC::II, 2, MG::I, 3}).problem, "");
  EXPECT_NE(RequiredInsulation({1001, OVC::II, 2, MG::I, 2}).problem, "");
  EXPECT_NE(RequiredInsulation({230, OVC::II, 2, MG::I, 5}).problem, "");
  EXPECT_NE(RequiredInsulation({0, OVC::II, 2, MG::I, 2}).problem, "");
  EXPECT_NE(RequiredInsulation({400, OVC::II, 3, MG::IIIb, 3}).note, "");
  EXPECT_EQ(RequiredInsulation({400, OVC::II, 3, MG::IIIa, 3}).note, "");
  EXPECT_EQ(RequiredInsulation({630, OVC::II, 3, MG::IIIb, 2}).note, "");  // above 630 V only
  // Between rows of F.2: 7 kV lies halfway from 5.5 mm to 8.0 mm; 12 kV is its last row.
  EXPECT_NEAR(*ClearanceFor(7000, 1) * 1e3, 6.75, 1e-12);
  EXPECT_NEAR(*ClearanceFor(12000, 3) * 1e3, 14, 1e-12);
  EXPECT_FALSE(ClearanceFor(12001, 1));
  // Below the creepage table's first row, 10 V, its value holds.
  EXPECT_NEAR(*CreepageFor(5, 3, MG::IIIb) * 1e3, 1.0, 1e-12);
}

// A 10 mm bore, 1 mm wire: turn centres on a 4.5 mm radius.
TEST(Insulation, SectorGapOnTheBore) {
  const RingBore bore{10e-3, 20e-3, 1e-3};
  const GapRequirement need{"L-N", 230, 1.5e-3, 2.3e-3};
  // Clearance: chord 2 * 4.5 sin(a/2) = 1.5 + 1 mm, a = 0.56296 rad; the arc then is 2.8148 mm.
  const SectorGap air = GapBetween(bore, need);
  EXPECT_EQ(air.binds, Binding::Clearance);
  EXPECT_NEAR(air.centreAngle, 0.5629601, 1e-7);
  EXPECT_NEAR(air.gapAngle, 0.3402781, 1e-7);  // less the 2 asin(1/9) of two touching turns
  EXPECT_NEAR(*air.clearance, 1.5e-3, 1e-12);
  EXPECT_NEAR(air.creepage, 2.8148007e-3, 1e-9);
  // A 1 mm plate takes the air path: the 2.3 mm along the bore binds, 0.46 rad.
  const SectorGap plate = GapBetween(bore, need, 1e-3);
  EXPECT_EQ(plate.binds, Binding::Creepage);
  EXPECT_NEAR(plate.centreAngle, 0.46, 1e-12);
  EXPECT_FALSE(plate.clearance);
  // A 2 mm plate needs 2 asin(3/9) = 0.67967 rad to fit between the turns.
  EXPECT_EQ(GapBetween(bore, need, 2e-3).binds, Binding::Divider);
  EXPECT_NEAR(GapBetween(bore, need, 2e-3).centreAngle, 0.6796738, 1e-7);
  // What no angle meets.
  EXPECT_NE(GapBetween({10e-3, 20e-3, 9e-3}, need).problem, "");
  EXPECT_NE(GapBetween({10e-3, 20e-3, 0}, need).problem, "");
  EXPECT_NE(GapBetween(bore, {"L-N", 230, 8e-3, 8e-3}).problem, "");
  EXPECT_NE(GapBetween(bore, need, 8e-3).problem, "");
  EXPECT_NE(GapBetween(bore, {"L-N", 230, 1.6e-3, std::nullopt}).problem, "");
}

// 0.25 mA at 264 V 60 Hz: 0.25e-3 / (2 pi 60 264) = 2.51192 nF in all; 3.5 mA at 277 V 60 Hz
// over three lines: 33.5164 nF, 11.1721 nF a line.
TEST(YBudget, LargestCapacitanceByHand) {
  const struct {
    double limit, volts, hertz;
    int lines;
    double total, perLine;
  } kBudgets[] = {{0.25e-3, 264, 60, 2, 2.511915e-9, 1.255958e-9},
                  {3.5e-3, 277, 60, 3, 33.51638e-9, 11.17213e-9}};
  for (const auto& b : kBudgets) {
    const YBudget y = YBudgetOf(b.limit, b.volts, b.hertz, b.lines);
    EXPECT_NEAR(y.maxTotal, b.total, 1e-6 * b.total);
    EXPECT_NEAR(y.maxPerLine, b.perLine, 1e-6 * b.perLine);
  }
  EXPECT_NE(YBudgetOf(0, 230, 50, 2).problem, "");
  EXPECT_NE(YBudgetOf(1e-3, 230, 50, 5).problem, "");
}

// The worst case stated, checked by phasors: with one line earthed every other line's
// capacitor returns its current to earth, and at the budget the sum is the limit itself.
TEST(YBudget, OneLineEarthedDrivesTheLimit) {
  const double volts = 230, hertz = 50, limit = 3.5e-3;
  for (int lines = 3; lines <= 4; ++lines) {
    const double c = YBudgetOf(limit, volts, hertz, lines).maxPerLine;
    std::vector<std::complex<double>> potentials;
    for (int k = 0; k < 3; ++k) potentials.push_back(std::polar(volts, -2 * std::numbers::pi * k / 3));
    if (lines == 4) potentials.emplace_back(0.0);  // the neutral
    std::complex<double> earth = 0;
    for (const auto& v : potentials)
      earth += std::complex<double>(0, 2 * std::numbers::pi * hertz * c) * (v - potentials[0]);
    EXPECT_NEAR(std::abs(earth), limit, 1e-12) << lines;
  }
}

TEST(YBudget, TabulatedCases) {
  for (const TouchCurrentCase& c : TouchCurrentCases()) {
    EXPECT_EQ(TouchCurrentCaseOf(c.key), &c);
    EXPECT_FALSE(c.source.empty());
  }
  EXPECT_EQ(TouchCurrentCaseOf("iec60335-class2")->limit, 0.25e-3);
  EXPECT_EQ(TouchCurrentCaseOf("iec60601-touch")->limit, 0.1e-3);
  EXPECT_EQ(TouchCurrentCaseOf("nonesuch"), nullptr);
}

}  // namespace
}  // namespace vtq::safety
