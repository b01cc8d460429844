// Printers that fail: the window says which and what happened, offers the PDF, and the
// design stays as it was. The queues come from scripts/cups-setup; PRINTER picks one as
// this process's default without touching the machine's.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QPrinterInfo>

#include "test_printing.h"

namespace vtq {
namespace {

TEST(FailingPrinter, SaysWhatHappenedAndOffersAPdf) {
  const std::pair<const char*, const char*> cases[] = {
      {"VTQ_PDF_REFUSING", "the printer VTQ_PDF_REFUSING is not accepting jobs"},
      {"VTQ_PDF_STOPPED", "the printer VTQ_PDF_STOPPED is stopped or reports an error"},
  };
  for (const auto& [queue, said] : cases) {
    SCOPED_TRACE(queue);
    if (QPrinterInfo::printerInfo(QString::fromLatin1(queue)).isNull()) {
      GTEST_SKIP() << "no print queue " << queue << " (CUPS not running?): run scripts/cups-setup";
    }
    qputenv("PRINTER", queue);
    testing::ScriptedHost host;
    qt::MainWindow window{host};
    testing::TestPrinting printing{&window};
    qt::InstallPrinting(window, printing);
    window.Load(".");
    host.messages.clear();
    const DesignWindow before = window.model().window;

    window.findChild<QAbstractButton*>(QStringLiteral("PrintButton"))->click();
    ASSERT_EQ(printing.offers.size(), 1u) << window.model().PrintStatus;
    EXPECT_EQ(printing.offers[0],
              std::string("The design report could not be printed: ") + said +
                  ".\r\rThe design is unchanged.\r\rSave the design report as a PDF file instead?");
    EXPECT_EQ(window.model().PrintStatus, "");
    EXPECT_EQ(window.model().outputs().txtPN, before.outputs.txtPN);
    EXPECT_EQ(window.model().state().CurrentValue, before.state.CurrentValue);
    EXPECT_TRUE(host.messages.empty());
  }
}

}  // namespace
}  // namespace vtq
