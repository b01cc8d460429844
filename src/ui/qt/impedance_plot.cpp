#include "ui/qt/impedance_plot.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QSaveFile>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QSvgGenerator>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "ui/model/plot_style.h"
#include "ui/qt/appearance.h"
#include "ui/qt/qtext.h"

namespace vtq::qt {
namespace {

QColor ColourOf(Ink ink, const PlotColours& colours, int alpha = 255) {
  QColor colour = colours.text;
  if (ink != Ink::Text) {
    const Rgb rgb = InkColour(ink, colours.ground.lightness() < 128);
    colour = QColor(rgb.red, rgb.green, rgb.blue);
  }
  colour.setAlpha(alpha);
  return colour;
}

QPen PenOf(const TraceStyle& style, const PlotColours& colours) {
  const Qt::PenStyle dash = style.dash == LineDash::Dot    ? Qt::DotLine
                            : style.dash == LineDash::Dash ? Qt::DashLine
                                                           : Qt::SolidLine;
  return {ColourOf(style.ink, colours, style.alpha), style.width, dash};
}

const QSize kPictureSize(900, 600);
constexpr int kLegendGap = 34;  // px: the line sample, its gap to the name, and the space after it

}  // namespace

PlotColours ScreenColours(const QPalette& palette) {
  return {palette.color(QPalette::Base), palette.color(QPalette::Text), palette.color(QPalette::Mid)};
}

PlotColours PictureColours() {
  return {Qt::white, Qt::black, QColor(0xa0, 0xa0, 0xa0)};
}

double PlotTextWidth(const Plot& view, const QFont& font) {
  const QFontMetricsF fm(font);
  double legend = 4;
  for (const auto& t : view.traces) legend += kLegendGap + fm.horizontalAdvance(Q(t.name));
  return std::max(legend, fm.horizontalAdvance(Q(view.title)) + 8);
}

ImpedancePlot::ImpedancePlot(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("ImpedancePlot"));
  setBackgroundRole(QPalette::Base);
  setAutoFillBackground(true);
}

QSize ImpedancePlot::minimumSizeHint() const {
  // Room for every name of the legend in the font in use: a larger desktop font widens the
  // plot instead of cutting the names of the curves that decide pass or fail.
  const int line = fontMetrics().height();
  return {std::max(420, static_cast<int>(std::ceil(PlotTextWidth(view_, font())))), std::max(200, 14 * line)};
}

QSize ImpedancePlot::sizeHint() const {
  const QSize least = minimumSizeHint();
  return {std::max(640, least.width()), std::max(420, least.height() * 3 / 2)};
}

void ImpedancePlot::SetView(const Plot& view) {
  const bool resized = PlotTextWidth(view, font()) != PlotTextWidth(view_, font());
  view_ = view;
  if (resized) updateGeometry();
  update();
}

void ImpedancePlot::paintEvent(QPaintEvent*) {
  QPainter p(this);
  DrawPlot(p, view_, rect(), font(), ScreenColours(palette()));
}

