#include "analysis/measured.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vtq::analysis {
namespace {

using Matrix4 = std::array<Complex, 16>;

// Rows: the differential wave at the input and at the output, then the common wave at
// each, over the single-ended waves in the order in1, in2, out1, out2. Orthogonal, so its
// inverse is its transpose.
constexpr double kHalf = std::numbers::sqrt2 / 2;
constexpr std::array<double, 16> kModes{kHalf, -kHalf, 0,     0,       //
                                        0,     0,      kHalf, -kHalf,  //
                                        kHalf, kHalf,  0,     0,       //
                                        0,     0,      kHalf, kHalf};

// M A M^T (forward) or M^T A M.
Matrix4 Similar(const Matrix4& a, bool forward) {
  auto m = [forward](int i, int j) { return forward ? kModes[i * 4 + j] : kModes[j * 4 + i]; };
  Matrix4 out{};
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) {
      Complex sum = 0;
      for (int k = 0; k < 4; ++k) {
        for (int l = 0; l < 4; ++l) {
          sum += m(i, k) * a[static_cast<std::size_t>(k) * 4 + static_cast<std::size_t>(l)] * m(j, l);
        }
      }
      out[(static_cast<std::size_t>(i) * static_cast<std::size_t>(4) + static_cast<std::size_t>(j))] = sum;
    }
  }
  return out;
}

// The file's port (0 to 3) behind each of in1, in2, out1, out2.
std::array<int, 4> Order(const ChokePorts& p) {
  const auto& q = p.in1out1in2out2;
  return {q[0] - 1, q[2] - 1, q[1] - 1, q[3] - 1};
}

// S11, S21, S12, S22 of a symmetric pi (admittance y, series z, admittance y) between two
// ports of z0, from its chain matrix A = D = 1 + z y, B = z, C = y (2 + z y):
// S11 = (B / z0 - C z0) / den, S21 = 2 / den, den = 2 A + B / z0 + C z0.
std::array<Complex, 4> PiScattering(Complex z, Complex y, double z0) {
  const Complex a = 1.0 + z * y, b = z / z0, c = y * (2.0 + z * y) * z0;
  const Complex den = 2.0 * a + b + c;
  const Complex s11 = (b - c) / den, s21 = 2.0 / den;
  return {s11, s21, s21, s11};
}

}  // namespace

Complex ReflectionImpedance(Complex s11, double z0) {
  return z0 * (1.0 + s11) / (1.0 - s11);
}

Complex SeriesImpedance(Complex s21, double z0) {
  return 2 * z0 * (1.0 - s21) / s21;
}

Complex ShuntImpedance(Complex s21, double z0) {
  return z0 * s21 / (2.0 * (1.0 - s21));
}

std::array<Complex, 4> SeriesScattering(Complex z, double z0) {
  const Complex s11 = z / (z + 2 * z0), s21 = 2 * z0 / (z + 2 * z0);
  return {s11, s21, s21, s11};
}

bool ChokePorts::Valid() const {
  std::array<int, 4> sorted = in1out1in2out2;
  std::sort(sorted.begin(), sorted.end());
  return sorted == std::array<int, 4>{1, 2, 3, 4};
}

ModeImpedances ChokeModes(const std::vector<Complex>& s, double z0, const ChokePorts& ports) {
  const std::array<int, 4> o = Order(ports);
  Matrix4 ordered{};
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) {
      ordered[static_cast<std::size_t>(i) * 4 + static_cast<std::size_t>(j)] =
          s[static_cast<std::size_t>(o[i]) * 4 + static_cast<std::size_t>(o[j])];
    }
  }
  const Matrix4 mm = Similar(ordered, true);
  const Complex scc21 = mm[3 * 4 + 2];
  ModeImpedances z{SeriesImpedance(scc21, z0 / 2), 0, 0};
  // Y of the differential two-port, both ends averaged (a measured pi is symmetric but for noise).
  const Complex s11 = mm[0], s12 = mm[1], s21 = mm[4], s22 = mm[5];
  const Complex det = (1.0 + s11) * (1.0 + s22) - s12 * s21;
  if (std::abs(det) < 1e-12) {
    // I + S singular (a short across the lines): no pi to read; the transmission alone.
    z.differential = SeriesImpedance(s21, 2 * z0) / 2.0;
    return z;
  }
  const double zd = 2 * z0;
  // Y = (I - S)(I + S)^-1 / zd, the 2 x 2 inverse written out: Y21 = -2 s21 / (det zd).
  const Complex y11 = ((1.0 - s11) * (1.0 + s22) + s12 * s21) / (det * zd);
  const Complex y22 = ((1.0 + s11) * (1.0 - s22) + s12 * s21) / (det * zd);
  const Complex y21 = -(s12 + s21) / (det * zd);  // Y21 and Y12 averaged
  // The differential series element is the loop of both lines; the model gives it per line.
  z.differential = -1.0 / y21 / 2.0;
  z.differentialShunt = (y11 + y22) / 2.0 + y21;
  return z;
}

std::vector<Complex> ChokeScattering(const ModeImpedances& z, double z0, const ChokePorts& ports) {
  const std::array<Complex, 4> dd = PiScattering(2.0 * z.differential, z.differentialShunt, 2 * z0);
  const std::array<Complex, 4> cc = SeriesScattering(z.common, z0 / 2);
  Matrix4 mm{};
  // SeriesScattering gives S11, S21, S12, S22.
  mm[0] = dd[0], mm[4] = dd[1], mm[1] = dd[2], mm[5] = dd[3];
  mm[10] = cc[0], mm[14] = cc[1], mm[11] = cc[2], mm[15] = cc[3];
  const Matrix4 ordered = Similar(mm, false);
  const std::array<int, 4> o = Order(ports);
  std::vector<Complex> s(16);
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) {
      s[static_cast<std::size_t>(o[i]) * 4 + static_cast<std::size_t>(o[j])] =
          ordered[static_cast<std::size_t>(i) * 4 + static_cast<std::size_t>(j)];
    }
  }
  return s;
}

}  // namespace vtq::analysis
