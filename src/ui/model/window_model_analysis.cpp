// The analysis commands: View > Core Table (every core side by side), View > Impedance
// Plot with its Save Plot... button, and File > Export SPICE Model.... The views hold every
// text and number their windows show; the host only lays them out and draws them.
#include <algorithm>
#include <cctype>
#include <cmath>

#include "analysis/compare.h"
#include "analysis/emissions.h"
#include "analysis/spice.h"
#include "engine/numbers.h"
#include "files/file_io.h"
#include "ui/model/plot_layout.h"
#include "ui/model/window_model.h"

namespace vtq {
namespace {

constexpr std::string_view kOhm = "\u03a9";

std::string SuffixOf(const std::string& path) {
  const std::size_t dot = path.find_last_of("./");
  std::string suffix = dot == std::string::npos || path[dot] == '/' ? "" : path.substr(dot + 1);
  for (char& c : suffix) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return suffix;
}

}  // namespace

// The insertion loss by IL = 20 log10 |(Z_s + Z_l + Z) / (Z_s + Z_l)| over 150 kHz to
// 30 MHz, 100 points a decade: where the impedance plot says how much the choke has, this
// says how much it takes off between given terminations.
Plot InsertionLossPlot(const analysis::ChokeParameters& choke) {
  Plot p;
  p.title = "Insertion loss: common mode (blue), differential mode (green); 50/50 \u03a9 bold, network thin";
  struct Part {
    Trace trace;
    std::string_view name;
    double analysis::InsertionLosses::*loss;
  };
  static constexpr Part kParts[] = {
      {Trace::LossCommonNetwork, "CM 25 \u03a9", &analysis::InsertionLosses::commonModeNetwork},
      {Trace::LossDifferentialNetwork, "DM 100 \u03a9", &analysis::InsertionLosses::differentialNetwork},
      {Trace::LossCommon50, "CM 50 \u03a9", &analysis::InsertionLosses::commonMode50},
      {Trace::LossDifferential50, "DM 50 \u03a9", &analysis::InsertionLosses::differential50},
  };
  const double decades = std::log10(analysis::kBandTo / analysis::kBandFrom);
  const int steps = static_cast<int>(std::ceil(decades * 100));
  std::vector<analysis::InsertionLosses> losses;
  double high = 0;
  for (int i = 0; i <= steps; ++i) {
    const double f = analysis::kBandFrom * std::pow(10.0, decades * i / steps);
    p.frequencies.push_back(f);
    losses.push_back(analysis::ChokeInsertionLoss(choke, f));
    for (const Part& part : kParts) high = std::max(high, losses.back().*part.loss);
  }
  p.x = AxisOver(analysis::kBandFrom, analysis::kBandTo, 1, "Hz");
  const int top = std::max(10, static_cast<int>(std::ceil(high / 10)) * 10);
  p.y = LinearAxis(0, top, top > 60 ? 20 : 10, "dB");
  if (top % p.y.step != 0) p.y = LinearAxis(0, (top / p.y.step + 1) * p.y.step, p.y.step, "dB");
  for (const Part& part : kParts) {
    PlotTrace t{part.trace, std::string(part.name), {}, {}};
    for (const analysis::InsertionLosses& l : losses) t.values.push_back(l.*part.loss);
    t.line = Clipped(p.frequencies, t.values, p.x, p.y);
    p.traces.push_back(std::move(t));
  }
  return p;
}

std::string_view TraceKey(Trace trace) {
  switch (trace) {  // no default: a new trace without a key does not compile
    case Trace::Ideal:
      return "Ideal";
    case Trace::CommonR:
      return "CommonR";
    case Trace::CommonX:
      return "CommonX";
    case Trace::DifferentialR:
      return "DifferentialR";
    case Trace::DifferentialX:
      return "DifferentialX";
    case Trace::CommonZ:
      return "CommonZ";
    case Trace::DifferentialZ:
      return "DifferentialZ";
    case Trace::LimitQuasiPeak:
      return "LimitQuasiPeak";
    case Trace::LimitAverage:
      return "LimitAverage";
    case Trace::CommonBare:
      return "CommonBare";
    case Trace::DifferentialBare:
      return "DifferentialBare";
    case Trace::CommonFiltered:
      return "CommonFiltered";
    case Trace::DifferentialFiltered:
      return "DifferentialFiltered";
    case Trace::LossCommon50:
      return "LossCommon50";
    case Trace::LossDifferential50:
      return "LossDifferential50";
    case Trace::LossCommonNetwork:
      return "LossCommonNetwork";
    case Trace::LossDifferentialNetwork:
      return "LossDifferentialNetwork";
    case Trace::MeasuredCommonZ:
      return "MeasuredCommonZ";
    case Trace::MeasuredDifferentialZ:
      return "MeasuredDifferentialZ";
    case Trace::RatioCommon:
      return "RatioCommon";
    case Trace::RatioDifferential:
      break;
  }
  return "RatioDifferential";
}

double PlotAxis::At(double value) const {
  return ((linear ? value : std::log10(value)) - from) / (to - from);
}

// The polyline of a trace: its points on the axes, cut into pieces where a value has no
// place on the axis, each segment clipped to the unit square (Liang and Barsky), so that
// every face, a saved SVG too, draws exactly the part inside the area.
PlotPolyline Clipped(const std::vector<double>& frequencies, const std::vector<double>& values,
                     const PlotAxis& x, const PlotAxis& y) {
  PlotPolyline pieces;
  bool open = false;  // the last piece ends where the next segment starts
  auto add = [&](PlotPoint a, PlotPoint b) {
    double t0 = 0, t1 = 1;
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double p[] = {-dx, dx, -dy, dy}, q[] = {a.x, 1 - a.x, a.y, 1 - a.y};
    for (int i = 0; i < 4; ++i) {
      if (p[i] == 0) {
        if (q[i] < 0) return false;  // parallel to that edge and outside it
        continue;
      }
      const double t = q[i] / p[i];
      if (p[i] < 0) t0 = std::max(t0, t);
      if (p[i] > 0) t1 = std::min(t1, t);
    }
    if (t0 > t1) return false;
    const PlotPoint from{a.x + t0 * dx, a.y + t0 * dy}, to{a.x + t1 * dx, a.y + t1 * dy};
    if (!open || t0 > 0) pieces.push_back({from});
    pieces.back().push_back(to);
    return t1 == 1;  // the next segment goes on from here unless this one left the area
  };
  PlotPoint last;
  bool hasLast = false;
  for (std::size_t i = 0; i < values.size() && i < frequencies.size(); ++i) {
    if (!std::isfinite(values[i]) || (!y.linear && !(values[i] > 0))) {
      hasLast = open = false;
      continue;
    }
    const PlotPoint at{x.At(frequencies[i]), y.At(values[i])};
    if (hasLast) open = add(last, at);
    last = at;
    hasLast = true;
  }
  return pieces;
}

PlotAxis AxisOver(double low, double high, int least, std::string_view unit) {
  PlotAxis axis;
  if (!(low > 0) || !(high < INFINITY)) low = high = 1;  // no curve to follow: one decade at 1
  // The nudge keeps a value a rounding step off a power of ten from adding a decade.
  axis.to = static_cast<int>(std::ceil(std::log10(high) - 1e-9));
  axis.from = std::min(static_cast<int>(std::floor(std::log10(low) + 1e-9)), axis.to - least);
  for (int d = axis.from; d <= axis.to; ++d) {
    axis.labels.push_back(analysis::Engineering(std::pow(10.0, d), unit));
    axis.ticks.push_back(static_cast<double>(d - axis.from) / (axis.to - axis.from));
  }
  return axis;
}

PlotAxis LinearAxis(int from, int to, int step, std::string_view unit) {
  PlotAxis axis;
  axis.linear = true;
  axis.step = step;
  axis.from = from;
  axis.to = std::max(to, from + step);
  for (int v = axis.from; v <= axis.to; v += step) {
    axis.labels.push_back(std::to_string(v) + " " + std::string(unit));
    axis.ticks.push_back(static_cast<double>(v - axis.from) / (axis.to - axis.from));
  }
  return axis;
}

analysis::WireFigures WireFiguresOf(const DesignWindow& window) {
  return analysis::WireOf(window.state, window.inputs.English);
}

CoreTableView CoreTableOf(const DesignWindow& window) {
  using analysis::kCompareColumns;
  const analysis::Comparison c = analysis::CompareCores(window);
  CoreTableView v;
  v.problem = c.problem;
  v.materialLetter = c.materialLetter;
  v.automaticPart = c.automaticPart;
  v.english = c.english;
  v.automaticRow = c.automaticRow;
  for (std::size_t i = 0; i < kCompareColumns.size(); ++i) {
    v.headings.emplace_back(kCompareColumns[i].heading);
    v.keys.emplace_back(kCompareColumns[i].key);
    v.units.emplace_back(analysis::ColumnUnit(kCompareColumns[i], c.english));
    // The part number and the header are names; every other column is a number.
    v.numeric.push_back(i != 0 && i + 1 != kCompareColumns.size());
  }
  if (!c.problem.empty()) {
    v.intro = "The cores cannot be compared until the inputs are valid.";
    v.note = c.problem;
    return v;
  }
  v.intro = "Every core offered in material " + c.materialLetter +
            ", evaluated with the current inputs as a pick from the core list would be. Click a heading "
            "to sort; double-click a core to apply it.";
  for (const auto& r : c.rows) {
    CoreTableRow row{r.row, r.automatic, r.madeThinner, r.partNumber.text, {}};
    for (const auto& column : kCompareColumns) {
      const analysis::Cell& cell = r.*column.cell;
      std::string tip = r.automatic ? "The automatic design's choice" : "";
      if (column.cell == &analysis::CoreEvaluation::awg && r.madeThinner) {
        tip = "Wire made thinner to fit the core's window";
      }
      row.cells.push_back({cell.text, cell.value, tip});
    }
    if (r.automatic) row.cells.front().text += "  (automatic)";
    v.rows.push_back(std::move(row));
  }
  v.note = c.automaticRow != 0
               ? "Bold: the automatic design's choice. " + std::string(analysis::kEvaluationNote) + "."
               : "The automatic design takes none of these cores: " + c.automaticPart + ".";
  v.note += "  " + std::string(analysis::kThinnerNote) + ".";
  return v;
}

// Measured |Z| over the model's, each mode, at the measured frequencies within the
// impedance plot's span, on a log axis of at least a decade either side of 1.
Plot RatioPlot(const MeasuredComparison& compared, const std::vector<double>& measuredAt, const PlotAxis& x) {
  Plot p;
  p.title = "Measured over model: common mode (blue), differential mode (green)";
  PlotTrace common{Trace::RatioCommon, "CM measured / model", {}, {}};
  PlotTrace differential{Trace::RatioDifferential, "DM measured / model", {}, {}};
  double low = 0.1, high = 10;
  std::size_t at = 0;
  for (const MeasuredRow& r : compared.rows) {
    if (at < measuredAt.size() && r.frequency == measuredAt[at]) {
      ++at;
      common.values.push_back(r.commonRatio.value_or(NAN));
      differential.values.push_back(r.differentialRatio.value_or(NAN));
      for (const auto& ratio : {r.commonRatio, r.differentialRatio}) {
        if (ratio && *ratio > 0 && std::isfinite(*ratio)) {
          low = std::min(low, *ratio);
          high = std::max(high, *ratio);
        }
      }
    }
  }
  p.x = x;
  p.frequencies = measuredAt;
  p.y = AxisOver(low, high, 2, "");
  for (std::size_t i = 0; i < p.y.labels.size(); ++i)
    p.y.labels[i] = num::Printed(std::pow(10.0, p.y.from + static_cast<int>(i)), 6);
  for (PlotTrace* t : {&common, &differential}) {
    if (std::none_of(t->values.begin(), t->values.end(), [](double r) { return std::isfinite(r); })) continue;
    t->line = Clipped(measuredAt, t->values, p.x, p.y);
    p.traces.push_back(std::move(*t));
  }
  if (p.traces.empty()) p.problem = "No measured point to compare with the model in the plot's span.";
  return p;
}

ImpedanceView ImpedanceViewOf(const DesignWindow& window, const ImpedanceEntry& entry,
                              const std::shared_ptr<const analysis::Ferrite>& material,
                              const std::shared_ptr<const MeasuredChoke>& measured) {
  return ImpedanceViewOfCurve(
      analysis::ChokeImpedance(window, entry.range, entry.bsat, entry.temperature, material),
      window.outputs.txtPN, entry, measured);
}

ImpedanceView ImpedanceViewOfCurve(analysis::ImpedanceCurve curve, const std::string& part,
                                   const ImpedanceEntry& entry,
                                   const std::shared_ptr<const MeasuredChoke>& measured) {
  ImpedanceView v;
  v.part = part;
  v.temperature = entry.temperature;
  v.constants = analysis::kPhysics;
  v.curve = std::move(curve);
  const analysis::ImpedanceCurve& c = v.curve;
  v.caption = analysis::Summary(c);
  if (!c.problem.empty()) {
    v.problem = c.problem;
    return v;
  }
  v.title = "Impedance of " + analysis::Engineering(c.parameters.inductance, "H") +
            ": common mode (CM, blue), differential mode per line (DM, green)";
  struct Part {
    Trace trace;
    std::string_view name;
    double (*value)(const analysis::ImpedanceSample&);
  };
  // X is given by its size: on log axes a capacitive (negative) reactance has no place otherwise.
  static constexpr Part kParts[] = {
      {Trace::Ideal, "ideal 2\u03c0fL", [](const analysis::ImpedanceSample& s) { return s.ideal; }},
      {Trace::CommonR, "CM R", [](const analysis::ImpedanceSample& s) { return s.commonMode.real(); }},
      {Trace::CommonX, "CM |X|",
       [](const analysis::ImpedanceSample& s) { return std::abs(s.commonMode.imag()); }},
      {Trace::DifferentialR, "DM R",
       [](const analysis::ImpedanceSample& s) { return s.differential.real(); }},
      {Trace::DifferentialX, "DM |X|",
       [](const analysis::ImpedanceSample& s) { return std::abs(s.differential.imag()); }},
      {Trace::CommonZ, "CM |Z|", [](const analysis::ImpedanceSample& s) { return std::abs(s.commonMode); }},
      {Trace::DifferentialZ, "DM |Z| per line",
       [](const analysis::ImpedanceSample& s) { return std::abs(s.differential); }},
  };
  for (const auto& s : c.points) v.frequencies.push_back(s.frequency);
  for (const Part& part : kParts) {
    PlotTrace t{part.trace, std::string(part.name), {}, {}};
    for (const auto& s : c.points) t.values.push_back(part.value(s));
    v.traces.push_back(std::move(t));
  }
  // The impedance axis holds both modes' |Z| and the requirement; the R and X parts and
  // the ideal line may leave it at the bottom or the top, where they matter least.
  double low = INFINITY, high = 0;
  for (const auto& s : c.points) {
    for (double z : {std::abs(s.commonMode), std::abs(s.differential)}) {
      low = std::min(low, z);
      high = std::max(high, z);
    }
  }
  // A measured choke: its |Z| at its own frequencies, within the plot's span.
  std::vector<double> measuredAt;  // Hz
  if (measured) {
    v.measuredChoke = measured;
    v.measured = CompareMeasured(c.parameters, *measured);
    v.caption += (v.caption.empty() ? "" : "\n") + v.measured.summary;
    PlotTrace common{Trace::MeasuredCommonZ, "measured common mode |Z|", {}, {}};
    PlotTrace differential{Trace::MeasuredDifferentialZ, "measured differential mode |Z|, per line", {}, {}};
    for (const MeasuredRow& r : v.measured.rows) {
      if (r.frequency < c.points.front().frequency || r.frequency > c.points.back().frequency) continue;
      measuredAt.push_back(r.frequency);
      common.values.push_back(r.commonMode.value_or(NAN));
      differential.values.push_back(r.differential.value_or(NAN));
      for (const auto& z : {r.commonMode, r.differential}) {
        if (z && *z > 0) {
          low = std::min(low, *z);
          high = std::max(high, *z);
        }
      }
    }
    for (PlotTrace* t : {&common, &differential}) {
      t->frequencies = measuredAt;
      if (std::any_of(t->values.begin(), t->values.end(), [](double z) { return std::isfinite(z); }))
        v.traces.push_back(std::move(*t));
    }
  }
  if (c.required) {
    low = std::min(low, c.required->magnitude);
    high = std::max(high, c.required->magnitude);
    v.required = c.required;
    v.requiredLabel = "required " + analysis::Engineering(c.required->magnitude, kOhm) + " at " +
                      analysis::Engineering(c.required->frequency, "Hz");
  }
  v.x = AxisOver(c.points.front().frequency, c.points.back().frequency, 1, "Hz");
  v.y = AxisOver(low, high, 2, kOhm);
  for (PlotTrace& t : v.traces)
    t.line = Clipped(t.frequencies.empty() ? v.frequencies : t.frequencies, t.values, v.x, v.y);
  if (v.required) v.requiredAt = PlotPoint{v.x.At(v.required->frequency), v.y.At(v.required->magnitude)};
  v.selfResonance = c.selfResonance;
  if (c.selfResonance > 0) v.selfResonanceAt = v.x.At(c.selfResonance);
  v.insertionLoss = InsertionLossPlot(c.parameters);
  if (measured) {
    v.ratio = RatioPlot(v.measured, measuredAt, v.x);
  } else {
    v.ratio.problem = "No measured choke to compare with.";
  }
  return v;
}

void WindowModel::ViewMnu_Click() {
  coreTableOpened_ = true;
  coreTable = CoreTableOf(window);
  host_.ShowCoreTable(coreTable, true);
}

void WindowModel::mnuImpedance_Click() {
  impedanceOpened_ = true;
  impedance = ShownImpedance();
  host_.ShowImpedance(impedance, true);
}

void WindowModel::ImpedanceTemperature_Change(double celsius) {
  ImpedanceEntry entry = impedanceEntry;
  entry.temperature = std::isfinite(celsius) ? std::clamp(celsius, -40.0, 150.0) : 25.0;
  Impedance_Change(entry);
}

void WindowModel::Impedance_Change(const ImpedanceEntry& entry) {
  impedanceEntry = entry;
  if (!impedanceOpened_) return;
  impedance = ShownImpedance();
  host_.ShowImpedance(impedance, false);
}

std::shared_ptr<const analysis::Ferrite> WindowModel::ImpedanceMaterial() const {
  return impedanceMaterialOf == window.state.MaterialIndex ? impedanceMaterial : nullptr;
}

void WindowModel::ImpedanceMaterial_Click() {
  FileStatus.clear();
  LastFileError.clear();
  LastFileUnreadable = false;
  MaterialWarning.clear();
  FileDialogSettings dialog;
  const std::optional<std::string> path = host_.ChooseFile(FileDialogPurpose::OpenMaterial, dialog);
  if (!path) return;
  const MaterialFile file = LoadMaterialFile(*path);
  if (!file.ferrite) {
    LastFileError = file.error;
    LastFileUnreadable = file.unreadable;
    host_.MsgBox("Could not use the material file " + file.error, kImpedanceTitle);
    return;
  }
  impedanceMaterial = file.ferrite;
  impedanceMaterialOf = window.state.MaterialIndex;
  MaterialWarning = file.warning;
  FileStatus = "The impedance plot takes the permeability of " + *path +
               (file.warning.empty() ? "" : ". Warning: " + file.warning);
  // The open plot follows; a closed one takes the material when it opens.
  if (!impedanceOpened_) return;
  impedance = ShownImpedance();
  host_.ShowImpedance(impedance, false);
}

void WindowModel::FollowDesign() {
  if (coreTableOpened_) {
    coreTable = CoreTableOf(window);
    host_.ShowCoreTable(coreTable, false);
  }
  if (impedanceOpened_) {
    impedance = ShownImpedance();
    host_.ShowImpedance(impedance, false);
  }
  if (emissionsOpened_) {
    emissions = ShownEmissions();
    host_.ShowEmissions(emissions, coreSearch, false);
  }
  if (libraryOpened_) ShowLibraryView(false);
  if (!safetyEntry.mainsVoltage.empty()) safety = SafetyViewOf(window, safetyEntry);
  if (safetyOpened_) ShowSafetyView(false);
}

void WindowModel::CompareTable_DblClick(int row) {
  // The same handler as a pick from the core list: the same message when the wire must
  // be made thinner, and the window shows the result.
  if (row >= 1) lstCores_Click(row - 1);
}

std::string ImpedanceCsvOf(const ImpedanceView& view) {
  return analysis::CurveCsv(view.curve);
}

void WindowModel::ImpedanceSave_Click() {
  // The picture as the window shows it: the impedance, the insertion loss under it, the caption.
  SavePlot({impedance.ratio.problem.empty()
                ? std::vector<const Plot*>{&impedance, &impedance.insertionLoss, &impedance.ratio}
                : std::vector<const Plot*>{&impedance, &impedance.insertionLoss},
            impedance.caption},
           "impedance", "Impedance plot", ShownPart(), ImpedanceCsvOf(impedance));
}

void WindowModel::SavePlot(const PlotPicture& picture, std::string_view name, std::string_view what,
                           std::string_view part, const std::string& csv) {
  FileStatus.clear();
  LastFileError.clear();
  LastFileUnreadable = false;
  const Plot& plot = *picture.panels.front();
  if (!plot.problem.empty() || plot.frequencies.empty()) return;
  FileDialogSettings dialog;
  dialog.DefaultExt = "png";
  dialog.Flags = kFileDialogOverwritePrompt;
  dialog.FileName = std::string(name) + ".png";
  const std::optional<std::string> path = host_.ChooseFile(FileDialogPurpose::SavePlot, dialog);
  if (!path) return;
  const std::string suffix = SuffixOf(*path);
  std::string error;
  if (suffix == "csv") {
    files::FileReplacement file;
    if (!file.Create(*path) || !file.Write(csv) || !file.Commit()) error = file.error();
  } else if (suffix == "png" || suffix == "svg") {
    error = host_.WritePlotPicture(picture, *path, suffix == "svg" ? PictureFormat::Svg : PictureFormat::Png);
  } else {
    error = "the name must end in .png, .svg or .csv";
  }
  if (!error.empty()) {
    host_.MsgBox("Could not save " + *path + ":\r" + error + ".", kSavePlotTitle);
    return;
  }
  FileStatus = std::string(what) + " of " + std::string(part) + " written to " + *path;
}

analysis::SpiceModel WindowModel::SpiceExport() const {
  return analysis::SpiceSubcircuit(window, ImpedanceMaterial());
}

void WindowModel::ExportSpiceMnu_Click() {
  const analysis::SpiceModel model = SpiceExport();
  ExportFile({FileDialogPurpose::ExportSpice, kSpiceExportTitle, "There is no winding to export.",
              "SPICE model", window.outputs.txtPN},
             model.problem, model.name + ".lib", model.text);
}

}  // namespace vtq
