// Client discovery: the searches that find the running IM clients by their main windows, the
// bookkeeping of hooked threads and client processes, and the running check of the configured
// client. The Win32 side hooks the threads and owns the hook handles.
#pragma once

#include "capture/window_tree.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace parlix {

// One search for client main windows among the top-level windows. nullopt = not tested.
struct ClientSearch {
    std::optional<std::wstring_view> className;
    std::optional<std::wstring_view> title;
    // The window must have a first child of this class and title, and that child's title must be
    // empty.
    std::optional<std::wstring_view> childClass;
    std::optional<std::wstring_view> childTitle;
    bool fetionClass = false;     // the window's class must also start like a Fetion form
    bool toolbarAndPanel = false; // needs a "ToolbarWindow32" child with an empty title and an
                                  // "AfxWnd42" child; the child columns are unused
};

// The searches in the order they run.
[[nodiscard]] std::span<const ClientSearch> ClientSearches() noexcept;

// Whether a top-level window found by the class and title of `search` passes its other tests.
[[nodiscard]] bool PassesClientSearch(const WindowTree& tree, Hwnd window, const ClientSearch& search);

// Every client main window, search by search, each search walking the top-level windows in
// z-order. A window matched by several searches appears once per search.
[[nodiscard]] std::vector<Hwnd> FindClientMainWindows(const WindowTree& tree);

// Hooked threads and client processes found so far; both lists only grow during a run, and a
// client that exits keeps its entries.
class ClientList {
  public:
    // True only the first time a thread is added: the caller hooks it then, and never again.
    bool AddThread(std::uint32_t threadId);
    // True when the process was not known yet.
    bool AddProcess(std::uint32_t processId);
    [[nodiscard]] std::span<const std::uint32_t> ThreadIds() const noexcept { return threads_; }
    [[nodiscard]] std::span<const std::uint32_t> ProcessIds() const noexcept { return processes_; }

  private:
    std::vector<std::uint32_t> threads_;
    std::vector<std::uint32_t> processes_;
};

// Whether a process with this executable name counts as the configured client running: the
// names compare case-insensitively on the configured name's length, and "fetion.exe" stands for
// "fetionfx.exe". An empty configured name names no client and matches nothing.
[[nodiscard]] bool ImNameMatches(std::wstring_view configuredName, std::wstring_view exeName);

} // namespace parlix
