// View > Conducted Emissions: the noise source's and the filter's inputs, the plot of the
// receiver level against the limit lines, the verdict under it, and the search for the
// smallest core that passes. Every number comes from the window model; this only asks
// for the inputs and shows the model's view.
#pragma once

#include <QWidget>
#include <functional>
#include <vector>

#include "ui/model/analysis_views.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace vtq::qt {

class ImpedancePlot;

class EmissionsWindow : public QWidget {
 public:
  struct Commands {
    std::function<void(const EmissionsEntry&)> change;  // an input edited
    std::function<void()> findCore, applyCore, save;
    std::function<void()> measured;  // Measured Choke...
  };
  EmissionsWindow(QWidget* parent, const EmissionsEntry& entry, Commands commands);
  void Show(const EmissionsView& view, const CoreSearchView& search);
  ImpedancePlot* plot() const { return plot_; }

 private:
  EmissionsEntry Entry() const;

  Commands commands_;
  EmissionsEntry shown_;  // the entry the boxes were filled from; the scan is kept from it
  QComboBox *standard_, *network_, *rippleShape_;
  struct Box {
    QLineEdit* edit;
    std::string EmissionsEntry::*text;
  };
  std::vector<Box> boxes_;
  QLabel *problem_, *caption_, *summary_;
  ImpedancePlot* plot_;
  QPushButton *findCore_, *applyCore_, *save_, *measured_;
  QTableWidget* tried_;
};

}  // namespace vtq::qt
