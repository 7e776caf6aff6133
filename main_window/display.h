#pragma once

namespace vesk {

// Whether the toolkit can open a window here: a display for the X11 or Wayland
// platform, or a platform chosen explicitly (offscreen tests). Asked before the
// toolkit starts, which otherwise aborts with a trace when there is none.
bool graphical_session_available();

}  // namespace vesk
