// The design window's behaviour without widgets: start-up, the option groups, the
// core list, the menus and help, through a scripted host.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <regex>
#include <set>

#include "engine/catalogue.h"
#include "support/scripted_host.h"
#include "ui/model/controls.h"
#include "ui/model/menus.h"
#include "ui/model/window_model.h"

namespace vtq {
namespace {

using test::ScriptedHost;
using Strings = std::vector<std::string>;

TEST(WindowModelStartUp, ShowBeepDisclaimerThenTheFirstDesign) {
  struct Peeking : ScriptedHost {  // looks at the window while the disclaimer is open
    WindowModel* model = nullptr;
    std::string pnAtDisclaimer = "never shown";
    int MsgBox(std::string_view text, std::string_view title) override {
      pnAtDisclaimer = model->outputs().txtPN;
      return ScriptedHost::MsgBox(text, title);
    }
  } host;
  WindowModel model(host);
  host.model = &model;
  model.Form_Load("/opt/vtq");
  ASSERT_EQ(host.events, (Strings{"show", "beep", "msgbox ***  KESTRALON Disclaimer  ***"}));
  EXPECT_EQ(host.pnAtDisclaimer, "");
  const std::string& text = host.messages.front().text;
  EXPECT_EQ(std::count(text.begin(), text.end(), '\r'), 11);
  EXPECT_TRUE(text.ends_with("\r" + std::string(31, ' ') + std::string(kMakerPhone) + "\r" +
                             std::string(25, ' ') + std::string(kMakerEmail)));
  EXPECT_EQ(model.HelpFile, "/opt/vtq/help/contents.html");  // set, not looked for
  EXPECT_EQ(model.outputs().txtPN, "QN-80115-KX");
  EXPECT_FALSE(model.SecondInputEnabled);
  EXPECT_FALSE(model.lstCoresVisible);
}

class WindowModelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    model.Form_Load("/opt/vtq");
    host.Clear();
  }
  void TearDown() override {
    EXPECT_TRUE(host.prompts.empty());
    EXPECT_TRUE(host.messages.empty()) << "message box not checked: " << host.messages.front().title;
  }
  // Marks the outputs so a test can tell whether a calculation ran.
  void MarkOutputs() { model.outputs().txtPN = "unchanged"; }
  bool Calculated() { return model.outputs().txtPN != "unchanged"; }

  ScriptedHost host;
  WindowModel model{host};
};

TEST_F(WindowModelTest, ModeSwitchesSetLabelsDefaultsAndRecalculateUnlessLoading) {
  struct Case {
    void (WindowModel::*click)();
    Integer loading;
    const char* caption;
    const char* mainInput;  // afterwards; "7" before
    const char* second;     // afterwards; "8" before
    bool secondEnabled;
    Integer designMode;
    bool calculates;
  };
  const Case cases[] = {
      {&WindowModel::VoltageInput_Click, 0, "Voltage (Vrms)", "117", "10000", true, 1, true},
      {&WindowModel::ImpedanceInput_Click, 0, "Impendance (Ohms)", "50", "10000", true, 2, true},
      {&WindowModel::InductanceInput_Click, 0, "Inductance (mH)", "1", "8", false, 3, true},
      {&WindowModel::VoltageInput_Click, 1, "Voltage (Vrms)", "7", "8", true, 1, false},
      {&WindowModel::ImpedanceInput_Click, 1, "Impendance (Ohms)", "7", "8", true, 2, false},
      {&WindowModel::InductanceInput_Click, 1, "Inductance (mH)", "7", "8", false, 3, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.caption) + (c.loading ? " loading" : ""));
    model.inputs().MainInput = "7";
    model.inputs().SecondInput = "8";
    model.state().Loading = c.loading;
    MarkOutputs();
    (model.*c.click)();
    EXPECT_EQ(model.lblMainInputCaption, c.caption);
    EXPECT_EQ(model.inputs().MainInput, c.mainInput);
    EXPECT_EQ(model.inputs().SecondInput, c.second);
    EXPECT_EQ(model.SecondInputEnabled, c.secondEnabled);
    EXPECT_EQ(model.state().DesignMode, c.designMode);
    EXPECT_EQ(Calculated(), c.calculates);
  }
}

