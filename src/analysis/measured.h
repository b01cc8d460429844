// A choke measured on a network analyser: the impedance of the part from the fixture it
// was measured in, and a two-line choke's common and differential mode from its four
// single-ended ports. The reverse too: the designed choke as the S-parameters a network
// analyser would measure.
#pragma once

#include <array>
#include <complex>
#include <vector>

namespace vtq::analysis {

using Complex = std::complex<double>;

// The part at the end of one port of reference z0 (ohm): Z = Z0 (1 + S11) / (1 - S11).
Complex ReflectionImpedance(Complex s11, double z0);
// The part in series between two ports of z0: Z = 2 Z0 (1 - S21) / S21.
Complex SeriesImpedance(Complex s21, double z0);
// The part across the line between two ports of z0: Z = Z0 S21 / (2 (1 - S21)).
Complex ShuntImpedance(Complex s21, double z0);
// S11, S21, S12, S22 of a series element z between two ports of z0: S11 = Z / (Z + 2 Z0),
// S21 = 2 Z0 / (Z + 2 Z0).
std::array<Complex, 4> SeriesScattering(Complex z, double z0);

// Which single-ended port (1 to 4) each end of the two lines is on. The default: ports 1
// and 2 the first line's input and output, 3 and 4 the second's.
struct ChokePorts {
  std::array<int, 4> in1out1in2out2{1, 2, 3, 4};
  bool Valid() const;  // each of 1 to 4 once
};

// Common mode: both lines together, against both outputs together (the current of both
// lines through one impedance). Differential mode: one line, the current returning
// through the other (the loop of both lines is twice this).
struct ModeImpedances {
  Complex common, differential;
  // S, across the two lines at each end: the differential mode as a pi, its series part the
  // loop (twice `differential`). Between two windings it is their capacitance through the core.
  Complex differentialShunt = 0;
};

// From a four-port's S (row by row, s[i * 4 + j] = S of port i+1 from port j+1), every
// port of z0 ohm. The ports are paired as (in1, in2) at the input and (out1, out2) at the
// output; the mixed-mode matrix is M S M^T with, for each pair (a, b), the differential
// wave (a - b) / sqrt 2 and the common wave (a + b) / sqrt 2: its differential reference is
// 2 Z0, its common reference Z0 / 2. The common mode's transmission gives a series element,
// Zcm = 2 (Z0 / 2) (1 - Scc21) / Scc21. The differential mode is read as a symmetric pi from
// its admittance matrix Y = (I - Sdd) (I + Sdd)^-1 / (2 Z0): the series loop 1 / -Y21 (half
// of it per line) and at each end Y11 + Y21 across the lines; with nothing across them this
// is the series element's 2 (2 Z0) (1 - Sdd21) / Sdd21.
ModeImpedances ChokeModes(const std::vector<Complex>& s, double z0, const ChokePorts& ports);

// The reverse: the four-port's S of a balanced choke with these mode impedances (no
// conversion between the modes), every port of z0 ohm; the differential mode's pi included.
std::vector<Complex> ChokeScattering(const ModeImpedances& z, double z0, const ChokePorts& ports);

}  // namespace vtq::analysis
