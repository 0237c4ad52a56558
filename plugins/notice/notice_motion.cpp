#include "plugins/notice/notice_motion.h"

#include <cmath>

namespace parlix::notice {

long TwipsToPixel(double twips) noexcept {
    // Round half to even, as the twips of a form are whole numbers.
    const long whole = static_cast<long>(std::nearbyint(twips));
    return whole / kTwipsPerPixel;
}

void NoticeMotion::ContinueSlide() noexcept {
    if (ShowState == kSlidingOut) times = times - ((times - kSlideInEnd) * 3) / 4;
}

void NoticeMotion::Start() noexcept {
    FadeMode = kFadeIn;
    ShowState = kSlidingIn;
    mouseEnabled = false;
    showEnabled = true;
    ++showRestarts;
}

void NoticeMotion::Place(const PlaceInput& in) noexcept {
    const double W = in.width, H = in.height;
    if (!in.visible) {
        const long right = in.screenWidth - in.width, bottom = in.screenHeight - in.height;
        const long centreX = right / 2, middleY = bottom / 2;
        switch (in.position) {
        case 0: Left = 0; Top = 0; break;
        case 1: Left = centreX; Top = 0; break;
        case 2: Left = right; Top = 0; break;
        case 3: Left = 0; Top = middleY; break;
        case 4: break;  // not moved
        case 5: Left = right; Top = middleY; break;
        case 6: Left = 0; Top = bottom; break;
        case 7: Left = centreX; Top = bottom; break;
        case 8: Left = right; Top = bottom; break;
        default: break;
        }
    }
    struct Start {
        bool moveLeft, moveTop;
        double left, top, stepX, stepY;
    };
    Start s{};
    switch (in.direction) {
    case 0: s = {true, true, -W, -H, W / 20, H / 20}; break;            // ↘
    case 1: s = {false, true, 0, -H, 0, H / 20}; break;                 // ↓
    case 2: s = {true, true, Left + W, -H, -W / 20, H / 20}; break;     // ↙
    case 3: s = {true, false, -W, 0, W / 20, 0}; break;                 // →
    case 4: s = {true, true, Left + 150, Top + 150, -7.5, -7.5}; break;  // □
    case 5: s = {true, false, Left + W, 0, -W / 20, 0}; break;          // ←
    case 6: s = {true, true, -W, Top + H, W / 20, -H / 20}; break;      // ↗
    case 7: s = {false, true, 0, Top + H, 0, -H / 20}; break;           // ↑
    case 8: s = {true, true, Left + W, Top + H, -W / 20, -H / 20}; break;  // ↖
    default: return;  // place and steps unchanged
    }
    if (!in.visible) {
        if (s.moveLeft) Left = s.left;
        if (s.moveTop) Top = s.top;
    }
    StepX = s.stepX;
    StepY = s.stepY;
}

namespace {

// One axis of Resize: `at` keeps its distance, scaled, from the anchor (0 the start edge, 1 the
// centre, 2 the end edge of the screen).
double ResizedAt(double at, double was, double now, double screen, int anchor) noexcept {
    const double f = now / was;
    if (anchor == 0) return at * f;
    if (anchor == 2) return screen - now - (screen - was - at) * f;
    return screen / 2 + (at + was / 2 - screen / 2) * f - now / 2;
}

}  // namespace

void NoticeMotion::Resize(const PlaceInput& in, long wasWidth, long wasHeight) noexcept {
    if (wasWidth <= 0 || wasHeight <= 0 || in.width <= 0 || in.height <= 0) return;
    // Positions outside 0 … 8 never placed the window: it stays anchored at the top left.
    const int column = in.position >= 0 && in.position <= 8 ? in.position % 3 : 0;
    const int row = in.position >= 0 && in.position <= 8 ? in.position / 3 : 0;
    Left = ResizedAt(Left, wasWidth, in.width, in.screenWidth, column);
    Top = ResizedAt(Top, wasHeight, in.height, in.screenHeight, row);
    StepX = StepX * in.width / wasWidth;
    StepY = StepY * in.height / wasHeight;
}

NoticeMotion::TickResult NoticeMotion::SlideTick() noexcept {
    if (ShowState == kHolding) {  // the hold is over
        ShowState = kSlidingOut;
        FadeMode = kFadeOut;
        showInterval = kSlideIntervalMs;
        mouseEnabled = false;
        FadeStartAlpha = Alpha;
    }
    if (ShowState == kSlidingOut && times == kSlideOutEnd) return TickResult::Close;
    if (ShowState == kSlidingIn && times == kSlideInEnd) {  // slide-in complete: hold
        StepX = -StepX / 4;
        StepY = -StepY / 4;
        showInterval = static_cast<unsigned>(HoldTime < 0 ? 0 : HoldTime);
        ShowState = kHolding;
        mouseEnabled = true;
    }
    if (ShowState == kSlidingIn) {
        Left += StepX;
        Top += StepY;
        ++times;
    } else if (ShowState == kSlidingOut) {
        Left += StepX;
        Top += StepY;
        --times;
    }
    return TickResult::Paint;
}

void NoticeMotion::FadeStep(std::int32_t msgAlpha, std::int32_t direction) noexcept {
    if (FadeMode == kFadeNone) return;
    // Wide enough for any stored msg_Alpha: a hand-edited value outside 1…255 must not wrap.
    const long long target = msgAlpha;
    if (FadeMode == kFadeIn) {
        const long long a = Alpha + target / 20;
        if (a < target) {
            Alpha = static_cast<std::uint8_t>(a);
        } else {
            Alpha = static_cast<std::uint8_t>(target < 0 ? 0 : target > 255 ? 255 : target);
            FadeMode = kFadeNone;
        }
    } else if (FadeMode == kFadeOut) {
        const long long d = direction == 4 ? FadeStartAlpha / 40 : FadeStartAlpha / 60;
        const long long a = Alpha - d;
        if (a > 0) {
            Alpha = static_cast<std::uint8_t>(a);
        } else {
            Alpha = 0;
            FadeMode = kFadeNone;
        }
    } else {
        const long long a = Alpha + 5LL * FadeMode;
        if (a >= 255) {
            Alpha = 255;
            FadeMode = kFadeNone;
        } else if (a <= target) {
            Alpha = static_cast<std::uint8_t>(target < 0 ? 0 : target);
            FadeMode = kFadeNone;
        } else {
            Alpha = static_cast<std::uint8_t>(a < 0 ? 0 : a);
        }
    }
}

void NoticeMotion::CursorTest(long x, long y, long widthPx, long heightPx) noexcept {
    const long L = TwipsToPixel(Left), T = TwipsToPixel(Top);
    if (L <= x && x <= L + widthPx && T <= y && y <= T + heightPx) {
        paintEnabled = true;
        FadeMode = kBrighten;
    } else {
        FadeMode = kDimBack;
    }
}

}  // namespace parlix::notice
