// The key points against an oracle (bisection in 113 bits in a bracket of each), complete over ranges; their marks.

#include <QTest>
#include <cmath>

#include "key_points/key_points.h"
#include "key_points/marks.h"
#include "plot/plot.h"
#include "plot/quartic.h"
#include "surface/surface.h"

using namespace vesk;

Q_DECLARE_METATYPE(vesk::RoundedRange)

class TestKeyPoints : public QObject {
  Q_OBJECT

 private slots:
  void oracle_data() {
    QTest::addColumn<int>("derivatives");  // of f whose sign change it is
    QTest::addColumn<double>("from");
    QTest::addColumn<double>("to");
    QTest::addColumn<int>("kind");
    QTest::newRow("root near -2.37") << 0 << -3.0 << -2.0 << int(KeyKind::root);
    QTest::newRow("root at 0") << 0 << -0.5 << 0.5 << int(KeyKind::root);
    QTest::newRow("minimum") << 1 << -2.0 << -1.0 << int(KeyKind::minimum);
    QTest::newRow("inflection, left") << 2 << -1.0 << -0.5 << int(KeyKind::inflection);
    QTest::newRow("inflection, right") << 2 << 0.0 << 1.0 << int(KeyKind::inflection);
  }
  void oracle() {
    QFETCH(int, derivatives);
    QFETCH(double, from);
    QFETCH(double, to);
    QFETCH(int, kind);
    Polynomial p = kQuartic;
    for (int i = 0; i < derivatives; ++i) p = derivative(p);
    const auto value = [&](__float128 x) {
      __float128 sum = 0;
      for (qsizetype k = p.size() - 1; k >= 0; --k) sum = sum * x + p[k];
      return sum;
    };
    __float128 low = from, high = to;
    const bool rising = value(high) > 0;
    for (int i = 0; i < 200 && value((low + high) / 2) != 0; ++i) ((value((low + high) / 2) > 0) == rising ? high : low) = (low + high) / 2;
    const __float128 truth = (low + high) / 2;
    const auto found = std::find_if(key_points().begin(), key_points().end(),
                                    [&](const KeyPoint& k) { return int(k.kind) == kind && k.x >= from && k.x <= to; });
    QVERIFY(found != key_points().end());
    const double x = found->x, unit = std::nextafter(std::abs(x), INFINITY) - std::abs(x);
    const __float128 off = truth > x ? truth - x : x - truth;
    QVERIFY2(off <= __float128(unit) / 2, "not the double nearest the true point");
    QCOMPARE(found->y, quartic(x));
    // Certified: exactly zero there, or opposite signs at the neighbouring doubles.
    const int below = certified_sign(p, std::nextafter(x, -INFINITY)), above = certified_sign(p, std::nextafter(x, INFINITY));
    QVERIFY(certified_sign(p, x) == 0 || below == -above || below == 0 || above == 0);
  }

  void complete_data() {
    QTest::addColumn<RoundedRange>("range");
    QTest::addColumn<QString>("kinds");
    QTest::newRow("none") << RoundedRange{1, 5, 0, 1} << "";
    QTest::newRow("one") << RoundedRange{-2, -1, 0, 1} << "minimum";
    QTest::newRow("all") << RoundedRange{-9, 9, 0, 1} << "root minimum inflection root inflection";
    QTest::newRow("all, from edge to edge") << RoundedRange{-32768, 32767, 0, 1} << "root minimum inflection root inflection";
    QTest::newRow("the left edge, none") << RoundedRange{-32768, -3, 0, 1} << "";
    QTest::newRow("a key point on a bound") << RoundedRange{0, 32767, 0, 1} << "root inflection";
  }
  void complete() {
    QFETCH(RoundedRange, range);
    QFETCH(QString, kinds);
    QStringList seen;
    for (const KeyPoint& point : key_points_in(range)) seen << kind_name(point.kind);
    QCOMPARE(seen.join(' '), kinds);
  }

  // Open blue squares around the marks at the device pixels, 3 line widths
  // from their centres; without marks, the plot alone.
  void marks() {
    const PlotRequest plain{{-9, 9, -9, 9}, 100, PlotMode::line};
    PlotRequest marked = plain;
    marked.marks = true;
    QCOMPARE(picture_with_marks(plain), plot_picture(plain));
    const std::tuple<PixelSize, int, QPoint> screens[] = {{{579, 390}, 1, {236, 356}}, {{1158, 780}, 2, {473, 713}}};
    for (const auto& [pixels, width, minimum] : screens) {
      Surface surface(pixels, width);
      draw_plot_with_marks(surface, marked);
      const int half = kMarkHalf * width;
      const auto blue = [&](int x, int y) { return (surface.image().pixel(x, y) & 0xFFFFFFu) == 0x0000FFu; };
      QVERIFY(blue(minimum.x() - half, minimum.y()) && blue(minimum.x() + half, minimum.y() + half));
      QVERIFY(!blue(minimum.x() - half - 1, minimum.y()) && !blue(minimum.x(), minimum.y()));
    }
  }
};

QTEST_MAIN(TestKeyPoints)
#include "test_key_points.moc"
