// The arithmetic of window upkeep, in client pixels: where the selected chat window sits inside
// picWin, how the tab strip and picWin share the main window, how picWin follows a chat window
// that its client resized, which windows lend their title to the main window's caption, and the
// main window's state value. Pure functions; upkeep_win.h applies them.
#pragma once

#include "base/dpi.h"
#include "base/main_state.h"

#include "contract/im_window.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace parlix {

struct PixelSize {
    int width = 0;
    int height = 0;
    friend bool operator==(const PixelSize&, const PixelSize&) = default;
};

struct PixelRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

// The part of a captured window kept outside picWin's visible area: its caption and borders.
// left/top lie before picWin's origin; width/height are what the window exceeds picWin by.
// Every figure below is given in pixels at 96 dpi and applied scaled for the main window's dpi.
struct ChatChrome {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const ChatChrome&, const ChatChrome&) = default;
};

// True when capture took a system caption away (outside compatibility mode a window with
// WS_CAPTION becomes a captionless child): nothing of it is then left to hide. Windows that
// draw their own title, and windows that keep their frame in compatibility mode, are not.
[[nodiscard]] bool CaptionStripped(std::uint32_t originalStyle, bool compatibility) noexcept;

// The chrome of each client family: QQ 2009 (2, 24, +5, +37), Fetion (8, 26, +14, +66), every
// other kind (8, 26, +14, +33); none when the caption was stripped.
[[nodiscard]] ChatChrome ChromeOf(IM_VERSION version, bool captionStripped, int dpi = kBaseDpi) noexcept;

// The chat window's rectangle in picWin's client pixels.
[[nodiscard]] PixelRect ChatPlacement(PixelSize picWin, const ChatChrome& chrome) noexcept;

// The picWin size at which a chat window of the given size fits its placement, per axis; an axis
// is left alone (nullopt) while the window is too small to be a chat window's real size
// (width up to 14, height up to 33 pixels at 96 dpi) or would leave picWin without a pixel.
struct PicWinFollow {
    std::optional<int> width;
    std::optional<int> height;
    friend bool operator==(const PicWinFollow&, const PicWinFollow&) = default;
};
[[nodiscard]] PicWinFollow FollowChatSize(PixelSize chat, const ChatChrome& chrome, int dpi = kBaseDpi) noexcept;

// btnTab fills the client area; picWin leaves the tab row free, at the bottom (height minus
// header minus 4) or at the top (from header + 3, height minus header minus 6). Sizes never go
// below 0.
struct TabLayout {
    PixelRect btnTab;
    PixelRect picWin;
    friend bool operator==(const TabLayout&, const TabLayout&) = default;
};
[[nodiscard]] TabLayout FormLayout(PixelSize client, int headerHeight, bool tabRowAtBottom,
                                   int dpi = kBaseDpi) noexcept;

// The client of QQ, TM and their versions up to QQ 2009 (0 to 8) gives the main window its title;
// Baidu Hi, Fetion and later kinds leave the caption alone.
[[nodiscard]] bool CaptionFollowsTitle(IM_VERSION version) noexcept;
// title + " - Parlix" + suffix (the suffix is "" or "  -  " and the user's text).
[[nodiscard]] std::wstring MainCaption(std::wstring_view title, std::wstring_view suffix);


enum class ShowState { Normal, Minimised, Maximised };
struct MainStateChange {
    MainWindowState mainState = MainWindowState::Normal;
    bool hideToTray = false;  // the window was just minimised and the tray is on
    friend bool operator==(const MainStateChange&, const MainStateChange&) = default;
};
[[nodiscard]] MainStateChange NextMainState(MainWindowState mainState, ShowState shown, bool trayEnabled) noexcept;

// What the upkeep tick does about the selected window's size.
enum class SizingStep {
    Layout,        // the chat window is forced to the main window's layout
    FollowWindow,  // the main window follows the chat window's size
    None,
};
[[nodiscard]] SizingStep ChkWinSizing(bool locked, MainWindowState mainState) noexcept;

}  // namespace parlix
