// Reads a PDF back as text with poppler-utils' pdftotext on a grid of the printout's own
// character cell (measured on its longest word): a fixed-pitch printout then comes back
// column for column and can be compared with the plain-text rendering of the document.
#pragma once

#include <gtest/gtest.h>

#include <QProcess>
#include <QString>
#include <QStringList>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "reports/page.h"

namespace vtq::reports::testing {

// Runs a poppler tool; its standard output, or nothing when it cannot run or fails.
inline std::optional<std::string> RunTool(const QString& program, const QStringList& args) {
  QProcess p;
  p.start(program, args);
  if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
    return std::nullopt;
  return p.readAllStandardOutput().toStdString();
}

// The non-blank lines of a text, trailing blanks dropped.
inline std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    line.erase(line.find_last_not_of(' ') + 1);
    if (!line.empty()) lines.push_back(line);
  }
  return lines;
}

struct PdfText {
  double cell = 0;                              // points
  std::vector<std::vector<std::string>> pages;  // each page's lines, as Lines() gives them
};

inline std::optional<PdfText> ReadPdfText(const QString& pdftotext, const QString& pdf) {
  const auto words = RunTool(pdftotext, {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
  if (!words) return std::nullopt;
  const std::regex word(
      R"re(<word xMin="([-0-9.]+)" yMin="[-0-9.]+" xMax="([-0-9.]+)" yMax="[-0-9.]+">([^<&]*)</word>)re");
  PdfText pdfText;
  int longest = 0;
  for (std::sregex_iterator m(words->begin(), words->end(), word), end; m != end; ++m) {
    if (const int cells = CellWidth((*m)[3].str()); cells > longest) {
      longest = cells;
      pdfText.cell = (std::stod((*m)[2]) - std::stod((*m)[1])) / cells;
    }
  }
  if (longest == 0) return std::nullopt;
  const auto grid = RunTool(
      pdftotext, {QStringLiteral("-fixed"), QString::number(pdfText.cell, 'f', 4), pdf, QStringLiteral("-")});
  if (!grid) return std::nullopt;
  std::istringstream pages(*grid);
  for (std::string page; std::getline(pages, page, '\f');) {
    if (!Lines(page).empty()) pdfText.pages.push_back(Lines(page));
  }
  return pdfText;
}

// The PDF's lines, page after page, hold the document's plain-text lines: the same
// characters in the same columns, all shifted by the one left margin.
inline ::testing::AssertionResult SameLayout(const PdfText& pdf, const Document& doc) {
  std::vector<std::string> printed;
  for (const auto& page : pdf.pages) printed.insert(printed.end(), page.begin(), page.end());
  const std::vector<std::string> text = Lines(RenderText(doc));
  const auto indent = [](const std::vector<std::string>& lines) {
    std::size_t n = std::string::npos;
    for (const auto& l : lines) n = std::min(n, l.find_first_not_of(' '));
    return n;
  };
  const std::size_t margin = indent(printed) - indent(text);
  for (std::size_t i = 0; i < std::max(printed.size(), text.size()); ++i) {
    const std::string got = i < printed.size() ? printed[i].substr(std::min(margin, printed[i].size())) : "";
    if (i >= text.size() || got != text[i]) {
      return ::testing::AssertionFailure() << "line " << i << " of the PDF: '" << got << "', expected '"
                                           << (i < text.size() ? text[i] : "") << "'";
    }
  }
  return ::testing::AssertionSuccess();
}

}  // namespace vtq::reports::testing
