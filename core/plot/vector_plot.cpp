#include "plot/vector_plot.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <vector>

#include "plot/curve_columns.h"
#include "plot/frame.h"
#include "plot/numbers.h"
#include "plot/plot.h"
#include "surface/colours.h"
#include "surface/raster.h"

namespace vesk {
namespace {

constexpr int kFineness = 8;  // fine cells a pixel, across and down
const QRectF kPage(0, 0, kPictureSize.width, kPictureSize.height);

// The frame's lines on the pixels the saved picture lights for them, a run of
// neighbouring columns or rows of one kind as one band, painted in the order
// the picture draws them: the y axis, the x axis, then the grid over both.
void paint_frame(QPainter& painter, const FrameLines& lines) {
  const auto bands = [](const std::vector<FrameKind>& kinds, FrameKind kind, auto band) {
    QList<QRectF> out;
    for (int start = 0, end = 0; start < int(kinds.size()); start = end) {
      for (end = start + 1; end < int(kinds.size()) && kinds[end] == kinds[start];) ++end;
      if (kinds[start] == kind) out << band(start, end - start);
    }
    return out;
  };
  const auto across = [](int start, int width) { return QRectF(start, 0, width, kPage.height()); };
  const auto down = [](int start, int height) { return QRectF(0, start, kPage.width(), height); };
  painter.setPen(Qt::NoPen);
  const std::pair<QList<QRectF>, QRgb> layers[] = {
      {bands(lines.columns, FrameKind::axis, across), kGreen},
      {bands(lines.rows, FrameKind::axis, down), kRed},
      {bands(lines.columns, FrameKind::grid, across) + bands(lines.rows, FrameKind::grid, down), kButtonFace}};
  for (const auto& [rects, colour] : layers) {
    painter.setBrush(QColor(colour));
    painter.drawRects(rects);
  }
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
    // A sample met twice adds nothing: `to` skips a point equal to the one before.
    for (const SampleIndex k : {e.first, std::min(e.top, e.bottom), std::max(e.top, e.bottom), e.last}) to(k);
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

// The numbers' font pixels on the picture's own, each row's neighbours as one rectangle.
void paint_numbers(QPainter& painter, Bounds view) {
  QList<QRectF> runs;
  for (const PlacedNumber& number : grid_numbers(view, kPictureSize, 1))
    for_each_font_pixel(number, [&](int column, int row) {
      if (!runs.isEmpty() && runs.back().top() == row && runs.back().right() == column) runs.back().setRight(column + 1);
      else runs << QRectF(column, row, 1, 1);
    });
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(kNumberColour));
  painter.drawRects(runs);
}

}  // namespace

void paint_vector_plot(QPainter& painter, const std::optional<PlotRequest>& request) {
  painter.fillRect(kPage, QColor(kPlotBackground));
  if (!request) return;
  const Bounds shown = request->shown();
  paint_frame(painter, request->view ? frame_lines(shown, kPictureSize) : frame_lines(request->range, kPictureSize));
  if (request->view && request->numbers) paint_numbers(painter, shown);
  if (request->mode == PlotMode::frame_only) return;

  // The fine cells' centres: the picture's pixel centres lie 3.5 fine cells
  // inside their pixels.
  const Mapping fine =
      mapping_for(shown, {kPictureSize.width * kFineness, kPictureSize.height * kFineness}, (kFineness - 1) / 2.0);
  const CurveColumns curve(fine, sampling_for(*request, fine));
  QPen pen{QColor(kRed), 1.0};
  pen.setCapStyle(request->mode == PlotMode::line ? Qt::RoundCap : Qt::FlatCap);
  pen.setJoinStyle(Qt::RoundJoin);
  painter.setPen(pen);
  painter.setBrush(Qt::NoBrush);
  painter.drawPath(request->mode == PlotMode::line ? line_path(curve) : point_path(curve));
}

}  // namespace vesk
