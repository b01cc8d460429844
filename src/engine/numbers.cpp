#include "engine/numbers.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace vtq::num {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
bool IsExponentMark(char c) {
  return c == 'e' || c == 'E' || c == 'd' || c == 'D';
}

// A number already cut to its parts: sign, mantissa digits (no point) with the
// position of the point, and the written exponent. Both readers build one of these.
struct NumberText {
  bool negative = false;
  std::string mantissa;  // digits only
  int pointAt = 0;       // digits of mantissa before the decimal point
  long exponent = 0;     // saturated, far beyond any double
};

// Converts the parts to a double. Overflow gives +/-infinity, underflow 0.
// Powers of ten that a double holds exactly.
constexpr double kExactPow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                  1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// A mantissa below 2^53 and a power of ten up to 22: both exact in a double, so one
// multiplication or division gives the correctly rounded value.
bool FastToDouble(const NumberText& n, double& out) {
  std::size_t first = n.mantissa.find_first_not_of('0');
  if (first == std::string::npos) {
    out = n.negative ? -0.0 : 0.0;
    return true;
  }
  std::size_t last = n.mantissa.find_last_not_of('0');
  if (last - first + 1 > 15) return false;
  std::uint64_t m = 0;
  for (std::size_t i = first; i <= last; ++i) m = m * 10 + static_cast<std::uint64_t>(n.mantissa[i] - '0');
  // value = m x 10^x, x counted from the last significant digit
  long x = static_cast<long>(n.pointAt) - static_cast<long>(last) - 1 + n.exponent;
  if (x < -22 || x > 22) return false;
  auto v = static_cast<double>(m);
  v = x >= 0 ? v * kExactPow10[x] : v / kExactPow10[-x];
  out = n.negative ? -v : v;
  return true;
}

double ToDouble(const NumberText& n) {
  if (double fast = 0; FastToDouble(n, fast)) return fast;
  std::string text;
  text.reserve(n.mantissa.size() + 24);
  if (n.negative) text += '-';
  text.append(n.mantissa, 0, static_cast<std::size_t>(n.pointAt));
  if (text.empty() || text == "-") text += '0';
  if (static_cast<std::size_t>(n.pointAt) < n.mantissa.size()) {
    text += '.';
    text.append(n.mantissa, static_cast<std::size_t>(n.pointAt));
  }
  text += 'e';
  text += std::to_string(n.exponent);
  double value = 0;
  auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec == std::errc::result_out_of_range) {
    // Decimal magnitude of the first significant digit decides overflow or underflow.
    std::size_t first = n.mantissa.find_first_not_of('0');
    if (first == std::string::npos) return n.negative ? -0.0 : 0.0;
    long magnitude = static_cast<long>(n.pointAt) - static_cast<long>(first) - 1 + n.exponent;
    if (magnitude > 0) return n.negative ? -HUGE_VAL : HUGE_VAL;
    return n.negative ? -0.0 : 0.0;
  }
  return value;
}

long SaturatingExponent(long current, char digit) {
  if (current > 100000000L) return current;
  return current * 10 + (digit - '0');
}

}  // namespace

