// The desktop window's pictures for the web page: the toroid over the title and the logo
// in its hole, drawn by the same code as the window's, as PNG files at one and two device
// pixels to a page pixel. The WebAssembly build has no Qt to draw them, so the files are
// kept with the page (web/artwork) and a native test checks them against this drawing.
// Usage: vtq_web_artwork [--check] DIR   (without --check, writes the files into DIR)
#include <QImage>
#include <QString>
#include <cstdio>
#include <cstring>

#include "ui/qt/artwork.h"

namespace {

// The page shows a picture through straight-alpha PNG, so both sides are compared in that
// form: going back to premultiplied colours could round a translucent edge differently.
QImage Drawn(const vtq::qt::Artwork& art, int ratio) {
  return vtq::qt::DrawArtwork(art, art.size * ratio).convertToFormat(QImage::Format_ARGB32);
}

}  // namespace

int main(int argc, char** argv) {
  const bool check = argc == 3 && std::strcmp(argv[1], "--check") == 0;
  if (argc != 2 && !check) {
    std::fprintf(stderr, "usage: vtq_web_artwork [--check] DIR\n");
    return 2;
  }
  const QString dir = QString::fromLocal8Bit(argv[argc - 1]);
  int failed = 0;
  for (const vtq::qt::Artwork* art : {&vtq::qt::kToroid, &vtq::qt::kLogo}) {
    for (int ratio : {1, 2}) {
      const QString file = dir + '/' + QString::fromLatin1(art->name) +
                           (ratio == 1 ? QString() : QStringLiteral("@%1x").arg(ratio)) +
                           QStringLiteral(".png");
      const QImage image = Drawn(*art, ratio);
      const bool ok =
          check ? QImage(file).convertToFormat(QImage::Format_ARGB32) == image : image.save(file, "PNG");
      if (!ok) {
        std::fprintf(
            stderr, "%s: %s\n", qPrintable(file),
            check ? "not the window's drawing (write it again with vtq_web_artwork)" : "cannot be written");
        ++failed;
      }
    }
  }
  return failed == 0 ? 0 : 1;
}