void DrawPlot(QPainter& p, const Plot& v, const QRectF& bounds, const QFont& font,
              const PlotColours& colours) {
  p.setRenderHint(QPainter::Antialiasing);
  p.setFont(font);
  const QFontMetricsF fm(font);
  if (v.frequencies.empty() || v.x.labels.empty() || v.y.labels.empty()) {
    p.setPen(colours.text);
    p.drawText(bounds.adjusted(12, 12, -12, -12), Qt::AlignCenter | Qt::TextWordWrap, Q(v.problem));
    return;
  }
  PlotTextSizes sizes{fm.height(), fm.ascent(), 0, fm.horizontalAdvance(Q(v.x.labels.back())), {}, 1};
  for (const auto& label : v.y.labels)
    sizes.widestYLabel = std::max(sizes.widestYLabel, fm.horizontalAdvance(Q(label)));
  for (const auto& t : v.traces) sizes.legendNames.push_back(fm.horizontalAdvance(Q(t.name)));
  const PlotFrame f = PlotFrameOf(bounds.width(), bounds.height(), sizes);
  const QPointF origin = bounds.topLeft();
  const QRectF area(origin + QPointF(f.left, f.top), origin + QPointF(f.right, f.bottom));
  // The model places everything in the unit square of the area.
  auto xAt = [&](double x) { return area.left() + x * area.width(); };
  auto yAt = [&](double y) { return area.bottom() - y * area.height(); };
  auto at = [&](const PlotPoint& point) { return QPointF(xAt(point.x), yAt(point.y)); };

  for (std::size_t i = 0; i < v.x.ticks.size() && i < v.x.labels.size(); ++i) {
    const double x = xAt(v.x.ticks[i]);
    p.setPen(QPen(colours.grid, 1));
    p.drawLine(QPointF(x, area.top()), QPointF(x, area.bottom()));
    p.setPen(colours.text);
    const QString label = Q(v.x.labels[i]);
    p.drawText(QPointF(x - fm.horizontalAdvance(label) / 2, bounds.top() + f.xLabelY), label);
  }
  for (std::size_t i = 0; i < v.y.ticks.size() && i < v.y.labels.size(); ++i) {
    const double y = yAt(v.y.ticks[i]);
    p.setPen(QPen(colours.grid, 1));
    p.drawLine(QPointF(area.left(), y), QPointF(area.right(), y));
    p.setPen(colours.text);
    const QString label = Q(v.y.labels[i]);
    p.drawText(QPointF(area.left() - fm.horizontalAdvance(label) - kYLabelGap, y + fm.ascent() / 2), label);
  }
  p.setPen(colours.text);
  p.drawText(origin + QPointF(f.titleX, f.titleY), Q(v.title));
  // The legend: line styles, left to right, in as many rows as it needs.
  for (std::size_t i = 0; i < v.traces.size(); ++i) {
    const QPointF entry = origin + QPointF(f.legend[i].x, f.legend[i].y);
    const QPointF stroke = entry - QPointF(0, fm.ascent() / 3);
    p.setPen(PenOf(TraceStyleOf(v.traces[i].trace), colours));
    p.drawLine(stroke, stroke + QPointF(kLegendStroke, 0));
    p.setPen(colours.text);
    p.drawText(entry + QPointF(kLegendText, 0), Q(v.traces[i].name));
  }

  p.save();
  p.setClipRect(area.adjusted(-kClipMargin, -kClipMargin, kClipMargin, kClipMargin));
  if (v.requiredAt) {
    // The requirement as a faint level from its frequency on, and a ring at its point.
    const QPointF r = at(*v.requiredAt);
    p.setPen(PenOf(kRequirementLevel, colours));
    p.drawLine(r, QPointF(area.right(), r.y()));
    p.setPen(QPen(ColourOf(Ink::Limit, colours), kRingPen));
    p.drawEllipse(r, kRingRadius, kRingRadius);
  }
  if (v.selfResonance > 0) {
    p.setPen(PenOf(kSelfResonanceLine, colours));
    const double sx = xAt(v.selfResonanceAt);
    p.drawLine(QPointF(sx, area.top()), QPointF(sx, area.bottom()));
  }
  for (const auto& t : v.traces) {
    QPainterPath path;
    for (const auto& piece : t.line) {
      for (std::size_t i = 0; i < piece.size(); ++i)
        i == 0 ? path.moveTo(at(piece[i])) : path.lineTo(at(piece[i]));
    }
    p.setPen(PenOf(TraceStyleOf(t.trace), colours));
    p.drawPath(path);
  }
  p.restore();
  if (v.requiredAt) {
    // Its label inside the plot whatever the frequency: right of the ring, or left of it near the edge.
    const QPointF r = at(*v.requiredAt);
    const QString label = Q(v.requiredLabel);
    const double w = fm.horizontalAdvance(label);
    const double line = fm.height();
    const double lx =
        std::clamp(r.x() + kRingLabelRight, area.left() + 2, std::max(area.left() + 2, area.right() - w - 2));
    const double ly = std::clamp(r.y() - kRingLabelAbove, area.top() + line,
                                 std::max(area.top() + line, area.bottom() - 4));
    p.setPen(ColourOf(Ink::Limit, colours));
    p.drawText(QPointF(lx, ly), label);
  }
}

