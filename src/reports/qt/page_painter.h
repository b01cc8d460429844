// The Qt back end of the printouts: draws a laid-out document on a printer or a PDF
// writer in a fixed-pitch font, each run at its column.
#pragma once

#include <QFont>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QString>
#include <string>

#include "reports/page.h"

namespace vtq::reports {

// The printouts' font: DejaVu Sans Mono (Debian's fonts-dejavu-core), whose every glyph,
// bold ones included, is one cell wide, so text and columns stay in step. Where it is
// missing the system's fixed-pitch font stands in.
QFont ReportFont(qreal pointSize);
// Whether the font above is the intended one rather than the stand-in.
bool ReportFontInstalled();

// Size of the printouts' text, in points, where the widest line fits the page; wider
// documents (the core table) are set smaller until they fit, down to the minimum.
inline constexpr qreal kReportPointSize = 10.0;
inline constexpr qreal kMinimumPointSize = 5.0;
// Margins on every side, in inches, on paper and in PDF files alike (a printer whose
// printable area is smaller keeps its own).
inline constexpr qreal kMarginInches = 0.5;

// Draws the document on a device no painter is active on, starting on its current page
// and continuing on new pages where it runs past the bottom. Empty on success, else
// what went wrong, as a phrase ("the printer could not start the page").
std::string DrawDocument(const Document& doc, QPagedPaintDevice& device);

// Letter where the system measures in US units, A4 elsewhere.
QPageSize DefaultPageSize();

// Writes the document as a PDF file, replacing any file of that name. Empty on success,
// else what went wrong; a failed write leaves no partial file and any earlier file as it was.
std::string WritePdf(const Document& doc, const QString& path);

}  // namespace vtq::reports
