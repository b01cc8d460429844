// Texts a user might type into an input box, pieced together at random: numbers at the
// edges of the number types, signs and exponents alone, letters, blanks, code-page bytes.
#pragma once

#include <iterator>
#include <random>
#include <string>

#include "engine/numbers.h"

namespace vtq::test {

inline std::string RandomText(std::mt19937& rng) {
  static const char* const pieces[] = {
      "",     " ",      "0",     "1",      "-",           "+",    ".",     "e",     "E",     "d",
      "5",    "9",      "12",    "400",    "1e3",         "1e38", "1e39",  "1e-45", "abc",   "\t",
      "\xb5", ",",      "1e309", "0.0001", "&H",          "nan",  "inf",   "32767", "65536", "7.5",
      "-0",   "1e-300", "x",     "2.5e+",  "99999999999", "250",  "10000", "\"",    "100"};
  std::uniform_int_distribution<int> count(0, 4);
  std::uniform_int_distribution<std::size_t> pick(0, std::size(pieces) - 1);
  std::string text;
  for (int i = count(rng); i > 0; --i) text += pieces[pick(rng)];
  return text;
}

// What the input checks accept: a whole number text above zero.
inline bool Positive(const std::string& text) {
  auto v = num::ParseStrict(text);
  return v && *v > 0;
}

}  // namespace vtq::test
