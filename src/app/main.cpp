// vtq: the design window on the desktop.
#include <QApplication>
#include <QCommandLineParser>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string_view>
#include <utility>

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

constexpr const char* kNoDisplay =
    "vtq: the design window cannot open without a display (DISPLAY or WAYLAND_DISPLAY). vtq-cli computes "
    "the same designs without one.\n";

// Whether Qt is left to find a display and none is named: no platform chosen (the
// environment's QT_QPA_PLATFORM, the -platform option) and neither DISPLAY nor
// WAYLAND_DISPLAY set. Said before the application object, which would only fail.
bool NoDisplayNamed(int argc, char** argv) {
  if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) return false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "-platform" || arg == "--platform" || arg.starts_with("-platform=") ||
        arg.starts_with("--platform="))
      return false;
  }
  return qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

// Qt ends the program with abort() when the display it was given cannot be reached, which
// reads as a crash (and leaves a core file), after a warning that the platform plugin "could
// not be loaded even though it was found" and advice to reinstall, neither of which
// applies. Until the application object stands, the toolkit's messages are held back: a
// fatal one becomes one line naming the display and status 1; otherwise they follow.
QStringList heldMessages;

void NoWindowWithoutDisplay(QtMsgType type, const QMessageLogContext&, const QString& text) {
  if (type != QtFatalMsg) {
    heldMessages << text;
    return;
  }
  const QByteArray display = qgetenv("DISPLAY"), wayland = qgetenv("WAYLAND_DISPLAY");
  std::fprintf(stderr,
               "vtq: the design window cannot open: no display answers at %s. vtq-cli computes the same "
               "designs without one.\n",
               (display.isEmpty() ? "WAYLAND_DISPLAY=" + wayland : "DISPLAY=" + display).constData());
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

  if (NoDisplayNamed(argc, argv)) {
    std::fputs(kNoDisplay, stderr);
    return 1;
  }
  const QtMessageHandler previous = qInstallMessageHandler(NoWindowWithoutDisplay);
  QApplication app(argc, argv);
  qInstallMessageHandler(previous);
  for (const QString& text : std::as_const(heldMessages)) std::fprintf(stderr, "vtq: %s\n", qPrintable(text));
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
