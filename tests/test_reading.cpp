// The plain code under the main window: reading the boxes (text to number,
// rounding to 16 bits, the checks of a plot command and their messages), and
// the arithmetic of the steps of the view (zoom, pan, drag, keys, the wheel,
// the coordinates under the pointer).

#include <QTest>
#include <cmath>

#include "reading/number_text.h"
#include "reading/plot_input.h"
#include "view/view_steps.h"

using namespace vesk;

class TestReading : public QObject {
  Q_OBJECT

 private slots:
  void number_from_text() {
    const std::pair<QString, double> rows[] = {  // NaN: too large for a double
        {"-9", -9}, {"1 2", 12}, {"\t-\n3.5 ", -3.5}, {"3abc", 3}, {"abc", 0}, {"", 0}, {"-", 0}, {".", 0},
        {".5", 0.5}, {"1.2.3", 1.2}, {"+7", 7}, {"1e3", 1000}, {"25E-1", 2.5}, {"1e", 1}, {"2e+x", 2},
        {"1,5", 1}, {"&H19A", 410}, {"&hff", 255}, {"&H1G", 1}, {"&H", 0}, {"&O17", 15}, {"&o78", 7},
        {"0x10", 0}, {"inf", 0}, {"-Infinity", 0}, {"nan", 0}, {"$5", 0}, {"1e-400", 0},
        {"0.0001e-99999999999999999999", 0}, {"1.7976931348623157e308", 1.7976931348623157e308},
        {"4\u00b25", 4}, {"\uff11", 0}, {"1e309", NAN}, {"-2e400", NAN}, {"1e99999999999999999999", NAN},
        {QString(400, '9'), NAN}, {"&H" + QString(300, 'F'), NAN}, {QString(400, '0') + "1e-330", 0},
        {QString(400, '0') + "1e309", NAN}};
    for (const auto& [text, expected] : rows) {
      const auto value = vesk::number_from_text(text.toStdU16String());
      QVERIFY2(value.has_value() != std::isnan(expected) && (!value || *value == expected), qPrintable(text.left(40)));
    }
  }

  void round_to_16_bits() {
    const std::pair<double, int> rows[] = {{2.5, 2},         {3.5, 4},         {-0.5, 0},       {-1.5, -2},
                                           {-2.5, -2},       {1.4999, 1},      {-1.6, -2},      {32767, 32767},
                                           {32767.4, 32767}, {-32768, -32768}, {-32768.5, -32768}};
    for (const auto& [value, expected] : rows) {
      const auto rounded = vesk::round_to_16_bits(value);
      QVERIFY2(rounded && *rounded == expected, qPrintable(QString::number(value)));
    }
    for (const double refused : {32767.5, 32768.0, -32768.6, -32769.5, 1e300, double(INFINITY), double(NAN)})
      QVERIFY2(!vesk::round_to_16_bits(refused), qPrintable(QString::number(refused)));
  }

