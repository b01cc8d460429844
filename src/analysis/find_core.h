// A choke designed to pass: the smallest catalogue core whose winding, with the turns the
// design rules allow, gets the emissions under the limit with the required margin.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "analysis/emissions.h"
#include "engine/design.h"

namespace vtq::analysis {

struct CoreTrial {
  int row = 0;  // catalogue entry
  std::string part;
  int turns = 0, gauge = 0;
  double inductance = 0;  // H, one winding, with those turns
  // Whether some turns that fit meet the margin in common mode over the band. If so, the
  // fewest such turns (or more, when the differential mode wants their leakage); if not,
  // the turns with the best common margin. The worst margin is their full check's.
  bool met = false;
  double worstMargin = 0, worstFrequency = 0;  // dB, Hz
  Mode worstMode = Mode::Common;
  double tempRise = 0;  // C
  bool passes = false;
};

struct CoreSearch {
  std::string problem;            // why nothing was searched (inputs), or why no core passes
  std::vector<CoreTrial> trials;  // in the order tried, the winner last
  int winner = 0;                 // catalogue row; 0 for none
  double winnerInductance = 0;    // H: the inductance mode's input that gives the winner its turns
  // The design of the winner, or of the try that came closest when none passes: the
  // winding of that core and turns as a pick from the core list evaluates it.
  DesignWindow shown;
};

// The turns a core gets, from 1 to `fit` (the most it takes): the fewest that meet the
// margin in common mode at every harmonic, or more when the differential mode wants their
// leakage; when no turns meet it, those with the best common margin (the peak, where the
// winding's capacitance starts to take over the band's top), or the most when they come
// closer in the full check. `choke` is the choke of n turns on the core.
struct TurnsChoice {
  int turns = 0;
  bool met = false;     // some turns meet the margin in common mode
  EmissionCheck check;  // the full check of the turns chosen
};
TurnsChoice ChooseTurns(const EmissionInputs& inputs, CommonMargins& band, int fit,
                        const std::function<ChokeParameters(int)>& choke);

// Walks the cores offered in the window's material from the smallest. Each gets the fewest
// turns that meet the margin in common mode at every harmonic (the choke's own job; the
// differential mode rests on the X capacitor and the leakage that come with them; that
// margin rises with the turns to a peak, then falls as the winding's capacitance takes
// over the band's top), among
// the turns whose wire at the window's current density fits the core's window without
// being made thinner; the first core whose full check then passes wins. The window is
// not changed.
CoreSearch FindCore(const DesignWindow& window, const EmissionInputs& inputs);

}  // namespace vtq::analysis
