// Parlix.dll: installed into the UI threads of the IM clients. It reports keys, clicks,
// gestures and newly shown windows of captured chat windows to Parlix's main window and
// answers the main window's requests from inside the client's thread (hook_protocol.h).
//
// It also tells Parlix when a captured chat's history changes, so that Parlix reads only the
// histories that moved (kHistoryChanged).
//
// Runs inside a foreign process: it never blocks the client for long (every message it
// sends has a timeout, notices are posted), never throws, and keeps no state but the two
// shared values below, a set of windows it has already reported and, per client thread, the
// history records it watches.
#include "hook/hook_protocol.h"
#include "hook/history_finder.h"

#include <windows.h>

#include <algorithm>
#include <cwctype>
#include <mutex>
#include <string_view>
#include <unordered_set>

namespace {

// Shared by every process the library is loaded into: Parlix sets them, the clients read them.
#if defined(_MSC_VER)
#pragma data_seg(".shared")
std::uint32_t g_notifyWindow = 0;
LONG g_gesturesOn = 0;
#pragma data_seg()
#pragma comment(linker, "/SECTION:.shared,RWS")
#else
std::uint32_t g_notifyWindow __attribute__((section(".shared"), shared)) = 0;
LONG g_gesturesOn __attribute__((section(".shared"), shared)) = 0;
#endif

HMODULE g_module = nullptr;

constexpr UINT kSendTimeoutMs = 1000;
constexpr UINT kGestureTimeoutMs = 200;

HWND NotifyWindow() {
    const HWND w = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(g_notifyWindow));
    return ::IsWindow(w) ? w : nullptr;
}

LRESULT SendBounded(HWND to, WPARAM code, LPARAM value, UINT timeoutMs) {
    DWORD_PTR result = 0;
    if (!::SendMessageTimeoutW(to, parlix::hook::kWmHookNotify, code, value, SMTO_ABORTIFHUNG, timeoutMs, &result))
        return 0;
    return static_cast<LRESULT>(result);
}

// The captured chat window that contains w: the ancestor whose parent belongs to Parlix. Null
// when w is not inside Parlix's main window.
HWND CapturedChatOf(HWND w, HWND notify) {
    if (!w || ::GetAncestor(w, GA_ROOT) != notify) return nullptr;
    const DWORD self = ::GetCurrentProcessId();
    for (HWND cur = w; cur;) {
        const HWND parent = ::GetAncestor(cur, GA_PARENT);
        if (!parent) return nullptr;
        DWORD pid = 0;
        ::GetWindowThreadProcessId(parent, &pid);
        if (pid != self) return cur;
        cur = parent;
    }
    return nullptr;
}

// Per-thread gesture state (each hooked thread has its own mouse input).
thread_local bool t_gesturing = false;
thread_local bool t_wheelDuringGesture = false;

bool KeyDown(int vk) { return (::GetKeyState(vk) & 0x8000) != 0; }

// Returns true when the message is swallowed.
bool OnInput(const MSG& m) {
    const HWND notify = NotifyWindow();
    if (!notify) return false;
    const HWND chat = CapturedChatOf(m.hwnd, notify);
    if (!chat) return false;
    using namespace parlix::hook;
    switch (m.message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
        if (m.wParam == VK_CONTROL) {
            if ((m.lParam & (1 << 30)) == 0) ::PostMessageW(notify, kWmHookNotify, kKeyState, kKeyDown);
            return false;
        }
        const int id = HotkeyFor(static_cast<unsigned>(m.wParam), KeyDown(VK_CONTROL), KeyDown(VK_SHIFT),
                                 KeyDown(VK_MENU));
        if (id == 0) return false;
        ::PostMessageW(notify, WM_HOTKEY, static_cast<WPARAM>(id), 0);
        return true;
    }
    case WM_KEYUP:
    case WM_SYSKEYUP:
        if (m.wParam == VK_CONTROL) ::PostMessageW(notify, kWmHookNotify, kKeyState, kKeyUp);
        return false;
    case WM_LBUTTONDOWN:
        ::PostMessageW(notify, kWmHookNotify, kClick, reinterpret_cast<LPARAM>(chat));
        return false;
    case WM_MBUTTONDOWN:
        SendBounded(notify, kClickAnswer, reinterpret_cast<LPARAM>(chat), kSendTimeoutMs);
        return false;
    case WM_RBUTTONDOWN:
        if (g_gesturesOn) {
            t_gesturing = true;
            t_wheelDuringGesture = false;
            SendBounded(notify, kGesture, kGestureBegin, kGestureTimeoutMs);
        }
        return false;
    case WM_MOUSEMOVE:
        if (t_gesturing && (m.wParam & MK_RBUTTON)) SendBounded(notify, kGesture, kGesturePoint, kGestureTimeoutMs);
        return false;
    case WM_RBUTTONUP: {
        if (!t_gesturing) return false;
        t_gesturing = false;
        const bool accepted = SendBounded(notify, kGesture, kGestureEnd, kGestureTimeoutMs) != 0;
        return accepted || t_wheelDuringGesture;
    }
    case WM_MOUSEWHEEL:
        if ((GET_KEYSTATE_WPARAM(m.wParam) & MK_RBUTTON) == 0) return false;
        t_wheelDuringGesture = true;
        ::PostMessageW(notify, WM_MOUSEWHEEL, m.wParam, m.lParam);
        return true;
    default:
        return false;
    }
}

