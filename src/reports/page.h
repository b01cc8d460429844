// The printouts as a line printer makes them: print statements of items at a current
// column, one emphasis attribute, blank lines, end of document. The result is a
// document of laid-out lines that any back end (plain text, a Qt paint device) draws
// without deciding anything about columns itself.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/numbers.h"

namespace vtq::reports {

// One item of a print statement.
struct PrintItem {
  enum class Kind { Text, Tab } kind = Kind::Text;
  std::string text;  // Text: printed as it is
  int column = 1;    // Tab: the column to move to, counted from 1
};

PrintItem Text(std::string text);
// Moves to the column; a position already past it moves to that column of the next line.
PrintItem Tab(int column);
// A number as the printer shows one: a blank (or the minus sign), the shortest decimal
// text without the zero before the point, a blank. 2 prints " 2 ", 0.5 " .5 ",
// -0.5 "-.5 ". A Single keeps at most 7 significant digits, a catalogue real 15.
PrintItem Number(Single value);
PrintItem Number(Integer value);
PrintItem Number(double value);
// The printed form of a number already in its shortest decimal text ("0.375" -> " .375 ").
std::string PrintedNumber(std::string_view shortest);

// Text placed at a column of a line. Columns are character cells of the font's average
// width, so a back end places a run at (column - 1) cells from the left margin.
struct Run {
  int column = 1;
  std::string text;
  bool emphasis = false;
};

struct Line {
  std::vector<Run> runs;  // in column order; none for a blank line
  // The line continues the print statement of the line before (a tab wrapped), so a
  // page break between the two would tear one value from its label.
  bool keepWithPrevious = false;
};

struct Document {
  std::string title;  // the job's name on the print queue and in a PDF's properties
  std::vector<Line> lines;
};

using num::CellWidth;

class LinePrinter {
 public:
  explicit LinePrinter(std::string title) { doc_.title = std::move(title); }

  // One print statement: its items follow each other with nothing added between
  // them, then the line ends.
  void Print(const std::vector<PrintItem>& items);
  void BlankLine() { Print({}); }
  // The one font-style attribute; it applies to the items printed while it is on.
  void Emphasis(bool on) { emphasis_ = on; }
  // Ends the document and hands it over; the emphasis is off afterwards.
  Document EndDoc();

 private:
  Document doc_;
  bool emphasis_ = false;
};

// The widest line in character cells, trailing blanks not counted: what a page must
// hold across for nothing to be cut at the right margin.
int WidestCells(const Document& doc);

// Where each page starts (line indexes, the first is 0) when a page holds linesPerPage
// lines: a full page continues on the next, never inside a wrapped print statement
// unless that statement alone is longer than a page.
std::vector<std::size_t> PageStarts(const Document& doc, int linesPerPage);

// The document as plain text: a run at column n is padded to it with blanks, emphasis
// is not shown, each line ends with a line feed.
std::string RenderText(const Document& doc);

}  // namespace vtq::reports
