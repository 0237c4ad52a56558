// The tab strip's drawing rules, as lines and pixels: colour shading, the gradient fills of the
// two skins ("QQ风格" and "XP风格"), the tab frames, the strip background and the edges of the
// display area, and where a tab's icon and caption go. The painter draws what these return.
// Colours are 0x00BBGGRR; a value with the top bit set names a system colour.
#pragma once

#include <cstdint>
#include <vector>

namespace parlix::paint {

using Colour = std::int32_t;

// The colour moved d levels lighter (d > 0) or darker (d < 0): red and green by d, blue by
// d × blue / 192, each kept within 0..255.
[[nodiscard]] Colour ShadeColor(Colour c, int d) noexcept;
// Rounding to the nearest integer, halves to the even neighbour.
[[nodiscard]] int RoundHalfEven(double v) noexcept;
// The same for the exact quotient num / den (den > 0), free of floating-point error: a gradient
// step such as -25 × 11 / 22 is a true half and goes to the even neighbour on every FPU.
[[nodiscard]] int RoundHalfEven(long long num, long long den) noexcept;
// The gradient's shade at `distance` rows from the strip side of a run of `span` steps:
// round(-25 × distance / span), 0 when span is not positive.
[[nodiscard]] int GradientStep(int distance, int span) noexcept;

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// One solid line from (x1, y1) to (x2, y2) without its end point; a pixel is a line one long.
struct Line {
    int x1 = 0;
    int y1 = 0;
    int x2 = 0;
    int y2 = 0;
    Colour colour = 0;
    friend bool operator==(const Line&, const Line&) = default;
};
using Lines = std::vector<Line>;

enum class Skin { QQ, XP };
// How a tab is framed: the selected tab, the tab under the mouse, or any other.
enum class Look { Normal, Selected, Hot };

// The colours of the strip (settings tab_Normal, tab_Selected, tab_Hot; the system button face
// already translated).
struct Palette {
    Colour normal = 0;
    Colour selected = 0;
    Colour hot = 0;
    Colour buttonFace = 0;
};

// The colour a tab is filled from, before shading: highlighted (unread) tabs use tab_Hot; the
// selected tab tab_Selected; others their own colour when per-tab colours are on, else
// tab_Normal.
[[nodiscard]] Colour TabColour(bool selected, bool highlighted, bool customColour, Colour tabColour,
                               const Palette& p) noexcept;

// The gradient fill of a tab whose colour (before shading) is given.
[[nodiscard]] Lines FillTab(Skin skin, bool selected, bool bottom, const Rect& r, Colour colour);
// The strip right of the last tab: from `left` to `right`, down to the selected tab (tabs at
// the top) or between the selected tab's top and the last tab's bottom (tabs at the bottom).
[[nodiscard]] Lines FillBackground(bool bottom, int left, int right, const Rect& selected, const Rect& last,
                                   Colour tabNormal);
// The frame of a tab; the QQ skin draws none for the normal look.
[[nodiscard]] Lines FrameTab(Skin skin, Look look, bool bottom, const Rect& r, const Palette& p);
// The edges of the display area below (or above) the tabs; client is the tab window's client
// rectangle, selected the selected tab's rectangle.
[[nodiscard]] Lines Edges(Skin skin, bool bottom, const Rect& client, const Rect& selected, const Palette& p);

// Where a tab's icon goes (16 × 16 at 96 dpi, the picture size drawn for other dpi), and where
// its caption starts when it has one.
struct IconPlace {
    int x = 0;
    int y = 0;
    int captionLeft = 0;
    int size = 16;
};
[[nodiscard]] IconPlace PlaceIcon(const Rect& r, int dpi = 96) noexcept;

}  // namespace parlix::paint
