#pragma once
// Where the program's modules are (the window's part, the sound's): $VESK_PLOT_MODULES when set (a build tree's
// tests), else beside the executable, else ../lib/ARCH/vesk-plot from it, as installed.

#include <QByteArray>

namespace vesk {

// The module's whole name where it is there; the first place looked at where it is nowhere.
QByteArray module_path(const QByteArray& file_name);

}  // namespace vesk
