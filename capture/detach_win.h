// Giving captured windows back: popping a tab out (with a merge button left in the window),
// closing a tab (respecting the client's own questions), and restoring every tab at exit.
#pragma once

#include "capture/client_calls_win.h"
#include "capture/dispatch_win.h"
#include "capture/tab_registry.h"
#include "capture/tab_strip_ops.h"

#include <windows.h>

#include <functional>

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

    // Pops out the tab at pos (from 0); returns its window (null when there was none).
    HWND PopWin(int pos);
    // Closes the tab at pos unless it is locked; a window whose client asks a question first
    // goes back into its tab.
    void CloseTab(int pos, HWND picWin);
    // Pops out every tab, first to last, without merge buttons (exit).
    void PopAll();
    // Drops the tabs whose window no longer exists; returns how many went.
    int DropDeadWindows();

private:
    HWND GiveBack(clsLink& node, bool moveToCentreIfNearEdge);
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
};

}  // namespace parlix
