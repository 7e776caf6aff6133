#pragma once

#include <QFont>

namespace vesk {

// The layouts were made for a narrow 8-point system font; a condensed face at
// 11 pixels keeps every caption inside its control.
inline QFont window_font() {
  QFont font(QStringLiteral("DejaVu Sans Condensed"));
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(11);
  return font;
}

}  // namespace vesk
