// The window's print commands where the print system has no printer (this test runs with
// CUPS pointed at a server that does not exist), and the two PDF export entries.
#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QTemporaryDir>

#include "pdf_layout.h"
#include "test_printing.h"

namespace vtq {
namespace {

// CUPS asks the server named here, which is not there: no printers at all. Set before
// main, so before Qt or CUPS first look.
const bool kNoPrintServer = qputenv("CUPS_SERVER", "/nonexistent/vtq-no-print-server.sock");

class NoPrinter : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(kNoPrintServer);
    ASSERT_TRUE(dir.isValid());
    qt::InstallPrinting(window, printing);
    window.Load(".");
    host.messages.clear();
  }
  std::string Path(const char* name) const { return dir.filePath(QString::fromLatin1(name)).toStdString(); }
  void CheckPdf(const std::string& path, const reports::Document& expected) {
    if (pdftotext.isEmpty())
      GTEST_SKIP() << "pdftotext (poppler-utils) was not found when the build was set up";
    const auto words = reports::testing::ReadPdfWords(pdftotext, QString::fromStdString(path));
    ASSERT_TRUE(words && !words->empty()) << path;
    EXPECT_TRUE(reports::testing::SameLayout(*words, expected));
  }

  QTemporaryDir dir;
  const QString pdftotext = QStringLiteral(VTQ_PDFTOTEXT);
  testing::ScriptedHost host;
  qt::MainWindow window{host};
  testing::TestPrinting printing{&window};
};

TEST_F(NoPrinter, PrintSaysSoAndSavesTheSamePageAsPdf) {
  printing.acceptOffer = true;
  printing.pdfPath = Path("report.pdf");
  window.findChild<QAction*>(QStringLiteral("DesignMnu"))->trigger();
  ASSERT_EQ(printing.offers.size(), 1u) << window.model().PrintStatus;
  EXPECT_EQ(printing.offers[0],
            "The design report could not be printed: no printer is installed.\r\rThe design is unchanged.\r\r"
            "Save the design report as a PDF file instead?");
  EXPECT_EQ(window.model().PrintStatus, "Design report saved as " + printing.pdfPath + ".");
  EXPECT_TRUE(host.messages.empty());
  CheckPdf(printing.pdfPath, reports::DesignReport(window.model().window, {2026, 12, 4}));
}

TEST_F(NoPrinter, ExportEntriesFollowThePrintSubmenuAndWriteTheirPages) {
  QMenu* file = window.Menu("FileMnu");
  ASSERT_NE(file, nullptr);
  QStringList names;
  for (QAction* a : file->actions()) names << (a->menu() ? a->menu()->objectName() : a->objectName());
  const qsizetype print = names.indexOf(QStringLiteral("PrintMnu"));
  ASSERT_GE(print, 0);
  EXPECT_EQ(names.mid(print + 1, 2),
            (QStringList{QStringLiteral("ExportReportMnu"), QStringLiteral("ExportTableMnu")}));

  printing.pdfPath = Path("table.pdf");
  window.findChild<QAction*>(QStringLiteral("ExportTableMnu"))->trigger();
  EXPECT_TRUE(printing.offers.empty());
  EXPECT_EQ(window.model().PrintStatus, "Table of cores saved as " + printing.pdfPath + ".");
  CheckPdf(printing.pdfPath, reports::CoreDataTable());

  // A folder that is not there: the user hears why, nothing else changes.
  printing.pdfPath = Path("missing/report.pdf");
  window.findChild<QAction*>(QStringLiteral("ExportReportMnu"))->trigger();
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0], "The design report could not be saved as " + printing.pdfPath +
                                  ": No such file or directory.\r\rThe design is unchanged.");
  EXPECT_EQ(window.model().PrintStatus, "");
}

}  // namespace
}  // namespace vtq
