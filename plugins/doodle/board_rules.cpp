#include "plugins/doodle/board_rules.h"

#include <algorithm>

namespace parlix::doodle {

int TwipsToPixels(std::int64_t twips) noexcept {
    const std::int64_t half = kTwipsPerPixel / 2;
    const std::int64_t pixels = twips >= 0 ? (twips + half) / kTwipsPerPixel : -((-twips + half) / kTwipsPerPixel);
    return static_cast<int>(std::clamp<std::int64_t>(pixels, -(1 << 30), 1 << 30));
}

std::optional<BoardLayout> LayoutBoard(int innerWidth, int innerHeight, int toolboxWidth,
                                       int bottomHeight) noexcept {
    const int upper = innerHeight - bottomHeight;
    if (upper <= 0) return std::nullopt;
    BoardLayout l;
    l.bottom = {0, upper, std::max(0, innerWidth), bottomHeight};
    l.toolbox = {innerWidth - toolboxWidth, 0, toolboxWidth, upper};
    l.canvas = {0, 0, std::max(0, innerWidth - toolboxWidth), upper};
    return l;
}

bool DockingActive(const MainFacts& main) noexcept { return main.windowState && *main.windowState == 0; }

std::optional<Point> ToggleButtonPlace(const MainFacts& main, int currentTop, int buttonWidth) noexcept {
    if (!main.scaleWidth || !main.tabsAtBottom) return std::nullopt;
    const auto left = static_cast<std::int32_t>(*main.scaleWidth - buttonWidth);
    if (*main.tabsAtBottom) return Point{left, currentTop};
    if (!main.headerHeight) return std::nullopt;
    return Point{left, static_cast<std::int32_t>(*main.headerHeight + 3)};
}

std::optional<Point> DockBoard(const MainFacts& main, const DockState& last) noexcept {
    if (!main.left || !main.top || !main.height) return std::nullopt;
    const long left = *main.left;
    const long top = *main.top + *main.height;
    if (last.lastLeft && last.lastTop && *last.lastLeft == left && *last.lastTop == top) return std::nullopt;
    return Point{static_cast<std::int32_t>(left), static_cast<std::int32_t>(top)};
}

int NextFrameIndex(const std::set<int>& existing) noexcept {
    return existing.empty() ? 1 : std::max(*existing.rbegin(), 0) + 1;
}

}  // namespace parlix::doodle
