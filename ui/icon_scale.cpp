#include "ui/icon_scale.h"

namespace parlix::paint {

std::vector<std::uint32_t> KeyedIcon(std::span<const std::uint32_t> source, int side, int size, std::uint32_t key) {
    if (side <= 0 || size <= 0 || source.size() != static_cast<std::size_t>(side) * static_cast<std::size_t>(side))
        return {};
    std::vector<std::uint32_t> out(static_cast<std::size_t>(size) * static_cast<std::size_t>(size));
    for (int y = 0; y < size; ++y) {
        const int sy = y * side / size;
        for (int x = 0; x < size; ++x) {
            const std::uint32_t p = source[static_cast<std::size_t>(sy * side + x * side / size)] & 0xFFFFFF;
            out[static_cast<std::size_t>(y * size + x)] = p == (key & 0xFFFFFF) ? 0 : (p | 0xFF000000u);
        }
    }
    return out;
}

}  // namespace parlix::paint
