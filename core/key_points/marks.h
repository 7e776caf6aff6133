#pragma once
// The key points shown on the plot: a small open square around each one in
// view, in blue, which neither the frame nor the curve uses, drawn over the
// curve. Off until asked for (PlotRequest::marks); without them every picture
// is the plot's alone, byte for byte.

#include <QImage>
#include <QList>
#include <QPoint>
#include <QRect>
#include <optional>

#include "plot/plot_request.h"

class QPainter;

namespace vesk {

class Surface;

inline constexpr int kMarkHalf = 3;  // picture pixels from a mark's centre to its edge

// The plot, then its marks when the request asks for them.
void draw_plot_with_marks(Surface& surface, const PlotRequest& request);
// The squares around the marks in view on the surface, in its pixels (before the brush widens them); none without
// marks asked for.
QList<QRect> mark_squares(const Surface& surface, const PlotRequest& request);
// The saved picture (plot_picture), with its marks when asked for.
QImage picture_with_marks(const std::optional<PlotRequest>& request);
// The marks on a vector picture whose units are the saved picture's pixels.
void paint_marks(QPainter& painter, Bounds view);

// The pixel of the picture `mapping` makes at a key point, if it is in view.
std::optional<QPoint> mark_pixel(const Mapping& mapping, double x, double y);

}  // namespace vesk
