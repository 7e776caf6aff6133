#include "ui/window_font.h"

namespace vesk {
namespace {

QFont sans_serif(const QString& family, int pixels) {
  QFont font(family);
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(pixels);
  return font;
}

}  // namespace

QFont preferred_window_font() { return sans_serif(QStringLiteral("DejaVu Sans Condensed"), 11); }

QFont window_font(const std::function<bool(const QFont&)>& fits) {
  const QFont candidates[] = {
      preferred_window_font(),
      sans_serif(QStringLiteral("Liberation Sans Narrow"), 11),
      sans_serif(QStringLiteral("Sans Serif"), 11),
      sans_serif(QStringLiteral("Sans Serif"), 10),
      sans_serif(QStringLiteral("Sans Serif"), 9),
  };
  for (const QFont& font : candidates)
    if (fits(font)) return font;
  return sans_serif(QStringLiteral("Sans Serif"), 8);  // the smallest still legible
}

}  // namespace vesk
