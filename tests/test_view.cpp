// Exploring, without a window: the session's steps at every depth, the trace,
// the study's state across plot commands, the history; the step arithmetic.

#include <QTest>
#include <cmath>

#include "plot/plot.h"
#include "plot/quartic.h"
#include "oracles/exact_pointer.h"
#include "table.h"
#include "view/explorer.h"

using namespace vesk;
using vesk::test::columns;
using vesk::test::row;

Q_DECLARE_METATYPE(vesk::Bounds)

namespace {

const BoxTexts kStartBoxes{"-9", "9", "-9", "9", "100"};

// An explorer whose view is `view`, reached by a box over the whole picture.
Explorer at(Bounds view) {
  Explorer explorer(kStartBoxes);
  explorer.plot(kStartBoxes, PlotMode::line, 0);
  const Mapping m = mapping_for(explorer.view(), kPictureSize);
  explorer.boxed_to({m.to_pixel_x(view.x_from), m.to_pixel_y(view.y_to)}, {m.to_pixel_x(view.x_to), m.to_pixel_y(view.y_from)}, 0);
  return explorer;
}

}  // namespace

class TestView : public QObject {
  Q_OBJECT

 private slots:
  // Notches about one point at every depth: each one changes the view, the point stays under the pointer within
  // a pixel (where it is, exactly, in the first view), and as many back return exactly.
  void bursts_data() {
    columns<Bounds, QPointF, int>({"start", "pointer", "notches"});
    const std::pair<const char*, Bounds> depths[] = {
        {"start-up", {-9, 9, -9, 9}}, {"one unit, the old floor", {-1.5, -0.5, -8, -7}},
        {"a millionth about the minimum", {-1.6391875, -1.6391865, -7.4762025, -7.4762015}},
        {"1e-11 about 1.2", {1.2, 1.2 + 1e-11, quartic(1.2) - 1e-11, quartic(1.2) + 1e-11}}};
    for (const auto& [depth, start] : depths)
      for (const QPointF pointer : {QPointF(289, 194.5), QPointF(0, 0), QPointF(577.3, 12)})
        for (const int notches : {1, 14, 60, 200})
          QTest::addRow("%s, (%g, %g), %d", depth, pointer.x(), pointer.y(), notches) << start << pointer << notches;
    QTest::newRow("a pixel a unit, on the origin, 170") << Bounds{-289, 289, -194, 195} << QPointF(289, 195) << 170;
    QTest::newRow("a pixel a unit, a hair off the origin, 400") << Bounds{-289, 289, -194, 195} << QPointF(289.2, 194.9) << 400;
  }
  void bursts() {
    const auto [start, pointer, notches] = row<Bounds, QPointF, int>({"start", "pointer", "notches"});
    Explorer explorer = at(start);
    const Bounds from = explorer.view();
    double worst = 0;
    for (int i = 0; i < notches; ++i) {
      const Bounds before = explorer.view();
      explorer.wheel({0, 120}, pointer, ZoomAxes::both, 1);
      const Bounds now = explorer.view();
      const double width = now.x_to - now.x_from;
      // Each notch narrows the view until a pixel spans a few hundred doubles, then stops.
      QVERIFY(now != before || width <= 1.3 * narrowest((now.x_from + now.x_to) / 2, kPictureSize.width));
      worst = std::max(worst, test::exact_slip(from, pointer, now, pointer, kPictureSize));
    }
    QVERIFY2(worst <= 1.0, qPrintable(QStringLiteral("%1 pixels").arg(worst)));
    for (int i = 0; i < notches; ++i) explorer.wheel({0, -120}, pointer, ZoomAxes::both, 1);
    QCOMPARE(explorer.view(), from);
  }

