// The analysis windows on the design window, offscreen: what the widgets add to the
// model's views (sorting by number, applying a core, following edits, a saved picture).
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSet>
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
#include "ui/qt/library_window.h"
#include "ui/qt/main_window.h"
#include "ui/qt/safety_window.h"

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
  void ShowLibrary(const LibraryWindowView& view, bool raise) override {
    qt::ShowLibrary(window, view, raise);
  }
  void ShowSafety(const SafetyWindowView& view, bool raise) override { qt::ShowSafety(window, view, raise); }
  std::string WritePlotPicture(const PlotPicture& picture, const std::string& path,
                               PictureFormat format) override {
    return qt::WritePlotPicture(picture, path, format);
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

// The emissions window asks again for an entry that is no value, follows the inputs; its
// Find Core shows the core the search names, whose check passes, and Apply Core applies it.
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
  EXPECT_EQ(window.findChild<QLineEdit*>(QStringLiteral("MainInput"))->text(), "1");  // as typed
  EXPECT_TRUE(m.emissions.check.passes) << m.emissions.verdict;
  QTest::mouseClick(Child<QPushButton>("EmissionsApplyCore"), Qt::LeftButton);
  EXPECT_EQ(m.window.state.DesignCore, *m.coreSearch.apply->core);
  EXPECT_FALSE(Child<QPushButton>("EmissionsApplyCore")->isEnabled());
  EXPECT_EQ(Child<QLabel>("EmissionsCaption")->text().toStdString(), m.emissions.verdict);
  EXPECT_EQ(Child<QTableWidget>("EmissionsTried")->rowCount(), static_cast<int>(m.coreSearch.rows.size()));
  // The impedance window's second panel: the insertion loss of the same choke.
  Trigger("mnuImpedance");
  EXPECT_EQ(Child<ImpedancePlot>("InsertionLossPlot")->view().title, m.impedance.insertionLoss.title);
  EXPECT_EQ(Child<ImpedancePlot>("InsertionLossPlot")->view().traces.size(), 4u);
}

// A desktop font larger than the window's own (a platform theme sets it) on a screen
// smaller than the views: each view opens on the screen, its plots wide enough for every
// name in their legends, and what the screen cannot hold is scrolled to.
TEST_F(AnalysisWindows, ViewsFitALargeFontAndASmallScreen) {
  const QFont before = QApplication::font();
  QFont large = before;
  large.setPointSize(15);
  QApplication::setFont(large);
  for (const char* view : {"mnuImpedance", "mnuEmissions", "ViewMnu"}) Trigger(view);
  QApplication::processEvents();
  const QRect screen = window.screen()->availableGeometry();
  for (const char* name : {"ImpedanceWindow", "EmissionsWindow", "CompareWindow"}) {
    auto* view = Child<QWidget>(name);
    EXPECT_TRUE(screen.contains(view->frameGeometry())) << name;
  }
  int scrolled = 0;
  for (auto* widget : window.findChildren<QWidget*>()) {
    auto* plot = dynamic_cast<ImpedancePlot*>(widget);  // not a QObject type of its own
    if (!plot) continue;
    EXPECT_GE(plot->width(), PlotTextWidth(plot->view(), plot->font())) << plot->view().title;
    auto* scroll =
        dynamic_cast<QScrollArea*>(plot->window()->findChild<QWidget*>(QStringLiteral("ContentScroll")));
    scrolled += scroll->horizontalScrollBar()->maximum() > 0;
  }
  EXPECT_GT(scrolled, 0);  // 800 by 600 pixels cannot hold a plot whose legend is this wide
  QTableView* table = Child<CompareWindow>("CompareWindow")->table();
  EXPECT_GT(table->horizontalScrollBar()->maximum(), 0);  // the last columns scroll into view
  QApplication::setFont(before);

  // The design window itself, on a screen that cannot hold its fixed layout.
  const QSize room = window.size() / 2;
  window.FitInto(room);
  EXPECT_TRUE(window.width() <= room.width() && window.height() <= room.height());
  auto* scroll = Child<QScrollArea>("clientScroll");
  ASSERT_TRUE(scroll);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  auto* print = Child<QWidget>("PrintButton");  // at the bottom right of the layout
  scroll->ensureWidgetVisible(print);
  EXPECT_TRUE(
      scroll->viewport()->rect().contains(QRect(print->mapTo(scroll->viewport(), QPoint()), print->size())));
}

