// The conducted-emissions view: the entries read as values, the check of the designed
// choke with them, and the words under the plot. The faces only show what this computes.
#include <algorithm>
#include <array>
#include <cmath>
#include <functional>

#include "analysis/spice.h"
#include "engine/numbers.h"
#include "files/user_file.h"
#include "ui/model/analysis_views.h"
#include "ui/model/plot_layout.h"
#include "ui/model/window_model.h"

namespace vtq {
namespace {

std::string_view Trimmed(std::string_view t) {
  while (!t.empty() && (t.front() == ' ' || t.front() == '\t')) t.remove_prefix(1);
  while (!t.empty() && (t.back() == ' ' || t.back() == '\t' || t.back() == '\r')) t.remove_suffix(1);
  return t;
}

// Each prefix as the exponent it stands for, so that "2.2n" reads exactly as "2.2e-9".
struct Prefix {
  std::string_view text, exponent;
};
constexpr std::array<Prefix, 8> kPrefixes = {{{"p", "e-12"},
                                              {"n", "e-9"},
                                              {"u", "e-6"},
                                              {"\u00b5", "e-6"},
                                              {"m", "e-3"},
                                              {"k", "e3"},
                                              {"M", "e6"},
                                              {"G", "e9"}}};

// What a scan line may hold: a receiver reads from its noise floor, some -10 dBuV, to its
// overload, some 140 dBuV; a level far outside (1e307) is a unit or typing slip.
constexpr double kLeastLevel = -100, kMostLevel = 200;  // dBuV
constexpr double kMostFrequency = 1e12;                 // Hz

// A measured scan: "frequency_hz,dbuv" a line; a first line that is not two numbers is its
// heading; blank lines are skipped.
std::string ReadScan(std::string_view text, std::vector<analysis::ScanPoint>& points) {
  files::LineCursor lines(text);
  for (std::string_view raw; lines.Next(raw);) {
    const std::string_view line = Trimmed(raw);
    if (line.empty()) continue;
    const std::size_t comma = line.find(',');
    // NaN where a cell is missing or not a number: it fails every comparison below.
    const double f =
        comma == std::string_view::npos ? NAN : num::ParseStrict(line.substr(0, comma)).value_or(NAN);
    const double level =
        comma == std::string_view::npos ? NAN : num::ParseStrict(line.substr(comma + 1)).value_or(NAN);
    const std::string number = std::to_string(lines.number());
    if (f > 0 && f <= kMostFrequency && !std::isnan(level)) {
      if (!(level >= kLeastLevel && level <= kMostLevel)) {
        return "Scan line " + number + ": the level '" + files::Quoted(line.substr(comma + 1)) +
               "' lies outside -100 to 200 dBuV, beyond what a receiver reads.";
      }
      points.push_back({f, level});
    } else if (lines.number() != 1 || !points.empty()) {
      return "Scan line " + number + " is not a frequency in Hz and a level in dBuV: '" +
             files::Quoted(line) + "'.";
    }
  }
  return points.empty() ? "The scan holds no point." : "";
}

// One decimal, a point whatever the locale: the faces show these texts as they are.
std::string Decibels(double value) {
  return num::FormatDouble(value, "0.0") + " dB";
}

// Which limit a row's margin is taken against.
std::string_view DetectorName(analysis::Detector detector) {
  return detector == analysis::Detector::Average ? "average" : "quasi-peak";
}

std::string Verdict(const analysis::EmissionCheck& c, const std::string& part, int turns, double required) {
  const analysis::HarmonicRow* worst = nullptr;
  for (const analysis::HarmonicRow& r : c.rows) {
    if (r.frequency == c.worstFrequency) worst = &r;
  }
  std::string text =
      std::string(c.passes ? "Passes" : "Fails") + ": " + part + " with " + std::to_string(turns) +
      (turns == 1 ? " turn" : " turns") + ", worst margin " + Decibels(c.worstMargin) + " at " +
      analysis::Engineering(c.worstFrequency, "Hz") + " (" + std::string(analysis::ModeName(c.worstMode)) +
      " mode" + (worst ? ", " + std::string(DetectorName(worst->binds)) + " limit" : std::string()) + ")";
  if (required != 0) text += ", " + Decibels(required) + " required";
  if (!c.passes && required != 0) text += "; " + Decibels(required - c.worstMargin) + " short there";
  return text + ".";
}

// The inputs of a check in words, for a picture that must say what it shows.
std::string InputsText(const EmissionsView& v, const EmissionsEntry& e) {
  const analysis::EmissionInputs& in = v.inputs;
  std::string text = "Source: " + e.swing + " V switched at " +
                     analysis::Engineering(in.source.frequency, "Hz") + ", duty " + e.duty + ", rise time " +
                     analysis::Engineering(in.source.rise, "s") + ", " +
                     analysis::Engineering(in.source.parasitic, "F") + " to earth; ripple " +
                     analysis::Engineering(in.source.ripple, "A") + " p-p (" + e.rippleShape + ").";
  text += "\nFilter: Y " + analysis::Engineering(in.filter.cy, "F") + " each line, X " +
          analysis::Engineering(in.filter.cx, "F") + "; " +
          (in.filter.network == analysis::Network::FiftyOhm ? "50 \u03a9 per line"
                                                            : "V-network 50 \u00b5H / 50 \u03a9") +
          "; " + v.standardName + ", " + Decibels(in.margin) + " margin required.";
  if (!in.prescan.empty())
    text += "\nSource from a measured scan of " + std::to_string(in.prescan.size()) + " points.";
  return text;
}

// The plot of a check: both limit lines, and each mode's level at the receiver without and
// with the filter, over the band on a log axis in dBuV. A harmonic a mode does not have
// (-inf) is left out of that mode's curve, so that the curve joins the harmonics it has.
void LayOut(EmissionsView& v) {
  const std::vector<analysis::HarmonicRow>& rows = v.check.rows;
  v.title = "Receiver level against " + v.standardName + ", common mode (CM) and differential mode (DM)";
  v.caption = v.verdict;
  struct Part {
    Trace trace;
    std::string_view name;
    double (*level)(const analysis::HarmonicRow&);
  };
  static constexpr Part kParts[] = {
      {Trace::LimitQuasiPeak, "QP limit", [](const analysis::HarmonicRow& r) { return r.limit.quasiPeak; }},
      {Trace::LimitAverage, "AV limit", [](const analysis::HarmonicRow& r) { return r.limit.average; }},
      {Trace::CommonBare, "CM bare", [](const analysis::HarmonicRow& r) { return r.common.bare; }},
      {Trace::DifferentialBare, "DM bare",
       [](const analysis::HarmonicRow& r) { return r.differential.bare; }},
      {Trace::CommonFiltered, "CM filtered",
       [](const analysis::HarmonicRow& r) { return r.common.filtered; }},
      {Trace::DifferentialFiltered, "DM filtered",
       [](const analysis::HarmonicRow& r) { return r.differential.filtered; }},
  };
  double low = INFINITY, high = -INFINITY;
  for (const analysis::HarmonicRow& r : rows) {
    v.frequencies.push_back(r.frequency);
    for (const Part& part : kParts) {
      const double level = part.level(r);
      if (std::isfinite(level)) {
        low = std::min(low, level);
        high = std::max(high, level);
      }
    }
  }
  if (!(high >= low)) low = high = 0;
  // Whole tens of dB from above the highest level down to the lowest, but at most 120 dB
  // below the top: a notch of the spectrum goes off the bottom rather than squeeze the rest.
  const int top = static_cast<int>(std::ceil(high / 10)) * 10;
  const int span = top - std::max(static_cast<int>(std::floor(low / 10)) * 10, top - 120);
  const int step = span > 60 ? 20 : 10;  // labels a line or two of text apart
  v.x = AxisOver(analysis::kBandFrom, analysis::kBandTo, 1, "Hz");
  v.y = LinearAxis(top - (span + step - 1) / step * step, top, step, "dB\u00b5V");
  for (const Part& part : kParts) {
    PlotTrace t{part.trace, std::string(part.name), {}, {}};
    std::vector<double> at, levels;
    for (const analysis::HarmonicRow& r : rows) {
      const double level = part.level(r);
      t.values.push_back(level);
      if (!std::isfinite(level)) continue;
      at.push_back(r.frequency);
      levels.push_back(level);
    }
    t.line = Clipped(at, levels, v.x, v.y);
    v.traces.push_back(std::move(t));
  }
}

// The inductance, mH, to type for `turns` turns where `henries` gives them: the design
// rounds 1000 sqrt(L / A_L) to whole turns, so any value whose root lies within 0.3 of a
// turn of them (short of the 0.5 where rounding tips) gives the same winding; the fewest
// digits that stay there, so that the box reads as a number a person would type.
std::string InductanceText(double henries, int turns) {
  const double millihenries = henries * 1e3, perTurn2 = millihenries / (static_cast<double>(turns) * turns);
  const double low = perTurn2 * (turns - 0.3) * (turns - 0.3),
               high = perTurn2 * (turns + 0.3) * (turns + 0.3);
  for (int digits = 2; digits < 17; ++digits) {
    std::string text = num::Printed(millihenries, digits);
    const std::optional<double> back = num::ParseStrict(text);
    if (text.find('e') == std::string::npos && back && *back > low && *back < high) return text;
  }
  return num::DoubleText(millihenries);
}

}  // namespace

std::vector<EmissionStandard> EmissionStandards() {
  std::vector<EmissionStandard> list;
  list.reserve(analysis::kLimitLines.size());
  for (const analysis::LimitLine& line : analysis::kLimitLines) list.push_back({line.key, line.name});
  return list;
}

EmissionsEntry ExampleEmissions() {
  EmissionsEntry e;
  e.swing = "325";  // V, the rectified 230 V mains
  e.frequency = "65k";
  e.duty = "0.45";
  e.rise = "40n";
  e.parasitic = "10p";  // F, a switch's drain tab through its insulating pad to the heat sink
  e.ripple = "0.02";    // A, what the bulk capacitor leaves of the converter's input ripple
  e.cy = "2.2n";        // F, Y capacitors of a mains filter, held small by the leakage-current limit
  e.cx = "1u";
  return e;
}

const DesignWindow& WindowModel::EmissionsDesign() {
  if (coreSearch.shown && !(window.state == searchedFrom_)) coreSearch = {};
  return coreSearch.shown && !coreSearch.applied ? *coreSearch.shown : window;
}

void WindowModel::mnuEmissions_Click() {
  emissionsOpened_ = true;
  emissions = ShownEmissions();
  host_.ShowEmissions(emissions, coreSearch, true);
}

void WindowModel::Emissions_Change(const EmissionsEntry& entry) {
  emissionsEntry = entry;
  coreSearch = {};  // a search answers the inputs it was made for
  if (!emissionsOpened_) return;
  emissions = ShownEmissions();
  host_.ShowEmissions(emissions, coreSearch, false);
}

void WindowModel::EmissionsFindCore_Click() {
  // With a ring picked from the library the search walks the library's rings the filter
  // leaves, smallest first, and picks the first that passes with the turns it needs.
  if (ringPicked_) {
    FindRing();
    return;
  }
  // The design window is left as the user has it: the view checks the search's try.
  std::string problem;
  const EmissionsEntry entry = BudgetedEntry(problem, safetyEntry.windings);
  coreSearch = CoreSearchOf(window, entry);
  if (!problem.empty()) {
    coreSearch = {};
    coreSearch.inputProblem = problem;
  }
  searchedFrom_ = window.state;
  if (!emissionsOpened_) return;  // a closed view shows the search when it opens
  emissions = ShownEmissions();
  host_.ShowEmissions(emissions, coreSearch, false);
}

void WindowModel::FindRing() {
  RingEntry e;
  e.library = libraryEntry;
  e.windings = safetyEntry.windings;
  if (!safetyEntry.mainsVoltage.empty()) e.safety = safetyEntry;
  const RingSearchView found = RingFindCore(e);
  coreSearch = {};
  coreSearch.inputProblem = found.inputProblem;
  coreSearch.headings = {"Part",     "Grade",       "OD (mm)",     "Turns",      "AWG",
                         "Rise (C)", "Margin (dB)", "Price (USD)", "Passed over"};
  for (const RingTryRow& t : found.ring.tried) {
    coreSearch.rows.push_back(
        {t.part, t.grade, num::Printed(t.od * 1e3, 4), t.turns > 0 ? std::to_string(t.turns) : "",
         t.turns > 0 ? std::to_string(t.gauge) : "", t.turns > 0 ? num::Printed(t.rise, 3) : "",
         t.emissionMargin ? num::Printed(*t.emissionMargin, 3) : "",
         t.price >= 0 ? num::Printed(t.price, 4) : "", t.why});
  }
  coreSearch.summary = found.summary.empty() ? found.problem : found.summary;
  if (found.status == 0 || found.status == 4) {
    // The ring found (or the closest) is what the views show, wound with the turns found.
    RingEntry taken;
    taken.part = found.ring.part;
    taken.turns = found.ring.turns;
    ringPicked_ = taken;
  }
  FollowDesign();
}

void WindowModel::EmissionsApplyCore_Click() {
  if (!coreSearch.apply || coreSearch.applied) return;
  // Applied as Open applies a design: the option clicks, the texts, one calculation, the
  // core picked from the list. The search stays with the design it made.
  CoreSearchView search = std::move(coreSearch);
  ApplyDesign(*search.apply);
  search.applied = true;
  search.summary += " Applied to the design.";
  coreSearch = std::move(search);
  searchedFrom_ = window.state;
  FollowDesign();
}

void WindowModel::EmissionsSave_Click() {
  std::string text = emissions.caption;
  if (emissions.problem.empty() && emissions.inputProblem.empty())
    text += "\n" + InputsText(emissions, emissionsEntry);
  SavePlot({{&emissions}, text}, "emissions", "Conducted-emission plot",
           ringPicked_ ? ShownPart() : EmissionsDesign().outputs.txtPN, EmissionsCsvOf(emissions));
}

std::optional<double> ParseQuantity(std::string_view text, std::string_view unit) {
  text = Trimmed(text);
  if (!unit.empty() && text.size() > unit.size() && text.ends_with(unit)) {
    text = Trimmed(text.substr(0, text.size() - unit.size()));
  }
  std::string number(text);
  for (const Prefix& p : kPrefixes) {
    if (text.size() > p.text.size() && text.ends_with(p.text)) {
      number.resize(text.size() - p.text.size());
      // "1e3k" is no number; "1.5 k" is.
      if (number.find_first_of("eEdD") != std::string::npos) return std::nullopt;
      number = std::string(Trimmed(number)) + std::string(p.exponent);
      break;
    }
  }
  return num::ParseStrict(number);
}

namespace {

// The entries read into `v`: its inputs and standard's name, or its inputProblem.
void ReadEntries(const EmissionsEntry& e, EmissionsView& v) {
  analysis::EmissionInputs& in = v.inputs;
  const struct {
    std::string_view name, unit;
    const std::string* text;
    double* value;
  } numbers[] = {
      {"Switched voltage", "V", &e.swing, &in.source.swing},
      {"Switching frequency", "Hz", &e.frequency, &in.source.frequency},
      {"Duty cycle", "", &e.duty, &in.source.duty},
      {"Rise time", "s", &e.rise, &in.source.rise},
      {"Parasitic capacitance", "F", &e.parasitic, &in.source.parasitic},
      {"Ripple current", "A", &e.ripple, &in.source.ripple},
      {"Y capacitance", "F", &e.cy, &in.filter.cy},
      {"X capacitance", "F", &e.cx, &in.filter.cx},
      {"Margin", "dB", &e.margin, &in.margin},
  };
  for (const auto& n : numbers) {
    const std::optional<double> value = ParseQuantity(*n.text, n.unit);
    if (!value) {
      v.inputProblem = std::string(n.name) + ": '" + *n.text +
                       "' is not a number; a prefix p, n, u, m, k, M or G may follow it, as in 20p or 100k.";
      return;
    }
    *n.value = *value;
  }
  bool known = false;
  for (const analysis::LimitLine& line : analysis::kLimitLines) {
    if (e.standard == line.key) {
      in.standard = line.standard;
      v.standardName = line.name;
      known = true;
    }
  }
  if (!known) {
    std::string keys;
    for (const analysis::LimitLine& line : analysis::kLimitLines)
      keys += (keys.empty() ? "" : ", ") + std::string(line.key);
    v.inputProblem = "Standard: '" + e.standard + "' is not one of " + keys + ".";
    return;
  }
  if (e.rippleShape != "trapezoid" && e.rippleShape != "triangle") {
    v.inputProblem = "Ripple shape: '" + e.rippleShape + "' is neither trapezoid nor triangle.";
    return;
  }
  in.source.rippleShape =
      e.rippleShape == "triangle" ? analysis::RippleShape::Triangle : analysis::RippleShape::Trapezoid;
  if (e.network != "cispr16" && e.network != "50ohm") {
    v.inputProblem = "Network: '" + e.network + "' is neither cispr16 nor 50ohm.";
    return;
  }
  in.filter.network = e.network == "50ohm" ? analysis::Network::FiftyOhm : analysis::Network::Cispr16;
  if (!e.prescan.empty()) {
    v.inputProblem = ReadScan(e.prescan, in.prescan);
    if (!v.inputProblem.empty()) return;
  }
  v.inputProblem = analysis::CheckInputs(in);
}

// The check of the entries against a choke: `parameters` gives the choke's figures (or says
// why there are none), `part` names it in the verdict.
EmissionsView EmissionsViewOfChoke(
    const EmissionsEntry& e, const std::shared_ptr<const MeasuredChoke>& measured,
    const std::function<analysis::ChokeParameters(std::string& problem)>& parameters,
    const std::string& part) {
  EmissionsView v;
  ReadEntries(e, v);
  if (!v.inputProblem.empty()) return v;
  analysis::EmissionInputs& in = v.inputs;
  if (measured) {
    in.measured = {measured->frequencies, measured->commonMode, measured->differential,
                   measured->differentialShunt};
  }

  v.part = part;
  v.choke = parameters(v.problem);
  if (!v.problem.empty()) return v;
  in.lines = v.choke.windings;  // one line through each winding
  v.check = analysis::CheckEmissions(in, v.choke);
  v.problem = v.check.problem;
  if (!v.problem.empty()) return v;
  v.verdict = Verdict(v.check, part, v.choke.turns, in.margin);
  if (measured) {
    v.verdict += "\nThe choke as measured in " + measured->name + " from " +
                 analysis::Engineering(measured->frequencies.front(), "Hz") + " to " +
                 analysis::Engineering(measured->frequencies.back(), "Hz") +
                 (measured->commonMode.empty()     ? " (differential mode only)"
                  : measured->differential.empty() ? " (common mode only)"
                                                   : "") +
                 "; the model elsewhere.";
  }
  LayOut(v);
  return v;
}

}  // namespace

EmissionsView EmissionsEntryOf(const EmissionsEntry& e) {
  EmissionsView v;
  ReadEntries(e, v);
  return v;
}

EmissionsView EmissionsViewOf(const DesignWindow& window, const EmissionsEntry& e,
                              const std::shared_ptr<const MeasuredChoke>& measured) {
  return EmissionsViewOfChoke(
      e, measured, [&](std::string& problem) { return analysis::ParametersOf(window, problem); },
      window.outputs.txtPN);
}

EmissionsView EmissionsViewOf(const analysis::Winding& winding, const EmissionsEntry& e,
                              const std::shared_ptr<const MeasuredChoke>& measured) {
  return EmissionsViewOfChoke(
      e, measured, [&](std::string& problem) { return analysis::ParametersOf(winding, problem); },
      winding.partNumber);
}

CoreSearchView CoreSearchOf(const DesignWindow& window, const EmissionsEntry& entry) {
  CoreSearchView v;
  const EmissionsView emissions = EmissionsViewOf(window, entry);
  v.inputProblem = emissions.inputProblem;
  if (!v.inputProblem.empty()) return v;
  const analysis::CoreSearch s = analysis::FindCore(window, emissions.inputs);
  v.headings = {"Core", "Turns", "AWG", "Inductance", "Worst margin", "At", "Trise (C)"};
  for (const analysis::CoreTrial& t : s.trials) {
    // A core whose turns cannot meet the common mode shows its best.
    v.rows.push_back({t.part, std::to_string(t.turns), std::to_string(t.gauge),
                      analysis::Engineering(t.inductance, "H"),
                      Decibels(t.worstMargin) + (t.met ? "" : ", best turns"),
                      analysis::Engineering(t.worstFrequency, "Hz"), num::FormatDouble(t.tempRise, "0.0")});
  }
  v.trials = s.trials;
  v.problem = s.problem;
  if (!s.trials.empty()) v.shown = s.shown;
  if (s.winner == 0) {
    // The figures are the verdict's under the plot, which checks the closest try.
    v.summary = s.trials.empty() ? s.problem
                                 : "No core of the material passes; the plot shows the closest try, " +
                                       s.shown.outputs.txtPN + " with " + s.shown.outputs.Turns + " turns.";
    return v;
  }
  const analysis::CoreTrial& won = s.trials.back();
  v.summary = won.part + " with " + std::to_string(won.turns) + (won.turns == 1 ? " turn" : " turns") +
              " of AWG " + std::to_string(won.gauge) + " passes " + emissions.standardName +
              " with the required margin.";
  const InputControls& in = window.inputs;
  v.apply = DesignEntry{DesignModeOption::Inductance,
                        InductanceText(s.winnerInductance, won.turns),
                        in.Current,
                        in.SecondInput,
                        in.txtCD,
                        in.Material,
                        in.English,
                        static_cast<Integer>(s.winner)};
  return v;
}

InsertionLossTable InsertionLossOf(const DesignWindow& window, analysis::CurveRange range) {
  InsertionLossTable t;
  if (range.from <= 0 || range.to <= range.from)
    range = {analysis::kBandFrom, analysis::kBandTo, range.points};
  const analysis::ImpedanceCurve curve = analysis::ChokeImpedance(window, range);
  t.problem = curve.problem;
  for (const auto& p : curve.points)
    t.rows.push_back({p.frequency, analysis::ChokeInsertionLoss(curve.parameters, p.frequency)});
  return t;
}

std::string EmissionsCsvOf(const EmissionsView& view) {
  return analysis::EmissionsCsv(view.check);
}

std::string_view EmissionModeName(analysis::Mode mode) {
  return analysis::ModeName(mode);
}

std::string EmissionsNetlistOf(const DesignWindow& window, const EmissionsView& view) {
  if (!view.inputProblem.empty() || !view.problem.empty()) return {};
  const analysis::SpiceModel model = analysis::SpiceSubcircuit(window);
  if (!model.problem.empty()) return {};
  return analysis::EmissionsNetlist(view.inputs, view.check, model.text, model.name);
}

ScanFile LoadScanFile(const std::string& path) {
  ScanFile scan;
  files::UserText read = files::ReadUserFile(path, files::UserFileKind::Scan);
  scan.unreadable = read.systemFailure;
  if (read.error.empty() && read.text.empty()) read.error = "the file is empty";
  if (!read.error.empty()) {
    scan.error = path + ": " + read.error;
  } else {
    scan.text = std::move(read.text);
  }
  return scan;
}

}  // namespace vtq
