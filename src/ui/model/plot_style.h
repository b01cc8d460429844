// How every face draws a plot the model laid out: the pixel frame around the plot's area,
// worked out from the sizes of the face's own texts, and each curve's line. The Qt window
// and the web page both draw from these, so a plot looks the same in either.
#pragma once

#include <array>
#include <vector>

#include "ui/model/analysis_views.h"

namespace vtq {

// What a face measures in its font: a line's height and the ascent, px; the widest label of
// the y axis and the last one of the x axis (it sticks out past the area by half); the width
// of each curve's name in the legend, px; the lines the face wrapped the title into.
struct PlotTextSizes {
  double line = 0, ascent = 0, widestYLabel = 0, lastXLabel = 0;
  std::vector<double> legendNames;
  int titleLines = 1;
};

// Places in a plot of width x height px, measured from its top left corner.
struct PlotFrame {
  double left = 0, top = 0, right = 0, bottom = 0;  // the area the unit square maps onto
  double titleX = 0, titleY = 0;                    // the title's first baseline, a line apart
  std::vector<PlotPoint> legend;                    // each entry's stroke start, on its baseline
  double xLabelY = 0;                               // the frequency labels' baseline
};
// The legend runs left to right and takes another row where the next entry would pass the
// plot's right edge; the area starts below its last row.
PlotFrame PlotFrameOf(double width, double height, const PlotTextSizes& text);

// A legend entry: a short stroke of its curve's line, raised a third of the ascent over the
// baseline, then the name; the next entry after a gap.
inline constexpr double kLegendStroke = 18, kLegendText = 22, kLegendGap = 12;
// A y label ends this far left of the area; the curves are clipped this far outside it.
inline constexpr double kYLabelGap = 6, kClipMargin = 1;
// The requirement: a ring of this radius and pen at its point, a thin dashed level from it
// to the right edge, its label right of and above the ring, kept inside the area.
inline constexpr double kRingRadius = 5, kRingPen = 2, kRingLabelRight = 9, kRingLabelAbove = 8;

// The colours the curves take. Text: the face's own text colour (the faint reference line).
enum class Ink { Text, Common, Differential, Limit };
// A solid line, dots or dashes; the pattern's lengths are in pen widths (kDotPattern, kDashPattern).
enum class LineDash { Solid, Dot, Dash };
inline constexpr std::array<double, 2> kDotPattern{1, 2}, kDashPattern{4, 2};

struct TraceStyle {
  Ink ink;
  double width;  // px
  LineDash dash;
  int alpha = 255;  // 0 to 255: the reference and the unfiltered curves drawn faint
};
TraceStyle TraceStyleOf(Trace trace);
// The requirement's ring and level, and the self-resonance's dotted line (in the text's colour).
inline constexpr TraceStyle kRequirementLevel{Ink::Limit, 1, LineDash::Dash};
inline constexpr TraceStyle kSelfResonanceLine{Ink::Text, 1, LineDash::Dot};

struct Rgb {
  int red = 0, green = 0, blue = 0;
};
// An ink's colour on a light ground or on a dark one (the same hues lighter: navy on black
// can hardly be seen). Ink::Text has none: the face's text colour.
Rgb InkColour(Ink ink, bool darkGround);

}  // namespace vtq
