// Drawing: the rasteriser's rule, the frame, the fast renderer against drawing
// every sample (on the saved picture and on the screen at scales 1.5 and 2),
// and where the line objects and the device pixels lie.

#include <QRandomGenerator>
#include <QTest>

#include "plot/frame.h"
#include "plot/plot.h"
#include "plot/quartic.h"
#include "plot/numbers.h"
#include "surface/device_area.h"
#include "surface/raster.h"
#include "oracles/exact_curve.h"
#include "table.h"
#include "test_support.h"

using namespace vesk;
using namespace vesk::test;

Q_DECLARE_METATYPE(vesk::RoundedRange)
Q_DECLARE_METATYPE(vesk::Bounds)

namespace {

// The drawable area at scales 1, 1.5 and 2: device pixels and line width.
const std::pair<PixelSize, int> kScreens[] = {{{579, 390}, 1}, {{869, 586}, 2}, {{1158, 780}, 2}};

QImage blank(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(kPlotBackground);
  return image;
}

// `image` with the pixels of `mask` in red.
QImage with_mask(QImage image, const QImage& mask) {
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (mask.pixelIndex(x, y)) image.setPixel(x, y, kRed);
  return image;
}

// Empty when the fast image is the exact curve over the program's own frame, else where they differ.
QString against_reference(const PlotRequest& request, std::pair<PixelSize, int> screen) {
  Surface fast(screen.first, screen.second), frame(screen.first, screen.second);
  draw_plot(fast, request);
  PlotRequest frame_only = request;
  frame_only.mode = PlotMode::frame_only;
  draw_plot(frame, frame_only);
  const QString difference = first_difference(fast.image(), with_exact_curve(frame.image(), request, screen.second, kRed));
  const Bounds b = request.shown();
  return difference.isEmpty() ? difference
                              : QStringLiteral("x %1…%2 y %3…%4 clarity %5 mode %6, %7 px wide: first difference at %8")
                                    .arg(b.x_from, 0, 'g', 17).arg(b.x_to, 0, 'g', 17).arg(b.y_from, 0, 'g', 17)
                                    .arg(b.y_to, 0, 'g', 17).arg(request.clarity).arg(int(request.mode))
                                    .arg(screen.first.width).arg(difference);
}

}  // namespace

class TestDrawing : public QObject {
  Q_OBJECT

 private slots:
  // Points and segments in pixel coordinates, in either order and with brushes 1, 2 and 3, light what the exact
  // rule lights (a row whose ends are one point is a point); where the count is plain, the row gives it too.
  void raster_rules_data() {
    table<QPointF, QPointF, int>({"from", "to", "count"}, {  // count −1: not worked by hand
        {"a point on a pixel's centre", {3, 4}, {3, 4}, 1},
        {"a point just short of half-way", {3.49, 4.49}, {3.49, 4.49}, 1},
        {"a point half-way, to the higher pixel", {3.5, 4.5}, {3.5, 4.5}, 1},
        {"a point half a pixel before the first", {-0.5, 0}, {-0.5, 0}, 1},
        {"a point before that", {-0.51, 0}, {-0.51, 0}, 0},
        {"a point half a pixel past the last", {100.5, 0}, {100.5, 0}, 0},
        {"a point far away", {1e300, -1e300}, {1e300, -1e300}, 0},
        {"the anti-diagonal, both ends far away", {-1e15, 1e15 + 100}, {1e15, -1e15 + 100}, 101},
        {"above the area", {-1e300, -5}, {1e300, -5}, 0}, {"right of it", {150, -1e20}, {150, 1e20}, 0},
        {"below it, once cut to its columns", {-1000, -10}, {10, 1000}, 0},
        {"an end not a number", {NAN, 50}, {50, 50}, 0},
        {"cut at the top and the bottom, x sliding with the ends", {10, -50}, {60, 150}, 101},
        {"ties step along x first", {0, 0}, {4, 2}, 5}, {"steep: ties step along y", {0, 0}, {1, 2}, 3},
        {"exactly on the right edge: the last column", {100.5, 0}, {100.5, 2}, 3},
        {"along the bottom edge", {-3, 100.5}, {200, 100.5}, 101}, {"a corner touched", {-10.5, 10}, {10, -10.5}, 1},
        {"rising 1e17 rows over the width: every row of the first column", {0, 100}, {100, -1e19}, 101},
        {"the far end 1e300 away, through the middle", {50.25, 50.25}, {1e300, 1e300}, 51},
        {"an end half a pixel outside, the other inside", {-0.5000001, 7.5}, {20.4999, 7.5}, 21}});
  }
  void raster_rules() {
    const auto [from, to, count] = row<QPointF, QPointF, int>({"from", "to", "count"});
    const PixelSize size{101, 101};
    QList<QPoint> exact = exact_segment(from, to, size);
    if (from == to) exact = exact_point(from, size) ? QList{*exact_point(from, size)} : QList<QPoint>{};
    QVERIFY(count < 0 || exact.size() == count);
    for (const int brush : {1, 2, 3})
      for (const auto& [a, b] : {std::pair{from, to}, std::pair{to, from}}) {
        QImage drawn = blank(size.width, size.height);
        if (from == to) Raster(drawn, brush).point(a.x(), a.y(), kRed);
        else Raster(drawn, brush).line(a.x(), a.y(), b.x(), b.y(), kRed);
        QCOMPARE(first_difference(drawn, with_mask(blank(size.width, size.height), widened(exact, size, brush))), QString());
      }
  }

