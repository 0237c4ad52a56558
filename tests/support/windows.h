// Win32 queries the tests check outcomes with, and waiting with a deadline.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace parlix::test {

using namespace std::chrono_literals;

// The deadline of a wait for something that is to happen. A wait ends as soon as its condition
// holds, so only a failure costs the whole of it; it is long because a shared or loaded machine
// may be many times slower than a quiet one, and a test must not fail for that alone.
inline constexpr std::chrono::milliseconds kPatience = 60s;

template <typename T>
bool IsSet(const T& value) {
    if constexpr (requires { value.empty(); }) return !value.empty();
    else return static_cast<bool>(value);
}

// Polls check (pumping this thread's messages) until it returns a non-empty value or the
// deadline passes; returns the last value.
template <typename F>
auto WaitFor(F check, std::chrono::milliseconds deadline = kPatience, std::chrono::milliseconds step = 10ms)
    -> decltype(check()) {
    const auto end = std::chrono::steady_clock::now() + deadline;
    for (;;) {
        auto value = check();
        if (IsSet(value) || std::chrono::steady_clock::now() >= end) return value;
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        std::this_thread::sleep_for(step);
    }
}

struct WindowFacts {
    HWND hwnd = nullptr;
    HWND parent = nullptr;  // GetAncestor(GA_PARENT); the desktop window for top-level windows
    HWND root = nullptr;    // GetAncestor(GA_ROOT)
    HWND owner = nullptr;   // GetWindow(GW_OWNER)
    RECT rect{};            // screen coordinates
    LONG style = 0;
    LONG exStyle = 0;
    bool visible = false;   // WS_VISIBLE of the window itself
    bool iconic = false;
    bool zoomed = false;
    std::wstring title;
    std::wstring className;
    DWORD pid = 0;
    DWORD tid = 0;
};

[[nodiscard]] WindowFacts ReadFacts(HWND hwnd);

struct WindowQuery {
    std::wstring className;  // empty: any
    std::wstring title;      // empty: any (unless exactTitle)
    bool exactTitle = false;
    DWORD pid = 0;           // 0: any
    bool visibleOnly = false;
};

// Top-level windows matching the query, in z-order.
[[nodiscard]] std::vector<HWND> FindTopLevel(const WindowQuery& q);
// First matching top-level window within the deadline, or null.
[[nodiscard]] HWND WaitForWindow(const WindowQuery& q, std::chrono::milliseconds deadline = kPatience);
// Direct children of parent with the given class ("" = any), in z-order.
[[nodiscard]] std::vector<HWND> Children(HWND parent, const std::wstring& className = {});
// The window with the keyboard focus in the GUI thread tid (null when none).
[[nodiscard]] HWND FocusOfThread(DWORD tid);

// Writes a PNG of the whole screen (or of one window's rectangle when hwnd is given).
bool SaveScreenshot(const std::wstring& path, HWND hwnd = nullptr);

}  // namespace parlix::test
