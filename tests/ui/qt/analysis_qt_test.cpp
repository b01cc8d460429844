// The analysis windows on the design window, offscreen: what the widgets add to the
// model's views (sorting by number, applying a core, following edits, a saved picture).
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTableView>
#include <QTableWidget>
#include <QTest>

#include "support/scratch.h"
#include "support/scripted_host.h"
#include "ui/qt/analysis_actions.h"
#include "ui/qt/compare_window.h"
#include "ui/qt/emissions_window.h"
#include "ui/qt/impedance_plot.h"
#include "ui/qt/main_window.h"

namespace vtq::qt {
namespace {

// Scripted dialogs, the real analysis windows.
struct Host : test::ScriptedHost {
  MainWindow* window = nullptr;
  void ShowCoreTable(const CoreTableView& view, bool raise) override {
    qt::ShowCoreTable(window, view, raise);
  }
  void ShowImpedance(const ImpedanceView& view, bool raise) override {
    qt::ShowImpedance(window, view, raise);
  }
  void ShowEmissions(const EmissionsView& view, const CoreSearchView& search, bool raise) override {
    qt::ShowEmissions(window, view, search, raise);
  }
  std::string WritePlotPicture(const Plot& view, const std::string& path, PictureFormat format) override {
    return qt::WritePlotPicture(view, path, format);
  }
};

class AnalysisWindows : public ::testing::Test {
 protected:
  void SetUp() override {
    host.window = &window;
    InstallAnalysis(window);
    window.Load(".");
    host.Clear();
  }
  void TearDown() override { EXPECT_TRUE(host.messages.empty()) << host.messages.front().title; }
  void Trigger(const char* name) { window.findChild<QAction*>(QString::fromLatin1(name))->trigger(); }
  template <typename T>
  T* Child(const char* name) const {
    return dynamic_cast<T*>(window.findChild<QWidget*>(QString::fromLatin1(name)));
  }

  Host host;
  MainWindow window{host};
};

TEST_F(AnalysisWindows, CoreTableSortsByNumberAndAppliesACore) {
  const DesignEntry design{DesignModeOption::Impedance, "100", "2"};
  window.Run([&] { window.model().ApplyDesign(design); });
  Trigger("ViewMnu");
  auto* c = Child<CompareWindow>("CompareWindow");
  ASSERT_TRUE(c && c->isVisible());
  QTableView* table = c->table();
  // Turns run from 12 to 33: as texts "9" would sort after "33".
  table->sortByColumn(2, Qt::AscendingOrder);
  std::vector<int> turns;
  for (int r = 0; r < table->model()->rowCount(); ++r)
    turns.push_back(table->model()->index(r, 2).data().toInt());
  ASSERT_EQ(turns.size(), 24u);
  EXPECT_TRUE(std::is_sorted(turns.begin(), turns.end()));
  EXPECT_NE(turns.front(), turns.back());

  table->sortByColumn(0, Qt::DescendingOrder);  // row 12 is now the 13th line
  emit table->doubleClicked(table->model()->index(12, 3));
  QApplication::processEvents();  // the table follows the applied core
  EXPECT_EQ(window.model().window.state.DesignCore, 12);
  EXPECT_EQ(host.TakeMessageTitles(), std::vector<std::string>{"Core ID Too Small"});
  // Enter on a selected line applies that core too: row 24, sorted last to first.
  table->setCurrentIndex(table->model()->index(0, 0));
  QTest::keyClick(table, Qt::Key_Return);
  EXPECT_EQ(window.model().window.state.DesignCore, 24);
}

// The windows follow an edit as the user makes it; a picture saved under a dark desktop
// palette is still dark on white.
TEST_F(AnalysisWindows, FollowEditsAndSaveDarkOnWhite) {
  Trigger("ViewMnu");
  Trigger("mnuImpedance");
  auto* current = window.findChild<QLineEdit*>(QStringLiteral("Current"));
  current->selectAll();
  current->insert(QStringLiteral("5 A"));
  QApplication::processEvents();
  EXPECT_EQ(Child<CompareWindow>("CompareWindow")->note()->text(), "Current field requires a numeric entry.");

  const QPalette before = QApplication::palette();
  QApplication::setPalette(QPalette(Qt::black, Qt::black));  // white text on black
  const test::ScratchFolder dir;
  host.paths = {dir / "plot.png"};
  QTest::mouseClick(Child<QPushButton>("ImpedanceSave"), Qt::LeftButton);
  QApplication::setPalette(before);
  EXPECT_EQ(window.statusBar()->currentMessage().toStdString(), window.model().FileStatus);
  const QImage image(QString::fromStdString(dir / "plot.png"));
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(image.pixel(0, 0), qRgb(255, 255, 255));
  // The title's letters along the top: dark, not the palette's white.
  int darkest = 255;
  for (int y = 0; y < 24; ++y) {
    for (int x = 0; x < 300; ++x) darkest = std::min(darkest, qGray(image.pixel(x, y)));
  }
  EXPECT_LT(darkest, 80);
}

// The emissions window asks again for an entry that is no value, follows the inputs, and
// its Find Core applies the core the search names, whose check then passes.
TEST_F(AnalysisWindows, EmissionsFollowInputsAndFindCoreApplies) {
  Trigger("mnuEmissions");
  auto* w = Child<EmissionsWindow>("EmissionsWindow");
  ASSERT_TRUE(w && w->isVisible());
  auto* swing = Child<QLineEdit>("EmissionsSwing");
  EXPECT_EQ(swing->text(), "325");
  EXPECT_FALSE(w->plot()->view().traces.empty());
  QTest::keyClicks(swing, QStringLiteral("x"));
  EXPECT_TRUE(Child<QLabel>("EmissionsProblem")->text().startsWith("Switched voltage: '325x'"));
  EXPECT_FALSE(Child<QPushButton>("EmissionsSave")->isEnabled());
  QTest::keyClick(swing, Qt::Key_Backspace);
  EXPECT_TRUE(Child<QPushButton>("EmissionsSave")->isEnabled());

  QTest::mouseClick(Child<QPushButton>("EmissionsFindCore"), Qt::LeftButton);
  QApplication::processEvents();
  const WindowModel& m = window.model();
  ASSERT_TRUE(m.coreSearch.apply) << m.coreSearch.summary;
  EXPECT_EQ(m.window.state.DesignCore, *m.coreSearch.apply->core);
  EXPECT_TRUE(m.emissions.check.passes) << m.emissions.verdict;
  EXPECT_EQ(Child<QLabel>("EmissionsCaption")->text().toStdString(), m.emissions.verdict);
  EXPECT_EQ(Child<QTableWidget>("EmissionsTried")->rowCount(), static_cast<int>(m.coreSearch.rows.size()));
  // The impedance window's second panel: the insertion loss of the same choke.
  Trigger("mnuImpedance");
  EXPECT_EQ(Child<ImpedancePlot>("InsertionLossPlot")->view().title, m.impedance.insertionLoss.title);
  EXPECT_EQ(Child<ImpedancePlot>("InsertionLossPlot")->view().traces.size(), 4u);
}

}  // namespace
}  // namespace vtq::qt

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
