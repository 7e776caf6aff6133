#pragma once

#include <QFont>
#include <functional>

namespace vesk {

// The font of the program's windows. The layouts were made for a narrow
// 8-point system font: a condensed face at 11 pixels keeps every caption in its
// place. Where the desktop lacks that face (or substitutes a wider one), the
// first of a few sans-serif faces and sizes at which `fits` holds, measured
// with the toolkit's font metrics.
QFont window_font(const std::function<bool(const QFont&)>& fits);
// The first of those: what the windows use where the desktop has it.
QFont preferred_window_font();

}  // namespace vesk