TEST_F(WindowModelTest, MaterialRedesignsWithTheListHiddenAndRebuildsTheListWhenShown) {
  MarkOutputs();
  model.Dmat_Click();  // entry 15 fits, but D is not made that large
  EXPECT_TRUE(Calculated());
  EXPECT_EQ(host.TakeMessageTitles(), Strings{"Warning"});
  EXPECT_EQ(host.events.back(), "focus Pmat");
  EXPECT_EQ(model.outputs().AL, "0");

  model.cmdSelCore_Click();
  ASSERT_EQ(model.lstCores.size(), 15u);
  EXPECT_EQ(model.lstCores.front(), "QD-80101-KX (OD = 0.375)");
  MarkOutputs();
  model.Nmat_Click();
  EXPECT_FALSE(Calculated());
  EXPECT_TRUE(model.lstCoresVisible);
  EXPECT_EQ(model.lstCores.size(), 24u);
  EXPECT_EQ(model.lstCores.front(), "QN-80101-KX (OD = 0.375)");

  model.lstCores_Click(2);  // the third entry is catalogue row 3
  EXPECT_EQ(model.state().ListCore, 3);
  EXPECT_EQ(model.state().DesignCore, 3);
  EXPECT_EQ(model.outputs().txtPN, "QN-80103-KX");
  EXPECT_FALSE(model.lstCoresVisible);
  host.TakeMessageTitles();  // a core this small takes a thinner wire and says so
}

// The option buttons the faces show as checked: one a group, whatever was clicked last;
// and each material's button designs in that material.
TEST_F(WindowModelTest, EachGroupShowsItsOneSelectedOption) {
  void (WindowModel::*const clicks[])() = {&WindowModel::Dmat_Click, &WindowModel::Pmat_Click,
                                           &WindowModel::Nmat_Click, &WindowModel::Smat_Click,
                                           &WindowModel::Rmat_Click};
  for (int m = 1; m <= kMaterialCount; ++m) {
    (model.*clicks[m - 1])();
    EXPECT_EQ(model.state().MaterialLetter, std::string(1, Materials[static_cast<std::size_t>(m)].Letter));
    for (int other = 1; other <= kMaterialCount; ++other)
      EXPECT_EQ(OptionSelected(model.inputs(), Materials[static_cast<std::size_t>(other)].OptionName),
                other == m);
  }
  host.TakeMessageTitles();  // D and R are not made in the start-up design's size
  model.Metric_Click();
  EXPECT_TRUE(OptionSelected(model.inputs(), "Metric") && !OptionSelected(model.inputs(), "English"));
  EXPECT_FALSE(OptionSelected(model.inputs(), "CalculateButton"));
}

TEST_F(WindowModelTest, UnitSwitchRedisplaysAnAutomaticDesignAndReplacesAListDesign) {
  const OutputBoxes inches = model.outputs();
  model.Metric_Click();
  EXPECT_EQ(model.outputs().OD, "29.0 mm");
  EXPECT_EQ(model.outputs().WireLength, "68.6 cm");
  model.English_Click();
  EXPECT_EQ(model.outputs().txtWoundHt, inches.txtWoundHt);
  EXPECT_FLOAT_EQ(model.state().UnitFactor, 1.0f);

  for (auto click : {&WindowModel::Metric_Click, &WindowModel::English_Click}) {
    model.cmdSelCore_Click();
    model.lstCores_Click(2);
    host.TakeMessageTitles();
    (model.*click)();
    EXPECT_EQ(model.outputs().txtPN, "QN-80115-KX");
    EXPECT_EQ(model.state().DesignCore, 0);
  }
}

