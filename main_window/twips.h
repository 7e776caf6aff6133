#pragma once
// Window layouts are kept in twips (1/1440 inch), as they were designed; this is
// the one place that turns them into pixels.

#include <QByteArray>
#include <QRect>
#include <cstddef>

namespace vesk {

inline constexpr int kTwipsPerPixel = 15;  // 96 dots per inch

struct TwipsRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

constexpr int to_pixels(int twips) { return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel; }

inline QRect to_pixels(TwipsRect r) {
  return QRect(to_pixels(r.left), to_pixels(r.top), to_pixels(r.width), to_pixels(r.height));
}

// One row of a window's layout table: a control's name and its place.
struct Placement {
  const char* name;
  TwipsRect place;
};

// The place of `name` in `layout`, in pixels.
template <std::size_t N>
QRect placement_of(const Placement (&layout)[N], const char* name) {
  for (const Placement& p : layout)
    if (qstrcmp(p.name, name) == 0) return to_pixels(p.place);
  Q_UNREACHABLE();
}

}  // namespace vesk
