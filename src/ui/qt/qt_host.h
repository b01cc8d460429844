// The design window's host on the desktop: real modal dialogs, the beep, the help
// viewer, the file dialogs and the system's printers. Every modal exchange of the model
// passes through here, so tests can put a scripted host in its place.
#pragma once

#include <QPointer>
#include <QString>
#include <memory>

#include "ui/model/window_model.h"

class QSettings;
class QWidget;

namespace vtq::qt {

class HelpWindow;
class MainWindow;

class QtHost : public WindowHost {
 public:
  // What is remembered between runs (the design files' folder, the recent designs) goes
  // to the program's settings, or to settingsFile (an INI file) where one is named.
  explicit QtHost(QString settingsFile = {});
  ~QtHost() override;
  // The window the dialogs belong to; set once it exists.
  void SetWindow(MainWindow* window) { window_ = window; }

  std::string InputBox(std::string_view prompt, std::string_view title,
                       std::string_view defaultAnswer) override;
  int MsgBox(std::string_view text, std::string_view title) override;
  void SetFocus(std::string_view control) override;
  void ShowWindow() override;
  void Beep() override;
  void Unload() override;
  bool ShowHelp(std::string_view page) override;
  std::optional<std::string> ChooseFile(FileDialogPurpose purpose,
                                        const FileDialogSettings& settings) override;
  std::vector<std::string> RecentDesigns() const override;
  void SetRecentDesigns(const std::vector<std::string>& paths) override;
  bool CanPrint() const override { return true; }
  PrintResult PrintOnDefaultPrinter(const reports::Document& doc) override;
  bool OfferPdf(std::string_view text, std::string_view title) override;
  std::string WritePdf(const reports::Document& doc, const std::string& path) override;
  void ShowCoreTable(const CoreTableView& view, bool raise) override;
  void ShowImpedance(const ImpedanceView& view, bool raise) override;
  void ShowEmissions(const EmissionsView& view, const CoreSearchView& search, bool raise) override;
  void ShowLibrary(const LibraryWindowView& view, bool raise) override;
  void ShowSafety(const SafetyWindowView& view, bool raise) override;
  std::string WritePlotPicture(const PlotPicture& picture, const std::string& path,
                               PictureFormat format) override;

  HelpWindow* helpWindow() const;

 private:
  // The window a dialog belongs to: the view the user is in, else the design window.
  QWidget* DialogParent() const;
  QSettings& Settings() const;

  QString settingsFile_;
  mutable std::unique_ptr<QSettings> settings_;  // opened when first needed
  QPointer<MainWindow> window_;
  QPointer<HelpWindow> help_;
  QString lastDesignFile_;  // where the design-file dialog opens next
  QString exportFolder_;    // where the export dialogs open next
};

// A message's lines are joined by a lone carriage return; a Qt label breaks at "\n".
QString DialogText(std::string_view text);

}  // namespace vtq::qt
