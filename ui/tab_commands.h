// Decisions behind the tab commands and the tab drag: selection stepping, where a dropped tab
// goes in the registry and on the strip, which tabs the close-all and close-others commands
// close, the drag feedback's geometry and the tab colour palette. Positions are the strip's
// 0-based tab indexes (registry position = index + 1); -1 stands for "no tab".
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace parlix::tabs {

// --- Selection ----------------------------------------------------------------------------

// The tab after / before `selected`, wrapping at both ends. Nothing selected (-1) steps to the
// first / last tab; -1 when there are no tabs.
[[nodiscard]] int NextTab(int selected, int count) noexcept;
[[nodiscard]] int PreviousTab(int selected, int count) noexcept;

// --- Drop ---------------------------------------------------------------------------------

// One reorder: TabRegistry::MoveNode(src, dest), then TabControl::MoveTab(from, to), then the
// moved tab selected at `select`.
struct TabMove {
    int src = 0;
    int dest = 0;
    int from = 0;
    int to = 0;
    int select = 0;
    friend bool operator==(const TabMove&, const TabMove&) = default;
};

enum class DropAction {
    None,      // nothing to do but focus the current chat
    Reselect,  // dropped on itself: write Selected with the current selection
    Move,      // reorder as `move` says
    Detach,    // pop the pressed tab out
};

struct Drop {
    DropAction action = DropAction::None;
    TabMove move{};
    friend bool operator==(const Drop&, const Drop&) = default;
};

// What a drop does. `index` is the tab under the cursor (-1: none); `behindTabs` is true when
// the insertion marker stood behind the last tab; `outsideWindow` when the cursor lies outside
// the main window's outer rectangle. A pressed tab or an index that no longer exists (the strip
// changed during the drag) does nothing.
[[nodiscard]] Drop DecideDrop(int pressed, int index, int count, bool behindTabs, bool outsideWindow) noexcept;

// --- Close all / close others ---------------------------------------------------------------

// The tabs "close all" (keep = -1) or "close others" (keep = the context tab) close, given the
// locked flag of every tab: each unlocked tab but `keep`, never a locked one. Highest index
// first, so that closing one never moves a tab still to be closed.
[[nodiscard]] std::vector<int> TabsToClose(std::span<const bool> locked, int keep);

// --- Drag feedback --------------------------------------------------------------------------

struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;
};

struct Offset {
    int x = 0, y = 0;
    friend bool operator==(const Offset&, const Offset&) = default;
};

inline constexpr int kDragThreshold = 5;  // pixels (at 96 dpi) the cursor moves, in X or Y, before a drag starts
inline constexpr unsigned kLeftButton = 0x1;  // MK_LBUTTON

// A drag starts when none runs, the left button is held, the strip has more than one tab, the
// press was on a tab, and the cursor is more than kDragThreshold pixels (scaled for the strip's
// dpi) from the press point.
[[nodiscard]] bool DragStarts(bool dragging, unsigned buttons, int count, int pressed, Offset press, Offset cursor,
                              int dpi = 96) noexcept;

// Cursor offset inside the drag picture, which starts 1 pixel left of and 2 above the tab.
[[nodiscard]] Offset DragHotspot(int cursorX, int tabLeft, int pressOffsetY) noexcept;

// The band (exclusive bounds) that counts as the strip behind the tabs, in the main window's
// client coordinates: below picWin with the tabs at the bottom, above it with them at the top.
struct Band {
    int top = 0, bottom = 0;
    friend bool operator==(const Band&, const Band&) = default;
};
[[nodiscard]] Band StripBand(bool tabsAtBottom, int picWinTop, int picWinHeight, int clientHeight) noexcept;

// Where the cursor is while dragging, off every tab.
enum class DragZone {
    BehindTabs,  // on the strip behind the tabs: the drop moves the tab to the end
    NoDrop,      // inside the main window elsewhere (chat area, frame): the drop does nothing
    Outside,     // outside the main window: the drop detaches the tab
};

// client: cursor in the main window's client coordinates; outsideWindow: the cursor lies
// outside the main window's outer rectangle (the same test the drop makes).
[[nodiscard]] DragZone ClassifyOffTab(Offset client, int clientWidth, Band band, bool outsideWindow) noexcept;

// Whether a screen point lies outside a window's outer rectangle (right and bottom exclusive).
[[nodiscard]] bool OutsideRect(const Rect& window, Offset screen) noexcept;

// Which tab's rectangle places the insertion marker, and at which of its edges (top either way).
// `index` -1 means "behind the tabs". tab = -1: no marker (fewer than two tabs or no such tab).
struct MarkerAt {
    int tab = -1;
    bool rightEdge = false;
    friend bool operator==(const MarkerAt&, const MarkerAt&) = default;
};
[[nodiscard]] MarkerAt InsertionMarker(int pressed, int index, int count) noexcept;

// --- Tab colours and images -----------------------------------------------------------------

inline constexpr int kCustomColour = 99;

struct ColourItem {
    int index;
    std::wstring_view caption;
};
// The colour menu's items in menu order: palette 0..5, then the custom colour.
[[nodiscard]] std::span<const ColourItem> ColourItems() noexcept;

// Palette colour (0x00BBGGRR) of item 0..5; item 0 is the normal tab colour setting. None for
// the custom item (chosen in the colour dialog) and any other index.
[[nodiscard]] std::optional<std::int32_t> PaletteColour(int index, std::int32_t tabNormal) noexcept;

// Tab image after locking or unlocking: the lock picture (0) when locked, else the ordinary tab
// picture (1) when tab icons are shown, else none (-1).
[[nodiscard]] int LockImage(bool locked, bool showIcon) noexcept;

}  // namespace parlix::tabs
