#pragma once
// Drives the real program in a real X server, as a user would: starts it, finds
// its windows by caption, types, clicks and takes screenshots. Uses xdotool,
// xwininfo, xprop and ImageMagick's import; needs DISPLAY (the test runs
// under xvfb-run).

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QProcess>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QThread>
#include <optional>

namespace vesk::e2e {

// Runs a tool to its end and returns what it printed, or nullopt on failure.
std::optional<QByteArray> run_tool(const QString& program, const QStringList& arguments,
                                   int timeout_ms = 10000);

// The first window whose name matches the regular expression, waiting up to
// `timeout_ms` for it to appear; 0 when none did.
qulonglong find_window(const QString& name_pattern, int timeout_ms = 10000);
// Every visible window whose name matches, at this moment.
QList<qulonglong> visible_windows(const QString& name_pattern);
// Whether the window with this id is mapped (viewable).
bool is_viewable(qulonglong window);
// The window's client area on the screen.
QRect window_geometry(qulonglong window);
// The whole screen, or one window's client area of it.
QImage screenshot();
QImage screenshot(qulonglong window);
// A property of the window as xprop prints it, e.g. "_NET_WM_WINDOW_OPACITY".
std::optional<quint64> cardinal_property(qulonglong window, const QString& name);

void focus(qulonglong window);
void key(qulonglong window, const QString& keys);        // e.g. "alt+l"
void type(qulonglong window, const QString& text);
void click(qulonglong window, QPoint position);          // in client coordinates
// Asks the window to close, as a window manager's close button does.
void request_close(qulonglong window);

// Polls `condition` every 20 ms until it holds or `timeout_ms` passes.
template <typename Condition>
bool wait_until(Condition condition, int timeout_ms = 10000) {
  QElapsedTimer clock;
  clock.start();
  while (!condition()) {
    if (clock.elapsed() > timeout_ms) return false;
    QCoreApplication::processEvents();
    QThread::msleep(20);
  }
  return true;
}

// The program under test, started in its own process.
class Program {
 public:
  explicit Program(const QStringList& extra_environment = {});
  ~Program();
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  qulonglong main_window() const { return main_window_; }
  qint64 pid() const { return process_.processId(); }
  bool running() const { return process_.state() == QProcess::Running; }
  QProcess& process() { return process_; }
  // Waits for the program to end by itself; its exit code, or nullopt.
  std::optional<int> wait_for_exit(int timeout_ms = 10000);

 private:
  QProcess process_;
  qulonglong main_window_ = 0;
};

// Where screenshots worth keeping are written (VESK_SCREENSHOT_DIR).
QString screenshot_path(const QString& file_name);

}  // namespace vesk::e2e
