#include "analysis/compare.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "support/design_inputs.h"
#include "ui/model/window_model.h"

namespace vtq::test {
namespace {

using analysis::CompareCores;
using analysis::Comparison;

std::string Texts(const analysis::CoreEvaluation& row) {
  std::string all;
  for (const auto& column : analysis::kCompareColumns)
    all += (all.empty() ? "" : " | ") + (row.*column.cell).text;
  return all;
}

// Every row must show what picking that core from the list shows, message included; the
// marked row what the automatic design shows.
TEST(Compare, EachRowIsWhatAListPickShows) {
  const Inputs cases[] = {
      {kImpedance, "100", "2"},                          // several cores need a thinner wire
      {kInductance, "1", "2", "10000", "400", 1},        // material D: 15 cores
      {kVoltage, "250", "1", "10000", "400", 4, false},  // millimetres
      {kInductance, "5", "8", "10000", "400", 2},        // heavy current
  };
  for (const Inputs& in : cases) {
    const DesignWindow start = Designed(in);
    const Comparison c = CompareCores(start);
    ASSERT_TRUE(c.problem.empty()) << c.problem;
    ASSERT_EQ(c.rows.size(), OfferedRows(in.material).size());
    for (const auto& row : c.rows) {
      SCOPED_TRACE("row " + std::to_string(row.row));
      ScriptedHost host;
      WindowModel model(host);
      model.window = start;
      if (!row.automatic) model.lstCores_Click(row.row - 1);
      const OutputBoxes& o = model.window.outputs;
      const analysis::WireFigures wire = analysis::WireOf(model.window.state, in.english);
      EXPECT_EQ(Texts(row), o.txtPN + " | " + o.OD + " | " + o.Turns + " | " + o.WireSize +
                                (row.madeThinner ? "*" : "") + " | " + wire.diameter.text + " | " +
                                wire.area.text + " | " + o.Inductance + model.window.state.InductanceUnit +
                                " | " + o.DCres + " | " + o.FrequencyOutput + " | " + o.txtTrise + " | " +
                                o.txtDiffL + " | " + o.txtWoundOD + " | " + o.txtWoundHt + " | " +
                                o.txtHeader);
      EXPECT_EQ(row.madeThinner, host.messages.size() == 1);
      EXPECT_EQ(row.awg.value, model.window.state.WireGauge);
    }
  }
}

// Core 80112 with 100 ohm at 10 kHz and 2 A in material N is the automatic choice: its
// row has the design's AWG 20 (0.8118 mm of copper) and the loss of both windings.
TEST(Compare, WorkedExampleRow) {
  const Comparison c = CompareCores(Designed({kImpedance, "100", "2"}));
  const auto& r = c.rows.at(11);
  EXPECT_TRUE(r.automatic);
  EXPECT_EQ(
      Texts(r),
      "QN-80112-KX | 1.000 in. | 20 | 20 | 0.0344 in. | 0.518 | 1.57 mH | 0.0242 Ohm | 10174 Hz | 6.3 | "
      "6.08 | 1.099 in. | 0.411 in. | HB-03");
  EXPECT_EQ(c.rows.at(12).tempRise.text, "3.6");  // 80113 as a list pick: one winding's loss
}

TEST(Compare, MarksTheAutomaticChoice) {
  const struct {
    Inputs in;
    std::string automaticPart;
    int automaticRow;
  } cases[] = {
      {{kInductance, "1", "2"}, "QN-80111-KX", 11},
      // The automatic design stacks two of the largest core: no single row is its choice.
      {{kImpedance, "1000", "5"}, "(2x) QN-80124-KX", 0},
      {{kImpedance, "100000", "50"}, "Too Large", 0},
      // Material D lacks the core the automatic design wants.
      {{kImpedance, "1000", "1", "10000", "400", 1}, "QD-80124-KX", 0},
  };
  for (const auto& k : cases) {
    const Comparison c = CompareCores(Designed(k.in));
    EXPECT_EQ(std::tie(c.automaticPart, c.automaticRow), std::tie(k.automaticPart, k.automaticRow));
    for (const auto& r : c.rows) EXPECT_EQ(r.automatic, r.row == k.automaticRow) << k.automaticPart;
  }
}

// Sorted by header, the cores run from the smallest header to the largest, those no header
// takes last: the numbers behind the names, not the names' letters.
TEST(Compare, SortsByHeaderSize) {
  const Comparison c = CompareCores(Designed({kInductance, "0.5", "1"}));
  std::vector<analysis::CoreEvaluation> rows = c.rows;
  std::ranges::stable_sort(rows, {}, [](const auto& r) { return r.header.value; });
  std::string order;
  for (const auto& r : rows) {
    if (order.empty() || !order.ends_with(r.header.text)) order += (order.empty() ? "" : " ") + r.header.text;
  }
  EXPECT_EQ(order, "HB-02 HB-03 HB-04 HB-05 None Available");  // no wound core is small enough for HB-01
}

// Inputs the checks would ask for again: no prompt, the reason, nothing evaluated.
TEST(Compare, InvalidInputsAreReportedNotPrompted) {
  const struct {
    std::string InputControls::*field;
    std::string text;
    DesignModeOption mode;
    std::string problem;
  } cases[] = {
      {&InputControls::Current, "abc", kInductance, "Current field requires a numeric entry."},
      {&InputControls::SecondInput, "-5", kVoltage,
       "Cutoff Frequency field requires a numeric entry greater than zero."},
      {&InputControls::txtCD, "4OO", kInductance, "Current Density field requires a numeric entry."},
      // The cutoff frequency is not read in inductance mode, so it need not be valid.
      {&InputControls::SecondInput, "", kInductance, ""},
  };
  for (const auto& k : cases) {
    DesignWindow w = Designed({k.mode, k.mode == kInductance ? "1" : "117"});
    w.inputs.*k.field = k.text;
    const Comparison c = CompareCores(w);
    EXPECT_EQ(c.problem, k.problem);
    EXPECT_EQ(c.rows.empty(), !k.problem.empty());
    EXPECT_EQ(w.inputs.*k.field, k.text);
  }
}

}  // namespace
}  // namespace vtq::test
