#include "capture/focus_win.h"

#include "base/handle_value_win.h"

#include "base/error_report_win.h"
#include "capture/upkeep_rules.h"

namespace parlix {

HWND FocusTarget(const IMWindow& w) {
    return IsQQ2009(w.Version) || IsBaiduHi(w.Version) ? Window(w.hWnd) : Window(w.SayHwnd);
}

void ChatFocus::SetQQFocus() {
    Trapped(L"frmMain", L"SetQQFocus", false, [&] {
        if (const auto node = currentLink_.lock()) calls_.Focus(FocusTarget(node->window));
    });
}

int ChatFocus::PositionOfCaptured(HWND hwnd) const {
    // A click inside a chat window names the child under the cursor: its captured ancestor
    // holds the tab.
    for (HWND w = hwnd; w && w != picWin_ && w != main_; w = ::GetParent(w))
        if (const int pos = registry_.PositionOfWindow(Value(w)); pos > 0) return pos;
    return 0;
}

bool ChatFocus::SetQQFocusByHwnd(HWND hwnd, bool find, bool QQOnly, std::shared_ptr<clsLink>* link) {
    bool found = false;
    Trapped(L"frmMain", L"SetQQFocusByHwnd", false, [&] {
        const int pos = PositionOfCaptured(hwnd);
        if (pos == 0) return;
        found = true;
        const std::shared_ptr<clsLink> node = registry_.GetNode(pos);
        if (find) {
            if (link) *link = node;
            return;
        }
        if (host_.SilentMode()) return;
        if (host_.SelectedTab() != pos - 1) host_.SelectTab(pos - 1);
        if (mainState_ == MainWindowState::InTray && settings_.tray_Enabled) host_.ShowFromTray();
        const IMWindow& w = node->window;
        if (!QQOnly) calls_.Focus(FocusTarget(w));
        else if (CaptionFollowsTitle(w.Version)) calls_.Focus(Window(w.hWnd));
    });
    return found;
}

void ChatFocus::StartSetFocus() { ::SetTimer(main_, tmrSetFocus, kSetFocusMs, nullptr); }

void ChatFocus::StartSetFocus2(HWND popped) {
    focusHWND = popped;
    ::SetTimer(main_, tmrSetFocus2, kSetFocus2Ms, nullptr);
}

bool ChatFocus::OnTimer(UINT_PTR id) {
    if (id == tmrSetFocus) {
        ::KillTimer(main_, tmrSetFocus);
        SetQQFocus();
        return true;
    }
    if (id == tmrSetFocus2) {
        ::KillTimer(main_, tmrSetFocus2);
        // The popped window is a top-level window of another thread whose input queue is no
        // longer attached: SetFocus cannot reach it; bringing it to the front lets its client
        // put the focus where it belongs.
        if (focusHWND && ::IsWindow(focusHWND)) ::SetForegroundWindow(focusHWND);
        focusHWND = nullptr;
        return true;
    }
    return false;
}

}  // namespace parlix
