// The analysis windows on the design window, offscreen: what the widgets add to the
// model's views (sorting by number, applying a core, following edits, a saved picture).
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include "support/scratch.h"
#include "support/scripted_host.h"
#include "ui/qt/analysis_actions.h"
#include "ui/qt/compare_window.h"
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
  std::string WritePlotPicture(const ImpedanceView& view, const std::string& path,
                               PictureFormat format) override {
    return qt::WritePlotPicture(view, path, format);
  }
};

class AnalysisWindows : public ::testing::Test {
 protected:
  void SetUp() override {
    window = std::make_unique<MainWindow>(host);
    host.window = window.get();
    InstallAnalysis(*window);
    window->Load(".");
    host.Clear();
  }
  void TearDown() override { EXPECT_TRUE(host.messages.empty()) << host.messages.front().title; }
  void Trigger(const char* name) {
    auto* action = window->findChild<QAction*>(QString::fromLatin1(name));
    ASSERT_NE(action, nullptr) << name;
    action->trigger();
    QApplication::processEvents();
  }
  void Design(const char* main, const char* current) {
    window->Run([&] {
      WindowModel& m = window->model();
      m.window.state.Loading = 1;
      m.SelectMode(DesignModeOption::Impedance);
      m.window.state.Loading = 0;
      m.inputs().MainInput = main;
      m.inputs().Current = current;
      m.CalculateButton_Click();
    });
    QApplication::processEvents();
  }
  template <typename T>
  T* Child(const char* name) const {
    return dynamic_cast<T*>(window->findChild<QWidget*>(QString::fromLatin1(name)));
  }

  Host host;
  std::unique_ptr<MainWindow> window;
};

TEST_F(AnalysisWindows, CoreTableSortsByNumberAndAppliesACore) {
  Design("100", "2");
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
  ASSERT_EQ(c->RowAt(12), 12);
  emit table->doubleClicked(table->model()->index(12, 3));
  QApplication::processEvents();
  EXPECT_EQ(window->model().window.state.DesignCore, 12);
  EXPECT_EQ(host.TakeMessageTitles(), std::vector<std::string>{"Core ID Too Small"});
  // Enter on a selected line applies that core too.
  table->setCurrentIndex(table->model()->index(0, 0));  // row 24, sorted last to first
  QTest::keyClick(table, Qt::Key_Return);
  QApplication::processEvents();
  EXPECT_EQ(window->model().window.state.DesignCore, 24);
}

TEST_F(AnalysisWindows, FollowTheInputsAndTheDesign) {
  Trigger("ViewMnu");
  Trigger("mnuImpedance");
  Design("1000", "5");
  EXPECT_NEAR(Child<ImpedanceWindow>("ImpedanceWindow")->plot()->view().curve.parameters.inductance, 15.94e-3,
              1e-5);
  // An edit as the user makes it, which the checks would refuse: the table says so.
  auto* current = window->findChild<QLineEdit*>(QStringLiteral("Current"));
  current->selectAll();
  current->insert(QStringLiteral("5 A"));
  QApplication::processEvents();
  EXPECT_EQ(Child<CompareWindow>("CompareWindow")->note()->text(), "Current field requires a numeric entry.");
}

TEST_F(AnalysisWindows, SavedPictureIsDarkOnWhiteUnderADarkPalette) {
  const QPalette before = QApplication::palette();
  QPalette dark = before;
  dark.setColor(QPalette::Base, Qt::black);
  dark.setColor(QPalette::Window, Qt::black);
  dark.setColor(QPalette::Text, Qt::white);
  dark.setColor(QPalette::WindowText, Qt::white);
  QApplication::setPalette(dark);
  const test::ScratchFolder dir;
  host.paths = {dir / "plot.png"};
  Trigger("mnuImpedance");
  QTest::mouseClick(Child<QPushButton>("ImpedanceSave"), Qt::LeftButton);
  QApplication::setPalette(before);
  const QImage image(QString::fromStdString(dir / "plot.png"));
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(image.pixel(0, 0), qRgb(255, 255, 255));
  // The title's letters in its first lines: dark, not the palette's white.
  int darkest = 255;
  for (int y = 0; y < 24; ++y) {
    for (int x = 0; x < 300; ++x) darkest = std::min(darkest, qGray(image.pixel(x, y)));
  }
  EXPECT_LT(darkest, 80);
}

}  // namespace
}  // namespace vtq::qt

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
