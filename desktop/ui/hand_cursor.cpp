#include "ui/hand_cursor.h"

#include <QImage>
#include <QPixmap>

namespace vesk {
namespace {

// '#' black, '.' white, ' ' transparent; 32 × 32, the rows below are empty.
// Drawn here rather than decoded from a picture: the window's first showing
// waits for no image reader.
constexpr const char* kHand[] = {
    "     ##",
    "    #..#",
    "    #..#",
    "    #..#",
    "    #..#",
    "    #..###",
    "    #..#..###",
    "    #..#..#..##",
    "    #..#..#..#.#",
    "##  #..#..#..#..#",
    "#..##..........#.#",
    "#...#............#",
    " #...............#",
    "  #..............#",
    "  #..............#",
    "   #.............#",
    "   #............#",
    "    #...........#",
    "    #..........#",
    "     #.........#",
    "     ###########",
};
constexpr int kSize = 32;

}  // namespace

QCursor hand_cursor(qreal device_pixel_ratio) {
  const int scale = device_pixel_ratio >= 1.5 ? 2 : 1;  // each pixel a square, so it stays crisp
  QImage picture(kSize * scale, kSize * scale, QImage::Format_ARGB32);
  picture.fill(Qt::transparent);
  for (int y = 0; y < int(std::size(kHand)); ++y)
    for (int x = 0; kHand[y][x] != '\0'; ++x)
      if (kHand[y][x] != ' ')
        for (int dy = 0; dy < scale; ++dy)
          for (int dx = 0; dx < scale; ++dx)
            picture.setPixel(x * scale + dx, y * scale + dy, kHand[y][x] == '#' ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
  QPixmap pixmap = QPixmap::fromImage(picture);
  pixmap.setDevicePixelRatio(scale);
  return QCursor(pixmap, 6, 0);
}

}  // namespace vesk
