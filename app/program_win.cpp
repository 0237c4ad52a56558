// The router of the main window's messages and the answers to what the dispatcher, the tab
// commands and the tab switch ask of the program.
#include "app/program_parts_win.h"

#include "base/dpi_win.h"
#include "base/error_report_win.h"
#include "base/handle_value_win.h"
#include "base/message_pump_win.h"
#include "base/product_info.h"
#include "ui/tab_commands.h"

#include <shellapi.h>

namespace parlix {

namespace {
constexpr UINT kUnloadMs = 100;
// How often a focus move or the end of a capture lets waiting posted messages go first.
constexpr WPARAM kFocusDeferrals = 4;
}

LocalDate TodayLocal() {
    SYSTEMTIME t;
    ::GetLocalTime(&t);
    return {t.wMonth, t.wDay};
}

Program::Program(DateSource today) : today_(std::move(today)), plugins_(ProgramDirectory()) {}

Program::~Program() { Unload(); }

// ---- the router ---------------------------------------------------------------------------

LRESULT Program::Route(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) {
    if (msg == WM_DESTROY) {
        handled = true;
        Unload();
        ::PostQuitMessage(0);
        return 0;
    }
    if (!parts_) return 0;
    if (msg == kMsgGiveBackForFault) {
        handled = true;
        parts_->detacher.PopAll();
        parts_->detacher.Workers().Wait(kFaultGiveBackMs, false);
        return 1;
    }
    if (unloaded_) {
        // Waiting for hung clients to take their windows back: the window must not close yet.
        handled = msg == WM_CLOSE;
        return 0;
    }
    if (msg == tabInfoMsg_ && msg != 0) {
        handled = true;
        return TabInfo(wParam, lParam);
    }
    handled = true;
    switch (msg) {
    case WM_SIZE: parts_->upkeep.FormResize(); return 0;
    case WM_TIMER: OnTimer(wParam); return 0;
    case WM_COMMAND: OnCommand(wParam, lParam); return 0;
    case WM_RBUTTONUP: parts_->commands.RButtonClickedWindow(); return 0;
    case WM_CLOSE: OnClose(); return 0;
    case kWmDpiChanged: OnDpiChanged(LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam)); return 0;
    case kMsgPollResults: parts_->poll.TakeResults(); return 0;
    case kMsgAfterCapture:
        parts_->state.AfterCaptureTaken();
        if (!LetWaitingGoFirst(msg, wParam)) parts_->capture.FinishCapture();
        return 0;
    case kMsgFocusCurrent:
        // A later focus move is queued, or the end of a capture that asks for one: that one
        // answers this one as well.
        if (!parts_->state.FocusCurrentTaken() || parts_->state.AfterCaptureQueued() || LetWaitingGoFirst(msg, wParam))
            return 0;
        // Set tab read moves the focus into the chat as well.
        if (parts_->dispatch.MainIsActive()) parts_->poll.SetTabRead();
        else FocusCurrent();
        return 0;
    default: handled = false; return 0;
    }
}

bool Program::LetWaitingGoFirst(UINT msg, WPARAM deferrals) {
    // Bringing the main window to the front and moving the focus wait on the window manager
    // and on two clients: what is already posted and waiting (most of all a hook notice of a
    // chat window to capture, which selects a tab of its own and asks for these again) is
    // taken first, a few times at most.
    if (deferrals >= kFocusDeferrals || !PostedMessageWaiting()) return false;
    return msg == kMsgFocusCurrent ? parts_->state.PostFocusCurrent(deferrals + 1)
                                   : parts_->state.PostAfterCapture(deferrals + 1);
}

LRESULT Program::TabInfo(WPARAM index, LPARAM what) const {
    if (what == kTabInfoIdle) return started_ && parts_->dispatch.Nesting() == 1 ? 1 : 0;
    const TabRegistry& registry = parts_->registry;
    if (index >= static_cast<WPARAM>(registry.count())) return -1;
    const IMWindow& w = registry.GetNode(static_cast<int>(index) + 1)->window;
    if (what == kTabInfoWindow) return static_cast<LRESULT>(w.hWnd);
    if (what == kTabInfoKind)
        return static_cast<LRESULT>(w.Version) | (w.IsGroup ? 0x100 : 0) | (w.Locked ? 0x200 : 0);
    if (what == kTabInfoFoundBy)
        return static_cast<LRESULT>(parts_->poll.LastFoundBy(*registry.GetNode(static_cast<int>(index) + 1)));
    return -1;
}

