// Process-wide things every window builder needs. One per process, made by main.
#pragma once

#include "base/scoped_win.h"

#include <string>

namespace fakeim {

struct Environment {
    HINSTANCE instance = nullptr;
    std::wstring fetionSuffix;
    parlix::ScopedModule richEdit20; // RichEdit20A, RichEdit20W
    parlix::ScopedModule richEdit10; // RICHEDIT
    parlix::ScopedFont font;         // for every text the windows show (CJK capable)
    int placed = 0;                  // windows placed so far, for the cascade

    // The rectangle (x, y, right, bottom) for the next new top-level window of that size.
    RECT NextPlace(int width, int height);
};

// Loads the rich-edit libraries, registers the simulated clients' classes and makes the
// font. False when a class could not be registered.
[[nodiscard]] bool Prepare(Environment& env, HINSTANCE instance);

} // namespace fakeim
