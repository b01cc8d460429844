// The print commands on the desktop: the system's default printer through Qt's print
// support (CUPS on Linux), PDF files through a save dialog. The print system is touched
// only inside a command, never at start-up, so a print server that does not answer
// cannot hold up the window's opening.
#pragma once

#include <string_view>

#include "ui/model/host.h"

class QWidget;

namespace vtq::qt {

class MainWindow;

// Sends the document to the system's default printer as one job, with no dialog and no
// preview; what went wrong as a phrase (see WindowHost::PrintOnDefaultPrinter).
PrintResult PrintOnDefaultPrinter(const reports::Document& doc);

// After a failed print: the text and a choice between saving the page as PDF and
// cancelling, modal to the parent. True for the PDF.
bool OfferPdf(QWidget* parent, std::string_view text, std::string_view title);

// Plugs the print commands into the window: connects the Print button and File > Print > Design and Table of
// Cores, and adds File > Export Report as PDF... and Export Table of Cores as PDF... below the Print submenu.
void InstallPrinting(MainWindow& window);

}  // namespace vtq::qt
