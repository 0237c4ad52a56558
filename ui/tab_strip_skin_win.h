// The skin of the tab strip: takes over the painting of a tab control's tab window (owner-draw
// tabs, which the window lays out but never draws) and paints its tabs in the chosen style, the
// display area's raised edge, and the strip beside the last tab, with the tab under
// the mouse ("hot") lifted and tracked by a 1 ms timer until the mouse leaves. A move of the
// mouse from tab to tab invalidates only the tab it left and the tab it entered (with the few
// pixels their frames reach beyond them); the window and the strip paint within that alone.
#pragma once

#include "ui/tab_control_win.h"
#include "ui/tab_icon_cache_win.h"
#include "ui/tab_paint.h"

#include <windows.h>

#include <initializer_list>
#include <optional>
#include <vector>

namespace parlix {

// What the skin reads at every paint.
class StripLook {
public:
    [[nodiscard]] virtual paint::Palette Colours() const = 0;  // system colours translated
    [[nodiscard]] virtual paint::Colour TextColour() const = 0;
    [[nodiscard]] virtual bool XpStyle() const = 0;   // tab_Skin
    [[nodiscard]] virtual bool ShowIcon() const = 0;  // tab_ShowIcon
    // The tab's own colour (its record's TabColor) and the device context holding its 32 × 32
    // window icon (null when none).
    [[nodiscard]] virtual paint::Colour TabColor(int index) const = 0;
    [[nodiscard]] virtual HDC IconDC(int index) const = 0;

protected:
    ~StripLook() = default;
};

// A colour of the settings as GDI wants it: a system colour index (top bit set) translated.
[[nodiscard]] COLORREF TranslateColor(paint::Colour c) noexcept;

class TabStripSkin {
public:
    TabStripSkin(TabControl& tabs, const StripLook& look) : tabs_(tabs), look_(look) {}
    TabStripSkin(const TabStripSkin&) = delete;
    TabStripSkin& operator=(const TabStripSkin&) = delete;
    ~TabStripSkin() { Detach(); }

    // Owner-draw on, the tab window and its parent watched. False when there is no tab window.
    bool Attach();
    void Detach();

    // The strip as the tab under the mouse, the tab it left and the mouse-gone flag say.
    void Paint();
    [[nodiscard]] int HotTab() const noexcept { return hot_; }
    // How many tabs the last paint drew (the hot and left tabs, a neighbour, the selected one).
    [[nodiscard]] int TabsPainted() const noexcept { return painted_; }
    // The bounds of the area the last move of the hot tab had drawn again, in the tab window's
    // client coordinates.
    [[nodiscard]] RECT LastRepaintBounds() const noexcept { return paintBounds_; }

private:
    static LRESULT CALLBACK TabProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR self) noexcept;
    LRESULT OnTab(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    void OnMouseMove(LPARAM lParam);
    void OnTimer();
    LRESULT OnPaint(HWND hwnd, WPARAM wParam);
    // Inside a window paint: the tab as the tab window asks for it, the hot one in turn.
    void DrawItem(int index);
    // The tab window's raised edge round the display area.
    void DrawDisplayEdge(int count);
    // Has the tab window paint these tabs again now, and nothing else.
    void RepaintTabs(std::initializer_list<int> indexes);

    void DrawStrip(HDC dc);
    // The tab's rectangle, asked of the tab window once per window paint.
    RECT ItemRect(int index);
    void DrawTab(HDC dc, int index, bool selectedLook, paint::Look frame, int selected);
    void DrawIcon(HDC dc, int index, const RECT& r, RECT& caption);
    void DrawCaption(HDC dc, int index, const RECT& r);

    TabControl& tabs_;
    const StripLook& look_;
    HWND tab_ = nullptr;
    int mouseOver_ = -1; // the tab under the mouse while it is on the strip, else -1
    int hot_ = 0;        // the tab painted as the current one
    int lastHot_ = 0;    // the tab under the mouse before it
    bool clean_ = false; // repainting after the mouse left
    int paintedHot_ = -1;
    HDC paintDc_ = nullptr;  // while the window paints: a context clipped to the part it paints
    bool itemPass_ = false;
    std::vector<std::optional<RECT>> rects_;  // during a window paint: the tabs' rectangles so far  // drawing one tab the window asked for while it paints
    int painted_ = 0;
    RECT paintBounds_{};
    TabIconCache icons_;
    ScopedFont captionFont_;  // the captions' font, made once per dpi
    int captionFontDpi_ = 0;
};

}  // namespace parlix
