#include "ui/tab_strip_skin_win.h"

#include "base/dpi_win.h"
#include "base/scoped_win.h"

#include <commctrl.h>
#include <windowsx.h>

#include <string>

namespace parlix {

namespace {

constexpr UINT_PTR kTabSubclass = 0x534B4E54;     // 'SKNT'
constexpr UINT_PTR kParentSubclass = 0x534B4E50;  // 'SKNP'
constexpr UINT_PTR kHotTimer = 1;

paint::Rect ToRect(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

void Draw(HDC dc, const paint::Lines& lines) {
    for (const paint::Line& l : lines) {
        ScopedPen pen(::CreatePen(PS_SOLID, 1, TranslateColor(l.colour)));
        const HGDIOBJ old = ::SelectObject(dc, pen.get());
        ::MoveToEx(dc, l.x1, l.y1, nullptr);
        ::LineTo(dc, l.x2, l.y2);
        ::SelectObject(dc, old);
    }
}

}  // namespace

COLORREF TranslateColor(paint::Colour c) noexcept {
    if (c >= 0) return static_cast<COLORREF>(c);
    return ::GetSysColor(static_cast<int>(static_cast<std::uint32_t>(c) & 0x7FFFFFFF));
}

bool TabStripSkin::Attach() {
    if (tab_) return true;
    tab_ = tabs_.hwnd();
    if (!tab_) return false;
    parent_ = ::GetParent(tab_);
    ::SetWindowLongW(tab_, GWL_STYLE, ::GetWindowLongW(tab_, GWL_STYLE) | TCS_OWNERDRAWFIXED);
    ::SetWindowSubclass(tab_, TabProc, kTabSubclass, reinterpret_cast<DWORD_PTR>(this));
    ::SetWindowSubclass(parent_, ParentProc, kParentSubclass, reinterpret_cast<DWORD_PTR>(this));
    ::RedrawWindow(tab_, nullptr, nullptr, RDW_INVALIDATE);
    return true;
}

void TabStripSkin::Detach() {
    if (!tab_) return;
    ::RemoveWindowSubclass(tab_, TabProc, kTabSubclass);
    ::RemoveWindowSubclass(parent_, ParentProc, kParentSubclass);
    ::RedrawWindow(tab_, nullptr, nullptr, RDW_INVALIDATE);
    ::KillTimer(tab_, kHotTimer);
    tab_ = parent_ = nullptr;
}

LRESULT CALLBACK TabStripSkin::TabProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                       DWORD_PTR self) noexcept {
    auto& skin = *reinterpret_cast<TabStripSkin*>(self);
    if (msg == WM_NCDESTROY) {
        skin.Detach();
        return ::DefSubclassProc(hwnd, msg, wParam, lParam);
    }
    try {
        return skin.OnTab(hwnd, msg, wParam, lParam);
    } catch (...) {
        // A failed paint leaves the tab window's own drawing.
        return ::DefSubclassProc(hwnd, msg, wParam, lParam);
    }
}

LRESULT CALLBACK TabStripSkin::ParentProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                          DWORD_PTR self) noexcept {
    if (msg != WM_DRAWITEM || wParam != 0) return ::DefSubclassProc(hwnd, msg, wParam, lParam);
    auto& skin = *reinterpret_cast<TabStripSkin*>(self);
    const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    if (item && item->CtlType == ODT_TAB && item->hwndItem == skin.tab_) {
        skin.lastHot_ = skin.hot_;
        skin.hot_ = static_cast<int>(item->itemID);
        try {
            skin.Paint();
        } catch (...) {
        }
    }
    return 0;
}

LRESULT TabStripSkin::OnTab(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_PAINT: {
        // The window draws itself (each tab through WM_DRAWITEM, each one hot in turn); then
        // the strip is drawn again with the selected tab as the hot one, so no tab keeps the
        // hot look the mouse never gave it.
        const LRESULT r = ::DefSubclassProc(hwnd, msg, wParam, lParam);
        lastHot_ = hot_;
        hot_ = static_cast<int>(::SendMessageW(hwnd, TCM_GETCURSEL, 0, 0));
        paintedHot_ = -1;
        Paint();
        return r;
    }
    case WM_MOUSEMOVE: OnMouseMove(lParam); break;
    case WM_TIMER:
        if (wParam != kHotTimer) break;
        OnTimer();
        return 0;
    case WM_LBUTTONDOWN: Paint(); break;
    case WM_PRINTCLIENT: return 0;
    case kWmTabRedraw:
        hot_ = lastHot_ = 0;
        paintedHot_ = -1;
        ::InvalidateRect(hwnd, nullptr, FALSE);
        return 0;
    default: break;
    }
    return ::DefSubclassProc(hwnd, msg, wParam, lParam);
}

