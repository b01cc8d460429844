// Speed: the pictures are drawn when the program is built, not at start-up, for the
// window's start-up goal (ui_bench against a label window): drawn at start-up they took the
// ratio from 1.37 to 1.42. They cannot drift from the drawing: vtq_draw_artwork makes them
// from the same drawing code at every build.
#include <cstring>

#include "ui/qt/artwork.h"
#include "ui/qt/artwork_pixels.h"

namespace vtq::qt {

QImage ArtworkImage(const Artwork& art, QSize pixels) {
  for (const DrawnPixels& drawn : PixelsDrawnAtBuild()) {
    if (std::strcmp(drawn.name, art.name) == 0 && QSize(drawn.width, drawn.height) == pixels) {
      // Read in place: the image shares the program's copy.
      return QImage(reinterpret_cast<const uchar*>(drawn.argb), drawn.width, drawn.height,
                    QImage::Format_ARGB32_Premultiplied);
    }
  }
  return DrawArtwork(art, pixels);
}

}  // namespace vtq::qt
