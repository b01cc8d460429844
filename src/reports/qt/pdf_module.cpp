// The PDF writer module: the printouts' Qt back end behind the plain interface of
// reports/pdf_module.h, so a program that writes no PDF never links the toolkit.
#include <QGuiApplication>
#include <cstdio>

#include "reports/pdf_module.h"
#include "reports/qt/page_painter.h"

namespace {

std::string Write(const vtq::reports::Document& doc, const std::string& path) {
  // Fonts and a paint device need a GUI application, but never a display: the offscreen
  // platform serves a shell or a CI machine alike.
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
  return vtq::reports::WritePdf(doc, QString::fromStdString(path));
}

const vtq::reports::PdfModule kModule{vtq::reports::kPdfModuleAbi, &Write};

}  // namespace

extern "C" __attribute__((visibility("default"))) const vtq::reports::PdfModule* vtq_pdf_module() {
  return &kModule;
}