ImpedanceWindow::ImpedanceWindow(QWidget* parent, std::function<void()> save,
                                 std::function<void(int)> temperature, std::function<void()> material,
                                 std::function<void()> measured, std::function<void()> removeMeasured)
    : QWidget(parent, Qt::Window) {
  setObjectName(QStringLiteral("ImpedanceWindow"));
  setWindowTitle(QString::fromUtf8(kImpedanceTitle.data(), static_cast<qsizetype>(kImpedanceTitle.size())));
  QWidget* content = ScrollingContent(this);
  plot_ = new ImpedancePlot(this);
  plot_->setAccessibleName(QStringLiteral("Impedance plot"));
  loss_ = new ImpedancePlot(this);
  loss_->setObjectName(QStringLiteral("InsertionLossPlot"));
  loss_->setAccessibleName(QStringLiteral("Insertion loss plot"));
  ratio_ = new ImpedancePlot(this);
  ratio_->setObjectName(QStringLiteral("MeasuredRatioPlot"));
  ratio_->setAccessibleName(QStringLiteral("Measured over model plot"));
  ratio_->setVisible(false);
  caption_ = new QLabel(this);
  caption_->setObjectName(QStringLiteral("ImpedanceCaption"));
  caption_->setWordWrap(true);
  caption_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  save_ = new QPushButton(QStringLiteral("&Save Plot..."), this);
  save_->setObjectName(QStringLiteral("ImpedanceSave"));
  temperature_ = new QSpinBox(this);
  temperature_->setObjectName(QStringLiteral("ImpedanceTemperature"));
  temperature_->setRange(-40, 150);
  temperature_->setValue(25);
  temperature_->setPrefix(QStringLiteral("Core "));
  temperature_->setSuffix(QString::fromUtf8(" \u00b0C"));
  temperature_->setToolTip(QStringLiteral("The core temperature the curve and the saturation are taken at"));
  material_ = new QPushButton(QStringLiteral("&Measured Material..."), this);
  material_->setObjectName(QStringLiteral("ImpedanceMaterial"));
  material_->setToolTip(QStringLiteral(
      "The core's permeability from a file: CSV frequency_hz,mu_real,mu_imag or a material entry as JSON"));
  QObject::connect(material_, &QPushButton::clicked, this, std::move(material));
  measured_ = new QPushButton(QStringLiteral("Measured &Choke..."), this);
  measured_->setObjectName(QStringLiteral("ImpedanceMeasured"));
  measured_->setToolTip(
      QStringLiteral("A measured choke beside the model: a Touchstone file (.s1p, .s2p, .s4p) or an "
                     "impedance table (.csv)"));
  QObject::connect(measured_, &QPushButton::clicked, this, std::move(measured));
  removeMeasured_ = new QPushButton(QStringLiteral("&Remove Measured Choke"), this);
  removeMeasured_->setObjectName(QStringLiteral("ImpedanceRemoveMeasured"));
  removeMeasured_->setToolTip(QStringLiteral("Back to the model alone, here and in the emission check"));
  removeMeasured_->setEnabled(false);
  QObject::connect(removeMeasured_, &QPushButton::clicked, this, std::move(removeMeasured));
  auto* buttons = new QVBoxLayout;
  buttons->addWidget(save_);
  buttons->addWidget(material_);
  buttons->addWidget(measured_);
  buttons->addWidget(removeMeasured_);
  buttons->addWidget(temperature_);
  buttons->addStretch(1);
  auto* below = new QHBoxLayout;
  below->addWidget(caption_, 1);
  below->addLayout(buttons);
  auto* layout = new QVBoxLayout(content);
  layout->addWidget(plot_, 3);
  layout->addWidget(loss_, 2);
  layout->addWidget(ratio_, 2);
  layout->addLayout(below);
  QObject::connect(save_, &QPushButton::clicked, this, std::move(save));
  QObject::connect(temperature_, &QSpinBox::valueChanged, this, std::move(temperature));
}

void ImpedanceWindow::Show(const ImpedanceView& view) {
  caption_->setText(Q(view.caption));
  const QSignalBlocker quiet(temperature_);
  temperature_->setValue(static_cast<int>(std::lround(view.temperature)));
  save_->setEnabled(view.problem.empty());
  plot_->setAccessibleDescription(caption_->text());
  plot_->SetView(view);
  loss_->SetView(view.problem.empty() ? view.insertionLoss : Plot{});
  loss_->setVisible(view.problem.empty());
  const bool compared = view.problem.empty() && view.ratio.problem.empty();
  ratio_->SetView(compared ? view.ratio : Plot{});
  ratio_->setVisible(compared);
  removeMeasured_->setEnabled(view.measuredChoke != nullptr);
}

namespace {

// The picture's layout: the first panel takes three parts of the plots' height, every other
// two (as in the window), and the text its wrapped lines under them.
struct PictureLayout {
  QSize size;
  std::vector<QRectF> panels;
  QRectF text;
};

PictureLayout LayOutPicture(const PlotPicture& picture, const QFont& font) {
  PictureLayout l;
  double width = kPictureSize.width();
  for (const Plot* plot : picture.panels) width = std::max(width, std::ceil(PlotTextWidth(*plot, font)));
  const QFontMetricsF fm(font);
  const QRectF words = fm.boundingRect(QRectF(0, 0, width - 24, 1e6), Qt::TextWordWrap, Q(picture.text));
  const double plots = kPictureSize.height() * (picture.panels.size() > 1 ? 1.5 : 1.0);
  int parts = 0;
  for (std::size_t i = 0; i < picture.panels.size(); ++i) parts += i == 0 ? 3 : 2;
  double y = 0;
  for (std::size_t i = 0; i < picture.panels.size(); ++i) {
    const double h = plots * (i == 0 ? 3 : 2) / std::max(parts, 1);
    l.panels.emplace_back(0, y, width, h);
    y += h;
  }
  l.text = QRectF(12, y + 6, width - 24, picture.text.empty() ? 0 : words.height());
  l.size = QSize(static_cast<int>(width), static_cast<int>(std::ceil(l.text.bottom() + 12)));
  return l;
}

void DrawPicture(QPainter& p, const PlotPicture& picture, const PictureLayout& l, const QFont& font) {
  p.fillRect(QRectF(QPointF(0, 0), l.size), PictureColours().ground);
  for (std::size_t i = 0; i < picture.panels.size(); ++i)
    DrawPlot(p, *picture.panels[i], l.panels[i], font, PictureColours());
  p.setFont(font);
  p.setPen(PictureColours().text);
  p.drawText(l.text, Qt::TextWordWrap, Q(picture.text));
}

}  // namespace

