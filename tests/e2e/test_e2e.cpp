// End-to-end: the real vesk-plot in a real X server (and under a Wayland
// compositor inside it), seen through screenshots.

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include "e2e/desktop.h"

using namespace vesk::e2e;
using vesk::kMainLayout;

namespace {

constexpr QPoint kScreenCentre(639, 511);  // of the 1280 × 1024 test screen; QRect::center() rounds down
const QRgb kBlack = qRgb(0, 0, 0), kWhite = qRgb(255, 255, 255), kGrid = qRgb(0xF0, 0xF0, 0xF0);
const QRgb kRed = qRgb(255, 0, 0), kGreen = qRgb(0, 255, 0);

QRgb at(const QImage& image, QPoint p) { return image.pixel(p) | 0xFF000000u; }
QRgb plot_pixel(const QImage& client, int x, int y) { return at(client, plot_origin() + QPoint(x, y)); }

int count_red(const QImage& image, QRect area) {
  int red = 0;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x) red += at(image, {x, y}) == kRed;
  return red;
}

// The grid columns a frame from x1 to x2 shows: every integer but 0, at its nearest pixel.
QList<int> grid_columns(int x1, int x2) {
  QList<int> columns;
  for (int i = x1; i <= x2; ++i)
    if (i != 0) columns << int(std::floor(double(i - x1) / (x2 - x1) * 578 + 0.5));
  return columns;
}

// The grey columns of one plot row, in a screenshot of the main window.
QList<int> grey_columns(const QImage& client, int row) {
  QList<int> columns;
  for (int x = 0; x < 579; ++x)
    if (plot_pixel(client, x, row) == kGrid) columns << x;
  return columns;
}

// Saves through the real dialog: a name typed, then "All Files" chosen in its filter list.
void save_under_all_files(qulonglong window, const QString& name) {
  key(window, "alt+s");
  const qulonglong dialog = find_window(QStringLiteral("^Save Picture$"));
  QVERIFY2(dialog != 0, "the save dialog did not appear");
  key(dialog, "ctrl+a");
  type(dialog, name);
  const QRect geometry = window_geometry(dialog);
  click(dialog, QPoint(geometry.width() / 2, geometry.height() - 22));  // the filter list, at the bottom
  key(dialog, "End");
  key(dialog, "Return");
  key(dialog, "Return");
  QVERIFY(wait_until([&] { return !is_viewable(dialog); }));
}

}  // namespace

class TestEndToEnd : public QObject {
  Q_OBJECT

 private slots:
  void start_up_window() {
    Program program;
    QVERIFY2(program.main_window() != 0, "the main window did not appear");
    const QRect geometry = window_geometry(program.main_window());
    QCOMPARE(geometry.size(), QSize(600, 496));
    QCOMPARE(geometry.center(), kScreenCentre);  // no window manager here: no frame either

    QImage client;
    QVERIFY(wait_until([&] { return plot_pixel(client = screenshot(program.main_window()), 16, 16) == kWhite; }));
    client.save(screenshot_path("main-window.png"));
    for (const QPoint p : {QPoint(2, 2), QPoint(300, 15), QPoint(598, 494), QPoint(470, 90)})
      QCOMPARE(at(client, p), kBlack);
    // The frame for -9 … 9; the green marker over the x axis (row 195) and the
    // red one over the y axis (column 289), from edge to edge.
    QCOMPARE(grey_columns(client, 16), grid_columns(-9, 9));
    for (int d : {-1, 0, 1}) {
      for (int x : {0, 16, 578}) QCOMPARE(plot_pixel(client, x, 195 + d), kGreen);
      for (int y : {0, 16, 389}) QCOMPARE(plot_pixel(client, 289 + d, y), kRed);
    }
    QCOMPARE(plot_pixel(client, 16, 197), kWhite);

    request_close(program.main_window());
    QCOMPARE(program.wait_for_exit(), std::optional<int>(0));
  }

  // x 0 … 2 by y 1 … 10 with Alt+L: no axis in view and the red marker on the
  // left border, so red from column 3 on is the curve.
  void plot_by_line_with_the_access_key() {
    Program program;
    const qulonglong window = program.main_window();
    QVERIFY(window != 0);
    for (const auto& [box, text] : {std::pair{kMainLayout.txt_x1, "0"}, {kMainLayout.txt_x2, "2"},
                                    {kMainLayout.txt_y1, "1"}, {kMainLayout.txt_y2, "10"}})
      replace_text(window, box, text);
    key(window, "alt+l");
    QImage client;
    QVERIFY(wait_until([&] {
      client = screenshot(window);  // the start-up y marker gone, the curve there
      return plot_pixel(client, 289, 16) != kRed && count_red(client, QRect(plot_origin() + QPoint(3, 0), QSize(576, 390))) > 300;
    }));
    client.save(screenshot_path("plot-by-line.png"));
    // f(0.5) = 1.1875: column 145, row (10 − 1.1875) / 9 · 389 ≈ 381.
    QVERIFY(count_red(client, QRect(plot_origin() + QPoint(145, 379), QSize(1, 5))) > 0);
    QVERIFY(plot_pixel(client, 500, 100) != kRed);  // it leaves through the top, right of x = 1.5
  }

