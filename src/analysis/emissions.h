// Conducted emissions of a switched converter at the mains port, 150 kHz to 30 MHz: the
// noise sources, the line impedance stabilisation network, the filter (Y and X
// capacitors and the designed choke as it really behaves), the limit lines, and the
// margin at every harmonic of the switching frequency.
#pragma once

#include <array>
#include <complex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/impedance.h"

namespace vtq::analysis {

// ---- Limits -------------------------------------------------------------------------

enum class Standard { Cispr32A, Cispr32B, Fcc15A, Fcc15B, Cispr11A, Cispr11B };

// A stretch of a limit line: from `from` to `to` (Hz) the limit falls or stays, linear in
// log f, from the first value to the second (dBuV).
struct LimitSegment {
  double from, to;
  double quasiPeakFrom, quasiPeakTo, averageFrom, averageTo;
};

struct LimitLine {
  Standard standard;
  std::string_view key;   // as typed on the command line: "cispr32-b"
  std::string_view name;  // as shown: "CISPR 32 class B"
  std::array<LimitSegment, 3> segments;
  int count;  // segments used
  std::string_view source;
};

extern const std::array<LimitLine, 6> kLimitLines;

inline constexpr double kBandFrom = 150e3, kBandTo = 30e6;  // Hz, the conducted band at the mains port

struct Limit {
  double quasiPeak = 0, average = 0;  // dBuV
};

// The limits at f; none outside the band. At a transition frequency the lower limit applies.
std::optional<Limit> LimitAt(Standard standard, double frequency);
const LimitLine& LineOf(Standard standard);

// ---- The noise sources ----------------------------------------------------------------

// Peak amplitude of harmonic n of a trapezoid swinging 0 to `amplitude`, `duty` of the
// period measured between the half-amplitude points, rising and falling each in
// `riseFraction` of the period: 2 A D |sinc(n pi D)| |sinc(n pi tr/T)|, exact (the trapezoid
// is a rectangle convolved with a rectangle of the edge's length).
double TrapezoidHarmonic(double amplitude, double duty, double riseFraction, int n);
// The same for a triangle of `amplitude` peak to peak rising during `duty` of the period:
// A |sin(n pi D)| / (pi^2 n^2 D (1 - D)).
double TriangleHarmonic(double amplitude, double duty, int n);

enum class RippleShape { Trapezoid, Triangle };

// The common-mode voltage of a three-phase two-level bridge (inverter or active rectifier),
// v_cm = (v_a + v_b + v_c) / 3, each leg a trapezoid 0 to `amplitude` with its own duty,
// centre-aligned PWM (every leg's pulse centred on the same instant) and the same edges: the
// legs' real Fourier coefficients add with their signs, harmonic n's peak is
// |(1/3) sum_k 2 A D_k sinc(n pi D_k) sinc(n pi tr/T)|. The duties are those of the instant
// phase a peaks at modulation m = 2 duty - 1: D_a = duty, D_b = D_c = 0.5 - (duty - 0.5) / 2
// (0.5 + (m/2) cos 120 deg). A duty of 0.5 is a zero vector: all three legs alike.
std::array<double, 3> PhaseDuties(double duty);
double ThreePhaseCommonHarmonic(double amplitude, double duty, double riseFraction, int n);

// Two lines: a single switched node. Three or four lines: a three-phase bridge on a bus of
// `swing` volts whose common-mode voltage (ThreePhaseCommonHarmonic) drives C_p, the three
// switched nodes' capacitance to earth together; the ripple is the current in line a.
struct NoiseSource {
  double swing = 0;      // V, the switched node's swing against the lines
  double frequency = 0;  // Hz, f_sw
  double duty = 0.5;     // of the period, at half amplitude
  double rise = 0;       // s, each edge, 0 to 100 %
  double parasitic = 0;  // F, C_p from the switched node to protective earth
  double ripple = 0;     // A peak to peak, the converter's input ripple current
  RippleShape rippleShape = RippleShape::Trapezoid;
};

// ---- Network and filter ---------------------------------------------------------------

enum class Network { Cispr16, FiftyOhm };

// The V-network of one line: 50 uH with 5 ohm towards the mains (CISPR 16-1-2's
// "50 ohm / 50 uH + 5 ohm" network), 0.1 uF coupling to the 50 ohm receiver port with
// 1 kohm across it (the network as commonly drawn, e.g. jonahsaunders/emi-filter-designer
// netbuild.go). Plain 50 ohm: the receiver straight across the line.
inline constexpr double kNetworkInductance = 50e-6;  // H
inline constexpr double kNetworkDamping = 5;         // ohm
inline constexpr double kNetworkCoupling = 0.1e-6;   // F
inline constexpr double kReceiver = 50;              // ohm
inline constexpr double kNetworkBleed = 1000;        // ohm

// Line to earth at the equipment terminal of one line's network, ohm.
std::complex<double> NetworkImpedance(Network network, double frequency);
// Receiver voltage over the equipment-terminal voltage of the same line.
std::complex<double> ReceiverShare(Network network, double frequency);

struct FilterParts {
  double cy = 0;  // F, each line to earth, equipment side
  double cx = 0;  // F, across every two lines, equipment side: the phases' delta and, with the
                  // neutral, each phase to it
  Network network = Network::Cispr16;
};

// The insertion loss of a series element Z between a source Z_s and a load Z_l, dB:
// 20 log10 |(Z_s + Z_l + Z) / (Z_s + Z_l)|. The one convention used everywhere.
double InsertionLoss(std::complex<double> source, std::complex<double> load, std::complex<double> z);
// The same for a pi: admittance y across the line at each end of the series element z, so
// 20 log10 |(A Z_l + Z + C Z_s Z_l + A Z_s) / (Z_s + Z_l)|, A = 1 + Z y, C = y (2 + Z y).
double InsertionLoss(std::complex<double> source, std::complex<double> load, std::complex<double> z,
                     std::complex<double> y);

// The choke's insertion loss at f: common mode (both windings' current in the element),
// differential mode (the loop of both lines, twice the per-line impedance, with the
// interwinding capacitance across the lines at each end), in the
// 50/50 ohm test system and in the network's own terminations (25 ohm common mode: two
// lines' 50 ohm in parallel; 100 ohm differential mode: in series).
struct InsertionLosses {
  double commonMode50 = 0, differential50 = 0, commonModeNetwork = 0, differentialNetwork = 0;  // dB
};
InsertionLosses ChokeInsertionLoss(const ChokeParameters& choke, double frequency);

// ---- The check --------------------------------------------------------------------------

// Receiver voltages at one harmonic, dBuV of its RMS value, one line's receiver port.
// -inf where the source has no such harmonic.
struct ModeLevels {
  double bare = 0;        // no filter
  double capacitors = 0;  // Y (common mode) or X (differential mode) capacitors alone
  double filtered = 0;    // the capacitors and the choke
};

enum class Mode { Common, Differential };
enum class Detector { QuasiPeak, Average };

struct HarmonicRow {
  int harmonic = 0;      // n, of f_sw; 0 for a row of a measured scan
  double frequency = 0;  // Hz
  ModeLevels common, differential;
  Limit limit;
  double margin = 0;  // dB, the lower limit's distance above the higher filtered mode
  Mode mode = Mode::Common;
  Detector binds = Detector::Average;
};

// A measured scan without the filter: frequency (Hz) and level (dBuV).
struct ScanPoint {
  double frequency = 0, level = 0;
};

// A measured choke in place of the model (a network analyser's or a maker's file): each
// mode's impedance, R and X interpolated linearly in log f between the measured
// frequencies. Outside them, and for a mode the file does not give, the model's holds.
struct MeasuredImpedance {
  std::vector<double> frequencies;  // Hz, rising
  std::vector<std::complex<double>> commonMode,
      differential;  // ohm, differential per line; each empty or one a frequency
  // S, across the two lines at each end of the choke, where a four-port gives it (its
  // differential mode read as a pi); empty otherwise.
  std::vector<std::complex<double>> differentialShunt;
  std::optional<std::complex<double>> At(const std::vector<std::complex<double>>& mode,
                                         double frequency) const;
};

struct EmissionInputs {
  MeasuredImpedance measured;
  Standard standard = Standard::Cispr32B;
  NoiseSource source;
  FilterParts filter;
  double margin = 0;  // dB required below the limit to pass
  // The lines through the filter, each with its V-network, Y capacitor and choke winding: 2
  // (single phase), 3 (three phases, three wires) or 4 (three phases and the neutral).
  // Common mode: the lines in parallel. Differential mode: the ripple in line a returns
  // through the other lines in parallel; its loop is (n / (n - 1)) (Z_line + Z_choke), and
  // the n - 1 X capacitors from line a to the others shunt it (those between the others
  // carry nothing, their ends at one voltage).
  int lines = 2;
  // When not empty, the measured levels replace the estimated sources: each mode's row
  // is the scan less that mode's computed attenuation, as if the whole scan were that mode.
  std::vector<ScanPoint> prescan;
};

struct EmissionCheck {
  std::string problem;                         // why there is no check; empty when there is one
  std::vector<HarmonicRow> rows;               // rising frequency, in the band
  double worstMargin = 0, worstFrequency = 0;  // dB, Hz
  Mode worstMode = Mode::Common;
  bool passes = false;  // worstMargin >= the required margin
};

// The inputs' problem in words, or empty: every figure finite and in its range, the
// edges fitting into the on and off times.
std::string CheckInputs(const EmissionInputs& inputs);
// Every harmonic of f_sw in the band (those the source does not have left out), or every
// scan point in it.
EmissionCheck CheckEmissions(const EmissionInputs& inputs, const ChokeParameters& choke);

// The worst common-mode margin over the band (dB: the lower limit less the filtered level,
// +infinity without a row) of many windings of one material against the same inputs, as
// the core search tries them. What does not depend on the winding (the harmonics, the
// limits, the network, the ferrite's curve) is worked out once: each level is the one
// CheckEmissions gives, in a fraction of its time, and so is the full check of the turns
// the search settles on. A search's working state: what it works out for one core is kept
// for the next turns on it, so one search uses it at a time.
class CommonMargins {
 public:
  CommonMargins(const EmissionInputs& inputs, const ChokeParameters& material);
  CommonMargins(CommonMargins&&) noexcept;
  ~CommonMargins();
  double Worst(const ChokeParameters& choke);
  // CheckEmissions(inputs, choke), row for row, on the layout worked out once.
  EmissionCheck Check(const ChokeParameters& choke);

