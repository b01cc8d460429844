// The analysis commands of the window model through a scripted host: the core table and
// the impedance plot as their windows show them, saving the plot, the SPICE export.
#include <gtest/gtest.h>

#include <cmath>

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
    model.ApplyDesign({mode, main, current, frequency});
    host.Clear();
  }

  test::ScriptedHost host;
  WindowModel model{host};
  const test::ScratchFolder dir;
};

TEST_F(AnalysisCommands, CoreTableMarksTheAutomaticChoiceAndFollowsTheInputs) {
  Design(DesignModeOption::Impedance, "100", "2");
  model.ViewMnu_Click();
  const CoreTableView& t = model.coreTable;
  ASSERT_EQ(t.rows.size(), 24u);
  EXPECT_EQ(t.rows[11].cells[0].text, "QN-80112-KX  (automatic)");
  EXPECT_TRUE(t.note.starts_with("Bold: the automatic design's choice. The marked row is")) << t.note;
  EXPECT_EQ(t.rows[10].cells[3].toolTip, "Wire made thinner to fit the core's window");
  EXPECT_FALSE(t.numeric[0] || !t.numeric[12] || t.numeric[13]);  // part and header are names

  // A typed input the checks would refuse: no rows, the reason instead.
  model.inputs().Current = "5 A";
  model.FollowDesign();
  EXPECT_TRUE(model.coreTable.rows.empty());
  EXPECT_EQ(model.coreTable.note, "Current field requires a numeric entry.");
  EXPECT_EQ(host.events, (Strings{"table", "table follows"}));
  Design(DesignModeOption::Impedance, "1000", "5");  // two stacked cores: no row is the design's
  model.FollowDesign();
  EXPECT_TRUE(
      model.coreTable.note.starts_with("The automatic design takes none of these cores: (2x) QN-80124-KX."));
}

// The axes hold both modes' |Z| and the requirement, wherever its frequency lies.
TEST_F(AnalysisCommands, PlotAxesFollowTheDataAndTheRequirement) {
  struct Case {
    DesignModeOption mode;
    const char *main, *frequency;
    int xFrom, yFrom, yTo;
    const char *xLabel, *required;
  };
  const Case cases[] = {
      {DesignModeOption::Impedance, "100", "200", 2, -1, 6, "100 Hz", "required 100 Ω at 200 Hz"},
      {DesignModeOption::Impedance, "3000", "30000000", 4, -2, 4, "10 kHz", "required 3 kΩ at 30 MHz"},
      {DesignModeOption::Inductance, "1", "10000", 4, -1, 4, "10 kHz", ""},  // the damped DM peak under 10 kΩ
  };
  for (const Case& k : cases) {
    Design(k.mode, k.main, "1", k.frequency);
    model.mnuImpedance_Click();
    const ImpedanceView& v = model.impedance;
    EXPECT_EQ(std::make_tuple(v.x.from, v.x.to, v.y.from, v.y.to),
              std::make_tuple(k.xFrom, 8, k.yFrom, k.yTo));
    EXPECT_EQ(v.x.labels.front(), k.xLabel);
    EXPECT_EQ(v.requiredLabel, k.required);
    // Every curve drawn inside the area; |Z| lies within its own axis and stays whole,
    // while the R and X parts run off it and are cut at its edge.
    int cut = 0;
    for (const PlotTrace& t : v.traces) {
      for (const auto& piece : t.line) {
        for (const PlotPoint& p : piece) {
          ASSERT_TRUE(p.x >= -1e-12 && p.x <= 1 + 1e-12 && p.y >= -1e-12 && p.y <= 1 + 1e-12) << t.name;
          cut += p.y == 0 || p.y == 1;
        }
      }
    }
    EXPECT_GT(cut, 0);
    const PlotTrace& z = v.traces[5];  // common mode |Z|
    ASSERT_EQ(z.line.size(), 1u);
    EXPECT_EQ(z.line[0].size(), v.frequencies.size());
    EXPECT_NEAR(z.line[0][0].y, v.y.At(z.values[0]), 1e-12);
  }
}

