// The window's real printing with what a test must not leave to a person: a fixed date,
// scripted answers instead of modal dialogs, and job names of this run's own.
#pragma once

#include <QCoreApplication>
#include <string>
#include <vector>

#include "scripted_host.h"
#include "ui/qt/main_window.h"
#include "ui/qt/printing_qt.h"

namespace vtq::testing {

// Job names carry the process id, so that runs of other build trees on the same
// machine never pick up each other's files from the queue.
struct TestPrinting : qt::QtPrinting {
  using QtPrinting::QtPrinting;
  std::vector<std::string> offers;
  std::string suffix = " " + std::to_string(QCoreApplication::applicationPid());
  PrintResult PrintOnDefaultPrinter(const reports::Document& doc) override {
    reports::Document named = doc;
    named.title += suffix;
    return QtPrinting::PrintOnDefaultPrinter(named);
  }
  bool acceptOffer = false;
  std::string pdfPath;  // the save dialog's answer; empty: cancelled
  bool OfferPdf(std::string_view text, std::string_view) override {
    offers.emplace_back(text);
    return acceptOffer;
  }
  std::string AskPdfFileName(std::string_view) override { return pdfPath; }
  reports::ReportDate Today() override { return {2026, 12, 4}; }
};

}  // namespace vtq::testing
