// Parlix.dll as seen from the main program: loaded from the program folder on first use, its
// four exports called through pointers. Without the library every call is a harmless no-op.
#pragma once

#include "base/scoped_win.h"

#include <windows.h>

namespace parlix {

class HookLibrary {
public:
    HookLibrary() = default;
    HookLibrary(const HookLibrary&) = delete;
    HookLibrary& operator=(const HookLibrary&) = delete;

    // Loads the library from the folder of the running program. True when all exports exist.
    bool Load();
    [[nodiscard]] bool Loaded() const noexcept { return module_.valid(); }
    [[nodiscard]] HMODULE Module() const noexcept { return module_.get(); }

    HHOOK InitHook(HWND notifyWindow, DWORD threadId) const;
    HHOOK InitHookProc(DWORD threadId) const;
    void EndHook(HHOOK hook) const;
    void EnableMouseGesture(bool on) const;

private:
    using InitHookFn = HHOOK(WINAPI*)(HWND, DWORD);
    using InitHookProcFn = HHOOK(WINAPI*)(DWORD);
    using EndHookFn = void(WINAPI*)(HHOOK);
    using EnableMouseGestureFn = void(WINAPI*)(BOOL);

    ScopedModule module_;
    InitHookFn initHook_ = nullptr;
    InitHookProcFn initHookProc_ = nullptr;
    EndHookFn endHook_ = nullptr;
    EnableMouseGestureFn enableMouseGesture_ = nullptr;
};

}  // namespace parlix
