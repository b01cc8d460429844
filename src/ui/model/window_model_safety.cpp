// The safety view: the entries read as values, the insulation tables and the ring's gaps,
// the Y-capacitor budget, and the words the faces show.
#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

#include "analysis/impedance.h"
#include "analysis/winding.h"
#include "engine/numbers.h"
#include "safety/insulation.h"
#include "safety/touch_current.h"
#include "ui/model/analysis_views.h"
#include "ui/model/safety_view.h"
#include "ui/model/window_model.h"

namespace vtq {
namespace {

constexpr double kDegrees = 180 / std::numbers::pi;

// A thickness typed with its unit: "1 mm", "0.04in", "1e-3 m"; a bare number is refused, as
// millimetres and inches are both in common use.
std::optional<double> ParseThickness(std::string_view text) {
  static constexpr std::array<std::pair<std::string_view, double>, 3> kUnits = {
      {{"mm", 1e-3}, {"in", 0.0254}, {"m", 1}}};
  for (const auto& [unit, metres] : kUnits) {
    if (text.size() <= unit.size() || !text.ends_with(unit)) continue;
    std::string number(text.substr(0, text.size() - unit.size()));
    while (!number.empty() && number.back() == ' ') number.pop_back();
    const std::optional<double> value = num::ParseStrict(number);
    return value ? std::optional(*value * metres) : std::nullopt;
  }
  return std::nullopt;
}

template <typename Enum, std::size_t N>
std::optional<Enum> Word(std::string_view text,
                         const std::array<std::pair<std::string_view, Enum>, N>& words) {
  for (const auto& [word, value] : words) {
    if (text == word) return value;
  }
  return std::nullopt;
}

constexpr std::array<std::pair<std::string_view, safety::OvervoltageCategory>, 4> kCategories = {
    {{"I", safety::OvervoltageCategory::I},
     {"II", safety::OvervoltageCategory::II},
     {"III", safety::OvervoltageCategory::III},
     {"IV", safety::OvervoltageCategory::IV}}};
constexpr std::array<std::pair<std::string_view, safety::MaterialGroup>, 4> kGroups = {
    {{"I", safety::MaterialGroup::I},
     {"II", safety::MaterialGroup::II},
     {"IIIa", safety::MaterialGroup::IIIa},
     {"IIIb", safety::MaterialGroup::IIIb}}};

std::string Millimetres(double metres) {
  return num::FormatDouble(metres * 1e3, "0.00") + " mm";
}

// Reads the entries the insulation needs; the first refused is said in `problem`.
struct ReadEntry {
  safety::InsulationInputs in;
  std::optional<double> divider;
  std::string problem;
};
ReadEntry Read(const SafetyEntry& e) {
  ReadEntry r;
  const std::optional<double> volts = ParseQuantity(e.mainsVoltage, "V");
  if (!volts || !(*volts > 0) || !std::isfinite(*volts)) {
    r.problem = "Mains voltage: '" + e.mainsVoltage + "' is not a voltage above 0 V (line to neutral, rms).";
    return r;
  }
  r.in.lineToNeutral = *volts;
  const auto category = Word(e.category, kCategories);
  const auto group = Word(e.group, kGroups);
  const std::optional<double> pollution = num::ParseStrict(e.pollution);
  if (!category) {
    r.problem = "Overvoltage category: '" + e.category + "' is not one of I, II, III, IV.";
  } else if (!pollution || (*pollution != 1 && *pollution != 2 && *pollution != 3 && *pollution != 4)) {
    r.problem = "Pollution degree: '" + e.pollution + "' is not one of 1, 2, 3, 4.";
  } else if (!group) {
    r.problem = "Material group: '" + e.group + "' is not one of I, II, IIIa, IIIb.";
  } else if (e.windings < 2 || e.windings > 4) {
    r.problem = "Windings: " + std::to_string(e.windings) + " is not 2, 3 or 4.";
  }
  if (!r.problem.empty()) return r;
  r.in.category = *category;
  r.in.pollutionDegree = static_cast<int>(*pollution);
  r.in.group = *group;
  r.in.windings = e.windings;
  if (!e.divider.empty()) {
    r.divider = ParseThickness(e.divider);
    if (!r.divider || !(*r.divider > 0)) {
      r.problem =
          "Divider: '" + e.divider + "' is not a thickness above 0 with its unit, as in 1 mm or 0.04 in.";
    }
  }
  return r;
}

void Describe(SafetyView& v, const SafetyEntry& e) {
  auto& l = v.lines;
  l.emplace_back(
      "Insulation between windings: basic (the windings are on different mains lines), "
      "IEC 60664-1:2020; enamel is not counted.");
  l.push_back("Mains " + num::Printed(v.lineToNeutral, 6) + " V line to neutral" +
              (e.windings > 2 ? ", " + num::Printed(v.lineToLine, 6) + " V line to line" : std::string()) +
              "; overvoltage category " + e.category + ", pollution degree " + e.pollution +
              ", material group " + e.group + ".");
  l.push_back("Rated impulse voltage " + num::Printed(v.impulseVoltage, 6) +
              " V (Table F.1); clearance for an inhomogeneous field (Table F.2); creepage (Table F.5), "
              "never less than the clearance.");
  for (const SafetyGap& g : v.gaps) {
    l.push_back("  " + g.between + ": " + num::Printed(g.workingVoltage, 6) + " V rms, clearance " +
                Millimetres(g.clearance) + ", creepage " +
                (g.creepage ? Millimetres(*g.creepage) : std::string("not given at pollution degree 4")) +
                ".");
  }
  if (!v.note.empty()) l.push_back(v.note);
  if (!v.ringProblem.empty()) {
    l.push_back("On the ring: " + v.ringProblem);
  } else {
    l.push_back("On the ring: bore " + Millimetres(v.bore) + ", wire " + Millimetres(v.wire) + " insulated" +
                (v.divider > 0 ? ", divider " + Millimetres(v.divider) + " thick" : std::string()) +
                "; turns closest at the bore.");
    for (const SafetyGap& g : v.gaps) {
      l.push_back(
          "  " + g.between + ": " + num::FormatDouble(*g.centreAngle, "0.0") +
          " deg between the nearest turns, " + num::FormatDouble(*g.gapAngle, "0.0") +
          " deg taken from the sectors; clearance " +
          (g.achievedClearance ? Millimetres(*g.achievedClearance) : std::string("round the divider")) +
          ", creepage " + Millimetres(*g.achievedCreepage) + "; " + g.binding + " binds.");
    }
  }
}

}  // namespace

std::vector<TouchCurrentRow> TouchCurrentTable() {
  std::vector<TouchCurrentRow> rows;
  for (const safety::TouchCurrentCase& c : safety::TouchCurrentCases()) {
    rows.push_back({std::string(c.key), std::string(c.name), std::string(c.source), c.limit});
  }
  return rows;
}

std::optional<YBudgetView> YBudgetViewOf(const SafetyEntry& e, double cy, std::string& problem) {
  if (!e.Budget()) return std::nullopt;
  YBudgetView b;
  if (!e.equipment.empty()) {
    const safety::TouchCurrentCase* c = safety::TouchCurrentCaseOf(e.equipment);
    if (!c) {
      problem = "Equipment: '" + e.equipment + "' is not a tabulated case (vtq-cli safety --list-equipment).";
      return std::nullopt;
    }
    b.caseName = std::string(c->name);
    b.source = std::string(c->source);
    b.limit = c->limit;
  }
  if (!e.touchCurrent.empty()) {
    const std::optional<double> limit = ParseQuantity(e.touchCurrent, "A");
    if (!limit || !(*limit > 0) || !std::isfinite(*limit)) {
      problem = "Touch current: '" + e.touchCurrent + "' is not a current above 0 A, as in 0.25m.";
      return std::nullopt;
    }
    // A limit typed over a tabulated case is the user's own.
    b.caseName = b.caseName.empty() ? "limit typed" : b.caseName + ", limit typed";
    b.source.clear();
    b.limit = *limit;
  }
  const std::optional<double> volts = ParseQuantity(e.mainsVoltage, "V");
  const std::optional<double> hertz = ParseQuantity(e.mainsFrequency, "Hz");
  if (!volts || !hertz || !(*volts > 0 && *hertz > 0 && std::isfinite(*volts) && std::isfinite(*hertz))) {
    problem =
        "The Y-capacitor budget needs the highest mains voltage line to neutral and the highest mains "
        "frequency, both above 0.";
    return std::nullopt;
  }
  const safety::YBudget y = safety::YBudgetOf(b.limit, *volts, *hertz, e.windings);
  if (!y.problem.empty()) {
    problem = y.problem;
    return std::nullopt;
  }
  b.maxTotal = y.maxTotal;
  b.maxPerLine = y.maxPerLine;
  b.worstCase = y.worstCase;
  b.typedPerLine = cy;
  b.summary = "Y budget: at most " + analysis::Engineering(b.maxPerLine, "F") + " a line, " +
              analysis::Engineering(b.maxTotal, "F") + " in all (" + analysis::Engineering(b.limit, "A") +
              ", " + b.caseName + (b.source.empty() ? "" : ", " + b.source) + ", at " + e.mainsVoltage +
              " V " + e.mainsFrequency + " Hz; worst case " + b.worstCase + ").";
  if (cy > b.maxPerLine) {
    b.warning = "The Y capacitors (" + analysis::Engineering(cy, "F") + " a line) exceed the " +
                analysis::Engineering(b.maxPerLine, "F") + " a line that " +
                analysis::Engineering(b.limit, "A") + " allows at " + e.mainsVoltage + " V, " +
                e.mainsFrequency + " Hz.";
  }
  return b;
}

SafetyView SafetyViewOf(const DesignWindow& window, const SafetyEntry& e, std::optional<double> cy) {
  const analysis::WindingResult designed = analysis::DesignedWinding(window);
  return SafetyViewOfBore(designed.winding.coreID, designed.winding.coreOD,
                          designed.winding.insulatedDiameter, designed.problem, e, cy);
}

SafetyView SafetyViewOfBore(double inner, double outer, double wire, const std::string& ringProblem,
                            const SafetyEntry& e, std::optional<double> cy) {
  SafetyView v;
  const ReadEntry r = Read(e);
  if (!r.problem.empty()) {
    v.inputProblem = r.problem;
    return v;
  }
  v.budget = YBudgetViewOf(e, cy.value_or(-1), v.inputProblem);
  if (!v.inputProblem.empty()) return v;
  v.lineToNeutral = r.in.lineToNeutral;
  v.lineToLine = e.windings == 2 ? r.in.lineToNeutral : safety::LineToLine(r.in.lineToNeutral);
  const safety::InsulationRequirement need = safety::RequiredInsulation(r.in);
  if (!need.problem.empty()) {
    v.problem = need.problem;
    return v;
  }
  v.impulseVoltage = need.impulseVoltage;
  v.note = need.note;
  v.divider = r.divider.value_or(0);
  v.ringProblem = ringProblem;
  const safety::RingBore bore{inner, outer, wire};
  v.bore = bore.inner;
  v.wire = bore.wire;
  for (const safety::GapRequirement& g : need.gaps) {
    SafetyGap gap{g.between, g.workingVoltage, g.clearance, g.creepage, {}, {}, {}, {}, {}};
    if (v.ringProblem.empty()) {
      const safety::SectorGap s = safety::GapBetween(bore, g, r.divider);
      if (s.problem.empty()) {
        gap.centreAngle = s.centreAngle * kDegrees;
        gap.gapAngle = s.gapAngle * kDegrees;
        gap.achievedClearance = s.clearance;
        gap.achievedCreepage = s.creepage;
        gap.binding = std::string(safety::BindingName(s.binds));
      } else {
        v.ringProblem = s.problem;
      }
    }
    v.gaps.push_back(std::move(gap));
  }
  Describe(v, e);
  if (v.budget) {
    const YBudgetView& b = *v.budget;
    v.lines.push_back(b.summary);
    if (!b.warning.empty()) v.lines.push_back(b.warning);
  }
  return v;
}

void WindowModel::Safety_Change(const SafetyEntry& entry) {
  safetyEntry = entry;
  safety = SafetyViewOf(window, safetyEntry);
  // A picked ring is wound again with the windings and gaps asked for, and the emission
  // view's budget follows the limit.
  FollowDesign();
}

void WindowModel::mnuSafety_Click() {
  safetyOpened_ = true;
  ShowSafetyView(true);
}

RingEntry WindowModel::PickedRing() const {
  RingEntry e = *ringPicked_;
  e.windings = safetyEntry.windings;
  e.safety.reset();
  if (!safetyEntry.mainsVoltage.empty()) e.safety = safetyEntry;
  return e;
}

void WindowModel::ShowSafetyView(bool raise) {
  SafetyWindowView& w = safetyView;
  w = {};
  if (ringPicked_) {
    const RingEntry e = PickedRing();
    w.of = "The ring " + (e.part.empty() ? "of size " + e.toroid : e.part) + " picked from the library";
    if (!safetyEntry.mainsVoltage.empty()) {
      const RingView ring = DesignOnRing(e);
      w.view = ring.insulation
                   ? *ring.insulation
                   : SafetyViewOfBore(ring.id, ring.od, 0, ring.problem.empty() ? "no winding" : ring.problem,
                                      safetyEntry);
      if (ring.insulation && ring.status != 0) w.view.ringProblem = ring.problem;
    }
  } else {
    w.of = "The design window's core " + window.outputs.txtPN;
    if (!safetyEntry.mainsVoltage.empty()) w.view = SafetyViewOf(window, safetyEntry);
  }
  if (safetyEntry.mainsVoltage.empty()) {
    w.problem =
        "Type the highest mains voltage, line to neutral (rms): the insulation between the windings is "
        "then worked out.";
  } else {
    w.problem = w.view.inputProblem.empty() ? w.view.problem : w.view.inputProblem;
  }
  w.headings = {"Between",       "Working (V rms)",         "Clearance (mm)",
                "Creepage (mm)", "Achieved clearance (mm)", "Achieved creepage (mm)",
                "Binds"};
  auto mm = [](std::optional<double> metres, const char* none) {
    return metres ? num::FormatDouble(*metres * 1e3, "0.00") : std::string(none);
  };
  for (const SafetyGap& g : w.view.gaps) {
    w.gaps.push_back({g.between, num::Printed(g.workingVoltage, 6), mm(g.clearance, ""),
                      mm(g.creepage, "not given"),
                      mm(g.achievedClearance, g.centreAngle ? "round the divider" : ""),
                      mm(g.achievedCreepage, ""), g.binding});
  }
  w.equipment = TouchCurrentTable();
  host_.ShowSafety(w, raise);
}

void WindowModel::SafetySave_Click() {
  const bool worked = safetyView.problem.empty() && !safetyView.view.gaps.empty();
  ExportFile(
      {FileDialogPurpose::ExportSafety, kSafetyTitle, "There are no distances to save.",
       "Insulation distances", ShownPart()},
      worked ? std::string() : (safetyView.problem.empty() ? "No gap is worked out." : safetyView.problem),
      ShownPart() + "-insulation.csv", SafetyCsvOf(safetyView.view));
}

SafetyEntry WindowModel::SafetyOfLines(int lines) const {
  SafetyEntry s = safetyEntry;
  s.windings = lines;
  return s;
}

EmissionsEntry WindowModel::BudgetedEntry(std::string& problem, int lines) const {
  EmissionsEntry e = emissionsEntry;
  std::string word = e.cy;
  std::erase(word, ' ');
  std::transform(word.begin(), word.end(), word.begin(), [](unsigned char c) { return std::tolower(c); });
  if (word != "max") return e;
  std::string why;
  const std::optional<YBudgetView> budget = YBudgetViewOf(SafetyOfLines(lines), -1, why);
  if (!budget) {
    problem = why.empty()
                  ? "Y capacitor: 'max' takes the largest Y capacitance the touch-current limit allows: "
                    "give the limit (a tabulated equipment case or a current) and the mains."
                  : why;
    return e;
  }
  // One part in 1e14 under the budget: the box's 15 digits then never round it over.
  e.cy = num::DoubleText(budget->maxPerLine * (1 - 1e-14));
  return e;
}

EmissionsView WindowModel::CheckedEmissions(const DesignWindow& design) const {
  return CheckedEmissions([&](const EmissionsEntry& e) { return EmissionsViewOf(design, e, measuredChoke); },
                          safetyEntry.windings);
}

EmissionsView WindowModel::CheckedEmissions(const std::function<EmissionsView(const EmissionsEntry&)>& check,
                                            int lines) const {
  std::string problem;
  const EmissionsEntry entry = BudgetedEntry(problem, lines);
  EmissionsView v = check(entry);
  if (!problem.empty()) {
    v.inputProblem = problem;
    return v;
  }
  if (!v.inputProblem.empty() || !safetyEntry.Budget()) return v;
  v.yBudget = YBudgetViewOf(SafetyOfLines(lines), v.inputs.filter.cy, problem);
  // A safety entry the budget cannot read is refused as the view's own entries are.
  if (!problem.empty()) v.inputProblem = problem;
  return v;
}

std::string SafetyCsvOf(const SafetyView& v) {
  std::string csv =
      "between,working_voltage_v,required_clearance_m,required_creepage_m,achieved_clearance_m,"
      "achieved_creepage_m,binding,centre_angle_deg,gap_angle_deg\n";
  auto number = [&](std::optional<double> x) { csv += ',' + (x ? num::DoubleText(*x) : std::string()); };
  for (const SafetyGap& g : v.gaps) {
    csv += g.between;
    number(g.workingVoltage);
    number(g.clearance);
    number(g.creepage);
    number(g.achievedClearance);
    number(g.achievedCreepage);
    csv += ',' + g.binding;
    number(g.centreAngle);
    number(g.gapAngle);
    csv += '\n';
  }
  return csv;
}

}  // namespace vtq
