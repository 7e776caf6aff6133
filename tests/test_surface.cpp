#include <QRandomGenerator>
#include <QTest>

#include "plot/frame.h"
#include "surface/plot_area.h"
#include "surface/raster.h"
#include "surface/surface.h"
#include "test_support.h"

using namespace vesk;
using namespace vesk::test;

class TestSurface : public QObject {
  Q_OBJECT

 private slots:
  void bounds_map_to_outermost_pixel_centres() {
    Surface surface({101, 51}, kActiveTitleText);
    surface.set_scale(-3, 7, 5, -2);  // left, top, right, bottom
    const Mapping& m = surface.mapping();
    QCOMPARE(m.to_pixel_x(-3), 0.0);
    QCOMPARE(m.to_pixel_x(5), 100.0);
    QCOMPARE(m.to_pixel_y(7), 0.0);
    QCOMPARE(m.to_pixel_y(-2), 50.0);
    QCOMPARE(m.to_pixel_x(1), 50.0);
    surface.line(-3, -2, -3, 7, kRed);  // the left bound
    surface.line(-3, 7, 5, 7, kGreen);  // the top bound
    QCOMPARE(pixel(surface.image(), 0, 0), kGreenPixel);  // drawn second
    for (int y = 1; y < 51; ++y) QCOMPARE(pixel(surface.image(), 0, y), kRedPixel);
    for (int x = 1; x < 101; ++x) QCOMPARE(pixel(surface.image(), x, 0), kGreenPixel);
    QCOMPARE(count_pixels(surface.image(), kRedPixel) + count_pixels(surface.image(), kGreenPixel),
             51 + 100);
  }

  void point_lights_nearest_pixel_data() {
    QTest::addColumn<double>("px");
    QTest::addColumn<double>("py");
    QTest::addColumn<QPoint>("lit");  // (-1, -1): nothing
    QTest::newRow("centre") << 3.0 << 4.0 << QPoint(3, 4);
    QTest::newRow("just below half") << 3.49 << 4.49 << QPoint(3, 4);
    QTest::newRow("half goes up") << 3.5 << 4.5 << QPoint(4, 5);
    QTest::newRow("left edge of first pixel") << -0.5 << 0.0 << QPoint(0, 0);
    QTest::newRow("before first pixel") << -0.51 << 0.0 << QPoint(-1, -1);
    QTest::newRow("right edge is outside") << 9.5 << 0.0 << QPoint(-1, -1);
    QTest::newRow("far beyond int range") << 1e300 << -1e300 << QPoint(-1, -1);
  }
  void point_lights_nearest_pixel() {
    QFETCH(double, px);
    QFETCH(double, py);
    QFETCH(QPoint, lit);
    QImage image(10, 10, QImage::Format_RGB32);
    image.fill(kWhitePixel);
    draw_point(image, px, py, kRedPixel);
    if (lit.x() < 0) {
      QCOMPARE(count_pixels(image, kRedPixel), 0);
    } else {
      QCOMPARE(count_pixels(image, kRedPixel), 1);
      QCOMPARE(pixel(image, lit.x(), lit.y()), kRedPixel);
    }
  }

  // Segments whose ends lie far outside: only their visible part, exactly.
  void far_segments_draw_their_visible_part() {
    QImage image(101, 101, QImage::Format_RGB32);
    image.fill(kWhitePixel);
    draw_line(image, -1e15, 1e15 + 100, 1e15, -1e15 + 100, kRedPixel);  // the anti-diagonal
    QCOMPARE(count_pixels(image, kRedPixel), 101);
    for (int i = 0; i <= 100; ++i) QCOMPARE(pixel(image, i, 100 - i), kRedPixel);

    image.fill(kWhitePixel);
    draw_line(image, -1e300, -5, 1e300, -5, kRedPixel);  // above the area
    draw_line(image, -1e18, 1e18, -1e17, 1e18 + 3, kRedPixel);
    draw_line(image, 150, -1e20, 150, 1e20, kRedPixel);  // right of it
    QCOMPARE(count_pixels(image, kRedPixel), 0);
  }

  void steep_segment_to_1e18_is_clipped() {
    Surface surface({579, 390}, kActiveTitleText);
    surface.set_scale(0, 10, 32767, 0);
    surface.line(0, 0, 32767, 1e18, kRed);
    // Within the area the segment rises 10 units over about 3e-13 units of x:
    // exactly the first column, every row.
    QVERIFY(column_is(surface.image(), 0, kRedPixel));
    QCOMPARE(count_pixels(surface.image(), kRedPixel), 390);
  }

  void line_does_not_depend_on_end_order() {
    QRandomGenerator random(20261206);
    for (int i = 0; i < 2000; ++i) {
      QImage forward(60, 40, QImage::Format_RGB32), backward(60, 40, QImage::Format_RGB32);
      forward.fill(kWhitePixel);
      backward.fill(kWhitePixel);
      const double ax = random.bounded(-30.0) + random.bounded(120.0);
      const double ay = random.bounded(-20.0) + random.bounded(80.0);
      const double bx = random.bounded(-30.0) + random.bounded(120.0);
      const double by = random.bounded(-20.0) + random.bounded(80.0);
      draw_line(forward, ax, ay, bx, by, kRedPixel);
      draw_line(backward, bx, by, ax, ay, kRedPixel);
      QVERIFY2(forward == backward, qPrintable(QStringLiteral("segment (%1, %2) - (%3, %4)")
                                                   .arg(ax).arg(ay).arg(bx).arg(by)));
    }
  }

  void markers_stay_out_of_the_image_and_survive_clear() {
    PlotArea area(QSize(583, 394));
    draw_frame(area.surface(), RoundedRange{-9, 9, -9, 9});
    const LineObject lin_x = area.surface().lin_x();
    QCOMPARE(lin_x.border_width, 3);
    QCOMPARE(lin_x.border_colour, kGreen);
    QCOMPARE(area.surface().lin_y().border_colour, kRed);
    // In the image the x axis is the thin red line, with no green marker over it.
    // 390 rows have no middle one: 0 lies at pixel y 194.5, which rounds to 195.
    QCOMPARE(pixel(area.surface().image(), 20, 195), kRedPixel);
    QCOMPARE(pixel(area.surface().image(), 20, 194), kWhitePixel);

    area.surface().clear();
    QCOMPARE(count_pixels(area.surface().image(), kWhitePixel), 579 * 390);
    QCOMPARE(area.surface().lin_x().x2, lin_x.x2);

    // On screen the markers are drawn over the image, 3 pixels wide.
    const QImage shown = area.grab().toImage();
    const int border = 2;
    for (int dy = -1; dy <= 1; ++dy) QCOMPARE(pixel(shown, border + 20, border + 195 + dy), kGreenPixel);
    QCOMPARE(pixel(shown, border + 20, border + 193), kWhitePixel);
    QCOMPARE(pixel(shown, border + 20, border + 197), kWhitePixel);
    for (int dx = -1; dx <= 1; ++dx) QCOMPARE(pixel(shown, border + 289 + dx, border + 20), kRedPixel);
  }

  void marker_far_outside_is_not_drawn() {
    PlotArea area(QSize(583, 394));
    draw_frame(area.surface(), RoundedRange{32000, 32767, 32766, 32767});
    const QImage shown = area.grab().toImage();
    QCOMPARE(count_pixels(shown, kGreenPixel), 0);
    QCOMPARE(count_pixels(shown, kRedPixel), 0);
  }
};

QTEST_MAIN(TestSurface)
#include "test_surface.moc"
