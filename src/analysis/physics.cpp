#include "analysis/physics.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "analysis/quotient.h"

namespace vtq::analysis {

// clang-format off
const std::array<PhysicalConstant, static_cast<std::size_t>(Physics::Count)> kPhysics{{
    {"enamel_permittivity",  3.5,              "",     "assumption: polyurethane and polyester enamels lie "
                                                        "between 3 and 4"},
    {"vacuum_permittivity",  8.8541878128e-12, "F/m",  "CODATA 2018"},
    {"coating_thickness",    1.524e-4,         "m",    "Magnetics Inc., ferrite toroid catalogue, coatings: grey "
                                                        "epoxy coating typically 0.004 to 0.008 in. thick; the "
                                                        "middle, 0.006 in."},
    {"coating_permittivity", 3.65,             "",     "HZO, Dielectric Constant of Insulator Materials, 2022: "
                                                        "epoxy 3.3 to 4.0 at 1 MHz; the middle"},
    {"vacuum_permeability",  1.25663706212e-6, "H/m",  "CODATA 2018"},
    {"copper_resistivity",   1.7241e-8,        "ohm m", "IEC 60028, annealed copper at 20 C"},
    {"ferrite_permittivity", 7.8e4,            "",     "typical of MnZn, not the grade's own: TDK N87 at 25 C, "
                                                        "small signal, 7.8e4 at the top of its sweep (2.2e5 at "
                                                        "the bottom), Guillod, Roberts and Sullivan, IEEE APEC "
                                                        "2024, dataset N87_eps_small"},
}};
// clang-format on

double Constant(Physics p) {
  return kPhysics[static_cast<std::size_t>(p)].value;
}

double CopperDiameter(int gauge) {
  // The AWG definition: 36 at 0.005 in., 0000 (-3) at 0.46 in., geometric between.
  return 0.127e-3 * std::pow(92.0, (36.0 - gauge) / 39.0);
}

namespace {

// The integral of d theta / (a - cos theta) from 0 to pi/6, a > 1. The elementary
// capacitances of Massarini and Kazimierczuk (Self-capacitance of inductors, IEEE Trans.
// Power Electronics 12(4), 1997): straight field lines between facing surfaces within
// +-pi/6 of the line joining the centres, the enamel, the air and any coating in series
// along each; summed exactly here, not split into an enamel part and an air part.
double Facing(double a) {
  const double root = std::sqrt(a * a - 1);
  return 2 / root * std::atan(std::sqrt((a + 1) / (a - 1)) * std::tan(std::numbers::pi / 12));
}

// The layer's ladder for Rdc = 1 ohm, each L per second of tau: the terms 1 to 8 of x coth x
// one section each, then the terms from 9 in bands of a factor 2, each band one section (its
// terms' R in series, their L summed). It does not depend on the wire, so it is worked out
// once: a core search builds a layer for every turn count it tries.
const std::vector<RlSection>& UnitLadder() {
  static const std::vector<RlSection> kLadder = [] {
    const double pi2 = std::numbers::pi * std::numbers::pi;
    std::vector<RlSection> ladder;
    for (int n = 1; n <= 8; ++n) ladder.push_back({2, 2 / (n * n * pi2)});
    for (int from = 9; from < 8192; from = 2 * from - 1) {
      int terms = 0;
      double inverseSquares = 0;  // sum of 1 / n^2 over the band
      for (int n = from; n < 2 * from - 1 && n < 8192; ++n, ++terms) inverseSquares += 1 / (double(n) * n);
      ladder.push_back({2.0 * terms, 2 * inverseSquares / pi2});
    }
    return ladder;
  }();
  return kLadder;
}

}  // namespace

CopperLayer CopperLayerOf(double rdc, double bare, double insulated) {
  CopperLayer c;
  c.rdc = rdc;
  if (!(rdc > 0) || !(bare > 0) || !(insulated > 0)) return c;
  // Touching turns: the pitch is the insulated diameter (the layer's porosity where its
  // field is strongest, at the inner diameter).
  const double eta = std::min(bare / insulated, 1.0);
  c.tau = Constant(Physics::VacuumPermeability) * std::pow(std::numbers::pi / 4, 1.5) * bare * bare * eta /
          Constant(Physics::CopperResistivity);
  for (const RlSection& u : UnitLadder()) c.sections.push_back({rdc * u.r, rdc * c.tau * u.l});
  return c;
}

std::complex<double> CopperRatio(double tau, double f) {
  const std::complex<double> jw{0, 2 * std::numbers::pi * f};
  std::complex<double> z = 1;
  for (const RlSection& s : UnitLadder()) {
    const double l = s.l * tau;
    z += Quotient(s.r * jw * l, s.r + jw * l);
  }
  return z;
}

std::complex<double> CopperImpedance(const CopperLayer& c, double f) {
  if (c.sections.empty()) return c.rdc;
  return c.rdc * CopperRatio(c.tau, f);
}

WindingCapacitances WindingCapacitance(const ToroidWinding& w) {
  const double e0 = Constant(Physics::VacuumPermittivity);
  const double er = Constant(Physics::EnamelPermittivity);
  const double coat = Constant(Physics::CoatingThickness);
  const double ro = w.insulatedDiameter / 2;
  // Enamel of zero build would be an infinite capacitance: the thinnest is taken as 1e-6.
  const double enamel = std::log(std::max(w.insulatedDiameter / w.bareDiameter, 1.0 + 1e-6)) / er;

  // The coated core, and the wire's centre line on its inner and outer face.
  const double inner = w.innerDiameter / 2 - coat, outer = w.outerDiameter / 2 + coat;
  const double height = w.height + 2 * coat;
  const double centreIn = std::max(inner - ro, ro), centreOut = outer + ro;
  // The turns lie a fixed angle apart, so the gap between them grows with the radius:
  // one wire diameter between centres at the inner face when touching there.
  const int n = std::max(w.turns, 1);
  const double pitch = std::max(2 * std::asin(std::min(ro / centreIn, 1.0)), w.sector / n);
  auto gap = [&](double radius) { return 2 * radius * std::sin(pitch / 2) - w.insulatedDiameter; };
  // Per metre over e0: two enamels and the air gap g + 2 ro (1 - cos theta) in series.
  auto perLength = [&](double g) { return Facing(1 + enamel + g / (2 * ro)); };

  // Along one turn: the inner face at the narrowest gap, the two end faces opening (Simpson's rule in
  // the radius), the outer face at the widest gap.
  constexpr int kSteps = 64;
  const double step = (centreOut - centreIn) / kSteps;
  double across = 0;
  for (int i = 0; i <= kSteps; ++i) {
    const double weight = i == 0 || i == kSteps ? 1 : i % 2 == 1 ? 4 : 2;
    across += weight * perLength(gap(centreIn + i * step));
  }
  across *= step / 3;
  WindingCapacitances c;
  c.turnToTurn = e0 * (height * perLength(gap(centreIn)) + 2 * across + height * perLength(gap(centreOut)));
  // A turn over the conductive core is a wire over a plane: half the air path of two
  // wires, one enamel, then the coating; over the whole face the turn lies on.
  const double toCore = 2 * Facing(1 + enamel + coat / (Constant(Physics::CoatingPermittivity) * ro));
  c.turnToCore = e0 * toCore * 2 * (height + outer - inner);
  // Pasko, Kazimierczuk and Grzesik, IEEE Trans. EMC 57(2), 2015, a toroid on a floating
  // core: the N - 1 turn-to-turn capacitances in series, and N turn-to-core ones seen by
  // a core at the middle of a linear voltage, each turn storing C (k/N - 1/2)^2 V^2 / 2.
  c.total = (n > 1 ? c.turnToTurn / (n - 1) : 0) + n * c.turnToCore / 12;
  c.sector = std::min(n * pitch, 2 * std::numbers::pi);
  return c;
}

}  // namespace vtq::analysis