  // A thousand segments in and about a small picture, and a hundred from far away, as the rule lights them.
  void raster_rules_seeded() {
    QRandomGenerator random(20261206);
    for (int i = 0; i < 1100; ++i) {
      const double reach = i < 1000 ? 1 : std::pow(10.0, random.bounded(15.0));
      const auto at = [&](double low, double high) { return (low + random.bounded(high - low)) * reach; };
      const QPointF a(at(-30, 90), at(-20, 60)), b(at(-30, 90), at(-20, 60));
      QImage drawn = blank(60, 40);
      Raster(drawn, 1 + i % 3).line(a.x(), a.y(), b.x(), b.y(), kRed);
      const QString difference = first_difference(drawn, with_mask(blank(60, 40), widened(exact_segment(a, b, {60, 40}), {60, 40}, 1 + i % 3)));
      QVERIFY2(difference.isEmpty(), qPrintable(QStringLiteral("(%1, %2) - (%3, %4), brush %5: %6").arg(a.x(), 0, 'g', 17)
          .arg(a.y(), 0, 'g', 17).arg(b.x(), 0, 'g', 17).arg(b.y(), 0, 'g', 17).arg(1 + i % 3).arg(difference)));
    }
  }

  // The frame equals drawing every axis and grid line in turn.
  void frame_equals_drawing_every_line_data() {
    table<RoundedRange>({"range"}, {
        {"the start-up", {-9, 9, -9, 9}}, {"no axis in view", {1, 5, 2, 7}}, {"the axes at the left and the bottom", {0, 5, 0, 5}},
        {"the axes at the right and the top", {-7, 0, -3, 0}}, {"a line every two pixels", {-1157, -1, 1, 1557}},
        {"wider than the picture", {-1000, 2000, -900, 100}}, {"the top right corner", {32760, 32767, 32000, 32767}},
        {"the widest", {-32768, 32767, -32768, 32767}}});
  }
  void frame_equals_drawing_every_line() {
    QFETCH(RoundedRange, range);
    const auto [x1r, x2r, y1r, y2r] = range;
    for (const auto& [pixels, line_width] : {kScreens[0], kScreens[2]}) {
      Surface fast(pixels, line_width), every_line(pixels, line_width);
      draw_frame(fast, range);
      every_line.set_scale(x1r, y2r, x2r, y1r);
      every_line.line(0, y1r, 0, y2r, kGreen);
      every_line.line(x1r, 0, x2r, 0, kRed);
      for (int i = x1r; i <= x2r; ++i)
        if (i != 0) every_line.line(i, y1r, i, y2r, kButtonFace);
      for (int j = y1r; j <= y2r; ++j)
        if (j != 0) every_line.line(x1r, j, x2r, j, kButtonFace);
      QCOMPARE(first_difference(fast.image(), every_line.image()), QString());
    }
  }

