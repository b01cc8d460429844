#include "analysis/emissions.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <optional>
#include <tuple>
#include <utility>

#include "analysis/quotient.h"
#include "engine/numbers.h"

namespace vtq::analysis {
namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;
constexpr std::complex<double> kJ{0, 1};
constexpr double kMinusInfinity = -std::numeric_limits<double>::infinity();

// sin(x) / x, with the zeros of sin exact: the even harmonics of a 50 % wave are absent,
// not 1e-16 of the fundamental, and a level of -250 dBuV would only be rounding noise.
// The zeros lie at |x| >= pi; near x = 0 the ratio tends to 1, so an edge of 1e-20 s is
// the ideal step it is, not a source without harmonics.
double Sinc(double x) {
  if (std::abs(x) < 1) return x == 0 ? 1 : std::sin(x) / x;
  const double s = std::sin(x);
  return std::abs(s) < 1e-12 ? 0 : s / x;
}

// dBuV of the RMS value of a harmonic of peak amplitude |v| volts.
double DbMicrovolt(std::complex<double> v) {
  const double rms = std::abs(v) / std::numbers::sqrt2;
  return rms > 0 ? 20 * std::log10(rms / 1e-6) : kMinusInfinity;
}

std::complex<double> Parallel(std::complex<double> a, std::complex<double> b) {
  return Quotient(a * b, a + b);
}

// Common mode: the switched node drives the equipment's lines against earth through C_p;
// the Y capacitors (every line's, in parallel) shunt it to earth, then the choke, then
// every line's network in parallel. The current is split equally between the n lines,
// so each line's terminal sits at the voltage of that parallel set.
struct CommonPath {
  double vs = 0;                                 // V, peak, the swing's harmonic; 0: no C_p
  std::complex<double> cp, zy, networks, share;  // ohm, ohm, ohm, receiver volts per line volt
  bool shunted = false;                          // Y capacitors fitted

  std::complex<double> Receiver(std::complex<double> series, bool shunt) const {
    if (vs == 0) return 0;
    const std::complex<double> branch = series + networks;
    const std::complex<double> load = shunt && shunted ? Parallel(zy, branch) : branch;
    const std::complex<double> node = Quotient(vs * load, cp + load);
    return Quotient(node, branch) * networks * share;
  }
};

// `line`: one line's network impedance at f; `share`: its receiver port's share.
CommonPath CommonPathAt(const EmissionInputs& in, double f, double vs, std::complex<double> line,
                        std::complex<double> share) {
  const double w = kTwoPi * f;
  CommonPath p;
  if (!(in.source.parasitic > 0)) return p;
  p.vs = vs;
  p.cp = 1.0 / (kJ * w * in.source.parasitic);
  const double n = in.lines;
  p.networks = line / n;
  p.share = share;
  p.zy = 1.0 / (kJ * w * n * in.filter.cy);
  p.shunted = in.filter.cy > 0;
  return p;
}

}  // namespace

std::optional<std::complex<double>> MeasuredImpedance::At(const std::vector<std::complex<double>>& mode,
                                                          double f) const {
  if (mode.empty() || frequencies.empty() || f < frequencies.front() || f > frequencies.back())
    return std::nullopt;
  const auto above = std::upper_bound(frequencies.begin(), frequencies.end(), f);
  if (above == frequencies.end()) return mode.back();
  const auto i = static_cast<std::size_t>(above - frequencies.begin());
  const double f0 = frequencies[i - 1], f1 = frequencies[i];
  // f0 may be 0 (a DC point): linear in f there, where log f has no value.
  const double t = f0 > 0 ? std::log(f / f0) / std::log(f1 / f0) : (f - f0) / (f1 - f0);
  return mode[i - 1] + t * (mode[i] - mode[i - 1]);
}

