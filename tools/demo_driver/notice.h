// The demo's notice scenes: the notification plugin shows a notice at a chosen screen position.
#pragma once

#include <string>

namespace demo {

// Loads the installed notification plugin into this process with [Murmelo] msg_Position and
// msg_Direction set in the program folder's set.ini (the current folder), shows a notice, waits
// until it has slid in and writes a screenshot to png. The two keys are removed again. 0 when done.
int ShowNoticeAt(int position, int direction, const std::wstring& png);

// The plugin's settings page in a frame of its own, as the settings dialog will hold it; a
// screenshot of the frame to png. 0 when done.
int ShowNoticeSettings(const std::wstring& png);

}  // namespace demo
