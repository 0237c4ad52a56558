#include "ui/tab_drag_win.h"

#include "base/dpi.h"
#include "base/error_report_win.h"
#include "ui/menu_ids.h"

namespace parlix {

namespace {
constexpr wchar_t kMarkerClass[] = L"Parlix.picInsert";
constexpr wchar_t kPictureClass[] = L"Parlix.frmTabDrag";
// Sizes in pixels at 96 dpi, drawn scaled for the strip's dpi.
constexpr int kMarkerWidth = 3;
constexpr int kMarkerHeight = 23;
constexpr BYTE kPictureAlpha = 200;
constexpr COLORREF kCrossColour = RGB(255, 0, 0);
constexpr int kCrossSize = 10;
constexpr int kPopOutWidth = 16;
constexpr int kPopOutHeight = 13;

constexpr DWORD kOverlayExStyle = WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE;

tabs::Rect ToRect(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }
}  // namespace

// --- picInsert -------------------------------------------------------------------------------

bool TabDrag::Marker::Make(HWND owner) {
    if (Hwnd()) return true;
    // System colour 7 (COLOR_WINDOWFRAME) fills the bar.
    RegisterClassOnce(kMarkerClass, nullptr, reinterpret_cast<HBRUSH>(COLOR_WINDOWFRAME + 1));
    if (!Create(kMarkerClass, L"", WS_POPUP, kOverlayExStyle, 0, 0, kMarkerWidth, kMarkerHeight, owner))
        return false;
    ::SetLayeredWindowAttributes(Hwnd(), 0, 255, LWA_ALPHA);
    return true;
}

// --- frmTabDrag ------------------------------------------------------------------------------

bool TabDrag::Picture::Make(HWND owner) {
    if (Hwnd()) return true;
    RegisterClassOnce(kPictureClass, nullptr, nullptr);
    if (!Create(kPictureClass, L"", WS_POPUP, kOverlayExStyle | WS_EX_TOPMOST, 0, 0, 1, 1, owner)) return false;
    ::SetLayeredWindowAttributes(Hwnd(), 0, kPictureAlpha, LWA_ALPHA);
    return true;
}

void TabDrag::Picture::Capture(HWND source, int x, int y, int width, int height) {
    ScopedWindowDc from(source);
    ScopedMemoryDc to(::CreateCompatibleDC(from.get()));
    ScopedBitmap bitmap(::CreateCompatibleBitmap(from.get(), width, height));
    if (!to || !bitmap) return;
    {
        ScopedSelect select(to.get(), bitmap.get());
        ::BitBlt(to.get(), 0, 0, width, height, from.get(), x, y, SRCCOPY);
    }
    picture_ = std::move(bitmap);
    size_ = {width, height};
    ::InvalidateRect(Hwnd(), nullptr, FALSE);
}

void TabDrag::Picture::SetMarks(bool crossOn, bool popOutOn) {
    if (cross == crossOn && popOut == popOutOn) return;
    cross = crossOn;
    popOut = popOutOn;
    ::InvalidateRect(Hwnd(), nullptr, FALSE);
}

void TabDrag::Picture::Paint(HDC dc) const {
    if (picture_) {
        ScopedMemoryDc from(::CreateCompatibleDC(dc));
        ScopedSelect select(from.get(), picture_.get());
        ::BitBlt(dc, 0, 0, size_.cx, size_.cy, from.get(), 0, 0, SRCCOPY);
    }
    const auto px = [this](int at96) { return ScaleForDpi(at96, dpi); };
    if (cross) {
        ScopedPen pen(::CreatePen(PS_SOLID, px(1), kCrossColour));
        ScopedSelect select(dc, pen.get());
        ::MoveToEx(dc, 0, 0, nullptr);
        ::LineTo(dc, px(kCrossSize), px(kCrossSize));
        ::MoveToEx(dc, px(kCrossSize), 0, nullptr);
        ::LineTo(dc, 0, px(kCrossSize));
    }
    if (popOut) {
        // A small window with its caption bar: "this becomes a window of its own".
        RECT frame{0, 0, px(kPopOutWidth), px(kPopOutHeight)};
        ::FillRect(dc, &frame, ::GetSysColorBrush(COLOR_WINDOW));
        RECT caption{0, 0, px(kPopOutWidth), px(4)};
        ::FillRect(dc, &caption, ::GetSysColorBrush(COLOR_ACTIVECAPTION));
        ::FrameRect(dc, &frame, ::GetSysColorBrush(COLOR_WINDOWFRAME));
    }
}

LRESULT TabDrag::Picture::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        const HDC dc = ::BeginPaint(Hwnd(), &ps);
        Paint(dc);
        ::EndPaint(Hwnd(), &ps);
        return 0;
    }
    default:
        return WindowBase::HandleMessage(msg, wParam, lParam);
    }
}

