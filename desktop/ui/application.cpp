#include "ui/application.h"

#include <QApplication>
#include <QList>
#include <QPixmap>
#include <QResource>
#include <QScreen>
#include <QWidget>

namespace vesk {

// Raw pixels rather than a PNG: the window's first showing waits for no image reader.
QIcon application_icon() {
  const QResource pixels(QStringLiteral(":/resources/icon-48.argb"));
  const QByteArray bytes = pixels.uncompressedData();
  if (bytes.size() != 48 * 48 * 4) return {};
  // A copy: the image would otherwise go on using the buffer of `bytes`.
  const QImage image(reinterpret_cast<const uchar*>(bytes.constData()), 48, 48, QImage::Format_ARGB32_Premultiplied);
  return QIcon(QPixmap::fromImage(image.copy()));
}

void set_application_identity() {
  QGuiApplication::setDesktopFileName(QLatin1String(kApplicationId));
  QApplication::setWindowIcon(application_icon());
}

void centre_on_screen(QWidget* window) {
  if (QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) return;
  const QScreen* screen = window->screen();
  if (screen == nullptr) return;
  QRect frame = window->frameGeometry();
  frame.moveCenter(screen->availableGeometry().center());
  window->move(frame.topLeft());
}

}  // namespace vesk
