#include "capture/attach_win.h"

#include "base/handle_value_win.h"

#include "base/error_report_win.h"
#include "base/message_pump_win.h"
#include "base/window_text_win.h"
#include "capture/attach_rules.h"
#include "capture/discovery_win.h"
#include "capture/give_back_win.h"
#include "capture/tab_registry_win.h"
#include "capture/window_tree_win.h"
#include "hook/hook_protocol.h"

namespace parlix {

std::optional<int> HistoryLength(ClientCalls& calls, const clsLink& node) {
    const IMWindow& w = node.window;
    if (IsQQ2009(w.Version) || IsBaiduHi(w.Version) || w.Version == IM_VERSION::TM2009)
        return RemoteTextLength(FromValue<HANDLE>(node.pHandle()), node.wndproc);
    if (!w.ChatHwnd) return std::nullopt;
    const auto text = calls.WindowText(Window(w.ChatHwnd));
    if (!text) return std::nullopt;
    return static_cast<int>(text->size());
}

std::uint32_t TabAttacher::Request(HWND window, WPARAM code) {
    // A request left unanswered must not hand on another window's old answer.
    dispatch_.SetHookReply(0);
    if (!calls_.Send(window, hook::kWmHookNotify, code, 0)) return 0;
    return static_cast<std::uint32_t>(dispatch_.HookReply());
}

void TabAttacher::Fill(clsLink& node, HWND window, IM_VERSION version, std::uint32_t processId) {
    IMWindow& w = node.window;
    if (IsQQ2009(version) || IsBaiduHi(version)) {
        if (HANDLE process = ::OpenProcess(PROCESS_VM_READ | PROCESS_QUERY_INFORMATION, FALSE, processId))
            node.AdoptProcess(ToValue(process));
        node.wndproc = Request(window, hook::kRequestHistory);
        node.pFocus = Request(window, hook::kRequestFocus);
        if (IsQQ2009(version)) w.SayHwnd = Request(window, hook::kRequestInput);
    } else {
        const ChatChildren found = FindChatChildren(tree_, FromHwnd(window), version);
        w.ChatHwnd = found.chat.value;
        w.SayHwnd = found.say.value;
        version = found.version;
    }
    if (!w.SayHwnd) w.SayHwnd = Value(window);
    w.Version = version;
}

std::shared_ptr<clsLink> TabAttacher::AddTab(HWND window, std::wstring caption, bool isGroup, IM_VERSION version,
                                              std::uint32_t processId, HWND picWin, const AttachSettings& settings) {
    std::shared_ptr<clsLink> node;
    Trapped(L"modProc", L"AddTab", true, [&] {
        // Every wait here (the pause, and each call to the client, which runs our own incoming
        // messages meanwhile) may see the main window go away: the window is then left as it
        // is, or given back when it was already changed.
        const auto mainGone = [picWin] { return !::IsWindow(picWin); };
        // A hung client holding the focus must not stall the steps below; the window's own
        // client is asked by the first of them.
        calls_.ReleaseHungFocus(::GetWindowThreadProcessId(window, nullptr));
        // A minimised or maximised window is restored first, so its normal rectangle is recorded.
        if (::IsIconic(window) || ::IsZoomed(window)) calls_.Send(window, WM_SYSCOMMAND, SC_RESTORE, 0);
        if (caption.empty()) {
            PumpMessagesFor(200);
            caption = WindowTitle(window);
        }
        if (!::IsWindow(window) || mainGone()) return;
        RECT r{};
        ::GetWindowRect(window, &r);
        node = registry_.CreateNode();
        IMWindow& w = node->window;
        w.hWnd = Value(window);
        w.IsGroup = isGroup;
        w.Caption = caption;
        w.Title = TabTitle(caption, settings.cutTitle, settings.maxLength);
        w.X = r.left;
        w.Y = r.top;
        w.W = w.OrgW = r.right - r.left;
        w.H = w.OrgH = r.bottom - r.top;
        w.TabColor = settings.tabColor;
        w.WinLong = ::GetWindowLongW(window, GWL_STYLE);
        Fill(*node, window, version, processId);
        w.Msg = HistoryLength(calls_, *node).value_or(0);
        w.ExStyle = ::GetWindowLongW(window, GWL_EXSTYLE);
        // A translucent client window becomes opaque inside Parlix; its own opacity is kept for
        // when it goes back.
        BYTE alpha = 255;
        DWORD layeredFlags = 0;
        if ((w.ExStyle & kWsExLayered) && ::GetLayeredWindowAttributes(window, nullptr, &alpha, &layeredFlags) &&
            (layeredFlags & LWA_ALPHA))
            node->originalAlpha = alpha;
        const auto icon = calls_.Send(window, WM_GETICON, ICON_SMALL, 0);
        if (!::IsWindow(window) || mainGone()) {
            node.reset();
            return;
        }
        // From here on the window is changed: it carries what to restore, for a later run of
        // Parlix should this one end without giving it back.
        MarkCaptured(window, RecordOf(*node));
        calls_.AttachInput(window);
        ::SetWindowLongW(window, GWL_STYLE,
                         static_cast<LONG>(CapturedStyle(w.Version, static_cast<std::uint32_t>(w.WinLong),
                                                         settings.compatibility)));
        ::SetLayeredWindowAttributes(window, 0, 255, LWA_ALPHA);
        ::SetWindowLongW(window, GWL_EXSTYLE, w.ExStyle & ~static_cast<LONG>(kWsExLayered));

        HICON hIcon = icon ? reinterpret_cast<HICON>(*icon) : nullptr;
        if (!hIcon) hIcon = reinterpret_cast<HICON>(::GetClassLongPtrW(window, GCLP_HICONSM));
        if (hIcon) DrawWindowIcon(w, hIcon);
        (void)registry_.InsertNode(node);
        // Re-parenting a hidden window spares the client a round of hiding and showing; the
        // tab switch below shows it in place.
        calls_.ShowAsync(window, SW_HIDE);
        ::SetParent(window, picWin);
        if (mainGone()) {
            // The main window went while the client took its new styles (the exit gave back
            // every tab but this one, which was not a tab yet).
            if (const int pos = registry_.PositionOf(node.get()); pos > 0) registry_.DelNode(pos);
            calls_.DetachInput(window);
            if (::IsWindow(window)) RestoreWindow(window, RecordOf(*node));
            node.reset();
            return;
        }
        strip_.AddItem(w.Title);
        if (settings.showIcon) strip_.SetItemImage(strip_.TabCount() - 1, 1);
        strip_.SetSelected(strip_.TabCount() - 1);
        strip_.ShowTabs();
    });
    return node;
}

}  // namespace parlix