namespace {

enum class Quick { Number, NotNumber, Unsure };

// The common case without building any text: at most 15 significant digits and a
// small exponent convert exactly in one step. Anything else is left to the full reader.
Quick QuickParse(std::string_view text, double& out) {
  std::size_t i = 0, n = text.size();
  while (i < n && IsBlank(text[i])) ++i;
  while (n > i && IsBlank(text[n - 1])) --n;
  bool negative = false;
  if (i < n && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  std::uint64_t m = 0;
  int significant = 0, digits = 0, scale = 0;  // value = m x 10^scale
  bool point = false;
  for (; i < n; ++i) {
    char c = text[i];
    if (IsDigit(c)) {
      ++digits;
      if (point) --scale;
      if (m == 0 && c == '0') continue;
      if (++significant > 15) return Quick::Unsure;
      m = m * 10 + static_cast<std::uint64_t>(c - '0');
    } else if (c == '.' && !point) {
      point = true;
    } else {
      break;
    }
  }
  if (digits == 0) return Quick::NotNumber;
  if (i < n) {
    // Only an exponent may follow the digits ("0.870 in." is no number); the full reader
    // takes the exponent.
    return IsExponentMark(text[i]) ? Quick::Unsure : Quick::NotNumber;
  }
  if (scale < -22) return Quick::Unsure;
  auto v = static_cast<double>(m);
  v = scale >= 0 ? v : v / kExactPow10[-scale];
  out = negative ? -v : v;
  return Quick::Number;
}

}  // namespace

std::optional<double> ParseStrict(std::string_view text) {
  double quick = 0;
  switch (QuickParse(text, quick)) {
    case Quick::Number:
      return quick;
    case Quick::NotNumber:
      return std::nullopt;
    case Quick::Unsure:
      break;
  }
  std::size_t i = 0, n = text.size();
  while (i < n && IsBlank(text[i])) ++i;
  while (n > i && IsBlank(text[n - 1])) --n;
  NumberText parts;
  if (i < n && (text[i] == '+' || text[i] == '-')) parts.negative = text[i++] == '-';
  bool point = false;
  for (; i < n; ++i) {
    char c = text[i];
    if (IsDigit(c)) {
      parts.mantissa += c;
    } else if (c == '.' && !point) {
      point = true;
      parts.pointAt = static_cast<int>(parts.mantissa.size());
    } else {
      break;
    }
  }
  if (!point) parts.pointAt = static_cast<int>(parts.mantissa.size());
  if (parts.mantissa.empty()) return std::nullopt;
  if (i < n) {
    if (!IsExponentMark(text[i])) return std::nullopt;
    ++i;
    bool negativeExponent = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) negativeExponent = text[i++] == '-';
    if (i == n) return std::nullopt;
    for (; i < n; ++i) {
      if (!IsDigit(text[i])) return std::nullopt;
      parts.exponent = SaturatingExponent(parts.exponent, text[i]);
    }
    if (negativeExponent) parts.exponent = -parts.exponent;
  }
  double value = ToDouble(parts);
  if (!std::isfinite(value)) return std::nullopt;
  return value;
}

double Val(std::string_view text) {
  auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\n'; };
  std::size_t i = 0, n = text.size();
  auto skip = [&] {
    while (i < n && blank(text[i])) ++i;
  };
  NumberText parts;
  skip();
  if (i < n && (text[i] == '+' || text[i] == '-')) {
    parts.negative = text[i++] == '-';
  }
  bool point = false;
  for (skip(); i < n; ++i, skip()) {
    char c = text[i];
    if (IsDigit(c)) {
      parts.mantissa += c;
    } else if (c == '.' && !point) {
      point = true;
      parts.pointAt = static_cast<int>(parts.mantissa.size());
    } else {
      break;
    }
  }
  if (!point) parts.pointAt = static_cast<int>(parts.mantissa.size());
  if (parts.mantissa.empty()) return 0.0;
  if (i < n && IsExponentMark(text[i])) {
    // The exponent counts only when a digit follows (after an optional sign).
    std::size_t j = i + 1;
    while (j < n && blank(text[j])) ++j;
    bool negativeExponent = false;
    if (j < n && (text[j] == '+' || text[j] == '-')) negativeExponent = text[j++] == '-';
    while (j < n && blank(text[j])) ++j;
    long exponent = 0;
    bool any = false;
    for (; j < n && (IsDigit(text[j]) || blank(text[j])); ++j) {
      if (blank(text[j])) continue;
      exponent = SaturatingExponent(exponent, text[j]);
      any = true;
    }
    if (any) parts.exponent = negativeExponent ? -exponent : exponent;
  }
  return ToDouble(parts);
}

