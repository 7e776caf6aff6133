#pragma once
// The plot as shapes, for the vector files (SVG, PDF): the saved picture with
// its pixels as units, 579 × 390 of them, a line one unit wide: white
// background, the axes, the grid and the curve in red, no markers.
//
// Faithful magnified up to 8 times, and bounded in size: the samples are
// reduced on cells 8 times finer than the picture's pixels, by the method the
// screen uses for its pixels (curve_columns.h): the first, last, highest and
// lowest sample of each fine column in line mode, each fine cell some sample
// falls in in point mode. So the number of shapes follows the picture, not the
// number of samples. The frame's lines lie on the whole pixels the picture
// lights for them, so a renderer at 1× draws them as crisply; neighbouring
// grid lines are one band.

#include <optional>

#include "plot/plot_request.h"

class QPainter;

namespace vesk {

// Paints on a device whose coordinates are the picture's pixels; without a
// request, the empty area a refused plot command leaves.
void paint_vector_plot(QPainter& painter, const std::optional<PlotRequest>& request);

}  // namespace vesk
