// The Qt back end on a PDF writer, read back with poppler's pdftotext.
#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QFontInfo>
#include <QGuiApplication>
#include <QTemporaryDir>

#include "reports/qt/page_painter.h"
#include "reports/reports.h"
#include "support/design_inputs.h"
#include "support/pdf_layout.h"

namespace vtq::reports {
namespace {

using testing::ReadPdfText;
using testing::SameLayout;

TEST(ReportFont, IsTheInstalledFixedPitchFont) {
  ASSERT_TRUE(ReportFontInstalled()) << "DejaVu Sans Mono (fonts-dejavu-core) is missing";
  const QFontInfo info(ReportFont(kReportPointSize));
  EXPECT_EQ(info.family(), QStringLiteral("DejaVu Sans Mono"));
  EXPECT_TRUE(info.fixedPitch());
}

class PdfFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    if (pdftotext.isEmpty())
      GTEST_SKIP() << "pdftotext (poppler-utils) was not found when the build was set up";
    ASSERT_TRUE(dir.isValid());
  }
  QString Path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
  QTemporaryDir dir;
  const QString pdftotext = QStringLiteral(VTQ_PDFTOTEXT);
};

TEST_F(PdfFiles, PrintoutsKeepTheirColumnsOnOnePage) {
  // The design window's application font is bold; none of it may reach a printout.
  QFont windowFont = QGuiApplication::font();
  windowFont.setBold(true);
  QGuiApplication::setFont(windowFont);
  const DesignWindow design = test::Designed({});
  const std::pair<const char*, Document> cases[] = {
      {"report.pdf", DesignReport(design, {2026, 12, 4})},
      {"table.pdf", CoreDataTable()},
  };
  for (const auto& [name, doc] : cases) {
    SCOPED_TRACE(name);
    ASSERT_EQ(WritePdf(doc, Path(name)), "");
    const auto pdf = ReadPdfText(pdftotext, Path(name));
    ASSERT_TRUE(pdf);
    EXPECT_TRUE(SameLayout(*pdf, doc));
    EXPECT_EQ(pdf->pages.size(), 1u);
    // The title (and the report's headings) in the bold face, the rest in the regular one.
    const auto fonts =
        testing::RunTool(QFileInfo(pdftotext).dir().filePath(QStringLiteral("pdffonts")), {Path(name)});
    ASSERT_TRUE(fonts);
    EXPECT_TRUE(fonts->find("DejaVuSansMono-Bold ") != std::string::npos &&
                fonts->find("DejaVuSansMono ") != std::string::npos)
        << *fonts;
    // The report at its full 10 pt: a cell of 1233/2048 em, as the device's resolution rounds
    // it; only the wider table is set smaller.
    EXPECT_EQ(std::abs(pdf->cell - 6.02) < 0.05, doc.title == kDesignReportTitle) << pdf->cell;
    // Within the right margin of the narrower of A4 (595 pt) and Letter (612 pt).
    std::size_t right = 0;
    for (const auto& line : pdf->pages[0]) right = std::max(right, line.size());
    EXPECT_LE(static_cast<double>(right) * pdf->cell, 595.0 - 36.0);
  }
}

TEST_F(PdfFiles, LongDocumentContinuesOnNewPagesKeepingWrappedValuesWithTheirLabels) {
  LinePrinter p{"long"};
  for (int i = 1; i <= 60; ++i) {
    p.Print({Text("Label-" + std::to_string(i) + "-is-longer-than-the-value-column"), Tab(25),
             Text("value-" + std::to_string(i))});
  }
  const Document doc = p.EndDoc();
  ASSERT_EQ(WritePdf(doc, Path("long.pdf")), "");
  const auto pdf = ReadPdfText(pdftotext, Path("long.pdf"));
  ASSERT_TRUE(pdf);
  EXPECT_TRUE(SameLayout(*pdf, doc));  // every line there, in order: none cut
  EXPECT_GE(pdf->pages.size(), 2u);
  for (const auto& page : pdf->pages)
    EXPECT_EQ(page[0].substr(page[0].find_first_not_of(' '), 6), "Label-") << "a page starts with a value";
}

}  // namespace
}  // namespace vtq::reports
