// vtq: the design window on the desktop.
#include <QApplication>

#include "ui/qt/analysis_actions.h"
#include "ui/qt/appearance.h"
#include "ui/qt/file_dialog_qt.h"
#include "ui/qt/main_window.h"
#include "ui/qt/printing_qt.h"
#include "ui/qt/qt_host.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("vtq"));
  QApplication::setApplicationDisplayName(QStringLiteral("Common Mode Inductor Design"));
  vtq::qt::LoadWindowFonts();
  QApplication::setFont(vtq::qt::WindowFont());
  QApplication::setWindowIcon(vtq::qt::WindowIcon());

  vtq::qt::QtHost host;
  vtq::qt::MainWindow window(host);
  host.SetWindow(&window);

  // Commands served by other parts of the program are handed to the window and the
  // model here, before the start-up runs.
  vtq::qt::QtPrinting printing(&window);
  vtq::qt::InstallPrinting(window, printing);
  vtq::qt::QtFileDialog fileDialog(&window);
  vtq::qt::ConnectDesignFiles(window, fileDialog);
  vtq::qt::InstallAnalysis(window, host);

  window.Load(QApplication::applicationDirPath().toStdString());
  // A design file named on the command line (a double-click in a file manager) opens
  // right after the start-up design.
  if (QApplication::arguments().size() > 1) vtq::qt::OpenDesignFile(window, QApplication::arguments().at(1));
  return QApplication::exec();
}
