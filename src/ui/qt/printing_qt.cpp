#include "ui/qt/printing_qt.h"

#include <QMessageBox>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QStatusBar>

#include "reports/qt/page_painter.h"
#include "ui/qt/main_window.h"
#include "ui/qt/qt_host.h"

#ifdef VTQ_HAVE_CUPS
#include <cups/cups.h>
#include <dlfcn.h>

#include <cstring>
#endif

namespace vtq::qt {
namespace {

#ifdef VTQ_HAVE_CUPS
// The CUPS library is opened at the first print, not linked: it brings some twenty
// libraries with it (TLS, Kerberos, service discovery), and loading them would add
// milliseconds to every start of the program. Qt's print support opens it too.
struct CupsCalls {
  decltype(&cupsGetNamedDest) getNamedDest = nullptr;
  decltype(&cupsGetOption) getOption = nullptr;
  decltype(&cupsFreeDests) freeDests = nullptr;
};

const CupsCalls& Cups() {
  static const CupsCalls calls = [] {
    CupsCalls c;
    // The library's version-2 name, which it has kept since CUPS 1.2.
    void* library = dlopen("libcups.so.2", RTLD_LAZY | RTLD_LOCAL);
    if (!library) return c;
    c.getNamedDest = reinterpret_cast<decltype(&cupsGetNamedDest)>(dlsym(library, "cupsGetNamedDest"));
    c.getOption = reinterpret_cast<decltype(&cupsGetOption)>(dlsym(library, "cupsGetOption"));
    c.freeDests = reinterpret_cast<decltype(&cupsFreeDests)>(dlsym(library, "cupsFreeDests"));
    return c;
  }();
  return calls;
}
#endif

// Qt hands a job to CUPS without looking at the answer, so a queue that refuses jobs
// would swallow the page without a word. True where CUPS cannot tell.
bool AcceptsJobs(const QString& printer) {
#ifdef VTQ_HAVE_CUPS
  const CupsCalls& cups = Cups();
  if (!cups.getNamedDest || !cups.getOption || !cups.freeDests) return true;
  cups_dest_t* dest = cups.getNamedDest(CUPS_HTTP_DEFAULT, printer.toLocal8Bit().constData(), nullptr);
  if (!dest) return true;
  const char* accepting = cups.getOption("printer-is-accepting-jobs", dest->num_options, dest->options);
  const bool accepts = !accepting || std::strcmp(accepting, "false") != 0;
  cups.freeDests(1, dest);
  return accepts;
#else
  (void)printer;
  return true;
#endif
}

}  // namespace

PrintResult PrintOnDefaultPrinter(const reports::Document& doc) {
  const QPrinterInfo info = QPrinterInfo::defaultPrinter();
  if (info.isNull()) {
    return {{},
            QPrinterInfo::availablePrinterNames().isEmpty() ? "no printer is installed"
                                                            : "no printer is chosen as the default printer"};
  }
  const std::string name = info.printerName().toStdString();
  // A stopped queue would hold the job without a word; better to say so now.
  if (info.state() == QPrinter::Error)
    return {name, "the printer " + name + " is stopped or reports an error"};
  if (!AcceptsJobs(info.printerName())) return {name, "the printer " + name + " is not accepting jobs"};

  QPrinter printer(info, QPrinter::HighResolution);
  if (!printer.isValid()) return {name, "the printer " + name + " cannot be reached"};
  printer.setDocName(QString::fromStdString(doc.title));
  printer.setCreator(QStringLiteral("VTQ"));
  printer.setPageMargins(QMarginsF(reports::kMarginInches, reports::kMarginInches, reports::kMarginInches,
                                   reports::kMarginInches),
                         QPageLayout::Inch);
  std::string error = reports::DrawDocument(doc, printer);
  if (error.empty() && printer.printerState() == QPrinter::Error) error = "the job was refused";
  if (!error.empty()) return {name, "the printer " + name + " failed (" + error + ")"};
  return {name, {}};
}

bool OfferPdf(QWidget* parent, std::string_view text, std::string_view title) {
  QMessageBox box(QMessageBox::Warning, QString::fromUtf8(title.data(), static_cast<qsizetype>(title.size())),
                  DialogText(text), QMessageBox::NoButton, parent);
  QPushButton* save = box.addButton(QStringLiteral("Save as PDF..."), QMessageBox::AcceptRole);
  box.addButton(QMessageBox::Cancel);
  box.setDefaultButton(save);
  box.exec();
  return box.clickedButton() == save;
}

void InstallPrinting(MainWindow& window) {
  // What came of each goes to the status bar, as the file commands' does.
  for (const char* name : {"PrintButton", "DesignMnu", "TableMnu", "ExportReportMnu", "ExportTableMnu"})
    window.ConnectCommand(name);
}

}  // namespace vtq::qt