// The library sorts by the number behind a size, searches as the user types, and Enter on a
// ring designs on it: the impedance window then shows that ring.
TEST_F(AnalysisWindows, CoreLibrarySortsSearchesAndPicks) {
  Trigger("mnuImpedance");
  Trigger("mnuLibrary");
  auto* w = Child<LibraryWindow>("LibraryWindow");
  ASSERT_TRUE(w && w->isVisible());
  QTableView* table = w->table();
  const int all = table->model()->rowCount();
  ASSERT_GT(all, 300);
  table->sortByColumn(3, Qt::DescendingOrder);  // OD: 202 mm before 9.5 mm, whatever the digits
  double before = 1e9;
  for (int r = 0; r < all; ++r) {
    const double od = table->model()->index(r, 3).data().toString().toDouble();
    EXPECT_LE(od, before) << r;
    before = od;
  }
  QTest::keyClicks(Child<QLineEdit>("LibrarySearch"), "B64290L0618X830");
  ASSERT_EQ(table->model()->rowCount(), 1);
  table->setCurrentIndex(table->model()->index(0, 0));
  QTest::keyClick(table, Qt::Key_Return);
  EXPECT_TRUE(Child<QLabel>("LibraryDesign")->text().contains("B64290L0618X830"))
      << Child<QLabel>("LibraryDesign")->text().toStdString();
  EXPECT_EQ(window.model().impedance.part, "B64290L0618X830");
  QTest::mouseClick(Child<QPushButton>("LibraryUnpick"), Qt::LeftButton);
  EXPECT_EQ(window.model().impedance.part, window.model().window.outputs.txtPN);
  EXPECT_FALSE(Child<QPushButton>("LibraryUnpick")->isEnabled());
}

// The safety window works out the gaps as the mains are typed, winds three phases when the
// windings list says so, and offers Save... only when there is something to save.
TEST_F(AnalysisWindows, SafetyFollowsItsInputs) {
  Trigger("mnuSafety");
  auto* w = Child<SafetyWindow>("SafetyWindow");
  ASSERT_TRUE(w && w->isVisible());
  auto* gaps = Child<QTableWidget>("SafetyGaps");
  auto* save = Child<QPushButton>("SafetySave");
  EXPECT_TRUE(Child<QLabel>("SafetyProblem")->isVisibleTo(w));
  EXPECT_FALSE(save->isEnabled());
  QTest::keyClicks(Child<QLineEdit>("SafetyMainsVoltage"), "230");
  EXPECT_EQ(window.model().safetyEntry.mainsVoltage, "230");
  EXPECT_EQ(gaps->rowCount(), 2);
  EXPECT_TRUE(save->isEnabled());
  auto* windings = Child<QComboBox>("SafetyWindings");
  windings->setCurrentIndex(1);
  emit windings->activated(1);
  EXPECT_EQ(window.model().safetyEntry.windings, 3);
  EXPECT_EQ(gaps->rowCount(), static_cast<int>(window.model().safetyView.gaps.size()));
  EXPECT_GE(gaps->rowCount(), 3);
  EXPECT_FALSE(Child<QLabel>("SafetyProblem")->isVisibleTo(w));
  QTest::keyClicks(Child<QLineEdit>("SafetyDivider"), "1");  // no unit: refused, said
  EXPECT_TRUE(Child<QLabel>("SafetyProblem")->text().startsWith(QStringLiteral("Divider: '1'")));
  EXPECT_EQ(gaps->rowCount(), 0);
  EXPECT_FALSE(save->isEnabled());
}

// By keyboard and screen reader: every Alt key of the emissions window opens one thing,
// each list is announced by its label, the plots and tables by what they are, and the core
// list takes the keyboard when it opens.
TEST_F(AnalysisWindows, KeyboardAndScreenReader) {
  Trigger("mnuEmissions");
  auto* w = Child<EmissionsWindow>("EmissionsWindow");
  QStringList keys;
  for (auto* label : w->findChildren<QLabel*>()) keys << label->text();
  for (auto* button : w->findChildren<QAbstractButton*>()) keys << button->text();
  QSet<QChar> seen;
  for (const QString& text : keys) {
    const qsizetype amp = text.indexOf(QLatin1Char('&'));
    if (amp < 0 || amp + 1 >= text.size()) continue;
    const QChar key = text[amp + 1].toLower();
    EXPECT_FALSE(seen.contains(key)) << "Alt+" << QString(key).toStdString()
                                     << " twice: " << text.toStdString();
    seen.insert(key);
  }
  EXPECT_GE(seen.size(), 14);
  for (const char* name : {"EmissionsStandard", "EmissionsNetwork", "EmissionsRippleShape", "EmissionsSwing"})
    EXPECT_FALSE(Child<QWidget>(name)->accessibleName().isEmpty()) << name;
  EXPECT_EQ(Child<QWidget>("EmissionsStandard")->accessibleName(), "Limits");
  Trigger("ViewMnu");
  for (const char* name : {"EmissionsPlot", "EmissionsTried", "CompareTable", "lstCores"})
    EXPECT_FALSE(Child<QWidget>(name)->accessibleName().isEmpty()) << name;
  QTest::mouseClick(Child<QPushButton>("cmdSelCore"), Qt::LeftButton);
  EXPECT_FALSE(Child<QWidget>("lstCores")->isHidden());
  EXPECT_EQ(window.focusWidget(), Child<QWidget>("lstCores"));
}

}  // namespace
}  // namespace vtq::qt

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
