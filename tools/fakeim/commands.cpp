#include "tools/fakeim/commands.h"

#include <array>
#include <limits>
#include <utility>

namespace fakeim {

namespace {

constexpr wchar_t kPictureMark = 0xFFFC;
constexpr std::wstring_view kPictureEscape = L"{pic}";

std::vector<std::wstring_view> SplitFields(std::wstring_view line) {
    std::vector<std::wstring_view> out;
    for (;;) {
        const size_t bar = line.find(L'|');
        out.push_back(line.substr(0, bar));
        if (bar == std::wstring_view::npos) return out;
        line.remove_prefix(bar + 1);
    }
}

bool StartsWith(std::wstring_view s, std::wstring_view prefix) {
    return s.substr(0, prefix.size()) == prefix;
}

} // namespace

std::wstring Unescape(std::wstring_view field) {
    std::wstring out;
    out.reserve(field.size());
    for (size_t i = 0; i < field.size(); ++i) {
        const wchar_t c = field[i];
        if (c == L'{' && StartsWith(field.substr(i), kPictureEscape)) {
            out += kPictureMark;
            i += kPictureEscape.size() - 1;
            continue;
        }
        if (c != L'\\' || i + 1 == field.size()) {
            out += c;
            continue;
        }
        switch (field[i + 1]) {
        case L'n':
            out += L"\r\n";
            break;
        case L'r':
            out += L'\r';
            break;
        case L'\\':
            out += L'\\';
            break;
        case L'p':
            out += L'|';
            break;
        default:
            out += c;
            continue; // not an escape: the backslash stays literal
        }
        ++i;
    }
    return out;
}

Command ParseCommand(std::wstring_view line) {
    while (!line.empty() && (line.back() == L'\r' || line.back() == L'\n'))
        line.remove_suffix(1);
    Command cmd;
    const auto fields = SplitFields(line);
    cmd.verb = std::wstring(fields.front());
    for (size_t i = 1; i < fields.size(); ++i)
        cmd.fields.push_back(Unescape(fields[i]));
    return cmd;
}

std::vector<std::wstring> ScriptCommands(std::wstring_view text) {
    if (!text.empty() && text.front() == 0xFEFF) text.remove_prefix(1);
    std::vector<std::wstring> out;
    while (!text.empty()) {
        const size_t nl = text.find(L'\n');
        std::wstring_view line = text.substr(0, nl);
        text = nl == std::wstring_view::npos ? std::wstring_view() : text.substr(nl + 1);
        if (!line.empty() && line.back() == L'\r') line.remove_suffix(1);
        const size_t first = line.find_first_not_of(L" \t");
        if (first == std::wstring_view::npos || line[first] == L'#') continue;
        out.emplace_back(line);
    }
    return out;
}

std::optional<std::uint32_t> ParseNumber(std::wstring_view text) {
    unsigned base = 10;
    if (text.size() > 2 && text[0] == L'0' && (text[1] == L'x' || text[1] == L'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    if (text.empty()) return std::nullopt;
    std::uint64_t value = 0;
    for (wchar_t c : text) {
        unsigned digit = 0;
        if (c >= L'0' && c <= L'9')
            digit = static_cast<unsigned>(c - L'0');
        else if (base == 16 && c >= L'a' && c <= L'f')
            digit = static_cast<unsigned>(c - L'a' + 10);
        else if (base == 16 && c >= L'A' && c <= L'F')
            digit = static_cast<unsigned>(c - L'A' + 10);
        else
            return std::nullopt;
        if (digit >= base) return std::nullopt;
        value = value * base + digit;
        if (value > std::numeric_limits<std::uint32_t>::max()) return std::nullopt;
    }
    return static_cast<std::uint32_t>(value);
}

std::optional<int> ParseInt(std::wstring_view text) {
    const bool negative = !text.empty() && text.front() == L'-';
    if (negative) text.remove_prefix(1);
    if (text.empty() || text.find_first_not_of(L"0123456789") != std::wstring_view::npos) return std::nullopt;
    const auto n = ParseNumber(text);
    if (!n || *n > static_cast<std::uint32_t>(std::numeric_limits<int>::max())) return std::nullopt;
    return negative ? -static_cast<int>(*n) : static_cast<int>(*n);
}

std::optional<std::uint8_t> ParseAlpha(std::wstring_view text) {
    const auto n = ParseNumber(text);
    if (!n || *n > 255) return std::nullopt;
    return static_cast<std::uint8_t>(*n);
}

std::optional<ChatKind> ParseChatKind(std::wstring_view text) {
    static constexpr std::array<std::pair<std::wstring_view, ChatKind>, 14> kKinds{{
        {L"dialog", ChatKind::Dialog},
        {L"qq2008beta1", ChatKind::Qq2008Beta1},
        {L"tm2005", ChatKind::Tm2005},
        {L"tm2007", ChatKind::Tm2007},
        {L"qq2008", ChatKind::Qq2008},
        {L"qq2009", ChatKind::Qq2009},
        {L"qq2009group", ChatKind::Qq2009Group},
        {L"txpanel", ChatKind::TxPanel},
        {L"fetion", ChatKind::Fetion},
        {L"fetiondeep", ChatKind::FetionDeep},
        {L"fetiontip", ChatKind::FetionTip},
        {L"fetionbutton", ChatKind::FetionButton},
        {L"baidu", ChatKind::Baidu},
        {L"baiduchild", ChatKind::BaiduChild},
    }};
    for (const auto& [name, kind] : kKinds)
        if (name == text) return kind;
    return std::nullopt;
}

std::optional<MainRequest> ParseMainRequest(std::wstring_view text) {
    if (text == L"titledchild") return MainRequest{0, Decoy::TitledChild};
    if (text == L"fetionwrongclass") return MainRequest{0, Decoy::FetionWrongClass};
    const auto n = ParseInt(text);
    if (!n || *n < 1 || *n > kMainSearches) return std::nullopt;
    return MainRequest{*n, Decoy::None};
}

std::optional<Placement> ParsePlacement(std::wstring_view text) {
    std::array<int, 4> v{};
    for (size_t i = 0; i < v.size(); ++i) {
        const size_t comma = text.find(L',');
        if ((comma == std::wstring_view::npos) != (i + 1 == v.size())) return std::nullopt;
        const auto n = ParseInt(text.substr(0, comma));
        if (!n) return std::nullopt;
        v[i] = *n;
        if (comma != std::wstring_view::npos) text.remove_prefix(comma + 1);
    }
    if (v[2] <= 0 || v[3] <= 0) return std::nullopt;
    return Placement{v[0], v[1], v[2], v[3]};
}

std::optional<OpenOptions> ParseOptions(std::span<const std::wstring> fields) {
    OpenOptions o;
    for (const std::wstring& f : fields) {
        const std::wstring_view field = f;
        const size_t eq = field.find(L'=');
        const std::wstring_view name = field.substr(0, eq);
        const std::wstring_view value =
            eq == std::wstring_view::npos ? std::wstring_view() : field.substr(eq + 1);
        const bool hasValue = eq != std::wstring_view::npos;
        if (!hasValue && name == L"group")
            o.group = true;
        else if (!hasValue && name == L"hidden")
            o.hidden = true;
        else if (!hasValue && name == L"min")
            o.minimized = true;
        else if (!hasValue && name == L"max")
            o.maximized = true;
        else if (!hasValue && name == L"noactivate")
            o.noActivate = true;
        else if (hasValue && name == L"late" && (o.lateMs = ParseNumber(value)))
            continue;
        else if (hasValue && name == L"layered" && (o.alpha = ParseAlpha(value)))
            continue;
        else if (hasValue && name == L"at" && (o.at = ParsePlacement(value)))
            continue;
        else
            return std::nullopt;
    }
    // One show state: a window is shown normal, minimised or maximised, or not at all.
    if (int(o.minimized) + int(o.maximized) + int(o.hidden) > 1) return std::nullopt;
    return o;
}

std::optional<ShowHow> ParseShow(std::wstring_view text) {
    if (text == L"min") return ShowHow::Minimize;
    if (text == L"max") return ShowHow::Maximize;
    if (text == L"restore") return ShowHow::Restore;
    if (text == L"hide") return ShowHow::Hide;
    if (text == L"show") return ShowHow::Show;
    return std::nullopt;
}

} // namespace fakeim
