#pragma once
// The arithmetic of exploring the plot with the pointer and the keys: zooming
// about a point, panning, a rectangle to zoom into, fitting the height to the
// curve, and the coordinates under the pointer. Plain code: the window only
// feeds it events.
//
// The view keeps its bounds unrounded between steps; the plot shows them
// rounded, each to the nearest whole number, as a plot command needs them. So
// the rounding never adds up: after any number of zoom steps about one point,
// that point lies under the pointer within half a unit, and n notches in
// followed by n out return to the bounds of the start. A range is at least one
// unit and at most 65535 units wide and stays within −32768 … 32767: a zoom in
// stops at one unit, a pan at the edge, a zoom out grows on the other side there.

#include <QPointF>
#include <QString>

#include "plot/plot_request.h"

namespace vesk {

// One axis of the view, unrounded: low < high.
struct Span {
  double low = 0.0;
  double high = 1.0;
  friend bool operator==(Span, Span) = default;
};

// Scales the width by `factor` (below 1 zooms in) about the point `about`, which stays where it is.
Span zoom_span(Span span, double about, double factor);
// Moves the span by `shift` units, stopped at the edges.
Span pan_span(Span span, double shift);

struct View {
  Span x;
  Span y;
  static View of(RoundedRange range);
  // What the plot shows: each bound rounded to the nearest whole number (halves up).
  RoundedRange shown() const;
  Mapping mapping(PixelSize pixels) const { return mapping_for(x.low, x.high, y.low, y.high, pixels); }
  friend bool operator==(const View&, const View&) = default;
};

// One wheel notch away from the user zooms in by 4/5, towards the user out by 5/4.
inline constexpr double kNotchIn = 0.8;
enum class ZoomAxes { both, x_only, y_only };
// `notches` > 0 zoom in, < 0 zoom out, about the user point `about`.
View zoomed(View view, QPointF about, int notches, ZoomAxes axes);
// By any factor, both ways (a pinch).
View scaled(View view, QPointF about, double factor);
View panned(View view, double shift_x, double shift_y);

// The view keys: the arrows pan by a tenth of the width or height (at least one
// unit), + and − zoom about the centre.
enum class ViewKey { left, right, up, down, zoom_in, zoom_out };
View stepped(View view, ViewKey key);

// The view moved the least that brings x within its x range (the trace).
View following(View view, double x);

// A drag from `pressed_at` to `now_at` (pixel coordinates of a picture of
// `pixels`) keeps the point under the pointer where it was at the press.
View dragged(View at_press, PixelSize pixels, QPointF pressed_at, QPointF now_at);

// The rectangle between two pixel coordinates of the picture of `shown`,
// rounded outward to whole numbers, at least one unit each way.
RoundedRange boxed(RoundedRange shown, PixelSize pixels, QPointF corner, QPointF other_corner);

// Y from the lowest to the highest value of f over x1r … x2r, rounded outward
// and kept within −32768 … 32767, at least one unit apart: exactly, from f at
// the range's ends and at its minimum, not from samples. X stays.
RoundedRange fitted_y(RoundedRange range);

// The user coordinates of a pixel coordinate of the picture showing `view`.
QPointF user_point(const Mapping& mapping, QPointF pixel);

// "x = −1.64   y = −3.21   f(x) = −7.48": the point under the pointer and f
// there, with as many decimals as one pixel resolves at this range.
QString coordinates_text(RoundedRange range, PixelSize pixels, QPointF pixel);

// Adds up the wheel's angle (120 units a notch; a touchpad sends smaller
// steps) and gives out whole notches.
class WheelNotches {
 public:
  int add(int angle_delta);

 private:
  int rest_ = 0;
};

}  // namespace vesk
