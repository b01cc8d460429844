// The widgets' wiring, offscreen: clicks and keys reaching the model, the view following
// it, and the desktop host's dialogs. A watchdog fails a test on any modal dialog the
// test did not expect, instead of hanging.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <deque>

#include "support/scripted_host.h"
#include "ui/qt/appearance.h"
#include "ui/qt/main_window.h"
#include "ui/qt/qt_host.h"

using vtq::qt::MainWindow;

class MainWindowTest : public QObject {
  Q_OBJECT

  std::unique_ptr<vtq::test::ScriptedHost> host_;
  std::unique_ptr<MainWindow> window_;
  QTimer watchdog_;
  std::deque<std::function<void(QWidget*)>> expectedModals_;
  QStringList unexpectedModals_;

  template <typename T = QWidget>
  T* Find(const char* name) {
    return window_->findChild<T*>(QString::fromLatin1(name));
  }
  QString Text(const char* box) { return Find<QLineEdit>(box)->text(); }
  void Click(const char* button) {
    auto* b = Find<QAbstractButton>(button);
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(8, b->height() / 2));
  }
  void Type(const char* box, const QString& text) {
    Find<QLineEdit>(box)->selectAll();
    QTest::keyClicks(Find<QLineEdit>(box), text);
  }
  void PickCore(int row) {
    auto* list = Find<QListWidget>("lstCores");
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
  }
  // The next real modal dialog is handed to check, which must close it.
  void ExpectModal(std::function<void(QWidget*)> check) { expectedModals_.push_back(std::move(check)); }

 private slots:
  void initTestCase() {
    QVERIFY2(vtq::qt::LoadWindowFonts(), "the window's font family is not installed");
    QApplication::setFont(vtq::qt::WindowFont());
    QObject::connect(&watchdog_, &QTimer::timeout, [this] {
      QWidget* modal = QApplication::activeModalWidget();
      if (!modal) return;
      if (expectedModals_.empty()) {
        unexpectedModals_ << modal->windowTitle();
        modal->close();
        return;
      }
      auto check = std::move(expectedModals_.front());
      expectedModals_.pop_front();
      check(modal);
    });
    watchdog_.start(20);
  }

  void init() {
    host_ = std::make_unique<vtq::test::ScriptedHost>();
    window_ = std::make_unique<MainWindow>(*host_);
    host_->onShow = [this] { window_->show(); };
    window_->Load(".");
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    host_->Clear();  // the disclaimer
  }

  void cleanup() {
    window_.reset();
    QVERIFY2(unexpectedModals_.isEmpty(), qPrintable("unexpected modal: " + unexpectedModals_.join(", ")));
    QVERIFY(host_->prompts.empty());
    QVERIFY2(host_->messages.empty(), "a message box the test did not check");
  }

  // The window's own table of controls is checked where it shows: the screenshot test.
  // Here, what the user meets when typing: the default button, the input boxes' order of
  // Tab presses, the five materials to choose from.
  void defaultButtonAndTheInputsTabOrder() {
    QVERIFY(Find<QPushButton>("CalculateButton")->isDefault());
    for (auto [from, to] :
         {std::pair{"MainInput", "Current"}, {"Current", "txtCD"}, {"txtCD", "SecondInput"}})
      QCOMPARE(Find(from)->nextInFocusChain(), Find(to));
    QVERIFY(Find<QLineEdit>("txtPN")->isReadOnly());
    QCOMPARE(Find("Frame1")->findChildren<QRadioButton*>().size(), 5);  // D, P, N, S, R and no other
  }

  void menusReachTheModel() {
    Find<QAction>("ViewMnu")->trigger();  // carries no command
    Find<QAction>("AboutMnu")->trigger();
    Find<QAction>("mnuIndex")->trigger();
    Click("ExitButton");
    QCOMPARE(host_->events, (std::vector<std::string>{"msgbox About Common Mode Inductor Design",
                                                      "help ./help/index.html", "unload"}));
    host_->messages.clear();
  }

  void clicksAndKeysReachTheModelAndTheViewFollows() {
    // Tab enters each group of options at its checked option.
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    Find("ExitButton")->setFocus();
    for (const char* next : {"InductanceInput", "Nmat"}) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      QCOMPARE(QApplication::focusWidget(), Find(next));
    }
    Click("VoltageInput");
    QCOMPARE(Find<QLabel>("lblMainInput")->text(), QStringLiteral("Voltage (Vrms)"));
    QCOMPARE(Text("MainInput"), QStringLiteral("117"));
    QVERIFY(Find("SecondInput")->isEnabled());
    Click("InductanceInput");
    QVERIFY(!Find("SecondInput")->isEnabled());

    Type("Current", QStringLiteral("2"));
    QTest::keyClick(Find("Current"), Qt::Key_Return);  // presses the default button
    QCOMPARE(Text("txtPN"), QStringLiteral("QN-80111-KX"));
    QCOMPARE(Find<QLabel>("IndLabel")->text(), QString::fromUtf8("Inductance (\u00b5H)"));

    Click("Metric");
    QCOMPARE(Text("OD"), QStringLiteral("22.1 mm"));

    // Stacked cores move and widen the part-number box; a single core puts it back.
    Click("ImpedanceInput");
    Type("Current", QStringLiteral("5"));
    Type("MainInput", QStringLiteral("1000"));
    Click("CalculateButton");
    QCOMPARE(Text("txtPN"), QStringLiteral("(2x) QN-80124-KX"));
    QCOMPARE(Find("txtPN")->geometry().left(), vtq::qt::Px(1300));
    QCOMPARE(Find("txtPN")->width(), vtq::qt::Px(1955));
    Click("InductanceInput");
    QCOMPARE(Find("txtPN")->geometry().left(), vtq::qt::Px(1800));

    // The calculation's warnings reach the user through the window's host.
    Type("MainInput", QStringLiteral("5"));
    Click("Rmat");
    QCOMPARE(Text("AL"), QStringLiteral("0"));
    QCOMPARE(host_->TakeMessageTitles(), (std::vector<std::string>{"Warning"}));
    QCOMPARE(host_->events.back(), std::string("focus Smat"));
  }

  void coreListFollowsTheMaterialAndPicksByClickOrEnter() {
    auto* list = Find<QListWidget>("lstCores");
    Click("cmdSelCore");
    QVERIFY(list->isVisible());
    QCOMPARE(list->count(), 24);
    const QString pn = Text("txtPN");
    list->scrollToBottom();
    Click("Dmat");  // rebuilds the list, no design
    QCOMPARE(list->count(), 15);
    QCOMPARE(list->verticalScrollBar()->value(), 0);
    QCOMPARE(list->item(0)->text(), QStringLiteral("QD-80101-KX (OD = 0.375)"));
    QCOMPARE(Text("txtPN"), pn);
    PickCore(2);
    QVERIFY(list->isHidden());
    QCOMPARE(Text("txtPN"), QStringLiteral("QD-80103-KX"));

    Click("cmdSelCore");
    list->setFocus();
    list->setCurrentRow(3);
    QTest::keyClick(list, Qt::Key_Return);  // picks, and does not also press Calculate
    QVERIFY(list->isHidden());
    QCOMPARE(Text("txtPN"), QStringLiteral("QD-80104-KX"));
    host_->messages.clear();  // cores this small take a thinner wire and say so
  }

  void resultsAreNamedByTheirCaptionsAndCopiedAsRows() {
    QCOMPARE(Find<QLineEdit>("Turns")->accessibleName(), QStringLiteral("Turns per Side"));
    QCOMPARE(Find<QLineEdit>("txtWoundOD")->accessibleName(), QStringLiteral("Wound OD"));
    Find<QAction>("CopyResultsMnu")->trigger();
    const QMimeData* copied = QGuiApplication::clipboard()->mimeData();
    const QString rows = QString::fromUtf8(copied->data(QStringLiteral("text/tab-separated-values")));
    QCOMPARE(copied->text(), rows);
    QVERIFY2(rows.startsWith(QStringLiteral("Core Number\tQN-80115-KX\nHeader Number\t")), qPrintable(rows));
    QCOMPARE(rows.count(QLatin1Char('\n')), 19);
    for (auto [command, key] :
         {std::pair{"SaveDesignMnu", "Ctrl+S"}, {"DesignMnu", "Ctrl+P"}, {"ExitMnu", "Ctrl+Q"}})
      QVERIFY2(Find<QAction>(command)->shortcuts().contains(QKeySequence(QString::fromLatin1(key))), command);
  }

  // ---- the desktop host's own dialogs and windows ----

  void messageBoxShowsEachLineOfTheText() {
    vtq::qt::QtHost host;
    host.SetWindow(window_.get());
    ExpectModal([](QWidget* w) {
      auto* box = qobject_cast<QMessageBox*>(w);
      QCOMPARE(box->windowTitle(), QStringLiteral("Warning"));
      QCOMPARE(box->text(), QStringLiteral("first line\n  second line\n\nlast"));
      QCOMPARE(box->icon(), QMessageBox::NoIcon);
      QCOMPARE(box->standardButtons(), QMessageBox::StandardButtons(QMessageBox::Ok));
      box->button(QMessageBox::Ok)->click();
    });
    QCOMPARE(host.MsgBox("first line\r  second line\r\rlast", "Warning"), 1);

    QVERIFY(expectedModals_.empty());
  }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
