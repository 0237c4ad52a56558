// Shut-down: the close request, the windows given back, the unload, the end of the session.
#include "app/program_parts_win.h"

#include "base/dpi_win.h"
#include "base/last_chance_win.h"

namespace parlix {

void Program::OnClose() {
    // A fault asked for by a test happens where the exit would start (see program_win.h).
    if (!testFault_.empty()) {
        RaiseTestFault(testFault_);
        return;
    }
    if (!QueryUnload(true)) return;
    Unload();
    ::DestroyWindow(view_.Hwnd());
}

bool Program::QueryUnload(bool byUser) {
    if (!isExiting_ && settings_.tray_CloseTray) {
        if (byUser) {
            if (parts_->state.MainState() != MainWindowState::InTray) parts_->tray.ShowInTaskBar(false);
            return false;
        }
        RestoreAll();
        return true;
    }
    if (settings_.org_ExitMsg) {
        parts_->dispatch.DeregisterShellHook(view_.Hwnd());
        const int answer = ::MessageBoxW(view_.Hwnd(), L"确定要退出么?所有聊天窗口都会还原到原来的大小与位置。",
                                         L"确认？", MB_YESNO | MB_ICONQUESTION);
        if (answer != IDYES) {
            isExiting_ = false;
            parts_->dispatch.RegisterShellHook(view_.Hwnd());
            return false;
        }
        isExiting_ = true;
    }
    RestoreAll();
    return true;
}

void Program::RestoreAll() {
    // A hung client holding the keyboard focus would hold up the activation below.
    calls_.ReleaseHungFocus();
    const HWND main = view_.Hwnd();
    if (parts_->state.MainState() == MainWindowState::InTray || !::IsWindowVisible(main))
        parts_->tray.ShowInTaskBar(true);
    WINDOWPLACEMENT wp{sizeof wp};
    ::GetWindowPlacement(main, &wp);
    RECT r;
    ::GetWindowRect(main, &r);
    const std::int32_t status = ::IsIconic(main) ? 1 : ::IsZoomed(main) ? 2 : 0;
    // A minimised or maximised window stores the place it returns to.
    if (status != 0) r = wp.rcNormalPosition;
    SaveWindowPlacement(BoundsToTwips({r.left, r.top, r.right - r.left, r.bottom - r.top}, SystemDpi(), view_.Dpi()),
                        status);
    parts_->dispatch.DeregisterShellHook(main);
    parts_->detacher.PopAll();
}

void Program::Unload() {
    if (unloaded_ || !parts_) return;
    unloaded_ = true;
    // The dialogs go before the plugins: a plugin's settings page is given back to it first.
    settingsDialog_.reset();
    aboutBox_.reset();
    plugins_.Unload();
    const HWND main = view_.Hwnd();
    if (main) {
        for (UINT_PTR timer : {tmrChkWin, tmrCheckHook, tmrChkMsg, tmrMsg}) ::KillTimer(main, timer);
        ::UnregisterHotKey(main, 1);
        parts_->tray.DeleteTrayIcon();
        parts_->dispatch.DeregisterShellHook(main);
        parts_->dispatch.UnhookMainWindow();
    }
    discovery_.EndHooks();
    parts_->detacher.PopAll();
    calls_.DetachAll();
    GiveBackWorkers& hung = parts_->detacher.Workers();
    if (main && hung.Pending() > 0) {
        // Hung clients take their windows back when they answer again; until then those windows
        // are still children of ours and would die with the main window. The program looks
        // ended meanwhile, and another instance may start.
        ::ShowWindow(main, SW_HIDE);
        instanceMutex_.reset();
        hung.Wait(kHungGiveBackMs, true);
    }
    ClearLastChance();
}

void Program::RestoreForCrash() noexcept {
    if (!parts_) return;
    const HWND main = view_.Hwnd();
    if (main && ::GetWindowThreadProcessId(main, nullptr) != ::GetCurrentThreadId()) {
        DWORD_PTR done = 0;
        if (::SendMessageTimeoutW(main, kMsgGiveBackForFault, 0, 0, SMTO_ABORTIFHUNG, kFaultGiveBackMs + 2000, &done) &&
            done == 1)
            return;
    }
    // On the user-interface thread, or when it does not answer: nothing of the program's own
    // windows is touched from here.
    parts_->detacher.GiveBackForFault();
}

void Program::EndSession() {
    // The session ends whatever the user would answer: no question, every window back first.
    if (unloaded_) return;
    isExiting_ = true;
    RestoreAll();
    Unload();
    EndProgramNow(0);
}

}  // namespace parlix
