// The safety view: insulation between the windings of the designed choke and the Y-capacitor
// budget, worked out from the inputs as typed. A face only shows its texts and numbers.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/design.h"

namespace vtq {

inline constexpr std::string_view kSafetyTitle = "Safety";

// The inputs as typed: numbers with an optional SI prefix and unit ("230", "60 Hz",
// "0.25mA"), the divider a length with its unit ("1 mm", "0.04 in", "1e-3 m").
struct SafetyEntry {
  std::string mainsVoltage;     // V rms, the highest line to neutral
  std::string mainsFrequency;   // Hz, the highest; needed for the budget only
  std::string category = "II";  // overvoltage category I, II, III, IV
  std::string pollution = "2";  // 1 to 4
  std::string group = "IIIb";   // material group I, II, IIIa, IIIb: IIIb when the CTI is not known
  std::string divider;          // empty: none
  std::string touchCurrent;     // A; empty: the equipment's case, or no budget
  std::string equipment;        // a tabulated case's key; empty: none
  int windings = 2;             // 2 (L, N), 3 (three lines) or 4 (three lines and neutral)
  bool Budget() const { return !touchCurrent.empty() || !equipment.empty(); }
};

// The tabulated touch- and protective-conductor-current limits: key, what for, A, source.
struct TouchCurrentRow {
  std::string key, name, source;
  double limit = 0;
};
std::vector<TouchCurrentRow> TouchCurrentTable();

struct YBudgetView {
  std::string caseName;  // the equipment's case in words, or "limit typed"
  std::string source;    // the standard, empty for a typed limit
  std::string worstCase;
  double limit = 0, maxTotal = 0, maxPerLine = 0;  // A, F, F
  double typedPerLine = -1;                        // F, the emission inputs' Y capacitor; -1: none given
  std::string warning;                             // the Y capacitors exceed the budget; empty otherwise
  std::string summary;                             // the budget in a sentence
};

// One gap of the ring, as required and as the designed core and wire achieve it.
struct SafetyGap {
  std::string between;
  double workingVoltage = 0, clearance = 0;  // V rms, m
  std::optional<double> creepage;            // m, none at pollution degree 4
  // On the designed core (none without a winding, or when the bore cannot hold the gap):
  // the angle between the nearest turns' centres and what it takes from the sectors, deg;
  // the distances achieved there, m (no clearance with a divider); which distance sets it.
  std::optional<double> centreAngle, gapAngle, achievedClearance, achievedCreepage;
  std::string binding;
};

struct SafetyView {
  std::string inputProblem;  // an entry that is no value of its box; nothing computed then
  std::string problem;       // the tables give no answer (voltage past them); empty otherwise
  double lineToNeutral = 0, lineToLine = 0, impulseVoltage = 0;  // V
  std::vector<SafetyGap> gaps;
  std::string ringProblem;                 // why the gaps on the core are not worked out
  double bore = 0, wire = 0, divider = 0;  // m; divider 0 for none
  std::string note;                        // a caution of the tables
  std::optional<YBudgetView> budget;
  std::vector<std::string> lines;  // the view's text, a line each
};

// `cy`: the emission inputs' Y capacitor per line, F, for the budget's warning.
SafetyView SafetyViewOf(const DesignWindow& window, const SafetyEntry& entry, std::optional<double> cy = {});
// The same on a ring's bore: its inner and outer diameter and the insulated wire, m.
// `ringProblem`: why there is no winding to part (the gaps are then not placed).
SafetyView SafetyViewOfBore(double inner, double outer, double wire, const std::string& ringProblem,
                            const SafetyEntry& entry, std::optional<double> cy = {});
// The budget alone, for the emissions view; none when the entry asks for none.
std::optional<YBudgetView> YBudgetViewOf(const SafetyEntry& entry, double cy, std::string& problem);
// The gaps as comma-separated values, one a line under a heading.
std::string SafetyCsvOf(const SafetyView& view);

// View > Safety: the inputs, the insulation between the windings of the choke the analysis
// views show (the design window's, or the ring picked from the library) and the budget.
struct SafetyWindowView {
  SafetyView view;
  std::string of;       // the choke the gaps are placed on, in words
  std::string problem;  // what stops the view, in one line; empty when it is worked out
  std::vector<std::string> headings;
  std::vector<std::vector<std::string>> gaps;  // a row a gap, as the headings say
  std::vector<TouchCurrentRow> equipment;      // the tabulated cases, for the equipment list
};

}  // namespace vtq
