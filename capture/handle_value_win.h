// The contract stores window handles as 32-bit values; these turn them back and forth.
#pragma once

#include "contract/im_window.h"

#include <windows.h>

#include <cstdint>

namespace parlix {

[[nodiscard]] inline HWND Window(HandleValue v) noexcept {
    return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(v));
}
[[nodiscard]] inline HandleValue Value(HWND w) noexcept {
    return static_cast<HandleValue>(reinterpret_cast<std::uintptr_t>(w));
}

}  // namespace parlix
