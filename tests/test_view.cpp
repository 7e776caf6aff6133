// Exploring: zoom and pan unrounded between steps, the box, fit y, the history,
// the wheel and the coordinates under the pointer.

#include <QTest>
#include <cmath>

#include "plot/quartic.h"
#include "view/history.h"
#include "view/view_steps.h"

using namespace vesk;

Q_DECLARE_METATYPE(vesk::RoundedRange)

namespace {

constexpr PixelSize kPicture{579, 390};
const View kStartUp = View::of({-9, 9, -9, 9});

QString text(RoundedRange r) { return QStringLiteral("%1 %2 %3 %4").arg(r.x1r).arg(r.x2r).arg(r.y1r).arg(r.y2r); }

}  // namespace

class TestView : public QObject {
  Q_OBJECT

 private slots:
  void zoom_span_data() {
    QTest::addColumn<double>("low");
    QTest::addColumn<double>("high");
    QTest::addColumn<double>("about");
    QTest::addColumn<double>("factor");
    QTest::addColumn<double>("new_low");
    QTest::addColumn<double>("new_high");
    QTest::newRow("in about the centre") << -10.0 << 10.0 << 0.0 << 0.8 << -8.0 << 8.0;
    QTest::newRow("out about the centre") << -10.0 << 10.0 << 0.0 << 1.25 << -12.5 << 12.5;
    QTest::newRow("about the right edge") << 0.0 << 100.0 << 100.0 << 0.8 << 20.0 << 100.0;
    QTest::newRow("no narrower than a unit") << 5.0 << 6.5 << 6.5 << 0.5 << 5.5 << 6.5;
    QTest::newRow("grows the other way at the edge") << -32768.0 << -32700.0 << -32768.0 << 1.25 << -32768.0 << -32683.0;
    QTest::newRow("at the top edge") << 32700.0 << 32767.0 << 32760.0 << 1.25 << 32683.25 << 32767.0;
    QTest::newRow("no wider than the numbers") << -32768.0 << 32767.0 << 100.0 << 1.25 << -32768.0 << 32767.0;
  }
  void zoom_span() {
    QFETCH(double, low);
    QFETCH(double, high);
    QFETCH(double, about);
    QFETCH(double, factor);
    QFETCH(double, new_low);
    QFETCH(double, new_high);
    QCOMPARE(vesk::zoom_span({low, high}, about, factor), (Span{new_low, new_high}));
  }

  // Notches about one pointer position: its point stays under it within half a
  // unit however many there are, and as many out come back to the start.
  void no_drift_data() {
    QTest::addColumn<QPointF>("pointer");
    QTest::addColumn<int>("notches");
    for (const QPointF pointer : {QPointF(289, 194.5), QPointF(0, 0), QPointF(100.3, 371), QPointF(578, 389)})
      for (const int notches : {1, 5, 12, 30})
        QTest::addRow("(%g, %g), %d notches", pointer.x(), pointer.y(), notches) << pointer << notches;
  }
  void no_drift() {
    QFETCH(QPointF, pointer);
    QFETCH(int, notches);
    const QPointF first = user_point(mapping_for(kStartUp.shown(), kPicture), pointer);
    View view = kStartUp;
    for (int i = 0; i < notches; ++i) {
      view = zoomed(view, user_point(view.mapping(kPicture), pointer), 1, ZoomAxes::both);
      const QPointF now = user_point(mapping_for(view.shown(), kPicture), pointer);
      QVERIFY2(std::abs(now.x() - first.x()) <= 0.5 + 1e-9 && std::abs(now.y() - first.y()) <= 0.5 + 1e-9, qPrintable(text(view.shown())));
    }
    if (notches > 12) return;  // past 12 the range stops at one unit
    for (int i = 0; i < notches; ++i) view = zoomed(view, user_point(view.mapping(kPicture), pointer), -1, ZoomAxes::both);
    QCOMPARE(view.shown(), kStartUp.shown());
  }

  void pans_keep_their_remainder() {
    View view = kStartUp;
    for (int i = 0; i < 5; ++i) view = stepped(view, ViewKey::right);  // 5 × 1.8 = 9 units, not 5 × 2
    QCOMPARE(view.shown(), (RoundedRange{0, 18, -9, 9}));
    QCOMPARE(stepped(View::of({0, 3, 0, 3}), ViewKey::right).shown(), (RoundedRange{1, 4, 0, 3}));  // at least a unit
    QCOMPARE(panned(View::of({32700, 32765, 0, 1}), 5, 0).shown(), (RoundedRange{32702, 32767, 0, 1}));  // the edge
    // One pixel of 578 at a wide range moves 103.8 units; the point taken stays under the pointer.
    QCOMPARE(dragged(View::of({-30000, 30000, -9, 9}), kPicture, {100, 100}, {99, 100}).shown(),
             (RoundedRange{-29896, 30104, -9, 9}));
    QCOMPARE(dragged(kStartUp, kPicture, {289, 194.5}, {346.8, 194.5}).shown(), (RoundedRange{-11, 7, -9, 9}));
    QCOMPARE(zoomed(kStartUp, {0, 0}, 2, ZoomAxes::x_only).shown(), (RoundedRange{-6, 6, -9, 9}));
    QCOMPARE(scaled(kStartUp, {0, 0}, 0.5).shown(), (RoundedRange{-4, 5, -4, 5}));  // ±4.5, halves up
  }

