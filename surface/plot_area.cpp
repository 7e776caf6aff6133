#include "surface/plot_area.h"

#include <QPainter>
#include <cmath>

#include "surface/hand_cursor.h"
#include "surface/raster.h"

namespace vesk {
namespace {
constexpr int kBorder = 2;  // pixels of the sunken 3-D border on each side
}  // namespace

PlotArea::PlotArea(QSize outer_size, QWidget* parent)
    : QFrame(parent),
      surface_(PixelSize{outer_size.width() - 2 * kBorder, outer_size.height() - 2 * kBorder},
               kActiveTitleText) {
  setFrameStyle(QFrame::Panel | QFrame::Sunken);
  setLineWidth(kBorder);
  setFixedSize(outer_size);
  setFocusPolicy(Qt::StrongFocus);
  setCursor(hand_cursor());
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void PlotArea::paintEvent(QPaintEvent* event) {
  QFrame::paintEvent(event);
  QPainter painter(this);
  const QRect area = contentsRect();
  painter.drawImage(area.topLeft(), surface_.image());
  painter.setClipRect(area);
  paint_line_object(painter, surface_.lin_x());
  paint_line_object(painter, surface_.lin_y());
}

void PlotArea::paint_line_object(QPainter& painter, const LineObject& line) const {
  const Mapping& mapping = surface_.mapping();
  double ax = mapping.to_pixel_x(line.x1);
  double ay = mapping.to_pixel_y(line.y1);
  double bx = mapping.to_pixel_x(line.x2);
  double by = mapping.to_pixel_y(line.y2);
  // The ends may lie millions of pixels away; the painter only takes
  // coordinates within about ±32767, so cut the line to the visible area first.
  const PixelSize pixels = mapping.pixels();
  const double margin = line.border_width;
  if (!clip_segment(ax, ay, bx, by, -margin, pixels.width + margin, -margin, pixels.height + margin))
    return;
  // Centred on the pixels the image's own lines would light: pixel centres
  // are at +0.5 in the painter's coordinates.
  const auto centre = [](double p) { return std::floor(p + 0.5) + 0.5; };
  QPen pen(QColor(to_rgb(line.border_colour)), line.border_width);
  pen.setCapStyle(Qt::FlatCap);
  painter.setPen(pen);
  const QPointF origin(contentsRect().topLeft());
  painter.drawLine(origin + QPointF(centre(ax), centre(ay)), origin + QPointF(centre(bx), centre(by)));
}

}  // namespace vesk
