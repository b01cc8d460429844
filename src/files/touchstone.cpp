#include "files/touchstone.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <optional>

#include "engine/numbers.h"

namespace vtq::files {
namespace {

using Matrix = std::vector<Complex>;  // n x n, row by row

// The text a line at a time: "\n", "\r\n" and a lone "\r" each end a line, and a UTF-8
// byte-order mark before the first is skipped.
class Lines {
 public:
  explicit Lines(std::string_view text) : text_(text) {
    if (text_.substr(0, 3) == "\xEF\xBB\xBF") text_.remove_prefix(3);
  }
  bool Next(std::string_view& line) {
    if (text_.empty()) return false;
    const std::size_t end = text_.find_first_of("\r\n");
    line = text_.substr(0, end);
    std::size_t skip = end == std::string_view::npos ? text_.size() : end + 1;
    if (end != std::string_view::npos && text_[end] == '\r' && end + 1 < text_.size() &&
        text_[end + 1] == '\n')
      ++skip;
    text_.remove_prefix(skip);
    ++number_;
    return true;
  }
  int number() const { return number_; }

 private:
  std::string_view text_;
  int number_ = 0;
};

std::string At(int line, const std::string& what) {
  return "line " + std::to_string(line) + ": " + what;
}

// A control character other than tab and form feed (a NUL above all) says the file is
// binary: a spreadsheet, a compressed archive, an instrument's own state file.
std::optional<std::string> BinaryIn(std::string_view line) {
  for (const char c : line) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 0x20 && c != '\t' && c != '\f') {
      char hex[8];
      std::snprintf(hex, sizeof hex, "0x%02X", u);
      return "holds the byte " + std::string(hex) + ": a binary file, not text";
    }
  }
  return std::nullopt;
}

std::vector<std::string_view> Words(std::string_view line) {
  std::vector<std::string_view> words;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\f')) ++i;
    const std::size_t start = i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\f') ++i;
    if (i > start) words.push_back(line.substr(start, i - start));
  }
  return words;
}

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

std::string Shown(std::string_view word) {
  return "'" + std::string(word.substr(0, 40)) + (word.size() > 40 ? "...'" : "'");
}

// Gauss-Jordan with partial pivoting; false when the matrix is singular.
bool Invert(Matrix& a, int n) {
  Matrix inv(a.size());
  for (int i = 0; i < n; ++i)
    inv[(static_cast<std::size_t>(i) * static_cast<std::size_t>(n) + static_cast<std::size_t>(i))] = 1;
  auto at = [n](Matrix& m, int r, int c) -> Complex& {
    return m[(static_cast<std::size_t>(r) * static_cast<std::size_t>(n) + static_cast<std::size_t>(c))];
  };
  for (int c = 0; c < n; ++c) {
    int pivot = c;
    for (int r = c + 1; r < n; ++r)
      if (std::abs(at(a, r, c)) > std::abs(at(a, pivot, c))) pivot = r;
    if (!(std::abs(at(a, pivot, c)) > 1e-300)) return false;
    for (int k = 0; k < n; ++k) {
      std::swap(at(a, c, k), at(a, pivot, k));
      std::swap(at(inv, c, k), at(inv, pivot, k));
    }
    const Complex d = at(a, c, c);
    for (int k = 0; k < n; ++k) {
      at(a, c, k) /= d;
      at(inv, c, k) /= d;
    }
    for (int r = 0; r < n; ++r) {
      if (r == c) continue;
      const Complex f = at(a, r, c);
      if (f == Complex{}) continue;
      for (int k = 0; k < n; ++k) {
        at(a, r, k) -= f * at(a, c, k);
        at(inv, r, k) -= f * at(inv, c, k);
      }
    }
  }
  a = std::move(inv);
  return true;
}

Matrix Product(const Matrix& a, const Matrix& b, int n) {
  Matrix p(a.size());
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j < n; ++j) {
      for (int k = 0; k < n; ++k) {
        p[(static_cast<std::size_t>(i) * static_cast<std::size_t>(n) + static_cast<std::size_t>(j))] +=
            a[(static_cast<std::size_t>(i) * static_cast<std::size_t>(n) + static_cast<std::size_t>(k))] *
            b[(static_cast<std::size_t>(k) * static_cast<std::size_t>(n) + static_cast<std::size_t>(j))];
      }
    }
  }
  return p;
}

