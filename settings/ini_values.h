// Text forms of the values kept in set.ini and the small path and registry texts around it.
// Pure functions: no file, registry or window access.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace parlix {

// A stored text that does not convert to its type. Number() is the error number the report
// shows: kTypeMismatch for text that is no number, kOverflow for a number outside 32 bits.
class IniValueError : public std::runtime_error {
  public:
    IniValueError(long number, const std::string& what) : std::runtime_error(what), number_(number) {}
    [[nodiscard]] long Number() const noexcept { return number_; }

  private:
    long number_;
};

inline constexpr long kOverflow = 6;
inline constexpr long kTypeMismatch = 13;
inline constexpr long kInvalidValue = 380;

// Text to a 32-bit integer. Accepts, between optional spaces or tabs: decimal text with an
// optional sign, fraction and exponent (rounded half to even), or "&H" followed by 1 to 8
// significant hex digits read as the 32 bits of the value ("&HFFFFFFFF" is -1).
// Throws IniValueError: kTypeMismatch for anything else (also empty text), kOverflow when the
// value does not fit.
[[nodiscard]] std::int32_t IniToInteger(std::wstring_view text);

// Text to a Boolean: "True"/"False" in any letter case, or any number IniToInteger's grammar
// accepts (0 is False, any other value True). Throws IniValueError like IniToInteger.
[[nodiscard]] bool IniToBoolean(std::wstring_view text);

// The forms written to the file; each reads back to the same value.
[[nodiscard]] std::wstring IniFromInteger(std::int32_t value);
[[nodiscard]] std::wstring IniFromBoolean(bool value); // "True" / "False"

// A value read back holds at most this many characters (a 255-character buffer with its NUL).
inline constexpr std::size_t kIniReadBuffer = 255;
inline constexpr std::size_t kIniValueMaxChars = kIniReadBuffer - 1;

// What a profile read returns: "" when the read copied nothing, otherwise the buffer up to its
// first NUL, never more than kIniValueMaxChars characters or the copied count.
[[nodiscard]] std::wstring IniReadResult(std::wstring_view buffer, std::size_t copied);

// A value as it may be written: line breaks would end the line early and let the rest of the
// value read as further keys, so each CR or LF becomes a space.
[[nodiscard]] std::wstring IniSafeValue(std::wstring_view value);

// set.ini in the program directory; a directory that already ends in a separator (a drive root
// such as "C:\") gets no second one.
[[nodiscard]] std::wstring IniPathFor(std::wstring_view programDir);

// The program directory and the program's file name without extension, from the full path of
// its executable. At a drive root the directory keeps its backslash ("C:\").
[[nodiscard]] std::wstring ProgramDirectoryOf(std::wstring_view modulePath);
[[nodiscard]] std::wstring ProgramNameOf(std::wstring_view modulePath);

// The command of the autostart entry: directory, a backslash unless it already ends in one,
// name and ".exe"; quoted when it contains a space, so no shorter path can be started instead.
[[nodiscard]] std::wstring AutoRunCommand(std::wstring_view programDir, std::wstring_view programName);

// A REG_SZ value's characters as read (size in bytes / 2): the text up to its first NUL. Values
// written without a terminator lose no character.
[[nodiscard]] std::wstring RegistryText(std::wstring_view data);

// Whether text holds anything but spaces.
[[nodiscard]] bool IsBlank(std::wstring_view text) noexcept;

// The main window's title suffix: "" for an empty caption, else "  -  " and the caption.
inline constexpr std::wstring_view kCaptionPrefix = L"  -  ";
[[nodiscard]] std::wstring CaptionSuffix(std::wstring_view caption);
// The caption as the user typed it, from an in-memory suffix (the prefix removed when present).
[[nodiscard]] std::wstring CaptionText(std::wstring_view suffix);

} // namespace parlix
