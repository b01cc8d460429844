// The analysis windows and the SPICE export on the design window, offscreen.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QSortFilterProxyModel>
#include <QStatusBar>
#include <QTableView>
#include <QTest>
#include <clocale>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "analysis/spice.h"
#include "ui/qt/analysis_actions.h"
#include "ui/qt/compare_window.h"
#include "ui/qt/impedance_plot.h"
#include "ui/qt/main_window.h"

namespace vtq::qt {
namespace {

namespace fs = std::filesystem;

// Answers every message box with OK and records its title; any input prompt fails the test.
class QuietHost : public WindowHost {
 public:
  std::string InputBox(std::string_view prompt, std::string_view, std::string_view def) override {
    ADD_FAILURE() << "unexpected prompt: " << prompt;
    return std::string(def);
  }
  int MsgBox(std::string_view text, std::string_view title) override {
    titles.emplace_back(title);
    texts.emplace_back(text);
    return 1;
  }
  void SetFocus(std::string_view) override {}
  void ShowWindow() override {}
  void Beep() override {}
  std::optional<std::string> ChooseFile(FileDialogPurpose, const FileDialogSettings& settings) override {
    suggested = settings.FileName;
    return chosen;
  }
  std::vector<std::string> titles, texts;
  std::string suggested;
  std::optional<std::string> chosen;
};

class AnalysisWindows : public ::testing::Test {
 protected:
  void SetUp() override {
    window = std::make_unique<MainWindow>(host);
    actions = new AnalysisActions(*window, host);
    window->Load(".");
    host.titles.clear();
    host.texts.clear();
  }
  void Trigger(const char* name) {
    auto* action = window->findChild<QAction*>(QString::fromLatin1(name));
    ASSERT_NE(action, nullptr) << name;
    ASSERT_TRUE(action->isEnabled()) << name;
    action->trigger();
    QApplication::processEvents();
  }
  void Design(DesignModeOption mode, const char* main, const char* current) {
    window->Run([&] {
      WindowModel& m = window->model();
      m.window.state.Loading = 1;
      m.SelectMode(mode);
      m.window.state.Loading = 0;
      m.inputs().MainInput = main;
      m.inputs().Current = current;
      m.CalculateButton_Click();
    });
    QApplication::processEvents();
  }
  QStringList Column(int column) const {
    QStringList texts;
    auto* model = actions->compareWindow()->table()->model();
    for (int r = 0; r < model->rowCount(); ++r) texts << model->index(r, column).data().toString();
    return texts;
  }

