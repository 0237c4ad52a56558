#include "ui/res_icon.h"

namespace parlix {

namespace {
std::size_t RowBytes(std::size_t bits) {
    return (bits + 31) / 32 * 4;
}
}  // namespace

std::optional<std::size_t> IconImageBytes(int size, int depth) {
    if (size != 16 && size != 24 && size != 32 && size != 48) return std::nullopt;
    int bitsPerPixel = 0;
    std::size_t paletteColours = 0;
    switch (depth) {
    case 4:
        bitsPerPixel = 4;
        paletteColours = 16;
        break;
    case 16:
        bitsPerPixel = 8;
        paletteColours = 256;
        break;
    case 24:
        bitsPerPixel = 24;
        break;
    case 32:
        bitsPerPixel = 32;
        break;
    default:
        return std::nullopt;
    }
    const auto n = static_cast<std::size_t>(size);
    constexpr std::size_t kHeader = 40;
    return kHeader + paletteColours * 4 + n * RowBytes(n * static_cast<std::size_t>(bitsPerPixel)) +
           n * RowBytes(n);
}

}  // namespace parlix
