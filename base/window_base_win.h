// One window-procedure trampoline for the program's own windows: the C++ object is bound to
// its window at WM_NCCREATE and receives every message through HandleMessage.
#pragma once

#include <windows.h>

namespace parlix {

class WindowBase {
public:
    WindowBase() = default;
    WindowBase(const WindowBase&) = delete;
    WindowBase& operator=(const WindowBase&) = delete;
    virtual ~WindowBase();

    [[nodiscard]] HWND Hwnd() const noexcept { return hwnd_; }
    // The module this code is linked into (the program, or a plugin DLL): classes are registered
    // for it, so a DLL's classes point into the DLL and can be unregistered before it unloads.
    [[nodiscard]] static HINSTANCE Module() noexcept;

protected:
    // Registers className once per process with this trampoline as its procedure.
    static bool RegisterClassOnce(const wchar_t* className, HICON icon, HBRUSH background);
    HWND Create(const wchar_t* className, const wchar_t* title, DWORD style, DWORD exStyle, int x, int y, int w,
                int h, HWND parent = nullptr);
    // Unhandled messages go to DefWindowProcW.
    virtual LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    // Called after WM_NCDESTROY, when the window no longer exists.
    virtual void OnFinalDestroy() {}

private:
    // noexcept: an exception of a handler is reported and stops there, never entering Win32.
    static LRESULT CALLBACK Trampoline(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept;
    HWND hwnd_ = nullptr;
};

}  // namespace parlix
