#include "analysis/core_size.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <mutex>
#include <numbers>

#include "analysis/physics.h"

namespace vtq::analysis {
namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kWeightScale = 64 / (kPi * kPi * kPi * kPi);  // a_mn m^2 n^2
// Kept terms: the (1, 1) pole and this many bands a factor 2 apart above it; the last
// reaches 2^15 times the first pole, far past |k^2| of any grade below 100 MHz.
constexpr int kBands = 16;
constexpr double kBandOctaves = 1;  // each band spans a factor 2^this in lambda
// The explicit sum stops at this odd order; what it leaves is closed exactly by the weights
// summing to 1 and a / lambda summing to MeanStress.
constexpr int kOrder = 199;

}  // namespace

double MeanStress(double w, double h) {
  // u = sum over odd n of 4 h^2 / (n pi)^3 sin(n pi y / h) (1 - cosh(n pi x' / h) / cosh(n pi w / 2h)),
  // averaged over the section.
  double sum = 0;
  for (int n = 1; n < 200; n += 2) sum += std::tanh(n * kPi * w / (2 * h)) / std::pow(n, 5);
  return h * h / 12 - 16 * h * h * h / (std::pow(kPi, 5) * w) * sum;
}

namespace {

CoreSection SectionWorkedOut(double width, double height, double resistivity, double permittivity,
                             double reach) {
  CoreSection s{width, height, resistivity, permittivity, {}};
  if (!(width > 0) || !(height > 0)) return s;
  auto lambda = [&](int m, int n) {
    return kPi * kPi * (m * m / (width * width) + n * n / (height * height));
  };
  const double first = lambda(1, 1);
  // The last band: where the poles pass 16 times the reach, or the fixed last one.
  const int last =
      reach > 0
          ? std::clamp(static_cast<int>(std::ceil(std::log2(4 * reach / first) / kBandOctaves)), 0, kBands)
          : kBands;
  std::vector<double> weight(kBands + 1, 0), moment(kBands + 1, 0);
  double weights = 0, moments = 0;
  for (int m = 1; m <= kOrder; m += 2) {
    for (int n = 1; n <= kOrder; n += 2) {
      const double a = kWeightScale / (double(m) * m * n * n), l = lambda(m, n);
      // Every pole far above the reach (last 0): one term holds the whole section.
      const int band = last == 0 || (m == 1 && n == 1)
                           ? 0
                           : std::clamp(1 + int(std::floor(std::log2(l / first) / kBandOctaves)), 1, last);
      weight[band] += a;
      moment[band] += a / l;
      weights += a;
      moments += a / l;
    }
  }
  weight[last] += 1 - weights;
  moment[last] += MeanStress(width, height) - moments;
  for (int b = 0; b <= kBands; ++b) {
    if (weight[b] > 0 && moment[b] > 0) s.terms.push_back({weight[b], weight[b] / moment[b]});
  }
  return s;
}

}  // namespace

CoreSection SectionOf(double width, double height, double resistivity, double permittivity, double reach) {
  // The double sum runs to 10,000 terms, and a core search asks for the same few sections
  // again for every turn count it tries: each is worked out once. The catalogue and the ring
  // library hold a few hundred; a bound keeps a long session of odd sizes from growing it.
  using Key = std::array<double, 5>;
  static std::mutex lock;
  static std::map<Key, CoreSection> found;
  const Key key{width, height, resistivity, permittivity, reach};
  {
    const std::lock_guard<std::mutex> hold(lock);
    if (auto at = found.find(key); at != found.end()) return at->second;
  }
  CoreSection s = SectionWorkedOut(width, height, resistivity, permittivity, reach);
  const std::lock_guard<std::mutex> hold(lock);
  if (found.size() >= 4096) found.clear();
  found.emplace(key, s);
  return s;
}

std::complex<double> WaveNumberSquared(const CoreSection& s, double f, std::complex<double> mu) {
  const double w = 2 * kPi * f;
  const double e0 = Constant(Physics::VacuumPermittivity), mu0 = Constant(Physics::VacuumPermeability);
  const std::complex<double> eps{s.permittivity, s.resistivity > 0 ? -1 / (s.resistivity * w * e0) : 0.0};
  return w * w * mu0 * e0 * mu * eps;
}

std::complex<double> SizeFactor(const CoreSection& s, double f, std::complex<double> mu) {
  if (s.terms.empty() || !(f > 0)) return 1;
  const std::complex<double> k2 = WaveNumberSquared(s, f, mu);
  std::complex<double> sum = 0;
  for (const SizeTerm& t : s.terms) sum += t.weight * t.lambda / (t.lambda - k2);
  return sum;
}

std::complex<double> SizeFactorSeries(double w, double h, std::complex<double> k2, int order) {
  std::complex<double> sum = 0;
  for (int m = 1; m <= order; m += 2) {
    for (int n = 1; n <= order; n += 2) {
      const double l = kPi * kPi * (m * m / (w * w) + n * n / (h * h));
      sum += kWeightScale / (double(m) * m * n * n) * l / (l - k2);
    }
  }
  return sum;
}

}  // namespace vtq::analysis
