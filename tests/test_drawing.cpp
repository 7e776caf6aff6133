// Drawing: the rasteriser's rule, the frame, the fast renderer against drawing
// every sample (on the saved picture and on the screen at scales 1.5 and 2),
// and where the line objects and the device pixels lie.

#include <QRandomGenerator>
#include <QTest>

#include "plot/frame.h"
#include "plot/plot.h"
#include "plot/quartic.h"
#include "plot/reference_curve.h"
#include "surface/plot_area.h"
#include "surface/raster.h"
#include "test_support.h"

using namespace vesk;
using namespace vesk::test;

namespace {

// The drawable area at scales 1, 1.5 and 2: device pixels and line width.
struct Screen {
  PixelSize pixels;
  int line_width;
};
const Screen kScreens[] = {{{579, 390}, 1}, {{868, 584}, 2}, {{1158, 780}, 2}};

QImage blank(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(kPlotBackground);
  return image;
}

// Empty when the fast image equals drawing every sample, else where they differ.
QString against_reference(const PlotRequest& request, Screen screen) {
  Surface fast(screen.pixels, screen.line_width), reference(screen.pixels, screen.line_width);
  draw_plot(fast, request);
  draw_frame(reference, request.range);
  draw_curve_each_sample(reference, request);
  const QString difference = first_difference(fast.image(), reference.image());
  if (difference.isEmpty()) return {};
  const RoundedRange r = request.range;
  return QStringLiteral("x %1…%2 y %3…%4 clarity %5 mode %6 at %7 px: first difference at %8")
      .arg(r.x1r).arg(r.x2r).arg(r.y1r).arg(r.y2r).arg(request.clarity).arg(int(request.mode))
      .arg(screen.pixels.width).arg(difference);
}

std::int16_t bound(QRandomGenerator& random, int low, int high) {
  return std::int16_t(low + int(random.bounded(quint32(high - low + 1))));
}

}  // namespace

Q_DECLARE_METATYPE(vesk::RoundedRange)

class TestDrawing : public QObject {
  Q_OBJECT

