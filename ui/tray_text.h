// Texts of the notify-icon record: each one is cut to fit its fixed field, measured in bytes of
// the system code page with the ending NUL, and never inside a character (a double-byte
// character or a UTF-16 surrogate pair stays whole or goes whole).
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace parlix {

// Field sizes of the record, in bytes of system-code-page text including the NUL.
inline constexpr std::size_t kTrayTipField = 128;
inline constexpr std::size_t kTrayInfoField = 256;
inline constexpr std::size_t kTrayInfoTitleField = 64;

// Bytes one character (one UTF-16 unit, or a surrogate pair) takes in the system code page.
using CodePageWidth = std::function<std::size_t(std::wstring_view character)>;

// The longest whole-character prefix of text (up to its first NUL) whose code-page bytes plus
// the NUL fit into fieldBytes, and whose UTF-16 units plus the NUL fit too (the wide field has
// as many units as the narrow one has bytes).
[[nodiscard]] std::wstring FitTrayField(std::wstring_view text, std::size_t fieldBytes,
                                        const CodePageWidth& width);

}  // namespace parlix