  // Each row: the five boxes, then what a plot command makes of them: the
  // request, "empty", or a piece of the refusal's message.
  // Each row: the five boxes, then what a plot command makes of them: the
  // request, "empty", or the start of the refusal's message.
  void plot_check() {
    const std::pair<QStringList, const char*> rows[] = {
        {{"-9", "9", "-9", "9", "100"}, "-9 9 -9 9 100"},
        {{"abc", "1", "0.5", "2.5", "-5"}, "0 1 0 2 -5"},  // halves to even; negative clarity allowed
        {{"2.5", "3.5", "&H10", "&O21", "32767"}, "2 4 16 17 32767"},
        {{"5", "5", "-9", "9", "100"}, "empty"},
        {{"9", "-9", "-9", "9", "100"}, "empty"},
        {{"-9", "9", "2.0001", "2", "1"}, "empty"},
        {{"1", "0", "-9", "9", "0"}, "empty"},  // the range first
        {{"-9", "40000", "-9", "9", "100"}, "The X to box holds a number outside"},
        {{"-9", "9", "-9", "32767.5", "100"}, "The Y to box holds"},
        {{"-32769", "9", "-9", "9", "100"}, "The X from box holds"},
        {{"-9", "1e400", "-9", "9", "100"}, "The X to box holds"},
        {{"-9", "9", "-1e400", "-2e400", "1"}, "The Y from box holds"},  // before the range: nothing compares
        {{"-9", "9", "-9", "9", "32768"}, "The clarity box holds"},
        {{"-9", "9", "-9", "9", "0"}, "The clarity box reads as 0."},
        {{"-9", "9", "-9", "9", "abc"}, "The clarity box reads as 0."},
        {{"-9", "9", "-9", "9", "0.4"}, "The clarity box reads as 0."},
        {{"1.2", "1.4", "-9", "9", "100"}, "The X from and X to boxes both round to 1."},
        {{"-9", "9", "1.6e0", "2.4", "100"}, "The Y from and Y to boxes both round to 2."}};
    for (const auto& [boxes, outcome] : rows) {
      const PlotCheck check = check_plot_input({boxes[0], boxes[1], boxes[2], boxes[3], boxes[4]}, PlotMode::point);
      QString seen = QStringLiteral("empty");
      if (const auto* request = std::get_if<PlotRequest>(&check)) {
        const RoundedRange r = request->range;
        seen = QStringLiteral("%1 %2 %3 %4 %5").arg(r.x1r).arg(r.x2r).arg(r.y1r).arg(r.y2r).arg(request->clarity);
        QCOMPARE(request->mode, PlotMode::point);
      }
      if (const auto* refusal = std::get_if<Refusal>(&check)) seen = refusal->message;
      QVERIFY2(seen.startsWith(QLatin1String(outcome)), qPrintable(boxes.join(' ') + ": " + seen));
    }
  }

  // Each row: the bounds, the point zoomed about, in or out, the new bounds.
  void zoom_axis() {
    const std::tuple<Bounds, double, bool, Bounds> rows[] = {
        {{-10, 10}, 0.0, true, {-8, 8}},         {{-10, 10}, 0.0, false, {-13, 12}},  // about the centre
        {{0, 100}, 0.0, true, {0, 80}},          {{0, 100}, 100.0, true, {20, 100}},  // the edge pixels
        {{0, 100}, 30.0, true, {6, 86}},         {{0, 3}, 1.5, true, {1, 3}},         // at least a unit
        {{5, 7}, 6.0, true, {6, 7}},             {{5, 6}, 5.5, true, {5, 6}},         // one unit stays
        {{5, 6}, 5.0, false, {5, 7}},            {{-32768, -32700}, -32768.0, false, {-32768, -32683}},
        {{32700, 32767}, 32760.0, false, {32683, 32767}},  // grows the other way at the edge
        {{-32768, 0}, -16384.0, false, {-32768, 8192}},    {{-32768, 32767}, 100.0, false, {-32768, 32767}},
        {{-32768, 32767}, -32768.0, true, {-32768, 19660}}};
    for (const auto& [bounds, about, zoom_in, expected] : rows) {
      const Bounds zoomed = vesk::zoom_axis(bounds, about, zoom_in);
      QVERIFY2(zoomed == expected, qPrintable(QStringLiteral("%1 … %2 about %3: %4 … %5")
                                                   .arg(bounds.low).arg(bounds.high).arg(about).arg(zoomed.low).arg(zoomed.high)));
    }
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
    QCOMPARE(coordinates_text({0, 577, 0, 388}, picture, {0, 0}), QStringLiteral("x = 0.0   y = 388.0   f(x) = 0.0"));
    QCOMPARE(coordinates_text({-32768, 32767, -32768, 32767}, picture, {0, 0}),
             QStringLiteral("x = -32768   y = 32767   f(x) = 1.15288632e+18"));
  }
};

QTEST_GUILESS_MAIN(TestReading)
#include "test_reading.moc"
