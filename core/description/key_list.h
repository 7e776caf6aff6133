#pragma once
// Every key of the plot area, grouped, as F1 shows it and a screen reader reads it: the one list the help box, the
// manual page and the README agree with.

#include <QString>

namespace vesk {

// "Explore: …" then "Study: …", "Hear: …", "Files and the window: …", one key a line.
QString plot_area_keys();

}  // namespace vesk
