#include "capture/upkeep_win.h"

#include "base/handle_value_win.h"

#include "base/error_report_win.h"
#include "base/window_text_win.h"

#include <string>

namespace parlix {

namespace {

// A request not carried out within this time is asked again.
constexpr DWORD kRepeatRequestMs = 1000;

AdjustErrorSink& Sink() {
    static AdjustErrorSink sink;
    return sink;
}

void ShowAdjustError(std::wstring_view text) {
    // Modal boxes run a message loop in which the tick goes on; one report at a time.
    static bool showing = false;
    if (showing) return;
    showing = true;
    const std::wstring copy(text);
    ::MessageBoxW(nullptr, copy.c_str(), std::wstring(kErrorTitle).c_str(), MB_OK | MB_ICONWARNING);
    showing = false;
}

PixelRect RectIn(HWND window, HWND parent) {
    RECT r{};
    ::GetWindowRect(window, &r);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

// picWin holds windows of other processes: a move that repaints them would wait for their
// clients (under Wine it does), so only picWin's own area is invalidated; each client
// repaints its window when it carries out its placement.
void MoveWindowQuietly(HWND window, const PixelRect& r) {
    ::SetWindowPos(window, nullptr, r.x, r.y, r.width, r.height, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
    ::InvalidateRect(window, nullptr, TRUE);
}

PixelSize SizeOf(HWND window) {
    RECT r{};
    ::GetWindowRect(window, &r);
    return {r.right - r.left, r.bottom - r.top};
}

}  // namespace

void SetAdjustErrorSink(AdjustErrorSink sink) { Sink() = std::move(sink); }

ChatChrome CapturedChrome(HWND window, const IMWindow& record, int dpi) {
    constexpr LONG kCaption = WS_CAPTION;
    // The caption still there means capture kept the frame (compatibility mode).
    const bool keptCaption = (::GetWindowLongW(window, GWL_STYLE) & kCaption) == kCaption;
    return ChromeOf(record.Version, CaptionStripped(static_cast<std::uint32_t>(record.WinLong), keptCaption), dpi);
}

template <typename F>
void WindowUpkeep::Adjusting(const wchar_t* procedure, F&& f) {
    isAdjusting_ = true;
    try {
        std::forward<F>(f)();
    } catch (...) {
        try {
            const std::wstring text = std::wstring(procedure) + L"\r\n" + DescribeCurrentException(L"frmMain", procedure, 0).description;
            if (Sink()) Sink()(text);
            else ShowAdjustError(text);
        } catch (...) {
        }
    }
    isAdjusting_ = false;
}

PixelSize WindowUpkeep::PicWinSize() const {
    RECT r{};
    ::GetClientRect(picWin_, &r);
    return {r.right, r.bottom};
}

void WindowUpkeep::Tick() {
    Trapped(L"frmMain", L"tmrChkWin", false, [&] {
        // A window its client closed loses its tab (every such tab, not only the selected one),
        // also while no tab is current (after a pop-out, until the focus has moved).
        if (detacher_.DropDeadWindows(kDeadChecksPerTick) > 0) return;
        if (!currentLink_) {
            if (strip_.TabCount() == 0 && host_.CurrentTabNumber() != -1) strip_.ShowMsg();
            return;
        }
        const auto node = currentLink_.lock();
        if (!node) return;
        IMWindow& w = node->window;
        const HWND window = Window(w.hWnd);
        if (CaptionFollowsTitle(w.Version)) {
            // Reads the stored title of another process's window: no message to the client.
            w.Caption = WindowTitle(window);
            const std::wstring caption = MainCaption(w.Caption, settings_.org_Caption);
            if (WindowTitle(main_) != caption) ::SetWindowTextW(main_, caption.c_str());
        }
        switch (ChkWinSizing(w.Locked, mainState_)) {
        case SizingStep::Layout: FormResize(); break;
        case SizingStep::FollowWindow: AdjustQQWindow(); break;
        case SizingStep::None: break;
        }
    });
}

void WindowUpkeep::FormResize() {
    if (isAdjusting_) return;
    Trapped(L"frmMain", L"Form_Resize", false, [&] {
        const ShowState shown = ::IsIconic(main_)   ? ShowState::Minimised
                                : ::IsZoomed(main_) ? ShowState::Maximised
                                                    : ShowState::Normal;
        const MainStateChange change = NextMainState(mainState_, shown, settings_.tray_Enabled != 0);
        mainState_ = change.mainState;
        if (change.hideToTray) host_.HideToTray();
        // A minimised window has no client area to lay out; the layout waits for its return.
        if (shown == ShowState::Minimised) return;
        LayOut();
        PlaceCurrent(false);
    });
}

void WindowUpkeep::LayOut() {
    RECT c{};
    ::GetClientRect(main_, &c);
    const TabLayout l = FormLayout({c.right, c.bottom}, host_.HeaderHeight(), host_.TabRowAtBottom(), host_.Dpi());
    host_.MoveTabStrip(l.btnTab);
    MoveWindowQuietly(picWin_, l.picWin);
    host_.PicWinPlaced(l.picWin);
}

void WindowUpkeep::Request(HWND window, HWND insertAfter, const PixelRect& r, UINT flags, bool force) {
    const DWORD now = ::GetTickCount();
    // The same request again soon: once the client has answered after it, the earlier one is
    // done (requests and messages sent to a thread are handled in order) and the window strayed
    // again, so it is sent again on a later tick; a client that has not answered still has it
    // waiting.
    if (!force && last_.window == window && last_.rect == r && last_.flags == flags &&
        now - last_.at < kRepeatRequestMs && !probe_.CaughtUp(window, false))
        return;
    calls_.PlaceAsync(window, insertAfter, r.x, r.y, r.width, r.height, flags);
    probe_.Sent(window);
    last_ = {window, r, flags, now};
}

void WindowUpkeep::PlaceCurrent(bool force) {
    const auto node = currentLink_.lock();
    if (!node) return;
    IMWindow& w = node->window;
    const HWND window = Window(w.hWnd);
    if (!::IsWindow(window)) return;
    const PixelRect target = ChatPlacement(PicWinSize(), CapturedChrome(window, w, host_.Dpi()));
    w.W = target.width;
    w.H = target.height;
    const bool there = ::IsWindowVisible(window) && RectIn(window, picWin_) == target;
    if (there && !force) return;
    Request(window, HWND_TOP, target, SWP_SHOWWINDOW | SWP_NOACTIVATE, force);
}

void WindowUpkeep::FollowChat(PixelSize chat, const ChatChrome& chrome, bool freshLayout) {
    const int dpi = host_.Dpi();
    const PicWinFollow follow = FollowChatSize(chat, chrome, dpi);
    RECT c{};
    ::GetClientRect(main_, &c);
    const int header = host_.HeaderHeight();
    const bool bottom = host_.TabRowAtBottom();
    PixelRect pic = RectIn(picWin_, main_);
    // The height is measured against picWin laid out for the current form height.
    if (freshLayout && follow.height) pic = FormLayout({c.right, c.bottom}, header, bottom, dpi).picWin;
    const int dw = follow.width ? *follow.width - pic.width : 0;
    const int dh = follow.height ? *follow.height - pic.height : 0;
    if (follow.width) pic.width = *follow.width;
    if (follow.height) pic.height = *follow.height;
    if ((dw != 0 || dh != 0) && mainState_ == MainWindowState::Normal) {
        RECT outer{};
        ::GetWindowRect(main_, &outer);
        ::SetWindowPos(main_, nullptr, 0, 0, outer.right - outer.left + dw, outer.bottom - outer.top + dh,
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        ::GetClientRect(main_, &c);
    }
    if (pic == RectIn(picWin_, main_) && dw == 0 && dh == 0) return;  // nothing changed
    MoveWindowQuietly(picWin_, pic);
    host_.PicWinPlaced(pic);
    host_.MoveTabStrip(FormLayout({c.right, c.bottom}, header, bottom, dpi).btnTab);
}

void WindowUpkeep::AdjustQQWindow() {
    if (isSizing_) return;
    const auto node = currentLink_.lock();
    if (!node) return;
    Adjusting(L"AdjustQQWindow", [&] {
        IMWindow& w = node->window;
        const HWND window = Window(w.hWnd);
        if (!::IsWindow(window)) return;
        PixelSize size = SizeOf(window);
        if (size != PixelSize{w.W, w.H}) {
            // A size other than the one last seen or asked for: either the client changed it, or
            // it has not carried out our placement yet. Once it has answered after every request
            // sent to it, the size is its own; until then it is left alone (its answer brings
            // the tick back).
            if (!probe_.CaughtUp(window, true)) return;
            size = SizeOf(window);
        }
        w.W = size.width;
        w.H = size.height;
        const ChatChrome chrome = CapturedChrome(window, w, host_.Dpi());
        const PixelRect at = RectIn(window, picWin_);
        if (at.x != -chrome.left || at.y != -chrome.top)
            Request(window, nullptr, {-chrome.left, -chrome.top, 0, 0}, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE,
                    false);
        FollowChat(size, chrome, true);
    });
}

void WindowUpkeep::AdjustTabWindow() {
    const auto node = currentLink_.lock();
    if (!node) return;
    Adjusting(L"AdjustTabWindow", [&] {
        const IMWindow& w = node->window;
        const HWND window = Window(w.hWnd);
        FollowChat({w.W, w.H}, CapturedChrome(window, w, host_.Dpi()), false);
    });
    ShowCurrentWindow();
}

}  // namespace parlix
