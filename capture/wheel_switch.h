// Tab switching by the mouse wheel over the tab strip (or anywhere with Ctrl or the right
// button held): one switch per two qualifying wheel messages, wrapping at both ends.
#pragma once

#include <optional>

namespace parlix {

struct WheelBand {
    int width = 0;   // client width of the main window
    int top = 0;     // vertical band of the tab strip, exclusive bounds
    int bottom = 0;
};

// Whether a wheel message counts: Ctrl (MK_CONTROL 8) or the right button (MK_RBUTTON 2)
// held, or the cursor (client coordinates) strictly inside the strip's band.
[[nodiscard]] bool WheelQualifies(unsigned keys, int x, int y, const WheelBand& band) noexcept;

class WheelSwitch {
public:
    // Counts one qualifying message; every second one gives the tab index to select. delta < 0
    // (towards the user) moves to the next tab, otherwise to the previous one.
    [[nodiscard]] std::optional<int> OnQualifying(int delta, int selected, int count) noexcept;
    [[nodiscard]] int Ticks() const noexcept { return ticks_; }

private:
    int ticks_ = 0;
};

}  // namespace parlix
