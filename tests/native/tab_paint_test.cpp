// The tab strip's drawing rules: shading, gradient rows, fill colours, frames, edges, icons.
#include "ui/tab_paint.h"
#include "ui/icon_scale.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace parlix::paint {
namespace {

TEST(TabPaint, ShadeColorMovesRedAndGreenByDAndBlueInProportion) {
    const struct {
        Colour c;
        int d;
        Colour expected;
    } cases[] = {
        {0xFFFFFF, 48, 0xFFFFFF},  // capped at white
        {0x000000, -25, 0x000000}, // floored at black
        {0x808080, 48, 0xA0B0B0},
        {0x808080, -32, 0x6B6060}, // blue 128 - 128 × 32 / 192 = 128 - 21
        {0x0000FF, 48, 0x0030FF},  // red capped, green from 0
        {0xC00000, -1, 0xBF0000},  // -192/192 truncates to -1... of blue only
        {0x123456, 0, 0x123456},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ShadeColor(c.c, c.d), c.expected) << std::hex << c.c << " " << std::dec << c.d;
}

TEST(TabPaint, RoundingGoesToTheEvenNeighbourAtHalves) {
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(3.5), 4);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
    EXPECT_EQ(RoundHalfEven(-2.6), -3);
    // Exact quotients: -25 × 11 / 22 is a true half however the FPU rounds 25 / 22.
    const struct {
        long long num, den;
        int expected;
    } exact[] = {{-275, 22, -12}, {-25, 2, -12}, {-75, 2, -38}, {25, 2, 12}, {-26, 4, -6}, {-27, 4, -7}, {0, 5, 0}};
    for (const auto& c : exact) EXPECT_EQ(RoundHalfEven(c.num, c.den), c.expected) << c.num << "/" << c.den;
    EXPECT_EQ(GradientStep(11, 22), -12);
    EXPECT_EQ(GradientStep(3, 0), 0);
}

TEST(TabPaint, FillColourFollowsHighlightSelectionAndTabColours) {
    const Palette p{1, 2, 3, 4};
    const struct {
        bool selected, highlighted, custom;
        Colour expected;
    } cases[] = {
        {true, true, true, 3},   // a selected unread tab is hot
        {true, false, true, 2},  {false, true, false, 3},
        {false, false, true, 9}, // its own colour
        {false, false, false, 1},
    };
    for (const auto& c : cases) EXPECT_EQ(TabColour(c.selected, c.highlighted, c.custom, 9, p), c.expected);
}

TEST(TabPaint, GradientsRunFromTheBaseAtTheStripSideTo25LevelsDarker) {
    const Rect r{10, 4, 70, 24};
    const Colour base = ShadeColor(0x808080, 48);
    struct Case {
        Skin skin;
        bool selected, bottom;
        int firstY, rows, x1, x2;
        Colour strip;  // the colour at the strip side (distance 0)
    };
    const Case cases[] = {
        {Skin::QQ, false, false, 3, 23, 10, 71, base},  // rows T-2..B, lines at y + 1
        {Skin::QQ, false, true, 2, 23, 10, 71, base},
        {Skin::XP, true, false, 4, 21, 9, 72, base},     // inset -1
        {Skin::XP, false, false, 4, 21, 11, 70, base},   // inset +1
        {Skin::XP, true, true, 3, 22, 9, 72, base},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << static_cast<int>(c.skin) << c.selected << c.bottom);
        const Lines lines = FillTab(c.skin, c.selected, c.bottom, r, 0x808080);
        ASSERT_EQ(static_cast<int>(lines.size()), c.rows);
        EXPECT_EQ(lines.front().y1, c.firstY);
        EXPECT_EQ(lines.front().x1, c.x1);
        EXPECT_EQ(lines.front().x2, c.x2);
        // Distance 0 is the tab's top row for tabs at the top, its bottom row at the bottom.
        const int zeroRow = c.bottom ? (c.skin == Skin::QQ ? r.bottom : r.bottom - 1) : r.top;
        for (const Line& l : lines) {
            if (l.y1 == zeroRow + 1) {
                EXPECT_EQ(l.colour, c.strip);
            }
        }
        const Line& far = c.bottom ? lines.front() : lines.back();
        EXPECT_LT(far.colour & 0xFF, base & 0xFF) << "darker away from the strip";
    }
    // XP, tabs at the top: k = 25 / 20, the last row (distance 19) is 24 levels (23.75) darker.
    EXPECT_EQ(FillTab(Skin::XP, true, false, r, 0x808080).back().colour, ShadeColor(base, -24));
}

