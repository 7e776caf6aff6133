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

// The grid columns of a frame from x1 to x2: every integer but 0, at its nearest pixel.
QList<int> grid_columns(int x1, int x2) {
  QList<int> columns;
  for (int i = x1; i <= x2; ++i)
    if (i != 0) columns << int(std::floor(double(i - x1) / (x2 - x1) * 578 + 0.5));
  return columns;
}
QList<int> grey_columns(const QImage& client, int row) {
  QList<int> columns;
  for (int x = 0; x < 579; ++x)
    if (plot_pixel(client, x, row) == kGrid) columns << x;
  return columns;
}

// Saves through the real dialog: the name typed, then "All Files" chosen in its filter list, then Enter.
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
  QVERIFY(wait_until([&] { return QFile::exists(name); }));
}

}  // namespace

class TestEndToEnd : public QObject {
  Q_OBJECT

 private slots:
  // The start-up window; the wheel and a drag move the grid as the new bounds
  // say; a save under "All Files"; the About window fades in and out; closing
  // the window ends the program.
  void a_session() {
    Program program;
    const qulonglong window = program.main_window();
    QVERIFY2(window != 0, "the main window did not appear");
    const QRect geometry = window_geometry(window);
    QCOMPARE(geometry.size(), QSize(600, 496));
    QCOMPARE(geometry.center(), QPoint(639, 511));  // of the screen; no window manager, no frame
    QImage client;
    QVERIFY(wait_until([&] { return plot_pixel(client = screenshot(window), 16, 16) == kWhite; }));
    client.save(screenshot_path("main-window.png"));
    for (const QPoint p : {QPoint(2, 2), QPoint(300, 15), QPoint(598, 494), QPoint(470, 90)}) QCOMPARE(at(client, p), kBlack);
    // The frame for -9 … 9; the green marker over the x axis (row 195), the red
    // one over the y axis (column 289), from edge to edge.
    QCOMPARE(grey_columns(client, 16), grid_columns(-9, 9));
    for (int d : {-1, 0, 1}) {
      for (int x : {0, 16, 578}) QCOMPARE(plot_pixel(client, x, 195 + d), kGreen);
      for (int y : {0, 16, 389}) QCOMPARE(plot_pixel(client, 289 + d, y), kRed);
    }
    QCOMPARE(plot_pixel(client, 16, 197), kWhite);

    const QPoint middle = plot_origin() + QPoint(289, 194);
    click(window, middle, 4);  // away from the user: -7 … 7
    QVERIFY(wait_until([&] { return grey_columns(screenshot(window), 14) == grid_columns(-7, 7); }, 5000));
    drag(window, middle, middle + QPoint(41, 0));  // 41 pixels are 0.99 units: -8 … 6
    QVERIFY(wait_until([&] { return grey_columns(screenshot(window), 14) == grid_columns(-8, 6); }, 5000));
    click(window, middle, 5);
    click(window, middle, 5);  // towards the user, twice about -1: 14 → 18 → 23 units
    QVERIFY(wait_until([&] { return grey_columns(screenshot(window), 8) == grid_columns(-13, 10); }, 5000));

    // Enter confirms a name typed with .bmp after "All Files" was chosen: the
    // file has that name, none has a * in its name, and it holds what shows.
    QTemporaryDir folder;
    save_under_all_files(window, folder.filePath("graph.bmp"));
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList{"graph.bmp"});
    const QImage saved(folder.filePath("graph.bmp"));
    QCOMPARE(saved.size(), QSize(579, 390));
    QCOMPARE(grey_columns(saved.copy(QRect(-plot_origin(), QSize(600, 496))), 8), grid_columns(-13, 10));

    key(window, "alt+a");
    const qulonglong about = find_window(QStringLiteral("^&about Vesk$"));
    QVERIFY2(about != 0, "the About window did not appear");
    QCOMPARE(window_geometry(about).size(), QSize(298, 204));
    QCOMPARE(window_geometry(about).center(), geometry.center());
    // _NET_WM_WINDOW_OPACITY is level / 255 of 0xFFFFFFFF: 249 → 4193909241.
    QVERIFY(cardinal_property(about, "_NET_WM_WINDOW_OPACITY") < 4193909241u);
    QVERIFY(wait_until([&] { return cardinal_property(about, "_NET_WM_WINDOW_OPACITY") == 4193909241u; }));
    screenshot(about).save(screenshot_path("about-window.png"));
    click(about, QPoint(264 + 18, 1 + 18));  // the close picture
    QVERIFY(wait_until([&] { return !is_viewable(about); }));
    replace_text(window, kMainLayout.txt_x2, "-20");  // input reaches the main window again
    key(window, "alt+l");
    const qulonglong message = find_window(QStringLiteral("^errore$"));
    QVERIFY2(message != 0, "the main window took no input after the About window");
    key(message, "Return");
    QVERIFY(wait_until([&] { return !is_viewable(message); }));
    request_close(window);
    QCOMPARE(program.wait_for_exit(), std::optional<int>(0));
  }

  // At scale 2 the plot is drawn at the screen's pixels, not enlarged from the
  // saved picture: the curve steps by single pixels. The saved file stays 579 × 390.
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
    int finer_than_blocks = 0;  // 2 × 2 blocks with one or three red pixels
    for (int y = area.top(); y < area.bottom(); y += 2)
      for (int x = area.left(); x < area.right(); x += 2) {
        const int red = count_red(client, QRect(x, y, 2, 2));
        finer_than_blocks += red == 1 || red == 3;
      }
    QVERIFY2(finer_than_blocks > 50, qPrintable(QString::number(finer_than_blocks)));
    QTemporaryDir folder;
    save_under_all_files(window, folder.filePath("scaled.bmp"));
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
    if (output == 0 || !wait_until([&] { return QFile::exists(runtime.filePath("vesk-e2e")); }))
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
    QList<QImage> frames;
    for (QElapsedTimer clock; !clock.isValid() || clock.elapsed() < 2500;) {
      if (!clock.isValid()) clock.start();
      frames << screenshot(output);
    }
    const auto distinct = std::unique(frames.begin(), frames.end()) - frames.begin();
    QVERIFY2(distinct >= 3, qPrintable(QStringLiteral("%1 distinct frames of the fade").arg(distinct)));
    program.reset();  // before its compositor goes
    weston.terminate();
    weston.waitForFinished(5000);
  }
};

QTEST_GUILESS_MAIN(TestEndToEnd)
#include "test_e2e.moc"
