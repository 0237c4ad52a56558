// The clients' main windows that client discovery searches for, and decoys it must pass by.
#pragma once

#include "tools/fakeim/commands.h"

#include <windows.h>

namespace fakeim {

struct Environment;

// Null when a window could not be made.
HWND OpenMainWindow(Environment& env, const MainRequest& request);

} // namespace fakeim
