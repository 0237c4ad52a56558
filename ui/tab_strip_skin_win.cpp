#include "ui/tab_strip_skin_win.h"

#include "base/dpi_win.h"
#include "base/scoped_win.h"
#include "base/subclass_win.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <string>

namespace parlix {

namespace {

constexpr UINT_PTR kTabSubclass = 0x534B4E54;     // 'SKNT'
constexpr UINT_PTR kHotTimer = 1;

paint::Rect ToRect(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

// Solid one-pixel lines; the context's own pen takes each colour in turn, so a gradient costs
// no pen objects.
void Draw(HDC dc, const paint::Lines& lines) {
    const HGDIOBJ old = ::SelectObject(dc, ::GetStockObject(DC_PEN));
    const COLORREF before = ::GetDCPenColor(dc);
    for (const paint::Line& l : lines) {
        ::SetDCPenColor(dc, TranslateColor(l.colour));
        ::MoveToEx(dc, l.x1, l.y1, nullptr);
        ::LineTo(dc, l.x2, l.y2);
    }
    ::SetDCPenColor(dc, before);
    ::SelectObject(dc, old);
}

// Whether anything drawn for this tab (its fill and frame reach one column and two rows past
// it) can show through the context's clipping.
bool TabVisible(HDC dc, RECT r) {
    ::InflateRect(&r, 2, 3);
    return ::RectVisible(dc, &r) != FALSE;
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
    // (Owner-drawn tabs keep the tab window's layout of them; it draws none of them itself.)
    ::SetWindowLongW(tab_, GWL_STYLE, ::GetWindowLongW(tab_, GWL_STYLE) | TCS_OWNERDRAWFIXED);
    AddSubclass(tab_, TabProc, kTabSubclass, reinterpret_cast<DWORD_PTR>(this));
    ::RedrawWindow(tab_, nullptr, nullptr, RDW_INVALIDATE);
    return true;
}

void TabStripSkin::Detach() {
    if (!tab_) return;
    RemoveSubclass(tab_, TabProc, kTabSubclass);
    ::RedrawWindow(tab_, nullptr, nullptr, RDW_INVALIDATE);
    ::KillTimer(tab_, kHotTimer);
    tab_ = nullptr;
}

LRESULT CALLBACK TabStripSkin::TabProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                       DWORD_PTR self) noexcept {
    auto& skin = *reinterpret_cast<TabStripSkin*>(self);
    if (msg == WM_NCDESTROY) {
        skin.Detach();
        return CallNextSubclass(hwnd, msg, wParam, lParam);
    }
    try {
        return skin.OnTab(hwnd, msg, wParam, lParam);
    } catch (...) {
        // A failed paint leaves what it had drawn; anything else goes on to the tab window.
        return msg == WM_PAINT ? 0 : CallNextSubclass(hwnd, msg, wParam, lParam);
    }
}

LRESULT TabStripSkin::OnTab(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_PAINT: return OnPaint(hwnd, wParam);
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
    return CallNextSubclass(hwnd, msg, wParam, lParam);
}

LRESULT TabStripSkin::OnPaint(HWND hwnd, WPARAM wParam) {
    // The strip is drawn here alone; the tab window's own painting is left out: under Wine it
    // took some 40 ms with 120 tabs whatever part of it was painted, and all of it was drawn
    // over. Only the part that needs it is drawn again (a paint asked for with nothing invalid
    // draws everything).
    const auto given = reinterpret_cast<HDC>(wParam);
    if (!given && !::GetUpdateRect(hwnd, nullptr, FALSE)) ::InvalidateRect(hwnd, nullptr, TRUE);
    struct Painting {
        TabStripSkin& skin;
        HWND hwnd;
        HDC dc;
        PAINTSTRUCT ps{};
        ~Painting() {
            // The rectangles and the context hold for this paint only, however it ends.
            skin.rects_.clear();
            skin.paintDc_ = nullptr;
            skin.itemPass_ = false;
            if (dc && hwnd) ::EndPaint(hwnd, &ps);
        }
    } painting{*this, given ? nullptr : hwnd, given};
    if (!given) painting.dc = ::BeginPaint(hwnd, &painting.ps);
    if (!painting.dc) return 0;
    paintDc_ = painting.dc;
    const int n = tabs_.count();
    rects_.assign(static_cast<std::size_t>(n), std::nullopt);
    const int sel = static_cast<int>(::SendMessageW(hwnd, TCM_GETCURSEL, 0, 0));
    // Every tab as the hot one in turn, the selected one last, as a tab window draws them; drawn
    // with the hot look, every tab would keep the lifted edge that the normal look does not
    // paint over, so they get the plain look. The raised edge of the display area comes
    // before the selected tab, which covers part of it.
    const bool clean = clean_;
    clean_ = true;
    for (int i = 0; i < n; ++i)
        if (i != sel) DrawItem(i);
    DrawDisplayEdge(n);
    if (sel >= 0 && sel < n) DrawItem(sel);
    clean_ = clean;
    // Then the strip again with the tab under the mouse (the selected tab when there is none)
    // as the hot one.
    const int current = mouseOver_ >= 0 ? mouseOver_ : sel;
    lastHot_ = hot_;
    hot_ = current;
    paintedHot_ = -1;
    Paint();
    hot_ = lastHot_ = current;
    // Icons of tabs that went are not kept.
    icons_.Trim(rects_.size() + 8);
    return 0;
}

void TabStripSkin::DrawItem(int index) {
    lastHot_ = hot_;
    hot_ = index;
    // A tab outside the part being painted has nothing to draw.
    if (!TabVisible(paintDc_, ItemRect(index))) return;
    // The background, the selected tab and the edges are drawn once at the end; here only the
    // tab and its neighbours.
    itemPass_ = true;
    Paint();
    itemPass_ = false;
}

void TabStripSkin::DrawDisplayEdge(int count) {
    RECT area{};
    ::GetClientRect(tab_, &area);
    if (count > 0) {
        // Below (or above) the rows of tabs and the two pixels the selected tab rises by.
        const int header = tabs_.GetHeaderHeight() + 2;
        if (tabs_.Bottom()) area.bottom -= header;
        else area.top += header;
    }
    if (::RectVisible(paintDc_, &area)) ::DrawEdge(paintDc_, &area, EDGE_RAISED, BF_SOFT | BF_RECT);
}

void TabStripSkin::OnMouseMove(LPARAM lParam) {
    TCHITTESTINFO hit{{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, 0};
    const int over = static_cast<int>(::SendMessageW(tab_, TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    const int before = mouseOver_;
    mouseOver_ = over;
    // Within the part of the strip without tabs nothing changes from move to move.
    if (over != hot_ && (over >= 0 || before >= 0)) {
        lastHot_ = hot_;
        hot_ = over;
        RepaintTabs({lastHot_, hot_});
    }
    ::SetTimer(tab_, kHotTimer, 1, nullptr);
}

void TabStripSkin::OnTimer() {
    POINT cursor{};
    ::GetCursorPos(&cursor);
    if (::WindowFromPoint(cursor) == tab_) return;
    clean_ = true;
    ::KillTimer(tab_, kHotTimer);
    RepaintTabs({hot_, lastHot_});
    mouseOver_ = -1;
    hot_ = lastHot_ = static_cast<int>(::SendMessageW(tab_, TCM_GETCURSEL, 0, 0));
    clean_ = false;
}

void TabStripSkin::RepaintTabs(std::initializer_list<int> indexes) {
    // The tab window draws these tabs afresh (which also clears the lifted edge a hot tab
    // leaves above the others) and the strip paint follows inside them; the rest of the strip
    // is not touched.
    ScopedRegion area(::CreateRectRgn(0, 0, 0, 0));
    const int n = tabs_.count();
    for (const int index : indexes) {
        if (index < 0 || index >= n) continue;
        RECT r = tabs_.GetItemRect(index);
        // Fills and frames reach one column and two rows past a tab's rectangle.
        ::InflateRect(&r, 2, 3);
        ScopedRegion one(::CreateRectRgnIndirect(&r));
        ::CombineRgn(area.get(), area.get(), one.get(), RGN_OR);
    }
    if (::GetRgnBox(area.get(), &paintBounds_) == NULLREGION) return;
    ::InvalidateRgn(tab_, area.get(), TRUE);
    ::UpdateWindow(tab_);
}

RECT TabStripSkin::ItemRect(int index) {
    // Asking the tab window costs a fraction of a millisecond under Wine, and a paint of the
    // whole strip asked for each tab several times: within one paint each tab is asked once.
    if (index < 0 || static_cast<std::size_t>(index) >= rects_.size()) return tabs_.GetItemRect(index);
    auto& cached = rects_[static_cast<std::size_t>(index)];
    if (!cached) cached = tabs_.GetItemRect(index);
    return *cached;
}

void TabStripSkin::Paint() {
    if (!tab_) return;
    if (paintDc_) {
        DrawStrip(paintDc_);
        return;
    }
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
    // (The tab left is drawn below anyway when it is the hot tab's neighbour: the window asks
    // for its tabs in order.)
    if (lastHot_ != sel && lastHot_ < n && !(itemPass_ && lastHot_ == hot_ - 1))
        DrawTab(dc, lastHot_, false, paint::Look::Normal, sel);
    RECT selected = ItemRect(sel >= 0 ? sel : 0);
    if (!itemPass_) {
        // The strip right of the last tab.
        RECT window{}, last = ItemRect(n - 1);
        ::GetWindowRect(tab_, &window);
        ::MapWindowPoints(nullptr, tab_, reinterpret_cast<POINT*>(&window), 2);
        const RECT rest{last.right + 1, 0, window.right + 1, std::max(selected.bottom, last.bottom) + 1};
        if (::RectVisible(dc, &rest))
            Draw(dc, paint::FillBackground(tabs_.Bottom(), last.right + 1, window.right + 1, ToRect(selected),
                                           ToRect(last), look_.Colours().normal));
    }
    // In the item pass a tab is drawn again, the same way, as the neighbour of the next one
    // when that one is drawn: its first drawing would be covered entirely.
    const bool drawnAgain = itemPass_ && hot_ + 1 < n && hot_ + 1 != sel && TabVisible(dc, ItemRect(hot_ + 1));
    if (hot_ < n && !drawnAgain) {
        if (hot_ == sel) DrawTab(dc, hot_, true, paint::Look::Selected, sel);
        // The QQ style frames only the hot look.
        else DrawTab(dc, hot_, false, !xp && clean_ ? paint::Look::Normal : hotLook, sel);
    }
    if (hot_ > 0 && hot_ - 1 < n) {
        const bool neighbourSelected = hot_ - 1 == sel;
        DrawTab(dc, hot_ - 1, neighbourSelected, neighbourSelected ? paint::Look::Selected : paint::Look::Normal, sel);
    }
    if (itemPass_) return;
    if (sel >= 0) DrawTab(dc, sel, true, paint::Look::Selected, sel);
    RECT client{};
    ::GetClientRect(tab_, &client);
    if (sel >= 0)
        Draw(dc, paint::Edges(xp ? paint::Skin::XP : paint::Skin::QQ, tabs_.Bottom(), ToRect(client), ToRect(selected),
                              look_.Colours()));
}

void TabStripSkin::DrawTab(HDC dc, int index, bool selectedLook, paint::Look frame, int) {
    const RECT r = ItemRect(index);
    if (!TabVisible(dc, r)) return;
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

void TabStripSkin::DrawIcon(HDC dc, int index, const RECT& r, RECT& caption) {
    const HIMAGELIST list = tabs_.GetImageList();
    if (!list) return;
    const paint::IconPlace at = paint::PlaceIcon(ToRect(r), tabs_.Dpi());
    if (tabs_.GetItemImage(index) == 0) {
        ::ImageList_Draw(list, 0, dc, at.x, at.y, ILD_TRANSPARENT);
    } else if (look_.ShowIcon()) {
        if (const HDC icon = look_.IconDC(index))
            icons_.Draw(dc, icon, at.x, at.y, at.size);
    }
    caption.left = at.captionLeft;
}

void TabStripSkin::DrawCaption(HDC dc, int index, const RECT& r) {
    std::wstring text = tabs_.GetItemText(index);
    if (text.find_first_not_of(L' ') == std::wstring::npos) return;
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, TranslateColor(look_.TextColour()));
    // "宋体" 9 points, Chinese character set, at the strip's dpi.
    if (!captionFont_ || captionFontDpi_ != tabs_.Dpi()) {
        captionFont_ = PointFont(L"宋体", 9, FW_NORMAL, GB2312_CHARSET, tabs_.Dpi());
        captionFontDpi_ = tabs_.Dpi();
    }
    const HGDIOBJ old = ::SelectObject(dc, captionFont_.get());
    RECT box = r;
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
    ::SelectObject(dc, old);
}

}  // namespace parlix
