#include "capture/window_tree_win.h"

#include "base/message_pump_win.h"
#include "base/window_text_win.h"

namespace parlix {

std::wstring Win32WindowTree::Title(Hwnd w) const { return WindowTitle(ToHwnd(w)); }

std::wstring Win32WindowTree::ClassName(Hwnd w) const { return WindowClass(ToHwnd(w)); }

std::uint32_t Win32WindowTree::Style(Hwnd w) const {
    return static_cast<std::uint32_t>(::GetWindowLongW(ToHwnd(w), GWL_STYLE));
}

std::uint32_t Win32WindowTree::ExStyle(Hwnd w) const {
    return static_cast<std::uint32_t>(::GetWindowLongW(ToHwnd(w), GWL_EXSTYLE));
}

std::uint32_t Win32WindowTree::ProcessId(Hwnd w) const {
    DWORD pid = 0;
    ::GetWindowThreadProcessId(ToHwnd(w), &pid);
    return pid;
}

std::uint32_t Win32WindowTree::ThreadId(Hwnd w) const { return ::GetWindowThreadProcessId(ToHwnd(w), nullptr); }

Hwnd Win32WindowTree::FindChild(Hwnd parent, Hwnd after, std::optional<std::wstring_view> className,
                                std::optional<std::wstring_view> title) const {
    // FindWindowExW wants terminated strings; a class or title with an embedded NUL can match
    // no window, so it finds nothing rather than a shorter name.
    std::wstring cls, ttl;
    if (className) {
        if (className->find(L'\0') != std::wstring_view::npos) return {};
        cls.assign(*className);
    }
    if (title) {
        if (title->find(L'\0') != std::wstring_view::npos) return {};
        ttl.assign(*title);
    }
    return FromHwnd(::FindWindowExW(ToHwnd(parent), ToHwnd(after), className ? cls.c_str() : nullptr,
                                    title ? ttl.c_str() : nullptr));
}

void Win32WindowTree::Wait(int milliseconds) {
    // Only the start-up scan waits here (windows reported later wait on a timer of the
    // detector). The UI thread goes on with its messages meanwhile: the window being examined
    // is not examined again, and one that goes away meanwhile is simply not recognised.
    if (milliseconds > 0) PumpMessagesFor(static_cast<DWORD>(milliseconds));
}

}  // namespace parlix
