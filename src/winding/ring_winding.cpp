#include "winding/ring_winding.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>

#include "analysis/physics.h"
#include "engine/design.h"
#include "engine/numbers.h"

namespace vtq::winding {
namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kMu0 = 4e-7 * kPi;  // H/m, permeability of free space (SI, to 1e-10)
constexpr double kInch = 0.0254;     // m
// Copper's resistance rises 0.393 %/K from 20 C: annealed copper, IEC 60028.
constexpr double kCopperCoefficient = 0.00393, kCopperReference = 20;
// The catalogue's copper: 8.196 micro-ohm per inch at AWG 0, e^0.2319 more per gauge (the AWG
// law), taken as at 20 C.
constexpr double kOhmPerMetreGauge0 = 8.196e-6 / kInch, kOhmPerGauge = 0.2319;
// The catalogue's rules carried over: half a foot of leads per winding; 0.03 in. of build
// over the wire on each wound face; the two windings' 0.417 share of the inner
// circumference less 0.015 in., with pi wire widths spare.
constexpr double kLeads = 0.5 * 12 * kInch, kBuild = 0.03 * kInch, kFitShrink = 0.015 * kInch;
constexpr double kShare = 0.417;
constexpr double kColdCelsius = -40;  // the coldest a line filter is specified for

// The catalogue's leakage rule for two windings: L = mu0 N^2 mu_leak Ae / le with
// mu_leak = 2 mu / (0.1 mu + 1), about 20 for any high-permeability ferrite.
double TwoWindingLeakage(double mu, int turns, const cores::RingFigures& f) {
  return kMu0 * turns * turns * (2 * mu / (0.1 * mu + 1)) * f.area / f.length;
}

// Each winding's current as a phasor over the line current: two lines in antiphase, three
// 120 degrees apart, four with the neutral carrying the sum back; the first one larger by
// the unbalance.
std::vector<std::complex<double>> Currents(int n, double unbalance) {
  std::vector<std::complex<double>> a;
  if (n == 2) {
    a = {1.0, -1.0};
  } else {
    for (int k = 0; k < 3; ++k) a.push_back(std::polar(1.0, -2 * kPi * k / 3));
  }
  a[0] *= 1 + unbalance;
  if (n == 4) {
    std::complex<double> sum = 0;
    for (const auto& x : a) sum += x;
    // Balanced phases cancel to the rounding of their cosines: a neutral of 1e-16 of the line
    // current is none, and is shown as none.
    if (std::abs(sum) < 1e-12) sum = 0;
    a.push_back(-sum);
  }
  return a;
}

// Peak flux density over a cycle, T: in each winding's sector, the flux its own current
// drives through its leakage inductance, plus the common-mode flux of whatever current does
// not return through the choke (AL N sum i). Every current is a sinusoid of the one mains
// frequency, so each sector's flux is one too: its peak is its phasor's magnitude,
// sqrt2 I |AL N sum a + L_leak a_k / N|.
double PeakFlux(const RingDesign& d, double current, double unbalance) {
  const auto a = Currents(static_cast<int>(d.windings.size()), unbalance);
  std::complex<double> sum = 0;
  for (const auto& x : a) sum += x;
  double peak = 0;
  for (std::size_t k = 0; k < a.size(); ++k) {
    const SectorWinding& w = d.windings[k];
    const std::complex<double> flux = d.al * w.turns * sum + w.leakage * a[k] / static_cast<double>(w.turns);
    peak = std::max(peak, std::sqrt(2.0) * current * std::abs(flux) / d.figures.area);
  }
  return peak;
}

void Add(RingDesign& d, std::string name, double value, std::string unit, std::string how) {
  d.steps.push_back({std::move(name), value, std::move(unit), std::move(how)});
}

RingDesign Refuse(RingDesign d, RingOutcome outcome, std::string why) {
  d.outcome = outcome;
  d.problem = std::move(why);
  return d;
}

// A plain number every circuit simulator reads, in the C locale whatever the process's is
// (the window's Qt takes the user's, where printf would write a decimal comma).
std::string Plain(double value) {
  return num::Printed(value, 7);
}

}  // namespace

