#include "engine/design.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cmath>
#include <optional>

#include "engine/catalogue.h"
#include "engine/step.h"
#include "engine/validate.h"

namespace vtq {
namespace {

using num::Div;
using num::ToInteger;
using num::ToSingle;

constexpr double kPi = 3.14;  // the design formulas take pi as 3.14 throughout

// clang-format off
constexpr std::string_view kWarning = "Warning";
constexpr std::string_view kTooLarge =
    "Filter requirements too large to calculate.\rPlease redesign or calculate it manually.";
constexpr std::string_view kRMaterial =
    "Improper Core Selection.\rR material only available in\r"
    "sizes up to 1.142 inches (80115).\rPlease select another material.";
constexpr std::string_view kDMaterial =
    "Improper Core Selection.\rD material only featured in\r"
    "sizes up to 1.142 inches (80115).\rPlease select another material.";
constexpr std::string_view kLitzWire =
    "Too much current is required,\ryou will need to increase the\r"
    "wire size with multiple strands\rof wire or choose litz wire.";
constexpr std::string_view kCoreTooSmall = "Core ID Too Small";
// clang-format on

// Patterns of the boxes: what the calculation writes, and what the seven
// self-formatting boxes then make of it.
constexpr num::Pattern kCoreSize{"#0.000"}, kAreaProduct{"##0.000"}, kInductance{"##0.00"},
    kResistance{"##0.0000 Ohm"}, kWoundIn{"###0.000 in."}, kWoundMm{"###0.0 mm"}, kRise{"###0.0"},
    kDiffL{"###0.00"}, kFrequency{"#######"}, kWholeAmps{"######"};
constexpr num::Pattern kSizeBoxIn{"#0.000 in."}, kSizeBoxMm{"##0.0 mm"}, kLengthBoxIn{"#####.# in."},
    kLengthBoxCm{"#####.# cm"}, kInductanceBox{"#######.##"}, kTurnsBox{"#######"}, kGaugeBox{"###"};

constexpr std::string_view kLabelMicro = "Inductance (\u00b5H)";
constexpr std::string_view kLabelMilli = "Inductance (mH)";

// Stack limits on the required area product, cm4: multiples of entry 24's 45.2, but
// 181 rather than 180.8 for four cores. Compared as Singles, as the field is one.
constexpr Single kTwoCores = 45.2f, kThreeCores = 90.4f, kFourCores = 135.6f, kTooLargeLimit = 181.0f;

double Number(const std::string& text) {
  auto value = num::ParseStrict(text);
  if (!value) throw StepFailed{};
  return *value;
}

// AWG wire diameter, inches: 0.3326 in. at gauge 0, 0.8927 times thinner per gauge,
// one Single multiplication per gauge step (a gauge of 0 or below stays 0.3326). The
// steps depend on each other, so the usual gauges come from a table of the same steps.
constexpr Single WireStep(Single d) {
  return static_cast<Single>(static_cast<double>(d) * 0.8927);
}
constexpr int kTabulatedGauges = 64;
constexpr std::array<Single, kTabulatedGauges> kWireDiameter = [] {
  std::array<Single, kTabulatedGauges> d{};
  d[0] = 0.3326f;
  for (std::size_t g = 1; g < d.size(); ++g) d[g] = WireStep(d[g - 1]);
  return d;
}();
Single WireDiameterOf(Integer gauge) {
  if (gauge <= 0) return kWireDiameter[0];
  if (gauge < kTabulatedGauges) return kWireDiameter[static_cast<std::size_t>(gauge)];
  Single d = kWireDiameter[kTabulatedGauges - 1];
  for (int g = kTabulatedGauges; g <= gauge; ++g) d = WireStep(d);
  return d;
}

struct MountingHeader {
  Single minOD, maxOD, maxHeight;  // wound size, inches, exclusive limits (0 = none)
  std::string_view part;
};
constexpr MountingHeader kHeaders[] = {
    {0.0f, 0.38f, 0.0f, "HB-01"}, {0.5f, 0.9f, 0.385f, "HB-02"}, {0.0f, 1.1f, 0.51f, "HB-03"},
    {0.0f, 1.6f, 0.71f, "HB-04"}, {0.0f, 2.5f, 0.81f, "HB-05"},
};

}  // namespace

std::string_view MountingHeaderFor(Single x, Single h) {
  for (const auto& row : kHeaders) {
    bool above = row.minOD == 0.0f || x > row.minOD;
    bool low = row.maxHeight == 0.0f || h < row.maxHeight;
    if (above && x < row.maxOD && low) return row.part;
  }
  return "None Available";
}

namespace {

std::string PartNumber(std::string_view letter, int row) {
  const std::string_view number = CoreAt(row).CoreNumber;
  std::string text(1 + letter.size() + 1 + number.size() + 3, '-');  // "Q" letter "-" number "-KX"
  auto o = text.begin();
  *o++ = 'Q';
  o = std::copy(letter.begin(), letter.end(), o);
  o = std::copy(number.begin(), number.end(), o + 1);
  std::copy_n("-KX", 3, o);
  return text;
}

// Steps 4 to 7 of both calculations: the inputs read into the design state and the
// requirement derived. The automatic design computes RequiredAP in between.
void ReadInputs(DesignWindow& w, const CheckedInputs& checked) {
  DesignState& s = w.state;
  const InputControls& in = w.inputs;
  // The checked texts read as the numbers the check found; only the cutoff frequency
  // goes unchecked in inductance mode.
  Step([&] { s.CurrentDensity = ToSingle(checked.density); });
  const Material& m = Materials[static_cast<std::size_t>(in.Material)];
  s.Permeability = m.Permeability;
  s.MaterialIndex = in.Material;
  s.MaterialLetter = std::string(1, m.Letter);
  Step([&] { s.MainValue = ToSingle(checked.main); });
  Step([&] { s.CurrentValue = ToSingle(checked.current); });
  Step([&] {
    s.CutoffFrequency =
        ToSingle(in.Mode == DesignModeOption::Inductance ? Number(in.SecondInput) : checked.frequency);
  });
  s.EnteredFrequency = s.CutoffFrequency;
  const double I = s.CurrentValue;
  switch (in.Mode) {
    case DesignModeOption::Inductance:
      Step([&] { s.InductanceValue = ToSingle(checked.main); });
      Step([&] { s.LIProduct = ToSingle(double{s.InductanceValue} * I); });
      s.ImpedanceValue = 50;
      break;
    case DesignModeOption::Voltage:
      Step([&] { s.ImpedanceValue = ToSingle(Div(s.MainValue, I)); });
      if (s.ImpedanceValue < 50) s.ImpedanceValue = 50;
      Step([&] {
        s.LIProduct = ToSingle(Div(double{s.ImpedanceValue} * I * 1000, 2 * kPi * s.CutoffFrequency));
      });
      break;
    case DesignModeOption::Impedance:
      Step([&] { s.ImpedanceValue = ToSingle(num::Val(in.MainInput)); });
      Step([&] { s.MainValue = ToSingle(double{s.ImpedanceValue} * I); });
      Step([&] { s.LIProduct = ToSingle(Div(double{s.MainValue} * 1000, 2 * kPi * s.CutoffFrequency)); });
      break;
  }
}

void SetInductance(DesignState& s) {
  Step([&] { s.InductanceValue = ToSingle(Div(s.LIProduct, s.CurrentValue)); });
}

// Core choice by required area product; returns the answer of the too-large message
// (0 when it was not shown).
int ChooseCore(DesignState& s, UserDialogs& dialogs) {
  int answer = 0;
  for (s.CoreRow = 1; s.CoreRow <= kCoreCount; ++s.CoreRow) {
    s.StackCount = 1;
    if (s.RequiredAP > kTwoCores) {
      s.CoreRow = kCoreCount;
      s.StackCount = 2;
      if (s.RequiredAP > kThreeCores) s.StackCount = 3;
      if (s.RequiredAP > kFourCores) s.StackCount = 4;
      if (s.RequiredAP > kTooLargeLimit) answer = dialogs.MsgBox(kTooLarge, kWarning);
      return answer;
    }
    if (CoreAt(s.CoreRow).CoreAreaProduct >= double{s.RequiredAP}) return answer;
  }
  // Only the Single nearest 45.2 gets here: above entry 24's stored 45.2, yet not
  // above the stacking limit. The largest core alone is the closest sound answer.
  s.CoreRow = kCoreCount;
  s.StackCount = 1;
  return answer;
}

// What the OD, ID and HT boxes show for an entry in a length unit: they depend on
// nothing else, so each is made once.
struct CoreSizeTexts {
  std::string od, id, ht;
};
const CoreSizeTexts& CoreSizeTextsOf(int row, bool english) {
  static const auto kTexts = [] {
    std::array<std::array<CoreSizeTexts, 2>, kCoreCount> texts;
    for (int r = 1; r <= kCoreCount; ++r) {
      for (bool inches : {false, true}) {
        const double unit = inches ? 1.0f : 25.4f;  // UnitFactor, a Single
        const num::Pattern& box = *SelfFormatPattern(&OutputBoxes::OD, inches);
        const CoreEntry& e = CoreAt(r);
        texts[static_cast<std::size_t>(r - 1)][inches ? 1 : 0] = {
            num::FormatDoubleInBox(e.OD * unit, kCoreSize, box),
            num::FormatDoubleInBox(e.ID * unit, kCoreSize, box),
            num::FormatDoubleInBox(e.HT * unit, kCoreSize, box)};
      }
    }
    return texts;
  }();
  CoreAt(row);  // a row outside the catalogue fails the step
  return kTexts[static_cast<std::size_t>(row - 1)][english ? 1 : 0];
}

void WriteTooLarge(OutputBoxes& o) {
  o.txtPN = "Too Large";
  o.Inductance = o.FrequencyOutput = o.txtHeader = "N/A";
  for (auto box :
       {&OutputBoxes::OD, &OutputBoxes::ID, &OutputBoxes::HT, &OutputBoxes::AL, &OutputBoxes::FAP,
        &OutputBoxes::AreaProduct, &OutputBoxes::Turns, &OutputBoxes::WireSize, &OutputBoxes::WireLength,
        &OutputBoxes::DCres, &OutputBoxes::txtWoundOD, &OutputBoxes::txtWoundID, &OutputBoxes::txtWoundHt,
        &OutputBoxes::txtTrise, &OutputBoxes::txtDiffL}) {
    (o.*box).clear();  // an empty text reads as no number: the self-formatting boxes keep it
  }
}

// Writing a box under the skip-on-failure rule: a failing text leaves the box as it was.
class BoxWriter {
 public:
  BoxWriter(OutputBoxes& o, bool english) : o_(o), english_(english) {}
  // A box that takes its text as it is.
  template <class Text>
  void Write(std::string OutputBoxes::*box, Text&& text) {
    assert(SelfFormatPattern(box, english_) == nullptr);
    Step([&] { o_.*box = text(); });
  }
  // The same for a text formatted in place: `format` writes into the box's text, and
  // fails, if it fails, before writing.
  template <class Format>
  void Put(std::string OutputBoxes::*box, Format&& format) {
    assert(SelfFormatPattern(box, english_) == nullptr);
    Step([&] { format(o_.*box); });
  }
  // A self-formatting box: `format` gets the box's own pattern and writes what the box
  // ends up showing.
  template <class Format>
  void Show(std::string OutputBoxes::*box, Format&& format) {
    Step([&] { format(*SelfFormatPattern(box, english_), o_.*box); });
  }
  OutputBoxes& boxes() { return o_; }
  bool english() const { return english_; }

