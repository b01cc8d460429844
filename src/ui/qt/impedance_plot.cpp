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

namespace vtq::qt {
namespace {

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

const QColor kCommon(0x1f, 0x4e, 0x9a), kDifferential(0x2e, 0x8b, 0x3e), kRequired(0xc0, 0x20, 0x20);
// On a dark ground the same hues lighter: navy on black can hardly be seen.
const QColor kCommonOnDark(0x7f, 0xb0, 0xff), kDifferentialOnDark(0x6c, 0xd6, 0x7e);

QPen PenOf(Trace trace, const PlotColours& colours) {
  const bool dark = colours.ground.lightness() < 128;
  const QColor& common = dark ? kCommonOnDark : kCommon;
  const QColor& differential = dark ? kDifferentialOnDark : kDifferential;
  switch (trace) {
    case Trace::Ideal: {
      // Faint, for reference: the text colour at a quarter strength, seen on either ground.
      QColor faint = colours.text;
      faint.setAlpha(60);
      return {faint, 1.0};
    }
    case Trace::CommonR:
      return {common, 1.2, Qt::DotLine};
    case Trace::CommonX:
      return {common, 1.2, Qt::DashLine};
    case Trace::DifferentialR:
      return {differential, 1.2, Qt::DotLine};
    case Trace::DifferentialX:
      return {differential, 1.2, Qt::DashLine};
    case Trace::CommonZ:
    case Trace::CommonFiltered:
      return {common, 2.2};
    case Trace::DifferentialZ:
    case Trace::DifferentialFiltered:
      break;
    case Trace::LossCommon50:
      return {common, 2.0};
    case Trace::LossDifferential50:
      return {differential, 2.0};
    case Trace::LossCommonNetwork:
      return {common, 1.0, Qt::DashLine};
    case Trace::LossDifferentialNetwork:
      return {differential, 1.0, Qt::DashLine};
    case Trace::LimitQuasiPeak:
      return {kRequired, 2.0};
    case Trace::LimitAverage:
      return {kRequired, 1.6, Qt::DashLine};
    case Trace::CommonBare: {
      // The unfiltered emission thin and pale behind the filtered one it is compared with.
      QColor pale = common;
      pale.setAlpha(110);
      return {pale, 1.0};
    }
    case Trace::DifferentialBare: {
      QColor pale = differential;
      pale.setAlpha(110);
      return {pale, 1.0};
    }
    case Trace::MeasuredCommonZ:
      return {common, 1.6, Qt::DashDotLine};
    case Trace::MeasuredDifferentialZ:
      return {differential, 1.6, Qt::DashDotLine};
  }
  return {differential, 2.2};
}

const QSize kPictureSize(900, 600);

}  // namespace

PlotColours ScreenColours(const QPalette& palette) {
  return {palette.color(QPalette::Base), palette.color(QPalette::Text), palette.color(QPalette::Mid)};
}

PlotColours PictureColours() {
  return {Qt::white, Qt::black, QColor(0xa0, 0xa0, 0xa0)};
}

ImpedancePlot::ImpedancePlot(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("ImpedancePlot"));
  setMinimumSize(420, 300);
  setBackgroundRole(QPalette::Base);
  setAutoFillBackground(true);
}

