#include "ui/qt/main_window.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <stdexcept>

#include "engine/catalogue.h"
#include "ui/model/controls.h"
#include "ui/model/layout.h"
#include "ui/model/menus.h"
#include "ui/qt/appearance.h"
#include "ui/qt/artwork.h"
#include "ui/qt/file_dialog_qt.h"
#include "ui/qt/qtext.h"

namespace vtq::qt {
namespace {

using namespace layout;  // NOLINT(google-build-using-namespace): the window's own table

QRect ToPixels(Place p) {
  return {Px(p.left), Px(p.top), Px(p.width), Px(p.height)};
}

const QColor kOutputGrey(0xE0, 0xE0, 0xE0);

// A box keeps its light background under any desktop colour scheme, so its text is set
// too: left to a dark scheme, it would turn light on the light box.
void PaintBox(QWidget* w, const QColor& background) {
  QPalette palette = w->palette();
  for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
    palette.setColor(group, QPalette::Base, background);
    palette.setColor(group, QPalette::Text,
                     group == QPalette::Disabled ? QColor(0xBE, 0xBE, 0xBE) : Qt::black);
  }
  w->setPalette(palette);
}

}  // namespace

MainWindow::MainWindow(WindowHost& host, QWidget* parent) : QMainWindow(parent), model_(host) {
  setObjectName(QStringLiteral("VTQform"));
  setWindowTitle(QStringLiteral("KESTRALON Common Mode Filter Inductor Design"));
  setWindowIcon(WindowIcon());
  setFont(WindowFont());
  BuildControls();
  BuildMenus();
  SetTabOrder();
  // The printing part of the program connects Print; until then it is disabled, as are
  // the menu entries that wait for their commands.
  findChild<QPushButton*>(QStringLiteral("PrintButton"))->setEnabled(false);
  // A line below the client area where commands report what they did (a file saved, a
  // page printed); made here so that the fixed size below makes room for it.
  statusBar()->setObjectName(QStringLiteral("StatusBar"));
  statusBar()->setSizeGripEnabled(false);
  // The layout is fixed: the window neither grows nor shrinks.
  fullSize_ = sizeHint();
  setFixedSize(fullSize_);
  Refresh();
}

MainWindow::~MainWindow() = default;

namespace {

// A control's parent: the frame it is named under, or the client area itself.
QWidget* ParentOf(QWidget* client, const char* frame) {
  if (*frame == '\0') return client;
  return client->findChild<QGroupBox*>(QString::fromLatin1(frame));
}

}  // namespace

void MainWindow::BuildControls() {
  auto* client = new QWidget(this);
  client->setObjectName(QStringLiteral("client"));
  client->setFixedSize(Px(kClientWidth), Px(kClientHeight));
  setCentralWidget(client);

  BuildCaptions(client);
  BuildInputs(client);
  BuildOutputs(client);
  BuildOptions(client);
  BuildButtons(client);
}

void MainWindow::BuildCaptions(QWidget* client) {
  for (const auto& f : kFrames) {
    auto* frame = new Frame(QString::fromUtf8(f.caption), client);
    frame->setObjectName(QString::fromLatin1(f.name));
    frame->setToolTip(QString::fromUtf8(f.tooltip));
    frame->setGeometry(ToPixels(f.place));
  }

  auto* title = new QLabel(QString::fromUtf8(kTitleCaption), client);
  title->setObjectName(QStringLiteral("lblTitle"));
  title->setFont(TitleFont());
  title->setWordWrap(true);
  title->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  title->setGeometry(ToPixels(kTitlePlace));

  auto* imgvtq = new Picture(kToroid, client);
  imgvtq->setObjectName(QStringLiteral("imgvtq"));
  imgvtq->setGeometry(ToPixels(kToroidPicturePlace));
  auto* logo = new Picture(kLogo, client);
  logo->setObjectName(QStringLiteral("imgKstIcon"));
  logo->setGeometry(ToPixels(kLogoPlace));

  for (const auto& l : kLabels) {
    auto* label = new QLabel(QString::fromUtf8(l.caption), ParentOf(client, l.parent));
    label->setObjectName(QString::fromLatin1(l.name));
    label->setToolTip(QString::fromUtf8(l.tooltip));
    // Captions wrap at word boundaries within their place and start at its top.
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setGeometry(ToPixels(l.place));
  }
  lblMainInput_ = client->findChild<QLabel*>(QStringLiteral("lblMainInput"));
  IndLabel_ = client->findChild<QLabel*>(QStringLiteral("IndLabel"));
}

