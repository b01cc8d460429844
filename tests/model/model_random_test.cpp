// Thousands of random sequences of what a user does in the design window, with scripted
// answers to every prompt and box and a scratch design file, checking after each action
// the invariants the window relies on.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <random>

#include "engine/catalogue.h"
#include "ui/model/window_model.h"

namespace vtq {
namespace {

std::string RandomText(std::mt19937& rng) {
  static const char* const pieces[] = {"",    " ",   "0",     "1",    "-",   ".",    "e",    "5",
                                       "12",  "400", "1e3",   "1e39", "abc", "\t",   "\xb5", "0.001",
                                       "250", "7.5", "10000", "2",    "\"",  "1e-9", "100",  "-0"};
  std::uniform_int_distribution<int> count(0, 3);
  std::uniform_int_distribution<std::size_t> pick(0, std::size(pieces) - 1);
  std::string text;
  for (int i = count(rng); i > 0; --i) text += pieces[pick(rng)];
  return text;
}

// A user who answers prompts at random and then gives in to the default, confirms every
// message box, and always picks the scratch file in the file dialog.
class RandomUser : public WindowHost {
 public:
  RandomUser(std::mt19937& rng, std::string path) : rng_(rng), path_(std::move(path)) {}
  std::string InputBox(std::string_view, std::string_view, std::string_view def) override {
    if (++prompts_ % 4 == 0) return std::string(def);
    return RandomText(rng_);
  }
  int MsgBox(std::string_view, std::string_view) override { return 1; }
  void SetFocus(std::string_view) override {}
  void ShowWindow() override {}
  void Beep() override {}
  std::optional<std::string> ChooseFile(FileDialogPurpose, const FileDialogSettings&) override {
    return path_;
  }

 private:
  std::mt19937& rng_;
  std::string path_;
  int prompts_ = 0;
};

bool Positive(const std::string& text) {
  auto v = num::ParseStrict(text);
  return v && *v > 0;
}

void ExpectInvariants(const WindowModel& m, bool calculated, const std::string& action) {
  const DesignState& s = m.window.state;
  const InputControls& in = m.window.inputs;
  SCOPED_TRACE(action);
  ASSERT_GE(in.Material, 1);
  ASSERT_LE(in.Material, 5);
  ASSERT_GE(static_cast<int>(in.Mode), 0);
  ASSERT_LE(static_cast<int>(in.Mode), 2);
  ASSERT_EQ(s.Loading, 0);
  ASSERT_TRUE(s.UnitFactor == 1.0f || s.UnitFactor == 25.4f) << s.UnitFactor;
  ASSERT_GE(s.MaterialIndex, 1);
  ASSERT_LE(s.MaterialIndex, 5);
  ASSERT_EQ(s.MaterialLetter, std::string(1, Materials[static_cast<std::size_t>(s.MaterialIndex)].Letter));
  // A material click while the core list is shown changes index and letter but starts
  // no calculation, so the permeability follows at the next calculation.
  if (calculated) {
    ASSERT_EQ(s.Permeability, Materials[static_cast<std::size_t>(s.MaterialIndex)].Permeability);
    ASSERT_EQ(s.MaterialIndex, in.Material);
    ASSERT_TRUE(Positive(in.MainInput)) << in.MainInput;
    ASSERT_TRUE(Positive(in.Current)) << in.Current;
    ASSERT_TRUE(Positive(in.txtCD)) << in.txtCD;
    if (in.Mode != DesignModeOption::Inductance) {
      ASSERT_TRUE(Positive(in.SecondInput)) << in.SecondInput;
    }
  }
  ASSERT_EQ(m.SecondInputEnabled, in.Mode != DesignModeOption::Inductance);
  ASSERT_EQ(s.DesignMode, in.Mode == DesignModeOption::Voltage     ? 1
                          : in.Mode == DesignModeOption::Impedance ? 2
                                                                   : 3);
}

TEST(WindowModelRandomActions, InvariantsHoldAfterEveryAction) {
  const auto folder = std::filesystem::temp_directory_path() / ("vtq-model-" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  const std::string path = (folder / "design.vtq").string();
  std::mt19937 rng(1205);
  std::uniform_int_distribution<int> action(0, 15);
  int actions = 0;
  for (int sequence = 0; sequence < 2000; ++sequence) {
    RandomUser user(rng, path);
    WindowModel m(user);
    m.Form_Load(".");
    ExpectInvariants(m, true, "start-up");
    for (int step = 0; step < 20; ++step, ++actions) {
      bool calculated = true;
      std::string name;
      switch (action(rng)) {
        case 0:
          m.inputs().MainInput = RandomText(rng), calculated = false, name = "type MainInput";
          break;
        case 1:
          m.inputs().Current = RandomText(rng), calculated = false, name = "type Current";
          break;
        case 2:
          m.inputs().SecondInput = RandomText(rng), calculated = false, name = "type SecondInput";
          break;
        case 3:
          m.inputs().txtCD = RandomText(rng), calculated = false, name = "type txtCD";
          break;
        case 4:
          m.CalculateButton_Click(), name = "Calculate";
          break;
        case 5:
          m.InductanceInput_Click(), name = "InductanceInput";
          break;
        case 6:
          m.ImpedanceInput_Click(), name = "ImpedanceInput";
          break;
        case 7:
          m.VoltageInput_Click(), name = "VoltageInput";
          break;
        case 8: {
          calculated = !m.lstCoresVisible;
          std::uniform_int_distribution<int> material(1, 5);
          m.SelectMaterial(material(rng));
          name = "material";
          break;
        }
        case 9:
          m.English_Click(), name = "English";
          break;
        case 10:
          m.Metric_Click(), name = "Metric";
          break;
        case 11:
          m.cmdSelCore_Click(), calculated = false, name = "Select Core from List";
          break;
        case 12:
          if (m.lstCoresVisible && !m.lstCores.empty()) {
            std::uniform_int_distribution<int> pick(0, static_cast<int>(m.lstCores.size()) - 1);
            m.lstCores_Click(pick(rng));
            name = "list pick";
          } else {
            calculated = false;
            name = "no list";
          }
          break;
        case 13:
          m.SaveDesignMnu_Click(), calculated = false, name = "Save";
          break;
        case 14:
          // Open calculates when the file holds all eight records.
          calculated = std::filesystem::exists(path);
          m.LoadMnu_Click();
          name = "Open";
          break;
        default:
          calculated = false, name = "nothing";
          break;
      }
      ExpectInvariants(m, calculated && !m.lstCoresVisible, name);
      if (::testing::Test::HasFatalFailure()) return;
    }
  }
  std::filesystem::remove_all(folder);
  EXPECT_EQ(actions, 2000 * 20);
}

}  // namespace
}  // namespace vtq