namespace {

// One harmonic's circuit without the choke: the line's network and its receiver's share,
// the common path, the X capacitor (ohm) and the ripple's harmonic `is` (A, peak).
struct Circuit {
  std::complex<double> line, share, zx;  // ohm, receiver volts per line volt, ohm
  CommonPath path;
  double is = 0;
  double loopFactor = 2;  // the differential loop over one line's choke and network
};

Circuit CircuitAt(const EmissionInputs& in, double f, double vs, double is) {
  const double w = kTwoPi * f;
  Circuit c;
  c.line = NetworkImpedance(in.filter.network, f);
  c.share = ReceiverShare(in.filter.network, f);
  c.path = CommonPathAt(in, f, vs, c.line, c.share);
  // Differential mode: the ripple current divides between the X capacitors and the loop
  // out through line a's choke and network and back through the other n - 1 lines' in
  // parallel: n / (n - 1) times one line's (2 for two lines). The X capacitors from line a
  // to each other line are in parallel across the loop.
  const double n = in.lines;
  c.loopFactor = n / (n - 1);
  c.zx = 1.0 / (kJ * w * ((n - 1) * in.filter.cx));
  c.is = is;
  return c;
}

// Differential mode: the ripple current divides between the X capacitors and the loop of the
// lines' chokes (`series`, ohm) and networks. The choke's interwinding admittance `across`
// (S, across the loop) lies at both of its ends: beside the X capacitors, and across the
// networks, where it takes a share of the current past the receivers.
std::complex<double> DifferentialReceiver(const EmissionInputs& in, const Circuit& c,
                                          std::complex<double> series, bool shunt,
                                          std::complex<double> across = 0) {
  const std::complex<double> networks = c.loopFactor * c.line;
  const std::complex<double> loop = series + Quotient(networks, 1.0 + across * networks);
  const std::complex<double> beside = (shunt && in.filter.cx > 0 ? Quotient(1.0, c.zx) : 0.0) + across;
  const std::complex<double> current = Quotient(c.is, 1.0 + beside * loop);
  return Quotient(current, 1.0 + across * networks) * c.line * c.share;
}

// The receiver voltages (peak, V) with the whole filter, common mode then differential
// mode: `material` is the choke's core mu(f) / mu_i, as CorePermeability gives it. A
// measured choke's impedances replace the model's.
std::pair<std::complex<double>, std::complex<double>> Filtered(const EmissionInputs& in,
                                                               const ChokeParameters& choke, double f,
                                                               std::complex<double> material,
                                                               const Circuit& c) {
  const std::complex<double> series = SeriesImpedance(choke, f);
  const std::optional<std::complex<double>> cm = in.measured.At(in.measured.commonMode, f),
                                            dm = in.measured.At(in.measured.differential, f);
  // A measured differential mode brings its own ends' admittance, or none (a two-port's
  // series element holds all the file knows); line a reaches the n - 1 others through it.
  const std::optional<std::complex<double>> measuredAcross = in.measured.At(in.measured.differentialShunt, f);
  const std::complex<double> across =
      double(in.lines - 1) * (dm ? measuredAcross.value_or(0.0) : DifferentialShunt(choke, f));
  return {c.path.Receiver(cm ? *cm : CommonModeImpedance(choke, f, material, series), true),
          DifferentialReceiver(in, c, c.loopFactor * (dm ? *dm : DifferentialImpedance(choke, f, series)),
                               true, across)};
}

// A measured level (dBuV) less the attenuation a unit source shows from `unitBare` to
// `level`; none where either computed level is none.
double ScaledLevel(double measured, double unitBare, double level) {
  return std::isfinite(unitBare) && std::isfinite(level) ? measured - (unitBare - level) : kMinusInfinity;
}

void Judge(HarmonicRow& row) {
  const bool common = row.common.filtered >= row.differential.filtered;
  const double level = common ? row.common.filtered : row.differential.filtered;
  row.mode = common ? Mode::Common : Mode::Differential;
  const double qp = row.limit.quasiPeak - level, av = row.limit.average - level;
  row.binds = av <= qp ? Detector::Average : Detector::QuasiPeak;
  row.margin = std::min(qp, av);
}

// Machine-readable text of a number: a point whatever the locale, nine digits.
std::string Number(double v) {
  return num::Printed(v, 9);
}

// Two decimals of a level in dB: finer than any receiver reads, "" for none.
std::string Db(double v) {
  return std::isfinite(v) ? num::DoubleText(std::round(v * 100) / 100) : "";
}

}  // namespace

