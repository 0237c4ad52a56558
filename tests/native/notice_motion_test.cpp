// The notice window's arithmetic: start places and steps for every position and direction, the
// slide cycle of the slide timer, the continuation of a slide-out, the fade steps and the cursor
// test.
#include "plugins/notice/notice_motion.h"

#include <gtest/gtest.h>

#include <vector>

namespace parlix::notice {
namespace {

// A 1280 × 800 screen and a 300 × 120 skin, in twips.
constexpr long SW = 1280 * 15, SH = 800 * 15, W = 300 * 15, H = 120 * 15;

PlaceInput Input(int position, int direction, bool visible = false) {
    return PlaceInput{visible, position, direction, SW, SH, W, H};
}

TEST(NoticePlace, EachPositionPutsTheWindowInItsCellOfTheScreen) {
    struct Row {
        int position;
        double left, top;
    };
    // Direction 9 does not exist: it leaves the place of step 1 as it is.
    const Row rows[] = {
        {0, 0, 0},           {1, (SW - W) / 2, 0},           {2, SW - W, 0},
        {3, 0, (SH - H) / 2}, {4, 111, 222},                 {5, SW - W, (SH - H) / 2},
        {6, 0, SH - H},      {7, (SW - W) / 2, SH - H},      {8, SW - W, SH - H},
    };
    for (const Row& r : rows) {
        NoticeMotion m;
        m.Left = 111, m.Top = 222;
        m.Place(Input(r.position, 9));
        EXPECT_EQ(m.Left, r.left) << r.position;
        EXPECT_EQ(m.Top, r.top) << r.position;
    }
}

TEST(NoticePlace, EachDirectionStartsOffItsPlaceWithItsSteps) {
    constexpr double L = SW - W, T = SH - H;  // position 8
    struct Row {
        int direction;
        double left, top, stepX, stepY;
    };
    const Row rows[] = {
        {0, -W, -H, W / 20.0, H / 20.0},        {1, L, -H, 0, H / 20.0},
        {2, L + W, -H, -W / 20.0, H / 20.0},    {3, -W, T, W / 20.0, 0},
        {4, L + 150, T + 150, -7.5, -7.5},      {5, L + W, T, -W / 20.0, 0},
        {6, -W, T + H, W / 20.0, -H / 20.0},    {7, L, T + H, 0, -H / 20.0},
        {8, L + W, T + H, -W / 20.0, -H / 20.0},
    };
    for (const Row& r : rows) {
        NoticeMotion m;
        m.Place(Input(8, r.direction));
        EXPECT_EQ(m.Left, r.left) << r.direction;
        EXPECT_EQ(m.Top, r.top) << r.direction;
        EXPECT_EQ(m.StepX, r.stepX) << r.direction;
        EXPECT_EQ(m.StepY, r.stepY) << r.direction;

        // A visible window stays where it is; only the steps are set.
        NoticeMotion shown;
        shown.Left = 5, shown.Top = 6;
        shown.Place(Input(8, r.direction, true));
        EXPECT_EQ(shown.Left, 5);
        EXPECT_EQ(shown.Top, 6);
        EXPECT_EQ(shown.StepX, r.stepX) << r.direction;
    }
}

// Runs slide ticks until the window closes; the places it was painted at, and the tick count.
struct Cycle {
    std::vector<std::pair<double, double>> painted;
    std::vector<int> states;
    int ticks = 0;
};
Cycle RunToClose(NoticeMotion& m) {
    Cycle c;
    while (c.ticks < 1000) {
        ++c.ticks;
        if (m.SlideTick() == NoticeMotion::TickResult::Close) break;
        c.painted.emplace_back(m.Left, m.Top);
        c.states.push_back(m.ShowState);
    }
    return c;
}

TEST(NoticeSlide, EveryCombinationSlidesInTwentyTicksHoldsAndSlidesBackToItsStartInEighty) {
    for (int position = 0; position < 9; ++position) {
        for (int direction = 0; direction < 9; ++direction) {
            SCOPED_TRACE(testing::Message() << "position " << position << ", direction " << direction);
            NoticeMotion m;
            m.HoldTime = 3000;
            m.Place(Input(position, 9));
            const double placeLeft = m.Left, placeTop = m.Top;
            m.Start();
            m.Place(Input(position, direction));
            const double startLeft = m.Left, startTop = m.Top;
            const Cycle c = RunToClose(m);

            ASSERT_EQ(c.ticks, 20 + 1 + 80 + 1);  // in, the tick that starts the hold, out, close
            // Directions that come from the left or top edge end at 0 whatever the position.
            const bool fromLeft = direction == 0 || direction == 3 || direction == 6;
            const bool fromTop = direction == 0 || direction == 1 || direction == 2;
            EXPECT_DOUBLE_EQ(c.painted[19].first, fromLeft ? 0 : placeLeft);
            EXPECT_DOUBLE_EQ(c.painted[19].second, fromTop ? 0 : placeTop);
            EXPECT_EQ(c.states[19], kSlidingIn);
            EXPECT_EQ(c.states[20], kHolding);
            EXPECT_EQ(c.painted[20], c.painted[19]) << "the hold starts in place";
            EXPECT_EQ(c.states[21], kSlidingOut);  // the hold's end moves at once
            EXPECT_NEAR(c.painted.back().first, startLeft, 1e-6);
            EXPECT_NEAR(c.painted.back().second, startTop, 1e-6);
            EXPECT_EQ(m.times, kSlideOutEnd);
            EXPECT_EQ(m.ShowState, kSlidingOut) << "stays 2 after the window closed";
        }
    }
}

TEST(NoticeSlide, TimersFollowTheCycle) {
    NoticeMotion m;
    m.HoldTime = 4000;
    m.Place(Input(8, 7));
    m.Start();
    EXPECT_TRUE(m.showEnabled);
    EXPECT_EQ(m.FadeMode, kFadeIn);
    for (int i = 0; i < 20; ++i) (void)m.SlideTick();
    EXPECT_EQ(m.times, 20);
    EXPECT_EQ(m.showInterval, kSlideIntervalMs);
    EXPECT_FALSE(m.mouseEnabled);
    (void)m.SlideTick();  // slide-in complete: hold
    EXPECT_EQ(m.ShowState, kHolding);
    EXPECT_EQ(m.showInterval, 4000u);
    EXPECT_TRUE(m.mouseEnabled);
    EXPECT_EQ(m.StepY, H / 20.0 / 4) << "a quarter step back down";
    m.Alpha = 200;
    (void)m.SlideTick();  // the hold is over
    EXPECT_EQ(m.ShowState, kSlidingOut);
    EXPECT_EQ(m.FadeMode, kFadeOut);
    EXPECT_EQ(m.FadeStartAlpha, 200);
    EXPECT_EQ(m.showInterval, kSlideIntervalMs);
    EXPECT_FALSE(m.mouseEnabled);
    EXPECT_EQ(m.times, 19);
}

TEST(NoticeSlide, ANoticeDuringTheSlideOutContinuesFromWhereTheWindowIs) {
    struct Row {
        int state, times, expected;
    };
    const Row rows[] = {
        {kSlidingOut, -60, 0}, {kSlidingOut, -20, 10}, {kSlidingOut, 20, 20}, {kSlidingOut, -59, 0},
        {kSlidingOut, 0, 15},  {kSlidingIn, 7, 7},      {kHolding, 20, 20},
    };
    for (const Row& r : rows) {
        NoticeMotion m;
        m.ShowState = r.state;
        m.times = r.times;
        m.ContinueSlide();
        EXPECT_EQ(m.times, r.expected) << r.state << " " << r.times;
    }
}

TEST(NoticeSlide, ASlideInResumedMidwayEndsAtTheSamePlace) {
    NoticeMotion m;
    m.HoldTime = 1;
    m.Place(Input(8, 7));
    m.Start();
    m.Place(Input(8, 7));
    while (m.times != -20) (void)m.SlideTick();  // in, hold, half-way out
    ASSERT_EQ(m.times, -20);
    m.ContinueSlide();
    m.Start();
    m.Place(Input(8, 7, true));
    EXPECT_EQ(m.times, 10);
    for (int i = 0; i < 10; ++i) (void)m.SlideTick();
    EXPECT_DOUBLE_EQ(m.Top, SH - H);
    EXPECT_EQ(m.times, 20);
}

TEST(NoticeResize, AWindowAtRestKeepsItsCellAndASlideEndsInItsCornerAtTheNewSize) {
    // Twice as large (96 → 192 dpi): every resting place is the one placing the larger window gives.
    for (int position = 0; position <= 8; ++position) {
        NoticeMotion m, expected;
        m.Left = (SW - W) / 2, m.Top = (SH - H) / 2;  // Form_Load's centre, kept by position 4
        expected.Left = (SW - W * 2) / 2, expected.Top = (SH - H * 2) / 2;
        m.Place(Input(position, 9));
        expected.Place(PlaceInput{false, position, 9, SW, SH, W * 2, H * 2});
        m.Resize(PlaceInput{true, position, 9, SW, SH, W * 2, H * 2}, W, H);
        EXPECT_DOUBLE_EQ(m.Left, expected.Left) << position;
        EXPECT_DOUBLE_EQ(m.Top, expected.Top) << position;
    }
    // Half-way up into the bottom right corner: the rest of the slide is at the new size's pace.
    NoticeMotion m;
    m.Place(Input(8, 7));
    m.Start();
    for (int i = 0; i < 10; ++i) (void)m.SlideTick();
    m.Resize(PlaceInput{true, 8, 7, SW, SH, W * 2, H * 2}, W, H);
    while (m.times != kSlideInEnd) (void)m.SlideTick();
    EXPECT_DOUBLE_EQ(m.Top, SH - H * 2);
}

TEST(NoticeFade, EachModeStepsTowardsItsTarget) {
    struct Row {
        int mode, alpha, msgAlpha, direction, fadeStart;
        int alphaAfter, modeAfter;
    };
    const Row rows[] = {
        {kFadeIn, 0, 255, 7, 0, 12, kFadeIn},
        {kFadeIn, 240, 255, 7, 0, 252, kFadeIn},
        {kFadeIn, 252, 255, 7, 0, 255, kFadeNone},
        {kFadeIn, 0, 19, 7, 0, 0, kFadeIn},  // below 20 the step is 0: it stays invisible
        {kFadeIn, 180, 200, 7, 0, 190, kFadeIn},
        {kFadeIn, 190, 200, 7, 0, 200, kFadeNone},
        {kFadeOut, 255, 255, 7, 255, 251, kFadeOut},
        {kFadeOut, 255, 255, 4, 255, 249, kFadeOut},  // □ fades out in 40 repaints
        {kFadeOut, 3, 255, 7, 255, 0, kFadeNone},
        {kFadeOut, 4, 255, 7, 240, 0, kFadeNone},
        {kFadeOut, 30, 255, 7, 30, 30, kFadeOut},    // below 60 the step is 0
        {kBrighten, 200, 200, 7, 0, 210, kBrighten},
        {kBrighten, 250, 200, 7, 0, 255, kFadeNone},
        {kBrighten, 0, 15, 7, 0, 15, kFadeNone},
        {kDimBack, 255, 200, 7, 0, 250, kDimBack},
        {kDimBack, 203, 200, 7, 0, 200, kFadeNone},
        {kFadeNone, 77, 200, 7, 0, 77, kFadeNone},
        {5, 100, 50, 7, 0, 125, 5},
        {-3, 100, 50, 7, 0, 85, -3},
    };
    for (const Row& r : rows) {
        NoticeMotion m;
        m.FadeMode = r.mode;
        m.Alpha = static_cast<std::uint8_t>(r.alpha);
        m.FadeStartAlpha = static_cast<std::uint8_t>(r.fadeStart);
        m.FadeStep(r.msgAlpha, r.direction);
        EXPECT_EQ(m.Alpha, r.alphaAfter) << r.mode << " from " << r.alpha;
        EXPECT_EQ(m.FadeMode, r.modeAfter) << r.mode << " from " << r.alpha;
    }
}

TEST(NoticeFade, AFullFadeInTakesTwentyRepaintsAndTheFadeOutSixty) {
    NoticeMotion m;
    m.FadeMode = kFadeIn;
    int repaints = 0;
    while (m.FadeMode != kFadeNone && repaints < 100) m.FadeStep(255, 7), ++repaints;
    EXPECT_EQ(repaints, 22);  // 21 steps of 12 reach 252, the 22nd clamps to 255
    m.FadeMode = kFadeOut;
    m.FadeStartAlpha = m.Alpha;
    repaints = 0;
    while (m.FadeMode != kFadeNone && repaints < 100) m.FadeStep(255, 7), ++repaints;
    EXPECT_EQ(repaints, 64);  // 255 \ 60 = 4 per repaint
    EXPECT_EQ(m.Alpha, 0);
}

TEST(NoticeCursor, OverTheWindowBoundsIncludedBrightensAndEnablesThePaintTimer) {
    struct Row {
        long x, y;
        bool over;
    };
    // Window at (100, 50) pixels, 300 × 120.
    const Row rows[] = {{100, 50, true}, {400, 170, true}, {99, 50, false}, {401, 60, false},
                        {250, 49, false}, {250, 171, false}, {250, 100, true}};
    for (const Row& r : rows) {
        NoticeMotion m;
        m.Left = 1500, m.Top = 750;
        m.CursorTest(r.x, r.y, 300, 120);
        EXPECT_EQ(m.FadeMode, r.over ? kBrighten : kDimBack) << r.x << "," << r.y;
        EXPECT_EQ(m.paintEnabled, r.over) << r.x << "," << r.y;
    }
}

TEST(NoticeCursor, TwipsBecomePixelsAfterRoundingTruncatingTowardZero) {
    EXPECT_EQ(TwipsToPixel(1500), 100);
    EXPECT_EQ(TwipsToPixel(1514.4), 100);
    EXPECT_EQ(TwipsToPixel(1514.6), 101);
    EXPECT_EQ(TwipsToPixel(-14), 0);
    EXPECT_EQ(TwipsToPixel(-4500), -300);
}

}  // namespace
}  // namespace parlix::notice
