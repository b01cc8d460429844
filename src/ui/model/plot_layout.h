// Laying a plot out on its axes, shared by the model's plots (impedance, conducted
// emissions): the axes with their labels, and each curve placed and clipped to the area.
#pragma once

#include <string_view>
#include <vector>

#include "ui/model/analysis_views.h"

namespace vtq {

// The values over the frequencies placed on the axes, cut where a value has no place on
// the y axis, each piece clipped to the unit square of the area.
PlotPolyline Clipped(const std::vector<double>& frequencies, const std::vector<double>& values,
                     const PlotAxis& x, const PlotAxis& y);
// A log axis of whole decades from the lowest to the highest value (at least `least` of them).
PlotAxis AxisOver(double low, double high, int least, std::string_view unit);
// A linear axis from `from` to `to` labelled every `step` ("60 dBµV").
PlotAxis LinearAxis(int from, int to, int step, std::string_view unit);

}  // namespace vtq
