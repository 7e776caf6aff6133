// Drawing: the rasteriser's rule, the frame, the fast renderer against drawing
// every sample (on the saved picture and on the screen at scales 1.5 and 2),
// and where the line objects and the device pixels lie.

#include <QRandomGenerator>
#include <QTest>

#include "plot/frame.h"
#include "plot/plot.h"
#include "plot/quartic.h"
#include "plot/reference_curve.h"
#include "plot/numbers.h"
#include "surface/device_area.h"
#include "surface/raster.h"
#include "test_support.h"

using namespace vesk;
using namespace vesk::test;

namespace {

// The drawable area at scales 1, 1.5 and 2: device pixels and line width.
const std::pair<PixelSize, int> kScreens[] = {{{579, 390}, 1}, {{869, 586}, 2}, {{1158, 780}, 2}};

QImage blank(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(kPlotBackground);
  return image;
}

// Empty when the fast image equals drawing every sample, else where they differ.
QString against_reference(const PlotRequest& request, std::pair<PixelSize, int> screen) {
  Surface fast(screen.first, screen.second), reference(screen.first, screen.second);
  draw_plot(fast, request);
  if (request.view) draw_numbered_frame(reference, *request.view, request.numbers);
  else draw_frame(reference, request.range);
  draw_curve_each_sample(reference, request);
  const QString difference = first_difference(fast.image(), reference.image());
  const RoundedRange r = request.range;
  return difference.isEmpty() ? difference
                              : QStringLiteral("x %1…%2 y %3…%4 clarity %5 mode %6, %7 px wide: first difference at %8")
                                    .arg(r.x1r).arg(r.x2r).arg(r.y1r).arg(r.y2r).arg(request.clarity)
                                    .arg(int(request.mode)).arg(screen.first.width).arg(difference);
}

}  // namespace

class TestDrawing : public QObject {
  Q_OBJECT

 private slots:
  void point_lights_the_nearest_pixel() {
    const std::tuple<double, double, QPoint> rows[] = {  // (-1, -1): nothing
        {3.0, 4.0, {3, 4}},     {3.49, 4.49, {3, 4}},  {3.5, 4.5, {4, 5}},         {-0.5, 0.0, {0, 0}},
        {-0.51, 0.0, {-1, -1}}, {9.5, 0.0, {-1, -1}}, {1e300, -1e300, {-1, -1}}};
    for (const auto& [px, py, lit] : rows) {
      QImage image = blank(10, 10);
      Raster(image, 1).point(px, py, kRed);
      QCOMPARE(count_pixels(image, kRed), lit.x() < 0 ? 0 : 1);
      QVERIFY(lit.x() < 0 || pixel(image, lit.x(), lit.y()) == kRed);
    }
  }

  // Only the visible part of segments whose ends lie far outside, exactly.
  void far_segments_draw_their_visible_part() {
    QImage image = blank(101, 101);
    Raster raster(image, 1);
    raster.line(-1e15, 1e15 + 100, 1e15, -1e15 + 100, kRed);  // the anti-diagonal
    QCOMPARE(count_pixels(image, kRed), 101);
    for (int i = 0; i <= 100; ++i) QCOMPARE(pixel(image, i, 100 - i), kRed);
    raster.line(-1e300, -5, 1e300, -5, kGreen);  // above the area
    raster.line(150, -1e20, 150, 1e20, kGreen);  // right of it
    raster.line(-1000, -10, 10, 1000, kGreen);   // below it, once cut to its columns
    raster.line(NAN, 50, 50, 50, kGreen);
    QCOMPARE(count_pixels(image, kGreen), 0);
    // Cut at the top and the bottom: the ends slide along the segment, x with them.
    raster.line(10, -50, 60, 150, kGreen);
    QVERIFY(pixel(image, 22, 0) == kGreen && pixel(image, 48, 100) == kGreen && pixel(image, 10, 0) != kGreen);
    // The integer line between two pixels, ties stepping along x first.
    QImage steps = blank(5, 3);
    Raster(steps, 1).line(0, 0, 4, 2, kRed);
    Raster(steps, 1).line(0, 0, 1, 2, kRed);      // steep: ties step along y
    Raster(steps, 1).line(4.5, 0, 4.5, 2, kRed);  // exactly on the right edge: the last column
    for (const QPoint lit : {QPoint(0, 0), QPoint(1, 0), QPoint(2, 1), QPoint(3, 1), QPoint(4, 2), QPoint(0, 1), QPoint(4, 1)})
      QCOMPARE(pixel(steps, lit.x(), lit.y()), kRed);
    QVERIFY(pixel(steps, 1, 1) != kRed);
    // Within the area this segment rises 10 units over about 3e-13 units of x:
    // exactly the first column, every row.
    Surface surface({579, 390});
    surface.set_scale(0, 10, 32767, 0);
    surface.line(0, 0, 32767, 1e18, kRed);
    QCOMPARE(count_pixels(surface.image(), kRed), 390);
    QCOMPARE(pixel(surface.image(), 0, 389), kRed);
  }

