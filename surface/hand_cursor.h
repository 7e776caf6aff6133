#pragma once

#include <QCursor>

namespace vesk {

// The program's pointing hand, index finger up, hot spot on the fingertip (6, 0).
QCursor hand_cursor();

}  // namespace vesk
