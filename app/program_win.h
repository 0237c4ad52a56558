// The program: builds its parts in dependency order, runs start-up and shut-down, and is the
// one router of the main window's messages (the dispatcher of window events sees them first,
// as the message procedure installed on the window). The parts that need the main window are
// built once it exists, together, so nothing is ever half made.
#pragma once

#include "app/capture_host_win.h"
#include "app/tab_view_win.h"
#include "app/window_state_win.h"
#include "base/scoped_win.h"
#include "capture/attach_win.h"
#include "capture/client_calls_win.h"
#include "capture/detach_win.h"
#include "capture/detect_win.h"
#include "capture/discovery_win.h"
#include "capture/dispatch_win.h"
#include "capture/focus_win.h"
#include "capture/hook_library_win.h"
#include "capture/tab_registry_win.h"
#include "capture/upkeep_win.h"
#include "capture/window_tree_win.h"
#include "settings/about_box_win.h"
#include "settings/settings.h"
#include "settings/settings_dialog_win.h"
#include "settings/settings_win.h"
#include "ui/main_window_win.h"
#include "ui/message_poll_win.h"
#include "ui/mouse_gestures.h"
#include "ui/plugin_host_win.h"
#include "ui/tab_commands_win.h"
#include "ui/tab_drag_win.h"
#include "ui/tab_ui_host.h"
#include "ui/tray_win.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace parlix {

// A read-only query other programs (automation, tests) may send to the main window, registered
// under this name: wParam = tab index from 0; lParam = kTabInfoWindow for the captured window's
// handle, kTabInfoKind for its client kind with bit 8 set for a group chat and bit 9 for a
// locked tab. The answer is -1 for an index without tab.
inline constexpr wchar_t kTabInfoMessage[] = L"Parlix.TabInfo";
inline constexpr LPARAM kTabInfoWindow = 0;
inline constexpr LPARAM kTabInfoKind = 1;
// Any index: 1 when start-up is over and the main window handles no other message (the
// query was not answered from inside a wait on another program), else 0. Lets a driver wait
// until what it asked for has been carried out completely.
inline constexpr LPARAM kTabInfoIdle = 2;
// How the tab's last new text was found: 0 not yet, 1 in the first poll after the client's
// notice, 2 by the poll's safety sweep (no notice told of it).
inline constexpr LPARAM kTabInfoFoundBy = 3;

// Sent by a thread the program is ending on to the main window: the user-interface thread,
// while it still answers, gives the windows back itself (it would otherwise go on laying them
// out meanwhile). The answer is 1 once it did.
inline constexpr UINT kMsgGiveBackForFault = WM_APP + 2;

// The date of the local clock, replaceable so start-up greetings can be tested.
struct LocalDate {
    int month = 1;
    int day = 1;
};
using DateSource = std::function<LocalDate()>;
[[nodiscard]] LocalDate TodayLocal();

