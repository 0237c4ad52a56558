#include "ui/merge_buttons_win.h"

#include "base/dpi.h"
#include "base/dpi_win.h"
#include "base/error_report_win.h"
#include "base/subclass_win.h"

#include <commctrl.h>

namespace parlix {

MergeButtons::~MergeButtons() {
    for (auto& [index, e] : buttons_) {
        RemoveSubclass(e.button, Subclass, static_cast<UINT_PTR>(index));
        if (::IsWindow(e.button)) ::DestroyWindow(e.button);
    }
}

int MergeButtons::Count() const {
    int n = 0;
    for (const auto& [index, e] : buttons_)
        if (::IsWindow(e.button)) ++n;
    return n;
}

int MergeButtons::Add(HWND owner, HWND target, int dpi) {
    // Buttons whose window the client closed went with it.
    std::erase_if(buttons_, [](const auto& kv) { return !::IsWindow(kv.second.button); });
    int index = 1;
    while (buttons_.contains(index)) ++index;
    const HWND button = ::CreateWindowExW(0, L"Button", L"合并", WS_CHILD | BS_PUSHBUTTON, 0, 0, ScaleForDpi(48, dpi),
                                          ScaleForDpi(22, dpi), owner, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    if (!button) return 0;
    ScopedFont font = MessageFont(dpi);
    ::SendMessageW(button, WM_SETFONT,
                   reinterpret_cast<WPARAM>(font ? font.get() : ::GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    AddSubclass(button, Subclass, static_cast<UINT_PTR>(index), reinterpret_cast<DWORD_PTR>(this));
    buttons_[index] = {button, target, std::move(font)};
    ::ShowWindow(button, SW_SHOW);
    ::SetParent(button, target);
    ::SetWindowPos(button, HWND_TOP, ScaleForDpi(5, dpi), ScaleForDpi(5, dpi), 0, 0, SWP_NOSIZE);
    return index;
}

HWND MergeButtons::Target(int index) const {
    const auto it = buttons_.find(index);
    return it == buttons_.end() || !::IsWindow(it->second.button) ? nullptr : it->second.target;
}

HWND MergeButtons::Button(int index) const {
    const auto it = buttons_.find(index);
    return it == buttons_.end() || !::IsWindow(it->second.button) ? nullptr : it->second.button;
}

void MergeButtons::Unload(int index) {
    const auto it = buttons_.find(index);
    if (it == buttons_.end()) return;
    const HWND button = it->second.button;
    const ScopedFont font = std::move(it->second.font);  // outlives the button
    buttons_.erase(it);
    RemoveSubclass(button, Subclass, static_cast<UINT_PTR>(index));
    ::DestroyWindow(button);
}

LRESULT CALLBACK MergeButtons::Subclass(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                        DWORD_PTR self) noexcept {
    if (msg == WM_LBUTTONUP) {
        auto* buttons = reinterpret_cast<MergeButtons*>(self);
        const LRESULT result = CallNextSubclass(hwnd, msg, wParam, lParam);
        const HWND target = buttons->Target(static_cast<int>(id));
        // The button goes before the window is taken, so the window is captured clean.
        Trapped(L"frmMain", L"btnMerge_Click", false, [&] {
            buttons->Unload(static_cast<int>(id));
            if (target && buttons->onMerge_) buttons->onMerge_(target);
        });
        return result;
    }
    if (msg == WM_NCDESTROY) RemoveSubclass(hwnd, Subclass, id);
    return CallNextSubclass(hwnd, msg, wParam, lParam);
}

}  // namespace parlix
