#include "reports/qt/page_painter.h"

#include <QBuffer>
#include <QFile>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QLocale>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>
#include <cmath>

#include "files/file_io.h"

namespace vtq::reports {
namespace {

constexpr auto kFamily = "DejaVu Sans Mono";

// Where Debian's fonts-dejavu-core puts it; loaded by hand when the platform's font
// database does not list it (the offscreen platform may not read fontconfig).
constexpr const char* kFontFiles[] = {
    "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf",
    "/usr/share/fonts/truetype/dejavu/DejaVuSansMono-Bold.ttf",
};

const QString& Family() {
  static const QString family = [] {
    if (QFontDatabase::hasFamily(kFamily)) return QString(kFamily);
    for (const char* file : kFontFiles) QFontDatabase::addApplicationFont(QString::fromUtf8(file));
    return QFontDatabase::hasFamily(kFamily) ? QString(kFamily) : QString();
  }();
  return family;
}

// Fonts and metrics of one drawing, sized for the device.
struct Typeface {
  QFont regular, bold;
  qreal cell = 0, lineHeight = 0, ascent = 0;

  Typeface(qreal pointSize, QPaintDevice& device) : regular(ReportFont(pointSize)), bold(regular) {
    bold.setBold(true);
    const QFontMetricsF metrics(regular, &device);
    cell = metrics.averageCharWidth();
    lineHeight = metrics.lineSpacing();
    ascent = metrics.ascent();
  }
};

}  // namespace

QFont ReportFont(qreal pointSize) {
  QFont font = Family().isEmpty() ? QFontDatabase::systemFont(QFontDatabase::FixedFont) : QFont(Family());
  font.setPointSizeF(pointSize);
  // Set, not left to default: a property left unset is taken from the application's font
  // when drawn, and the design window's font is bold.
  font.setBold(false);
  font.setItalic(false);
  font.setStyleHint(QFont::Monospace);
  font.setFixedPitch(true);
  // Columns are computed in whole cells: glyphs must advance by exactly one cell.
  font.setKerning(false);
  font.setHintingPreference(QFont::PreferNoHinting);
  return font;
}

bool ReportFontInstalled() {
  return !Family().isEmpty();
}

std::string DrawDocument(const Document& doc, QPagedPaintDevice& device) {
  QPainter painter;
  if (!painter.begin(&device)) return "the page could not be started";
  const qreal width = device.width(), height = device.height();

  qreal pointSize = kReportPointSize;
  const int widest = WidestCells(doc);
  {
    const Typeface nominal(pointSize, device);
    if (widest > 0 && widest * nominal.cell > width) {
      // Text size scales the cell in proportion; round down to a tenth of a point.
      pointSize = std::floor(pointSize * width / (widest * nominal.cell) * 10.0) / 10.0;
      pointSize = std::max(pointSize, kMinimumPointSize);
    }
  }
  const Typeface face(pointSize, device);
  const int linesPerPage = std::max(1, static_cast<int>(height / face.lineHeight));
  const std::vector<std::size_t> starts = PageStarts(doc, linesPerPage);

  for (std::size_t page = 0; page < starts.size(); ++page) {
    if (page > 0 && !device.newPage()) {
      painter.end();
      return "a new page could not be started";
    }
    const std::size_t end = page + 1 < starts.size() ? starts[page + 1] : doc.lines.size();
    qreal top = 0;
    for (std::size_t i = starts[page]; i < end; ++i, top += face.lineHeight) {
      for (const Run& run : doc.lines[i].runs) {
        painter.setFont(run.emphasis ? face.bold : face.regular);
        painter.drawText(QPointF((run.column - 1) * face.cell, top + face.ascent),
                         QString::fromStdString(run.text));
      }
    }
  }
  if (!painter.end()) return "the document could not be finished";
  return {};
}

QPageSize DefaultPageSize() {
  return QPageSize(QLocale::system().measurementSystem() == QLocale::ImperialUSSystem ? QPageSize::Letter
                                                                                      : QPageSize::A4);
}

std::string WritePdf(const Document& doc, const QString& path) {
  // Drawn in memory (a page is a few dozen kilobytes), then written as every file of
  // the program is: beside the target and put in its place only when complete, so a
  // failure leaves an earlier file of that name as it was. Opening first also catches
  // what the PDF writer would fail on without a word (no such folder, no permission).
  files::FileReplacement file;
  if (!file.Create(QFile::encodeName(path).toStdString())) return file.error();
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  std::string error;
  {
    QPdfWriter writer(&buffer);
    writer.setTitle(QString::fromStdString(doc.title));
    writer.setCreator(QStringLiteral("VTQ"));
    writer.setResolution(1200);
    writer.setPageLayout(QPageLayout(DefaultPageSize(), QPageLayout::Portrait,
                                     QMarginsF(kMarginInches, kMarginInches, kMarginInches, kMarginInches),
                                     QPageLayout::Inch));
    error = DrawDocument(doc, writer);
  }
  if (!error.empty()) return error;
  const QByteArray& bytes = buffer.data();
  if (!file.Write(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size()))) ||
      !file.Commit())
    return file.error();
  return {};
}

}  // namespace vtq::reports
