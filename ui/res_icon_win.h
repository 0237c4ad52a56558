// LoadResIcon (modIco): one icon image straight from an RT_ICON-style resource of a module,
// checked against the byte size an image of the asked size and depth must have. The main
// program uses it for its small icon, RT_ICON 2 of Parlix.dll at 16 x 16 and 32 bits.
#pragma once

#include "base/scoped_win.h"

#include <windows.h>

namespace parlix {

// No icon (empty) when the resource is missing or its size does not match size and depth.
[[nodiscard]] ScopedIcon LoadResIcon(HMODULE module, int type, int name, int size, int depth);

}  // namespace parlix
