#include <QSet>
#include <QTest>
#include <cmath>

#include "plot/frame.h"
#include "surface/surface.h"
#include "test_support.h"

using namespace vesk;
using namespace vesk::test;

namespace {

constexpr PixelSize kPlotPixels{579, 390};

// The pixel column or row of integer `v` when `low` … `high` span `extent` pixels.
int pixel_of(int v, int low, int high, int extent) {
  return int(std::floor(double(v - low) / (high - low) * (extent - 1) + 0.5));
}

// The frame as its final picture: horizontal grid rows over vertical grid
// columns over the x axis over the y axis, on white.
QImage expected_frame(RoundedRange r) {
  QSet<int> grid_columns, grid_rows;
  for (int i = r.x1r; i <= r.x2r; ++i)
    if (i != 0) grid_columns.insert(pixel_of(i, r.x1r, r.x2r, kPlotPixels.width));
  for (int j = r.y1r; j <= r.y2r; ++j)
    if (j != 0) grid_rows.insert(pixel_of(-j, -r.y2r, -r.y1r, kPlotPixels.height));  // y grows upward
  const bool x_axis_in_view = r.y1r <= 0 && 0 <= r.y2r;
  const bool y_axis_in_view = r.x1r <= 0 && 0 <= r.x2r;
  const int axis_row = pixel_of(0, -r.y2r, -r.y1r, kPlotPixels.height);
  const int axis_column = pixel_of(0, r.x1r, r.x2r, kPlotPixels.width);

  QImage image(kPlotPixels.width, kPlotPixels.height, QImage::Format_RGB32);
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      QRgb colour = kWhitePixel;
      if (grid_rows.contains(y) || grid_columns.contains(x)) colour = kGreyPixel;
      else if (x_axis_in_view && y == axis_row) colour = kRedPixel;
      else if (y_axis_in_view && x == axis_column) colour = kGreenPixel;
      image.setPixel(x, y, colour);
    }
  }
  return image;
}

// Every grid line drawn one by one, without skipping lines on a shared pixel.
void draw_every_grid_line(Surface& surface, RoundedRange r) {
  surface.set_scale(r.x1r, r.y2r, r.x2r, r.y1r);
  surface.line(0, r.y1r, 0, r.y2r, kGreen);
  surface.line(r.x1r, 0, r.x2r, 0, kRed);
  for (int i = r.x1r; i <= r.x2r; ++i)
    if (i != 0) surface.line(i, r.y1r, i, r.y2r, kButtonFace);
  for (int j = r.y1r; j <= r.y2r; ++j)
    if (j != 0) surface.line(r.x1r, j, r.x2r, j, kButtonFace);
}

}  // namespace

Q_DECLARE_METATYPE(vesk::RoundedRange)

class TestFrame : public QObject {
  Q_OBJECT

 private slots:
  void frame_image_data() {
    QTest::addColumn<RoundedRange>("range");
    QTest::newRow("start-up -9..9") << RoundedRange{-9, 9, -9, 9};
    QTest::newRow("0 outside both axes") << RoundedRange{1, 5, 2, 7};
    QTest::newRow("0 on the left and bottom border") << RoundedRange{0, 5, 0, 5};
    QTest::newRow("0 on the right and top border") << RoundedRange{-7, 0, -3, 0};
    QTest::newRow("negative only") << RoundedRange{-20, -3, -8, -1};
    QTest::newRow("grid denser than pixels") << RoundedRange{-1000, 2000, -900, 100};
    QTest::newRow("largest bound") << RoundedRange{32760, 32767, 32000, 32767};
  }
  void frame_image() {
    QFETCH(RoundedRange, range);
    Surface surface(kPlotPixels, kActiveTitleText);
    draw_frame(surface, range);
    const QString difference = first_difference(surface.image(), expected_frame(range));
    QVERIFY2(difference.isEmpty(), qPrintable(QStringLiteral("first difference at ") + difference));
  }

  void start_up_frame_has_two_axes_and_36_grid_lines() {
    Surface surface(kPlotPixels, kActiveTitleText);
    draw_frame(surface, RoundedRange{-9, 9, -9, 9});
    const QImage& image = surface.image();
    int grey_columns = 0, grey_rows = 0;
    for (int x = 0; x < image.width(); ++x) grey_columns += column_is(image, x, kGreyPixel);
    for (int y = 0; y < image.height(); ++y) grey_rows += row_is(image, y, kGreyPixel);
    QCOMPARE(grey_columns, 18);
    QCOMPARE(grey_rows, 18);
    QVERIFY(column_is(image, 0, kGreyPixel));    // -9 on the left edge
    QVERIFY(column_is(image, 578, kGreyPixel));  // 9 on the right edge
    QVERIFY(row_is(image, 0, kGreyPixel));
    QVERIFY(row_is(image, 389, kGreyPixel));
    QCOMPARE(pixel(image, 289, 100), kGreenPixel);  // y axis at x 0
    QCOMPARE(pixel(image, 100, 195), kRedPixel);    // x axis at y 0
    QCOMPARE(pixel(image, 289, 195), kRedPixel);    // drawn after the y axis
  }

  void widest_frame_equals_drawing_every_line() {
    const RoundedRange widest{-32768, 32767, -32768, 32767};
    Surface fast(kPlotPixels, kActiveTitleText), every_line(kPlotPixels, kActiveTitleText);
    draw_frame(fast, widest);
    draw_every_grid_line(every_line, widest);
    QCOMPARE(first_difference(fast.image(), every_line.image()), QString());
    QCOMPARE(fast.image(), expected_frame(widest));
  }
};

QTEST_GUILESS_MAIN(TestFrame)
#include "test_frame.moc"
