// The stocked-ring library as every face lists it: the rings a filter leaves, each with
// its maker, grade, size, effective figures and listed price, and the corrections made to
// the database the library comes from.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vtq {

// What the user narrows the list to, as typed: empty takes every ring. Sizes are lengths
// with their unit, "25mm", "2.5cm" or "0.98in".
struct LibraryEntry {
  std::string maker, grade, minOd, maxOd;
  // Text the part number, maker or grade holds, case ignored ("T22", "epc"): the window's search box.
  std::string search;
};

struct LibraryRow {
  std::string part, maker, grade, composition, shape;
  double od = 0, id = 0, height = 0;        // m
  double length = 0, area = 0, volume = 0;  // effective figures: m, m2, m3
  bool hasCurve = false;
  std::string noCurve;  // why the grade's frequency behaviour is unknown
  double price = -1;    // US dollars a piece; negative: none listed
  std::string priceDate, distributor, datasheet;
};

struct LibraryCorrection {
  std::string grade, field, value, reason;
};

struct LibraryView {
  std::string problem;  // an entry that is no filter; the list is then empty
  std::vector<LibraryRow> rows;
  std::vector<LibraryCorrection> corrections;
  std::string source;  // where the data come from, with the licence and acknowledgement
};

LibraryView LibraryViewOf(const LibraryEntry& entry);

// A length with its unit, in metres: "25mm", "2.5 cm", "0.025m" or "0.98in". A bare number
// is refused: millimetres and inches are both in common use for rings.
std::optional<double> ParseLength(std::string_view text);

}  // namespace vtq