// S from normalised Z (z = R^-1/2 Z R^-1/2): S = (z - 1)(z + 1)^-1; from normalised Y
// (y = R^1/2 Y R^1/2): S = (1 - y)(1 + y)^-1.
bool ToScattering(Matrix& m, int n, bool admittance) {
  Matrix minus = m, plus = m;
  for (int i = 0; i < n; ++i) {
    const auto d = (static_cast<std::size_t>(i) * static_cast<std::size_t>(n) + static_cast<std::size_t>(i));
    minus[d] -= 1.0;
    plus[d] += 1.0;
  }
  if (admittance)
    for (Complex& v : minus) v = -v;
  if (!Invert(plus, n)) return false;
  m = Product(minus, plus, n);
  return true;
}

struct Options {
  double unit = 1e9;  // Hz a frequency of the file is; GHz when the line does not say
  char parameter = 'S';
  std::string format = "ma";
  double reference = 50;
};

// "# <unit> <parameter> <format> R <n>", every part optional, in any order, any case.
std::string ReadOptions(std::string_view line, Options& o) {
  const std::vector<std::string_view> words = Words(line.substr(1));
  for (std::size_t i = 0; i < words.size(); ++i) {
    const std::string w = Lower(words[i]);
    static constexpr std::pair<std::string_view, double> kUnits[] = {
        {"hz", 1}, {"khz", 1e3}, {"mhz", 1e6}, {"ghz", 1e9}};
    const auto unit =
        std::find_if(std::begin(kUnits), std::end(kUnits), [&](auto& u) { return u.first == w; });
    if (unit != std::end(kUnits)) {
      o.unit = unit->second;
    } else if (w == "s" || w == "y" || w == "z") {
      o.parameter = static_cast<char>(std::toupper(static_cast<unsigned char>(w[0])));
    } else if (w == "g" || w == "h") {
      return "the option line asks for " + std::string(1, static_cast<char>(std::toupper(w[0]))) +
             "-parameters; only S, Y and Z are read";
    } else if (w == "ma" || w == "db" || w == "ri") {
      o.format = w;
    } else if (w == "r") {
      const std::optional<double> r = i + 1 < words.size() ? num::ParseStrict(words[i + 1]) : std::nullopt;
      if (!r || !(*r > 0) || !std::isfinite(*r))
        return "the option line's R must be followed by a reference resistance above 0 ohm";
      o.reference = *r;
      ++i;
    } else {
      return "the option line's " + Shown(words[i]) +
             " is no frequency unit (Hz, kHz, MHz, GHz), parameter (S, Y, Z), format (MA, DB, RI) or R";
    }
  }
  return {};
}

Complex Value(double a, double b, const std::string& format) {
  constexpr double kDegree = std::numbers::pi / 180;
  if (format == "ri") return {a, b};
  const double magnitude = format == "db" ? std::pow(10.0, a / 20) : a;
  return std::polar(magnitude, b * kDegree);
}

enum class Shape { Full, Lower, Upper };

// Everything the data lines need to be read into matrices, from the option line and the
// keywords of a version 2 file.
struct Reader {
  int ports = 0;
  int version = 1;
  Options options;
  Shape shape = Shape::Full;
  bool order21First = true;  // a two-port's row: S11 S21 S12 S22, as version 1 writes it
  bool twoPortOrderGiven = false;
  long frequencyCount = -1;  // [Number of Frequencies]; -1 when not given
  std::vector<double> references;
  bool optionsSeen = false;

  std::size_t Values() const {
    const auto n = static_cast<std::size_t>(ports);
    const std::size_t pairs = shape == Shape::Full ? n * n : n * (n + 1) / 2;
    return 1 + 2 * pairs;
  }

  // The matrix of one frequency's values after the frequency.
  Matrix Fill(const std::vector<double>& v) const {
    const int n = ports;
    Matrix m(static_cast<std::size_t>(n * n));
    std::size_t k = 1;
    for (int i = 0; i < n; ++i) {
      const int from = shape == Shape::Upper ? i : 0, to = shape == Shape::Lower ? i + 1 : n;
      for (int j = from; j < to; ++j, k += 2) {
        int row = i, column = j;
        if (n == 2 && order21First) std::swap(row, column);
        const Complex value = Value(v[k], v[k + 1], options.format);
        m[(static_cast<std::size_t>(row) * static_cast<std::size_t>(n) + static_cast<std::size_t>(column))] =
            value;
        if (shape != Shape::Full) {
          m[static_cast<std::size_t>(column) * static_cast<std::size_t>(n) + static_cast<std::size_t>(row)] =
              value;
        }
      }
    }
    return m;
  }

