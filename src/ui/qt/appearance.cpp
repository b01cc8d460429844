#include "ui/qt/appearance.h"

#include <QFontDatabase>
#include <QPainter>
#include <QStyle>
#include <QSvgRenderer>

namespace vtq::qt {

bool LoadWindowFonts() {
  if (QFontDatabase::families().contains(kWindowFamily)) return true;
  // A font cache built before the fonts were installed does not list them.
  for (const char* file : {"/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf",
                           "/usr/share/fonts/truetype/liberation2/LiberationSans-Bold.ttf",
                           "/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf",
                           "/usr/share/fonts/truetype/liberation/LiberationSans-Bold.ttf"}) {
    QFontDatabase::addApplicationFont(QString::fromLatin1(file));
  }
  return QFontDatabase::families().contains(kWindowFamily);
}

QFont WindowFont() {
  QFont font(kWindowFamily);
  font.setPointSizeF(8.25);
  font.setBold(true);
  font.setStyleHint(QFont::SansSerif);
  return font;
}

QFont TitleFont() {
  QFont font = WindowFont();
  font.setPointSizeF(26.25);
  return font;
}

QIcon WindowIcon() {
  // Rendered by Qt's SVG icon engine at each size asked for, when it is asked for.
  return QIcon(QStringLiteral(":/art/icon.svg"));
}

void Frame::paintEvent(QPaintEvent*) {
  // The border's top edge runs 7 pixels down, through the caption's line; the caption
  // interrupts it from 6 pixels in, its text centred with 3 pixels of gap either side.
  QPainter painter(this);
  const QFontMetrics metrics = fontMetrics();
  const QRect caption(6, 0, metrics.horizontalAdvance(title()) + 7, metrics.height());
  painter.setClipRegion(QRegion(rect()) - caption);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QColor(0xa0, 0xa0, 0xa0));
  painter.drawRoundedRect(QRectF(rect().adjusted(0, 7, 0, 0)).adjusted(0.5, 0.5, -0.5, -0.5), 2, 2);
  painter.setClipping(false);
  style()->drawItemText(&painter, caption.adjusted(1, 0, -1, 0), Qt::AlignCenter, palette(), isEnabled(),
                        title(), QPalette::WindowText);
}

Picture::Picture(const QString& resource, QWidget* parent)
    : QWidget(parent), resource_(resource), svg_(resource) {
  setAttribute(Qt::WA_TranslucentBackground);
}

void Picture::paintEvent(QPaintEvent*) {
  // Rendered from the vector source on each paint: crisp at any scaling factor.
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  svg_.render(&painter, QRectF(rect()));
}

}  // namespace vtq::qt
