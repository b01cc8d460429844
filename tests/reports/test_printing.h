// The window's real printing with what a test must not leave to a person: a fixed date,
// scripted answers instead of modal dialogs, and job names of this run's own.
#pragma once

#include <QCoreApplication>
#include <string>

#include "reports/qt/page_painter.h"
#include "support/scripted_host.h"
#include "ui/qt/main_window.h"
#include "ui/qt/printing_qt.h"

namespace vtq::testing {

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

}  // namespace vtq::testing
