// The core's own size: dimensional resonance of the ferrite's cross-section.
//
// MnZn ferrite is also a lossy dielectric of enormous permittivity, so the field along
// the ring is not uniform over a large cross-section: inside the material H obeys
// laplacian(H) + k^2 H = 0 with H fixed at the surface by the winding's current, where
// k^2 = w^2 mu0 mu eps0 eps*, eps* = eps' - j sigma / (w eps0). For a rectangle w x h the
// mean of H over the section, over the surface value, is the double Fourier series
//   F = sum over odd m, n of a_mn lambda_mn / (lambda_mn - k^2),
//   a_mn = 64 / (pi^4 m^2 n^2), lambda_mn = pi^2 (m^2 / w^2 + n^2 / h^2),
// the rectangle's own form of the slab factor tan(k d/2) / (k d/2) (Snelling, Soft Ferrites,
// 1988, ch. 2, for the slab; the rectangle by the same eigenfunction expansion). The weights
// sum to 1, so F -> 1 at low frequency, and each term is a positive-weight pole in k^2: F
// mu is the permeability of a passive network (spice.cpp builds it element for element).
#pragma once

#include <algorithm>
#include <cmath>
#include <complex>
#include <vector>

namespace vtq::analysis {

struct SizeTerm {
  double weight = 0;  // a, the share of the section; the weights sum to 1
  double lambda = 0;  // 1/m2, the pole in k^2
};

struct CoreSection {
  double width = 0, height = 0;  // m, one ring's cross-section, radial by axial
  double resistivity = 0;        // ohm m, DC
  double permittivity = 0;       // relative, eps'
  // The series kept short for the circuit simulator: the (1, 1) term as it is, then the
  // rest gathered into bands of a factor 2 in lambda, each band keeping its weight and its
  // sum of a / lambda, the tail to infinity in the last band. A band whose poles lie far
  // above every |k^2| the material reaches (the `reach` SectionOf is given) only adds
  // weight: there lambda / (lambda - k^2) = 1 + k^2 / lambda to (1/16)^2, and the last band
  // keeps both sums exactly, so those bands are gathered into it. Within 3 % of the full
  // series for every catalogue ring and grade from 10 kHz to 100 MHz.
  std::vector<SizeTerm> terms;
};

// The section and its kept terms for a material whose |k^2| stays below `reach`, 1/m2
// (MaterialReach); 0 keeps every band. A width or height of 0 leaves no terms: F = 1.
CoreSection SectionOf(double width, double height, double resistivity, double permittivity, double reach = 0);

// The largest |k^2|, 1/m2, from 10 kHz to 100 MHz (20 points a decade) of a material of
// relative permeability mu(f) in a ring of this resistivity and permittivity.
template <class Mu>
double MaterialReach(const CoreSection& section, Mu mu);

// k^2, 1/m2, at a frequency in Hz for a relative permeability mu = mu' - j mu''.
std::complex<double> WaveNumberSquared(const CoreSection& section, double frequency, std::complex<double> mu);

// F from the kept terms: what multiplies the material's permeability in a core of this size.
std::complex<double> SizeFactor(const CoreSection& section, double frequency, std::complex<double> mu);

// F from the full series with odd m, n up to `order`, for a check.
std::complex<double> SizeFactorSeries(double width, double height, std::complex<double> k2, int order);

// The mean over the section of the solution of laplacian(u) = -1, u = 0 on the edge:
// F = 1 + k^2 MeanStress + O(k^4). It is a quarter of the section's torsion constant over
// its area (Saint-Venant's torsion of a rectangular bar).
double MeanStress(double width, double height);

template <class Mu>
double MaterialReach(const CoreSection& section, Mu mu) {
  double reach = 0;
  for (int i = 0; i <= 80; ++i) {
    const double f = 1e4 * std::pow(10.0, i / 20.0);
    reach = std::max(reach, std::abs(WaveNumberSquared(section, f, mu(f))));
  }
  return reach;
}

}  // namespace vtq::analysis