// ---- history notices --------------------------------------------------------------------

// Messages by which a rich-edit box's text changes (the history boxes of the window-text kinds
// are rich-edit boxes that their client fills with these).
bool ChangesText(UINT msg) {
    constexpr UINT kEmReplaceSel = 0x00C2, kEmUndo = 0x00C7, kEmStreamIn = WM_USER + 73, kEmSetTextEx = WM_USER + 97;
    switch (msg) {
    case WM_SETTEXT:
    case kEmReplaceSel:
    case kEmStreamIn:
    case kEmSetTextEx:
    case WM_CUT:
    case WM_PASTE:
    case WM_CLEAR:
    case WM_UNDO:
    case kEmUndo:
        return true;
    default:
        return false;
    }
}

bool IsRichEdit(HWND w) {
    wchar_t name[128] = {};
    const int n = ::GetClassNameW(w, name, 128);
    std::wstring_view cls(name, n > 0 ? static_cast<size_t>(n) : 0);
    constexpr std::wstring_view kRichEdit = L"richedit";
    const auto it = std::search(cls.begin(), cls.end(), kRichEdit.begin(), kRichEdit.end(),
                                [](wchar_t a, wchar_t b) { return std::towlower(a) == b; });
    return it != cls.end();
}

// Posted before the box handles the message: Parlix reads it in a later poll, by which time the
// client, which answers only between messages, has finished the change.
void OnTextChange(const CWPSTRUCT& c) {
    if (!ChangesText(c.message)) return;
    const HWND notify = NotifyWindow();
    if (!notify || !IsRichEdit(c.hwnd) || !CapturedChatOf(c.hwnd, notify)) return;
    ::PostMessageW(notify, parlix::hook::kWmHookNotify, parlix::hook::kHistoryChanged, reinterpret_cast<LPARAM>(c.hwnd));
}

// The history records of this thread's captured chats of the memory-read kinds: Parlix asked
// for each with kRequestHistory. A record's length is compared whenever a message for its chat
// window itself passes (the clients show a grown history through their chat window's own
// messages), which costs a memory read; messages for other windows cost a comparison.
// A fixed table of plain values: nothing to destroy when the thread ends, even after the library
// was unloaded from the client. A thread with more captured chats than fit has the others found
// by Parlix's sweep.
struct WatchedRecord {
    HWND chat;
    std::uintptr_t record;
    std::uint32_t bytes;
};
constexpr int kMaxWatched = 32;
thread_local WatchedRecord t_records[kMaxWatched];
thread_local int t_recordCount = 0;

