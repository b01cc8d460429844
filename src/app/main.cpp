// vtq: the design window on the desktop.
#include <QApplication>
#include <QCommandLineParser>
#include <csignal>
#include <cstdio>
#include <cstdlib>
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

// Qt ends the program with abort() when it finds no display to connect to, which reads
// as a crash (and leaves a core file). Until the application object stands, a fatal
// message says what happened and ends the program with status 1 instead.
void NoWindowWithoutDisplay(QtMsgType type, const QMessageLogContext&, const QString& text) {
  std::fprintf(stderr, "vtq: %s\n", qPrintable(text));
  if (type != QtFatalMsg) return;
  std::fputs(
      "vtq: the design window cannot open without a display (DISPLAY or WAYLAND_DISPLAY). vtq-cli computes "
      "the same designs without one.\n",
      stderr);
  std::_Exit(1);
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
    // A full disk or a closed pipe is a failure, not a silent success.
    if (std::fputs(qPrintable(text), stdout) == EOF || std::fflush(stdout) != 0) {
      std::fputs("vtq: could not write the output\n", stderr);
      return 1;
    }
    return 0;
  }

  const QtMessageHandler previous = qInstallMessageHandler(NoWindowWithoutDisplay);
  QApplication app(argc, argv);
  qInstallMessageHandler(previous);
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
