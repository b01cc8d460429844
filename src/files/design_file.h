// The design file: eight one-line records holding what is needed to compute a design
// again, never a computed output. Texts are written in double quotes exactly as they
// stand, numbers as their shortest decimal text; Windows-1252 bytes, CR LF line ends.
#pragma once

#include <string>
#include <string_view>

#include "engine/numbers.h"

namespace vtq::files {

inline constexpr int kRecordCount = 8;
inline constexpr std::string_view kExtension = "vtq";

struct DesignRecords {
  std::string DesignModeName;  // 1: "Inductance", "Voltage" or "Impedance"
  Single CurrentDensity = 0;   // 2: A/cm2, as the last calculation took it
  std::string MaterialLetter;  // 3: "D", "P", "N", "S" or "R"
  std::string MainInput;       // 4: mH, ohms or Vrms by design mode, as typed
  std::string Current;         // 5: A, as typed
  std::string SecondInput;     // 6: Hz, as typed
  Single UnitFactor = 1;       // 7: 1 inches, 25.4 millimetres
  Integer DesignCore = 0;      // 8: 0 automatic choice, 1 to 24 a row chosen by hand
};

struct EncodedFile {
  std::string bytes;
  std::string problem;  // empty when the records could be written
};

// The file's bytes. A text that holds a line break, or a character without a byte in
// the code page, cannot be stored so that it reads back the same: that is a problem
// named in the result, and the bytes are then empty.
EncodedFile WriteDesignText(const DesignRecords& records);

struct DecodedFile {
  DesignRecords records;
  int count = 0;        // records read, in file order; the fields after them are untouched
  std::string problem;  // why reading stopped before all eight, empty when it did not
};

// Reads the records of a file's bytes. Each line is one field: blanks around it are
// dropped, then the double quotes that enclose it (the first and the last on the line,
// so a quote inside a text survives). A number field that is not a number reads as 0;
// one too large for its slot stops the reading there, as does the end of the text.
// Lines may end in CR LF, LF or CR.
DecodedFile ReadDesignText(std::string_view bytes);

// A design file is text: a control character other than tab, CR and LF (a NUL above
// all) says that the bytes are something else, a program, a picture or random data.
bool IsText(std::string_view bytes);

}  // namespace vtq::files