void Program::OnTimer(UINT_PTR id) {
    Parts& p = *parts_;
    if (p.focus.OnTimer(id)) {
        // A pop-out leaves no current tab until the popped window has its focus; then the tab
        // left selected is current again, so upkeep and the tab read follow it.
        if (id == tmrSetFocus2) p.tabs.RepointToSelected();
        return;
    }
    switch (id) {
    case tmrChkWin: p.upkeep.Tick(); break;
    case tmrKillTip: p.tray.OnKillTipTimer(); break;
    case tmrChkMsg: p.poll.Schedule(); break;
    case tmrMsg: p.poll.FlashTick(); break;
    case tmrCheckHook:
        // A client found now may have opened chats before: they were rejected when they
        // appeared (not a known client then) and are examined once more here.
        for (HWND w : TopLevelWindowsOf(FindClients())) DetectWindow(w);
        break;
    case tmrUnload:
        ::KillTimer(view_.Hwnd(), tmrUnload);
        isExiting_ = true;
        ::PostMessageW(view_.Hwnd(), WM_CLOSE, 0, 0);
        break;
    default: break;
    }
}

void Program::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (lParam != 0) {
        if (reinterpret_cast<HWND>(lParam) == view_.Notice().Link() && HIWORD(wParam) == STN_CLICKED)
            ::ShellExecuteW(view_.Hwnd(), L"open", kHomePage, L"0", L"", SW_HIDE);
        return;
    }
    // Commands sent from outside a menu act on the selected tab when no click chose one.
    TabCommands& commands = parts_->commands;
    if (commands.ContextTab() < 0 || commands.ContextTab() >= view_.Strip().count())
        commands.ContextTab(view_.Strip().Selected());
    commands.Execute(LOWORD(wParam));
}

