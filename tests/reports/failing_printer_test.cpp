// Printers that fail: the window says what happened, offers the PDF, and the design stays
// as it was. The queues come from scripts/cups-setup; PRINTER picks one as this process's
// default printer without touching the machine's.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QPrinterInfo>
#include <QTemporaryDir>

#include "pdf_layout.h"
#include "test_printing.h"

namespace vtq {
namespace {

TEST(FailingPrinter, SaysWhatHappenedAndOffersThePageAsPdf) {
  if (QStringLiteral(VTQ_PDFTOTEXT).isEmpty()) GTEST_SKIP() << "pdftotext (poppler-utils) was not found";
  if (QPrinterInfo::printerInfo(QStringLiteral("VTQ_PDF_REFUSING")).isNull()) {
    GTEST_SKIP() << "no print queue VTQ_PDF_REFUSING (CUPS not running?): run scripts/cups-setup";
  }
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const std::pair<const char*, const char*> cases[] = {
      {"VTQ_PDF_REFUSING", "the printer VTQ_PDF_REFUSING is not accepting jobs"},
      {"VTQ_PDF_STOPPED", "the printer VTQ_PDF_STOPPED is stopped or reports an error"},
      {"VTQ_NO_SUCH_QUEUE", "no printer is chosen as the default printer"},
  };
  for (const auto& [queue, said] : cases) {
    SCOPED_TRACE(queue);
    qputenv("PRINTER", queue);
    testing::PrintingHost host;
    qt::MainWindow window{host};
    qt::InstallPrinting(window);
    window.Load(".");
    host.messages.clear();
    const std::string partNumber = window.model().outputs().txtPN;
    host.acceptOffer = true;
    host.pdfPath = dir.filePath(QString::fromLatin1(queue) + QStringLiteral(".pdf")).toStdString();

    window.findChild<QAbstractButton*>(QStringLiteral("PrintButton"))->click();
    ASSERT_EQ(host.offers.size(), 1u) << window.model().PrintStatus;
    EXPECT_EQ(host.offers[0],
              std::string("The design report could not be printed: ") + said +
                  ".\r\rThe design is unchanged.\r\rSave the design report as a PDF file instead?");
    EXPECT_EQ(window.model().PrintStatus, "Design report saved as " + host.pdfPath + ".");
    EXPECT_EQ(window.model().outputs().txtPN, partNumber);
    EXPECT_TRUE(host.messages.empty());
    const auto words =
        reports::testing::ReadPdfWords(QStringLiteral(VTQ_PDFTOTEXT), QString::fromStdString(host.pdfPath));
    ASSERT_TRUE(words && !words->empty());
    EXPECT_TRUE(
        reports::testing::SameLayout(*words, reports::DesignReport(window.model().window, {2026, 12, 4})));

    // Saved into a folder that is not there: the user hears why.
    host.pdfPath = dir.filePath(QStringLiteral("missing/report.pdf")).toStdString();
    window.findChild<QAbstractButton*>(QStringLiteral("PrintButton"))->click();
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text,
              "The design report could not be saved as " + host.pdfPath +
                  ": the file or its folder does not exist.\r\rThe design is unchanged.");
    EXPECT_EQ(window.model().outputs().txtPN, partNumber);
  }
}

}  // namespace
}  // namespace vtq