  // Steps that are not a burst: a drag at depth keeps its point, the keys pan a
  // tenth and zoom about the centre, the widest view is the whole number range.
  void steps() {
    Explorer deep = at({1.2, 1.2 + 1e-11, quartic(1.2) - 1e-11, quartic(1.2) + 1e-11});
    const Bounds pressed = deep.view();
    deep.drag_started({100, 100});
    deep.dragged_to({321.5, 40.25}, 1);
    QVERIFY(test::exact_slip(pressed, {100, 100}, deep.view(), {321.5, 40.25}, kPictureSize) <= 1.0);
    // A notch meanwhile: the drag goes on from the new view, the point now under the pointer staying with it.
    deep.pointer(QPointF(321.5, 40.25));
    deep.wheel({0, 120}, {321.5, 40.25}, ZoomAxes::both, 2);
    const Bounds notched = deep.view();
    for (const QPointF at : {QPointF(300, 60), QPointF(250, 80)}) {  // the pointer told after each move, as the window does
      deep.dragged_to(at, 3), deep.pointer(at);
      QVERIFY(test::exact_slip(notched, {321.5, 40.25}, deep.view(), at, kPictureSize) <= 1.0);
    }
    deep.drag_ended();
    deep.dragged_to({10, 10}, 4);
    QVERIFY(test::exact_slip(notched, {321.5, 40.25}, deep.view(), {250, 80}, kPictureSize) <= 1.0);  // ended: no step
    Explorer explorer(kStartBoxes);
    explorer.wheel({120, 0}, {0, 0}, ZoomAxes::both, 0);  // sideways: nothing, but where Shift made it so
    QCOMPARE(explorer.view(), (Bounds{-9, 9, -9, 9}));
    explorer.wheel({120, 0}, {0, 194.5}, ZoomAxes::y_only, 0);
    QCOMPARE(explorer.view(), (Bounds{-9, 9, -7.2, 7.2}));
    explorer.wheel({-120, 0}, {0, 194.5}, ZoomAxes::y_only, 0);
    explorer.key(ViewKey::right, 0);
    QCOMPARE(explorer.view(), (Bounds{-9 + 1.8, 9 + 1.8, -9, 9}));
    explorer.key(ViewKey::zoom_in, 0);
    explorer.key(ViewKey::zoom_out, 0), explorer.pinched(-1.0, {289, 194.5}, 0);  // a pinch to nothing is no step
    QCOMPARE(explorer.view(), (Bounds{-9 + 1.8, 9 + 1.8, -9, 9}));
    for (int i = 0; i < 80; ++i) explorer.wheel({0, -120}, {0, 0}, ZoomAxes::both, 0);
    explorer.pinched(-0.5, {289, 194.5}, 0);  // out by half again: the number range holds
    QCOMPARE(explorer.view(), (Bounds{-32768, 32767, -32768, 32767}));
    QCOMPARE(explorer.boxes(), (RoundedRange{-32768, 32767, -32768, 32767}));
    explorer.fit_y(0);
    QCOMPARE(explorer.view().y_from, quartic(quartic_minimum_x()));  // exactly the minimum
    QCOMPARE(explorer.boxes(), (RoundedRange{-32768, 32767, -8, 32767}));
  }

  // The boxes show the view rounded outward; a plot command draws the unit grid
  // again, and typing makes the next step start from what the boxes say.
  void boxes_and_commands() {
    Explorer explorer(kStartBoxes);
    QVERIFY(!explorer.picture().view);
    explorer.wheel({0, 120}, {289, 194.5}, ZoomAxes::both, 0);  // -7.2 … 7.2
    QCOMPARE(explorer.boxes(), (RoundedRange{-8, 8, -8, 8}));
    QCOMPARE(explorer.picture().view, explorer.view());
    explorer.plot({"0", "2", "-1", "10", "50"}, PlotMode::point, 1000);
    QCOMPARE(explorer.picture(), (PlotRequest{{0, 2, -1, 10}, 50, PlotMode::point}));
    explorer.typed({"1", "5", "2", "7", "50"});
    explorer.key(ViewKey::up, 2000);
    QCOMPARE(explorer.view(), (Bounds{1, 5, 2.5, 7.5}));
    QVERIFY(std::holds_alternative<EmptyRange>(explorer.plot({"5", "5", "2", "7", "50"}, PlotMode::line, 3000)));
    QVERIFY(explorer.cleared() && explorer.description().startsWith("Nothing plotted"));
  }

