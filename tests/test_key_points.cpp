// The key points against an oracle (bisection in 113 bits in a bracket of each), complete over ranges; their
// marks; the plot in words, as a screen reader hears it.

#include <QTest>
#include <cmath>

#include "key_points/key_points.h"
#include "description/spoken.h"
#include "key_points/marks.h"
#include "plot/plot.h"
#include "plot/quartic.h"
#include "surface/surface.h"
#include "table.h"

using namespace vesk;
using vesk::test::columns;
using vesk::test::row;
using vesk::test::table;

Q_DECLARE_METATYPE(vesk::RoundedRange)
Q_DECLARE_METATYPE(vesk::Bounds)
Q_DECLARE_METATYPE(vesk::PixelSize)

namespace {
int count_of(const QImage& image, QRgb colour) {
  int count = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) count += (image.pixel(x, y) & 0xFFFFFFu) == colour;
  return count;
}
}  // namespace

class TestKeyPoints : public QObject {
  Q_OBJECT

 private slots:
  void oracle_data() {
    // derivatives: of f whose sign change it is
    table<int, double, double, int>({"derivatives", "from", "to", "kind"}, {
        {"root near -2.37", 0, -3.0, -2.0, int(KeyKind::root)}, {"root at 0", 0, -0.5, 0.5, int(KeyKind::root)},
        {"minimum", 1, -2.0, -1.0, int(KeyKind::minimum)}, {"inflection, left", 2, -1.0, -0.5, int(KeyKind::inflection)},
        {"inflection, right", 2, 0.0, 1.0, int(KeyKind::inflection)}});
  }
  void oracle() {
    const auto [derivatives, from, to, kind] = row<int, double, double, int>({"derivatives", "from", "to", "kind"});
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
    const QString all = "root minimum inflection root inflection";
    table<RoundedRange, QString>({"range", "kinds"}, {
        {"none", {1, 5, 0, 1}, ""}, {"one", {-2, -1, 0, 1}, "minimum"}, {"all", {-9, 9, 0, 1}, all},
        {"all, from edge to edge", {-32768, 32767, 0, 1}, all}, {"the left edge, none", {-32768, -3, 0, 1}, ""},
        {"a key point on a bound", {0, 32767, 0, 1}, "root inflection"}});
  }
  void complete() {
    const auto [range, kinds] = row<RoundedRange, QString>({"range", "kinds"});
    QStringList seen;
    for (const KeyPoint& point : key_points_in(bounds_of(range))) seen << kind_name(point.kind);
    QCOMPARE(seen.join(' '), kinds);
  }

  // Open blue squares around the marks at the device pixels, 3 line widths from their centres, one size a screen
  // scale (at 1.25 nearly as large as at 1.5, never twice at once); without marks, the plot alone.
  void marks_data() {
    table<PixelSize, int, QPoint, int>({"pixels", "width", "minimum", "half"}, {
        {"the saved picture", {579, 390}, 1, {236, 356}, 3}, {"1.25", {724, 488}, 1, {296, 446}, 4},
        {"1.5", {869, 586}, 2, {355, 535}, 5}, {"2", {1158, 780}, 2, {473, 713}, 6}});
  }
  void marks() {
    const auto [pixels, width, minimum, half] =
        row<PixelSize, int, QPoint, int>({"pixels", "width", "minimum", "half"});
    const PlotRequest plain{{-9, 9, -9, 9}, 100, PlotMode::line};
    PlotRequest marked = plain;
    marked.marks = true;
    QCOMPARE(picture_with_marks(plain), plot_picture(plain));
    Surface surface(pixels, width);
    draw_plot_with_marks(surface, marked);
    const auto blue = [&](int x, int y) { return (surface.image().pixel(x, y) & 0xFFFFFFu) == 0x0000FFu; };
    QVERIFY(blue(minimum.x() - half, minimum.y()) && blue(minimum.x() + half, minimum.y() + half));
    QVERIFY(!blue(minimum.x() - half - 1, minimum.y()) && !blue(minimum.x(), minimum.y()));
  }

