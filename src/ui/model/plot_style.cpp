#include "ui/model/plot_style.h"

namespace vtq {

PlotFrame PlotFrameOf(double width, double height, const PlotTextSizes& text) {
  PlotFrame f;
  // Room on the left for the widest y label, on the right for half the last frequency
  // label, on top for the title and the legend, below for the frequency labels.
  constexpr double kEdge = 4;  // the title and the legend from the left and right edges
  f.titleX = kEdge;
  f.titleY = text.ascent + 2;
  PlotPoint at{kEdge, text.titleLines * text.line + text.ascent + 6};
  for (double name : text.legendNames) {
    const double entry = kLegendText + name;
    if (at.x > kEdge && at.x + entry > width - kEdge) at = {kEdge, at.y + text.line};
    f.legend.push_back(at);
    at.x += entry + kLegendGap;
  }
  f.left = text.widestYLabel + 14;
  f.right = width - text.lastXLabel / 2 - 10;
  f.top = at.y + text.line - text.ascent + 8;
  f.bottom = height - 2 * text.line - 8;
  f.xLabelY = f.bottom + text.line + 2;
  return f;
}

TraceStyle TraceStyleOf(Trace trace) {
  switch (trace) {  // no default: a new trace without a style does not compile
    case Trace::Ideal:
      // Faint, for reference: the text colour at a quarter strength, seen on either ground.
      return {Ink::Text, 1.0, LineDash::Solid, 60};
    case Trace::CommonR:
      return {Ink::Common, 1.2, LineDash::Dot};
    case Trace::CommonX:
      return {Ink::Common, 1.2, LineDash::Dash};
    case Trace::DifferentialR:
      return {Ink::Differential, 1.2, LineDash::Dot};
    case Trace::DifferentialX:
      return {Ink::Differential, 1.2, LineDash::Dash};
    case Trace::CommonZ:
    case Trace::CommonFiltered:
      return {Ink::Common, 2.2, LineDash::Solid};
    case Trace::DifferentialZ:
    case Trace::DifferentialFiltered:
      return {Ink::Differential, 2.2, LineDash::Solid};
    case Trace::LossCommon50:
      return {Ink::Common, 2.0, LineDash::Solid};
    case Trace::LossDifferential50:
      return {Ink::Differential, 2.0, LineDash::Solid};
    case Trace::LossCommonNetwork:
      return {Ink::Common, 1.0, LineDash::Dash};
    case Trace::LossDifferentialNetwork:
      return {Ink::Differential, 1.0, LineDash::Dash};
    case Trace::LimitQuasiPeak:
      return {Ink::Limit, 2.0, LineDash::Solid};
    case Trace::LimitAverage:
      return {Ink::Limit, 1.6, LineDash::Dash};
    case Trace::CommonBare:
      // The unfiltered emission thin and pale behind the filtered one it is compared with.
      return {Ink::Common, 1.0, LineDash::Solid, 110};
    case Trace::DifferentialBare:
      return {Ink::Differential, 1.0, LineDash::Solid, 110};
    case Trace::MeasuredCommonZ:
      // Measured beside the model's solid |Z|: dashed, between the model's and R/X widths.
      return {Ink::Common, 1.6, LineDash::Dash};
    case Trace::MeasuredDifferentialZ:
      return {Ink::Differential, 1.6, LineDash::Dash};
    case Trace::RatioCommon:
      return {Ink::Common, 2.0, LineDash::Solid};
    case Trace::RatioDifferential:
      return {Ink::Differential, 2.0, LineDash::Solid};
  }
  return {Ink::Text, 1.0, LineDash::Solid};
}

Rgb InkColour(Ink ink, bool darkGround) {
  switch (ink) {
    case Ink::Common:
      return darkGround ? Rgb{0x7f, 0xb0, 0xff} : Rgb{0x1f, 0x4e, 0x9a};
    case Ink::Differential:
      return darkGround ? Rgb{0x6c, 0xd6, 0x7e} : Rgb{0x2e, 0x8b, 0x3e};
    case Ink::Limit:
      return darkGround ? Rgb{0xff, 0x6b, 0x6b} : Rgb{0xc0, 0x20, 0x20};
    case Ink::Text:
      break;
  }
  return {};
}

}  // namespace vtq