// The plot's core temperature reaches the caption: the grade, the temperature, the
// saturation flux density of T65 there (0.4651 T at 25 C, 0.32765 T at 100 C), held out
// of range; at -40 C Lm falls by mu_i 2753 over 5278.5 (25 C, half-way from 20 to 30 C).
TEST_F(AnalysisCommands, ImpedanceAtATemperature) {
  Design(DesignModeOption::Impedance, "100", "2");
  model.ImpedanceTemperature_Change(100);  // before the plot opens: kept for it
  model.mnuImpedance_Click();
  EXPECT_NE(model.impedance.caption.find("measured permeability of TDK T65 at 100 \u00b0C"),
            std::string::npos);
  EXPECT_NE(model.impedance.caption.find("(saturation taken at 328 mT, the grade's at 100 \u00b0C)"),
            std::string::npos);
  model.ImpedanceTemperature_Change(-300);
  EXPECT_EQ(model.impedance.temperature, -40);
  EXPECT_NE(
      model.impedance.caption.find("at \u221240 \u00b0C. One winding's inductance: 819 \u00b5H at \u221240"),
      std::string::npos)
      << model.impedance.caption;
}

// Measured Material...: the plot takes the file's curve while the material it was loaded
// under stays chosen; a bad file is said and the curve stays as it was.
TEST_F(AnalysisCommands, ImpedanceFromAMaterialFile) {
  Design(DesignModeOption::Impedance, "100", "2");
  model.mnuImpedance_Click();
  const std::string grade = model.impedance.caption;
  const std::string good = dir / "flat.csv", bad = dir / "bad.csv";
  test::Write(good, "frequency_hz,mu_real,mu_imag\n1000,1000,1\n100000000,1000,1\n");
  test::Write(bad, "frequency_hz,mu_real,mu_imag\n1000,x,1\n");
  host.paths = {bad, good};
  model.ImpedanceMaterial_Click();
  EXPECT_EQ(host.TakeMessageTitles(), Strings{"Impedance"});
  EXPECT_EQ(model.impedance.caption, grade);
  model.ImpedanceMaterial_Click();
  EXPECT_EQ(model.FileStatus, "The impedance plot takes the permeability of " + good);
  EXPECT_EQ(model.impedance.caption.find("TDK T65"), std::string::npos) << model.impedance.caption;
  // The words follow the file as the curve does: no temperatures it does not hold, and the
  // core's part of the inductance in proportion to the file's permeability (1000 here, 2000
  // in the second file).
  const analysis::ImpedanceCurve& once = model.impedance.curve;
  EXPECT_NE(model.impedance.caption.find("the data hold no temperature dependence"), std::string::npos);
  EXPECT_NE(
      model.impedance.caption.find("inductance: " + analysis::Engineering(once.inductanceAt[1], "H") + "."),
      std::string::npos)
      << model.impedance.caption;
  EXPECT_EQ(model.impedance.caption.find("\u00b0C, "), std::string::npos) << model.impedance.caption;
  const std::string twice = dir / "twice.csv";
  test::Write(twice, "frequency_hz,mu_real,mu_imag\n1000,2000,1\n100000000,2000,1\n");
  const ImpedanceView doubled = ImpedanceViewOf(model.window, {}, LoadMaterialFile(twice).ferrite);
  const double leakage = once.parameters.leakage;
  EXPECT_NEAR(doubled.curve.inductanceAt[1] - leakage, 2 * (once.inductanceAt[1] - leakage), 1e-12);
  const std::string file = model.impedance.caption;
  const int material = model.window.state.MaterialIndex;
  model.Rmat_Click();  // another material: its grade's curve
  model.FollowDesign();
  EXPECT_NE(model.impedance.caption.find("measured permeability of "), std::string::npos)
      << model.impedance.caption;
  model.SelectMaterial(material);  // back: the file's again
  model.FollowDesign();
  EXPECT_EQ(model.impedance.caption, file);
  host.Clear();
}

TEST_F(AnalysisCommands, SavePlot) {
  const std::string csv = dir / "plot.CSV", png = dir / "plot.png", other = dir / "plot.txt";
  Design(DesignModeOption::Impedance, "100", "2");
  model.mnuImpedance_Click();
  host.paths = {csv, png, other};
  model.ImpedanceSave_Click();
  EXPECT_EQ(test::Contents(csv), analysis::CurveCsv(model.impedance.curve));
  EXPECT_EQ(model.FileStatus, "Impedance plot of QN-80112-KX written to " + csv);
  for (int i = 0; i < 2; ++i) model.ImpedanceSave_Click();
  EXPECT_EQ(model.FileStatus, "");  // a save that failed says so in its box only
  // The picture is the host's to draw; this one cannot.
  EXPECT_EQ(host.events, (Strings{"plot", "file", "file", "msgbox Save Plot", "file", "msgbox Save Plot"}));
  EXPECT_EQ(host.messages[0].text, "Could not save " + png + ":\rpictures cannot be drawn here.");
  EXPECT_EQ(host.messages[1].text, "Could not save " + other + ":\rthe name must end in .png, .svg or .csv.");
  host.messages.clear();
  // Nothing designed: the caption says why and there is nothing to save.
  Design(DesignModeOption::Impedance, "100000", "50");
  model.FollowDesign();
  model.ImpedanceSave_Click();
  EXPECT_EQ(host.events, Strings{"plot follows"});
  EXPECT_EQ(model.impedance.caption, model.impedance.problem);
}

