// The program's pictures, drawn with QPainter: the toroid over the title, the logo in
// its hole and the window icon. Each draws in its own box of logical pixels (scale the
// painter to draw it larger or smaller) and expects antialiasing to be on.
#pragma once

#include <QSize>

class QPainter;

namespace vtq::qt {

// A grey ferrite toroid with two dark red windings, one on each half, and their leads
// running out to the left and right edges.
inline constexpr QSize kToroidSize{153, 113};
void DrawToroid(QPainter& painter);

// The maker's mark: a white K on a dark blue rounded square with a red dot.
inline constexpr QSize kLogoSize{32, 32};
void DrawLogo(QPainter& painter);

// The window icon: the toroid alone, with fewer and thicker turns to read when small.
// The desktop entry's icon (packaging/vtq.svg) is the same picture.
inline constexpr QSize kIconSize{64, 64};
void DrawIcon(QPainter& painter);

}  // namespace vtq::qt
