// The fast renderer must draw exactly what drawing every sample draws.

#include <QRandomGenerator>
#include <QTest>

#include "plot/curve.h"
#include "plot/fast_curve.h"
#include "plot/frame.h"
#include "surface/surface.h"
#include "test_support.h"

using namespace vesk;
using namespace vesk::test;

namespace {

constexpr PixelSize kPlotPixels{579, 390};

Surface framed(RoundedRange range) {
  Surface surface(kPlotPixels, kActiveTitleText);
  draw_frame(surface, range);
  return surface;
}

QString describe(RoundedRange r, int clarity, PlotMode mode) {
  return QStringLiteral("x %1 … %2, y %3 … %4, clarity %5, %6")
      .arg(r.x1r).arg(r.x2r).arg(r.y1r).arg(r.y2r).arg(clarity)
      .arg(mode == PlotMode::line ? "line" : "point");
}

// Empty when the fast image equals the reference image, else where they differ.
QString compare_with_reference(RoundedRange range, int clarity, PlotMode mode) {
  Surface fast = framed(range), reference = framed(range);
  if (mode == PlotMode::line) {
    render_curve_by_line(fast, range, clarity);
    plot_by_line_each_sample(reference, range, clarity);
  } else {
    render_curve_by_point(fast, range, clarity);
    plot_by_point_each_sample(reference, range, clarity);
  }
  const QString difference = first_difference(fast.image(), reference.image());
  if (difference.isEmpty()) return {};
  return describe(range, clarity, mode) + QStringLiteral(": first difference at ") + difference;
}

std::int16_t bound(QRandomGenerator& random, int low, int high) {
  return std::int16_t(low + int(random.bounded(quint32(high - low + 1))));
}

}  // namespace

Q_DECLARE_METATYPE(vesk::RoundedRange)

class TestFastCurve : public QObject {
  Q_OBJECT

 private slots:
  void hand_picked_data() {
    QTest::addColumn<RoundedRange>("range");
    QTest::addColumn<int>("clarity");
    QTest::newRow("start-up") << RoundedRange{-9, 9, -9, 9} << 100;
    QTest::newRow("clarity 1") << RoundedRange{-9, 9, -9, 9} << 1;
    QTest::newRow("one unit at clarity 1") << RoundedRange{0, 1, -1, 4} << 1;
    QTest::newRow("one unit, dense") << RoundedRange{-2, -1, -8, -4} << 32767;
    QTest::newRow("widest at clarity 1") << RoundedRange{-32768, 32767, -32768, 32767} << 1;
    QTest::newRow("widest x at clarity 30") << RoundedRange{-32768, 32767, -10, 10} << 30;
    QTest::newRow("column holding the minimum") << RoundedRange{-1000, 1000, -8, -7} << 1000;
    QTest::newRow("minimum, narrow x") << RoundedRange{-2, -1, -8, -7} << 20000;
    QTest::newRow("minimum on a column edge") << RoundedRange{-3, 0, -8, -7} << 30000;
    QTest::newRow("steepest visible part") << RoundedRange{-3, 2, 0, 1} << 5000;
    QTest::newRow("curve leaves inside one column") << RoundedRange{-4000, 4000, 0, 3} << 200;
    QTest::newRow("curve only above the frame") << RoundedRange{5, 9, -9, -1} << 1000;
    QTest::newRow("curve only below the frame") << RoundedRange{-1, 1, 200, 300} << 1000;
    QTest::newRow("right of the minimum only") << RoundedRange{30000, 32767, -32768, 32767} << 300;
    QTest::newRow("left of the minimum only") << RoundedRange{-32768, -30000, 0, 32767} << 300;
    QTest::newRow("fewer samples than columns") << RoundedRange{-20, 20, -10, 40} << 3;
  }
  void hand_picked() {
    QFETCH(RoundedRange, range);
    QFETCH(int, clarity);
    for (const PlotMode mode : {PlotMode::line, PlotMode::point}) {
      const QString difference = compare_with_reference(range, clarity, mode);
      QVERIFY2(difference.isEmpty(), qPrintable(difference));
    }
  }

  // Random ranges, wide and narrow, with and without the minimum in view,
  // capped at about two million samples each.
  void seeded_random_ranges() {
    const quint32 seed = 20261206;
    QRandomGenerator random(seed);
    for (int i = 0; i < 40; ++i) {
      RoundedRange range;
      if (i % 2 == 0) {  // around the interesting part of the curve
        range.x1r = bound(random, -12, 0);
        range.x2r = std::int16_t(range.x1r + bound(random, 1, 14));
        range.y1r = bound(random, -10, 5);
        range.y2r = std::int16_t(range.y1r + bound(random, 1, 60));
      } else {  // anywhere
        range.x1r = bound(random, -32768, 32766);
        range.x2r = bound(random, range.x1r + 1, std::min(32767, range.x1r + (i % 4 == 1 ? 40 : 65535)));
        range.y1r = bound(random, -32768, 32766);
        range.y2r = bound(random, range.y1r + 1, 32767);
      }
      const std::int64_t width = range.x2r - range.x1r;
      const int highest = int(std::min<std::int64_t>(32767, 2'000'000 / width));
      const int clarity = 1 + int(random.bounded(quint32(std::max(highest, 1))));
      for (const PlotMode mode : {PlotMode::line, PlotMode::point}) {
        const QString difference = compare_with_reference(range, clarity, mode);
        QVERIFY2(difference.isEmpty(), qPrintable(QStringLiteral("seed %1, case %2: ").arg(seed).arg(i) + difference));
      }
    }
  }

  // 2.1 billion samples: too many for the reference, so the checks are on
  // what must be there. Its speed is measured by the benchmark.
  void worst_case_completes() {
    const RoundedRange widest{-32768, 32767, -32768, 32767};
    for (const PlotMode mode : {PlotMode::line, PlotMode::point}) {
      Surface surface = framed(widest);
      if (mode == PlotMode::line) render_curve_by_line(surface, widest, 32767);
      else render_curve_by_point(surface, widest, 32767);
      // The curve dips to the x axis in the middle column and leaves through the top.
      QCOMPARE(pixel(surface.image(), 289, 0), kRedPixel);
      QCOMPARE(pixel(surface.image(), 289, 194), kRedPixel);
    }
  }
};

QTEST_GUILESS_MAIN(TestFastCurve)
#include "test_fast_curve.moc"
