#pragma once
// The curve's pixels found the slow, certain way, for the tests to hold the program against. Written from the
// drawing rules alone: none of the program's mapping, sampling, clipping or rounding is used.
//
// - The samples: every n / clarity of the plot command's range, or of a view from the last whose pixel lies before
//   the drawable area to the first past it, each the double nearest n / clarity; f of it in double precision,
//   x³ − 2·x² + x⁴ + 3·x in that order with std::pow, as the program's one function is defined.
// - Pixel coordinates: the left bound at the centre of the first column, the right at that of the last, the top
//   at the first row's centre, the bottom at the last's; a double, (v − left) · (width − 1) / (right − left) in
//   that order, as the rule defines it (the rasteriser's input, as a screen's coordinates are).
// - By point, a sample lights the pixel whose centre is nearest, ties to the higher, if that pixel exists.
// - By line, the segment between neighbouring samples is cut exactly to the drawable area (half a pixel beyond
//   the outer centres), its ends rounded to the nearest pixel centres within the picture, and joined by the
//   integer line that steps from the left end, one pixel a column or a row, ties toward the end it starts from.
// - A brush wider than one pixel lights a square for each pixel, moved inside the picture at its edges.
//
// From the pixel coordinates on, every cut, rounding and comparison is exact (GMP rationals where a double will
// not do), so the answer does not depend on how far away a segment's end lies or how close a cut comes to a
// pixel's edge.

#include <QImage>
#include <optional>

#include "plot/plot_request.h"

namespace vesk::test {

// The pixels the curve of `request` lights on a picture of `pixels` drawn with a `brush` pixels wide brush.
QImage exact_curve(const PlotRequest& request, PixelSize pixels, int brush = 1);

// `frame` (what the program draws under the curve, not checked here) with the exact curve in `colour` over it.
QImage with_exact_curve(QImage frame, const PlotRequest& request, int brush, QRgb colour);

// The rules on their own, in pixel coordinates (0.0 the centre of the first pixel): what a point and a segment
// light, the integer line between two pixels, and a set of pixels widened by a brush (1 in the mask).
std::optional<QPoint> exact_point(QPointF p, PixelSize pixels);
QList<QPoint> exact_segment(QPointF a, QPointF b, PixelSize pixels);
QList<QPoint> integer_line(QPoint a, QPoint b);
QImage widened(const QList<QPoint>& lit, PixelSize pixels, int brush);

}  // namespace vesk::test
