// frmMain: the one main window. Holds the tab strip (btnTab) and the container of the captured
// chat windows (picWin), owns the capture engine's parts and the timers that drive them, and
// carries start-up and shut-down.
#pragma once

#include "base/scoped_win.h"
#include "base/window_base_win.h"
#include "capture/attach_win.h"
#include "capture/client_calls_win.h"
#include "capture/detach_win.h"
#include "capture/detect_win.h"
#include "capture/discovery_win.h"
#include "capture/focus_win.h"
#include "capture/upkeep_win.h"
#include "capture/dispatch_win.h"
#include "capture/hook_library_win.h"
#include "capture/tab_registry.h"
#include "capture/tab_registry_win.h"
#include "capture/window_tree_win.h"
#include "settings/settings.h"
#include "ui/menu_ids.h"
#include "ui/message_poll_win.h"
#include "ui/merge_buttons_win.h"
#include "ui/no_chat_notice_win.h"
#include "ui/number_badges_win.h"
#include "ui/plugin_host_win.h"
#include "ui/tab_commands_win.h"
#include "ui/tab_control_win.h"
#include "ui/tab_drag_win.h"
#include "ui/tab_ui_host.h"
#include "ui/tray_win.h"

#include <functional>
#include <memory>
#include <string>
#include <unordered_set>

