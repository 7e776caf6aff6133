#include "printing/page.h"

#include <QFont>
#include <QPainter>
#include <QStringList>

#include "key_points/marks.h"
#include "plot/plot.h"
#include "plot/vector_plot.h"

namespace vesk {

QString print_caption(const std::optional<PlotRequest>& request) {
  const QString function = QStringLiteral("f(x) = x³ − 2·x² + x⁴ + 3·x");
  if (!request) return function + QStringLiteral("   (nothing plotted)");
  const Bounds b = request->shown();
  const auto number = [](double v) { return QString::number(v, 'g', 12).replace(QLatin1Char('-'), QChar(0x2212)); };
  const QString how = request->mode == PlotMode::frame_only ? QStringLiteral("the frame alone")
                      : request->mode == PlotMode::line     ? QStringLiteral("clarity %1, by line").arg(request->clarity)
                                                            : QStringLiteral("clarity %1, by point").arg(request->clarity);
  return QStringLiteral("%1   x from %2 to %3, y from %4 to %5, %6")
      .arg(function, number(b.x_from), number(b.x_to), number(b.y_from), number(b.y_to), how);
}

PageLayout page_layout(QRectF printable, double caption_height) {
  const double gap = caption_height > 0 ? caption_height / 2 : 0;
  const QSizeF room(printable.width(), printable.height() - caption_height - gap);
  const QSizeF plot = QSizeF(kPictureSize.width, kPictureSize.height).scaled(room, Qt::KeepAspectRatio);
  const double top = printable.top() + (printable.height() - plot.height() - caption_height - gap) / 2;
  const QRectF placed(printable.left() + (printable.width() - plot.width()) / 2, top, plot.width(), plot.height());
  return {placed, caption_height > 0 ? QRectF(printable.left(), placed.bottom() + gap, printable.width(), caption_height) : QRectF()};
}

void paint_page(QPainter& painter, QRectF printable, const std::optional<PlotRequest>& request, bool with_caption) {
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setPixelSize(std::max(1, int(printable.width() / 90)));  // about a hundred characters across the page
  const PageLayout layout = page_layout(printable, with_caption ? QFontMetricsF(font, painter.device()).height() : 0);
  painter.save();
  painter.translate(layout.plot.topLeft());
  painter.scale(layout.plot.width() / kPictureSize.width, layout.plot.height() / kPictureSize.height);
  paint_vector_plot(painter, request);
  if (request && request->marks) paint_marks(painter, request->shown());
  painter.restore();
  if (!with_caption) return;
  painter.setFont(font);
  painter.setPen(Qt::black);
  painter.drawText(layout.caption, Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine, print_caption(request));
}

}  // namespace vesk
