// The print commands of the design window: the design report (the Print button and
// File > Print > Design), the core table (File > Print > Table of Cores) and both as
// PDF files (File > Export ...). They only read the design: nothing is recalculated and
// nothing changes, whether the printer works or not.
#include <algorithm>

#include "reports/reports.h"
#include "ui/model/window_model.h"

namespace vtq {
namespace {

// A part number as the start of a file name, when it is a plain one ("QN-80111-KX").
std::string ReportFileName(const OutputBoxes& boxes) {
  const std::string& pn = boxes.txtPN;
  const bool plain = !pn.empty() && std::all_of(pn.begin(), pn.end(), [](char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-';
  });
  return plain ? pn + " Design Report.pdf" : "Design Report.pdf";
}

constexpr std::string_view kTableFileName = "Table of Cores.pdf";
constexpr std::string_view kPrintTitle = "Print";
constexpr std::string_view kExportTitle = "Export as PDF";

std::string Capitalised(std::string_view what) {
  std::string text(what);
  if (!text.empty() && text[0] >= 'a' && text[0] <= 'z') text[0] = static_cast<char>(text[0] - 'a' + 'A');
  return text;
}

}  // namespace

void WindowModel::PrintButton_Click() {
  PrintDocument(reports::DesignReport(window, host_.Today()), "design report",
                ReportFileName(window.outputs));
}

void WindowModel::DesignMnu_Click() {
  PrintButton_Click();
}

void WindowModel::TableMnu_Click() {
  PrintDocument(reports::CoreDataTable(), "table of cores", std::string(kTableFileName));
}

void WindowModel::ExportReportMnu_Click() {
  ExportDocument(reports::DesignReport(window, host_.Today()), "design report",
                 ReportFileName(window.outputs));
}

void WindowModel::ExportTableMnu_Click() {
  ExportDocument(reports::CoreDataTable(), "table of cores", std::string(kTableFileName));
}

void WindowModel::PrintDocument(const reports::Document& doc, std::string_view what,
                                const std::string& fileName) {
  PrintStatus.clear();
  const std::string unable = "The " + std::string(what) + " could not be printed: ";
  if (!host_.CanPrint()) {
    host_.MsgBox(unable + "this program has no access to a print system.\r\rThe design is unchanged.",
                 kPrintTitle);
    return;
  }
  const PrintResult result = host_.PrintOnDefaultPrinter(doc);
  if (result.failure.empty()) {
    PrintStatus = Capitalised(what) + " sent to the printer " + result.printer + ".";
    return;
  }
  const std::string text = unable + result.failure + ".\r\rThe design is unchanged.\r\rSave the " +
                           std::string(what) + " as a PDF file instead?";
  if (host_.OfferPdf(text, kPrintTitle)) ExportDocument(doc, what, fileName);
}

void WindowModel::ExportDocument(const reports::Document& doc, std::string_view what,
                                 const std::string& fileName) {
  PrintStatus.clear();
  if (!host_.CanPrint()) {
    host_.MsgBox("The " + std::string(what) +
                     " could not be saved: this program has no way to write PDF files here.\r\rThe design is "
                     "unchanged.",
                 kExportTitle);
    return;
  }
  FileDialogSettings dialog;
  dialog.FileName = fileName;
  const std::optional<std::string> chosen = host_.ChooseFile(FileDialogPurpose::ExportPdf, dialog);
  if (!chosen || chosen->empty()) return;
  const std::string& path = *chosen;
  const std::string failure = host_.WritePdf(doc, path);
  if (!failure.empty()) {
    host_.MsgBox("The " + std::string(what) + " could not be saved as " + path + ": " + failure +
                     ".\r\rThe design is unchanged.",
                 kExportTitle);
    return;
  }
  PrintStatus = Capitalised(what) + " saved as " + path + ".";
}

}  // namespace vtq
