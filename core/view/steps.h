#pragma once
// The arithmetic of exploring a view of doubles: zooming about a point,
// panning, a drag, a box, fitting the height to the curve, keeping a point in
// sight, and the coordinates under the pointer. Plain code: the session
// (explorer.h) calls it.
//
// A view stays within −32768 … 32767 on each axis, at most that wide and at
// least narrowest() wide: where a pixel spans a few hundred doubles, deeper
// than which a picture could not tell its pixels apart.

#include <QPointF>
#include <QString>

#include "plot/plot_request.h"

namespace vesk {

inline constexpr double kLowest = -32768;
inline constexpr double kHighest = 32767;
inline constexpr double kDoublesPerPixel = 256;
// Near 0, where doubles crowd, a floor far from what the mapping could overflow.
inline constexpr double kNarrowestSpan = 1e-200;

// The narrowest span about `centre` over `pixels` pixels.
double narrowest(double centre, int pixels);
// Whether each axis lies within the number range and is between narrowest and widest.
bool within_limits(Bounds view);

// One wheel notch away from the user zooms in by 4/5, towards the user out by 5/4.
inline constexpr double kNotchIn = 0.8;
enum class ZoomAxes { both, x_only, y_only };

// Zoomed `notches_x` and `notches_y` notches (> 0 in) from `start` about the
// point under `pixel` (pixel coordinates of the picture), which stays where it
// is. Computed from the start each time, so a burst of notches and as many back
// return to the start exactly, at any depth. The point is taken from the start
// in 113 bits, so that it stays under the pointer within a pixel at any depth a
// burst reaches (a zoom on the origin keeps both axes there). Past a limit the
// view stops growing or shrinking, moved inside the number range.
Bounds zoomed(Bounds start, QPointF pixel, int notches_x, int notches_y);
// By any factor both ways (a pinch), about a user point.
Bounds scaled(Bounds view, QPointF about, double factor);
// Moved by a shift in user units, stopped at the edges of the number range.
Bounds panned(Bounds view, double shift_x, double shift_y);
// A drag from `pressed_at` to `now_at` (pixel coordinates of the picture):
// the point taken at the press stays under the pointer.
Bounds dragged(Bounds at_press, QPointF pressed_at, QPointF now_at);
// The rectangle between two pixel coordinates of the picture of `view`, at least narrowest.
Bounds boxed(Bounds view, QPointF corner, QPointF other_corner);
// Y from the lowest to the highest value of f over the x range, exactly: f
// at the ends and at its minimum, not samples.
Bounds fitted_y(Bounds view);
// The view moved the least that keeps `point` (user units) a tenth of the
// width and height inside the edges (the trace's marker).
Bounds following(Bounds view, QPointF point);

// What a plot command can take: the view rounded outward to whole numbers
// within the number range, at least one apart.
RoundedRange outward(Bounds view);

// The user point under a pixel coordinate of the picture showing `view`.
QPointF user_point(Bounds view, QPointF pixel);

// "x = −1.64   y = −3.21   f(x) = −7.48": the point under the pointer and f
// there, with as many digits as one pixel resolves, and at most `digits`
// significant ones (in powers of ten where fixed-point would need more).
QString coordinates_text(Bounds view, QPointF pixel, int digits = 17);

// Adds up the wheel's angle (120 units a notch; a touchpad sends smaller
// steps) and gives out whole notches.
class WheelNotches {
 public:
  int add(int angle_delta);

 private:
  int rest_ = 0;
};

}  // namespace vesk
