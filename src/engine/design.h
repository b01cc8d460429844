// The two calculations of the design window: the automatic design (Calculate) and the
// evaluation of one chosen core, sharing one routine.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/design_state.h"
#include "engine/dialogs.h"

namespace vtq {

// How the last calculation ended. One that stops early writes only part of the outputs
// (or none), so the other boxes still hold the previous design's values: whatever reads
// the results as a design asks this, not the texts.
enum class DesignOutcome {
  None,        // nothing calculated yet
  Complete,    // a core and its winding
  TooLarge,    // no catalogue core, nor a stack of four, has the area product
  NotOffered,  // the core is not made in the material (AL 0): no turns were worked out
};

// Everything a calculation reads and writes, owned by the window.
struct DesignWindow {
  DesignState state;
  InputControls inputs;
  OutputBoxes outputs;
  DesignOutcome outcome = DesignOutcome::None;
};

// Why the last calculation reached no winding, in a sentence; empty when it did.
std::string IncompleteReason(const DesignWindow& w);

// The inductance of one winding the last calculation reached, H (InductanceValue is
// held in uH below 1 mH and in mH above, as the window shows it).
double WindingInductance(const DesignState& s);
// The inductance the requirement asks of each winding, H: L x I over I.
double RequiredInductance(const DesignState& s);

// What a complete calculation shows that an engineer should look at twice, a sentence
// each: the inductance below the requirement once the turns are rounded, a temperature
// rise above kWarmRise, a wire thinner than kThinnestGauge; for one that stopped early,
// that the boxes still show the previous design. None of them changes a result.
inline constexpr double kWarmRise = 40;    // C: the rise most line filters are designed to stay below
inline constexpr int kThinnestGauge = 40;  // AWG: finer wire is hard to wind and to buy
std::vector<std::string> DesignWarnings(const DesignWindow& w);

// Calculate: input checks, requirement, core choice by area product (or a stack of
// the largest core), then the winding on it.
void CalculateDesign(DesignWindow& w, UserDialogs& dialogs);

// The winding on catalogue entry Row (1 to 24; any other row leaves every output that
// reads the catalogue as it was), with the wire made thinner where it does not fit.
void EvaluateCore(Integer& Row, DesignWindow& w, UserDialogs& dialogs);

// The pattern a self-formatting box (OD, ID, HT, WireLength, Inductance, Turns,
// WireSize) applies to any text written into it, for the current length unit; null
// for any other box, which takes its text as it is.
const num::Pattern* SelfFormatPattern(std::string OutputBoxes::*box, bool english);

// The catalogue's wire: the AWG gauge for a current (A) at a density (A/cm2),
// AWG = -4.31 ln(I x 1.889 / J) rounded half to even (throws StepFailed where it has no
// value), and the diameter the wire-fit rule gives a gauge, inches, insulation included.
Integer GaugeForCurrentDensity(double current, double density);
Single InsulatedWireDiameter(Integer gauge);

// Mounting header for a wound part of outside diameter x and height h, inches.
std::string_view MountingHeaderFor(Single x, Single h);

// Core list entry text, "QN-80101-KX (OD = 0.375)", for one catalogue row.
std::string CoreListEntry(int row, std::string_view materialLetter);

// The rows offered in a material (AL field 4 + materialIndex above 0), in entry order.
std::vector<int> OfferedRows(int materialIndex);

}  // namespace vtq
