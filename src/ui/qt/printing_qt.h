// The print commands on the desktop: the system's default printer through Qt's print
// support (CUPS on Linux), PDF files through a save dialog. The print system is touched
// only inside a command, never at start-up, so a print server that does not answer
// cannot hold up the window's opening.
#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

#include "ui/model/printing.h"

namespace vtq::qt {

class MainWindow;

class QtPrinting : public Printing {
 public:
  // Dialogs are modal to the parent.
  explicit QtPrinting(QWidget* parent = nullptr) : parent_(parent) {}

  PrintResult PrintOnDefaultPrinter(const reports::Document& doc) override;
  bool OfferPdf(std::string_view text, std::string_view title) override;
  std::string AskPdfFileName(std::string_view suggestedName) override;
  std::string WritePdf(const reports::Document& doc, const std::string& path) override;

 private:
  QPointer<QWidget> parent_;
  QString lastFolder_;  // where the last PDF was saved, for the next save dialog
};

// Plugs the print commands into the window: hands the printing to its model, connects
// the Print button and File > Print > Design and Table of Cores, and adds File > Export
// Report as PDF... and Export Table of Cores as PDF... below the Print submenu.
void InstallPrinting(MainWindow& window, QtPrinting& printing);

}  // namespace vtq::qt