// The mains-port lines, dBuV, quasi-peak and average. Each segment ends where the next
// begins; LimitAt takes the lower value at the joint.
const std::array<LimitLine, 6> kLimitLines = {{
    {Standard::Cispr32A,
     "cispr32-a",
     "CISPR 32 class A",
     {{{150e3, 500e3, 79, 79, 66, 66}, {500e3, 30e6, 73, 73, 60, 60}}},
     2,
     "CISPR 32 / EN 55032 AC mains port, class A (the CISPR 22 / EN 55022 lines; euromotor.org c_e5.html)"},
    {Standard::Cispr32B,
     "cispr32-b",
     "CISPR 32 class B",
     {{{150e3, 500e3, 66, 56, 56, 46}, {500e3, 5e6, 56, 56, 46, 46}, {5e6, 30e6, 60, 60, 50, 50}}},
     3,
     "CISPR 32 / EN 55032 AC mains port, class B (the CISPR 22 / EN 55022 lines; euromotor.org c_e5.html)"},
    {Standard::Fcc15A,
     "fcc15-a",
     "FCC Part 15 class A",
     {{{150e3, 500e3, 79, 79, 66, 66}, {500e3, 30e6, 73, 73, 60, 60}}},
     2,
     "47 CFR 15.107(b), class A digital devices"},
    {Standard::Fcc15B,
     "fcc15-b",
     "FCC Part 15 class B",
     {{{150e3, 500e3, 66, 56, 56, 46}, {500e3, 5e6, 56, 56, 46, 46}, {5e6, 30e6, 60, 60, 50, 50}}},
     3,
     "47 CFR 15.107(a), class B digital devices"},
    {Standard::Cispr11A,
     "cispr11-a",
     "CISPR 11 group 1 class A",
     {{{150e3, 500e3, 79, 79, 66, 66}, {500e3, 30e6, 73, 73, 60, 60}}},
     2,
     "CISPR 11:2015 / EN 55011:2016 AC mains port, group 1 class A, rated input up to 20 kVA, on a test "
     "site"},
    {Standard::Cispr11B,
     "cispr11-b",
     "CISPR 11 group 1 class B",
     {{{150e3, 500e3, 66, 56, 56, 46}, {500e3, 5e6, 56, 56, 46, 46}, {5e6, 30e6, 60, 60, 50, 50}}},
     3,
     "CISPR 11:2015 / EN 55011:2016 AC mains port, group 1 class B, on a test site"},
}};

const LimitLine& LineOf(Standard standard) {
  for (const LimitLine& line : kLimitLines) {
    if (line.standard == standard) return line;
  }
  return kLimitLines[1];
}

std::optional<Limit> LimitAt(Standard standard, double f) {
  if (!(f >= kBandFrom && f <= kBandTo)) return std::nullopt;
  const LimitLine& line = LineOf(standard);
  std::optional<Limit> lowest;
  for (int i = 0; i < line.count; ++i) {
    const LimitSegment& s = line.segments[static_cast<std::size_t>(i)];
    if (f < s.from || f > s.to) continue;
    const double t = std::log10(f / s.from) / std::log10(s.to / s.from);
    const Limit here{s.quasiPeakFrom + t * (s.quasiPeakTo - s.quasiPeakFrom),
                     s.averageFrom + t * (s.averageTo - s.averageFrom)};
    if (!lowest || here.average < lowest->average) lowest = here;
  }
  return lowest;
}

double TrapezoidHarmonic(double amplitude, double duty, double riseFraction, int n) {
  const double pi = std::numbers::pi;
  return 2 * amplitude * duty * std::abs(Sinc(n * pi * duty)) * std::abs(Sinc(n * pi * riseFraction));
}

std::array<double, 3> PhaseDuties(double duty) {
  const double other = 0.5 - (duty - 0.5) / 2;  // 0.5 + (duty - 0.5) cos 120 deg
  return {duty, other, other};
}

double ThreePhaseCommonHarmonic(double amplitude, double duty, double riseFraction, int n) {
  const double pi = std::numbers::pi;
  double sum = 0;  // signed: each leg's pulse is even about the common centre
  for (double d : PhaseDuties(duty)) sum += 2 * amplitude * d * Sinc(n * pi * d);
  return std::abs(sum / 3 * Sinc(n * pi * riseFraction));
}

