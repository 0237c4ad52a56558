// The main window's state as the other parts see it: MainState, the new-message flashing
// (tmrMsg), the caption, the tray icon and tooltip, and the layout callbacks of the upkeep.
// Owns MainState and the flashing flag; everything else it passes on to the part that does it.
#pragma once

#include "base/main_state.h"
#include "base/scoped_win.h"
#include "capture/focus_win.h"
#include "capture/upkeep_win.h"
#include "settings/settings.h"
#include "ui/main_window_win.h"
#include "ui/message_poll_win.h"
#include "ui/tab_commands_win.h"
#include "ui/tray_win.h"

namespace parlix {

class MessageDispatch;
class TabView;

// Timer ids on the main window, named after the timers they drive.
enum MainTimer : UINT_PTR { tmrChkWin = kUpkeepTimer, tmrChkMsg = 2, tmrMsg = 3, tmrUnload = 5, tmrCheckHook = 6, tmrKillTip = 9 };
// Posted to the main window: move the keyboard focus into the current tab's chat.
inline constexpr UINT kMsgFocusCurrent = WM_APP + 1;
// Posted to the main window after a capture: bring it to the front and move the focus.
inline constexpr UINT kMsgAfterCapture = WM_APP + 12;
// Posted by the new-message poll's worker when a round's results are ready.
inline constexpr UINT kMsgPollResults = WM_APP + 11;

class WindowState final : public TrayHost, public UpkeepHost, public FocusHost, public MessagePollHost {
public:
    // Every part named here must outlive this object; they may be constructed after it, as
    // long as nothing is asked of it before they are.
    WindowState(MainWindow& view, const Settings& settings, const MessageDispatch& dispatch, TabView& tabs,
                TabCommands& commands, Tray& tray, ChatFocus& focus)
        : view_(view), settings_(settings), dispatch_(dispatch), tabs_(tabs), commands_(commands), tray_(tray),
          focus_(focus) {}

    // The icons shown in the tray; the caller keeps them alive.
    void SetIcons(HICON program, HICON newMessage) noexcept {
        programIcon_ = program;
        newMsgIcon_ = newMessage;
    }
    // Posts kMsgFocusCurrent (wParam: how often it was put off). A capture and the tab switch it
    // causes both ask; each answer waits on two clients, so only the last one queued is answered.
    bool PostFocusCurrent(WPARAM deferrals = 0) noexcept { return PostCounted(kMsgFocusCurrent, deferrals, focusPosts_); }
    // Called as kMsgFocusCurrent arrives: false while a later one is still queued.
    [[nodiscard]] bool FocusCurrentTaken() noexcept { return focusPosts_ == 0 || --focusPosts_ == 0; }
    // Posts kMsgAfterCapture (wParam as above). While one is queued, a focus move queued before
    // it is left to the one it asks for.
    bool PostAfterCapture(WPARAM deferrals = 0) noexcept {
        return PostCounted(kMsgAfterCapture, deferrals, afterCapturePosts_);
    }
    void AfterCaptureTaken() noexcept {
        if (afterCapturePosts_ > 0) --afterCapturePosts_;
    }
    [[nodiscard]] bool AfterCaptureQueued() const noexcept { return afterCapturePosts_ > 0; }
    // The state the upkeep and the focus keep up to date (they hold this reference).
    [[nodiscard]] MainWindowState& State() noexcept { return mainState_; }

    // TrayHost
    [[nodiscard]] MainWindowState MainState() const override { return mainState_; }
    void SetMainState(MainWindowState state) override { mainState_ = state; }
    [[nodiscard]] bool IsFlashing() const override { return flashing_; }
    void FocusMain() override;
    void ShowTrayMenu() override { commands_.ShowTrayMenu(); }

    // UpkeepHost
    [[nodiscard]] int HeaderHeight() const override { return view_.HeaderHeight(); }
    [[nodiscard]] bool TabRowAtBottom() const override { return view_.Strip().Bottom(); }
    [[nodiscard]] int Dpi() const override { return view_.Dpi(); }
    void MoveTabStrip(const PixelRect& r) override { view_.Strip().Move(r.x, r.y, r.width, r.height); }
    void PicWinPlaced(const PixelRect& r) override {
        view_.Notice().Move(RECT{r.x, r.y, r.x + r.width, r.y + r.height});
    }
    void HideToTray() override { tray_.ShowInTaskBar(false); }
    [[nodiscard]] int CurrentTabNumber() const override;

    // FocusHost
    [[nodiscard]] int SelectedTab() const override { return view_.Strip().Selected(); }
    void SelectTab(int index) override { view_.Strip().Selected(index); }
    [[nodiscard]] bool SilentMode() const override { return commands_.Silent(); }
    void ShowFromTray() override { tray_.ShowInTaskBar(true); }

    // MessagePollHost
    [[nodiscard]] int CurrentTab() const override { return CurrentTabNumber(); }
    [[nodiscard]] bool MainIsActive() const override;
    [[nodiscard]] bool Silent() const override { return commands_.Silent(); }
    void SetItemText(int index, const std::wstring& caption) override { view_.Strip().SetItemText(index, caption); }
    void HilightItem(int index, bool highlight) override { view_.Strip().HilightItem(index, highlight); }
    void ShowTray(const std::wstring& title, const std::wstring& text, int flag) override {
        tray_.ShowTray(title, text, static_cast<DWORD>(flag));
    }
    [[nodiscard]] std::wstring MainCaption() const override { return view_.Caption(); }
    void SetMainCaption(const std::wstring& caption) override { view_.SetCaption(caption); }
    void SetTrayTip(const std::wstring& tip) override { tray_.SetTrayTip(tip); }
    void ApplyMaximizeBox() override { parlix::ApplyMaximizeBox(view_.Hwnd(), settings_.org_AutoSize); }
    void FlashMain() override { ::FlashWindow(view_.Hwnd(), FALSE); }
    void EnableFlashTimer(bool enabled) override;
    void SetTrayIcon(TrayIconKind icon) override;

private:
    // Posts msg to the main window and counts it in posted while it is queued.
    bool PostCounted(UINT msg, WPARAM deferrals, int& posted) noexcept {
        if (!::PostMessageW(view_.Hwnd(), msg, deferrals, 0)) return false;
        ++posted;
        return true;
    }

    MainWindow& view_;
    const Settings& settings_;
    const MessageDispatch& dispatch_;
    TabView& tabs_;
    TabCommands& commands_;
    Tray& tray_;
    ChatFocus& focus_;
    HICON programIcon_ = nullptr;
    HICON newMsgIcon_ = nullptr;
    MainWindowState mainState_ = MainWindowState::Normal;
    bool flashing_ = false;  // tmrMsg runs
    int focusPosts_ = 0;     // kMsgFocusCurrent posted and not yet taken
    int afterCapturePosts_ = 0;  // kMsgAfterCapture likewise
};

}  // namespace parlix
