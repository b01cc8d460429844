// One program start for the start-up benchmark, reported when first painted
// (first_paint.h): "text" shows an empty Qt window of the design window's size with one
// line of text in the window's font (which pays for the font database); "design" starts
// the program as its main does, with the disclaimer answered, and reports once the first
// design has been painted. The bare window the two are measured against is a program of
// its own (bare_probe.cpp). Usage: vtq_startup_probe text|design [FD]
#include <QApplication>
#include <QLabel>
#include <QWidget>
#include <cstring>

#include "answering_host.h"
#include "app/program.h"
#include "first_paint.h"
#include "ui/qt/appearance.h"

int main(int argc, char** argv) {
  const char* mode = argc > 1 ? argv[1] : "design";
  const char* fd = argc > 2 ? argv[2] : nullptr;
  QApplication app(argc, argv);
  if (std::strcmp(mode, "text") == 0) {
    QWidget window;
    window.resize(697, 484);
    vtq::qt::LoadWindowFonts();
    auto* label = new QLabel(QStringLiteral("Kestralon Common Mode Inductor Design"), &window);
    label->setFont(vtq::qt::WindowFont());
    window.show();
    return vtq::bench::ReportFirstPaint(window, fd) ? 0 : 1;
  }
  vtq::app::ConfigureApplication();
  vtq::bench::AnsweringHost host;
  vtq::app::Program program(host);
  host.window = &program.window();
  program.Start(QApplication::applicationDirPath().toStdString());
  if (program.window().model().outputs().txtPN.empty()) return 1;  // no design
  return vtq::bench::ReportFirstPaint(program.window(), fd) ? 0 : 1;
}
