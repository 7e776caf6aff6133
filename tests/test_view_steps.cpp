// The arithmetic of the steps of the view: zoom, pan, drag, keys, the wheel,
// and the coordinates under the pointer.

#include <QTest>

#include "main_window/view_steps.h"

using namespace vesk;

Q_DECLARE_METATYPE(vesk::Bounds)

class TestViewSteps : public QObject {
  Q_OBJECT

 private slots:
  void zoom_axis_data() {
    QTest::addColumn<Bounds>("bounds");
    QTest::addColumn<double>("about");
    QTest::addColumn<bool>("zoom_in");
    QTest::addColumn<Bounds>("expected");
    QTest::newRow("in about the centre") << Bounds{-10, 10} << 0.0 << true << Bounds{-8, 8};
    QTest::newRow("out about the centre") << Bounds{-10, 10} << 0.0 << false << Bounds{-13, 12};
    QTest::newRow("in about the left pixel") << Bounds{0, 100} << 0.0 << true << Bounds{0, 80};
    QTest::newRow("in about the right pixel") << Bounds{0, 100} << 100.0 << true << Bounds{20, 100};
    QTest::newRow("in about a point inside") << Bounds{0, 100} << 30.0 << true << Bounds{6, 86};
    QTest::newRow("in: at least a unit") << Bounds{0, 3} << 1.5 << true << Bounds{1, 3};
    QTest::newRow("in: two units to one") << Bounds{5, 7} << 6.0 << true << Bounds{6, 7};
    QTest::newRow("in: one unit stays") << Bounds{5, 6} << 5.5 << true << Bounds{5, 6};
    QTest::newRow("out: at least a unit") << Bounds{5, 6} << 5.0 << false << Bounds{5, 7};
    QTest::newRow("out at the low edge") << Bounds{-32768, -32700} << -32768.0 << false << Bounds{-32768, -32683};
    QTest::newRow("out grows the other way at the high edge") << Bounds{32700, 32767} << 32760.0 << false
                                                              << Bounds{32683, 32767};
    QTest::newRow("out past both edges") << Bounds{-32768, 0} << -16384.0 << false << Bounds{-32768, 8192};
    QTest::newRow("out of the widest") << Bounds{-32768, 32767} << 100.0 << false << Bounds{-32768, 32767};
    QTest::newRow("in of the widest") << Bounds{-32768, 32767} << -32768.0 << true << Bounds{-32768, 19660};
  }
  void zoom_axis() {
    QFETCH(Bounds, bounds);
    QFETCH(double, about);
    QFETCH(bool, zoom_in);
    QFETCH(Bounds, expected);
    const Bounds zoomed = vesk::zoom_axis(bounds, about, zoom_in);
    QCOMPARE(zoomed.low, expected.low);
    QCOMPARE(zoomed.high, expected.high);
  }

  void pan_and_drag() {
    QCOMPARE(pan_axis({32700, 32765}, 5), (Bounds{32702, 32767}));  // stops at the edge
    QCOMPARE(pan_axis({-32768, -32700}, -0.6), (Bounds{-32768, -32700}));
    QCOMPARE(pan_axis({-9, 9}, -1.5), (Bounds{-11, 7}));
    // One pixel of 578 at a wide range moves 104 units; at a narrow one, not a unit.
    const RoundedRange wide{-30000, 30000, -9, 9}, narrow{0, 10, 0, 10};
    QCOMPARE(dragged(wide, {579, 390}, {100, 100}, {99, 100}), (RoundedRange{-29896, 30104, -9, 9}));
    QCOMPARE(dragged(narrow, {579, 390}, {100, 100}, {101, 100}), narrow);
    // The point under the pointer stays there: 57.8 pixels right at −9 … 9 is 1.8 units.
    QCOMPARE(dragged({-9, 9, -9, 9}, {579, 390}, {289, 194.5}, {346.8, 194.5}), (RoundedRange{-11, 7, -9, 9}));
    QCOMPARE(dragged({-9, 9, -9, 9}, {579, 390}, {289, 194.5}, {289, 151.28}), (RoundedRange{-9, 9, -11, 7}));
  }

  void keys() {
    const RoundedRange start{-9, 9, -9, 9};
    QCOMPARE(stepped(start, ViewKey::left), (RoundedRange{-11, 7, -9, 9}));
    QCOMPARE(stepped(start, ViewKey::right), (RoundedRange{-7, 11, -9, 9}));
    QCOMPARE(stepped(start, ViewKey::up), (RoundedRange{-9, 9, -7, 11}));
    QCOMPARE(stepped(start, ViewKey::down), (RoundedRange{-9, 9, -11, 7}));
    QCOMPARE(stepped(start, ViewKey::zoom_in), (RoundedRange{-7, 7, -7, 7}));
    QCOMPARE(stepped(start, ViewKey::zoom_out), (RoundedRange{-12, 11, -12, 11}));
    QCOMPARE(stepped({0, 3, 0, 3}, ViewKey::right), (RoundedRange{1, 4, 0, 3}));  // a tenth, at least a unit
    QCOMPARE(zoomed(start, {0, 0}, 2, ZoomAxes::x_only), (RoundedRange{-6, 5, -9, 9}));
    QCOMPARE(zoomed(start, {0, 0}, -1, ZoomAxes::y_only), (RoundedRange{-9, 9, -12, 11}));
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
    QCOMPARE(coordinates_text({-32768, 32767, -32768, 32767}, picture, {0, 0}),
             QStringLiteral("x = -32768   y = 32767   f(x) = 1.15288632e+18"));
  }
};

QTEST_GUILESS_MAIN(TestViewSteps)
#include "test_view_steps.moc"
