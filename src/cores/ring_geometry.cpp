#include "cores/ring_geometry.h"

#include <cmath>
#include <numbers>

namespace vtq::cores {
namespace {

constexpr double kMu0 = 4e-7 * std::numbers::pi;  // H/m; the SI value to 1 part in 1e9

// integral of (r - a) / r^k dr from a to b (k = 1 or 2): a chamfer's missing height at
// radius r grows as (r - a) from the edge at a.
double RampFromEdge(double a, double b, int k) {
  if (k == 1) return (b - a) - a * std::log(b / a);
  return std::log(b / a) + a / b - 1;
}
// integral of (b - r) / r^k dr from a to b: the ramp that ends at the edge at b.
double RampToEdge(double a, double b, int k) {
  if (k == 1) return b * std::log(b / a) - (b - a);
  return b * (1 / a - 1 / b) - std::log(b / a);
}

}  // namespace

RingFigures FiguresOf(const RingSize& ring) {
  const double r1 = ring.id / 2, r2 = ring.od / 2, h = ring.height, c = ring.chamfer;
  if (!(r1 > 0) || !(r2 > r1) || !(h > 0) || !(c >= 0) || !(2 * c < h) || !(2 * c < r2 - r1)) return {};
  // S_k = integral of h(r) dr / (2 pi r)^k: the full rectangle less two triangles (top and
  // bottom) at each of the inner and outer edges.
  auto s = [&](int k) {
    const double full = k == 1 ? h * std::log(r2 / r1) : h * (1 / r1 - 1 / r2);
    const double cut = 2 * (RampToEdge(r1, r1 + c, k) + RampFromEdge(r2 - c, r2, k));
    return (full - cut) / std::pow(2 * std::numbers::pi, k);
  };
  const double s1 = s(1), s2 = s(2);
  RingFigures f;
  f.length = s1 / s2;
  f.area = s1 * s1 / s2;
  f.volume = f.length * f.area;
  f.c1 = 1 / s1;
  return f;
}

double InductanceFactor(const RingFigures& figures, double permeability) {
  return figures.length > 0 ? kMu0 * permeability * figures.area / figures.length : 0;
}

}  // namespace vtq::cores
