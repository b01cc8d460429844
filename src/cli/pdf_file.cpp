// PDF output of vtq-cli report and table, drawn exactly as the window's print commands draw.
#include <QGuiApplication>
#include <cstdio>

#include "cli/cli.h"
#include "reports/qt/page_painter.h"

namespace vtq::cli {

// The PDF needs fonts and a paint device, so a GUI application, but never a display: the
// offscreen platform serves a shell or a CI machine alike.
int WritePdfFile(const reports::Document& doc, const std::string& path, std::string_view what,
                 std::ostream& out, std::ostream& err) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  // Qt's notes about the environment (no runtime folder, ...) are not the user's concern
  // here; real failures come back from WritePdf.
  qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtCriticalMsg || type == QtFatalMsg) std::fprintf(stderr, "vtq-cli: %s\n", qPrintable(text));
  });
  int argc = 1;
  char name[] = "vtq-cli";
  char* argv[] = {name, nullptr};
  QGuiApplication app(argc, argv);
  const std::string error = reports::WritePdf(doc, QString::fromStdString(path));
  if (!error.empty()) {
    err << "vtq-cli: cannot write " << path << ": " << error << "\n";
    return kExitFailure;
  }
  out << what << " written to " << path << "\n";
  return kExitOk;
}

}  // namespace vtq::cli
