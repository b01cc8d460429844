#include <gtest/gtest.h>

#include "files/mas.h"
#include "support/scratch.h"
#include "support/scripted_host.h"

namespace vtq {
namespace {

using test::Contents;

class WindowFiles : public ::testing::Test {
 protected:
  void SetUp() override { Start(model_); }
  void Start(WindowModel& m) { m.Form_Load("."); }
  WindowModel& Answer(WindowModel& m, const std::string& path) {
    host_.state = &m.state();
    host_.paths.push_back(path);
    return m;
  }
  std::string Save(WindowModel& m, const std::string& name = "d.vtq") {
    Answer(m, dir_ / name).SaveDesignMnu_Click();
    return Contents(dir_ / name);
  }
  void Open(WindowModel& m, const std::string& bytes) {
    test::Write(dir_ / "in.vtq", bytes);
    Answer(m, dir_ / "in.vtq").LoadMnu_Click();
  }
  test::ScratchFolder dir_;
  test::ScriptedHost host_;
  WindowModel model_{host_};
};

TEST_F(WindowFiles, StartUpDesignSavesAsTheExampleAndDialogSettingsPersist) {
  host_.state = &model_.state();
  model_.LoadMnu_Click();  // cancelled, before any Save
  EXPECT_EQ(Save(model_), "\"Inductance\"\r\n400\r\n\"N\"\r\n\"1\"\r\n\"5\"\r\n\"10000\"\r\n1\r\n0\r\n");
  EXPECT_EQ(model_.state().DesignModeName, "Inductance");
  EXPECT_EQ(model_.FileStatus, "Saved design to " + dir_ / "d.vtq");
  model_.LoadMnu_Click();
  EXPECT_EQ(model_.FileStatus, "");  // a cancelled dialog reports nothing
  EXPECT_EQ(model_.state().Loading, 0);
  constexpr std::int32_t kSaveFlags = kFileDialogOverwritePrompt | kFileDialogHideReadOnly;
  const std::tuple<FileDialogPurpose, std::string, std::int32_t, Integer> expected[] = {
      {FileDialogPurpose::Open, "", 0, 1},
      {FileDialogPurpose::Save, "vtq", kSaveFlags, 0},
      {FileDialogPurpose::Open, "vtq", kSaveFlags, 1},  // what Save set stays for Open
  };
  ASSERT_EQ(host_.dialogs.size(), std::size(expected));
  for (std::size_t i = 0; i < std::size(expected); ++i) {
    const auto& [purpose, settings, loading] = host_.dialogs[i];
    EXPECT_EQ(settings.Filter, "All Files (*.*)|*.*|CMN Inductor Files (*.vtq)|*.vtq");
    EXPECT_EQ(settings.FilterIndex, 2);
    EXPECT_EQ(std::tie(purpose, settings.DefaultExt, settings.Flags, loading), expected[i]) << i;
  }
}

TEST_F(WindowFiles, OpenAppliesEachRecordByTheReaderRules) {
  const struct {
    std::string mode, density, letter, factor;
    DesignModeOption selected;
    Integer material;
    Single unitFactor;
  } cases[] = {
      {"\"Voltage\"", "400", "\"D\"", "1", DesignModeOption::Voltage, 1, 1},
      {"\"Inductance\"", "300", "\"P\"", "25.4", DesignModeOption::Inductance, 2, 25.4f},
      {"\"voltage\"", "400", "\"R\"", "2", DesignModeOption::Impedance, 5, 25.4f},
      {"\"Flux\"", "400", "\"S\"", "\"one\"", DesignModeOption::Impedance, 4, 25.4f},
      {"\"Impedance\"", "400", "\"n\"", "1", DesignModeOption::Impedance, 3, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.mode + " " + c.letter + " " + c.factor);
    Open(model_, c.mode + "\r\n" + c.density + "\r\n" + c.letter + "\r\n\"117\"\r\n\"5\"\r\n\"20000\"\r\n" +
                     c.factor + "\r\n0\r\n");
    const InputControls& in = model_.inputs();
    const DesignState& s = model_.state();
    EXPECT_EQ(std::tie(in.Mode, in.Material, s.MaterialLetter, s.UnitFactor, in.English),
              std::make_tuple(c.selected, c.material, std::string(1, "DPNSR"[c.material - 1]), c.unitFactor,
                              c.unitFactor == 1));
    EXPECT_EQ(s.DesignModeName, c.mode.substr(1, c.mode.size() - 2));
    // The handlers ran under the Loading flag: the texts are the file's, not defaults.
    EXPECT_EQ(std::tie(in.txtCD, in.MainInput, in.SecondInput), std::tie(c.density, "117", "20000"));
    EXPECT_EQ(s.Loading, 0);
    EXPECT_EQ(model_.LastFileError, "");
  }
}

TEST_F(WindowFiles, RecordEightChoosesTheOneCalculation) {
  const std::string head = "\"Inductance\"\r\n400\r\n\"N\"\r\n\"1\"\r\n\"5\"\r\n\"10000\"\r\n1\r\n";
  model_.outputs().txtPN = "untouched";
  Open(model_, head + "-1\r\n");  // a negative row computes nothing
  EXPECT_EQ(model_.outputs().txtPN, "untouched");
  Open(model_, head + "5\r\n");  // a hand-chosen row is evaluated, no automatic choice
  EXPECT_EQ(std::tie(model_.state().DesignCore, model_.state().CoreRow),
            std::make_tuple(Integer{5}, Integer{5}));
  const std::string row5 = model_.outputs().txtPN;
  Open(model_, head + "30\r\n");  // beyond the catalogue: passed on unchanged
  EXPECT_EQ(std::tie(model_.state().DesignCore, model_.state().ListCore),
            std::make_tuple(Integer{30}, Integer{30}));
  Open(model_, head + "\"zero\"\r\n");  // text reads as 0: the automatic design
  EXPECT_EQ(model_.state().DesignCore, 0);
  EXPECT_NE(model_.outputs().txtPN, row5);
}

TEST_F(WindowFiles, AShortMissingOrUnwritableFileChangesNoResultAndSaysWhy) {
  model_.outputs().txtPN = "untouched";
  host_.messages.clear();  // the start-up's own
  Open(model_, "\"Voltage\"\r\nabc\r\n\"R\"\r\n\"117\"\r\n\"7\"\r\n\"20000\"\r\n");
  EXPECT_EQ(std::tie(model_.inputs().txtCD, model_.state().CurrentDensity), std::make_tuple("0", 0.0f));
  EXPECT_EQ(model_.LastFileError, dir_ / "in.vtq" + ": the file ends after 6 of its 8 records");
  EXPECT_TRUE(host_.messages.empty());
  for (const char* name : {"none.vtq", "gone/d.vtq"}) {
    const bool open = name[0] == 'n';
    open ? Answer(model_, dir_ / name).LoadMnu_Click() : Answer(model_, dir_ / name).SaveDesignMnu_Click();
    EXPECT_EQ(model_.LastFileError, dir_ / name + ": the file or its folder does not exist");
    EXPECT_EQ(model_.FileStatus, (open ? "Could not open " : "Could not save ") + model_.LastFileError);
  }
  EXPECT_EQ(model_.outputs().txtPN, "untouched");
  EXPECT_EQ(model_.state().Loading, 0);
}

// A file that ends early applies each record it holds, in order, and no other.
TEST_F(WindowFiles, AShortFileAppliesExactlyTheRecordsItHolds) {
  const std::string records[] = {"\"Voltage\"", "300", "\"R\"", "\"117\"", "\"7\"", "\"20000\"", "25.4"};
  for (std::size_t n = 1; n <= std::size(records); ++n) {
    WindowModel m{host_};
    Start(m);
    std::string file;
    for (std::size_t i = 0; i < n; ++i) file += records[i] + "\r\n";
    Open(m, file);
    const InputControls& in = m.inputs();
    const std::vector<bool> applied{in.Mode == DesignModeOption::Voltage,
                                    in.txtCD == "300",
                                    in.Material == 5,
                                    in.MainInput == "117",
                                    in.Current == "7",
                                    in.SecondInput == "20000",
                                    !in.English};
    std::vector<bool> expected(std::size(records), false);
    std::fill_n(expected.begin(), n, true);
    EXPECT_EQ(applied, expected) << n << " records";
  }
}

TEST_F(WindowFiles, RecentDesignsKeepTheLastSixAndDropAFileThatIsGone) {
  model_.VoltageInput_Click();
  for (const char* name : {"1", "2", "3", "4", "5", "6", "7", "3"}) Save(model_, name);
  EXPECT_EQ(model_.RecentDesigns(),
            (std::vector{dir_ / "3", dir_ / "7", dir_ / "6", dir_ / "5", dir_ / "4", dir_ / "2"}));
  model_.InductanceInput_Click();
  model_.OpenRecentDesign(3);  // as Open does, and to the top of the list
  EXPECT_EQ(std::tie(model_.inputs().Mode, host_.recent[0]),
            std::make_tuple(DesignModeOption::Voltage, dir_ / "5"));
  std::filesystem::remove(dir_ / "7");
  model_.OpenRecentDesign(2);
  EXPECT_TRUE(model_.FileStatus.ends_with("does not exist; it is no longer listed under Recent Designs"));
  EXPECT_EQ(host_.recent, (std::vector{dir_ / "5", dir_ / "3", dir_ / "6", dir_ / "4", dir_ / "2"}));
}

TEST_F(WindowFiles, ExportMasWritesWhatTheCommandLineWrites) {
  host_.paths = {dir_ / "d.json", dir_ / "gone/d.json"};
  model_.ExportMasMnu_Click();
  EXPECT_EQ(Contents(dir_ / "d.json"), mas::WriteDesign(model_.window).text);
  EXPECT_EQ(host_.dialogs.at(0).settings.FileName, "QN-80115-KX.json");
  EXPECT_EQ(model_.FileStatus, "MAS design of QN-80115-KX written to " + dir_ / "d.json");
  model_.ExportMasMnu_Click();
  EXPECT_EQ(host_.messages.back().title, "Export Design as MAS");
}

// A design on a ring picked from the library goes out as its MAS document and comes back
// as the same choke on the same ring, shown in the library; a refused document changes nothing.
TEST_F(WindowFiles, ARingDesignGoesOutAndComesBackAsMas) {
  model_.ApplyDesign({DesignModeOption::Inductance, "1.5", "2"});
  model_.mnuLibrary_Click();
  model_.Library_Pick("B64290L0618X830");
  const RingView before = *model_.libraryView.ring;
  ASSERT_EQ(before.status, 0) << before.problem;
  host_.paths = {dir_ / "ring.json"};
  model_.ExportMasMnu_Click();
  EXPECT_EQ(model_.FileStatus, "MAS design of B64290L0618X830 written to " + dir_ / "ring.json");
  EXPECT_NE(Contents(dir_ / "ring.json"), mas::WriteDesign(model_.window).text);

  WindowModel fresh{host_};  // another session
  Start(fresh);
  host_.paths = {dir_ / "ring.json"};
  fresh.ImportMasMnu_Click();
  ASSERT_TRUE(fresh.libraryView.ring) << fresh.FileStatus;
  const RingView& after = *fresh.libraryView.ring;
  EXPECT_EQ(fresh.libraryView.picked, "B64290L0618X830");
  EXPECT_EQ(std::tuple(after.turns, after.gauge, after.inductance),
            std::tuple(before.turns, before.gauge, before.inductance));
  EXPECT_TRUE(fresh.FileStatus.starts_with("Opened " + dir_ / "ring.json")) << fresh.FileStatus;

  test::Write(dir_ / "bad.json", "{\"magnetic\": 3}");
  EXPECT_FALSE(fresh.OpenMasDesign(dir_ / "bad.json"));
  EXPECT_EQ(host_.TakeMessageTitles().back(), "Open MAS Design");
  EXPECT_EQ(fresh.libraryView.picked, "B64290L0618X830");
}

}  // namespace
}  // namespace vtq
