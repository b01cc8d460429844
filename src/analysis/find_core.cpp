#include "analysis/find_core.h"

#include <functional>
#include <map>
#include <optional>

#include "analysis/silent_dialogs.h"
#include "analysis/winding.h"
#include "engine/catalogue.h"
#include "engine/numbers.h"

namespace vtq::analysis {
namespace {

// A winding of `inductance` H on catalogue entry `row`, as a pick from the core list
// evaluates it in inductance mode; `fits` when the wire at the design's current density
// fits the core's window as it is (no thinner wire, no failed step).
struct Probe {
  bool fits = false;
  DesignWindow window;
  ChokeParameters choke;
};

Probe Wind(const DesignWindow& start, int row, double inductance) {
  Probe p{false, start, {}};
  DesignWindow& w = p.window;
  w.inputs.Mode = DesignModeOption::Inductance;
  w.inputs.MainInput = num::DoubleText(inductance * 1e3);  // the box takes mH
  SilentDialogs dialogs;
  try {
    CalculateDesign(w, dialogs);
    dialogs.titles.clear();
    w.state.ListCore = static_cast<Integer>(row);
    EvaluateCore(w.state.ListCore, w, dialogs);
  } catch (const PromptWouldShow&) {
    return p;
  }
  std::string problem;
  p.choke = ParametersOf(w, problem);
  p.fits = problem.empty() && dialogs.titles.empty();
  return p;
}

}  // namespace

TurnsChoice ChooseTurns(const EmissionInputs& in, CommonMargins& band, int fit,
                        const std::function<ChokeParameters(int)>& choke) {
  std::map<int, double> margins;  // turns -> common margin, each winding checked once
  auto margin = [&](int n) {
    auto [at, fresh] = margins.try_emplace(n, 0.0);
    if (fresh) at->second = band.Worst(choke(n));
    return at->second;
  };
  // The common margin rises with the turns until the winding's own capacitance takes
  // over the band's top and it falls again: the best turns are at that peak, which
  // lies inside the turns that fit on a core large enough to wind past it.
  int low = 1, peak = fit;
  if (fit > 1 && margin(fit - 1) > margin(fit)) {
    int high = fit;
    while (high - low > 2) {
      const int a = low + (high - low) / 3, b = high - (high - low) / 3;
      if (margin(a) < margin(b)) {
        low = a;
      } else {
        high = b;
      }
    }
    for (int n = low; n <= high; ++n) peak = margin(n) > margin(peak) ? n : peak;
  }
  const bool met = margin(peak) >= in.margin;
  // A winding with its full check.
  auto tryTurns = [&](int n) { return TurnsChoice{n, met, band.Check(choke(n))}; };
  int fewest = 0, most = peak;
  if (met) {
    // The fewest turns that meet it, and the most: the margin is met between them.
    while (most - fewest > 1) {
      const int mid = (fewest + most) / 2;
      (margin(mid) >= in.margin ? most : fewest) = mid;
    }
    fewest = most;
    for (int over = fit + 1; over - most > 1;) {
      const int mid = (most + over) / 2;
      (margin(mid) >= in.margin ? most : over) = mid;
    }
  }
  // Past the fewest, more turns add leakage, which the differential mode may still want;
  // when even the most cannot pass, they come closest.
  TurnsChoice chosen = tryTurns(met ? fewest : peak);
  if (met && !chosen.check.passes) {
    TurnsChoice mostTried = tryTurns(most);
    if (mostTried.check.passes) {
      while (most - fewest > 1) {
        const int mid = (fewest + most) / 2;
        (band.Check(choke(mid)).passes ? most : fewest) = mid;
      }
      chosen = tryTurns(most);
    } else if (mostTried.check.worstMargin > chosen.check.worstMargin) {
      chosen = std::move(mostTried);
    }
  }
  return chosen;
}

CoreSearch FindCore(const DesignWindow& window, const EmissionInputs& in) {
  CoreSearch s;
  if (const std::string why = CheckInputs(in); !why.empty()) {
    s.problem = why;
    return s;
  }
  // The worst common-mode margin over the band: what the turns are chosen for, the
  // differential mode resting on the X capacitor and the leakage that come with them.
  std::optional<CommonMargins> band;
  std::size_t best = 0;  // the trial closest to passing
  for (int row : OfferedRows(window.inputs.Material)) {
    // The catalogue's A_L is mH per 1000 turns: H per turn squared is 1e-9 of it. N turns
    // then ask for A_L N^2, a hair less so that rounding cannot add a turn.
    const double al = CoreAt(row).AL[static_cast<std::size_t>(window.inputs.Material - 1)] * 1e-9;
    if (!(al > 0) || !Wind(window, row, al).fits) continue;
    auto wind = [&](int n) { return Wind(window, row, al * n * n * (1 - 1e-9)); };
    // The most turns that fit: double, then halve the gap.
    int fit = 1, over = 2;
    while (over <= 4096 && wind(over).fits) fit = over, over *= 2;
    while (over - fit > 1) {
      const int mid = (fit + over) / 2;
      (wind(mid).fits ? fit : over) = mid;
    }
    CoreTrial trial;
    trial.row = row;
    // The band's harmonics do not depend on the winding: the first core lays them out.
    if (!band) band.emplace(in, wind(fit).choke);
    const TurnsChoice turns = ChooseTurns(in, *band, fit, [&](int n) { return wind(n).choke; });
    trial.met = turns.met;
    const Probe chosen = wind(turns.turns);
    const EmissionCheck& full = turns.check;
    trial.worstMargin = full.worstMargin;
    trial.worstFrequency = full.worstFrequency;
    trial.worstMode = full.worstMode;
    trial.passes = full.passes;
    trial.part = chosen.window.outputs.txtPN;
    trial.turns = chosen.choke.turns;
    trial.gauge = chosen.window.state.WireGauge;
    trial.inductance = chosen.choke.inductance;
    trial.tempRise = chosen.window.state.TempRise;
    if (s.trials.empty() || trial.worstMargin > s.trials[best].worstMargin || trial.passes) {
      best = s.trials.size();
      s.shown = chosen.window;
    }
    s.trials.push_back(trial);
    if (trial.passes) {
      s.winner = row;
      s.winnerInductance = al * trial.turns * trial.turns * (1 - 1e-9);
      return s;
    }
  }
  // None passes: the best try, where it fails and by how much; the margin a row shows is
  // against the limit, the shortfall counts the margin required on top of it.
  if (s.trials.empty()) {
    s.problem = "No core offered in the material holds a winding of this current.";
    return s;
  }
  const CoreTrial& t = s.trials[best];
  // One decimal, as the table of tries shows its margins.
  auto decibels = [](double value) { return num::FormatDouble(value, "0.0") + " dB"; };
  s.problem = "No core passes: the best, " + t.part + " with " + std::to_string(t.turns) +
              (t.turns == 1 ? " turn" : " turns") + ", has a worst margin of " + decibels(t.worstMargin) +
              " at " + Engineering(t.worstFrequency, "Hz") + " (" + std::string(ModeName(t.worstMode)) +
              " mode)";
  if (in.margin != 0) {
    s.problem +=
        ", " + decibels(in.margin - t.worstMargin) + " short of the " + decibels(in.margin) + " required";
  }
  s.problem += ".";
  return s;
}

}  // namespace vtq::analysis
