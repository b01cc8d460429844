#include "analysis/spice.h"

#include <cctype>
#include <charconv>
#include <cstdio>

#include "analysis/winding.h"

namespace vtq::analysis {
namespace {

std::string SubcircuitName(std::string_view partNumber) {
  // "(2x) QN-80124-KX" -> "QN_80124_KX_X2": simulators take letters, digits, underscores.
  std::string name, stack;
  std::size_t start = 0;
  if (partNumber.size() > 4 && partNumber[0] == '(') {
    stack = std::string("_X") + partNumber[1];
    start = partNumber.find(' ') + 1;
  }
  for (char c : partNumber.substr(start)) {
    name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
  }
  return name + stack;
}

std::string InputsLine(const DesignWindow& w) {
  const DesignState& s = w.state;
  std::string mode, main;
  switch (w.inputs.Mode) {
    case DesignModeOption::Inductance:
      mode = "inductance";
      main = num::SingleText(s.MainValue) + " mH";
      break;
    case DesignModeOption::Impedance:
      mode = "impedance";
      main = num::SingleText(s.ImpedanceValue) + " ohm";
      break;
    case DesignModeOption::Voltage:
      mode = "voltage";
      main = num::SingleText(s.MainValue) + " V";
      break;
  }
  std::string line = "* Inputs: " + mode + " mode, " + main + ", " + num::SingleText(s.CurrentValue) + " A";
  if (w.inputs.Mode != DesignModeOption::Inductance) {
    line += " at " + num::SingleText(s.EnteredFrequency) + " Hz";
  }
  line += ", " + num::SingleText(s.CurrentDensity) + " A/cm2, material " + s.MaterialLetter +
          " (initial permeability " + num::IntegerText(s.Permeability) + ")\n";
  return line;
}

}  // namespace

double CouplingFactor(double inductance, double leakage) {
  // Two equal windings with mutual inductance M = k L. A differential current (in at
  // in1, back out through in2) cancels the shared flux, so each winding shows only
  // L - M = L (1 - k): that is the leakage inductance the design estimates per winding.
  // Hence k = 1 - Lleak / L. (sqrt(1 - Lsc / L) would be right for Lsc measured on one
  // winding with the other shorted, which is about twice Lleak for a tight coupling.)
  return 1.0 - leakage / inductance;
}

SpiceModel SpiceSubcircuit(const DesignWindow& w) {
  SpiceModel model;
  WindingResult wound = DesignedWinding(w);
  if (!wound.problem.empty()) {
    model.problem = wound.problem;
    return model;
  }
  const Winding& wd = wound.winding;
  model.name = SubcircuitName(wd.partNumber);
  model.coupling = CouplingFactor(wd.inductance, wd.leakage);
  char k[32];
  // Nine digits: the leakage lives in 1 - k, a difference of nearly equal numbers. A
  // decimal point under every locale: the window runs under the user's, and a
  // simulator reads "0,996" as two tokens.
  const auto written = std::to_chars(k, k + sizeof k - 1, model.coupling, std::chars_format::fixed, 9);
  *written.ptr = '\0';

  std::string& t = model.text;
  t += "* Common-mode choke " + wd.partNumber + ", two windings on one ferrite toroid\n";
  t += InputsLine(w);
  t += "* Per winding: L = " + wd.inductanceText + " H, DC resistance = " + wd.resistanceText +
       " ohm, estimated leakage (differential) inductance = " + wd.leakageText + " H\n";
  t += "* Common-mode impedance about 2 pi f L; differential impedance per line about 2 pi f Lleak.\n";
  t += "* Ideal windings: no fall of permeability with frequency, no self-resonance, no core loss.\n";
  t += "* Pins: in1 out1 in2 out2 (winding 1 in1-out1, winding 2 in2-out2, dots at in1 and in2)\n";
  t += ".SUBCKT " + model.name + " in1 out1 in2 out2\n";
  t += "L1 in1 n1 " + wd.inductanceText + "\n";
  t += "R1 n1 out1 " + wd.resistanceText + "\n";
  t += "L2 in2 n2 " + wd.inductanceText + "\n";
  t += "R2 n2 out2 " + wd.resistanceText + "\n";
  t += "K1 L1 L2 " + std::string(k) + "\n";
  t += ".ENDS " + model.name + "\n";
  return model;
}

}  // namespace vtq::analysis