  // The trace keeps its marker in sight in x and y, steps exactly from sample
  // to sample, goes to an x typed as a box reads it; K and N hold across commands.
  void study() {
    Explorer explorer({"-3", "1", "-9", "3", "100"});
    explorer.plot({"-3", "1", "-9", "3", "100"}, PlotMode::line, 0);
    explorer.toggle_trace(0);
    for (int i = 0; i < 300; ++i) explorer.trace_step(1, false, 1);  // from -1 past 1, up past the top
    const QPointF marker = *explorer.trace_point();
    const Bounds v = explorer.view();
    QVERIFY(marker.x() > 1 && marker.x() >= v.x_from + 0.09 * (v.x_to - v.x_from) && marker.x() <= v.x_to - 0.09 * (v.x_to - v.x_from));
    QVERIFY(marker.y() >= v.y_from + 0.09 * (v.y_to - v.y_from) && marker.y() <= v.y_to - 0.09 * (v.y_to - v.y_from));
    QCOMPARE(explorer.go_to("-1.2.3", 2), std::nullopt);  // reads -1.2, as the boxes read it
    QCOMPARE(explorer.trace_point()->x(), -1.2);
    for (int i = 0; i < 1000; ++i) explorer.trace_step(1, true, 3);
    QCOMPARE(explorer.trace_point()->x(), 880 / 100.0);  // from -120/100, a thousand samples on, no rounding piled up
    explorer.go_to("0.005", 4);
    QVERIFY(explorer.trace_step(-1, true, 5).when_settled);  // a held key's steps are said once they settle
    QCOMPARE(explorer.trace_point()->x(), 0.0);  // off a sample: to the neighbouring one
    QVERIFY(explorer.go_to("40000", 6).has_value() && explorer.go_to("1e400", 6).has_value());
    QVERIFY(explorer.go_to("-32768.5", 6).has_value() && explorer.go_to("32767.5", 6).has_value());
    QVERIFY(!explorer.go_to("32767", 6).has_value() && !explorer.go_to("-32768", 6).has_value());  // the ends are in
    explorer.go_to("40", 6);  // f(40) = 2.6e6: no view reaches it
    QVERIFY(explorer.readout().endsWith("(beyond the view's reach)"));
    explorer.go_to("0", 6);
    QVERIFY(explorer.readout().startsWith("trace  x = 0  f(x) = 0  f′(x) = 3"));
    QCOMPARE(explorer.copied_values(), QStringLiteral("0\t0\t3"));
    // From key point to key point in view, each named as the marker stands on it; none beyond the last.
    explorer.go_to("-1.639187043175945", 6);
    QVERIFY(explorer.trace_to_key_point(1, 6).line.startsWith("inflection, x minus 0.879"));
    QVERIFY(explorer.trace_to_key_point(1, 6).line.startsWith("root, x 0, f 0, slope 3."));
    QCOMPARE(explorer.trace_to_key_point(-1, 6).line.left(10), QStringLiteral("inflection"));
    explorer.go_to("0.3", 6);
    QVERIFY(explorer.trace_to_key_point(-1, 6).line.startsWith("root, x 0"));
    explorer.go_to("8", 6);
    QCOMPARE(explorer.trace_to_key_point(1, 6).line, QStringLiteral("No key point right of the marker in view."));
    explorer.go_to("0", 6);
    QCOMPARE(explorer.end_trace().line, QStringLiteral("Trace off."));
    explorer.toggle_key_points();
    explorer.toggle_numbers();
    explorer.plot({"-9", "9", "-9", "9", "100"}, PlotMode::line, 7);
    QVERIFY(explorer.picture().marks && explorer.key_points_on() && !explorer.picture().numbers);
    explorer.pointer(QPointF(236.2, 356.1));  // 0.3 pixels from the minimum's mark
    QCOMPARE(explorer.readout(), QStringLiteral("minimum  x = -1.639187043175945  f(x) = -7.476201925927492"));
  }

