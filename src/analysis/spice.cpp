#include "analysis/spice.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <utility>
#include <vector>

#include "analysis/ferrite.h"
#include "analysis/impedance.h"
#include "analysis/physics.h"
#include "analysis/winding.h"
#include "engine/numbers.h"

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

SpiceModel SpiceSubcircuit(const DesignWindow& w, const std::shared_ptr<const Ferrite>& material) {
  SpiceModel model;
  const WindingResult wound = DesignedWinding(w);
  const ChokeParameters p = ParametersOf(w, model.problem, 25, material);
  if (!model.problem.empty()) return model;
  return SpiceSubcircuit(wound.winding, p, InputsLine(w));
}

SpiceModel SpiceSubcircuit(const Winding& wd, const std::string& inputs,
                           const std::shared_ptr<const Ferrite>& material) {
  SpiceModel model;
  const ChokeParameters p = ParametersOf(wd, model.problem, 25, material);
  if (!model.problem.empty()) return model;
  return SpiceSubcircuit(wd, p, "* Inputs: " + inputs + "\n");
}

SpiceModel SpiceSubcircuit(const Winding& wd, const ChokeParameters& p, const std::string& inputsLine) {
  SpiceModel model;
  model.name = SubcircuitName(wd.partNumber);
  // Nine digits: the curves of the simulator and of the program agree far inside 1 %. A
  // decimal point under every locale: the window runs under the user's, and a
  // simulator reads "0,996" as two tokens.
  auto figure = [](double v) { return num::Printed(v, 9); };

  std::string& t = model.text;
  const int windings = std::clamp(p.windings, 2, 4);
  const char* const counts[] = {"two", "three", "four"};
  t += "* Common-mode choke " + wd.partNumber + ", " + counts[windings - 2] +
       " windings on one ferrite toroid\n";
  t += inputsLine;
  t += "* Per winding: L = " + wd.inductanceText + " H, DC resistance = " + wd.resistanceText +
       " ohm, differential inductance per line = " + wd.leakageText + " H\n";
  const CoreNetwork& net = NetworkOf(p.ferrite);
  const double coupled = net.windingRatio * p.magnetizing;
  // The network stands for mu / mu'(lowest f); a user's file is divided by the catalogue's mu_i.
  const double lm = p.magnetizing * p.ferrite->LowFrequency() / p.muReference;
  t += "* Ferrite: " + (p.ferrite->maker.empty() ? "" : p.ferrite->maker + " ") + p.ferrite->name +
       (p.muReference == p.permeability ? ", the given permeability over the initial permeability "
                                        : ", measured permeability scaled to initial permeability ") +
       figure(p.permeability) + ", at 25 C;\n";
  t += "* winding self-capacitance " + figure(p.capacitance) + " F estimated for a single layer;\n";
  t += "* between two windings at each end (CI at the inputs, CO at the outputs) " + figure(p.interwinding) +
       " F through the core.\n";
  t += "* Each winding: DC resistance, the copper's skin and proximity sections (RW || LW, Dowell's\n";
  t += "* one layer), the differential inductance LS (air and ferrite parts) beside RF, the ferrite\n";
  t += "* part's loss as a relaxation at " + figure(p.leakageCorner) + " Hz, and a winding of " +
       figure(net.windingRatio) + " x Lm\n";
  t += "* fully coupled to LC, which carries the core: parallel R-L-C tanks in series, the material's\n";
  t += "* model itself (worst deviation from the drawn points " +
       figure(std::round(net.worstDeviation * 1000) / 10) + " %).\n";
  if (!p.section.terms.empty()) {
    t += "* Core section " + figure(p.section.width) + " m x " + figure(p.section.height) +
         " m, resistivity " + figure(p.section.resistivity) + " ohm m, permittivity " +
         figure(p.section.permittivity) + ": the core's size as " + std::to_string(p.section.terms.size()) +
         " terms, each\n* a copy of the tanks scaled by its share, shunted by RS (conduction) and CS "
         "(displacement current).\n";
  }
  std::vector<std::string> ids;
  for (int k = 1; k <= windings; ++k) ids.push_back(std::to_string(k));
  if (windings == 2) {
    t += "* Pins: in1 out1 in2 out2 (winding 1 in1-out1, winding 2 in2-out2, dots at in1 and in2)\n";
  } else {
    t += "* Pins: in1 out1 ... in" + ids.back() + " out" + ids.back() +
         " (winding k ink-outk, every dot at its in pin)\n";
  }
  t += ".SUBCKT " + model.name;
  for (const std::string& n : ids) t.append(" in").append(n).append(" out").append(n);
  t += "\n";
  auto element = [&t, &figure](const std::string& name, const std::string& a, const std::string& b,
                               double value) {
    t += name;
    t += ' ';
    t += a;
    t += ' ';
    t += b;
    t += ' ';
    t += figure(value);
    t += '\n';
  };
  for (const std::string& n : ids) {
    // The copper: DC resistance, then the layer's skin and proximity sections.
    const std::size_t sections = p.copper.sections.size();
    element("R" + n, "in" + n, sections ? "w" + n + "_0" : "a" + n, p.resistance);
    for (std::size_t k = 0; k < sections; ++k) {
      const std::string a = "w" + n + "_" + std::to_string(k), id = n + "_" + std::to_string(k + 1);
      const std::string b = k + 1 == sections ? "a" + n : "w" + n + "_" + std::to_string(k + 1);
      element("RW" + id, a, b, p.copper.sections[k].r);
      element("LW" + id, a, b, p.copper.sections[k].l);
    }
    // The leakage's air and ferrite inductances in parallel as one (a loop of two inductors has
    // no DC solution in a simulator), the ferrite part's loss beside them.
    element("LS" + n, "a" + n, "b" + n,
            p.leakageFerrite > 0 ? 1 / (1 / p.leakageAir + 1 / p.leakageFerrite) : p.leakageAir);
    if (p.leakageFerrite > 0 && p.leakageCorner > 0)
      element("RF" + n, "a" + n, "b" + n, 2 * std::numbers::pi * p.leakageCorner * p.leakageFerrite);
    element("L" + n, "b" + n, "out" + n, coupled);
    element("C" + n, "in" + n, "out" + n, p.capacitance);
  }
  // Between every two windings at each end, their capacitance through the core.
  if (p.interwinding > 0) {
    for (std::size_t i = 0; i < ids.size(); ++i) {
      for (std::size_t j = i + 1; j < ids.size(); ++j) {
        element("CI" + ids[i] + ids[j], "in" + ids[i], "in" + ids[j], p.interwinding);
        element("CO" + ids[i] + ids[j], "out" + ids[i], "out" + ids[j], p.interwinding);
      }
    }
  }
  // One end of the core's loop on in1 gives it a DC reference without a path for current.
  element("LC", "c0", "in1", coupled);
  // The size factor F = sum of a lambda / (lambda - k^2) (core_size.h), k^2 = -Zmu (mu0 mu_i /
  // Lm) (sigma + j w eps0 eps'), makes each of its terms a copy of the tanks scaled by a, shunted
  // by R = a lambda rho Lm / (mu0 mu_i), the ring's conduction current, and C = mu0 mu_i eps0
  // eps' / (a lambda Lm), its displacement current. No section: one copy, unshunted.
  const double lmu = Constant(Physics::VacuumPermeability) * p.permeability / p.magnetizing;  // 1/m
  const std::vector<SizeTerm> terms =
      p.section.terms.empty() ? std::vector<SizeTerm>{{1, 0}} : p.section.terms;
  int node = 0;
  auto at = [&](int k) { return k == 0 ? std::string("c0") : "c" + std::to_string(k); };
  for (std::size_t s = 0; s < terms.size(); ++s) {
    const SizeTerm& term = terms[s];
    const std::string start = at(node), group = terms.size() > 1 ? std::to_string(s + 1) + "_" : "";
    for (std::size_t k = 0; k < net.tanks.size(); ++k) {
      const Tank& tank = net.tanks[k];
      const std::string a = at(node++), id = group + std::to_string(k + 1);
      const std::string b = s + 1 == terms.size() && k + 1 == net.tanks.size() ? "in1" : at(node);
      element("LT" + id, a, b, term.weight * tank.l * lm);
      if (tank.r > 0) element("RT" + id, a, b, term.weight * tank.r * lm);
      if (tank.c > 0) element("CT" + id, a, b, tank.c / lm / term.weight);
    }
    if (term.lambda > 0) {
      const std::string end = s + 1 == terms.size() ? "in1" : at(node), n = std::to_string(s + 1);
      if (p.section.resistivity > 0)
        element("RS" + n, start, end, term.weight * term.lambda * p.section.resistivity / lmu);
      element(
          "CS" + n, start, end,
          lmu * Constant(Physics::VacuumPermittivity) * p.section.permittivity / (term.lambda * term.weight));
    }
  }
  // Every winding fully coupled to every other, then each to the core's loop.
  std::vector<std::pair<std::string, std::string>> pairs;
  for (std::size_t i = 0; i < ids.size(); ++i) {
    for (std::size_t j = i + 1; j < ids.size(); ++j) pairs.emplace_back("L" + ids[i], "L" + ids[j]);
  }
  for (const std::string& n : ids) pairs.emplace_back("L" + n, "LC");
  for (std::size_t k = 0; k < pairs.size(); ++k)
    t += "K" + std::to_string(k + 1) + " " + pairs[k].first + " " + pairs[k].second + " 1\n";
  t += ".ENDS " + model.name + "\n";
  return model;
}

}  // namespace vtq::analysis
