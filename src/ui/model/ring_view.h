// A choke wound on a ring the user names (a stocked part, or a size with a grade) as every
// face shows it: the figures step by step, each winding's sector and leakage.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "ui/model/analysis_views.h"
#include "ui/model/library_view.h"
#include "ui/model/safety_view.h"

namespace vtq {

// What the user typed: a stocked part, or a size "OD,ID,HT[,CHAMFER]" with lengths and
// their units ("25mm,15mm,10mm", "0.98in,0.59in,0.39in") and a library grade, or the
// window's material file instead of the grade. The requirement, current and current
// density are the design window's.
struct RingEntry {
  std::string part, toroid, grade;
  int turns = 0;     // turns already wound on each winding; 0: from the requirement
  int windings = 2;  // 2, 3 or 4
  std::string gap;   // between windings at the inner circumference, a length; empty: the catalogue's rule
  double temperature = 25;  // C, around the choke
  double unbalance = 0;     // the first winding's current over the others', less one
  // The mains the windings sit on: the gap between them is then the insulation's, not `gap`.
  std::optional<SafetyEntry> safety;
  // The automatic choice: the library's rings the filter leaves, walked smallest first (or
  // cheapest first at the listed price), the first that meets the requirement taken. With
  // it, `part`, `toroid` and `grade` are empty: the filter names the grade.
  std::optional<LibraryEntry> library;
  bool byPrice = false;
};

// A ring the automatic choice tried, and why it was passed over (empty: the one taken).
struct RingTryRow {
  std::string part, grade;
  double od = 0, id = 0, height = 0;  // m
  int turns = 0, gauge = 0;           // 0: the design stopped before them
  double rise = 0;                    // C
  // The inductance reached over the required, less one; none when the turns were given.
  std::optional<double> margin;
  double price = -1;  // US dollars a piece; negative: none listed
  std::string why;
  // With Find Core: the worst margin of the turns shown against the emission limit (dB,
  // where the limit lies above the level) and where it is; none when the ring was passed
  // over before its check.
  std::optional<double> emissionMargin;
  double emissionFrequency = 0;  // Hz
};

struct RingStepRow {
  std::string name;
  double value = 0;
  std::string unit, how;
};

struct RingWindingRow {
  int turns = 0;
  double sectorDeg = 0, leakage = 0, current = 0;  // deg, H, A rms
};

struct RingView {
  // 0: a complete design; 2: an entry that is no ring, grade or number; 3: a design that
  // does not complete (does not fit). The exit statuses of the command line.
  int status = 2;
  std::string problem;
  std::string part, maker, grade;
  double od = 0, id = 0, height = 0, chamfer = 0;   // m
  double length = 0, area = 0, volume = 0, al = 0;  // m, m2, m3, H
  double requiredInductance = 0, inductance = 0;    // H; required is 0 when the turns were given
  int turns = 0, gauge = 0;
  double peakFlux = 0, saturation = 0;  // T
  double rise = 0;                      // C, the windings' temperature rise
  std::vector<RingStepRow> steps;
  std::vector<RingWindingRow> windings;
  // With the mains given: the insulation between the windings on this ring and the gap
  // that takes the most angle, which sets every sector (index into insulation->gaps).
  std::optional<SafetyView> insulation;
  std::size_t bindingGap = 0;
  // With the automatic choice: every ring tried, in the order tried, the taken one last.
  std::vector<RingTryRow> tried;
};

// Find Core over the stocked library: the rings the filter leaves, smallest (or cheapest)
// first, each with the fewest turns whose choke passes the emission limit with the margin
// asked, within what the ring holds (one layer, no saturation, the rise no hotter than the
// design window warns of); the first ring that passes is taken.
struct RingSearchView {
  // 0: a ring passes; 2: an entry that is refused; 3: no ring the filter leaves holds a
  // winding to check; 4: none passes, the closest shown. The exit statuses of the command line.
  int status = 2;
  std::string inputProblem;  // an emission entry that is no value of its box
  std::string problem;       // the refusal of the ring entry, or why no ring passes
  std::string summary;       // the winner, or that none passes and which try is shown
  // The winner's design, or the closest try's when none passes, with every ring tried in
  // `ring.tried` (the winner last); without a design (status 2) when no ring was checked.
  RingView ring;
  EmissionsView emissions;  // the check of that design
};

// View > Core Library: the list as a table each face sorts by the number behind a cell, and
// the design on the ring picked from it, which the impedance and emission views then follow.
struct LibraryCell {
  std::string text;
  double sortValue = 0;  // a column sorts by this, not by its text ("9.5" before "10")
};
struct LibraryWindowView {
  LibraryView list;
  std::vector<std::string> headings;
  std::vector<bool> numeric;                    // per column: numbers align right
  std::vector<std::vector<LibraryCell>> cells;  // a row for each of list.rows
  std::string count;                            // how many rings the filter leaves
  std::vector<std::string> makers, grades;      // every one in the library, for the filter's lists
  // The ring the analysis views follow, or empty while they follow the design window's core.
  std::string picked;
  std::optional<RingView> ring;  // the design on it for the window's requirement
  // The design as the window lists it: its heading, then a row a step (name, value with its
  // unit, how it is worked out), then a row a winding.
  std::string design;
  std::vector<std::vector<std::string>> designRows;
};

}  // namespace vtq