void TabStripSkin::OnMouseMove(LPARAM lParam) {
    TCHITTESTINFO hit{{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, 0};
    const int over = static_cast<int>(::SendMessageW(tab_, TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    if (over != hot_) {
        lastHot_ = hot_;
        hot_ = over;
        Paint();
    }
    ::SetTimer(tab_, kHotTimer, 1, nullptr);
}

void TabStripSkin::OnTimer() {
    POINT cursor{};
    ::GetCursorPos(&cursor);
    if (::WindowFromPoint(cursor) == tab_) return;
    clean_ = true;
    ::KillTimer(tab_, kHotTimer);
    Paint();
    hot_ = lastHot_ = static_cast<int>(::SendMessageW(tab_, TCM_GETCURSEL, 0, 0));
    clean_ = false;
}

void TabStripSkin::Paint() {
    if (!tab_) return;
    const HDC dc = ::GetDC(tab_);
    if (!dc) return;
    DrawStrip(dc);
    ::ReleaseDC(tab_, dc);
}

void TabStripSkin::DrawStrip(HDC dc) {
    painted_ = 0;
    if (hot_ == paintedHot_ && lastHot_ > 1) return;
    paintedHot_ = hot_;
    const int sel = static_cast<int>(::SendMessageW(tab_, TCM_GETCURSEL, 0, 0));
    const int n = tabs_.count();
    if (hot_ < 0 || hot_ > n || lastHot_ < 0 || lastHot_ > n || n == 0) return;
    const bool xp = look_.XpStyle();
    const paint::Look hotLook = clean_ ? paint::Look::Normal : paint::Look::Hot;
    if (lastHot_ != sel && lastHot_ < n) DrawTab(dc, lastHot_, false, paint::Look::Normal, sel);
    // The strip right of the last tab.
    RECT window{}, last = tabs_.GetItemRect(n - 1), selected = tabs_.GetItemRect(sel >= 0 ? sel : 0);
    ::GetWindowRect(tab_, &window);
    ::MapWindowPoints(nullptr, tab_, reinterpret_cast<POINT*>(&window), 2);
    Draw(dc, paint::FillBackground(tabs_.Bottom(), last.right + 1, window.right + 1, ToRect(selected), ToRect(last),
                                   look_.Colours().normal));
    if (hot_ < n) {
        if (hot_ == sel) DrawTab(dc, hot_, true, paint::Look::Selected, sel);
        // The QQ style frames only the hot look.
        else DrawTab(dc, hot_, false, !xp && clean_ ? paint::Look::Normal : hotLook, sel);
    }
    if (hot_ > 0 && hot_ - 1 < n) {
        const bool neighbourSelected = hot_ - 1 == sel;
        DrawTab(dc, hot_ - 1, neighbourSelected, neighbourSelected ? paint::Look::Selected : paint::Look::Normal, sel);
    }
    if (sel >= 0) DrawTab(dc, sel, true, paint::Look::Selected, sel);
    RECT client{};
    ::GetClientRect(tab_, &client);
    if (sel >= 0)
        Draw(dc, paint::Edges(xp ? paint::Skin::XP : paint::Skin::QQ, tabs_.Bottom(), ToRect(client), ToRect(selected),
                              look_.Colours()));
}

void TabStripSkin::DrawTab(HDC dc, int index, bool selectedLook, paint::Look frame, int) {
    const RECT r = tabs_.GetItemRect(index);
    const paint::Palette colours = look_.Colours();
    const paint::Skin skin = look_.XpStyle() ? paint::Skin::XP : paint::Skin::QQ;
    const paint::Colour fill =
        paint::TabColour(selectedLook, tabs_.IsHilighted(index), tabs_.CustomColor(), look_.TabColor(index), colours);
    Draw(dc, paint::FillTab(skin, selectedLook, tabs_.Bottom(), ToRect(r), static_cast<paint::Colour>(TranslateColor(fill))));
    Draw(dc, paint::FrameTab(skin, frame, tabs_.Bottom(), ToRect(r), colours));
    RECT caption = r;
    DrawIcon(dc, index, r, caption);
    DrawCaption(dc, index, caption);
    ++painted_;
}

void TabStripSkin::DrawIcon(HDC dc, int index, const RECT& r, RECT& caption) const {
    const HIMAGELIST list = tabs_.GetImageList();
    if (!list) return;
    const paint::IconPlace at = paint::PlaceIcon(ToRect(r), tabs_.Dpi());
    if (tabs_.GetItemImage(index) == 0) {
        ::ImageList_Draw(list, 0, dc, at.x, at.y, ILD_TRANSPARENT);
    } else if (look_.ShowIcon()) {
        if (const HDC icon = look_.IconDC(index))
            ::TransparentBlt(dc, at.x, at.y, at.size, at.size, icon, 0, 0, 32, 32, RGB(0, 0, 0));
    }
    caption.left = at.captionLeft;
}

void TabStripSkin::DrawCaption(HDC dc, int index, const RECT& r) const {
    std::wstring text = tabs_.GetItemText(index);
    if (text.find_first_not_of(L' ') == std::wstring::npos) return;
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, TranslateColor(look_.TextColour()));
    // "宋体" 9 points, Chinese character set, at the strip's dpi.
    const ScopedFont font = PointFont(L"宋体", 9, FW_NORMAL, GB2312_CHARSET, tabs_.Dpi());
    const HGDIOBJ old = ::SelectObject(dc, font.get());
    RECT box = r;
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
    ::SelectObject(dc, old);
}

}  // namespace parlix
