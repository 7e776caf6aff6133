#include "view/view_steps.h"

#include <algorithm>
#include <cmath>

#include "plot/quartic.h"

namespace vesk {
namespace {

constexpr double kLowest = -32768;
constexpr double kHighest = 32767;
constexpr double kWidest = kHighest - kLowest;
constexpr int kAngleOfANotch = 120;

// The span moved inside the number range, its width kept.
Span within_edges(Span span) {
  if (span.low < kLowest) return {kLowest, kLowest + (span.high - span.low)};
  if (span.high > kHighest) return {kHighest - (span.high - span.low), kHighest};
  return span;
}

// Whole numbers around `low` … `high`, within the number range and at least one apart.
std::pair<std::int16_t, std::int16_t> outward(double low, double high) {
  const double first = std::clamp(std::floor(low), kLowest, kHighest - 1);
  const double last = std::clamp(std::ceil(high), first + 1, kHighest);
  return {std::int16_t(first), std::int16_t(last)};
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

Span zoom_span(Span span, double about, double factor) {
  const double width = span.high - span.low;
  const double new_width = std::clamp(width * factor, 1.0, kWidest);
  const double fraction = std::clamp((about - span.low) / width, 0.0, 1.0);
  const double low = about - fraction * new_width;
  return within_edges({low, low + new_width});
}

Span pan_span(Span span, double shift) {
  const double moved = std::clamp(shift, kLowest - span.low, kHighest - span.high);
  return {span.low + moved, span.high + moved};
}

View View::of(RoundedRange range) { return {{double(range.x1r), double(range.x2r)}, {double(range.y1r), double(range.y2r)}}; }

RoundedRange View::shown() const {
  // Halves up, so a span one unit wide never rounds to a single number.
  const auto nearest = [](double v) { return std::int16_t(std::floor(v + 0.5)); };
  return {nearest(x.low), nearest(x.high), nearest(y.low), nearest(y.high)};
}

View zoomed(View view, QPointF about, int notches, ZoomAxes axes) {
  const double factor = notches > 0 ? kNotchIn : 1 / kNotchIn;
  for (int i = 0; i < std::abs(notches); ++i) {
    if (axes != ZoomAxes::y_only) view.x = zoom_span(view.x, about.x(), factor);
    if (axes != ZoomAxes::x_only) view.y = zoom_span(view.y, about.y(), factor);
  }
  return view;
}

View scaled(View view, QPointF about, double factor) {
  return {zoom_span(view.x, about.x(), factor), zoom_span(view.y, about.y(), factor)};
}

View panned(View view, double shift_x, double shift_y) { return {pan_span(view.x, shift_x), pan_span(view.y, shift_y)}; }

View stepped(View view, ViewKey key) {
  const double tenth_x = std::max(1.0, (view.x.high - view.x.low) / 10);
  const double tenth_y = std::max(1.0, (view.y.high - view.y.low) / 10);
  const QPointF centre((view.x.low + view.x.high) / 2, (view.y.low + view.y.high) / 2);
  switch (key) {
    case ViewKey::left: return panned(view, -tenth_x, 0);
    case ViewKey::right: return panned(view, tenth_x, 0);
    case ViewKey::up: return panned(view, 0, tenth_y);
    case ViewKey::down: return panned(view, 0, -tenth_y);
    case ViewKey::zoom_in: return zoomed(view, centre, 1, ZoomAxes::both);
    case ViewKey::zoom_out: return zoomed(view, centre, -1, ZoomAxes::both);
  }
  return view;
}

View following(View view, double x) {
  if (x < view.x.low) return panned(view, x - view.x.low, 0);
  if (x > view.x.high) return panned(view, x - view.x.high, 0);
  return view;
}

View dragged(View at_press, PixelSize pixels, QPointF pressed_at, QPointF now_at) {
  const Mapping mapping = at_press.mapping(pixels);
  const QPointF shift = user_point(mapping, pressed_at) - user_point(mapping, now_at);
  return panned(at_press, shift.x(), shift.y());
}

RoundedRange boxed(RoundedRange shown, PixelSize pixels, QPointF corner, QPointF other_corner) {
  const Mapping mapping = mapping_for(shown, pixels);
  const QPointF a = user_point(mapping, corner), b = user_point(mapping, other_corner);
  const auto [x1r, x2r] = outward(std::min(a.x(), b.x()), std::max(a.x(), b.x()));
  const auto [y1r, y2r] = outward(std::min(a.y(), b.y()), std::max(a.y(), b.y()));
  return {x1r, x2r, y1r, y2r};
}

RoundedRange fitted_y(RoundedRange range) {
  const double at_ends[] = {quartic(range.x1r), quartic(range.x2r)};
  double lowest = std::min(at_ends[0], at_ends[1]);
  const double highest = std::max(at_ends[0], at_ends[1]);
  const double minimum_x = quartic_minimum_x();
  if (range.x1r <= minimum_x && minimum_x <= range.x2r) lowest = std::min(lowest, quartic(minimum_x));
  const auto [y1r, y2r] = outward(lowest, highest);
  return {range.x1r, range.x2r, y1r, y2r};
}

QPointF user_point(const Mapping& mapping, QPointF pixel) {
  return {mapping.to_user_x(pixel.x()), mapping.to_user_y(pixel.y())};
}

QString coordinates_text(RoundedRange range, PixelSize pixels, QPointF pixel) {
  const QPointF at = user_point(mapping_for(range, pixels), pixel);
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
