// The messages between the hook library Parlix.dll (inside the IM clients' UI threads), the
// hooked chat windows and Parlix's main window. Shared by both sides; no <windows.h>.
//
// WM_HOOKNOTIFY (wParam = code):
//   to the main window, from the library:
//     kKeyState      lParam 0 when Ctrl (the key that shows the tab numbers) goes down, 1 when it
//                    goes up; only while the key's target is a captured chat window (posted)
//     kClick         lParam = captured chat window: the left button went down in it (posted)
//     kClickAnswer   lParam = captured chat window: the middle button went down in it; sent with
//                    a timeout, the main window answers -1 when it handled it
//     kFocusRequest  lParam = captured chat window: it was activated (posted)
//     kGesture       lParam 1 = right button down (begin), 0 = a point, 2 = right button up
//                    (end); sent with a timeout; a non-zero answer to the end accepts the
//                    gesture and the library swallows the button release (no context menu)
//     kWindowShown   lParam = a top-level window of the hooked thread shown for the first time
//                    (posted); handled like the shell's window-created notice
//     kHistoryChanged  lParam = a rich-edit box inside a captured chat window that is about to
//                    change its text (WM_SETTEXT, EM_REPLACESEL, EM_STREAMIN, EM_SETTEXTEX, cut,
//                    paste, clear, undo), or a captured chat window whose history record (the
//                    answer to kRequestHistory) changed its length, checked in the client's
//                    thread whenever a message for that very window passes (posted). Parlix
//                    reads that tab's history in its next poll; nothing is answered. Changes
//                    made without such a message are found by the poll's slower sweep.
//     kRequest*      the answer to a request of the same code, sent back before the request's
//                    SendMessage returns
//   to a hooked chat window, from the main window (lParam 0): the requests
//     kRequestFocus    6: the library answers the window that has the keyboard focus in the
//                      chat window's thread (0 when none); stored, not used
//     kRequestHistory  7: the address, in the client's memory, of the window's history text
//                      record (+4: UTF-16 characters, +8: length in bytes); 0 when none
//     kRequestInput    8: the chat's input box; 0 when none
//   and one notice to a window inside a captured chat window, sent with SendNotifyMessage (never
//   waited for):
//     kTakeFocus       9, lParam = the sender's GetTickCount() when it asked: the library moves
//                      the keyboard focus to that window from the client's own thread (whose
//                      input is attached to Parlix's), which also activates the main window.
//                      Ignored when the window is hidden or no longer inside the main window,
//                      while a window holds the mouse capture (a drag in progress),
//                      when the notice is older than kTakeFocusFreshMs (a client that was busy
//                      must not take the focus back later), or when the foreground window
//                      belongs to neither Parlix nor that client. Nothing is answered.
//
// WM_HOTKEY to the main window (posted), for keys pressed in a captured chat window; the key
// itself is swallowed:
//   Ctrl+Tab, Ctrl+PageDown → 2 (next tab)       Ctrl+Shift+Tab, Ctrl+PageUp → 3 (previous tab)
//   Ctrl+0 → 4 (last tab)                        Ctrl+1 … Ctrl+9 → 5 … 13 (tabs 1 to 9)
// WM_MOUSEWHEEL to the main window (posted) for wheel turns with the right button held in a
// captured chat window; the chat does not scroll.
#pragma once

#include <cstdint>

namespace parlix::hook {

inline constexpr unsigned kWmHookNotify = 0x85C;

enum Code : std::uint32_t {
    kKeyState = 0,
    kClick = 2,
    kClickAnswer = 4,
    kRequestFocus = 6,
    kRequestHistory = 7,
    kRequestInput = 8,
    kTakeFocus = 9,
    kFocusRequest = 11,
    kGesture = 12,
    kWindowShown = 20,
    kHistoryChanged = 22,
};

inline constexpr std::intptr_t kKeyDown = 0;
inline constexpr std::intptr_t kKeyUp = 1;
inline constexpr std::intptr_t kGesturePoint = 0;
inline constexpr std::intptr_t kGestureBegin = 1;
inline constexpr std::intptr_t kGestureEnd = 2;
inline constexpr std::uint32_t kTakeFocusFreshMs = 1000;

// Whether the focus may move into a chat of the client process clientPid while the foreground
// window belongs to frontPid (0: no foreground window): only when it is Parlix's or that
// client's, so that a user who went to another program keeps the focus there.
[[nodiscard]] constexpr bool FocusMayMove(std::uint32_t frontPid, std::uint32_t clientPid,
                                          std::uint32_t parlixPid) noexcept {
    return frontPid == 0 || frontPid == clientPid || frontPid == parlixPid;
}

// Whether a kTakeFocus notice sent at askedAt (GetTickCount) still counts at now; the count
// wraps every 49.7 days.
[[nodiscard]] constexpr bool TakeFocusIsFresh(std::uint32_t askedAt, std::uint32_t now) noexcept {
    return now - askedAt <= kTakeFocusFreshMs;
}

// Hotkey id for a key pressed with the given modifiers, 0 when the key is not mapped.
// vk is a virtual-key code.
[[nodiscard]] constexpr int HotkeyFor(unsigned vk, bool ctrl, bool shift, bool alt) noexcept {
    constexpr unsigned kTab = 0x09, kPrior = 0x21, kNext = 0x22;
    if (!ctrl || alt) return 0;
    if (vk == kTab) return shift ? 3 : 2;
    if (shift) return 0;
    if (vk == kNext) return 2;
    if (vk == kPrior) return 3;
    if (vk == '0') return 4;
    if (vk >= '1' && vk <= '9') return static_cast<int>(vk - '1') + 5;
    return 0;
}

}  // namespace parlix::hook
