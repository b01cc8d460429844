// Thousands of random sequences of what a user does in the design window, with scripted
// answers to every prompt and box and a scratch design file, checking after each action
// the invariants the window relies on.
#include <gtest/gtest.h>

#include <random>

#include "engine/catalogue.h"
#include "support/random_text.h"
#include "support/scratch.h"
#include "support/scripted_host.h"
#include "ui/model/window_model.h"

namespace vtq {
namespace {

using test::Positive;
using test::RandomText;

// A user whose file dialogs always pick the scratch file.
struct ScratchUser : test::ScriptedHost {
  std::string path;
  std::optional<std::string> ChooseFile(FileDialogPurpose, const FileDialogSettings&) override {
    return path;
  }
};

void ExpectInvariants(const WindowModel& m, bool calculated, const std::string& action) {
  const DesignState& s = m.window.state;
  const InputControls& in = m.window.inputs;
  SCOPED_TRACE(action);
  ASSERT_EQ(s.Loading, 0);
  ASSERT_TRUE(s.UnitFactor == 1.0f || s.UnitFactor == 25.4f) << s.UnitFactor;
  ASSERT_EQ(s.MaterialLetter, std::string(1, Materials.at(static_cast<std::size_t>(s.MaterialIndex)).Letter));
  // A material click while the core list is shown changes index and letter but starts
  // no calculation, so the permeability follows at the next calculation.
  if (calculated) {
    ASSERT_EQ(s.Permeability, Materials[static_cast<std::size_t>(s.MaterialIndex)].Permeability);
    ASSERT_EQ(s.MaterialIndex, in.Material);
    // The checks ran before the calculation read anything: every used input is valid now.
    for (const std::string* text : {&in.MainInput, &in.Current, &in.txtCD, &in.SecondInput}) {
      if (text != &in.SecondInput || in.Mode != DesignModeOption::Inductance) {
        ASSERT_TRUE(Positive(*text)) << *text;
      }
    }
  }
  ASSERT_EQ(m.SecondInputEnabled, in.Mode != DesignModeOption::Inductance);
  ASSERT_EQ(s.DesignMode, StoredDesignMode(in.Mode));
}

// An action of the user and whether it runs a calculation (which checks the inputs first).
struct Action {
  const char* name;
  bool (*run)(WindowModel&, std::mt19937&);
};
// clang-format off
const Action kActions[] = {
    {"type MainInput", [](WindowModel& m, std::mt19937& r) { m.inputs().MainInput = RandomText(r); return false; }},
    {"type Current", [](WindowModel& m, std::mt19937& r) { m.inputs().Current = RandomText(r); return false; }},
    {"type SecondInput", [](WindowModel& m, std::mt19937& r) { m.inputs().SecondInput = RandomText(r); return false; }},
    {"type txtCD", [](WindowModel& m, std::mt19937& r) { m.inputs().txtCD = RandomText(r); return false; }},
    {"Calculate", [](WindowModel& m, std::mt19937&) { m.CalculateButton_Click(); return true; }},
    {"InductanceInput", [](WindowModel& m, std::mt19937&) { m.InductanceInput_Click(); return true; }},
    {"ImpedanceInput", [](WindowModel& m, std::mt19937&) { m.ImpedanceInput_Click(); return true; }},
    {"VoltageInput", [](WindowModel& m, std::mt19937&) { m.VoltageInput_Click(); return true; }},
    // While the core list is shown a material click rebuilds the list and calculates nothing.
    {"material", [](WindowModel& m, std::mt19937& r) {
       const bool shown = m.lstCoresVisible;
       m.SelectMaterial(1 + static_cast<int>(r() % 5));
       return !shown; }},
    {"English", [](WindowModel& m, std::mt19937&) { m.English_Click(); return true; }},
    {"Metric", [](WindowModel& m, std::mt19937&) { m.Metric_Click(); return true; }},
    {"Select Core from List", [](WindowModel& m, std::mt19937&) { m.cmdSelCore_Click(); return false; }},
    {"list pick", [](WindowModel& m, std::mt19937& r) {
       if (!m.lstCoresVisible || m.lstCores.empty()) return false;
       m.lstCores_Click(static_cast<int>(r() % m.lstCores.size()));
       return true; }},
    {"Save", [](WindowModel& m, std::mt19937&) { m.SaveDesignMnu_Click(); return false; }},
    // Open calculates when the file holds all eight records.
    {"Open", [](WindowModel& m, std::mt19937&) { m.LoadMnu_Click(); return m.LastFileError.empty(); }},
};
// clang-format on

TEST(WindowModelRandomActions, InvariantsHoldAndOpenedDesignsSaveAsTheyWere) {
  test::ScratchFolder folder;
  std::mt19937 rng(1205);
  for (int sequence = 0; sequence < 2000; ++sequence) {
    // Answers prompts at random, giving in to the default every fourth time.
    ScratchUser user;
    user.path = folder / "design.vtq";
    user.answer = [&](const test::Prompt& p) {
      return user.prompts.size() % 4 ? RandomText(rng) : p.defaultAnswer;
    };
    WindowModel m(user);
    m.Form_Load(".");
    ExpectInvariants(m, true, "start-up");
    for (int step = 0; step < 20; ++step) {
      const Action& action = kActions[rng() % std::size(kActions)];
      const bool open = std::string_view(action.name) == "Open";
      const std::string file = open ? test::Contents(user.path) : "";
      const std::size_t asked = user.prompts.size();
      const bool calculated = action.run(m, rng);
      ExpectInvariants(m, calculated && !m.lstCoresVisible, action.name);
      // A design that opened whole, with nothing asked again, saves as it was.
      if (open && m.LastFileError.empty() && user.prompts.size() == asked) {
        m.SaveDesignMnu_Click();
        ASSERT_EQ(test::Contents(user.path), file);
      }
      if (::testing::Test::HasFatalFailure()) return;
    }
  }
}

}  // namespace
}  // namespace vtq
