#include "ui/qt/impedance_plot.h"

#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace vtq::qt {
namespace {

QString Engineering(double value, const QString& unit) {
  static const QString prefixes[] = {QStringLiteral("\u00b5"), QStringLiteral("m"), QString(),
                                     QStringLiteral("k"),      QStringLiteral("M"), QStringLiteral("G")};
  if (!(value > 0) || !std::isfinite(value)) return QStringLiteral("0 ") + unit;
  const int group = std::clamp(static_cast<int>(std::floor(std::log10(value) / 3)), -2, 3);
  const double scaled = value / std::pow(1000.0, group);
  return QString::number(scaled, 'g', 3) + QLatin1Char(' ') + prefixes[group + 2] + unit;
}

}  // namespace

QString FrequencyLabel(double hertz) {
  return Engineering(hertz, QStringLiteral("Hz"));
}

QString OhmLabel(double ohms) {
  return Engineering(ohms, QStringLiteral("\u03a9"));
}

ImpedancePlot::ImpedancePlot(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("ImpedancePlot"));
  setMinimumSize(360, 240);
  setBackgroundRole(QPalette::Base);
  setAutoFillBackground(true);
}

void ImpedancePlot::SetCurve(analysis::ImpedanceCurve curve) {
  curve_ = std::move(curve);
  update();
}

void ImpedancePlot::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  const QFontMetrics fm(font());
  if (curve_.points.empty()) {
    p.drawText(rect().adjusted(12, 12, -12, -12), Qt::AlignCenter | Qt::TextWordWrap,
               QString::fromStdString(curve_.problem));
    return;
  }
  // Decades that hold the whole curve and the requirement, at least two of them.
  double low = curve_.points.front().magnitude, high = curve_.points.back().magnitude;
  if (curve_.required) {
    low = std::min(low, curve_.required->magnitude);
    high = std::max(high, curve_.required->magnitude);
  }
  const double yMin = std::floor(std::log10(low)), yMax = std::max(std::ceil(std::log10(high)), yMin + 2);
  const double xMin = std::log10(analysis::kCurveStart), xMax = std::log10(analysis::kCurveStop);

  // Room on the left for the ohm labels, on the right for half of the last frequency label.
  const double left = fm.horizontalAdvance(QStringLiteral("100 k\u03a9")) + 14.0;
  const double right = fm.horizontalAdvance(FrequencyLabel(analysis::kCurveStop)) / 2.0 + 10.0;
  const QRectF area(left, fm.height() + 12.0, width() - left - right, height() - 2.0 * fm.height() - 28.0);
  auto at = [&](double f, double z) {
    return QPointF(area.left() + (std::log10(f) - xMin) / (xMax - xMin) * area.width(),
                   area.bottom() - (std::log10(z) - yMin) / (yMax - yMin) * area.height());
  };

  const QColor grid = palette().color(QPalette::Mid);
  const QColor text = palette().color(QPalette::Text);
  for (int d = static_cast<int>(xMin); d <= static_cast<int>(xMax); ++d) {
    const double f = std::pow(10.0, d);
    const QPointF top = at(f, std::pow(10.0, yMax)), bottom = at(f, std::pow(10.0, yMin));
    p.setPen(QPen(grid, 1));
    p.drawLine(top, bottom);
    p.setPen(text);
    const QString label = FrequencyLabel(f);
    p.drawText(QPointF(bottom.x() - fm.horizontalAdvance(label) / 2.0, bottom.y() + fm.height() + 2), label);
  }
  for (int d = static_cast<int>(yMin); d <= static_cast<int>(yMax); ++d) {
    const double z = std::pow(10.0, d);
    const QPointF left = at(analysis::kCurveStart, z), right = at(analysis::kCurveStop, z);
    p.setPen(QPen(grid, 1));
    p.drawLine(left, right);
    p.setPen(text);
    const QString label = OhmLabel(z);
    p.drawText(QPointF(left.x() - fm.horizontalAdvance(label) - 6, left.y() + fm.ascent() / 2.0), label);
  }
  p.setPen(text);
  p.drawText(QRectF(area.left(), 2, area.width(), fm.height() + 6), Qt::AlignLeft | Qt::AlignVCenter,
             QStringLiteral("|Z| of the ideal winding, 2\u03c0fL with L = %1H")
                 .arg(Engineering(curve_.inductance, QString())));

  QPainterPath line;
  line.moveTo(at(curve_.points.front().frequency, curve_.points.front().magnitude));
  for (const auto& pt : curve_.points) line.lineTo(at(pt.frequency, pt.magnitude));
  p.setClipRect(area.adjusted(-1, -1, 1, 1));
  p.setPen(QPen(QColor(0x1f, 0x4e, 0x9a), 2));
  p.drawPath(line);

  if (curve_.required) {
    const QPointF r = at(curve_.required->frequency, curve_.required->magnitude);
    p.setPen(QPen(QColor(0xc0, 0x20, 0x20), 2));
    p.drawEllipse(r, 5, 5);
    p.setClipping(false);
    const QString label =
        QStringLiteral("required %1 at %2")
            .arg(OhmLabel(curve_.required->magnitude), FrequencyLabel(curve_.required->frequency));
    const double x = std::min(r.x() + 9, area.right() - fm.horizontalAdvance(label));
    p.drawText(QPointF(x, r.y() + fm.height() + 4), label);
  }
}

ImpedanceWindow::ImpedanceWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName(QStringLiteral("ImpedanceWindow"));
  setWindowTitle(QStringLiteral("Impedance"));
  plot_ = new ImpedancePlot(this);
  caption_ = new QLabel(this);
  caption_->setObjectName(QStringLiteral("ImpedanceCaption"));
  caption_->setWordWrap(true);
  caption_->setText(
      QStringLiteral("Common-mode impedance of the ideal winding. It ignores the fall of the ferrite's "
                     "permeability with frequency and the winding's self-resonance, for which the catalogue "
                     "has no data: towards the megahertz a real choke falls short of this line."));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(plot_, 1);
  layout->addWidget(caption_);
}

void ImpedanceWindow::Show(analysis::ImpedanceCurve curve) {
  plot_->SetCurve(std::move(curve));
}

}  // namespace vtq::qt
