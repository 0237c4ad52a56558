// The live window system behind WindowTree. None of these calls sends a message to the
// window's process, so a hung client cannot block them.
#pragma once

#include "base/handle_value_win.h"
#include "capture/window_tree.h"

#include <windows.h>

namespace parlix {

[[nodiscard]] inline HWND ToHwnd(Hwnd w) noexcept { return Window(w.value); }
[[nodiscard]] inline Hwnd FromHwnd(HWND w) noexcept { return Hwnd{Value(w)}; }

class Win32WindowTree final : public WindowTree {
public:
    std::wstring Title(Hwnd w) const override;
    std::wstring ClassName(Hwnd w) const override;
    std::uint32_t Style(Hwnd w) const override;
    std::uint32_t ExStyle(Hwnd w) const override;
    std::uint32_t ProcessId(Hwnd w) const override;
    std::uint32_t ThreadId(Hwnd w) const override;
    Hwnd FindChild(Hwnd parent, Hwnd after, std::optional<std::wstring_view> className,
                   std::optional<std::wstring_view> title) const override;
    void Wait(int milliseconds) override;
};

}  // namespace parlix
