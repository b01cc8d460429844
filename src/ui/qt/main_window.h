// The design window: the widgets that show a WindowModel. A click or an edit goes to
// one model handler; afterwards every control is brought in line with the model.
#pragma once

#include <QMainWindow>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/model/layout.h"
#include "ui/model/window_model.h"

class QAbstractButton;
class QAction;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;
class QRadioButton;
class QScrollArea;

namespace vtq::qt {

// Window layout is given in twips; at 96 dots per inch a pixel is 15 twips, and Qt's
// device-pixel scaling takes care of denser screens.
constexpr int Px(int twips) {
  return (twips + 7) / 15;
}

class MainWindow : public QMainWindow {
 public:
  // The host serves the model's modal exchanges; it must outlive the window.
  explicit MainWindow(WindowHost& host, QWidget* parent = nullptr);
  ~MainWindow() override;

  WindowModel& model() { return model_; }

  // Start-up: the model's Form_Load on the program's folder, then the first design shown.
  void Load(const std::string& programFolder);

  // Runs one model handler, then shows what it changed.
  void Run(const std::function<void()>& handler);

  // For commands whose handlers live in other parts of the program (design files,
  // printing): the menu item or button of that control name runs the handler through
  // Run and becomes enabled. Until connected these controls stay greyed out. False when
  // no such control exists.
  bool Connect(std::string_view control, std::function<void()> handler);
  // The same for a command of the model's one table of control commands: its handler,
  // then its status line. A name the table or the window lacks is a mistake of the
  // program's own making, thrown as std::logic_error while the window is put together.
  void ConnectCommand(std::string_view control);

  // A menu by its control name ("FileMnu", "PrintMnu", "mnuView", "HelpMnu").
  QMenu* Menu(std::string_view name) const;

  // Brings every control in line with the model: input texts, options, enabled and
  // visible states, captions, output texts, the part-number box's place, the core list.
  void Refresh();

  // A window that does not fit `room` (a scale factor of 2, a small screen) keeps its fixed
  // layout whole in a scroll area and opens as large as the room allows, so that every
  // part of it can be scrolled to; one that fits stays as it is.
  void FitInto(QSize room);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct InputBox {
    QLineEdit* edit;
    std::string InputControls::*text;
  };
  struct OutputBox {
    QLineEdit* edit;
    const layout::OutputDef* def;  // in the window's table, which lives as long as the program
  };
  struct Option {
    QRadioButton* button;
    std::function<bool(const InputControls&)> selected;
  };

  // The client area in named steps: frames, captions and pictures; the input boxes; the
  // result boxes; the option buttons; the command buttons and the core list.
  void BuildControls();
  void BuildCaptions(QWidget* client);
  void BuildInputs(QWidget* client);
  void BuildOutputs(QWidget* client);
  void BuildOptions(QWidget* client);
  void BuildButtons(QWidget* client);
  void BuildMenus();
  void SetTabOrder();
  void PickCore(int row);

  WindowModel model_;
  std::vector<InputBox> inputs_;
  std::vector<OutputBox> outputs_;
  std::vector<Option> options_;
  QLabel* lblMainInput_ = nullptr;
  QLabel* IndLabel_ = nullptr;
  QLineEdit* SecondInput_ = nullptr;
  QLineEdit* txtPN_ = nullptr;
  QPushButton* CalculateButton_ = nullptr;
  QSize fullSize_;                 // the fixed layout's size, menu and status line included
  QScrollArea* scroll_ = nullptr;  // around the client area once the window does not fit
  QListWidget* lstCores_ = nullptr;
  std::vector<std::string> shownCores_;
  std::string shownNote_;
  QLabel* designNote_ = nullptr;  // the design's warnings, made when there is a first one
};

}  // namespace vtq::qt