class Program final : private MainWindowRouter, private DispatchHost, private TabUiHost, private TabSwitchHost,
                      private SettingsDialogHost {
public:
    explicit Program(DateSource today = TodayLocal);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Start-up (Form_Load). False when another instance runs (silently) or the window could not
    // be made; the caller then ends.
    bool Start();
    // Keyboard navigation of the open modeless dialogs (Tab, Enter for OK, Esc for Cancel): true
    // when msg was one of theirs and has been handled.
    bool DialogMessage(MSG& msg);

private:
    struct Parts;

    // Start-up steps, in their order.
    bool ClaimSingleInstance();
    void ShowGreetings();
    WindowPlacement LoadPlacedSettings();
    void RegisterMainHotkey();
    void BuildParts();
    void PrepareStrip();
    void HookClients();
    // Hooks the clients not hooked yet; returns the client processes found for the first time.
    std::vector<std::uint32_t> FindClients();
    void ShowFirstState(const WindowPlacement& place);
    void AutoRunClient();
    void StartTimers();

    // Shut-down
    bool QueryUnload(bool byUser);  // false cancels
    void RestoreAll();
    void Unload();
    void RestoreForCrash() noexcept;

    // MainWindowRouter
    LRESULT Route(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) override;
    LRESULT TabInfo(WPARAM index, LPARAM what) const;
    // Posts msg (kMsgFocusCurrent or kMsgAfterCapture) again, counting deferrals, while other
    // posted messages wait; false when it is to be answered now.
    bool LetWaitingGoFirst(UINT msg, WPARAM deferrals);
    void OnTimer(UINT_PTR id);
    void OnCommand(WPARAM wParam, LPARAM lParam);
    void OnClose();
    void OnDpiChanged(int dpi, const RECT& suggested);

    // DispatchHost
    void DetectWindow(HWND window) override;
    void HistoryChanged(HWND window) override;
    void OnMainActivated() override;
    void ReAddTrayIcon() override;
    void EndSession() override;
    void KeyFunctions(int id) override;
    void TrayAction(LPARAM message) override;
    bool TranslucentWhileSizing() const override { return settings_.org_Trans != 0; }
    bool ShowNumbersOnCtrl() const override { return settings_.tab_ShowNum == 1; }
    bool CompatibilityMode() const override { return settings_.org_Comp == 1; }
    void ShowNumbers() override;
    void HideNumbers() override { view_.Badges().HideNumer(); }
    bool SetQQFocusByHwnd(HWND window, bool find, bool qqOnly) override;
    bool HasCurrentTab() const override;
    void BeginMouseGesture() override;
    void AddToMouseGesture() override;
    bool EndMouseGesture() override;
    // A recognised gesture's tab command; true when the gesture was taken.
    bool MouseGesture(int type);
    WheelBand TabStripBand() const override;
    int TabCount() const override { return view_.Strip().count(); }
    int SelectedTab() const override { return view_.Strip().Selected(); }
    void SelectTab(int index) override { view_.Strip().Selected(index); }

    // TabUiHost
    TabRegistry& Registry() override;
    TabControl& Strip() override { return view_.Strip(); }
    HWND MainHwnd() const override { return view_.Hwnd(); }
    HWND PicWin() const override { return view_.PicWin(); }
    void PopTab(int index) override;
    void CloseTab(int index) override;
    void FocusCurrent() override;
    bool TabShowIcon() const override { return settings_.tab_ShowIcon == 1; }
    std::int32_t TabNormal() const override { return settings_.tab_Normal; }
    void ShowOrHide() override;
    // The settings dialog and the about box, modeless; a second request brings the open one to
    // the front (dialogs_win.cpp).
    void ShowSettings() override;
    void ShowAbout() override;
    void OpenAbout();
    void Exit() override;

    // TabSwitchHost
    void LeavingTab(const std::shared_ptr<clsLink>& node) override;
    void LayOutCurrent() override;
    bool MainIsActive() const override;
    void AfterSwitch() override;
    void WindowEmptied() override;
    void CurrentChanged(const LinkRef& current) override { plugins_.TabSelected(current); }
    void HideAsync(HWND window) override { calls_.ShowAsync(window, SW_HIDE); }

    // SettingsDialogHost (dialogs_win.cpp); MainHwnd is TabUiHost's.
    Settings& CurrentSettings() override { return settings_; }
    PluginManagerWin* Plugins() override { return &plugins_.ManagerWin(); }
    HICON MainIcon() const override { return programIcon_.get(); }
    void ApplyTabStyle(bool bottom, bool roll) override;
    void ApplyTipTime(int seconds) override;
    void ApplyCaptionSuffix(const std::wstring& suffix, const std::wstring& title) override;
    void ApplyTabImages() override;
    void ApplyTrayIcon() override;
    void EnableMouseGesture(bool on) override { hooks_.EnableMouseGesture(on); }
    void LayOut() override;
    bool SetAutoRun(bool enable) override { return parlix::SetAutoRun(enable); }
    void NoticePluginChanged(bool enabled) override;

    DateSource today_;
    PluginHost plugins_;  // plgCore, the plugin list and the notice plugin
    Settings settings_;
    std::wstring captionSuffix_;  // "" or "  -  " and org_Caption
    ScopedHandle instanceMutex_;
    HookLibrary hooks_;
    Win32WindowTree tree_;
    ClientDiscovery discovery_{hooks_, tree_};
    ClientCalls calls_;
    // The icons outlive the tray record that shows them.
    ScopedIcon programIcon_;
    ScopedIcon newMsgIcon_;
    MainWindow view_;
    std::unique_ptr<Parts> parts_;  // built once the main window exists
    MouseGestures mouseGestures_;
    // frmSet and frmAbout while open; a closed one is dropped at the next opening or the end.
    std::unique_ptr<SettingsDialog> settingsDialog_;
    std::unique_ptr<AboutBox> aboutBox_;
    UINT tabInfoMsg_ = 0;
    // PARLIX_TEST_FAULT read at start (unhandled, thread, terminate, abort, console): the fault
    // the exit command raises instead of exiting, so tests can check that every way the program
    // can end gives the windows back. Empty in normal use.
    std::wstring testFault_;
    bool started_ = false;
    bool isExiting_ = false;
    bool unloaded_ = false;
};

}  // namespace parlix
