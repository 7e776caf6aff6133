#include "plot_area/plot_area.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QNativeGestureEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <utility>

#include "key_points/marks.h"
#include "plot/frame.h"
#include "surface/device_area.h"
#include "surface/raster.h"
#include "ui/hand_cursor.h"
#include "ui/twips.h"

namespace vesk {
PlotArea::PlotArea(QSize picture, QWidget* parent)
    : QFrame(parent),
      box_(new QRubberBand(QRubberBand::Rectangle, this)),
      picture_(picture),
      scale_(layout_scale()) {
  setFrameStyle(QFrame::Panel | QFrame::Sunken);
  const int border = int(kBorder * scale_ + 0.5);
  setLineWidth(border);
  setFixedSize(QSize(int(picture.width() * scale_ + 0.5), int(picture.height() * scale_ + 0.5)) +
               QSize(2 * border, 2 * border));
  setFocusPolicy(Qt::StrongFocus);
  setCursor(hand_cursor(devicePixelRatioF()));
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void PlotArea::set_trace(std::optional<QPointF> at) {
  if (at == trace_) return;  // every pointer move comes here: only a marker that moved is drawn again
  trace_ = at;
  update();
}

void PlotArea::show_plot(const PlotRequest& request, bool cleared) {
  request_ = request;
  cleared_ = cleared;
  stale_ = true;
  update();
}

void PlotArea::paintEvent(QPaintEvent* event) {
  // On a screen scaled by 1.5 the border's lines fall between device pixels
  // and can leave one uncovered: let it show the border's light colour, not black.
  QPainter(this).fillRect(rect(), palette().light());
  QFrame::paintEvent(event);
  // The keys act here: the border shows it, in a colour the picture never uses.
  if (hasFocus()) {
    QPainter border(this);
    border.setClipRegion(QRegion(rect()) - QRegion(contentsRect()));
    border.fillRect(rect(), QColor(kFocusMark));
  }
  const QRect area = contentsRect();
  const DeviceArea device = device_area(mapTo(window(), area.topLeft()), area.size(), devicePixelRatioF(), scale_);
  // Drawn again when the picture changed, or the window moved to a screen of another scale.
  if (stale_ || !screen_ || screen_->mapping().pixels() != device.pixels ||
      screen_->line_width() != device.line_width) {
    screen_.emplace(device.pixels, device.line_width);
    if (cleared_) place_frame(*screen_, request_.shown());  // on the background alone
    else draw_plot_with_marks(*screen_, request_);
    stale_ = false;
  }

  QPainter painter(this);
  painter.translate(area.topLeft() + device.origin);
  painter.scale(1 / device.ratio, 1 / device.ratio);  // from here on, device pixels
  painter.drawImage(0, 0, screen_->image());
  for (const LineObject* line : {&screen_->lin_x, &screen_->lin_y})
    painter.fillRect(line_object_pixels(*line, screen_->mapping(), device.line_width), QColor(line->colour));
  // The marks over the axis markers, as the saved picture has them over its axes: their pixels again.
  for (const QRect& square : cleared_ ? QList<QRect>() : mark_squares(*screen_, request_)) {
    const QRect pixels = square.adjusted(-device.line_width, -device.line_width, device.line_width, device.line_width)
                             .intersected(screen_->image().rect());
    for (int y = pixels.top(); y <= pixels.bottom(); ++y)
      for (int x = pixels.left(); x <= pixels.right(); ++x)
        if ((screen_->image().pixel(x, y) & 0xFFFFFFu) == (kMarkColour & 0xFFFFFFu)) painter.fillRect(x, y, 1, 1, QColor(kMarkColour));
  }
  // The trace's marker: a cross of the curve's width, 9 of its widths across, at a whole device pixel.
  const Mapping& mapping = screen_->mapping();
  if (trace_ && std::isfinite(mapping.to_pixel_y(trace_->y()))) {
    const double column = std::clamp(std::floor(mapping.to_pixel_x(trace_->x()) + 0.5), -100.0, 1e5);
    const double row = std::clamp(std::floor(mapping.to_pixel_y(trace_->y()) + 0.5), -100.0, 1e5);
    const int width = device.line_width, arm = 4 * width;
    const QPoint centre{int(column), int(row)};
    painter.fillRect(QRect(centre.x() - arm, centre.y(), 2 * arm + width, width), Qt::black);
    painter.fillRect(QRect(centre.x(), centre.y() - arm, width, 2 * arm + width), Qt::black);
  }
}

// The toolkit gives the pointer as the top-left corner of the device pixel it
// is over; its centre is what lies under it. A larger layout shows the
// picture's pixels larger.
QPointF PlotArea::drawable_position(QPointF widget_position) const {
  const QPointF in_area = widget_position - contentsRect().topLeft() + QPointF(0.5, 0.5) / devicePixelRatioF();
  return {in_area.x() * picture_.width() / contentsRect().width() - 0.5,
          in_area.y() * picture_.height() / contentsRect().height() - 0.5};
}

QPoint PlotArea::widget_point(QPointF at) const {
  return (QPointF((at.x() + 0.5) * contentsRect().width() / picture_.width(),
                  (at.y() + 0.5) * contentsRect().height() / picture_.height()) + contentsRect().topLeft()).toPoint();
}

void PlotArea::wheelEvent(QWheelEvent* event) {
  emit wheel_turned(event->angleDelta(), drawable_position(event->position()), event->modifiers());
  event->accept();
}

void PlotArea::mousePressEvent(QMouseEvent* event) {
  QFrame::mousePressEvent(event);
  if (event->button() == Qt::BackButton || event->button() == Qt::ForwardButton)
    return emit history_button(event->button() == Qt::BackButton ? -1 : 1);
  if (event->button() != Qt::LeftButton) return;
  if (event->modifiers() & Qt::ShiftModifier) {
    box_from_ = event->position();
    box_->setGeometry(QRect(event->position().toPoint(), QSize()));
    box_->show();
    return;
  }
  setCursor(Qt::ClosedHandCursor);
  emit drag_started(drawable_position(event->position()));
}

void PlotArea::mouseMoveEvent(QMouseEvent* event) {
  const QPointF at = drawable_position(event->position());
  if (box_from_) box_->setGeometry(QRectF(*box_from_, event->position()).normalized().toRect() & contentsRect());
  else if (event->buttons() & Qt::LeftButton) emit dragged(at);
  emit pointer_moved(at);
}

void PlotArea::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  if (box_from_) {
    const QPointF from = std::exchange(box_from_, std::nullopt).value();
    if (box_->isVisible()) emit box_chosen(drawable_position(from), drawable_position(event->position()));
    box_->hide();
    return;
  }
  setCursor(hand_cursor(devicePixelRatioF()));
  emit drag_ended();
}

void PlotArea::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape && box_->isVisible()) return box_->hide();  // the release then does nothing
  QFrame::keyPressEvent(event);
}

bool PlotArea::event(QEvent* event) {
  if (event->type() != QEvent::NativeGesture) return QFrame::event(event);
  const auto* gesture = static_cast<QNativeGestureEvent*>(event);
  if (gesture->gestureType() == Qt::ZoomNativeGesture)
    emit pinched(gesture->value(), drawable_position(gesture->position()));
  return true;
}

void PlotArea::focusInEvent(QFocusEvent* event) {
  QFrame::focusInEvent(event);
  update();
}

void PlotArea::focusOutEvent(QFocusEvent* event) {
  QFrame::focusOutEvent(event);
  update();
}

void PlotArea::leaveEvent(QEvent* event) {
  QFrame::leaveEvent(event);
  emit pointer_left();
}

}  // namespace vesk