double TriangleHarmonic(double amplitude, double duty, int n) {
  const double pi = std::numbers::pi;
  // The triangle's slope is a rectangle wave; integrating divides harmonic n by n w.
  return amplitude * std::abs(Sinc(n * pi * duty)) * n * pi * duty / (pi * pi * n * n * duty * (1 - duty));
}

std::complex<double> NetworkImpedance(Network network, double f) {
  if (network == Network::FiftyOhm) return kReceiver;
  const double w = kTwoPi * f;
  const std::complex<double> mains = kNetworkDamping + kJ * w * kNetworkInductance;
  const std::complex<double> port =
      1.0 / (kJ * w * kNetworkCoupling) + kReceiver * kNetworkBleed / (kReceiver + kNetworkBleed);
  return Parallel(mains, port);
}

std::complex<double> ReceiverShare(Network network, double f) {
  if (network == Network::FiftyOhm) return 1;
  const double port = kReceiver * kNetworkBleed / (kReceiver + kNetworkBleed);
  return port / (port + 1.0 / (kJ * kTwoPi * f * kNetworkCoupling));
}

double InsertionLoss(std::complex<double> source, std::complex<double> load, std::complex<double> z) {
  return 20 * std::log10(std::abs((source + load + z) / (source + load)));
}

double InsertionLoss(std::complex<double> source, std::complex<double> load, std::complex<double> z,
                     std::complex<double> y) {
  // The pi's chain matrix: A = D = 1 + Z Y, B = Z, C = Y (2 + Z Y).
  const std::complex<double> a = 1.0 + z * y, c = y * (2.0 + z * y);
  return 20 * std::log10(std::abs((a * load + z + c * source * load + a * source) / (source + load)));
}

InsertionLosses ChokeInsertionLoss(const ChokeParameters& choke, double f) {
  const std::complex<double> cm = CommonModeImpedance(choke, f), dm = 2.0 * DifferentialImpedance(choke, f);
  const std::complex<double> across = DifferentialShunt(choke, f);
  return {InsertionLoss(50, 50, cm), InsertionLoss(50, 50, dm, across), InsertionLoss(25, 25, cm),
          InsertionLoss(100, 100, dm, across)};
}

namespace {

// Harmonic n of the two sources: the common-mode voltage (V) and the ripple current (A),
// peak, of a single-phase source (2 lines) or a three-phase bridge (3 or 4).
std::pair<double, double> SourceHarmonics(const NoiseSource& s, int lines, int n) {
  const double rise = s.rise * s.frequency;
  const double vs = lines == 2 ? TrapezoidHarmonic(s.swing, s.duty, rise, n)
                               : ThreePhaseCommonHarmonic(s.swing, s.duty, rise, n);
  const double is = s.rippleShape == RippleShape::Triangle ? TriangleHarmonic(s.ripple, s.duty, n)
                                                           : TrapezoidHarmonic(s.ripple, s.duty, rise, n);
  return {s.parasitic > 0 ? vs : 0, is};
}

// A point of the check in the band: a scan point (n = 0, its measured level, a unit
// source) or harmonic n of f_sw, with the swing's harmonic vs (V, peak), and the limit there.
struct BandPoint {
  int n = 0;
  double frequency = 0, vs = 0, measured = 0;
  Limit limit;
  double is = 1;  // A, peak, the ripple's harmonic; a unit source for a scan point
};

// Every scan point in the band, in the order given, or every harmonic the source has; the
// first `most` of them.
std::vector<BandPoint> PointsOf(const EmissionInputs& in,
                                std::size_t most = std::numeric_limits<std::size_t>::max()) {
  std::vector<BandPoint> points;
  if (!in.prescan.empty()) {
    for (const ScanPoint& p : in.prescan) {
      if (points.size() == most) break;
      if (const std::optional<Limit> limit = LimitAt(in.standard, p.frequency))
        points.push_back({0, p.frequency, 1, p.level, *limit});
    }
    return points;
  }
  const NoiseSource& s = in.source;
  const int first = static_cast<int>(std::ceil(kBandFrom / s.frequency - 1e-9));
  const int last = static_cast<int>(std::floor(kBandTo / s.frequency + 1e-9));
  points.reserve(std::min(most, static_cast<std::size_t>(std::max(0, last - first + 1))));
  for (int n = std::max(first, 1); n <= last && points.size() < most; ++n) {
    const double f = n * s.frequency;
    const auto [vs, is] = SourceHarmonics(s, in.lines, n);
    if (vs == 0 && is == 0) continue;  // a harmonic the source does not have
    // n f_sw a rounding step outside the band has no limit.
    if (const std::optional<Limit> limit = LimitAt(in.standard, f))
      points.push_back({n, f, vs, 0, *limit, is});
  }
  return points;
}

}  // namespace

