// What the analysis windows show, worked out without a toolkit: the core table's texts
// and sort keys, the impedance plot's curves, axes, labels and the caption under it. A
// face (the Qt windows, a web page) only lays these out and draws them.
#pragma once

#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/emissions.h"
#include "analysis/find_core.h"
#include "analysis/impedance.h"
#include "analysis/measured.h"
#include "ui/model/safety_view.h"

namespace vtq {

inline constexpr std::string_view kCoreTableTitle = "Core Table";
inline constexpr std::string_view kImpedanceTitle = "Impedance";
inline constexpr std::string_view kSavePlotTitle = "Save Plot";
inline constexpr std::string_view kSpiceExportTitle = "Export SPICE Model";

struct CoreTableCell {
  std::string text;
  double sortValue = 0;  // a column sorts by the number behind its texts ("9" before "10")
  std::string toolTip;
};

struct CoreTableRow {
  int row = 0;               // catalogue entry 1 to 24, what a double-click applies
  bool automatic = false;    // the automatic design's choice, shown in bold
  bool madeThinner = false;  // the wire had to be made thinner to fit the core's window
  std::string part;          // the part number alone, without the "(automatic)" the cell shows
  std::vector<CoreTableCell> cells;
};

struct CoreTableView {
  std::vector<std::string> headings;
  std::vector<std::string> keys;   // per column: the machine-readable name (JSON, CSV)
  std::vector<std::string> units;  // per column: the value's unit in the display units ("" for texts)
  std::vector<bool> numeric;       // per column: numbers align right so their decimals line up
  std::string intro, note;         // above and below the table
  std::vector<CoreTableRow> rows;  // catalogue order; none while an input is refused
  // What the table was evaluated with: the first line of the prompt an input would raise
  // (nothing evaluated then), the material, the units, the automatic design's part number
  // ("Too Large", a stack) and its row (0 when it takes none of the rows).
  std::string problem, materialLetter, automaticPart;
  bool english = true;
  int automaticRow = 0;
};

// The curves of the plots, each drawn in its own style by the face: the impedance plot's,
// then the conducted-emission plot's (the limit lines, each mode without and with the filter).
enum class Trace {
  Ideal,
  CommonR,
  CommonX,
  DifferentialR,
  DifferentialX,
  CommonZ,
  DifferentialZ,
  LimitQuasiPeak,
  LimitAverage,
  CommonBare,
  DifferentialBare,
  CommonFiltered,
  DifferentialFiltered,
  LossCommon50,
  LossDifferential50,
  LossCommonNetwork,
  LossDifferentialNetwork,
  MeasuredCommonZ,
  MeasuredDifferentialZ,
  RatioCommon,
  RatioDifferential
};

// The trace's name as a key ("CommonZ"), for a face that styles the curves by name.
std::string_view TraceKey(Trace trace);

// A place in the plot's area: x from 0 at its left edge to 1 at its right, y from 0 at its
// bottom to 1 at its top. A face maps the unit square onto the area it draws in.
struct PlotPoint {
  double x = 0, y = 0;
};
// A curve as the face draws it: pieces of polyline, each within the area (cut where the
// curve leaves it, or where a value has no place on a log axis).
using PlotPolyline = std::vector<std::vector<PlotPoint>>;

struct PlotTrace {
  Trace trace;
  std::string name;  // in the legend
  // One per frequency, in the y axis's unit. On a log axis a value not above 0 breaks the
  // line; on either axis a value that is not finite does.
  std::vector<double> values;
  PlotPolyline line;  // the values placed on the axes and clipped to the area
  // The values' own frequencies (a measured curve); empty: one a frequency of the plot.
  std::vector<double> frequencies = {};
};

// A log axis from 10^from to 10^to with a label at every whole decade, or a linear one
// from `from` to `to` with a label every `step`.
struct PlotAxis {
  int from = 0, to = 0;
  bool linear = false;
  int step = 10;
  std::vector<std::string> labels;  // "10 kHz", "1 MΩ", "60 dBµV": from the lowest
  std::vector<double> ticks;        // where each label lies along the area, 0 to 1
  double At(double value) const;    // where a value lies along the area (0 to 1 within it)
};

// A plot over frequency as every face draws it: the axes, the curves, and at most one
// marked point and one dotted frequency.
struct Plot {
  std::string problem;  // why there is no plot, said in its place; empty when there is one
  std::string title;
  std::vector<double> frequencies;  // Hz, rising
  std::vector<PlotTrace> traces;    // back to front
  PlotAxis x, y;                    // frequency in Hz, the traces' unit
  // A point marked by a ring and a label beside it (the impedance requirement).
  std::optional<PlotPoint> requiredAt;  // its place in the area
  std::string requiredLabel;
  double selfResonance = 0;    // Hz, a dotted line there; 0 for none
  double selfResonanceAt = 0;  // its place along the frequency axis
  std::string caption;         // under the plot, lines joined by "\n"
};

// A view saved as a picture: its plots one under the other (the first the largest), then
// the words that go with them, lines joined by "\n": what a reader of the file alone needs
// to know what was checked and what came out.
struct PlotPicture {
  std::vector<const Plot*> panels;
  std::string text;
};

// ---- A measured choke: a network analyser's or a maker's file ----

// How a one- or two-port file was measured: Auto takes reflection for one port and
// series-through for two. A four-port file is always the two lines' ports.
enum class Fixture { Auto, Reflection, Series, Shunt };
struct MeasuredEntry {
  Fixture fixture = Fixture::Auto;
  // What a file of one impedance holds: the common mode, or the differential loop through
  // both lines (twice the per-line impedance the plot shows).
  bool differential = false;
  analysis::ChokePorts ports;  // a four-port's numbering
};
struct MeasuredChoke {
  std::string error;                // "FILE: line 7: ..." when the file cannot be used; empty otherwise
  bool unreadable = false;          // the error is the file's reading, not its content
  std::string name;                 // the file's name without its folder
  std::string how;                  // the fixture and its formula, as said under the plot
  std::vector<double> frequencies;  // Hz, rising
  // Ohm, the differential mode per line; each empty (not in the file) or one a frequency.
  std::vector<std::complex<double>> commonMode, differential;
  // S, across the lines at each end: a four-port's differential mode read as a pi; else empty.
  std::vector<std::complex<double>> differentialShunt;
};
// Reads a Touchstone file (.s1p, .s2p, .s4p; version 1 or 2) or an impedance table (.csv).
MeasuredChoke LoadMeasuredChoke(const std::string& path, const MeasuredEntry& entry = {});

// |Z| measured against the model's at each measured frequency, and measured over model.
struct MeasuredRow {
  double frequency = 0;  // Hz
  std::optional<double> commonMode, commonModel, commonRatio;
  std::optional<double> differential, differentialModel, differentialRatio;
};
struct MeasuredComparison {
  std::vector<MeasuredRow> rows;
  // The ratio farthest from 1 (either way) between 150 kHz and 30 MHz, and where; none
  // without a measured point there.
  std::optional<double> worstCommon, worstDifferential;
  double worstCommonAt = 0, worstDifferentialAt = 0;
  std::string summary;  // the worst ratios in a sentence
};
MeasuredComparison CompareMeasured(const analysis::ChokeParameters& model, const MeasuredChoke& measured);

struct ImpedanceView : Plot {
  std::string part;  // the part number the curve is of
  // The second panel: the choke's insertion loss over the conducted band, dB, common and
  // differential mode, in the 50/50 ohm test system and in the network's terminations.
  Plot insertionLoss;
  std::optional<analysis::ImpedancePoint> required;  // the requirement the ring marks
  double temperature = 25;                           // C, of the core the curve is drawn for
  analysis::ImpedanceCurve curve;                    // the numbers behind it, as the CSV file writes them
  // The constants of the model, each with its unit and source, for the help and the JSON.
  std::span<const analysis::PhysicalConstant> constants;
  // A measured choke beside the model (Measured Choke...): its file and the comparison.
  std::shared_ptr<const MeasuredChoke> measuredChoke;
  MeasuredComparison measured;
  // The third panel, with a measured choke only: measured |Z| over the model's, each mode,
  // at the measured frequencies within the plot's span; a problem (no panel) otherwise.
  Plot ratio;
};

// A ferrite material's measured curves as the grade's data sheet draws them, and its model.
struct MaterialPoint {
  double frequency = 0;              // Hz
  std::optional<double> real, imag;  // mu', mu''; absent where that curve has no point
  std::complex<double> model;        // mu' - j mu'' of the model there
};
struct MaterialModelPoint {
  double frequency = 0;        // Hz
  std::complex<double> model;  // mu' - j mu''
};

struct MaterialView {
  std::string problem;  // why there is nothing to show; empty otherwise
  std::string letter, grade, maker, source, database;
  double permeability = 0;         // the catalogue material's initial permeability
  double lowFrequency = 0;         // the grade's mu' at its lowest frequency; the curve scales by the ratio
  std::vector<std::string> lines;  // the heading, a sentence a line
  std::vector<MaterialPoint> points;  // every frequency either curve has, rising
  // The model at every drawn frequency and 20 a decade from 10 kHz to 100 MHz, rising.
  std::vector<MaterialModelPoint> model;
  analysis::CoreNetwork network;  // its tanks, per henry of Lm over mu' at the lowest f, and its misses
  analysis::KramersKronigCheck causality;  // mu' from the drawn mu'' against the drawn mu'
  std::string fitWarning;                  // a user's file the model misses by more than 5 %; empty otherwise
  std::vector<analysis::CurvePoint> initial;  // initial permeability against C
  double bsat25 = 0, bsat100 = 0, curie = 0;  // T, T, C
};

CoreTableView CoreTableOf(const DesignWindow& window);
// `file` (a user's material, LoadMaterialFile) replaces the letter's grade.
MaterialView MaterialViewOf(std::string_view letter,
                            const std::shared_ptr<const analysis::Ferrite>& file = nullptr);

struct MaterialFile {
  std::shared_ptr<const analysis::Ferrite> ferrite;  // null when the file could not be used
  std::string error;                                 // "FILE: line 3: ..." otherwise
  bool unreadable = false;  // the system could not read the file (exit 1), not its content (2)
  std::string warning;      // the model misses the file's points by more than 5 % somewhere
};
// A user's material file: a database entry as JSON or the CSV vtq-cli material --csv writes.
MaterialFile LoadMaterialFile(const std::string& path);
// `material` (a user's file) replaces the grade of the window's material.
// What the plot is drawn for: the frequencies (the default: the plot's own span), the
// saturation flux density to compare with (0: the grade's at the temperature) and the core
// temperature, C.
struct ImpedanceEntry {
  analysis::CurveRange range;
  double bsat = 0;
  double temperature = 25;
};
ImpedanceView ImpedanceViewOf(const DesignWindow& window, const ImpedanceEntry& entry = {},
                              const std::shared_ptr<const analysis::Ferrite>& material = nullptr,
                              const std::shared_ptr<const MeasuredChoke>& measured = nullptr);
// The view of a curve already computed (a ring's), of the part named.
ImpedanceView ImpedanceViewOfCurve(analysis::ImpedanceCurve curve, const std::string& part,
                                   const ImpedanceEntry& entry,
                                   const std::shared_ptr<const MeasuredChoke>& measured = nullptr);

// What Export S-Parameters... writes: the designed choke as a four-port of single-ended
// ports, or as a two-port of one mode's impedance in series, every port 50 ohm.
struct TouchstoneEntry {
  int ports = 4;              // 4 or 2
  bool differential = false;  // a two-port's mode: the differential loop instead of the common mode
  analysis::CurveRange range{10e3, 100e6, 0};
};
struct TouchstoneFile {
  std::string problem;  // why there is none; empty otherwise
  std::string name;     // "PART.s4p"
  std::string text;
};
TouchstoneFile TouchstoneOf(const DesignWindow& window, const TouchstoneEntry& entry,
                            const std::shared_ptr<const analysis::Ferrite>& material = nullptr);
// The plot's numbers as Save Plot... writes them to a .csv file.
std::string ImpedanceCsvOf(const ImpedanceView& view);

inline constexpr std::string_view kEmissionsTitle = "Conducted Emissions";

// The conducted-emissions inputs as typed: a number with an optional SI prefix and unit
// ("20p", "100 kHz", "2.2nF"), or one of the listed words.
struct EmissionsEntry {
  std::string standard = "cispr32-b";  // a key of analysis::kLimitLines: cispr32-b, cispr11-a, ...
  std::string swing, frequency, duty = "0.5", rise = "0", parasitic, ripple;
  std::string rippleShape = "trapezoid";  // or triangle
  std::string cy = "0", cx = "0";
  std::string network = "cispr16";  // or 50ohm
  std::string margin = "0";         // dB required below the limit
  std::string prescan;              // a measured scan's text, "frequency_hz,dbuv" a line; empty: none
};

// A measured scan's file read as every user file is (size cap, line ends, NUL refused):
// its text for EmissionsEntry::prescan, or "FILE: reason".
struct ScanFile {
  std::string text, error;
  bool unreadable = false;  // the system could not read the file (exit 1), not its content (2)
};
ScanFile LoadScanFile(const std::string& path);

// The plot: dBuV over log f, the limit lines and each mode's receiver level at each
// harmonic without and with the filter; the verdict is its caption.
// The entries the emissions window starts with.
EmissionsEntry ExampleEmissions();
// The limit sets the view offers, in its list's order: the entry's word and the name shown.
struct EmissionStandard {
  std::string_view key, name;
};
std::vector<EmissionStandard> EmissionStandards();

struct EmissionsView : Plot {
  std::string inputProblem;  // an entry that is no value of its box, said as the face asks again
  // Plot::problem: why there is no check (an entry, the design, the source); empty when there is one.
  analysis::EmissionInputs inputs;
  analysis::ChokeParameters choke;
  analysis::EmissionCheck check;
  std::string part;          // the choke checked, as its verdict names it
  std::string standardName;  // "CISPR 32 class B"
  std::string verdict;       // under the plot: the worst margin, where, which mode, pass or fail
  // The Y-capacitor budget while the safety inputs ask for one (WindowModel::Safety_Change).
  std::optional<YBudgetView> yBudget;
};

// `measured`: a measured choke's impedance in place of the model's where the file has it.
EmissionsView EmissionsViewOf(const DesignWindow& window, const EmissionsEntry& entry,
                              const std::shared_ptr<const MeasuredChoke>& measured = nullptr);
// The same for a winding description (a ring's).
EmissionsView EmissionsViewOf(const analysis::Winding& winding, const EmissionsEntry& entry,
                              const std::shared_ptr<const MeasuredChoke>& measured = nullptr);
// The entries read alone, no choke checked: the inputs and the standard's name, or the
// inputProblem.
EmissionsView EmissionsEntryOf(const EmissionsEntry& entry);
// The test bench of a view with a check, for a circuit simulator; empty when there is none.
std::string EmissionsNetlistOf(const DesignWindow& window, const EmissionsView& view);
// The search for the smallest core that passes, as its table shows it.
struct CoreSearchView {
  std::string inputProblem, problem;  // as EmissionsView's; problem also when no core passes
  std::vector<std::string> headings;
  std::vector<std::vector<std::string>> rows;  // one a core tried, in the order tried
  std::vector<analysis::CoreTrial> trials;     // the numbers behind the rows
  std::string summary;                         // the winner, or that none passes and which try is shown
  // The inputs that make the winner the window's design: inductance mode with the
  // winner's inductance, the core picked from the list.
  std::optional<DesignEntry> apply;
  // The winner's design, or the closest try's when none passes: what the view checks
  // while the search stands. Empty when no core was tried.
  std::optional<DesignWindow> shown;
  bool applied = false;  // the winner is the window's design now
};
CoreSearchView CoreSearchOf(const DesignWindow& window, const EmissionsEntry& entry);

// The choke's insertion loss over 150 kHz to 30 MHz (or `range`), one row a frequency.
struct InsertionLossRow {
  double frequency = 0;  // Hz
  analysis::InsertionLosses loss;
};
struct InsertionLossTable {
  std::string problem;
  std::vector<InsertionLossRow> rows;
};
InsertionLossTable InsertionLossOf(const DesignWindow& window, analysis::CurveRange range = {});

// The check as comma-separated values, and a mode's word ("common", "differential").
std::string EmissionsCsvOf(const EmissionsView& view);
std::string_view EmissionModeName(analysis::Mode mode);
// A number typed with an optional SI prefix (p, n, u or the micro sign, m, k, M, G) and an optional `unit`
// after it; none when the text is not one.
std::optional<double> ParseQuantity(std::string_view text, std::string_view unit);

}  // namespace vtq
