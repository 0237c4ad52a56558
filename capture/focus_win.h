// The keyboard focus for the captured chat windows: into the selected window (SetQQFocus), into
// the window a click or a hook notice names (SetQQFocusByHwnd), and the two one-shot timers that
// wait for the main window to come to the front (tmrSetFocus) or for a popped-out window to be
// a top-level window again (tmrSetFocus2).
//
// QQ 2009 and Baidu Hi windows take the focus on the window itself (their hooked procedure
// passes it on); every other window on its input box. Focus moves through ClientCalls::Focus,
// which never waits on a client that does not answer.
#pragma once

#include "base/main_state.h"
#include "capture/client_calls_win.h"
#include "capture/tab_registry.h"
#include "settings/settings.h"

#include <windows.h>

#include <memory>

namespace parlix {

// Timer ids on the main window.
inline constexpr UINT_PTR tmrSetFocus = 7;
inline constexpr UINT_PTR tmrSetFocus2 = 8;
inline constexpr UINT kSetFocusMs = 1500;
inline constexpr UINT kSetFocus2Ms = 300;

class FocusHost {
public:
    [[nodiscard]] virtual int SelectedTab() const = 0;  // btnTab.Selected, -1 when none
    // Writing the selection raises the tab switch, which shows and sizes the window.
    virtual void SelectTab(int index) = 0;
    [[nodiscard]] virtual bool SilentMode() const = 0;
    // ShowInTaskBar(True): back from the tray.
    virtual void ShowFromTray() = 0;

protected:
    ~FocusHost() = default;
};

class ChatFocus {
public:
    // Everything referenced must outlive the object; mainState is frmMain's MainState.
    ChatFocus(HWND mainWindow, HWND picWin, const TabRegistry& registry, const LinkRef& currentLink,
              ClientCalls& calls, const MainWindowState& mainState, const Settings& settings, FocusHost& host)
        : main_(mainWindow), picWin_(picWin), registry_(registry), currentLink_(currentLink), calls_(calls),
          mainState_(mainState), settings_(settings), host_(host) {}
    ChatFocus(const ChatFocus&) = delete;
    ChatFocus& operator=(const ChatFocus&) = delete;

    // The focus into the selected tab's window; nothing without a selected tab.
    void SetQQFocus();

    // True when hwnd is a captured window or a window inside one. find: only look (the node goes
    // to *link when link is given). Otherwise, unless silent mode is on, its tab is selected,
    // the main window comes back from the tray, and the focus moves: with QQOnly only into
    // windows of versions 0 to 8, on the window itself.
    bool SetQQFocusByHwnd(HWND hwnd, bool find, bool QQOnly, std::shared_ptr<clsLink>* link = nullptr);

    // Starts tmrSetFocus (the main window was activated while minimised).
    void StartSetFocus();
    // Starts tmrSetFocus2 for a window just popped out.
    void StartSetFocus2(HWND popped);
    // The main window's WM_TIMER for these two ids; false for any other id.
    bool OnTimer(UINT_PTR id);

    HWND focusHWND = nullptr;

private:
    [[nodiscard]] int PositionOfCaptured(HWND hwnd) const;

    HWND main_;
    HWND picWin_;
    const TabRegistry& registry_;
    const LinkRef& currentLink_;
    ClientCalls& calls_;
    const MainWindowState& mainState_;
    const Settings& settings_;
    FocusHost& host_;
};

// The window of a captured record that takes the focus.
[[nodiscard]] HWND FocusTarget(const IMWindow& record);

}  // namespace parlix
