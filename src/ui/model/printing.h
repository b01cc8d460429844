// What the print commands ask of their surroundings: the system's default printer, a
// PDF file, and the two questions around them. The Qt window implements it with the
// print system and file dialogs, tests with fakes.
#pragma once

#include <string>
#include <string_view>

#include "reports/page.h"
#include "reports/reports.h"

namespace vtq {

// How a print job went: the printer it went to, and what happened when it did not.
struct PrintResult {
  std::string printer;  // the default printer's name, where there is one
  std::string failure;  // empty when the job was handed over, else a phrase
};

class Printing {
 public:
  virtual ~Printing() = default;

  // Sends the document to the default printer as one job, with no dialog and no
  // preview. A failure is said as a phrase that can follow "could not be printed:"
  // ("no printer is installed", "the printer Office could not start the page").
  virtual PrintResult PrintOnDefaultPrinter(const reports::Document& doc) = 0;

  // After a failed print: shows the text (lines joined by a carriage return) and asks
  // whether to save the page as a PDF file instead. True for yes.
  virtual bool OfferPdf(std::string_view text, std::string_view title) = 0;

  // Save dialog for a PDF file, starting at the suggested name: the chosen path, or an
  // empty text when the user cancelled.
  virtual std::string AskPdfFileName(std::string_view suggestedName) = 0;

  // Writes the document as a PDF file. Empty on success, else the reason.
  virtual std::string WritePdf(const reports::Document& doc, const std::string& path) = 0;

  // The date printed in the report's title.
  virtual reports::ReportDate Today() { return reports::Today(); }
};

}  // namespace vtq
