// frmBtn and its toggle button chkShow ("涂鸦板", a check box drawn as a push button): the
// button is made in the hidden frmBtn and then put into the main program's window, where a
// mouse-up with any button shows or hides the board. The button reports its clicks itself
// (subclassed), so its new parent need not forward anything.
#pragma once

#include "base/scoped_win.h"
#include "plugins/doodle/drawing.h"

#include <windows.h>

#include <functional>

namespace parlix::doodle {

inline constexpr wchar_t kToggleCaption[] = L"涂鸦板";
inline constexpr int kToggleButtonHeight = 19;  // pixels at 96 dpi (825 × 285 twips)

class ToggleButton {
public:
    // onToggle(shown) runs on every click with the new shown flag.
    explicit ToggleButton(std::function<void(bool shown)> onToggle) : onToggle_(std::move(onToggle)) {}
    ToggleButton(const ToggleButton&) = delete;
    ToggleButton& operator=(const ToggleButton&) = delete;
    ~ToggleButton();

    // Loads frmBtn (hidden) with chkShow at (0, 0).
    bool Load();
    // Puts chkShow into main at left = scaleWidth − 55, top unchanged.
    bool PlaceInto(HWND main, int scaleWidth);
    // Moves chkShow within its parent (pixels) when it is elsewhere, keeping it above its siblings.
    void MoveTo(Point at);

    // Sizes chkShow and its font for the dpi of the window it is in; the same dpi changes nothing.
    void SetDpi(int dpi);
    [[nodiscard]] int Dpi() const noexcept { return dpi_; }
    // chkShow's width at its dpi (pixels).
    [[nodiscard]] int Width() const noexcept;

    // chkShow's top within its parent (pixels).
    [[nodiscard]] int Top() const;
    // 1 pressed, 0 released.
    void Value(int value);
    [[nodiscard]] int Value() const;
    [[nodiscard]] bool Shown() const noexcept { return shown_; }
    [[nodiscard]] HWND chkShow() const noexcept { return button_.get(); }

private:
    static LRESULT CALLBACK ButtonProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR ref);
    void Clicked();

    std::function<void(bool)> onToggle_;
    ScopedOwnWindow form_;    // frmBtn
    ScopedOwnWindow button_;  // chkShow, wherever it is parented now; destroyed before frmBtn
    ScopedFont font_;         // chkShow's font at dpi_, replaced only after chkShow has the new one
    int dpi_ = 96;            // the dpi chkShow is sized for
    bool shown_ = false;
};

}  // namespace parlix::doodle
