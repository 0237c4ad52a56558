#include "capture/discovery_win.h"

#include "base/scoped_win.h"
#include "capture/window_tree_win.h"
#include "hook/hook_protocol.h"

#include <tlhelp32.h>

#include <algorithm>

namespace parlix {

bool ClientDiscovery::InitHooks() {
    if (taskbarCreatedMsg_ == 0) taskbarCreatedMsg_ = ::RegisterWindowMessageW(L"TaskbarCreated");
    using FilterFn = BOOL(WINAPI*)(UINT, DWORD);
    const auto filter = reinterpret_cast<FilterFn>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "ChangeWindowMessageFilter")));
    if (!filter || taskbarCreatedMsg_ == 0) return false;
    constexpr DWORD kMsgfltAdd = 1;
    bool ok = true;
    for (UINT msg : {taskbarCreatedMsg_, static_cast<UINT>(hook::kWmHookNotify), static_cast<UINT>(WM_COPYDATA),
                     static_cast<UINT>(WM_MOUSEWHEEL), static_cast<UINT>(WM_HOTKEY)})
        ok = filter(msg, kMsgfltAdd) && ok;
    return ok;
}

std::vector<std::uint32_t> ClientDiscovery::FindClients(HWND mainWindow) {
    std::vector<std::uint32_t> found;
    for (Hwnd w : FindClientMainWindows(tree_)) {
        DWORD pid = 0;
        const DWORD thread = ::GetWindowThreadProcessId(ToHwnd(w), &pid);
        if (thread == 0) continue;  // the window went away between the search and now
        if (clients_.AddThread(thread)) {
            keyboardHooks_.push_back(hooks_.InitHook(mainWindow, thread));
            windowHooks_.push_back(hooks_.InitHookProc(thread));
        }
        if (clients_.AddProcess(pid)) found.push_back(pid);
    }
    return found;
}

std::vector<HWND> TopLevelWindowsOf(std::span<const std::uint32_t> processIds) {
    struct Walk {
        std::span<const std::uint32_t> pids;
        std::vector<HWND> windows;
    } walk{processIds, {}};
    struct Visit {
        static BOOL CALLBACK Window(HWND w, LPARAM p) {
            auto& walk = *reinterpret_cast<Walk*>(p);
            DWORD pid = 0;
            ::GetWindowThreadProcessId(w, &pid);
            if (::IsWindowVisible(w) && std::find(walk.pids.begin(), walk.pids.end(), pid) != walk.pids.end())
                walk.windows.push_back(w);
            return TRUE;
        }
    };
    ::EnumWindows(Visit::Window, reinterpret_cast<LPARAM>(&walk));
    return walk.windows;
}

void ClientDiscovery::EndHooks() {
    for (HHOOK h : keyboardHooks_) hooks_.EndHook(h);
    for (HHOOK h : windowHooks_) hooks_.EndHook(h);
    keyboardHooks_.assign(keyboardHooks_.size(), nullptr);
    windowHooks_.assign(windowHooks_.size(), nullptr);
}

bool IsIMRunning(std::wstring_view configuredName) {
    ScopedHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return false;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Process32FirstW(snapshot.get(), &entry); more; more = ::Process32NextW(snapshot.get(), &entry)) {
        if (ImNameMatches(configuredName, entry.szExeFile)) return true;
    }
    return false;
}

namespace {
bool ReadExactly(HANDLE process, std::uint32_t address, void* into, std::size_t bytes) {
    SIZE_T got = 0;
    return address != 0 &&
           ::ReadProcessMemory(process, reinterpret_cast<LPCVOID>(static_cast<std::uintptr_t>(address)), into, bytes,
                               &got) &&
           got == bytes;
}
}  // namespace

std::optional<std::int32_t> RemoteTextLength(HANDLE process, std::uint32_t address) {
    std::uint32_t bytes = 0;
    if (address > UINT32_MAX - 8 || !ReadExactly(process, address + 8, &bytes, sizeof bytes)) return std::nullopt;
    const std::uint32_t chars = bytes / 2;
    if (chars > static_cast<std::uint32_t>(kMaxRemoteTextChars)) return std::nullopt;
    return static_cast<std::int32_t>(chars);
}

std::optional<std::wstring> ReadRemoteText(HANDLE process, std::uint32_t address, std::int32_t length) {
    return ReadRemoteTail(process, address, length, length);
}

std::optional<std::wstring> ReadRemoteTail(HANDLE process, std::uint32_t address, std::int32_t length,
                                           std::int32_t count) {
    if (length < 0 || length > kMaxRemoteTextChars) return std::nullopt;
    std::uint32_t chars = 0;
    if (address > UINT32_MAX - 4 || !ReadExactly(process, address + 4, &chars, sizeof chars)) return std::nullopt;
    const std::int32_t take = std::clamp(count, 0, length);
    const std::uint64_t from = chars + static_cast<std::uint64_t>(length - take) * sizeof(wchar_t);
    if (from > UINT32_MAX) return std::nullopt;
    std::wstring text(static_cast<std::size_t>(take), L'\0');
    if (take > 0 && !ReadExactly(process, static_cast<std::uint32_t>(from), text.data(), text.size() * sizeof(wchar_t)))
        return std::nullopt;
    return text;
}

}  // namespace parlix