  QuietHost host;
  std::unique_ptr<MainWindow> window;
  AnalysisActions* actions = nullptr;
};

TEST_F(AnalysisWindows, CoreTableSortsByNumberAndMarksTheAutomaticChoice) {
  Design(DesignModeOption::Impedance, "100", "2");
  Trigger("ViewMnu");
  CompareWindow* c = actions->compareWindow();
  ASSERT_TRUE(c->isVisible());
  ASSERT_EQ(Column(0).size(), 24);
  EXPECT_EQ(Column(0)[11], "QN-80112-KX  (automatic)");
  EXPECT_TRUE(c->table()->model()->index(11, 0).data(Qt::FontRole).value<QFont>().bold());
  EXPECT_FALSE(c->table()->model()->index(10, 0).data(Qt::FontRole).value<QFont>().bold());

  // Turns run from 12 to 33: as texts "9" would sort after "33".
  c->table()->sortByColumn(2, Qt::AscendingOrder);
  std::vector<int> turns;
  for (const QString& t : Column(2)) turns.push_back(t.toInt());
  EXPECT_TRUE(std::is_sorted(turns.begin(), turns.end()));
  EXPECT_NE(turns.front(), turns.back());
  EXPECT_NE(c->RowAt(0), 1);  // the view order is no longer the catalogue's
}

TEST_F(AnalysisWindows, DoubleClickAppliesTheCoreAsAListPick) {
  Design(DesignModeOption::Impedance, "100", "2");
  Trigger("ViewMnu");
  QTableView* table = actions->compareWindow()->table();
  table->sortByColumn(0, Qt::DescendingOrder);  // row 12 is now the 13th line
  const QModelIndex cell = table->model()->index(12, 3);
  ASSERT_EQ(actions->compareWindow()->RowAt(12), 12);
  emit table->doubleClicked(cell);
  QApplication::processEvents();
  const WindowModel& m = window->model();
  EXPECT_EQ(m.window.state.ListCore, 12);
  EXPECT_EQ(m.window.state.DesignCore, 12);
  EXPECT_EQ(m.window.outputs.txtPN, "QN-80112-KX");
  EXPECT_EQ(m.window.outputs.WireSize, "21");
  // The applied pick alone shows the wire-fit message; the comparison showed none.
  EXPECT_EQ(host.titles, std::vector<std::string>{"Core ID Too Small"});

  // Enter on a selected line applies that core too.
  table->setCurrentIndex(table->model()->index(0, 0));  // row 24, sorted last to first
  QTest::keyClick(table, Qt::Key_Return);
  QApplication::processEvents();
  EXPECT_EQ(m.window.state.DesignCore, 24);
}

TEST_F(AnalysisWindows, FollowTheInputsAndTheDesign) {
  Trigger("ViewMnu");
  Trigger("mnuImpedance");
  ASSERT_TRUE(actions->impedanceWindow()->isVisible());
  Design(DesignModeOption::Impedance, "1000", "5");
  EXPECT_NEAR(actions->impedanceWindow()->plot()->curve().parameters.inductance, 15.94e-3, 1e-5);
  EXPECT_TRUE(actions->impedanceWindow()->plot()->curve().required.has_value());

  // A typed input the checks would refuse: the table says so and lists nothing.
  auto* current = window->findChild<QLineEdit*>(QStringLiteral("Current"));
  current->selectAll();
  current->insert(QStringLiteral("5 A"));  // an edit as the user makes it
  QApplication::processEvents();
  EXPECT_EQ(actions->compareWindow()->note()->text(), "Current field requires a numeric entry.");
  EXPECT_EQ(actions->compareWindow()->table()->model()->rowCount(), 0);
  EXPECT_TRUE(host.titles.empty());
}

TEST_F(AnalysisWindows, ExportSpiceModel) {
  const fs::path dir = fs::temp_directory_path() / ("vtq-spice-export-" + std::to_string(getpid()));
  fs::create_directories(dir);
  host.chosen = (dir / "choke.lib").string();
  Trigger("ExportSpiceMnu");
  EXPECT_EQ(host.suggested, "QN_80115_KX.lib");
  std::ifstream in(*host.chosen);
  std::stringstream written;
  written << in.rdbuf();
  EXPECT_EQ(written.str(), analysis::SpiceSubcircuit(window->model().window).text);
  EXPECT_EQ(window->statusBar()->currentMessage().toStdString(),
            "SPICE model of QN-80115-KX written to " + *host.chosen);
  EXPECT_TRUE(host.titles.empty());

  host.chosen = (dir / "missing" / "choke.lib").string();
  Trigger("ExportSpiceMnu");
  ASSERT_EQ(host.titles, std::vector<std::string>{"Export SPICE Model"});
  EXPECT_EQ(host.texts.back().rfind("Could not write " + *host.chosen + ":\r", 0), 0u) << host.texts.back();

  // Nothing designed: said before any dialog, the last file left alone.
  host.titles.clear();
  host.suggested.clear();
  Design(DesignModeOption::Impedance, "100000", "50");
  host.titles.clear();
  Trigger("ExportSpiceMnu");
  EXPECT_EQ(host.titles, std::vector<std::string>{"Export SPICE Model"});
  EXPECT_EQ(host.suggested, "");
  std::ifstream again(dir / "choke.lib");
  std::stringstream kept;
  kept << again.rdbuf();
  EXPECT_EQ(kept.str(), written.str());
  fs::remove_all(dir);
}

TEST_F(AnalysisWindows, ExportWritesDecimalPointsUnderACommaLocale) {
  // The window runs under the user's locale; a simulator reads "0,99" as two tokens.
  const std::string before = std::setlocale(LC_NUMERIC, nullptr);
  if (!std::setlocale(LC_NUMERIC, "fr_FR.UTF-8"))
    GTEST_SKIP() << "no fr_FR.UTF-8 locale (scripts/install-deps)";
  const fs::path file = fs::temp_directory_path() / ("vtq-comma-" + std::to_string(getpid()) + ".lib");
  host.chosen = file.string();
  Trigger("ExportSpiceMnu");
  std::setlocale(LC_NUMERIC, before.c_str());
  std::ifstream in(file);
  std::stringstream written;
  written << in.rdbuf();
  fs::remove(file);
  EXPECT_NE(written.str().find("\nK1 L1 L2 0."), std::string::npos) << written.str();
  EXPECT_FALSE(std::regex_search(written.str(), std::regex("[0-9],[0-9]"))) << written.str();
}

}  // namespace
}  // namespace vtq::qt

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
