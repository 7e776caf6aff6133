#include "surface/hand_cursor.h"

#include <QBitmap>

namespace vesk {

QCursor hand_cursor() {
  const QBitmap bitmap(QStringLiteral(":/resources/hand.xbm"));
  const QBitmap mask(QStringLiteral(":/resources/hand_mask.xbm"));
  return QCursor(bitmap, mask, 6, 0);
}

}  // namespace vesk
