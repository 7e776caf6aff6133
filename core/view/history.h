#pragma once
// The views a user went through, to go back and forward as a browser does.
// Each change of view is one entry; a burst of steps of one kind counts once:
// wheel notches, pinches or a key held down that follow each other within
// kBurstMs, or the moves of one drag. A new change after going back drops the
// entries ahead. The oldest entries go past kMostEntries.

#include <QtGlobal>
#include <deque>
#include <optional>

#include "plot/plot_request.h"

namespace vesk {

enum class Gesture { wheel, key, pinch, drag, other };

class ViewHistory {
 public:
  static constexpr std::size_t kMostEntries = 300;
  static constexpr qint64 kBurstMs = 600;

  explicit ViewHistory(const Bounds& start) : entries_{start} {}

  // The view after a step of `gesture` at `now_ms` (a steady clock).
  void record(const Bounds& view, Gesture gesture, qint64 now_ms);
  // The next step starts a new entry, whatever it is (a drag ended).
  void end_burst() { last_ = Gesture::other; }
  std::optional<Bounds> back();
  std::optional<Bounds> forward();

 private:
  std::deque<Bounds> entries_;
  std::size_t current_ = 0;
  Gesture last_ = Gesture::other;
  qint64 last_ms_ = 0;
};

}  // namespace vesk
