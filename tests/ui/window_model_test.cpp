// The design window's behaviour without widgets: start-up, the option groups, the
// core list, the menus and help, through a scripted host.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>

#include "scripted_host.h"
#include "ui/model/window_model.h"

namespace vtq {
namespace {

using test::ScriptedHost;

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t cr; (cr = text.find('\r', start)) != std::string::npos; start = cr + 1) {
    lines.push_back(text.substr(start, cr - start));
  }
  lines.push_back(text.substr(start));
  return lines;
}

constexpr const char* kDisclaimer = "msgbox ***  KESTRALON Disclaimer  ***";

class WindowModelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    model.Form_Load("/opt/vtq");
    host.events.clear();
    host.messages.clear();
  }
  void TearDown() override {
    EXPECT_TRUE(host.unexpected.empty()) << host.unexpected.front();
    EXPECT_TRUE(host.messages.empty()) << "message box not checked: " << host.messages.front().title;
  }
  // Marks the outputs so a test can tell whether a calculation ran.
  void MarkOutputs() { model.outputs().txtPN = "unchanged"; }
  bool Calculated() { return model.outputs().txtPN != "unchanged"; }

  ScriptedHost host;
  WindowModel model{host};
};

TEST(WindowModelStartUp, ShowsBeepsAndWaitsForTheDisclaimerBeforeTheFirstDesign) {
  ScriptedHost host;
  WindowModel model(host);
  model.Form_Load("/opt/vtq");
  ASSERT_EQ(host.events, (std::vector<std::string>{"show", "beep", kDisclaimer}));
  const std::vector<std::string> lines = Lines(host.messages.front().text);
  ASSERT_EQ(lines.size(), 12u);
  EXPECT_EQ(lines[0], "The design  generated  by  this software is  believed");
  EXPECT_EQ(lines[8], "");
  EXPECT_EQ(lines[10], std::string(31, ' ') + std::string(kMakerPhone));
  EXPECT_EQ(lines[11], std::string(25, ' ') + std::string(kMakerEmail));
  // The help path is set, not looked for.
  EXPECT_EQ(model.HelpFile, "/opt/vtq/help/contents.html");
  EXPECT_EQ(model.outputs().txtPN, "QN-80115-KX");
  EXPECT_EQ(model.inputs().SecondInput, "10000");
  EXPECT_FALSE(model.SecondInputEnabled);
  EXPECT_FALSE(model.lstCoresVisible);
}

TEST(WindowModelStartUp, TheFirstDesignIsComputedOnlyAfterTheDisclaimerCloses) {
  // A host that looks at the window while the disclaimer is open.
  struct Peeking : ScriptedHost {
    WindowModel* model = nullptr;
    std::string pnAtDisclaimer = "never shown";
    int MsgBox(std::string_view text, std::string_view title) override {
      pnAtDisclaimer = model->outputs().txtPN;
      return ScriptedHost::MsgBox(text, title);
    }
  } host;
  WindowModel model(host);
  host.model = &model;
  model.Form_Load(".");
  EXPECT_EQ(host.pnAtDisclaimer, "");
  EXPECT_EQ(model.outputs().txtPN, "QN-80115-KX");
}

struct ModeCase {
  const char* name;
  void (WindowModel::*click)();
  Integer loading;
  const char* caption;
  const char* mainInput;  // text of MainInput afterwards (set to "7" before)
  const char* second;     // text of SecondInput afterwards (set to "8" before)
  bool secondEnabled;
  Integer designMode;
  bool calculates;
};

