// The message-only window of class kControlClass that takes commands at run time.
#pragma once

#include <windows.h>

namespace fakeim {

struct Environment;

// The caller owns the window; env must outlive it.
[[nodiscard]] HWND CreateControlWindow(Environment& env);

} // namespace fakeim
