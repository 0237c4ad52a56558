// The notice window's motion and opacity, as plain state: where the window starts and how far
// it moves per tick (PlaceNotice), the slide timer's ticks (in, hold, out, close), the fade step
// of every repaint and the cursor test. The window (notice_window_win.*) owns one NoticeMotion,
// applies what it says to the real window and timers, and keeps it across notice cycles:
// `times` and `Alpha` outlive the window, so a new notice can continue a slide-out where it is.
//
// Units: Left, Top, the steps and the sizes are twips (15 per pixel); the window's pixel place
// is Left \ 15 after rounding, as the cursor test computes it.
#pragma once

#include <cstdint>

namespace parlix::notice {

inline constexpr int kTwipsPerPixel = 15;
inline constexpr std::int32_t kSlideInEnd = 20;    // times when the slide-in is complete
inline constexpr std::int32_t kSlideOutEnd = -60;  // times when the slide-out is complete
inline constexpr unsigned kSlideIntervalMs = 1;    // tmrShowMsg while sliding
inline constexpr unsigned kPaintIntervalMs = 25;   // tmrPaint
inline constexpr unsigned kMouseIntervalMs = 1;    // tmrMouse

enum ShowStateValue : std::int32_t { kSlidingIn = 0, kHolding = 1, kSlidingOut = 2 };
enum FadeModeValue : std::int32_t { kFadeNone = 0, kFadeIn = 3, kFadeOut = 4, kBrighten = 2, kDimBack = -1 };

// Twips → pixels: rounded to a whole twip, then divided truncating toward zero.
[[nodiscard]] long TwipsToPixel(double twips) noexcept;

// PlaceNotice's inputs besides the motion itself: screen and window size in twips.
struct PlaceInput {
    bool visible = false;  // a visible window keeps its place, only the steps change
    std::int32_t position = 8;
    std::int32_t direction = 7;
    long screenWidth = 0, screenHeight = 0;
    long width = 0, height = 0;
};

struct NoticeMotion {
    // Plugin-wide.
    std::int32_t ShowState = kSlidingIn;
    std::int32_t FadeMode = kFadeNone;
    double StepX = 0, StepY = 0;
    std::int32_t HoldTime = 0;
    // The window's.
    std::int32_t times = 0;
    std::uint8_t Alpha = 0;
    std::uint8_t FadeStartAlpha = 0;
    double Left = 0, Top = 0;
    // The three timers as the window should have them.
    unsigned showInterval = kSlideIntervalMs;
    bool showEnabled = false;
    bool mouseEnabled = false;
    bool paintEnabled = false;
    // Bumped whenever tmrShowMsg is to be restarted (its countdown starts again).
    unsigned showRestarts = 0;

    // ShowMessage's step 2: a notice arriving during the slide-out continues from where the
    // window is: the slide-out progress becomes slide-in progress (−60 → 0, −20 → 10, 20 → 20).
    void ContinueSlide() noexcept;
    // Form_Load's steps after the skin is loaded: fade in, slide in, tmrMouse off, tmrShowMsg
    // restarted with whatever interval it had.
    void Start() noexcept;
    // Start place (for a window not yet visible) and the steps.
    void Place(const PlaceInput& in) noexcept;

    enum class TickResult { Paint, Close };
    // One tmrShowMsg tick. Paint: run the repaint now; Close: the slide-out is over, close the
    // window (nothing is painted).
    [[nodiscard]] TickResult SlideTick() noexcept;
    // The fade step of one repaint (msgAlpha = msg_Alpha; direction = msg_Direction).
    void FadeStep(std::int32_t msgAlpha, std::int32_t direction) noexcept;
    // The window grows or shrinks from `was` to `in`'s size (a dpi change): the place and the
    // steps scale with it about the window's corner of the screen (its position's edge or
    // centre), so a slide goes on where it was and ends in that corner at the new size.
    void Resize(const PlaceInput& in, long wasWidth, long wasHeight) noexcept;
    // One tmrMouse tick: whether the cursor (screen pixels) is over the window of the given pixel
    // size, bounds inclusive.
    void CursorTest(long x, long y, long widthPx, long heightPx) noexcept;
};

}  // namespace parlix::notice
