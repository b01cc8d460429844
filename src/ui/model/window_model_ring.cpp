// A choke wound on a ring the user names.
#include <algorithm>
#include <cmath>
#include <map>
#include <mutex>
#include <numbers>

#include "analysis/emissions.h"
#include "analysis/ferrite.h"
#include "analysis/find_core.h"
#include "analysis/spice.h"
#include "cores/library.h"
#include "engine/design.h"
#include "engine/numbers.h"
#include "ui/model/analysis_views.h"
#include "ui/model/library_view.h"
#include "ui/model/window_model.h"
#include "winding/ring_winding.h"

namespace vtq {
namespace {

constexpr double kDegrees = 180 / std::numbers::pi;

// A library grade's material, read once from its database entry.
std::shared_ptr<const analysis::Ferrite> LibraryFerrite(const cores::LibraryGrade& grade,
                                                        std::string& error) {
  static std::mutex lock;
  static std::map<std::string, std::shared_ptr<const analysis::Ferrite>, std::less<>> read;
  const std::lock_guard<std::mutex> hold(lock);
  if (auto found = read.find(grade.name); found != read.end()) return found->second;
  auto ferrite = analysis::FerriteFromJson(grade.entry, error);
  if (ferrite) read.emplace(std::string(grade.name), ferrite);
  return ferrite;
}

// "OD,ID,HT[,CHAMFER]", each a length with its unit.
std::optional<cores::RingSize> ToroidOf(const std::string& text) {
  std::vector<double> lengths;
  std::size_t from = 0;
  for (;;) {
    const std::size_t comma = text.find(',', from);
    const std::optional<double> length = ParseLength(text.substr(from, comma - from));
    if (!length) return std::nullopt;
    lengths.push_back(*length);
    if (comma == std::string::npos) break;
    from = comma + 1;
  }
  if (lengths.size() < 3 || lengths.size() > 4) return std::nullopt;
  return cores::RingSize{lengths[0], lengths[1], lengths[2], lengths.size() == 4 ? lengths[3] : 0};
}

std::nullopt_t Refuse(RingView& v, std::string why) {
  v.status = 2;
  v.problem = std::move(why);
  return std::nullopt;
}

// The request the entry makes of the window's requirement, or nothing, with the refusal in `v`.
std::optional<winding::RingRequest> RequestOf(const RingEntry& e, const DesignState& s,
                                              const std::shared_ptr<const analysis::Ferrite>& file,
                                              RingView& v) {
  winding::RingRequest q;
  const cores::LibraryGrade* grade = nullptr;
  if (!e.part.empty()) {
    if (!e.toroid.empty()) return Refuse(v, "Give a stocked ring or a ring's size, not both.");
    const cores::StockedRing* ring = cores::RingByPart(e.part);
    if (!ring) return Refuse(v, "No stocked ring has the part number \"" + e.part + "\".");
    if (!e.grade.empty() && e.grade != ring->grade) {
      return Refuse(v,
                    "The ring " + std::string(ring->part) + " is made in " + std::string(ring->grade) + ".");
    }
    q.ring = cores::SizeOf(*ring);
    v.part = ring->part;
    v.maker = ring->maker;
    grade = cores::GradeByName(ring->grade);
    if (!grade)
      return Refuse(v, "The grade " + std::string(ring->grade) + " of the ring is not in the library.");
  } else {
    const std::optional<cores::RingSize> size = ToroidOf(e.toroid);
    if (!size) {
      return Refuse(v,
                    "The ring's size \"" + e.toroid +
                        "\" is not OD,ID,HT[,CHAMFER] as lengths with their units, such as 25mm,15mm,10mm.");
    }
    q.ring = *size;
    if (!e.grade.empty()) {
      grade = cores::GradeByName(e.grade);
      if (!grade) return Refuse(v, "No library grade is named \"" + e.grade + "\".");
    } else {
      q.grade = file;
      if (!q.grade) return Refuse(v, "A ring's size needs a library grade or a material file.");
    }
  }
  if (grade) {
    if (!grade->hasCurve) {
      return Refuse(v,
                    "The grade " + std::string(grade->name) +
                        " has no measured permeability curve to design with: " + std::string(grade->noCurve));
    }
    std::string error;
    q.grade = LibraryFerrite(*grade, error);
    if (!q.grade) return Refuse(v, "The grade " + std::string(grade->name) + " cannot be read: " + error);
  }
  v.grade = q.grade->name;
  v.od = q.ring.od;
  v.id = q.ring.id;
  v.height = q.ring.height;
  v.chamfer = q.ring.chamfer;
  if (!e.gap.empty()) {
    q.gap = ParseLength(e.gap);
    if (!q.gap) return Refuse(v, "The gap \"" + e.gap + "\" is not a length with its unit, such as 1mm.");
  }
  q.part = v.part;
  q.windings = e.windings;
  q.turns = e.turns;
  if (e.turns <= 0) q.inductance = RequiredInductance(s);
  v.requiredInductance = q.inductance;
  q.current = s.CurrentValue;
  q.density = s.CurrentDensity;
  q.temperature = e.temperature;
  q.unbalance = e.unbalance;
  return q;
}

void Show(const winding::RingDesign& d, RingView& v) {
  v.status = d.outcome == winding::RingOutcome::Complete   ? 0
             : d.outcome == winding::RingOutcome::BadInput ? 2
                                                           : 3;
  v.problem = d.problem;
  v.length = d.figures.length;
  v.area = d.figures.area;
  v.volume = d.figures.volume;
  v.al = d.al;
  v.turns = d.turns;
  v.gauge = d.gauge;
  v.inductance = d.inductance;
  v.peakFlux = d.peakFlux;
  v.saturation = d.saturation;
  v.rise = d.rise;
  for (const winding::Step& step : d.steps) v.steps.push_back({step.name, step.value, step.unit, step.how});
  for (const winding::SectorWinding& w : d.windings)
    v.windings.push_back({w.turns, w.sectorDeg, w.leakage, w.current});
}

// A ring wound for the entry: the request and the design, shown in `v`.
struct WoundRing {
  winding::RingRequest request;
  winding::RingDesign design;
};

// The entry's ring wound; with the mains given, wound again on what the insulation's gaps
// leave. Nothing when the entry is refused (`v` says why).
std::optional<WoundRing> Wind(const RingEntry& e, const DesignState& state,
                              const std::shared_ptr<const analysis::Ferrite>& file, RingView& v) {
  std::optional<winding::RingRequest> q = RequestOf(e, state, file, v);
  if (!q) return std::nullopt;
  winding::RingDesign d = winding::WindOnRing(*q);
  if (e.safety && d.outcome != winding::RingOutcome::BadInput) {
    if (q->gap) return Refuse(v, "Give the gap between the windings or the mains they sit on, not both.");
    // The wire follows the current density alone, so the first winding's wire is the one the
    // gaps must part; the windings are then wound again on what the gaps leave.
    SafetyEntry s = *e.safety;
    s.windings = e.windings;
    SafetyView insulation = SafetyViewOfBore(q->ring.id, q->ring.od, d.insulatedDiameter, "", s);
    if (!insulation.inputProblem.empty() || !insulation.problem.empty())
      return Refuse(v, insulation.inputProblem.empty() ? insulation.problem : insulation.inputProblem);
    if (!insulation.ringProblem.empty()) {
      v.status = 3;
      v.problem = "The windings cannot be parted by the insulation's distances on this ring: " +
                  insulation.ringProblem;
      v.insulation = std::move(insulation);
      return std::nullopt;
    }
    // The widest gap (between two phases, with a neutral) sets every one.
    double widest = 0;  // rad at the bore
    for (std::size_t k = 0; k < insulation.gaps.size(); ++k) {
      const double angle = insulation.gaps[k].gapAngle.value_or(0) / kDegrees;
      if (angle > widest) {
        widest = angle;
        v.bindingGap = k;
      }
    }
    q->gap = widest * q->ring.id / 2;  // the arc at the bore the sectors lose to each gap
    d = winding::WindOnRing(*q);
    v.insulation = std::move(insulation);
  }
  Show(d, v);
  return WoundRing{std::move(*q), std::move(d)};
}

// Why a complete design on a ring is not one the automatic choice takes; empty if it is.
std::string PassedOver(double peakFlux, double saturation, double rise) {
  if (peakFlux > saturation) {
    return "the peak flux density of " + num::Printed(peakFlux, 3) + " T passes the grade's " +
           num::Printed(saturation, 3) + " T";
  }
  // Where the design window warns of a hot winding.
  if (rise > kWarmRise) {
    return "the temperature rise of " + num::Printed(rise, 3) + " C is above " + num::Printed(kWarmRise, 3) +
           " C";
  }
  return {};
}

// The rings of the entry's filter in the order the automatic choice walks them, or nothing,
// with the refusal in `v`.
std::optional<LibraryView> OrderedRings(const RingEntry& e, RingView& v) {
  if (!e.part.empty() || !e.toroid.empty() || !e.grade.empty()) {
    return Refuse(
        v, "The automatic choice takes no ring, size or grade of its own: filter the library instead.");
  }
  LibraryView list = LibraryViewOf(*e.library);
  if (!list.problem.empty()) return Refuse(v, list.problem);
  if (e.byPrice) {
    // Unlisted prices after every listed one; equal prices stay smallest first.
    std::stable_sort(list.rows.begin(), list.rows.end(), [](const LibraryRow& a, const LibraryRow& b) {
      return (a.price >= 0 && b.price < 0) || (a.price >= 0 && b.price >= 0 && a.price < b.price);
    });
  }
  return list;
}

// A ring about to be tried, with why its grade cannot be designed with (empty when it can).
RingTryRow TryRowOf(const LibraryRow& ring) {
  RingTryRow t;
  t.part = ring.part;
  t.grade = ring.grade;
  t.od = ring.od;
  t.id = ring.id;
  t.height = ring.height;
  t.price = ring.price;
  const cores::LibraryGrade* grade = cores::GradeByName(ring.grade);
  std::string unread = "its grade is not in the library";
  if (!ring.hasCurve) {
    t.why = "its grade has no measured permeability curve";
  } else if (!grade || !LibraryFerrite(*grade, unread)) {
    t.why = "its grade cannot be read: " + unread;
  }
  return t;
}

// The automatic choice: the first ring of the filtered library, in size or price order, whose
// design completes without saturating or running hot. `v` is that ring's design with every
// ring tried, or says why none was taken.
std::optional<WoundRing> Choose(const RingEntry& e, const DesignState& state, RingView& v) {
  const std::optional<LibraryView> list = OrderedRings(e, v);
  if (!list) return std::nullopt;
  std::vector<RingTryRow> tried;
  for (const LibraryRow& ring : list->rows) {
    RingTryRow t = TryRowOf(ring);
    if (!t.why.empty()) {
      tried.push_back(std::move(t));
      continue;
    }
    RingEntry one = e;
    one.library.reset();
    one.part = ring.part;
    RingView r;
    std::optional<WoundRing> wound = Wind(one, state, nullptr, r);
    if (r.status == 2) {  // an entry no ring can take: said once, for all of them
      v = std::move(r);
      return std::nullopt;
    }
    t.turns = r.turns;
    t.gauge = r.gauge;
    t.rise = r.rise;
    if (r.requiredInductance > 0 && r.inductance > 0) t.margin = r.inductance / r.requiredInductance - 1;
    t.why = r.status == 0 ? PassedOver(r.peakFlux, r.saturation, r.rise) : r.problem;
    tried.push_back(t);
    if (t.why.empty()) {
      v = std::move(r);
      v.tried = std::move(tried);
      return wound;
    }
  }
  v = {};
  v.status = 3;
  v.problem = list->rows.empty()
                  ? "No stocked ring is left by the filter."
                  : "None of the " + std::to_string(list->rows.size()) +
                        " rings tried meets the requirement: the table says why each was passed over.";
  v.tried = std::move(tried);
  return std::nullopt;
}

// Find Core's turns on one ring: the request with the ring's wire and gaps settled, wound
// again with any turns.
struct TurnsOnRing {
  winding::RingRequest request;
  winding::RingDesign Design(int turns) const {
    winding::RingRequest q = request;
    q.turns = turns;
    return winding::WindOnRing(q);
  }
  analysis::ChokeParameters Choke(int turns) const {
    std::string problem;  // none: a library grade always has its curve
    return analysis::ParametersOf(winding::WindingOf(Design(turns), request), problem);
  }
};

// Why the ring cannot hold a design of these turns (does not fit, saturates, runs hot);
// empty when it can.
std::string NotHeld(const winding::RingDesign& d) {
  return d.outcome == winding::RingOutcome::Complete ? PassedOver(d.peakFlux, d.saturation, d.rise)
                                                     : d.problem;
}

// Why a check that does not pass is passed over, in one decimal as the tables show margins.
std::string ShortOf(const analysis::EmissionCheck& c, double required) {
  auto decibels = [](double value) { return num::FormatDouble(value, "0.0") + " dB"; };
  const std::string where = " at " + analysis::Engineering(c.worstFrequency, "Hz") + " (" +
                            std::string(analysis::ModeName(c.worstMode)) + " mode)";
  if (c.worstMargin < 0) return "fails the limit by " + decibels(-c.worstMargin) + where;
  return "is " + decibels(required - c.worstMargin) + " short of the " + decibels(required) + " margin" +
         where;
}

std::optional<WoundRing> WindEntry(const RingEntry& e, const DesignState& state,
                                   const std::shared_ptr<const analysis::Ferrite>& file, RingView& v) {
  return e.library ? Choose(e, state, v) : Wind(e, state, file, v);
}

// The entry wound for an analysis: the ring and the winding description the analyses take.
// Nothing, with `v` saying why, for a ring that is refused or does not complete.
struct AnalysedRing {
  WoundRing ring;
  analysis::Winding winding;
};
std::optional<AnalysedRing> WindAnalysed(const RingEntry& e, const DesignState& state,
                                         const std::shared_ptr<const analysis::Ferrite>& file, RingView& v) {
  v = {};
  std::optional<WoundRing> w = WindEntry(e, state, file, v);
  if (!w || v.status != 0) return std::nullopt;
  analysis::Winding wound = winding::WindingOf(w->design, w->request);
  return AnalysedRing{std::move(*w), std::move(wound)};
}

}  // namespace

RingView WindowModel::DesignOnRing(const RingEntry& e) const {
  RingView v;
  WindEntry(e, window.state, ImpedanceMaterial(), v);
  return v;
}

ImpedanceView WindowModel::RingImpedance(const RingEntry& e, const ImpedanceEntry& entry, RingView& v) const {
  const std::optional<AnalysedRing> w = WindAnalysed(e, window.state, ImpedanceMaterial(), v);
  if (!w) return {};
  const DesignState& s = window.state;
  std::optional<analysis::ImpedancePoint> required;
  if (window.inputs.Mode != DesignModeOption::Inductance && s.EnteredFrequency > 0 && s.ImpedanceValue > 0)
    required = analysis::ImpedancePoint{s.EnteredFrequency, s.ImpedanceValue};
  return ImpedanceViewOfCurve(analysis::ChokeImpedance(w->winding, w->ring.request.current, required,
                                                       entry.range, entry.bsat, entry.temperature),
                              w->winding.partNumber, entry);
}

EmissionsView WindowModel::RingEmissions(const RingEntry& e, RingView& v) const {
  const std::optional<AnalysedRing> w = WindAnalysed(e, window.state, ImpedanceMaterial(), v);
  if (!w) return {};
  return CheckedEmissions(
      [&](const EmissionsEntry& entry) { return EmissionsViewOf(w->winding, entry, measuredChoke); },
      e.windings);
}

std::string WindowModel::RingEmissionsNetlist(const RingEntry& e, const EmissionsView& view) const {
  if (!view.inputProblem.empty() || !view.problem.empty()) return {};
  RingView v;
  const analysis::SpiceModel model = RingSpice(e, v);
  if (!model.problem.empty() || model.text.empty()) return {};
  return analysis::EmissionsNetlist(view.inputs, view.check, model.text, model.name);
}

RingSearchView WindowModel::RingFindCore(const RingEntry& e) const {
  RingSearchView s;
  auto refuse = [&](std::string why) {
    s.problem = std::move(why);
    return s;
  };
  if (!e.library)
    return refuse("Find Core walks the stocked library: a ring named or sized has nothing to find.");
  if (e.turns > 0) return refuse("Find Core chooses the turns on each ring: give none.");
  const std::optional<LibraryView> list = OrderedRings(e, s.ring);
  if (!list) return refuse(s.ring.problem);
  std::string budget;
  const EmissionsView entries = EmissionsEntryOf(BudgetedEntry(budget, e.windings));
  s.inputProblem = budget.empty() ? entries.inputProblem : budget;
  if (!s.inputProblem.empty()) return s;
  analysis::EmissionInputs in = entries.inputs;
  in.lines = e.windings;  // one line through each winding

  // The band's harmonics and limits do not depend on the winding, its grade's curve only
  // on the grade: laid out once a grade.
  std::map<const analysis::Ferrite*, analysis::CommonMargins> bands;
  std::vector<RingTryRow> tried;
  struct Shown {
    RingView base;  // the ring's entry wound, whose figures give way to the turns chosen
    TurnsOnRing turns;
    winding::RingDesign design;
  };
  std::optional<Shown> best;  // the winner, or the closest try
  double bestMargin = -INFINITY;
  for (const LibraryRow& ring : list->rows) {
    RingTryRow t = TryRowOf(ring);
    if (!t.why.empty()) {
      tried.push_back(std::move(t));
      continue;
    }
    // One turn settles the wire and, on the mains, the gaps between the windings.
    RingEntry one = e;
    one.library.reset();
    one.part = ring.part;
    one.turns = 1;
    RingView r;
    std::optional<WoundRing> wound = Wind(one, window.state, nullptr, r);
    if (r.status == 2) {  // an entry no ring can take: said once, for all of them
      s.ring = std::move(r);
      return refuse(s.ring.problem);
    }
    t.turns = r.turns;
    t.gauge = r.gauge;
    t.rise = r.rise;
    t.why = wound ? NotHeld(wound->design) : r.problem;
    if (!t.why.empty()) {
      tried.push_back(std::move(t));
      continue;
    }
    const TurnsOnRing turns{wound->request};
    // The most turns the ring holds: each limit only tightens as turns are added (the
    // sector's one layer, the flux through the leakage, the copper's heat).
    int most = 1;
    for (int over = 2;;) {
      if (over < (1 << 20) && NotHeld(turns.Design(over)).empty()) {
        most = over;
        over *= 2;
        continue;
      }
      if (over - most <= 1) break;
      const int mid = (most + over) / 2;
      (NotHeld(turns.Design(mid)).empty() ? most : over) = mid;
    }
    auto choke = [&](int n) { return turns.Choke(n); };
    auto band = bands.find(turns.request.grade.get());
    if (band == bands.end())
      band = bands.emplace(turns.request.grade.get(), analysis::CommonMargins(in, choke(most))).first;
    const analysis::TurnsChoice chosen = analysis::ChooseTurns(in, band->second, most, choke);
    winding::RingDesign d = turns.Design(chosen.turns);
    t.turns = d.turns;
    t.gauge = d.gauge;
    t.rise = d.rise;
    t.emissionMargin = chosen.check.worstMargin;
    t.emissionFrequency = chosen.check.worstFrequency;
    if (!chosen.check.passes) t.why = ShortOf(chosen.check, in.margin);
    tried.push_back(t);
    if (chosen.check.passes || chosen.check.worstMargin > bestMargin) {
      bestMargin = chosen.check.worstMargin;
      best = Shown{std::move(r), turns, std::move(d)};
    }
    if (chosen.check.passes) break;
  }
  if (!best) {
    s.status = 3;
    s.problem = list->rows.empty() ? "No stocked ring is left by the filter."
                                   : "None of the " + std::to_string(list->rows.size()) +
                                         " rings tried holds a winding of this current: the table says why "
                                         "each was passed over.";
    s.summary = s.problem;
    s.ring.status = 2;
    s.ring.tried = std::move(tried);
    return s;
  }
  // The view of the turns chosen: the entry's ring, its figures those of the design.
  s.ring = std::move(best->base);
  s.ring.steps.clear();
  s.ring.windings.clear();
  Show(best->design, s.ring);
  s.ring.tried = std::move(tried);
  const analysis::Winding wound = winding::WindingOf(best->design, best->turns.request);
  s.emissions = CheckedEmissions([&](const EmissionsEntry& entry) { return EmissionsViewOf(wound, entry); },
                                 e.windings);
  const RingTryRow& last = s.ring.tried.back();
  const std::string named = s.ring.part + " (" + s.ring.grade + ") with " + std::to_string(s.ring.turns) +
                            (s.ring.turns == 1 ? " turn" : " turns") + " of AWG " +
                            std::to_string(s.ring.gauge);
  if (last.why.empty()) {
    s.status = 0;
    s.summary = named + " passes " + entries.standardName + " with the required margin.";
    return s;
  }
  s.status = 4;
  s.summary = "No ring the filter leaves passes; the check shows the closest try, " + named + ".";
  const analysis::EmissionCheck& c = s.emissions.check;
  s.problem = "No ring passes: the closest, " + named + ", " + ShortOf(c, in.margin) + ".";
  return s;
}

analysis::SpiceModel WindowModel::RingSpice(const RingEntry& e, RingView& v) const {
  const std::optional<AnalysedRing> w = WindAnalysed(e, window.state, ImpedanceMaterial(), v);
  if (!w) return {};
  const winding::RingRequest& q = w->ring.request;
  const analysis::Winding& wound = w->winding;
  const std::string inputs = (q.turns > 0 ? std::to_string(q.turns) + " turns given"
                                          : num::Printed(q.inductance, 6) + " H required") +
                             ", " + num::Printed(q.current, 6) + " A, " + num::Printed(q.density, 6) +
                             " A/cm2, grade " + q.grade->name + ", designed at " +
                             num::Printed(q.temperature, 4) + " C";
  analysis::SpiceModel model = analysis::SpiceSubcircuit(wound, inputs);
  if (!model.problem.empty()) Refuse(v, model.problem);
  return model;
}

mas::Written WindowModel::RingMasExport(const RingEntry& e, RingView& v) const {
  v = {};
  const std::optional<WoundRing> w = WindEntry(e, window.state, ImpedanceMaterial(), v);
  if (!w || v.status != 0) return {{}, v.problem};
  const winding::RingDesign& d = w->design;
  mas::RingChoke c;
  c.part = v.part;
  c.maker = v.maker;
  if (const cores::StockedRing* ring = cores::RingByPart(v.part); ring && !v.part.empty())
    c.shape = ring->shape;
  c.grade = v.grade;
  if (const cores::LibraryGrade* grade = cores::GradeByName(v.grade)) c.gradeMaker = grade->maker;
  c.od = v.od;
  c.id = v.id;
  c.height = v.height;
  c.chamfer = v.chamfer;
  c.requiredInductance = v.requiredInductance;
  c.turns = d.turns;
  c.gauge = d.gauge;
  c.bareDiameter = d.bareDiameter;
  c.insulatedDiameter = d.insulatedDiameter;
  c.inductance = d.inductance;
  c.resistance = d.resistance;
  c.leakage = d.leakage;
  c.rise = d.rise;
  c.ambient = w->request.temperature;
  for (const winding::SectorWinding& s : d.windings) c.currents.push_back(s.current);
  // The mains as the insulation read them: the voltage as a number, the rest as typed.
  if (v.insulation && e.safety) {
    c.insulation = mas::RingInsulation{e.safety->category, e.safety->pollution, e.safety->group,
                                       v.insulation->lineToNeutral};
  }
  return mas::WriteRingDesign(window, c);
}

}  // namespace vtq
