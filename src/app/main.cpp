// vtq: the design window on the desktop.
#include <QApplication>
#include <QCommandLineParser>
#include <csignal>
#include <cstdio>
#include <optional>

#include "app/first_paint.h"
#include "app/program.h"
#include "ui/qt/qt_host.h"

namespace {

void DescribeArguments(QCommandLineParser& parser) {
  parser.setApplicationDescription(QStringLiteral("Design common-mode filter chokes in a window."));
  parser.addPositionalArgument(QStringLiteral("file"),
                               QStringLiteral("A design file (.vtq) to open after the start-up design."),
                               QStringLiteral("[file]"));
}

}  // namespace

int main(int argc, char** argv) {
  // A write past a file-size limit then fails with EFBIG, which Save reports, instead of
  // killing the program with the temporary file left behind.
  std::signal(SIGXFSZ, SIG_IGN);
  QApplication::setApplicationName(QStringLiteral("vtq"));
  QApplication::setApplicationVersion(QStringLiteral(VTQ_VERSION));
  QCommandLineParser parser;
  const QCommandLineOption help = parser.addHelpOption();
  const QCommandLineOption version = parser.addVersionOption();
  DescribeArguments(parser);
  // Help and version are answered before the application connects to a display, so
  // they work in a terminal without one.
  QStringList early;
  for (int i = 0; i < argc; ++i) early << QString::fromLocal8Bit(argv[i]);
  if (parser.parse(early) && (parser.isSet(help) || parser.isSet(version))) {
    // Without an application object the parser does not know the program's name.
    const QString text = parser.isSet(help) ? parser.helpText().replace(QStringLiteral("<executable_name>"),
                                                                        QStringLiteral("vtq"))
                                            : QStringLiteral("vtq %1\n").arg(QStringLiteral(VTQ_VERSION));
    std::fputs(qPrintable(text), stdout);
    return 0;
  }

  QApplication app(argc, argv);
  // The start-up benchmark's signal: the program ends once the design window and the
  // disclaimer over it are first on screen. Unset, it costs one look-up.
  std::optional<vtq::app::FirstPaintReport> firstPaint;
  if (qEnvironmentVariableIsSet("VTQ_FIRST_PAINT")) app.installEventFilter(&firstPaint.emplace(2));
  // Qt's own options (-platform, ...) are gone from the arguments by now.
  parser.process(app);
  vtq::app::ConfigureApplication();
  vtq::qt::QtHost host;
  vtq::app::Program program(host);
  host.SetWindow(&program.window());
  const QStringList files = parser.positionalArguments();
  program.Start(QApplication::applicationDirPath().toStdString(),
                files.isEmpty() ? QString() : files.first());
  return QApplication::exec();
}
