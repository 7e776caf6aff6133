#include "oracles/exact_curve.h"

#include <gmpxx.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace vesk::test {
namespace {

using Exact = mpq_class;

// f as the program defines it, written here again so that the oracle calls nothing it checks.
double f(double x) {
  const double cubed = std::pow(x, 3), twice_squared = 2 * std::pow(x, 2);
  return cubed - twice_squared + std::pow(x, 4) + 3 * x;
}

long long floor_of(const Exact& q) {
  mpz_class whole;
  mpz_fdiv_q(whole.get_mpz_t(), q.get_num_mpz_t(), q.get_den_mpz_t());
  return whole.get_si();
}

// One axis of a picture: the user value `first` at the centre of pixel 0, `last` at that of pixel count − 1.
// The pixel coordinate of a value is, by the rule, the double (v − first) · (count − 1) / (last − first),
// computed in that order: from there on everything is exact.
struct Axis {
  double first, last;
  int count;
  double pixel(double v) const { return (v - first) * (count - 1) / (last - first); }
};

// A pixel coordinate along an axis `count` pixels long: a double, compared and rounded exactly (in long double,
// which holds a double and a half exactly, or in rationals where the double is too large for that). The drawable
// area reaches half a pixel beyond the outer centres; a point lies on a pixel from there up to, not including,
// half past the last; inside, not on the area's edge either.
struct Coordinate {
  double value;
  int count;
  bool finite() const { return std::isfinite(value); }
  Exact exact() const { return Exact(value); }
  bool before() const { return value < -0.5; }
  bool past() const { return value > count - 0.5; }
  bool inside() const { return value > -0.5 && value < count - 0.5; }
  bool on_a_pixel() const { return value >= -0.5 && value < count - 0.5; }
  long long nearest() const {  // the nearest pixel centre, ties to the higher
    return std::fabs(value) < 0x1p60 ? (long long)std::floor((long double)value + 0.5L) : floor_of(exact() + Exact(1, 2));
  }
};

struct Point {
  Coordinate x, y;
};

std::optional<QPoint> point_pixel(const Point& p) {
  if (!p.x.on_a_pixel() || !p.y.on_a_pixel()) return std::nullopt;
  return QPoint(int(p.x.nearest()), int(p.y.nearest()));
}

// The segment a – b cut exactly to the drawable area (Liang and Barsky's parameters, in rationals), its ends
// rounded to pixel centres inside the picture.
QList<QPoint> cut_segment(const Point& a, const Point& b) {
  const Exact ax = a.x.exact(), ay = a.y.exact(), dx = b.x.exact() - ax, dy = b.y.exact() - ay;
  Exact t0 = 0, t1 = 1;
  const auto keep = [&](const Exact& p, const Exact& q) {  // the part where p·t ≤ q
    if (p == 0) return q >= 0;
    const Exact t = q / p;
    if (p < 0) t0 = std::max(t0, t);
    else t1 = std::min(t1, t);
    return t0 <= t1;
  };
  const int width = a.x.count, height = a.y.count;
  const Exact x_low(-1, 2), x_high(2 * width - 1, 2), y_low(-1, 2), y_high(2 * height - 1, 2);
  if (!keep(-dx, ax - x_low) || !keep(dx, x_high - ax) || !keep(-dy, ay - y_low) || !keep(dy, y_high - ay)) return {};
  const auto end = [&](const Exact& t) {
    const auto inside = [](long long p, int count) { return int(std::clamp<long long>(p, 0, count - 1)); };
    return QPoint(inside(floor_of(ax + t * dx + Exact(1, 2)), width), inside(floor_of(ay + t * dy + Exact(1, 2)), height));
  };
  return integer_line(end(t0), end(t1));
}

QList<QPoint> segment_pixels(const Point& a, const Point& b) {
  if (!a.x.finite() || !a.y.finite() || !b.x.finite() || !b.y.finite()) return {};
  const auto beyond = [](const Coordinate& p, const Coordinate& q) { return (p.before() && q.before()) || (p.past() && q.past()); };
  if (beyond(a.x, b.x) || beyond(a.y, b.y)) return {};
  if (!a.x.inside() || !a.y.inside() || !b.x.inside() || !b.y.inside()) return cut_segment(a, b);
  return integer_line(QPoint(int(a.x.nearest()), int(a.y.nearest())), QPoint(int(b.x.nearest()), int(b.y.nearest())));
}

// The numerators n of the samples n / clarity that the request draws: a view's, from the last whose pixel lies
// before the drawable area to the first past it.
std::pair<long long, long long> numerators(const PlotRequest& request, const Axis& across) {
  const long c = request.clarity;
  if (!request.view) return {request.range.x1r * c, request.range.x2r * c};
  const auto pixel = [&](long long n) { return across.pixel(double(n) / double(c)); };
  long long first = floor_of(Exact(request.view->x_from) * c), last = -floor_of(Exact(-request.view->x_to) * c);
  for (; pixel(first) >= -0.5; --first) {}
  for (; pixel(first + 1) < -0.5; ++first) {}
  for (; pixel(last) <= across.count - 0.5; ++last) {}
  for (; pixel(last - 1) > across.count - 0.5; --last) {}
  return {first, last};
}

}  // namespace

