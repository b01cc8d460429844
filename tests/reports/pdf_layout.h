// Reads a PDF back word by word (pdftotext -bbox, poppler-utils) and checks it against the
// plain-text rendering of the same document: the same words on the same lines, each at
// the left margin plus (column - 1) character cells.
#pragma once

#include <gtest/gtest.h>

#include <QProcess>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <map>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "reports/page.h"

namespace vtq::reports::testing {

struct PdfWord {
  int page = 0;
  double xMin = 0, yMin = 0, xMax = 0;
  std::string text;
};

inline std::string Unescape(std::string s) {
  const std::pair<std::string, char> entities[] = {
      {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}, {"&amp;", '&'}};
  for (const auto& [from, to] : entities) {
    for (std::size_t at = 0; (at = s.find(from, at)) != std::string::npos; ++at)
      s.replace(at, from.size(), 1, to);
  }
  return s;
}

// Runs a poppler tool; its standard output, or nothing when it cannot run or fails.
inline std::optional<std::string> RunTool(const QString& program, const QStringList& args) {
  QProcess p;
  p.start(program, args);
  if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
    return std::nullopt;
  return p.readAllStandardOutput().toStdString();
}

inline std::optional<std::vector<PdfWord>> ReadPdfWords(const QString& pdftotext, const QString& pdf) {
  const auto html = RunTool(pdftotext, {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
  if (!html) return std::nullopt;
  // Page starts and words in document order.
  const std::regex item(
      R"re(<page |<word xMin="([-0-9.]+)" yMin="([-0-9.]+)" xMax="([-0-9.]+)" yMax="[-0-9.]+">([^<]*)</word>)re");
  std::vector<PdfWord> words;
  int page = 0;
  for (std::sregex_iterator m(html->begin(), html->end(), item), end; m != end; ++m) {
    if ((*m)[1].matched) {
      words.push_back({page, std::stod((*m)[1]), std::stod((*m)[2]), std::stod((*m)[3]), Unescape((*m)[4])});
    } else {
      ++page;
    }
  }
  return words;
}

// The words of each printed line, page by page, top to bottom.
inline std::vector<std::vector<PdfWord>> PdfLines(const std::vector<PdfWord>& words) {
  std::map<std::pair<int, long>, std::vector<PdfWord>> byLine;
  for (const PdfWord& w : words) byLine[{w.page, std::lround(w.yMin * 10)}].push_back(w);
  std::vector<std::vector<PdfWord>> lines;
  for (auto& [key, line] : byLine) {
    std::sort(line.begin(), line.end(), [](const PdfWord& a, const PdfWord& b) { return a.xMin < b.xMin; });
    lines.push_back(line);
  }
  return lines;
}

struct TextWord {
  int column;
  std::string text;
};

// The words of each non-blank line of a plain-text rendering, with their columns.
inline std::vector<std::vector<TextWord>> TextLines(const std::string& rendered) {
  std::vector<std::vector<TextWord>> lines;
  const std::regex word("[^ ]+");
  std::istringstream in(rendered);
  for (std::string line; std::getline(in, line);) {
    std::vector<TextWord> words;
    for (std::sregex_iterator m(line.begin(), line.end(), word), end; m != end; ++m) {
      const auto at = static_cast<std::size_t>(m->position());
      words.push_back({CellWidth(std::string_view(line).substr(0, at)) + 1, m->str()});
    }
    if (!words.empty()) lines.push_back(words);
  }
  return lines;
}

// Same words on the same lines, each starting within a fifth of a cell of its column.
inline ::testing::AssertionResult SameLayout(const std::vector<PdfWord>& pdfWords, const Document& doc) {
  const auto pdf = PdfLines(pdfWords);
  const auto text = TextLines(RenderText(doc));
  if (pdf.size() != text.size()) {
    return ::testing::AssertionFailure()
           << pdf.size() << " lines in the PDF, " << text.size() << " in the text";
  }
  // The cell from the longest word; the margin from the first word.
  const PdfWord& longest =
      *std::max_element(pdfWords.begin(), pdfWords.end(),
                        [](const auto& a, const auto& b) { return CellWidth(a.text) < CellWidth(b.text); });
  const double cell = (longest.xMax - longest.xMin) / CellWidth(longest.text);
  const double margin = pdf[0][0].xMin - (text[0][0].column - 1) * cell;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (pdf[i].size() != text[i].size()) {
      return ::testing::AssertionFailure()
             << "line " << i << ": " << pdf[i].size() << " words in the PDF, " << text[i].size()
             << " in the text (" << text[i][0].text << " ...)";
    }
    for (std::size_t k = 0; k < text[i].size(); ++k) {
      const double column = (pdf[i][k].xMin - margin) / cell + 1;
      if (pdf[i][k].text != text[i][k].text || std::abs(column - text[i][k].column) > 0.2) {
        return ::testing::AssertionFailure()
               << "line " << i << ": '" << pdf[i][k].text << "' at column " << column << ", expected '"
               << text[i][k].text << "' at " << text[i][k].column;
      }
    }
  }
  return ::testing::AssertionSuccess();
}

}  // namespace vtq::reports::testing
