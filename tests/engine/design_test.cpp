#include "engine/design.h"

#include <gtest/gtest.h>

#include "engine/catalogue.h"
#include "scripted_dialogs.h"

namespace vtq {
namespace {

using testing::ScriptedDialogs;

struct Inputs {
  DesignModeOption mode = DesignModeOption::Inductance;
  const char* main = "1";
  const char* current = "5";
  const char* frequency = "10000";
  const char* density = "400";
  Integer material = 3;
  bool english = true;
};

DesignWindow WindowWith(const Inputs& i) {
  DesignWindow w;
  w.inputs.Mode = i.mode;
  w.inputs.MainInput = i.main;
  w.inputs.Current = i.current;
  w.inputs.SecondInput = i.frequency;
  w.inputs.txtCD = i.density;
  w.inputs.Material = i.material;
  w.inputs.English = i.english;
  return w;
}

// Output boxes in the order of kOutputBoxFields, as the user sees them.
struct Shown {
  const char *txtPN, *OD, *ID, *HT, *AL, *FAP, *AreaProduct, *Inductance, *IndLabel, *Turns, *WireSize,
      *WireLength, *DCres, *FrequencyOutput, *txtWoundOD, *txtWoundID, *txtWoundHt, *txtHeader, *txtTrise,
      *txtDiffL;
};

void ExpectShown(const OutputBoxes& o, const Shown& s) {
  const char* const* expected = &s.txtPN;
  for (std::size_t i = 0; i < kOutputBoxFields.size(); ++i) {
    EXPECT_EQ(o.*kOutputBoxFields[i].text, expected[i]) << kOutputBoxFields[i].name;
  }
}

TEST(AutomaticDesign, SingleCoreWorkedExample) {
  DesignWindow w = WindowWith({.current = "2"});
  ScriptedDialogs d;
  CalculateDesign(w, d);
  ExpectShown(w.outputs, {"QN-80111-KX", "0.870 in.", "0.540 in.",
                          "0.312 in.",   "3700",      "0.466",
                          "0.386",       "947.2",     "Inductance (\u00b5H)",
                          "16",          "20",        "22.7 in.",
                          "0.0192 Ohm",  "84 Hz",     "0.969 in.",
                          "0.441 in.",   "0.411 in.", "HB-03",
                          "6.1",         "3.73"});
  const DesignState& s = w.state;
  EXPECT_EQ(w.outputs.txtPNLeft, 1800);
  EXPECT_EQ(w.outputs.txtPNWidth, 1455);
  EXPECT_EQ(s.CoreRow, 11);
  EXPECT_EQ(s.StackCount, 1);
  EXPECT_EQ(s.DesignCore, 0);
  EXPECT_EQ(s.MaterialLetter, "N");
  EXPECT_EQ(s.Permeability, 5000);
  EXPECT_EQ(s.ImpedanceValue, 50.0f);
  EXPECT_EQ(s.LIProduct, 2.0f);
  EXPECT_EQ(s.RequiredAP, 0.386f);
  EXPECT_EQ(s.InductanceValue, 947.2f);
  EXPECT_EQ(s.InductanceUnit, " uH");
  EXPECT_EQ(s.WireGauge, 20);
  EXPECT_NEAR(s.DCResistance, 0.0192, 0.00005);
  EXPECT_NEAR(s.CopperLoss, 153.8, 0.05);  // both windings
  EXPECT_NEAR(s.SurfaceArea, 17.57, 0.005);
  EXPECT_NEAR(s.TempRise, 6.1, 0.05);
  EXPECT_NEAR(s.DiffInductance, 3.73, 0.005);
  EXPECT_EQ(s.UnitFactor, 1.0f);
  // The wire-fit fields belong to the evaluation of a chosen core only.
  EXPECT_EQ(s.FitDiameter, 0.0f);
  EXPECT_EQ(s.WireArea, 0.0f);
  EXPECT_TRUE(d.messages.empty());
  EXPECT_TRUE(d.prompts.empty());
}

TEST(AutomaticDesign, StackOfTwoWorkedExample) {
  DesignWindow w = WindowWith({.mode = DesignModeOption::Impedance, .main = "1000"});
  ScriptedDialogs d;
  CalculateDesign(w, d);
  ExpectShown(w.outputs, {"(2x) QN-80124-KX",
                          "3.375 in.",
                          "2.187 in.",
                          "0.500 in.",
                          "5520",
                          "45.2",
                          "46.234",
                          "15.94",
                          "Inductance (mH)",
                          "38",
                          "16",
                          "155.8 in.",
                          "0.0522 Ohm",
                          "9989 Hz",
                          "3.513 in.",
                          "2.049 in.",
                          "1.138 in.",
                          "None Available",
                          "8.3",
                          "62.97"});
  const DesignState& s = w.state;
  EXPECT_EQ(w.outputs.txtPNLeft, 1300);
  EXPECT_EQ(w.outputs.txtPNWidth, 1955);
  EXPECT_EQ(s.MainValue, 5000.0f);
  EXPECT_NEAR(s.LIProduct, 79.618, 0.0005);
  EXPECT_NEAR(s.RequiredAP, 46.234, 0.0005);
  EXPECT_EQ(s.CoreRow, 24);
  EXPECT_EQ(s.StackCount, 2);
  EXPECT_EQ(s.InductanceUnit, " mH");
  EXPECT_NEAR(s.CopperLoss, 2609.4, 0.05);
  EXPECT_NEAR(s.SurfaceArea, 206.02, 0.005);
  EXPECT_EQ(s.CoreArea, 2 * 1.87f);
}

TEST(EvaluateCore, ThinnerWireWorkedExample) {
  DesignWindow w = WindowWith({.mode = DesignModeOption::Impedance, .main = "100", .current = "2"});
  ScriptedDialogs d;
  Integer row = 12;
  EvaluateCore(row, w, d);
  ExpectShown(w.outputs, {"QN-80112-KX", "1.000 in.", "0.610 in.",       "0.312 in.", "3913",      "0.707",
                          "0.000",       "1.57",      "Inductance (mH)", "20",        "21",        "28.6 in.",
                          "0.0305 Ohm",  "10174 Hz",  "1.091 in.",       "0.519 in.", "0.403 in.", "HB-03",
                          "4.3",         "6.08"});
  ASSERT_EQ(d.messages.size(), 1u);
  EXPECT_EQ(d.messages[0].title, "Core ID Too Small");
  EXPECT_EQ(d.messages[0].text,
            "Required wire size is too large for selected core.\rActual wire size will be AWG #21\r"
            "Current Density is actually 420 A/sq cm");
  const DesignState& s = w.state;
  EXPECT_EQ(s.DesignCore, 12);
  EXPECT_EQ(s.CoreRow, 12);
  EXPECT_EQ(s.MainValue, 200.0f);
  EXPECT_NEAR(s.LIProduct, 3.1847, 0.00005);
  EXPECT_EQ(s.WireGauge, 21);
  EXPECT_NEAR(s.WireDiameter, 0.03067, 0.000005);
  EXPECT_EQ(s.FitDiameter, static_cast<Single>(0.61 - 0.015));
  EXPECT_EQ(s.WireReduced, 1);  // the answer of the message box
  EXPECT_NEAR(s.ActualDensity, 420, 0.5);
  EXPECT_NEAR(s.InductanceValue, 1.5652, 0.00005);
  EXPECT_NEAR(s.CopperLoss, 122.0, 0.05);  // one winding
  EXPECT_NEAR(s.SurfaceArea, 20.98, 0.005);
}

struct ChoiceCase {
  const char* name;
  Inputs in;
  Integer row, stack;
  const char* txtPN;
};

TEST(AutomaticDesign, CoreChoiceByAreaProduct) {
  const ChoiceCase cases[] = {
      {"voltage mode, 250 V at 1 A",
       {DesignModeOption::Voltage, "250", "1", "10000", "400", 4},
       11,
       1,
       "QS-80111-KX"},
      {"three stacked cores", {DesignModeOption::Impedance, "1000", "10"}, 24, 3, "(3x) QN-80124-KX"},
      {"exactly 181 cm4: four cores, no message",
       {.main = "227.66556", .current = "1"},
       24,
       4,
       "(4x) QN-80124-KX"},
      {"below entry 1", {.main = "0.01", .current = "1"}, 1, 1, "QN-80101-KX"},
      {"the Single nearest 0.012 passes entry 1",
       {.main = "0.13822743", .current = "1"},
       2,
       1,
       "QN-80102-KX"},
      {"just below the Single nearest 0.012", {.main = "0.13822742", .current = "1"}, 1, 1, "QN-80101-KX"},
      {"the Single nearest 0.37 passes entry 10",
       {.main = "1.9358708", .current = "1"},
       11,
       1,
       "QN-80111-KX"},
      {"the Single nearest 45.2: the largest core alone",
       {.main = "78.24348", .current = "1", .density = "400.00003"},
       24,
       1,
       "QN-80124-KX"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    DesignWindow w = WindowWith(c.in);
    ScriptedDialogs d;
    CalculateDesign(w, d);
    EXPECT_EQ(w.state.CoreRow, c.row);
    EXPECT_EQ(w.state.StackCount, c.stack);
    EXPECT_EQ(w.outputs.txtPN, c.txtPN);
    EXPECT_TRUE(d.messages.empty());
  }
}

TEST(AutomaticDesign, VoltageModeValues) {
  DesignWindow w = WindowWith({DesignModeOption::Voltage, "250", "1", "10000", "400", 4});
  ScriptedDialogs d;
  CalculateDesign(w, d);
  EXPECT_EQ(w.state.ImpedanceValue, 250.0f);
  EXPECT_NEAR(w.state.LIProduct, 3.981, 0.0005);
  EXPECT_NEAR(w.state.RequiredAP, 0.3836, 0.00005);
  // Below 50 ohms the impedance is raised to 50 before the inductance is derived.
  w = WindowWith({DesignModeOption::Voltage, "100", "5", "10000"});
  CalculateDesign(w, d);
  EXPECT_EQ(w.state.ImpedanceValue, 50.0f);
  EXPECT_EQ(w.state.LIProduct, static_cast<Single>(50.0 * 5 * 1000 / (2 * 3.14 * 10000)));
}

TEST(AutomaticDesign, TooLargeShowsTheMessageAndClearsTheBoxes) {
  DesignWindow w = WindowWith({.current = "2"});
  ScriptedDialogs d;
  CalculateDesign(w, d);
  const std::string label = w.outputs.IndLabel;
  w.inputs.MainInput = "227.66557";  // the next Single above 181 cm4
  w.inputs.Current = "1";
  CalculateDesign(w, d);
  ASSERT_EQ(d.messages.size(), 1u);
  EXPECT_EQ(d.messages[0].title, "Warning");
  EXPECT_EQ(d.messages[0].text,
            "Filter requirements too large to calculate.\rPlease redesign or calculate it manually.");
  ExpectShown(w.outputs, {"Too Large", "",    "", "", "", "",    "", "N/A", label.c_str(), "", "", "",
                          "",          "N/A", "", "", "", "N/A", "", ""});
  EXPECT_EQ(w.state.CoreRow, 24);
  EXPECT_EQ(w.state.StackCount, 4);
  EXPECT_GT(w.state.RequiredAP, 181.0f);
  EXPECT_EQ(w.state.InductanceValue, 227.66557f);
  EXPECT_EQ(w.state.WireGauge, 20);  // the winding of the previous design stays
}

TEST(AutomaticDesign, MaterialNotOfferedInLargeSizes) {
  struct Case {
    Inputs in;
    const char* txtPN;
    const char* text;
    const char* focus;
  };
  const Case cases[] = {
      {{.material = 1},
       "QD-80119-KX",
       "Improper Core Selection.\rD material only featured in\rsizes up to 1.142 inches (80115).\r"
       "Please select another material.",
       "Pmat"},
      {{.main = "100", .material = 5},
       "(3x) QR-80124-KX",
       "Improper Core Selection.\rR material only available in\rsizes up to 1.142 inches (80115).\r"
       "Please select another material.",
       "Smat"},
  };
  for (const auto& c : cases) {
    DesignWindow w = WindowWith({});
    ScriptedDialogs d;
    CalculateDesign(w, d);  // a design in N first: its winding boxes must stay
    const OutputBoxes before = w.outputs;
    const DesignState stateBefore = w.state;
    w.inputs.Material = c.in.material;
    w.inputs.MainInput = c.in.main;
    CalculateDesign(w, d);
    ASSERT_EQ(d.messages.size(), 1u);
    EXPECT_EQ(d.messages[0].text, c.text);
    EXPECT_EQ(d.messages[0].title, "Warning");
    EXPECT_EQ(d.focus, std::vector<std::string>{c.focus});
    EXPECT_EQ(w.outputs.txtPN, c.txtPN);
    EXPECT_EQ(w.outputs.AL, "0");
    EXPECT_NE(w.outputs.OD, before.OD);
    EXPECT_EQ(w.outputs.Turns, before.Turns);
    EXPECT_EQ(w.outputs.Inductance, before.Inductance);
    EXPECT_EQ(w.outputs.txtDiffL, before.txtDiffL);
    EXPECT_EQ(w.state.WireGauge, stateBefore.WireGauge);
    EXPECT_EQ(w.state.TempRise, stateBefore.TempRise);
  }
}

TEST(AutomaticDesign, LitzWireBelowGaugeOne) {
  DesignWindow w = WindowWith({.main = "0.000001", .current = "1000"});
  ScriptedDialogs d;
  CalculateDesign(w, d);
  ASSERT_EQ(d.messages.size(), 1u);
  EXPECT_EQ(d.messages[0].text,
            "Too much current is required,\ryou will need to increase the\r"
            "wire size with multiple strands\rof wire or choose litz wire.");
  EXPECT_EQ(w.state.WireGauge, 1);
  EXPECT_EQ(w.outputs.WireSize, "1");
  EXPECT_EQ(w.state.WireDiameter, static_cast<Single>(0.3326f * 0.8927));
  EXPECT_FALSE(w.outputs.txtDiffL.empty());
}

TEST(AutomaticDesign, PartNumberReturnsToItsPlaceAfterAStack) {
  DesignWindow w = WindowWith({.mode = DesignModeOption::Impedance, .main = "1000"});
  ScriptedDialogs d;
  CalculateDesign(w, d);
  ASSERT_EQ(w.outputs.txtPNLeft, 1300);
  w.inputs.MainInput = "50";
  CalculateDesign(w, d);
  EXPECT_EQ(w.outputs.txtPNLeft, 1800);
  EXPECT_EQ(w.outputs.txtPNWidth, 1455);
  EXPECT_EQ(w.state.StackCount, 1);
}

TEST(AutomaticDesign, MetricShowsMillimetresButKeepsHeaderAndHeat) {
  DesignWindow inch = WindowWith({.current = "2"});
  DesignWindow metric = WindowWith({.current = "2", .english = false});
  ScriptedDialogs d;
  CalculateDesign(inch, d);
  CalculateDesign(metric, d);
  EXPECT_EQ(metric.outputs.OD, "22.1 mm");
  EXPECT_EQ(metric.outputs.ID, "13.7 mm");
  EXPECT_EQ(metric.outputs.HT, "7.9 mm");
  EXPECT_EQ(metric.outputs.WireLength, "57.7 cm");
  EXPECT_EQ(metric.outputs.txtWoundOD, "24.6 mm");
  EXPECT_EQ(metric.state.UnitFactor, 25.4f);
  EXPECT_EQ(metric.outputs.txtHeader, inch.outputs.txtHeader);
  EXPECT_EQ(metric.outputs.txtTrise, inch.outputs.txtTrise);
  EXPECT_NEAR(metric.state.SurfaceArea, inch.state.SurfaceArea, 1e-4);
}

TEST(AutomaticDesign, UnvalidatedFrequencyKeepsThePreviousValue) {
  DesignWindow w = WindowWith({.frequency = "20000"});
  ScriptedDialogs d;
  CalculateDesign(w, d);
  w.inputs.SecondInput = "";
  CalculateDesign(w, d);
  EXPECT_EQ(w.state.CutoffFrequency, 20000.0f);
  EXPECT_EQ(w.state.EnteredFrequency, 20000.0f);
  EXPECT_TRUE(d.prompts.empty());
}

TEST(EvaluateCore, RowsTheCatalogueDoesNotHold) {
  DesignWindow w = WindowWith({.current = "2"});
  ScriptedDialogs d;
  CalculateDesign(w, d);
  const OutputBoxes before = w.outputs;
  for (Integer row : {Integer{0}, Integer{25}, Integer{-1}, Integer{32767}, Integer{-32768}}) {
    Integer r = row;
    EvaluateCore(r, w, d);
    EXPECT_EQ(w.state.DesignCore, row);
    EXPECT_EQ(w.state.CoreRow, row);
    EXPECT_EQ(w.outputs.txtPN, before.txtPN);
    EXPECT_EQ(w.outputs.OD, before.OD);
    EXPECT_EQ(w.outputs.txtHeader, before.txtHeader);
  }
}

TEST(EvaluateCore, CoreNotOfferedInTheMaterial) {
  DesignWindow w = WindowWith({.current = "2"});
  ScriptedDialogs d;
  CalculateDesign(w, d);
  const std::string frequencyBefore = w.state.FrequencyText;
  w.inputs.Material = 1;
  Integer row = 20;
  EvaluateCore(row, w, d);
  EXPECT_EQ(w.outputs.AL, "0");
  EXPECT_EQ(w.outputs.Turns, "");
  EXPECT_EQ(w.state.InductanceValue, 0.0f);
  EXPECT_EQ(w.state.InductanceUnit, " uH");
  EXPECT_EQ(w.outputs.txtDiffL, "0.00");
  EXPECT_EQ(w.outputs.WireLength, "6. in.");  // 0.5 ft of leads only
  // The frequency step divides by zero and is skipped; the unit scaling then
  // multiplies the previous frequency by 1000.
  EXPECT_EQ(w.state.FrequencyText, num::DoubleText(*num::ParseStrict(frequencyBefore) * 1000));
}

TEST(MountingHeader, Boundaries) {
  struct Case {
    Single x, h;
    const char* header;
  };
  const Case cases[] = {
      {0.37f, 5.0f, "HB-01"},         {0.38f, 0.3f, "HB-03"},          {0.5f, 0.3f, "HB-03"},
      {0.51f, 0.3f, "HB-02"},         {0.89f, 0.384f, "HB-02"},        {0.9f, 0.3f, "HB-03"},
      {1.09f, 0.509f, "HB-03"},       {1.1f, 0.5f, "HB-04"},           {1.5f, 0.7f, "HB-04"},
      {2.4f, 0.8f, "HB-05"},          {2.4f, 0.81f, "None Available"}, {0.4f, 0.81f, "None Available"},
      {2.5f, 0.1f, "None Available"},
  };
  for (const auto& c : cases) EXPECT_EQ(MountingHeaderFor(c.x, c.h), c.header) << c.x << " x " << c.h;
}

TEST(CoreList, EntriesOfferedInTheMaterial) {
  EXPECT_EQ(OfferedRows(1).size(), 15u);
  EXPECT_EQ(OfferedRows(3).size(), 24u);
  EXPECT_EQ(OfferedRows(5).back(), 15);
  EXPECT_EQ(CoreListEntry(1, "N"), "QN-80101-KX (OD = 0.375)");
  EXPECT_EQ(CoreListEntry(12, "D"), "QD-80112-KX (OD = 1.000)");
}

TEST(Catalogue, StoredInvariants) {
  for (int row = 1; row <= kCoreCount; ++row) {
    const CoreEntry& e = CoreAt(row);
    EXPECT_GT(e.OD, e.ID) << row;
    if (row > 1) {
      EXPECT_GT(e.CoreAreaProduct, CoreAt(row - 1).CoreAreaProduct) << row;
    }
    // AL grows with the permeability among the materials the core is made in.
    Integer previous = 0;
    for (Integer al : e.AL) {
      if (al == 0) continue;
      EXPECT_GT(al, previous) << row;
      previous = al;
    }
    EXPECT_EQ(e.AL[0] == 0, row >= 16) << row;
  }
  EXPECT_EQ(FieldText(CoreAt(12), 2), "1");
  EXPECT_EQ(FieldText(CoreAt(22), 8), "23600");
  EXPECT_THROW(CoreAt(25), StepFailed);
  EXPECT_THROW(FieldValue(CoreAt(1), 14), StepFailed);
}

}  // namespace
}  // namespace vtq
