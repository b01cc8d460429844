// vtq-cli report and vtq-cli table: the two printouts as plain text, or as a PDF file
// drawn exactly as the window's print commands draw them.
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

#include "cli/cli.h"
#include "cli/pdf_output.h"
#include "reports/reports.h"

namespace vtq::cli {

// Written through the PDF writer module, drawn exactly as the window prints the page.
// "-" is standard output: the module writes files only, so the page goes through a
// scratch file whose bytes are kept for the command to write.
std::string ShellHost::WritePdf(const reports::Document& doc, const std::string& file) {
  pdf.clear();
  const bool toOutput = file == "-";
  std::string target = file;
  if (toOutput) {
    std::error_code ec;
    const std::filesystem::path dir = std::filesystem::temp_directory_path(ec);
    target = ((ec ? std::filesystem::path("/tmp") : dir) / "vtq-cli-pdf-XXXXXX").string();
    const int fd = ::mkstemp(target.data());
    if (fd < 0) return pdfFailure = "cannot make a scratch file for the PDF";
    ::close(fd);
  }
  pdfFailure = WritePdfFile(doc, target);
  if (toOutput) {
    std::ifstream in(target, std::ios::binary);
    pdf.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    std::remove(target.c_str());
  }
  return pdfFailure;
}

namespace {

// A print command of the window run in a shell: the page as text on standard output, or
// (`pdfPath` not empty) its Export ... as PDF with the path as the dialog's answer; the
// message then moves to the error stream when the PDF itself is the output.
int Print(WindowModel& model, ShellHost& host, void (WindowModel::*print)(), void (WindowModel::*exportPdf)(),
          const std::string& pdfPath, std::string_view what, std::ostream& out, std::ostream& err) {
  if (pdfPath.empty()) {
    (model.*print)();
    if (!host.printed) return Fail(err, "nothing was printed", kExitFailure);
    out << reports::RenderText(*host.printed);
    return kExitOk;
  }
  host.path = pdfPath;
  (model.*exportPdf)();
  if (model.PrintStatus.empty()) {
    if (host.pdfFailure.empty()) host.pdfFailure = "nothing was written";
    err << "vtq-cli: cannot write " << Printable(pdfPath) << ": " << host.pdfFailure << "\n";
    return kExitFailure;
  }
  if (pdfPath == "-") {
    out << host.pdf;
    err << what << " written to standard output\n";
  } else {
    out << what << " written to " << Printable(pdfPath) << "\n";
  }
  return kExitOk;
}

// An empty --pdf is a mistake, not a request for the text page.
std::string NamesAFile(std::string& text) {
  return text.empty() ? "a file name is needed (- for standard output)" : std::string();
}

}  // namespace

void RegisterReportCommands(Commands& commands) {
  CLI::App* report = commands.app.add_subcommand(
      "report", "Compute a design as the window would and print its design report");
  auto date = std::make_shared<std::string>();
  auto reportPdf = std::make_shared<std::string>();
  AddDesignAction(
      commands, *report,
      [date, reportPdf](WindowModel& model, ShellHost& host, std::ostream& out, std::ostream& err) {
        if (!date->empty()) host.date = reports::ParseDateText(*date);
        return Print(model, host, &WindowModel::PrintButton_Click, &WindowModel::ExportReportMnu_Click,
                     *reportPdf, "Design report", out, err);
      });
  report->add_option("--date", *date, "Date in the report's title, MM-DD-YYYY (default: today)")
      ->check(CLI::Validator(
          [](const std::string& text) {
            return reports::ParseDateText(text)
                       ? std::string()
                       : "expected a calendar date as MM-DD-YYYY, got '" + text + "'";
          },
          "MM-DD-YYYY"));
  report
      ->add_option("--pdf", *reportPdf,
                   "Write the report as a PDF file instead of printing it as text (- for standard output)")
      ->check(CLI::Validator(NamesAFile, ""));

  CLI::App* table = commands.app.add_subcommand("table", "Print the table of all catalogue cores");
  auto tablePdf = std::make_shared<std::string>();
  table
      ->add_option("--pdf", *tablePdf,
                   "Write the table as a PDF file instead of printing it as text (- for standard output)")
      ->check(CLI::Validator(NamesAFile, ""));
  commands.actions.emplace_back(table, [tablePdf](std::ostream& out, std::ostream& err) {
    // The table needs no design: the window's print command as it stands at start.
    ShellHost host;
    WindowModel model(host);
    return Print(model, host, &WindowModel::TableMnu_Click, &WindowModel::ExportTableMnu_Click, *tablePdf,
                 "Table of cores", out, err);
  });
}

}  // namespace vtq::cli
