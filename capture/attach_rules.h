// What attaching a chat window decides before touching it: which child windows are its
// history and input boxes (and so which client version it is), the style it gets inside
// Parlix, the text of its tab, and where a popped-out window goes back to.
#pragma once

#include "capture/window_tree.h"
#include "contract/im_window.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace parlix {

struct ChatChildren {
    Hwnd chat;  // the history box; empty when not found
    Hwnd say;   // the input box; empty when not found (the caller then uses the window itself)
    IM_VERSION version = IM_VERSION::TM;
};

// Child searches of the dialog and Fetion families; refines version. Other kinds are returned
// unchanged (their boxes come from the hook library). A search below a window that was not
// found finds nothing: it never falls back to the top-level windows.
[[nodiscard]] ChatChildren FindChatChildren(const WindowTree& tree, Hwnd window, IM_VERSION version);

inline constexpr std::uint32_t kWsChild = 0x40000000;
inline constexpr std::uint32_t kWsPopup = 0x80000000;
inline constexpr std::uint32_t kWsCaption = 0x00C00000;
inline constexpr std::uint32_t kWsMinimizeBox = 0x00020000;
inline constexpr std::uint32_t kWsMaximizeBox = 0x00010000;
inline constexpr std::uint32_t kWsExLayered = 0x00080000;

// The style a captured window gets, from its style before capture.
[[nodiscard]] std::uint32_t CapturedStyle(IM_VERSION version, std::uint32_t original, bool compatibility) noexcept;

// The tab text: the caption, cut to maxLength characters when cutting is on.
[[nodiscard]] std::wstring TabTitle(std::wstring_view caption, bool cut, int maxLength);

struct Point {
    int x = 0;
    int y = 0;
    friend bool operator==(Point, Point) = default;
};

// Where a popped-out window goes: its place before capture, except that a window captured
// within 50 pixels of the screen's left or top edge is centred on that axis instead.
[[nodiscard]] Point PopOutPosition(Point before, int width, int height, int screenWidth, int screenHeight) noexcept;

}  // namespace parlix