  // Back and forward through views at any depth, exactly; a burst is one entry.
  void history() {
    Explorer explorer(kStartBoxes);
    for (int i = 0; i < 40; ++i) explorer.wheel({0, 120}, {100, 300}, ZoomAxes::both, 10 * i);  // one burst
    const Bounds deep = explorer.view();
    explorer.key(ViewKey::left, 5000);
    explorer.back();
    QCOMPARE(explorer.view(), deep);
    explorer.back();
    QCOMPARE(explorer.view(), (Bounds{-9, 9, -9, 9}));
    explorer.forward();
    QCOMPARE(explorer.view(), deep);
    QCOMPARE(explorer.back().line, QStringLiteral("x from minus 9 to 9, y from minus 9 to 9."));
  }

  void outward_and_limits_data() {
    test::table<Bounds, bool, QString>({"view", "within", "boxes"}, {
        {"whole numbers stay", {-9, 9, -9, 9}, true, "-9 9 -9 9"}, {"outward", {-7.2, 7.2, 0.1, 0.2}, true, "-8 8 0 1"},
        {"the number range", {-32768, 32767, -32768, 32767}, true, "-32768 32767 -32768 32767"},
        {"past the range", {-32769, 0, 0, 1}, false, "-32768 0 0 1"}, {"deep, still a unit apart", {3, 3 + 1e-9, 5, 5 + 1e-9}, true, "3 4 5 6"},
        {"narrower than a pixel's doubles", {3, 3 + 1e-14, 0, 1}, false, "3 4 0 1"}, {"not ascending", {1, 0, 0, 1}, false, "1 2 0 1"}});
  }
  void outward_and_limits() {
    const auto [view, within, boxes] = row<Bounds, bool, QString>({"view", "within", "boxes"});
    QCOMPARE(within_limits(view), within);
    const RoundedRange r = outward(view);
    QCOMPARE(QStringLiteral("%1 %2 %3 %4").arg(r.x1r).arg(r.x2r).arg(r.y1r).arg(r.y2r), boxes);
  }

  // One sequence of a touchpad's steps: each row's notches follow from the rows before.
  void wheel_notches() {
    WheelNotches wheel;
    const std::pair<int, int> rows[] = {{120, 1}, {-240, -2}, {50, 0}, {50, 0}, {50, 1}, {-60, 0}, {-150, -1}};
    for (const auto& [angle, notches] : rows) QCOMPARE(wheel.add(angle), notches);  // a touchpad's fine steps add up
  }

  void coordinates_data() {
    test::table<Bounds, QPointF, QString>({"view", "pixel", "text"}, {
        {"the origin at the start-up", {-9, 9, -9, 9}, {289, 194.5}, "x = 0.00   y = 0.00   f(x) = 0.00"},
        {"the minimum's column, the bottom row", {-9, 9, -9, 9}, {236, 389}, "x = -1.65   y = -9.00   f(x) = -7.48"},
        {"3.886 tall: a pixel just under a hundredth, three digits", {-9, 9, 0, 3.886}, {289, 389}, "x = 0.00   y = 0.000   f(x) = 0.000"},
        {"a unit wide: three digits", {-2, -1, -8, -7}, {0, 0}, "x = -2.000   y = -7.000   f(x) = -6.000"},
        {"1e-9 wide: twelve", {1, 1 + 1e-9, 5, 5 + 1e-9}, {0, 0}, "x = 1.000000000000   y = 5.000000001000   f(x) = 3.000000000000"},
        {"the widest: none, f in powers of ten", {-32768, 32767, -32768, 32767}, {0, 0}, "x = -32768   y = 32767   f(x) = 1.15288632e+18"}});
  }
  void coordinates() {
    const auto [view, pixel, text] = row<Bounds, QPointF, QString>({"view", "pixel", "text"});
    QCOMPARE(coordinates_text(view, pixel), text);
  }