// --- The drag --------------------------------------------------------------------------------

POINT TabDrag::ToMainClient(int x, int y) const {
    POINT p{x, y};
    ::MapWindowPoints(host_.Strip().hwnd(), host_.MainHwnd(), &p, 1);
    return p;
}

bool TabDrag::CursorOutside(HWND window) {
    POINT cursor{};
    ::GetCursorPos(&cursor);
    RECT outer{};
    ::GetWindowRect(window, &outer);
    return tabs::OutsideRect(ToRect(outer), {cursor.x, cursor.y});
}

void TabDrag::MouseDown(int x, int y, int index) {
    if (dragging_) Cancel();
    pressed_ = index;
    const RECT tab = host_.Strip().GetItemRect(index);
    press_ = {x, y};
    pressOffsetY_ = y - tab.top;
}

void TabDrag::MouseMove(int buttons, int x, int y, int index) {
    TabControl& strip = host_.Strip();
    if (strip.count() <= 1 || (static_cast<unsigned>(buttons) & tabs::kLeftButton) == 0) return;
    if (dragging_ && ::GetCapture() != strip.hwnd()) {
        Cancel();
        return;
    }
    if (tabs::DragStarts(dragging_, static_cast<unsigned>(buttons), strip.count(), pressed_, press_, {x, y},
                         strip.Dpi()))
        Start(x);
    if (dragging_) Feedback(x, y, index);
}

void TabDrag::Start(int x) {
    TabControl& strip = host_.Strip();
    if (!picInsert_.Make(host_.MainHwnd()) || !frmTabDrag_.Make(host_.MainHwnd())) return;
    dragging_ = true;
    ::SetCapture(strip.hwnd());
    const RECT tab = strip.GetItemRect(pressed_);
    hotspot_ = tabs::DragHotspot(x, tab.left, pressOffsetY_);
    const int width = tab.right - tab.left + 3;
    const int height = tab.bottom - tab.top + 3;
    frmTabDrag_.dpi = strip.Dpi();
    frmTabDrag_.Capture(strip.hwnd(), tab.left - 1, tab.top - 2, width, height);
    POINT cursor{};
    ::GetCursorPos(&cursor);
    ::SetWindowPos(frmTabDrag_.Hwnd(), nullptr, cursor.x - hotspot_.x, cursor.y - hotspot_.y, width, height,
                   SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOZORDER);
}