std::string CheckInputs(const EmissionInputs& in) {
  const NoiseSource& s = in.source;
  auto bad = [](double v, double low, double high) { return !(v >= low && v <= high); };
  if (in.lines < 2 || in.lines > 4)
    return "The lines must be 2 (single phase), 3 (three phases) or 4 (three phases and the neutral).";
  if (bad(s.swing, 0, 1e6)) return "The switched voltage must lie between 0 and 1 MV.";
  if (bad(s.frequency, 1e3, kBandTo)) {
    return "The switching frequency must lie between 1 kHz and 30 MHz (below, the band holds too many "
           "harmonics to list).";
  }
  if (!(s.duty > 0 && s.duty < 1)) return "The duty cycle must lie between 0 and 1, both excluded.";
  if (bad(s.rise, 0, 1)) return "The rise time must lie between 0 and 1 s.";
  if (s.rise * s.frequency > std::min(s.duty, 1 - s.duty)) {
    return "The rise time must fit into the shorter of the on and off times (" +
           Engineering(std::min(s.duty, 1 - s.duty) / s.frequency, "s") + ").";
  }
  if (bad(s.parasitic, 0, 1e-3)) return "The parasitic capacitance must lie between 0 and 1 mF.";
  if (bad(s.ripple, 0, 1e6)) return "The ripple current must lie between 0 and 1 MA.";
  if (bad(in.filter.cy, 0, 1)) return "The Y capacitance must lie between 0 and 1 F.";
  if (bad(in.filter.cx, 0, 1)) return "The X capacitance must lie between 0 and 1 F.";
  if (bad(in.margin, -200, 200)) return "The margin must lie between -200 and 200 dB.";
  for (const ScanPoint& p : in.prescan) {
    if (!std::isfinite(p.frequency) || !std::isfinite(p.level) || p.frequency <= 0)
      return "A scan point needs a frequency above 0 Hz and a finite level.";
  }
  // Nothing to judge is a fault of the inputs, whatever the choke.
  if (PointsOf(in, 1).empty()) {
    return in.prescan.empty() ? "The source has no harmonic between 150 kHz and 30 MHz."
                              : "The scan has no point between 150 kHz and 30 MHz.";
  }
  return {};
}

