// New-message notices: the text a notice shows for the part of a chat history that grew, and
// what one poll step does with a tab whose history length changed.
#pragma once

#include "contract/im_window.h"

#include <string>
#include <string_view>

namespace parlix {

// Kinds whose history is read from the client's memory instead of from the history box.
[[nodiscard]] constexpr bool ReadsHistoryFromMemory(IM_VERSION v) noexcept {
    return v == IM_VERSION::QQ2009 || v == IM_VERSION::TM2009 || v == IM_VERSION::BaiduHI;
}

// The notice's title for a chat window's caption: "<caption>的新消息".
[[nodiscard]] std::wstring NoticeTitle(std::wstring_view caption);

// The notice text for a history that went from p to n characters; text is the history now.
// A history that did not grow gives its last 70 characters. Otherwise the new part: for the
// memory kinds with pictures as "[图片]" and each bare CR as CR LF; for the window-text kinds the
// whole new part (Fetion) or all of it but its first two characters (the others), where from the
// first CR LF on a space stands for a picture (but TM2005 and TM2007 keep their spaces).
// Any n and p are safe: counts beyond the text take all of it, counts below one take nothing.
[[nodiscard]] std::wstring ComposeNoticeBody(IM_VERSION kind, std::wstring_view text, long long n, long long p);

// What the main window looks like to one poll step of one changed tab.
struct PollFacts {
    bool isCurrentTab = false;      // the changed tab is the selected one
    bool mainIsActive = false;      // MainIsActive
    bool silent = false;            // silent mode
    bool msgTip = false;            // tray_MsgTip
    bool alwaysShowTip = false;     // tray_AlwaysShowTip
    bool pluginEnabled = false;     // [Plugin] Murmelo
    bool pluginConnected = false;   // the notice plugin object is there
    bool autoSwitch = false;        // org_AutoSwitch
};

enum class NoticeRoute { None, Plugin, Tray };

struct PollEffects {
    bool markUnread = false;       // count in the tab caption and highlight
    NoticeRoute notice = NoticeRoute::None;
    bool attention = false;        // caption, tray tooltip, maximise box, taskbar flash, tray flashing
    bool switchTab = false;        // select the tab
    friend bool operator==(const PollEffects&, const PollEffects&) = default;
};

// A notice goes to the plugin whenever the plugin is enabled; when it is enabled but missing the
// user gets none at all (the tray balloon is not a fallback).
[[nodiscard]] PollEffects DecidePollEffects(const PollFacts& facts) noexcept;

}  // namespace parlix
