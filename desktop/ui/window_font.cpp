#include "ui/window_font.h"

#include <QApplication>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <algorithm>
#include <cmath>

#include "ui/twips.h"

namespace vesk {
namespace {

constexpr int kDesignPixels = 11;
constexpr int kDefaultDesktopPixels = 12;

QFont sans_serif(const QString& family, int pixels) {
  QFont font(family);
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(int(pixels * layout_scale() + 0.5));
  return font;
}

}  // namespace

QFont preferred_window_font() { return sans_serif(QStringLiteral("DejaVu Sans Condensed"), kDesignPixels); }

double text_scale(int desktop_pixels, int styled_pixels) {
  const double larger = std::max({1.0, double(desktop_pixels) / kDefaultDesktopPixels, double(styled_pixels) / kDesignPixels});
  return std::round(larger * 4) / 4;
}

void fit_text(QLineEdit* box) {
  QFont font = box->parentWidget() ? box->parentWidget()->font() : box->font();
  // The room inside the frame and the box's own margins (2 pixels each side).
  const int room = box->contentsRect().width() - box->textMargins().left() - box->textMargins().right() - 4;
  while (QFontMetrics(font).horizontalAdvance(box->text()) > room && font.pixelSize() > 6) font.setPixelSize(font.pixelSize() - 1);
  if (font != box->font()) box->setFont(font);
}

double application_text_scale() {
  QLabel probe(QStringLiteral("X :"));
  probe.setFont(sans_serif(QStringLiteral("DejaVu Sans Condensed"), kDesignPixels));
  probe.ensurePolished();  // a style sheet's font, if it sets one
  return text_scale(QFontInfo(QApplication::font()).pixelSize(), QFontInfo(probe.font()).pixelSize());
}

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
