#include "ui/qt/appearance.h"

#include <QFontDatabase>
#include <QIconEngine>
#include <QPainter>
#include <QPointer>
#include <QProxyStyle>
#include <QScreen>
#include <QShortcut>
#include <QStyle>
#include <algorithm>

#include "ui/qt/artwork.h"

namespace vtq::qt {

QPoint OnScreen(QPoint at, QSize size, const QRect& available) {
  at.setX(std::max(available.left(), std::min(at.x(), available.right() + 1 - size.width())));
  at.setY(std::max(available.top(), std::min(at.y(), available.bottom() + 1 - size.height())));
  return at;
}

void MakeCompanion(QWidget* companion, const QWidget& designWindow) {
  for (const QKeySequence& keys : {QKeySequence(Qt::Key_Escape), QKeySequence(QKeySequence::Close)}) {
    auto* shortcut = new QShortcut(keys, companion, nullptr, nullptr, Qt::WindowShortcut);
    QObject::connect(shortcut, &QShortcut::activated, companion, &QWidget::close);
  }
  const QScreen* screen = designWindow.screen();
  if (screen == nullptr) return;
  const QRect available = screen->availableGeometry(), design = designWindow.frameGeometry();
  const QSize size = companion->frameGeometry().size().expandedTo(companion->sizeHint());
  QPoint at(design.right() + 9, design.top());
  if (at.x() + size.width() > available.right() + 1) at.setX(design.left() - 9 - size.width());
  companion->move(OnScreen(at, size, available));
}

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

namespace {

// The icon at each size the desktop asks for, with no image files or icon plugins to
// load when the program starts.
class DrawnIcon : public QIconEngine {
 public:
  QPixmap pixmap(const QSize& size, QIcon::Mode, QIcon::State) override {
    return QPixmap::fromImage(ArtworkImage(kIcon, size));
  }
  void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
    const qreal ratio = painter->device()->devicePixelRatio();
    painter->drawPixmap(rect, pixmap((QSizeF(rect.size()) * ratio).toSize(), mode, state));
  }
  QIconEngine* clone() const override { return new DrawnIcon; }
};

}  // namespace

QIcon WindowIcon() {
  return QIcon(new DrawnIcon);
}

namespace {

// One of a style's standard icons, asked of the style when first painted or measured.
class DeferredIcon : public QIconEngine {
 public:
  DeferredIcon(QStyle* style, QStyle::StandardPixmap which) : style_(style), which_(which) {}

  void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
    icon().paint(painter, rect, Qt::AlignCenter, mode, state);
  }
  QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
    return icon().pixmap(size, mode, state);
  }
  QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state, qreal scale) override {
    return icon().pixmap(size, scale, mode, state);
  }
  QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
    return icon().actualSize(size, mode, state);
  }
  QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
    return icon().availableSizes(mode, state);
  }
  QIconEngine* clone() const override { return new DeferredIcon(style_, which_); }

 private:
  const QIcon& icon() {
    if (!asked_ && style_) icon_ = style_->standardIcon(which_);
    asked_ = true;
    return icon_;
  }

  QPointer<QStyle> style_;
  QStyle::StandardPixmap which_;
  bool asked_ = false;
  QIcon icon_;
};

class WindowStyle : public QProxyStyle {
 public:
  QIcon standardIcon(StandardPixmap which, const QStyleOption* option, const QWidget* widget) const override {
    if (which == SP_ToolBarHorizontalExtensionButton) return QIcon(new DeferredIcon(baseStyle(), which));
    return QProxyStyle::standardIcon(which, option, widget);
  }
};

}  // namespace

QStyle* NewWindowStyle() {
  return new WindowStyle;
}

void Frame::paintEvent(QPaintEvent*) {
  // The border's top edge runs 7 pixels down, through the caption's line; the caption
  // interrupts it from 6 pixels in, its text centred with 3 pixels of gap either side.
  // The straight runs lie on whole pixels; only the corners, of radius 2, are
  // antialiased (a whole antialiased outline costs as much as the rest of the paint).
  QPainter painter(this);
  const QFontMetrics metrics = fontMetrics();
  const QRect caption(6, 0, metrics.horizontalAdvance(title()) + 7, metrics.height());
  const QColor line(0xa0, 0xa0, 0xa0);
  const QRect border = rect().adjusted(0, 7, 0, 0);
  constexpr int r = 2;
  const int rightCorner = border.right() - r;  // where the top edge bends down
  painter.fillRect(border.left() + r, border.top(), caption.left() - border.left() - r, 1, line);
  if (caption.right() < rightCorner)
    painter.fillRect(caption.right() + 1, border.top(), rightCorner - caption.right(), 1, line);
  painter.fillRect(border.left() + r, border.bottom(), border.width() - 2 * r, 1, line);
  painter.fillRect(border.left(), border.top() + r, 1, border.height() - 2 * r, line);
  painter.fillRect(border.right(), border.top() + r, 1, border.height() - 2 * r, line);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(line);
  const QRectF corner(0.5, 0.5, 2 * r, 2 * r);
  painter.drawArc(corner.translated(border.left(), border.top()), 90 * 16, 90 * 16);
  if (caption.right() < rightCorner)
    painter.drawArc(corner.translated(border.right() - 2 * r, border.top()), 0, 90 * 16);
  painter.drawArc(corner.translated(border.left(), border.bottom() - 2 * r), 180 * 16, 90 * 16);
  painter.drawArc(corner.translated(border.right() - 2 * r, border.bottom() - 2 * r), 270 * 16, 90 * 16);
  style()->drawItemText(&painter, caption.adjusted(1, 0, -1, 0), Qt::AlignCenter, palette(), isEnabled(),
                        title(), QPalette::WindowText);
}

Picture::Picture(const Artwork& art, QWidget* parent) : QWidget(parent), art_(art) {
  setAttribute(Qt::WA_TranslucentBackground);
}

void Picture::paintEvent(QPaintEvent*) {
  const qreal ratio = devicePixelRatio();
  const QSize pixels = (QSizeF(size()) * ratio).toSize();
  if (image_.size() != pixels) {
    image_ = ArtworkImage(art_, pixels);
    image_.setDevicePixelRatio(ratio);
  }
  QPainter(this).drawImage(0, 0, image_);
}

}  // namespace vtq::qt
