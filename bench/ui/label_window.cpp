// The baseline of the start-up benchmark: one label in the design window's font, in a
// program of its own linked with Qt Widgets alone, reporting its first paint as the
// design program does (app/first_paint.h).
#include <QApplication>
#include <QFont>
#include <QLabel>

#include "app/first_paint.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  vtq::app::FirstPaintReport report(1);
  app.installEventFilter(&report);
  QFont font(QStringLiteral("Liberation Sans"));
  font.setPointSizeF(8.25);
  font.setBold(true);
  QLabel label(QStringLiteral("Kestralon Common Mode Inductor Design"));
  label.setFont(font);
  label.show();
  return QApplication::exec();
}
