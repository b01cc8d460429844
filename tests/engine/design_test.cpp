#include "engine/design.h"

#include <gtest/gtest.h>

#include "engine/catalogue.h"
#include "support/design_inputs.h"

namespace vtq {
namespace {

using namespace test;

// Worked examples checked by hand: the boxes as shown, the message boxes, and the
// quantities behind the rounded texts (relative tolerance 5e-4).
TEST(Design, WorkedExamples) {
  const struct {
    const char* name;
    Inputs in;
    Integer pick;  // 0: the automatic design
    const char* boxes;
    const char* messages;  // "title: text" of each box, one after another
    Integer row, stack, left, width;
    double li, ap, copperLoss, surface;  // LIProduct (mH A), RequiredAP (cm4), mW (one winding on a pick)
  } cases[] = {
      // clang-format off
      {"one core", {.current = "2"}, 0,
       "QN-80111-KX | 0.870 in. | 0.540 in. | 0.312 in. | 3700 | 0.466 | 0.386 | 947.2 | Inductance (\u00b5H) | "
       "16 | 20 | 22.7 in. | 0.0192 Ohm | 84 Hz | 0.969 in. | 0.441 in. | 0.411 in. | HB-03 | 6.1 | 3.73",
       "", 11, 1, 1800, 1455, 2.0, 0.386, 153.8, 17.57},
      {"one core in millimetres: header and heating as in inches", {.current = "2", .english = false}, 0,
       "QN-80111-KX | 22.1 mm | 13.7 mm | 7.9 mm | 3700 | 0.466 | 0.386 | 947.2 | Inductance (\u00b5H) | "
       "16 | 20 | 57.7 cm | 0.0192 Ohm | 84 Hz | 24.6 mm | 11.2 mm | 10.4 mm | HB-03 | 6.1 | 3.73",
       "", 11, 1, 1800, 1455, 2.0, 0.386, 153.8, 17.57},
      {"a stack of two", {.mode = kImpedance, .main = "1000"}, 0,
       "(2x) QN-80124-KX | 3.375 in. | 2.187 in. | 0.500 in. | 5520 | 45.2 | 46.234 | 15.94 | Inductance (mH) | "
       "38 | 16 | 155.8 in. | 0.0522 Ohm | 9989 Hz | 3.513 in. | 2.049 in. | 1.138 in. | None Available | 8.3 | 62.97",
       "", 24, 2, 1300, 1955, 79.618, 46.234, 2609.4, 206.02},
      {"a pick that needs a thinner wire", {.mode = kImpedance, .main = "100", .current = "2"}, 12,
       "QN-80112-KX | 1.000 in. | 0.610 in. | 0.312 in. | 3913 | 0.707 | 0.000 | 1.57 | Inductance (mH) | "
       "20 | 21 | 28.6 in. | 0.0305 Ohm | 10174 Hz | 1.091 in. | 0.519 in. | 0.403 in. | HB-03 | 4.3 | 6.08",
       "Core ID Too Small: Required wire size is too large for selected core.\r"
       "Actual wire size will be AWG #21\rCurrent Density is actually 420 A/sq cm",
       12, 1, 1800, 1455, 3.1847, 0, 122.0, 20.98},
      // clang-format on
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    DesignWindow w = WindowWith(c.in);
    ScriptedHost host;
    Integer row = c.pick;
    c.pick ? EvaluateCore(row, w, host) : CalculateDesign(w, host);
    EXPECT_EQ(BoxTexts(w.outputs), c.boxes);
    std::string messages;
    for (const auto& m : host.messages) messages += m.title + ": " + m.text;
    EXPECT_EQ(messages, c.messages);
    EXPECT_TRUE(host.prompts.empty());
    const DesignState& s = w.state;
    EXPECT_EQ(std::tie(s.CoreRow, s.StackCount, w.outputs.txtPNLeft, w.outputs.txtPNWidth, s.DesignCore),
              std::tie(c.row, c.stack, c.left, c.width, c.pick));
    EXPECT_NEAR(s.LIProduct, c.li, 5e-4 * c.li);
    EXPECT_NEAR(s.RequiredAP, c.ap, 5e-4 * c.ap);
    EXPECT_NEAR(s.CopperLoss, c.copperLoss, 5e-4 * c.copperLoss);
    EXPECT_NEAR(s.SurfaceArea, c.surface, 5e-4 * c.surface);
    EXPECT_EQ(s.UnitFactor, c.in.english ? 1.0f : 25.4f);
    // The wire-fit fields belong to the evaluation of a chosen core only.
    EXPECT_EQ(s.FitDiameter != 0, c.pick != 0);
  }
}

TEST(AutomaticDesign, CoreChoiceByAreaProduct) {
  const struct {
    const char* name;
    Inputs in;
    Integer row, stack;
    const char* txtPN;
  } cases[] = {
      // clang-format off
      {"voltage mode, 250 V at 1 A", {kVoltage, "250", "1", "10000", "400", 4}, 11, 1, "QS-80111-KX"},
      {"three stacked cores", {kImpedance, "1000", "10"}, 24, 3, "(3x) QN-80124-KX"},
      {"exactly 181 cm4: four cores, no message", {.main = "227.66556", .current = "1"}, 24, 4, "(4x) QN-80124-KX"},
      {"below entry 1", {.main = "0.01", .current = "1"}, 1, 1, "QN-80101-KX"},
      {"the Single nearest 0.012 passes entry 1", {.main = "0.13822743", .current = "1"}, 2, 1, "QN-80102-KX"},
      {"just below the Single nearest 0.012", {.main = "0.13822742", .current = "1"}, 1, 1, "QN-80101-KX"},
      {"the Single nearest 0.37 passes entry 10", {.main = "1.9358708", .current = "1"}, 11, 1, "QN-80111-KX"},
      {"the Single nearest 45.2: the largest core alone",
       {.main = "78.24348", .current = "1", .density = "400.00003"}, 24, 1, "QN-80124-KX"},
      // clang-format on
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    DesignWindow w = WindowWith(c.in);
    ScriptedHost host;
    CalculateDesign(w, host);
    EXPECT_EQ(std::tie(w.state.CoreRow, w.state.StackCount, w.outputs.txtPN),
              std::tie(c.row, c.stack, c.txtPN));
    EXPECT_TRUE(host.messages.empty());
  }
}

TEST(AutomaticDesign, VoltageModeRaisesTheImpedanceToFiftyOhms) {
  DesignWindow w = WindowWith({kVoltage, "250", "1", "10000", "400", 4});
  ScriptedHost host;
  CalculateDesign(w, host);
  EXPECT_EQ(w.state.ImpedanceValue, 250.0f);
  EXPECT_NEAR(w.state.LIProduct, 3.981, 0.0005);
  EXPECT_NEAR(w.state.RequiredAP, 0.3836, 0.00005);
  w = WindowWith({kVoltage, "100", "5", "10000"});
  CalculateDesign(w, host);
  EXPECT_EQ(w.state.ImpedanceValue, 50.0f);
  EXPECT_EQ(w.state.LIProduct, static_cast<Single>(50.0 * 5 * 1000 / (2 * 3.14 * 10000)));
}

// A design after another: what the second one shows, and what stays of the first.
TEST(AutomaticDesign, ASingleCoreMovesThePartNumberBackAndTooLargeClearsTheBoxes) {
  DesignWindow w = WindowWith({.mode = kImpedance, .main = "1000"});
  ScriptedHost host;
  CalculateDesign(w, host);
  w.inputs.Mode = kInductance;
  w.inputs.MainInput = "1";
  CalculateDesign(w, host);
  EXPECT_EQ(std::tie(w.outputs.txtPNLeft, w.outputs.txtPNWidth), std::make_tuple(1800, 1455));
  const Integer gauge = w.state.WireGauge;
  w.inputs.MainInput = "227.66557";  // at 1 A, the next Single above 181 cm4
  w.inputs.Current = "1";
  CalculateDesign(w, host);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(
      host.messages[0].title + ": " + host.messages[0].text,
      "Warning: Filter requirements too large to calculate.\rPlease redesign or calculate it manually.");
  EXPECT_EQ(
      BoxTexts(w.outputs),
      "Too Large |  |  |  |  |  |  | N/A | Inductance (\u00b5H) |  |  |  |  | N/A |  |  |  | N/A |  | ");
  EXPECT_EQ(std::tie(w.state.CoreRow, w.state.StackCount), std::make_tuple(Integer{24}, Integer{4}));
  EXPECT_GT(w.state.RequiredAP, 181.0f);
  EXPECT_EQ(w.state.InductanceValue, 227.66557f);
  EXPECT_EQ(w.state.WireGauge, gauge);  // the winding of the previous design stays
}

TEST(AutomaticDesign, MaterialNotOfferedInLargeSizes) {
  const struct {
    Integer material;
    const char* main;
    const char* txtPN;
    const char* text;
    const char* focus;
  } cases[] = {
      // clang-format off
      {1, "1", "QD-80119-KX", "Improper Core Selection.\rD material only featured in\r"
       "sizes up to 1.142 inches (80115).\rPlease select another material.", "focus Pmat"},
      {5, "100", "(3x) QR-80124-KX", "Improper Core Selection.\rR material only available in\r"
       "sizes up to 1.142 inches (80115).\rPlease select another material.", "focus Smat"},
      // clang-format on
  };
  for (const auto& c : cases) {
    DesignWindow w = WindowWith({});
    ScriptedHost host;
    CalculateDesign(w, host);  // a design in N first: its winding boxes must stay
    const OutputBoxes before = w.outputs;
    const DesignState stateBefore = w.state;
    w.inputs.Material = c.material;
    w.inputs.MainInput = c.main;
    CalculateDesign(w, host);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, c.text);
    EXPECT_EQ(host.events, (std::vector<std::string>{"msgbox Warning", c.focus}));
    EXPECT_EQ(std::tie(w.outputs.txtPN, w.outputs.AL), std::tie(c.txtPN, "0"));
    EXPECT_NE(w.outputs.OD, before.OD);
    EXPECT_EQ(std::tie(w.outputs.Turns, w.outputs.Inductance, w.outputs.txtDiffL),
              std::tie(before.Turns, before.Inductance, before.txtDiffL));
    EXPECT_EQ(std::tie(w.state.WireGauge, w.state.TempRise),
              std::tie(stateBefore.WireGauge, stateBefore.TempRise));
  }
}

TEST(AutomaticDesign, LitzWireBelowGaugeOne) {
  DesignWindow w = WindowWith({.main = "0.000001", .current = "1000"});
  ScriptedHost host;
  CalculateDesign(w, host);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text,
            "Too much current is required,\ryou will need to increase the\r"
            "wire size with multiple strands\rof wire or choose litz wire.");
  EXPECT_EQ(std::tie(w.state.WireGauge, w.outputs.WireSize), std::make_tuple(Integer{1}, std::string("1")));
  EXPECT_EQ(w.state.WireDiameter, static_cast<Single>(0.3326f * 0.8927));
  EXPECT_FALSE(w.outputs.txtDiffL.empty());
}

