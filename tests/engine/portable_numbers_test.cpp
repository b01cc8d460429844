// The number module's own path for libraries without floating-point to_chars/from_chars
// (the WebAssembly build's), built natively and checked against this library's.
#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <charconv>
#include <cstdint>
#include <random>

#include "engine/numbers.h"

namespace vtq::num {
namespace {

std::string ToChars(float f, bool scientific) {
  std::array<char, 64> buf{};
  auto r = scientific ? std::to_chars(buf.data(), buf.data() + buf.size(), f, std::chars_format::scientific)
                      : std::to_chars(buf.data(), buf.data() + buf.size(), f);
  return {buf.data(), r.ptr};
}

TEST(PortableNumbers, ShortestFloatTextsAsToChars) {
  std::mt19937 rng(7);
  // Powers of two (lopsided intervals), the ends of the range and random bit patterns.
  std::vector<float> values = {0.0f,          -0.0f,  1.0f,  0x1p-149f, 0x1p-126f,
                               3.4028235e38f, 947.2f, 1e20f, 123456.0f};
  for (int e = -149; e <= 127; ++e) values.push_back(std::ldexp(1.0f, e));
  for (int i = 0; i < 100000; ++i) {
    const auto f = std::bit_cast<float>(static_cast<std::uint32_t>(rng()));
    if (std::isfinite(f)) values.push_back(f);
  }
  for (float f : values) {
    ASSERT_EQ(ShortestScientific(f), ToChars(f, true)) << f;
    ASSERT_EQ(ShortestSingle(f), ToChars(f, false)) << f;
  }
}

}  // namespace
}  // namespace vtq::num
