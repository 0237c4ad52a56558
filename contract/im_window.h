// The record of one captured chat window and the client kinds, shared by the main program and the
// plugins. The main program owns one record per tab; plugins only read the current tab's record.
// The COM class of the contract library wraps this record, so it stays a plain aggregate with no
// behaviour: a new record is zero, empty and false everywhere.
#pragma once

#include <cstdint>
#include <string>

namespace parlix {

// Window handles in the contract are 32-bit Longs (the clients and the program are 32-bit).
using HandleValue = std::uint32_t;

// Client family and version. The values are part of the plugin contract.
enum class IM_VERSION : std::int32_t {
    TM = 0,
    TM2005 = 1,
    TM2007 = 2,
    TM2008 = 3,
    TM2009 = 4,
    QQ = 5,
    QQ2008_BETA1 = 6,
    QQ2008 = 7,
    QQ2009 = 8,
    BaiduHI = 9,
    Fetion_3_2 = 10,
    Fetion_3_3 = 11,
    Fetion_3_4 = 12,
    Fetion_3_5 = 13,
    Fetion_3_6 = 14,
    Fetion_3_7 = 15,
    Fetion_3_8 = 16,
    Fetion_3_9 = 17,
    AliWangWang_5_7 = 18,
    AliWangWang_2008 = 19,
    AliWangWang_2009 = 20,
};

// The families as the program tests them; every version belongs to exactly one.
[[nodiscard]] constexpr bool IsQQ2009(IM_VERSION v) noexcept {
    return v == IM_VERSION::QQ2009;
}
[[nodiscard]] constexpr bool IsBaiduHi(IM_VERSION v) noexcept {
    return v == IM_VERSION::BaiduHI;
}
[[nodiscard]] constexpr bool IsFetion(IM_VERSION v) noexcept {
    const auto n = static_cast<std::int32_t>(v);
    return n >= static_cast<std::int32_t>(IM_VERSION::Fetion_3_2) &&
           n <= static_cast<std::int32_t>(IM_VERSION::Fetion_3_9);
}
[[nodiscard]] constexpr bool IsDialogFamily(IM_VERSION v) noexcept {
    return !IsQQ2009(v) && !IsBaiduHi(v) && !IsFetion(v);
}

// Member order is the order of the contract's members (their DISPIDs follow it).
struct IMWindow {
    HandleValue hWnd = 0;     // the captured top-level window (never owned)
    HandleValue ChatHwnd = 0; // history box, 0 when not found
    HandleValue SayHwnd = 0;  // input box, or hWnd when none was found
    HandleValue SendHwnd = 0; // never filled by the main program
    bool IsGroup = false;
    IM_VERSION Version = IM_VERSION::TM;
    std::wstring Title;   // tab text
    std::wstring Caption; // contact or group name, later the window's full title
    bool Locked = false;
    std::int32_t TabColor = 0; // 0x00BBGGRR
    std::int32_t X = 0;        // place and size before capture, screen pixels
    std::int32_t Y = 0;
    std::int32_t W = 0; // current width, kept by the upkeep
    std::int32_t H = 0;
    std::int32_t OrgW = 0; // size restored on detach
    std::int32_t OrgH = 0;
    std::int32_t MsgNum = 0;  // unread messages
    std::int32_t hDC = 0;     // memory DC with the 32 x 32 icon image, owned by the registry node
    std::int32_t hBMP = 0;    // bitmap selected into hDC, owned likewise
    std::int32_t Msg = 0;     // history length in characters when last examined
    std::int32_t WinLong = 0; // style before capture
    std::int32_t ExStyle = 0; // extended style before capture
};

} // namespace parlix
