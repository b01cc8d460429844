// The baseline of the start-up benchmark: a bare Qt program that shows an empty window
// of the design window's size and reports when it is first painted (first_paint.h). A
// program of its own, linked with Qt Widgets alone, so that it loads no more than any
// Qt window program does. Usage: vtq_bare_probe bare [FD]
#include <QApplication>
#include <QWidget>

#include "first_paint.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QWidget window;
  window.resize(697, 484);
  window.show();
  return vtq::bench::ReportFirstPaint(window, argc > 2 ? argv[2] : nullptr) ? 0 : 1;
}