// The 32-bit value at address in this process, if it is readable memory: a record the client
// freed must not fault its thread.
bool ReadOwn(std::uintptr_t address, std::uint32_t& value) {
    MEMORY_BASIC_INFORMATION mbi{};
    if (!address || !::VirtualQuery(reinterpret_cast<LPCVOID>(address), &mbi, sizeof mbi)) return false;
    constexpr DWORD kReadable = PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READ |
                                PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
    if (mbi.State != MEM_COMMIT || (mbi.Protect & kReadable) == 0 || (mbi.Protect & PAGE_GUARD)) return false;
    const auto end = reinterpret_cast<std::uintptr_t>(mbi.BaseAddress) + mbi.RegionSize;
    if (address + sizeof value > end) return false;
    value = *reinterpret_cast<const volatile std::uint32_t*>(address);
    return true;
}

void WatchRecord(HWND chat, std::uintptr_t record) {
    std::uint32_t bytes = 0;
    if (!record || !ReadOwn(record + 8, bytes)) return;
    for (int i = 0; i < t_recordCount; ++i) {
        if (t_records[i].chat != chat) continue;
        t_records[i].record = record;
        t_records[i].bytes = bytes;
        return;
    }
    if (t_recordCount < kMaxWatched) t_records[t_recordCount++] = {chat, record, bytes};
}

void CheckRecords(HWND w) {
    if (t_recordCount == 0 || !w) return;
    for (int i = 0; i < t_recordCount; ++i) {
        WatchedRecord& r = t_records[i];
        if (w != r.chat) continue;
        std::uint32_t bytes = 0;
        if (!ReadOwn(r.record + 8, bytes) || bytes == r.bytes) continue;
        r.bytes = bytes;
        const HWND notify = NotifyWindow();
        if (notify && ::GetAncestor(r.chat, GA_ROOT) == notify)
            ::PostMessageW(notify, parlix::hook::kWmHookNotify, parlix::hook::kHistoryChanged,
                           reinterpret_cast<LPARAM>(r.chat));
    }
}

void ForgetRecord(HWND chat) {
    for (int i = 0; i < t_recordCount; ++i) {
        if (t_records[i].chat != chat) continue;
        t_records[i] = t_records[--t_recordCount];
        return;
    }
}