TEST(TabPaint, FramesAndEdgesAtChosenPoints) {
    const Palette p{0xFFC8A6, 0xFFB364, 0x56FCA9, 0xC0C0C0};
    const Rect r{10, 4, 70, 24};
    const auto has = [](const Lines& lines, Line l) { return std::find(lines.begin(), lines.end(), l) != lines.end(); };
    EXPECT_TRUE(FrameTab(Skin::QQ, Look::Normal, false, r, p).empty());
    const Lines q = FrameTab(Skin::QQ, Look::Selected, false, r, p);
    EXPECT_TRUE(has(q, {12, 2, 69, 2, ShadeColor(p.selected, -32)}));
    EXPECT_TRUE(has(q, {11, 2, 12, 2, ShadeColor(p.selected, 16)}));
    const Lines xHot = FrameTab(Skin::XP, Look::Hot, false, r, p);
    EXPECT_TRUE(has(xHot, {11, 2, 71, 2, 0x288BE6}));
    EXPECT_TRUE(has(xHot, {9, 5, 9, 25, 0xB4A791}));
    EXPECT_TRUE(has(xHot, {9, 2, 10, 2, p.buttonFace}));
    const Lines xBottom = FrameTab(Skin::XP, Look::Normal, true, r, p);
    EXPECT_TRUE(has(xBottom, {12, 25, 69, 25, 0xB4A791}));
    const Rect client{0, 0, 300, 200};
    EXPECT_TRUE(has(Edges(Skin::XP, false, client, r, p), {1, 197, 300, 197, 0x9C9B91}));
    EXPECT_TRUE(Edges(Skin::XP, true, client, r, p).empty());
    EXPECT_TRUE(has(Edges(Skin::QQ, true, client, r, p), {72, 3, 300, 3, 0xFFFFFF}));
}

TEST(TabPaint, IconSitsSixPixelsInAndCentredAndTheCaptionFollowsIt) {
    const IconPlace at = PlaceIcon({10, 4, 70, 25});
    EXPECT_EQ(at.x, 16);
    EXPECT_EQ(at.y, 6);  // 4 + (21 - 16) / 2
    EXPECT_EQ(at.captionLeft, 33);
}

// A window icon is drawn from its 32 × 32 surface: black is where it is not.
TEST(TabPaint, WindowIconsScaleToTheNearestPixelWithTheKeyColourTransparent) {
    std::vector<std::uint32_t> source(32 * 32, 0);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) source[static_cast<std::size_t>(y * 32 + x)] = x < 16 ? 0x00FF0000u : 0u;
    source[0] = 0xFF000000u;    // alpha bits do not make the key opaque
    source[33] = 0x00000001u;   // nearly black is a colour
    struct Case {
        int size, x, y;
        std::uint32_t pixel;
    } cases[] = {
        {16, 0, 0, 0u},                  // the key colour, whatever its top byte
        {16, 1, 1, 0xFFFF0000u},         // 16 from 32 takes every second pixel: (2, 2), left half red
        {16, 7, 5, 0xFFFF0000u},
        {16, 8, 5, 0u},                  // the right half is black
        {32, 1, 1, 0xFF000001u},         // at full size every pixel is its own
        {24, 11, 0, 0xFFFF0000u},        // 11 * 32 / 24 = 14: red
        {24, 12, 0, 0u},                 // 16: black
    };
    for (const Case& c : cases) {
        const std::vector<std::uint32_t> icon = KeyedIcon(source, 32, c.size, 0);
        ASSERT_EQ(icon.size(), static_cast<std::size_t>(c.size * c.size));
        EXPECT_EQ(icon[static_cast<std::size_t>(c.y * c.size + c.x)], c.pixel) << c.size << ": " << c.x << "," << c.y;
    }
    EXPECT_TRUE(KeyedIcon(source, 16, 16, 0).empty()) << "a source of another size";
    EXPECT_TRUE(KeyedIcon(source, 32, 0, 0).empty());
}

}  // namespace
}  // namespace parlix::paint
