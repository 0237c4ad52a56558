#include "app/window_state_win.h"

#include "app/tab_view_win.h"
#include "capture/dispatch_win.h"

namespace parlix {

namespace {
constexpr UINT kMsgFlashMs = 500;
}

void WindowState::FocusMain() {
    ::SetForegroundWindow(view_.Hwnd());
    focus_.SetQQFocus();
}

int WindowState::CurrentTabNumber() const { return tabs_.Number(); }

bool WindowState::MainIsActive() const { return dispatch_.MainIsActive(); }

void WindowState::EnableFlashTimer(bool enabled) {
    flashing_ = enabled;
    if (enabled) ::SetTimer(view_.Hwnd(), tmrMsg, kMsgFlashMs, nullptr);
    else ::KillTimer(view_.Hwnd(), tmrMsg);
}

void WindowState::SetTrayIcon(TrayIconKind icon) {
    switch (icon) {
    case TrayIconKind::NewMessage: tray_.SetTrayIcon(newMsgIcon_); break;
    case TrayIconKind::None: tray_.SetTrayIcon(nullptr); break;
    case TrayIconKind::Main: tray_.SetTrayIcon(programIcon_); break;
    }
}

}  // namespace parlix