double SectorTerm(double theta) {
  return theta / (4 * kPi) + std::sin(theta / 2) / kPi;
}

RingDesign WindOnRing(const RingRequest& q) {
  RingDesign d;
  const int n = q.windings;
  const cores::RingSize& r = q.ring;
  if (n < 2 || n > 4) return Refuse(d, RingOutcome::BadInput, "The number of windings must be 2, 3 or 4.");
  d.figures = cores::FiguresOf(r);
  if (!(d.figures.length > 0)) {
    return Refuse(d, RingOutcome::BadInput,
                  "The ring is no ring: the inner diameter must be below the outer, and the height and "
                  "chamfer must leave a cross-section.");
  }
  if (!q.grade) return Refuse(d, RingOutcome::BadInput, "The ring has no material to design with.");
  if (q.turns < 0 || (q.turns == 0 && !(q.inductance > 0 && std::isfinite(q.inductance))))
    return Refuse(d, RingOutcome::BadInput, "The inductance must be above zero, or the turns given.");
  if (!(q.current > 0 && std::isfinite(q.current)) || !(q.density > 0 && std::isfinite(q.density)))
    return Refuse(d, RingOutcome::BadInput, "The current and the current density must be above zero.");
  if (!(q.temperature >= -273 && q.temperature <= 1000) || !(q.unbalance >= 0 && q.unbalance <= 10))
    return Refuse(d, RingOutcome::BadInput, "The temperature or the unbalance is out of range.");
  if (q.gap && !(*q.gap >= 0 && std::isfinite(*q.gap)))
    return Refuse(d, RingOutcome::BadInput, "The gap between windings must be a length of zero or more.");

  Add(d, "Effective length le", d.figures.length, "m", "IEC 60205 ring, flux tubes with the chamfer");
  Add(d, "Effective area Ae", d.figures.area, "m2", "IEC 60205 ring");
  Add(d, "Effective volume Ve", d.figures.volume, "m3", "le x Ae");
  d.permeability = q.grade->InitialAt(q.temperature);
  Add(d, "Initial permeability", d.permeability, "",
      q.grade->name + " at " + num::Printed(q.temperature, 4) +
          " C, from the grade's curve over temperature");
  d.al = cores::InductanceFactor(d.figures, d.permeability);
  Add(d, "AL", d.al, "H", "mu0 mu_i Ae / le");

  if (q.turns > 0) {
    d.turns = q.turns;
  } else {
    // Whole turns, rounded to the nearest as the catalogue design rounds them.
    const double exact = std::sqrt(q.inductance / d.al);
    d.turns = static_cast<int>(std::max(1.0, std::floor(exact + 0.5)));
    if (exact > 1e6)
      return Refuse(d, RingOutcome::DoesNotFit, "The inductance asks more than a million turns.");
  }
  Add(d, "Turns", d.turns, "", q.turns > 0 ? "given" : "sqrt(L / AL), to the nearest whole turn");
  d.inductance = d.al * d.turns * d.turns;
  Add(d, "Inductance", d.inductance, "H", "AL N^2, one winding");
  const double coldMu = q.grade->InitialAt(kColdCelsius);
  d.inductanceCold = d.inductance * coldMu / d.permeability;
  Add(d, "Inductance at -40 C", d.inductanceCold, "H",
      "the grade's initial permeability at -40 C: the inductance follows it down in the cold");

  try {
    d.gauge = GaugeForCurrentDensity(q.current, q.density);
  } catch (const StepFailed&) {
    return Refuse(d, RingOutcome::BadInput, "No wire gauge follows from this current and current density.");
  }
  const bool litz = d.gauge < 1;
  d.gauge = std::max(d.gauge, 1);
  d.insulatedDiameter = InsulatedWireDiameter(d.gauge) * kInch;
  d.bareDiameter = analysis::CopperDiameter(d.gauge);
  Add(d, "Wire gauge", d.gauge, "AWG",
      litz ? "AWG 1, the thickest the catalogue winds: more current needs strands in parallel or litz wire"
           : "-4.31 ln(1.889 I / J), the catalogue's wire table");
  Add(d, "Wire diameter", d.insulatedDiameter, "m", "insulated, the catalogue's wire table");

  // Each winding's sector, and the thickest wire it takes in one layer at the inner
  // circumference, where the turns are closest.
  double sector = 0;  // rad
  if (q.gap) {
    sector = 2 * kPi / n - *q.gap / (r.id / 2);
    d.fitLimit = sector > 0 ? sector * r.id / 2 / (d.turns + sector / 2) : 0;
  } else {
    sector = 2 * kShare * 2 * kPi / n;
    d.fitLimit = 2 * kShare / n * kPi * (r.id - kFitShrink) / (d.turns + kPi);
  }
  d.sectorDeg = sector * 180 / kPi;
  Add(d, "Sector of each winding", d.sectorDeg, "deg",
      q.gap ? "360 / n less the gap at the inner circumference"
            : "the catalogue's share: 2 x 0.417 of the ring over n windings");
  Add(d, "Thickest wire in one layer", d.fitLimit, "m",
      q.gap ? "N wire widths along the sector's arc at the wires' centres"
            : "N + pi wire widths within the share of the inner circumference less 0.015 in.");
  if (sector <= 0)
    return Refuse(d, RingOutcome::DoesNotFit, "The gaps between the windings take the whole ring.");

  const double turnLength = (r.od - r.id) + 2 * r.height + kPi * d.insulatedDiameter;
  d.wireLength = d.turns * turnLength + kLeads;
  Add(d, "Wire length", d.wireLength, "m", "N ((OD - ID) + 2 HT + pi d) + 0.5 ft of leads, one winding");

  d.woundOD = r.od + 2 * d.insulatedDiameter + kBuild;
  d.woundID = r.id - 2 * d.insulatedDiameter - kBuild;
  d.woundHeight = r.height + 2 * d.insulatedDiameter + kBuild;
  Add(d, "Wound outer diameter", d.woundOD, "m", "OD + 2 d + 0.03 in.");
  Add(d, "Wound inner diameter", d.woundID, "m", "ID - 2 d - 0.03 in.");
  Add(d, "Wound height", d.woundHeight, "m", "HT + 2 d + 0.03 in.");

  // Every winding's copper loss heats the one ring; the resistance rises with the winding's
  // temperature, which rises with the loss: iterated to the fixed point.
  const auto phasors = Currents(n, q.unbalance);
  double squares = 0;  // sum of (I_k / I)^2
  for (const auto& a : phasors) squares += std::norm(a);
  const double resistance20 = d.wireLength * kOhmPerMetreGauge0 * std::exp(kOhmPerGauge * d.gauge);
  const double x = d.woundOD * 100, h = d.woundHeight * 100;  // cm
  const double surface = 2 * kPi * (x / 2) * (x / 2) + kPi * x * h;
  d.windingTemperature = q.temperature;
  for (int i = 0; i < 100; ++i) {
    d.resistance = resistance20 * (1 + kCopperCoefficient * (d.windingTemperature - kCopperReference));
    const double loss = 1000 * q.current * q.current * squares * d.resistance;  // mW
    const double rise = std::pow(loss / surface, 0.833);
    const bool settled = std::abs(rise - d.rise) < 1e-9;
    d.rise = rise;
    d.windingTemperature = q.temperature + rise;
    if (settled) break;
  }
  Add(d, "DC resistance", d.resistance, "ohm",
      "one winding at " + num::Printed(d.windingTemperature, 4) + " C, copper +0.393 %/K from 20 C");
  Add(d, "Temperature rise", d.rise, "C",
      "(copper loss of all windings in mW / wound outer surface in cm2)^0.833");

  // The leakage of each winding: the catalogue's two-winding figure, scaled by how Nave's
  // model of a winding over theta of the ring (M. J. Nave, "On modeling the common mode
  // inductor", IEEE Int. Symp. EMC, 1991) changes it from the catalogue's sector to this
  // one: mu_leak ~ le / (De (theta / 4 pi + sin(theta / 2) / pi)).
  const double reference = SectorTerm(kCatalogueSectorDeg * kPi / 180);
  d.leakage = TwoWindingLeakage(d.permeability, d.turns, d.figures) * reference / SectorTerm(sector);
  Add(d, "Leakage inductance", d.leakage, "H",
      "2 mu / (0.1 mu + 1) mu0 N^2 Ae / le, times Nave's sector term at 150.1 deg over this sector's");
  for (std::size_t k = 0; k < phasors.size(); ++k) {
    // A phase's magnitude as given (its phasor's at 120 degrees rounds to 1 - 1e-16); the
    // neutral's that of the sum it carries.
    const bool neutral = phasors.size() == 4 && k == 3;
    const double share = neutral ? std::abs(phasors[k]) : k == 0 ? 1 + q.unbalance : 1;
    d.windings.push_back({d.turns, d.sectorDeg, d.leakage, q.current * share});
  }

  d.peakFluxBalanced = PeakFlux(d, q.current, 0);
  d.peakFlux = PeakFlux(d, q.current, q.unbalance);
  d.saturation = q.grade->SaturationAt(d.windingTemperature);
  Add(d, "Peak flux density, balanced currents", d.peakFluxBalanced, "T",
      "each winding's leakage flux L_leak i / (N Ae) at the current's peak");
  Add(d, "Peak flux density, with the unbalance", d.peakFlux, "T",
      "plus AL N x the current that does not return through the choke, over Ae");
  Add(d, "Saturation flux density", d.saturation, "T", "the grade's at the winding temperature");

  if (d.insulatedDiameter > d.fitLimit) {
    return Refuse(d, RingOutcome::DoesNotFit,
                  "The " + std::to_string(d.turns) + (d.turns == 1 ? " turn" : " turns") + " of AWG " +
                      std::to_string(d.gauge) + (d.turns == 1 ? " does" : " do") +
                      " not fit in one layer on the inner circumference of the " +
                      num::Printed(d.sectorDeg, 4) + " degree sector.");
  }
  d.outcome = RingOutcome::Complete;
  return d;
}

