#include "app/program.h"

#include <QApplication>

#include "ui/qt/analysis_actions.h"
#include "ui/qt/appearance.h"
#include "ui/qt/file_dialog_qt.h"
#include "ui/qt/printing_qt.h"

namespace vtq::app {

void ConfigureApplication() {
  QApplication::setApplicationName(QStringLiteral("vtq"));
  // The remembered folder and recent designs go to ~/.config/Kestralon/vtq.conf.
  QApplication::setOrganizationName(QStringLiteral("Kestralon"));
  // No display name: under X11 Qt appends it to every window title, and each title must
  // read exactly as its text.
  QApplication::setStyle(qt::NewWindowStyle());
  qt::LoadWindowFonts();
  QApplication::setFont(qt::WindowFont());
  QApplication::setWindowIcon(qt::WindowIcon());
}

Program::Program(WindowHost& host) : window_(host) {
  // Commands served by other parts of the program are handed to the window and the
  // model here, before the start-up runs.
  qt::InstallPrinting(window_);
  qt::ConnectDesignFiles(window_);
  qt::InstallAnalysis(window_);
}

void Program::Start(const std::string& programFolder, const QString& designFile) {
  window_.Load(programFolder);
  if (!designFile.isEmpty()) qt::OpenDesignFile(window_, designFile);
}

}  // namespace vtq::app
