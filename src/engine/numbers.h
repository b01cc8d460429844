// Number semantics of the design window: 16-bit Integers, 32-bit Singles, the
// text conversions the user sees and the format patterns of the output boxes.
#pragma once

#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vtq {

using Integer = std::int16_t;  // the window's whole numbers: overflow is a failure, never a wrap
using Single = float;          // every real of the design state

// Thrown by a checked conversion or operation; the step runner (step.h) catches it
// and abandons just that one step.
struct StepFailed {};

namespace num {

// Strict reading of a user's text: the whole text must be a number. Accepted:
// blanks (space, tab) around it, one sign, decimal digits with at most one point
// (".5" and "5." included), an optional exponent E/e/D/d with sign. No thousands
// separators, no hex. A value too large for a double is not a number; one too small
// reads as 0. Locale-independent: the point is always the decimal separator.
std::optional<double> ParseStrict(std::string_view text);

// Lenient reading of the leading number of a text (impedance input): blanks, tabs and
// line feeds are skipped wherever they stand, reading stops at the first character
// that cannot continue a decimal number with a point; 0 when none. Never fails, but
// may return an infinite value for an absurd exponent (the store then fails).
double Val(std::string_view text);

// Checked stores: a non-finite value or one outside the target's range throws
// StepFailed. Into an Integer the value is rounded half to even.
// (Defined here: they stand in every step of the calculations.)
inline Integer ToInteger(double value) {
  if (!std::isfinite(value)) throw StepFailed{};
  const double rounded = std::nearbyint(value);  // default rounding mode: half to even
  if (rounded < -32768.0 || rounded > 32767.0) throw StepFailed{};
  return static_cast<Integer>(rounded);
}
inline Single ToSingle(double value) {
  if (!std::isfinite(value)) throw StepFailed{};
  const auto single = static_cast<float>(value);
  if (!std::isfinite(single)) throw StepFailed{};
  return single;
}

// Checked operations for the formulas; each throws StepFailed where the window would
// raise a run-time error (division by zero, logarithm of a non-positive number, ...).
inline double Finite(double x) {  // any other intermediate that came out infinite or NaN
  if (!std::isfinite(x)) throw StepFailed{};
  return x;
}
inline double Div(double a, double b) {
  if (b == 0.0) throw StepFailed{};
  return Finite(a / b);
}
inline double Ln(double x) {
  if (!(x > 0.0)) throw StepFailed{};
  return Finite(std::log(x));
}
inline double Sqrt(double x) {
  if (!(x >= 0.0)) throw StepFailed{};
  return std::sqrt(x);
}
inline double Pow(double base, double exponent) {
  return Finite(std::pow(base, exponent));
}
inline double Exp(double x) {
  return Finite(std::exp(x));
}

// Number to text, as the window writes a number into a text: the shortest decimal
// text, at most 7 significant digits for a Single and 15 for a double, a point as
// separator, no blanks, "E+nn"/"E-nn" for large and small magnitudes.
std::string SingleText(Single value);
// Into `out`, reusing its storage: a double's text is longer than a short string holds.
void DoubleText(double value, std::string& out);
inline std::string DoubleText(double value) {
  std::string out;
  DoubleText(value, out);
  return out;
}
// What DoubleText(value) of a finite value reads back as, strictly, without writing and
// reading the text (StepFailed for a value that is not finite).
double DoubleTextValue(double value);
std::string IntegerText(long value);

// The decimal form of a finite value rounded half away from zero to `significant`
// digits (1 to 17), exactly: its digits without trailing zeros and the decimal
// exponent of the first one (value = d.ddd x 10^exponent).
struct DecimalForm {
  bool negative = false;
  std::string digits;
  int exponent = 0;
};
DecimalForm Decimal(double value, int significant);

// Shortest decimal text that reads back as the same 32-bit float (up to 9 digits):
// the exact form for machine-readable output, not what the window shows.
std::string ShortestSingle(Single value);
// The same digits in scientific form, "9.472e-04": a form every reader takes.
std::string ShortestScientific(Single value);
// The double a reader takes ShortestSingle(value) for: the 32-bit float as a JSON reader
// sees it (inf and NaN as themselves).
double ShortestSingleValue(Single value);

// printf's "%*.*g" in the C locale whatever the process locale is: the form of every
// machine-readable figure (CSV, JSON, netlists) and of the analysis texts. Qt adopts the
// user's number locale at start-up, where "%g" would write "0,99" and split a CSV field.
std::string Printed(double value, int significant, int width = 0);
// The same, appended to `out`.
void AppendPrinted(std::string& out, double value, int significant, int width = 0);

// Width of a text in character cells: one per code point of UTF-8 (the micro sign is two
// bytes), for the columns of a printed page or a terminal.
inline int CellWidth(std::string_view text) {
  int cells = 0;
  for (char c : text) cells += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return cells;
}

// Format patterns: '0' a digit always shown, '#' a digit shown only when significant,
// the first '.' among the digit placeholders is the decimal point, every other
// character is copied (so " in." follows the digits). The value is rounded half away
// from zero at the last place shown, working from its decimal form at the precision
// of its type (7 significant digits for a Single, 15 for a double or a text).
//
// A Pattern is the pattern text cut into those parts; a literal one is cut at compile
// time (constexpr num::Pattern kTwoPlaces{"##0.00"}). It refers to the text it was made
// from, which must outlive it.
struct Pattern {
  std::string_view prefix, suffix;  // copied before and after the number
  bool found = false;               // no placeholder: the pattern is shown as it stands
  bool point = false;
  int minInt = 0;   // integer digits always shown ('0' placeholders from the first '0')
  int minFrac = 0;  // fraction digits always shown (up to the last '0')
  int maxFrac = 0;  // fraction digits shown at most

