// The Qt back end on a PDF writer, read back with poppler's pdftotext.
#include <gtest/gtest.h>

#include <QFontInfo>
#include <QTemporaryDir>

#include "pdf_layout.h"
#include "reports/qt/page_painter.h"
#include "reports/reports.h"
#include "support/design_inputs.h"

namespace vtq::reports {
namespace {

using testing::ReadPdfWords;
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
  const DesignWindow design = test::Designed({});
  const std::pair<const char*, Document> cases[] = {
      {"report.pdf", DesignReport(design, {2026, 12, 4})},
      {"table.pdf", CoreDataTable()},
  };
  for (const auto& [name, doc] : cases) {
    SCOPED_TRACE(name);
    ASSERT_EQ(WritePdf(doc, Path(name)), "");
    const auto words = ReadPdfWords(pdftotext, Path(name));
    ASSERT_TRUE(words && !words->empty());
    EXPECT_TRUE(SameLayout(*words, doc));
    double right = 0;
    for (const auto& w : *words) {
      EXPECT_EQ(w.page, 1) << w.text;
      right = std::max(right, w.xMax);
    }
    // Within the right margin of the narrower of A4 (595 pt) and Letter (612 pt).
    EXPECT_LE(right, 595.0 - 36.0);
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
  const auto words = ReadPdfWords(pdftotext, Path("long.pdf"));
  ASSERT_TRUE(words && !words->empty());
  EXPECT_TRUE(SameLayout(*words, doc));  // every line there, in order: none cut
  EXPECT_GE(words->back().page, 2);
  for (std::size_t i = 1; i < words->size(); ++i) {
    if ((*words)[i].page != (*words)[i - 1].page) {
      EXPECT_EQ((*words)[i].text.substr(0, 6), "Label-")
          << "page " << (*words)[i].page << " starts with a value";
    }
  }
}

}  // namespace
}  // namespace vtq::reports
