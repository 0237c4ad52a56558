// Giving captured windows back: popping a tab out (with a merge button left in the window),
// closing a tab (respecting the client's own questions), and restoring every tab at exit. A
// client that does not answer a short probe is never waited for: its windows are given back
// last, by calls it carries out once it answers again (give_back_win.h).
#pragma once

#include "capture/client_calls_win.h"
#include "capture/dispatch_win.h"
#include "capture/give_back_win.h"
#include "capture/tab_registry.h"
#include "capture/tab_strip_ops.h"

#include <windows.h>

#include <functional>
#include <limits>

namespace parlix {

// Titles of the client dialogs ("#32770") that stop a chat window from closing.
inline constexpr const wchar_t* kBlockingDialogTitles[] = {L"文件正在传送中...", L"有消息正在发送...", L"请确认"};

// How long a busy client may take to decide on a close (a hung one is not waited for).
inline constexpr UINT kCloseDecisionMs = 5000;

class TabDetacher {
public:
    // onPopped receives each window popped out by the user (for its merge button).
    TabDetacher(TabRegistry& registry, ClientCalls& calls, MessageDispatch& dispatch, TabStripOps& strip,
                LinkRef& currentLink, std::function<void(HWND)> onPopped)
        : registry_(registry), calls_(calls), dispatch_(dispatch), strip_(strip), currentLink_(currentLink),
          onPopped_(std::move(onPopped)) {}

    // Pops out the tab at pos (from 0); returns its window (null when there was none, or when
    // its client is hung and takes the window back later).
    HWND PopWin(int pos);
    // Closes the tab at pos unless it is locked; a window whose client asks a question first
    // goes back into its tab. A hung client's window is given back and asked to close later.
    void CloseTab(int pos, HWND picWin);
    // Removes every tab at once and gives the windows back without merge buttons (exit): the
    // windows of clients that answer first, in tab order, then the hung clients' ones.
    void PopAll();
    // Gives every captured window back from whatever thread the program is ending on, without
    // touching the program's own windows, and waits a while for hung clients (fault exits).
    void GiveBackForFault() noexcept;
    // The give-backs still waiting on hung clients.
    [[nodiscard]] GiveBackWorkers& Workers() noexcept { return workers_; }
    // Drops the tabs whose window no longer exists; returns how many went. Each look is a call
    // to the window server: the current tab is looked at, and at most others of the rest, taken
    // in turn from where the last call stopped.
    int DropDeadWindows(int others = std::numeric_limits<int>::max());

private:
    // The record of node with its position moved in from the screen edge (pop-out, exit).
    static GiveBackRecord PoppedRecord(clsLink& node);
    // True when the client of window answers the probe (a hung one has its input detached).
    bool Answers(HWND window);
    void Forget(int pos, HWND window);
    // Sends WM_CLOSE and returns once the client has acted on it.
    void AskToClose(HWND window);

    TabRegistry& registry_;
    ClientCalls& calls_;
    MessageDispatch& dispatch_;
    TabStripOps& strip_;
    LinkRef& currentLink_;
    std::function<void(HWND)> onPopped_;
    bool exiting_ = false;
    int sweepFrom_ = 0;  // where DropDeadWindows goes on
    GiveBackWorkers workers_;
};

}  // namespace parlix
