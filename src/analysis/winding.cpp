#include "analysis/winding.h"

#include <algorithm>

#include "analysis/physics.h"
#include "engine/catalogue.h"
#include "engine/numbers.h"

namespace vtq::analysis {
namespace {

// The value times 10^exponent as a plain number text that every circuit simulator reads
// ("9.472e-04"): the float's own shortest digits, so no conversion noise is printed.
// Scale suffixes are avoided on purpose: "m" is milli to a simulator, not mega, and an
// exponent followed by a suffix is read differently from one simulator to the next.
std::string Scaled(Single value, int exponent) {
  const std::string text = num::ShortestScientific(value);
  const std::size_t e = text.find('e');
  const int total = std::stoi(text.substr(e + 1)) + exponent;
  const int magnitude = total < 0 ? -total : total;
  const std::string digits = (magnitude < 10 ? "0" : "") + std::to_string(magnitude);
  return text.substr(0, e + 1) + (total < 0 ? "-" : "+") + digits;
}

}  // namespace

WindingResult DesignedWinding(const DesignWindow& w) {
  const DesignState& s = w.state;
  const OutputBoxes& o = w.outputs;
  WindingResult r;
  r.problem = IncompleteReason(w);
  if (!r.problem.empty()) return r;
  if (s.InductanceValue <= 0) {
    r.problem = "The winding on " + o.txtPN + " has no turns.";
  } else if (s.DCResistance <= 0 || s.DiffInductance <= 0 || s.CoreRow < 1 || s.CoreRow > kCoreCount) {
    r.problem = "The winding on " + o.txtPN + " is incomplete.";
  }
  if (!r.problem.empty()) return r;

  // InductanceValue is in uH when below 1 mH (the window rescales it for display),
  // otherwise in mH; InductanceUnit says which.
  const bool micro = s.InductanceUnit == " uH";
  Winding& wd = r.winding;
  wd.partNumber = o.txtPN;
  wd.inductance = WindingInductance(s);
  wd.inductanceText = Scaled(s.InductanceValue, micro ? -6 : -3);
  wd.resistance = static_cast<double>(s.DCResistance);
  wd.resistanceText = Scaled(s.DCResistance, 0);
  wd.leakage = static_cast<double>(s.DiffInductance) * 1e-6;  // DiffInductance is in uH
  wd.leakageText = Scaled(s.DiffInductance, -6);
  const double turns = num::ParseStrict(o.Turns).value_or(0);
  wd.turns = turns >= 1 && turns < 1e7 ? static_cast<int>(turns) : 0;
  wd.permeability = static_cast<double>(s.Permeability);
  wd.coreArea = static_cast<double>(s.CoreArea) * 1e-4;  // cm2
  const CoreEntry& core = CoreAt(s.CoreRow);             // inches
  wd.coreOD = core.OD * 0.0254;
  wd.coreID = core.ID * 0.0254;
  wd.coreHeight = core.HT * s.StackCount * 0.0254;
  wd.ringHeight = core.HT * 0.0254;
  wd.insulatedDiameter = static_cast<double>(s.WireDiameter) * 0.0254;  // in
  // A gauge of 0 or below is drawn at gauge 0's diameter; its copper likewise.
  wd.bareDiameter = CopperDiameter(std::max(static_cast<int>(s.WireGauge), 0));
  if (wd.turns < 1 || wd.coreArea <= 0 || wd.insulatedDiameter <= 0) {
    r.problem = "The winding on " + o.txtPN + " is incomplete.";
  } else if (wd.leakage >= wd.inductance) {
    r.problem = "The leakage estimate of " + o.txtPN + " is not below its inductance.";
  }
  return r;
}

}  // namespace vtq::analysis
