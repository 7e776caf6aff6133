#include "e2e/desktop.h"

#include <QRegularExpression>

// Last: Xlib defines macros (Bool, None, Status) that break Qt headers.
#include <X11/Xlib.h>

namespace vesk::e2e {

std::optional<QByteArray> run_tool(const QString& program, const QStringList& arguments, int timeout_ms) {
  QProcess tool;
  tool.start(program, arguments);
  if (!tool.waitForFinished(timeout_ms) || tool.exitStatus() != QProcess::NormalExit || tool.exitCode() != 0) {
    tool.kill();
    tool.waitForFinished(1000);
    return std::nullopt;
  }
  return tool.readAllStandardOutput();
}

QList<qulonglong> visible_windows(const QString& name_pattern) {
  QList<qulonglong> found;
  if (const auto out = run_tool("xdotool", {"search", "--onlyvisible", "--name", name_pattern}))
    for (const QByteArray& line : out->trimmed().split('\n'))
      if (!line.isEmpty()) found << line.toULongLong();
  return found;
}

qulonglong find_window(const QString& name_pattern, int timeout_ms) {
  qulonglong found = 0;
  wait_until([&] { return (found = visible_windows(name_pattern).value(0)) != 0; }, timeout_ms);
  return found;
}

bool is_viewable(qulonglong window) {
  const auto out = run_tool("xwininfo", {"-id", QString::number(window)});
  return out && out->contains("IsViewable");
}

QRect window_geometry(qulonglong window) {
  const auto out = run_tool("xwininfo", {"-id", QString::number(window)});
  if (!out) return {};
  const auto field = [&](const char* label) {
    return QRegularExpression(QStringLiteral("%1:\\s*(-?\\d+)").arg(QLatin1String(label)))
        .match(QString::fromUtf8(*out)).captured(1).toInt();
  };
  return {field("Absolute upper-left X"), field("Absolute upper-left Y"), field("Width"), field("Height")};
}

QImage screenshot() {
  const auto png = run_tool("import", {"-window", "root", "png:-"});
  return png ? QImage::fromData(*png, "PNG").convertToFormat(QImage::Format_RGB32) : QImage();
}

QImage screenshot(qulonglong window) { return screenshot().copy(window_geometry(window)); }

std::optional<quint64> cardinal_property(qulonglong window, const QString& name) {
  const auto out = run_tool("xprop", {"-id", QString::number(window), name});
  const auto match = QRegularExpression(QStringLiteral("= (\\d+)")).match(out ? QString::fromUtf8(*out) : QString());
  if (!match.hasMatch()) return std::nullopt;
  return match.captured(1).toULongLong();
}

static void focus(qulonglong window) { run_tool("xdotool", {"windowfocus", "--sync", QString::number(window)}); }

void key(qulonglong window, const QString& keys) {
  focus(window);
  run_tool("xdotool", {"key", "--clearmodifiers", keys});
}

void type(qulonglong window, const QString& text) {
  focus(window);
  // "--" so that text starting with a minus sign is typed, not read as an option.
  run_tool("xdotool", {"type", "--delay", "5", "--", text});
}

static QStringList move_to(qulonglong window, QPoint at) {
  const QPoint screen = window_geometry(window).topLeft() + at;
  // No --sync: it waits for the pointer to move, forever when it is already there.
  return {"mousemove", QString::number(screen.x()), QString::number(screen.y()), "sleep", "0.05"};
}

void click(qulonglong window, QPoint at, int button) {
  run_tool("xdotool", move_to(window, at) + QStringList{"click", QString::number(button)});
}

void drag(qulonglong window, QPoint from, QPoint to) {
  run_tool("xdotool", move_to(window, from) + QStringList{"mousedown", "1"} + move_to(window, (from + to) / 2) +
                          move_to(window, to) + QStringList{"mouseup", "1"});
}

void request_close(qulonglong window) {
  Display* display = XOpenDisplay(nullptr);
  if (!display) return;
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = long(XInternAtom(display, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(display, window, False, NoEventMask, &event);
  XCloseDisplay(display);
}

void replace_text(qulonglong main_window, TwipsRect box, const QString& text) {
  click(main_window, centre(box));
  key(main_window, "ctrl+a");
  if (text.isEmpty()) key(main_window, "BackSpace");
  else type(main_window, text);
}

Program::Program(const QStringList& environment, bool find_main_window) {
  QProcessEnvironment variables = QProcessEnvironment::systemEnvironment();
  variables.remove(QStringLiteral("QT_QPA_PLATFORM"));
  for (const QString& entry : environment) {
    const QString name = entry.section(QLatin1Char('='), 0, 0), value = entry.section(QLatin1Char('='), 1);
    if (value.isEmpty()) variables.remove(name);
    else variables.insert(name, value);
  }
  process_.setProcessEnvironment(variables);
  process_.setProcessChannelMode(QProcess::ForwardedChannels);
  process_.start(qEnvironmentVariable("VESK_PLOT_BINARY"), {});
  process_.waitForStarted(10000);
  if (find_main_window) main_window_ = find_window(QStringLiteral("^Vesk - Plot v\\.1$"), 20000);
}

Program::~Program() {
  if (process_.state() == QProcess::NotRunning) return;
  process_.kill();
  process_.waitForFinished(5000);
}

std::optional<int> Program::wait_for_exit(int timeout_ms) {
  if (!process_.waitForFinished(timeout_ms) || process_.exitStatus() != QProcess::NormalExit) return std::nullopt;
  return process_.exitCode();
}

QString screenshot_path(const QString& file_name) {
  return qEnvironmentVariable("VESK_SCREENSHOT_DIR", QStringLiteral(".")) + QLatin1Char('/') + file_name;
}

}  // namespace vesk::e2e
