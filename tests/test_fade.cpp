#include <QTest>
#include <vector>

#include "about/fade.h"

using vesk::Fade;

namespace {

// Runs timer ticks while the timer is enabled; the levels they applied, and
// whether the last one hid the window.
struct Run {
  std::vector<int> applied;
  bool hidden = false;
  int ticks = 0;
};

void record(Run& run, const Fade::Step& step) {
  if (step.apply) run.applied.push_back(*step.apply);
  run.hidden = run.hidden || step.hide;
}

Run run_timer(Fade& fade) {
  Run run;
  while (fade.timer_enabled()) {
    record(run, fade.tick());
    ++run.ticks;
  }
  return run;
}

std::vector<int> levels(int from, int to) {
  std::vector<int> out;
  for (int level = from; from <= to ? level <= to : level >= to; level += from <= to ? 1 : -1)
    out.push_back(level);
  return out;
}

}  // namespace

class TestFade : public QObject {
  Q_OBJECT

 private slots:
  void fade_in_applies_71_to_249_then_rests() {
    Fade fade;
    Run run;
    record(run, fade.start());
    QCOMPARE(run.applied, std::vector<int>{71});  // before the window is first shown
    QVERIFY(fade.timer_enabled());
    const Run timer = run_timer(fade);
    run.applied.insert(run.applied.end(), timer.applied.begin(), timer.applied.end());
    QCOMPARE(run.applied, levels(71, 249));
    QCOMPARE(timer.ticks, 179);
    QVERIFY(!timer.hidden);
    QVERIFY(!fade.timer_enabled());
    QVERIFY(!fade.fading_in());
    QCOMPARE(fade.fade_level(), 250);
  }

  void fade_out_applies_249_to_76_then_hides() {
    Fade fade;
    fade.start();
    run_timer(fade);
    Run run;
    record(run, fade.close_clicked());
    QCOMPARE(run.applied, std::vector<int>{249});
    const Run timer = run_timer(fade);
    run.applied.insert(run.applied.end(), timer.applied.begin(), timer.applied.end());
    QCOMPARE(run.applied, levels(249, 76));
    QCOMPARE(timer.ticks, 174);
    QVERIFY(timer.hidden);
    QVERIFY(!fade.timer_enabled());
    QCOMPARE(fade.fade_level(), 75);
  }

  void click_during_fade_in_only_adds_a_tick() {
    Fade fade;
    fade.start();
    for (int i = 0; i < 10; ++i) fade.tick();  // level 81
    const Fade::Step step = fade.close_clicked();
    QCOMPARE(step, (Fade::Step{82, false}));
    QVERIFY(fade.fading_in());
    const Run rest = run_timer(fade);
    QCOMPARE(rest.applied, levels(83, 249));
    QVERIFY(!rest.hidden);
    QCOMPARE(fade.fade_level(), 250);  // resting, not fading out
  }

  void later_showing_starts_a_fresh_fade_in() {
    Fade fade;
    fade.start();
    run_timer(fade);
    fade.close_clicked();
    run_timer(fade);
    QCOMPARE(fade.start(), (Fade::Step{71, false}));
    QVERIFY(fade.fading_in());
    QVERIFY(fade.timer_enabled());
    QCOMPARE(run_timer(fade).applied, levels(72, 249));
  }
};

QTEST_GUILESS_MAIN(TestFade)
#include "test_fade.moc"
