#pragma once
// The widget `pic_plot`: a sunken frame that shows the surface's image, then its
// two line objects on top, with the hand cursor. It draws nothing of its own.

#include <QFrame>

#include "surface/surface.h"

namespace vesk {

class PlotArea : public QFrame {
  Q_OBJECT

 public:
  // `outer_size` is the whole control, border included, in pixels.
  explicit PlotArea(QSize outer_size, QWidget* parent = nullptr);

  Surface& surface() { return surface_; }
  const Surface& surface() const { return surface_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void paint_line_object(QPainter& painter, const LineObject& line) const;

  Surface surface_;
};

}  // namespace vesk