Integer ToInteger(double value) {
  if (!std::isfinite(value)) throw StepFailed{};
  double rounded = std::nearbyint(value);  // default rounding mode: half to even
  if (rounded < -32768.0 || rounded > 32767.0) throw StepFailed{};
  return static_cast<Integer>(rounded);
}

Single ToSingle(double value) {
  if (!std::isfinite(value)) throw StepFailed{};
  auto single = static_cast<float>(value);
  if (!std::isfinite(single)) throw StepFailed{};
  return single;
}

double Finite(double x) {
  if (!std::isfinite(x)) throw StepFailed{};
  return x;
}
double Div(double a, double b) {
  if (b == 0.0) throw StepFailed{};
  return Finite(a / b);
}
double Ln(double x) {
  if (!(x > 0.0)) throw StepFailed{};
  return Finite(std::log(x));
}
double Sqrt(double x) {
  if (!(x >= 0.0)) throw StepFailed{};
  return std::sqrt(x);
}
double Pow(double base, double exponent) {
  return Finite(std::pow(base, exponent));
}
double Exp(double x) {
  return Finite(std::exp(x));
}

namespace {

// Significant digits of a finite value, trailing zeros removed, with the decimal
// exponent of the first digit: value = d1.d2d3... x 10^exp10.
struct Digits {
  bool negative = false;
  std::array<char, 24> d{};
  int count = 0;
  int exp10 = 0;
};

Digits FromScientific(const char* first, const char* last) {
  Digits out;
  const char* p = first;
  if (p < last && *p == '-') {
    out.negative = true;
    ++p;
  }
  for (; p < last && *p != 'e'; ++p) {
    if (*p != '.') out.d[static_cast<std::size_t>(out.count++)] = *p;
  }
  int exponent = 0;
  if (p < last) std::from_chars(p + 1 + (p[1] == '+'), last, exponent);
  out.exp10 = exponent;
  while (out.count > 1 && out.d[static_cast<std::size_t>(out.count - 1)] == '0') --out.count;
  if (out.count == 1 && out.d[0] == '0') out.exp10 = 0;
  return out;
}

// The extension marker keeps -Wpedantic quiet and needs a typedef.
// NOLINTNEXTLINE(modernize-use-using)
__extension__ typedef unsigned __int128 Wide;

constexpr std::array<Wide, 39> kPow10Wide = [] {
  std::array<Wide, 39> p{};
  p[0] = 1;
  for (std::size_t i = 1; i < p.size(); ++i) p[i] = p[i - 1] * 10;
  return p;
}();
Wide Pow10Wide(int k) {
  return kPow10Wide[static_cast<std::size_t>(k)];
}

int BitWidth(Wide x) {
  auto high = static_cast<std::uint64_t>(x >> 64);
  if (high != 0) return 128 - __builtin_clzll(high);
  auto low = static_cast<std::uint64_t>(x);
  return low == 0 ? 0 : 64 - __builtin_clzll(low);
}

// value rounded half away from zero to `significant` digits, exactly, with 128-bit
// integers: |value| = m x 2^e, N = m x 2^e x 10^k for the k that gives N the wanted
// number of digits. False where the operands would not fit (very large or small values).
bool FastRoundedDigits(double value, int significant, Digits& out) {
  if (!std::isfinite(value)) return false;
  if (value == 0.0) {
    out.negative = std::signbit(value);
    out.d[0] = '0';
    out.count = 1;
    out.exp10 = 0;
    return true;
  }
  const auto bits = std::bit_cast<std::uint64_t>(value);
  const int biased = static_cast<int>((bits >> 52) & 0x7FF);
  if (biased == 0) return false;  // subnormal: the exact path handles it
  const std::uint64_t m = (bits & ((std::uint64_t{1} << 52) - 1)) | (std::uint64_t{1} << 52);
  const int e = biased - 1075;  // |value| = m x 2^e, m of 53 bits
  // First estimate of the decimal exponent of the leading digit (log10 2 = 0.30103);
  // the loop below corrects it by one either way.
  int d = ((biased - 1023) * 78913) >> 18;
  for (int attempt = 0; attempt < 3; ++attempt) {
    int k = significant - 1 - d;
    int up10 = k > 0 ? k : 0, down10 = k < 0 ? -k : 0;
    int up2 = e > 0 ? e : 0, down2 = e < 0 ? -e : 0;
    if (up10 > 38 || down10 > 38 || up2 > 70 || down2 > 120) return false;
    Wide num = m;
    if (up10 > 0) {
      if (BitWidth(num) + up10 * 4 > 127) return false;
      num *= Pow10Wide(up10);
    }
    if (BitWidth(num) + up2 > 127) return false;
    num <<= up2;
    Wide den = Pow10Wide(down10);
    if (BitWidth(den) + down2 > 127) return false;
    den <<= down2;
    Wide q, r;
    if (down10 == 0) {  // a power of two: shifts, no division
      q = num >> down2;
      r = num - (q << down2);
    } else {
      q = num / den;
      r = num % den;
    }
    const Wide low = Pow10Wide(significant - 1), high = Pow10Wide(significant);
    if (q >= high) {  // the estimate was one too low
      ++d;
      continue;
    }
    if (q < low) {  // one too high
      --d;
      continue;
    }
    if (2 * r >= den) ++q;
    if (q == high) {  // rounding carried into a new digit: 9.99.. -> 10.0..
      q = low;
      ++d;
    }
    out.negative = value < 0;
    out.exp10 = d;
    auto n = static_cast<std::uint64_t>(q);  // below 10^17, its first digit not 0
    // Trailing zeros are not kept: strip them in halving steps rather than one by one.
    int count = significant;
    while (n % 100000000 == 0) {
      n /= 100000000;
      count -= 8;
    }
    for (std::uint64_t step = 10000; step >= 10; step /= 100) {  // 4 zeros, then 2 (as 10^4, 10^2)
      if (n % step == 0) {
        n /= step;
        count -= step == 10000 ? 4 : 2;
      }
    }
    if (n % 10 == 0) {
      n /= 10;
      --count;
    }
    out.count = count;
    // Two digits per division.
    static constexpr char kPairs[] =
        "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
        "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
        "8081828384858687888990919293949596979899";
    int i = count;
    while (i >= 2) {
      const std::uint64_t pair = n % 100;
      n /= 100;
      i -= 2;
      out.d[static_cast<std::size_t>(i)] = kPairs[pair * 2];
      out.d[static_cast<std::size_t>(i) + 1] = kPairs[pair * 2 + 1];
    }
    if (i == 1) out.d[0] = static_cast<char>('0' + n);
    return true;
  }
  return false;
}

Digits RoundedDigits(double value, int significant) {
  if (Digits fast; FastRoundedDigits(value, significant, fast)) return fast;
  // Very large or small magnitudes: from the exact decimal expansion (a double has at
  // most 767 significant digits), rounded by hand with the same half-up rule.
  static thread_local std::array<char, 800> buf;
  auto r = std::to_chars(buf.data(), buf.data() + buf.size(), value, std::chars_format::scientific, 770);
  std::string_view text(buf.data(), static_cast<std::size_t>(r.ptr - buf.data()));
  Digits out;
  out.negative = text.front() == '-';
  std::size_t e = text.find('e');
  int exponent = 0;
  std::from_chars(text.data() + e + 1 + (text[e + 1] == '+'), text.data() + text.size(), exponent);
  std::string digits;
  for (char c : text.substr(0, e)) {
    if (IsDigit(c)) digits += c;
  }
  bool up = digits[static_cast<std::size_t>(significant)] >= '5';
  digits.resize(static_cast<std::size_t>(significant));
  if (up) {
    int k = significant - 1;
    while (k >= 0 && digits[static_cast<std::size_t>(k)] == '9') digits[static_cast<std::size_t>(k--)] = '0';
    if (k >= 0) {
      ++digits[static_cast<std::size_t>(k)];
    } else {
      digits.insert(digits.begin(), '1');
      digits.pop_back();
      ++exponent;
    }
  }
  out.exp10 = exponent;
  out.count = significant;
  for (int k = 0; k < significant; ++k)
    out.d[static_cast<std::size_t>(k)] = digits[static_cast<std::size_t>(k)];
  while (out.count > 1 && out.d[static_cast<std::size_t>(out.count - 1)] == '0') --out.count;
  if (out.count == 1 && out.d[0] == '0') out.exp10 = 0;
  return out;
}

Digits ShortestDigits(float value) {
  std::array<char, 48> buf{};
  auto r = std::to_chars(buf.data(), buf.data() + buf.size(), value, std::chars_format::scientific);
  return FromScientific(buf.data(), r.ptr);
}

// Renders digits as printf's %G does with the given precision: fixed notation unless
// the exponent is below -4 or at least the precision.
std::string RenderGeneral(const Digits& v, int precision) {
  std::string out;
  if (v.negative && !(v.count == 1 && v.d[0] == '0')) out += '-';
  auto digit = [&](int i) { return i < v.count ? v.d[static_cast<std::size_t>(i)] : '0'; };
  if (v.exp10 < -4 || v.exp10 >= precision) {
    out += v.d[0];
    if (v.count > 1) {
      out += '.';
      out.append(v.d.data() + 1, static_cast<std::size_t>(v.count - 1));
    }
    out += v.exp10 < 0 ? "E-" : "E+";
    int e = v.exp10 < 0 ? -v.exp10 : v.exp10;
    if (e < 10) out += '0';
    out += std::to_string(e);
    return out;
  }
  if (v.exp10 < 0) {
    out += "0.";
    out.append(static_cast<std::size_t>(-v.exp10 - 1), '0');
    out.append(v.d.data(), static_cast<std::size_t>(v.count));
    return out;
  }
  for (int i = 0; i <= v.exp10; ++i) out += digit(i);
  if (v.count > v.exp10 + 1) {
    out += '.';
    out.append(v.d.data() + v.exp10 + 1, static_cast<std::size_t>(v.count - v.exp10 - 1));
  }
  return out;
}

}  // namespace

