#include "engine/numbers.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <limits>
#include <random>
#include <utility>
#include <vector>

namespace vtq::num {
namespace {

struct FormatCase {
  const char* text;
  const char* pattern;
  const char* shown;
};

// Texts written into the output boxes and what their patterns make of them.
TEST(FormatText, BoxPatterns) {
  const FormatCase cases[] = {
      {"0.375", "#0.000 in.", "0.375 in."},
      {"25.400", "##0.0 mm", "25.4 mm"},
      {"9.525", "##0.0 mm", "9.5 mm"},
      {"28.56", "#####.# in.", "28.6 in."},
      {"57.6684", "#####.# cm", "57.7 cm"},
      {"1.57", "#######.##", "1.57"},
      {"1.00", "#######.##", "1."},
      {"0.50", "#######.##", ".5"},
      {"947.20", "#######.##", "947.2"},
      {"20", "#######", "20"},
      {"0", "#######", ""},
      {"0", "###", ""},
      {"21", "###", "21"},
      {"84.0559896208091", "#######", "84"},
      {"9988.5", "#######", "9989"},
      {"0.870 in.", "#0.000 in.", "0.870 in."},
      {"", "#######", ""},
      {"N/A", "#######.##", "N/A"},
      {" 12 ", "###", "12"},
      {"-3.25", "#0.0", "-3.3"},
      {"3.25", "$#0.0", "$3.3"},
      {"123456789", "###", "123456789"},
      {"9.9996", "#0.000", "10.000"},
      {"0.0004", "#0.000", "0.000"},
      {"-0.0004", "#0.000", "0.000"},
      {"1E+20", "#######", "100000000000000000000"},
      {"0", "#.##", "."},
      {"1.005", "0.00", "1.01"},
      {"2.5", "#", "3"},
      {"0.4", "#", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FormatText(c.text, c.pattern), c.shown) << c.text << " under " << c.pattern;
  }
}

// A Single is rounded from its seven-digit form, a double from its fifteen: 0.0125f is
// stored a hair below 0.0125, but its seven-digit form is the half, which rounds away
// from zero.
TEST(FormatNumber, RoundsFromTheTypesDigits) {
  const std::tuple<std::string, const char*> cases[] = {
      {FormatSingle(947.2f, "##0.00"), "947.20"},       {FormatSingle(0.386f, "##0.000"), "0.386"},
      {FormatSingle(0.0192292f, "##0.0000"), "0.0192"}, {FormatSingle(419.8f, "######"), "420"},
      {FormatSingle(0.0125f, "0.000"), "0.013"},        {FormatDouble(0.01249999972060322, "0.000"), "0.012"},
      {FormatSingle(-0.25f, "###0.0"), "-0.3"},
  };
  for (const auto& [got, want] : cases) EXPECT_EQ(got, want);
}

// A self-formatting box given a formatted number shows what formatting its text again
// gives, and a double's text reads back as a value; the engine gets there from the
// digits, without reading the text back.
TEST(FormatInBox, SameAsFormattingTheTextAgain) {
  const std::pair<const char*, const char*> chains[] = {
      {"#0.000", "#0.000 in."}, {"#0.000", "##0.0 mm"}, {"##0.00", "#######.##"}, {"#0.000", "###"},
      {"#.##", "#######"},      {"#", "#.#"},           {"0.0 V", "###"},         {"abc", "###"},
      {"#.#", "0.00"},          {"N #.##", "#.#"},      {"###", "#.##"},
  };
  std::mt19937_64 rng(7);
  std::uniform_real_distribution<double> magnitude(-8, 22);
  std::vector<double> values = {0, -0.0, 0.5, 0.05, 0.004, 0.0049999, 9.9995, 99.995, 1e300, -2.5, 5e-324};
  for (int i = 0; i < 20000; ++i) {
    double v = std::pow(10.0, magnitude(rng));
    if (i % 4 == 0) v = std::nearbyint(v * 1000) / 8;  // ties at the places the patterns cut
    values.push_back(i % 3 ? v : -v);
  }
  for (double v : values) {
    const auto single = static_cast<Single>(v);
    for (const auto& [first, box] : chains) {
      ASSERT_EQ(FormatDoubleInBox(v, first, box), FormatText(FormatDouble(v, first), box))
          << v << first << box;
      if (std::isfinite(single)) {
        ASSERT_EQ(FormatSingleInBox(single, first, box), FormatText(FormatSingle(single, first), box)) << v;
      }
    }
    ASSERT_EQ(DoubleTextInBox(v, "#####.# cm"), FormatText(DoubleText(v), "#####.# cm")) << v;
    ASSERT_EQ(DoubleTextValue(v), ParseStrict(DoubleText(v))) << v;
  }
}

TEST(ParseStrict, WholeTextMustBeANumber) {
  struct Case {
    const char* text;
    std::optional<double> value;
  };
  const Case cases[] = {
      {"1", 1},      {" 2.5 ", 2.5},   {"\t7\t", 7},  {"+3", 3},     {"-4", -4},   {"1e3", 1000},
      {"1D3", 1000}, {"2.5E-1", 0.25}, {".5", 0.5},   {"5.", 5},     {"0", 0},     {"1e-400", 0},
      {"", {}},      {" ", {}},        {"abc", {}},   {"1 2", {}},   {"1e", {}},   {"1e+", {}},
      {"--1", {}},   {"1.2.3", {}},    {"1e400", {}}, {"0x10", {}},  {"inf", {}},  {"nan", {}},
      {".", {}},     {"+", {}},        {"10 A", {}},  {"1,000", {}}, {"\xb5", {}}, {"1e99999999999", {}},
  };
  for (const auto& c : cases) {
    auto got = ParseStrict(c.text);
    ASSERT_EQ(got.has_value(), c.value.has_value()) << '"' << c.text << '"';
    if (got) {
      EXPECT_DOUBLE_EQ(*got, *c.value) << c.text;
    }
  }
}

TEST(Val, ReadsTheLeadingNumber) {
  struct Case {
    const char* text;
    double value;
  };
  const Case cases[] = {
      {"100 ohms", 100}, {"  12 34", 1234}, {"abc", 0},     {"1e3x", 1000}, {"-5", -5},
      {".5.", 0.5},      {"1e", 1},         {"&H10", 0},    {"", 0},        {"\n 2\t5", 25},
      {"3.5e-1", 0.35},  {"- 7", -7},       {"1e-9999", 0}, {"50", 50},     {"1 e 2", 100},
  };
  for (const auto& c : cases) EXPECT_DOUBLE_EQ(Val(c.text), c.value) << '"' << c.text << '"';
  EXPECT_TRUE(std::isinf(Val("1e99999")));
}

TEST(CheckedStores, IntegerRoundsHalfToEvenAndFailsOutsideSixteenBits) {
  const std::pair<double, Integer> rounded[] = {{20.5, 20},  {21.5, 22},       {-0.5, 0},
                                                {20.09, 20}, {32767.4, 32767}, {-32768.5, -32768}};
  for (const auto& [v, i] : rounded) EXPECT_EQ(ToInteger(v), i) << v;
  for (double v : {32767.5, -32769.0, std::nan("")}) EXPECT_THROW(ToInteger(v), StepFailed) << v;
  EXPECT_THROW(ToSingle(1e39), StepFailed);
  EXPECT_THROW(ToSingle(-std::numeric_limits<double>::infinity()), StepFailed);
  EXPECT_EQ(ToSingle(25.4), 25.4f);
}

// Where the window raises a run-time error, the step fails.
TEST(CheckedOperations, FailWhereTheWindowRaisesAnError) {
  EXPECT_THROW(Div(1, 0), StepFailed);
  EXPECT_THROW(Div(0, 0), StepFailed);
  EXPECT_THROW(Ln(0), StepFailed);
  EXPECT_THROW(Ln(-1), StepFailed);
  EXPECT_THROW(Sqrt(-1), StepFailed);
  EXPECT_THROW(Pow(-2, 0.833), StepFailed);
  EXPECT_THROW(Exp(1000), StepFailed);
  EXPECT_DOUBLE_EQ(Div(1, 4), 0.25);
}

TEST(NumberText, ShortestFormWithinTheTypesDigits) {
  const std::pair<std::string, const char*> cases[] = {
      {SingleText(400.0f), "400"},
      {SingleText(25.4f), "25.4"},
      {SingleText(1.0f), "1"},
      {SingleText(0.386f), "0.386"},
      {SingleText(-2.5f), "-2.5"},
      {SingleText(12345678.0f), "1.234568E+07"},
      {SingleText(1e-5f), "1E-05"},
      {SingleText(0.0001f), "0.0001"},
      {SingleText(0.1f + 0.2f), "0.3"},
      {DoubleText((0.087 * 16 + 0.5) * 12), "22.704"},
      {DoubleText(1.0 / 3.0), "0.333333333333333"},
      {DoubleText(1e20), "1E+20"},
      {DoubleText(0), "0"},
      {IntegerText(-32768), "-32768"},
  };
  for (const auto& [got, want] : cases) EXPECT_EQ(got, want);
  // Machine-readable Singles read back to the same float.
  for (float f : {0.386f, 0.1f, 3.4e38f, 1.5e-38f, 45.2f, 947.2f}) {
    const std::string text = ShortestSingle(f);
    float back = 0;  // read as a program in any locale reads it
    std::from_chars(text.data(), text.data() + text.size(), back);
    EXPECT_EQ(back, f) << text;
  }
}

// Reference: the exact decimal expansion of the double, rounded half away from zero.
DecimalForm Reference(double v, int significant) {
  char buf[900];
  auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific, 800);
  std::string text(buf, r.ptr);
  DecimalForm out;
  out.negative = text[0] == '-';
  std::size_t e = text.find('e');
  out.exponent = std::stoi(text.substr(e + 1));
  std::string digits;
  for (char c : text.substr(0, e)) {
    if (c >= '0' && c <= '9') digits += c;
  }
  bool up = digits[static_cast<std::size_t>(significant)] >= '5';
  digits.resize(static_cast<std::size_t>(significant));
  for (int k = significant - 1; up && k >= 0; --k) {
    if (digits[static_cast<std::size_t>(k)] == '9') {
      digits[static_cast<std::size_t>(k)] = '0';
      if (k == 0) {
        digits.insert(digits.begin(), '1');
        digits.pop_back();
        ++out.exponent;
      }
    } else {
      ++digits[static_cast<std::size_t>(k)];
      up = false;
    }
  }
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  out.digits = digits;
  return out;
}

TEST(Decimal, MatchesTheExactExpansionRoundedHalfUp) {
  std::mt19937_64 rng(42);
  std::uniform_real_distribution<double> magnitude(-30, 40);
  std::vector<double> values = {0.125,    2.5,
                                0.0125,   9.9999995,
                                99999995, 1e300,
                                5e-324,   1.7976931348623157e308,
                                0.1,      84.0559896208091,
                                947.2f,   0.0192292f};
  for (int i = 0; i < 200000; ++i) {
    double v = std::pow(10.0, magnitude(rng));
    if (i % 2 && v < 1e38) v = static_cast<float>(v);  // Singles too
    if (i % 5 == 0) v = std::nearbyint(v * 1000) / 8;  // exact binary fractions: ties at the last digit
    values.push_back(i % 3 ? v : -v);
  }
  for (double v : values) {
    if (v == 0) continue;
    for (int significant : {1, 3, 7, 15}) {
      DecimalForm got = Decimal(v, significant), want = Reference(v, significant);
      ASSERT_EQ(got.digits, want.digits) << v << " at " << significant;
      ASSERT_EQ(got.exponent, want.exponent) << v << " at " << significant;
      ASSERT_EQ(got.negative, want.negative);
    }
  }
}

}  // namespace
}  // namespace vtq::num
