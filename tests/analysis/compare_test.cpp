#include "analysis/compare.h"

#include <gtest/gtest.h>

#include "support.h"
#include "ui/model/window_model.h"

namespace vtq::testing {
namespace {

using analysis::CompareCores;
using analysis::Comparison;

class CountingHost : public WindowHost {
 public:
  std::string InputBox(std::string_view, std::string_view, std::string_view def) override {
    ++prompts;
    return std::string(def);
  }
  int MsgBox(std::string_view, std::string_view) override {
    ++messages;
    return 1;
  }
  void SetFocus(std::string_view) override {}
  void ShowWindow() override {}
  void Beep() override {}
  int prompts = 0, messages = 0;
};

// Every row must show what picking that core from the list shows, message included; the
// marked row what the automatic design shows.
TEST(Compare, EachRowIsWhatAListPickShows) {
  const Inputs cases[] = {
      {kImpedance, "100", "2", "10000", 3, true},  // several cores need a thinner wire
      {kInductance, "1", "2", "10000", 1, true},   // material D: 15 cores
      {kVoltage, "250", "1", "10000", 4, false},   // millimetres
      {kInductance, "5", "8", "10000", 2, true},   // heavy current
  };
  for (const Inputs& in : cases) {
    const DesignWindow start = Designed(in);
    const Comparison c = CompareCores(start);
    ASSERT_TRUE(c.problem.empty()) << c.problem;
    ASSERT_EQ(c.rows.size(), OfferedRows(in.material).size());
    for (const auto& row : c.rows) {
      SCOPED_TRACE("row " + std::to_string(row.row));
      CountingHost host;
      WindowModel model(host);
      model.window = start;
      if (!row.automatic) model.lstCores_Click(row.row - 1);
      const OutputBoxes& o = model.window.outputs;
      EXPECT_EQ(row.madeThinner, host.messages == 1);
      EXPECT_EQ(row.partNumber.text, o.txtPN);
      EXPECT_EQ(row.od.text, o.OD);
      EXPECT_EQ(row.turns.text, o.Turns);
      EXPECT_EQ(row.inductance.text, o.Inductance + model.window.state.InductanceUnit);
      EXPECT_EQ(row.dcResistance.text, o.DCres);
      EXPECT_EQ(row.cutoff.text, o.FrequencyOutput);
      EXPECT_EQ(row.tempRise.text, o.txtTrise);
      EXPECT_EQ(row.diffInductance.text, o.txtDiffL);
      EXPECT_EQ(row.woundOD.text, o.txtWoundOD);
      EXPECT_EQ(row.woundHeight.text, o.txtWoundHt);
      EXPECT_EQ(row.header.text, o.txtHeader);
      EXPECT_EQ(row.awg.value, model.window.state.WireGauge);
    }
  }
}

// Core 80112 with 100 ohm at 10 kHz and 2 A in material N is the automatic choice: its
// row has the design's AWG 20 (0.8118 mm of copper) and the loss of both windings.
TEST(Compare, WorkedExampleRow) {
  const Comparison c = CompareCores(Designed({kImpedance, "100", "2", "10000", 3, true}));
  const auto& r = c.rows.at(11);
  EXPECT_TRUE(r.automatic);
  EXPECT_EQ(r.awg.text, "20");
  EXPECT_EQ(r.wireDiameter.text, "0.0344 in.");
  EXPECT_EQ(r.wireArea.text, "0.518");
  EXPECT_EQ(r.tempRise.text, "6.3");
  EXPECT_EQ(c.rows.at(12).tempRise.text, "3.6");  // 80113 as a list pick: one winding's loss
}

TEST(Compare, MarksTheAutomaticChoice) {
  struct Case {
    Inputs in;
    std::string automaticPart;
    int automaticRow;
  };
  const Case cases[] = {
      {{kInductance, "1", "2"}, "QN-80111-KX", 11},
      // The automatic design stacks two of the largest core: no single row is its choice.
      {{kImpedance, "1000", "5"}, "(2x) QN-80124-KX", 0},
      {{kImpedance, "100000", "50"}, "Too Large", 0},
      // Material D lacks the core the automatic design wants.
      {{kImpedance, "1000", "1", "10000", 1}, "QD-80124-KX", 0},
  };
  for (const Case& k : cases) {
    const Comparison c = CompareCores(Designed(k.in));
    EXPECT_EQ(c.automaticPart, k.automaticPart);
    EXPECT_EQ(c.automaticRow, k.automaticRow);
    int marked = 0;
    for (const auto& r : c.rows) {
      if (r.automatic) {
        ++marked;
        EXPECT_EQ(r.row, k.automaticRow);
      }
    }
    EXPECT_EQ(marked, k.automaticRow ? 1 : 0) << k.automaticPart;
  }
}

// Inputs the checks would ask for again: no prompt, the reason, nothing evaluated.
TEST(Compare, InvalidInputsAreReportedNotPrompted) {
  struct Case {
    std::string InputControls::*field;
    std::string text;
    DesignModeOption mode;
    std::string problem;
  };
  const Case cases[] = {
      {&InputControls::Current, "abc", kInductance, "Current field requires a numeric entry."},
      {&InputControls::Current, "0", kInductance,
       "Current field requires a numeric entry greater than zero."},
      {&InputControls::MainInput, "", kImpedance, "Impedance field requires a numeric entry."},
      {&InputControls::SecondInput, "-5", kVoltage,
       "Cutoff Frequency field requires a numeric entry greater than zero."},
      {&InputControls::txtCD, "4OO", kInductance, "Current Density field requires a numeric entry."},
  };
  for (const Case& k : cases) {
    DesignWindow w = Designed({k.mode, k.mode == kInductance ? "1" : "117"});
    w.inputs.*k.field = k.text;
    const Comparison c = CompareCores(w);
    EXPECT_EQ(c.problem, k.problem);
    EXPECT_TRUE(c.rows.empty());
    EXPECT_EQ(w.inputs.*k.field, k.text);
  }
  // The cutoff frequency is not read in inductance mode, so it need not be valid.
  DesignWindow w = Designed({kInductance, "1"});
  w.inputs.SecondInput = "";
  EXPECT_EQ(CompareCores(w).problem, "");
}

}  // namespace
}  // namespace vtq::testing