 private slots:
  void point_lights_the_nearest_pixel() {
    const std::tuple<double, double, QPoint> rows[] = {  // (-1, -1): nothing
        {3.0, 4.0, {3, 4}},   {3.49, 4.49, {3, 4}},  {3.5, 4.5, {4, 5}},         {-0.5, 0.0, {0, 0}},
        {-0.51, 0.0, {-1, -1}}, {9.5, 0.0, {-1, -1}}, {1e300, -1e300, {-1, -1}}};
    for (const auto& [px, py, lit] : rows) {
      QImage image = blank(10, 10);
      Raster(image, 1).point(px, py, kRed);
      QCOMPARE(count_pixels(image, kRed), lit.x() < 0 ? 0 : 1);
      if (lit.x() >= 0) QCOMPARE(pixel(image, lit.x(), lit.y()), kRed);
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
    QCOMPARE(count_pixels(image, kGreen), 0);

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
      const int width = 2 + i % 2;
      Raster(wide, width).line(ax, ay, bx, by, kRed);
      for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 60; ++x)
          if (pixel(forward, x, y) == kRed) Raster(widened, width).block(x, x, y, y, kRed);
      const QString segment = QStringLiteral("(%1, %2) - (%3, %4)").arg(ax).arg(ay).arg(bx).arg(by);
      QVERIFY2(forward == backward, qPrintable(segment));
      QVERIFY2(wide == widened, qPrintable(segment));
    }
    QImage square = blank(9, 9);
    Raster(square, 3).point(4, 4, kRed);
    QCOMPARE(count_pixels(square, kRed), 9);
    QCOMPARE(pixel(square, 3, 3), kRed);
    QCOMPARE(pixel(square, 5, 5), kRed);
  }

  void start_up_frame() {
    Surface surface({579, 390});
    draw_frame(surface, {-9, 9, -9, 9});
    const QImage& image = surface.image();
    int grey_columns = 0, grey_rows = 0;
    for (int x = 0; x < 579; ++x) grey_columns += pixel(image, x, 100) == kButtonFace && pixel(image, x, 101) == kButtonFace;
    for (int y = 0; y < 390; ++y) grey_rows += pixel(image, 100, y) == kButtonFace && pixel(image, 101, y) == kButtonFace;
    QCOMPARE(grey_columns, 18);
    QCOMPARE(grey_rows, 18);
    for (const QPoint grey : {QPoint(0, 100), QPoint(578, 100), QPoint(100, 0), QPoint(100, 389)})
      QCOMPARE(pixel(image, grey.x(), grey.y()), kButtonFace);
    QCOMPARE(pixel(image, 289, 100), kGreen);  // the y axis at x 0
    QCOMPARE(pixel(image, 100, 195), kRed);    // the x axis at y 0: 194.5 rounds up
    QCOMPARE(pixel(image, 289, 195), kRed);    // drawn after the y axis
    QCOMPARE(pixel(image, 100, 194), kPlotBackground);
  }

  // The frame equals drawing every axis and grid line in turn.
  void frame_equals_drawing_every_line_data() {
    QTest::addColumn<RoundedRange>("range");
    QTest::newRow("0 outside both axes") << RoundedRange{1, 5, 2, 7};
    QTest::newRow("0 on the left and bottom border") << RoundedRange{0, 5, 0, 5};
    QTest::newRow("0 on the right and top border") << RoundedRange{-7, 0, -3, 0};
    QTest::newRow("0 half a pixel outside") << RoundedRange{-1157, -1, 1, 1557};
    QTest::newRow("grid denser than pixels") << RoundedRange{-1000, 2000, -900, 100};
    QTest::newRow("largest bound") << RoundedRange{32760, 32767, 32000, 32767};
    QTest::newRow("widest") << RoundedRange{-32768, 32767, -32768, 32767};
  }
  void frame_equals_drawing_every_line() {
    QFETCH(RoundedRange, range);
    for (const Screen& screen : {kScreens[0], kScreens[2]}) {
      Surface fast(screen.pixels, screen.line_width), every_line(screen.pixels, screen.line_width);
      draw_frame(fast, range);
      const auto [x1r, x2r, y1r, y2r] = range;
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

  void fast_renderer_equals_every_sample_data() {
    QTest::addColumn<RoundedRange>("range");
    QTest::addColumn<int>("clarity");
    QTest::newRow("start-up") << RoundedRange{-9, 9, -9, 9} << 100;
    QTest::newRow("clarity 1") << RoundedRange{-9, 9, -9, 9} << 1;
    QTest::newRow("one unit at clarity 1") << RoundedRange{0, 1, -1, 4} << 1;
    QTest::newRow("one unit, dense") << RoundedRange{-2, -1, -8, -4} << 32767;
    QTest::newRow("widest at clarity 1") << RoundedRange{-32768, 32767, -32768, 32767} << 1;
    QTest::newRow("widest x at clarity 15") << RoundedRange{-32768, 32767, -10, 10} << 15;
    QTest::newRow("column holding the minimum") << RoundedRange{-500, 500, -8, -7} << 1000;
    QTest::newRow("minimum, narrow x") << RoundedRange{-2, -1, -8, -7} << 20000;
    QTest::newRow("minimum on a column edge") << RoundedRange{-3, 0, -8, -7} << 30000;
    QTest::newRow("steepest visible part") << RoundedRange{-3, 2, 0, 1} << 5000;
    QTest::newRow("curve leaves inside one column") << RoundedRange{-4000, 4000, 0, 3} << 100;
    QTest::newRow("curve only above the frame") << RoundedRange{5, 9, -9, -1} << 1000;
    QTest::newRow("curve only below the frame") << RoundedRange{-1, 1, 200, 300} << 1000;
    QTest::newRow("right of the minimum only") << RoundedRange{30000, 32767, -32768, 32767} << 300;
    QTest::newRow("left of the minimum only") << RoundedRange{-32768, -30000, 0, 32767} << 300;
    QTest::newRow("fewer samples than columns") << RoundedRange{-20, 20, -10, 40} << 3;
    QTest::newRow("negative clarity: the frame") << RoundedRange{-9, 9, -9, 9} << -5;
  }
  void fast_renderer_equals_every_sample() {
    QFETCH(RoundedRange, range);
    QFETCH(int, clarity);
    for (const Screen& screen : kScreens)
      for (const PlotMode mode : {PlotMode::line, PlotMode::point}) {
        const QString difference = against_reference({range, clarity, mode}, screen);
        QVERIFY2(difference.isEmpty(), qPrintable(difference));
      }
  }

  // Random ranges, wide and narrow, with and without the minimum in view, up
  // to a million samples each; fewer at the screen sizes, which cost more.
  void fast_renderer_equals_every_sample_seeded() {
    const quint32 seed = 20261206;
    QRandomGenerator random(seed);
    for (int i = 0; i < 50; ++i) {
      RoundedRange r;
      if (i % 2 == 0) {  // around the interesting part of the curve
        r.x1r = bound(random, -12, 0);
        r.x2r = std::int16_t(r.x1r + bound(random, 1, 14));
        r.y1r = bound(random, -10, 5);
        r.y2r = std::int16_t(r.y1r + bound(random, 1, 60));
      } else {  // anywhere
        r.x1r = bound(random, -32768, 32766);
        r.x2r = bound(random, r.x1r + 1, std::min(32767, r.x1r + (i % 4 == 1 ? 40 : 65535)));
        r.y1r = bound(random, -32768, 32766);
        r.y2r = bound(random, r.y1r + 1, 32767);
      }
      const int highest = int(std::min<std::int64_t>(32767, 1'000'000 / (r.x2r - r.x1r)));
      const int clarity = 1 + int(random.bounded(quint32(std::max(highest, 1))));
      const PlotMode mode = i % 3 == 0 ? PlotMode::point : PlotMode::line;
      const QString difference = against_reference({r, clarity, mode}, kScreens[i < 30 ? 0 : 1 + i % 2]);
      QVERIFY2(difference.isEmpty(), qPrintable(QStringLiteral("seed %1, case %2: ").arg(seed).arg(i) + difference));
    }
  }

  // 2.1 billion samples: too many for the reference, so the checks are on
  // what must be there; its speed is the benchmark's business.
  void worst_case_completes() {
    for (const PlotMode mode : {PlotMode::line, PlotMode::point}) {
      const QImage image = plot_picture(PlotRequest{{-32768, 32767, -32768, 32767}, 32767, mode});
      QCOMPARE(pixel(image, 289, 0), kRed);  // the curve leaves through the top in the middle column
      QCOMPARE(pixel(image, 289, 194), kRed);
    }
  }

  // The oracle itself: sample positions and what each mode draws of them.
  void sampling_and_the_reference() {
    const std::tuple<int, int, int, qint64> rows[] = {{-9, 9, 100, 1801}, {0, 1, 100, 101}, {0, 1, 1, 2},
                                                      {-32768, 32767, 32767, 2147385346}, {0, 1, -5, 0}};
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
    QVERIFY(std::abs(quartic(-1.6395) - -7.4762) < 1e-4);  // the minimum

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

  void line_objects_on_screen() {
    const Mapping start_up(-9, 9, 9, -9, {579, 390});
    const LineObject lin_x{-9, 0, 9, 0, kGreen, 3}, lin_y{0, -9, 0, 9, kRed, 3};
    QCOMPARE(line_object_pixels(lin_x, start_up, 1), QRect(0, 194, 579, 3));  // every column, centred on row 195
    QCOMPARE(line_object_pixels(lin_y, start_up, 1), QRect(288, 0, 3, 390));
    QCOMPARE(line_object_pixels(lin_x, Mapping(-9, 9, 9, -9, {1158, 780}), 2), QRect(0, 388, 1158, 6));
    QCOMPARE(line_object_pixels(lin_y, Mapping(-9, 9, 9, -9, {1158, 780}), 2), QRect(577, 0, 6, 780));
    // The axis a row above the area shows its marker's lower edge; one far away, nothing.
    QCOMPARE(line_object_pixels(lin_x, Mapping(-9, -1, 9, -390, {579, 390}), 1), QRect(0, 0, 579, 1));
    QVERIFY(line_object_pixels(lin_x, Mapping(-9, 900, 9, 800, {579, 390}), 1).isEmpty());
    QVERIFY(line_object_pixels(lin_x, Mapping(-9, 1e300, 9, 1e299, {579, 390}), 1).isEmpty());
  }

  // The plot area at (11, 101) of its window, 579 × 390: only whole device pixels.
  void device_pixels_of_the_plot_area() {
    const std::tuple<qreal, PixelSize, QPointF, int> rows[] = {
        {1.0, {579, 390}, {0, 0}, 1},       {1.25, {723, 486}, {0.2, 0.6}, 1},
        {1.5, {868, 584}, {1 / 3.0, 1 / 3.0}, 2}, {1.75, {1012, 682}, {3 / 7.0, 1 / 7.0}, 2},
        {2.0, {1158, 780}, {0, 0}, 2},      {3.0, {1737, 1170}, {0, 0}, 3}};
    for (const auto& [ratio, pixels, origin, width] : rows) {
      const DeviceArea area = device_area({11, 101}, {579, 390}, ratio);
      QVERIFY2(area.pixels == pixels, qPrintable(QStringLiteral("%1: %2 × %3").arg(ratio).arg(area.pixels.width).arg(area.pixels.height)));
      QVERIFY(std::abs(area.origin.x() - origin.x()) < 1e-9 && std::abs(area.origin.y() - origin.y()) < 1e-9);
      QCOMPARE(area.line_width, width);
    }
  }
};

QTEST_GUILESS_MAIN(TestDrawing)
#include "test_drawing.moc"
