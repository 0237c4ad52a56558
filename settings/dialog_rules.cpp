#include "settings/dialog_rules.h"

#include <array>
#include <cwchar>
#include <cwctype>
#include <limits>

namespace parlix {

// ---- number boxes --------------------------------------------------------------------------

bool NumberBoxAccepts(wchar_t ch) noexcept { return (ch >= L'0' && ch <= L'9') || ch == L'\b'; }

namespace {
// The value of a text of digits alone that fits 32 bits; nullopt for anything else.
std::optional<std::int64_t> DecimalValue(std::wstring_view text) {
    if (text.empty()) return std::nullopt;
    std::int64_t value = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9') return std::nullopt;
        value = value * 10 + (c - L'0');
        if (value > std::numeric_limits<std::int32_t>::max()) return std::nullopt;
    }
    return value;
}
}  // namespace

std::wstring RepairNumberBox(std::wstring_view text, const NumberBoxRule& rule) {
    if (text.empty()) return std::wstring(rule.fallback);
    const auto value = DecimalValue(text);
    if (!value || *value > rule.limit) return std::to_wstring(rule.limit);
    if (*value == 0) return std::wstring(rule.fallback);
    return std::wstring(text);
}

std::int32_t NumberBoxValue(std::wstring_view text, const NumberBoxRule& rule) {
    const std::wstring repaired = RepairNumberBox(text, rule);
    return static_cast<std::int32_t>(DecimalValue(repaired).value_or(rule.limit));
}

// ---- hotkey box ----------------------------------------------------------------------------

namespace {
constexpr std::array<std::wstring_view, 8> kModifierNames = {
    L"", L"Shift + ", L"Ctrl + ", L"Ctrl + Shift + ", L"Alt + ", L"Alt + Shift + ", L"Ctrl + Alt + ",
    L"Ctrl + Alt + Shift + "};
constexpr std::wstring_view kWinName = L"Win + ";
}  // namespace

std::wstring HotkeyModifierText(bool win, int shift) {
    std::wstring text = win ? std::wstring(kWinName) : std::wstring();
    text += kModifierNames[static_cast<std::size_t>(shift & 7)];
    return text;
}

std::int32_t HotkeyModifiers(bool win, int shift) noexcept {
    std::int32_t mod = win ? kModWin : 0;
    if (shift & kShiftBit) mod |= kModShift;
    if (shift & kCtrlBit) mod |= kModControl;
    if (shift & kAltBit) mod |= kModAlt;
    return mod;
}

bool IsModifierOnlyText(std::wstring_view text) {
    for (bool win : {false, true})
        for (int shift = 0; shift < 8; ++shift)
            if (text == HotkeyModifierText(win, shift)) return true;
    return false;
}

void HotkeyCapture::KeyDown(int vk, int shift, std::wstring_view keyName) {
    if (vk == kVkLWin) win_ = true;
    text_ = HotkeyModifierText(win_, shift);
    mod_ = HotkeyModifiers(win_, shift);
    if (vk != kVkLWin && vk != kVkShift && vk != kVkControl && vk != kVkMenu) {
        text_ += keyName;
        key_ = vk;
    }
}

void HotkeyCapture::KeyUp(int vk) {
    if (vk == kVkLWin) win_ = false;
    if (IsModifierOnlyText(text_)) {
        text_ = kNoHotkey;
        key_ = 0;
        mod_ = 0;
    }
}

// ---- title suffix --------------------------------------------------------------------------

namespace {
// The title's part before the first occurrence of what; the whole title when it is not there.
std::wstring_view Before(std::wstring_view title, std::wstring_view what) {
    const auto at = what.empty() ? std::wstring_view::npos : title.find(what);
    return at == std::wstring_view::npos ? title : title.substr(0, at);
}
}  // namespace

CaptionChange ChangeCaption(std::wstring_view title, std::wstring_view oldSuffix, std::wstring_view text) {
    const std::wstring suffix = text.empty() ? std::wstring() : std::wstring(kCaptionPrefix) + std::wstring(text);
    if (!oldSuffix.empty() && !text.empty()) return {std::wstring(Before(title, oldSuffix)) + suffix, suffix};
    if (!oldSuffix.empty()) return {std::wstring(Before(title, kCaptionPrefix)), L""};
    if (!text.empty()) return {std::wstring(title) + suffix, suffix};
    return {std::wstring(title), std::wstring(oldSuffix)};
}

