// The board's arithmetic: units, the layout of its three areas, where the docking timer puts the
// board and the toggle button, the swatch text colour, the pen width, frame numbering.
#pragma once

#include "plugins/doodle/drawing.h"

#include <cstdint>
#include <optional>
#include <set>

namespace parlix::doodle {

inline constexpr int kTwipsPerPixel = 15;

// Twips to whole pixels, rounded to the nearest (halves away from zero).
[[nodiscard]] int TwipsToPixels(std::int64_t twips) noexcept;
[[nodiscard]] constexpr std::int32_t PixelsToTwips(int pixels) noexcept { return pixels * kTwipsPerPixel; }

struct Area {
    int left = 0, top = 0, width = 0, height = 0;
    friend bool operator==(const Area&, const Area&) = default;
};
struct BoardLayout {
    Area bottom;   // picBottom, the command bar
    Area toolbox;  // picToolbox, the tool buttons
    Area canvas;   // picPaint
    friend bool operator==(const BoardLayout&, const BoardLayout&) = default;
};
// Form_Resize over the inner size: the command bar along the bottom, the toolbox at the right
// above it, the canvas filling the rest. Nothing when the command bar leaves no room
// (inner height − bar height ≤ 0).
[[nodiscard]] std::optional<BoardLayout> LayoutBoard(int innerWidth, int innerHeight, int toolboxWidth,
                                                     int bottomHeight) noexcept;

// What the docking timer reads of the main window (twips, pixels where noted).
struct MainFacts {
    std::optional<long> windowState;  // 0 normal, 1 minimised, 2 maximised
    std::optional<long> left, top, height;
    std::optional<long> scaleWidth;   // pixels
    std::optional<bool> tabsAtBottom;
    std::optional<long> headerHeight; // pixels
};

inline constexpr int kToggleButtonWidth = 55;  // pixels at 96 dpi

// Step 1 of the docking timer: where the toggle button of the given width goes (pixels, main
// window's client); nothing when a fact it needs could not be read.
[[nodiscard]] std::optional<Point> ToggleButtonPlace(const MainFacts& main, int currentTop,
                                                     int buttonWidth = kToggleButtonWidth) noexcept;

// Step 2: the board's new top-left corner in twips when the main window moved since the last
// placement (lastLeft/lastTop); nothing otherwise or when a fact is missing.
struct DockState {
    std::optional<long> lastLeft, lastTop;  // nothing before the first placement
};
[[nodiscard]] std::optional<Point> DockBoard(const MainFacts& main, const DockState& last) noexcept;

// The timer acts only while the main window is in its normal state.
[[nodiscard]] bool DockingActive(const MainFacts& main) noexcept;

// Swatch text: the inverse of its back colour (&HFFFFFF − back).
[[nodiscard]] constexpr BgrColor InverseColour(BgrColor back) noexcept { return 0xFFFFFFu - (back & 0xFFFFFFu); }

// Pen width for the selected entry of the width list (0-based): 1 … 5 pixels.
[[nodiscard]] constexpr int PenWidthForEntry(int entry) noexcept { return entry < 0 ? 1 : entry > 4 ? 5 : entry + 1; }

// A pasted picture's frame number: one above the highest existing (the template 0 always exists).
[[nodiscard]] int NextFrameIndex(const std::set<int>& existing) noexcept;

}  // namespace parlix::doodle
