// The analysis commands of the window model through a scripted host: the core table and
// the impedance plot as the windows show them, saving the plot, the SPICE export.
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <regex>

#include "analysis/spice.h"
#include "support/scratch.h"
#include "support/scripted_host.h"
#include "ui/model/window_model.h"

namespace vtq {
namespace {

using Strings = std::vector<std::string>;

class AnalysisCommands : public ::testing::Test {
 protected:
  void TearDown() override { EXPECT_TRUE(host.messages.empty()) << host.messages.front().title; }
  void Design(DesignModeOption mode, const char* main, const char* current, const char* frequency = "10000") {
    DesignEntry e;
    e.mode = mode;
    e.main = main;
    e.current = current;
    e.frequency = frequency;
    model.ApplyDesign(e);
    host.Clear();
  }

  test::ScriptedHost host;
  WindowModel model{host};
};

TEST_F(AnalysisCommands, CoreTableMarksTheAutomaticChoiceAndFollowsTheInputs) {
  Design(DesignModeOption::Impedance, "100", "2");
  model.ViewMnu_Click();
  const CoreTableView& t = model.coreTable;
  ASSERT_EQ(t.rows.size(), 24u);
  EXPECT_EQ(t.headings[2], "Turns");
  EXPECT_EQ(t.numeric, std::vector<bool>({false, true, true, true, true, true, true, true, true, true, true,
                                          true, true, false}));
  const CoreTableRow& marked = t.rows[11];
  EXPECT_TRUE(marked.automatic);
  EXPECT_EQ(marked.cells[0].text, "QN-80112-KX  (automatic)");
  EXPECT_EQ(marked.cells[0].toolTip, "The automatic design's choice");
  EXPECT_TRUE(t.note.starts_with("Bold: the automatic design's choice. The marked row is")) << t.note;
  // A thinner wire says so in its AWG cell.
  EXPECT_EQ(t.rows[10].cells[3].text, "22*");
  EXPECT_EQ(t.rows[10].cells[3].toolTip, "Wire made thinner to fit the core's window");
  EXPECT_EQ(t.rows[10].cells[3].sortValue, 22);

  // The view follows a typed input the checks would refuse, and a double-click applies a
  // core as a pick from the core list, its message and all.
  model.inputs().Current = "5 A";
  model.FollowDesign();
  EXPECT_TRUE(model.coreTable.rows.empty());
  EXPECT_EQ(model.coreTable.note, "Current field requires a numeric entry.");
  model.inputs().Current = "2";
  model.CompareTable_DblClick(12);
  EXPECT_EQ(model.outputs().txtPN, "QN-80112-KX");
  EXPECT_EQ(model.outputs().WireSize, "21");
  EXPECT_EQ(host.TakeMessageTitles(), Strings{"Core ID Too Small"});
  EXPECT_EQ(host.events, (Strings{"table", "table follows", "msgbox Core ID Too Small"}));
}

// The axes hold the curves and the requirement, wherever its frequency lies.
TEST_F(AnalysisCommands, PlotAxesFollowTheDataAndTheRequirement) {
  struct Case {
    DesignModeOption mode;
    const char *main, *frequency;
    int xFrom, xTo;
    const char* label;
  };
  const Case cases[] = {
      {DesignModeOption::Impedance, "100", "200", 2, 8, "required 100 Ω at 200 Hz"},
      {DesignModeOption::Impedance, "3000", "30000000", 4, 8, "required 3 kΩ at 30 MHz"},
      {DesignModeOption::Inductance, "1", "10000", 4, 8, ""},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.frequency);
    Design(k.mode, k.main, "1", k.frequency);
    model.mnuImpedance_Click();
    const ImpedanceView& v = model.impedance;
    ASSERT_EQ(v.problem, "");
    EXPECT_EQ(v.x.from, k.xFrom);
    EXPECT_EQ(v.x.to, k.xTo);
    EXPECT_EQ(v.x.labels.front(), analysis::Engineering(std::pow(10.0, k.xFrom), "Hz"));
    ASSERT_EQ(v.y.labels.size(), static_cast<std::size_t>(v.y.to - v.y.from + 1));
    EXPECT_GE(v.y.to - v.y.from, 2);
    EXPECT_EQ(v.requiredLabel, k.label);
    double low = INFINITY, high = 0;
    for (const auto& t : v.traces) {
      if (t.trace != Trace::CommonZ && t.trace != Trace::DifferentialZ) continue;
      ASSERT_EQ(t.values.size(), v.frequencies.size());
      low = std::min(low, *std::min_element(t.values.begin(), t.values.end()));
      high = std::max(high, *std::max_element(t.values.begin(), t.values.end()));
    }
    if (v.required) {
      low = std::min(low, v.required->magnitude);
      high = std::max(high, v.required->magnitude);
    }
    // Whole decades around the values, none to spare.
    EXPECT_EQ(v.y.to, static_cast<int>(std::ceil(std::log10(high))));
    EXPECT_LE(v.y.from, std::log10(low));
    EXPECT_GT(v.y.from + 1, std::min(std::log10(low), v.y.to - 2.0));
    EXPECT_EQ(v.caption, analysis::Summary(v.curve));
  }
}

TEST_F(AnalysisCommands, SavePlot) {
  const test::ScratchFolder dir;
  const std::string csv = dir / "plot.CSV", png = dir / "plot.png", other = dir / "plot.txt",
                    unwritable = dir / "missing/plot.csv";
  Design(DesignModeOption::Impedance, "100", "2");
  model.mnuImpedance_Click();
  host.paths = {csv, png, other, unwritable};
  for (int i = 0; i < 4; ++i) model.ImpedanceSave_Click();
  EXPECT_EQ(test::Contents(csv), analysis::CurveCsv(model.impedance.curve));
  EXPECT_EQ(host.dialogs[0].settings.FileName, "impedance.png");
  EXPECT_EQ(host.events, (Strings{"plot", "file", "file", "picture " + png, "file", "msgbox Save Plot",
                                  "file", "msgbox Save Plot"}));
  EXPECT_EQ(host.messages[0].text, "Could not save " + other + ":\rthe name must end in .png, .svg or .csv.");
  EXPECT_TRUE(host.messages[1].text.starts_with("Could not save " + unwritable + ":\r"));
  host.messages.clear();

  // Nothing designed: the plot says why and there is nothing to save.
  Design(DesignModeOption::Impedance, "100000", "50");
  model.FollowDesign();
  EXPECT_EQ(model.impedance.problem, model.impedance.caption);
  EXPECT_FALSE(model.impedance.problem.empty());
  model.ImpedanceSave_Click();
  EXPECT_EQ(host.events, Strings{"plot follows"});
}

TEST_F(AnalysisCommands, ExportSpiceModel) {
  const test::ScratchFolder dir;
  const std::string file = dir / "choke.lib", unwritable = dir / "missing/choke.lib";
  Design(DesignModeOption::Inductance, "1", "5");
  host.paths = {file, unwritable};
  model.ExportSpiceMnu_Click();
  ASSERT_EQ(host.dialogs.size(), 1u);
  EXPECT_EQ(host.dialogs[0].settings.FileName, "QN_80115_KX.lib");
  const std::string written = test::Contents(file);
  EXPECT_EQ(written, analysis::SpiceSubcircuit(model.window).text);
  EXPECT_EQ(model.FileStatus, "SPICE model of QN-80115-KX written to " + file);

  model.ExportSpiceMnu_Click();
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_TRUE(host.messages[0].text.starts_with("Could not write " + unwritable + ":\r"))
      << host.messages[0].text;
  EXPECT_EQ(host.TakeMessageTitles(), Strings{"Export SPICE Model"});
  EXPECT_EQ(model.FileStatus, "");

  // Nothing designed: said before any dialog, the last file left alone.
  Design(DesignModeOption::Impedance, "100000", "50");
  model.ExportSpiceMnu_Click();
  EXPECT_EQ(host.TakeMessageTitles(), Strings{"Export SPICE Model"});
  EXPECT_EQ(host.dialogs.size(), 2u);
  EXPECT_EQ(test::Contents(file), written);
}

TEST_F(AnalysisCommands, ExportWritesDecimalPointsUnderACommaLocale) {
  // The window runs under the user's locale; a simulator reads "0,99" as two tokens.
  const std::string before = std::setlocale(LC_NUMERIC, nullptr);
  if (!std::setlocale(LC_NUMERIC, "fr_FR.UTF-8"))
    GTEST_SKIP() << "no fr_FR.UTF-8 locale (scripts/install-deps)";
  const test::ScratchFolder dir;
  const std::string file = dir / "comma.lib";
  Design(DesignModeOption::Inductance, "1", "5");
  host.paths = {file};
  model.ExportSpiceMnu_Click();
  std::setlocale(LC_NUMERIC, before.c_str());
  const std::string written = test::Contents(file);
  EXPECT_NE(written.find("\nR1 in1 a1 0."), std::string::npos) << written;
  EXPECT_FALSE(std::regex_search(written, std::regex("[0-9],[0-9]"))) << written;
}

}  // namespace
}  // namespace vtq
