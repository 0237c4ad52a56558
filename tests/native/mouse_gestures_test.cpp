// Gesture recognition from the cursor path.
#include "ui/mouse_gestures.h"

#include <gtest/gtest.h>

namespace parlix {
namespace {

TEST(MouseGestures, StraightAndBentPathsGiveTheirTypes) {
    const struct {
        const char* what;
        std::vector<ScreenPoint> path;
        int type;
    } cases[] = {
        {"8 pixels each way is none", {{100, 100}, {108, 108}}, 0},
        {"up", {{100, 100}, {100, 91}}, kGestureUp},
        {"down", {{100, 100}, {101, 140}}, kGestureDown},
        {"right", {{100, 100}, {109, 100}}, kGestureRight},
        {"left", {{100, 100}, {40, 104}}, kGestureLeft},
        {"100 right and 10 up is right: the ratio 10 exceeds 7", {{100, 100}, {200, 90}}, kGestureRight},
        {"up then right: the path runs above the line", {{100, 100}, {100, 50}, {150, 50}}, kGestureUpRight},
        {"right then up: below the line", {{100, 100}, {150, 100}, {150, 50}}, kGestureRightUp},
        {"down then left", {{100, 100}, {100, 150}, {50, 150}}, kGestureDownLeft},
        {"left then down", {{100, 100}, {50, 100}, {50, 150}}, kGestureLeftDown},
        {"down then right", {{100, 100}, {100, 150}, {150, 150}}, kGestureDownRight},
        {"right then down", {{100, 100}, {150, 100}, {150, 150}}, kGestureRightDown},
        {"up then left", {{100, 100}, {100, 50}, {50, 50}}, kGestureUpLeft},
        {"left then up", {{100, 100}, {50, 100}, {50, 50}}, kGestureLeftUp},
    };
    for (const auto& c : cases) EXPECT_EQ(RecogniseGesture(c.path), c.type) << c.what;
}

TEST(MouseGestures, OnlyTheAllowedTypesAreReported) {
    MouseGestures g;
    g.GestureTypes = kGestureLeft;
    g.Begin({100, 100});
    g.Add({60, 100});
    EXPECT_EQ(g.End({20, 100}), kGestureLeft);
    g.Begin({100, 100});
    EXPECT_EQ(g.End({200, 100}), 0) << "right is not allowed";
    EXPECT_FALSE(g.Recording());
}

}  // namespace
}  // namespace parlix
