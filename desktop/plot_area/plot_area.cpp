#include "plot_area/plot_area.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QNativeGestureEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <utility>

#include "surface/raster.h"
#include "ui/hand_cursor.h"
#include "ui/twips.h"

namespace vesk {
namespace {

// Rounding that forgives the last bits of a product such as 11 × 1.5.
int device_floor(qreal v) { return int(std::floor(v + 1e-6)); }
int device_ceil(qreal v) { return int(std::ceil(v - 1e-6)); }

// The pixel whose centre is nearest to `p`, as a double so that distant
// coordinates stay representable, limited to a little beyond the area.
double nearest_pixel(double p, int extent, int margin) {
  return std::clamp(std::floor(p + 0.5), double(-margin), double(extent + margin));
}

}  // namespace

DeviceArea device_area(QPoint area_in_window, QSize area_size, qreal ratio, qreal layout_scale) {
  // Every device pixel the area covers, those it shares with the border too:
  // left to the border, a pixel it half covers shows as a seam beside the plot.
  const int left = device_floor(area_in_window.x() * ratio);
  const int top = device_floor(area_in_window.y() * ratio);
  const int right = device_ceil((area_in_window.x() + area_size.width()) * ratio);
  const int bottom = device_ceil((area_in_window.y() + area_size.height()) * ratio);
  return {PixelSize{right - left, bottom - top},
          QPointF(left / ratio - area_in_window.x(), top / ratio - area_in_window.y()), ratio,
          std::max(1, int(std::lround(ratio * layout_scale)))};
}

QRect line_object_pixels(const LineObject& line, const Mapping& mapping, int line_width) {
  const PixelSize pixels = mapping.pixels();
  const int thickness = line.width * line_width;
  const int margin = thickness + line_width;
  const double ax = nearest_pixel(mapping.to_pixel_x(line.x1), pixels.width, margin);
  const double bx = nearest_pixel(mapping.to_pixel_x(line.x2), pixels.width, margin);
  const double ay = nearest_pixel(mapping.to_pixel_y(line.y1), pixels.height, margin);
  const double by = nearest_pixel(mapping.to_pixel_y(line.y2), pixels.height, margin);
  if (line.width == 0 || !std::isfinite(ax + bx + ay + by)) return {};
  // The line the surface draws at pixel p covers [start, start + line_width);
  // the object adds (thickness − line_width) / 2 on each side of that.
  const int brush_start = -(line_width - 1) / 2;
  const auto span = [&](double a, double b, bool across) {
    const int low = int(std::min(a, b)) + brush_start, high = int(std::max(a, b)) + brush_start + line_width - 1;
    if (!across) return std::pair{low, high};
    const int side = (thickness - line_width) / 2;
    return std::pair{low - side, low - side + thickness - 1};
  };
  const bool horizontal = line.y1 == line.y2;
  const auto [left, right] = span(ax, bx, !horizontal);
  const auto [top, bottom] = span(ay, by, horizontal);
  return QRect(QPoint(left, top), QPoint(right, bottom)) & QRect(0, 0, pixels.width, pixels.height);
}

PlotArea::PlotArea(QSize picture, Drawing drawing, QWidget* parent)
    : QFrame(parent),
      drawing_(std::move(drawing)),
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
  trace_ = at;
  update();
}

void PlotArea::refresh() {
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
    drawing_(*screen_);
    stale_ = false;
  }

  QPainter painter(this);
  painter.translate(area.topLeft() + device.origin);
  painter.scale(1 / device.ratio, 1 / device.ratio);  // from here on, device pixels
  painter.drawImage(0, 0, screen_->image());
  for (const LineObject* line : {&screen_->lin_x, &screen_->lin_y})
    painter.fillRect(line_object_pixels(*line, screen_->mapping(), device.line_width), QColor(line->colour));
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
