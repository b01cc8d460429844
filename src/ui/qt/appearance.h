// The window's look that does not depend on the model: its fonts, its frames, the
// pictures and the window icon.
#pragma once

#include <QFont>
#include <QGroupBox>
#include <QIcon>
#include <QImage>
#include <QString>
#include <QWidget>

#include "ui/qt/artwork.h"

class QStyle;

namespace vtq::qt {

// The family every text of the window uses: metric-compatible with the narrow sans
// serif the layout was drawn for, so captions fit their places on any machine.
inline const QString kWindowFamily = QStringLiteral("Liberation Sans");

// Makes the window's font family available (registering the font files when the
// system's font configuration does not list them). False when it cannot be found.
bool LoadWindowFonts();

// 8.25-point bold: every control, message and menu of the window.
QFont WindowFont();
// 26.25-point bold: the title.
QFont TitleFont();

// The toroid (artwork.h: kIcon) at each size asked for: as drawn when the program was
// built at the usual sizes, drawn when asked for at others.
QIcon WindowIcon();

// The program's style (owned by the caller until given to QApplication::setStyle): the
// desktop's own, except that the menu bar's overflow button gets its picture when it is
// first shown. Qt reads that picture as the menu bar is made, and to read it first loads
// every image format plugin there is (JPEG, SVG with Qt SVG, ...), a millisecond of the
// window's start for a button that a window whose menus fit never shows.
QStyle* NewWindowStyle();

// A window that goes with the design window (Core Table, Impedance Plot, Help): Escape and
// Ctrl+W close it. It first opens at its content's size (`content`; empty: its size hint)
// as far as the screen has room for it and its frame, beside the design window on
// whichever side the screen has room, else at the screen's edge that covers least of the
// design window and of the companions already open; its title bar always on the screen.
void MakeCompanion(QWidget* companion, const QWidget& designWindow, QSize content = {});

// The room a window and its frame have on the screen `near` is on: the available area
// less the frame a window manager puts around a window like `near`.
QSize ScreenRoom(const QWidget& near);

// A window whose content may be larger than the screen (a desktop font, a scale factor of
// 2): the content goes into a scroll area filling the window, which scrolls only when the
// window is smaller than the content. Lay the content out on the widget returned.
QWidget* ScrollingContent(QWidget* window);
// The size the content of a window made by ScrollingContent asks for.
QSize ContentSize(const QWidget& window);

// The top-left corner that keeps a window of `size` on the screen's available area,
// title bar first: a window taller than the screen hangs from its top edge.
QPoint OnScreen(QPoint at, QSize size, const QRect& available);

// A group of controls in a thin rounded border with its caption on the border's top
// edge, where the layout's twip positions expect it: a control 240 twips down sits just
// inside the border. Painted here rather than through a style sheet, which the window
// would consult for every one of its widgets at every polish and paint.
class Frame : public QGroupBox {
 public:
  Frame(const QString& title, QWidget* parent) : QGroupBox(title, parent) {}

 protected:
  void paintEvent(QPaintEvent* event) override;
};

// A picture stretched to its widget, at the widget's size and the screen's pixel ratio
// (crisp at any scaling), made once and then only copied at each paint.
class Picture : public QWidget {
 public:
  Picture(const Artwork& art, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  const Artwork& art_;
  QImage image_;
};

}  // namespace vtq::qt
