#pragma once
// Starting the toolkit where it may not be able to open a window. Without a
// guard a failed start ends in the toolkit's abort, blaming a missing plugin
// whatever the cause, or in silence, or never ends.

#include <QStringList>

namespace vesk {

// Whether the toolkit could open a window here: a display for the X11 or
// Wayland platform, or a platform chosen explicitly (-platform, or
// QT_QPA_PLATFORM; the offscreen tests). Asked before the toolkit starts.
bool graphical_session_available(const QStringList& arguments);

// Around the toolkit's start. When it fails, the program ends with status 1
// and one line on standard error that names what failed: a platform that is
// not installed (with those that are), no Wayland compositor answering at
// WAYLAND_DISPLAY, no X server answering at DISPLAY; the toolkit's own warnings
// follow it. A display that accepts the connection and never answers ends the
// start after kStartSeconds. When the start succeeds, the warnings held back
// meanwhile are passed on.
inline constexpr int kStartSeconds = 8;  // a display that answers at all does so far sooner
void begin_guarded_start(const QStringList& arguments);
void end_guarded_start();

}  // namespace vesk
