// vtq: the design window on the desktop.
#include <QApplication>

#include "app/program.h"
#include "ui/qt/qt_host.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  vtq::app::ConfigureApplication();
  vtq::qt::QtHost host;
  vtq::app::Program program(host);
  host.SetWindow(&program.window());
  // A design file named on the command line opens right after the start-up design.
  const QStringList args = QApplication::arguments();
  program.Start(QApplication::applicationDirPath().toStdString(), args.size() > 1 ? args.at(1) : QString());
  return QApplication::exec();
}
