#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "main_window/frm_main.h"
#include "plot/curve.h"
#include "plot/frame.h"
#include "surface/plot_area.h"
#include "test_support.h"

using namespace vesk;
using namespace vesk::test;

namespace {

struct Inputs {
  QString x1, x2, y1, y2, clarity;
};

const QImage& plot_image(FrmMain& window) { return window.plot_area().surface().image(); }

QImage expected_plot(RoundedRange range, int clarity, PlotMode mode) {
  Surface surface({579, 390}, kActiveTitleText);
  draw_frame(surface, range);
  if (mode == PlotMode::line) plot_by_line_each_sample(surface, range, clarity);
  else plot_by_point_each_sample(surface, range, clarity);
  return surface.image();
}

}  // namespace

Q_DECLARE_METATYPE(Inputs)

class TestPlotCommands : public QObject {
  Q_OBJECT

  FrmMain* window = nullptr;

  void enter(const Inputs& in) {
    const std::pair<const char*, QString> boxes[] = {
        {"txt_x1", in.x1}, {"txt_x2", in.x2}, {"txt_y1", in.y1}, {"txt_y2", in.y2}, {"txt_clarity", in.clarity}};
    for (const auto& [name, text] : boxes) window->findChild<QLineEdit*>(name)->setText(text);
  }
  QPushButton* button(PlotMode mode) {
    return window->findChild<QPushButton*>(mode == PlotMode::line ? "cmd_plotline" : "cmd_plotpoint");
  }

 private slots:
  void init() {
    window = new FrmMain;
    window->show();
    QVERIFY(QTest::qWaitForWindowActive(window));
  }
  void cleanup() { delete window; }

  void empty_range_message_data() {
    QTest::addColumn<Inputs>("inputs");
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("icon");
    const auto line = int(PlotMode::line), point = int(PlotMode::point);
    const auto warning = int(QMessageBox::Warning), none = int(QMessageBox::NoIcon);
    QTest::newRow("line: x1 = x2") << Inputs{"5", "5", "-9", "9", "100"} << line << warning;
    QTest::newRow("point: x1 = x2") << Inputs{"5", "5", "-9", "9", "100"} << point << none;
    QTest::newRow("line: x reversed, not swapped") << Inputs{"9", "-9", "-9", "9", "100"} << line << warning;
    QTest::newRow("point: y1 = y2") << Inputs{"-9", "9", "2", "2", "100"} << point << none;
    QTest::newRow("line: empty even with clarity 0") << Inputs{"1", "0", "-9", "9", "0"} << line << warning;
    QTest::newRow("point: y reversed by a hair") << Inputs{"-9", "9", "2.0001", "2", "1"} << point << none;
  }
  void empty_range_message() {
    QFETCH(Inputs, inputs);
    QFETCH(int, mode);
    QFETCH(int, icon);
    const LineObject marker_before = window->plot_area().surface().lin_x();
    enter(inputs);
    SeenMessage seen;
    answer_next_message_box(seen);
    button(PlotMode(mode))->click();
    QVERIFY(seen.seen);
    QCOMPARE(seen.text, QStringLiteral("error : empity renge"));
    QCOMPARE(seen.title, QStringLiteral("errore"));
    QCOMPARE(int(seen.icon), icon);
    QCOMPARE(seen.buttons, 1);
    // Cleared, with only the markers left where the last frame put them.
    QCOMPARE(count_pixels(plot_image(*window), kWhitePixel), 579 * 390);
    QCOMPARE(window->plot_area().surface().lin_x().x1, marker_before.x1);
  }

  void unusable_input_is_refused_data() {
    QTest::addColumn<Inputs>("inputs");
    QTest::addColumn<QString>("named");
    QTest::newRow("bound beyond 16 bits") << Inputs{"-9", "40000", "-9", "9", "100"} << "X to box";
    QTest::newRow("bound rounds to 32768") << Inputs{"-9", "9", "-9", "32767.5", "100"} << "Y to box";
    QTest::newRow("bound below -32768") << Inputs{"-32769", "9", "-9", "9", "100"} << "X from box";
    QTest::newRow("bound too large for a double") << Inputs{"-9", "1e400", "-9", "9", "100"} << "X to box";
    QTest::newRow("clarity beyond 16 bits") << Inputs{"-9", "9", "-9", "9", "32768"} << "clarity box";
    QTest::newRow("clarity 0") << Inputs{"-9", "9", "-9", "9", "0"} << "clarity box reads as 0";
    QTest::newRow("clarity text reads 0") << Inputs{"-9", "9", "-9", "9", "abc"} << "clarity box reads as 0";
    QTest::newRow("clarity rounds to 0") << Inputs{"-9", "9", "-9", "9", "0.4"} << "clarity box reads as 0";
    QTest::newRow("x bounds round alike") << Inputs{"1.2", "1.4", "-9", "9", "100"} << "X from and X to";
    QTest::newRow("y bounds round alike") << Inputs{"-9", "9", "1.6e0", "2.4", "100"} << "Y from and Y to";
  }
  void unusable_input_is_refused() {
    QFETCH(Inputs, inputs);
    QFETCH(QString, named);
    enter(inputs);
    SeenMessage seen;
    answer_next_message_box(seen);
    button(PlotMode::line)->click();
    QVERIFY(seen.seen);
    QVERIFY2(seen.text.contains(named), qPrintable(seen.text));
    QCOMPARE(seen.icon, QMessageBox::Warning);
    QCOMPARE(count_pixels(plot_image(*window), kWhitePixel), 579 * 390);
    // The program goes on: a good plot afterwards works.
    enter({"-9", "9", "-9", "9", "100"});
    button(PlotMode::line)->click();
    QCOMPARE(plot_image(*window), expected_plot({-9, 9, -9, 9}, 100, PlotMode::line));
  }

