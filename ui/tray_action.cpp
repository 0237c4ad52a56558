#include "ui/tray_action.h"

#include <algorithm>

namespace parlix {

TrayDecision DecideTrayAction(std::uint32_t message, const TrayFacts& facts) {
    TrayDecision d;
    switch (message) {
    case kNinBalloonShow:
        d.balloonShowing = true;
        break;
    case kNinBalloonHide:
    case kNinBalloonTimeout:
        d.balloonShowing = false;
        break;
    case kNinBalloonUserClick:
        // The shell sends no hide notice for a balloon dismissed by a click; without clearing
        // the flag here every later click on the icon would be ignored.
        d.balloonShowing = false;
        d.showInTaskBar = facts.mainState == MainWindowState::InTray;
        d.focusMain = true;
        break;
    case kTrayLButtonUp:
        if (facts.balloonShowing) break;
        if (facts.mainState == MainWindowState::InTray) {
            d.showInTaskBar = true;
            d.focusMain = true;
        } else if (facts.flashing) {
            d.focusMain = true;
        } else {
            d.hideToTray = true;
        }
        break;
    case kTrayRButtonUp:
        d.showMenu = true;
        break;
    default:
        break;
    }
    return d;
}

std::uint32_t KillTipIntervalMs(std::int32_t tipTimeSeconds) {
    constexpr std::int32_t kMaxSeconds = 86400;
    return static_cast<std::uint32_t>(std::clamp(tipTimeSeconds, 1, kMaxSeconds)) * 1000u;
}

}  // namespace parlix
