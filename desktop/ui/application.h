#pragma once
// What every window of the program shares with the desktop: the program's
// identity and icon, and placement.

#include <QIcon>

class QWidget;

namespace vesk {

// The reverse-domain id that names the desktop entry, the icon and the metadata.
inline constexpr const char* kApplicationId = "com.example.VeskPlot";

QIcon application_icon();

// Names the program after its desktop entry, so desktops match its windows to
// the launcher, and gives every window the application icon.
void set_application_identity();

// Centres a top-level window on the screen it is on. Wayland clients cannot
// place their windows; there the compositor does.
void centre_on_screen(QWidget* window);

}  // namespace vesk
