#include "ui/hand_cursor.h"

#include <QPixmap>

namespace vesk {

QCursor hand_cursor(qreal device_pixel_ratio) {
  const bool doubled = device_pixel_ratio >= 1.5;
  QPixmap picture(doubled ? QStringLiteral(":/resources/hand@2x.png") : QStringLiteral(":/resources/hand.png"));
  picture.setDevicePixelRatio(doubled ? 2.0 : 1.0);
  return QCursor(picture, 6, 0);
}

}  // namespace vesk
