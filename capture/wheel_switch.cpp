#include "capture/wheel_switch.h"

namespace parlix {

bool WheelQualifies(unsigned keys, int x, int y, const WheelBand& band) noexcept {
    constexpr unsigned kMkRButton = 0x2, kMkControl = 0x8;
    if (keys & (kMkControl | kMkRButton)) return true;
    return x > 0 && x < band.width && y > band.top && y < band.bottom;
}

std::optional<int> WheelSwitch::OnQualifying(int delta, int selected, int count) noexcept {
    if (++ticks_ < 2) return std::nullopt;
    ticks_ = 0;
    if (count <= 0) return std::nullopt;  // no tab to switch to
    int index = selected;
    if (delta < 0) {
        if (count == index + 1) index = -1;
        return index + 1;
    }
    if (index == 0) index = count;
    // Nothing selected (-1) moves to the last tab rather than to an invalid index.
    if (index < 0) index = count;
    return index - 1;
}

}  // namespace parlix
