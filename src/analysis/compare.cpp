#include "analysis/compare.h"

#include <algorithm>
#include <numbers>

#include "analysis/physics.h"
#include "analysis/silent_dialogs.h"
#include "engine/catalogue.h"

namespace vtq::analysis {

// clang-format off
const std::array<CompareColumn, 14> kCompareColumns{{
    {"part",            "Part Number",     "",      &CoreEvaluation::partNumber},
    {"od",              "OD",              "in|mm", &CoreEvaluation::od},
    {"turns",           "Turns",           "",      &CoreEvaluation::turns},
    {"awg",             "AWG",             "",      &CoreEvaluation::awg},
    {"wire_diameter",   "Wire Dia.",       "in|mm", &CoreEvaluation::wireDiameter},
    {"wire_area",       "Wire (mm2)",      "mm2",   &CoreEvaluation::wireArea},
    {"inductance",      "Inductance",      "mH",    &CoreEvaluation::inductance},
    {"dc_resistance",   "DC Resistance",   "ohm",   &CoreEvaluation::dcResistance},
    {"cutoff",          "Cutoff Reached",  "Hz",    &CoreEvaluation::cutoff},
    {"trise",           "Trise (C)",       "C",     &CoreEvaluation::tempRise},
    {"diff_inductance", "Diff. L (uH)",    "uH",    &CoreEvaluation::diffInductance},
    {"wound_od",        "Wound OD",        "in|mm", &CoreEvaluation::woundOD},
    {"wound_height",    "Wound HT",        "in|mm", &CoreEvaluation::woundHeight},
    {"header",          "Header",          "",      &CoreEvaluation::header},
}};
// clang-format on

std::string_view ColumnUnit(const CompareColumn& column, bool english) {
  if (column.unit == "in|mm") return english ? "in" : "mm";
  return column.unit;
}

WireFigures WireOf(const DesignState& s, bool english) {
  // WireDiameter is inches whatever the display unit: the insulated wire the fit rule uses.
  const auto d = static_cast<double>(s.WireDiameter);
  const double shown = english ? d : d * 25.4;
  // The copper of the gauge, not of the insulated diameter (10 % to 26 % more), with the
  // true pi: the figure a wire table gives. A gauge below 0 is drawn as gauge 0.
  const double bare = CopperDiameter(std::max(static_cast<int>(s.WireGauge), 0)) * 1e3;  // mm
  const double area = bare * bare * std::numbers::pi / 4;
  return {{num::FormatDouble(shown, english ? "0.0000 in." : "0.000 mm"), shown},
          {num::FormatDouble(area, "0.000"), area}};
}

namespace {

double Number(std::string_view text) {
  return num::ParseStrict(text).value_or(0);
}

// The row of a window that has evaluated the core of catalogue entry `row`.
CoreEvaluation RowOf(const DesignWindow& w, int row, bool madeThinner) {
  const DesignState& s = w.state;
  const OutputBoxes& o = w.outputs;
  const bool english = w.inputs.English;
  const double unit = english ? 1.0 : 25.4;
  const bool micro = s.InductanceUnit == " uH";

  CoreEvaluation e;
  e.row = row;
  e.madeThinner = madeThinner;
  e.partNumber = {o.txtPN, static_cast<double>(row)};
  e.od = {o.OD, CoreAt(row).OD * unit};
  e.turns = {o.Turns, Number(o.Turns)};
  e.awg = {num::IntegerText(s.WireGauge) + (e.madeThinner ? std::string(kThinnerMark) : ""),
           static_cast<double>(s.WireGauge)};
  const WireFigures wire = WireOf(s, english);
  e.wireDiameter = wire.diameter;
  e.wireArea = wire.area;
  e.inductance = {o.Inductance + s.InductanceUnit,
                  static_cast<double>(s.InductanceValue) * (micro ? 1e-3 : 1.0)};  // sorts in mH
  e.dcResistance = {o.DCres, static_cast<double>(s.DCResistance)};
  e.cutoff = {o.FrequencyOutput, Number(s.FrequencyText)};
  e.tempRise = {o.txtTrise, static_cast<double>(s.TempRise)};
  e.diffInductance = {o.txtDiffL, static_cast<double>(s.DiffInductance)};
  e.woundOD = {o.txtWoundOD, static_cast<double>(s.WoundOD)};
  e.woundHeight = {o.txtWoundHt, static_cast<double>(s.WoundHeight)};
  // Headers sort by size, HB-01 first; "None Available" after all of them.
  constexpr std::string_view kHeaderPrefix = "HB-";
  e.header = {o.txtHeader, o.txtHeader.starts_with(kHeaderPrefix)
                               ? Number(std::string_view(o.txtHeader).substr(kHeaderPrefix.size()))
                               : 99};
  return e;
}

CoreEvaluation Evaluate(const DesignWindow& window, int row) {
  // A list pick on a copy: ListCore takes the row and EvaluateCore runs on it.
  DesignWindow w = window;
  SilentDialogs dialogs;
  w.state.ListCore = static_cast<Integer>(row);
  EvaluateCore(w.state.ListCore, w, dialogs);
  // The wire-fit message is the only box an evaluation can show.
  return RowOf(w, row, !dialogs.titles.empty());
}

}  // namespace

Comparison CompareCores(const DesignWindow& window) {
  Comparison c;
  c.english = window.inputs.English;
  if (window.inputs.Material < 1 || window.inputs.Material > kMaterialCount) {
    c.problem = "No material is selected.";
    return c;
  }
  c.materialLetter = std::string(1, Materials[static_cast<std::size_t>(window.inputs.Material)].Letter);
  if (auto problem = InputProblem(window.inputs)) {
    c.problem = *problem;
    return c;
  }
  DesignWindow automatic = window;
  SilentDialogs dialogs;
  CalculateDesign(automatic, dialogs);
  c.automaticPart = automatic.outputs.txtPN;
  const bool single = automatic.state.StackCount == 1 && automatic.outcome != DesignOutcome::TooLarge;

  for (int row : OfferedRows(window.inputs.Material)) {
    if (single && row == automatic.state.CoreRow) {
      // The automatic design's own figures, as Calculate shows them, not a list pick's.
      c.rows.push_back(RowOf(automatic, row, false));
      c.rows.back().automatic = true;
      c.automaticRow = row;
    } else {
      c.rows.push_back(Evaluate(window, row));
    }
  }
  return c;
}

}  // namespace vtq::analysis