TEST(AutomaticDesign, UnvalidatedFrequencyKeepsThePreviousValue) {
  DesignWindow w = WindowWith({.frequency = "20000"});
  ScriptedHost host;
  CalculateDesign(w, host);
  w.inputs.SecondInput = "";
  CalculateDesign(w, host);
  EXPECT_EQ(w.state.CutoffFrequency, 20000.0f);
  EXPECT_EQ(w.state.EnteredFrequency, 20000.0f);
  EXPECT_TRUE(host.prompts.empty());
}

TEST(EvaluateCore, RowsTheCatalogueDoesNotHoldKeepTheCore) {
  DesignWindow w = WindowWith({.current = "2"});
  ScriptedHost host;
  CalculateDesign(w, host);
  const OutputBoxes before = w.outputs;
  for (Integer row : {Integer{0}, Integer{25}, Integer{-1}, Integer{32767}, Integer{-32768}}) {
    Integer r = row;
    EvaluateCore(r, w, host);
    EXPECT_EQ(std::tie(w.state.DesignCore, w.state.CoreRow), std::tie(row, row));
    EXPECT_EQ(std::tie(w.outputs.txtPN, w.outputs.OD, w.outputs.txtHeader),
              std::tie(before.txtPN, before.OD, before.txtHeader));
  }
}

