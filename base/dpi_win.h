// The dpi a window is drawn at, and what depends on it, on every Windows version the program
// runs on: the per-monitor functions of Windows 10 are looked up at run time, and without them
// the screen's dpi (the system's) is the answer.
#pragma once

#include "base/scoped_win.h"

#include <windows.h>

#include <string_view>

namespace parlix {

// WM_DPICHANGED (0x02E0), named here for headers that predate it.
inline constexpr UINT kWmDpiChanged = 0x02E0;

// The dpi of the window's monitor when the program is per-monitor aware, else the system's.
[[nodiscard]] int WindowDpi(HWND window) noexcept;
// The dpi the system had when the user signed in (the same on every monitor).
[[nodiscard]] int SystemDpi() noexcept;
// GetSystemMetrics for a dpi (icon sizes, frame widths).
[[nodiscard]] int SystemMetricForDpi(int index, int dpi) noexcept;
// The outer size of a window whose client area is `client`, at a dpi.
[[nodiscard]] RECT AdjustedWindowRect(const RECT& client, DWORD style, DWORD exStyle, int dpi) noexcept;

// A font of `points` size at a dpi (negative height: the character height, as point sizes are).
[[nodiscard]] ScopedFont PointFont(std::wstring_view face, int points, int weight, int charset, int dpi);
// The system's message-box font at a dpi.
[[nodiscard]] ScopedFont MessageFont(int dpi);
// An icon of a module's icon group at size x size pixels (the group's best image for it).
[[nodiscard]] ScopedIcon LoadIconOfSize(HMODULE module, int id, int size);

}  // namespace parlix