// ---- dependent enabling --------------------------------------------------------------------

namespace {
constexpr int kAutoRunIM[] = {idTxtPath, idBtnBrowse, idLblPath, idLblExeName, idTxtExeName};
constexpr int kMaxLen[] = {idTxtMaxLen};
constexpr int kShowTip[] = {idChkAlwaysShowTip};
constexpr int kHotKey[] = {idTxtHotKey};
constexpr int kGesture[] = {idLblGesture0, idLblGesture1, idLblGesture2, idLblGesture3};
constexpr int kLeaders[] = {idChkAutoRunIM, idChkMaxLen, idChkShowTip, idChkHotKey, idChkMouseGesture};
}  // namespace

std::span<const int> DependentsOf(int checkBox) noexcept {
    switch (checkBox) {
    case idChkAutoRunIM: return kAutoRunIM;
    case idChkMaxLen: return kMaxLen;
    case idChkShowTip: return kShowTip;
    case idChkHotKey: return kHotKey;
    case idChkMouseGesture: return kGesture;
    default: return {};
    }
}

std::span<const int> LeadingCheckBoxes() noexcept { return kLeaders; }

// ---- update check --------------------------------------------------------------------------

namespace {
constexpr std::wstring_view kVersionPrefix = L"version ";

// A decimal number of digits with at most one point, spaces around it allowed.
std::optional<double> ReadDecimal(std::wstring_view text) {
    while (!text.empty() && text.front() == L' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == L' ') text.remove_suffix(1);
    double value = 0;
    double scale = 0;  // 0 before the point, then 0.1, 0.01, ...
    bool digits = false;
    for (wchar_t c : text) {
        if (c == L'.' && scale == 0) {
            scale = 0.1;
        } else if (c >= L'0' && c <= L'9') {
            digits = true;
            if (scale == 0) value = value * 10 + (c - L'0');
            else {
                value += (c - L'0') * scale;
                scale /= 10;
            }
        } else {
            return std::nullopt;
        }
    }
    if (!digits) return std::nullopt;
    return value;
}

std::wstring NumberText(double value) {
    // Whole numbers without a point; otherwise up to two decimals (the text has three characters).
    const auto hundredths = static_cast<long long>(value * 100 + 0.5);
    std::wstring text = std::to_wstring(hundredths / 100);
    const long long frac = hundredths % 100;
    if (frac != 0) {
        text += L'.';
        text += static_cast<wchar_t>(L'0' + frac / 10);
        if (frac % 10 != 0) text += static_cast<wchar_t>(L'0' + frac % 10);
    }
    return text;
}
}  // namespace

UpdateAnswer JudgeUpdateTitle(std::wstring_view title, int major, int minor) {
    if (title.substr(0, kVersionPrefix.size()) != kVersionPrefix) return {};
    const std::wstring_view last = title.size() >= 3 ? title.substr(title.size() - 3) : title;
    const auto page = ReadDecimal(last);
    if (!page) return {UpdateVerdict::Unreadable, {}};
    const auto own = ReadDecimal(std::to_wstring(major) + L"." + std::to_wstring(minor));
    // Both are read the same way, so equal texts give equal numbers.
    if (own && *page > *own + 1e-9) return {UpdateVerdict::Newer, NumberText(*page)};
    return {};
}

namespace {
wchar_t Lower(wchar_t c) { return static_cast<wchar_t>(std::towlower(c)); }

// Position of `what` (lower case) in text from `from`, ignoring letter case; npos when missing.
std::size_t FindNoCase(std::wstring_view text, std::wstring_view what, std::size_t from = 0) {
    if (what.empty() || text.size() < what.size()) return std::wstring_view::npos;
    for (std::size_t i = from; i + what.size() <= text.size(); ++i) {
        std::size_t k = 0;
        while (k < what.size() && Lower(text[i + k]) == what[k]) ++k;
        if (k == what.size()) return i;
    }
    return std::wstring_view::npos;
}

// The text between the opening tag `name` and its closing tag; nullopt without an opening tag.
std::optional<std::wstring_view> Element(std::wstring_view html, std::wstring_view open, std::wstring_view close) {
    std::size_t at = FindNoCase(html, open);
    while (at != std::wstring_view::npos) {
        const std::size_t after = at + open.size();
        // "<title" must be followed by ">" or white space or attributes, not by more letters.
        if (after < html.size() && (html[after] == L'>' || std::iswspace(html[after]))) break;
        at = FindNoCase(html, open, after);
    }
    if (at == std::wstring_view::npos) return std::nullopt;
    const std::size_t gt = html.find(L'>', at);
    if (gt == std::wstring_view::npos) return std::nullopt;
    const std::size_t end = FindNoCase(html, close, gt + 1);
    return html.substr(gt + 1, end == std::wstring_view::npos ? std::wstring_view::npos : end - gt - 1);
}

void AppendEntity(std::wstring& out, std::wstring_view name) {
    static constexpr std::pair<std::wstring_view, wchar_t> kNamed[] = {
        {L"amp", L'&'}, {L"lt", L'<'}, {L"gt", L'>'}, {L"quot", L'"'}, {L"apos", L'\''}, {L"nbsp", L' '}};
    for (const auto& [n, c] : kNamed)
        if (name == n) {
            out += c;
            return;
        }
    if (name.size() > 1 && name[0] == L'#') {
        const bool hex = name[1] == L'x' || name[1] == L'X';
        const std::wstring digits(name.substr(hex ? 2 : 1));
        wchar_t* end = nullptr;
        const unsigned long code = std::wcstoul(digits.c_str(), &end, hex ? 16 : 10);
        if (end && *end == 0 && !digits.empty() && code > 0 && code < 0xD800) {
            out += static_cast<wchar_t>(code);
            return;
        }
    }
    out += L'&';
    out += name;
    out += L';';
}

// Text with tags dropped, entities decoded, white space folded to single spaces, trimmed.
std::wstring PlainText(std::wstring_view html) {
    std::wstring raw;
    for (std::size_t i = 0; i < html.size(); ++i) {
        const wchar_t c = html[i];
        if (c == L'<') {
            const std::size_t gt = html.find(L'>', i);
            if (gt == std::wstring_view::npos) break;
            // Scripts and styles are no text.
            for (std::wstring_view skip : {std::wstring_view(L"script"), std::wstring_view(L"style")}) {
                if (FindNoCase(html.substr(i + 1, skip.size()), skip) == 0) {
                    const std::size_t end = FindNoCase(html, std::wstring(L"</") + std::wstring(skip), gt);
                    if (end != std::wstring_view::npos) {
                        const std::size_t endGt = html.find(L'>', end);
                        if (endGt != std::wstring_view::npos) {
                            raw += L' ';
                            i = endGt;
                            goto next;
                        }
                    }
                }
            }
            raw += L' ';
            i = gt;
        } else if (c == L'&') {
            const std::size_t semi = html.find(L';', i);
            if (semi != std::wstring_view::npos && semi - i <= 10) {
                AppendEntity(raw, html.substr(i + 1, semi - i - 1));
                i = semi;
            } else {
                raw += c;
            }
        } else {
            raw += c;
        }
    next:;
    }
    std::wstring out;
    bool space = false;
    for (wchar_t c : raw) {
        if (std::iswspace(c) || c == 0xA0) {
            space = !out.empty();
        } else {
            if (space) out += L' ';
            space = false;
            out += c;
        }
    }
    return out;
}
}  // namespace

std::wstring PageTitle(std::wstring_view html) {
    const auto title = Element(html, L"<title", L"</title");
    return title ? PlainText(*title) : std::wstring();
}

std::wstring PageBodyText(std::wstring_view html) {
    const auto body = Element(html, L"<body", L"</body");
    if (body) return PlainText(*body);
    // A page without a body element: everything after the head.
    const std::size_t headEnd = FindNoCase(html, L"</head");
    return PlainText(headEnd == std::wstring_view::npos ? html : html.substr(headEnd));
}

bool IsWebAddress(std::wstring_view address) {
    while (!address.empty() && std::iswspace(address.front())) address.remove_prefix(1);
    for (std::wstring_view scheme : {std::wstring_view(L"http://"), std::wstring_view(L"https://")})
        if (address.size() > scheme.size() && FindNoCase(address.substr(0, scheme.size()), scheme) == 0) {
            // No control characters or quotes that could change what the shell is given.
            for (wchar_t c : address)
                if (c < 0x20 || c == L'"') return false;
            return true;
        }
    return false;
}

}  // namespace parlix
