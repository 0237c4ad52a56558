// The program's one notification-area icon (modTray): adds and removes it, changes its tooltip
// and picture, shows the new-message balloons, answers clicks on the icon and its balloon, and
// moves the main window between the taskbar and the tray. The main window owns one Tray and
// routes to it the tray callback message, "TaskbarCreated" and the tmrKillTip tick.
//
// The calls to the shell go through a ShellIconSender: the UI thread does not wait for them.
// One record serves every call; each operation changes only its own fields, so a tooltip or
// icon change made while uFlags still holds the balloon shows the balloon text again (the
// balloon stays until tmrKillTip removes it).
#pragma once

#include "base/main_state.h"
#include "base/scoped_win.h"
#include "ui/shell_icon_sender_win.h"

#include <windows.h>

#include <shellapi.h>

#include <string_view>

namespace parlix {

// Icon resource of the main program shown while a new message is unread.
inline constexpr int kNewMessageIconId = 103;

// What the tray asks of the main window.
class TrayHost {
public:
    virtual ~TrayHost() = default;
    [[nodiscard]] virtual MainWindowState MainState() const = 0;
    virtual void SetMainState(MainWindowState state) = 0;
    // tmrMsg is running: a new message is being flashed.
    [[nodiscard]] virtual bool IsFlashing() const = 0;
    // Brings the main window forward with the keyboard focus.
    virtual void FocusMain() = 0;
    // The tray menu at the cursor: silent-mode check mark set, mnuShow the default item.
    virtual void ShowTrayMenu() = 0;
};

class Tray {
public:
    // killTipTimer: the id of tmrKillTip on the main window; its ticks go to OnKillTipTimer.
    Tray(TrayHost& host, UINT_PTR killTipTimer) noexcept : host_(host), killTipTimer_(killTipTimer) {}
    Tray(const Tray&) = delete;
    Tray& operator=(const Tray&) = delete;
    // A program that forgets DeleteTrayIcon leaves no dead icon behind.
    ~Tray() { DeleteTrayIcon(); }

    // The shell is called on the sender's thread: true when a call was given to it (the icon is
    // installed), whatever the shell answers; the program goes on either way. Flush tells the
    // shell's answers.

    // Fills the record with the welcome texts and balloon and adds the icon for mainWindow, then
    // starts tmrKillTip. icon: the program icon, or null for a blank icon (tray_TransIcon). The
    // caller keeps every icon handed in alive while the tray may show it (re-adds reuse it).
    bool AddTrayIcon(HWND mainWindow, HICON icon);
    // Waits for the removal (kShellDrainMs at most); true when the shell accepted it and every
    // call before it since the last Flush.
    bool DeleteTrayIcon();
    // Deletes and re-adds the icon without its balloon; also the answer to "TaskbarCreated".
    // Nothing when the icon is not installed.
    bool KillTip();
    bool SetTrayTip(std::wstring_view text);
    bool SetTrayIcon(HICON icon);
    // A balloon notice; it stays tray_TipTime seconds from now, even over an earlier one.
    bool ShowTray(std::wstring_view title, std::wstring_view text, DWORD infoFlags);

    // The tray callback message's lParam (the notice plugin's click arrives as a balloon click).
    void TrayAction(LPARAM message);
    // True: back to the taskbar, shown and restored; False: minimised and hidden in the tray.
    void ShowInTaskBar(bool show);
    void apply(bool taskVisible, LONG exStyle);

    // tray_TipTime, at start-up and after the settings dialog; a running tmrKillTip restarts
    // with the new interval.
    void SetTipTime(int seconds);
    void OnKillTipTimer();

    [[nodiscard]] bool BalloonShowing() const noexcept { return balloon_; }
    [[nodiscard]] bool Installed() const noexcept { return installed_; }
    [[nodiscard]] const NOTIFYICONDATAW& Record() const noexcept { return nid_; }
    // Waits until the shell was called for everything so far; true when it accepted all of it
    // since the last Flush.
    bool Flush() { return shell_.Flush(); }
    // How many times the shell was called to add or change the icon.
    [[nodiscard]] int ShellCalls() const noexcept { return shellCalls_; }

private:
    void RestartKillTip();
    void StopKillTip();
    // Sends the record to the shell unless it is unchanged and the shell has it already.
    bool Modify(bool changed);

    TrayHost& host_;
    UINT_PTR killTipTimer_;
    UINT killTipMs_ = 3000;  // tmrKillTip as created
    bool killTipRunning_ = false;
    HWND main_ = nullptr;
    NOTIFYICONDATAW nid_{};
    bool installed_ = false;  // added and not yet deleted (even if the shell refused the add)
    bool balloon_ = false;
    int shellCalls_ = 0;
    ShellIconSender shell_;
};

// The icon shown while a new message is unread, from the main program's resources.
[[nodiscard]] ScopedIcon LoadNewMessageIcon(HINSTANCE program, int size = 16);

}  // namespace parlix
