// The model's plots (the designed choke's impedance against frequency on log-log axes,
// the conducted emissions in dBuV over log f), drawn from the window model's view: the
// curves, the axes and every text come worked out; this only draws.
#pragma once

#include <QColor>
#include <QWidget>
#include <functional>

#include "ui/model/host.h"

class QLabel;
class QPushButton;
class QSpinBox;

namespace vtq::qt {

// The colours of the texts, the grid and the ground the plot is drawn on.
struct PlotColours {
  QColor ground, text, grid;
};
// The screen's colours follow the desktop palette; a saved picture is always dark on
// white, whatever the palette of the desktop it was saved from.
PlotColours ScreenColours(const QPalette& palette);
PlotColours PictureColours();

// Draws the view into `bounds` of any paint device: the screen, an image, an SVG file.
void DrawPlot(QPainter& p, const Plot& view, const QRectF& bounds, const QFont& font,
              const PlotColours& colours);

// The width the plot's title and its legend (one line, left to right) take in `font`: a
// plot narrower than that cuts a curve's name.
double PlotTextWidth(const Plot& view, const QFont& font);

class ImpedancePlot : public QWidget {
 public:
  explicit ImpedancePlot(QWidget* parent = nullptr);
  void SetView(const Plot& view);
  const Plot& view() const { return view_; }
  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  Plot view_;
};

// The plot with the caption under it and a Save button, in a window of its own.
class ImpedanceWindow : public QWidget {
 public:
  // `save` runs when the Save Plot... button is pressed, `temperature` when the core
  // temperature (whole C) is changed.
  // `material` when Measured Material... is pressed, `measured` when Measured Choke... is,
  // `removeMeasured` when Remove Measured Choke is.
  ImpedanceWindow(QWidget* parent, std::function<void()> save, std::function<void(int)> temperature,
                  std::function<void()> material, std::function<void()> measured,
                  std::function<void()> removeMeasured);
  void Show(const ImpedanceView& view);
  ImpedancePlot* plot() const { return plot_; }
  ImpedancePlot* lossPlot() const { return loss_; }
  ImpedancePlot* ratioPlot() const { return ratio_; }
  QLabel* caption() const { return caption_; }

 private:
  ImpedancePlot* plot_;
  ImpedancePlot* loss_;   // the insertion loss under the impedance
  ImpedancePlot* ratio_;  // measured over model, with a measured choke only
  QLabel* caption_;
  QPushButton *save_, *material_, *measured_, *removeMeasured_;
  QSpinBox* temperature_;
};

// Draws the picture's plots one under the other, then its text, into a PNG or SVG file,
// replacing it only once complete. Empty on success, else the reason.
std::string WritePlotPicture(const PlotPicture& picture, const std::string& path, PictureFormat format);

// The save dialog of the plot, asking before it replaces a file; a name typed without a
// suffix takes the chosen filter's. The chosen path, or nothing on cancel.
// The open dialog of a measured material file; the chosen path, or nothing on cancel.
std::optional<std::string> ChooseMaterialFile(QWidget* parent, QString& folder);
// File > Open MAS Design...
std::optional<std::string> ChooseMasFile(QWidget* parent, QString& folder);
// A network analyser's or a maker's file for Measured Choke....
std::optional<std::string> ChooseMeasurementFile(QWidget* parent, QString& folder);

std::optional<std::string> ChoosePlotFile(QWidget* parent, QString& folder,
                                          const FileDialogSettings& settings);

}  // namespace vtq::qt
