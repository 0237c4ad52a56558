#include "ui/shade_button.h"

namespace parlix {

std::wstring ShadeDefaultCaption(std::wstring_view name) {
    constexpr std::wstring_view kShade = L"Shade";
    std::wstring caption(name);
    for (auto at = caption.find(kShade); at != std::wstring::npos; at = caption.find(kShade, at))
        caption.erase(at, kShade.size());
    return caption;
}

ShadeFrame ShadeFade::Tick(int speed, bool enabled, const ShadeColours& colours) {
    ShadeFrame frame;
    switch (state_) {
    case kShadeHot:
        alpha_ += speed;
        frame.captionColour = colours.hot;
        break;
    case kShadePressed:
        alpha_ += speed;
        frame.captionColour = colours.pressed;
        break;
    case kShadeGlowA:
    case kShadeGlowB:
        alpha_ += fastGlow_ ? 15 : 3;
        frame.captionColour = colours.fore;
        break;
    case kShadeNormal:
        alpha_ += 5;
        frame.captionColour = enabled ? colours.fore : kShadeGreyText;
        break;
    default: return frame;  // idle: nothing to animate
    }
    frame.draw = true;
    frame.face = state_;
    if (alpha_ < 255) {
        frame.alpha = alpha_ < 0 ? 0 : alpha_;
        return frame;
    }
    frame.alpha = 255;
    frame.keep = true;
    if (state_ == kShadeGlowA) {
        state_ = kShadeGlowB;
        fastGlow_ = false;
    } else if (state_ == kShadeGlowB) {
        state_ = kShadeGlowA;
    } else {
        state_ = kShadeIdle;
    }
    alpha_ = 0;
    return frame;
}

}  // namespace parlix