  // Lines do not depend on the order of their ends, and a wide brush gives the
  // one-pixel line with each pixel widened to a square.
  void lines_in_either_order_and_widened() {
    QRandomGenerator random(20261206);
    for (int i = 0; i < 1000; ++i) {
      const double ax = random.bounded(120.0) - 30, ay = random.bounded(80.0) - 20;
      const double bx = random.bounded(120.0) - 30, by = random.bounded(80.0) - 20;
      QImage forward = blank(60, 40), backward = blank(60, 40), wide = blank(60, 40), widened = blank(60, 40);
      Raster(forward, 1).line(ax, ay, bx, by, kRed);
      Raster(backward, 1).line(bx, by, ax, ay, kRed);
      Raster(wide, 2 + i % 2).line(ax, ay, bx, by, kRed);
      for (int p = 0; p < 60 * 40; ++p)
        if (pixel(forward, p % 60, p / 60) == kRed) Raster(widened, 2 + i % 2).block(p % 60, p % 60, p / 60, p / 60, kRed);
      QVERIFY2(forward == backward && wide == widened,
               qPrintable(QStringLiteral("segment (%1, %2) - (%3, %4)").arg(ax).arg(ay).arg(bx).arg(by)));
    }
    QImage square = blank(9, 9);
    Raster(square, 3).point(4, 4, kRed);  // centred on its pixel
    QCOMPARE(count_pixels(square, kRed), 9);
    QCOMPARE(pixel(square, 3, 3), kRed);
    QCOMPARE(pixel(square, 5, 5), kRed);
  }

  // The frame equals drawing every axis and grid line in turn.
  void frame_equals_drawing_every_line() {
    const RoundedRange ranges[] = {{-9, 9, -9, 9}, {1, 5, 2, 7}, {0, 5, 0, 5}, {-7, 0, -3, 0}, {-1157, -1, 1, 1557},
                                   {-1000, 2000, -900, 100}, {32760, 32767, 32000, 32767}, {-32768, 32767, -32768, 32767}};
    for (const auto& [x1r, x2r, y1r, y2r] : ranges)
      for (const auto& [pixels, line_width] : {kScreens[0], kScreens[2]}) {
        Surface fast(pixels, line_width), every_line(pixels, line_width);
        draw_frame(fast, {x1r, x2r, y1r, y2r});
        every_line.set_scale(x1r, y2r, x2r, y1r);
        every_line.line(0, y1r, 0, y2r, kGreen);
        every_line.line(x1r, 0, x2r, 0, kRed);
        for (int i = x1r; i <= x2r; ++i)
          if (i != 0) every_line.line(i, y1r, i, y2r, kButtonFace);
        for (int j = y1r; j <= y2r; ++j)
          if (j != 0) every_line.line(x1r, j, x2r, j, kButtonFace);
        QVERIFY2(fast.image() == every_line.image(), qPrintable(QStringLiteral("x %1…%2 y %3…%4 at %5: %6")
            .arg(x1r).arg(x2r).arg(y1r).arg(y2r).arg(line_width).arg(first_difference(fast.image(), every_line.image()))));
      }
  }

  void fast_renderer_equals_every_sample() {
    const std::pair<RoundedRange, int> rows[] = {
        {{-9, 9, -9, 9}, 100},              {{-9, 9, -9, 9}, 1},                {{0, 1, -1, 4}, 1},  // one segment
        {{-2, -1, -8, -4}, 32767},          {{-32768, 32767, -32768, 32767}, 1}, {{-32768, 32767, -10, 10}, 15},
        {{-500, 500, -8, -7}, 1000},        {{-2, -1, -8, -7}, 20000},          {{-3, 0, -8, -7}, 30000},  // the minimum
        {{-3, 2, 0, 1}, 5000},              {{-4000, 4000, 0, 3}, 100},         {{5, 9, -9, -1}, 1000},  // only above
        {{-1, 1, 200, 300}, 1000},          {{30000, 32767, -32768, 32767}, 300}, {{-32768, -30000, 0, 32767}, 300},
        {{-20, 20, -10, 40}, 3},            {{-9, 9, -9, 9}, -5}};  // fewer samples than columns; none
    for (const auto& [range, clarity] : rows)
      for (const auto& screen : kScreens)
        for (const PlotMode mode : {PlotMode::line, PlotMode::point}) {
          const QString difference = against_reference({range, clarity, mode}, screen);
          QVERIFY2(difference.isEmpty(), qPrintable(difference));
        }
  }

