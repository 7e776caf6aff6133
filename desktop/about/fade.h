#pragma once
// The About window's fade as a plain state machine. The window feeds it each
// showing, the ticks of `Timer1` and the clicks on the close picture, and
// carries out what each step returns: a level to apply, or hiding.
//
// Fading in starts at 70 and each tick adds one; levels below 250 are applied,
// the tick that reaches 250 applies nothing and stops the timer, so the window
// rests at 249. Fading out subtracts one a tick; levels above 75 are applied,
// the tick that reaches 75 hides the window and stops the timer. A click on the
// close picture starts the timer and ticks once, without changing direction.

#include <optional>

namespace vesk {

class Fade {
 public:
  static constexpr int kStartLevel = 70;
  static constexpr int kFadeInStop = 250;
  static constexpr int kHideLevel = 75;

  struct Step {
    std::optional<int> apply;  // the opacity level to apply, 0 … 255
    bool hide = false;
    friend bool operator==(const Step&, const Step&) = default;
  };

  // A showing: fading in from 70 with the timer running, and one tick at once.
  Step start();
  // One tick of `Timer1`; start() and close_clicked() run one each too.
  Step tick();
  // A click on the close picture.
  Step close_clicked();

  int fade_level() const { return fade_level_; }
  bool fading_in() const { return fading_in_; }
  bool timer_enabled() const { return timer_enabled_; }

 private:
  int fade_level_ = kHideLevel;
  bool fading_in_ = false;
  bool timer_enabled_ = false;
};

}  // namespace vesk