  // To S, normalising Z and Y to the ports' references where the file gives them in ohm.
  bool Scattering(Matrix& m) const {
    if (options.parameter == 'S') return true;
    const int n = ports;
    const bool admittance = options.parameter == 'Y';
    // A version 1 file gives Z and Y already normalised to R; version 2 in ohm and siemens.
    if (version == 2) {
      for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) {
          const double root =
              std::sqrt(references[static_cast<std::size_t>(i)] * references[static_cast<std::size_t>(j)]);
          m[(static_cast<std::size_t>(i) * static_cast<std::size_t>(n) + static_cast<std::size_t>(j))] *=
              admittance ? root : 1 / root;
        }
      }
    }
    return ToScattering(m, n, admittance);
  }
};

constexpr int kMostPorts = 64;  // past this a port count is a misread number, not a network

std::string ReadWhole(std::string_view word, long& value, long least, long most) {
  const std::optional<double> v = num::ParseStrict(word);
  if (!v || *v != std::floor(*v) || *v < static_cast<double>(least) || *v > static_cast<double>(most))
    return Shown(word) + " is no whole number from " + std::to_string(least) + " to " + std::to_string(most);
  value = static_cast<long>(*v);
  return {};
}

// A version 2 keyword line: "[Name] value".
std::string ReadKeyword(std::string_view line, Reader& r, bool& data, bool& end, bool& information,
                        std::vector<double>& pendingReferences, bool& referenceOpen) {
  const std::size_t close = line.find(']');
  if (close == std::string_view::npos) return "a keyword without its closing ']'";
  const std::string key = Lower(line.substr(1, close - 1));
  const std::vector<std::string_view> rest = Words(line.substr(close + 1));
  if (information) {
    if (key == "end information") information = false;
    return {};
  }
  if (key == "version") return {};  // read before the rest
  if (key == "number of ports") {
    long n = 0;
    if (rest.empty()) return "[Number of Ports] without a number";
    if (std::string e = ReadWhole(rest[0], n, 1, kMostPorts); !e.empty()) return "[Number of Ports]: " + e;
    r.ports = static_cast<int>(n);
  } else if (key == "two-port data order") {
    const std::string v = rest.empty() ? "" : Lower(rest[0]);
    if (v != "12_21" && v != "21_12") return "[Two-Port Data Order] must be 12_21 or 21_12";
    r.order21First = v == "21_12";
    r.twoPortOrderGiven = true;
  } else if (key == "number of frequencies") {
    if (rest.empty()) return "[Number of Frequencies] without a number";
    if (std::string e = ReadWhole(rest[0], r.frequencyCount, 1, 100000000); !e.empty())
      return "[Number of Frequencies]: " + e;
  } else if (key == "number of noise frequencies") {
  } else if (key == "reference") {
    referenceOpen = true;
    for (const auto w : rest) {
      const std::optional<double> v = num::ParseStrict(w);
      if (!v || !(*v > 0) || !std::isfinite(*v))
        return "[Reference]: " + Shown(w) + " is no resistance above 0 ohm";
      pendingReferences.push_back(*v);
    }
  } else if (key == "matrix format") {
    const std::string v = rest.empty() ? "" : Lower(rest[0]);
    if (v != "full" && v != "lower" && v != "upper") return "[Matrix Format] must be Full, Lower or Upper";
    r.shape = v == "full" ? Shape::Full : v == "lower" ? Shape::Lower : Shape::Upper;
  } else if (key == "mixed-mode order") {
    return "a mixed-mode file ([Mixed-Mode Order]); save the measurement as single-ended S-parameters";
  } else if (key == "begin information") {
    information = true;
  } else if (key == "network data") {
    data = true;
  } else if (key == "noise data" || key == "end") {
    end = true;
  } else {
    return "the keyword [" + std::string(line.substr(1, std::min<std::size_t>(close - 1, 40))) +
           "] is not known";
  }
  return {};
}

}  // namespace

