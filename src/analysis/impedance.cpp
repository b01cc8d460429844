#include "analysis/impedance.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "analysis/winding.h"

namespace vtq::analysis {

double IdealMagnitude(double frequency, double inductance) {
  // The true pi here, not the 3.14 of the design formulas: this curve is compared with
  // circuit simulators and measurements, and the 0.05 % difference is not worth a trap.
  return 2 * std::numbers::pi * frequency * inductance;
}

ImpedanceCurve IdealImpedance(const DesignWindow& w, int pointsPerDecade) {
  ImpedanceCurve curve;
  WindingResult wound = DesignedWinding(w);
  if (!wound.problem.empty()) {
    curve.problem = wound.problem;
    return curve;
  }
  curve.inductance = wound.winding.inductance;
  const int perDecade = std::max(pointsPerDecade, 1);
  const int decades = static_cast<int>(std::lround(std::log10(kCurveStop / kCurveStart)));
  const int count = decades * perDecade + 1;
  curve.points.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    // Each frequency from its own power of ten, so no rounding accumulates towards 10 MHz.
    const double f = kCurveStart * std::pow(10.0, static_cast<double>(i) / perDecade);
    curve.points.push_back({f, IdealMagnitude(f, curve.inductance)});
  }
  const DesignState& s = w.state;
  if (w.inputs.Mode != DesignModeOption::Inductance && s.EnteredFrequency > 0 && s.ImpedanceValue > 0) {
    curve.required = ImpedancePoint{s.EnteredFrequency, s.ImpedanceValue};
  }
  return curve;
}

}  // namespace vtq::analysis
