#include "key_points/key_points.h"

#include <QLocale>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include "plot/plot.h"
#include "plot/quartic.h"

namespace vesk {
namespace {

using Quad = __float128;  // 113-bit significand: a double's square and more

// The doubles in order as integers, so that bisection halves the count of
// doubles between two ends, not the distance.
std::int64_t ordered(double x) {
  std::int64_t bits = 0;
  std::memcpy(&bits, &x, sizeof bits);
  return bits < 0 ? std::numeric_limits<std::int64_t>::min() - bits : bits;
}
double from_ordered(std::int64_t bits) {
  if (bits < 0) bits = std::numeric_limits<std::int64_t>::min() - bits;
  double x = 0;
  std::memcpy(&x, &bits, sizeof x);
  return x;
}

// Every real root lies within ±(1 + max |c_k / c_n|) (Cauchy).
double root_bound(const Polynomial& p) {
  double largest = 0;
  for (qsizetype k = 0; k + 1 < p.size(); ++k) largest = std::max(largest, std::abs(p[k] / p.back()));
  return 1 + largest;
}

// The root where p changes sign within [low, high]: p(low) has the sign
// `sign_low`, p(high) the other one.
double root_between(const Polynomial& p, double low, double high, int sign_low) {
  std::int64_t below = ordered(low), above = ordered(high);
  // The count of doubles between the ends, in unsigned arithmetic: it may pass the signed range.
  while (std::uint64_t(above) - std::uint64_t(below) > 1) {
    const std::int64_t middle = below + std::int64_t((std::uint64_t(above) - std::uint64_t(below)) / 2);
    const int sign = certified_sign(p, from_ordered(middle));
    if (sign == 0) return from_ordered(middle);
    (sign == sign_low ? below : above) = middle;
  }
  // Two neighbouring doubles hold the root: the nearer, by the sign half-way
  // between them (exact in 113 bits).
  const double a = from_ordered(below), b = from_ordered(above);
  const Quad half_way = (Quad(a) + Quad(b)) / 2;
  Quad value = 0;
  for (qsizetype k = p.size() - 1; k >= 0; --k) value = value * half_way + p[k];
  return (value > 0) == (sign_low > 0) ? b : a;
}

}  // namespace

QString kind_name(KeyKind kind) {
  switch (kind) {
    case KeyKind::root: return QStringLiteral("root");
    case KeyKind::minimum: return QStringLiteral("minimum");
    case KeyKind::maximum: return QStringLiteral("maximum");
    case KeyKind::inflection: return QStringLiteral("inflection");
  }
  return {};
}

Polynomial derivative(const Polynomial& p) {
  Polynomial d;
  for (qsizetype k = 1; k < p.size(); ++k) d << k * p[k];
  return d;
}

int certified_sign(const Polynomial& p, double x) {
  // First in doubles, which decide all but the last few steps of a bisection;
  // the bound is the same as below, for 53 bits, doubled for the sum's own rounding.
  double quick = 0, quick_size = 0;
  for (qsizetype k = p.size() - 1; k >= 0; --k) {
    quick = quick * x + p[k];
    quick_size = quick_size * std::abs(x) + std::abs(p[k]);
  }
  const double quick_bound = quick_size * double(2 * p.size() + 1) * std::ldexp(1.0, -51);
  if (quick > quick_bound) return 1;
  if (quick < -quick_bound) return -1;
  // Then Horner in 113 bits; each of its 2n operations errs by at most 2^-113 of
  // the sum of the terms' sizes, so a value beyond that bound has its sign.
  Quad value = 0, size = 0;
  const Quad magnitude = x < 0 ? -Quad(x) : Quad(x);
  for (qsizetype k = p.size() - 1; k >= 0; --k) {
    value = value * x + p[k];
    size = size * magnitude + std::abs(p[k]);
  }
  const Quad bound = size * Quad(2 * p.size() + 1) * Quad(std::ldexp(1.0, -112));
  if (value > bound) return 1;
  if (value < -bound) return -1;
  // Exactly zero, or so near that the root lies far closer than a unit in the last place.
  return 0;
}

QList<double> sign_changes(const Polynomial& p) {
  if (p.size() < 2) return {};
  // p is monotone between the derivative's roots; each of those lies between
  // two neighbouring doubles, which bound the pieces. The few doubles around
  // a turn are a piece of their own.
  const double bound = root_bound(p);
  QList<double> ends{-bound};
  for (const double turn : sign_changes(derivative(p)))
    for (const double end : {std::nextafter(turn, -INFINITY), std::nextafter(turn, INFINITY)})
      if (end > ends.back() && end < bound) ends << end;
  ends << bound;
  QList<double> roots;
  for (qsizetype i = 0; i + 1 < ends.size(); ++i) {
    const int sign_low = certified_sign(p, ends[i]), sign_high = certified_sign(p, ends[i + 1]);
    if (sign_low != 0 && sign_low == sign_high) continue;
    const double root = sign_low == 0    ? ends[i]
                        : sign_high == 0 ? ends[i + 1]
                                         : root_between(p, ends[i], ends[i + 1], sign_low);
    if (roots.isEmpty() || roots.back() != root) roots << root;  // a zero at an end both pieces share
  }
  return roots;
}

const QList<KeyPoint>& key_points() {
  static const QList<KeyPoint> points = [] {
    QList<KeyPoint> found;
    const Polynomial slope = derivative(kQuartic), bend = derivative(slope);
    for (const double x : sign_changes(kQuartic)) found << KeyPoint{KeyKind::root, x, quartic(x)};
    for (const double x : sign_changes(slope)) {
      const bool falling_before = certified_sign(slope, std::nextafter(x, -INFINITY)) < 0;
      found << KeyPoint{falling_before ? KeyKind::minimum : KeyKind::maximum, x, quartic(x)};
    }
    for (const double x : sign_changes(bend)) found << KeyPoint{KeyKind::inflection, x, quartic(x)};
    std::sort(found.begin(), found.end(), [](const KeyPoint& a, const KeyPoint& b) { return a.x < b.x; });
    return found;
  }();
  return points;
}

QList<KeyPoint> key_points_in(Bounds view) {
  QList<KeyPoint> in;
  for (const KeyPoint& point : key_points())
    if (point.x >= view.x_from && point.x <= view.x_to) in << point;
  return in;
}

std::optional<KeyPoint> key_point_near(Bounds view, PixelSize pixels, QPointF pixel, double radius) {
  const Mapping mapping = mapping_for(view, pixels);
  std::optional<KeyPoint> nearest;
  double nearest_distance = radius;
  for (const KeyPoint& point : key_points_in(view)) {
    const double distance = std::hypot(mapping.to_pixel_x(point.x) - pixel.x(), mapping.to_pixel_y(point.y) - pixel.y());
    if (distance <= nearest_distance) nearest = point, nearest_distance = distance;
  }
  return nearest;
}

QString exact_text(double value) { return QString::number(value, 'g', QLocale::FloatingPointShortest); }

std::optional<KeyPoint> key_point_under(Bounds view, double x) {
  const double half_column = (view.x_to - view.x_from) / (kPictureSize.width - 1) / 2;
  std::optional<KeyPoint> nearest;  // in a wide view, several key points share the marker's column
  for (const KeyPoint& point : key_points())
    if (std::abs(point.x - x) <= half_column && (!nearest || std::abs(point.x - x) < std::abs(nearest->x - x))) nearest = point;
  return nearest;
}

}  // namespace vesk
