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
#include <regex>

#include "analysis/spice.h"
#include "support/scratch.h"
#include "support/scripted_host.h"
#include "ui/qt/analysis_actions.h"
#include "ui/qt/compare_window.h"
#include "ui/qt/impedance_plot.h"
#include "ui/qt/main_window.h"

namespace vtq::qt {
namespace {

class AnalysisWindows : public ::testing::Test {
 protected:
  void SetUp() override {
    window = std::make_unique<MainWindow>(host);
    actions = new AnalysisActions(*window, host);
    window->Load(".");
    host.Clear();
  }
  void TearDown() override {
    EXPECT_TRUE(host.prompts.empty());
    EXPECT_TRUE(host.messages.empty()) << host.messages.front().title;
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

  test::ScriptedHost host;
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
  EXPECT_EQ(host.TakeMessageTitles(), std::vector<std::string>{"Core ID Too Small"});

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
}

TEST_F(AnalysisWindows, ExportSpiceModel) {
  const test::ScratchFolder dir;
  const std::string file = dir / "choke.lib", unwritable = dir / "missing/choke.lib";
  host.paths = {file, unwritable};
  Trigger("ExportSpiceMnu");
  ASSERT_EQ(host.dialogs.size(), 1u);
  EXPECT_EQ(host.dialogs[0].settings.FileName, "QN_80115_KX.lib");
  const std::string written = test::Contents(file);
  EXPECT_EQ(written, analysis::SpiceSubcircuit(window->model().window).text);
  EXPECT_EQ(window->statusBar()->currentMessage().toStdString(),
            "SPICE model of QN-80115-KX written to " + file);

  Trigger("ExportSpiceMnu");
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_TRUE(host.messages[0].text.starts_with("Could not write " + unwritable + ":\r"))
      << host.messages[0].text;
  EXPECT_EQ(host.TakeMessageTitles(), std::vector<std::string>{"Export SPICE Model"});

  // Nothing designed: said before any dialog, the last file left alone.
  Design(DesignModeOption::Impedance, "100000", "50");
  host.Clear();
  Trigger("ExportSpiceMnu");
  EXPECT_EQ(host.TakeMessageTitles(), std::vector<std::string>{"Export SPICE Model"});
  EXPECT_EQ(host.dialogs.size(), 2u);
  EXPECT_EQ(test::Contents(file), written);
}

TEST_F(AnalysisWindows, ExportWritesDecimalPointsUnderACommaLocale) {
  // The window runs under the user's locale; a simulator reads "0,99" as two tokens.
  const std::string before = std::setlocale(LC_NUMERIC, nullptr);
  if (!std::setlocale(LC_NUMERIC, "fr_FR.UTF-8"))
    GTEST_SKIP() << "no fr_FR.UTF-8 locale (scripts/install-deps)";
  const test::ScratchFolder dir;
  const std::string file = dir / "comma.lib";
  host.paths = {file};
  Trigger("ExportSpiceMnu");
  std::setlocale(LC_NUMERIC, before.c_str());
  const std::string written = test::Contents(file);
  EXPECT_NE(written.find("\nR1 in1 a1 0."), std::string::npos) << written;
  EXPECT_FALSE(std::regex_search(written, std::regex("[0-9],[0-9]"))) << written;
}

}  // namespace
}  // namespace vtq::qt

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
