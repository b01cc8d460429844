#include <sys/resource.h>

#include <gtest/gtest.h>
#include <csignal>
#include <deque>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "ui/model/window_model.h"

namespace vtq {
namespace {

namespace fs = std::filesystem;

// Confirms every prompt with its default answer and counts the boxes shown.
struct QuietHost : WindowHost {
  std::string InputBox(std::string_view, std::string_view, std::string_view answer) override {
    return std::string(answer);
  }
  int MsgBox(std::string_view, std::string_view) override { return ++messages, 1; }
  void SetFocus(std::string_view) override {}
  void ShowWindow() override {}
  void Beep() override {}
  int messages = 0;
};

// Answers with the queued paths (an empty one cancels) and records each showing.
struct ScriptedDialog : FileDialog {
  struct Shown {
    FileDialogPurpose purpose;
    FileDialogSettings settings;
    Integer loading;
  };
  std::optional<std::string> Show(FileDialogPurpose purpose, const FileDialogSettings& settings) override {
    shown.push_back({purpose, settings, model->state().Loading});
    std::string path = answers.empty() ? "" : answers.front();
    if (!answers.empty()) answers.pop_front();
    return path.empty() ? std::nullopt : std::optional(path);
  }
  WindowModel* model = nullptr;
  std::deque<std::string> answers;
  std::vector<Shown> shown;
};

std::string Contents(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

class WindowFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("vtq-files-" + std::to_string(::getpid()) + "-" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    Start(model_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  void Start(WindowModel& m) {
    dialog_.model = &m;
    m.UseFileDialog(&dialog_);
    m.Form_Load(".");
  }
  std::string Save(WindowModel& m, const std::string& name = "d.vtq") {
    dialog_.answers.push_back((dir_ / name).string());
    m.SaveDesignMnu_Click();
    return Contents(dir_ / name);
  }
  void Open(WindowModel& m, const std::string& bytes) {
    std::ofstream(dir_ / "in.vtq", std::ios::binary) << bytes;
    dialog_.answers.push_back((dir_ / "in.vtq").string());
    m.LoadMnu_Click();
  }
  fs::path dir_;
  QuietHost host_;
  ScriptedDialog dialog_;
  WindowModel model_{host_};
};

TEST_F(WindowFiles, StartUpDesignSavesAsTheEightLinesOfTheExample) {
  EXPECT_EQ(Save(model_), "\"Inductance\"\r\n400\r\n\"N\"\r\n\"1\"\r\n\"5\"\r\n\"10000\"\r\n1\r\n0\r\n");
  EXPECT_EQ(model_.state().DesignModeName, "Inductance");
  EXPECT_EQ(model_.FileStatus, "Saved design to " + (dir_ / "d.vtq").string());
}

TEST_F(WindowFiles, DialogSettingsPersistAndLoadingCoversOnlyOpen) {
  model_.LoadMnu_Click();  // cancelled, before any Save
  Save(model_);
  model_.LoadMnu_Click();
  ASSERT_EQ(dialog_.shown.size(), 3u);
  const auto& first = dialog_.shown[0];
  EXPECT_EQ(first.purpose, FileDialogPurpose::Open);
  EXPECT_EQ(first.settings.Filter, "All Files (*.*)|*.*|CMN Inductor Files (*.vtq)|*.vtq");
  EXPECT_EQ(first.settings.FilterIndex, 2);
  EXPECT_EQ(first.settings.DefaultExt, "");
  EXPECT_EQ(first.settings.Flags, 0);
  EXPECT_EQ(first.loading, 1);
  EXPECT_EQ(dialog_.shown[1].settings.Flags, kFileDialogOverwritePrompt | kFileDialogHideReadOnly);
  EXPECT_EQ(dialog_.shown[1].loading, 0);
  EXPECT_EQ(dialog_.shown[2].settings.DefaultExt, "vtq");  // left by Save
  EXPECT_EQ(dialog_.shown[2].settings.Flags, 6);
  EXPECT_EQ(model_.state().Loading, 0);
  EXPECT_TRUE(model_.FileStatus.empty());
}

TEST_F(WindowFiles, OpenAppliesEachRecordByTheReaderRules) {
  struct Case {
    std::string mode, density, letter, factor, row;
    DesignModeOption selected;
    Integer material;
    bool english;
    Single unitFactor;
  } cases[] = {
      {"\"Voltage\"", "400", "\"D\"", "1", "0", DesignModeOption::Voltage, 1, true, 1},
      {"\"Inductance\"", "300", "\"P\"", "25.4", "0", DesignModeOption::Inductance, 2, false, 25.4f},
      {"\"voltage\"", "400", "\"R\"", "2", "0", DesignModeOption::Impedance, 5, false, 25.4f},
      {"\"Flux\"", "400", "\"S\"", "\"one\"", "0", DesignModeOption::Impedance, 4, false, 25.4f},
      {"\"Impedance\"", "400", "\"n\"", "1", "0", DesignModeOption::Impedance, 3, true, 1},
      {"\"Voltage\"", "400", "\"X\"", "1", "0", DesignModeOption::Voltage, 3, true, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode + " " + c.letter + " " + c.factor);
    Open(model_, c.mode + "\r\n" + c.density + "\r\n" + c.letter + "\r\n\"117\"\r\n\"5\"\r\n\"20000\"\r\n" +
                     c.factor + "\r\n" + c.row + "\r\n");
    const DesignState& s = model_.state();
    EXPECT_EQ(model_.inputs().Mode, c.selected);
    EXPECT_EQ(s.DesignModeName, c.mode.substr(1, c.mode.size() - 2));
    EXPECT_EQ(model_.inputs().Material, c.material);
    EXPECT_EQ(s.MaterialLetter, std::string(1, "DPNSR"[c.material - 1]));
    EXPECT_EQ(model_.inputs().English, c.english);
    EXPECT_EQ(s.UnitFactor, c.unitFactor);
    EXPECT_EQ(model_.inputs().txtCD, c.density);
    EXPECT_EQ(model_.inputs().MainInput, "117");  // the handlers left the texts alone
    EXPECT_EQ(model_.inputs().SecondInput, "20000");
    EXPECT_EQ(s.Loading, 0);
    EXPECT_TRUE(model_.LastFileError.empty()) << model_.LastFileError;
  }
}

TEST_F(WindowFiles, RecordEightChoosesTheOneCalculation) {
  const std::string head = "\"Inductance\"\r\n400\r\n\"N\"\r\n\"1\"\r\n\"5\"\r\n\"10000\"\r\n1\r\n";
  model_.outputs().txtPN = "untouched";
  Open(model_, head + "-1\r\n");  // a negative row computes nothing
  EXPECT_EQ(model_.outputs().txtPN, "untouched");
  EXPECT_EQ(model_.state().DesignCore, -1);
  Open(model_, head + "5\r\n");  // a hand-chosen row is evaluated as it is
  EXPECT_EQ(model_.state().DesignCore, 5);
  EXPECT_EQ(model_.state().CoreRow, 5);
  const std::string row5 = model_.outputs().txtPN;
  Open(model_, head + "30\r\n");  // beyond the catalogue: passed on unchanged
  EXPECT_EQ(model_.state().DesignCore, 30);
  EXPECT_EQ(model_.state().ListCore, 30);
  Open(model_, head + "\"zero\"\r\n");  // text reads 0: the automatic design
  EXPECT_EQ(model_.state().DesignCore, 0);
  EXPECT_NE(model_.outputs().txtPN, row5);
}

TEST_F(WindowFiles, AShortOrMissingFileCalculatesNothing) {
  model_.outputs().txtPN = "untouched";
  const int messages = host_.messages;
  Open(model_, "\"Voltage\"\r\nabc\r\n\"R\"\r\n\"117\"\r\n");
  EXPECT_EQ(model_.inputs().Mode, DesignModeOption::Voltage);
  EXPECT_EQ(model_.state().CurrentDensity, 0);  // text in a number record
  EXPECT_EQ(model_.inputs().txtCD, "0");
  EXPECT_EQ(model_.inputs().Material, 5);
  EXPECT_EQ(model_.inputs().MainInput, "117");
  EXPECT_EQ(model_.inputs().Current, "5");
  EXPECT_EQ(model_.outputs().txtPN, "untouched");
  EXPECT_EQ(host_.messages, messages);
  EXPECT_NE(model_.LastFileError.find("ends after 4 of its 8 records"), std::string::npos);
  EXPECT_EQ(model_.state().Loading, 0);

  dialog_.answers.push_back((dir_ / "none.vtq").string());
  model_.LoadMnu_Click();
  EXPECT_EQ(model_.LastFileError, (dir_ / "none.vtq").string() + ": the file or its folder does not exist");
  EXPECT_EQ(model_.FileStatus, "Could not open " + model_.LastFileError);
  EXPECT_EQ(model_.outputs().txtPN, "untouched");
  EXPECT_EQ(model_.state().Loading, 0);
}

TEST_F(WindowFiles, AFailedSaveKeepsTheOldFileAndSaysWhy) {
  const std::string old = Save(model_);
  model_.VoltageInput_Click();
  dialog_.answers.push_back((dir_ / "gone" / "d.vtq").string());
  model_.SaveDesignMnu_Click();
  EXPECT_EQ(model_.LastFileError,
            (dir_ / "gone" / "d.vtq").string() + ": the file or its folder does not exist");
  EXPECT_EQ(model_.FileStatus, "Could not save " + model_.LastFileError);

  std::signal(SIGXFSZ, SIG_IGN);
  rlimit limit{};
  ::getrlimit(RLIMIT_FSIZE, &limit);
  rlimit small = limit;
  small.rlim_cur = 20;  // the disk fills up half way through the file
  ::setrlimit(RLIMIT_FSIZE, &small);
  Save(model_);
  ::setrlimit(RLIMIT_FSIZE, &limit);
  EXPECT_NE(model_.LastFileError.find("larger than allowed"), std::string::npos);
  EXPECT_EQ(Contents(dir_ / "d.vtq"), old);
}

// Designs reached through the window's own controls save, open in a freshly started
// window to the same inputs and selections, and save again to the same bytes. The
// results depend on what the window showed before (a failing step keeps its old
// value), so they are compared in the window that saved the file.
TEST_F(WindowFiles, ReachableDesignsSaveOpenAndSaveAgainToTheSameBytes) {
  std::mt19937 rng(20261205);
  auto pick = [&](std::initializer_list<const char*> texts) {
    return std::string(texts.begin()[std::uniform_int_distribution<std::size_t>(0, texts.size() - 1)(rng)]);
  };
  WindowModel& m = model_;
  for (int i = 0; i < 300; ++i) {
    SCOPED_TRACE(i);
    switch (rng() % 3) {
      case 0:
        m.VoltageInput_Click();
        break;
      case 1:
        m.ImpedanceInput_Click();
        break;
      default:
        m.InductanceInput_Click();
    }
    m.inputs().MainInput = pick({"1", "0.35", "12", "117", "250", "50", "3e1", "\"7\"", "1\xC2\xB5"});
    m.inputs().Current = pick({"5", "0.5", "12.25", "30"});
    m.inputs().SecondInput = pick({"10000", "150000", "2500", "1e5"});
    m.inputs().txtCD = pick({"400", "250.5", "600", "1234.567"});
    m.SelectMaterial(1 + static_cast<int>(rng() % 5));
    rng() % 2 ? m.Metric_Click() : m.English_Click();
    m.CalculateButton_Click();
    if (rng() % 3 == 0) {
      m.cmdSelCore_Click();
      if (!m.lstCores.empty()) m.lstCores_Click(static_cast<int>(rng() % m.lstCores.size()));
    }
    const std::string first = Save(m, "a.vtq");
    ASSERT_TRUE(m.LastFileError.empty()) << m.LastFileError;

    WindowModel reopened(host_);
    Start(reopened);
    Open(reopened, first);
    EXPECT_EQ(Save(reopened, "b.vtq"), first);
    const InputControls &a = m.inputs(), &b = reopened.inputs();
    EXPECT_EQ(std::tie(a.Mode, a.Material, a.English, a.MainInput, a.Current, a.SecondInput, a.txtCD),
              std::tie(b.Mode, b.Material, b.English, b.MainInput, b.Current, b.SecondInput, b.txtCD));
    EXPECT_EQ(reopened.state().DesignCore, m.state().DesignCore);

    // Opening in the saving window gives what running its last calculation again gives.
    WindowModel twin = m;
    if (twin.state().DesignCore == 0) {
      twin.CalculateButton_Click();
    } else {
      EvaluateCore(twin.state().ListCore = twin.state().DesignCore, twin.window, host_);
    }
    dialog_.model = &m;
    Open(m, first);
    for (const auto& box : kOutputBoxFields)
      EXPECT_EQ(m.outputs().*box.text, twin.outputs().*box.text) << box.name;
  }
}

}  // namespace
}  // namespace vtq