TEST(EvaluateCore, CoreNotOfferedInTheMaterial) {
  DesignWindow w = WindowWith({.current = "2"});
  ScriptedHost host;
  CalculateDesign(w, host);
  const std::string frequencyBefore = w.state.FrequencyText;
  w.inputs.Material = 1;
  Integer row = 20;
  EvaluateCore(row, w, host);
  EXPECT_EQ(std::tie(w.outputs.AL, w.outputs.Turns, w.outputs.txtDiffL), std::tie("0", "", "0.00"));
  EXPECT_EQ(w.state.InductanceValue, 0.0f);
  EXPECT_EQ(w.state.InductanceUnit, " uH");
  EXPECT_EQ(w.outputs.WireLength, "6. in.");  // 0.5 ft of leads only
  // The frequency step divides by zero and is skipped; the unit scaling then
  // multiplies the previous frequency by 1000.
  EXPECT_EQ(w.state.FrequencyText, num::DoubleText(*num::ParseStrict(frequencyBefore) * 1000));
}

TEST(MountingHeader, Boundaries) {
  const struct {
    Single x, h;
    const char* header;
  } cases[] = {
      {0.37f, 5.0f, "HB-01"},         {0.38f, 0.3f, "HB-03"},          {0.5f, 0.3f, "HB-03"},
      {0.51f, 0.3f, "HB-02"},         {0.89f, 0.384f, "HB-02"},        {0.9f, 0.3f, "HB-03"},
      {1.09f, 0.509f, "HB-03"},       {1.1f, 0.5f, "HB-04"},           {1.5f, 0.7f, "HB-04"},
      {2.4f, 0.8f, "HB-05"},          {2.4f, 0.81f, "None Available"}, {0.4f, 0.81f, "None Available"},
      {2.5f, 0.1f, "None Available"},
  };
  for (const auto& c : cases) EXPECT_EQ(MountingHeaderFor(c.x, c.h), c.header) << c.x << " x " << c.h;
}

TEST(Catalogue, ListEntriesAndFieldTexts) {
  EXPECT_EQ(OfferedRows(5).back(), 15);  // the window model shows the lists of D and N
  EXPECT_EQ(CoreListEntry(12, "D"), "QD-80112-KX (OD = 1.000)");
  EXPECT_EQ(FieldText(CoreAt(12), 2), "1");
  EXPECT_EQ(FieldText(CoreAt(22), 8), "23600");
  EXPECT_THROW(CoreAt(25), StepFailed);
  EXPECT_THROW(FieldValue(CoreAt(1), 14), StepFailed);
}

}  // namespace
}  // namespace vtq