namespace parlix {

inline constexpr wchar_t kMainWindowClass[] = L"Parlix.frmMain";

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
inline constexpr wchar_t kPicWinClass[] = L"Parlix.picWin";
// tmrKillTip's id on the main window.
inline constexpr UINT_PTR kTrayKillTipTimer = 9;

// The date of the local clock, replaceable so start-up greetings can be tested.
struct LocalDate {
    int month = 1;
    int day = 1;
};
using DateSource = std::function<LocalDate()>;
[[nodiscard]] LocalDate TodayLocal();

class MainWindow final : public WindowBase,
                         private DispatchHost,
                         private CaptureSink,
                         private TabStripOps,
                         private TabControlEvents,
                         private TabUiHost,
                         private UpkeepHost,
                         private FocusHost,
                         private TrayHost,
                         private MessagePollHost {
public:
    explicit MainWindow(DateSource today = TodayLocal);
    ~MainWindow() override;

    // Start-up (Form_Load). False when another instance runs (silently) or the window could not
    // be made; the caller then ends.
    bool Load();

    [[nodiscard]] static std::wstring BaseCaption();

private:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    LRESULT TabInfo(WPARAM index, LPARAM what) const;
    void OnTimer(UINT_PTR id);
    void OnCommand(unsigned id);
    void ShowGreetings();
    void RegisterMainHotkey();
    void AutoRunClient();

    // Shut-down
    bool QueryUnload(int unloadMode);  // false cancels
    void RestoreAll();
    void Unload();
    void RestoreForCrash() noexcept;

    // The tab switch: current node, layout, the window in front, focus into its input box.
    void OnTabChanged(int index);
    void FocusCurrent() override;

    // DispatchHost
    void DetectWindow(HWND window) override;
    void OnMainActivated() override;
    void ReAddTrayIcon() override { tray_.KillTip(); }
    void EndSession() override;
    void KeyFunctions(int id) override;
    void TrayAction(LPARAM message) override { tray_.TrayAction(message); }
    bool TranslucentWhileSizing() const override { return settings_.org_Trans != 0; }
    bool ShowNumbersOnCtrl() const override { return settings_.tab_ShowNum == 1; }
    bool CompatibilityMode() const override { return settings_.org_Comp == 1; }
    void ShowNumbers() override;
    void HideNumbers() override;
    bool SetQQFocusByHwnd(HWND window, bool find, bool qqOnly) override;
    bool HasCurrentTab() const override { return static_cast<bool>(CurrentLink); }
    // Mouse gestures are recognised by the gesture recogniser still to be built into the strip
    // work; until then a gesture does nothing and the click goes on to the chat.
    void BeginMouseGesture() override {}
    void AddToMouseGesture() override {}
    bool EndMouseGesture() override { return false; }
    WheelBand TabStripBand() const override;
    // Also TabStripOps::TabCount: the same question.
    int TabCount() const override { return btnTab.count(); }
    int SelectedTab() const override { return btnTab.Selected(); }
    void SelectTab(int index) override { btnTab.Selected(index); }

    // CaptureSink
    bool IsCaptured(HWND window) const override;
    bool AddTab(HWND window, const Recognition& recognition) override;
    void AfterCapture() override;
    void AfterScan() override;

    // TabStripOps
    void AddItem(const std::wstring& title) override { btnTab.AddItem(title); }
    void SetItemImage(int index, int image) override { btnTab.SetItemImage(image, index); }
    void DelItem(int index) override { btnTab.DelItem(index); }
    void SetSelected(int index) override { btnTab.Selected(index); }
    void ShowTabs() override;
    void ShowMsg() override;

    // TabControlEvents
    void Changed(int index) override { OnTabChanged(index); }
    void MouseDown(int x, int y, int index) override { drag_.MouseDown(x, y, index); }
    void MouseMove(int buttons, int x, int y, int index) override { drag_.MouseMove(buttons, x, y, index); }
    void MouseUp(int x, int y, int index) override { drag_.MouseUp(x, y, index); }
    void LButtonClicked() override { drag_.LButtonClicked(); }
    void LButtonDBLClicked() override { drag_.LButtonDBLClicked(); }
    void RButtonClicked(int index) override { commands_.RButtonClicked(index); }
    void MButtonClicked(int index) override { commands_.MButtonClicked(index); }
    void RButtonClickedWindow() override { commands_.RButtonClickedWindow(); }

    // TabUiHost
    TabRegistry& Registry() override { return *LinkHead; }
    TabControl& Strip() override { return btnTab; }
    HWND MainHwnd() const override { return Hwnd(); }
    HWND PicWin() const override { return picWin; }
    void PopTab(int index) override;
    void CloseTab(int index) override { detacher_->CloseTab(index, picWin); }
    bool TabShowIcon() const override { return settings_.tab_ShowIcon == 1; }
    std::int32_t TabNormal() const override { return settings_.tab_Normal; }
    void ShowOrHide() override;
    // The settings dialog and the about box are still to be built; their menu items do nothing
    // until they are.
    void ShowSettings() override {}
    void ShowAbout() override {}
    void Exit() override;

    // UpkeepHost
    int HeaderHeight() const override;
    bool TabRowAtBottom() const override { return btnTab.Bottom(); }
    void MoveTabStrip(const PixelRect& r) override { btnTab.Move(r.x, r.y, r.width, r.height); }
    void PicWinPlaced(const PixelRect& r) override;
    void HideToTray() override { tray_.ShowInTaskBar(false); }
    int CurrentTabNumber() const override { return currentTab_; }

    // FocusHost (SelectedTab and SelectTab are DispatchHost's too)
    bool SilentMode() const override { return commands_.Silent(); }
    void ShowFromTray() override { tray_.ShowInTaskBar(true); }

    // TrayHost
    int MainState() const override { return mainState_; }
    void SetMainState(int state) override { mainState_ = state; }
    bool IsFlashing() const override { return flashing_; }
    void FocusMain() override;
    void ShowTrayMenu() override { commands_.ShowTrayMenu(); }

    // MessagePollHost (SelectTab is DispatchHost's too)
    int CurrentTab() const override { return currentTab_; }
    bool MainIsActive() const override { return dispatch_.MainIsActive; }
    bool Silent() const override { return commands_.Silent(); }
    void SetItemText(int index, const std::wstring& caption) override { btnTab.SetItemText(index, caption); }
    void HilightItem(int index, bool highlight) override { btnTab.HilightItem(index, highlight); }
    void ShowTray(const std::wstring& title, const std::wstring& text, int flag) override {
        tray_.ShowTray(title, text, static_cast<DWORD>(flag));
    }
    std::wstring MainCaption() const override;
    void SetMainCaption(const std::wstring& caption) override { ::SetWindowTextW(Hwnd(), caption.c_str()); }
    void SetTrayTip(const std::wstring& tip) override { tray_.SetTrayTip(tip); }
    void ApplyMaximizeBox() override { parlix::ApplyMaximizeBox(Hwnd(), settings_.org_AutoSize); }
    void FlashMain() override { ::FlashWindow(Hwnd(), FALSE); }
    void EnableFlashTimer(bool enabled) override;
    void SetTrayIcon(TrayIconKind icon) override;

    DateSource today_;
    PluginHost plugins_;  // plgCore, the plugin list and the notice plugin
    Settings settings_;
    std::wstring captionSuffix_;
    ScopedHandle instanceMutex_;

    HookLibrary hooks_;
    Win32WindowTree tree_;
    ClientDiscovery discovery_{hooks_, tree_};
    MessageDispatch dispatch_{*this};
    ChatDetector detector_{tree_, [this] { return discovery_.ImProcessIds(); }, *this};
    ClientCalls calls_;

    TabControl btnTab;
    HWND picWin = nullptr;  // child of the main window; parent of the captured windows
    NoChatNotice fraMsg;
    NumberBadges picNum;
    MergeButtons cmdMerge{[this](HWND target) {
        popped_.erase(target);
        detector_.DetectWindow(target, false);
    }};
    // Windows the user popped out: a window event never takes them again, only their merge
    // button does.
    std::unordered_set<HWND> popped_;

    std::unique_ptr<GdiNodeResourceFactory> nodeResources_;
    std::unique_ptr<TabRegistry> LinkHead;
    LinkRef CurrentLink;
    int currentTab_ = -1;  // registry position of the selected tab, -1 when none
    HWND shownWindow_ = nullptr;
    int headerHeight_ = 0;  // height of the tab row  // the captured window currently shown in picWin
    std::unique_ptr<TabAttacher> attacher_;
    std::unique_ptr<TabDetacher> detacher_;

    TabCommands commands_{*this};
    TabDrag drag_{*this, commands_};
    // The icons outlive the tray record that shows them.
    ScopedIcon programIcon_;
    ScopedIcon newMsgIcon_;
    Tray tray_{*this, kTrayKillTipTimer};
    bool flashing_ = false;  // tmrMsg runs
    std::unique_ptr<WindowUpkeep> upkeep_;
    std::unique_ptr<ChatFocus> focus_;
    std::unique_ptr<MessagePoll> poll_;

    int mainState_ = 0;  // MainState: 0 normal, 1 hidden to the tray, 2 maximised
    bool IsExiting = false;
    bool unloaded_ = false;
    bool started_ = false;  // Load has run to its end
    UINT tabInfoMsg_ = 0;
};

}  // namespace parlix
