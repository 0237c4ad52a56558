#include "ui/shade_button.h"

#include <gtest/gtest.h>

namespace parlix {
namespace {

constexpr ShadeColours kColours{0x111111, 0x222222, 0x333333};

// Ticks until the current fade ends (a frame that keeps its image); -1 when it does not end.
int TicksToFinish(ShadeFade& fade, int speed, bool enabled = true, int limit = 1000) {
    for (int i = 1; i <= limit; ++i)
        if (fade.Tick(speed, enabled, kColours).keep) return i;
    return -1;
}

TEST(ShadeButton, DefaultCaptionDropsEveryShade) {
    EXPECT_EQ(ShadeDefaultCaption(L"btnOKShade"), L"btnOK");
    EXPECT_EQ(ShadeDefaultCaption(L"ShadeShadeButton1Shade"), L"Button1");
}

TEST(ShadeButton, DefaultButtonGlowsFastOnceThenSlowForEver) {
    ShadeFade fade;
    fade.Rest(true);
    EXPECT_EQ(TicksToFinish(fade, 20), 17);
    EXPECT_EQ(fade.State(), kShadeGlowB);
    EXPECT_FALSE(fade.FastGlow());
    EXPECT_EQ(TicksToFinish(fade, 20), 85);
    EXPECT_EQ(fade.State(), kShadeGlowA);
    EXPECT_EQ(TicksToFinish(fade, 20), 85);
    EXPECT_EQ(fade.State(), kShadeGlowB);
}

TEST(ShadeButton, HotAndPressedFadeBySpeedThenIdle) {
    struct Case {
        bool leftDown;
        int speed;
        int ticks;
        std::int32_t colour;
    } cases[] = {{false, 20, 13, 0x222222}, {true, 20, 13, 0x333333}, {false, 255, 1, 0x222222}, {false, 0, -1, 0x222222}};
    for (const Case& c : cases) {
        ShadeFade fade;
        fade.MovedInside(c.leftDown);
        EXPECT_EQ(fade.Tick(c.speed, true, kColours).captionColour, c.colour);
        ShadeFade again;
        again.MovedInside(c.leftDown);
        EXPECT_EQ(TicksToFinish(again, c.speed), c.ticks) << c.speed;
        if (c.ticks > 0) {
            EXPECT_EQ(again.State(), kShadeIdle);
            EXPECT_FALSE(again.Tick(c.speed, true, kColours).draw);
        }
    }
}

TEST(ShadeButton, DisabledNormalFaceHasGreyCaption) {
    ShadeFade fade;
    fade.Rest(false);
    const ShadeFrame frame = fade.Tick(20, false, kColours);
    EXPECT_EQ(frame.captionColour, kShadeGreyText);
    EXPECT_EQ(frame.alpha, 5);
    EXPECT_EQ(TicksToFinish(fade, 20, false), 50);
}

TEST(ShadeButton, LeavingGoesBackToGlowOrNormalAndReleaseInsideIsHot) {
    ShadeFade fade;
    fade.Pressed();
    fade.Released(true);
    EXPECT_EQ(fade.State(), kShadeHot);
    fade.MovedOutside(true);
    EXPECT_EQ(fade.State(), kShadeGlowA);
    EXPECT_TRUE(fade.FastGlow());
    fade.MovedOutside(false);
    EXPECT_EQ(fade.State(), kShadeNormal);
}

}  // namespace
}  // namespace parlix