void MainWindow::BuildInputs(QWidget* client) {
  QWidget* frmInput = ParentOf(client, "frmInput");
  for (const auto& i : kInputs) {
    auto* edit = new QLineEdit(frmInput);
    edit->setObjectName(QString::fromLatin1(i.name));
    edit->setGeometry(ToPixels(i.place));
    PaintBox(edit, Qt::white);
    auto member = i.text;
    QObject::connect(edit, &QLineEdit::textEdited, this, [this, member](const QString& text) {
      model_.window.inputs.*member = text.toStdString();
    });
    inputs_.push_back({edit, member});
  }
  SecondInput_ = frmInput->findChild<QLineEdit*>(QStringLiteral("SecondInput"));
  // Each input is known by its label, to assistive technology as to the eye.
  for (auto [label, box] : {std::pair{"lblMainInput", "MainInput"}, std::pair{"lblCurrent", "Current"},
                            std::pair{"lblCD", "txtCD"}, std::pair{"lblFrequency", "SecondInput"}}) {
    frmInput->findChild<QLabel*>(QString::fromLatin1(label))
        ->setBuddy(frmInput->findChild<QLineEdit*>(QString::fromLatin1(box)));
  }
}

void MainWindow::BuildOutputs(QWidget* client) {
  for (const auto& o : kOutputs) {
    auto* edit = new QLineEdit(ParentOf(client, o.parent));
    edit->setObjectName(QString::fromLatin1(o.name));
    edit->setGeometry(ToPixels(o.place));
    // Results are written by the program only; the user may still select and copy them.
    edit->setReadOnly(true);
    edit->setFocusPolicy(Qt::ClickFocus);
    PaintBox(edit, kOutputGrey);
    outputs_.push_back({edit, &o});
  }
  txtPN_ = client->findChild<QLineEdit*>(QStringLiteral("txtPN"));
}

void MainWindow::BuildOptions(QWidget* client) {
  auto addOption = [&](const char* parent, std::string_view name, std::string_view caption, Place place,
                       std::function<void()> click, std::function<bool(const InputControls&)> selected) {
    auto* button = new QRadioButton(Q(caption), ParentOf(client, parent));
    button->setObjectName(Q(name));
    QRect r = ToPixels(place);
    // Room for the indicator and the whole caption in this font, within the frame.
    const QSize hint = button->sizeHint();
    r.setWidth(std::min(std::max(r.width(), hint.width()), button->parentWidget()->width() - r.left() - 4));
    r.setHeight(std::max(r.height(), hint.height()));
    button->setGeometry(r);
    QObject::connect(button, &QRadioButton::clicked, this, [this, click] { Run(click); });
    options_.push_back({button, std::move(selected)});
    return button;
  };
  for (int m = 1; m <= kMaterialCount; ++m) {
    const Material& mat = Materials[static_cast<std::size_t>(m)];
    addOption(
        "Frame1", mat.OptionName, mat.Caption, MaterialOptionPlace(m),
        [this, m] { model_.SelectMaterial(m); }, [m](const InputControls& in) { return in.Material == m; });
  }
  for (const OptionDef& o : kOptions) {
    const std::string_view name = o.name;
    addOption(
        o.parent, name, o.caption, o.place, [this, name] { ClickControl(model_, name); },
        [name](const InputControls& in) { return OptionSelected(in, name); })
        ->setToolTip(QString::fromUtf8(o.tooltip));
  }
}

