// Mouse messages to a window of another program, as its procedure receives them from the
// system: a press, moves with the button held, a release, each sent and answered in turn (with a
// deadline), so the window has handled one before the next comes. The cursor stays where it is:
// moving it would queue moves of its own among these.
#pragma once

#include <windows.h>

#include <initializer_list>

namespace parlix::test {

// Press at the first point (client coordinates of window), moves through all points, release at
// the last; button is MK_LBUTTON, MK_RBUTTON or MK_MBUTTON.
bool SendMouseDrag(HWND window, std::initializer_list<POINT> path, WPARAM button = MK_LBUTTON);
// A left click in the middle of window.
bool SendMouseClick(HWND window);

}  // namespace parlix::test