int PortsOfName(std::string_view name) {
  const std::size_t dot = name.find_last_of("./");
  if (dot == std::string_view::npos || name[dot] != '.') return 0;
  const std::string ext = Lower(name.substr(dot + 1));
  if (ext.size() < 3 || ext.front() != 's' || ext.back() != 'p') return 0;
  int n = 0;
  const auto [end, ec] = std::from_chars(ext.data() + 1, ext.data() + ext.size() - 1, n);
  if (ec != std::errc{} || end != ext.data() + ext.size() - 1 || n < 1 || n > kMostPorts) return 0;
  return n;
}

NetworkRead ParseTouchstone(std::string_view text, int ports) {
  NetworkRead out;
  Reader r;
  r.ports = ports;
  Lines lines(text);
  std::string_view raw;
  bool data = false, end = false, information = false, referenceOpen = false;
  std::vector<double> record, pendingReferences;
  int recordLine = 0;
  auto fail = [&](int line, const std::string& why) {
    out.error = At(line, why);
    out.network = {};
    return out;
  };
  // Before the first data line: the version, the port count and the references settled.
  auto ready = [&](int line) -> std::string {
    if (r.ports < 1) {
      return r.version == 2
                 ? "data before [Number of Ports]"
                 : "the number of ports is unknown: the file's name must end in .s1p, .s2p, .s4p ...";
    }
    if (r.version == 2 && r.ports == 2 && !r.twoPortOrderGiven)
      return "a two-port file needs [Two-Port Data Order]";
    if (r.version == 2 && r.ports != 2) r.order21First = false;
    if (r.version == 1 && r.shape != Shape::Full) return "a version 1 file has full matrices only";
    if (!pendingReferences.empty() && pendingReferences.size() != static_cast<std::size_t>(r.ports)) {
      return "[Reference] gives " + std::to_string(pendingReferences.size()) + " resistances for " +
             std::to_string(r.ports) + " ports";
    }
    r.references = pendingReferences.empty()
                       ? std::vector<double>(static_cast<std::size_t>(r.ports), r.options.reference)
                       : pendingReferences;
    (void)line;
    return {};
  };
  bool first = true;
  while (!end && lines.Next(raw)) {
    const int n = lines.number();
    if (const auto binary = BinaryIn(raw)) return fail(n, *binary);
    std::string_view line = raw.substr(0, raw.find('!'));
    const std::vector<std::string_view> words = Words(line);
    if (words.empty()) continue;
    if (first) {
      first = false;
      if (Lower(words[0]) == "[version]") {
        const std::string v = words.size() > 1 ? std::string(words[1]) : "";
        if (v != "2.0" && v != "2.1")
          return fail(n, "[Version] " + Shown(v) + " is not read; 1, 2.0 and 2.1 are");
        r.version = 2;
        r.ports = 0;  // the file says it
        continue;
      }
    }
    if (words[0].front() == '#') {
      if (r.optionsSeen) continue;  // a second option line is ignored, as version 1 files expect
      if (data) return fail(n, "the option line comes after the data");
      if (std::string e = ReadOptions(line.substr(line.find('#')), r.options); !e.empty()) return fail(n, e);
      r.optionsSeen = true;
      continue;
    }
    if (words[0].front() == '[') {
      if (r.version != 2)
        return fail(n, "a keyword (" + Shown(words[0]) + ") in a file without [Version] 2.0 first");
      if (referenceOpen && !information) referenceOpen = false;
      const std::size_t open = line.find('[');
      if (std::string e =
              ReadKeyword(line.substr(open), r, data, end, information, pendingReferences, referenceOpen);
          !e.empty())
        return fail(n, e);
      continue;
    }
    if (information) continue;
    if (referenceOpen && r.ports > 0 && pendingReferences.size() < static_cast<std::size_t>(r.ports)) {
      for (const auto w : words) {
        const std::optional<double> v = num::ParseStrict(w);
        if (!v || !(*v > 0) || !std::isfinite(*v))
          return fail(n, "[Reference]: " + Shown(w) + " is no resistance above 0 ohm");
        pendingReferences.push_back(*v);
      }
      continue;
    }
    if (r.version == 2 && !data) return fail(n, "data before [Network Data]");
    if (r.references.empty()) {
      if (std::string e = ready(n); !e.empty()) return fail(n, e);
      out.network.ports = r.ports;
      out.network.version = r.version;
      out.network.references = r.references;
      out.network.parameter = std::string(1, r.options.parameter);
    }
    std::vector<double> values;
    for (const auto w : words) {
      const std::optional<double> v = num::ParseStrict(w);
      if (!v || !std::isfinite(*v)) return fail(n, Shown(w) + " is not a number");
      values.push_back(*v);
    }
    const std::size_t need = r.Values();
    if (record.empty()) {
      // Noise parameters follow a version 1 two-port's data: five values a line, the
      // frequency starting again from below the last.
      if (r.version == 1 && r.ports == 2 && values.size() == 5 && !out.network.frequencies.empty() &&
          values[0] * r.options.unit <= out.network.frequencies.back())
        break;
      recordLine = n;
    }
    if (record.size() + values.size() > need) {
      if (!record.empty()) {
        return fail(recordLine, "too few values: " + std::to_string(record.size()) + " where a " +
                                    std::to_string(r.ports) + "-port frequency needs " +
                                    std::to_string(need));
      }
      return fail(n, "too many values: " + std::to_string(values.size()) + " where a " +
                         std::to_string(r.ports) + "-port frequency needs " + std::to_string(need));
    }
    record.insert(record.end(), values.begin(), values.end());
    if (record.size() < need) continue;
    const double f = record[0] * r.options.unit;
    if (f < 0) return fail(recordLine, "the frequency " + num::DoubleText(record[0]) + " is negative");
    if (!out.network.frequencies.empty() && !(f > out.network.frequencies.back())) {
      return fail(recordLine,
                  "the frequency " + num::DoubleText(record[0]) + " does not rise above the one before");
    }
    Matrix m = r.Fill(record);
    if (!r.Scattering(m)) {
      return fail(recordLine,
                  "the " + out.network.parameter + " matrix has no S-parameters (1 + it is singular)");
    }
    out.network.frequencies.push_back(f);
    out.network.s.push_back(std::move(m));
    record.clear();
  }
  if (!record.empty()) {
    return fail(recordLine, "too few values: " + std::to_string(record.size()) + " where a " +
                                std::to_string(r.ports) + "-port frequency needs " +
                                std::to_string(r.Values()));
  }
  if (out.network.frequencies.empty()) return fail(lines.number(), "the file holds no network data");
  if (r.frequencyCount >= 0 && static_cast<std::size_t>(r.frequencyCount) != out.network.frequencies.size()) {
    return fail(lines.number(), "[Number of Frequencies] says " + std::to_string(r.frequencyCount) +
                                    " but the data has " + std::to_string(out.network.frequencies.size()));
  }
  return out;
}

