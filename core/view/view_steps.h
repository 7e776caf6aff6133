#pragma once
// The arithmetic of exploring the plot with the pointer and the keys: zooming
// about a point, panning, and the coordinates under the pointer. Plain code:
// the window only feeds it events.
//
// Bounds stay whole numbers within −32768 … 32767, as a plot command needs
// them. So every step rounds: a zoom keeps the point it is about in place to
// within half a unit, and changes the range by at least one unit until the
// range is one unit wide; a pan moves by whole units. A pan stops at the edge
// of the number range; a zoom out grows on the other side there.

#include <QPointF>
#include <QString>

#include "plot/plot_request.h"
#include "surface/mapping.h"

namespace vesk {

// One axis: low < high.
struct Bounds {
  int low = 0;
  int high = 0;
  friend bool operator==(Bounds, Bounds) = default;
};

// One wheel notch away from the user zooms in by 4/5, towards the user out by 5/4.
Bounds zoom_axis(Bounds bounds, double about, bool zoom_in);
// Moves the bounds by `shift` units, rounded to a whole number and stopped at the edges.
Bounds pan_axis(Bounds bounds, double shift);

enum class ZoomAxes { both, x_only, y_only };
// `notches` > 0 zoom in, < 0 zoom out, about the user point `about`.
RoundedRange zoomed(RoundedRange range, QPointF about, int notches, ZoomAxes axes);
RoundedRange panned(RoundedRange range, double shift_x, double shift_y);

// The view keys: the arrows pan by a tenth of the width or height (at least one
// unit), + and − zoom about the centre.
enum class ViewKey { left, right, up, down, zoom_in, zoom_out };
RoundedRange stepped(RoundedRange range, ViewKey key);

// A drag from `pressed_at` to `now_at` (pixel coordinates of a picture of
// `pixels`) keeps the point under the pointer where it was at the press.
RoundedRange dragged(RoundedRange at_press, PixelSize pixels, QPointF pressed_at, QPointF now_at);

// The user coordinates of a pixel coordinate of the picture showing `range`.
QPointF user_point(RoundedRange range, PixelSize pixels, QPointF pixel);

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