TEST_F(WindowModelTest, ModeSwitchesSetLabelsDefaultsAndRecalculateUnlessLoading) {
  const ModeCase cases[] = {
      {"voltage", &WindowModel::VoltageInput_Click, 0, "Voltage (Vrms)", "117", "10000", true, 1, true},
      {"impedance", &WindowModel::ImpedanceInput_Click, 0, "Impendance (Ohms)", "50", "10000", true, 2, true},
      {"inductance", &WindowModel::InductanceInput_Click, 0, "Inductance (mH)", "1", "8", false, 3, true},
      {"voltage loading", &WindowModel::VoltageInput_Click, 1, "Voltage (Vrms)", "7", "8", true, 1, false},
      {"impedance loading", &WindowModel::ImpedanceInput_Click, 1, "Impendance (Ohms)", "7", "8", true, 2,
       false},
      {"inductance loading", &WindowModel::InductanceInput_Click, 1, "Inductance (mH)", "7", "8", false, 3,
       false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
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
  EXPECT_EQ(model.lblMainInputToolTip, "Desired inductance of each winding on core");
}

TEST_F(WindowModelTest, MaterialWithTheListHiddenRedesignsWithItsMessages) {
  MarkOutputs();
  model.Dmat_Click();
  EXPECT_TRUE(Calculated());
  EXPECT_EQ(host.TakeMessageTitles(), std::vector<std::string>{"Warning"});
  EXPECT_EQ(host.events.back(), "focus Pmat");
  EXPECT_EQ(model.state().MaterialLetter, "D");
  EXPECT_EQ(model.outputs().AL, "0");

  model.Pmat_Click();
  EXPECT_EQ(model.outputs().txtPN, "QP-80116-KX");
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(WindowModelTest, MaterialWithTheListShownRebuildsTheListOnly) {
  model.cmdSelCore_Click();
  ASSERT_EQ(model.lstCores.size(), 24u);
  EXPECT_EQ(model.lstCores.front(), "QN-80101-KX (OD = 0.375)");
  MarkOutputs();
  model.Dmat_Click();
  EXPECT_FALSE(Calculated());
  EXPECT_TRUE(model.lstCoresVisible);
  ASSERT_EQ(model.lstCores.size(), 15u);
  EXPECT_EQ(model.lstCores.front(), "QD-80101-KX (OD = 0.375)");
  EXPECT_EQ(model.state().MaterialIndex, 1);

  // Under the Loading flag the list still follows the material.
  model.state().Loading = 1;
  model.Smat_Click();
  EXPECT_FALSE(Calculated());
  EXPECT_EQ(model.lstCores.size(), 24u);
  EXPECT_EQ(model.lstCores.front().substr(0, 3), "QS-");
}

TEST_F(WindowModelTest, ThirdListEntryEvaluatesCatalogueRowThreeAndHidesTheList) {
  model.cmdSelCore_Click();
  model.lstCores_Click(2);
  EXPECT_EQ(model.state().ListCore, 3);
  EXPECT_EQ(model.state().DesignCore, 3);
  EXPECT_EQ(model.outputs().txtPN, "QN-80103-KX");
  EXPECT_EQ(model.outputs().OD, "0.500 in.");
  EXPECT_FALSE(model.lstCoresVisible);
  host.TakeMessageTitles();  // a core this small reduces the wire and says so
}

TEST_F(WindowModelTest, UnitSwitchAfterAnAutomaticDesignRedisplaysIt) {
  const OutputBoxes inches = model.outputs();
  model.Metric_Click();
  EXPECT_EQ(model.outputs().txtPN, inches.txtPN);
  EXPECT_EQ(model.outputs().OD, "29.0 mm");
  EXPECT_EQ(model.outputs().WireLength, "68.6 cm");
  EXPECT_FLOAT_EQ(model.state().UnitFactor, 25.4f);
  model.English_Click();
  EXPECT_EQ(model.outputs().OD, inches.OD);
  EXPECT_EQ(model.outputs().txtWoundHt, inches.txtWoundHt);
  EXPECT_EQ(model.outputs().WireLength, inches.WireLength);
  EXPECT_FLOAT_EQ(model.state().UnitFactor, 1.0f);
}

TEST_F(WindowModelTest, UnitSwitchAfterAListDesignReturnsToTheAutomaticDesign) {
  for (auto click : {&WindowModel::Metric_Click, &WindowModel::English_Click}) {
    model.cmdSelCore_Click();
    model.lstCores_Click(2);
    host.TakeMessageTitles();
    ASSERT_EQ(model.outputs().txtPN, "QN-80103-KX");
    (model.*click)();
    EXPECT_EQ(model.outputs().txtPN, "QN-80115-KX");
    EXPECT_EQ(model.state().DesignCore, 0);
  }
}

TEST_F(WindowModelTest, RequirementTooLargeAndMaterialNotOffered) {
  model.ImpedanceInput_Click();
  model.inputs().MainInput = "100000";
  model.CalculateButton_Click();
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(Lines(host.messages.front().text).front(), "Filter requirements too large to calculate.");
  EXPECT_EQ(host.TakeMessageTitles(), std::vector<std::string>{"Warning"});
  EXPECT_EQ(model.outputs().txtPN, "Too Large");

  model.InductanceInput_Click();
  model.inputs().MainInput = "5";
  model.Rmat_Click();
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(Lines(host.messages.front().text)[1], "R material only available in");
  EXPECT_EQ(host.TakeMessageTitles(), std::vector<std::string>{"Warning"});
  EXPECT_EQ(host.events.back(), "focus Smat");
}

TEST_F(WindowModelTest, AnInvalidInputIsAskedForAgain) {
  model.inputs().Current = "five";
  host.answers.push_back("2");
  model.CalculateButton_Click();
  EXPECT_EQ(model.inputs().Current, "2");
  EXPECT_EQ(model.outputs().txtPN, "QN-80111-KX");
}

TEST_F(WindowModelTest, AboutAndContactBoxes) {
  model.AboutMnu_Click();
  model.mnuContact_Click();
  ASSERT_EQ(host.messages.size(), 2u);
  EXPECT_EQ(host.messages[0].title, "About Common Mode Inductor Design");
  const auto about = Lines(host.messages[0].text);
  ASSERT_EQ(about.size(), 3u);
  EXPECT_EQ(about[0], "Kestralon Common Mode Inductor Design Software.");
  EXPECT_EQ(about[1], "");
  EXPECT_EQ(host.messages[1].title, "Contacting Kestarlon");
  EXPECT_EQ(
      Lines(host.messages[1].text),
      (std::vector<std::string>{"Contact KESTRALON Applications Engineering and Sales at:", "",
                                "Phone: " + std::string(kMakerPhone), "Fax:      " + std::string(kMakerFax),
                                "Email:   " + std::string(kMakerEmail)}));
  host.messages.clear();
}

TEST_F(WindowModelTest, HelpOpensTheContentsOrTheIndexPageAndReportsAMissingDocument) {
  model.mnuContents_Click();
  model.mnuIndex_Click();
  EXPECT_EQ(host.events,
            (std::vector<std::string>{"help /opt/vtq/help/contents.html", "help /opt/vtq/help/index.html"}));
  host.helpReadable = false;
  model.mnuIndex_Click();
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_NE(host.messages.front().text.find("/opt/vtq/help/index.html"), std::string::npos);
  EXPECT_EQ(host.TakeMessageTitles(), std::vector<std::string>{"Help"});
}

TEST_F(WindowModelTest, ExitUnloadsWithoutAskingOrChangingTheDesign) {
  const std::string pn = model.outputs().txtPN;
  model.ExitMnu_Click();
  model.ExitButton_Click();
  EXPECT_EQ(host.events, (std::vector<std::string>{"unload", "unload"}));
  EXPECT_EQ(model.outputs().txtPN, pn);
}

TEST_F(WindowModelTest, SelfFormattingBoxesApplyTheirPatternOnce) {
  struct Case {
    std::string OutputBoxes::*box;
    void (WindowModel::*change)();
    bool english;
    const char* written;
    const char* shown;
  };
  const Case cases[] = {
      {&OutputBoxes::OD, &WindowModel::OD_Change, true, "0.375", "0.375 in."},
      {&OutputBoxes::ID, &WindowModel::ID_Change, false, "25.400", "25.4 mm"},
      {&OutputBoxes::HT, &WindowModel::HT_Change, true, "0.375 in.", "0.375 in."},
      {&OutputBoxes::WireLength, &WindowModel::WireLength_Change, true, "28.56", "28.6 in."},
      {&OutputBoxes::WireLength, &WindowModel::WireLength_Change, false, "28.56", "28.6 cm"},
      {&OutputBoxes::Inductance, &WindowModel::Inductance_Change, true, "1.00", "1."},
      {&OutputBoxes::Inductance, &WindowModel::Inductance_Change, true, "0.50", ".5"},
      {&OutputBoxes::Turns, &WindowModel::Turns_Change, true, "0", ""},
      {&OutputBoxes::WireSize, &WindowModel::WireSize_Change, false, "0", ""},
      {&OutputBoxes::WireSize, &WindowModel::WireSize_Change, false, "N/A", "N/A"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.written);
    model.inputs().English = c.english;
    model.outputs().*c.box = c.written;
    (model.*c.change)();
    EXPECT_EQ(model.outputs().*c.box, c.shown);
  }
}

// Every link of the help document leads to a page of it (and an anchor on that page).
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
    for (std::sregex_iterator it(page.begin(), page.end(), href), end; it != end; ++it) {
      const fs::path target = (*it)[1].length() ? folder / (*it)[1].str() : entry.path();
      SCOPED_TRACE(entry.path().filename().string() + " -> " + (*it)[0].str());
      ASSERT_TRUE(fs::is_regular_file(target));
      ++links;
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
