#include <QTest>

#include "plot/curve.h"
#include "plot/frame.h"
#include "surface/surface.h"
#include "test_support.h"

using namespace vesk;
using namespace vesk::test;

class TestCurve : public QObject {
  Q_OBJECT

  static Surface framed(RoundedRange range) {
    Surface surface({579, 390}, kActiveTitleText);
    draw_frame(surface, range);
    return surface;
  }

 private slots:
  void quartic_values_data() {
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("y");
    QTest::newRow("f(-9)") << -9.0 << 5643.0;
    QTest::newRow("f(9)") << 9.0 << 7155.0;
    QTest::newRow("f(0)") << 0.0 << 0.0;
    QTest::newRow("f(1)") << 1.0 << 3.0;
    QTest::newRow("f(-1)") << -1.0 << -5.0;
    QTest::newRow("f(2)") << 2.0 << 22.0;
  }
  void quartic_values() {
    QFETCH(double, x);
    QFETCH(double, y);
    QCOMPARE(quartic(x), y);
  }

  void minimum_near_minus_1_64() {
    const Sampling sampling(-3, 2, 10000);
    double lowest = INFINITY, at = 0;
    for (std::int64_t k = 0; k < sampling.count(); ++k) {
      const double y = quartic(sampling.x(k));
      if (y < lowest) lowest = y, at = sampling.x(k);
    }
    QVERIFY(std::abs(lowest - -7.48) < 0.01);
    QVERIFY(std::abs(at - -1.64) < 0.01);
  }

  void sample_positions_data() {
    QTest::addColumn<int>("x1r");
    QTest::addColumn<int>("x2r");
    QTest::addColumn<int>("clarity");
    QTest::addColumn<qint64>("count");
    QTest::addColumn<double>("first");
    QTest::addColumn<double>("last");
    QTest::newRow("start-up") << -9 << 9 << 100 << qint64(1801) << -9.0 << 9.0;
    QTest::newRow("0..1 at 100") << 0 << 1 << 100 << qint64(101) << 0.0 << 1.0;
    QTest::newRow("0..1 at 1") << 0 << 1 << 1 << qint64(2) << 0.0 << 1.0;
    QTest::newRow("typical use 0..2") << 0 << 2 << 100 << qint64(201) << 0.0 << 2.0;
    QTest::newRow("widest at highest clarity") << -32768 << 32767 << 32767 << qint64(2147385346)
                                               << -32768.0 << 32767.0;
    QTest::newRow("negative clarity") << 0 << 1 << -5 << qint64(0) << 0.0 << 0.0;
  }
  void sample_positions() {
    QFETCH(int, x1r);
    QFETCH(int, x2r);
    QFETCH(int, clarity);
    QFETCH(qint64, count);
    QFETCH(double, first);
    QFETCH(double, last);
    const Sampling sampling(std::int16_t(x1r), std::int16_t(x2r), clarity);
    QCOMPARE(sampling.count(), count);
    if (count == 0) return;
    QCOMPARE(sampling.x(0), first);
    QCOMPARE(sampling.x(count - 1), last);
    // The spacing is 1/clarity everywhere, to rounding.
    QVERIFY(std::abs(sampling.x(count / 2 + 1) - sampling.x(count / 2) - 1.0 / clarity) < 1e-9);
  }

  void one_unit_at_clarity_1_in_line_mode_is_one_segment() {
    const RoundedRange range{0, 1, -1, 4};
    Surface drawn = framed(range), expected = framed(range);
    plot_by_line_each_sample(drawn, range, 1);
    expected.line(0, 0, 1, 3, kRed);
    QCOMPARE(drawn.image(), expected.image());
    QVERIFY(drawn.image() != framed(range).image());
  }

  void one_unit_at_clarity_1_in_point_mode_is_both_points() {
    const RoundedRange range{0, 1, -1, 4};
    Surface drawn = framed(range), expected = framed(range);
    plot_by_point_each_sample(drawn, range, 1);
    expected.point(0, 0, kRed);
    expected.point(1, 3, kRed);
    QCOMPARE(drawn.image(), expected.image());
    // The last sample lies exactly on the right bound: the last column.
    QCOMPARE(pixel(drawn.image(), 578, pixel_row(drawn, 3)), kRedPixel);
  }

  void first_point_is_drawn_in_point_mode() {
    const RoundedRange range{1, 3, 1, 30};  // no axis in view: red is only the curve
    Surface drawn = framed(range);
    plot_by_point_each_sample(drawn, range, 1);
    // Samples at 1, 2 and 3: f = 3, 22, 105 (off the top).
    QCOMPARE(count_pixels(drawn.image(), kRedPixel), 2);
    QCOMPARE(pixel(drawn.image(), 0, pixel_row(drawn, 3)), kRedPixel);
  }

  void negative_clarity_draws_nothing_data() {
    QTest::addColumn<int>("mode");
    QTest::newRow("line") << int(PlotMode::line);
    QTest::newRow("point") << int(PlotMode::point);
  }
  void negative_clarity_draws_nothing() {
    QFETCH(int, mode);
    const RoundedRange range{-9, 9, -9, 9};
    Surface drawn = framed(range);
    if (PlotMode(mode) == PlotMode::line) plot_by_line_each_sample(drawn, range, -5);
    else plot_by_point_each_sample(drawn, range, -5);
    QCOMPARE(drawn.image(), framed(range).image());
  }

 private:
  static int pixel_row(const Surface& surface, double y) {
    return int(std::floor(surface.mapping().to_pixel_y(y) + 0.5));
  }
};

QTEST_GUILESS_MAIN(TestCurve)
#include "test_curve.moc"
