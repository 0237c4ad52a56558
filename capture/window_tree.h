// The narrow view of the window system that the recognition and discovery logic needs. The Win32
// implementation reads live windows; tests use a fake tree. Windows are never owned through it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace parlix {

// An opaque window handle value (32-bit on the target).
struct Hwnd {
    std::uint32_t value = 0;
    explicit operator bool() const { return value != 0; }
    friend bool operator==(Hwnd, Hwnd) = default;
};

class WindowTree {
  public:
    virtual ~WindowTree() = default;
    virtual std::wstring Title(Hwnd w) const = 0;     // <= 260 chars, "" on failure
    virtual std::wstring ClassName(Hwnd w) const = 0; // <= 260 chars
    virtual std::uint32_t Style(Hwnd w) const = 0;
    virtual std::uint32_t ExStyle(Hwnd w) const = 0;
    virtual std::uint32_t ProcessId(Hwnd w) const = 0;
    virtual std::uint32_t ThreadId(Hwnd w) const = 0;
    // FindWindowEx semantics: first child of parent after `after` (Hwnd{} = from the first) whose
    // class equals className (nullopt = any) and title equals title (nullopt = any); parent Hwnd{} =
    // top level.
    virtual Hwnd FindChild(Hwnd parent, Hwnd after, std::optional<std::wstring_view> className,
                           std::optional<std::wstring_view> title) const = 0;
    virtual void Wait(int milliseconds) = 0; // pumps messages in the real tree; the fake advances a clock
};

} // namespace parlix