  // Marks at the edges: pushed inside them as lines are (a 7 × 7 outline has 24 pixels, a 4 × 4 one 12, a 4 × 7
  // one 18), and none for a key point beyond them.
  void marks_at_the_edges_data() {
    table<Bounds, int>({"view", "blue"}, {
        {"the five at the start-up, whole", {-9, 9, -9, 9}, 5 * 24},
        {"a root on the bottom left corner, pushed in; an inflection whole", {0, 5, 0, 5}, 12 + 24},
        {"a root just past the right edge: none for it", {-9, -0.01, -9, 9}, 3 * 24},
        {"a root on the last column", {-9, 0, -9, 9}, 3 * 24 + 18},
        {"the roots on the first row", {-9, 9, -9, 0}, 2 * 18 + 2 * 24},
        {"the minimum just below the bottom: none for it", {-9, 9, -7.4, 9}, 4 * 24}});
  }
  void marks_at_the_edges() {
    const auto [view, blue] = row<Bounds, int>({"view", "blue"});
    PlotRequest request{{-9, 9, -9, 9}, 100, PlotMode::frame_only, true};
    request.view = view;
    request.numbers = false;
    QCOMPARE(count_of(picture_with_marks(request), 0x0000FFu), blue);
  }

  // Where the curve enters and leaves, key points in view in x and y, the study's state.
  void description_data() {
    columns<RoundedRange, int, QString>({"range", "mode", "said"});
    QTest::newRow("leaves through the bottom, the minimum below the view") << RoundedRange{-3, 0, 0, 10} << int(PlotMode::line)
        << "The curve starts above the view, comes in through the top at x minus 2.682, leaves through the bottom at "
           "x minus 2.374, ends at the right edge at y 0. Key points in view: root at x minus 2.374, y 0; root at x 0, y 0.";
    QTest::newRow("leaves through the top") << RoundedRange{0, 2, -1, 10} << int(PlotMode::point)
        << "plotted by point, clarity 7. The curve comes in at the left edge at y 0, leaves through the top at x 1.584, "
           "stays above the view to the right edge.";
    QTest::newRow("never in view") << RoundedRange{3, 5, -9, 9} << int(PlotMode::line)
        << "The curve starts above the view and stays there: it does not pass through the view. No key points in view.";
    QTest::newRow("below, then in") << RoundedRange{-2, 0, -7, 0} << int(PlotMode::line)
        << "The curve comes in at the left edge at y minus 6, leaves through the bottom at x minus 1.853, comes in "
           "through the bottom at x minus 1.394, ends at the right edge at y 0.";
    QTest::newRow("the frame alone: no curve, the key points, a root's y of 1.8e-15 as 0") << RoundedRange{-9, 9, -9, 9}
        << int(PlotMode::frame_only) << "x from minus 9 to 9, y from minus 9 to 9; frame only. Key points in view: root "
                                        "at x minus 2.374, y 0; minimum at x minus 1.639, y minus 7.476;";
  }
  void description() {
    const auto [range, mode, said] = row<RoundedRange, int, QString>({"range", "mode", "said"});
    const QString text = describe_plot(PlotRequest{range, 7, PlotMode(mode)}, bounds_of(range), {});
    QVERIFY2(text.contains(said) && text.endsWith("Key points not marked; trace off."), qPrintable(text));
    QVERIFY(describe_plot(PlotRequest{range, 7, PlotMode(mode)}, bounds_of(range), {true, 0.5})
                .endsWith("Key points marked; trace on at x 0.5, f 1.19, slope 2.25."));
    // No samples: nothing drawn, and said so; samples far apart: the drawing is not the curve told.
    const QString none = describe_plot(PlotRequest{range, -5, PlotMode(mode)}, bounds_of(range), {});
    QCOMPARE(none.contains("Nothing is drawn: a clarity of minus 5 takes no sample."), mode != int(PlotMode::frame_only));
    QVERIFY(spoken_plot({range, -5, PlotMode::point}).startsWith("Nothing drawn by point: a clarity of minus 5 takes no sample; x from"));
    QCOMPARE(text.contains("drawn by") && text.contains("from samples 0.1429 apart"), mode != int(PlotMode::frame_only));
  }

