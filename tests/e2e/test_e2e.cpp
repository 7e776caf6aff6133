// End-to-end: the real vesk-plot in a real X server, seen through screenshots.

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "e2e/desktop.h"

using namespace vesk::e2e;

namespace {

// The plot area's drawable pixels start inside its 2-pixel border.
constexpr QPoint kPlotOrigin(9 + 2, 99 + 2);
// The test's X server is 1280 × 1024; QRect::center() rounds down.
constexpr QPoint kScreenCentre(639, 511);
const QRgb kBlack = qRgb(0, 0, 0);
const QRgb kWhite = qRgb(255, 255, 255);
const QRgb kGrid = qRgb(0xF0, 0xF0, 0xF0);
const QRgb kRed = qRgb(255, 0, 0);
const QRgb kGreen = qRgb(0, 255, 0);

QRgb plot_pixel(const QImage& client, int x, int y) {
  return client.pixel(kPlotOrigin + QPoint(x, y)) | 0xFF000000u;
}

// Replaces the text of the box whose top-left corner is at `box` (client pixels).
void replace_text(qulonglong window, QPoint box, const QString& text) {
  click(window, box + QPoint(10, 10));
  key(window, "ctrl+a");
  type(window, text);
}

int count_red_in_plot(const QImage& client, int first_column) {
  int red = 0;
  for (int y = 0; y < 390; ++y)
    for (int x = first_column; x < 579; ++x) red += plot_pixel(client, x, y) == kRed;
  return red;
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
    QVERIFY(wait_until([&] {
      client = screenshot(program.main_window());
      return !client.isNull() && plot_pixel(client, 16, 16) == kWhite;
    }));
    client.save(screenshot_path("main-window.png"));

    for (const QPoint p : {QPoint(2, 2), QPoint(300, 15), QPoint(598, 494), QPoint(470, 90)})
      QCOMPARE(client.pixel(p) | 0xFF000000u, kBlack);

    // The start-up frame for -9 … 9: grid every 32 or so pixels, the green
    // marker over the x axis (row 195), the red marker over the y axis (column 289).
    QCOMPARE(plot_pixel(client, 16, 16), kWhite);
    QCOMPARE(plot_pixel(client, 32, 16), kGrid);
    QCOMPARE(plot_pixel(client, 16, 22), kGrid);
    for (int dy : {-1, 0, 1}) QCOMPARE(plot_pixel(client, 16, 195 + dy), kGreen);
    for (int dx : {-1, 0, 1}) QCOMPARE(plot_pixel(client, 289 + dx, 16), kRed);
    QCOMPARE(plot_pixel(client, 16, 197), kWhite);

    request_close(program.main_window());
    QCOMPARE(program.wait_for_exit(), std::optional<int>(0));
  }

  // x 0 … 2 by y 1 … 10, plotted with Alt+L: no axis in view, and the red
  // y marker sits on the left border, so red from column 3 on is the curve.
  void plot_by_line_with_the_access_key() {
    Program program;
    QVERIFY(program.main_window() != 0);
    const qulonglong window = program.main_window();
    replace_text(window, {24, 39}, "0");
    replace_text(window, {108, 39}, "2");
    replace_text(window, {24, 69}, "1");
    replace_text(window, {108, 69}, "10");
    key(window, "alt+l");

    QImage client;
    QVERIFY(wait_until([&] {
      client = screenshot(window);  // the start-up y marker must have gone
      return plot_pixel(client, 289, 16) != kRed && count_red_in_plot(client, 3) > 300;
    }));
    client.save(screenshot_path("plot-by-line.png"));
    // f(0.5) = 1.1875: column 145, row (10 − 1.1875) / 9 · 389 ≈ 381.
    bool near = false;
    for (int dy = -2; dy <= 2; ++dy) near = near || plot_pixel(client, 145, 381 + dy) == kRed;
    QVERIFY(near);
    // The curve leaves through the top, right of x = 1.5 (f(1.5) ≈ 9.9).
    QVERIFY(plot_pixel(client, 500, 100) != kRed);
  }

  // Alt+S, a name typed without an extension into the real dialog, Enter.
  void save_through_the_real_dialog() {
    Program program;
    QVERIFY(program.main_window() != 0);
    QTemporaryDir folder;
    key(program.main_window(), "alt+s");
    const qulonglong dialog = find_window(QStringLiteral("^Save Picture$"));
    QVERIFY2(dialog != 0, "the save dialog did not appear");
    key(dialog, "ctrl+a");
    type(dialog, folder.filePath("graph"));
    key(dialog, "Return");

    const QString saved = folder.filePath("graph.bmp");
    QVERIFY(wait_until([&] { return QFile::exists(saved); }));
    QVERIFY(wait_until([&] { return !is_viewable(dialog); }));
    const QImage image(saved);
    QCOMPARE(image.size(), QSize(579, 390));
    QCOMPARE(image.pixel(100, 195) | 0xFF000000u, kRed);    // the x axis, no marker
    QCOMPARE(image.pixel(289, 100) | 0xFF000000u, kGreen);  // the y axis, no marker
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList{"graph.bmp"});
  }

  // Alt+A: a borderless window fades in, the close picture fades it out, the
  // main window takes input again, and closing the main window still ends
  // the program with the About window hidden.
  void about_window_fades_in_and_out() {
    Program program;
    const qulonglong window = program.main_window();
    QVERIFY(window != 0);
    key(window, "alt+a");
    const qulonglong about = find_window(QStringLiteral("^&about Vesk$"));
    QVERIFY2(about != 0, "the About window did not appear");
    QCOMPARE(window_geometry(about).size(), QSize(298, 204));
    QCOMPARE(window_geometry(about).center(), kScreenCentre);
    const auto hints = run_tool("xprop", {"-id", QString::number(about), "_MOTIF_WM_HINTS"});
    // Flags, functions, decorations …: the decorations field is in use, and empty.
    QVERIFY(hints);
    const QList<QByteArray> fields = hints->mid(hints->indexOf('=') + 1).split(',');
    QVERIFY(fields.size() >= 3);
    QVERIFY(fields[0].trimmed().toUInt(nullptr, 16) & 0x2);
    QCOMPARE(fields[2].trimmed().toUInt(nullptr, 16), 0u);

    // _NET_WM_WINDOW_OPACITY is level / 255 of 0xFFFFFFFF: 71 → 1195853639, 249 → 4193909241.
    std::optional<quint64> first = cardinal_property(about, "_NET_WM_WINDOW_OPACITY");
    QVERIFY(first.has_value());
    QVERIFY(*first < 4193909241u);
    QVERIFY(wait_until([&] { return cardinal_property(about, "_NET_WM_WINDOW_OPACITY") == 4193909241u; }));
    QImage shown = screenshot(about);
    shown.save(screenshot_path("about-window.png"));

    click(about, QPoint(264 + 18, 1 + 18));
    QVERIFY(wait_until([&] { return !is_viewable(about); }));

    // Input reaches the main window again: an empty range brings its message.
    replace_text(window, {24, 39}, "5");
    replace_text(window, {108, 39}, "5");
    key(window, "alt+l");
    const qulonglong message = find_window(QStringLiteral("^errore$"));
    QVERIFY2(message != 0, "the main window took no input after the About window");
    key(message, "Return");
    QVERIFY(wait_until([&] { return !is_viewable(message); }));

    request_close(window);
    QCOMPARE(program.wait_for_exit(), std::optional<int>(0));
  }
};

QTEST_GUILESS_MAIN(TestEndToEnd)
#include "test_e2e.moc"