// A word the view's lists do not hold (the page and the command line pass any text) is said,
// and nothing is checked against a limit the user did not choose.
TEST_F(AnalysisCommands, EmissionWordsOutsideTheirListsAreSaid) {
  Design(DesignModeOption::Inductance, "1", "2");
  const struct {
    std::string EmissionsEntry::*word;
    const char *text, *problem;
  } cases[] = {
      {&EmissionsEntry::standard, "cispr22-b",
       "Standard: 'cispr22-b' is not one of cispr32-a, cispr32-b, fcc15-a, fcc15-b, cispr11-a, cispr11-b."},
      {&EmissionsEntry::network, "lisn", "Network: 'lisn' is neither cispr16 nor 50ohm."},
      {&EmissionsEntry::rippleShape, "sine", "Ripple shape: 'sine' is neither trapezoid nor triangle."},
  };
  for (const auto& k : cases) {
    EmissionsEntry e = ExampleEmissions();
    e.*k.word = k.text;
    const EmissionsView v = EmissionsViewOf(model.window, e);
    EXPECT_EQ(v.inputProblem, k.problem);
    EXPECT_TRUE(v.check.rows.empty() && v.verdict.empty());
  }
  EXPECT_TRUE(EmissionsViewOf(model.window, ExampleEmissions()).inputProblem.empty());
}

// Find Core leaves the design window as the user typed it and shows the core it found in
// the view; Apply Core makes it the design with an inductance a person would type. A saved
// picture carries what the view shows beside the plot.
TEST_F(AnalysisCommands, FindCoreShowsItsCoreAndKeepsTheInputs) {
  Design(DesignModeOption::Impedance, "1000", "2", "150000");
  const DesignWindow typed = model.window;
  model.Emissions_Change({"cispr32-b", "325", "65k", "0.45", "40n", "5p", "0.01", "trapezoid", "2.2n", "1u",
                          "cispr16", "3", ""});
  model.mnuEmissions_Click();
  model.EmissionsFindCore_Click();
  const CoreSearchView& search = model.coreSearch;
  ASSERT_TRUE(search.apply && search.shown) << search.summary;
  EXPECT_TRUE(model.window.inputs.MainInput == typed.inputs.MainInput && model.window.state == typed.state);
  const std::string found = search.shown->outputs.txtPN + " with " + search.shown->outputs.Turns + " turns";
  EXPECT_NE(search.shown->outputs.txtPN, typed.outputs.txtPN);
  EXPECT_TRUE(model.emissions.verdict.starts_with("Passes: " + found + ", worst margin "))
      << model.emissions.verdict;

  host.canDraw = true;
  host.paths = {dir / "emissions.png"};
  model.EmissionsSave_Click();
  ASSERT_EQ(host.pictures.size(), 1u);
  const std::string& words = host.pictures[0].second;
  EXPECT_TRUE(words.starts_with(model.emissions.verdict + "\nSource: 325 V switched at 65 kHz")) << words;
  EXPECT_NE(words.find("Y 2.2 nF each line, X 1 \u00b5F; V-network"), std::string::npos) << words;
  EXPECT_EQ(model.FileStatus, "Conducted-emission plot of " + search.shown->outputs.txtPN + " written to " +
                                  (dir / "emissions.png"));

  model.EmissionsApplyCore_Click();
  EXPECT_EQ(model.window.outputs.txtPN + " with " + model.window.outputs.Turns + " turns", found);
  EXPECT_EQ(model.window.inputs.MainInput, search.apply->main);
  EXPECT_LE(model.window.inputs.MainInput.size(), 5u) << model.window.inputs.MainInput;
  EXPECT_TRUE(model.coreSearch.applied && model.emissions.check.passes);
  // A design of the user's own afterwards: the search answered another one and goes.
  Design(DesignModeOption::Impedance, "1000", "2", "150000");
  model.FollowDesign();
  EXPECT_FALSE(model.coreSearch.shown);
  EXPECT_TRUE(model.emissions.verdict.find(typed.outputs.txtPN + " with ") != std::string::npos);

  model.mnuImpedance_Click();
  host.paths = {dir / "impedance.svg"};
  model.ImpedanceSave_Click();
  ASSERT_EQ(host.pictures.size(), 2u);
  EXPECT_EQ(host.pictures[1].first, (Strings{model.impedance.title, model.impedance.insertionLoss.title}));
  EXPECT_EQ(host.pictures[1].second, model.impedance.caption);
  host.Clear();
}