  // Plot commands at every scale of screen, by line and by point, against the exact curve.
  void plot_commands_data() {
    table<RoundedRange, int>({"range", "clarity"}, {
        {"the start-up", {-9, 9, -9, 9}, 100}, {"fewer samples than columns", {-9, 9, -9, 9}, 1},
        {"one segment", {0, 1, -1, 4}, 1}, {"the highest clarity", {-2, -1, -8, -4}, 32767},
        {"the widest", {-32768, 32767, -32768, 32767}, 1}, {"the widest, a million samples", {-32768, 32767, -10, 10}, 15},
        {"the minimum from far", {-500, 500, -8, -7}, 1000}, {"the minimum, 20000", {-2, -1, -8, -7}, 20000},
        {"the minimum, 30000", {-3, 0, -8, -7}, 30000}, {"a unit high", {-3, 2, 0, 1}, 5000},
        {"wide and low", {-4000, 4000, 0, 3}, 100}, {"only above the view", {5, 9, -9, -1}, 1000},
        {"in through the bottom, out through the top", {-1, 1, 200, 300}, 1000},
        {"the right end", {30000, 32767, -32768, 32767}, 300}, {"the left end", {-32768, -30000, 0, 32767}, 300},
        {"three a unit", {-20, 20, -10, 40}, 3}, {"no samples", {-9, 9, -9, 9}, -5}});
  }
  void plot_commands() {
    const auto [range, clarity] = row<RoundedRange, int>({"range", "clarity"});
    const bool many = (range.x2r - range.x1r) * qint64(clarity) > 300'000;  // the 1.5 scale too only for the others
    for (const auto& screen : kScreens)
      for (const PlotMode mode : {PlotMode::line, PlotMode::point})
        if (!many || screen.second == 1 || screen.first.width == 1158) QCOMPARE(against_reference({range, clarity, mode}, screen), QString());
  }

  // Explored views at every depth, down to a pixel of a few hundred doubles, and with bounds on, between and a
  // double beside samples, and samples in the half-pixel margin beyond a bound, which reach the edge columns.
  void views_data() {
    const auto about = [](double x, double width, double height) {  // a view centred on the curve at x
      return Bounds{x - width / 2, x + width / 2, quartic(x) - height / 2, quartic(x) + height / 2};
    };
    const double root = -2.3744237632090641, inflection = 0.37915286960589578, minimum = -1.639187043175945;
    table<Bounds, int>({"view", "clarity"}, {
        {"the start-up, zoomed", {-7.2, 7.2, -7.2, 7.2}, 100}, {"the widest", {-32768, 32767, -32768, 32767}, 3},
        {"between two samples about the minimum", {-1.6391875, -1.6391865, -7.4762025, -7.4762015}, 32767},
        {"a thousandth about the minimum", {-1.64, -1.638, -7.4763, -7.476}, 30000},
        {"1e-11 about 0.1", {0.1, 0.1 + 1e-11, 0.1, 0.1 + 1e-11}, 7}, {"steep, 40 … 90", {2.5, 2.75, 40, 90}, 1000},
        {"a millionth about a root", about(root, 1e-6, 1e-6), 32767},
        {"1e-9 about a root, one sample a view", about(root, 1e-9, 1e-9), 1},
        {"1e-11 about 1.2", about(1.2, 1e-11, 1e-11), 100}, {"1e-6 about the inflection", about(inflection, 1e-6, 1e-6), 32767},
        {"1e-9 about the minimum, flat", about(minimum, 1e-9, 1e-9), 1000},
        {"4e-8 about 1234.5", about(1234.5, 4e-8, 10), 2},
        {"1e-12 about 0", {-5e-13, 5e-13, -5e-13, 5e-13}, 1}, {"1e-9 about 0", {-5e-10, 5e-10, -1e-9, 1e-9}, 32767},
        {"bounds on samples, steep: samples in the margins", {1, 5, 2, 7}, 100}, {"the left bound a double past a sample", {std::nextafter(1.0, 2.0), 5, 2, 7}, 100},
        {"the right bound a double short of a sample", {0.5, std::nextafter(1.5, 0.0), 0, 4}, 2},
        {"the right bound a double past a sample, by a rounded product", {0.33233333333333337, 0.33333333333333337,
                                                                           0.8271304938271605, 0.8271904938271605}, 3},
        {"2e-18 about 0, by line", {-1e-18, 1e-18, -1e-18, 1e-18}, 100},
        {"1e-20 about 0, clarity 32767", {-5e-21, 5e-21, -1e-20, 1e-20}, 32767},
        {"between two samples, 1e-15 about 0.0051", {0.0051 - 5e-16, 0.0051 + 5e-16, 0.0153 - 5e-16, 0.0153 + 5e-16}, 100}});
  }
  void views() {
    const auto [view, clarity] = row<Bounds, int>({"view", "clarity"});
    for (const auto& screen : {kScreens[0], kScreens[2]})
      for (const PlotMode mode : {PlotMode::line, PlotMode::point}) {
        PlotRequest request{{-9, 9, -9, 9}, clarity, mode};
        request.view = view;
        QCOMPARE(against_reference(request, screen), QString());
      }
  }

