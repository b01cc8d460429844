// Draws the pictures at the sizes of kPrebuiltSizes and writes them as a C++ source file
// defining PixelsDrawnAtBuild(), so that the program starts without drawing them.
// Usage: vtq_draw_artwork OUTPUT.cpp
#include <QImage>
#include <cstdio>
#include <fstream>
#include <string>

#include "ui/qt/artwork.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: vtq_draw_artwork OUTPUT.cpp\n");
    return 2;
  }
  std::string source =
      "// Written by vtq_draw_artwork (src/ui/qt/draw_artwork.cpp) from the drawings of artwork.cpp.\n"
      "#include \"ui/qt/artwork_pixels.h\"\n\n"
      "namespace vtq::qt {\nnamespace {\n\n";
  std::string table;
  int index = 0;
  char word[16];
  for (const auto& [art, pixels] : vtq::qt::kPrebuiltSizes) {
    const QImage image = vtq::qt::DrawArtwork(*art, pixels);
    const std::string array = "kPixels" + std::to_string(index++);
    source += "const std::uint32_t " + array + "[] = {";
    for (int y = 0; y < image.height(); ++y) {
      const auto* row = reinterpret_cast<const std::uint32_t*>(image.constScanLine(y));
      for (int x = 0; x < image.width(); ++x) {
        std::snprintf(word, sizeof word, "%s0x%x,", x % 12 == 0 ? "\n" : "", unsigned{row[x]});
        source += word;
      }
    }
    source += "\n};\n\n";
    table += "    {\"" + std::string(art->name) + "\", " + std::to_string(image.width()) + ", " +
             std::to_string(image.height()) + ", " + array + "},\n";
  }
  source +=
      "const DrawnPixels kDrawn[] = {\n" + table + "};\n\n}  // namespace\n\n" +
      "std::span<const DrawnPixels> PixelsDrawnAtBuild() {\n  return kDrawn;\n}\n\n}  // namespace vtq::qt\n";
  std::ofstream out(argv[1], std::ios::binary);
  out << source;
  return out.good() ? 0 : 1;
}
