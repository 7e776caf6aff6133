#include "key_points/marks.h"

#include <QPainter>
#include <cmath>

#include "key_points/key_points.h"
#include "plot/plot.h"
#include "surface/raster.h"
#include "surface/surface.h"

namespace vesk {
namespace {


}  // namespace

std::optional<QPoint> mark_pixel(const Mapping& mapping, double x, double y) {
  const int column = pixel_index(mapping.to_pixel_x(x), mapping.pixels().width);
  const int row = pixel_index(mapping.to_pixel_y(y), mapping.pixels().height);
  if (column < 0 || column >= mapping.pixels().width || row < 0 || row >= mapping.pixels().height) return std::nullopt;
  return QPoint(column, row);
}

QList<QRect> mark_squares(const Surface& surface, const PlotRequest& request) {
  QList<QRect> squares;
  if (!request.marks) return squares;
  // One size a screen scale: as many device pixels as the picture's kMarkHalf cover there.
  const int half = int(std::lround(kMarkHalf * surface.image().width() / double(kPictureSize.width)));
  for (const KeyPoint& point : key_points_in(request.shown()))
    if (const auto at = mark_pixel(surface.mapping(), point.x, point.y))
      squares << QRect(at->x() - half, at->y() - half, 2 * half + 1, 2 * half + 1);
  return squares;
}

void draw_plot_with_marks(Surface& surface, const PlotRequest& request) {
  draw_plot(surface, request);
  Raster raster(surface.pixels(), surface.line_width());
  for (const QRect& square : mark_squares(surface, request)) {
    raster.block(square.left(), square.right(), square.top(), square.top(), kMarkColour);
    raster.block(square.left(), square.right(), square.bottom(), square.bottom(), kMarkColour);
    raster.block(square.left(), square.left(), square.top(), square.bottom(), kMarkColour);
    raster.block(square.right(), square.right(), square.top(), square.bottom(), kMarkColour);
  }
}

QImage picture_with_marks(const std::optional<PlotRequest>& request) {
  Surface surface(kPictureSize);
  if (request) draw_plot_with_marks(surface, *request);
  return surface.image();
}

void paint_marks(QPainter& painter, Bounds view) {
  painter.setPen(QPen(QColor(kMarkColour), 1.0));
  painter.setBrush(Qt::NoBrush);
  for (const KeyPoint& point : key_points_in(view))
    if (const auto at = mark_pixel(mapping_for(view, kPictureSize), point.x, point.y))
      painter.drawRect(QRectF(at->x() - kMarkHalf, at->y() - kMarkHalf, 2 * kMarkHalf + 1, 2 * kMarkHalf + 1));
}

}  // namespace vesk
