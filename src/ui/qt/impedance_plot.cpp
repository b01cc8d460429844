#include "ui/qt/impedance_plot.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QSaveFile>
#include <QSvgGenerator>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace vtq::qt {
namespace {

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

struct Series {
  QColor color;
  Qt::PenStyle style;
  double width;
  QString name;
  double (*value)(const analysis::ImpedanceSample&);
};

const QColor kCommon(0x1f, 0x4e, 0x9a), kDifferential(0x2e, 0x8b, 0x3e), kRequired(0xc0, 0x20, 0x20);

// X is drawn by its size: on log axes a capacitive (negative) reactance has no place otherwise.
const Series kSeries[] = {
    {QColor(0, 0, 0, 60), Qt::SolidLine, 1.0, QStringLiteral("ideal 2\u03c0fL"),
     [](const analysis::ImpedanceSample& s) { return s.ideal; }},
    {kCommon, Qt::DotLine, 1.2, QStringLiteral("R"),
     [](const analysis::ImpedanceSample& s) { return s.commonMode.real(); }},
    {kCommon, Qt::DashLine, 1.2, QStringLiteral("|X|"),
     [](const analysis::ImpedanceSample& s) { return std::abs(s.commonMode.imag()); }},
    {kDifferential, Qt::DotLine, 1.2, QStringLiteral("R"),
     [](const analysis::ImpedanceSample& s) { return s.differential.real(); }},
    {kDifferential, Qt::DashLine, 1.2, QStringLiteral("|X|"),
     [](const analysis::ImpedanceSample& s) { return std::abs(s.differential.imag()); }},
    {kCommon, Qt::SolidLine, 2.2, QStringLiteral("common mode |Z|"),
     [](const analysis::ImpedanceSample& s) { return std::abs(s.commonMode); }},
    {kDifferential, Qt::SolidLine, 2.2, QStringLiteral("differential mode |Z|, per line"),
     [](const analysis::ImpedanceSample& s) { return std::abs(s.differential); }},
};

}  // namespace

QString FrequencyLabel(double hertz) {
  return Q(analysis::Engineering(hertz, "Hz"));
}

QString OhmLabel(double ohms) {
  return Q(analysis::Engineering(ohms, "\u03a9"));
}

PlotDecades DecadesOf(const analysis::ImpedanceCurve& c) {
  PlotDecades d;
  if (c.points.empty()) return d;
  d.xMin = static_cast<int>(std::floor(std::log10(c.points.front().frequency) + 1e-9));
  d.xMax = static_cast<int>(std::ceil(std::log10(c.points.back().frequency) - 1e-9));
  double low = INFINITY, high = 0;
  for (const auto& s : c.points) {
    for (double z : {std::abs(s.commonMode), std::abs(s.differential)}) {
      low = std::min(low, z);
      high = std::max(high, z);
    }
  }
  if (c.required) {
    low = std::min(low, c.required->magnitude);
    high = std::max(high, c.required->magnitude);
  }
  d.yMax = static_cast<int>(std::ceil(std::log10(high)));
  d.yMin = std::min(static_cast<int>(std::floor(std::log10(low))), d.yMax - 2);
  return d;
}

ImpedancePlot::ImpedancePlot(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("ImpedancePlot"));
  setMinimumSize(420, 300);
  setBackgroundRole(QPalette::Base);
  setAutoFillBackground(true);
}

void ImpedancePlot::SetCurve(analysis::ImpedanceCurve curve) {
  curve_ = std::move(curve);
  update();
}

void ImpedancePlot::paintEvent(QPaintEvent*) {
  QPainter p(this);
  Paint(p, rect());
}

