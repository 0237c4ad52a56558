// clsMouseGestures: a gesture drawn with the right button held, told by the cursor positions
// the hook library reports, recognised as one of twelve movements when the button goes up.
#pragma once

#include <vector>

namespace parlix {

struct ScreenPoint {
    int x = 0;
    int y = 0;
};

// Gesture types (bits).
enum GestureType : int {
    kGestureUp = 1,
    kGestureDown = 2,
    kGestureRight = 4,
    kGestureLeft = 8,
    kGestureUpRight = 16,
    kGestureDownRight = 32,
    kGestureDownLeft = 64,
    kGestureUpLeft = 128,
    kGestureRightUp = 256,
    kGestureRightDown = 512,
    kGestureLeftDown = 1024,
    kGestureLeftUp = 2048,
};

// The type of the movement from the first point to the last (0 when it is none): a drag of 8
// pixels or less is none; a direction less than a seventh of the other is dropped; a bent path
// tells by which side of the straight line most points lie.
[[nodiscard]] int RecogniseGesture(const std::vector<ScreenPoint>& points);

class MouseGestures {
public:
    int GestureTypes = 4095;  // the types that raise the event

    void Begin(ScreenPoint at);
    void Add(ScreenPoint at);
    // The recognised type when it is one of GestureTypes, else 0.
    int End(ScreenPoint at);
    [[nodiscard]] bool Recording() const noexcept { return recording_; }

private:
    std::vector<ScreenPoint> points_;
    bool recording_ = false;
};

}  // namespace parlix