std::string WritePlotPicture(const PlotPicture& picture, const std::string& path, PictureFormat format) {
  const QFont font = QApplication::font();
  const PictureLayout layout = LayOutPicture(picture, font);
  QSaveFile file(QString::fromStdString(path));
  if (!file.open(QIODevice::WriteOnly)) return file.errorString().toStdString();
  if (format == PictureFormat::Svg) {
    QSvgGenerator svg;
    svg.setOutputDevice(&file);
    svg.setSize(layout.size);
    svg.setViewBox(QRect(QPoint(0, 0), layout.size));
    if (!picture.panels.empty()) svg.setTitle(Q(picture.panels.front()->title));
    QPainter p(&svg);
    DrawPicture(p, picture, layout, font);
  } else {
    QImage image(layout.size, QImage::Format_RGB32);
    {
      QPainter p(&image);
      DrawPicture(p, picture, layout, font);
    }
    if (!image.save(&file, "PNG")) return "the image could not be encoded";
  }
  if (!file.commit()) return file.errorString().toStdString();
  return {};
}

std::optional<std::string> ChooseMaterialFile(QWidget* parent, QString& folder) {
  const QString name =
      QFileDialog::getOpenFileName(parent, QStringLiteral("Measured Material"), folder,
                                   QStringLiteral("Material curves (*.csv *.json *.ndjson);;All Files (*)"),
                                   nullptr, QFileDialog::DontUseNativeDialog);
  if (name.isEmpty()) return std::nullopt;
  folder = QFileInfo(name).absolutePath();
  return QFile::encodeName(name).toStdString();
}

std::optional<std::string> ChooseMasFile(QWidget* parent, QString& folder) {
  const QString name = QFileDialog::getOpenFileName(parent, QStringLiteral("Open MAS Design"), folder,
                                                    QStringLiteral("MAS designs (*.json);;All Files (*)"),
                                                    nullptr, QFileDialog::DontUseNativeDialog);
  if (name.isEmpty()) return std::nullopt;
  folder = QFileInfo(name).absolutePath();
  return QFile::encodeName(name).toStdString();
}

std::optional<std::string> ChooseMeasurementFile(QWidget* parent, QString& folder) {
  const QString name = QFileDialog::getOpenFileName(
      parent, QStringLiteral("Measured Choke"), folder,
      QStringLiteral("Measurements (*.s1p *.s2p *.s4p *.ts *.csv);;All Files (*)"), nullptr,
      QFileDialog::DontUseNativeDialog);
  if (name.isEmpty()) return std::nullopt;
  folder = QFileInfo(name).absolutePath();
  return QFile::encodeName(name).toStdString();
}

std::optional<std::string> ChoosePlotFile(QWidget* parent, QString& folder,
                                          const FileDialogSettings& settings) {
  QFileDialog dialog(parent,
                     QString::fromUtf8(kSavePlotTitle.data(), static_cast<qsizetype>(kSavePlotTitle.size())));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setNameFilters({QStringLiteral("PNG Image (*.png)"), QStringLiteral("SVG Drawing (*.svg)"),
                         QStringLiteral("CSV Values (*.csv)")});
  dialog.setDefaultSuffix(QString::fromStdString(settings.DefaultExt));
  QObject::connect(&dialog, &QFileDialog::filterSelected, [&](const QString& filter) {
    dialog.setDefaultSuffix(filter.section(QStringLiteral("*."), 1).chopped(1));
  });
  dialog.setDirectory(folder);
  dialog.selectFile(QString::fromStdString(settings.FileName));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  folder = QFileInfo(dialog.selectedFiles().first()).absolutePath();
  return QFile::encodeName(dialog.selectedFiles().first()).toStdString();
}

}  // namespace vtq::qt