namespace {

// A row before the choke: its circuit, its levels without the filter and with the capacitors
// alone, its limit; a scan point's unit source's bare levels (dBuV), which its filtered
// levels are scaled from.
struct RowLayout {
  HarmonicRow row;
  Circuit circuit;
  double measured = 0, commonUnit = 0, differentialUnit = 0;
};

RowLayout LayoutOf(const EmissionInputs& in, const BandPoint& p) {
  RowLayout l;
  l.row.harmonic = p.n;
  l.row.frequency = p.frequency;
  l.circuit = CircuitAt(in, p.frequency, p.vs, p.is);
  const Circuit& c = l.circuit;
  const ModeLevels common{DbMicrovolt(c.path.Receiver(0, false)), DbMicrovolt(c.path.Receiver(0, true)), 0};
  const ModeLevels differential{DbMicrovolt(DifferentialReceiver(in, c, 0, false)),
                                DbMicrovolt(DifferentialReceiver(in, c, 0, true)), 0};
  if (p.n == 0) {
    // The attenuation of each mode from a unit source: the scan holds both modes unknown.
    l.measured = p.measured;
    l.commonUnit = common.bare;
    l.differentialUnit = differential.bare;
    l.row.common = {std::isfinite(common.bare) ? p.measured : kMinusInfinity,
                    ScaledLevel(p.measured, common.bare, common.capacitors), 0};
    l.row.differential = {std::isfinite(differential.bare) ? p.measured : kMinusInfinity,
                          ScaledLevel(p.measured, differential.bare, differential.capacitors), 0};
  } else {
    l.row.common = common;
    l.row.differential = differential;
  }
  l.row.limit = p.limit;
  return l;
}

// The row with the choke in place; `material` as Filtered takes it.
HarmonicRow Finished(const EmissionInputs& in, const RowLayout& l, const ChokeParameters& choke,
                     std::complex<double> material) {
  HarmonicRow row = l.row;
  const auto [cm, dm] = Filtered(in, choke, row.frequency, material, l.circuit);
  row.common.filtered = DbMicrovolt(cm);
  row.differential.filtered = DbMicrovolt(dm);
  if (row.harmonic == 0) {
    row.common.filtered = ScaledLevel(l.measured, l.commonUnit, row.common.filtered);
    row.differential.filtered = ScaledLevel(l.measured, l.differentialUnit, row.differential.filtered);
  }
  Judge(row);
  return row;
}

// The row of harmonic n, or of a scan point (n = 0) measured at `measured` dBuV.
HarmonicRow MakeRow(const EmissionInputs& in, const ChokeParameters& choke, int n, double f,
                    double measured) {
  BandPoint p{n, f, 1, measured, LimitAt(in.standard, f).value_or(Limit{})};
  if (n != 0) std::tie(p.vs, p.is) = SourceHarmonics(in.source, in.lines, n);
  return Finished(in, LayoutOf(in, p), choke, CorePermeability(choke, f));
}

// The worst row of a check and whether it passes; the rows in rising frequency.
void Conclude(EmissionCheck& check, const EmissionInputs& in) {
  if (!in.prescan.empty()) {  // a scan may come in any order
    std::sort(check.rows.begin(), check.rows.end(),
              [](const HarmonicRow& a, const HarmonicRow& b) { return a.frequency < b.frequency; });
  }
  const HarmonicRow* worst = &check.rows.front();
  for (const HarmonicRow& row : check.rows) {
    if (row.margin < worst->margin) worst = &row;
  }
  check.worstMargin = worst->margin;
  check.worstFrequency = worst->frequency;
  check.worstMode = worst->mode;
  check.passes = check.worstMargin >= in.margin;
}

}  // namespace

HarmonicRow RowAgain(const EmissionInputs& in, const ChokeParameters& choke, const HarmonicRow& like) {
  return MakeRow(in, choke, like.harmonic, like.frequency, like.common.bare);
}

struct CommonMargins::Point {
  RowLayout layout;
  std::complex<double> permeability;  // mu(f) / mu_i of the material
  double limit = 0;                   // dBuV, the lower of the two
  bool common = false;                // the source drives the common mode here
};

CommonMargins::CommonMargins(const EmissionInputs& in, const ChokeParameters& material)
    : material_(material), inputs_(in), problem_(CheckInputs(in)) {
  if (!problem_.empty()) return;
  for (const BandPoint& b : PointsOf(in)) {
    // A harmonic of the ripple alone has no common-mode level: nothing to judge there.
    points_.push_back({LayoutOf(in, b), RelativePermeability(material, b.frequency),
                       std::min(b.limit.quasiPeak, b.limit.average), b.vs != 0});
  }
}

CommonMargins::CommonMargins(CommonMargins&&) noexcept = default;
CommonMargins::~CommonMargins() = default;

bool CommonMargins::Same(const ChokeParameters& choke) const {
  // Another material's curve, or another temperature's, is worked out afresh.
  return choke.ferrite == material_.ferrite && choke.muReference == material_.muReference &&
         choke.temperatureFactor == material_.temperatureFactor;
}

const std::vector<std::complex<double>>& CommonMargins::CoreMus(const ChokeParameters& choke) {
  const CoreSection& s = choke.section;
  const CoreSection& kept = coreSection_;
  const bool fresh = choke.permeability == corePermeability_ && s.width == kept.width &&
                     s.height == kept.height && s.resistivity == kept.resistivity &&
                     s.permittivity == kept.permittivity && s.terms.size() == kept.terms.size();
  if (!fresh) {
    coreMus_.clear();
    coreMus_.reserve(points_.size());
    for (const Point& p : points_) {
      const double f = p.layout.row.frequency;
      coreMus_.push_back(p.permeability * SizeFactorOf(choke, f, p.permeability));
    }
    coreSection_ = s;
    corePermeability_ = choke.permeability;
  }
  return coreMus_;
}

