#include "view/steps.h"

#include <algorithm>
#include <cmath>

#include "plot/plot.h"
#include "plot/quartic.h"

namespace vesk {
namespace {

constexpr double kWidest = kHighest - kLowest;
constexpr int kAngleOfANotch = 120;
constexpr double kFollowMargin = 0.1;  // of the width or height, kept between a followed point and the edge

struct Interval {
  double low, high;
};

// Moved inside the number range, its width kept.
Interval inside(Interval i) {
  if (i.low < kLowest) return {kLowest, kLowest + (i.high - i.low)};
  if (i.high > kHighest) return {kHighest - (i.high - i.low), kHighest};
  return i;
}

// Between narrowest and widest about its centre, then inside the number range.
Interval limited(Interval i, int pixels) {
  const double centre = i.low / 2 + i.high / 2;
  const double width = std::clamp(i.high - i.low, narrowest(centre, pixels), kWidest);
  if (width == i.high - i.low) return inside(i);
  return inside({centre - width / 2, centre - width / 2 + width});
}

// One axis zoomed `notches` from [low, high] about the point at pixel `p` of `pixels` along it. That point is
// taken in 113 bits, (low·(n − p) + high·p) / n, and the new bounds from it: rounded once each, to a double of
// a view that keeps hundreds of doubles a pixel, they put the point within a pixel of where it was at any depth
// a burst reaches, where a double of it (an ulp of the start's bounds off) would drift by thousands of pixels.
Interval zoomed_axis(Interval start, double p, int notches, int pixels) {
  if (notches == 0) return start;  // a burst turned back: exactly where it began
  using Quad = __float128;
  const Quad n = pixels - 1, fraction = Quad(p) / n;
  const Quad about = (Quad(start.low) * (n - Quad(p)) + Quad(start.high) * Quad(p)) / n;
  const double wanted = std::clamp((start.high - start.low) * std::pow(kNotchIn, notches), narrowest(double(about), pixels), kWidest);
  // About the point itself: its neighbours stay apart however deep (narrowest() keeps
  // hundreds of doubles a pixel), where the start's far bounds would round the change away.
  return inside({double(about - fraction * wanted), double(about + (1 - fraction) * wanted)});
}

double shifted(double shift, double low, double high) { return std::clamp(shift, kLowest - low, kHighest - high); }

QString fixed(double value, int decimals) {
  const QString text = QString::number(value, 'f', decimals);
  return text.toDouble() == 0.0 ? QString::number(0.0, 'f', decimals) : text;  // no sign on a value that rounds to 0
}

int decimals_for(double units_per_pixel) { return std::clamp(int(std::ceil(-std::log10(units_per_pixel))), 0, 17); }

}  // namespace

double narrowest(double centre, int pixels) {
  const double size = std::abs(centre);
  return std::max(kNarrowestSpan, (pixels - 1) * kDoublesPerPixel * (std::nextafter(size, INFINITY) - size));
}

bool within_limits(Bounds v) {
  const auto axis = [](double low, double high, int pixels) {
    const double width = high - low;
    return low >= kLowest && high <= kHighest && width <= kWidest && width >= narrowest(low / 2 + high / 2, pixels) * (1 - 1e-9);
  };
  return axis(v.x_from, v.x_to, kPictureSize.width) && axis(v.y_from, v.y_to, kPictureSize.height);
}

Bounds zoomed(Bounds start, QPointF pixel, int notches_x, int notches_y) {
  const Interval x = zoomed_axis({start.x_from, start.x_to}, pixel.x(), notches_x, kPictureSize.width);
  const Interval y = zoomed_axis({start.y_from, start.y_to}, kPictureSize.height - 1 - pixel.y(), notches_y, kPictureSize.height);
  return {x.low, x.high, y.low, y.high};
}

Bounds scaled(Bounds view, QPointF about, double factor) {
  const Interval x = limited({about.x() - (about.x() - view.x_from) * factor, about.x() + (view.x_to - about.x()) * factor},
                             kPictureSize.width);
  const Interval y = limited({about.y() - (about.y() - view.y_from) * factor, about.y() + (view.y_to - about.y()) * factor},
                             kPictureSize.height);
  return {x.low, x.high, y.low, y.high};
}

Bounds panned(Bounds v, double shift_x, double shift_y) {
  const double dx = shifted(shift_x, v.x_from, v.x_to), dy = shifted(shift_y, v.y_from, v.y_to);
  return {v.x_from + dx, v.x_to + dx, v.y_from + dy, v.y_to + dy};
}

Bounds dragged(Bounds at_press, QPointF pressed_at, QPointF now_at) {
  const QPointF shift = user_point(at_press, pressed_at) - user_point(at_press, now_at);
  return panned(at_press, shift.x(), shift.y());
}

Bounds boxed(Bounds view, QPointF corner, QPointF other_corner) {
  const QPointF a = user_point(view, corner), b = user_point(view, other_corner);
  const Interval x = limited({std::min(a.x(), b.x()), std::max(a.x(), b.x())}, kPictureSize.width);
  const Interval y = limited({std::min(a.y(), b.y()), std::max(a.y(), b.y())}, kPictureSize.height);
  return {x.low, x.high, y.low, y.high};
}

Bounds fitted_y(Bounds view) {
  double lowest = std::min(quartic(view.x_from), quartic(view.x_to));
  const double highest = std::max(quartic(view.x_from), quartic(view.x_to));
  const double minimum = quartic_minimum_x();
  if (view.x_from <= minimum && minimum <= view.x_to) lowest = std::min(lowest, quartic(minimum));
  const Interval y = limited({std::clamp(lowest, kLowest, kHighest), std::clamp(highest, kLowest, kHighest)},
                             kPictureSize.height);
  return {view.x_from, view.x_to, y.low, y.high};
}

Bounds following(Bounds v, QPointF point) {
  const auto shift = [](double at, double low, double high) {
    const double margin = kFollowMargin * (high - low);
    if (!std::isfinite(at)) return 0.0;
    return at < low + margin ? at - (low + margin) : at > high - margin ? at - (high - margin) : 0.0;
  };
  return panned(v, shift(point.x(), v.x_from, v.x_to), shift(point.y(), v.y_from, v.y_to));
}

RoundedRange outward(Bounds v) {
  const auto axis = [](double low, double high) {
    const double first = std::clamp(std::floor(low), kLowest, kHighest - 1);
    const double last = std::clamp(std::ceil(high), first + 1, kHighest);
    return std::pair{std::int16_t(first), std::int16_t(last)};
  };
  const auto [x1r, x2r] = axis(v.x_from, v.x_to);
  const auto [y1r, y2r] = axis(v.y_from, v.y_to);
  return {x1r, x2r, y1r, y2r};
}

QPointF user_point(Bounds view, QPointF pixel) {
  const Mapping mapping = mapping_for(view, kPictureSize);
  return {mapping.to_user_x(pixel.x()), mapping.to_user_y(pixel.y())};
}

QString coordinates_text(Bounds view, QPointF pixel, int digits) {
  const QPointF at = user_point(view, pixel);
  const int x_decimals = decimals_for((view.x_to - view.x_from) / (kPictureSize.width - 1));
  const int y_decimals = decimals_for((view.y_to - view.y_from) / (kPictureSize.height - 1));
  // Fixed-point while its significant digits fit in `digits`, else those digits in powers of ten.
  const auto shown = [digits](double value, int decimals) {
    const int whole = value == 0 ? 1 : std::max(1, int(std::floor(std::log10(std::abs(value)))) + 1);
    return whole + decimals <= digits ? fixed(value, decimals) : QString::number(value, 'g', digits);
  };
  const QString x = shown(at.x(), x_decimals);
  const double f = quartic(x.toDouble());  // f of the x shown, so the line agrees with itself
  return QStringLiteral("x = %1   y = %2   f(x) = %3")
      .arg(x, shown(at.y(), y_decimals), std::abs(f) < 1e9 ? shown(f, y_decimals) : QString::number(f, 'g', std::min(9, digits)));
}

int WheelNotches::add(int angle_delta) {
  rest_ += angle_delta;
  const int notches = rest_ / kAngleOfANotch;
  rest_ -= notches * kAngleOfANotch;
  return notches;
}

}  // namespace vesk
