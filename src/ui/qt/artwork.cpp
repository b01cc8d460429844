#include "ui/qt/artwork.h"

#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>
#include <numbers>

namespace vtq::qt {
namespace {

const QColor kWireEdge(0x6b, 0x0a, 0x0a), kWireCore(0xb3, 0x26, 0x2a);

struct Toroid {
  QPointF centre;
  double outer, inner;          // the ring's radii
  double rim;                   // width of the ring's dark outline
  int turns;                    // per winding
  double turnInner, turnOuter;  // each turn runs radially between these radii
  double wire;                  // width of a turn; its lighter core is 0.35 of it
};

// The ferrite ring, lit from the upper left.
void DrawRing(QPainter& painter, const Toroid& t) {
  QRadialGradient light(t.centre - QPointF(0.25 * t.outer, 0.3 * t.outer), 1.25 * t.outer);
  light.setColorAt(0, QColor(0xe4, 0xe4, 0xe4));
  light.setColorAt(0.55, QColor(0xa9, 0xa9, 0xa9));
  light.setColorAt(1, QColor(0x6f, 0x6f, 0x6f));
  QPainterPath ring;
  ring.setFillRule(Qt::OddEvenFill);
  ring.addEllipse(t.centre, t.outer, t.outer);
  ring.addEllipse(t.centre, t.inner, t.inner);
  painter.setPen(QPen(QColor(0x4d, 0x4d, 0x4d), t.rim));
  painter.setBrush(light);
  painter.drawPath(ring);
  painter.setBrush(Qt::NoBrush);
}

// One winding: its turns spread over 100 degrees of the ring, centred on the left
// (from the top down) or on the right (from the bottom up). Returns the outer ends of
// the first and the last turn, where the leads leave.
std::pair<QPointF, QPointF> DrawWinding(QPainter& painter, const Toroid& t, bool left) {
  QPainterPath turns;
  QPointF first, last;
  for (int k = 0; k < t.turns; ++k) {
    const double degrees = (left ? -130.0 : 50.0) - 100.0 * k / (t.turns - 1);
    const double radians = degrees * std::numbers::pi / 180;
    const QPointF direction(std::cos(radians), std::sin(radians));
    const QPointF outerEnd = t.centre + t.turnOuter * direction;
    turns.moveTo(t.centre + t.turnInner * direction);
    turns.lineTo(outerEnd);
    (k == 0 ? first : last) = outerEnd;
  }
  for (const auto& [color, width] : {std::pair{kWireEdge, t.wire}, std::pair{kWireCore, 0.35 * t.wire}}) {
    QPen pen(color, width);
    pen.setCapStyle(Qt::RoundCap);
    painter.setPen(pen);
    painter.drawPath(turns);
  }
  return {first, last};
}

// A lead from a winding's end, curving out to run level into its other end.
void DrawLead(QPainter& painter, QPointF from, QPointF to) {
  QPainterPath lead(from);
  lead.quadTo(QPointF((from.x() + to.x()) / 2, to.y()), to);
  QPen pen(kWireEdge, 2.2);
  pen.setCapStyle(Qt::RoundCap);
  painter.setPen(pen);
  painter.drawPath(lead);
}

}  // namespace

void DrawToroid(QPainter& painter) {
  const Toroid t{{77, 57}, 48, 21, 1.2, 12, 20, 49, 3.4};
  // The leads end 1.5 pixels inside the picture's sides.
  const double leadX = 75.5, leadY = 43.31;
  const QPointF c = t.centre;
  DrawRing(painter, t);
  const auto [leftTop, leftBottom] = DrawWinding(painter, t, true);
  DrawLead(painter, leftTop, c + QPointF(-leadX, -leadY));
  DrawLead(painter, leftBottom, c + QPointF(-leadX, leadY));
  const auto [rightBottom, rightTop] = DrawWinding(painter, t, false);
  DrawLead(painter, rightBottom, c + QPointF(leadX, leadY));
  DrawLead(painter, rightTop, c + QPointF(leadX, -leadY));
}

void DrawLogo(QPainter& painter) {
  painter.setPen(QPen(QColor(0x0b, 0x1a, 0x2e), 1));
  painter.setBrush(QColor(0x1d, 0x35, 0x57));
  painter.drawRoundedRect(QRectF(1, 1, 30, 30), 6, 6);
  QPainterPath k;
  k.moveTo(10, 7);
  k.lineTo(10, 25);
  k.moveTo(22, 7);
  k.lineTo(11.5, 16.5);
  k.lineTo(22.5, 25);
  painter.setPen(QPen(QColor(0xf1, 0xf1, 0xf1), 3.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  painter.setBrush(Qt::NoBrush);
  painter.drawPath(k);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0xe6, 0x39, 0x46));
  painter.drawEllipse(QPointF(24.5, 9), 1.8, 1.8);
}

void DrawIcon(QPainter& painter) {
  const Toroid t{{32, 32}, 29, 12, 0.8, 7, 10.5, 30.5, 5};
  DrawRing(painter, t);
  DrawWinding(painter, t, true);
  DrawWinding(painter, t, false);
}

QImage DrawArtwork(const Artwork& art, QSize pixels) {
  QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.scale(pixels.width() / double(art.size.width()), pixels.height() / double(art.size.height()));
  art.draw(painter);
  return image;
}

}  // namespace vtq::qt
