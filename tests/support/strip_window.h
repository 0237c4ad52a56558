// A tab strip on its own: a shown window holding a TabControl with the strip skin attached and
// a fixed look, for reading the painted pixels and timing the painting. Header only; needs
// parlix_ui_win.
#pragma once

#include "ui/tab_control_win.h"
#include "ui/tab_strip_skin_win.h"

#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace parlix::test {

// The strip's colours and per-tab colours as the settings would give them.
class FixedLook final : public StripLook {
public:
    paint::Palette palette{0xFFC8A6, 0xFFB064, 0x56FCA9, 0};
    paint::Colour text = 0x694615;
    bool xp = true;
    std::map<int, paint::Colour> tabColours;  // tabs not listed have tab_Normal

    FixedLook() { palette.buttonFace = static_cast<paint::Colour>(::GetSysColor(COLOR_BTNFACE)); }
    [[nodiscard]] paint::Palette Colours() const override { return palette; }
    [[nodiscard]] paint::Colour TextColour() const override { return text; }
    [[nodiscard]] bool XpStyle() const override { return xp; }
    [[nodiscard]] bool ShowIcon() const override { return false; }
    [[nodiscard]] paint::Colour TabColor(int index) const override {
        const auto it = tabColours.find(index);
        return it == tabColours.end() ? palette.normal : it->second;
    }
    [[nodiscard]] HDC IconDC(int) const override { return nullptr; }
};

class StripWindow {
public:
    // A window of width × height at (x, y) on the screen, the strip filling it.
    StripWindow(const FixedLook& look, bool bottom, int x = 40, int y = 40, int width = 520, int height = 90)
        : look_(look) {
        WNDCLASSW wc{};
        wc.lpfnWndProc = ::DefWindowProcW;
        wc.hbrBackground = ::GetSysColorBrush(COLOR_BTNFACE);
        wc.lpszClassName = L"ParlixStripTestParent";
        ::RegisterClassW(&wc);
        parent_ = ::CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, wc.lpszClassName, L"", WS_POPUP, x, y, width,
                                    height, nullptr, nullptr, nullptr, nullptr);
        tabs_.Create(parent_, 0, 0, width, height);
        tabs_.Bottom(bottom);
        skin_ = std::make_unique<TabStripSkin>(tabs_, look_);
    }
    ~StripWindow() {
        skin_.reset();
        ::DestroyWindow(parent_);
    }
    StripWindow(const StripWindow&) = delete;
    StripWindow& operator=(const StripWindow&) = delete;

    // Tabs with these captions, the skin attached, the window shown and painted.
    void Show(const std::vector<std::wstring>& captions, int selected) {
        for (const auto& c : captions) tabs_.AddItem(c);
        tabs_.Selected(selected);
        skin_->Attach();
        ::ShowWindow(parent_, SW_SHOWNOACTIVATE);
        Repaint();
    }
    // The whole strip painted again now.
    void Repaint() const {
        ::RedrawWindow(tabs_.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    }
    // The colour at (x, y) of the tab window's client area, as 0x00BBGGRR.
    [[nodiscard]] COLORREF Pixel(int x, int y) const {
        const HDC dc = ::GetDC(tabs_.hwnd());
        const COLORREF c = ::GetPixel(dc, x, y);
        ::ReleaseDC(tabs_.hwnd(), dc);
        return c;
    }
    // The mouse moved over (x, y) of the tab window, as the window hears it.
    void MouseAt(int x, int y) const {
        ::SendMessageW(tabs_.hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
    }
    // Runs the window's messages (its timers) until none is left.
    static void Pump() {
        MSG m;
        while (::PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&m);
    }

    [[nodiscard]] TabControl& Tabs() noexcept { return tabs_; }
    [[nodiscard]] TabStripSkin& Skin() noexcept { return *skin_; }
    [[nodiscard]] HWND Parent() const noexcept { return parent_; }

private:
    const FixedLook& look_;
    HWND parent_ = nullptr;
    TabControl tabs_;
    std::unique_ptr<TabStripSkin> skin_;
};

}  // namespace parlix::test
