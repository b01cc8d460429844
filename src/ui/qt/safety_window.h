// View > Safety: the mains the windings sit on, the insulation they need between them and
// what the choke's ring gives, and the Y-capacitor budget of the touch-current limit. Every
// figure comes from the window model; this only asks for the inputs and shows its view.
#pragma once

#include <QWidget>
#include <functional>

#include "ui/model/safety_view.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;

namespace vtq::qt {

class SafetyWindow : public QWidget {
 public:
  struct Commands {
    std::function<void(const SafetyEntry&)> change;  // an input edited
    std::function<void()> save;                      // Save...: the distances as CSV
  };
  SafetyWindow(QWidget* parent, const SafetyEntry& entry, Commands commands);
  void Show(const SafetyWindowView& view);

 private:
  SafetyEntry Entry() const;

  Commands commands_;
  QLineEdit *voltage_, *frequency_, *divider_, *touch_;
  QComboBox *windings_, *category_, *pollution_, *group_, *equipment_;
  QLabel *of_, *problem_;
  QTableWidget* gaps_;
  QPlainTextEdit* lines_;
  QPushButton* save_;
};

}  // namespace vtq::qt