namespace {

// Every digit a double needs to read back as itself, a point in every locale.
void AppendExact(std::string& out, double v) {
  out += num::Printed(v, 17);
}

}  // namespace

std::string WriteTouchstone(const Network& network, double reference,
                            const std::vector<std::string>& comments) {
  std::string out;
  for (const std::string& c : comments) out += "! " + c + "\n";
  out += "# Hz S RI R ";
  AppendExact(out, reference);
  out += "\n";
  const int n = network.ports;
  for (std::size_t k = 0; k < network.frequencies.size(); ++k) {
    AppendExact(out, network.frequencies[k]);
    const Matrix& m = network.s[k];
    auto pair = [&](int i, int j) {
      const Complex v =
          m[(static_cast<std::size_t>(i) * static_cast<std::size_t>(n) + static_cast<std::size_t>(j))];
      out += ' ';
      AppendExact(out, v.real());
      out += ' ';
      AppendExact(out, v.imag());
    };
    if (n == 2) {  // version 1 writes a two-port's row column by column: 11 21 12 22
      pair(0, 0), pair(1, 0), pair(0, 1), pair(1, 1);
      out += '\n';
      continue;
    }
    // One matrix row a line, at most four pairs to a line, the continuation indented.
    for (int i = 0; i < n; ++i) {
      for (int j = 0; j < n; ++j) {
        if (j > 0 && j % 4 == 0) out += "\n ";
        pair(i, j);
      }
      out += i + 1 < n ? "\n " : "\n";
    }
  }
  return out;
}

