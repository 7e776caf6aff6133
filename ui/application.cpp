#include "ui/application.h"

#include <QApplication>
#include <QList>
#include <QPixmap>
#include <QResource>
#include <QScreen>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <utility>

namespace vesk {
namespace {

bool set(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0';
}

struct HeldMessage {
  QtMsgType type;
  QString category;
  QString text;
};
QList<HeldMessage> held_messages;
QtMessageHandler handler_before_start = nullptr;

[[noreturn]] void session_does_not_answer() {
  const char* session = set("DISPLAY") ? "DISPLAY" : set("WAYLAND_DISPLAY") ? "WAYLAND_DISPLAY" : "QT_QPA_PLATFORM";
  std::fprintf(stderr, "vesk-plot: the graphical session %s=%s does not answer; start it from a desktop session.\n",
               session, std::getenv(session));
  std::_Exit(1);
}

void hold_message(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  if (type != QtFatalMsg) {
    held_messages.append({type, QString::fromLatin1(context.category), text});
    return;
  }
  // The only fatal message while the toolkit starts: no platform could be initialised.
  session_does_not_answer();
}

// Whether a Wayland compositor listens at WAYLAND_DISPLAY. Asked first where
// Wayland is the only session, since the Wayland library prints its own
// complaint before the toolkit gives up.
bool wayland_answers() {
  const std::string name = std::getenv("WAYLAND_DISPLAY");
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (name.front() != '/' && runtime == nullptr) return false;
  const std::string path = name.front() == '/' ? name : std::string(runtime) + "/" + name;
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (path.size() >= sizeof(address.sun_path)) return false;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  const int socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  const bool answers = socket >= 0 && ::connect(socket, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  if (socket >= 0) ::close(socket);
  return answers;
}

}  // namespace

bool graphical_session_available() {
  return set("DISPLAY") || set("WAYLAND_DISPLAY") || set("QT_QPA_PLATFORM");
}

void begin_guarded_start() {
  if (set("WAYLAND_DISPLAY") && !set("DISPLAY") && !set("QT_QPA_PLATFORM") && !wayland_answers())
    session_does_not_answer();
  handler_before_start = qInstallMessageHandler(hold_message);
}

void end_guarded_start() {
  qInstallMessageHandler(handler_before_start);
  for (const HeldMessage& held : std::exchange(held_messages, {})) {
    const QByteArray category = held.category.toLatin1();
    const QMessageLogContext context(nullptr, 0, nullptr, category.constData());
    qt_message_output(held.type, context, held.text);
  }
}

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
