// The widgets' wiring, offscreen: names, places and looks of the controls, clicks and
// keys reaching the model, the view following it, and the desktop host's dialogs. A
// watchdog fails a test on any modal dialog the test did not expect, instead of hanging.
#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFontInfo>
#include <QGroupBox>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <deque>
#include <functional>

#include "scripted_host.h"
#include "ui/qt/appearance.h"
#include "ui/qt/help_window.h"
#include "ui/qt/main_window.h"
#include "ui/qt/qt_host.h"

using vtq::qt::MainWindow;
using vtq::test::ScriptedHost;

class MainWindowTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<ScriptedHost> host_;
  std::unique_ptr<MainWindow> window_;
  QTimer watchdog_;
  std::deque<std::function<void(QWidget*)>> expectedModals_;
  QStringList unexpectedModals_;

  template <typename T>
  T* Find(const char* name) {
    T* w = window_->findChild<T*>(QString::fromLatin1(name));
    if (!w) qWarning("no control %s", name);
    return w;
  }
  QString Text(const char* box) { return Find<QLineEdit>(box)->text(); }
  void Click(const char* button) {
    auto* b = Find<QAbstractButton>(button);
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(8, b->height() / 2));
  }
  void Type(const char* box, const QString& text) {
    auto* edit = Find<QLineEdit>(box);
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, text);
  }
  // The next real modal dialog is handed to check, which must close it.
  void ExpectModal(std::function<void(QWidget*)> check) { expectedModals_.push_back(std::move(check)); }

 private slots:
  void initTestCase() {
    QVERIFY2(vtq::qt::LoadWindowFonts(), "the window's font family is not installed");
    QApplication::setFont(vtq::qt::WindowFont());
    watchdog_.setInterval(20);
    QObject::connect(&watchdog_, &QTimer::timeout, [this] {
      QWidget* modal = QApplication::activeModalWidget();
      if (!modal) return;
      if (!expectedModals_.empty()) {
        auto check = std::move(expectedModals_.front());
        expectedModals_.pop_front();
        check(modal);
        return;
      }
      unexpectedModals_ << modal->windowTitle();
      modal->close();
    });
    watchdog_.start();
  }

  void init() {
    host_ = std::make_unique<ScriptedHost>();
    window_ = std::make_unique<MainWindow>(*host_);
    host_->onShow = [this] { window_->show(); };
    window_->Load(".");
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    QCOMPARE(host_->TakeMessageTitles(), std::vector<std::string>{"***  KESTRALON Disclaimer  ***"});
    host_->events.clear();
  }

  void cleanup() {
    window_.reset();
    QVERIFY2(unexpectedModals_.isEmpty(),
             qPrintable("unexpected modal dialog: " + unexpectedModals_.join(", ")));
    QVERIFY2(host_->unexpected.empty(), host_->unexpected.empty() ? "" : host_->unexpected.front().c_str());
    QVERIFY2(
        host_->messages.empty(),
        host_->messages.empty() ? "" : ("unchecked message box: " + host_->messages.front().title).c_str());
    expectedModals_.clear();
  }

  void startUpOrderAndFirstDesign() {
    ScriptedHost host;
    MainWindow window(host);
    host.onShow = [&] { window.show(); };
    window.Load("/opt/vtq");
    QCOMPARE(host.events,
             (std::vector<std::string>{"show", "beep", "msgbox ***  KESTRALON Disclaimer  ***"}));
    QVERIFY(window.isVisible());
    QCOMPARE(window.findChild<QLineEdit*>("txtPN")->text(), QStringLiteral("QN-80115-KX"));
    QCOMPARE(window.findChild<QLineEdit*>("SecondInput")->text(), QStringLiteral("10000"));
    QVERIFY(!window.findChild<QLineEdit*>("SecondInput")->isEnabled());
    QVERIFY(window.findChild<QListWidget*>("lstCores")->isHidden());
    QVERIFY(window.findChild<QRadioButton*>("InductanceInput")->isChecked());
    QVERIFY(window.findChild<QRadioButton*>("Nmat")->isChecked());
    QVERIFY(window.findChild<QRadioButton*>("English")->isChecked());
    host.messages.clear();
  }

  void disclaimerShowsOverTheVisibleWindowBeforeTheDesign() {
    // The desktop host refreshes the view before each modal: while the disclaimer is
    // open the window is on screen with empty outputs.
    vtq::qt::QtHost host;
    MainWindow window(host);
    host.SetWindow(&window);
    bool visible = false;
    QString pn = QStringLiteral("never");
    ExpectModal([&](QWidget* box) {
      visible = window.isVisible();
      pn = window.findChild<QLineEdit*>("txtPN")->text();
      QCOMPARE(box->windowTitle(), QStringLiteral("***  KESTRALON Disclaimer  ***"));
      box->close();
    });
    window.Load(".");
    QVERIFY(visible);
    QCOMPARE(pn, QString());
    QCOMPARE(window.findChild<QLineEdit*>("txtPN")->text(), QStringLiteral("QN-80115-KX"));
  }

  void controlsHaveTheirNamesCaptionsAndPlaces() {
    struct Control {
      const char* name;
      const char* caption;
      QRect place;  // pixels, in the parent
    };
    const Control controls[] = {
        {"lblTitle", "Kestralon Common Mode Inductor Design", {16, 16, 401, 97}},
        {"Frame1", "Ferrite Material", {8, 112, 137, 145}},
        {"frmCore", "Core Data", {8, 400, 681, 57}},
        {"CalculateButton", "&Calculate", {200, 296, 89, 25}},
        {"cmdSelCore", "&Select Core from List", {448, 368, 137, 25}},
        {"lblCD", "Current Density (A/sq cm)", {8, 96, 97, 33}},
        {"Label34", "AL value (mH/1000T)", {392, 16, 73, 33}},
        {"txtWoundHt", "", {264, 216, 73, 19}},
        {"lstCores", "", {424, 368, 189, 95}},
    };
    for (const auto& c : controls) {
      QWidget* w = Find<QWidget>(c.name);
      QVERIFY2(w, c.name);
      QCOMPARE(w->geometry(), c.place);
      QString caption;
      if (auto* l = qobject_cast<QLabel*>(w)) caption = l->text();
      if (auto* b = qobject_cast<QAbstractButton*>(w)) caption = b->text();
      if (auto* g = qobject_cast<QGroupBox*>(w)) caption = g->title();
      QCOMPARE(caption, QString::fromUtf8(c.caption));
    }
    QCOMPARE(window_->centralWidget()->size(), QSize(697, 462));
    QCOMPARE(window_->windowTitle(), QStringLiteral("KESTRALON Common Mode Filter Inductor Design"));
    QCOMPARE(Find<QRadioButton>("Smat")->text(), QString::fromUtf8("S  10000\u00b5"));
    QCOMPARE(Find<QLabel>("lblFrequency")->toolTip(),
             QStringLiteral("Target 'Cut-Off' frequency of CMN filter"));
    QCOMPARE(Find<QGroupBox>("Frame1")->toolTip(), QStringLiteral("Select the Ferrite Material to be used"));
    QCOMPARE(Find<QRadioButton>("Metric")->toolTip(), QStringLiteral("Click to change to Metric dimensions"));
    QVERIFY(Find<QPushButton>("CalculateButton")->isDefault());
    QVERIFY(!window_->windowIcon().isNull());

    // Every output box is read-only and light grey; every input box editable and white.
    for (const auto& box : vtq::kOutputBoxFields) {
      if (box.name == "IndLabel") continue;  // the label whose caption the calculation sets
      auto* edit = window_->findChild<QLineEdit*>(QString::fromUtf8(box.name.data(), box.name.size()));
      QVERIFY2(edit, box.name.data());
      QVERIFY(edit->isReadOnly());
      QCOMPARE(edit->palette().color(QPalette::Base), QColor(0xE0, 0xE0, 0xE0));
    }
    for (const char* name : {"MainInput", "Current", "txtCD", "SecondInput"}) {
      QVERIFY(!Find<QLineEdit>(name)->isReadOnly());
      QCOMPARE(Find<QLineEdit>(name)->palette().color(QPalette::Base), QColor(Qt::white));
    }

    const QFontInfo font(Find<QLabel>("lblCurrent")->font());
    QCOMPARE(font.family(), vtq::qt::kWindowFamily);
    QVERIFY(font.bold());
    QCOMPARE(Find<QLabel>("lblCurrent")->font().pointSizeF(), 8.25);
    QCOMPARE(Find<QLabel>("lblTitle")->font().pointSizeF(), 26.25);
  }

  void menusCarryTheirCaptionsAccessKeysAndShortcuts() {
    struct Item {
      const char* name;
      const char* caption;
      QKeySequence shortcut;
    };
    const Item items[] = {
        {"LoadMnu", "Open Design...", QKeySequence(QStringLiteral("Ctrl+O"))},
        {"SaveDesignMnu", "Save &Design...", {}},
        {"DesignMnu", "&Design", {}},
        {"TableMnu", "&Table of Cores", {}},
        {"ExitMnu", "E&xit", QKeySequence(QStringLiteral("Alt+F4"))},
        {"ViewMnu", "Core &Table", {}},
        {"mnuContents", "Contents", QKeySequence(QStringLiteral("F1"))},
        {"mnuIndex", "&Index", {}},
        {"AboutMnu", "&About", {}},
        {"mnuContact", "Contact &Us", {}},
    };
    for (const auto& i : items) {
      auto* a = Find<QAction>(i.name);
      QVERIFY2(a, i.name);
      QCOMPARE(a->text(), QString::fromLatin1(i.caption));
      QCOMPARE(a->shortcut(), i.shortcut);
    }
    QCOMPARE(window_->Menu("FileMnu")->title(), QStringLiteral("&File"));
    QCOMPARE(window_->Menu("PrintMnu")->title(), QStringLiteral("&Print"));
    QCOMPARE(window_->Menu("mnuView")->title(), QStringLiteral("&View"));
    QCOMPARE(window_->Menu("HelpMnu")->title(), QStringLiteral("&Help"));
    QVERIFY(Find<QAction>("mnuSep1")->isSeparator());
    QVERIFY(Find<QAction>("mnuSep3")->isSeparator());
    // Commands of the design files and printing stay greyed out until connected.
    QVERIFY(!Find<QAction>("LoadMnu")->isEnabled());
    QVERIFY(!Find<QPushButton>("PrintButton")->isEnabled());
    Find<QAction>("ViewMnu")->trigger();  // carries no command
    QVERIFY(host_->events.empty());
  }

  void connectedCommandsRunThroughTheWindow() {
    int printed = 0;
    QVERIFY(window_->Connect("PrintButton", [&] {
      ++printed;
      window_->model().outputs().txtPN = "printed";
    }));
    QVERIFY(window_->Connect("DesignMnu", [&] { ++printed; }));
    QVERIFY(!window_->Connect("NoSuchControl", [] {}));
    Click("PrintButton");
    Find<QAction>("DesignMnu")->trigger();
    QCOMPARE(printed, 2);
    QCOMPARE(Text("txtPN"), QStringLiteral("printed"));  // the view follows the handler
  }

  void tabOrderStartsWithTheButtonsThenOptionsThenInputs() {
    const char* order[] = {"CalculateButton",
                           "ExitButton",
                           "PrintButton",
                           "VoltageInput",
                           "ImpedanceInput",
                           "InductanceInput",
                           "Dmat",
                           "Pmat",
                           "Nmat",
                           "Smat",
                           "Rmat",
                           "MainInput",
                           "Current",
                           "txtCD",
                           "SecondInput"};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i) {
      QCOMPARE(Find<QWidget>(order[i])->nextInFocusChain(), Find<QWidget>(order[i + 1]));
    }
  }

  void modeClicksChangeLabelsDefaultsAndDesign() {
    Click("VoltageInput");
    QCOMPARE(Find<QLabel>("lblMainInput")->text(), QStringLiteral("Voltage (Vrms)"));
    QCOMPARE(Find<QLabel>("lblMainInput")->toolTip(), QStringLiteral("Line Input Voltage"));
    QCOMPARE(Text("MainInput"), QStringLiteral("117"));
    QVERIFY(Find<QLineEdit>("SecondInput")->isEnabled());
    QCOMPARE(window_->model().state().DesignMode, vtq::Integer{1});
    QCOMPARE(Text("txtPN"), QString::fromStdString(window_->model().outputs().txtPN));

    // Under the Loading flag (as Open uses it) a click changes labels only.
    window_->model().state().Loading = 1;
    Type("MainInput", QStringLiteral("33"));
    Click("ImpedanceInput");
    QCOMPARE(Find<QLabel>("lblMainInput")->text(), QStringLiteral("Impendance (Ohms)"));
    QCOMPARE(Text("MainInput"), QStringLiteral("33"));
    window_->model().state().Loading = 0;

    Click("InductanceInput");
    QCOMPARE(Text("MainInput"), QStringLiteral("1"));
    QVERIFY(!Find<QLineEdit>("SecondInput")->isEnabled());
  }

  void typedInputsAndEnterCalculateAsTheCommandLineDoes() {
    Type("Current", QStringLiteral("2"));
    QTest::keyClick(Find<QLineEdit>("Current"), Qt::Key_Return);
    QCOMPARE(Text("txtPN"), QStringLiteral("QN-80111-KX"));
    QCOMPARE(Text("Turns"), QStringLiteral("16"));
    QCOMPARE(Find<QLabel>("IndLabel")->text(), QString::fromUtf8("Inductance (\u00b5H)"));

    // The same inputs through a fresh model, as vtq-cli computes them.
    ScriptedHost host;
    vtq::WindowModel model(host);
    model.Form_Load(".");
    model.inputs().Current = "2";
    model.CalculateButton_Click();
    for (const auto& box : vtq::kOutputBoxFields) {
      if (box.name == "IndLabel") continue;
      auto* edit = window_->findChild<QLineEdit*>(QString::fromUtf8(box.name.data(), box.name.size()));
      QCOMPARE(edit->text(), QString::fromStdString(model.outputs().*box.text));
    }
    host.messages.clear();
  }

  void coreListFollowsTheMaterialAndPicksTheThirdEntry() {
    auto* list = Find<QListWidget>("lstCores");
    Click("cmdSelCore");
    QVERIFY(list->isVisible());
    QCOMPARE(list->count(), 24);
    QCOMPARE(list->item(0)->text(), QStringLiteral("QN-80101-KX (OD = 0.375)"));
    const QString pn = Text("txtPN");
    Click("Dmat");  // rebuilds the list, no design
    QCOMPARE(list->count(), 15);
    QCOMPARE(list->item(14)->text().left(11), QStringLiteral("QD-80115-KX"));
    QCOMPARE(Text("txtPN"), pn);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(2)).center());
    QVERIFY(list->isHidden());
    QCOMPARE(Text("txtPN"), QStringLiteral("QD-80103-KX"));
    QCOMPARE(window_->model().state().ListCore, vtq::Integer{3});
    host_->TakeMessageTitles();  // the wire is made thinner for so small a core
  }

  void enterInTheCoreListPicksWithoutCalculating() {
    Click("cmdSelCore");
    auto* list = Find<QListWidget>("lstCores");
    list->setFocus();
    list->setCurrentRow(3);
    QTest::keyClick(list, Qt::Key_Return);
    QVERIFY(list->isHidden());
    QCOMPARE(Text("txtPN"), QStringLiteral("QN-80104-KX"));
    host_->TakeMessageTitles();
  }

  void unitClicksRedisplayAndLeaveAListDesign() {
    Click("Metric");
    QCOMPARE(Text("OD"), QStringLiteral("29.0 mm"));
    QCOMPARE(Text("txtWoundOD").right(3), QStringLiteral(" mm"));
    Click("English");
    QCOMPARE(Text("OD"), QStringLiteral("1.142 in."));

    Click("cmdSelCore");
    QTest::mouseClick(
        Find<QListWidget>("lstCores")->viewport(), Qt::LeftButton, {},
        Find<QListWidget>("lstCores")->visualItemRect(Find<QListWidget>("lstCores")->item(19)).center());
    QCOMPARE(Text("txtPN"), QStringLiteral("QN-80120-KX"));
    Click("Metric");
    QCOMPARE(Text("txtPN"), QStringLiteral("QN-80115-KX"));
    host_->TakeMessageTitles();
  }

  void messagesMoveTheFocusAndStackedCoresMoveThePartNumber() {
    Type("MainInput", QStringLiteral("5"));
    Click("Rmat");
    QCOMPARE(host_->TakeMessageTitles(), std::vector<std::string>{"Warning"});
    QCOMPARE(host_->events.back(), std::string("focus Smat"));
    QCOMPARE(Text("AL"), QStringLiteral("0"));

    Click("Nmat");
    Click("ImpedanceInput");
    Type("MainInput", QStringLiteral("1000"));
    Click("CalculateButton");
    QCOMPARE(Text("txtPN"), QStringLiteral("(2x) QN-80124-KX"));
    QCOMPARE(Find<QLineEdit>("txtPN")->geometry().left(), vtq::qt::Px(1300));
    QCOMPARE(Find<QLineEdit>("txtPN")->width(), vtq::qt::Px(1955));

    Type("MainInput", QStringLiteral("100000"));
    Click("CalculateButton");
    QCOMPARE(host_->TakeMessageTitles(), std::vector<std::string>{"Warning"});
    QCOMPARE(Text("txtPN"), QStringLiteral("Too Large"));
    Type("MainInput", QStringLiteral("50"));
    Click("CalculateButton");
    QCOMPARE(Find<QLineEdit>("txtPN")->geometry().left(), vtq::qt::Px(1800));
  }

  void invalidInputIsAskedForAgainAndShown() {
    Type("txtCD", QStringLiteral("lots"));
    host_->answers.push_back("300");
    Click("CalculateButton");
    QCOMPARE(host_->events.front(), std::string("input Invalid Entry"));
    QCOMPARE(Text("txtCD"), QStringLiteral("300"));
  }

  void menuItemsReachTheirHandlers() {
    Find<QAction>("AboutMnu")->trigger();
    Find<QAction>("mnuContact")->trigger();
    QCOMPARE(host_->TakeMessageTitles(),
             (std::vector<std::string>{"About Common Mode Inductor Design", "Contacting Kestarlon"}));
    Find<QAction>("mnuContents")->trigger();
    Find<QAction>("mnuIndex")->trigger();
    QCOMPARE(host_->events.at(2), std::string("help ./help/contents.html"));
    QCOMPARE(host_->events.at(3), std::string("help ./help/index.html"));
    Click("ExitButton");
    Find<QAction>("ExitMnu")->trigger();
    QCOMPARE(host_->events.at(4), std::string("unload"));
    QCOMPARE(host_->events.at(5), std::string("unload"));
  }

  // ---- the desktop host's own dialogs and windows ----

  void messageBoxHasTitleOkOnlyNoIconAndOneLinePerCarriageReturn() {
    vtq::qt::QtHost host;
    host.SetWindow(window_.get());
    bool checked = false;
    ExpectModal([&](QWidget* w) {
      auto* box = qobject_cast<QMessageBox*>(w);
      QVERIFY(box);
      QCOMPARE(box->windowTitle(), QStringLiteral("Warning"));
      QCOMPARE(box->text(), QStringLiteral("first line\n  second line\n\nlast"));
      QCOMPARE(box->icon(), QMessageBox::NoIcon);
      QCOMPARE(box->standardButtons(), QMessageBox::StandardButtons(QMessageBox::Ok));
      checked = true;
      box->button(QMessageBox::Ok)->click();
    });
    QCOMPARE(host.MsgBox("first line\r  second line\r\rlast", "Warning"), 1);
    QVERIFY(checked);
  }

  void inputPromptOffersItsDefaultAndCancelGivesAnEmptyAnswer() {
    vtq::qt::QtHost host;
    host.SetWindow(window_.get());
    ExpectModal([&](QWidget* w) {
      auto* dialog = qobject_cast<QInputDialog*>(w);
      QVERIFY(dialog);
      QCOMPARE(dialog->windowTitle(), QStringLiteral("Invalid Entry"));
      QCOMPARE(dialog->labelText(), QStringLiteral("Not a number.\nPlease enter a value for Current."));
      QCOMPARE(dialog->textValue(), QStringLiteral("5"));
      dialog->accept();
    });
    QCOMPARE(host.InputBox("Not a number.\rPlease enter a value for Current.", "Invalid Entry", "5"),
             std::string("5"));
    ExpectModal([](QWidget* w) { qobject_cast<QDialog*>(w)->reject(); });
    QCOMPARE(host.InputBox("Again.", "Invalid Entry", "5"), std::string());
  }

  void hostMovesTheFocusAndUnloadingClosesTheWindow() {
    vtq::qt::QtHost host;
    host.SetWindow(window_.get());
    window_->activateWindow();
    host.SetFocus("Pmat");
    QCOMPARE(QApplication::focusWidget(), Find<QWidget>("Pmat"));
    host.Unload();
    QVERIFY(!window_->isVisible());
  }

  void helpOpensAtContentsAndIndexAndAMissingPageIsRefused() {
    vtq::qt::QtHost host;
    host.SetWindow(window_.get());
    const QString folder = QStringLiteral(VTQ_HELP_BUILT);
    QVERIFY(host.ShowHelp((folder + QStringLiteral("/contents.html")).toStdString()));
    QVERIFY(host.helpWindow()->isVisible());
    QVERIFY(host.helpWindow()->browser()->toPlainText().contains(QStringLiteral("The three design modes")));
    QVERIFY(host.ShowHelp((folder + QStringLiteral("/index.html")).toStdString()));
    QVERIFY(host.helpWindow()->browser()->source().toLocalFile().endsWith(QStringLiteral("/index.html")));
    QVERIFY(!host.ShowHelp("/nonexistent/help/contents.html"));
    host.Unload();
    QVERIFY(!host.helpWindow()->isVisible());
  }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
