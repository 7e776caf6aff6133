#pragma once
// One plot, drawn whole: what the plot commands, the steps of the view, the
// saved files and the command line all draw.

#include <QImage>
#include <optional>

#include "plot/plot_request.h"
#include "plot/quartic.h"
#include "surface/mapping.h"

namespace vesk {

class Surface;

// The picture a plot is saved as: the drawable area of `pic_plot`, its
// 583 × 394 pixels less a 2-pixel border on each side.
inline constexpr PixelSize kPictureSize{579, 390};

// The frame for the request's range, or the numbered frame of its view (either
// paints the whole area), then its curve in red: consecutive samples joined by segments in line mode, every
// sample a point in point mode, nothing more for the frame alone. Exactly the
// image of drawing every sample in turn, in time that
// grows with the surface's pixels rather than with the number of samples.
void draw_plot(Surface& surface, const PlotRequest& request);

// The samples a request draws on the picture `mapping` makes: its plot command's range, or those covering its view.
Sampling sampling_for(const PlotRequest& request, const Mapping& mapping);

// The saved picture of a plot at kPictureSize, lines one pixel wide; without
// a request, the empty area a refused plot command leaves.
QImage plot_picture(const std::optional<PlotRequest>& request);

}  // namespace vesk
