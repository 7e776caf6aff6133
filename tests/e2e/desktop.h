#pragma once
// Drives the real program in a real X server, as a user would: starts it, finds
// its windows by caption, types, clicks, turns the wheel and takes screenshots.
// Uses xdotool, xwininfo, xprop and ImageMagick's import; needs DISPLAY (the
// tests run under xvfb-run).

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QProcess>
#include <QRect>
#include <QThread>
#include <optional>

#include "main_window/main_layout.h"

namespace vesk::e2e {

// Runs a tool to its end and returns what it printed, or nullopt on failure.
std::optional<QByteArray> run_tool(const QString& program, const QStringList& arguments, int timeout_ms = 10000);

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

// Every visible window whose name matches the regular expression, now; the
// first one, waiting up to `timeout_ms` for it (0 when none came).
QList<qulonglong> visible_windows(const QString& name_pattern);
qulonglong find_window(const QString& name_pattern, int timeout_ms = 10000);
bool is_viewable(qulonglong window);
// The window's client area on the screen.
QRect window_geometry(qulonglong window);
// The whole screen, or one window's client area of it.
QImage screenshot();
QImage screenshot(qulonglong window);
// A CARDINAL property of the window, e.g. "_NET_WM_WINDOW_OPACITY".
std::optional<quint64> cardinal_property(qulonglong window, const QString& name);

// Input, at client coordinates of `window`.
void key(qulonglong window, const QString& keys);  // e.g. "alt+l"
void type(qulonglong window, const QString& text);
void click(qulonglong window, QPoint at, int button = 1);  // 4 and 5 turn the wheel away and towards
void drag(qulonglong window, QPoint from, QPoint to);
// Asks the window to close, as a window manager's close button does.
void request_close(qulonglong window);

// The centre of a control of the main window, and typing into one of its boxes.
inline QPoint centre(TwipsRect control) { return to_pixels(control).center(); }
void replace_text(qulonglong main_window, TwipsRect box, const QString& text);
// The plot area's drawable pixels start inside its 2-pixel border.
inline QPoint plot_origin() { return to_pixels(kMainLayout.pic_plot).topLeft() + QPoint(2, 2); }

// The program under test, started in its own process, with "NAME=value" added
// to its environment ("NAME=" removes NAME).
class Program {
 public:
  explicit Program(const QStringList& environment = {}, bool find_main_window = true);
  ~Program();
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  qulonglong main_window() const { return main_window_; }
  qint64 pid() const { return process_.processId(); }
  bool running() const { return process_.state() == QProcess::Running; }
  // Waits for the program to end by itself; its exit code, or nullopt.
  std::optional<int> wait_for_exit(int timeout_ms = 10000);

 private:
  QProcess process_;
  qulonglong main_window_ = 0;
};

// Where screenshots worth keeping are written (VESK_SCREENSHOT_DIR).
QString screenshot_path(const QString& file_name);

}  // namespace vesk::e2e
