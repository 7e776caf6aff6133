#pragma once
// What every window of the program shares with the desktop: whether there is a
// graphical session at all, the program's identity and icon, and placement.

#include <QIcon>

class QWidget;

namespace vesk {

// Whether the toolkit could open a window here: a display for the X11 or
// Wayland platform, or a platform chosen explicitly (offscreen tests). Asked
// before the toolkit starts, which otherwise aborts with a trace when there is none.
bool graphical_session_available();

// Around the toolkit's start: a session variable that names a display nobody
// answers on (a stale DISPLAY or WAYLAND_DISPLAY) ends the program with one
// line on standard error and status 1, instead of the toolkit's abort with a
// multi-line trace. The platform's warnings are held back until the start
// succeeded, then passed on.
void begin_guarded_start();
void end_guarded_start();

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