void Program::OnDpiChanged(int dpi, const RECT& suggested) {
    // The window moved to a monitor of another dpi (or the user changed the scale): everything
    // measured in pixels is measured again, then the window takes the size the system suggests,
    // which lays it out (WM_SIZE); a window whose size stays is laid out here.
    view_.SetDpi(dpi);
    ::SetWindowPos(view_.Hwnd(), nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                   suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    parts_->upkeep.FormResize();
    if (view_.Notice().Visible()) {
        RECT client{};
        ::GetClientRect(view_.Hwnd(), &client);
        view_.Notice().Move(client);
    }
    if (parts_->dispatch.NumbersShown()) ShowNumbers();
}

// ---- DispatchHost -------------------------------------------------------------------------

void Program::DetectWindow(HWND window) { parts_->capture.DetectWindow(window); }

void Program::HistoryChanged(HWND window) { parts_->poll.HistoryChanged(window); }

void Program::OnMainActivated() {
    if (parts_->state.MainState() == MainWindowState::InTray) parts_->focus.StartSetFocus();
    // The tab is read (and the focus moved into it) through a posted focus move: activation
    // also comes in the middle of a capture, whose own focus move then answers this one.
    else parts_->state.PostFocusCurrent();
}

void Program::ReAddTrayIcon() { parts_->tray.KillTip(); }

void Program::TrayAction(LPARAM message) { parts_->tray.TrayAction(message); }

void Program::KeyFunctions(int id) {
    Trapped(L"modHotKey", L"KeyFunctions", true, [&] {
        TabControl& strip = view_.Strip();
        const int count = strip.count();
        if (id == 1) {
            WindowState& state = parts_->state;
            if (state.MainState() == MainWindowState::InTray) {
                parts_->tray.ShowInTaskBar(true);
                state.FocusMain();
            } else if (state.IsFlashing()) {
                state.FocusMain();
            } else {
                parts_->tray.ShowInTaskBar(false);
            }
            return;
        }
        if (!parts_->dispatch.MainIsActive() || count == 0) return;
        const int s = strip.Selected();
        if (id == 2) strip.Selected(tabs::NextTab(s, count));
        else if (id == 3) strip.Selected(tabs::PreviousTab(s, count));
        else if (id == 4) strip.Selected(count - 1);
        else if (id >= 5 && id <= 13 && id - 5 < count) strip.Selected(id - 5);
    });
}

void Program::ShowNumbers() {
    view_.Badges().ShowNumer(view_.Strip().count(), [this](int index) {
        RECT r = view_.Strip().GetItemRect(index);
        ::MapWindowPoints(view_.Strip().hwnd(), view_.Hwnd(), reinterpret_cast<POINT*>(&r), 2);
        return r;
    });
}

bool Program::SetQQFocusByHwnd(HWND window, bool find, bool qqOnly) {
    return parts_->focus.SetQQFocusByHwnd(window, find, qqOnly);
}

namespace {
ScreenPoint CursorNow() {
    POINT p{};
    ::GetCursorPos(&p);
    return {p.x, p.y};
}
}  // namespace

void Program::BeginMouseGesture() { mouseGestures_.Begin(CursorNow()); }

void Program::AddToMouseGesture() { mouseGestures_.Add(CursorNow()); }

bool Program::EndMouseGesture() {
    const int type = mouseGestures_.End(CursorNow());
    return type != 0 && MouseGesture(type);
}

bool Program::MouseGesture(int type) {
    const int current = parts_->tabs.Number();
    const int count = view_.Strip().count();
    if (current < 1 || current > count) return false;
    switch (type) {
    case kGestureUp: PopTab(current - 1); return true;
    case kGestureDown: CloseTab(current - 1); return true;
    case kGestureRight: view_.Strip().Selected(current == count ? 0 : current); return true;
    case kGestureLeft: view_.Strip().Selected(current == 1 ? count - 1 : current - 2); return true;
    default: return false;
    }
}

bool Program::HasCurrentTab() const { return parts_->tabs.Current() != nullptr; }

WheelBand Program::TabStripBand() const {
    const MainWindow::Band b = view_.StripBand();
    return {b.width, b.top, b.bottom};
}

// ---- TabUiHost ----------------------------------------------------------------------------

TabRegistry& Program::Registry() { return parts_->registry; }

void Program::PopTab(int index) {
    // The popped window must not be taken again as a new window.
    parts_->dispatch.DeregisterShellHook(view_.Hwnd());
    const HWND popped = parts_->detacher.PopWin(index);
    parts_->dispatch.RegisterShellHook(view_.Hwnd());
    if (popped) parts_->focus.StartSetFocus2(popped);
}

void Program::CloseTab(int index) { parts_->detacher.CloseTab(index, view_.PicWin()); }

void Program::FocusCurrent() { parts_->focus.SetQQFocus(); }

void Program::ShowOrHide() { parts_->tray.ShowInTaskBar(parts_->state.MainState() == MainWindowState::InTray); }

void Program::Exit() { ::SetTimer(view_.Hwnd(), tmrUnload, kUnloadMs, nullptr); }

// ---- TabSwitchHost ------------------------------------------------------------------------

void Program::LeavingTab(const std::shared_ptr<clsLink>& node) { parts_->poll.RefreshLength(node); }

void Program::LayOutCurrent() {
    if (settings_.org_AutoSize == 1) parts_->upkeep.AdjustTabWindow();
    else parts_->upkeep.FormResize();
    parts_->upkeep.ShowCurrentWindow();
}

bool Program::MainIsActive() const { return parts_->dispatch.MainIsActive(); }

void Program::AfterSwitch() {
    // The tab is read, and the focus follows, as soon as the switch is done: moving the focus
    // waits on two clients.
    parts_->state.PostFocusCurrent();
    if (parts_->dispatch.NumbersShown()) ShowNumbers();
}

void Program::WindowEmptied() {
    if (settings_.tray_AutoMin == 1 && parts_->state.MainState() != MainWindowState::InTray)
        parts_->tray.ShowInTaskBar(false);
}

}  // namespace parlix
