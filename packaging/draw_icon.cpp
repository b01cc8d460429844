// Draws the window icon (artwork.cpp) as a square PNG for the desktop's icon theme, so
// the theme's sizes are the very picture the window shows.
// Usage: vtq_draw_icon SIZE OUTPUT.png
#include <QByteArray>
#include <QImage>
#include <QString>
#include <cstdio>

#include "ui/qt/artwork.h"

int main(int argc, char** argv) {
  bool ok = false;
  const int size = argc == 3 ? QByteArray(argv[1]).toInt(&ok) : 0;
  if (!ok || size < 1 || size > 4096) {
    std::fprintf(stderr, "usage: vtq_draw_icon SIZE OUTPUT.png (SIZE in pixels, 1 to 4096)\n");
    return 2;
  }
  const QImage icon = vtq::qt::DrawArtwork(vtq::qt::kIcon, {size, size});
  if (!icon.save(QString::fromLocal8Bit(argv[2]), "PNG")) {
    std::fprintf(stderr, "vtq_draw_icon: cannot write %s\n", argv[2]);
    return 1;
  }
  return 0;
}
