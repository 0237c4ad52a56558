// AddTab: a recognised chat window becomes a tab. Everything changed on the window is recorded
// in its registry node first, so that detaching can undo it.
#pragma once

#include "capture/client_calls_win.h"
#include "capture/dispatch_win.h"
#include "capture/tab_registry.h"
#include "capture/tab_strip_ops.h"
#include "capture/window_tree.h"
#include "contract/im_window.h"

#include <windows.h>

#include <memory>
#include <string>

namespace parlix {

// The settings AddTab reads.
struct AttachSettings {
    bool cutTitle = false;        // tab_MaxLen = 1
    int maxLength = 10;           // tab_MaxLength
    std::int32_t tabColor = 0;    // tab_Normal
    bool compatibility = false;   // org_Comp = 1
    bool showIcon = true;         // tab_ShowIcon = 1
};

class TabAttacher {
public:
    TabAttacher(WindowTree& tree, TabRegistry& registry, ClientCalls& calls, MessageDispatch& dispatch,
                TabStripOps& strip)
        : tree_(tree), registry_(registry), calls_(calls), dispatch_(dispatch), strip_(strip) {}

    // Captures window into picWin and selects its new tab. Returns the node, null when the
    // window went away before it could be taken.
    std::shared_ptr<clsLink> AddTab(HWND window, std::wstring caption, bool isGroup, IM_VERSION version,
                                    std::uint32_t processId, HWND picWin, const AttachSettings& settings);

private:
    // A request to the hooked chat window; the answer arrives through WndProc into HookReply
    // before the call returns. 0 when the window did not answer.
    std::uint32_t Request(HWND window, WPARAM code);
    void Fill(clsLink& node, HWND window, IM_VERSION version, std::uint32_t processId);

    WindowTree& tree_;
    TabRegistry& registry_;
    ClientCalls& calls_;
    MessageDispatch& dispatch_;
    TabStripOps& strip_;
};

// Length in characters of a captured window's history as last examined: window text for the
// window-text kinds, the memory record for the memory-read kinds. nullopt when unreadable.
std::optional<int> HistoryLength(ClientCalls& calls, const clsLink& node);

}  // namespace parlix
