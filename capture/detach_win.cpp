#include "capture/detach_win.h"

#include "base/handle_value_win.h"

#include "base/error_report_win.h"
#include "base/message_pump_win.h"
#include "capture/attach_rules.h"

#include <algorithm>
#include <map>
#include <memory>
#include <vector>

namespace parlix {

namespace {

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

GiveBackRecord TabDetacher::PoppedRecord(clsLink& node) {
    IMWindow& w = node.window;
    const Point at = PopOutPosition({w.X, w.Y}, w.OrgW, w.OrgH, ::GetSystemMetrics(SM_CXSCREEN),
                                    ::GetSystemMetrics(SM_CYSCREEN));
    w.X = at.x;
    w.Y = at.y;
    return RecordOf(node);
}

bool TabDetacher::Answers(HWND window) { return calls_.Send(window, WM_NULL, 0, 0, kProbeMs).has_value(); }

HWND TabDetacher::PopWin(int pos) {
    HWND window = nullptr;
    Trapped(L"frmMain", L"PopWin", false, [&] {
        if (pos < 0 || pos >= registry_.count()) return;
        const std::shared_ptr<clsLink> node = registry_.GetNode(pos + 1);
        window = Window(node->window.hWnd);
        const bool answers = ::IsWindow(window) && Answers(window);
        Forget(pos, window);
        currentLink_.reset();
        if (!::IsWindow(window)) {
            window = nullptr;
            return;
        }
        if (!answers) {
            // No merge button and no focus for a window its client cannot draw yet.
            workers_.Start(window, PoppedRecord(*node), false);
            window = nullptr;
            return;
        }
        RestoreWindow(window, PoppedRecord(*node));
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
        if (::IsWindow(window) && !Answers(window)) {
            // A hung client is asked once it answers again, with its window already back.
            Forget(pos, window);
            workers_.Start(window, RecordOf(*node), true);
            if (registry_.count() == 0) strip_.ShowMsg();
            return;
        }
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
            ::SetLayeredWindowAttributes(window, 0, node->originalAlpha >= 0 ? static_cast<BYTE>(node->originalAlpha) : BYTE{255},
                                         LWA_ALPHA);
            ::SetWindowLongPtrW(window, GWLP_HWNDPARENT, 0);
            Unmark(window);
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
    // Every tab goes first, at once: selecting and laying out each next tab on the way out
    // would cost a layout per window for a window that is about to go as well.
    const std::vector<std::shared_ptr<clsLink>> nodes(registry_.Nodes().begin(), registry_.Nodes().end());
    while (registry_.count() > 0) registry_.DelNode(registry_.count());
    strip_.DelAllItems();
    currentLink_.reset();
    // One probe per client thread; the windows of clients that answer go back now, in tab
    // order, and only then are the hung clients' ones started.
    std::map<DWORD, bool> answers;
    std::vector<std::pair<HWND, GiveBackRecord>> later;
    for (const auto& node : nodes) {
        const HWND window = Window(node->window.hWnd);
        if (!::IsWindow(window)) {
            calls_.DetachInput(window);
            continue;
        }
        const auto [it, fresh] = answers.try_emplace(::GetWindowThreadProcessId(window, nullptr), false);
        if (fresh) it->second = Answers(window);
        calls_.DetachInput(window);
        if (it->second) RestoreWindow(window, PoppedRecord(*node));
        else later.emplace_back(window, PoppedRecord(*node));
    }
    for (const auto& [window, record] : later) workers_.Start(window, record, false);
    exiting_ = false;
}

void TabDetacher::GiveBackForFault() noexcept {
    try {
        for (const auto& node : registry_.Nodes()) {
            const HWND window = Window(node->window.hWnd);
            if (!::IsWindow(window)) continue;
            if (ClientAnswers(window)) RestoreWindow(window, PoppedRecord(*node));
            else workers_.Start(window, PoppedRecord(*node), false);
        }
    } catch (...) {
    }
    workers_.Wait(kFaultGiveBackMs, false);
}

int TabDetacher::DropDeadWindows(int others) {
    const int count = registry_.count();
    if (count == 0) return 0;
    const auto current = currentLink_.lock();
    std::vector<int> dead;  // positions from 0
    const auto look = [&](int pos) {
        if (!::IsWindow(Window(registry_.GetNode(pos + 1)->window.hWnd))) dead.push_back(pos);
    };
    const int currentPos = current ? registry_.PositionOf(current.get()) - 1 : -1;
    if (currentPos >= 0) look(currentPos);
    const int rest = std::min(others, count);
    for (int i = 0; i < rest; ++i)
        if (const int pos = (sweepFrom_ + i) % count; pos != currentPos) look(pos);
    sweepFrom_ = (sweepFrom_ + rest) % count;
    // From the last position back, so that the positions still to go stay right.
    std::sort(dead.begin(), dead.end(), std::greater<>());
    for (const int pos : dead) Forget(pos, Window(registry_.GetNode(pos + 1)->window.hWnd));
    if (!dead.empty() && registry_.count() == 0) strip_.ShowMsg();
    return static_cast<int>(dead.size());
}

}  // namespace parlix
