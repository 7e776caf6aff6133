#include "plot/vector_plot.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <vector>

#include "plot/curve_columns.h"
#include "plot/plot.h"
#include "surface/colours.h"
#include "surface/raster.h"

namespace vesk {
namespace {

constexpr int kFineness = 8;  // fine cells a pixel, across and down
const QRectF kPage(0, 0, kPictureSize.width, kPictureSize.height);

// A line at pixel coordinate p covers the units [p, p + 1]: the pixel the
// screen lights for it. Lines at every integer but 0 from `low` to `high`,
// merged where they touch.
std::vector<std::pair<double, double>> grid_bands(int low, int high, auto to_pixel) {
  std::vector<std::pair<double, double>> bands;
  for (int i = low; i <= high; ++i) {
    if (i == 0) continue;
    const double p = to_pixel(i);
    if (!bands.empty() && p <= bands.back().second) bands.back().second = p + 1;
    else bands.push_back({p, p + 1});
  }
  return bands;
}

void paint_frame(QPainter& painter, const Mapping& mapping, RoundedRange r) {
  painter.setPen(Qt::NoPen);
  const auto fill = [&](const QRectF& rect, QRgb colour) {
    if (rect.intersects(kPage)) painter.fillRect(rect.intersected(kPage), QColor(colour));
  };
  fill(QRectF(mapping.to_pixel_x(0), 0, 1, kPage.height()), kGreen);
  fill(QRectF(0, mapping.to_pixel_y(0), kPage.width(), 1), kRed);
  QList<QRectF> grid;
  for (const auto& [start, end] : grid_bands(r.x1r, r.x2r, [&](int x) { return mapping.to_pixel_x(x); }))
    grid << QRectF(start, 0, end - start, kPage.height()).intersected(kPage);
  for (const auto& [start, end] : grid_bands(-r.y2r, -r.y1r, [&](int y) { return mapping.to_pixel_y(-y); }))
    grid << QRectF(0, start, kPage.width(), end - start).intersected(kPage);
  painter.setBrush(QColor(kButtonFace));
  painter.drawRects(grid);
}

// Consecutive samples joined: per fine column its first sample, its highest and
// lowest in the order they come, and its last, then on to the next column.
QPainterPath line_path(const CurveColumns& curve) {
  const auto unit = [&](SampleIndex k) {
    return QPointF((curve.px(k) + 0.5) / kFineness, (curve.py(k) + 0.5) / kFineness);
  };
  QPainterPath path;
  std::optional<QPointF> previous;
  const auto to = [&](SampleIndex k) {
    const QPointF next = unit(k);
    if (previous && *previous != next) {
      // Values reach 10^18 units: keep only what lies near the page.
      double ax = previous->x(), ay = previous->y(), bx = next.x(), by = next.y();
      if (clip_segment(ax, ay, bx, by, -1, kPage.width() + 1, -1, kPage.height() + 1)) {
        if (path.isEmpty() || path.currentPosition() != QPointF(ax, ay)) path.moveTo(ax, ay);
        path.lineTo(bx, by);
      }
    }
    previous = next;
  };
  curve.for_each_column([&](const CurveColumns::Extremes& e) {
    SampleIndex order[] = {e.first, std::min(e.top, e.bottom), std::max(e.top, e.bottom), e.last};
    for (int i = 0; i < 4; ++i)
      if (i == 0 || order[i] != order[i - 1]) to(order[i]);
  });
  return path;
}

// Each fine cell hit as a square of one unit around the cell's centre; the
// cells of one column that follow each other as one bar.
QPainterPath point_path(const CurveColumns& curve) {
  QPainterPath path;
  int column = -1, first = 0, last = 0;
  const auto flush = [&] {
    if (column < 0) return;
    const double x = (column + 0.5) / kFineness;
    path.moveTo(x, (first + 0.5) / kFineness - 0.5);
    path.lineTo(x, (last + 0.5) / kFineness + 0.5);
  };
  curve.for_each_cell([&](int c, int r) {
    if (c == column && r == last + 1) {
      last = r;
      return;
    }
    flush();
    column = c;
    first = last = r;
  });
  flush();
  return path;
}

}  // namespace

void paint_vector_plot(QPainter& painter, const std::optional<PlotRequest>& request) {
  painter.fillRect(kPage, QColor(kPlotBackground));
  if (!request) return;
  const RoundedRange r = request->range;
  paint_frame(painter, Mapping(r.x1r, r.y2r, r.x2r, r.y1r, kPictureSize), r);
  if (request->mode == PlotMode::frame_only) return;

  // The fine cells' centres: the picture's pixel centres lie 3.5 fine cells
  // inside their pixels.
  const Mapping fine(r.x1r, r.y2r, r.x2r, r.y1r,
                     {kPictureSize.width * kFineness, kPictureSize.height * kFineness}, (kFineness - 1) / 2.0);
  const CurveColumns curve(fine, r, request->clarity);
  QPen pen{QColor(kRed), 1.0};
  pen.setCapStyle(request->mode == PlotMode::line ? Qt::RoundCap : Qt::FlatCap);
  pen.setJoinStyle(Qt::RoundJoin);
  painter.setPen(pen);
  painter.setBrush(Qt::NoBrush);
  painter.drawPath(request->mode == PlotMode::line ? line_path(curve) : point_path(curve));
}

}  // namespace vesk