// The hooks run inside the client's threads: nothing may leave them but their result. A
// failure there (out of memory, a lock that cannot be taken) costs one notice, not the client.
LRESULT CALLBACK GetMessageHook(int code, WPARAM wParam, LPARAM lParam) noexcept {
    if (code == HC_ACTION && wParam == PM_REMOVE) {
        auto* m = reinterpret_cast<MSG*>(lParam);
        try {
            CheckRecords(m->hwnd);
            if (OnInput(*m)) m->message = WM_NULL;
        } catch (...) {
        }
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

// Top-level windows already reported as shown: a window is reported once, like the shell's
// window-created notice, however often it is hidden and shown again (re-parenting shows it
// again, and a popped-out chat must not be captured anew by that).
std::mutex g_seenLock;
std::unordered_set<HWND> g_seen;

void OnShown(HWND w) {
    if (::GetAncestor(w, GA_PARENT) != ::GetDesktopWindow()) return;
    {
        std::lock_guard lock(g_seenLock);
        if (!g_seen.insert(w).second) return;
    }
    if (const HWND notify = NotifyWindow())
        ::PostMessageW(notify, parlix::hook::kWmHookNotify, parlix::hook::kWindowShown, reinterpret_cast<LPARAM>(w));
}

// Windows the thread showed before it was hooked were not reported (the start-up scan finds
// them): they count as seen, so that re-showing one later (re-parenting does) reports nothing.
thread_local bool t_seeded = false;

BOOL CALLBACK SeedSeen(HWND w, LPARAM current) noexcept {
    try {
        if (w != reinterpret_cast<HWND>(current) && ::IsWindowVisible(w)) g_seen.insert(w);
    } catch (...) {
        return FALSE;
    }
    return TRUE;
}

void SeedOnce(HWND current) {
    if (t_seeded) return;
    t_seeded = true;
    std::lock_guard lock(g_seenLock);
    ::EnumThreadWindows(::GetCurrentThreadId(), SeedSeen, reinterpret_cast<LPARAM>(current));
}

void OnDestroyed(HWND w) {
    ForgetRecord(w);
    std::lock_guard lock(g_seenLock);
    g_seen.erase(w);
}

LPARAM Answer(WPARAM request, HWND chat) {
    using namespace parlix::hook;
    switch (request) {
    case kRequestHistory: {
        const std::uintptr_t record = FindHistoryRecord(chat);
        WatchRecord(chat, record);
        return static_cast<LPARAM>(record);
    }
    case kRequestInput: return reinterpret_cast<LPARAM>(FindInputBox(chat));
    case kRequestFocus: return reinterpret_cast<LPARAM>(::GetFocus());
    default: return 0;
    }
}

// Parlix asked for the focus to move to w (kTakeFocus). It is done here, in the thread that owns
// w, so that Parlix's thread never waits on this client for the focus change.
void TakeFocus(HWND w, std::uint32_t askedAt) {
    const HWND notify = NotifyWindow();
    if (!notify || !parlix::hook::TakeFocusIsFresh(askedAt, ::GetTickCount())) return;
    if (!CapturedChatOf(w, notify) || !::IsWindowVisible(w) || ::GetFocus() == w) return;
    // A window holds the mouse (a tab being dragged, a button held): activation and focus
    // changes are left alone until the user lets go.
    if (::GetCapture()) return;
    // The user went to another program meanwhile: the focus stays where the user put it.
    DWORD frontPid = 0, parlixPid = 0;
    if (const HWND front = ::GetForegroundWindow()) ::GetWindowThreadProcessId(front, &frontPid);
    ::GetWindowThreadProcessId(notify, &parlixPid);
    if (!parlix::hook::FocusMayMove(frontPid, ::GetCurrentProcessId(), parlixPid)) return;
    ::SetFocus(w);
}

void OnSent(const CWPSTRUCT& c) {
    using namespace parlix::hook;
    SeedOnce(c.hwnd);
    CheckRecords(c.hwnd);
    OnTextChange(c);
    switch (c.message) {
    case kWmHookNotify:
        if (c.wParam == kTakeFocus) {
            TakeFocus(c.hwnd, static_cast<std::uint32_t>(c.lParam));
            break;
        }
        if (c.lParam == 0 && (c.wParam == kRequestFocus || c.wParam == kRequestHistory || c.wParam == kRequestInput)) {
            if (const HWND notify = NotifyWindow()) SendBounded(notify, c.wParam, Answer(c.wParam, c.hwnd), kSendTimeoutMs);
        }
        break;
    case WM_WINDOWPOSCHANGED:
        if (reinterpret_cast<const WINDOWPOS*>(c.lParam)->flags & SWP_SHOWWINDOW) OnShown(c.hwnd);
        break;
    case WM_ACTIVATE:
        if (LOWORD(c.wParam) != WA_INACTIVE) {
            const HWND notify = NotifyWindow();
            if (const HWND chat = notify ? CapturedChatOf(c.hwnd, notify) : nullptr)
                ::PostMessageW(notify, kWmHookNotify, kFocusRequest, reinterpret_cast<LPARAM>(chat));
        }
        break;
    case WM_NCDESTROY:
        OnDestroyed(c.hwnd);
        break;
    default:
        break;
    }
}

LRESULT CALLBACK CallWindowHook(int code, WPARAM wParam, LPARAM lParam) noexcept {
    if (code == HC_ACTION) {
        try {
            OnSent(*reinterpret_cast<const CWPSTRUCT*>(lParam));
        } catch (...) {
        }
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

extern "C" {

// Keyboard and mouse hook of one client thread; notices go to notifyWindow.
__declspec(dllexport) HHOOK WINAPI InitHook(HWND notifyWindow, DWORD threadId) {
    g_notifyWindow = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(notifyWindow));
    return ::SetWindowsHookExW(WH_GETMESSAGE, GetMessageHook, g_module, threadId);
}

// Window hook of one client thread: requests, shown windows, activation.
__declspec(dllexport) HHOOK WINAPI InitHookProc(DWORD threadId) {
    return ::SetWindowsHookExW(WH_CALLWNDPROC, CallWindowHook, g_module, threadId);
}

__declspec(dllexport) void WINAPI EndHook(HHOOK hook) {
    if (hook) ::UnhookWindowsHookEx(hook);
}

__declspec(dllexport) void WINAPI EnableMouseGesture(BOOL on) { ::InterlockedExchange(&g_gesturesOn, on ? 1 : 0); }

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
        ::DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

}  // extern "C"
