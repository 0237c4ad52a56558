// Client discovery on the live system: finds the running IM clients by their main windows,
// hooks each client UI thread once through the hook library, and keeps the client process ids
// that recognition accepts.
#pragma once

#include "capture/discovery_rules.h"
#include "capture/hook_library_win.h"
#include "capture/window_tree.h"

#include <windows.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace parlix {

class ClientDiscovery {
public:
    ClientDiscovery(const HookLibrary& hooks, const WindowTree& tree) : hooks_(hooks), tree_(tree) {}
    ClientDiscovery(const ClientDiscovery&) = delete;
    ClientDiscovery& operator=(const ClientDiscovery&) = delete;
    ~ClientDiscovery() { EndHooks(); }

    // Registers "TaskbarCreated" and lets lower-integrity clients send the program's messages.
    // False when a step failed (for example without the message filter function).
    bool InitHooks();
    // Runs the client searches; hooks threads not hooked yet, with notices to mainWindow.
    // Returns the client processes found for the first time.
    std::vector<std::uint32_t> FindClients(HWND mainWindow);
    // Releases every hook. Safe to call more than once.
    void EndHooks();

    [[nodiscard]] std::span<const std::uint32_t> ImProcessIds() const noexcept { return clients_.ProcessIds(); }
    [[nodiscard]] std::span<const std::uint32_t> HookedThreads() const noexcept { return clients_.ThreadIds(); }
    [[nodiscard]] UINT TaskbarCreatedMsg() const noexcept { return taskbarCreatedMsg_; }

private:
    const HookLibrary& hooks_;
    const WindowTree& tree_;
    ClientList clients_;
    // Parallel to the hooked threads: the handles InitHook and InitHookProc returned (0 kept
    // when a call failed).
    std::vector<HHOOK> keyboardHooks_;
    std::vector<HHOOK> windowHooks_;
    UINT taskbarCreatedMsg_ = 0;
};

// Whether a process whose executable name begins with configuredName runs (letter case
// ignored; "fetion.exe" stands for "fetionfx.exe").
[[nodiscard]] bool IsIMRunning(std::wstring_view configuredName);

// The visible top-level windows of the given processes, in z-order.
[[nodiscard]] std::vector<HWND> TopLevelWindowsOf(std::span<const std::uint32_t> processIds);

// Remote history text of the memory-read kinds: a record at address in the client's memory
// holds at +4 the address of its UTF-16 characters and at +8 their length in bytes.
// A length beyond kMaxRemoteTextChars is rejected, and any failed read (a dead process, a
// freed record) yields nullopt; nothing here can fault.
inline constexpr std::int32_t kMaxRemoteTextChars = 16 * 1024 * 1024;
[[nodiscard]] std::optional<std::int32_t> RemoteTextLength(HANDLE process, std::uint32_t address);
[[nodiscard]] std::optional<std::wstring> ReadRemoteText(HANDLE process, std::uint32_t address, std::int32_t length);
// The last min(count, length) of those length characters: a notice needs only the new part of
// a long history.
[[nodiscard]] std::optional<std::wstring> ReadRemoteTail(HANDLE process, std::uint32_t address, std::int32_t length,
                                                         std::int32_t count);

}  // namespace parlix
