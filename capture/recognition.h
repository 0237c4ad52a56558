// Chat-window recognition: decides from a window's process, class, title and children whether it
// is a chat window of a supported client, what its tab is called, whether it is a group chat and
// which client family it belongs to. Pure decisions; attaching the window is the caller's job.
#pragma once

#include "capture/window_tree.h"
#include "contract/im_window.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace parlix {

struct Recognition {
    std::wstring caption;
    bool isGroup = false;
    IM_VERSION version = IM_VERSION::TM;
    std::uint32_t processId = 0; // 0 for the dialog and Fetion families, as AddTab expects
    friend bool operator==(const Recognition&, const Recognition&) = default;
};

// Window style bits the rules test.
inline constexpr std::uint32_t kWsVisible = 0x10000000;

// Prefix shared by the form classes of the Fetion client (30 characters); the rest of the class
// name is per process.
inline constexpr std::wstring_view kFetionFormClass = L"WindowsForms10.Window.8.app.0.";

// The recognition of a top-level window, or nullopt when it is not a chat window to capture.
// Only windows of the processes in imProcessIds are considered. May Wait (Fetion windows get their
// title shortly after creation).
[[nodiscard]] std::optional<Recognition> Recognize(WindowTree& tree, Hwnd window,
                                                   std::span<const std::uint32_t> imProcessIds);

// The title rules of the "#32770" dialog family alone, first match wins; processId is 0.
[[nodiscard]] std::optional<Recognition> DialogTitleRule(std::wstring_view title);

[[nodiscard]] bool IsInList(std::uint32_t value, std::span<const std::uint32_t> list) noexcept;

// The start-up scan skips windows with this title and examines Fetion-class windows before
// walking the other families' classes.
[[nodiscard]] bool ScanSkipsTitle(std::wstring_view title) noexcept;
[[nodiscard]] bool IsFetionClass(std::wstring_view className) noexcept;

} // namespace parlix
