#pragma once
// The widget `pic_plot`: a sunken frame around the plot, drawn at the screen's
// own pixels (surface/device_area.h), with the two line objects on top, the
// trace's marker and the hand cursor. It draws the picture it is given, again
// when that changes or the screen's scale does, and turns the pointer into
// signals; what to show is the session's (view/explorer.h).

#include <QFrame>
#include <QRubberBand>
#include <optional>

#include "plot/plot_request.h"
#include "surface/surface.h"

namespace vesk {

class PlotArea : public QFrame {
  Q_OBJECT

 public:
  static constexpr int kBorder = 2;  // pixels of the sunken 3-D border on each side
  static constexpr QRgb kFocusMark = qRgb(255, 140, 0);  // the border while the keys act here: dark orange

  // Shows a picture of `picture` pixels (times the layout's scale, twips.h), inside its border.
  PlotArea(QSize picture, QWidget* parent = nullptr);
  // Where a position in the picture's pixels lies in the widget.
  QPoint widget_point(QPointF at) const;

  // What to show, drawn at the next paint; `cleared`: the area empty, the line
  // objects where the request's frame puts them (a refused plot command).
  void show_plot(const PlotRequest& request, bool cleared);
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

  PlotRequest request_;
  bool cleared_ = false;
  QRubberBand* box_;
  std::optional<QPointF> box_from_;  // widget coordinates of the press, while a box is drawn
  std::optional<QPointF> trace_;     // the trace's marker, user units
  std::optional<Surface> screen_;
  QSize picture_;
  qreal scale_;
  bool stale_ = true;
};

}  // namespace vesk
