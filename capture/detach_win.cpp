#include "capture/detach_win.h"

#include "base/handle_value_win.h"

#include "base/error_report_win.h"
#include "base/message_pump_win.h"
#include "capture/attach_rules.h"

namespace parlix {

namespace {

// A translucent window gets its own opacity back; any other window is made fully opaque.
void RestoreOpacity(const clsLink& node) {
    const BYTE alpha = node.originalAlpha >= 0 ? static_cast<BYTE>(node.originalAlpha) : BYTE{255};
    ::SetLayeredWindowAttributes(Window(node.window.hWnd), 0, alpha, LWA_ALPHA);
}

bool CloseIsBlocked() {
    for (const wchar_t* title : kBlockingDialogTitles)
        if (::FindWindowW(L"#32770", title)) return true;
    return false;
}
}  // namespace

void TabDetacher::AskToClose(HWND window) {
    // A client may ask its question in a modal loop inside WM_CLOSE, so that send is not waited
    // out. A WM_NULL sent after it is answered only once the client has finished WM_CLOSE or
    // pumps messages in that loop: either way it has decided (window destroyed, question shown,
    // or the close declined), however slowly it works.
    if (calls_.Send(window, WM_CLOSE, 0, 0, kClientAliveMs)) return;
    calls_.Send(window, WM_NULL, 0, 0, kCloseDecisionMs);
}

void TabDetacher::Forget(int pos, HWND window) {
    registry_.DelNode(pos + 1);
    strip_.DelItem(pos);
    calls_.DetachInput(window);
}

HWND TabDetacher::GiveBack(clsLink& node, bool centreNearEdge) {
    IMWindow& w = node.window;
    const HWND window = Window(w.hWnd);
    Point at{w.X, w.Y};
    if (centreNearEdge)
        at = PopOutPosition(at, w.OrgW, w.OrgH, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN));
    w.X = at.x;
    w.Y = at.y;
    ::MoveWindow(window, w.X, w.Y, w.OrgW, w.OrgH, TRUE);
    ::SetParent(window, nullptr);
    ::SetWindowLongW(window, GWL_STYLE, w.WinLong);
    ::SetWindowLongW(window, GWL_EXSTYLE, w.ExStyle);
    RestoreOpacity(node);
    // The position again, now as a top-level window with its own frame.
    ::SetWindowPos(window, nullptr, w.X, w.Y, w.OrgW, w.OrgH, SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    // What it drew as our child is not what it shows as a window of its own: it paints itself
    // whole again, frame and children included.
    ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    return window;
}

HWND TabDetacher::PopWin(int pos) {
    HWND window = nullptr;
    Trapped(L"frmMain", L"PopWin", false, [&] {
        if (pos < 0 || pos >= registry_.count()) return;
        const std::shared_ptr<clsLink> node = registry_.GetNode(pos + 1);
        window = Window(node->window.hWnd);
        Forget(pos, window);
        currentLink_.reset();
        if (!::IsWindow(window)) {
            window = nullptr;
            return;
        }
        GiveBack(*node, true);
        if (!exiting_ && onPopped_) onPopped_(window);
    });
    return window;
}

void TabDetacher::CloseTab(int pos, HWND picWin) {
    Trapped(L"frmMain", L"CloseTab", false, [&] {
        if (pos < 0 || pos >= registry_.count()) return;
        const std::shared_ptr<clsLink> node = registry_.GetNode(pos + 1);
        IMWindow& w = node->window;
        if (w.Locked) return;
        const HWND window = Window(w.hWnd);
        dispatch_.SetClosing(true);
        struct Reset {
            MessageDispatch& dispatch;
            ~Reset() { dispatch.SetClosing(false); }
        } reset{dispatch_};

        ::ShowWindow(window, SW_HIDE);
        ::SetParent(window, nullptr);
        AskToClose(window);
        PumpMessagesFor(100);
        if (::IsWindow(window) && CloseIsBlocked()) {
            // The client asks the user first; the window waits in its tab for the answer.
            ::SetParent(window, picWin);
            ::ShowWindow(window, SW_SHOW);
            return;
        }
        if (::IsWindow(window)) {
            ::ShowWindow(window, SW_SHOW);
            ::MoveWindow(window, w.X, w.Y, w.OrgW, w.OrgH, TRUE);
            ::SetWindowLongW(window, GWL_STYLE, w.WinLong);
            ::SetWindowLongW(window, GWL_EXSTYLE, w.ExStyle);
            RestoreOpacity(*node);
            ::SetWindowLongPtrW(window, GWLP_HWNDPARENT, 0);
        }
        // While the client was asked, other tabs may have gone (the upkeep drops a window the
        // client destroyed, this one included): the tab is found again by its node.
        if (const int now = registry_.PositionOf(node.get()); now > 0) Forget(now - 1, window);
        else calls_.DetachInput(window);
        if (registry_.count() == 0) strip_.ShowMsg();
    });
}

void TabDetacher::PopAll() {
    exiting_ = true;
    while (registry_.count() > 0) {
        const int before = registry_.count();
        PopWin(0);
        if (registry_.count() == before) registry_.DelNode(1);  // never loop on a node that will not go
    }
    exiting_ = false;
}

int TabDetacher::DropDeadWindows() {
    int dropped = 0;
    for (int pos = registry_.count() - 1; pos >= 0; --pos) {
        const HWND window = Window(registry_.GetNode(pos + 1)->window.hWnd);
        if (::IsWindow(window)) continue;
        Forget(pos, window);
        ++dropped;
    }
    if (dropped && registry_.count() == 0) strip_.ShowMsg();
    return dropped;
}

}  // namespace parlix