void ImpedancePlot::Paint(QPainter& p, const QRectF& bounds) const {
  p.setRenderHint(QPainter::Antialiasing);
  p.setFont(font());
  const QFontMetricsF fm(font());
  const QColor text = palette().color(QPalette::Text);
  if (curve_.points.empty()) {
    p.setPen(text);
    p.drawText(bounds.adjusted(12, 12, -12, -12), Qt::AlignCenter | Qt::TextWordWrap, Q(curve_.problem));
    return;
  }
  const PlotDecades d = DecadesOf(curve_);
  const double line = fm.height();
  // Room on the left for the ohm labels, on the right for half the last frequency label,
  // on top for the title and the legend, below for the frequency labels.
  const double left = bounds.left() + fm.horizontalAdvance(QStringLiteral("100 k\u03a9")) + 14;
  const double right = bounds.right() - fm.horizontalAdvance(FrequencyLabel(1e8)) / 2 - 10;
  const QRectF area(left, bounds.top() + 2 * line + 14, right - left, bounds.height() - 4 * line - 22);
  auto at = [&](double f, double z) {
    return QPointF(area.left() + (std::log10(f) - d.xMin) / (d.xMax - d.xMin) * area.width(),
                   area.bottom() - (std::log10(z) - d.yMin) / (d.yMax - d.yMin) * area.height());
  };

  const QColor grid = palette().color(QPalette::Mid);
  for (int x = d.xMin; x <= d.xMax; ++x) {
    const double f = std::pow(10.0, x);
    p.setPen(QPen(grid, 1));
    p.drawLine(QPointF(at(f, 1).x(), area.top()), QPointF(at(f, 1).x(), area.bottom()));
    p.setPen(text);
    const QString label = FrequencyLabel(f);
    p.drawText(QPointF(at(f, 1).x() - fm.horizontalAdvance(label) / 2, area.bottom() + line + 2), label);
  }
  for (int y = d.yMin; y <= d.yMax; ++y) {
    const double z = std::pow(10.0, y);
    p.setPen(QPen(grid, 1));
    p.drawLine(QPointF(area.left(), at(1, z).y()), QPointF(area.right(), at(1, z).y()));
    p.setPen(text);
    const QString label = OhmLabel(z);
    p.drawText(QPointF(area.left() - fm.horizontalAdvance(label) - 6, at(1, z).y() + fm.ascent() / 2), label);
  }
  p.setPen(text);
  p.drawText(
      QPointF(bounds.left() + 4, bounds.top() + fm.ascent() + 2),
      QStringLiteral("Impedance of %1: common mode (blue), differential mode per line (green)")
          .arg(Q(curve_.parameters.inductance > 0 ? analysis::Engineering(curve_.parameters.inductance, "H")
                                                  : std::string())));
  // The legend: line styles, left to right.
  double x = bounds.left() + 4;
  const double legendY = bounds.top() + line + fm.ascent() + 6;
  for (const auto& s : kSeries) {
    p.setPen(QPen(s.color, s.width, s.style));
    p.drawLine(QPointF(x, legendY - fm.ascent() / 3), QPointF(x + 18, legendY - fm.ascent() / 3));
    p.setPen(text);
    p.drawText(QPointF(x + 22, legendY), s.name);
    x += 34 + fm.horizontalAdvance(s.name);
  }

  p.save();
  p.setClipRect(area.adjusted(-1, -1, 1, 1));
  if (curve_.required) {
    // The requirement as a faint level from its frequency on, and a ring at its point.
    const QPointF r = at(curve_.required->frequency, curve_.required->magnitude);
    p.setPen(QPen(kRequired, 1, Qt::DashLine));
    p.drawLine(r, QPointF(area.right(), r.y()));
    p.setPen(QPen(kRequired, 2));
    p.drawEllipse(r, 5, 5);
  }
  if (curve_.selfResonance > 0) {
    p.setPen(QPen(text, 1, Qt::DotLine));
    const double sx = at(curve_.selfResonance, 1).x();
    p.drawLine(QPointF(sx, area.top()), QPointF(sx, area.bottom()));
  }
  for (const auto& s : kSeries) {
    QPainterPath path;
    bool pen = false;
    for (const auto& pt : curve_.points) {
      const double v = s.value(pt);
      if (!(v > 0)) {
        pen = false;
        continue;
      }
      pen ? path.lineTo(at(pt.frequency, v)) : path.moveTo(at(pt.frequency, v));
      pen = true;
    }
    p.setPen(QPen(s.color, s.width, s.style));
    p.drawPath(path);
  }
  p.restore();
  if (curve_.required) {
    // Its label inside the plot whatever the frequency: right of the ring, or left of it near the edge.
    const QPointF r = at(curve_.required->frequency, curve_.required->magnitude);
    const QString label =
        QStringLiteral("required %1 at %2")
            .arg(OhmLabel(curve_.required->magnitude), FrequencyLabel(curve_.required->frequency));
    const double w = fm.horizontalAdvance(label);
    const double lx = std::clamp(r.x() + 9, area.left() + 2, area.right() - w - 2);
    const double ly = std::clamp(r.y() - 8, area.top() + line, area.bottom() - 4);
    p.setPen(kRequired);
    p.drawText(QPointF(lx, ly), label);
  }
}

