#pragma once

// The few X11 questions the binding asks the display directly. Every function answers
// sensibly when the program does not run on X11 (offscreen, Wayland).

#include <cstdint>

namespace X11 {

// The atom of the name; 0 off X11.
uint32_t atom(const char* name);
// Whether a window manager runs that takes full-screen requests (_NET_WM_STATE_FULLSCREEN
// in the root window's _NET_SUPPORTED). Off X11 the platform itself takes them: true.
bool windowManagerDoesFullScreen();

} // namespace X11
