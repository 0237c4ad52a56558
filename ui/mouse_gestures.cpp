#include "ui/mouse_gestures.h"

#include <cmath>
#include <cstdlib>

namespace parlix {

int RecogniseGesture(const std::vector<ScreenPoint>& points) {
    if (points.empty()) return 0;
    const ScreenPoint first = points.front(), last = points.back();
    const int dy = first.y - last.y, dx = first.x - last.x;
    bool vertical = std::abs(dy) > 8, horizontal = std::abs(dx) >= 9;
    const bool up = dy > 0, right = dx < 1;
    if (vertical && horizontal) {
        const double ax = std::abs(dx), ay = std::abs(dy);
        if (ay < ax && ax / ay > 7) vertical = false;
        else if (ay >= ax && ay / ax > 7) horizontal = false;
    }
    if (vertical && !horizontal) return up ? kGestureUp : kGestureDown;
    if (horizontal && !vertical) return right ? kGestureRight : kGestureLeft;
    if (!vertical) return 0;
    int below = 0, above = 0;
    for (const ScreenPoint& p : points) {
        const double ly = std::nearbyint(static_cast<double>(p.x - first.x) * (first.y - last.y) /
                                              (first.x - last.x) + first.y);
        if (ly < p.y) ++below;
        else ++above;
    }
    const bool moreBelow = below > above;
    if (up && right) return moreBelow ? kGestureRightUp : kGestureUpRight;
    if (up) return moreBelow ? kGestureLeftUp : kGestureUpLeft;
    if (right) return moreBelow ? kGestureDownRight : kGestureRightDown;
    return moreBelow ? kGestureDownLeft : kGestureLeftDown;
}

void MouseGestures::Begin(ScreenPoint at) {
    points_.assign(1, at);
    recording_ = true;
}

void MouseGestures::Add(ScreenPoint at) { points_.push_back(at); }

int MouseGestures::End(ScreenPoint at) {
    recording_ = false;
    points_.push_back(at);
    const int type = RecogniseGesture(points_);
    return type != 0 && (type & GestureTypes) != 0 ? type : 0;
}

}  // namespace parlix
