// Fuzz target: the number texts. The input is a pattern and a text separated by the
// first '|' (or a text alone, formatted with the box patterns).
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "engine/numbers.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

constexpr std::string_view kPatterns[] = {"#0.000 in.", "##0.0 mm", "#####.# in.", "#######.##", "#######",
                                          "###",        "##0.000",  "##0.0000",    "######",     "0.000"};

void Format(std::string_view text, std::string_view pattern) {
  std::string shown = vtq::num::FormatText(text, pattern);
  auto value = vtq::num::ParseStrict(text);
  if (!value) {
    Check(shown == text);  // a text that is not a number is left as it is
    return;
  }
  Check(shown == vtq::num::FormatDouble(*value, pattern));
  // A self-formatting box given this text: the engine's short way agrees.
  for (auto box : {std::string_view("#######.##"), std::string_view("#0.000 in.")}) {
    Check(vtq::num::FormatDoubleInBox(*value, pattern, box) == vtq::num::FormatText(shown, box));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  std::size_t bar = input.find('|');
  if (bar != std::string_view::npos && bar < 40) {
    Format(input.substr(bar + 1), input.substr(0, bar));
  } else {
    for (auto pattern : kPatterns) Format(input, pattern);
  }
  double lenient = vtq::num::Val(input);
  Check(!std::isnan(lenient));
  if (auto value = vtq::num::ParseStrict(input)) {
    Check(std::isfinite(*value));
    // A Single's text and a double's text read back as numbers; a Single's shortest
    // machine form reads back to the same Single.
    if (std::fabs(*value) <= 3.4e38) {
      auto single = static_cast<float>(*value);
      Check(vtq::num::ParseStrict(vtq::num::SingleText(single)).has_value());
      Check(std::strtof(vtq::num::ShortestSingle(single).c_str(), nullptr) == single || single == 0 ||
            std::fabs(single) < 1.2e-38f);
    }
    Check(vtq::num::ParseStrict(vtq::num::DoubleText(*value)).has_value());
    for (int significant = 1; significant <= 17; significant += 4) {
      auto d = vtq::num::Decimal(*value, significant);
      Check(!d.digits.empty() && static_cast<int>(d.digits.size()) <= significant);
    }
  }
  return 0;
}
