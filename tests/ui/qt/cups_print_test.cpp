// Real printers: the window's Print button and File > Print > Table of Cores send their
// pages through Qt and CUPS to the PDF queue of the tests' own print server
// (scripts/private-cups, started by ctest), and the PDF that comes out is read back and
// checked word by word; queues that refuse,
// are stopped or are missing make the window say what happened and offer the PDF. Each
// test runs in a process of its own (PRINTER picks that process's default printer).
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPrinterInfo>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QThread>

#include "reports/qt/page_painter.h"
#include "support/pdf_layout.h"
#include "support/scripted_host.h"
#include "ui/qt/main_window.h"
#include "ui/qt/printing_qt.h"

namespace vtq {
namespace {

// Job names carry the process id, so that runs of other build trees on the same
// machine never pick up each other's files from the queue.
struct PrintingHost : test::ScriptedHost {
  PrintingHost() { canPrint = true; }
  std::string suffix = " " + std::to_string(QCoreApplication::applicationPid());
  std::string pdfPath;  // the save dialog's answer; empty: cancelled
  PrintResult PrintOnDefaultPrinter(const reports::Document& doc) override {
    reports::Document named = doc;
    named.title += suffix;
    return qt::PrintOnDefaultPrinter(named);
  }
  std::optional<std::string> ChooseFile(FileDialogPurpose, const FileDialogSettings&) override {
    if (pdfPath.empty()) return std::nullopt;
    return pdfPath;
  }
  std::string WritePdf(const reports::Document& doc, const std::string& path) override {
    return reports::WritePdf(doc, QString::fromStdString(path));
  }
};

constexpr auto kQueue = "VTQ_PDF";
constexpr auto kQueueOutput = VTQ_CUPS_DIR "/out";
constexpr auto kServerSocket = VTQ_CUPS_DIR "/cups.sock";

// Before anything asks CUPS (libcups keeps the server it finds at its first call): only the tests'
// own server, and no lpoptions file (CUPS_SERVERROOT's or HOME's) and no PRINTER or LPDEST
// naming another default. Run however it is, this program never reaches the machine's
// printers.
const bool kOwnServer = [] {
  qputenv("CUPS_SERVER", kServerSocket);
  qputenv("CUPS_SERVERROOT", VTQ_CUPS_DIR "/client");
  qputenv("HOME", VTQ_CUPS_DIR "/home");
  qunsetenv("PRINTER");
  qunsetenv("LPDEST");
  return true;
}();

// Why the printing tests cannot run here, or empty.
std::string WhyNoPrinting() {
  if (QStringLiteral(VTQ_PDFTOTEXT).isEmpty())
    return "pdftotext (poppler-utils) was not found when the build was set up";
  if (!kOwnServer || !QFileInfo::exists(QLatin1String(kServerSocket))) {
    return std::string(
               "the tests' print server is not running (no cupsd?): ctest starts it (see the output "
               "of the test printing_server_start), or scripts/private-cups start ") +
           VTQ_CUPS_DIR;
  }
  return {};
}

class CupsPrinting : public ::testing::Test {
 protected:
  void SetUp() override {
    if (const std::string why = WhyNoPrinting(); !why.empty()) GTEST_SKIP() << why;
    ASSERT_EQ(QPrinterInfo::defaultPrinter().printerName().toStdString(), kQueue);
    ASSERT_TRUE(QFileInfo(QLatin1String(kQueueOutput)).isDir());
    QDir().mkpath(QStringLiteral(VTQ_ARTIFACT_DIR));
    qt::InstallPrinting(window);  // as the program does
    window.Load(".");
    host.messages.clear();
  }

  // Waits for the queue's PDF of the job named title (written by a filter chain: taken
  // once its size has stopped changing), reads it back and keeps it among the artifacts
  // with a picture of its first page beside it, for a person to look at.
  void CheckPrinted(const std::string& title, const char* artifact, const reports::Document& expected) {
    QString name = QString::fromStdString(title + host.suffix + "*.pdf");
    name.replace(QLatin1Char(' '), QLatin1Char('_'));
    const QDateTime deadline = QDateTime::currentDateTime().addSecs(90);
    const QString pdf = QStringLiteral(VTQ_ARTIFACT_DIR "/") + QLatin1String(artifact);
    QFileInfo found;
    for (qint64 lastSize = -1; !found.exists(); QThread::msleep(250)) {
      const auto files = QDir(QLatin1String(kQueueOutput)).entryInfoList({name}, QDir::Files, QDir::Time);
      ASSERT_TRUE(QDateTime::currentDateTime() < deadline)
          << "no PDF from CUPS in " << kQueueOutput << " within 90 s";
      if (files.isEmpty()) continue;
      if (files.first().size() > 0 && files.first().size() == lastSize) found = files.first();
      lastSize = files.first().size();
    }
    QFile::remove(pdf);
    ASSERT_TRUE(QFile::copy(found.absoluteFilePath(), pdf));
    QFile::remove(found.absoluteFilePath());
    const auto text = reports::testing::ReadPdfText(pdftotext, pdf);
    ASSERT_TRUE(text) << "the PDF from CUPS has no text";
    EXPECT_TRUE(reports::testing::SameLayout(*text, expected));
    if (!pdftoppm.isEmpty()) {
      reports::testing::RunTool(pdftoppm, QStringLiteral("-png -r 100 -f 1 -l 1").split(QLatin1Char(' '))
                                              << pdf << pdf.chopped(4));
    }
  }

  const QString pdftotext = QStringLiteral(VTQ_PDFTOTEXT);
  const QString pdftoppm = QStringLiteral(VTQ_PDFTOPPM);
  PrintingHost host;
  qt::MainWindow window{host};
};

TEST_F(CupsPrinting, PrintButtonAndTableMenuComeOutOfThePrinterAsLaidOut) {
  auto* button = window.findChild<QAbstractButton*>(QStringLiteral("PrintButton"));
  auto* tableMenu = window.findChild<QAction*>(QStringLiteral("TableMnu"));
  ASSERT_TRUE(button && tableMenu);
  ASSERT_TRUE(button->isEnabled() && tableMenu->isEnabled());

  button->click();
  ASSERT_TRUE(host.offers.empty()) << host.offers.front();
  EXPECT_EQ(window.statusBar()->currentMessage().toStdString(),
            std::string("Design report sent to the printer ") + kQueue + ".");
  CheckPrinted(std::string(reports::kDesignReportTitle), "design-report.pdf",
               reports::DesignReport(window.model().window, {2026, 12, 4}));

  tableMenu->trigger();
  ASSERT_TRUE(host.offers.empty()) << host.offers.front();
  CheckPrinted(std::string(reports::kCoreTableTitle), "table-of-cores.pdf", reports::CoreDataTable());
  EXPECT_TRUE(host.messages.empty());
}

TEST(FailingPrinter, SaysWhatHappenedAndOffersThePageAsPdf) {
  if (const std::string why = WhyNoPrinting(); !why.empty()) GTEST_SKIP() << why;
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
    PrintingHost host;
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
    const auto text =
        reports::testing::ReadPdfText(QStringLiteral(VTQ_PDFTOTEXT), QString::fromStdString(host.pdfPath));
    ASSERT_TRUE(text);
    EXPECT_TRUE(
        reports::testing::SameLayout(*text, reports::DesignReport(window.model().window, {2026, 12, 4})));

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
