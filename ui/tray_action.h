// What a callback message of the tray icon asks for, decided from the few facts it depends on.
// The notice plugin's click arrives here too, as a balloon click.
#pragma once

#include "base/main_state.h"

#include <cstdint>
#include <optional>

namespace parlix {

// Callback messages (lParam of the tray message), as the shell sends them to a version-0 icon.
inline constexpr std::uint32_t kTrayLButtonUp = 0x202;
inline constexpr std::uint32_t kTrayLButtonDblClk = 0x203;
inline constexpr std::uint32_t kTrayRButtonUp = 0x205;
inline constexpr std::uint32_t kNinBalloonShow = 0x402;
inline constexpr std::uint32_t kNinBalloonHide = 0x403;
inline constexpr std::uint32_t kNinBalloonTimeout = 0x404;
inline constexpr std::uint32_t kNinBalloonUserClick = 0x405;


struct TrayFacts {
    bool balloonShowing = false;
    MainWindowState mainState = MainWindowState::Normal;
    bool flashing = false;  // tmrMsg runs: a new message is being flashed
};

// Steps in the order they are taken: the balloon flag, then showing or hiding, then focus.
struct TrayDecision {
    std::optional<bool> balloonShowing;  // new value of the balloon flag, when it changes
    bool showInTaskBar = false;
    bool hideToTray = false;
    bool focusMain = false;
    bool showMenu = false;

    friend bool operator==(const TrayDecision&, const TrayDecision&) = default;
};

[[nodiscard]] TrayDecision DecideTrayAction(std::uint32_t message, const TrayFacts& facts);

// tmrKillTip's interval for tray_TipTime seconds. A hand-edited set.ini may hold 0, a negative
// or a huge number: at least one second, and never an overflowing product.
[[nodiscard]] std::uint32_t KillTipIntervalMs(std::int32_t tipTimeSeconds);

}  // namespace parlix
