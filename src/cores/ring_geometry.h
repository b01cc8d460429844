// The magnetic figures of a ferrite ring from its size: effective length, area and volume
// and the inductance factor.
#pragma once

namespace vtq::cores {

// A ring of rectangular cross-section, metres: outer and inner diameter, height, and the
// length of a 45-degree chamfer on each of the four edges (0: sharp edges). A radiused
// edge is close to a chamfer of its radius.
struct RingSize {
  double od = 0, id = 0, height = 0, chamfer = 0;
};

struct RingFigures {
  double length = 0;  // le, m
  double area = 0;    // Ae, m2
  double volume = 0;  // Ve, m3
  double c1 = 0;      // core factor sum(l/A), 1/m
};

// The effective figures of the ring, or all zero for a ring that is no ring (inner
// diameter not below the outer, a height or chamfer that leaves no cross-section).
//
// The ring is a bundle of concentric flux tubes of length 2 pi r, in parallel. With
// S1 = integral of h(r) dr / (2 pi r) and S2 = integral of h(r) dr / (2 pi r)^2 over the
// cross-section, le = S1 / S2 and Ae = S1^2 / S2: the ideal core with the ring's
// permeance (Ae / le = S1) and the ring's field-weighted volume. For sharp edges this is
// IEC 60205's ring formula, le = 2 pi ln(r2/r1) / (1/r1 - 1/r2),
// Ae = h ln^2(r2/r1) / (1/r1 - 1/r2); a chamfer takes a triangle off h(r) at each edge.
// Taking le as the mean circumference instead reads the inductance about 2 % low on a
// ring of diameter ratio 1.6.
RingFigures FiguresOf(const RingSize& ring);

// Inductance per turn squared, H: mu0 mu Ae / le.
double InductanceFactor(const RingFigures& figures, double permeability);

}  // namespace vtq::cores
