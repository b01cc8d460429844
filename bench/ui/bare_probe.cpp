// The baseline of the start-up benchmark: a bare Qt program that shows an empty window
// of the design window's size, lets it paint and exits. A program of its own, linked
// with Qt Widgets alone, so that it loads no more than any Qt window program does.
#include <QApplication>
#include <QWidget>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QWidget window;
  window.resize(697, 484);
  window.show();
  QApplication::processEvents();
  window.repaint();
  return 0;
}
