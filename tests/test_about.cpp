// The About window: the fade as a state machine, then the window itself in the
// offscreen platform, which cannot make windows translucent: there the window
// paints its content with the fade's alpha, as on Wayland.

#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <cmath>
#include <vector>

#include "about/frm_about.h"
#include "test_support.h"

using namespace vesk;
using namespace vesk::test;

namespace {

// Runs ticks while the timer is enabled: the levels applied after `applied`, and whether a tick hid the window.
std::pair<std::vector<int>, bool> run_timer(Fade& fade, std::vector<int> applied = {}) {
  bool hidden = false;
  while (fade.timer_enabled()) {
    const Fade::Step step = fade.tick();
    if (step.apply) applied.push_back(*step.apply);
    hidden = hidden || step.hide;
  }
  return {applied, hidden};
}

std::vector<int> levels(int from, int to) {
  std::vector<int> out{from};
  while (out.back() != to) out.push_back(out.back() + (from < to ? 1 : -1));
  return out;
}

void click_close(FrmAbout* about) {
  QWidget* picture = about->findChild<QWidget*>("Image2");
  QTest::mouseClick(picture, Qt::LeftButton, {}, picture->rect().center());
}

// The window as it is painted, over transparency.
QImage painted(FrmAbout* about) {
  QImage frame(about->size(), QImage::Format_ARGB32);
  frame.fill(Qt::transparent);
  about->render(&frame, {}, {}, QWidget::DrawChildren);
  return frame;
}
bool painted_with_alpha(FrmAbout* about, int level) { return std::abs(qAlpha(painted(about).pixel(150, 190)) - level) <= 1; }

}  // namespace

class TestAbout : public QObject {
  Q_OBJECT

  std::unique_ptr<FrmMain> window;

  // Clicks cmd_about and runs `while_shown` once the About window is up; the
  // click returns when the About window has been hidden.
  template <typename Body>
  void open_about(Body while_shown) {
    QTimer::singleShot(0, this, [this, while_shown] {
      QTRY_VERIFY(window->about_window() && window->about_window()->isVisible());
      while_shown(window->about_window());
      if (QTest::currentTestFailed()) window->about_window()->hide();  // so the test can report
    });
    window->findChild<QPushButton*>("cmd_about")->click();
  }

 private slots:
  void fade_sequence() {
    Fade fade;
    QCOMPARE(fade.start(), (Fade::Step{71, false}));  // before the window is first shown
    auto [applied, hidden] = run_timer(fade, {71});
    QCOMPARE(applied, levels(71, 249));  // the 179th timer tick reaches 250 and applies nothing
    QVERIFY(!hidden);
    QCOMPARE(fade.close_clicked(), (Fade::Step{249, false}));
    std::tie(applied, hidden) = run_timer(fade, {249});
    QCOMPARE(applied, levels(249, 76));
    QVERIFY(hidden);
    QCOMPARE(fade.fade_level(), 75);
    // A later showing fades in afresh; a click while fading in only adds a tick.
    QCOMPARE(fade.start(), (Fade::Step{71, false}));
    QCOMPARE(fade.close_clicked(), (Fade::Step{72, false}));
    std::tie(applied, hidden) = run_timer(fade);
    QCOMPARE(applied, levels(73, 249));
    QVERIFY(!hidden);
  }

  void init() { QVERIFY((window = shown_window())); }
  void cleanup() { window.reset(); }

  void fades_in_and_out_modally() {
    QVERIFY(!window->about_window());  // created on first use only
    open_about([this](FrmAbout* about) {
      QCOMPARE(QGuiApplication::modalWindow(), about->windowHandle());  // the main window is blocked
      QCOMPARE(about->windowHandle()->transientParent(), window->windowHandle());
      QVERIFY(about->parentWidget() == nullptr && about->size() == QSize(298, 204));
      QVERIFY(about->fade().fading_in() && about->fade().fade_level() < 200);
      QVERIFY(painted_with_alpha(about, about->fade().fade_level()));
      click_close(about);  // while fading in: no fade-out
      QVERIFY(about->fade().fading_in());
      QTRY_COMPARE(about->fade().fade_level(), 250);
      QVERIFY(painted_with_alpha(about, 249));
      click_close(about);
      QVERIFY(!about->fade().fading_in());
      QTRY_VERIFY(about->fade().fade_level() < 200 && about->isVisible());
    });
    FrmAbout* about = window->about_window();
    QVERIFY(!about->isVisible());
    QVERIFY(painted_with_alpha(about, 76));  // the last level applied
    QVERIFY(QGuiApplication::modalWindow() == nullptr);
    // The picture fills the window to its edges, the row below it included.
    QCOMPARE(painted(about).pixel(150, 203), painted(about).pixel(150, 202));
  }
};

QTEST_MAIN(TestAbout)
#include "test_about.moc"