  // The numbered frame's grid: 1, 2 or 5 × 10^k units at least 10 pixels apart and less than 25, from a billionth
  // of a unit to the whole number range; its numbers read as the lines they stand at, inside the picture, apart.
  void numbered_grid_data() {
    // spacings: along x, along y
    columns<Bounds, QString>({"view", "spacings"});
    for (const auto& [name, view, spacings] : {std::tuple{"a billionth about 1", Bounds{1, 1 + 1e-9, 3, 3 + 1e-9}, "2e-11 5e-11"},
             {"about the minimum", Bounds{-1.7, -1.6, -7.5, -7.4}, "0.002 0.005"}, {"the start-up, zoomed", Bounds{-7.2, 7.2, -7.2, 7.2}, "0.5 0.5"},
             {"the axes out of view", Bounds{100, 130, 1e6 / 1e3, 2e3}, "1 50"}, {"the widest", Bounds{-32768, 32767, -32768, 32767}, "2000 2000"}})
      QTest::newRow(name) << view << QString(spacings);
    // Every depth a view can reach about 0, 1 and 1234.56789: fixed-point, powers of ten, distances from a base.
    const std::tuple<const char*, double, double, const char*> depths[] = {
        {"1e-200 about 0, the narrowest there", 0, 1e-200, "2e-202 5e-202"}, {"1e-50 about 0", 0, 1e-50, "2e-52 5e-52"},
        {"1e-17 about 0", 0, 1e-17, "2e-19 5e-19"}, {"1e-9 about 0", 0, 1e-9, "2e-11 5e-11"},
        {"65534 about 0", 0, 65534, "2000 2000"}, {"3.5e-11 about 1, the narrowest there", 1, 3.5e-11, "1e-12 1e-12"},
        {"1e-6 about 1", 1, 1e-6, "2e-08 5e-08"}, {"3.5e-8 about 1234.56789, the narrowest there", 1234.56789, 3.5e-8, "1e-09 1e-09"},
        {"1e-3 about 1234.56789", 1234.56789, 1e-3, "2e-05 5e-05"}, {"100 about 1234.56789", 1234.56789, 100, "2 5"}};
    for (const auto& [name, centre, width, spacings] : depths)
      QTest::newRow(name) << Bounds{centre - width / 2, centre + width / 2, centre - width / 2, centre + width / 2} << spacings;
  }
  void numbered_grid() {
    const auto [view, spacings] = row<Bounds, QString>({"view", "spacings"});
    const double sx = grid_spacing(view.x_to - view.x_from, 579), sy = grid_spacing(view.y_to - view.y_from, 390);
    QCOMPARE(QStringLiteral("%1 %2").arg(sx).arg(sy), spacings);
    for (const auto& [spacing, units, pixels] : {std::tuple{sx, view.x_to - view.x_from, 578}, std::tuple{sy, view.y_to - view.y_from, 389}})
      QVERIFY(spacing / units * pixels >= kGridPixels && spacing / units * pixels < 25);
    const QList<PlacedNumber> numbers = grid_numbers(view, {579, 390}, 1);
    QVERIFY(numbers.size() >= 4);
    const auto on_the_grid = [](double value, double spacing) { return std::abs(value - std::round(value / spacing) * spacing) < spacing * 1e-3; };
    // A line's number reads as its value, or as its distance from the base shown once (in a picture at most one a
    // line of 10 characters or fewer); within the picture, none over another.
    const GridText x_text = grid_text(view.x_from, view.x_to, sx), y_text = grid_text(view.y_from, view.y_to, sy);
    const QStringList bases{x_text.base_text(sx), y_text.base_text(sy)};
    const Mapping m = mapping_for(view, kPictureSize);
    for (int i = 0; i < numbers.size(); ++i) {
      const QString& text = numbers[i].text;
      const double value = text.toDouble(), from_x = x_text.base.value_or(0) + value, from_y = y_text.base.value_or(0) + value;
      QVERIFY(QRect(0, 0, 579, 390).contains(numbers[i].place));
      const QPointF centre = QRectF(numbers[i].place).center() - QPointF(0.5, 0.5);
      const bool at_its_line = (on_the_grid(from_x, sx) && std::abs(m.to_pixel_x(from_x) - centre.x()) <= 1) ||
                               (on_the_grid(from_y, sy) && std::abs(m.to_pixel_y(from_y) - centre.y()) <= 1);
      QVERIFY2(bases.contains(text) || (text.size() <= kLongestNumber && at_its_line), qPrintable(text));
      for (int j = 0; j < i; ++j) QVERIFY(!numbers[j].place.intersects(numbers[i].place));
    }
    // Drawn in a colour of their own, where the numbers are and nowhere else; hidden by N.
    PlotRequest request{{-9, 9, -9, 9}, 100, PlotMode::frame_only};
    request.view = view;
    const QImage picture = plot_picture(request);
    int font_pixels = 0;
    for (const PlacedNumber& number : numbers) for_each_font_pixel(number, [&](int, int) { ++font_pixels; });
    QCOMPARE(count_pixels(picture, kNumberColour), font_pixels);
    for (int i = 0; i < picture.width() * picture.height(); ++i)  // each within its number's 7 rows
      if (pixel(picture, i % picture.width(), i / picture.width()) == kNumberColour)
        QVERIFY(std::any_of(numbers.begin(), numbers.end(), [&](const PlacedNumber& n) { return n.place.contains(i % picture.width(), i / picture.width()); }));
    request.numbers = false;
    QCOMPARE(count_pixels(plot_picture(request), kNumberColour), 0);
    for (const QRgb other : {kRed, kGreen, kPlotBackground, kButtonFace, kMarkColour}) QVERIFY(other != kNumberColour);
  }

