// Window upkeep: the 100 ms tick (tmrChkWin) that drops tabs whose window has gone, lends the
// selected window's title to the main window and keeps the selected window sized; the main
// window's layout (Form_Resize); and the two sizing procedures, AdjustQQWindow (the main window
// follows the chat window) and AdjustTabWindow (the main window takes the size recorded for the
// selected chat window). All sizes are client pixels.
//
// Captured windows belong to other processes: they are only placed and shown by requests the
// client carries out when it pumps (ClientCalls::PlaceAsync). Whether a client has carried
// them out is asked without waiting (CatchUpProbe), so a busy or hung client never holds up
// the tick.
#pragma once

#include "capture/catch_up_probe_win.h"
#include "capture/client_calls_win.h"
#include "capture/detach_win.h"
#include "capture/tab_registry.h"
#include "capture/tab_strip_ops.h"
#include "capture/upkeep_rules.h"
#include "settings/settings.h"

#include <windows.h>

#include <functional>
#include <string_view>

namespace parlix {

inline constexpr UINT kChkWinMs = 100;
// Background tabs whose window the tick looks for, in turn (the current tab every tick): with
// 170 tabs, a closed chat's tab goes within a second, and the tick stays short.
inline constexpr int kDeadChecksPerTick = 20;
// The tick's timer id on the main window; an answer the tick waited for posts it at once.
inline constexpr UINT_PTR kUpkeepTimer = 1;

// The report of the two Adjust procedures: the procedure's name, a line break and the error's
// description, shown without holding up the caller. The default shows a message box (at most
// one at a time); tests put a recorder here. Null restores the default.
using AdjustErrorSink = std::function<void(std::wstring_view text)>;
void SetAdjustErrorSink(AdjustErrorSink sink);

// What upkeep needs of the main window besides its handles.
class UpkeepHost {
public:
    // btnTab.GetHeaderHeight (with no tab: the height measured at start-up).
    [[nodiscard]] virtual int HeaderHeight() const = 0;
    [[nodiscard]] virtual bool TabRowAtBottom() const = 0;
    // The dpi the main window is drawn at: the layout's figures are scaled for it.
    [[nodiscard]] virtual int Dpi() const = 0;
    virtual void MoveTabStrip(const PixelRect& r) = 0;
    // picWin got this rectangle (main window client pixels): fraMsg follows it.
    virtual void PicWinPlaced(const PixelRect& r) = 0;
    // ShowInTaskBar(False): the window was minimised with the tray on.
    virtual void HideToTray() = 0;
    // Registry position of the selected tab, -1 when none.
    [[nodiscard]] virtual int CurrentTabNumber() const = 0;

protected:
    ~UpkeepHost() = default;
};

class WindowUpkeep {
public:
    // Everything referenced must outlive the object. isSizing is the dispatcher's IsSizing;
    // mainState is frmMain's MainState, kept here by FormResize.
    WindowUpkeep(HWND mainWindow, HWND picWin, const LinkRef& currentLink, ClientCalls& calls,
                 TabDetacher& detacher, TabStripOps& strip, const bool& isSizing, MainWindowState& mainState,
                 const Settings& settings, UpkeepHost& host)
        : main_(mainWindow), picWin_(picWin), currentLink_(currentLink), calls_(calls), detacher_(detacher),
          strip_(strip), isSizing_(isSizing), mainState_(mainState), settings_(settings), host_(host) {}
    WindowUpkeep(const WindowUpkeep&) = delete;
    WindowUpkeep& operator=(const WindowUpkeep&) = delete;

    // tmrChkWin.
    void Tick();
    // The main window's layout and MainState (WM_SIZE; also the tab switch and the tick).
    void FormResize();
    void AdjustQQWindow();
    void AdjustTabWindow();
    // Shows the selected window in front at its placement in picWin (the tab switch); the tick
    // and the layout move it only when it is not there.
    void ShowCurrentWindow() { PlaceCurrent(true); }

    [[nodiscard]] bool IsAdjusting() const noexcept { return isAdjusting_; }

private:
    void LayOut();
    void PlaceCurrent(bool force);
    // picWin (and in the normal state the main window) follows a chat window of the given size.
    void FollowChat(PixelSize chat, const ChatChrome& chrome, bool freshLayout);
    void Request(HWND window, HWND insertAfter, const PixelRect& r, UINT flags, bool force);
    [[nodiscard]] PixelSize PicWinSize() const;
    template <typename F>
    void Adjusting(const wchar_t* procedure, F&& f);

    HWND main_;
    HWND picWin_;
    const LinkRef& currentLink_;
    ClientCalls& calls_;
    TabDetacher& detacher_;
    TabStripOps& strip_;
    const bool& isSizing_;
    MainWindowState& mainState_;
    const Settings& settings_;
    UpkeepHost& host_;
    bool isAdjusting_ = false;

    // The last placement asked of a client: the same request is not repeated every tick while
    // the client has not carried it out yet.
    struct LastRequest {
        HWND window = nullptr;
        PixelRect rect;
        UINT flags = 0;
        DWORD at = 0;
    } last_;
    // Whether the current window's client has carried out the requests sent to it; an answer
    // the size check waits for runs the tick again at once.
    CatchUpProbe probe_{[main = main_] { ::PostMessageW(main, WM_TIMER, kUpkeepTimer, 0); }};
};

// The chrome hidden outside picWin for a captured window, from its style before capture and
// its style now (a system caption taken away leaves nothing to hide), at the main window's dpi.
[[nodiscard]] ChatChrome CapturedChrome(HWND window, const IMWindow& record, int dpi);

}  // namespace parlix