// The library's list narrowed by the filter and the search; a ring picked from it is what the
// impedance and emission views show until the design window's core is taken back.
TEST_F(AnalysisCommands, CoreLibraryPicksARingTheViewsFollow) {
  Design(DesignModeOption::Inductance, "1", "2");
  model.mnuLibrary_Click();
  const std::size_t all = model.libraryView.list.rows.size();
  ASSERT_GT(all, 300u);
  EXPECT_EQ(model.libraryView.count, std::to_string(all) + " of " + std::to_string(all) + " stocked rings");
  ASSERT_EQ(model.libraryView.cells.size(), all);
  EXPECT_EQ(model.libraryView.cells[0].size(), model.libraryView.headings.size());
  struct Case {
    LibraryEntry entry;
    std::size_t atLeast, atMost;
    const char* problem;
  };
  const Case cases[] = {
      // maker, grade, smallest and largest OD, search
      {{"", "", "", "", "b64290l0618x830"}, 1, 1, ""},  // case ignored, part number
      {{"", "", "", "", "N30"}, 2, all - 1, ""},        // a grade's name
      {{"", "N87", "", "", "x830"}, 0, 0, ""},          // the filter and the search both hold
      {{"", "N30", "", "", "x830"}, 2, all - 1, ""},
      {{"", "", "20 mm", "0.8in", ""}, 2, all - 1, ""},
      {{"", "", "20", "", ""}, 0, 0, "The smallest outer diameter \"20\" is not a length"},
  };
  for (const Case& c : cases) {
    model.Library_Change(c.entry);
    const LibraryWindowView& v = model.libraryView;
    EXPECT_GE(v.list.rows.size(), c.atLeast) << c.entry.search << c.entry.minOd;
    EXPECT_LE(v.list.rows.size(), c.atMost) << c.entry.search << c.entry.minOd;
    EXPECT_TRUE(v.list.problem.starts_with(c.problem)) << v.list.problem;
    for (const LibraryRow& r : v.list.rows) {
      const bool sized = !c.entry.minOd.empty() && v.list.problem.empty();
      EXPECT_TRUE(!sized || (r.od >= 0.02 && r.od <= 0.8 * 0.0254)) << r.part;
      EXPECT_TRUE(c.entry.search != "N30" || r.grade == "N30" || r.part.find("N30") != std::string::npos);
    }
  }

  model.mnuImpedance_Click();
  model.mnuEmissions_Click();
  const std::string own = model.window.outputs.txtPN;
  EXPECT_EQ(model.impedance.part, own);
  host.Clear();
  model.Library_Pick("b64290l0618x830");  // as typed or listed: the part is the library's
  EXPECT_EQ(host.events, (Strings{"plot follows", "library follows"}));
  EXPECT_EQ(model.libraryView.picked, "B64290L0618X830");
  ASSERT_TRUE(model.libraryView.ring);
  EXPECT_EQ(model.libraryView.ring->status, 0) << model.libraryView.ring->problem;
  EXPECT_EQ(model.libraryView.designRows.size(),
            model.libraryView.ring->steps.size() + model.libraryView.ring->windings.size());
  EXPECT_EQ(model.impedance.part, "B64290L0618X830");
  EXPECT_EQ(model.emissions.part, "B64290L0618X830");
  EXPECT_TRUE(model.emissions.problem.empty()) << model.emissions.problem;

  // The window's requirement moves: the ring's design follows it.
  const int turns = model.libraryView.ring->turns;
  Design(DesignModeOption::Inductance, "4", "2");
  model.FollowDesign();
  EXPECT_GT(model.libraryView.ring->turns, turns);

  // A ring too small for the requirement: the views say why, with no curve.
  model.Library_Pick("B64290L0044X830");
  EXPECT_EQ(model.libraryView.ring->status, 3);
  EXPECT_TRUE(model.impedance.problem.starts_with("No curve for the ring B64290L0044X830: "))
      << model.impedance.problem;
  EXPECT_TRUE(model.emissions.problem.starts_with("No check of the ring B64290L0044X830: "));

  model.LibraryUnpick_Click();
  EXPECT_EQ(model.impedance.part, model.window.outputs.txtPN);
  EXPECT_TRUE(model.libraryView.picked.empty() && !model.libraryView.ring);
  model.Library_Pick("no such ring");  // a list the library has moved on from: nothing changes
  EXPECT_TRUE(model.libraryView.picked.empty());

  // Find Core with a ring picked walks the library's filter and picks the ring it takes.
  model.Library_Change({"", "N30", "", "", ""});
  model.Library_Pick("B64290L0618X830");
  model.EmissionsFindCore_Click();
  ASSERT_FALSE(model.coreSearch.rows.empty()) << model.coreSearch.summary;
  EXPECT_EQ(model.libraryView.picked, model.coreSearch.rows.back()[0]) << model.coreSearch.summary;
  EXPECT_EQ(model.emissions.part, model.libraryView.picked);
  EXPECT_EQ(model.coreSearch.rows.back().back(), "");  // the ring taken was not passed over
}