  // Explored views, at any depth: the plot command's samples, those beyond each edge joined across it.
  void views_equal_every_sample() {
    const std::tuple<Bounds, int> rows[] = {
        {{-7.2, 7.2, -7.2, 7.2}, 100}, {{-1.6391875, -1.6391865, -7.4762025, -7.4762015}, 32767},  // between two samples
        {{-1.64, -1.638, -7.4763, -7.476}, 30000}, {{0.1, 0.1 + 1e-11, 0.1, 0.1 + 1e-11}, 7},
        {{-32768, 32767, -32768, 32767}, 3}, {{2.5, 2.75, 40, 90}, 1000}};
    for (const auto& [view, clarity] : rows)
      for (const PlotMode mode : {PlotMode::line, PlotMode::point}) {
        PlotRequest request{{-9, 9, -9, 9}, clarity, mode};
        request.view = view;
        const QString difference = against_reference(request, kScreens[view.x_to - view.x_from > 1 ? 0 : 2]);
        QVERIFY2(difference.isEmpty(), qPrintable(difference));
      }
  }

  // The numbered frame's grid: 1, 2 or 5 × 10^k units at least 10 pixels apart and less than 25, from a billionth
  // of a unit to the whole number range; its numbers read as the lines they stand at, inside the picture, apart.
  void numbered_grid_data() {
    QTest::addColumn<Bounds>("view");
    QTest::addColumn<QString>("spacings");  // along x, along y
    QTest::newRow("a billionth about 1") << Bounds{1, 1 + 1e-9, 3, 3 + 1e-9} << "2e-11 5e-11";
    QTest::newRow("about the minimum") << Bounds{-1.7, -1.6, -7.5, -7.4} << "0.002 0.005";
    QTest::newRow("the start-up, zoomed") << Bounds{-7.2, 7.2, -7.2, 7.2} << "0.5 0.5";
    QTest::newRow("the axes out of view") << Bounds{100, 130, 1e6 / 1e3, 2e3} << "1 50";
    QTest::newRow("the widest") << Bounds{-32768, 32767, -32768, 32767} << "2000 2000";
  }
  void numbered_grid() {
    QFETCH(Bounds, view);
    QFETCH(QString, spacings);
    const double sx = grid_spacing(view.x_to - view.x_from, 579), sy = grid_spacing(view.y_to - view.y_from, 390);
    QCOMPARE(QStringLiteral("%1 %2").arg(sx).arg(sy), spacings);
    for (const auto& [spacing, units, pixels] : {std::tuple{sx, view.x_to - view.x_from, 578}, std::tuple{sy, view.y_to - view.y_from, 389}})
      QVERIFY(spacing / units * pixels >= kGridPixels && spacing / units * pixels < 25);
    const QList<PlacedNumber> numbers = grid_numbers(view, {579, 390}, 1);
    QVERIFY(numbers.size() >= 4);
    const auto on_the_grid = [](double value, double spacing) { return std::abs(value - std::round(value / spacing) * spacing) < spacing * 1e-3; };
    for (int i = 0; i < numbers.size(); ++i) {
      const double value = numbers[i].text.toDouble();
      QVERIFY(QRect(0, 0, 579, 390).contains(numbers[i].place));
      QVERIFY2(on_the_grid(value, sx) || on_the_grid(value, sy), qPrintable(numbers[i].text));
      for (int j = 0; j < i; ++j) QVERIFY(!numbers[j].place.intersects(numbers[i].place));
    }
    // Drawn in a colour of their own, where the numbers are and nowhere else; hidden by N.
    PlotRequest request{{-9, 9, -9, 9}, 100, PlotMode::frame_only};
    request.view = view;
    const QImage picture = plot_picture(request);
    int font_pixels = 0;
    for (const PlacedNumber& number : numbers) for_each_font_pixel(number, [&](int, int) { ++font_pixels; });
    QCOMPARE(count_pixels(picture, kNumberColour), font_pixels);
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

  // The oracle itself: sample positions and what each mode draws of them.
  void sampling_and_the_reference() {
    const std::tuple<int, int, int, qint64> rows[] = {
        {-9, 9, 100, 1801}, {0, 1, 100, 101}, {0, 1, 1, 2}, {-32768, 32767, 32767, 2147385346}, {0, 1, -5, 0}};
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
    // 0 … 1 at clarity 1: one segment from (0, 0) to (1, 3).
    Surface line({579, 390}), segment({579, 390});
    for (Surface* s : {&line, &segment}) draw_frame(*s, {0, 1, -1, 4});
    draw_curve_each_sample(line, {{0, 1, -1, 4}, 1, PlotMode::line});
    segment.line(0, 0, 1, 3, kRed);
    QCOMPARE(line.image(), segment.image());
    QVERIFY(line.image() != plot_picture(PlotRequest{{0, 1, -1, 4}}));
    // Samples at 1, 2, 3 (f = 3, 22, 105): no axis in view, the first sample drawn too.
    Surface points({579, 390});
    draw_frame(points, {1, 3, 1, 30});
    draw_curve_each_sample(points, {{1, 3, 1, 30}, 1, PlotMode::point});
    QCOMPARE(count_pixels(points.image(), kRed), 2);
    QCOMPARE(pixel(points.image(), 0, 362), kRed);
  }

  // The one mapping from a range: its bounds at the outermost pixels' centres,
  // y upward, an inset pulling both ends in; and back to user units.
  void mapping_data() {
    QTest::addColumn<QRect>("range");  // x1r, y1r, then the widths: x2r − x1r, y2r − y1r
    QTest::addColumn<QSize>("pixels");
    QTest::addColumn<double>("inset");
    QTest::addColumn<QPointF>("user");
    QTest::addColumn<QPointF>("pixel");
    const QRect start_up(-9, -9, 18, 18), unit(0, 0, 1, 1);
    QTest::newRow("x1r, y2r: the first pixel's centre") << start_up << QSize(579, 390) << 0.0 << QPointF(-9, 9) << QPointF(0, 0);
    QTest::newRow("x2r, y1r: the last pixel's centre") << start_up << QSize(579, 390) << 0.0 << QPointF(9, -9) << QPointF(578, 389);
    QTest::newRow("the origin, half-way") << start_up << QSize(579, 390) << 0.0 << QPointF(0, 0) << QPointF(289, 194.5);
    QTest::newRow("y upward") << QRect(0, 0, 10, 10) << QSize(11, 11) << 0.0 << QPointF(3, 8) << QPointF(3, 2);
    QTest::newRow("inset, fine cells of the vector files") << unit << QSize(4632, 3120) << 3.5 << QPointF(1, 0)
                                                           << QPointF(4627.5, 3115.5);
    QTest::newRow("inset, the far corner") << unit << QSize(4632, 3120) << 3.5 << QPointF(0, 1) << QPointF(3.5, 3.5);
    QTest::newRow("widest range") << QRect(-32768, -32768, 65535, 65535) << QSize(579, 390) << 0.0
                                  << QPointF(32767, -32768) << QPointF(578, 389);
  }
  void mapping() {
    QFETCH(QRect, range);
    QFETCH(QSize, pixels);
    QFETCH(double, inset);
    QFETCH(QPointF, user);
    QFETCH(QPointF, pixel);
    const auto bound = [](int v) { return std::int16_t(v); };
    const Mapping mapping = mapping_for(RoundedRange{bound(range.x()), bound(range.x() + range.width()), bound(range.y()),
                                         bound(range.y() + range.height())}, {pixels.width(), pixels.height()}, inset);
    QCOMPARE(QPointF(mapping.to_pixel_x(user.x()), mapping.to_pixel_y(user.y())), pixel);
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

  // The plot area at (11, 101) of its window, 579 × 390: only whole device pixels.
  void device_pixels_of_the_plot_area() {
    const std::tuple<qreal, PixelSize, QPointF, int> rows[] = {
        {1.0, {579, 390}, {0, 0}, 1},       {1.25, {725, 488}, {-0.6, -0.2}, 1},   {1.5, {869, 586}, {-1 / 3.0, -1 / 3.0}, 2},
        {1.75, {1014, 684}, {-1 / 7.0, -3 / 7.0}, 2}, {2.0, {1158, 780}, {0, 0}, 2}, {3.0, {1737, 1170}, {0, 0}, 3}};
    for (const auto& [ratio, pixels, origin, width] : rows) {
      const DeviceArea area = device_area({11, 101}, {579, 390}, ratio);
      QVERIFY2(area.pixels == pixels && area.line_width == width && (area.origin - origin).manhattanLength() < 1e-9,
               qPrintable(QStringLiteral("%1: %2 × %3").arg(ratio).arg(area.pixels.width).arg(area.pixels.height)));
    }
  }
};

QTEST_GUILESS_MAIN(TestDrawing)
#include "test_drawing.moc"