const std::vector<std::complex<double>>& CommonMargins::CopperRatios(const ChokeParameters& choke) {
  if (choke.copper.tau != copperTau_) {
    copperRatios_.clear();
    copperRatios_.reserve(points_.size());
    for (const Point& p : points_)
      copperRatios_.push_back(CopperRatio(choke.copper.tau, p.layout.row.frequency));
    copperTau_ = choke.copper.tau;
  }
  return copperRatios_;
}

double CommonMargins::Worst(const ChokeParameters& choke) {
  const bool same = Same(choke);
  // The size factor follows the core, which a search changes from one choke to the next.
  const std::vector<std::complex<double>>* mus = same ? &CoreMus(choke) : nullptr;
  const bool layered = !choke.copper.sections.empty();
  const std::vector<std::complex<double>>* ratios = layered ? &CopperRatios(choke) : nullptr;
  double worst = std::numeric_limits<double>::infinity();
  for (std::size_t i = 0; i < points_.size(); ++i) {
    const Point& p = points_[i];
    if (!p.common) continue;
    const RowLayout& l = p.layout;
    const double f = l.row.frequency;
    const std::complex<double> mu = mus ? (*mus)[i] : CorePermeability(choke, f);
    // What CopperImpedance gives, Rdc times the ratio.
    const std::complex<double> copper = layered ? choke.copper.rdc * (*ratios)[i] : choke.resistance;
    const std::complex<double> series = SeriesImpedance(choke, f, copper);
    double level = DbMicrovolt(l.circuit.path.Receiver(CommonModeImpedance(choke, f, mu, series), true));
    if (l.row.harmonic == 0) level = ScaledLevel(l.measured, l.commonUnit, level);
    worst = std::min(worst, p.limit - level);
  }
  return worst;
}

EmissionCheck CommonMargins::Check(const ChokeParameters& choke) {
  EmissionCheck check;
  check.problem = problem_;
  if (!check.problem.empty()) return check;
  const std::vector<std::complex<double>>* mus = Same(choke) ? &CoreMus(choke) : nullptr;
  check.rows.reserve(points_.size());
  for (std::size_t i = 0; i < points_.size(); ++i) {
    const Point& p = points_[i];
    const double f = p.layout.row.frequency;
    check.rows.push_back(Finished(inputs_, p.layout, choke, mus ? (*mus)[i] : CorePermeability(choke, f)));
  }
  Conclude(check, inputs_);
  return check;
}

EmissionCheck CheckEmissions(const EmissionInputs& in, const ChokeParameters& choke) {
  EmissionCheck check;
  check.problem = CheckInputs(in);
  if (!check.problem.empty()) return check;
  const std::vector<BandPoint> points = PointsOf(in);
  check.rows.reserve(points.size());
  for (const BandPoint& p : points)
    check.rows.push_back(Finished(in, LayoutOf(in, p), choke, CorePermeability(choke, p.frequency)));
  Conclude(check, in);
  return check;
}

std::string_view ModeName(Mode mode) {
  return mode == Mode::Common ? "common" : "differential";
}

std::string EmissionsCsv(const EmissionCheck& c) {
  std::string out =
      "frequency_hz,harmonic,cm_bare_dbuv,cm_capacitors_dbuv,cm_filtered_dbuv,dm_bare_dbuv,"
      "dm_capacitors_dbuv,dm_filtered_dbuv,limit_qp_dbuv,limit_av_dbuv,margin_db,mode,binds\n";
  for (const HarmonicRow& r : c.rows) {
    out += Number(r.frequency) + "," + std::to_string(r.harmonic);
    for (double v :
         {r.common.bare, r.common.capacitors, r.common.filtered, r.differential.bare,
          r.differential.capacitors, r.differential.filtered, r.limit.quasiPeak, r.limit.average, r.margin}) {
      out += "," + Db(v);
    }
    out += "," + std::string(ModeName(r.mode)) + "," +
           (r.binds == Detector::Average ? "average" : "quasi-peak") + "\n";
  }
  return out;
}

