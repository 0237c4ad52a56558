// Handles travel as 32-bit values (the contract's Longs, the window tree's Hwnd, the registry's
// process and GDI handles): the one place that turns them back and forth.
#pragma once

#include <windows.h>

#include <cstdint>

namespace parlix {

template <typename H>
[[nodiscard]] std::uint32_t ToValue(H handle) noexcept {
    return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(handle));
}
template <typename H>
[[nodiscard]] H FromValue(std::uint32_t value) noexcept {
    return reinterpret_cast<H>(static_cast<std::uintptr_t>(value));
}

[[nodiscard]] inline HWND Window(std::uint32_t v) noexcept { return FromValue<HWND>(v); }
[[nodiscard]] inline std::uint32_t Value(HWND w) noexcept { return ToValue(w); }

}  // namespace parlix