  void access_keys_plot_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("mode");
    QTest::newRow("Alt+L") << int(Qt::Key_L) << int(PlotMode::line);
    QTest::newRow("Alt+P") << int(Qt::Key_P) << int(PlotMode::point);
  }
  void access_keys_plot() {
    QFETCH(int, key);
    QFETCH(int, mode);
    enter({"-3", "2", "-9", "9", "50"});
    const QImage expected = expected_plot({-3, 2, -9, 9}, 50, PlotMode(mode));
    QTest::keyClick(window, Qt::Key(key), Qt::AltModifier);
    QTRY_COMPARE(plot_image(*window), expected);
  }

  // x 0 … 2 by y 1 … 10: no axis in view, so every red pixel is the curve's.
  void red_only_where_the_curve_is() {
    enter({"0", "2", "1", "10", "100"});
    button(PlotMode::line)->click();
    const QImage& image = plot_image(*window);
    const Mapping& m = window->plot_area().surface().mapping();
    int red = 0;
    for (int c = 0; c < image.width(); ++c) {
      // The curve's row span from the column before to the column after: a
      // pixel line may step one column aside of the exact curve.
      double low = INFINITY, high = -INFINITY;
      for (int s = -10; s <= 10; ++s) {
        const double x = 2.0 * (c + s / 10.0) / 578;
        const double py = m.to_pixel_y(quartic(x));
        low = std::min(low, py), high = std::max(high, py);
      }
      for (int r = 0; r < image.height(); ++r) {
        const bool is_red = pixel(image, c, r) == kRedPixel;
        red += is_red;
        const bool near_curve = r >= low - 1 && r <= high + 1;
        if (is_red) QVERIFY2(near_curve, qPrintable(QStringLiteral("stray red at %1, %2").arg(c).arg(r)));
        if (!is_red && r > low + 4 && r < high - 4)
          QFAIL(qPrintable(QStringLiteral("gap in the curve at %1, %2").arg(c).arg(r)));
      }
    }
    // f(0.5) = 1.1875 lies in view: its pixel is red.
    QCOMPARE(pixel(image, 145, int(std::floor(m.to_pixel_y(quartic(0.5)) + 0.5))), kRedPixel);
    QVERIFY(red > 300);
  }

  void each_click_draws_from_scratch() {
    enter({"-3", "2", "-9", "9", "20"});
    button(PlotMode::line)->click();
    button(PlotMode::point)->click();
    QCOMPARE(plot_image(*window), expected_plot({-3, 2, -9, 9}, 20, PlotMode::point));
  }

  void negative_clarity_draws_the_frame_only() {
    enter({"-9", "9", "-9", "9", "-5"});
    button(PlotMode::point)->click();
    Surface frame({579, 390}, kActiveTitleText);
    draw_frame(frame, {-9, 9, -9, 9});
    QCOMPARE(plot_image(*window), frame.image());
  }

  void text_without_number_reads_zero() {
    enter({"abc", "1", "-9", "9", "100"});
    button(PlotMode::line)->click();
    QCOMPARE(plot_image(*window), expected_plot({0, 1, -9, 9}, 100, PlotMode::line));
  }

  void widest_range_at_clarity_1_is_clipped() {
    enter({"-32768", "32767", "-32768", "32767", "1"});
    button(PlotMode::line)->click();
    const QImage& image = plot_image(*window);
    QCOMPARE(image, expected_plot({-32768, 32767, -32768, 32767}, 1, PlotMode::line));
    // The curve stands on the x axis in the middle and leaves through the top.
    QCOMPARE(pixel(image, 289, 0), kRedPixel);
  }
};

QTEST_MAIN(TestPlotCommands)
#include "test_plot_commands.moc"
