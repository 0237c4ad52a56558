#include "capture/wheel_switch.h"

#include <gtest/gtest.h>

namespace parlix {
namespace {

TEST(WheelSwitch, SwitchesOncePerTwoQualifyingMessages) {
    WheelSwitch wheel;
    EXPECT_EQ(wheel.OnQualifying(-120, 0, 3), std::nullopt);
    EXPECT_EQ(wheel.OnQualifying(-120, 0, 3), 1);
    EXPECT_EQ(wheel.OnQualifying(-120, 1, 3), std::nullopt);
    EXPECT_EQ(wheel.OnQualifying(-120, 1, 3), 2);
}

struct Step {
    int delta;
    int selected;
    int count;
    std::optional<int> expected;
};

class WheelSwitchTable : public testing::TestWithParam<Step> {};

TEST_P(WheelSwitchTable, SecondMessageSelects) {
    const Step s = GetParam();
    WheelSwitch wheel;
    (void)wheel.OnQualifying(s.delta, s.selected, s.count);
    EXPECT_EQ(wheel.OnQualifying(s.delta, s.selected, s.count), s.expected);
    EXPECT_EQ(wheel.Ticks(), 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, WheelSwitchTable,
                         testing::Values(Step{-120, 2, 3, 0},   // towards the user from the last tab wraps to the first
                                         Step{-120, 0, 3, 1},   // towards the user: next tab
                                         Step{120, 0, 3, 2},    // away from the user from the first wraps to the last
                                         Step{120, 2, 3, 1},    // away: previous tab
                                         Step{0, 1, 3, 0},      // zero delta counts as away
                                         Step{-120, 0, 1, 0},   // one tab stays selected
                                         Step{120, 0, 1, 0},
                                         Step{-120, -1, 3, 0},  // nothing selected: first or last
                                         Step{120, -1, 3, 2},
                                         Step{-120, -1, 0, std::nullopt}));  // no tabs: nothing to select

struct Point {
    unsigned keys;
    int x, y;
    bool qualifies;
};

class WheelQualifiesTable : public testing::TestWithParam<Point> {};

TEST_P(WheelQualifiesTable, BandOrModifier) {
    const WheelBand band{400, 300, 330};  // strip at the bottom: y strictly between 300 and 330
    const Point p = GetParam();
    EXPECT_EQ(WheelQualifies(p.keys, p.x, p.y, band), p.qualifies);
}

INSTANTIATE_TEST_SUITE_P(Cases, WheelQualifiesTable,
                         testing::Values(Point{0, 200, 315, true}, Point{0, 200, 100, false},  // over the chat area
                                         Point{0, 200, 300, false}, Point{0, 200, 330, false},  // band edges excluded
                                         Point{0, 0, 315, false}, Point{0, 400, 315, false},
                                         Point{0x8, 200, 100, true},   // Ctrl held anywhere
                                         Point{0x2, -50, -50, true},   // right button held anywhere
                                         Point{0x1, 200, 100, false}));  // left button does not count

}  // namespace
}  // namespace parlix