  // Random ranges, wide and narrow, with and without the minimum in view, up
  // to a million samples each; fewer at the screen sizes, which cost more.
  void fast_renderer_equals_every_sample_seeded() {
    QRandomGenerator random(20261206);
    const auto bound = [&](int low, int high) { return std::int16_t(low + int(random.bounded(quint32(high - low + 1)))); };
    for (int i = 0; i < 50; ++i) {
      RoundedRange r;
      if (i % 2 == 0) {  // around the interesting part of the curve
        r.x1r = bound(-12, 0), r.x2r = std::int16_t(r.x1r + bound(1, 14));
        r.y1r = bound(-10, 5), r.y2r = std::int16_t(r.y1r + bound(1, 60));
      } else {  // anywhere
        r.x1r = bound(-32768, 32766), r.x2r = bound(r.x1r + 1, std::min(32767, r.x1r + (i % 4 == 1 ? 40 : 65535)));
        r.y1r = bound(-32768, 32766), r.y2r = bound(r.y1r + 1, 32767);
      }
      const int clarity = bound(1, int(std::clamp<std::int64_t>(1'000'000 / (r.x2r - r.x1r), 1, 32767)));
      const QString difference =
          against_reference({r, clarity, i % 3 ? PlotMode::line : PlotMode::point}, kScreens[i < 30 ? 0 : 1 + i % 2]);
      QVERIFY2(difference.isEmpty(), qPrintable(QStringLiteral("seed 20261206, case %1: ").arg(i) + difference));
    }
  }