 private:
  struct Point;
  bool Same(const ChokeParameters& choke) const;  // the material's curve holds for the choke
  // The core's mu(f) / mu_i at each point, size factor included, for a choke Same() holds
  // for: worked out for the first choke on a core and kept while the turns change. A search
  // tries several turn counts a core, and the size factor's poles cost more than the rest of
  // a point.
  const std::vector<std::complex<double>>& CoreMus(const ChokeParameters& choke);
  // Z / Rdc of the choke's copper at each point, kept while its wire (tau) stays: the turns
  // change only Rdc, and the copper's sections cost a quarter of a margin.
  const std::vector<std::complex<double>>& CopperRatios(const ChokeParameters& choke);
  std::vector<Point> points_;
  std::vector<std::complex<double>> copperRatios_;
  double copperTau_ = -1;
  std::vector<std::complex<double>> coreMus_;
  CoreSection coreSection_;
  double corePermeability_ = -1;
  ChokeParameters material_;
  EmissionInputs inputs_;
  std::string problem_;  // the inputs', as CheckInputs gives it
};

// The row at `like`'s frequency (its harmonic of the source, or its measured level) with
// another choke.
HarmonicRow RowAgain(const EmissionInputs& inputs, const ChokeParameters& choke, const HarmonicRow& like);

// The check as comma-separated values with a heading line, a point as decimal separator
// whatever the locale.
std::string EmissionsCsv(const EmissionCheck& check);

// The whole test bench as a circuit-simulator netlist: the choke's subcircuit (given, with
// its name), the networks, the sources and the capacitors, common mode and differential
// mode side by side, and a control block printing each receiver voltage in dBuV at each
// harmonic of the check. Receiver nodes: rc1 (common mode), rd1 (differential mode). The
// subcircuit's pins: in1 out1 in2 out2 ..., one pair a line.
std::string EmissionsNetlist(const EmissionInputs& inputs, const EmissionCheck& check,
                             const std::string& subcircuit, const std::string& name);

std::string_view ModeName(Mode mode);

}  // namespace vtq::analysis
