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
namespace {

// Written through the PDF writer module, drawn exactly as the window prints the page.
// "-" is standard output: the module writes files only, so the page goes through a
// scratch file, and the message moves to the error stream, leaving the output the PDF alone.
int WritePdf(const reports::Document& doc, const std::string& path, std::string_view what, std::ostream& out,
             std::ostream& err) {
  const bool toOutput = path == "-";
  std::string target = path;
  if (toOutput) {
    std::error_code ec;
    const std::filesystem::path dir = std::filesystem::temp_directory_path(ec);
    target = ((ec ? std::filesystem::path("/tmp") : dir) / "vtq-cli-pdf-XXXXXX").string();
    const int fd = ::mkstemp(target.data());
    if (fd < 0) return Fail(err, "cannot make a scratch file for the PDF", kExitFailure);
    ::close(fd);
  }
  const std::string error = WritePdfFile(doc, target);
  std::string bytes;
  if (toOutput) {
    std::ifstream file(target, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    std::remove(target.c_str());
  }
  if (!error.empty()) {
    err << "vtq-cli: cannot write " << Printable(path) << ": " << error << "\n";
    return kExitFailure;
  }
  if (toOutput) {
    out << bytes;
    err << what << " written to standard output\n";
  } else {
    out << what << " written to " << Printable(path) << "\n";
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
  AddDesignAction(commands, *report,
                  [date, reportPdf](WindowModel& model, ShellHost&, std::ostream& out, std::ostream& err) {
                    const reports::ReportDate when =
                        date->empty() ? reports::Today() : *reports::ParseDateText(*date);
                    const reports::Document doc = reports::DesignReport(model.window, when);
                    if (!reportPdf->empty()) return WritePdf(doc, *reportPdf, "Design report", out, err);
                    out << reports::RenderText(doc);
                    return kExitOk;
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
    const reports::Document doc = reports::CoreDataTable();
    if (!tablePdf->empty()) return WritePdf(doc, *tablePdf, "Table of cores", out, err);
    out << reports::RenderText(doc);
    return kExitOk;
  });
}

}  // namespace vtq::cli