analysis::Winding WindingOf(const RingDesign& d, const RingRequest& q) {
  analysis::Winding w;
  w.partNumber = !q.part.empty()
                     ? q.part
                     : num::Printed(q.ring.od * 1e3, 4) + " x " + num::Printed(q.ring.id * 1e3, 4) + " x " +
                           num::Printed(q.ring.height * 1e3, 4) + " mm";
  // The analyses take the winding at 25 C and scale the grade's curve to their own
  // temperature, so the design's figures at its temperature are referred back to 25 C.
  const double at25 = q.grade->InitialAt(25);
  w.permeability = at25;
  w.inductance = d.al * at25 / d.permeability * d.turns * d.turns;
  w.resistance = d.resistance;
  w.leakage = d.leakage;
  w.turns = d.turns;
  w.coreArea = d.figures.area;
  w.insulatedDiameter = d.insulatedDiameter;
  w.bareDiameter = d.bareDiameter;
  w.coreOD = q.ring.od;
  w.coreID = q.ring.id;
  w.coreHeight = q.ring.height;
  w.ringHeight = q.ring.height;
  w.inductanceText = Plain(w.inductance);
  w.resistanceText = Plain(d.resistance);
  w.leakageText = Plain(d.leakage);
  w.grade = q.grade;
  w.effectiveLength = d.figures.length;
  w.effectiveArea = d.figures.area;
  w.windings = static_cast<int>(d.windings.size());
  w.sector = d.sectorDeg * kPi / 180;
  return w;
}

}  // namespace vtq::winding
