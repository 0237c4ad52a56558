#include "capture/client_calls_win.h"

#include "hook/hook_protocol.h"

#include <algorithm>

namespace parlix {

ClientCalls::~ClientCalls() { DetachAll(); }

std::optional<LRESULT> ClientCalls::Send(HWND window, UINT msg, WPARAM wParam, LPARAM lParam, UINT timeoutMs) {
    DWORD_PTR result = 0;
    const bool answered =
        ::SendMessageTimeoutW(window, msg, wParam, lParam, SMTO_ABORTIFHUNG, timeoutMs, &result) != 0;
    OnAnswer(window, answered);
    if (!answered) return std::nullopt;
    return static_cast<LRESULT>(result);
}

std::optional<int> ClientCalls::WindowTextLength(HWND window) {
    if (!window) return std::nullopt;
    const auto n = Send(window, WM_GETTEXTLENGTH, 0, 0);
    if (!n || *n < 0 || *n > kMaxWindowTextChars) return std::nullopt;
    return static_cast<int>(*n);
}

std::optional<std::wstring> ClientCalls::WindowText(HWND window) {
    const auto n = WindowTextLength(window);
    if (!n) return std::nullopt;
    return WindowText(window, *n);
}

std::optional<std::wstring> ClientCalls::WindowText(HWND window, LRESULT measure) {
    if (measure < 0 || measure > kMaxWindowTextChars) return std::nullopt;
    // An ANSI box of another process may need a byte per half character: double the room.
    std::wstring text(static_cast<size_t>(measure) * 2 + 2, L'\0');
    const auto got = Send(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    if (!got) return std::nullopt;
    const size_t end = text.find(L'\0');
    text.resize(end == std::wstring::npos ? text.size() : end);
    return text;
}

void ClientCalls::ShowAsync(HWND window, int command) { ::ShowWindowAsync(window, command); }

void ClientCalls::PlaceAsync(HWND window, HWND insertAfter, int x, int y, int width, int height, UINT flags) {
    ::SetWindowPos(window, insertAfter, x, y, width, height, flags | SWP_ASYNCWINDOWPOS);
}

DWORD ClientCalls::ReleaseHungFocus(DWORD spared) {
    const HWND old = ::GetFocus();
    DWORD pid = 0;
    const DWORD thread = old ? ::GetWindowThreadProcessId(old, &pid) : 0;
    if (!thread || thread == spared || pid == ::GetCurrentProcessId()) return 0;
    return Send(old, WM_NULL, 0, 0, kClientAliveMs) ? thread : 0;
}

bool ClientCalls::Focus(HWND window) {
    if (!window) return false;
    if (AskToTakeFocus(window)) return true;
    // The client holding the focus has just answered: when the target is of the same thread,
    // that answer stands for both.
    const DWORD answered = ReleaseHungFocus();
    if (!answered || answered != ::GetWindowThreadProcessId(window, nullptr)) {
        if (!Send(window, WM_NULL, 0, 0, kClientAliveMs)) return false;
    }
    ::SetFocus(window);
    return true;
}

bool ClientCalls::AskToTakeFocus(HWND window) {
    DWORD pid = 0;
    const DWORD thread = window ? ::GetWindowThreadProcessId(window, &pid) : 0;
    if (!thread || !hooked_.contains(thread) || !IsAttached(thread)) return false;
    DWORD frontPid = 0;
    if (const HWND front = ::GetForegroundWindow()) ::GetWindowThreadProcessId(front, &frontPid);
    if (!hook::FocusMayMove(frontPid, pid, ::GetCurrentProcessId())) return false;
    if (const HWND old = ::GetFocus(); old && ::GetWindowThreadProcessId(old, nullptr) != thread) ReleaseHungFocus();
    return ::SendNotifyMessageW(window, hook::kWmHookNotify, hook::kTakeFocus, static_cast<LPARAM>(::GetTickCount())) !=
           0;
}

void ClientCalls::SetHookedThreads(std::span<const std::uint32_t> threads) {
    hooked_.clear();
    hooked_.insert(threads.begin(), threads.end());
}

void ClientCalls::AttachInput(HWND window) {
    const DWORD thread = ::GetWindowThreadProcessId(window, nullptr);
    if (!thread || thread == ::GetCurrentThreadId() || windowThreads_.contains(window)) return;
    windowThreads_[window] = thread;
    Attachment& a = attachments_[thread];
    if (a.windows++ == 0 && !a.suspended) ::AttachThreadInput(::GetCurrentThreadId(), thread, TRUE);
}

void ClientCalls::DetachInput(HWND window) {
    const auto it = windowThreads_.find(window);
    if (it == windowThreads_.end()) return;
    const DWORD thread = it->second;
    windowThreads_.erase(it);
    Attachment& a = attachments_[thread];
    if (--a.windows > 0) return;
    if (!a.suspended) ::AttachThreadInput(::GetCurrentThreadId(), thread, FALSE);
    attachments_.erase(thread);
}

void ClientCalls::DetachAll() {
    for (const auto& [thread, a] : attachments_)
        if (!a.suspended) ::AttachThreadInput(::GetCurrentThreadId(), thread, FALSE);
    attachments_.clear();
    windowThreads_.clear();
}

bool ClientCalls::IsAttached(DWORD thread) const {
    const auto it = attachments_.find(thread);
    return it != attachments_.end() && !it->second.suspended;
}

void ClientCalls::Report(HWND window, bool answered) {
    if (answered && std::none_of(attachments_.begin(), attachments_.end(),
                                 [](const auto& entry) { return entry.second.suspended; }))
        return;
    OnAnswer(window, answered);
}

void ClientCalls::OnAnswer(HWND window, bool answered) {
    const DWORD thread = ::GetWindowThreadProcessId(window, nullptr);
    const auto it = attachments_.find(thread);
    if (it == attachments_.end()) return;
    Attachment& a = it->second;
    if (!answered && !a.suspended) {
        ::AttachThreadInput(::GetCurrentThreadId(), thread, FALSE);
        a.suspended = true;
    } else if (answered && a.suspended) {
        ::AttachThreadInput(::GetCurrentThreadId(), thread, TRUE);
        a.suspended = false;
    }
}

}  // namespace parlix
