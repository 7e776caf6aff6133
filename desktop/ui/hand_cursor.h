#pragma once

#include <QCursor>

namespace vesk {

// The pointing hand shown over the plot area and the About window's links and
// close picture: 32 × 32 device-independent pixels, hot spot (6, 0) at the
// fingertip. A picture with alpha, which X11 and Wayland both show (Wayland
// draws no cursor made of a 1-bit bitmap and mask); drawn at twice the size
// for screens scaled by 1.5 or more, so it stays crisp there.
QCursor hand_cursor(qreal device_pixel_ratio);

}  // namespace vesk
