// Pixels, twips and dots per inch. Layout figures are written as pixels at 96 dpi and scaled
// for the dpi of the window they are used in; twips are 1/1440 inch, so a size stored in twips
// means the same on screens of every dpi (15 twips per pixel at 96 dpi).
#pragma once

namespace parlix {

inline constexpr int kBaseDpi = 96;
inline constexpr int kTwipsPerInch = 1440;

// A dpi a window can really have: anything below 48 or above 960 (unset, or a broken value) is
// taken as 96.
[[nodiscard]] int SaneDpi(int dpi) noexcept;

// value * numerator / denominator rounded to the nearest whole number, halves away from zero
// (as MulDiv rounds); 0 when the denominator is 0.
[[nodiscard]] int ScaleRounded(int value, int numerator, int denominator) noexcept;

// A figure in pixels at 96 dpi, in pixels at dpi.
[[nodiscard]] int ScaleForDpi(int pixelsAt96, int dpi) noexcept;
[[nodiscard]] int PixelsToTwips(int pixels, int dpi) noexcept;
[[nodiscard]] int TwipsToPixels(int twips, int dpi) noexcept;

// The size of a picture drawn for 16 pixels at 96 dpi at the given dpi: the largest of the drawn
// sizes 16, 24, 32 and 48 that is not larger than 16 pixels scaled (a smaller sharp picture
// rather than a blurred larger one).
[[nodiscard]] int PictureSizeForDpi(int dpi) noexcept;

}  // namespace parlix
