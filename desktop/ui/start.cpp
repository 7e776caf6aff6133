#include "ui/start.h"

#include <QGuiApplication>
#include <QList>
#include <QRegularExpression>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <mutex>
#include <thread>
#include <utility>

namespace vesk {
namespace {

struct HeldMessage {
  QtMsgType type;
  QByteArray category;
  QString text;
};

// The start's state, shared with the watchdog thread and the exit handler.
std::mutex held_mutex;
QList<HeldMessage> held_messages;
QtMessageHandler handler_before_start = nullptr;
QString chosen_platform;  // -platform or QT_QPA_PLATFORM; empty: the toolkit's own choice
QString chosen_display;   // -display; empty: DISPLAY
std::atomic<bool> starting{false};
std::mutex start_mutex;
std::atomic_flag reported = ATOMIC_FLAG_INIT;
std::condition_variable start_ended;
std::thread watchdog;

QString variable(const char* name) { return qEnvironmentVariable(name); }

// The value of the toolkit's option `name` (-name value or --name value), or empty.
QString option_value(const QStringList& arguments, const QString& name) {
  for (qsizetype i = 1; i + 1 < arguments.size(); ++i)
    if (arguments[i] == QLatin1Char('-') + name || arguments[i] == QLatin1String("--") + name) return arguments[i + 1];
  return {};
}

QString platform_from(const QStringList& arguments) {
  const QString chosen = option_value(arguments, QStringLiteral("platform"));
  return chosen.isEmpty() ? variable("QT_QPA_PLATFORM") : chosen;
}

// Where the X server was looked for, as the user named it.
QString display_place() {
  return chosen_display.isEmpty() ? QStringLiteral("DISPLAY=%1").arg(variable("DISPLAY"))
                                  : QStringLiteral("-display %1").arg(chosen_display);
}

// What the X server at a local display (":N", ":N.S", "unix:N") says to a
// client that brings no credentials, by the protocol's own first exchange:
// empty when nothing listens there or it lets the client in, else its reason
// for refusing ("Authorization required, …").
QString x_server_refusal() {
  const QString display = chosen_display.isEmpty() ? variable("DISPLAY") : chosen_display;
  const QRegularExpressionMatch local = QRegularExpression(QStringLiteral(R"(^(?:unix)?:(\d+)(?:\.\d+)?$)")).match(display);
  if (!local.hasMatch()) return {};
  const QByteArray path = "/tmp/.X11-unix/X" + local.captured(1).toLatin1();
  sockaddr_un address{};
  if (size_t(path.size()) >= sizeof address.sun_path) return {};  // no socket can have that name: nothing listens
  const int socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (socket < 0) return {};
  address.sun_family = AF_UNIX;
  std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
  // Byte order 'l', protocol 11.0, no authorization name or data.
  const unsigned char setup[12] = {'l', 0, 11, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  unsigned char reply[8 + 255] = {};
  ssize_t got = 0;
  timeval wait{2, 0};
  ::setsockopt(socket, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
  if (::connect(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 &&
      ::send(socket, setup, sizeof setup, MSG_NOSIGNAL) == ssize_t(sizeof setup))
    got = ::recv(socket, reply, sizeof reply, MSG_WAITALL);
  ::close(socket);
  // A refusal: status 0, the reason's length, then the reason after 8 bytes.
  if (got < 8 || reply[0] != 0) return {};
  return QString::fromLatin1(reinterpret_cast<const char*>(reply + 8), std::min<qsizetype>(reply[1], got - 8)).trimmed();
}

QString wayland_socket() {
  QString socket = variable("WAYLAND_DISPLAY");
  if (socket.isEmpty()) socket = QStringLiteral("wayland-0");
  return socket.startsWith(QLatin1Char('/')) ? socket : variable("XDG_RUNTIME_DIR") + QLatin1Char('/') + socket;
}

bool wayland_gives_up(const QString& text) { return text.startsWith(QLatin1String("The Wayland connection")); }

QString first_capture(const QString& pattern, const QString& text) {
  return QRegularExpression(pattern).match(text).captured(1);
}

// The line that names what failed: the platform the toolkit reported missing,
// else the first one it could not start, else the one it was starting.
QString failure_line(const QString& fatal_text, bool timed_out) {
  QString platform, missing;
  for (const HeldMessage& held : std::as_const(held_messages)) {
    if (missing.isEmpty()) missing = first_capture(QStringLiteral(R"(Could not find the Qt platform plugin "([^"]*)\")"), held.text);
    if (platform.isEmpty()) platform = first_capture(QStringLiteral(R"(Could not load the Qt platform plugin "([^"]*)\")"), held.text);
  }
  if (!missing.isEmpty()) {
    const QString installed = first_capture(QStringLiteral(R"(Available platform plugins are: ([^\n]*?)\.?\s*$)"), fatal_text);
    return QStringLiteral("the toolkit has no platform '%1' here (installed: %2).").arg(missing, installed);
  }
  if (platform.isEmpty()) platform = chosen_platform.section(QLatin1Char(';'), 0, 0);
  if (platform.isEmpty())
    platform = variable("WAYLAND_DISPLAY").isEmpty() || !chosen_display.isEmpty() ? QStringLiteral("xcb") : QStringLiteral("wayland");
  const QString waited = timed_out ? QStringLiteral(" within %1 seconds").arg(kStartSeconds) : QString();
  if (platform.startsWith(QLatin1String("wayland"))) {
    return QStringLiteral("no Wayland compositor answered%1 at WAYLAND_DISPLAY=%2 (%3); start it from a desktop session.")
        .arg(waited, variable("WAYLAND_DISPLAY"), wayland_socket());
  }
  if (platform == QLatin1String("xcb")) {
    if (const QString refusal = timed_out ? QString() : x_server_refusal(); !refusal.isEmpty())
      return QStringLiteral("the X server at %1 refused the connection (%2); XAUTHORITY=%3 holds no key it takes.")
          .arg(display_place(), refusal, variable("XAUTHORITY"));
    return QStringLiteral("no X server answered%1 at %2; start it from a desktop session.").arg(waited, display_place());
  }
  return QStringLiteral("the toolkit's platform '%1' could not start%2.").arg(platform, waited);
}

// What the start writes to standard error by itself (Xlib prints an X
// server's refusal there): held in a pipe, to follow the line that names the cause.
int saved_stderr = -1;
std::thread stderr_reader;
std::atomic<bool> stop_reading{false};
QByteArray held_output;  // the reader's until it is joined

void hold_standard_error() {
  int ends[2];
  if (::pipe2(ends, O_CLOEXEC) != 0) return;
  saved_stderr = ::fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 3);
  if (saved_stderr < 0 || ::dup2(ends[1], STDERR_FILENO) < 0) {
    ::close(ends[0]), ::close(ends[1]);
    if (saved_stderr >= 0) ::close(saved_stderr);
    saved_stderr = -1;
    return;
  }
  ::close(ends[1]);
  stderr_reader = std::thread([from = ends[0]] {
    char buffer[4096];
    // Polled, so that a copy of the pipe someone else holds cannot keep the reader waiting for good.
    for (pollfd ready{from, POLLIN, 0};;) {
      const int events = ::poll(&ready, 1, 20);
      if (events == 0 && stop_reading) break;
      if (events <= 0) continue;
      const ssize_t got = ::read(from, buffer, sizeof buffer);
      if (got > 0) held_output.append(buffer, got);
      else if (got == 0 || errno != EINTR) break;
    }
    ::close(from);
  });
}

// Standard error back where it was, and what the start wrote to it meanwhile.
QByteArray release_standard_error() {
  if (saved_stderr < 0) return {};
  std::fflush(stderr);
  ::dup2(saved_stderr, STDERR_FILENO);
  ::close(std::exchange(saved_stderr, -1));
  stop_reading = true;
  stderr_reader.join();
  return std::exchange(held_output, {});
}

// Once, from whichever of the fatal message, the watchdog or an exit comes first.
void report_failure(const QString& fatal_text, bool timed_out) {
  if (reported.test_and_set()) return;
  const std::lock_guard lock(held_mutex);
  const QByteArray written = release_standard_error();
  std::fprintf(stderr, "vesk-plot: %s\n", qPrintable(failure_line(fatal_text, timed_out)));
  std::fputs(written.constData(), stderr);
  for (const HeldMessage& held : std::as_const(held_messages)) {
    const bool named = !held.category.isEmpty() && held.category != "default";
    std::fprintf(stderr, "%s%s%s\n", named ? held.category.constData() : "", named ? ": " : "", qPrintable(held.text));
  }
  std::fflush(stderr);
}

void hold_message(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  if (type == QtFatalMsg) {  // no platform could be started
    report_failure(text, false);
    std::_Exit(1);
  }
  {
    const std::lock_guard lock(held_mutex);
    held_messages.append({type, QByteArray(context.category), text});
  }
  // The Wayland platform ends the program right after this, on a socket that
  // is not a compositor, without another word.
  if (wayland_gives_up(text)) report_failure({}, false);
}

// After the start, a compositor that ends the connection (or was never one, and
// let the start pass) ends the program as well: say which, before the toolkit does.
void after_start(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  if (wayland_gives_up(text))
    std::fprintf(stderr, "vesk-plot: the Wayland compositor at WAYLAND_DISPLAY=%s (%s) ended the connection.\n",
                 qPrintable(variable("WAYLAND_DISPLAY")), qPrintable(wayland_socket()));
  if (handler_before_start != nullptr) handler_before_start(type, context, text);
  else std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, text)));
}

}  // namespace

bool graphical_session_available(const QStringList& arguments) {
  return !variable("DISPLAY").isEmpty() || !variable("WAYLAND_DISPLAY").isEmpty() ||
         !platform_from(arguments).isEmpty() || !option_value(arguments, QStringLiteral("display")).isEmpty();
}

void begin_guarded_start(const QStringList& arguments) {
  chosen_platform = platform_from(arguments);
  chosen_display = option_value(arguments, QStringLiteral("display"));
  starting = true;
  hold_standard_error();
  handler_before_start = qInstallMessageHandler(hold_message);
  watchdog = std::thread([] {
    std::unique_lock lock(start_mutex);
    if (start_ended.wait_for(lock, std::chrono::seconds(kStartSeconds), [] { return !starting; })) return;
    report_failure({}, true);
    std::_Exit(1);
  });
}

void end_guarded_start() {
  // One round trip to the display first: a Wayland socket that closed the
  // connection after the greeting shows it here, still within the start.
  QGuiApplication::sync();
  {
    const std::lock_guard lock(start_mutex);
    starting = false;
  }
  start_ended.notify_all();
  watchdog.join();
  std::fputs(release_standard_error().constData(), stderr);
  qInstallMessageHandler(after_start);
  for (const HeldMessage& held : std::exchange(held_messages, {})) {
    const QMessageLogContext context(nullptr, 0, nullptr, held.category.constData());
    qt_message_output(held.type, context, held.text);
  }
}

}  // namespace vesk
