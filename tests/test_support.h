#pragma once
// Helpers shared by the widget and drawing tests.

#include <QAbstractButton>
#include <QApplication>
#include <QImage>
#include <QMessageBox>
#include <QTimer>
#include <functional>

#include "surface/colour.h"

namespace vesk::test {

inline const QRgb kWhitePixel = to_rgb(kActiveTitleText);
inline const QRgb kGreyPixel = to_rgb(kButtonFace);
inline const QRgb kRedPixel = to_rgb(kRed);
inline const QRgb kGreenPixel = to_rgb(kGreen);

inline QRgb pixel(const QImage& image, int x, int y) { return image.pixel(x, y) | 0xFF000000u; }

inline int count_pixels(const QImage& image, QRgb colour) {
  int count = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) count += pixel(image, x, y) == (colour | 0xFF000000u);
  return count;
}

inline bool column_is(const QImage& image, int x, QRgb colour) {
  for (int y = 0; y < image.height(); ++y)
    if (pixel(image, x, y) != (colour | 0xFF000000u)) return false;
  return true;
}

inline bool row_is(const QImage& image, int y, QRgb colour) {
  for (int x = 0; x < image.width(); ++x)
    if (pixel(image, x, y) != (colour | 0xFF000000u)) return false;
  return true;
}

// The first difference between two images, as "(x, y)", or an empty string.
inline QString first_difference(const QImage& a, const QImage& b) {
  if (a.size() != b.size()) return QStringLiteral("sizes differ");
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x)
      if (pixel(a, x, y) != pixel(b, x, y)) return QStringLiteral("(%1, %2)").arg(x).arg(y);
  return {};
}

// What a message box showed before the test closed it.
struct SeenMessage {
  QString text;
  QString title;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  int buttons = 0;
  bool seen = false;
};

// Answers the next application-modal message box with its first button, and
// records what it showed. Polls, since the box opens inside a nested loop.
inline void answer_next_message_box(SeenMessage& seen) {
  auto* poll = new QTimer(qApp);
  QObject::connect(poll, &QTimer::timeout, qApp, [poll, &seen] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) return;
    seen = {box->text(), box->windowTitle(), box->icon(), int(box->buttons().size()), true};
    box->buttons().constFirst()->click();
    poll->deleteLater();
  });
  poll->start(5);
}

}  // namespace vesk::test