  void box_data() {
    QTest::addColumn<QPointF>("corner");
    QTest::addColumn<QPointF>("other_corner");
    QTest::addColumn<RoundedRange>("range");
    QTest::newRow("outward to whole numbers") << QPointF(100, 50) << QPointF(400, 300) << RoundedRange{-6, 4, -5, 7};
    QTest::newRow("corners either way") << QPointF(400, 300) << QPointF(100, 50) << RoundedRange{-6, 4, -5, 7};
    QTest::newRow("smaller than a unit") << QPointF(290, 190) << QPointF(292, 191) << RoundedRange{0, 1, 0, 1};
    QTest::newRow("the whole picture") << QPointF(0, 0) << QPointF(578, 389) << RoundedRange{-9, 9, -9, 9};
  }
  void box() {
    QFETCH(QPointF, corner);
    QFETCH(QPointF, other_corner);
    QFETCH(RoundedRange, range);
    QCOMPARE(boxed(kStartUp.shown(), kPicture, corner, other_corner), range);
  }

  void fit_y_data() {
    QTest::addColumn<RoundedRange>("range");
    QTest::addColumn<RoundedRange>("fitted");
    QTest::newRow("holds the minimum") << RoundedRange{-9, 9, 0, 1} << RoundedRange{-9, 9, -8, 7155};
    QTest::newRow("the edges only, rising") << RoundedRange{0, 2, 0, 1} << RoundedRange{0, 2, 0, 22};
    QTest::newRow("the widest range") << RoundedRange{-32768, 32767, 0, 1} << RoundedRange{-32768, 32767, -8, 32767};
    QTest::newRow("all above the numbers") << RoundedRange{100, 200, 0, 1} << RoundedRange{100, 200, 32766, 32767};
  }
  void fit_y() {
    QFETCH(RoundedRange, range);
    QFETCH(RoundedRange, fitted);
    QCOMPARE(fitted_y(range), fitted);
    QVERIFY(std::abs(quartic_minimum_x() - -1.63919) < 1e-5);
  }

  void history() {
    const auto at = [](int x1) { return View::of({std::int16_t(x1), 10, 0, 1}); };
    ViewHistory history(at(0));
    QCOMPARE(history.back(), std::nullopt);
    history.record(at(1), Gesture::wheel, 1000);
    history.record(at(2), Gesture::wheel, 1500);  // the same burst
    history.record(at(3), Gesture::wheel, 2200);  // too late: a new entry
    history.record(at(4), Gesture::drag, 2300);
    history.record(at(5), Gesture::drag, 9000);  // one drag, however long
    history.end_burst();
    history.record(at(6), Gesture::drag, 9100);  // the next drag
    history.record(at(6), Gesture::other, 9200);  // no change, no entry
    QCOMPARE(history.back(), at(5));
    QCOMPARE(history.back(), at(3));
    QCOMPARE(history.back(), at(2));
    QCOMPARE(history.back(), at(0));
    QCOMPARE(history.forward(), at(2));
    history.record(at(7), Gesture::key, 9300);  // drops what was ahead
    QCOMPARE(history.forward(), std::nullopt);
    QCOMPARE(history.back(), at(2));
    for (int i = 0; i < 400; ++i) history.record(at(i % 2 ? 8 : 9), Gesture::other, 10000);
    int entries = 0;
    while (history.back()) ++entries;
    QCOMPARE(entries, int(ViewHistory::kMostEntries) - 1);
  }

  void wheel_notches() {
    WheelNotches wheel;
    QCOMPARE(wheel.add(120), 1);
    QCOMPARE(wheel.add(-240), -2);
    QCOMPARE(wheel.add(50), 0);  // a touchpad's fine steps add up
    QCOMPARE(wheel.add(50), 0);
    QCOMPARE(wheel.add(50), 1);
    QCOMPARE(wheel.add(-60), 0);
    QCOMPARE(wheel.add(-150), -1);
  }

  void coordinates() {
    const PixelSize picture{579, 390};
    QCOMPARE(coordinates_text({-9, 9, -9, 9}, picture, {289, 194.5}), QStringLiteral("x = 0.00   y = 0.00   f(x) = 0.00"));
    QCOMPARE(coordinates_text({-9, 9, -9, 9}, picture, {236, 389}),
             QStringLiteral("x = -1.65   y = -9.00   f(x) = -7.48"));
    QCOMPARE(coordinates_text({-2, -1, -8, -7}, picture, {0, 0}), QStringLiteral("x = -2.000   y = -7.000   f(x) = -6.000"));
    QCOMPARE(coordinates_text({0, 577, 0, 388}, picture, {0, 0}), QStringLiteral("x = 0.0   y = 388.0   f(x) = 0.0"));
    QCOMPARE(coordinates_text({-32768, 32767, -32768, 32767}, picture, {0, 0}),
             QStringLiteral("x = -32768   y = 32767   f(x) = 1.15288632e+18"));
  }
};

QTEST_GUILESS_MAIN(TestView)
#include "test_view.moc"
