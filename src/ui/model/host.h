// Everything the design window asks of its surroundings: the modal exchanges with the
// user, the file dialogs, the printer, the help viewer. The window model is given one
// host and reaches outside only through it, so the Qt window, the command line and the
// tests each give their own: real dialogs, no questions at all, or scripted answers.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/dialogs.h"
#include "engine/numbers.h"
#include "reports/page.h"
#include "reports/reports.h"
#include "ui/model/analysis_views.h"
#include "ui/model/ring_view.h"

namespace vtq {

// Option bits of a file dialog.
inline constexpr std::int32_t kFileDialogOverwritePrompt = 2;  // ask before replacing a file
inline constexpr std::int32_t kFileDialogHideReadOnly = 4;     // no "open read-only" check box

// Descriptions and patterns in pairs, every part joined by a vertical bar.
inline constexpr std::string_view kDesignFileFilter = "All Files (*.*)|*.*|CMN Inductor Files (*.vtq)|*.vtq";

// What a file dialog is shown for. The design files share one dialog whose settings keep
// their values from one use to the next (the default extension Save sets also applies
// when Open shows the dialog afterwards); the exports each have their own.
enum class FileDialogPurpose {
  Save,
  Open,
  ExportPdf,
  ExportSpice,
  ExportMas,
  SavePlot,
  OpenMaterial,
  ExportTouchstone,
  OpenMeasurement,
  OpenMas,
  ExportSafety
};

struct FileDialogSettings {
  std::string Filter;
  std::string DefaultExt;   // added to a name typed without extension; empty for none
  Integer FilterIndex = 0;  // the filter selected when the dialog opens, counted from 1
  std::int32_t Flags = 0;
  std::string FileName;  // the name the dialog suggests (the exports); empty for none
};

// How a print job went: the printer it went to, and what happened when it did not.
enum class PictureFormat { Png, Svg };

struct PrintResult {
  std::string printer;  // the default printer's name, where there is one
  std::string failure;  // empty when the job was handed over, else a phrase
};

class WindowHost : public UserDialogs {
 public:
  // ---- The window ----
  // Centre the window on the screen and show it.
  virtual void ShowWindow() = 0;
  virtual void Beep() = 0;
  // Unload the window; it being the program's only window, the program ends.
  virtual void Unload() {}
  // Show one page of the help document (an HTML file); false when it cannot be read.
  virtual bool ShowHelp(std::string_view /*page*/) { return false; }

  // ---- Files ----
  // Shows a file dialog modally: the chosen path, or nothing when the user cancelled.
  // A host without dialogs answers as a cancel.
  virtual std::optional<std::string> ChooseFile(FileDialogPurpose /*purpose*/,
                                                const FileDialogSettings& /*settings*/) {
    return std::nullopt;
  }

  // ---- Remembered from one run of the program to the next ----
  // The design files last opened or saved, most recent first. A host without a store
  // remembers nothing.
  virtual std::vector<std::string> RecentDesigns() const { return {}; }
  virtual void SetRecentDesigns(const std::vector<std::string>& /*paths*/) {}

  // ---- Printing and PDF files ----
  // False for a host that can neither print nor write PDF files: the print commands then
  // say so instead of asking anything.
  virtual bool CanPrint() const { return false; }
  // Sends the document to the default printer as one job, with no dialog and no
  // preview. A failure is said as a phrase that can follow "could not be printed:"
  // ("no printer is installed", "the printer Office could not start the page").
  virtual PrintResult PrintOnDefaultPrinter(const reports::Document& /*doc*/) {
    return {{}, "no printer is installed"};
  }
  // After a failed print: shows the text (lines joined by a carriage return) and asks
  // whether to save the page as a PDF file instead. True for yes.
  virtual bool OfferPdf(std::string_view /*text*/, std::string_view /*title*/) { return false; }
  // Writes the document as a PDF file. Empty on success, else the reason.
  virtual std::string WritePdf(const reports::Document& /*doc*/, const std::string& /*path*/) {
    return "PDF files cannot be written here";
  }
  // ---- The analysis windows ----
  // Shows the window of a view in front (`raise`), or only brings an open one up to date
  // with it. A host without windows shows nothing.
  virtual void ShowCoreTable(const CoreTableView& /*view*/, bool /*raise*/) {}
  virtual void ShowImpedance(const ImpedanceView& /*view*/, bool /*raise*/) {}
  // The conducted-emission check with the last search for a core that passes (no rows
  // before the first).
  virtual void ShowEmissions(const EmissionsView& /*view*/, const CoreSearchView& /*search*/,
                             bool /*raise*/) {}
  // The stocked-ring library and the design on the ring picked from it.
  virtual void ShowLibrary(const LibraryWindowView& /*view*/, bool /*raise*/) {}
  // The insulation between the windings and the Y-capacitor budget, with their inputs.
  virtual void ShowSafety(const SafetyWindowView& /*view*/, bool /*raise*/) {}
  // Draws a picture of a view into a file. Empty on success, else the reason.
  virtual std::string WritePlotPicture(const PlotPicture& /*picture*/, const std::string& /*path*/,
                                       PictureFormat /*format*/) {
    return "pictures cannot be drawn here";
  }

  // The date printed in the report's title.
  virtual reports::ReportDate Today() { return reports::Today(); }
};

}  // namespace vtq
