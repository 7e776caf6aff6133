// End-to-end: the real vesk-plot in a real X server, seen through screenshots.

#include <QTest>

#include "e2e/desktop.h"

using namespace vesk::e2e;

namespace {

// The plot area's drawable pixels start inside its 2-pixel border.
constexpr QPoint kPlotOrigin(9 + 2, 99 + 2);
const QRgb kBlack = qRgb(0, 0, 0);
const QRgb kWhite = qRgb(255, 255, 255);
const QRgb kGrid = qRgb(0xF0, 0xF0, 0xF0);
const QRgb kRed = qRgb(255, 0, 0);
const QRgb kGreen = qRgb(0, 255, 0);

QRgb plot_pixel(const QImage& client, int x, int y) {
  return client.pixel(kPlotOrigin + QPoint(x, y)) | 0xFF000000u;
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
};

QTEST_GUILESS_MAIN(TestEndToEnd)
#include "test_e2e.moc"
