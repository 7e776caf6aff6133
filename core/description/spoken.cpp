#include "description/spoken.h"

#include <QStringList>
#include <algorithm>
#include <cmath>
#include <limits>

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

// A key point's own value of f, whatever the view: a root's is 0 (its double's residue is no value of the curve).
QString spoken_f(const KeyPoint& point) { return point.kind == KeyKind::root ? QStringLiteral("0") : spoken_number(point.y); }

QStringList key_points_seen(Bounds v) {
  QStringList seen;
  for (const KeyPoint& point : key_points())
    if (point.x >= v.x_from && point.x <= v.x_to && point.y >= v.y_from && point.y <= v.y_to)
      seen << QStringLiteral("%1 at x %2, y %3").arg(kind_name(point.kind), spoken_number(point.x), spoken_f(point));
  return seen;
}

}  // namespace

QString spoken_number(double value, double resolution) {
  if (!std::isfinite(value)) return QStringLiteral("not a number");
  if (std::abs(value) <= resolution / 2 || value == 0) return QStringLiteral("0");
  const QString sign = value < 0 ? QStringLiteral("minus ") : QString();
  const double size = std::abs(value);
  const int exponent = int(std::floor(std::log10(size)));
  // Four significant digits where nothing tells the precision (a key point's own value); else as many as the
  // view resolves, however deep, so that neighbours never sound the same.
  const int resolved = resolution > 0 ? int(std::ceil(-std::log10(resolution))) : 3 - exponent;  // decimals
  const int decimals = std::clamp(resolved, 0, 16 - exponent);
  if (exponent >= 6 || exponent <= -5) {  // plain, it would take more than a dozen digits, most of them zeros
    const double mantissa = size / std::pow(10.0, exponent);
    QString digits = QString::number(mantissa, 'f', std::clamp(exponent + resolved, 3, 16));
    while (digits.endsWith(QLatin1Char('0')) && digits.size() > 5) digits.chop(1);
    return sign + QStringLiteral("%1 times 10 to the %2%3").arg(digits, exponent < 0 ? QStringLiteral("minus ") : QString())
                      .arg(std::abs(exponent));
  }
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
  if (shown->mode != PlotMode::frame_only && shown->clarity <= 0)
    text += QStringLiteral("Nothing is drawn: a clarity of %1 takes no sample. ").arg(spoken_number(shown->clarity));
  else if (shown->mode != PlotMode::frame_only) text += passage(view) + QLatin1Char(' ');
  const QStringList seen = key_points_seen(view);
  text += seen.isEmpty() ? QStringLiteral("No key points in view. ")
                         : QStringLiteral("Key points in view: %1. ").arg(seen.join(QStringLiteral("; ")));
  // Samples further apart than a few pixel columns: what is drawn between them is no longer the curve told here.
  if (shown->mode != PlotMode::frame_only && shown->clarity > 0 && 1.0 / shown->clarity > 3 * x_resolution(view))
    text += QStringLiteral("This tells the curve itself; it is drawn by %1 from samples %2 apart, and differs from it between them. ")
                .arg(shown->mode == PlotMode::line ? QStringLiteral("line") : QStringLiteral("point"), spoken_number(1.0 / shown->clarity));
  text += study.marks ? QStringLiteral("Key points marked; ") : QStringLiteral("Key points not marked; ");
  text += study.trace ? QStringLiteral("trace on at %1.").arg(spoken_trace(*study.trace, view)) : QStringLiteral("trace off.");
  return text;
}

QString spoken_plot(const PlotRequest& request) {
  const QString by = request.mode == PlotMode::point ? QStringLiteral("point") : QStringLiteral("line");
  if (request.mode != PlotMode::frame_only && request.clarity <= 0)
    return QStringLiteral("Nothing drawn by %1: a clarity of %2 takes no sample; ").arg(by, spoken_number(request.clarity)) +
           spoken_view(bounds_of(request.range));
  return QStringLiteral("Plotted by %1, ").arg(by) + spoken_view(bounds_of(request.range));
}

// The two bounds of an axis to what a pixel resolves, and finer while they would sound the same.
std::pair<QString, QString> spoken_bounds(double from, double to, double resolution) {
  for (int finer = 0;; ++finer) {
    const QString low = spoken_number(from, resolution), high = spoken_number(to, resolution);
    if (low != high || finer == 17) return {low, high};
    resolution /= 10;
  }
}

QString spoken_view(Bounds v) {
  const auto [x_from, x_to] = spoken_bounds(v.x_from, v.x_to, x_resolution(v));
  const auto [y_from, y_to] = spoken_bounds(v.y_from, v.y_to, y_resolution(v));
  return QStringLiteral("x from %1 to %2, y from %3 to %4.").arg(x_from, x_to, y_from, y_to);
}

QString spoken_key_points(Bounds view, bool shown) {
  if (!shown) return QStringLiteral("Key points hidden.");
  const QStringList seen = key_points_seen(view);
  if (seen.isEmpty()) return QStringLiteral("Key points shown; none in view.");
  return QStringLiteral("Key points shown: %1.").arg(seen.join(QStringLiteral("; ")));
}

QString spoken_trace(double x, Bounds view) {
  // The slope is 0 within a few units in the last place of its terms (4|x|³ + 3x² + 4|x| + 3), as at the minimum
  // (not 4e-16); else four significant digits, as a key point says its values.
  const double ax = std::abs(x), terms = ((4 * ax + 3) * ax + 4) * ax + 3;
  const double slope_value = quartic_slope(x);
  const QString slope = std::abs(slope_value) <= 16 * std::numeric_limits<double>::epsilon() * terms ? QStringLiteral("0")
                                                                                                       : spoken_number(slope_value);
  // On a key point (within half a pixel column), named, with its own values as K says them.
  if (const auto on = key_point_under(view, x))
    return QStringLiteral("%1, x %2, f %3, slope %4")
        .arg(kind_name(on->kind), spoken_number(on->x), spoken_f(*on), slope);
  return QStringLiteral("x %1, f %2, slope %3")
      .arg(spoken_number(x, x_resolution(view)), spoken_number(quartic(x), y_resolution(view)), slope);
}

QString spoken_playing(Bounds view, bool cues_crowded) {
  const auto [from, to] = spoken_bounds(view.x_from, view.x_to, x_resolution(view));
  const auto [low, high] = spoken_bounds(view.y_from, view.y_to, y_resolution(view));
  return QStringLiteral("Playing the curve from x %1 to %2, low at y %3, high at y %4.%5")
      .arg(from, to, low, high,
           cues_crowded ? QStringLiteral(" Key points close together: their cues follow one another.") : QString());
}

}  // namespace vesk
