// The notice plugin's settings (section [Murmelo] of the program's set.ini), the skin layout
// (section [Skin] of <skin>.ini beside <skin>.png), and the settings page's rules: colour forms,
// repair of typed numbers, and which slide directions fit a position.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace parlix::notice {

inline constexpr wchar_t kSection[] = L"Murmelo";
inline constexpr wchar_t kSkinSection[] = L"Skin";

// Stored colours are &H00BBGGRR; in memory they are GDI+ ARGB with red and blue exchanged and
// &H2000000 taken away, which gives alpha &HFE for every colour below &H1000000 (the sum never
// leaves 32 bits, whatever the stored number).
[[nodiscard]] std::uint32_t BgrToArgb(std::int32_t bgr) noexcept;
// The page's form of an ARGB colour: its low 24 bits with red and blue exchanged back.
[[nodiscard]] std::int32_t ArgbToBgr(std::uint32_t argb) noexcept;

struct NoticeSettings {
    std::uint32_t msg_TitleColor = 0xFE3232AA;    // stored 11153970
    std::uint32_t msg_MessageColor = 0xFE5AFF82;  // stored 8585050
    std::int32_t msg_Alpha = 255;
    std::int32_t msg_TitleSize = 15;
    std::int32_t msg_MessageSize = 9;
    std::int32_t msg_Trans = 0;
    std::wstring msg_Skin = L"Default";
    std::int32_t msg_Direction = 7;
    std::int32_t msg_Position = 8;
};

struct SkinLayout {
    std::int32_t title_left = 0, title_width = 0, title_top = 0, title_height = 0;
    std::int32_t message_left = 0, message_width = 0, message_top = 0, message_height = 0;
};

// Reads one key: the stored text, or the default when the key is missing.
using ReadKey = std::function<std::wstring(std::wstring_view key, std::wstring_view fallback)>;

// LoadNoticeSettings over a reader of [Murmelo]. Throws parlix::IniValueError (settings/
// ini_values.h) when a number key holds no number, as an empty value does.
[[nodiscard]] NoticeSettings LoadNoticeSettings(const ReadKey& read);
// LoadSkinLayout over a reader of the layout file's [Skin] ("0" when missing). Throws like above.
[[nodiscard]] SkinLayout LoadSkinLayout(const ReadKey& read);

// txtAlpha_Change: the text to show instead, or nothing when it is a number within 1…255.
[[nodiscard]] std::optional<std::wstring> RepairAlphaText(std::wstring_view text);
// txtSize_Change: "12" for both boxes unless the text is a number within 1…99.
[[nodiscard]] std::optional<std::wstring> RepairSizeText(std::wstring_view text);

// The directions a position allows (bit d set: direction d is enabled; 4 always is) and the
// direction its button selects; position 4 (centre) changes nothing and gives nothing.
struct PositionDirections {
    std::uint16_t enabled = 0;
    std::int32_t selected = 0;
};
[[nodiscard]] std::optional<PositionDirections> DirectionsFor(std::int32_t position) noexcept;

// The page's captions of the nine direction buttons, in index order.
inline constexpr const wchar_t* kDirectionCaptions[9] = {L"↘", L"↓", L"↙", L"→", L"□", L"←", L"↗", L"↑", L"↖"};

// The preview's notice.
inline constexpr std::int32_t kPreviewHoldMs = 3000;
inline constexpr wchar_t kPreviewTitle[] = L"测试消息/测试消息/测试消息：";
inline constexpr wchar_t kPreviewText[] =
    L"这是一段测试消息。\r\n这是一段测试消息。这是一段测试消息。这是一段测试消息。这是一段测试消息。这是一段测试消息。";

}  // namespace parlix::notice
