#include "view/view_steps.h"

#include <algorithm>
#include <cmath>

#include "plot/quartic.h"

namespace vesk {
namespace {

constexpr int kLowest = -32768;
constexpr int kHighest = 32767;
constexpr int kAngleOfANotch = 120;

Bounds x_bounds(RoundedRange r) { return {r.x1r, r.x2r}; }
Bounds y_bounds(RoundedRange r) { return {r.y1r, r.y2r}; }
RoundedRange range_of(Bounds x, Bounds y) {
  return {std::int16_t(x.low), std::int16_t(x.high), std::int16_t(y.low), std::int16_t(y.high)};
}

int decimals_for(double units_per_pixel) {
  return std::clamp(int(std::ceil(-std::log10(units_per_pixel))), 0, 6);
}

// Without the sign of a value that rounds to 0.
QString fixed(double value, int decimals) {
  const QString text = QString::number(value, 'f', decimals);
  return text.toDouble() == 0.0 ? QString::number(0.0, 'f', decimals) : text;
}

}  // namespace

Bounds zoom_axis(Bounds bounds, double about, bool zoom_in) {
  const int width = bounds.high - bounds.low;
  const int widest = kHighest - kLowest;
  const int new_width = zoom_in ? std::clamp(int(std::lround(width * 0.8)), 1, std::max(width - 1, 1))
                                : std::clamp(int(std::lround(width * 1.25)), std::min(width + 1, widest), widest);
  const double fraction = std::clamp((about - bounds.low) / width, 0.0, 1.0);
  const int low = std::clamp(int(std::lround(about - fraction * new_width)), kLowest, kHighest - new_width);
  return {low, low + new_width};
}

Bounds pan_axis(Bounds bounds, double shift) {
  const double whole = std::round(shift);
  const int moved = int(std::clamp(whole, double(kLowest - bounds.low), double(kHighest - bounds.high)));
  return {bounds.low + moved, bounds.high + moved};
}

RoundedRange zoomed(RoundedRange range, QPointF about, int notches, ZoomAxes axes) {
  Bounds x = x_bounds(range), y = y_bounds(range);
  for (int i = 0; i < std::abs(notches); ++i) {
    if (axes != ZoomAxes::y_only) x = zoom_axis(x, about.x(), notches > 0);
    if (axes != ZoomAxes::x_only) y = zoom_axis(y, about.y(), notches > 0);
  }
  return range_of(x, y);
}

RoundedRange panned(RoundedRange range, double shift_x, double shift_y) {
  return range_of(pan_axis(x_bounds(range), shift_x), pan_axis(y_bounds(range), shift_y));
}

RoundedRange stepped(RoundedRange range, ViewKey key) {
  const double tenth_x = std::max(1.0, std::round((range.x2r - range.x1r) / 10.0));
  const double tenth_y = std::max(1.0, std::round((range.y2r - range.y1r) / 10.0));
  const QPointF centre((range.x1r + range.x2r) / 2.0, (range.y1r + range.y2r) / 2.0);
  switch (key) {
    case ViewKey::left: return panned(range, -tenth_x, 0);
    case ViewKey::right: return panned(range, tenth_x, 0);
    case ViewKey::up: return panned(range, 0, tenth_y);
    case ViewKey::down: return panned(range, 0, -tenth_y);
    case ViewKey::zoom_in: return zoomed(range, centre, 1, ZoomAxes::both);
    case ViewKey::zoom_out: return zoomed(range, centre, -1, ZoomAxes::both);
  }
  return range;
}

RoundedRange dragged(RoundedRange at_press, PixelSize pixels, QPointF pressed_at, QPointF now_at) {
  const QPointF from = user_point(at_press, pixels, pressed_at);
  const QPointF to = user_point(at_press, pixels, now_at);
  return panned(at_press, from.x() - to.x(), from.y() - to.y());
}

QPointF user_point(RoundedRange range, PixelSize pixels, QPointF pixel) {
  const Mapping mapping = mapping_for(range, pixels);
  return {mapping.to_user_x(pixel.x()), mapping.to_user_y(pixel.y())};
}

QString coordinates_text(RoundedRange range, PixelSize pixels, QPointF pixel) {
  const QPointF at = user_point(range, pixels, pixel);
  const int x_decimals = decimals_for(double(range.x2r - range.x1r) / (pixels.width - 1));
  const int y_decimals = decimals_for(double(range.y2r - range.y1r) / (pixels.height - 1));
  const QString x = fixed(at.x(), x_decimals);
  const double f = quartic(x.toDouble());  // f of the x shown, so the line agrees with itself
  return QStringLiteral("x = %1   y = %2   f(x) = %3")
      .arg(x, fixed(at.y(), y_decimals), std::abs(f) < 1e9 ? fixed(f, y_decimals) : QString::number(f, 'g', 9));
}

int WheelNotches::add(int angle_delta) {
  rest_ += angle_delta;
  const int notches = rest_ / kAngleOfANotch;
  rest_ -= notches * kAngleOfANotch;
  return notches;
}

}  // namespace vesk
