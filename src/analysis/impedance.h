// Common-mode impedance of the designed winding against frequency, for a small plot.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "engine/design.h"

namespace vtq::analysis {

struct ImpedancePoint {
  double frequency = 0;  // Hz
  double magnitude = 0;  // ohm
};

// The curve of an ideal winding, |Z| = 2 pi f L: it ignores the fall of the ferrite's
// permeability with frequency and the winding's self-resonance (the catalogue has no
// data for either), so above some hundred kHz a real part falls short of it.
struct ImpedanceCurve {
  std::string problem;                 // why there is no curve; empty when there is one
  double inductance = 0;               // H
  std::vector<ImpedancePoint> points;  // rising frequency, log-spaced
  // The requirement the design was made for: ImpedanceValue at the entered cutoff
  // frequency, in the impedance and voltage modes only (inductance mode has none).
  std::optional<ImpedancePoint> required;
};

inline constexpr double kCurveStart = 1e3, kCurveStop = 1e7;  // Hz

// The curve from 1 kHz to 10 MHz with pointsPerDecade points per decade (both ends included).
ImpedanceCurve IdealImpedance(const DesignWindow& window, int pointsPerDecade = 25);

// |Z| = 2 pi f L, ohm, for f in Hz and L in H.
double IdealMagnitude(double frequency, double inductance);

}  // namespace vtq::analysis
