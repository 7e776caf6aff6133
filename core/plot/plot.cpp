#include "plot/plot.h"

#include <algorithm>

#include "plot/curve_columns.h"
#include "plot/frame.h"
#include "surface/raster.h"
#include "surface/surface.h"

namespace vesk {
namespace {

// The segments within one column light one run between its highest and its
// lowest sample; only the segments from the last sample of one column to the
// first of the next need the line routine.
void draw_by_line(Raster& raster, const CurveColumns& curve, int raster_width, int height) {
  const double top_edge = -0.5;
  const double bottom_edge = height - 0.5;
  SampleIndex previous_last = -1;
  curve.for_each_column([&](const CurveColumns::Extremes& e) {
    if (previous_last >= 0)
      raster.line(curve.px(previous_last), curve.py(previous_last), curve.px(e.first), curve.py(e.first), kRed);
    previous_last = e.last;
    if (e.column < 0 || e.column >= raster_width) return;  // a view's samples beyond its edges join it, nothing more
    const double top = curve.py(e.top);
    const double bottom = curve.py(e.bottom);
    if (bottom < top_edge || top > bottom_edge) return;
    const int first_row = std::clamp(pixel_index(std::max(top, top_edge), height), 0, height - 1);
    const int last_row = std::clamp(pixel_index(std::min(bottom, bottom_edge), height), 0, height - 1);
    raster.block(e.column, e.column, first_row, last_row, kRed);
  });
}

}  // namespace

Sampling sampling_for(const PlotRequest& request, const Mapping& mapping) {
  if (!request.view) return Sampling(request.range.x1r, request.range.x2r, request.clarity);
  return Sampling::covering(mapping, request.clarity);
}

void draw_plot(Surface& surface, const PlotRequest& request) {
  if (request.view) draw_numbered_frame(surface, *request.view, request.numbers);
  else draw_frame(surface, request.range);
  if (request.mode == PlotMode::frame_only) return;
  const CurveColumns curve(surface.mapping(), sampling_for(request, surface.mapping()));
  Raster raster(surface.pixels(), surface.line_width());
  if (request.mode == PlotMode::line) {
    if (curve.count() >= 2) draw_by_line(raster, curve, surface.image().width(), surface.image().height());
  } else {
    curve.for_each_cell([&](int column, int row) { raster.block(column, column, row, row, kRed); });
  }
}

QImage plot_picture(const std::optional<PlotRequest>& request) {
  Surface surface(kPictureSize);
  if (request) draw_plot(surface, *request);
  return surface.image();
}

}  // namespace vesk