  // Numbers as spoken: to the resolution of a pixel (0: all that tells the double), never minus 0.
  void spoken_numbers_data() {
    table<double, double, QString>({"value", "resolution", "said"}, {
        {"a root's y of 1.8e-15, at a pixel's resolution", 1.7763568394002505e-15, 18.0 / 389, "0"},
        {"the minimum's y at a pixel's resolution", -7.476201925927492, 18.0 / 389, "minus 7.48"},
        {"the minimum's y in full", -7.476201925927492, 0, "minus 7.476"},
        {"small, four digits", -0.000123456, 0, "minus 0.0001235"}, {"whole", 10.0, 0.01, "10"},
        {"in powers of ten", 1152886319391440000.0, 0, "1.153 times 10 to the 18"},
        {"a million: powers of ten", -1234567.0, 0, "minus 1.235 times 10 to the 6"}, {"below a million", 999999.0, 0, "999999"},
        {"a negative that rounds to 0", -0.01, 0.03, "0"}, {"one digit of two hundredths", 0.02, 0.03, "0.02"},
        {"deep: every digit a pixel resolves", 1.5 + 1e-12, 1e-13, "1.500000000001"},
        {"small, in powers of ten", 1.23456e-7, 0, "1.235 times 10 to the minus 7"},
        {"small at a fine resolution", 1.23456789e-7, 1e-13, "1.234568 times 10 to the minus 7"}});
  }
  // A view's bounds to what a pixel resolves: a hundredth a pixel, two decimals; a hair less, three. The sweep says
  // the y of its lowest and highest pitch.
  void spoken_views_data() {
    table<Bounds, QString, QString>({"view", "said", "playing"}, {
        {"a hundredth a pixel", {0, 5.78, 0, 3.89}, "x from 0 to 5.78, y from 0 to 3.89.",
         "Playing the curve from x 0 to 5.78, low at y 0, high at y 3.89."},
        {"a thousandth less", {0, 5.77422, 0, 3.88611}, "x from 0 to 5.774, y from 0 to 3.886.",
         "Playing the curve from x 0 to 5.774, low at y 0, high at y 3.886."},
        {"1e-11 about 1.5: bounds apart, however deep", {1.5 - 5e-12, 1.5 + 5e-12, 10 - 5e-12, 10 + 5e-12},
         "x from 1.499999999995 to 1.500000000005, y from 9.999999999995 to 10.000000000005.",
         "Playing the curve from x 1.499999999995 to 1.500000000005, low at y 9.999999999995, high at y 10.000000000005."}});
  }
  void spoken_views() {
    const auto [view, said, playing] = row<Bounds, QString, QString>({"view", "said", "playing"});
    QCOMPARE(spoken_view(view), said);
    QCOMPARE(spoken_playing(view), playing);
    // Key points by their own values whatever the view; on one, the trace names the nearest, its slope 0 at the
    // minimum; two steps apart.
    const Bounds widest{-32768, 32767, -32768, 32767};
    QVERIFY(spoken_key_points(widest, true).startsWith("Key points shown: root at x minus 2.374, y 0; minimum at x minus 1.639, y minus 7.476;"));
    QCOMPARE(spoken_trace(quartic_minimum_x(), widest), "minimum, x minus 1.639, f minus 7.476, slope 0");
    QCOMPARE(spoken_trace(0.5, {-9, 9, -9, 9}), "x 0.5, f 1.19, slope 2.25");
    const double step = (view.x_to - view.x_from) / 578;
    QVERIFY(spoken_trace(view.x_from + 100 * step, view) != spoken_trace(view.x_from + 101 * step, view));
  }

  void spoken_numbers() {
    const auto [value, resolution, said] = row<double, double, QString>({"value", "resolution", "said"});
    QCOMPARE(spoken_number(value, resolution), said);
  }
};

QTEST_MAIN(TestKeyPoints)
#include "test_key_points.moc"
