// The tabs' window icons as the strip draws them. Each icon lives in a 32 × 32 surface of its
// tab's record, black where the icon is not. A colour-keyed stretching copy of it takes about
// 0.2 ms under Wine, and a paint of the whole strip draws every tab: instead each surface is
// kept here scaled, with alpha, and blended in one step (about 1 µs). Each draw compares the
// surface with the copy it was made from (a few µs), so an icon drawn afresh, or a surface
// handed to another tab, is never shown stale.
#pragma once

#include "base/scoped_win.h"

#include <windows.h>

#include <cstdint>
#include <optional>
#include <unordered_map>
#include <vector>

namespace parlix {

class TabIconCache {
public:
    static constexpr int kSide = 32;  // the records' icon surfaces

    TabIconCache();
    // Draws surface's icon at (x, y), size × size. False when it could not be read.
    bool Draw(HDC dest, HDC surface, int x, int y, int size);
    // Keeps at most `keep` icons (the tabs open): the rest, least recently drawn, go.
    void Trim(std::size_t keep);
    [[nodiscard]] std::size_t size() const noexcept { return icons_.size(); }

private:
    struct Icon {
        std::vector<std::uint32_t> source;  // the surface's pixels it was made from
        int size = 0;
        ScopedMemoryDc dc;
        ScopedBitmap bitmap;
        std::optional<ScopedSelect> selection;
        std::uint64_t used = 0;
    };
    bool Make(Icon& icon, int size);

    ScopedMemoryDc readDc_;  // a 32 × 32 surface of our own the icons are read through
    std::uint32_t* readBits_ = nullptr;  // (set while readBitmap_ is made)
    ScopedBitmap readBitmap_;
    std::optional<ScopedSelect> readSelection_;
    std::unordered_map<HDC, Icon> icons_;
    std::uint64_t clock_ = 0;
};

}  // namespace parlix