ImpedanceTable ParseImpedanceCsv(std::string_view text) {
  ImpedanceTable t;
  auto fail = [&t](int line, const std::string& why) {
    t = {};
    t.error = At(line, why);
    return t;
  };
  Lines lines(text);
  std::string_view raw;
  std::vector<std::string> heading;
  // Column pairs: the first of each, the second, whether polar (|Z| and degrees), and where it goes.
  struct Pair {
    std::string_view a, b;
    bool polar;
    std::vector<Complex> ImpedanceTable::*to;
  };
  static constexpr Pair kPairs[] = {{"z_ohm", "phase_deg", true, &ImpedanceTable::impedance},
                                    {"r_ohm", "x_ohm", false, &ImpedanceTable::impedance},
                                    {"rcm_ohm", "xcm_ohm", false, &ImpedanceTable::commonMode},
                                    {"rdm_ohm", "xdm_ohm", false, &ImpedanceTable::differential}};
  struct Used {
    std::size_t a, b;
    const Pair* pair;
  };
  std::vector<Used> used;
  std::size_t frequencyColumn = 0;
  auto split = [](std::string_view line) {
    std::vector<std::string_view> cells;
    for (std::size_t start = 0;;) {
      const std::size_t comma = line.find(',', start);
      std::string_view cell = line.substr(start, comma - start);
      while (!cell.empty() && (cell.front() == ' ' || cell.front() == '\t')) cell.remove_prefix(1);
      while (!cell.empty() && (cell.back() == ' ' || cell.back() == '\t')) cell.remove_suffix(1);
      cells.push_back(cell);
      if (comma == std::string_view::npos) return cells;
      start = comma + 1;
    }
  };
  while (lines.Next(raw)) {
    const int n = lines.number();
    if (const auto binary = BinaryIn(raw)) return fail(n, *binary);
    if (Words(raw).empty() || Words(raw)[0].front() == '#') continue;
    const std::vector<std::string_view> cells = split(raw);
    if (heading.empty()) {
      for (const auto c : cells) heading.push_back(Lower(c));
      auto column = [&](std::string_view name) {
        return static_cast<std::size_t>(std::find(heading.begin(), heading.end(), name) - heading.begin());
      };
      frequencyColumn = column("frequency_hz");
      if (frequencyColumn == heading.size()) return fail(n, "the heading names no frequency_hz column");
      for (const Pair& p : kPairs) {
        const std::size_t a = column(p.a), b = column(p.b);
        if ((a == heading.size()) != (b == heading.size())) {
          return fail(n, "the heading names " + std::string(a == heading.size() ? p.b : p.a) + " without " +
                             std::string(a == heading.size() ? p.a : p.b));
        }
        if (a != heading.size()) used.push_back({a, b, &p});
      }
      if (used.empty()) {
        return fail(n,
                    "the heading names no impedance: z_ohm,phase_deg or r_ohm,x_ohm (or rcm_ohm,xcm_ohm; "
                    "rdm_ohm,xdm_ohm)");
      }
      if (used.size() > 1 && used[0].pair->to == used[1].pair->to)
        return fail(n, "the heading names the impedance twice: z_ohm,phase_deg and r_ohm,x_ohm");
      continue;
    }
    if (cells.size() != heading.size()) {
      return fail(n, std::to_string(cells.size()) + " values where the heading names " +
                         std::to_string(heading.size()));
    }
    auto value = [&](std::size_t i) { return num::ParseStrict(cells[i]); };
    const std::optional<double> f = value(frequencyColumn);
    if (!f || !(*f >= 0) || !std::isfinite(*f))
      return fail(n, Shown(cells[frequencyColumn]) + " is no frequency in Hz");
    if (!t.frequencies.empty() && !(*f > t.frequencies.back())) {
      return fail(
          n, "the frequency " + std::string(cells[frequencyColumn]) + " does not rise above the one before");
    }
    t.frequencies.push_back(*f);
    for (const Used& u : used) {
      const std::optional<double> a = value(u.a), b = value(u.b);
      if (!a || !b || !std::isfinite(*a) || !std::isfinite(*b))
        return fail(n, Shown(cells[a ? u.b : u.a]) + " is not a number");
      if (u.pair->polar && *a < 0)
        return fail(n, "the magnitude " + std::string(cells[u.a]) + " is negative");
      (t.*(u.pair->to))
          .push_back(u.pair->polar ? std::polar(*a, *b * std::numbers::pi / 180) : Complex{*a, *b});
    }
  }
  if (heading.empty())
    return fail(lines.number(), "no heading line: frequency_hz,z_ohm,phase_deg or frequency_hz,r_ohm,x_ohm");
  if (t.frequencies.empty()) return fail(lines.number(), "the table holds no frequency");
  return t;
}

}  // namespace vtq::files
