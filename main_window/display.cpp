#include "main_window/display.h"

#include <QApplication>
#include <cstdlib>

namespace vesk {
namespace {
bool set(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0';
}
}  // namespace

bool graphical_session_available() {
  return set("DISPLAY") || set("WAYLAND_DISPLAY") || set("QT_QPA_PLATFORM");
}

QIcon application_icon() { return QIcon(QStringLiteral(":/resources/icon-256.png")); }

void set_application_identity() {
  QGuiApplication::setDesktopFileName(QLatin1String(kApplicationId));
  QApplication::setWindowIcon(application_icon());
}

}  // namespace vesk