std::string EmissionsNetlist(const EmissionInputs& in, const EmissionCheck& check,
                             const std::string& subcircuit, const std::string& name) {
  const NoiseSource& s = in.source;
  std::string t =
      "* Conducted-emission test bench: " + std::string(LineOf(in.standard).name) + ", " +
      (in.filter.network == Network::Cispr16 ? "50 uH / 50 ohm V-network" : "50 ohm") +
      " per line\n* Sources at AC 1 (V, A): each harmonic's level is added to vdb in the control block.\n";
  t += subcircuit;
  auto network = [&](const std::string& line, const std::string& receiver) {
    if (in.filter.network == Network::FiftyOhm) {
      t += "RR" + receiver + " " + line + " 0 " + Number(kReceiver) + "\n";
      t += "V" + receiver + " " + line + " " + receiver + " DC 0\n";  // the receiver node is the line
      return;
    }
    t += "LN" + receiver + " " + line + " m" + receiver + " " + Number(kNetworkInductance) + "\n";
    t += "RN" + receiver + " m" + receiver + " 0 " + Number(kNetworkDamping) + "\n";
    t += "CN" + receiver + " " + line + " " + receiver + " " + Number(kNetworkCoupling) + "\n";
    t += "RR" + receiver + " " + receiver + " 0 " + Number(kReceiver) + "\n";
    t += "RB" + receiver + " " + receiver + " 0 " + Number(kNetworkBleed) + "\n";
  };
  const int lines = in.lines;
  if (lines != 2) {
    t += "* " + std::to_string(lines) +
         " lines: the common-mode source is a three-phase bridge's (va + vb + vc) / 3\n";
  }
  t += "* Common mode: switched node sw through Cp to earth (node 0), lines joined at e\n";
  t += "VCM e sw DC 0 AC 1\n";
  t += "CP sw 0 " + Number(in.source.parasitic > 0 ? in.source.parasitic : 1e-30) + "\n";
  if (in.filter.cy > 0) {
    for (int k = 1; k <= lines; ++k) t += "CY" + std::to_string(k) + " e 0 " + Number(in.filter.cy) + "\n";
  }
  t += "XCM";
  for (int k = 1; k <= lines; ++k) t += " e nc" + std::to_string(k);
  t += " " + name + "\n";
  for (int k = 1; k <= lines; ++k) network("nc" + std::to_string(k), "rc" + std::to_string(k));
  if (lines == 2) {
    t += "* Differential mode: the ripple current between the lines d1 and d2\n";
  } else {
    t += "* Differential mode: the ripple current into line 1 at d1, back through the others joined at d2;\n";
    t += "* an X capacitor from line 1 to each other line (those between the others are shorted)\n";
  }
  t += "IDM d2 d1 DC 0 AC 1\n";
  if (in.filter.cx > 0) {
    if (lines == 2) t += "CX d1 d2 " + Number(in.filter.cx) + "\n";
    for (int k = 2; lines != 2 && k <= lines; ++k)
      t += "CX" + std::to_string(k) + " d1 d2 " + Number(in.filter.cx) + "\n";
  }
  t += "XDM d1 nd1";
  for (int k = 2; k <= lines; ++k) t += " d2 nd" + std::to_string(k);
  t += " " + name + "\n";
  for (int k = 1; k <= lines; ++k) network("nd" + std::to_string(k), "rd" + std::to_string(k));
  t += ".control\nset numdgt=8\n";
  for (const HarmonicRow& r : check.rows) {
    if (r.harmonic == 0) continue;
    const auto [vs, is] = SourceHarmonics(s, lines, r.harmonic);
    t += "ac lin 1 " + Number(r.frequency) + " " + Number(r.frequency) + "\n";
    // dBuV of the RMS value: 20 log10(amplitude / sqrt 2 / 1 uV) added to the unit response.
    auto offset = [](double amplitude) {
      return Number(20 * std::log10(amplitude / std::numbers::sqrt2 / 1e-6));
    };
    if (vs > 0) t += "let cm" + std::to_string(r.harmonic) + " = vdb(rc1) + " + offset(vs) + "\n";
    if (is > 0) t += "let dm" + std::to_string(r.harmonic) + " = vdb(rd1) + " + offset(is) + "\n";
    if (vs > 0) t += "print cm" + std::to_string(r.harmonic) + "\n";
    if (is > 0) t += "print dm" + std::to_string(r.harmonic) + "\n";
  }
  t += ".endc\n.end\n";
  return t;
}

}  // namespace vtq::analysis
