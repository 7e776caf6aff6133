#pragma once
// Where a plot lies on a screen's own pixels: the device pixels the drawable
// area covers at any scale, and those a line object covers there. Plain
// geometry, for the widget that shows the plot.

#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QSize>

#include "surface/surface.h"

namespace vesk {

// The device pixels the drawable area covers, wholly or in part, whose top-left corner
// lies at `area_in_window` of its window (logical pixels), on a screen of
// `ratio` device pixels a logical pixel; and where the first of them begins,
// in logical pixels from that corner. A layout scaled for larger text
// (`layout_scale`) draws lines that much wider too.
struct DeviceArea {
  PixelSize pixels;
  QPointF origin;
  qreal ratio = 1.0;
  int line_width = 1;  // max(1, round(ratio × layout scale))
};
DeviceArea device_area(QPoint area_in_window, QSize area_size, qreal ratio, qreal layout_scale = 1.0);

// The device pixels a horizontal or vertical line object covers, `line_width`
// times its width thick, centred on the line the surface draws there; empty
// when it lies outside.
QRect line_object_pixels(const LineObject& line, const Mapping& mapping, int line_width);

}  // namespace vesk
