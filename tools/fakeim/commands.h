// Parsing of the simulator's command lines (grammar in protocol.h). No Win32 here.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace fakeim {

// One command: its verb and its fields, escapes resolved.
struct Command {
    std::wstring verb;
    std::vector<std::wstring> fields;
};

[[nodiscard]] std::wstring Unescape(std::wstring_view field);
[[nodiscard]] Command ParseCommand(std::wstring_view line);
// The commands of a script: one a line, blank lines and '#' comment lines skipped.
[[nodiscard]] std::vector<std::wstring> ScriptCommands(std::wstring_view text);

// Decimal or "0x" hexadecimal, unsigned 32-bit.
[[nodiscard]] std::optional<std::uint32_t> ParseNumber(std::wstring_view text);
[[nodiscard]] std::optional<int> ParseInt(std::wstring_view text);
[[nodiscard]] std::optional<std::uint8_t> ParseAlpha(std::wstring_view text);

enum class ChatKind {
    Dialog,
    Qq2008Beta1,
    Tm2005,
    Tm2007,
    Qq2008,
    Qq2009,
    Qq2009Group,
    TxPanel,
    Fetion,
    FetionDeep,
    FetionTip,
    FetionButton,
    Baidu,
    BaiduChild,
};
[[nodiscard]] std::optional<ChatKind> ParseChatKind(std::wstring_view text);

// Main windows: search 1..18 of client discovery, or a decoy no search accepts.
enum class Decoy { None, TitledChild, FetionWrongClass };
struct MainRequest {
    int search = 0; // 0 for a decoy
    Decoy decoy = Decoy::None;
};
inline constexpr int kMainSearches = 18;
[[nodiscard]] std::optional<MainRequest> ParseMainRequest(std::wstring_view text);

struct Placement {
    int x = 0, y = 0, w = 0, h = 0;
};
[[nodiscard]] std::optional<Placement> ParsePlacement(std::wstring_view text); // "x,y,w,h"

struct OpenOptions {
    bool group = false;
    bool hidden = false;
    bool minimized = false;
    bool maximized = false;
    bool noActivate = false;  // shown without taking the activation (a chat popping up)
    std::optional<std::uint32_t> lateMs;
    std::optional<std::uint8_t> alpha;
    std::optional<Placement> at;
};
// Every field must be a known option; nullopt otherwise.
[[nodiscard]] std::optional<OpenOptions> ParseOptions(std::span<const std::wstring> fields);

enum class ShowHow { Minimize, Maximize, Restore, Hide, Show };
[[nodiscard]] std::optional<ShowHow> ParseShow(std::wstring_view text);

} // namespace fakeim
