// Every catalogue core offered in the selected material, each evaluated with the
// window's inputs exactly as a pick from the core list would evaluate it, side by side;
// the core the automatic design takes shows that design's own figures.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "engine/design.h"

namespace vtq::analysis {

// One table cell: the text shown and the number it sorts by.
struct Cell {
  std::string text;
  double value = 0;
};

struct CoreEvaluation {
  int row = 0;               // catalogue entry 1 to 24
  bool automatic = false;    // the core the automatic design takes for the same inputs
  bool madeThinner = false;  // the wire had to be made thinner to fit the core's window
  Cell partNumber, od, turns, awg, wireDiameter, wireArea, inductance, dcResistance, cutoff, tempRise,
      diffInductance, woundOD, woundHeight, header;
};

struct CompareColumn {
  std::string_view key;      // machine-readable name (JSON, CSV)
  std::string_view heading;  // table heading
  std::string_view unit;     // unit of the value: "in|mm" means the display unit
  Cell CoreEvaluation::*cell;
};
extern const std::array<CompareColumn, 14> kCompareColumns;

// The unit of a column's value for the display units in use.
std::string_view ColumnUnit(const CompareColumn& column, bool english);

struct Comparison {
  // Not empty when an input would be asked for again: the first line of that prompt.
  // Nothing is evaluated then and no prompt is shown.
  std::string problem;
  bool english = true;
  std::string materialLetter;
  std::vector<CoreEvaluation> rows;  // catalogue order
  // The automatic design's part number for the same inputs: a listed core (marked in
  // rows), a stack ("(2x) QN-80124-KX"), "Too Large", or a core the material lacks.
  std::string automaticPart;
  int automaticRow = 0;  // the marked row, 0 when the automatic design takes none of them
};

// Evaluates silently on copies: the window is not changed and no dialog is shown.
Comparison CompareCores(const DesignWindow& window);

// The wire beside its gauge: insulated diameter in the display unit, copper cross-section in mm2.
struct WireFigures {
  Cell diameter, area;
};
WireFigures WireOf(const DesignState& state, bool english);

// The mark in the AWG column of a wire made thinner, and the line explaining it.
inline constexpr std::string_view kThinnerMark = "*";
inline constexpr std::string_view kThinnerNote = "* wire made thinner to fit the core's window";
// Why the marked row and the others differ in temperature rise and gauge.
inline constexpr std::string_view kEvaluationNote =
    "The marked row is the automatic design as Calculate shows it (copper loss of both windings, wire "
    "not fitted to the window); the other rows are evaluated as a pick from the core list (loss of one "
    "winding, wire made thinner to fit)";

}  // namespace vtq::analysis