 private:
  OutputBoxes& o_;
  bool english_;
};

// The core's sizes, AL (mH per 1000 turns) and area product as the boxes show them. The
// AL the rest of the winding reads is the box's text read back: nothing when it is not
// a number.
std::optional<double> ShowCore(const DesignState& s, BoxWriter& boxes) {
  OutputBoxes& o = boxes.boxes();
  Step([&] {
    const CoreSizeTexts& size = CoreSizeTextsOf(s.CoreRow, boxes.english());
    o.OD = size.od;
    o.ID = size.id;
    o.HT = size.ht;
  });
  boxes.Write(&OutputBoxes::AL,
              [&]() -> const std::string& { return EntryText(s.CoreRow, 4 + s.MaterialIndex); });
  const std::optional<double> shownAL = num::ParseStrict(o.AL);
  boxes.Write(&OutputBoxes::FAP, [&]() -> const std::string& { return EntryText(s.CoreRow, 12); });
  return shownAL;
}

double ReadAL(const std::optional<double>& shownAL) {
  if (!shownAL) throw StepFailed{};
  return *shownAL;
}

// Turns per side for the inductance on the stack's AL (mH per 1000 turns), rounded to
// whole turns: T = 1000 sqrt(L / AL).
double TurnsPerSide(const DesignState& s, double effectiveAL) {
  double exactTurns = 0;
  Step([&] { exactTurns = num::Sqrt(Div(s.InductanceValue, effectiveAL) * 1000000); });
  return std::floor(exactTurns + 0.5);
}

// Gauge for the current density: AWG = -4.31 ln(I x 1.889 / J), I in A, J in A/cm2.
void GaugeForDensity(DesignState& s) {
  Step([&] { s.WireGauge = GaugeForCurrentDensity(s.CurrentValue, s.CurrentDensity); });
}

// A chosen core's wire fit: the T turns plus pi must lie side by side around the inner
// diameter less 0.015 in. (0.417 packing factor); a thinner gauge until they do, and the
// user told the gauge and the current density (A/cm2) that result.
void FitWire(DesignState& s, double T, UserDialogs& dialogs) {
  s.WireDiameter = WireDiameterOf(s.WireGauge);
  Step([&] { s.FitDiameter = ToSingle(CoreAt(s.CoreRow).ID - 0.015); });
  for (;;) {
    double limit = 0;
    try {
      limit = Div(0.417 * kPi * s.FitDiameter, T + kPi);
    } catch (const StepFailed&) {
      break;
    }
    if (!(s.WireDiameter > limit)) break;
    s.WireReduced = 1;
    Step([&] { s.WireGauge = ToInteger(static_cast<double>(s.WireGauge) + 1); });
    const auto thinner = static_cast<Single>(double{s.WireDiameter} * 0.8927);
    // Against a limit of 0 (no fit diameter was ever read) the diameter would shrink
    // into the smallest subnormal Single and stay there: no thinner wire exists.
    if (thinner == s.WireDiameter) break;
    s.WireDiameter = thinner;
  }
  Step([&] { s.WireArea = ToSingle(double{s.WireDiameter} * s.WireDiameter * kPi / 4); });  // in2
  if (s.WireReduced == 1) {
    Step([&] { s.ActualDensity = ToSingle(Div(s.CurrentValue, 2.54 * 2.54 * s.WireArea)); });
    std::string text = "Required wire size is too large for selected core.\rActual wire size will be AWG #";
    text += num::IntegerText(s.WireGauge);
    text += "\rCurrent Density is actually ";
    text += num::FormatSingle(s.ActualDensity, kWholeAmps);
    text += " A/sq cm";
    s.WireReduced = static_cast<Integer>(dialogs.MsgBox(text, kCoreTooSmall));
  }
}

// The inductance the whole turns give on the stack, in mH, or in uH below 1 mH, and the
// area product, inductance, turns and gauge boxes.
void ShowInductanceAndTurns(DesignState& s, const std::optional<double>& shownAL, double T,
                            BoxWriter& boxes) {
  OutputBoxes& o = boxes.boxes();
  boxes.Put(&OutputBoxes::AreaProduct,
            [&](std::string& out) { num::FormatSingle(s.RequiredAP, kAreaProduct, out); });
  Step([&] { s.InductanceValue = ToSingle(ReadAL(shownAL) * s.StackCount * T * T / 1000000); });
  if (s.InductanceValue < 1) {
    Step([&] { s.InductanceValue = ToSingle(double{s.InductanceValue} * 1000); });
    o.IndLabel = kLabelMicro;
    s.InductanceUnit = " uH";
  } else {
    o.IndLabel = kLabelMilli;
    s.InductanceUnit = " mH";
  }
  boxes.Show(&OutputBoxes::Inductance, [&](const num::Pattern& box, std::string& out) {
    num::FormatSingleInBox(s.InductanceValue, kInductance, box, out);
  });
  boxes.Show(&OutputBoxes::Turns,
             [&](const num::Pattern& box, std::string& out) { num::DoubleTextInBox(T, box, out); });
  // The gauge's text reads back as exactly the gauge.
  boxes.Show(&OutputBoxes::WireSize,
             [&](const num::Pattern& box, std::string& out) { num::FormatDouble(s.WireGauge, box, out); });
}

// One winding's wire, inches: the feet of wire a turn takes on the core (half again per
// further stacked core) for T turns, plus half a foot of leads. Its resistance, ohms:
// 8.196 micro-ohm per inch at gauge 0, rising by e^0.2319 per gauge (the AWG law).
void WireLengthAndResistance(DesignState& s, double T, BoxWriter& boxes) {
  double wireLength = 0;  // inches, then cm on the metric display
  Step([&] { wireLength = (CoreAt(s.CoreRow).TurnLength * T * (1 + 0.5 * (s.StackCount - 1)) + 0.5) * 12; });
  Step([&] { s.DCResistance = ToSingle(wireLength * 8.196 / 1000000 * num::Exp(0.2319 * s.WireGauge)); });
  if (!boxes.english()) wireLength *= 2.54;
  boxes.Show(&OutputBoxes::WireLength,
             [&](const num::Pattern& box, std::string& out) { num::DoubleTextInBox(wireLength, box, out); });
  boxes.Put(&OutputBoxes::DCres,
            [&](std::string& out) { num::FormatSingle(s.DCResistance, kResistance, out); });
}

// The cutoff frequency the winding gives, Hz: f = Z / (2 pi L) with Z = MainValue / I,
// L in mH (uH: the figure times 1000).
void CutoffFrequency(DesignState& s, BoxWriter& boxes) {
  // While `shown` holds a value, FrequencyText is DoubleText(*shown), and what the text
  // reads as or looks like under a pattern comes from the value. The text is written
  // once, at the end: the uH step reads the first value as its text would read.
  std::optional<double> shown;
  Step([&] { shown = Div(1000.0 * s.MainValue, 2 * kPi * s.InductanceValue * double{s.CurrentValue}); });
  if (s.InductanceUnit == " uH") {
    Step([&] { shown = (shown ? num::DoubleTextValue(*shown) : Number(s.FrequencyText)) * 1000; });
  }
  if (shown) {
    num::DoubleText(*shown, s.FrequencyText);
    if (!std::isfinite(*shown)) shown.reset();  // read its text, whatever it says
  }
  boxes.Write(&OutputBoxes::FrequencyOutput, [&] {
    return (shown ? num::DoubleTextInBox(*shown, kFrequency) : num::FormatText(s.FrequencyText, kFrequency)) +
           " Hz";
  });
}

struct WoundSize {
  Single od = 0, height = 0;  // inches
};

// Wound size in the display unit: the wire twice across each face plus 0.03 in. of
// insulation build; the header that takes it.
WoundSize WoundSizeAndHeader(DesignState& s, BoxWriter& boxes) {
  const double d = s.WireDiameter;
  const double U2 = s.UnitFactor;
  Step([&] { s.WoundOD = ToSingle(CoreAt(s.CoreRow).OD * U2 + 2 * d * U2 + 0.03 * U2); });
  Step([&] { s.WoundID = ToSingle(CoreAt(s.CoreRow).ID * U2 - 2 * d * U2 - 0.03 * U2); });
  Step([&] { s.WoundHeight = ToSingle(CoreAt(s.CoreRow).HT * U2 * s.StackCount + 2 * d * U2 + 0.03 * U2); });
  const num::Pattern& wound = boxes.english() ? kWoundIn : kWoundMm;
  boxes.Put(&OutputBoxes::txtWoundOD, [&](std::string& out) { num::FormatSingle(s.WoundOD, wound, out); });
  boxes.Put(&OutputBoxes::txtWoundID, [&](std::string& out) { num::FormatSingle(s.WoundID, wound, out); });
  boxes.Put(&OutputBoxes::txtWoundHt,
            [&](std::string& out) { num::FormatSingle(s.WoundHeight, wound, out); });
  WoundSize inches;
  Step([&] { inches.od = ToSingle(Div(s.WoundOD, U2)); });
  Step([&] { inches.height = ToSingle(Div(s.WoundHeight, U2)); });
  boxes.boxes().txtHeader = MountingHeaderFor(inches.od, inches.height);
  return inches;
}

// Temperature rise, degrees C, from the copper loss (mW: both windings in the automatic
// design, one in the evaluation of a chosen core) per outer surface of the wound
// cylinder (cm2), by the empirical heating law rise = (mW / cm2)^0.833.
void TemperatureRise(DesignState& s, WoundSize inches, int windings, BoxWriter& boxes) {
  const double I = s.CurrentValue;
  Step([&] { s.CopperLoss = ToSingle(windings * 1000.0 * I * I * s.DCResistance); });
  Step([&] {
    const double X = inches.od, H = inches.height;
    s.SurfaceArea = ToSingle((2 * kPi * (X / 2) * (X / 2) + kPi * X * H) * 2.54 * 2.54);
  });
  Step([&] { s.TempRise = ToSingle(num::Pow(Div(s.CopperLoss, s.SurfaceArea), 0.833)); });
  boxes.Put(&OutputBoxes::txtTrise, [&](std::string& out) { num::FormatSingle(s.TempRise, kRise, out); });
}

// Leakage (differential) inductance of the two windings through the core window, uH:
// L = 4 pi T^2 mu_leak A / l x 1e-3, with the effective leakage permeability
// mu_leak = 2 mu / (0.1 mu + 1), A the stack's cross-section (cm2), l the path (cm).
void DifferentialInductance(DesignState& s, double T, BoxWriter& boxes) {
  Step([&] {
    const Integer twice = ToInteger(2.0 * s.Permeability);
    s.LeakagePermeability = ToSingle(Div(twice, 0.1 * s.Permeability + 1));
  });
  Step([&] { s.CoreArea = ToSingle(CoreAt(s.CoreRow).CrossSection * s.StackCount); });
  Step([&] { s.CorePath = ToSingle(CoreAt(s.CoreRow).PathLength); });
  Step([&] {
    s.DiffInductance =
        ToSingle(Div(1000 * T * T * 4 * kPi * s.LeakagePermeability * s.CoreArea * 1e-6, s.CorePath));
  });
  boxes.Put(&OutputBoxes::txtDiffL,
            [&](std::string& out) { num::FormatSingle(s.DiffInductance, kDiffL, out); });
}

// The winding on CoreRow x StackCount, step by step. The automatic design warns when
// the material is not made in the chosen size and when no single wire carries the
// current; the evaluation of a chosen core fits the wire through the core instead.
void WorkOutWinding(DesignWindow& w, UserDialogs& dialogs, bool automatic) {
  DesignState& s = w.state;
  BoxWriter boxes(w.outputs, w.inputs.English);
  s.UnitFactor = boxes.english() ? 1.0f : 25.4f;
  const std::optional<double> shownAL = ShowCore(s, boxes);
  double effectiveAL = 0;  // the stack's, mH per 1000 turns
  Step([&] { effectiveAL = ReadAL(shownAL) * s.StackCount; });
  w.outcome = effectiveAL > 0 ? DesignOutcome::Complete : DesignOutcome::NotOffered;
  if (automatic && effectiveAL <= 0) {  // entries 16 to 24 are not made in D and R
    const bool r = s.MaterialLetter == "R";
    dialogs.MsgBox(r ? kRMaterial : kDMaterial, kWarning);
    dialogs.SetFocus(r ? "Smat" : "Pmat");
    return;
  }
  const double T = TurnsPerSide(s, effectiveAL);
  GaugeForDensity(s);
  if (!automatic) {
    FitWire(s, T, dialogs);
  } else if (s.WireGauge < 1) {
    s.WireGauge = 1;
    dialogs.MsgBox(kLitzWire, kWarning);
  }
  ShowInductanceAndTurns(s, shownAL, T, boxes);
  WireLengthAndResistance(s, T, boxes);
  CutoffFrequency(s, boxes);
  if (automatic) s.WireDiameter = WireDiameterOf(s.WireGauge);
  const WoundSize inches = WoundSizeAndHeader(s, boxes);
  TemperatureRise(s, inches, automatic ? 2 : 1, boxes);
  DifferentialInductance(s, T, boxes);
}

}  // namespace

Integer GaugeForCurrentDensity(double current, double density) {
  return ToInteger(-4.31 * num::Ln(Div(current * 1.889, density)));
}

Single InsulatedWireDiameter(Integer gauge) {
  return WireDiameterOf(gauge);
}

const num::Pattern* SelfFormatPattern(std::string OutputBoxes::*box, bool english) {
  if (box == &OutputBoxes::OD || box == &OutputBoxes::ID || box == &OutputBoxes::HT) {
    return english ? &kSizeBoxIn : &kSizeBoxMm;
  }
  if (box == &OutputBoxes::WireLength) return english ? &kLengthBoxIn : &kLengthBoxCm;
  if (box == &OutputBoxes::Inductance) return &kInductanceBox;
  if (box == &OutputBoxes::Turns) return &kTurnsBox;
  if (box == &OutputBoxes::WireSize) return &kGaugeBox;
  return nullptr;
}

void CalculateDesign(DesignWindow& w, UserDialogs& dialogs) {
  DesignState& s = w.state;
  s.DesignCore = 0;
  ReadInputs(w, ValidateInputs(w.inputs, dialogs));
  // Area product the core must offer, cm4, from L x I in mH x A, the permeability and
  // the current density in A/cm2.
  Step([&] {
    s.RequiredAP = ToSingle(0.386 * num::Pow(Div(double{s.LIProduct} * 1000000,
                                                 static_cast<double>(s.Permeability) * s.CurrentDensity),
                                             1.299));
  });
  SetInductance(s);
  if (ChooseCore(s, dialogs) == 1) {
    WriteTooLarge(w.outputs);
    w.outcome = DesignOutcome::TooLarge;
    return;
  }
  OutputBoxes& o = w.outputs;
  if (s.StackCount > 1) {
    o.txtPNLeft = 1300;
    o.txtPNWidth = 1955;
    std::string text = "(" + num::IntegerText(s.StackCount) + "x) ";
    o.txtPN = text + PartNumber(s.MaterialLetter, s.CoreRow);
  } else {
    o.txtPNLeft = 1800;
    o.txtPNWidth = 1455;
    o.txtPN = PartNumber(s.MaterialLetter, s.CoreRow);
  }
  WorkOutWinding(w, dialogs, true);
}

void EvaluateCore(Integer& Row, DesignWindow& w, UserDialogs& dialogs) {
  DesignState& s = w.state;
  s.DesignCore = Row;
  s.StackCount = 1;
  s.WireReduced = 0;
  ReadInputs(w, ValidateInputs(w.inputs, dialogs));
  SetInductance(s);
  s.CoreRow = Row;
  w.outputs.txtPNLeft = 1800;
  w.outputs.txtPNWidth = 1455;
  Step([&] { w.outputs.txtPN = PartNumber(s.MaterialLetter, s.CoreRow); });
  WorkOutWinding(w, dialogs, false);
}

std::string IncompleteReason(const DesignWindow& w) {
  switch (w.outcome) {
    case DesignOutcome::None:
      return "No design has been calculated yet.";
    case DesignOutcome::TooLarge:
      return "The filter requirement is too large for the catalogue: no winding was designed.";
    case DesignOutcome::NotOffered:
      return "Core " + w.outputs.txtPN + " is not offered in material " + w.state.MaterialLetter +
             ": no winding was designed.";
    case DesignOutcome::Complete:
      break;
  }
  return {};
}

double WindingInductance(const DesignState& s) {
  return static_cast<double>(s.InductanceValue) * (s.InductanceUnit == " uH" ? 1e-6 : 1e-3);
}

double RequiredInductance(const DesignState& s) {
  return s.CurrentValue > 0 ? static_cast<double>(s.LIProduct) / s.CurrentValue * 1e-3 : 0;
}

std::vector<std::string> DesignWarnings(const DesignWindow& w) {
  const DesignState& s = w.state;
  std::vector<std::string> warnings;
  if (w.outcome == DesignOutcome::TooLarge || w.outcome == DesignOutcome::None) return warnings;
  if (w.outcome == DesignOutcome::NotOffered) {
    warnings.push_back(IncompleteReason(w) + " The other results shown are the previous design's.");
    return warnings;
  }
  auto henries = [](double h) {
    return h < 1e-3 ? num::Printed(h * 1e6, 4) + " uH" : num::Printed(h * 1e3, 4) + " mH";
  };
  const double reached = WindingInductance(s), required = RequiredInductance(s);
  // Half a percent and more: below that the shortfall is the 32-bit storage of the
  // figures, not the whole number of turns.
  if (required > 0 && reached < required * 0.995) {
    warnings.push_back("Each winding reaches " + henries(reached) + ", " +
                       num::Printed(std::round(1000 * (1 - reached / required)) / 10, 4) + " % below the " +
                       henries(required) + " required: the turns are a whole number.");
  }
  if (s.TempRise > kWarmRise) {
    warnings.push_back(
        "The temperature rise of " + num::FormatDouble(s.TempRise, "0") + " C is above " +
        num::FormatDouble(kWarmRise, "0") +
        " C: a larger core or a lower current density keeps the winding and the ferrite cool.");
  }
  if (s.WireGauge > kThinnestGauge) {
    warnings.push_back("Wire of AWG " + num::IntegerText(s.WireGauge) + " is thinner than AWG " +
                       num::IntegerText(kThinnestGauge) + ": hard to wind and to buy.");
  }
  return warnings;
}

std::string CoreListEntry(int row, std::string_view materialLetter) {
  std::string text = PartNumber(materialLetter, row);
  text += " (OD = ";
  text += num::FormatDouble(CoreAt(row).OD, "0.000");
  text += ')';
  return text;
}

std::vector<int> OfferedRows(int materialIndex) {
  std::vector<int> rows;
  for (int row = 1; row <= kCoreCount; ++row) {
    double al = 0;
    Step([&] { al = FieldValue(CoreAt(row), 4 + materialIndex); });
    if (al > 0) rows.push_back(row);
  }
  return rows;
}

}  // namespace vtq
