#include "ui/tray_win.h"

#include "base/error_report_win.h"
#include "capture/dispatch_win.h"
#include "ui/tray_action.h"
#include "ui/tray_text.h"

#include <algorithm>
#include <cstdint>
#include <cwchar>

namespace parlix {

namespace {
constexpr UINT kTrayIconId = 1;
// uFlags while a balloon may show, and after it has been removed.
constexpr UINT kFlagsWithBalloon = NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_INFO;
constexpr UINT kFlagsPlain = NIF_MESSAGE | NIF_ICON | NIF_TIP;

constexpr wchar_t kWelcomeTitle[] = L"欢迎使用Parlix";
constexpr wchar_t kWelcomeText[] = L"单击本图标将显示/隐藏窗口。";

std::size_t SystemCodePageWidth(std::wstring_view character) {
    const int n = ::WideCharToMultiByte(CP_ACP, 0, character.data(), static_cast<int>(character.size()),
                                        nullptr, 0, nullptr, nullptr);
    return n > 0 ? static_cast<std::size_t>(n) : 1;
}

// The text, cut to the field, NUL-ended and left-aligned; the rest of the field is cleared.
template <std::size_t N> void SetField(wchar_t (&field)[N], std::wstring_view text, std::size_t fieldBytes) {
    static_assert(N > 0);
    const std::wstring fitted = FitTrayField(text, fieldBytes, SystemCodePageWidth);
    std::wmemset(field, L'\0', N);
    std::wmemcpy(field, fitted.data(), std::min(fitted.size(), N - 1));
}
}  // namespace

bool Tray::AddTrayIcon(HWND mainWindow, HICON icon) {
    if (installed_) DeleteTrayIcon();
    main_ = mainWindow;
    nid_ = NOTIFYICONDATAW{};
    // Up to the balloon fields: the record every shell since the first balloons understands.
    nid_.cbSize = NOTIFYICONDATAW_V2_SIZE;
    nid_.hWnd = mainWindow;
    nid_.uID = kTrayIconId;
    nid_.uFlags = kFlagsWithBalloon;
    nid_.uCallbackMessage = kTrayCallbackMsg;
    nid_.hIcon = icon;
    SetField(nid_.szTip, kWelcomeTitle, kTrayTipField);
    SetField(nid_.szInfo, kWelcomeText, kTrayInfoField);
    nid_.uTimeout = 0;
    SetField(nid_.szInfoTitle, kWelcomeTitle, kTrayInfoTitleField);
    nid_.dwInfoFlags = NIIF_INFO;
    installed_ = true;
    balloon_ = false;
    ++shellCalls_;
    shell_.Send(NIM_ADD, nid_);
    RestartKillTip();
    return true;
}

bool Tray::DeleteTrayIcon() {
    if (!installed_) return false;
    installed_ = false;
    balloon_ = false;
    StopKillTip();
    // The icon is gone before the program goes on (to its exit, mostly).
    shell_.Send(NIM_DELETE, nid_);
    return shell_.Flush();
}

bool Tray::KillTip() {
    if (!installed_) return false;
    nid_.uFlags = kFlagsPlain;
    // After a restart of the shell no hide notice comes for the balloon that went with it.
    balloon_ = false;
    shell_.Send(NIM_DELETE, nid_);
    shellCalls_ += 2;
    shell_.Send(NIM_ADD, nid_);
    return true;
}

bool Tray::SetTrayTip(std::wstring_view text) {
    constexpr std::size_t kTipChars = sizeof(NOTIFYICONDATAW::szTip) / sizeof(wchar_t);
    wchar_t before[kTipChars];
    std::wmemcpy(before, nid_.szTip, kTipChars);
    SetField(nid_.szTip, text, kTrayTipField);
    return Modify(std::wmemcmp(before, nid_.szTip, kTipChars) != 0);
}

bool Tray::SetTrayIcon(HICON icon) {
    const bool changed = nid_.hIcon != icon;
    nid_.hIcon = icon;
    return Modify(changed);
}

bool Tray::Modify(bool changed) {
    if (!installed_) return false;
    // Every tab switch sets the tip and the icon again; each call is a round trip to the shell
    // (tens of milliseconds under load), so what the shell already shows is not sent again.
    const bool refused = shell_.TakeRefused();
    if (!changed && !refused) return true;
    ++shellCalls_;
    shell_.Send(NIM_MODIFY, nid_);
    return true;
}

bool Tray::ShowTray(std::wstring_view title, std::wstring_view text, DWORD infoFlags) {
    bool shown = false;
    Trapped(L"modTray", L"ShowTray", false, [&] {
        SetField(nid_.szInfoTitle, title, kTrayInfoTitleField);
        SetField(nid_.szInfo, text, kTrayInfoField);
        nid_.uFlags = kFlagsWithBalloon;
        nid_.dwInfoFlags = infoFlags;
        if (!installed_) return;
        ++shellCalls_;
        shell_.Send(NIM_MODIFY, nid_);
        shown = true;
        RestartKillTip();
    });
    return shown;
}

void Tray::TrayAction(LPARAM message) {
    Trapped(L"modTray", L"TrayAction", false, [&] {
        // The message is in the low word; newer icon versions put the icon id above it.
        const auto code = static_cast<std::uint32_t>(static_cast<std::uintptr_t>(message) & 0xFFFF);
        const TrayDecision d = DecideTrayAction(code, {balloon_, host_.MainState(), host_.IsFlashing()});
        if (d.balloonShowing) balloon_ = *d.balloonShowing;
        if (d.showInTaskBar) ShowInTaskBar(true);
        if (d.hideToTray) ShowInTaskBar(false);
        if (d.focusMain) host_.FocusMain();
        if (d.showMenu) host_.ShowTrayMenu();
    });
}

void Tray::ShowInTaskBar(bool show) {
    Trapped(L"modTray", L"ShowInTaskBar", false, [&] {
        if (!main_) return;
        const LONG exStyle = ::GetWindowLongW(main_, GWL_EXSTYLE);
        if (show) {
            // Showing a window may wait on the shell, and messages sent to the main window are
            // handled meanwhile: they must already see it out of the tray.
            const MainWindowState before = host_.MainState();
            host_.SetMainState(MainWindowState::Normal);
            apply(true, exStyle | WS_EX_APPWINDOW);
            // Restoring a window that was maximised before it went to the tray maximises it.
            if (::IsIconic(main_)) ::ShowWindow(main_, SW_RESTORE);
            const LONG style = ::GetWindowLongW(main_, GWL_STYLE);
            if (style & WS_MAXIMIZE)
                host_.SetMainState(MainWindowState::Maximized);
            else if (style & WS_MINIMIZE)
                host_.SetMainState(before);
        } else {
            // Set before the minimise: the main window's size handler must see the window as
            // already going to the tray, or it would send it there a second time.
            host_.SetMainState(MainWindowState::InTray);
            ::SendMessageW(main_, WM_SYSCOMMAND, SC_MINIMIZE, 0);
            apply(false, exStyle & ~WS_EX_APPWINDOW);
        }
    });
}

void Tray::apply(bool taskVisible, LONG exStyle) {
    Trapped(L"modTray", L"apply", false, [&] {
        if (!main_) return;
        // The taskbar re-reads the style only when the window is shown again.
        ::ShowWindow(main_, SW_HIDE);
        ::SetWindowLongW(main_, GWL_EXSTYLE, exStyle);
        // A window of its own (no owner) that is visible always has a taskbar button: out of
        // the taskbar means hidden.
        if (taskVisible) ::ShowWindow(main_, ::IsIconic(main_) ? SW_RESTORE : SW_SHOW);
    });
}

void Tray::SetTipTime(int seconds) {
    killTipMs_ = KillTipIntervalMs(seconds);
    if (killTipRunning_) RestartKillTip();
}

void Tray::OnKillTipTimer() {
    StopKillTip();
    KillTip();
}

void Tray::RestartKillTip() {
    if (!main_) return;
    // SetTimer with the same id replaces the running timer: the full interval starts now.
    killTipRunning_ = ::SetTimer(main_, killTipTimer_, killTipMs_, nullptr) != 0;
}

void Tray::StopKillTip() {
    if (main_) ::KillTimer(main_, killTipTimer_);
    killTipRunning_ = false;
}

ScopedIcon LoadNewMessageIcon(HINSTANCE program, int size) {
    return ScopedIcon(static_cast<HICON>(
        ::LoadImageW(program, MAKEINTRESOURCEW(kNewMessageIconId), IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
}

}  // namespace parlix
