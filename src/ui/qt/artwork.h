// The program's pictures, drawn with QPainter: the toroid over the title, the logo in
// its hole and the window icon. Each draws in its own box of logical pixels and
// expects antialiasing to be on; the painter's scale makes it larger or smaller.
#pragma once

#include <QImage>
#include <QSize>

class QPainter;

namespace vtq::qt {

// A grey ferrite toroid with two dark red windings, one on each half, and their leads
// running out to the left and right edges.
void DrawToroid(QPainter& painter);

// The maker's mark: a white K on a dark blue rounded square with a red dot.
void DrawLogo(QPainter& painter);

// The window icon: the toroid alone, with fewer and thicker turns to read when small.
// The desktop entry's icon (packaging/vtq.svg) is the same picture.
void DrawIcon(QPainter& painter);

struct Artwork {
  const char* name;
  QSize size;  // the box it draws in
  void (*draw)(QPainter&);
};
inline constexpr Artwork kToroid{"toroid", {153, 113}, DrawToroid};
inline constexpr Artwork kLogo{"logo", {32, 32}, DrawLogo};
inline constexpr Artwork kIcon{"icon", {64, 64}, DrawIcon};

// The picture stretched over a transparent image of the given size in device pixels.
QImage DrawArtwork(const Artwork& art, QSize pixels);

// The sizes each picture is drawn at when the program is built (draw_artwork.cpp): the
// toroid and the logo at pixel ratios 1 and 2, the icon at the sizes an X11 window
// offers its window manager. Drawn at start-up instead, the toroid and the logo alone
// cost 6.4 million instructions, 2.7 ms of processor time, and took the start to the
// first paint from 1.37 to 1.42 times the one-label window's (bench/ui, offscreen, where
// no icon is asked for): more than the start-up can spare.
struct PrebuiltSize {
  const Artwork* art;
  QSize pixels;
};
inline constexpr PrebuiltSize kPrebuiltSizes[] = {
    {&kToroid, {153, 113}}, {&kToroid, {306, 226}}, {&kLogo, {32, 32}}, {&kLogo, {64, 64}},
    {&kIcon, {16, 16}},     {&kIcon, {32, 32}},     {&kIcon, {64, 64}}, {&kIcon, {128, 128}},
};

// The picture at a size in device pixels: as drawn when the program was built where it
// was drawn at that size, otherwise drawn now.
QImage ArtworkImage(const Artwork& art, QSize pixels);

}  // namespace vtq::qt
