#include "about/fade.h"

namespace vesk {

Fade::Step Fade::start() {
  fading_in_ = true;
  fade_level_ = kStartLevel;
  timer_enabled_ = true;
  return tick();
}

Fade::Step Fade::tick() {
  if (fading_in_) {
    ++fade_level_;
    if (fade_level_ < kFadeInStop) return {fade_level_, false};
    fading_in_ = false;
    timer_enabled_ = false;
    return {};
  }
  --fade_level_;
  if (fade_level_ > kHideLevel) return {fade_level_, false};
  timer_enabled_ = false;
  return {std::nullopt, true};
}

Fade::Step Fade::close_clicked() {
  timer_enabled_ = true;
  return tick();
}

}  // namespace vesk
