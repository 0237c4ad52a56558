// The automation object a plugin hands the host for its settings page (GetProperty): hWnd,
// Move(left, top, width, height) in twips (15 to a pixel, as the host places it) and Show. It
// reaches the page window only through `window`, which answers null once the page is gone.
#pragma once

#include "base/com_win.h"

#include <windows.h>

#include <functional>

namespace parlix::plugins {

[[nodiscard]] ComPtr<IDispatch> MakePageForm(std::function<HWND()> window);

}  // namespace parlix::plugins
