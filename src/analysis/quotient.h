// Complex division on the hot paths of the emission check and the turns search, without
// the runtime's call.
#pragma once

#include <cmath>
#include <complex>

namespace vtq::analysis {

// n / d, bit for bit what the C++ runtime's complex division gives. That division is
// Smith's: the larger part of d divides the smaller, so d's squared magnitude is never
// formed. Near the ends of the double range the runtime first scales all four parts by a
// power of two, and handles infinities and NaNs; with every part zero or within 2^-256 to
// 2^256 no step of Smith's can overflow or leave the normal numbers, that scaling changes no
// bit, and the runtime's result is Smith's. Anything else goes to the runtime. A copper
// layer's sections, a choke's branches and the receiver paths divide tens of times per
// harmonic; inline, the divisions of neighbouring quotients overlap.
inline std::complex<double> Quotient(std::complex<double> n, std::complex<double> d) {
  const double a = n.real(), b = n.imag(), c = d.real(), e = d.imag();
  auto plain = [](double v) {
    const double m = std::abs(v);
    return v == 0 || (m >= 0x1p-256 && m <= 0x1p256);
  };
  if (!(plain(a) && plain(b) && plain(c) && plain(e)) || (c == 0 && e == 0)) return n / d;
  if (std::abs(c) < std::abs(e)) {
    const double ratio = c / e, denominator = c * ratio + e;
    return {(a * ratio + b) / denominator, (b * ratio - a) / denominator};
  }
  const double ratio = e / c, denominator = e * ratio + c;
  return {(b * ratio + a) / denominator, (b - a * ratio) / denominator};
}

}  // namespace vtq::analysis
