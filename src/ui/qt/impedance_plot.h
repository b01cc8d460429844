// A small log-log plot of the designed winding's common-mode impedance against
// frequency, with the requirement the design was made for.
#pragma once

#include <QWidget>

#include "analysis/impedance.h"

class QLabel;

namespace vtq::qt {

class ImpedancePlot : public QWidget {
 public:
  explicit ImpedancePlot(QWidget* parent = nullptr);
  void SetCurve(analysis::ImpedanceCurve curve);
  const analysis::ImpedanceCurve& curve() const { return curve_; }
  QSize sizeHint() const override { return {520, 340}; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  analysis::ImpedanceCurve curve_;
};

// The plot with its caption, in a window of its own beside the design window.
class ImpedanceWindow : public QWidget {
 public:
  explicit ImpedanceWindow(QWidget* parent = nullptr);
  void Show(analysis::ImpedanceCurve curve);
  ImpedancePlot* plot() const { return plot_; }
  QLabel* caption() const { return caption_; }

 private:
  ImpedancePlot* plot_;
  QLabel* caption_;
};

// "10 kHz", "1 MHz"; "100 ohm", "1 kohm" written with the ohm sign.
QString FrequencyLabel(double hertz);
QString OhmLabel(double ohms);

}  // namespace vtq::qt
