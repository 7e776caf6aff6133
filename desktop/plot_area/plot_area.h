#pragma once
// The widget `pic_plot`: a sunken frame around the plot, drawn at the screen's
// own pixels, with the two line objects on top and the hand cursor. What to
// draw comes from its owner, as a function that draws the plot on a surface of
// any size; the widget calls it when the picture changed or the screen's scale
// did. It turns the pointer into signals and knows nothing of plots.

#include <QFrame>
#include <QRubberBand>
#include <functional>
#include <optional>

#include "surface/surface.h"

namespace vesk {

// The device pixels the drawable area covers, wholly or in part, whose top-left corner
// lies at `area_in_window` of its window (logical pixels), on a screen of
// `ratio` device pixels a logical pixel; and where the first of them begins,
// in logical pixels from that corner.
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

class PlotArea : public QFrame {
  Q_OBJECT

 public:
  using Drawing = std::function<void(Surface&)>;
  static constexpr int kBorder = 2;  // pixels of the sunken 3-D border on each side
  static constexpr QRgb kFocusMark = qRgb(255, 140, 0);  // the border while the keys act here: dark orange

  // Shows a picture of `picture` pixels (times the layout's scale, twips.h), inside its border.
  PlotArea(QSize picture, Drawing drawing, QWidget* parent = nullptr);
  // Where a position in the picture's pixels lies in the widget.
  QPoint widget_point(QPointF at) const;

  // The picture changed: draw it again before it is next shown.
  void refresh();
  // The trace's marker at a point in user units, over the picture; none without.
  void set_trace(std::optional<QPointF> at);

 signals:
  // Positions are in pixel coordinates of the drawable area in logical pixels
  // (0.0 the centre of the first pixel), as the saved picture has them.
  void wheel_turned(QPoint angle_delta, QPointF at, Qt::KeyboardModifiers modifiers);
  void drag_started(QPointF at);
  void dragged(QPointF at);
  void drag_ended();
  // Shift + drag: the rectangle between the press and the release (Escape cancels it).
  void box_chosen(QPointF corner, QPointF other_corner);
  // The pointer's back (−1) and forward (+1) buttons.
  void history_button(int direction);
  // A pinch: the change in scale (positive: apart) about a point.
  void pinched(qreal scale_change, QPointF at);
  void pointer_moved(QPointF at);
  void pointer_left();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool event(QEvent* event) override;

 private:
  QPointF drawable_position(QPointF widget_position) const;

  Drawing drawing_;
  QRubberBand* box_;
  std::optional<QPointF> box_from_;
  std::optional<QPointF> trace_;  // widget coordinates of the press, while a box is drawn
  std::optional<Surface> screen_;
  QSize picture_;
  qreal scale_;
  bool stale_ = true;
};

}  // namespace vesk
