#include "ui/tab_commands.h"

#include "base/dpi.h"

#include <array>
#include <cstdlib>

namespace parlix::tabs {

int NextTab(int selected, int count) noexcept {
    if (count <= 0) return -1;
    if (selected < 0 || selected + 1 >= count) return 0;
    return selected + 1;
}

int PreviousTab(int selected, int count) noexcept {
    if (count <= 0) return -1;
    if (selected <= 0 || selected > count) return count - 1;
    return selected - 1;
}

Drop DecideDrop(int pressed, int index, int count, bool behindTabs, bool outsideWindow) noexcept {
    if (pressed < 0 || pressed >= count || index >= count || index < -1) return {};
    if (index == pressed) return {DropAction::Reselect, {}};
    if (index == -1) {
        // Behind the last tab; the last tab itself stays where it is.
        if (behindTabs && pressed != count - 1)
            return {DropAction::Move, {pressed + 1, count + 1, pressed, count, count - 1}};
        if (outsideWindow) return {DropAction::Detach, {}};
        return {};
    }
    // MoveNode and MoveTab both take the place to insert before: right of the target when moving
    // right, left of it when moving left. Either way the tab lands at the target's index.
    if (index > pressed) return {DropAction::Move, {pressed + 1, index + 2, pressed, index + 1, index}};
    return {DropAction::Move, {pressed + 1, index + 1, pressed, index, index}};
}

std::vector<int> TabsToClose(std::span<const bool> locked, int keep) {
    std::vector<int> order;
    for (int i = static_cast<int>(locked.size()) - 1; i >= 0; --i)
        if (i != keep && !locked[static_cast<size_t>(i)]) order.push_back(i);
    return order;
}

bool DragStarts(bool dragging, unsigned buttons, int count, int pressed, Offset press, Offset cursor,
                int dpi) noexcept {
    if (dragging || (buttons & kLeftButton) == 0 || count < 2 || pressed < 0 || pressed >= count) return false;
    const int threshold = ScaleForDpi(kDragThreshold, dpi);
    return std::abs(cursor.x - press.x) > threshold || std::abs(cursor.y - press.y) > threshold;
}

Offset DragHotspot(int cursorX, int tabLeft, int pressOffsetY) noexcept {
    return {cursorX - tabLeft + 1, pressOffsetY + 2};
}

Band StripBand(bool tabsAtBottom, int picWinTop, int picWinHeight, int clientHeight) noexcept {
    if (tabsAtBottom) return {picWinHeight + 3, clientHeight + 4};
    return {2, picWinTop - 1};
}

DragZone ClassifyOffTab(Offset client, int clientWidth, Band band, bool outsideWindow) noexcept {
    if (client.x > 0 && client.x < clientWidth && client.y > band.top && client.y < band.bottom)
        return DragZone::BehindTabs;
    return outsideWindow ? DragZone::Outside : DragZone::NoDrop;
}

bool OutsideRect(const Rect& window, Offset screen) noexcept {
    return screen.x < window.left || screen.x >= window.right || screen.y < window.top || screen.y >= window.bottom;
}

MarkerAt InsertionMarker(int pressed, int index, int count) noexcept {
    if (count < 2 || pressed < 0 || pressed >= count || index < -1 || index >= count) return {};
    if (index == -1) return {pressed == count - 1 ? count - 2 : count - 1, true};
    return {index, index > pressed};
}

std::span<const ColourItem> ColourItems() noexcept {
    static constexpr std::array<ColourItem, 7> kItems{{
        {0, L"默认(&D)"},
        {1, L"红(&R)"},
        {2, L"蓝(&B)"},
        {3, L"绿(&G)"},
        {4, L"黄(&Y)"},
        {5, L"橙(&O)"},
        {kCustomColour, L"自定义(&C)"},
    }};
    return kItems;
}

std::optional<std::int32_t> PaletteColour(int index, std::int32_t tabNormal) noexcept {
    static constexpr std::array<std::int32_t, 5> kFixed{0x8080FF, 0xFFC8A6, 0xFF80, 0xFFFF, 0x80FF};
    if (index == 0) return tabNormal;
    if (index >= 1 && index <= 5) return kFixed[static_cast<size_t>(index - 1)];
    return std::nullopt;
}

int LockImage(bool locked, bool showIcon) noexcept {
    if (locked) return 0;
    return showIcon ? 1 : -1;
}

}  // namespace parlix::tabs
