#include "view/history.h"

namespace vesk {

void ViewHistory::record(const Bounds& view, Gesture gesture, qint64 now_ms) {
  const bool burst = gesture != Gesture::other && gesture == last_ &&
                     (gesture == Gesture::drag || now_ms - last_ms_ <= kBurstMs);
  last_ms_ = now_ms;
  if (burst) {
    entries_[current_] = view;
    return;
  }
  // A step that changed nothing starts no burst: the next one would overwrite the entry before it.
  last_ = view == entries_[current_] ? Gesture::other : gesture;
  if (view == entries_[current_]) return;
  entries_.erase(entries_.begin() + qsizetype(current_) + 1, entries_.end());
  entries_.push_back(view);
  if (entries_.size() > kMostEntries) entries_.pop_front();
  current_ = entries_.size() - 1;
}

std::optional<Bounds> ViewHistory::back() {
  end_burst();
  if (current_ == 0) return std::nullopt;
  return entries_[--current_];
}

std::optional<Bounds> ViewHistory::forward() {
  end_burst();
  if (current_ + 1 >= entries_.size()) return std::nullopt;
  return entries_[++current_];
}

}  // namespace vesk
