#include "description/spoken.h"

#include <QStringList>
#include <algorithm>
#include <cmath>

#include "key_points/key_points.h"
#include "plot/plot.h"
#include "plot/quartic.h"

namespace vesk {
namespace {

// The least difference a pixel of the picture shows along each axis.
double x_resolution(Bounds v) { return (v.x_to - v.x_from) / (kPictureSize.width - 1); }
double y_resolution(Bounds v) { return (v.y_to - v.y_from) / (kPictureSize.height - 1); }

enum class Side { below, inside, above };
Side side_of(double y, Bounds v) { return y < v.y_from ? Side::below : y > v.y_to ? Side::above : Side::inside; }

// Where f reaches `level` on [low, high], where f is monotone and takes the level
// strictly between its values at the ends.
double crossing(double low, double high, double level) {
  const bool rising = quartic(high) > quartic(low);
  for (int i = 0; i < 200 && low < high; ++i) {
    const double middle = low + (high - low) / 2;
    if (middle == low || middle == high) break;
    ((quartic(middle) < level) == rising ? low : high) = middle;
  }
  return low + (high - low) / 2;
}

// Where the curve crosses the view's top and bottom between its left and right
// edges, in order: f falls up to its one minimum and rises after it, so each
// level is crossed at most once on each side of it.
QList<double> crossings(Bounds v) {
  const double minimum = quartic_minimum_x();
  QList<double> found;
  for (const auto& [low, high] : {std::pair{v.x_from, std::min(v.x_to, minimum)}, std::pair{std::max(v.x_from, minimum), v.x_to}}) {
    if (!(low < high)) continue;
    for (const double level : {v.y_from, v.y_to}) {
      const double a = quartic(low) - level, b = quartic(high) - level;
      if ((a < 0 && b > 0) || (a > 0 && b < 0)) found << crossing(low, high, level);
    }
  }
  std::sort(found.begin(), found.end());
  return found;
}

QString passage(Bounds v) {
  const double dy = y_resolution(v), dx = x_resolution(v);
  Side side = side_of(quartic(v.x_from), v);
  QStringList parts;
  parts << (side == Side::inside ? QStringLiteral("The curve comes in at the left edge at y %1").arg(spoken_number(quartic(v.x_from), dy))
            : side == Side::above ? QStringLiteral("The curve starts above the view")
                                  : QStringLiteral("The curve starts below the view"));
  for (const double x : crossings(v)) {
    // Just past the crossing, which side it went to.
    const Side next = side_of(quartic(std::min(v.x_to, x + std::max(dx * 1e-6, std::abs(x) * 1e-12))), v);
    const bool top = side == Side::above || next == Side::above;
    if (next == side) continue;
    parts << QStringLiteral("%1 through the %2 at x %3")
                 .arg(next == Side::inside ? QStringLiteral("comes in") : QStringLiteral("leaves"),
                      top ? QStringLiteral("top") : QStringLiteral("bottom"), spoken_number(x, dx));
    side = next;
  }
  const Side end = side_of(quartic(v.x_to), v);
  if (end == Side::inside) parts << QStringLiteral("ends at the right edge at y %1").arg(spoken_number(quartic(v.x_to), dy));
  else if (parts.size() == 1) parts.back() += QStringLiteral(" and stays there: it does not pass through the view");
  else parts << QStringLiteral("stays %1 the view to the right edge").arg(end == Side::above ? "above" : "below");
  return parts.join(QStringLiteral(", ")) + QLatin1Char('.');
}

QStringList key_points_seen(Bounds v) {
  QStringList seen;
  for (const KeyPoint& point : key_points())
    if (point.x >= v.x_from && point.x <= v.x_to && point.y >= v.y_from && point.y <= v.y_to)
      seen << QStringLiteral("%1 at x %2, y %3")
                  .arg(kind_name(point.kind), spoken_number(point.x, x_resolution(v)), spoken_number(point.y, y_resolution(v)));
  return seen;
}

}  // namespace

QString spoken_number(double value, double resolution) {
  if (!std::isfinite(value)) return QStringLiteral("not a number");
  if (std::abs(value) <= resolution / 2 || value == 0) return QStringLiteral("0");
  const QString sign = value < 0 ? QStringLiteral("minus ") : QString();
  const double size = std::abs(value);
  const int exponent = int(std::floor(std::log10(size)));
  if (exponent >= 6) {
    const double mantissa = size / std::pow(10.0, exponent);
    return sign + QStringLiteral("%1 times 10 to the %2").arg(QString::number(mantissa, 'f', 3)).arg(exponent);
  }
  // Four significant digits, and no more than the view resolves.
  int decimals = std::max(0, 3 - exponent);
  if (resolution > 0) decimals = std::min(decimals, std::max(0, int(std::ceil(-std::log10(resolution)))));
  QString text = QString::number(size, 'f', decimals);
  if (text.contains(QLatin1Char('.'))) {
    while (text.endsWith(QLatin1Char('0'))) text.chop(1);
    if (text.endsWith(QLatin1Char('.'))) text.chop(1);
  }
  return text == QLatin1String("0") ? text : sign + text;
}

QString describe_plot(const std::optional<PlotRequest>& shown, Bounds view, Study study) {
  if (!shown) return QStringLiteral("Nothing plotted: the last plot command was refused.");
  QString text = spoken_view(view).chopped(1);
  text += shown->mode == PlotMode::frame_only
              ? QStringLiteral("; frame only. ")
              : QStringLiteral("; plotted by %1, clarity %2. ")
                    .arg(shown->mode == PlotMode::line ? QStringLiteral("line") : QStringLiteral("point"))
                    .arg(shown->clarity);
  if (shown->mode != PlotMode::frame_only) text += passage(view) + QLatin1Char(' ');
  const QStringList seen = key_points_seen(view);
  text += seen.isEmpty() ? QStringLiteral("No key points in view. ")
                         : QStringLiteral("Key points in view: %1. ").arg(seen.join(QStringLiteral("; ")));
  text += study.marks ? QStringLiteral("Key points marked; ") : QStringLiteral("Key points not marked; ");
  text += study.trace ? QStringLiteral("trace on at %1.").arg(spoken_trace(*study.trace, view)) : QStringLiteral("trace off.");
  return text;
}

QString spoken_plot(const PlotRequest& request) {
  const QString by = request.mode == PlotMode::point ? QStringLiteral("Plotted by point, ") : QStringLiteral("Plotted by line, ");
  return by + spoken_view(bounds_of(request.range));
}

QString spoken_view(Bounds v) {
  const double dx = x_resolution(v), dy = y_resolution(v);
  return QStringLiteral("x from %1 to %2, y from %3 to %4.")
      .arg(spoken_number(v.x_from, dx), spoken_number(v.x_to, dx), spoken_number(v.y_from, dy), spoken_number(v.y_to, dy));
}

QString spoken_key_points(Bounds view, bool shown) {
  if (!shown) return QStringLiteral("Key points hidden.");
  const QStringList seen = key_points_seen(view);
  if (seen.isEmpty()) return QStringLiteral("Key points shown; none in view.");
  return QStringLiteral("Key points shown: %1.").arg(seen.join(QStringLiteral("; ")));
}

QString spoken_trace(double x, Bounds view) {
  return QStringLiteral("x %1, f %2, slope %3")
      .arg(spoken_number(x, x_resolution(view)), spoken_number(quartic(x), y_resolution(view)),
           spoken_number(quartic_slope(x)));
}

QString spoken_playing(Bounds view) {
  return QStringLiteral("Playing the curve from x %1 to %2.")
      .arg(spoken_number(view.x_from, x_resolution(view)), spoken_number(view.x_to, x_resolution(view)));
}

}  // namespace vesk