QList<QPoint> integer_line(QPoint a, QPoint b) {
  if (b.x() < a.x()) std::swap(a, b);
  const int dx = b.x() - a.x(), dy = std::abs(b.y() - a.y()), step = b.y() < a.y() ? -1 : 1;
  // i·d / n to the nearest whole number, a half toward 0 (the start): ⌈(2·i·d − n) / 2n⌉.
  const auto toward_start = [](long long i, long long d, long long n) {
    const long long numerator = 2 * i * d - n, denominator = 2 * n;
    return numerator >= 0 ? (numerator + denominator - 1) / denominator : -(-numerator / denominator);
  };
  QList<QPoint> pixels;
  if (dx >= dy)
    for (int i = 0; i <= dx; ++i) pixels << QPoint(a.x() + i, a.y() + step * int(dx ? toward_start(i, dy, dx) : 0));
  else
    for (int j = 0; j <= dy; ++j) pixels << QPoint(a.x() + int(toward_start(j, dx, dy)), a.y() + step * j);
  return pixels;
}

std::optional<QPoint> exact_point(QPointF p, PixelSize pixels) {
  return point_pixel({Coordinate{p.x(), pixels.width}, Coordinate{p.y(), pixels.height}});
}

QList<QPoint> exact_segment(QPointF a, QPointF b, PixelSize pixels) {
  return segment_pixels({Coordinate{a.x(), pixels.width}, Coordinate{a.y(), pixels.height}},
                        {Coordinate{b.x(), pixels.width}, Coordinate{b.y(), pixels.height}});
}

QImage widened(const QList<QPoint>& lit, PixelSize pixels, int brush) {
  QImage mask(pixels.width, pixels.height, QImage::Format_Mono);
  mask.fill(0);
  const auto start = [&](int p, int extent) { return std::clamp(p - (brush - 1) / 2, 0, std::max(0, extent - brush)); };
  for (const QPoint p : lit) {
    const int left = start(p.x(), pixels.width), top = start(p.y(), pixels.height);
    for (int y = top; y < std::min(pixels.height, top + brush); ++y)
      for (int x = left; x < std::min(pixels.width, left + brush); ++x) mask.setPixel(x, y, 1);
  }
  return mask;
}

QImage exact_curve(const PlotRequest& request, PixelSize pixels, int brush) {
  const Bounds shown = request.view ? *request.view : bounds_of(request.range);
  const Axis across{shown.x_from, shown.x_to, pixels.width}, down{shown.y_to, shown.y_from, pixels.height};
  std::vector<bool> on(size_t(pixels.width) * size_t(pixels.height));  // each pixel once, however many samples
  const auto light = [&](const QList<QPoint>& lit) {
    for (const QPoint p : lit) on[size_t(p.y()) * size_t(pixels.width) + size_t(p.x())] = true;
  };
  if (request.clarity > 0 && request.mode != PlotMode::frame_only) {
    const auto [first, last] = numerators(request, across);
    std::optional<Point> previous;
    for (long long n = first; n <= last; ++n) {
      const double x = double(n) / request.clarity;
      const Point sample{Coordinate{across.pixel(x), across.count}, Coordinate{down.pixel(f(x)), down.count}};
      if (request.mode == PlotMode::point)
        if (const auto pixel = point_pixel(sample)) light({*pixel});
      if (request.mode == PlotMode::line && previous) light(segment_pixels(*previous, sample));
      previous = sample;
    }
  }
  QList<QPoint> lit;
  for (size_t i = 0; i < on.size(); ++i)
    if (on[i]) lit << QPoint(int(i % size_t(pixels.width)), int(i / size_t(pixels.width)));
  return widened(lit, pixels, brush);
}

QImage with_exact_curve(QImage frame, const PlotRequest& request, int brush, QRgb colour) {
  const QImage curve = exact_curve(request, {frame.width(), frame.height()}, brush);
  for (int y = 0; y < frame.height(); ++y)
    for (int x = 0; x < frame.width(); ++x)
      if (curve.pixelIndex(x, y)) frame.setPixel(x, y, colour);
  return frame;
}

}  // namespace vesk::test