  // NOLINTBEGIN(google-explicit-constructor): a pattern is written as its text
  constexpr Pattern(std::string_view p) {
    auto placeholder = [](char c) { return c == '0' || c == '#'; };
    std::size_t start = 0;
    while (start < p.size() && !placeholder(p[start]) && p[start] != '.') ++start;
    // A point counts as the decimal point only when a placeholder is next to it.
    if (start < p.size() && p[start] == '.' && !(start + 1 < p.size() && placeholder(p[start + 1]))) {
      start = p.size();
    }
    if (start == p.size()) {
      prefix = p;
      return;
    }
    found = true;
    prefix = p.substr(0, start);
    std::size_t i = start;
    int intCount = 0, firstZero = -1;
    for (; i < p.size() && placeholder(p[i]); ++i, ++intCount) {
      if (p[i] == '0' && firstZero < 0) firstZero = intCount;
    }
    minInt = firstZero < 0 ? 0 : intCount - firstZero;
    if (i < p.size() && p[i] == '.') {
      point = true;
      ++i;
      for (; i < p.size() && placeholder(p[i]); ++i) {
        ++maxFrac;
        if (p[i] == '0') minFrac = maxFrac;
      }
    }
    suffix = p.substr(i);
  }
  constexpr Pattern(const char* p) : Pattern(std::string_view(p)) {}
  Pattern(const std::string& p) : Pattern(std::string_view(p)) {}
  // NOLINTEND(google-explicit-constructor)
};

// Each formatting function writes into `out`, reusing its storage (the text a box
// holds, say), or returns a new text.
void FormatSingle(Single value, const Pattern& pattern, std::string& out);
void FormatDouble(double value, const Pattern& pattern, std::string& out);
// A text that reads strictly as a number is formatted; any other text is returned
// unchanged (so a box whose text already carries its unit is left alone).
void FormatText(std::string_view text, const Pattern& pattern, std::string& out);

// A box that formats its own text with `box` whenever the text changes, given the text
// FormatDouble(value, first), FormatSingle(value, first) or DoubleText(value): what it
// ends up showing. The same as FormatText of that text, but from the digits the text
// shows instead of reading it back (a text of at most 15 significant digits reads back
// to a double of those digits).
void FormatDoubleInBox(double value, const Pattern& first, const Pattern& box, std::string& out);
void FormatSingleInBox(Single value, const Pattern& first, const Pattern& box, std::string& out);
void DoubleTextInBox(double value, const Pattern& box, std::string& out);

inline std::string FormatSingle(Single value, const Pattern& pattern) {
  std::string out;
  FormatSingle(value, pattern, out);
  return out;
}
inline std::string FormatDouble(double value, const Pattern& pattern) {
  std::string out;
  FormatDouble(value, pattern, out);
  return out;
}
inline std::string FormatText(std::string_view text, const Pattern& pattern) {
  std::string out;
  FormatText(text, pattern, out);
  return out;
}
inline std::string FormatDoubleInBox(double value, const Pattern& first, const Pattern& box) {
  std::string out;
  FormatDoubleInBox(value, first, box, out);
  return out;
}
inline std::string FormatSingleInBox(Single value, const Pattern& first, const Pattern& box) {
  std::string out;
  FormatSingleInBox(value, first, box, out);
  return out;
}
inline std::string DoubleTextInBox(double value, const Pattern& box) {
  std::string out;
  DoubleTextInBox(value, box, out);
  return out;
}

}  // namespace num
}  // namespace vtq