  // The program's samples and f; the exact oracle itself, on cases worked by hand.
  void sampling_and_the_oracle() {
    const std::tuple<int, int, int, qint64> rows[] = {
        {-9, 9, 100, 1801}, {0, 1, 100, 101}, {0, 1, 1, 2}, {-32768, 32767, 32767, 2147385346}, {0, 1, -5, 0}, {0, 1, 0, 0}};
    for (const auto& [x1r, x2r, clarity, count] : rows) {
      const Sampling sampling(std::int16_t(x1r), std::int16_t(x2r), clarity);
      QCOMPARE(sampling.count(), count);
      if (count == 0) continue;
      QCOMPARE(sampling.x(0), double(x1r));
      QCOMPARE(sampling.x(count - 1), double(x2r));  // exactly, however many samples
      QVERIFY(std::abs(sampling.x(count / 2 + 1) - sampling.x(count / 2) - 1.0 / clarity) < 1e-9);
    }
    for (const auto& [x, y] : {std::pair{-9.0, 5643.0}, {9.0, 7155.0}, {0.0, 0.0}, {1.0, 3.0}, {-1.0, -5.0}, {2.0, 22.0}})
      QCOMPARE(quartic(x), y);
    const auto lit = [](const PlotRequest& request) {
      QList<QPoint> pixels;
      const QImage curve = exact_curve(request, {579, 390});
      for (int i = 0; i < 579 * 390; ++i)
        if (curve.pixelIndex(i % 579, i / 579)) pixels << QPoint(i % 579, i / 579);
      return pixels;
    };
    const auto sorted = [](QList<QPoint> p) { return std::sort(p.begin(), p.end(), [](QPoint a, QPoint b) { return std::pair(a.y(), a.x()) < std::pair(b.y(), b.x()); }), p; };
    // 0 … 1 at clarity 1: one segment, (0, 0) at (0, 311.2), (1, 3) at (578, 77.8); cut at the top, (1, 3) is
    // 389.5 / 1167 of the way up at x 192.9; samples at 1, 2, 3 (f = 3, 22, 105): the first drawn, the last above.
    QCOMPARE(lit({{0, 1, -1, 4}, 1, PlotMode::line}), sorted(integer_line({0, 311}, {578, 78})));
    QCOMPARE(lit({{0, 1, 0, 1}, 1, PlotMode::line}), sorted(integer_line({0, 389}, {193, 0})));
    QCOMPARE(lit({{1, 3, 1, 30}, 1, PlotMode::point}), (QList<QPoint>{{289, 107}, {0, 362}}));
    QCOMPARE(integer_line({4, 2}, {0, 0}), (QList<QPoint>{{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}}));  // ties toward the start
    QCOMPARE(integer_line({0, 2}, {1, 0}), (QList<QPoint>{{0, 2}, {0, 1}, {1, 0}}));
    // The program's integer line between pixel centres is the oracle's, every pair in a small picture.
    for (int from = 0; from < 48; ++from)
      for (int to = 0; to < 48; ++to) {
        QImage drawn = blank(8, 6), expected = blank(8, 6);
        Raster(drawn, 1).line(from % 8, from / 8, to % 8, to / 8, kRed);
        for (const QPoint p : integer_line({from % 8, from / 8}, {to % 8, to / 8})) expected.setPixel(p, kRed);
        QVERIFY2(drawn == expected, qPrintable(QStringLiteral("pixel %1 to %2").arg(from).arg(to)));
      }
  }