  // [ and ]: H's sweep half or twice as long, 0.75 to 48 seconds, each change said, and the ends.
  void sweep_lengths() {
    Explorer explorer(kStartBoxes);
    QCOMPARE(explorer.sweep_seconds(), 3.0);
    const std::tuple<int, double, const char*> presses[] = {
        {-1, 1.5, "Sweep of 1.5 seconds."}, {-1, 0.75, "Sweep of 0.75 seconds."},
        {-1, 0.75, "The sweep is already as short as it goes: 0.75 seconds."}, {1, 1.5, "Sweep of 1.5 seconds."},
        {1, 3, "Sweep of 3 seconds."}, {1, 6, "Sweep of 6 seconds."}, {1, 12, "Sweep of 12 seconds."},
        {1, 24, "Sweep of 24 seconds."}, {1, 48, "Sweep of 48 seconds."}, {1, 48, "The sweep is already as long as it goes: 48 seconds."}};
    for (const auto& [direction, seconds, said] : presses) {
      QCOMPARE(explorer.change_sweep(direction).line, QString(said));
      QCOMPARE(explorer.sweep_seconds(), seconds);
    }
  }

  // H's sweep, or why there is none: its length (frames) and what is said as it starts; Shift+H from the marker.
  void sweeps_data() {
    columns<QString, QString, bool, qint64, QString>({"boxes_mode", "marker", "from_marker", "frames", "said"});
    const QString whole = "Playing the curve from x minus 9 to 9, low at y minus 9, high at y 9.";
    QTest::newRow("by line") << "line" << "" << false << qint64(132300) << whole;
    QTest::newRow("the frame alone") << "frame" << "" << false << qint64(0) << "Nothing to hear yet: plot by line or by point first.";
    QTest::newRow("a negative clarity") << "clarity -5" << "" << false << qint64(0) << "Nothing to hear: a clarity of -5 takes no sample.";
    QTest::newRow("no marker") << "line" << "" << true << qint64(0) << "No marker: T starts the trace, then Shift+H plays from it.";
    QTest::newRow("from the marker at 0: half the view, half the time")
        << "line" << "0" << true << qint64(66150) << "Playing the curve from x 0 to 9, low at y minus 9, high at y 9.";
    QTest::newRow("a marker, H: the whole view") << "line" << "1" << false << qint64(132300) << whole;
  }
  void sweeps() {
    const auto [boxes_mode, marker, from_marker, frames, said] =
        row<QString, QString, bool, qint64, QString>({"boxes_mode", "marker", "from_marker", "frames", "said"});
    BoxTexts boxes = kStartBoxes;
    if (boxes_mode == "clarity -5") boxes.clarity = "-5";
    Explorer explorer(kStartBoxes);
    explorer.plot(boxes, boxes_mode == "frame" ? PlotMode::frame_only : PlotMode::line, 0);
    if (!marker.isEmpty()) explorer.toggle_trace(0), explorer.go_to(marker, 0);
    const auto [sound, line] = explorer.sweep(from_marker);
    QCOMPARE(line, said);
    QCOMPARE(sound ? sound->frames() : 0, frames);
  }

  // Key points closer than their cues are said to be; R takes the reference tone out of the sweep, and back; G
  // puts ticks in, and out.
  void crowded_and_reference() {
    Explorer wide = at({-300, 300, -10, 10});  // (and not when they are apart: test_key_points.cpp)
    QVERIFY(wide.sweep(false).line.endsWith(" Key points close together: their cues follow one another."));
    const auto heard = [](const Explorer& explorer) { return wav_file(*explorer.sweep(false).sound); };
    const auto with = heard(wide);
    QCOMPARE(wide.toggle_reference().line, QStringLiteral("Reference tone at y = 0 off."));
    QVERIFY(heard(wide) != with);
    QCOMPARE(wide.toggle_reference().line, QStringLiteral("Reference tone at y = 0 on."));
    QVERIFY(heard(wide) == with);
    QVERIFY(wide.sweep(false).sound->ticks().isEmpty());  // G: off at the start
    QCOMPARE(wide.toggle_ticks().line, QStringLiteral("Grid ticks on."));
    QCOMPARE(wide.sweep(false).sound->ticks().size(), 30);  // its grid: every 20 units, 0 left out
    QCOMPARE(wide.toggle_ticks().line, QStringLiteral("Grid ticks off."));
  }
};

QTEST_GUILESS_MAIN(TestView)
#include "test_view.moc"
