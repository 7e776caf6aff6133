#pragma once

#include <QIcon>

namespace vesk {

// Whether the toolkit can open a window here: a display for the X11 or Wayland
// platform, or a platform chosen explicitly (offscreen tests). Asked before the
// toolkit starts, which otherwise aborts with a trace when there is none.
bool graphical_session_available();

// The reverse-domain id that names the desktop entry, the icon and the metadata.
inline constexpr const char* kApplicationId = "com.example.VeskPlot";

// The application icon, for every window of the program.
QIcon application_icon();

// Names the program after its desktop entry, so desktops match its windows to
// the launcher, and gives every window the application icon.
void set_application_identity();

}  // namespace vesk
