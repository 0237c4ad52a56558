// ShadeButton's state without a window: which face it fades to, how far, with which caption
// colour, and what each mouse and key event does to that. The plumbing (shade_button_win.h)
// paints what a tick says.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace parlix {

// Faces 0 normal, 1 hot, 2 pressed, 3 and 4 the glow faces of the default button; 5 idle.
enum ShadeState : int { kShadeNormal = 0, kShadeHot, kShadePressed, kShadeGlowA, kShadeGlowB, kShadeIdle };

inline constexpr std::int32_t kShadeGreyText = static_cast<std::int32_t>(0x80000011u);  // COLOR_GRAYTEXT
inline constexpr int kShadeDefaultSpeed = 20;
inline constexpr unsigned kShadeTickMs = 15;

// A button's caption until one is set: its name with every "Shade" removed.
[[nodiscard]] std::wstring ShadeDefaultCaption(std::wstring_view name);

struct ShadeColours {
    std::int32_t fore = 0;
    std::int32_t hot = 0;
    std::int32_t pressed = 0;
};

// What one tick draws: the face of `state` blended with `alpha` over the kept background, the
// caption in `captionColour`; `keep` makes the result the new background (a fade ended).
struct ShadeFrame {
    bool draw = false;
    int face = 0;
    int alpha = 0;
    std::int32_t captionColour = 0;
    bool keep = false;
};

class ShadeFade {
public:
    [[nodiscard]] int State() const noexcept { return state_; }
    [[nodiscard]] int Alpha() const noexcept { return alpha_; }
    [[nodiscard]] bool FastGlow() const noexcept { return fastGlow_; }

    // TimerPaint's tick.
    ShadeFrame Tick(int speed, bool enabled, const ShadeColours& colours);

    // Each event restarts the fade at alpha 0 from the face shown at that moment (the caller
    // keeps the current image as the background).
    void Pressed() { Start(kShadePressed); }
    // A move inside: hot, or pressed while the left button is down.
    void MovedInside(bool leftDown) { Start(leftDown ? kShadePressed : kShadeHot); }
    // The mouse left the button: the default button glows again (fast first), others go normal.
    void MovedOutside(bool isDefault) { Rest(isDefault); }
    void Released(bool inside) {
        alpha_ = 0;
        if (inside) state_ = kShadeHot;
    }
    // New, enabled or disabled, or made the default.
    void Rest(bool isDefault) {
        Start(isDefault ? kShadeGlowA : kShadeNormal);
        fastGlow_ = isDefault;
    }

private:
    void Start(int state) {
        state_ = state;
        alpha_ = 0;
    }
    int state_ = kShadeIdle;
    int alpha_ = 0;
    bool fastGlow_ = false;
};

}  // namespace parlix
