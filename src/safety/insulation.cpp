#include "safety/insulation.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <span>

namespace vtq::safety {
namespace {

constexpr double kMm = 1e-3;

// IEC 60664-1:2020 (ed. 3.0) Table F.1: rated impulse voltage, V peak, by the voltage line to neutral
// derived from the nominal voltage (rows: up to and including), overvoltage category I, II, III, IV.
struct ImpulseRow {
  double lineToNeutral;
  std::array<double, 4> impulse;
};
constexpr std::array<ImpulseRow, 6> kRatedImpulse = {{{50, {330, 500, 800, 1500}},
                                                      {100, {500, 800, 1500, 2500}},
                                                      {150, {800, 1500, 2500, 4000}},
                                                      {300, {1500, 2500, 4000, 6000}},
                                                      {600, {2500, 4000, 6000, 8000}},
                                                      {1000, {4000, 6000, 8000, 12000}}}};

// IEC 60664-1:2020 (ed. 3.0) Table F.2, case A (inhomogeneous field), below 2000 m: clearance, mm, by the
// required impulse withstand voltage, kV, at pollution degree 1.
struct Point {
  double x, y;
};
constexpr std::array<Point, 17> kClearance = {{{0.33, 0.01},
                                               {0.40, 0.02},
                                               {0.50, 0.04},
                                               {0.60, 0.06},
                                               {0.80, 0.10},
                                               {1.0, 0.15},
                                               {1.2, 0.25},
                                               {1.5, 0.5},
                                               {2.0, 1.0},
                                               {2.5, 1.5},
                                               {3.0, 2.0},
                                               {4.0, 3.0},
                                               {5.0, 4.0},
                                               {6.0, 5.5},
                                               {8.0, 8.0},
                                               {10, 11},
                                               {12, 14}}};
// The same table's least clearance, mm, at pollution degree 1, 2, 3, 4 (small gaps bridged by dirt and
// moisture).
constexpr std::array<double, 4> kLeastClearance = {0, 0.2, 0.8, 1.6};

// IEC 60664-1:2020 (ed. 3.0) Table F.5 (ed. 2.0 Table F.4): creepage distance, mm, to avoid tracking, by the
// working voltage, V rms; columns pollution degree 1 (all groups), 2 (I, II, III), 3 (I, II, III).
constexpr std::array<double, 21> kCreepageVolts = {10,  12.5, 16,  20,  25,  32,  40,  50,  63,  80,  100,
                                                   125, 160,  200, 250, 320, 400, 500, 630, 800, 1000};
constexpr std::array<std::array<double, 21>, 7> kCreepage = {{
    {.080, .090, .100, .110, .125, .14, .16, .18, .20, .22, .25,
     .28,  .32,  .42,  .56,  .75,  1.0, 1.3, 1.8, 2.4, 3.2},
    {.400, .420, .450, .480, .500, .53, .56, .60, .63, .67, .71,
     .75,  .80,  1.00, 1.25, 1.60, 2.0, 2.5, 3.2, 4.0, 5.0},
    {.400, .420, .450, .480, .500, .53, .80, .85, .90, .95, 1.00,
     1.05, 1.10, 1.40, 1.80, 2.20, 2.8, 3.6, 4.5, 5.6, 7.1},
    {.400, .420, .450, .480, .500, .53, 1.10, 1.20, 1.25, 1.30, 1.40,
     1.50, 1.60, 2.00, 2.50, 3.20, 4.0, 5.0,  6.3,  8.0,  10.0},
    {1.000, 1.050, 1.100, 1.200, 1.250, 1.30, 1.40, 1.50, 1.60, 1.70, 1.80,
     1.90,  2.00,  2.50,  3.20,  4.00,  5.0,  6.3,  8.0,  10.0, 12.5},
    {1.000, 1.050, 1.100, 1.200, 1.250, 1.30, 1.60, 1.70, 1.80, 1.90, 2.00,
     2.10,  2.20,  2.80,  3.60,  4.50,  5.6,  7.1,  9.0,  11.0, 14.0},
    {1.000, 1.050, 1.100, 1.200, 1.250, 1.30, 1.80, 1.90, 2.00, 2.10, 2.20,
     2.40,  2.50,  3.20,  4.00,  5.00,  6.3,  8.0,  10.0, 12.5, 16.0},
}};

// Between two rows the tables allow linear interpolation; below the first row its value holds.
double Interpolate(std::span<const double> xs, std::span<const double> ys, double x) {
  if (x <= xs.front()) return ys.front();
  const auto above = std::lower_bound(xs.begin(), xs.end(), x);
  const auto i = static_cast<std::size_t>(above - xs.begin());
  const double t = (x - xs[i - 1]) / (xs[i] - xs[i - 1]);
  return ys[i - 1] + t * (ys[i] - ys[i - 1]);
}

GapRequirement Gap(std::string between, double working, const InsulationInputs& in, double clearance) {
  std::optional<double> creepage = CreepageFor(working, in.pollutionDegree, in.group);
  // A creepage path is never shorter than the air path beside it.
  if (creepage) creepage = std::max(*creepage, clearance);
  return {std::move(between), working, clearance, creepage};
}

}  // namespace

double LineToLine(double lineToNeutral) {
  return std::numbers::sqrt3 * lineToNeutral;
}

std::optional<double> RatedImpulseVoltage(double lineToNeutral, OvervoltageCategory category) {
  for (const ImpulseRow& row : kRatedImpulse) {
    if (lineToNeutral <= row.lineToNeutral) return row.impulse[static_cast<std::size_t>(category) - 1];
  }
  return std::nullopt;
}

std::optional<double> ClearanceFor(double impulse, int pollutionDegree) {
  const double kv = impulse / 1000;
  if (kv > kClearance.back().x || pollutionDegree < 1 || pollutionDegree > 4) return std::nullopt;
  std::array<double, kClearance.size()> xs{}, ys{};
  // Plain std::transform: the page's C++ library has no std::ranges algorithms.
  std::transform(kClearance.begin(), kClearance.end(), xs.begin(), [](const Point& p) { return p.x; });
  std::transform(kClearance.begin(), kClearance.end(), ys.begin(), [](const Point& p) { return p.y; });
  const double mm =
      std::max(Interpolate(xs, ys, kv), kLeastClearance[static_cast<std::size_t>(pollutionDegree) - 1]);
  return mm * kMm;
}

std::optional<double> CreepageFor(double working, int pollutionDegree, MaterialGroup group) {
  if (working > kCreepageVolts.back() || pollutionDegree < 1 || pollutionDegree > 3) return std::nullopt;
  // Groups IIIa and IIIb share the table's group III column.
  const std::size_t column = pollutionDegree == 1
                                 ? 0
                                 : static_cast<std::size_t>(pollutionDegree - 2) * 3 + 1 +
                                       std::min(static_cast<std::size_t>(group), std::size_t{2});
  return Interpolate(kCreepageVolts, kCreepage[column], working) * kMm;
}

InsulationRequirement RequiredInsulation(const InsulationInputs& in) {
  InsulationRequirement r;
  if (!(in.lineToNeutral > 0) || in.windings < 2 || in.windings > 4) {
    r.problem = "The mains voltage must be above 0 V and the windings 2, 3 or 4.";
    return r;
  }
  const std::optional<double> impulse = RatedImpulseVoltage(in.lineToNeutral, in.category);
  const double lineToLine = in.windings == 2 ? in.lineToNeutral : LineToLine(in.lineToNeutral);
  if (!impulse || lineToLine > kCreepageVolts.back()) {
    r.problem = "The insulation tables end at 1000 V rms between windings and 1000 V line to neutral.";
    return r;
  }
  r.impulseVoltage = *impulse;
  const double clearance = *ClearanceFor(*impulse, in.pollutionDegree);
  switch (in.windings) {
    case 2:  // each of the two gaps parts the line from the neutral
      r.gaps = {Gap("L-N", in.lineToNeutral, in, clearance), Gap("N-L", in.lineToNeutral, in, clearance)};
      break;
    case 3:
      r.gaps = {Gap("L1-L2", lineToLine, in, clearance), Gap("L2-L3", lineToLine, in, clearance),
                Gap("L3-L1", lineToLine, in, clearance)};
      break;
    default:  // the neutral's sector lies between L3 and L1
      r.gaps = {Gap("L1-L2", lineToLine, in, clearance), Gap("L2-L3", lineToLine, in, clearance),
                Gap("L3-N", in.lineToNeutral, in, clearance), Gap("N-L1", in.lineToNeutral, in, clearance)};
      break;
  }
  double highest = 0;
  for (const GapRequirement& g : r.gaps) highest = std::max(highest, g.workingVoltage);
  if (in.pollutionDegree == 3 && in.group == MaterialGroup::IIIb && highest > 630) {
    r.note = "Material group IIIb is not recommended at pollution degree 3 above 630 V.";
  }
  return r;
}

SectorGap GapBetween(const RingBore& bore, const GapRequirement& gap, std::optional<double> divider) {
  SectorGap g;
  const double radius = bore.inner / 2, centres = radius - bore.wire / 2;
  if (!(bore.wire > 0) || !(centres > 0) || !(bore.outer > bore.inner)) {
    g.problem = "The wire must be thinner than the ring's bore, and the bore smaller than the ring.";
    return g;
  }
  if (!gap.creepage) {
    g.problem = "No creepage distance is given at pollution degree 4: the choke needs an enclosure.";
    return g;
  }
  // Two turns whose centres lie `angle` apart on the circle of radius `centres`: the straight
  // line between their surfaces is the chord less one diameter; along the bore, the arc
  // between the lines where they rest on it.
  auto angleForAir = [&](double distance) {
    return 2 * std::asin(std::min(1.0, (distance + bore.wire) / (2 * centres)));
  };
  const double forCreepage = *gap.creepage / radius;
  double angle = forCreepage;
  g.binds = Binding::Creepage;
  if (divider) {
    // The turns press on the plate's faces: their surfaces are at least its thickness apart.
    if ((*divider + bore.wire) / (2 * centres) >= 1) {
      g.problem = "The divider is too thick for the ring's bore.";
      return g;
    }
    const double forPlate = angleForAir(*divider);
    if (forPlate > angle) {
      angle = forPlate;
      g.binds = Binding::Divider;
    }
  } else {
    if ((gap.clearance + bore.wire) / (2 * centres) >= 1) {
      g.problem = "The bore is too small to hold the clearance between the windings.";
      return g;
    }
    const double forClearance = angleForAir(gap.clearance);
    if (forClearance > angle) {
      angle = forClearance;
      g.binds = Binding::Clearance;
    }
    g.clearance = 2 * centres * std::sin(angle / 2) - bore.wire;
  }
  g.centreAngle = angle;
  g.gapAngle = angle - angleForAir(0);
  g.creepage = radius * angle;
  return g;
}

std::string_view BindingName(Binding binding) {
  switch (binding) {
    case Binding::Clearance:
      return "clearance";
    case Binding::Divider:
      return "divider";
    case Binding::Creepage:
      break;
  }
  return "creepage";
}

}  // namespace vtq::safety
