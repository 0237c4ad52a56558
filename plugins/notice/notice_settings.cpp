#include "plugins/notice/notice_settings.h"

#include "settings/ini_values.h"

namespace parlix::notice {

std::uint32_t BgrToArgb(std::int32_t bgr) noexcept {
    // c \ &H10000 + (c And &HFF) * &H10000 + (c And &HFF00) - &H2000000; \ truncates toward zero.
    const long long c = bgr;
    const long long rgb = c / 0x10000 + (c & 0xFF) * 0x10000 + (c & 0xFF00) - 0x2000000;
    return static_cast<std::uint32_t>(static_cast<std::int32_t>(rgb));
}

std::int32_t ArgbToBgr(std::uint32_t argb) noexcept {
    const std::uint32_t c = argb & 0xFFFFFF;
    return static_cast<std::int32_t>(((c & 0xFF) << 16) | (c & 0xFF00) | (c >> 16));
}

namespace {

std::uint32_t ColourOf(const ReadKey& read, std::wstring_view key, std::wstring_view fallback) {
    return BgrToArgb(IniToInteger(read(key, fallback)));
}

std::int32_t NumberOf(const ReadKey& read, std::wstring_view key, std::wstring_view fallback) {
    return IniToInteger(read(key, fallback));
}

std::optional<std::wstring> Repair(std::wstring_view text, std::int32_t low, std::int32_t high,
                                   const wchar_t* replacement) {
    try {
        const std::int32_t v = IniToInteger(text);
        if (v >= low && v <= high) return std::nullopt;
    } catch (const IniValueError&) {
    }
    return std::wstring(replacement);
}

}  // namespace

NoticeSettings LoadNoticeSettings(const ReadKey& read) {
    NoticeSettings s;
    s.msg_TitleColor = ColourOf(read, L"msg_TitleColor", L"11153970");
    s.msg_MessageColor = ColourOf(read, L"msg_MessageColor", L"8585050");
    s.msg_Alpha = NumberOf(read, L"msg_Alpha", L"255");
    s.msg_TitleSize = NumberOf(read, L"msg_TitleSize", L"15");
    s.msg_MessageSize = NumberOf(read, L"msg_MessageSize", L"9");
    s.msg_Trans = NumberOf(read, L"msg_Trans", L"0");
    s.msg_Skin = read(L"msg_Skin", L"Default");
    s.msg_Direction = NumberOf(read, L"msg_Direction", L"7");
    s.msg_Position = NumberOf(read, L"msg_Position", L"8");
    return s;
}

SkinLayout LoadSkinLayout(const ReadKey& read) {
    SkinLayout l;
    l.title_left = NumberOf(read, L"title_left", L"0");
    l.title_width = NumberOf(read, L"title_width", L"0");
    l.title_top = NumberOf(read, L"title_top", L"0");
    l.title_height = NumberOf(read, L"title_height", L"0");
    l.message_left = NumberOf(read, L"message_left", L"0");
    l.message_width = NumberOf(read, L"message_width", L"0");
    l.message_top = NumberOf(read, L"message_top", L"0");
    l.message_height = NumberOf(read, L"message_height", L"0");
    return l;
}

std::optional<std::wstring> RepairAlphaText(std::wstring_view text) { return Repair(text, 1, 255, L"255"); }

std::optional<std::wstring> RepairSizeText(std::wstring_view text) { return Repair(text, 1, 99, L"12"); }

std::optional<PositionDirections> DirectionsFor(std::int32_t position) noexcept {
    constexpr auto bits = [](std::initializer_list<int> ds) {
        std::uint16_t b = 1u << 4;
        for (int d : ds) b = static_cast<std::uint16_t>(b | (1u << d));
        return b;
    };
    switch (position) {
    case 0: return PositionDirections{bits({0, 1, 3}), 1};
    case 1: return PositionDirections{bits({1}), 1};
    case 2: return PositionDirections{bits({1, 2, 5}), 1};
    case 3: return PositionDirections{bits({3}), 3};
    case 5: return PositionDirections{bits({5}), 5};
    case 6: return PositionDirections{bits({3, 6, 7}), 7};
    case 7: return PositionDirections{bits({7}), 7};
    case 8: return PositionDirections{bits({5, 7, 8}), 7};
    default: return std::nullopt;
    }
}

}  // namespace parlix::notice
