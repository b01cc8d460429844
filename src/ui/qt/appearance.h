// The window's look that does not depend on the model: its fonts, the artwork and the
// window icon.
#pragma once

#include <QFont>
#include <QGroupBox>
#include <QIcon>
#include <QString>
#include <QSvgRenderer>
#include <QWidget>

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

// A small toroid with red windings, rendered at the usual icon sizes.
QIcon WindowIcon();

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

// A picture stretched to its widget, drawn from one of the SVG files under :/art.
class Picture : public QWidget {
 public:
  Picture(const QString& resource, QWidget* parent);
  const QString& resource() const { return resource_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString resource_;
  QSvgRenderer svg_;
};

}  // namespace vtq::qt
