// Pixels at other dpi: the rounding, twips in set.ini, pictures and layout figures that follow
// the dpi.
#include "base/dpi.h"
#include "capture/upkeep_rules.h"
#include "settings/settings.h"
#include "ui/tab_commands.h"
#include "ui/tab_paint.h"
#include "ui/tab_images.h"

#include <gtest/gtest.h>

namespace parlix {
namespace {

TEST(Dpi, FiguresScaleRoundedToTheNearestPixelAndBrokenDpiCountsAs96) {
    const struct {
        int value, dpi, expected;
    } cases[] = {
        {3, 96, 3},    {3, 120, 4},    {3, 144, 5},  {3, 192, 6},  {33, 144, 50},  // 49.5 rounds up
        {-3, 144, -5},                                                           // away from zero
        {200, 168, 350}, {0, 192, 0},  {5, 0, 5},    {5, -96, 5},  {5, 100000, 5},
    };
    for (const auto& c : cases) EXPECT_EQ(ScaleForDpi(c.value, c.dpi), c.expected) << c.value << " at " << c.dpi;
    EXPECT_EQ(ScaleRounded(7, 1, 0), 0) << "no division by zero";
    EXPECT_EQ(ScaleRounded(2147483647, 96, 1440), 143165576) << "no overflow on the way";
}

TEST(Dpi, TwipsArePixelsTimesFifteenAt96AndComeBackUnchangedAtAnyDpi) {
    EXPECT_EQ(PixelsToTwips(704, 96), 10560);
    EXPECT_EQ(TwipsToPixels(10560, 96), 704);
    EXPECT_EQ(TwipsToPixels(10560, 144), 1056) << "the same inches, more pixels";
    EXPECT_EQ(PixelsToTwips(1056, 144), 10560);
    for (int dpi : {96, 110, 120, 144, 168, 192, 240, 288})
        for (int px = -40; px <= 3000; px += 7)
            ASSERT_EQ(TwipsToPixels(PixelsToTwips(px, dpi), dpi), px) << px << " at " << dpi;
}

TEST(Dpi, PicturesAreTheLargestDrawnSizeThatFits) {
    const struct {
        int dpi;
        TabImageSet expected;
    } cases[] = {
        {96, {16, 101, 102}},  {120, {16, 101, 102}}, {144, {24, 111, 112}}, {168, {24, 111, 112}},
        {192, {32, 121, 122}}, {240, {32, 121, 122}}, {288, {48, 131, 132}}, {480, {48, 131, 132}},
        {0, {16, 101, 102}},
    };
    for (const auto& c : cases) EXPECT_EQ(TabImagesForDpi(c.dpi), c.expected) << c.dpi;
}

TEST(Dpi, TabLayoutGapsAndChatChromeFollowTheDpi) {
    EXPECT_EQ(FormLayout({600, 400}, 30, false, 192).picWin, (PixelRect{0, 36, 600, 358}));
    EXPECT_EQ(FormLayout({600, 400}, 30, true, 192).picWin, (PixelRect{0, 0, 600, 362}));
    EXPECT_EQ(FormLayout({600, 400}, 30, true, 96), FormLayout({600, 400}, 30, true));
    EXPECT_EQ(ChromeOf(IM_VERSION::QQ2009, false, 192), (ChatChrome{4, 48, 10, 74}));
    EXPECT_EQ(ChromeOf(IM_VERSION::QQ2009, true, 192), ChatChrome{});
    // A window up to 33 pixels high at 96 dpi is too small to follow: 67 at 192 dpi.
    EXPECT_FALSE(FollowChatSize({400, 67}, {}, 192).height.has_value());
    EXPECT_EQ(FollowChatSize({400, 68}, {}, 192).height, 68);
}

TEST(Dpi, TabIconsAreThePictureSizeOfTheDpiWithTheirGapsScaled) {
    const struct {
        int dpi;
        paint::IconPlace expected;
    } cases[] = {
        {96, {16, 10, 33, 16}},  // 6 from the left edge, centred, the caption 1 after the icon
        {144, {19, 6, 45, 24}},  // 9 from the edge, (36 - 24) / 2 down, 2 after the icon
        {192, {22, 2, 56, 32}},
    };
    for (const auto& c : cases) {
        const paint::IconPlace at = paint::PlaceIcon({10, 0, 110, 36}, c.dpi);
        EXPECT_EQ(at.x, c.expected.x) << c.dpi;
        EXPECT_EQ(at.y, c.expected.y) << c.dpi;
        EXPECT_EQ(at.captionLeft, c.expected.captionLeft) << c.dpi;
        EXPECT_EQ(at.size, c.expected.size) << c.dpi;
    }
}

TEST(Dpi, ADragStartsFurtherAwayOnADenserScreen) {
    // 5 pixels at 96 dpi, 10 at 192.
    EXPECT_TRUE(tabs::DragStarts(false, tabs::kLeftButton, 2, 0, {0, 0}, {6, 0}, 96));
    EXPECT_FALSE(tabs::DragStarts(false, tabs::kLeftButton, 2, 0, {0, 0}, {10, 0}, 192));
    EXPECT_TRUE(tabs::DragStarts(false, tabs::kLeftButton, 2, 0, {0, 0}, {0, -11}, 192));
}

TEST(Dpi, WindowPlacementInTwipsKeepsPositionAtTheSystemDpiAndSizeAtTheWindowDpi) {
    const PixelBounds at144{300, 150, 1056, 900};
    const TwipsRect twips = BoundsToTwips(at144, 96, 144);
    EXPECT_EQ(twips, (TwipsRect{4500, 2250, 10560, 9000}));
    EXPECT_EQ(BoundsToPixels(twips, 96, 144), at144);
    EXPECT_EQ(BoundsToPixels(twips, 96, 96), (PixelBounds{300, 150, 704, 600})) << "the same file at 96 dpi";
}

TEST(Dpi, SmallestWindowAndScreenEdgeAreMeasuredAtTheWindowsDpi) {
    MainWindowFacts facts{.frameWidth = 10, .frameHeight = 40, .screenRight = 2560, .screenBottom = 1600};
    facts.positionDpi = 192;
    facts.sizeDpi = 192;
    Settings s;
    s.win_X = 0;
    s.win_Y = 0;
    s.win_CX = 205 * 15;  // 410 pixels at 192 dpi: 400 inside, not more than 200 scaled
    s.win_CY = 6000;
    EXPECT_EQ(PlaceMainWindow(s, facts).bounds->width, kDefaultWidthTwips);
    s.win_CX = 206 * 15;  // 412 pixels: 402 inside
    EXPECT_EQ(PlaceMainWindow(s, facts).bounds->width, 206 * 15);
    s.win_X = 1280 * 15;  // 2560 pixels at 192 dpi: the right edge
    EXPECT_EQ(PlaceMainWindow(s, facts).bounds->left, PixelsToTwips(2560 - 412, 192));
}

}  // namespace
}  // namespace parlix