void TabDrag::Feedback(int x, int y, int index) {
    TabControl& strip = host_.Strip();
    POINT cursor{};
    ::GetCursorPos(&cursor);
    ::SetWindowPos(frmTabDrag_.Hwnd(), nullptr, cursor.x - hotspot_.x, cursor.y - hotspot_.y, 0, 0,
                   SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOZORDER);
    strip.Redraw();

    const int count = strip.count();
    if (index >= 0) {
        const tabs::MarkerAt at = tabs::InsertionMarker(pressed_, index, count);
        behindTabs_ = false;
        ShowMarker(at.tab, at.rightEdge);
        frmTabDrag_.SetMarks(false, false);
        return;
    }
    const HWND main = host_.MainHwnd();
    RECT client{};
    ::GetClientRect(main, &client);
    RECT pic{};
    ::GetWindowRect(host_.PicWin(), &pic);
    ::MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&pic), 2);
    const tabs::Band band = tabs::StripBand(strip.Bottom(), pic.top, pic.bottom - pic.top, client.bottom);
    const POINT at = ToMainClient(x, y);
    const tabs::DragZone zone = tabs::ClassifyOffTab({at.x, at.y}, client.right, band, CursorOutside(main));
    behindTabs_ = zone == tabs::DragZone::BehindTabs;
    if (behindTabs_) {
        const tabs::MarkerAt marker = tabs::InsertionMarker(pressed_, -1, count);
        ShowMarker(marker.tab, marker.rightEdge);
        frmTabDrag_.SetMarks(false, false);
        return;
    }
    ::ShowWindow(picInsert_.Hwnd(), SW_HIDE);
    frmTabDrag_.SetMarks(zone == tabs::DragZone::NoDrop, zone == tabs::DragZone::Outside);
}

void TabDrag::ShowMarker(int tab, bool rightEdge) {
    if (tab < 0) {
        ::ShowWindow(picInsert_.Hwnd(), SW_HIDE);
        return;
    }
    const RECT r = host_.Strip().GetItemRect(tab);
    POINT at{rightEdge ? r.right : r.left, r.top};
    ::ClientToScreen(host_.Strip().hwnd(), &at);
    // As tall as the tab row (the row's height depends on the font and the images).
    const int header = host_.Strip().GetHeaderHeight();
    const int dpi = host_.Strip().Dpi();
    ::SetWindowPos(picInsert_.Hwnd(), HWND_TOP, at.x, at.y, ScaleForDpi(kMarkerWidth, dpi),
                   header > 0 ? header : ScaleForDpi(kMarkerHeight, dpi), SWP_SHOWWINDOW | SWP_NOACTIVATE);
}

void TabDrag::HideFeedback() {
    if (frmTabDrag_.Hwnd()) {
        ::ShowWindow(frmTabDrag_.Hwnd(), SW_HIDE);
        frmTabDrag_.SetMarks(false, false);
    }
    if (picInsert_.Hwnd()) ::ShowWindow(picInsert_.Hwnd(), SW_HIDE);
    behindTabs_ = false;
}

void TabDrag::Cancel() {
    const HWND tabWindow = host_.Strip().hwnd();
    const bool held = dragging_ && tabWindow && ::GetCapture() == tabWindow;
    dragging_ = false;
    HideFeedback();
    if (held) ::ReleaseCapture();
}

void TabDrag::MouseUp(int, int, int index) {
    if (!dragging_) return;
    Trapped(L"frmMain", L"btnTab_MouseUp", false, [&] {
        dragging_ = false;  // before ReleaseCapture: losing the capture must not look like a cancel
        ::ReleaseCapture();
        TabControl& strip = host_.Strip();
        const tabs::Drop drop =
            tabs::DecideDrop(pressed_, index, strip.count(), behindTabs_, CursorOutside(host_.MainHwnd()));
        if (drop.action == tabs::DropAction::Reselect) {
            strip.Selected(strip.Selected());
        } else if (drop.action == tabs::DropAction::Move) {
            // The strip follows the registry only when the registry took the move.
            if (host_.Registry().MoveNode(drop.move.src, drop.move.dest)) {
                strip.MoveTab(drop.move.from, drop.move.to);
                strip.Selected(drop.move.select);
            }
        }
        HideFeedback();
        if (drop.action == tabs::DropAction::Detach) {
            commands_.ContextTab(pressed_);
            commands_.Execute(mnuPop);
        } else {
            host_.FocusCurrent();
        }
    });
    commands_.ContextTab(index);
    dragging_ = false;
    HideFeedback();
}

void TabDrag::LButtonClicked() {
    Cancel();
    host_.FocusCurrent();
}

void TabDrag::LButtonDBLClicked() {
    Cancel();
    const int selected = host_.Strip().Selected();
    if (selected >= 0) host_.CloseTab(selected);
}

}  // namespace parlix