  // The wheel over the plot zooms about the pointer, a drag pans: the grid in
  // view follows the new bounds.
  void wheel_and_drag_move_the_grid() {
    Program program;
    const qulonglong window = program.main_window();
    QVERIFY(window != 0);
    const QPoint middle = plot_origin() + QPoint(289, 194);
    click(window, middle, 4);  // away from the user: -7 … 7
    QImage client;
    QVERIFY(wait_until([&] { return grey_columns(client = screenshot(window), 14) == grid_columns(-7, 7); }, 5000));
    drag(window, middle, middle + QPoint(41, 0));  // 41 pixels are 0.99 units: -8 … 6
    QVERIFY2(wait_until([&] { return grey_columns(client = screenshot(window), 14) == grid_columns(-8, 6); }, 5000),
             qPrintable(QStringLiteral("%1").arg(grey_columns(client, 14).size())));
    click(window, middle, 5);
    click(window, middle, 5);  // towards the user, twice: 14 → 18 → 23 units about -1
    QVERIFY(wait_until([&] { return grey_columns(client = screenshot(window), 8) == grid_columns(-13, 10); }, 5000));
    client.save(screenshot_path("zoomed.png"));
  }

  // Enter confirms a name typed with .bmp after "All Files" was chosen: the
  // file has that name, and none has a * in its name.
  void save_through_the_real_dialog() {
    Program program;
    QVERIFY(program.main_window() != 0);
    QTemporaryDir folder;
    save_under_all_files(program.main_window(), folder.filePath("graph.bmp"));
    QVERIFY(wait_until([&] { return QFile::exists(folder.filePath("graph.bmp")); }));
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList{"graph.bmp"});
    const QImage image(folder.filePath("graph.bmp"));
    QCOMPARE(image.size(), QSize(579, 390));
    QCOMPARE(at(image, {100, 195}), kRed);    // the x axis, no marker
    QCOMPARE(at(image, {289, 100}), kGreen);  // the y axis, no marker
  }

  // Alt+A: a borderless window fades in, the close picture fades it out, the
  // main window takes input again, and closing it still ends the program.
  void about_window_fades_in_and_out() {
    Program program;
    const qulonglong window = program.main_window();
    QVERIFY(window != 0);
    key(window, "alt+a");
    const qulonglong about = find_window(QStringLiteral("^&about Vesk$"));
    QVERIFY2(about != 0, "the About window did not appear");
    QCOMPARE(window_geometry(about).size(), QSize(298, 204));
    QCOMPARE(window_geometry(about).center(), kScreenCentre);
    // _NET_WM_WINDOW_OPACITY is level / 255 of 0xFFFFFFFF: 71 → 1195853639, 249 → 4193909241.
    const std::optional<quint64> first = cardinal_property(about, "_NET_WM_WINDOW_OPACITY");
    QVERIFY(first && *first < 4193909241u);
    QVERIFY(wait_until([&] { return cardinal_property(about, "_NET_WM_WINDOW_OPACITY") == 4193909241u; }));
    screenshot(about).save(screenshot_path("about-window.png"));
    click(about, QPoint(264 + 18, 1 + 18));
    QVERIFY(wait_until([&] { return !is_viewable(about); }));

    replace_text(window, kMainLayout.txt_x1, "5");
    replace_text(window, kMainLayout.txt_x2, "5");
    key(window, "alt+l");
    const qulonglong message = find_window(QStringLiteral("^errore$"));
    QVERIFY2(message != 0, "the main window took no input after the About window");
    key(message, "Return");
    QVERIFY(wait_until([&] { return !is_viewable(message); }));
    request_close(window);
    QCOMPARE(program.wait_for_exit(), std::optional<int>(0));
  }

  // At scale 2 the plot is drawn at the screen's pixels, not enlarged from the
  // saved picture; the saved file stays 579 × 390.
  void crisp_at_scale_2() {
    Program program({"QT_SCALE_FACTOR=2"});
    const qulonglong window = program.main_window();
    QVERIFY(window != 0);
    QCOMPARE(window_geometry(window).size(), QSize(1200, 992));
    key(window, "alt+l");
    const QRect area(plot_origin() * 2, QSize(1158, 780));
    QImage client;
    QVERIFY(wait_until([&] { return count_red(client = screenshot(window), area.adjusted(0, 0, -600, 0)) > 500; }));
    client.save(screenshot_path("scale-2.png"));
    int steps_finer_than_blocks = 0;  // red pixels whose 2 × 2 block is not all red
    for (int y = area.top(); y < area.bottom(); y += 2)
      for (int x = area.left(); x < area.right(); x += 2) {
        const int red = (at(client, {x, y}) == kRed) + (at(client, {x + 1, y}) == kRed) +
                        (at(client, {x, y + 1}) == kRed) + (at(client, {x + 1, y + 1}) == kRed);
        steps_finer_than_blocks += red == 1 || red == 3;
      }
    QVERIFY2(steps_finer_than_blocks > 50, qPrintable(QString::number(steps_finer_than_blocks)));
    QTemporaryDir folder;
    save_under_all_files(window, folder.filePath("scaled.bmp"));
    QVERIFY(wait_until([&] { return QFile::exists(folder.filePath("scaled.bmp")); }));
    QCOMPARE(QImage(folder.filePath("scaled.bmp")).size(), QSize(579, 390));
  }

  // Under weston (its X11 backend, inside this X server, takes input from
  // xdotool): the window shows and plots, the hand cursor is drawn over the
  // plot, and the About window's pixels change as it fades.
  void wayland() {
    QTemporaryDir runtime;
    QFile::setPermissions(runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QProcess weston;
    weston.setProcessChannelMode(QProcess::MergedChannels);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_RUNTIME_DIR", runtime.path());
    weston.setProcessEnvironment(environment);
    weston.start("weston", {"--backend=x11-backend.so", "--socket=vesk-e2e", "--width=800", "--height=700",
                            "--use-pixman", "--idle-time=0"});
    qulonglong output = 0;  // weston's window, which xdotool does not find by name
    wait_until([&] {
      const auto tree = run_tool("xwininfo", {"-root", "-tree"});
      const auto match = QRegularExpression("(0x[0-9a-f]+) \"Weston Compositor").match(tree ? QString(*tree) : QString());
      return (output = match.captured(1).toULongLong(nullptr, 16)) != 0;
    }, 15000);
    if (!weston.waitForStarted(5000) || output == 0 || !wait_until([&] { return QFile::exists(runtime.filePath("vesk-e2e")); }))
      QSKIP(qPrintable("weston could not start here: no Wayland test. " + weston.readAll().right(300)));
    auto program = std::make_unique<Program>(
        QStringList{"DISPLAY=", "QT_QPA_PLATFORM=wayland", "WAYLAND_DISPLAY=vesk-e2e", "XDG_RUNTIME_DIR=" + runtime.path()}, false);

    // The plot area: the start-up y marker is the one run of 390 red pixels.
    QPoint origin;
    QVERIFY2(wait_until([&] {
      const QImage shot = screenshot(output);
      for (int x = 0; x < shot.width(); ++x)
        for (int y = 0, run = 0; y < shot.height(); ++y)
          if ((run = at(shot, {x, y}) == kRed ? run + 1 : 0) == 390) return (origin = {x - 288, y - 389}) != QPoint();
      return false;
    }), "the main window did not show");
    const QPoint middle = origin + QPoint(200, 200);
    click(output, QPoint(1000, 750));  // the pointer must enter weston's window from outside
    click(output, middle);
    key(output, "alt+l");
    QImage shot;
    const bool plotted = wait_until([&] { return count_red(shot = screenshot(output), QRect(origin, QSize(280, 390))) > 300; });
    shot.save(screenshot_path("wayland.png"));
    QVERIFY2(plotted, "no plot");
    int dark = 0;  // the hand's outline, around the pointer's hot spot
    for (int y = middle.y(); y < middle.y() + 20; ++y)
      for (int x = middle.x() - 6; x < middle.x() + 12; ++x) dark += qGray(at(shot, {x, y})) < 60;
    QVERIFY2(dark > 20, "no cursor drawn over the plot area");

    key(output, "alt+a");
    QList<QImage> fading;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 2500) fading << screenshot(output);
    int distinct = 1;
    for (int i = 1; i < fading.size(); ++i) distinct += fading[i] != fading[i - 1];
    QVERIFY2(distinct >= 3, qPrintable(QStringLiteral("%1 distinct frames").arg(distinct)));
    key(output, "Escape");
    program.reset();  // before its compositor goes
    weston.terminate();
    weston.waitForFinished(5000);
  }
};

QTEST_GUILESS_MAIN(TestEndToEnd)
#include "test_e2e.moc"