// View > Safety: the gaps on the choke the analysis views show, the windings and mains it
// asks for winding the picked ring, the emission view's budget following its limit.
TEST_F(AnalysisCommands, SafetyViewWindsThePickedRingAndBudgetsTheEmissions) {
  Design(DesignModeOption::Inductance, "1", "2");
  model.mnuSafety_Click();
  EXPECT_EQ(host.events, (Strings{"safety"}));
  EXPECT_TRUE(model.safetyView.problem.starts_with("Type the highest mains voltage"))
      << model.safetyView.problem;
  model.SafetySave_Click();  // nothing to save: said, no dialog
  EXPECT_EQ(host.TakeMessageTitles(), (Strings{std::string(kSafetyTitle)}));
  EXPECT_TRUE(host.dialogs.empty());

  SafetyEntry e;
  e.mainsVoltage = "230";
  e.mainsFrequency = "50";
  model.Safety_Change(e);
  const SafetyWindowView& v = model.safetyView;
  EXPECT_TRUE(v.problem.empty()) << v.problem;
  EXPECT_EQ(v.of, "The design window's core " + model.window.outputs.txtPN);
  ASSERT_EQ(v.gaps.size(), 2u);  // the two gaps of a ring with two windings
  EXPECT_EQ(v.gaps[0].size(), v.headings.size());
  EXPECT_EQ(v.view.lines, model.safety.lines);  // the design window's core: as vtq-cli safety prints it

  // Three phases on a picked ring: wound with three windings parted by the insulation's gaps.
  model.mnuLibrary_Click();
  model.Library_Pick("B64290L0618X830");
  e.windings = 3;
  e.pollution = "3";
  model.Safety_Change(e);
  ASSERT_TRUE(model.libraryView.ring);
  EXPECT_EQ(model.libraryView.ring->windings.size(), 3u) << model.libraryView.ring->problem;
  ASSERT_TRUE(model.libraryView.ring->insulation);
  EXPECT_EQ(v.of, "The ring B64290L0618X830 picked from the library");
  EXPECT_EQ(v.view.lines, model.libraryView.ring->insulation->lines);
  EXPECT_EQ(v.gaps.size(), model.libraryView.ring->insulation->gaps.size());
  EXPECT_GE(v.gaps.size(), 3u);
  for (const auto& gap : v.gaps) EXPECT_FALSE(gap[4].empty() || gap[6].empty()) << gap[0];

  // Save... writes the gaps as the CSV export gives them.
  const std::string file = dir / "gaps.csv";
  host.paths = {file};
  model.SafetySave_Click();
  EXPECT_EQ(test::Contents(file), SafetyCsvOf(v.view));
  EXPECT_EQ(model.FileStatus, "Insulation distances of B64290L0618X830 written to " + file);

  // A touch-current limit gives the emission view its budget; a bad entry is said there too.
  model.mnuEmissions_Click();
  EXPECT_FALSE(model.emissions.yBudget);
  e.windings = 2;
  e.equipment = "iec62368-es1";
  model.Safety_Change(e);
  ASSERT_TRUE(model.emissions.yBudget) << model.emissions.inputProblem << model.emissions.problem;
  EXPECT_EQ(model.emissions.yBudget->caseName, "ES1 touch current (class II equipment, accessible parts)");
  e.pollution = "5";
  model.Safety_Change(e);
  EXPECT_TRUE(v.problem.starts_with("Pollution degree: '5'")) << v.problem;
  EXPECT_TRUE(v.gaps.empty());
  model.LibraryUnpick_Click();
  EXPECT_EQ(v.of, "The design window's core " + model.window.outputs.txtPN);
}