DecimalForm Decimal(double value, int significant) {
  Digits v = RoundedDigits(value, significant);
  return {v.negative, std::string(v.d.data(), static_cast<std::size_t>(v.count)), v.exp10};
}

std::string SingleText(Single value) {
  Digits shortest = ShortestDigits(value);
  if (shortest.count <= 7) return RenderGeneral(shortest, 7);
  return RenderGeneral(RoundedDigits(value, 7), 7);
}

std::string DoubleText(double value) {
  return RenderGeneral(RoundedDigits(value, 15), 15);
}

std::string IntegerText(long value) {
  return std::to_string(value);
}

std::string ShortestSingle(Single value) {
  std::array<char, 48> buf{};
  auto r = std::to_chars(buf.data(), buf.data() + buf.size(), value);
  return {buf.data(), r.ptr};
}

namespace {

// Rounds half away from zero at the last fraction place the pattern shows.
void RoundAt(Digits& v, const Pattern& pat) {
  const int keep = v.exp10 + pat.maxFrac + 1;  // digits of v that stay
  if (keep >= v.count) return;
  const bool up = keep >= 0 && v.d[static_cast<std::size_t>(keep)] >= '5';
  if (keep <= 0) {
    v.count = 1;
    v.d[0] = up ? '1' : '0';
    v.exp10 = up ? -pat.maxFrac : 0;
    return;
  }
  v.count = keep;
  if (up) {
    int i = keep - 1;
    while (i >= 0 && v.d[static_cast<std::size_t>(i)] == '9') v.d[static_cast<std::size_t>(i--)] = '0';
    if (i >= 0) {
      ++v.d[static_cast<std::size_t>(i)];
    } else {  // 9.99 -> 10.0: every kept digit was a 9, so the digits are now 1 and zeros
      v.d[0] = '1';
      v.count = 1;
      ++v.exp10;
    }
  }
  while (v.count > 1 && v.d[static_cast<std::size_t>(v.count - 1)] == '0') --v.count;
  if (v.count == 1 && v.d[0] == '0') v.exp10 = 0;
}

// The places a pattern shows for digits already rounded by RoundAt: from 10^first down
// to 10^-frac (none when first < -frac).
struct Layout {
  bool zero;
  int first, frac;
};
Layout LayoutOf(const Digits& v, const Pattern& pat) {
  const bool zero = v.count == 1 && v.d[0] == '0';
  const int top = zero ? -1 : v.exp10;  // highest integer place holding a significant digit
  int frac = pat.maxFrac;
  // Trailing fraction zeros beyond the '0' placeholders are not shown.
  while (frac > pat.minFrac) {
    const int i = v.exp10 + frac;  // index of the digit at place 10^-frac
    if (!zero && i >= 0 && i < v.count && v.d[static_cast<std::size_t>(i)] != '0') break;
    --frac;
  }
  return {zero, std::max(top, pat.minInt - 1), frac};
}

std::string Render(const Digits& v, const Pattern& pat) {
  const Layout at = LayoutOf(v, pat);
  const bool minus = v.negative && !at.zero;
  const int integerPlaces = at.first + 1;  // places 10^first .. 10^0 (0 when first is -1)
  const std::size_t length = pat.prefix.size() + (minus ? 1 : 0) + static_cast<std::size_t>(integerPlaces) +
                             (pat.point ? 1 : 0) + static_cast<std::size_t>(at.frac) + pat.suffix.size();
  std::string out(length, '0');
  char* o = out.data();
  o = std::copy(pat.prefix.begin(), pat.prefix.end(), o);
  if (minus) *o++ = '-';
  auto put = [&](int place) {  // the digit of 10^place, '0' where v has none
    const int i = v.exp10 - place;
    if (!at.zero && i >= 0 && i < v.count) *o = v.d[static_cast<std::size_t>(i)];
    ++o;
  };
  for (int place = at.first; place >= 0; --place) put(place);
  if (pat.point) *o++ = '.';
  for (int place = -1; place >= -at.frac; --place) put(place);
  std::copy(pat.suffix.begin(), pat.suffix.end(), o);
  return out;
}

std::string Apply(Digits v, const Pattern& pat) {
  if (!pat.found) return std::string(pat.prefix);
  RoundAt(v, pat);
  return Render(v, pat);
}

// `v` is the decimal form of a value a first pattern is about to show. When that text
// is a plain number, its value reads back to exactly the digits RoundAt leaves (at
// most 15 of them), so the box pattern can start from those.
std::string InBox(Digits v, const Pattern& first, const Pattern& box) {
  if (!first.found || !first.prefix.empty() || !first.suffix.empty()) {
    return FormatText(Apply(v, first), box);
  }
  RoundAt(v, first);
  const Layout at = LayoutOf(v, first);
  if (at.first + at.frac + 1 <= 0) return Render(v, first);  // no digit shown: no number
  return Apply(v, box);
}

}  // namespace

std::string FormatSingle(Single value, const Pattern& pattern) {
  return Apply(RoundedDigits(value, 7), pattern);
}

std::string FormatDouble(double value, const Pattern& pattern) {
  return Apply(RoundedDigits(value, 15), pattern);
}

std::string FormatText(std::string_view text, const Pattern& pattern) {
  auto value = ParseStrict(text);
  if (!value) return std::string(text);
  return FormatDouble(*value, pattern);
}

std::string FormatDoubleInBox(double value, const Pattern& first, const Pattern& box) {
  return InBox(RoundedDigits(value, 15), first, box);
}

std::string FormatSingleInBox(Single value, const Pattern& first, const Pattern& box) {
  return InBox(RoundedDigits(value, 7), first, box);
}

std::string DoubleTextInBox(double value, const Pattern& box) {
  return Apply(RoundedDigits(value, 15), box);
}

}  // namespace vtq::num
