// What the design window holds: the design state, the inputs and option groups the
// calculations read, and the output boxes they write, each under its control name.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "engine/numbers.h"

namespace vtq {

// Module-level values of the design window. Every field starts at zero or empty
// except DesignMode (3, inductance: the mode selected when the window opens).
struct DesignState {
  Integer CoreRow = 0;
  Integer DesignCore = 0;
  Integer ListCore = 0;
  Integer StackCount = 0;
  Integer MaterialIndex = 0;
  std::string MaterialLetter;
  Integer Permeability = 0;
  Integer DesignMode = 3;  // 1 voltage, 2 impedance, 3 inductance
  std::string DesignModeName;
  Integer Loading = 0;
  Single CurrentDensity = 0;    // A/cm2
  Single ActualDensity = 0;     // A/cm2 after the wire was made thinner
  Single CurrentValue = 0;      // A
  Single MainValue = 0;         // V, ohm x A or mH by design mode
  Single ImpedanceValue = 0;    // ohm
  Single CutoffFrequency = 0;   // Hz
  Single EnteredFrequency = 0;  // Hz
  Single LIProduct = 0;         // mH x A
  Single InductanceValue = 0;   // mH, or uH after display scaling
  std::string InductanceUnit;   // " uH" or " mH"
  std::string FrequencyText;    // Hz
  Single RequiredAP = 0;        // cm4
  Single UnitFactor = 0;        // 1 inches, 25.4 millimetres
  Integer WireGauge = 0;        // AWG
  Single WireDiameter = 0;      // in
  Single WireArea = 0;          // in2
  Integer WireReduced = 0;
  Single FitDiameter = 0;   // in
  Single DCResistance = 0;  // ohm, one winding
  Single CopperLoss = 0;    // mW
  Single SurfaceArea = 0;   // cm2
  Single TempRise = 0;      // degrees C
  Single WoundOD = 0;       // display units
  Single WoundID = 0;
  Single WoundHeight = 0;
  Single CoreArea = 0;  // cm2
  Single CorePath = 0;  // cm
  Single LeakagePermeability = 0;
  Single DiffInductance = 0;  // uH

  bool operator==(const DesignState&) const = default;
};

enum class DesignModeOption { Voltage, Impedance, Inductance };

// The number DesignState::DesignMode stores for a mode.
constexpr Integer StoredDesignMode(DesignModeOption mode) {
  return mode == DesignModeOption::Voltage ? 1 : mode == DesignModeOption::Impedance ? 2 : 3;
}

// The input boxes and option groups, as the window's user set them. One member per
// option group keeps "exactly one button selected" true by construction.
struct InputControls {
  std::string MainInput = "1";
  std::string Current = "5";
  std::string SecondInput = "10000";
  std::string txtCD = "400";
  DesignModeOption Mode = DesignModeOption::Inductance;
  Integer Material = 3;  // 1 to 5: Dmat, Pmat, Nmat, Smat, Rmat
  bool English = true;   // else Metric
};

// A design's inputs and selections as a design file, a command line or a test gives
// them; the defaults are the window's at start-up.
struct DesignEntry {
  DesignModeOption mode = DesignModeOption::Inductance;
  // The input boxes as typed: the main input, the current, the cutoff frequency and the
  // current density (A/cm2).
  std::string main = "1", current = "5", frequency = "10000", density = "400";
  int material = 3;  // 1 to 5 = D, P, N, S, R
  bool english = true;
  // The one calculation: none, the automatic design; a catalogue row, evaluated as a
  // pick from the core list.
  std::optional<Integer> core = std::nullopt;
};

// The output boxes of the window (texts) with the place of txtPN, in twips.
struct OutputBoxes {
  std::string txtPN, OD, ID, HT, AL, FAP, AreaProduct, Inductance,
      IndLabel = "Inductance (mH)", Turns, WireSize, WireLength, DCres, FrequencyOutput, txtWoundOD,
      txtWoundID, txtWoundHt, txtHeader, txtTrise, txtDiffL;
  int txtPNLeft = 1800;
  int txtPNWidth = 1455;

  bool operator==(const OutputBoxes&) const = default;
};

// The boxes by control name, in the order the window lists them.
struct OutputBoxField {
  std::string_view name;
  std::string OutputBoxes::*text;
};
extern const std::array<OutputBoxField, 20> kOutputBoxFields;

// Every field of DesignState by name, for listings and machine-readable output.
struct DesignStateField {
  enum class Kind { Integer, Single, String } kind;
  std::string_view name;
  Integer DesignState::*integer = nullptr;
  Single DesignState::*single = nullptr;
  std::string DesignState::*text = nullptr;
};
extern const std::array<DesignStateField, 39> kDesignStateFields;

}  // namespace vtq