ImpedanceWindow::ImpedanceWindow(QWidget* parent, UserDialogs& dialogs, PathChooser choose)
    : QWidget(parent, Qt::Window), dialogs_(dialogs), choose_(std::move(choose)) {
  setObjectName(QStringLiteral("ImpedanceWindow"));
  setWindowTitle(QStringLiteral("Impedance"));
  plot_ = new ImpedancePlot(this);
  caption_ = new QLabel(this);
  caption_->setObjectName(QStringLiteral("ImpedanceCaption"));
  caption_->setWordWrap(true);
  caption_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  save_ = new QPushButton(QStringLiteral("&Save Plot..."), this);
  save_->setObjectName(QStringLiteral("ImpedanceSave"));
  auto* below = new QHBoxLayout;
  below->addWidget(caption_, 1);
  below->addWidget(save_, 0, Qt::AlignTop);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(plot_, 1);
  layout->addLayout(below);
  QObject::connect(save_, &QPushButton::clicked, this, [this] {
    const std::string path = choose_ ? choose_("impedance.png") : std::string();
    std::string error;
    if (!path.empty() && !Save(path, error)) {
      dialogs_.MsgBox("Could not save " + path + ":\r" + error + ".", "Save Plot");
    }
  });
}

void ImpedanceWindow::Show(analysis::ImpedanceCurve curve) {
  caption_->setText(Q(analysis::Summary(curve)));
  save_->setEnabled(curve.problem.empty());
  plot_->SetCurve(std::move(curve));
}

bool ImpedanceWindow::Save(const std::string& path, std::string& error) const {
  const QString name = QString::fromStdString(path);
  const QString suffix = QFileInfo(name).suffix().toLower();
  const QSize size(900, 600);
  QSaveFile file(name);
  if (suffix != QLatin1String("png") && suffix != QLatin1String("svg") && suffix != QLatin1String("csv")) {
    error = "the name must end in .png, .svg or .csv";
    return false;
  }
  if (!file.open(QIODevice::WriteOnly)) {
    error = file.errorString().toStdString();
    return false;
  }
  if (suffix == QLatin1String("csv")) {
    file.write(QByteArray::fromStdString(analysis::CurveCsv(plot_->curve())));
  } else if (suffix == QLatin1String("svg")) {
    QSvgGenerator svg;
    svg.setOutputDevice(&file);
    svg.setSize(size);
    svg.setViewBox(QRect(QPoint(0, 0), size));
    svg.setTitle(QStringLiteral("Impedance"));
    QPainter p(&svg);
    p.fillRect(QRect(QPoint(0, 0), size), Qt::white);
    plot_->Paint(p, QRectF(QPointF(0, 0), size));
  } else {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
      QPainter p(&image);
      plot_->Paint(p, QRectF(QPointF(0, 0), size));
    }
    if (!image.save(&file, "PNG")) {
      error = "the image could not be encoded";
      return false;
    }
  }
  if (!file.commit()) {
    error = file.errorString().toStdString();
    return false;
  }
  return true;
}

}  // namespace vtq::qt
