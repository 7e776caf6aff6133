#pragma once
// The curve renderer the plot commands use. It makes, pixel for pixel, the
// image of drawing every sample (plot_by_line_each_sample and
// plot_by_point_each_sample), in time that grows with the plot area's pixels
// rather than with the number of samples: the widest range at the highest
// clarity has about 2.1 billion samples but only 579 columns.
//
// How, in short:
// - Samples are grouped by the pixel column they round to; with the
//   closed-form sample positions a column's first and last sample are found
//   by search, without visiting the samples between.
// - Line mode: the segments within one column light exactly one vertical run,
//   from the lowest to the highest of the column's samples (clipped to the
//   area); only the segments from the last sample of one column to the first
//   of the next need the line routine (the M4 aggregation: first, last,
//   minimum and maximum of each column).
// - f is decreasing left of its one stationary point (x ≈ −1.6395, the real
//   root of f′) and increasing right of it, so a column's extremes lie at its
//   ends or at the piece boundaries. Close to the stationary point rounding can
//   make the evaluated f step the wrong way, so a window of samples there is
//   evaluated one by one.
// - Point mode: on a monotone piece the rows the samples hit are monotone too,
//   so each distinct row is found by a galloping search.

#include "plot/frame.h"

namespace vesk {

class Surface;

void render_curve_by_line(Surface& surface, RoundedRange range, int clarity);
void render_curve_by_point(Surface& surface, RoundedRange range, int clarity);

}  // namespace vesk
