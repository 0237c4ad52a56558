// A tab's window icon made ready for drawing: a square of pixels (0x00RRGGBB) in which one
// colour means "nothing here", scaled to the size the strip draws it at (nearest pixel), as
// premultiplied pixels with alpha (0xAARRGGBB) that blend in one step.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace parlix::paint {

// source holds side × side pixels, row by row. Pixels of colour key (alpha bits ignored)
// become fully transparent, all others opaque. Empty when the sizes do not fit.
[[nodiscard]] std::vector<std::uint32_t> KeyedIcon(std::span<const std::uint32_t> source, int side, int size,
                                                   std::uint32_t key);

}  // namespace parlix::paint
