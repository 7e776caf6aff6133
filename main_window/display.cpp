#include "main_window/display.h"

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

}  // namespace vesk
