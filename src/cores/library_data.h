// The stocked rings of the MAS database, as the build turned them into the program's own
// table (scripts/mas_library.py over data/mas, corrections applied).
#pragma once

#include <string_view>
#include <vector>

namespace vtq::cores {

struct StockedRing {
  std::string_view part;         // the maker's part number
  std::string_view maker;        // "TDK"
  std::string_view shape;        // the MAS shape name, "T 25/15/10"
  std::string_view grade;        // the ferrite grade, "N30"
  std::string_view composition;  // "MnZn" or "NiZn", corrected where the database is wrong
  double od, id, height;         // m, nominal
  double price;                  // US dollars a piece, the lowest listed; negative: none listed
  std::string_view priceDate;    // as the distributor's entry gives it
  std::string_view distributor;  // whose price it is
  std::string_view datasheet;    // the maker's data sheet, may be empty
};

struct LibraryGrade {
  std::string_view name, maker, composition;
  std::string_view entry;    // the MAS material entry as JSON, corrections applied
  bool hasCurve;             // whether it has a complex-permeability curve to design with
  std::string_view noCurve;  // why not: the curve withheld, or none in the database
};

// One correction of the database: the grade, the field, the new value and the reason.
struct Correction {
  std::string_view grade, field, value, reason;
};

// Every stocked ring, smallest first (outer, inner diameter, height, maker, part).
const std::vector<StockedRing>& StockedRings();
// The grades the rings are made of, by name.
const std::vector<LibraryGrade>& LibraryGrades();
const std::vector<Correction>& Corrections();

}  // namespace vtq::cores
