// Registry nodes for simulated chat windows, filled as AddTab fills them but without taking the
// windows: the history box (or the memory record and the client's process), the input box, and
// the history length seen at capture.
#pragma once

#include "capture/attach_rules.h"
#include "capture/attach_win.h"
#include "capture/tab_registry.h"
#include "capture/window_tree_win.h"
#include "tools/fakeim/protocol.h"
#include "ui/message_notice.h"

#include <windows.h>

#include <memory>
#include <string>

namespace parlix::test {

inline std::shared_ptr<clsLink> AddTabNode(TabRegistry& registry, ClientCalls& calls, HWND window, IM_VERSION kind,
                                           const std::wstring& caption) {
    auto node = registry.CreateNode();
    IMWindow& w = node->window;
    w.hWnd = FromHwnd(window).value;
    w.Caption = caption;
    w.Title = caption;
    w.Version = kind;
    if (ReadsHistoryFromMemory(kind)) {
        DWORD pid = 0;
        ::GetWindowThreadProcessId(window, &pid);
        if (HANDLE process = ::OpenProcess(PROCESS_VM_READ | PROCESS_QUERY_INFORMATION, FALSE, pid))
            node->AdoptProcess(static_cast<HandleValue>(reinterpret_cast<std::uintptr_t>(process)));
        // The hook library hands over the same address from inside the client.
        node->wndproc = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(::GetPropW(window, fakeim::kHistoryProp)));
        w.SayHwnd = w.hWnd;
    } else {
        const Win32WindowTree tree;
        const ChatChildren found = FindChatChildren(tree, FromHwnd(window), kind);
        w.ChatHwnd = found.chat.value;
        w.SayHwnd = found.say ? found.say.value : w.hWnd;
        w.Version = found.version;
    }
    w.Msg = HistoryLength(calls, *node).value_or(0);
    if (!registry.InsertNode(node)) return nullptr;
    return node;
}

}  // namespace parlix::test
