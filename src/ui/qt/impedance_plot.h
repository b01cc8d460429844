// The designed choke's impedance against frequency on log-log axes: |Z|, R and X of the
// common and the differential mode, the ideal winding faint for reference, the requirement.
#pragma once

#include <QWidget>

#include <functional>

#include "analysis/impedance.h"
#include "engine/dialogs.h"

class QLabel;
class QPushButton;

namespace vtq::qt {

// The axes as powers of ten: whole decades that hold the curve's frequencies, and the
// common- and differential-mode magnitudes with the requirement (at least two decades).
struct PlotDecades {
  int xMin = 0, xMax = 0, yMin = 0, yMax = 0;
};
PlotDecades DecadesOf(const analysis::ImpedanceCurve& curve);

class ImpedancePlot : public QWidget {
 public:
  explicit ImpedancePlot(QWidget* parent = nullptr);
  void SetCurve(analysis::ImpedanceCurve curve);
  const analysis::ImpedanceCurve& curve() const { return curve_; }
  QSize sizeHint() const override { return {640, 420}; }
  // Draws the plot into `bounds` of any paint device: the screen, an image, an SVG file.
  void Paint(QPainter& p, const QRectF& bounds) const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  analysis::ImpedanceCurve curve_;
};

// The plot with the summary under it and a Save button, in a window of its own.
class ImpedanceWindow : public QWidget {
 public:
  // `choose` asks where to save; it gets the suggested file name and returns the path or "".
  using PathChooser = std::function<std::string(const std::string& suggested)>;
  // A file that cannot be written is told through `dialogs`.
  ImpedanceWindow(QWidget* parent, UserDialogs& dialogs, PathChooser choose);
  void Show(analysis::ImpedanceCurve curve);
  ImpedancePlot* plot() const { return plot_; }
  QLabel* caption() const { return caption_; }
  // Writes the plot by the path's suffix: .png, .svg or .csv; false with a reason on failure.
  bool Save(const std::string& path, std::string& error) const;

 private:
  ImpedancePlot* plot_;
  QLabel* caption_;
  QPushButton* save_;
  UserDialogs& dialogs_;
  PathChooser choose_;
};

// "10 kHz", "1 MHz"; "100 ohm", "1 kohm" written with the ohm sign.
QString FrequencyLabel(double hertz);
QString OhmLabel(double ohms);

}  // namespace vtq::qt
