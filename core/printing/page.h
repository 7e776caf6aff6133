#pragma once
// The plot on a page: the view shown, drawn as the vector files draw it (shapes, never a picture of pixels), as
// large as the printable area takes with its aspect kept, centred, and a one-line caption under it that names the
// function, the view and the clarity.

#include <QRectF>
#include <QString>
#include <optional>

#include "plot/plot_request.h"

class QPainter;

namespace vesk {

// "f(x) = x³ − 2·x² + x⁴ + 3·x   x from −9 to 9, y from −9 to 9, clarity 100, by line"
QString print_caption(const std::optional<PlotRequest>& request);

// Where the plot and the caption go within `printable` (the page's device units), the caption `caption_height`
// tall (0: none).
struct PageLayout {
  QRectF plot;
  QRectF caption;
};
PageLayout page_layout(QRectF printable, double caption_height);

// The page, on a painter already begun on it.
void paint_page(QPainter& painter, QRectF printable, const std::optional<PlotRequest>& request, bool with_caption);

}  // namespace vesk