void MainWindow::BuildButtons(QWidget* client) {
  for (const auto& b : kButtons) {
    auto* button = new QPushButton(QString::fromUtf8(b.caption), client);
    button->setObjectName(QString::fromLatin1(b.name));
    button->setGeometry(ToPixels(b.place));
    // Enter on a focused button presses that button; elsewhere it presses Calculate.
    button->setAutoDefault(true);
  }
  CalculateButton_ = client->findChild<QPushButton*>(QStringLiteral("CalculateButton"));
  CalculateButton_->setDefault(true);
  for (const char* name : {"CalculateButton", "ExitButton", "cmdSelCore"}) ConnectCommand(name);

  lstCores_ = new QListWidget(client);
  lstCores_->setObjectName(QStringLiteral("lstCores"));
  lstCores_->setAccessibleName(QStringLiteral("Cores of the material"));
  lstCores_->setGeometry(ToPixels(kCoreListPlace));
  lstCores_->hide();
  // A mouse click or Enter picks the entry; the arrow keys only move through the list.
  QObject::connect(lstCores_, &QListWidget::itemClicked, this,
                   [this](QListWidgetItem* item) { PickCore(lstCores_->row(item)); });
  lstCores_->installEventFilter(this);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == lstCores_ && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      // Taken here: passed on, the same key would also press the default button.
      PickCore(lstCores_->currentRow());
      return true;
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

void MainWindow::PickCore(int row) {
  if (row < 0 || !model_.lstCoresVisible) return;
  Run([this, row] { model_.lstCores_Click(row); });
}

void MainWindow::BuildMenus() {
  auto menu = [](QWidget* parent, std::string_view name, std::string_view caption) {
    auto* m = new QMenu(Q(caption), parent);
    m->setObjectName(Q(name));
    m->menuAction()->setObjectName(Q(name) + QStringLiteral("Action"));
    return m;
  };
  std::function<void(QMenu*, std::span<const menus::Entry>)> fill = [&](QMenu* m, auto entries) {
    for (const menus::Entry& e : entries) {
      switch (e.kind) {
        case menus::Kind::Separator:
          m->addSeparator()->setObjectName(Q(e.name));
          break;
        case menus::Kind::Submenu:
        case menus::Kind::Recent: {
          QMenu* sub = menu(m, e.name, e.caption);
          m->addMenu(sub);
          fill(sub, e.entries);
          break;
        }
        case menus::Kind::Command: {
          QAction* a = m->addAction(Q(e.caption));
          a->setObjectName(Q(e.name));
          a->setShortcuts(QKeySequence::listFromString(Q(e.keys), QKeySequence::PortableText));
          // Usable once Connect gives it its command.
          a->setEnabled(false);
          break;
        }
      }
    }
  };
  for (const menus::Menu& m : menus::kMenuBar) {
    QMenu* top = menu(menuBar(), m.name, m.caption);
    fill(top, m.entries);
    menuBar()->addMenu(top);
  }

  ConnectCommand("ExitMnu");
  Connect("CopyResultsMnu", [this] {
    // Plain text for a mail, the same rows as tab-separated values for a spreadsheet.
    const QString table = Q(ResultsTable(model_.window.outputs));
    auto* data = new QMimeData;
    data->setText(table);
    data->setData(QStringLiteral("text/tab-separated-values"), table.toUtf8());
    QGuiApplication::clipboard()->setMimeData(data);
    statusBar()->showMessage(QStringLiteral("Results copied to the clipboard"), 8000);
  });
  ConnectCommand("mnuContents");
  ConnectCommand("mnuIndex");
  ConnectCommand("AboutMnu");
  ConnectCommand("mnuContact");
}

void MainWindow::SetTabOrder() {
  QWidget* previous = nullptr;
  for (const char* name : kTabOrder) {
    auto* w = findChild<QWidget*>(QString::fromLatin1(name));
    if (previous) QWidget::setTabOrder(previous, w);
    previous = w;
  }
}

bool MainWindow::Connect(std::string_view control, std::function<void()> handler) {
  const QString name = Q(control);
  if (auto* a = findChild<QAction*>(name)) {
    QObject::connect(a, &QAction::triggered, this, [this, handler] { Run(handler); });
    a->setEnabled(true);
    return true;
  }
  if (auto* b = findChild<QAbstractButton*>(name)) {
    QObject::connect(b, &QAbstractButton::clicked, this, [this, handler] { Run(handler); });
    b->setEnabled(true);
    return true;
  }
  return false;
}

void MainWindow::ConnectCommand(std::string_view control) {
  const ControlCommand* c = FindCommand(control);
  if (!c) throw std::logic_error("the window model has no command named " + std::string(control));
  const bool wired = Connect(control, [this, c] {
    (model_.*c->click)();
    switch (c->status) {
      case CommandStatus::None:
        break;
      case CommandStatus::File:
        ShowFileStatus(*this);
        break;
      case CommandStatus::Print:
        if (!model_.PrintStatus.empty()) statusBar()->showMessage(Q(model_.PrintStatus), 10000);
        break;
    }
  });
  if (!wired) throw std::logic_error("the window has no control named " + std::string(control));
}

QMenu* MainWindow::Menu(std::string_view name) const {
  return findChild<QMenu*>(Q(name));
}

void MainWindow::Load(const std::string& programFolder) {
  Run([this, &programFolder] { model_.Form_Load(programFolder); });
}

void MainWindow::Run(const std::function<void()>& handler) {
  handler();
  Refresh();
}

void MainWindow::Refresh() {
  const DesignWindow& w = model_.window;
  for (const auto& i : inputs_) {
    const QString text = QString::fromStdString(w.inputs.*i.text);
    if (i.edit->text() != text) i.edit->setText(text);
  }
  SecondInput_->setEnabled(model_.SecondInputEnabled);
  lblMainInput_->setText(QString::fromStdString(model_.lblMainInputCaption));
  lblMainInput_->setToolTip(QString::fromStdString(model_.lblMainInputToolTip));
  for (const auto& o : options_) {
    const bool selected = o.selected(w.inputs);
    if (o.button->isChecked() != selected) o.button->setChecked(selected);
    // A group of options is one stop of the Tab key, at its checked option (Space there
    // changes nothing); the arrow keys move within the group.
    o.button->setFocusPolicy(selected ? Qt::StrongFocus : Qt::ClickFocus);
  }
  for (const auto& o : outputs_) {
    const QString text = QString::fromStdString(w.outputs.*o.def->text);
    if (o.edit->text() != text) {
      o.edit->setText(text);
      o.edit->setCursorPosition(0);  // a text wider than its box shows its start
    }
    // Read out with its caption ("Turns per Side, 12"), whose unit may have changed.
    const QString caption = Q(OutputCaption(*o.def, w.outputs));
    if (o.edit->accessibleName() != caption) o.edit->setAccessibleName(caption);
  }
  IndLabel_->setText(QString::fromStdString(w.outputs.IndLabel));
  const QRect pn(Px(w.outputs.txtPNLeft), txtPN_->y(), Px(w.outputs.txtPNWidth), txtPN_->height());
  if (txtPN_->geometry() != pn) txtPN_->setGeometry(pn);

  // The design's warnings stay on the status line until a calculation changes them; a
  // file command's message covers them for its while, then they show again.
  if (std::string note = model_.DesignNote(); note != shownNote_) {
    shownNote_ = std::move(note);
    if (!designNote_) {
      designNote_ = new QLabel(statusBar());
      designNote_->setObjectName(QStringLiteral("DesignNote"));
      designNote_->setWordWrap(true);
      statusBar()->addWidget(designNote_, 1);
    }
    designNote_->setText(QString::fromStdString(shownNote_));
  }

  if (shownCores_ != model_.lstCores) {
    shownCores_ = model_.lstCores;
    lstCores_->clear();
    for (const auto& entry : shownCores_) lstCores_->addItem(QString::fromStdString(entry));
    lstCores_->scrollToTop();  // a new list starts at its top, not where the old one was scrolled
  }
  if (lstCores_->isHidden() == model_.lstCoresVisible) {
    lstCores_->setCurrentRow(-1);
    lstCores_->setVisible(model_.lstCoresVisible);
    // When shown it lies over cmdSelCore and the right part of the core frame, and takes
    // the keyboard: the arrow keys move through it at once, Enter picks.
    if (model_.lstCoresVisible) {
      lstCores_->raise();
      lstCores_->setFocus(Qt::OtherFocusReason);
      if (scroll_) scroll_->ensureWidgetVisible(lstCores_);
    }
  }
}

void MainWindow::FitInto(QSize room) {
  if (fullSize_.width() <= room.width() && fullSize_.height() <= room.height()) return;
  if (!scroll_) {
    scroll_ = new QScrollArea(this);
    scroll_->setObjectName(QStringLiteral("clientScroll"));
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setWidget(takeCentralWidget());
    setCentralWidget(scroll_);
  }
  const int bar = scroll_->verticalScrollBar()->sizeHint().width();
  setMinimumSize(std::min(fullSize_.width(), 320), std::min(fullSize_.height(), 240));
  setMaximumSize(fullSize_ + QSize(bar, bar));
  resize(fullSize_.boundedTo(room));
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
  // Enter anywhere but on a button (which presses itself) or the core list presses the
  // default button, as in a dialog.
  if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
      event->modifiers() == Qt::NoModifier && CalculateButton_->isEnabled()) {
    CalculateButton_->click();
    return;
  }
  QMainWindow::keyPressEvent(event);
}

}  // namespace vtq::qt
