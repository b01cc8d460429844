#include "reports/page.h"

#include <algorithm>
#include <utility>

namespace vtq::reports {

PrintItem Text(std::string text) {
  return PrintItem{PrintItem::Kind::Text, std::move(text), 1};
}

PrintItem Tab(int column) {
  return PrintItem{PrintItem::Kind::Tab, {}, column < 1 ? 1 : column};
}

std::string PrintedNumber(std::string_view shortest) {
  const bool negative = !shortest.empty() && shortest.front() == '-';
  std::string_view digits = negative ? shortest.substr(1) : shortest;
  // "0.5" prints as ".5"; a plain "0" keeps its zero.
  if (digits.size() > 1 && digits[0] == '0' && digits[1] == '.') digits.remove_prefix(1);
  std::string out(1, negative ? '-' : ' ');
  out += digits;
  out += ' ';
  return out;
}

PrintItem Number(Single value) {
  return Text(PrintedNumber(num::SingleText(value)));
}
PrintItem Number(Integer value) {
  return Text(PrintedNumber(num::IntegerText(value)));
}
PrintItem Number(double value) {
  return Text(PrintedNumber(num::DoubleText(value)));
}

void LinePrinter::Print(const std::vector<PrintItem>& items) {
  Line line;
  int column = 1;
  for (const PrintItem& item : items) {
    if (item.kind == PrintItem::Kind::Tab) {
      if (column > item.column) {
        doc_.lines.push_back(std::move(line));
        line = Line{};
        line.keepWithPrevious = true;
      }
      column = item.column;
      continue;
    }
    if (item.text.empty()) continue;
    Run* last = line.runs.empty() ? nullptr : &line.runs.back();
    if (last && last->emphasis == emphasis_ && last->column + CellWidth(last->text) == column) {
      last->text += item.text;
    } else {
      line.runs.push_back(Run{column, item.text, emphasis_});
    }
    column += CellWidth(item.text);
  }
  doc_.lines.push_back(std::move(line));
}

Document LinePrinter::EndDoc() {
  emphasis_ = false;
  Document done = std::move(doc_);
  doc_ = Document{};
  return done;
}

int WidestCells(const Document& doc) {
  int widest = 0;
  for (const Line& line : doc.lines) {
    if (line.runs.empty()) continue;
    const Run& last = line.runs.back();
    const std::string_view text = last.text;
    const std::size_t end = text.find_last_not_of(' ');
    const int cells = end == std::string_view::npos ? 0 : CellWidth(text.substr(0, end + 1));
    widest = std::max(widest, last.column - 1 + cells);
  }
  return widest;
}

std::vector<std::size_t> PageStarts(const Document& doc, int linesPerPage) {
  std::vector<std::size_t> starts{0};
  if (linesPerPage < 1) linesPerPage = 1;
  const auto capacity = static_cast<std::size_t>(linesPerPage);
  std::size_t i = 0;
  while (i < doc.lines.size()) {
    const std::size_t pageStart = starts.back();
    // The statement that begins at line i: that line and the wrapped lines after it.
    std::size_t end = i + 1;
    while (end < doc.lines.size() && doc.lines[end].keepWithPrevious) ++end;
    if (end - pageStart <= capacity) {
      i = end;
    } else if (i > pageStart && end - i <= capacity) {
      starts.push_back(i);  // the statement moves to a new page whole
    } else {
      // Longer than a page: break it where the page is full.
      i = pageStart + capacity;
      starts.push_back(i);
    }
  }
  return starts;
}

std::string RenderText(const Document& doc) {
  std::string out;
  for (const Line& line : doc.lines) {
    int column = 1;
    for (const Run& run : line.runs) {
      if (run.column > column) out.append(static_cast<std::size_t>(run.column - column), ' ');
      out += run.text;
      column = run.column + CellWidth(run.text);
    }
    out += '\n';
  }
  return out;
}

}  // namespace vtq::reports
