#include "plugins/doodle/toggle_button_win.h"

#include "base/dpi.h"
#include "base/dpi_win.h"
#include "base/subclass_win.h"
#include "base/window_base_win.h"
#include "plugins/doodle/board_rules.h"

#include <commctrl.h>

namespace parlix::doodle {

namespace {

constexpr UINT_PTR kSubclassId = 0x5B71;

}  // namespace

ToggleButton::~ToggleButton() {
    if (button_) RemoveSubclass(button_.get(), ButtonProc, kSubclassId);
    button_.reset();
    form_.reset();
}

bool ToggleButton::Load() {
    const HINSTANCE module = WindowBase::Module();
    // frmBtn only owns the button until it moves into the main window; a plain hidden window.
    form_.reset(::CreateWindowExW(WS_EX_TOOLWINDOW, L"Static", L"frmBtn", WS_POPUP, 0, 0, kToggleButtonWidth,
                                  kToggleButtonHeight, nullptr, nullptr, module, nullptr));
    if (!form_) return false;
    button_.reset(::CreateWindowExW(0, L"Button", kToggleCaption,
                                    WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | BS_CHECKBOX | BS_PUSHLIKE, 0, 0,
                                    kToggleButtonWidth, kToggleButtonHeight, form_.get(), nullptr, module, nullptr));
    if (!button_) return false;
    ::SendMessageW(button_.get(), WM_SETFONT, reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    // Made at its 96 dpi size, then sized for the primary monitor; a main window elsewhere gives
    // it its own dpi on the board's next docking tick.
    dpi_ = kBaseDpi;
    SetDpi(SystemDpi());
    return AddSubclass(button_.get(), ButtonProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this)) != FALSE;
}

bool ToggleButton::PlaceInto(HWND main, int scaleWidth) {
    if (!button_ || !::IsWindow(main)) return false;
    if (!::SetParent(button_.get(), main)) return false;
    ::SetWindowPos(button_.get(), HWND_TOP, scaleWidth - Width(), 0, 0, 0, SWP_NOSIZE);
    return true;
}

void ToggleButton::SetDpi(int dpi) {
    dpi = SaneDpi(dpi);
    if (!button_ || dpi == dpi_) return;
    LOGFONTW lf{};
    if (::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf)) {
        lf.lfHeight = ScaleRounded(lf.lfHeight, dpi, SystemDpi());
        if (ScopedFont font{::CreateFontIndirectW(&lf)}) {
            ::SendMessageW(button_.get(), WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
            font_ = std::move(font);
        }
    }
    dpi_ = dpi;
    ::SetWindowPos(button_.get(), nullptr, 0, 0, Width(), ScaleForDpi(kToggleButtonHeight, dpi),
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ::InvalidateRect(button_.get(), nullptr, TRUE);
}

int ToggleButton::Width() const noexcept { return ScaleForDpi(kToggleButtonWidth, dpi_); }

void ToggleButton::MoveTo(Point at) {
    if (!button_) return;
    RECT r{};
    ::GetWindowRect(button_.get(), &r);
    ::MapWindowPoints(nullptr, ::GetParent(button_.get()), reinterpret_cast<POINT*>(&r), 2);
    const bool moved = r.left != at.x || r.top != at.y;
    // The chat container is raised now and then; the button stays visible above it.
    const bool covered = ::GetWindow(::GetParent(button_.get()), GW_CHILD) != button_.get();
    if (!moved && !covered) return;
    ::SetWindowPos(button_.get(), HWND_TOP, at.x, at.y, 0, 0,
                   SWP_NOSIZE | SWP_NOACTIVATE | (moved ? 0 : SWP_NOMOVE) | (covered ? 0 : SWP_NOZORDER));
}

int ToggleButton::Top() const {
    if (!button_) return 0;
    RECT r{};
    ::GetWindowRect(button_.get(), &r);
    ::MapWindowPoints(nullptr, ::GetParent(button_.get()), reinterpret_cast<POINT*>(&r), 2);
    return r.top;
}

void ToggleButton::Value(int value) {
    if (button_) ::SendMessageW(button_.get(), BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED, 0);
}

int ToggleButton::Value() const {
    return button_ && ::SendMessageW(button_.get(), BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
}

void ToggleButton::Clicked() {
    shown_ = !shown_;
    if (onToggle_) onToggle_(shown_);
    Value(shown_ ? 1 : 0);
}

LRESULT CALLBACK ToggleButton::ButtonProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                          DWORD_PTR ref) {
    auto* self = reinterpret_cast<ToggleButton*>(ref);
    switch (msg) {
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: {
        // The button finishes its own press first, then the click counts.
        const LRESULT result = CallNextSubclass(hwnd, msg, wParam, lParam);
        try {
            self->Clicked();
        } catch (...) {
            // Nothing may leave a window procedure; the board keeps its state.
        }
        return result;
    }
    case WM_NCDESTROY: RemoveSubclass(hwnd, ButtonProc, kSubclassId); break;
    default: break;
    }
    return CallNextSubclass(hwnd, msg, wParam, lParam);
}

}  // namespace parlix::doodle
