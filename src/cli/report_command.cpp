// vtq-cli report and vtq-cli table: the two printouts as plain text, or as a PDF file
// drawn exactly as the window's print commands draw them.
#include <CLI/CLI.hpp>
#include <QGuiApplication>
#include <cstdio>
#include <memory>

#include "cli/cli.h"
#include "reports/qt/page_painter.h"
#include "reports/reports.h"

namespace vtq::cli {
namespace {

// The PDF needs fonts and a paint device, so a GUI application, but never a display: the
// offscreen platform serves a shell or a CI machine alike.
int WritePdfFile(const reports::Document& doc, const std::string& path, std::string_view what,
                 std::ostream& out, std::ostream& err) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  // Qt's notes about the environment (no runtime folder, ...) are not the user's concern
  // here; real failures come back from WritePdf.
  qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtCriticalMsg || type == QtFatalMsg) std::fprintf(stderr, "vtq-cli: %s\n", qPrintable(text));
  });
  int argc = 1;
  char name[] = "vtq-cli";
  char* argv[] = {name, nullptr};
  QGuiApplication app(argc, argv);
  const std::string error = reports::WritePdf(doc, QString::fromStdString(path));
  if (!error.empty()) {
    err << "vtq-cli: cannot write " << path << ": " << error << "\n";
    return kExitFailure;
  }
  out << what << " written to " << path << "\n";
  return kExitOk;
}

}  // namespace

void RegisterReportCommands(Commands& commands) {
  CLI::App* report = commands.app.add_subcommand(
      "report", "Compute a design as the window would and print its design report");
  auto args = std::make_shared<DesignArgs>();
  auto date = std::make_shared<std::string>();
  auto reportPdf = std::make_shared<std::string>();
  AddDesignOptions(*report, *args);
  report->add_option("--date", *date, "Date in the report's title, MM-DD-YYYY (default: today)")
      ->check(CLI::Validator(
          [](const std::string& text) {
            return reports::ParseDateText(text)
                       ? std::string()
                       : "expected a calendar date as MM-DD-YYYY, got '" + text + "'";
          },
          "MM-DD-YYYY"));
  report->add_option("--pdf", *reportPdf, "Write the report as a PDF file instead of printing it as text");
  commands.actions.emplace_back(report, [args, date, reportPdf](std::ostream& out, std::ostream& err) {
    ShellHost host;
    WindowModel model(host);
    if (!ComputeOrReport(model, host, args->Resolve(), err)) return kExitUsage;
    const reports::ReportDate when = date->empty() ? reports::Today() : *reports::ParseDateText(*date);
    const reports::Document doc = reports::DesignReport(model.window, when);
    if (!reportPdf->empty()) return WritePdfFile(doc, *reportPdf, "Design report", out, err);
    out << reports::RenderText(doc);
    return kExitOk;
  });

  CLI::App* table = commands.app.add_subcommand("table", "Print the table of all catalogue cores");
  auto tablePdf = std::make_shared<std::string>();
  table->add_option("--pdf", *tablePdf, "Write the table as a PDF file instead of printing it as text");
  commands.actions.emplace_back(table, [tablePdf](std::ostream& out, std::ostream& err) {
    const reports::Document doc = reports::CoreDataTable();
    if (!tablePdf->empty()) return WritePdfFile(doc, *tablePdf, "Table of cores", out, err);
    out << reports::RenderText(doc);
    return kExitOk;
  });
}

}  // namespace vtq::cli
