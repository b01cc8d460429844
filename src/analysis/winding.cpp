#include "analysis/winding.h"

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
  std::string digits = std::to_string(total < 0 ? -total : total);
  if (digits.size() < 2) digits.insert(0, "0");
  return text.substr(0, e + 1) + (total < 0 ? "-" : "+") + digits;
}

}  // namespace

WindingResult DesignedWinding(const DesignWindow& w) {
  const DesignState& s = w.state;
  const OutputBoxes& o = w.outputs;
  WindingResult r;
  if (o.txtPN.empty()) {
    r.problem = "No design has been calculated yet.";
  } else if (o.txtPN == "Too Large") {
    r.problem = "The filter requirement is too large for the catalogue: no winding was designed.";
  } else if (o.AL == "0") {
    r.problem =
        "Core " + o.txtPN + " is not offered in material " + s.MaterialLetter + ": no winding was designed.";
  } else if (s.InductanceValue <= 0) {
    r.problem = "The winding on " + o.txtPN + " has no turns.";
  } else if (s.DCResistance <= 0 || s.DiffInductance <= 0) {
    r.problem = "The winding on " + o.txtPN + " is incomplete.";
  }
  if (!r.problem.empty()) return r;

  // InductanceValue is in uH when below 1 mH (the window rescales it for display),
  // otherwise in mH; InductanceUnit says which.
  const bool micro = s.InductanceUnit == " uH";
  Winding& wd = r.winding;
  wd.partNumber = o.txtPN;
  wd.inductance = static_cast<double>(s.InductanceValue) * (micro ? 1e-6 : 1e-3);
  wd.inductanceText = Scaled(s.InductanceValue, micro ? -6 : -3);
  wd.resistance = static_cast<double>(s.DCResistance);
  wd.resistanceText = Scaled(s.DCResistance, 0);
  wd.leakage = static_cast<double>(s.DiffInductance) * 1e-6;  // DiffInductance is in uH
  wd.leakageText = Scaled(s.DiffInductance, -6);
  if (wd.leakage >= wd.inductance) {
    r.problem = "The leakage estimate of " + o.txtPN + " is not below its inductance.";
  }
  return r;
}

}  // namespace vtq::analysis