TEST_F(WindowModelTest, HelpPagesAMissingDocumentAndExit) {
  model.mnuContents_Click();
  model.mnuIndex_Click();
  EXPECT_EQ(host.events, (Strings{"help /opt/vtq/help/contents.html", "help /opt/vtq/help/index.html"}));
  host.helpReadable = false;
  model.mnuIndex_Click();
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_NE(host.messages.front().text.find("/opt/vtq/help/index.html"), std::string::npos);
  EXPECT_EQ(host.TakeMessageTitles(), Strings{"Help"});

  host.events.clear();
  model.ExitMnu_Click();
  model.ExitButton_Click();
  EXPECT_EQ(host.events, (Strings{"unload", "unload"}));  // nothing asked
}

// Every link of the help document leads to a page of it (and an anchor on that page).
// Every control of the window that runs a model command finds it in the one table the
// faces share; Copy Results is the face's own (the clipboard), and a wrong name is refused.
TEST(ControlCommands, EveryButtonOptionAndMenuCommandIsInTheTable) {
  std::vector<std::string_view> names = {"CopyResultsMnu"};
  for (const auto& b : layout::kButtons) names.push_back(b.name);
  for (const auto& o : layout::kOptions) names.push_back(o.name);
  for (int m = 1; m <= kMaterialCount; ++m)
    names.push_back(Materials[static_cast<std::size_t>(m)].OptionName);
  std::function<void(std::span<const menus::Entry>)> walk = [&](std::span<const menus::Entry> entries) {
    for (const menus::Entry& e : entries) {
      if (e.kind == menus::Kind::Command) names.push_back(e.name);
      walk(e.entries);
    }
  };
  for (const menus::Menu& m : menus::kMenuBar) walk(m.entries);
  for (std::string_view name : names)
    EXPECT_EQ(FindCommand(name) != nullptr, name != "CopyResultsMnu") << name;
  ScriptedHost host;
  WindowModel model(host);
  EXPECT_FALSE(ClickControl(model, "NoSuchControl"));
  EXPECT_TRUE(ClickControl(model, "Pmat"));
  EXPECT_EQ(model.window.inputs.Material, 2);
}

TEST(HelpDocument, ContentsAndIndexExistAndEveryLinkResolves) {
  namespace fs = std::filesystem;
  const fs::path folder = VTQ_HELP_SOURCE;
  ASSERT_TRUE(fs::is_regular_file(folder / "contents.html"));
  ASSERT_TRUE(fs::is_regular_file(folder / "index.html"));
  auto read = [](const fs::path& p) {
    std::ifstream in(p);
    return std::string(std::istreambuf_iterator<char>(in), {});
  };
  const std::regex href(R"re(href="([^"#:]*)(#([^"]*))?")re"), id(R"re(\b(?:id|name)="([^"]+)")re");
  int links = 0;
  for (const auto& entry : fs::directory_iterator(folder)) {
    if (entry.path().extension() != ".html") continue;
    const std::string page = read(entry.path());
    for (std::sregex_iterator it(page.begin(), page.end(), href), end; it != end; ++it, ++links) {
      const fs::path target = (*it)[1].length() ? folder / (*it)[1].str() : entry.path();
      SCOPED_TRACE(entry.path().filename().string() + " -> " + (*it)[0].str());
      ASSERT_TRUE(fs::is_regular_file(target));
      if (!(*it)[3].matched) continue;
      const std::string targetPage = read(target);
      std::set<std::string> ids;
      for (std::sregex_iterator i(targetPage.begin(), targetPage.end(), id), e; i != e; ++i)
        ids.insert((*i)[1]);
      EXPECT_TRUE(ids.count((*it)[3].str()));
    }
  }
  EXPECT_GT(links, 20);
}

}  // namespace
}  // namespace vtq