void ImpedancePlot::SetView(const Plot& view) {
  view_ = view;
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
  const double line = fm.height();
  // Room on the left for the widest impedance label, on the right for half the last
  // frequency label, on top for the title and the legend, below for the frequency labels.
  double labelWidth = 0;
  for (const auto& label : v.y.labels) labelWidth = std::max(labelWidth, fm.horizontalAdvance(Q(label)));
  const double left = bounds.left() + labelWidth + 14;
  const double right = bounds.right() - fm.horizontalAdvance(Q(v.x.labels.back())) / 2 - 10;
  const QRectF area(left, bounds.top() + 2 * line + 14, right - left, bounds.height() - 4 * line - 22);
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
    p.drawText(QPointF(x - fm.horizontalAdvance(label) / 2, area.bottom() + line + 2), label);
  }
  for (std::size_t i = 0; i < v.y.ticks.size() && i < v.y.labels.size(); ++i) {
    const double y = yAt(v.y.ticks[i]);
    p.setPen(QPen(colours.grid, 1));
    p.drawLine(QPointF(area.left(), y), QPointF(area.right(), y));
    p.setPen(colours.text);
    const QString label = Q(v.y.labels[i]);
    p.drawText(QPointF(area.left() - fm.horizontalAdvance(label) - 6, y + fm.ascent() / 2), label);
  }
  p.setPen(colours.text);
  p.drawText(QPointF(bounds.left() + 4, bounds.top() + fm.ascent() + 2), Q(v.title));
  // The legend: line styles, left to right.
  double x = bounds.left() + 4;
  const double legendY = bounds.top() + line + fm.ascent() + 6;
  for (const auto& t : v.traces) {
    p.setPen(PenOf(t.trace, colours));
    p.drawLine(QPointF(x, legendY - fm.ascent() / 3), QPointF(x + 18, legendY - fm.ascent() / 3));
    p.setPen(colours.text);
    const QString name = Q(t.name);
    p.drawText(QPointF(x + 22, legendY), name);
    x += 34 + fm.horizontalAdvance(name);
  }

  p.save();
  p.setClipRect(area.adjusted(-1, -1, 1, 1));
  if (v.requiredAt) {
    // The requirement as a faint level from its frequency on, and a ring at its point.
    const QPointF r = at(*v.requiredAt);
    p.setPen(QPen(kRequired, 1, Qt::DashLine));
    p.drawLine(r, QPointF(area.right(), r.y()));
    p.setPen(QPen(kRequired, 2));
    p.drawEllipse(r, 5, 5);
  }
  if (v.selfResonance > 0) {
    p.setPen(QPen(colours.text, 1, Qt::DotLine));
    const double sx = xAt(v.selfResonanceAt);
    p.drawLine(QPointF(sx, area.top()), QPointF(sx, area.bottom()));
  }
  for (const auto& t : v.traces) {
    QPainterPath path;
    for (const auto& piece : t.line) {
      for (std::size_t i = 0; i < piece.size(); ++i)
        i == 0 ? path.moveTo(at(piece[i])) : path.lineTo(at(piece[i]));
    }
    p.setPen(PenOf(t.trace, colours));
    p.drawPath(path);
  }
  p.restore();
  if (v.requiredAt) {
    // Its label inside the plot whatever the frequency: right of the ring, or left of it near the edge.
    const QPointF r = at(*v.requiredAt);
    const QString label = Q(v.requiredLabel);
    const double w = fm.horizontalAdvance(label);
    const double lx = std::clamp(r.x() + 9, area.left() + 2, std::max(area.left() + 2, area.right() - w - 2));
    const double ly =
        std::clamp(r.y() - 8, area.top() + line, std::max(area.top() + line, area.bottom() - 4));
    p.setPen(kRequired);
    p.drawText(QPointF(lx, ly), label);
  }
}

ImpedanceWindow::ImpedanceWindow(QWidget* parent, std::function<void()> save,
                                 std::function<void(int)> temperature, std::function<void()> material,
                                 std::function<void()> measured)
    : QWidget(parent, Qt::Window) {
  setObjectName(QStringLiteral("ImpedanceWindow"));
  setWindowTitle(QString::fromUtf8(kImpedanceTitle.data(), static_cast<qsizetype>(kImpedanceTitle.size())));
  plot_ = new ImpedancePlot(this);
  loss_ = new ImpedancePlot(this);
  loss_->setObjectName(QStringLiteral("InsertionLossPlot"));
  loss_->setMinimumSize(420, 200);
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
  auto* buttons = new QVBoxLayout;
  buttons->addWidget(save_);
  buttons->addWidget(material_);
  buttons->addWidget(measured_);
  buttons->addWidget(temperature_);
  buttons->addStretch(1);
  auto* below = new QHBoxLayout;
  below->addWidget(caption_, 1);
  below->addLayout(buttons);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(plot_, 3);
  layout->addWidget(loss_, 2);
  layout->addLayout(below);
  QObject::connect(save_, &QPushButton::clicked, this, std::move(save));
  QObject::connect(temperature_, &QSpinBox::valueChanged, this, std::move(temperature));
}

void ImpedanceWindow::Show(const ImpedanceView& view) {
  caption_->setText(Q(view.caption));
  const QSignalBlocker quiet(temperature_);
  temperature_->setValue(static_cast<int>(std::lround(view.temperature)));
  save_->setEnabled(view.problem.empty());
  plot_->SetView(view);
  loss_->SetView(view.problem.empty() ? view.insertionLoss : Plot{});
  loss_->setVisible(view.problem.empty());
}

std::string WritePlotPicture(const Plot& view, const std::string& path, PictureFormat format) {
  const QFont font = QApplication::font();
  const QRectF bounds(QPointF(0, 0), kPictureSize);
  QSaveFile file(QString::fromStdString(path));
  if (!file.open(QIODevice::WriteOnly)) return file.errorString().toStdString();
  if (format == PictureFormat::Svg) {
    QSvgGenerator svg;
    svg.setOutputDevice(&file);
    svg.setSize(kPictureSize);
    svg.setViewBox(QRect(QPoint(0, 0), kPictureSize));
    svg.setTitle(Q(view.title));
    QPainter p(&svg);
    p.fillRect(bounds, PictureColours().ground);
    DrawPlot(p, view, bounds, font, PictureColours());
  } else {
    QImage image(kPictureSize, QImage::Format_RGB32);
    image.fill(PictureColours().ground);
    {
      QPainter p(&image);
      DrawPlot(p, view, bounds, font, PictureColours());
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
