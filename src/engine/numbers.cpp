#include "engine/numbers.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <system_error>
#include <vector>

// Floating-point to_chars/from_chars where the library has them; the WebAssembly
// toolchain's does not, and VTQ_PORTABLE_NUMBERS builds that other path natively too.
#if defined(__cpp_lib_to_chars) && !defined(VTQ_PORTABLE_NUMBERS)
#define VTQ_FLOAT_CHARCONV 1
#else
#define VTQ_FLOAT_CHARCONV 0
#endif

namespace vtq::num {
namespace {

// A double's bit pattern; the compiler's built-in, since not every library has std::bit_cast.
std::uint64_t Bits(double value) {
  return __builtin_bit_cast(std::uint64_t, value);
}

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

// Powers of ten that a double holds exactly.
constexpr double kExactPow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                  1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

#if !VTQ_FLOAT_CHARCONV
// The texts people type: at most 15 significant digits and a power of ten up to 22 are
// both exact in a double, so one multiplication or division rounds correctly. False for
// other texts. Without it every number read goes through strtod, which WebAssembly's C
// library computes in software 128-bit floating point: the inputs of one design cost
// as much as the rest of its reading and checking.
bool ExactlyScaled(const NumberText& n, double& out) {
  const std::size_t first = n.mantissa.find_first_not_of('0');
  if (first == std::string::npos) {
    out = n.negative ? -0.0 : 0.0;
    return true;
  }
  const std::size_t last = n.mantissa.find_last_not_of('0');
  if (last - first + 1 > 15) return false;
  std::uint64_t m = 0;
  for (std::size_t i = first; i <= last; ++i) m = m * 10 + static_cast<std::uint64_t>(n.mantissa[i] - '0');
  // value = m x 10^x, x counted from the last significant digit
  const long x = static_cast<long>(n.pointAt) - static_cast<long>(last) - 1 + n.exponent;
  if (x < -22 || x > 22) return false;
  const auto v = static_cast<double>(m);
  out = x >= 0 ? v * kExactPow10[x] : v / kExactPow10[-x];
  if (n.negative) out = -out;
  return true;
}
#endif

// Converts the parts to a double. Overflow gives +/-infinity, underflow 0.
double ToDouble(const NumberText& n) {
#if !VTQ_FLOAT_CHARCONV
  if (double exact = 0; ExactlyScaled(n, exact)) return exact;
#endif
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
#if VTQ_FLOAT_CHARCONV
  double value = 0;
  auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
#else
  // Without a floating-point from_chars: strtod rounds as exactly and, the text being
  // digits, a point and an exponent only, the locale's decimal point never matters as
  // the C locale is the only one such a build has. It already gives +/-infinity and
  // +/-0 past the ends, the same values as the branch below.
  const double value = std::strtod(text.c_str(), nullptr);
  const auto ec = std::errc{};
#endif
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
// Every output box's text is read back through here: without it the automatic design
// takes 1.2 times as long (bench/engine).
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

namespace {

// A finite value's significant digits as one whole number q of exactly `count`
// digits (q = 0 and count 1 for zero), with the decimal exponent of the first digit:
// value = q x 10^(exp10 - count + 1). q may end in zeros until Trim drops them.
// Passed by reference and built in place: a copy made right after its fields were
// written reads them back with wider loads, which stall on store-to-load forwarding.
struct Digits {
  std::uint64_t q = 0;
  int count = 1;
  int exp10 = 0;
  bool negative = false;
};

constexpr std::array<std::uint64_t, 20> kPow10 = [] {
  std::array<std::uint64_t, 20> p{};
  p[0] = 1;
  for (std::size_t i = 1; i < p.size(); ++i) p[i] = p[i - 1] * 10;
  return p;
}();
std::uint64_t Pow10(int k) {
  return kPow10[static_cast<std::size_t>(k)];
}

// Drops trailing zeros.
void Trim(Digits& v) {
  if (v.q == 0) {
    v.count = 1;
    v.exp10 = 0;
    return;
  }
  for (; v.q % 10 == 0; v.q /= 10) --v.count;
}

// The `count` digits of q (below 10^count), first digit first.
void WriteDigits(std::uint64_t q, int count, char* out) {
  for (int i = count - 1; i >= 0; --i, q /= 10) out[i] = static_cast<char>('0' + q % 10);
}

// The digits of a text such as "-1.2345e+06" (at most 19 of them).
Digits FromScientific(std::string_view text) {
  Digits out;
  std::size_t p = 0;
  if (p < text.size() && text[p] == '-') {
    out.negative = true;
    ++p;
  }
  out.count = 0;
  for (; p < text.size() && text[p] != 'e'; ++p) {
    if (IsDigit(text[p])) {
      out.q = out.q * 10 + static_cast<std::uint64_t>(text[p] - '0');
      ++out.count;
    }
  }
  if (p < text.size()) {
    std::from_chars(text.data() + p + 1 + (text[p + 1] == '+'), text.data() + text.size(), out.exp10);
  }
  Trim(out);
  return out;
}

// value rounded to `significant` digits in double arithmetic, for the common case: t =
// |value| x 10^k rounded once. t's whole part and fraction come off its bits. The fraction is a multiple of
// t's last place, so unless it is exactly one half, the rounding error of t (below half that place) cannot
// move it across one half; at exactly one half a fused multiply-add gives the sign of that error. Needs
// 10^|k| exact in a double (|k| <= 22) and at most 15 digits, so that t is below 2^53 with its point inside
// the mantissa. False when those do not hold. Every number the window shows passes here: with each text
// written from the exact expansion below instead, the automatic design takes 24 times as long.
[[gnu::always_inline]] inline bool ScaledRoundedDigits(double value, int significant, Digits& out) {
  if (significant > 15 || !std::isnormal(value)) return false;
  const double a = std::fabs(value);
  int d = ((static_cast<int>(Bits(a) >> 52) - 1023) * 78913) >> 18;  // floor(log10 a) or one less
  for (int attempt = 0; attempt < 2; ++attempt) {
    const int k = significant - 1 - d;
    if (k < -22 || k > 22) return false;
    const double scale = kExactPow10[k < 0 ? -k : k];
    const double t = k >= 0 ? a * scale : a / scale;
    const double high = kExactPow10[significant];
    if (t >= high) {  // d was one too low (t, rounded, may just touch 10^s: see below)
      ++d;
      continue;
    }
    if (t < kExactPow10[significant - 1]) return false;
    const auto bits = Bits(t);
    const int below = 1075 - static_cast<int>(bits >> 52);  // mantissa bits below the point: 0 to 52
    const std::uint64_t m = (bits & ((std::uint64_t{1} << 52) - 1)) | (std::uint64_t{1} << 52);
    std::uint64_t q = m >> below;
    if (below > 0) {
      const std::uint64_t fraction = m & ((std::uint64_t{1} << below) - 1),
                          half = std::uint64_t{1} << (below - 1);
      bool up = fraction > half;
      if (fraction == half) {  // t is a whole number and a half: which side is |value| x 10^k?
        const double e = k >= 0 ? std::fma(a, scale, -t) : std::fma(-t, scale, a);
        up = e >= 0;  // exactly half (e = 0) rounds away from zero too
      }
      if (up) ++q;
    }
    if (q == kPow10[static_cast<std::size_t>(significant)]) {  // 9.99.. -> 10.0..
      q /= 10;
      ++d;
    }
    out.negative = value < 0;
    out.q = q;
    out.count = significant;
    out.exp10 = d;
    return true;
  }
  return false;
}

#if !VTQ_FLOAT_CHARCONV
// The exact decimal expansion of a finite, non-zero |value| = m x 2^e as "d.ddd...e+XX",
// from the bits: the digits are those of the integer m x 2^e, or m x 5^-e when e < 0
// (then |value| = m x 5^-e x 10^e), worked out in base-10^9 limbs. printf's %e gives
// the same text, but WebAssembly's printf computes in software 128-bit floating point,
// which made the small values of a design (capacitances, inductances in henries) cost
// several times the rest of it.
std::string ExactScientific(double value) {
  const std::uint64_t bits = Bits(value);
  const int biased = static_cast<int>((bits >> 52) & 0x7FF);
  std::uint64_t m = bits & ((std::uint64_t{1} << 52) - 1);
  int e = -1074;  // subnormal
  if (biased != 0) {
    m |= std::uint64_t{1} << 52;
    e = biased - 1075;
  }
  constexpr std::uint32_t kBase = 1000000000;
  std::vector<std::uint32_t> limbs;  // least significant first
  for (; m != 0; m /= kBase) limbs.push_back(static_cast<std::uint32_t>(m % kBase));
  // By 2^13 or 5^13 at a time: a limb times either, plus the carry, stays within 64 bits.
  for (int left = std::abs(e); left > 0; left -= 13) {
    const int step = std::min(left, 13);
    std::uint64_t factor = 1;
    for (int i = 0; i < step; ++i) factor *= e < 0 ? 5 : 2;
    std::uint64_t carry = 0;
    for (std::uint32_t& limb : limbs) {
      const std::uint64_t x = limb * factor + carry;
      limb = static_cast<std::uint32_t>(x % kBase);
      carry = x / kBase;
    }
    for (; carry != 0; carry /= kBase) limbs.push_back(static_cast<std::uint32_t>(carry % kBase));
  }
  std::string digits = std::to_string(limbs.back());
  for (auto limb = limbs.rbegin() + 1; limb != limbs.rend(); ++limb) {
    const std::string part = std::to_string(*limb);
    digits.append(9 - part.size(), '0').append(part);
  }
  const int exponent = static_cast<int>(digits.size()) - 1 + std::min(e, 0);
  return (value < 0 ? "-" : "") + digits.substr(0, 1) + "." + digits.substr(1) + "e" +
         std::to_string(exponent);
}
#endif

// Very large or small magnitudes: from the exact decimal expansion (a double has at
// most 767 significant digits), rounded by hand with the same half-up rule.
[[gnu::noinline]] Digits ExactRoundedDigits(double value, int significant) {
#if VTQ_FLOAT_CHARCONV
  static thread_local std::array<char, 800> buf;
  auto r = std::to_chars(buf.data(), buf.data() + buf.size(), value, std::chars_format::scientific, 770);
  std::string_view text(buf.data(), static_cast<std::size_t>(r.ptr - buf.data()));
#else
  const std::string expansion = ExactScientific(value);
  const std::string_view text = expansion;
#endif
  Digits out;
  out.negative = text.front() == '-';
  std::size_t e = text.find('e');
  int exponent = 0;
  std::from_chars(text.data() + e + 1 + (text[e + 1] == '+'), text.data() + text.size(), exponent);
  std::string digits;
  for (char c : text.substr(0, e)) {
    if (IsDigit(c)) digits += c;
  }
  // The expansion ends at its last non-zero digit; the places past it are zeros.
  if (digits.size() <= static_cast<std::size_t>(significant))
    digits.resize(static_cast<std::size_t>(significant) + 1, '0');
  // Half up at the first digit dropped; a carry out of the first digit (9.99 -> 10.0)
  // leaves q = 10^significant, one digit too many.
  out.count = significant;
  for (int k = 0; k < significant; ++k)
    out.q = out.q * 10 + static_cast<std::uint64_t>(digits[static_cast<std::size_t>(k)] - '0');
  if (digits[static_cast<std::size_t>(significant)] >= '5') ++out.q;
  if (out.q == Pow10(significant)) {
    out.q /= 10;
    ++exponent;
  }
  out.exp10 = exponent;
  Trim(out);
  return out;
}

Digits RoundedDigits(double value, int significant) {
  // One named result built in place: a copy of a struct just written field by field
  // stalls on the store-to-load forwarding of its wider loads.
  Digits out;
  // Zero has no digits to round (and the list pick shows many).
  if (value == 0.0) {
    out.negative = std::signbit(value);
  } else if (!ScaledRoundedDigits(value, significant, out)) {
    out = ExactRoundedDigits(value, significant);
  }
  return out;
}

Digits ShortestDigits(float value) {
  return FromScientific(ShortestScientific(value));
}

// Renders digits as printf's %G does with the given precision: fixed notation unless
// the exponent is below -4 or at least the precision.
void RenderGeneral(Digits& v, int precision, std::string& out) {
  Trim(v);
  std::array<char, 20> d;  // NOLINT(cppcoreguidelines-pro-type-member-init): written next
  WriteDigits(v.q, v.count, d.data());
  // At most a sign, 15 digits and, in fixed notation, 4 zeros and a point, or in
  // E notation a point and an exponent of at most 4 characters.
  std::array<char, 32> text;  // NOLINT(cppcoreguidelines-pro-type-member-init): written next
  char* o = text.data();
  if (v.negative && v.q != 0) *o++ = '-';
  const auto count = static_cast<std::size_t>(v.count);
  if (v.exp10 < -4 || v.exp10 >= precision) {
    *o++ = d[0];
    if (count > 1) {
      *o++ = '.';
      o = std::copy_n(d.data() + 1, count - 1, o);
    }
    *o++ = 'E';
    *o++ = v.exp10 < 0 ? '-' : '+';
    const int e = v.exp10 < 0 ? -v.exp10 : v.exp10;
    if (e >= 100) *o++ = static_cast<char>('0' + e / 100);
    *o++ = static_cast<char>('0' + e / 10 % 10);
    *o++ = static_cast<char>('0' + e % 10);
  } else if (v.exp10 < 0) {
    *o++ = '0';
    *o++ = '.';
    o = std::fill_n(o, -v.exp10 - 1, '0');
    o = std::copy_n(d.data(), count, o);
  } else {
    const auto whole = static_cast<std::size_t>(v.exp10) + 1;  // integer digits
    if (count <= whole) {
      o = std::copy_n(d.data(), count, o);
      o = std::fill_n(o, whole - count, '0');
    } else {
      o = std::copy_n(d.data(), whole, o);
      *o++ = '.';
      o = std::copy_n(d.data() + whole, count - whole, o);
    }
  }
  out.assign(text.data(), o);
}

}  // namespace

DecimalForm Decimal(double value, int significant) {
  Digits v = RoundedDigits(value, significant);
  Trim(v);
  std::string digits(static_cast<std::size_t>(v.count), '0');
  WriteDigits(v.q, v.count, digits.data());
  return {v.negative, digits, v.exp10};
}

std::string SingleText(Single value) {
  std::string out;
  Digits shortest = ShortestDigits(value);
  if (shortest.count <= 7) {
    RenderGeneral(shortest, 7, out);
  } else {
    Digits rounded = RoundedDigits(value, 7);
    RenderGeneral(rounded, 7, out);
  }
  return out;
}

void DoubleText(double value, std::string& out) {
  Digits rounded = RoundedDigits(value, 15);
  RenderGeneral(rounded, 15, out);
}

double DoubleTextValue(double value) {
  if (!std::isfinite(value)) throw StepFailed{};
  Digits v = RoundedDigits(value, 15);
  Trim(v);
  // At most 15 digits and a power of ten a double holds: one correctly rounded step, as
  // the reader takes it (reading the text back instead costs the automatic design 5 %).
  const int scale = v.exp10 - v.count + 1;
  if (scale >= -22 && scale <= 22) {
    const auto q = static_cast<double>(v.q);
    const double magnitude = scale >= 0 ? q * kExactPow10[scale] : q / kExactPow10[-scale];
    return v.negative && v.q != 0 ? -magnitude : magnitude;
  }
  if (auto read = ParseStrict(DoubleText(value))) return *read;
  throw StepFailed{};
}

std::string IntegerText(long value) {
  return std::to_string(value);
}

#if VTQ_FLOAT_CHARCONV

std::string ShortestScientific(Single value) {
  std::array<char, 48> buf{};
  auto r = std::to_chars(buf.data(), buf.data() + buf.size(), value, std::chars_format::scientific);
  return {buf.data(), r.ptr};
}

std::string ShortestSingle(Single value) {
  std::array<char, 48> buf{};
  auto r = std::to_chars(buf.data(), buf.data() + buf.size(), value);
  return {buf.data(), r.ptr};
}

#else

namespace {

// The text to_chars writes for digits in scientific form: "-1.25e+07", "5e-05".
std::string ScientificText(Digits v) {
  Trim(v);
  std::array<char, 20> d{};
  WriteDigits(v.q, v.count, d.data());
  std::string text = v.negative ? "-" : "";
  text += d[0];
  if (v.count > 1) text.append(".").append(d.data() + 1, static_cast<std::size_t>(v.count - 1));
  const int e = v.exp10 < 0 ? -v.exp10 : v.exp10;
  return text + (v.exp10 < 0 ? "e-" : "e+") + (e < 10 ? "0" : "") + std::to_string(e);
}

}  // namespace

// Without a floating-point to_chars: the fewest digits that read back as the same float,
// the nearest such text when there are two. printf rounds to the nearest text of each
// length, but at a power of two the float's interval is lopsided, so the next text on
// the far side can read back where the nearest does not. Nine digits always read back.
std::string ShortestScientific(Single value) {
  if (value == 0) return std::signbit(value) ? "-0e+00" : "0e+00";
  std::array<char, 48> buf{};
  for (int count = 1;; ++count) {
    std::snprintf(buf.data(), buf.size(), "%.*e", count - 1, static_cast<double>(value));
    const std::string_view text(buf.data());
    Digits nearest{0, count, 0, value < 0};
    std::size_t e = text.find('e');
    for (char c : text.substr(0, e)) {
      if (IsDigit(c)) nearest.q = nearest.q * 10 + static_cast<std::uint64_t>(c - '0');
    }
    std::from_chars(text.data() + e + 1 + (text[e + 1] == '+'), text.data() + text.size(), nearest.exp10);
    Digits up = nearest, down = nearest;
    if (++up.q == Pow10(count)) up = {Pow10(count - 1), count, nearest.exp10 + 1, nearest.negative};
    if (--down.q < Pow10(count - 1)) down = {Pow10(count) - 1, count, nearest.exp10 - 1, nearest.negative};
    for (const Digits& candidate : {nearest, up, down}) {
      std::string candidateText = ScientificText(candidate);
      if (std::strtof(candidateText.c_str(), nullptr) == value || count == 9) return candidateText;
    }
  }
}

// As to_chars without a format: the shorter of the fixed and scientific forms of the
// shortest digits, fixed on a tie.
std::string ShortestSingle(Single value) {
  std::string scientific = ShortestScientific(value);
  Digits v = FromScientific(scientific);
  std::array<char, 20> d{};
  WriteDigits(v.q, v.count, d.data());
  const std::string digits(d.data(), static_cast<std::size_t>(v.count));
  std::string fixed = v.negative || std::signbit(value) ? "-" : "";
  if (v.exp10 < 0) {
    fixed += "0." + std::string(static_cast<std::size_t>(-v.exp10 - 1), '0') + digits;
  } else if (v.exp10 + 1 >= v.count) {
    // A whole number in fixed form is written exactly, not as its digits padded with zeros.
    std::array<char, 48> whole{};
    std::snprintf(whole.data(), whole.size(), "%.0f", std::fabs(static_cast<double>(value)));
    fixed += whole.data();
  } else {
    const std::size_t point = static_cast<std::size_t>(v.exp10) + 1;  // exp10 >= 0 here
    fixed += digits.substr(0, point) + "." + digits.substr(point);
  }
  return fixed.size() <= scientific.size() ? fixed : scientific;
}

#endif

namespace {

// Rounds half away from zero at the last fraction place the pattern shows, and drops
// the trailing zeros.
[[gnu::always_inline]] inline void RoundAt(Digits& v, const Pattern& pat) {
  const int keep = v.exp10 + pat.maxFrac + 1;  // digits of v that stay
  if (keep <= 0) {
    if (v.q == 0) return;
    // Nothing stays; only a first digit of 5 or more right after the last place shown
    // rounds up to one unit of that place.
    const bool up = keep == 0 && v.q >= 5 * Pow10(v.count - 1);
    v = {up ? 1U : 0U, 1, up ? -pat.maxFrac : 0, v.negative};
    return;
  }
  if (keep < v.count) {
    const int drop = v.count - keep;
    const std::uint64_t kept = v.q / Pow10(drop);
    const std::uint64_t rest = v.q - kept * Pow10(drop);
    v.q = kept;
    if (rest >= Pow10(drop) / 2) ++v.q;
    v.count = keep;
    if (v.q == Pow10(keep)) {  // 9.99 -> 10.0
      v.q = 1;
      v.count = 1;
      ++v.exp10;
    }
  }
  Trim(v);
}

// The places a pattern shows for digits already rounded by RoundAt: from 10^first down
// to 10^-frac (none when first < -frac).
struct Layout {
  int zero;  // a whole int: a byte member costs a stalled load when the struct is copied
  int first, frac;
};
[[gnu::always_inline]] inline Layout LayoutOf(const Digits& v, const Pattern& pat) {
  const bool zero = v.q == 0;
  const int top = zero ? -1 : v.exp10;  // highest integer place holding a significant digit
  // Fraction places up to the last significant digit (RoundAt cut the digits at
  // maxFrac and dropped trailing zeros), at least the '0' placeholders.
  const int needed = zero ? 0 : v.count - 1 - v.exp10;
  return {zero, std::max(top, pat.minInt - 1), std::max(pat.minFrac, std::min(needed, pat.maxFrac))};
}

void Render(const Digits& v, const Pattern& pat, std::string& out) {
  const Layout at = LayoutOf(v, pat);
  const bool minus = v.negative && at.zero == 0;
  const int integerPlaces = at.first + 1;  // places 10^first .. 10^0 (0 when first is -1)
  const std::size_t length = pat.prefix.size() + (minus ? 1 : 0) + static_cast<std::size_t>(integerPlaces) +
                             (pat.point ? 1 : 0) + static_cast<std::size_t>(at.frac) + pat.suffix.size();
  // A box's text mostly keeps its length from one design to the next: then no call at all.
  if (out.size() != length) out.resize(length);
  char* o = std::copy(pat.prefix.begin(), pat.prefix.end(), out.data());
  if (minus) *o++ = '-';
  // Place 10^p stands just before the point for p >= 0, -p characters after it for
  // p < 0. Every place shown is written, from the last: 0 below v's last digit, then
  // v's digits, then 0 again once they run out. RoundAt cut the digits at the last
  // fraction place, and `first` reaches the first digit.
  char* const point = o + integerPlaces;
  if (pat.point) *point = '.';
  std::uint64_t q = v.q;
  const int last = at.zero != 0 ? at.first + 1 : v.exp10 - v.count + 1;  // v's last digit's place
  int p = -at.frac;
  for (; p < last && p < 0; ++p) point[-p] = '0';
  for (; p < last; ++p) point[-1 - p] = '0';
  for (; p < 0; ++p, q /= 10) point[-p] = static_cast<char>('0' + q % 10);
  for (; p <= at.first; ++p, q /= 10) point[-1 - p] = static_cast<char>('0' + q % 10);
  std::copy(pat.suffix.begin(), pat.suffix.end(), point + (pat.point ? 1 : 0) + at.frac);
}

void Apply(Digits& v, const Pattern& pat, std::string& out) {
  if (!pat.found) {
    out = pat.prefix;
    return;
  }
  RoundAt(v, pat);
  Render(v, pat, out);
}

// `v` is the decimal form of a value a first pattern is about to show. When that text
// is a plain number, its value reads back to exactly the digits RoundAt leaves (at
// most 15 of them), so the box pattern can start from those. Writing the text and reading
// it back instead makes the automatic design 1.25 times as long.
void InBox(Digits& v, const Pattern& first, const Pattern& box, std::string& out) {
  if (!first.found || !first.prefix.empty() || !first.suffix.empty()) {
    std::string shown;
    Apply(v, first, shown);
    FormatText(shown, box, out);
    return;
  }
  RoundAt(v, first);
  const Layout at = LayoutOf(v, first);
  if (at.first + at.frac + 1 <= 0) {  // no digit shown: no number
    Render(v, first, out);
    return;
  }
  Apply(v, box, out);
}

}  // namespace

void FormatSingle(Single value, const Pattern& pattern, std::string& out) {
  Digits v = RoundedDigits(value, 7);
  Apply(v, pattern, out);
}

void FormatDouble(double value, const Pattern& pattern, std::string& out) {
  Digits v = RoundedDigits(value, 15);
  Apply(v, pattern, out);
}

void FormatText(std::string_view text, const Pattern& pattern, std::string& out) {
  if (auto value = ParseStrict(text)) {
    FormatDouble(*value, pattern, out);
  } else {
    out = text;  // (text may be out itself: assigning a string to itself is harmless)
  }
}

void FormatDoubleInBox(double value, const Pattern& first, const Pattern& box, std::string& out) {
  Digits v = RoundedDigits(value, 15);
  InBox(v, first, box, out);
}

void FormatSingleInBox(Single value, const Pattern& first, const Pattern& box, std::string& out) {
  Digits v = RoundedDigits(value, 7);
  InBox(v, first, box, out);
}

void DoubleTextInBox(double value, const Pattern& box, std::string& out) {
  Digits v = RoundedDigits(value, 15);
  Apply(v, box, out);
}

double ShortestSingleValue(Single value) {
  if (!std::isfinite(value)) return value;
  // Read from the text itself: a large whole float is written with all its digits
  // ("5071469056"), which its shortest scientific digits would not give back.
  return ParseStrict(ShortestSingle(value)).value_or(value);
}

void AppendPrinted(std::string& out, double value, int significant, int width) {
  // A C locale of this thread's own for the one call: setlocale would change every
  // thread's, and the window's texts elsewhere may follow the user's.
  static const locale_t c = newlocale(LC_ALL_MASK, "C", locale_t{});
  const locale_t before = uselocale(c);
  char text[64];
  const int n = std::snprintf(text, sizeof text, "%*.*g", width, significant, value);
  uselocale(before);
  if (n > 0) out.append(text, std::min(static_cast<std::size_t>(n), sizeof text - 1));
}

std::string Printed(double value, int significant, int width) {
  std::string out;
  AppendPrinted(out, value, significant, width);
  return out;
}

}  // namespace vtq::num
