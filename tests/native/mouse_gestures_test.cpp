// Gesture recognition from the cursor path.
#include "ui/mouse_gestures.h"

#include <gtest/gtest.h>
#include <vector>

namespace parlix {
namespace {

// A path as the hook reports it: points every few pixels along two straight legs. Both end
// points lie on the line from first to last and count as above, so a bent path needs its
// points in between to decide.
std::vector<ScreenPoint> Bent(ScreenPoint from, ScreenPoint corner, ScreenPoint to) {
    std::vector<ScreenPoint> path;
    for (int i = 0; i < 10; ++i)
        path.push_back({from.x + (corner.x - from.x) * i / 10, from.y + (corner.y - from.y) * i / 10});
    for (int i = 0; i <= 10; ++i)
        path.push_back({corner.x + (to.x - corner.x) * i / 10, corner.y + (to.y - corner.y) * i / 10});
    return path;
}

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
        {"up then right: the path runs above the line", Bent({100, 100}, {100, 50}, {150, 50}), kGestureUpRight},
        {"right then up: below the line", Bent({100, 100}, {150, 100}, {150, 50}), kGestureRightUp},
        {"down then left", Bent({100, 100}, {100, 150}, {50, 150}), kGestureDownLeft},
        {"left then down", Bent({100, 100}, {50, 100}, {50, 150}), kGestureLeftDown},
        {"down then right", Bent({100, 100}, {100, 150}, {150, 150}), kGestureDownRight},
        {"right then down", Bent({100, 100}, {150, 100}, {150, 150}), kGestureRightDown},
        {"up then left", Bent({100, 100}, {100, 50}, {50, 50}), kGestureUpLeft},
        {"left then up", Bent({100, 100}, {50, 100}, {50, 50}), kGestureLeftUp},
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
