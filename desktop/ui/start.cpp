#include "ui/start.h"

#include <QList>
#include <QRegularExpression>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
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
std::atomic<bool> starting{false};
std::mutex start_mutex;
std::atomic_flag reported = ATOMIC_FLAG_INIT;
std::condition_variable start_ended;
std::thread watchdog;

QString variable(const char* name) { return qEnvironmentVariable(name); }

QString platform_from(const QStringList& arguments) {
  for (qsizetype i = 1; i + 1 < arguments.size(); ++i)
    if (arguments[i] == QLatin1String("-platform") || arguments[i] == QLatin1String("--platform"))
      return arguments[i + 1];
  return variable("QT_QPA_PLATFORM");
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
  if (platform.isEmpty()) platform = variable("WAYLAND_DISPLAY").isEmpty() ? QStringLiteral("xcb") : QStringLiteral("wayland");
  const QString waited = timed_out ? QStringLiteral(" within %1 seconds").arg(kStartSeconds) : QString();
  if (platform.startsWith(QLatin1String("wayland"))) {
    return QStringLiteral("no Wayland compositor answered%1 at WAYLAND_DISPLAY=%2 (%3); start it from a desktop session.")
        .arg(waited, variable("WAYLAND_DISPLAY"), wayland_socket());
  }
  if (platform == QLatin1String("xcb"))
    return QStringLiteral("no X server answered%1 at DISPLAY=%2; start it from a desktop session.")
        .arg(waited, variable("DISPLAY"));
  return QStringLiteral("the toolkit's platform '%1' could not start%2.").arg(platform, waited);
}

// Once, from whichever of the fatal message, the watchdog or an exit comes first.
void report_failure(const QString& fatal_text, bool timed_out) {
  if (reported.test_and_set()) return;
  const std::lock_guard lock(held_mutex);
  std::fprintf(stderr, "vesk-plot: %s\n", qPrintable(failure_line(fatal_text, timed_out)));
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
         !platform_from(arguments).isEmpty();
}

void begin_guarded_start(const QStringList& arguments) {
  chosen_platform = platform_from(arguments);
  starting = true;
  handler_before_start = qInstallMessageHandler(hold_message);
  watchdog = std::thread([] {
    std::unique_lock lock(start_mutex);
    if (start_ended.wait_for(lock, std::chrono::seconds(kStartSeconds), [] { return !starting; })) return;
    report_failure({}, true);
    std::_Exit(1);
  });
}

void end_guarded_start() {
  {
    const std::lock_guard lock(start_mutex);
    starting = false;
  }
  start_ended.notify_all();
  watchdog.join();
  qInstallMessageHandler(after_start);
  for (const HeldMessage& held : std::exchange(held_messages, {})) {
    const QMessageLogContext context(nullptr, 0, nullptr, held.category.constData());
    qt_message_output(held.type, context, held.text);
  }
}

}  // namespace vesk
