// Bounded reads of window titles and class names. Any length and content (empty, very long,
// lone surrogates, embedded NUL) yields a string, never a fault.
#pragma once

#include <windows.h>

#include <string>

namespace parlix {

// Titles are read into a 260-character buffer and cut to what was copied.
inline constexpr int kTitleBuffer = 260;
inline constexpr int kClassBuffer = 260;

[[nodiscard]] std::wstring WindowTitle(HWND hwnd);
[[nodiscard]] std::wstring WindowClass(HWND hwnd);
[[nodiscard]] std::wstring ModuleDirectory(HMODULE module = nullptr);

// Wide text to and from a code page (CP_ACP by default; 936 on the target systems).
[[nodiscard]] std::wstring FromCodePage(std::string_view text, UINT codePage = CP_ACP);
[[nodiscard]] std::string ToCodePage(std::wstring_view text, UINT codePage = CP_ACP);

}  // namespace parlix
