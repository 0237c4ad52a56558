#include "base/dpi.h"

#include <cstdint>
#include <cstdlib>
#include <initializer_list>

namespace parlix {

int SaneDpi(int dpi) noexcept { return dpi >= 48 && dpi <= 960 ? dpi : kBaseDpi; }

int ScaleRounded(int value, int numerator, int denominator) noexcept {
    if (denominator == 0) return 0;
    const std::int64_t product = std::int64_t{value} * numerator;
    const std::int64_t half = std::llabs(denominator) / 2;
    const bool negative = (product < 0) != (denominator < 0);
    const std::int64_t magnitude = (std::llabs(product) + half) / std::llabs(denominator);
    return static_cast<int>(negative ? -magnitude : magnitude);
}

int ScaleForDpi(int pixelsAt96, int dpi) noexcept { return ScaleRounded(pixelsAt96, SaneDpi(dpi), kBaseDpi); }

int PixelsToTwips(int pixels, int dpi) noexcept { return ScaleRounded(pixels, kTwipsPerInch, SaneDpi(dpi)); }

int TwipsToPixels(int twips, int dpi) noexcept { return ScaleRounded(twips, SaneDpi(dpi), kTwipsPerInch); }

int PictureSizeForDpi(int dpi) noexcept {
    const int wanted = ScaleForDpi(16, dpi);
    int size = 16;
    for (int drawn : {24, 32, 48})
        if (drawn <= wanted) size = drawn;
    return size;
}

}  // namespace parlix
