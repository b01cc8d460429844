// The pictures drawn when the program was built: a source file that draw_artwork.cpp
// writes into the build folder defines these.
#pragma once

#include <cstdint>
#include <span>

namespace vtq::qt {

struct DrawnPixels {
  const char* name;  // the artwork's
  int width, height;
  const std::uint32_t* argb;  // premultiplied, row after row without padding
};

std::span<const DrawnPixels> PixelsDrawnAtBuild();

}  // namespace vtq::qt