TEST_F(AnalysisCommands, ExportSpiceModel) {
  const std::string file = dir / "choke.lib", unwritable = dir / "missing/choke.lib";
  Design(DesignModeOption::Inductance, "1", "5");
  host.paths = {file, unwritable};
  model.ExportSpiceMnu_Click();
  EXPECT_EQ(host.dialogs.at(0).settings.FileName, "QN_80115_KX.lib");
  EXPECT_EQ(test::Contents(file), analysis::SpiceSubcircuit(model.window).text);
  EXPECT_EQ(model.FileStatus, "SPICE model of QN-80115-KX written to " + file);
  model.ExportSpiceMnu_Click();
  EXPECT_TRUE(host.messages.at(0).text.starts_with("Could not write " + unwritable + ":\r"));
  host.messages.clear();
  // Nothing designed: said before any dialog.
  Design(DesignModeOption::Impedance, "100000", "50");
  model.ExportSpiceMnu_Click();
  EXPECT_EQ(host.TakeMessageTitles(), Strings{"Export SPICE Model"});
  EXPECT_EQ(host.dialogs.size(), 2u);
}

// Export S-Parameters... and Measured Choke... through their dialogs: the exported file,
// read back as a measurement, lies on the model's curve (ratio 1) and is drawn beside it; a
// bad file is said and changes nothing.
TEST_F(AnalysisCommands, ExportAndMeasureSParameters) {
  const std::string file = dir / "choke.s4p", bad = dir / "bad.s1p";
  test::Write(bad, "# MHz S MA\n1 0.5\n");
  Design(DesignModeOption::Inductance, "1", "5");
  host.paths = {file, file, bad};
  model.ExportTouchstoneMnu_Click();
  EXPECT_EQ(host.dialogs.at(0).settings.FileName, "QN-80115-KX.s4p");
  EXPECT_EQ(model.FileStatus, "S-parameter file of QN-80115-KX written to " + file);
  model.mnuImpedance_Click();
  model.ImpedanceMeasured_Click();
  const ImpedanceView& v = model.impedance;
  ASSERT_EQ(v.measured.rows.size(), 161u);
  EXPECT_NEAR(*v.measured.worstCommon, 1, 1e-9);
  EXPECT_NEAR(*v.measured.worstDifferential, 1, 1e-9);
  EXPECT_EQ(v.traces.back().trace, Trace::MeasuredDifferentialZ);
  EXPECT_FALSE(v.traces.back().line.empty());
  EXPECT_NE(v.caption.find("Measured choke.s4p (four-port, line 1 on ports 1 (in) and 2 (out)"),
            std::string::npos);
  // The third panel: both modes' ratio, 1 all along, on a decade either side of it.
  ASSERT_TRUE(v.ratio.problem.empty());
  ASSERT_EQ(v.ratio.traces.size(), 2u);
  EXPECT_EQ(v.ratio.y.labels, (Strings{"0.1", "1", "10"}));
  EXPECT_EQ(v.ratio.traces[1].values.size(), v.ratio.frequencies.size());
  for (const PlotPoint& p : v.ratio.traces[0].line.at(0)) EXPECT_NEAR(p.y, 0.5, 1e-9);
  model.ImpedanceMeasured_Click();
  EXPECT_EQ(model.LastFileError, bad + ": line 2: too few values: 2 where a 1-port frequency needs 3");
  EXPECT_EQ(model.impedance.measuredChoke->name, "choke.s4p");
  EXPECT_EQ(host.TakeMessageTitles(), Strings{"Impedance"});
  // Removed: the model alone again, and the status says which file went.
  model.ImpedanceMeasuredClear_Click();
  EXPECT_EQ(model.impedance.measuredChoke, nullptr);
  EXPECT_FALSE(model.impedance.ratio.problem.empty());
  EXPECT_EQ(model.impedance.traces.back().trace, Trace::DifferentialZ);
  EXPECT_EQ(model.FileStatus, "The impedance plot no longer shows the measured choke choke.s4p");
}

}  // namespace
}  // namespace vtq