  // The one mapping from a range: its bounds at the outermost pixels' centres,
  // y upward, an inset pulling both ends in; and back to user units.
  void mapping_data() {
    // range: x1r, y1r, then the widths: x2r − x1r, y2r − y1r
    const QRect start_up(-9, -9, 18, 18), unit(0, 0, 1, 1);
    const QSize picture(579, 390), fine(4632, 3120);
    table<QRect, QSize, double, QPointF, QPointF>({"range", "pixels", "inset", "user", "pixel"}, {
        {"x1r, y2r: the first pixel's centre", start_up, picture, 0.0, {-9, 9}, {0, 0}},
        {"x2r, y1r: the last pixel's centre", start_up, picture, 0.0, {9, -9}, {578, 389}},
        {"the origin, half-way", start_up, picture, 0.0, {0, 0}, {289, 194.5}}, {"y upward", {0, 0, 10, 10}, {11, 11}, 0.0, {3, 8}, {3, 2}},
        {"inset, fine cells of the vector files", unit, fine, 3.5, {1, 0}, {4627.5, 3115.5}},
        {"inset, the far corner", unit, fine, 3.5, {0, 1}, {3.5, 3.5}},
        {"half-way between centres, exactly", {-9, -9, 17, 18}, picture, 0.0, {-0.25, 0}, {297.5, 194.5}},
        {"widest range", {-32768, -32768, 65535, 65535}, picture, 0.0, {32767, -32768}, {578, 389}}});
  }
  void mapping() {
    const auto [range, pixels, inset, user, pixel] =
        row<QRect, QSize, double, QPointF, QPointF>({"range", "pixels", "inset", "user", "pixel"});
    const auto bound = [](int v) { return std::int16_t(v); };
    const Mapping mapping = mapping_for(RoundedRange{bound(range.x()), bound(range.x() + range.width()), bound(range.y()),
                                         bound(range.y() + range.height())}, {pixels.width(), pixels.height()}, inset);
    const QPointF mapped(mapping.to_pixel_x(user.x()), mapping.to_pixel_y(user.y()));  // exactly, not nearly
    QVERIFY2(mapped.x() == pixel.x() && mapped.y() == pixel.y(), qPrintable(QString::number(mapped.x(), 'g', 17)));
    QCOMPARE(QPointF(mapping.to_user_x(pixel.x()), mapping.to_user_y(pixel.y())), user);
  }

  void line_objects_on_screen() {
    const Mapping start_up(-9, 9, 9, -9, {579, 390}), doubled(-9, 9, 9, -9, {1158, 780});
    const LineObject lin_x{-9, 0, 9, 0, kGreen, 3}, lin_y{0, -9, 0, 9, kRed, 3};
    QCOMPARE(line_object_pixels(lin_x, start_up, 1), QRect(0, 194, 579, 3));  // every column, centred on row 195
    QCOMPARE(line_object_pixels(lin_y, start_up, 1), QRect(288, 0, 3, 390));
    QCOMPARE(line_object_pixels(lin_x, doubled, 2), QRect(0, 388, 1158, 6));
    QCOMPARE(line_object_pixels(lin_y, doubled, 2), QRect(577, 0, 6, 780));
    // The axis a row above the area shows its marker's lower edge; one far away, nothing.
    QCOMPARE(line_object_pixels(lin_x, Mapping(-9, -1, 9, -390, {579, 390}), 1), QRect(0, 0, 579, 1));
    QVERIFY(line_object_pixels(lin_x, Mapping(-9, 900, 9, 800, {579, 390}), 1).isEmpty());
    QVERIFY(line_object_pixels(lin_x, Mapping(-9, 1e300, 9, 1e299, {579, 390}), 1).isEmpty());
  }
};

QTEST_GUILESS_MAIN(TestDrawing)
#include "test_drawing.moc"
