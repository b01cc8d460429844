#include "ui/qt/appearance.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPointer>
#include <QProxyStyle>
#include <QScreen>
#include <QScrollArea>
#include <QShortcut>
#include <QStyle>
#include <QVBoxLayout>
#include <QWindow>
#include <algorithm>
#include <vector>

#include "ui/qt/artwork.h"

namespace vtq::qt {

QPoint OnScreen(QPoint at, QSize size, const QRect& available) {
  at.setX(std::max(available.left(), std::min(at.x(), available.right() + 1 - size.width())));
  at.setY(std::max(available.top(), std::min(at.y(), available.bottom() + 1 - size.height())));
  return at;
}

namespace {

QMargins FrameOf(const QWidget& w) {
  const QWidget* window = w.window();
  if (window->windowHandle() && window->isVisible()) return window->windowHandle()->frameMargins();
  const QWidget* parent = window->parentWidget() ? window->parentWidget()->window() : nullptr;
  if (parent && parent->windowHandle() && parent->isVisible()) return parent->windowHandle()->frameMargins();
  // No window shown yet to measure: a title bar's height and thin edges, as most window
  // managers draw them.
  const int title = window->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, window);
  return {2, title + 4, 2, 2};
}

const QScreen* ScreenOf(const QWidget& w) {
  const QWidget* window = w.window();
  if (window->parentWidget() && window->parentWidget()->window()->isVisible())
    return window->parentWidget()->window()->screen();
  return window->screen() ? window->screen() : QGuiApplication::primaryScreen();
}

// How much of `r` lies over `other`, in square pixels.
qint64 Overlap(const QRect& r, const QRect& other) {
  const QRect both = r.intersected(other);
  return both.isEmpty() ? 0 : qint64{both.width()} * both.height();
}

}  // namespace

QSize ScreenRoom(const QWidget& near) {
  const QScreen* screen = ScreenOf(near);
  if (screen == nullptr) return {QWIDGETSIZE_MAX, QWIDGETSIZE_MAX};
  const QMargins frame = FrameOf(near);
  return screen->availableGeometry().size().shrunkBy(frame);
}

QWidget* ScrollingContent(QWidget* window) {
  auto* scroll = new QScrollArea(window);
  scroll->setObjectName(QStringLiteral("ContentScroll"));
  scroll->setFrameShape(QFrame::NoFrame);
  scroll->setWidgetResizable(true);
  auto* content = new QWidget(scroll);
  content->setObjectName(QStringLiteral("Content"));
  scroll->setWidget(content);
  auto* layout = new QVBoxLayout(window);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(scroll);
  return content;
}

QSize ContentSize(const QWidget& window) {
  const auto* scroll = window.findChild<QScrollArea*>(QStringLiteral("ContentScroll"));
  if (!scroll || !scroll->widget()) return window.size().expandedTo(window.sizeHint());
  return scroll->widget()->sizeHint().expandedTo(scroll->widget()->minimumSizeHint());
}

void MakeCompanion(QWidget* companion, const QWidget& designWindow, QSize content) {
  for (const QKeySequence& keys : {QKeySequence(Qt::Key_Escape), QKeySequence(QKeySequence::Close)}) {
    auto* shortcut = new QShortcut(keys, companion, nullptr, nullptr, Qt::WindowShortcut);
    QObject::connect(shortcut, &QShortcut::activated, companion, &QWidget::close);
  }
  const QScreen* screen = designWindow.screen();
  if (screen == nullptr) return;
  if (content.isEmpty()) content = ContentSize(*companion);
  const QMargins frame = FrameOf(designWindow);
  const QRect available = screen->availableGeometry(), design = designWindow.frameGeometry();
  companion->resize(content.boundedTo(available.size().shrunkBy(frame)));
  const QSize size = companion->size().grownBy(frame);
  // Beside the design window where the screen has room; else the screen's left or right
  // edge, whichever covers less of the design window and of the other open companions.
  std::vector<QRect> taken{design};
  if (const QWidget* parent = companion->parentWidget()) {
    for (const QWidget* other : parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
      if (other != companion && other->isWindow() && other->isVisible())
        taken.push_back(other->frameGeometry());
    }
  }
  const int top = design.top();
  const QPoint candidates[] = {{design.right() + 9, top},
                               {design.left() - 9 - size.width(), top},
                               {available.right() + 1 - size.width(), top},
                               {available.left(), top},
                               {available.right() + 1 - size.width(), available.bottom() + 1 - size.height()},
                               {available.left(), available.bottom() + 1 - size.height()}};
  QPoint best;
  qint64 least = -1;
  for (const QPoint& at : candidates) {
    const QRect r(OnScreen(at, size, available), size);
    qint64 covered = 0;
    for (const QRect& t : taken)
      covered += Overlap(r, t) * (t == design ? 1 : 4);  // a view over a view hides more
    if (least < 0 || covered < least) {
      least = covered;
      best = r.topLeft();
    }
  }
  companion->move(best);
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
