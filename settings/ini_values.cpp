#include "settings/ini_values.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace parlix {

namespace {

bool IsSpace(wchar_t c) { return c == L' ' || c == L'\t'; }

std::wstring_view Trim(std::wstring_view text) {
    while (!text.empty() && IsSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsSpace(text.back())) text.remove_suffix(1);
    return text;
}

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

int HexDigit(wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    return -1;
}

[[noreturn]] void Mismatch() { throw IniValueError(kTypeMismatch, "类型不匹配"); }
[[noreturn]] void Overflow() { throw IniValueError(kOverflow, "溢出"); }

// "&H" and hex digits: the low 32 bits as a signed value; more than 8 significant digits overflow.
double ParseHex(std::wstring_view digits) {
    if (digits.empty()) Mismatch();
    std::uint32_t value = 0;
    int significant = 0;
    for (wchar_t c : digits) {
        const int d = HexDigit(c);
        if (d < 0) Mismatch();
        if (significant == 0 && d == 0) continue;
        if (++significant > 8) Overflow();
        value = value << 4 | static_cast<std::uint32_t>(d);
    }
    return static_cast<std::int32_t>(value);
}

// [sign] digits [. digits] [e [sign] digits], at least one mantissa digit.
double ParseDecimal(std::wstring_view text) {
    bool negative = false;
    if (!text.empty() && (text.front() == L'+' || text.front() == L'-')) {
        negative = text.front() == L'-';
        text.remove_prefix(1);
    }
    std::string ascii;
    ascii.reserve(text.size());
    size_t i = 0;
    int mantissaDigits = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i, ++mantissaDigits) ascii += static_cast<char>(text[i]);
    if (i < text.size() && text[i] == L'.') {
        ascii += '.';
        for (++i; i < text.size() && IsDigit(text[i]); ++i, ++mantissaDigits) ascii += static_cast<char>(text[i]);
    }
    if (mantissaDigits == 0) Mismatch();
    bool tinyExponent = false;
    if (i < text.size() && (text[i] == L'e' || text[i] == L'E')) {
        ascii += 'e';
        ++i;
        if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) {
            tinyExponent = text[i] == L'-';
            ascii += static_cast<char>(text[i++]);
        }
        int exponentDigits = 0;
        for (; i < text.size() && IsDigit(text[i]); ++i, ++exponentDigits) ascii += static_cast<char>(text[i]);
        if (exponentDigits == 0) Mismatch();
    }
    if (i != text.size()) Mismatch();

    double value = 0;
    const auto [end, ec] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
    if (ec == std::errc::result_out_of_range) {
        if (!tinyExponent) Overflow();
        value = 0;
    } else if (ec != std::errc() || end != ascii.data() + ascii.size()) {
        Mismatch();
    }
    return negative ? -value : value;
}

double ParseNumber(std::wstring_view text) {
    text = Trim(text);
    if (text.size() >= 2 && text[0] == L'&' && (text[1] == L'H' || text[1] == L'h'))
        return ParseHex(text.substr(2));
    return ParseDecimal(text);
}

bool EqualsIgnoringCase(std::wstring_view text, std::wstring_view lowerAscii) {
    return std::equal(text.begin(), text.end(), lowerAscii.begin(), lowerAscii.end(), [](wchar_t a, wchar_t b) {
        return (a >= L'A' && a <= L'Z' ? static_cast<wchar_t>(a - L'A' + L'a') : a) == b;
    });
}

} // namespace

std::int32_t IniToInteger(std::wstring_view text) {
    const double value = ParseNumber(text);
    // Half to even, whatever the floating-point environment's rounding mode is.
    double whole = std::floor(value);
    const double rest = value - whole;
    if (rest > 0.5 || (rest == 0.5 && std::fmod(whole, 2.0) != 0)) whole += 1;
    if (whole < static_cast<double>(std::numeric_limits<std::int32_t>::min()) ||
        whole > static_cast<double>(std::numeric_limits<std::int32_t>::max()))
        Overflow();
    return static_cast<std::int32_t>(whole);
}

bool IniToBoolean(std::wstring_view text) {
    const std::wstring_view t = Trim(text);
    if (EqualsIgnoringCase(t, L"true")) return true;
    if (EqualsIgnoringCase(t, L"false")) return false;
    return ParseNumber(t) != 0;
}

std::wstring IniFromInteger(std::int32_t value) { return std::to_wstring(value); }

std::wstring IniFromBoolean(bool value) { return value ? L"True" : L"False"; }

std::wstring IniReadResult(std::wstring_view buffer, std::size_t copied) {
    if (copied == 0) return {};
    const std::size_t limit = std::min({copied, buffer.size(), kIniValueMaxChars});
    const std::wstring_view value = buffer.substr(0, limit);
    return std::wstring(value.substr(0, value.find(L'\0')));
}

std::wstring IniSafeValue(std::wstring_view value) {
    std::wstring out(value);
    std::replace_if(out.begin(), out.end(), [](wchar_t c) { return c == L'\r' || c == L'\n'; }, L' ');
    return out;
}

std::wstring IniPathFor(std::wstring_view programDir) {
    std::wstring path(programDir);
    if (path.empty() || (path.back() != L'\\' && path.back() != L'/')) path += L'\\';
    return path + L"set.ini";
}

std::wstring ProgramDirectoryOf(std::wstring_view modulePath) {
    const size_t slash = modulePath.find_last_of(L"\\/");
    if (slash == std::wstring_view::npos) return {};
    std::wstring dir(modulePath.substr(0, slash));
    // "C:" alone would name the drive's current directory, not its root.
    if (dir.empty() || dir.back() == L':') dir += modulePath[slash];
    return dir;
}

std::wstring ProgramNameOf(std::wstring_view modulePath) {
    const size_t slash = modulePath.find_last_of(L"\\/");
    std::wstring_view name = slash == std::wstring_view::npos ? modulePath : modulePath.substr(slash + 1);
    const size_t dot = name.find_last_of(L'.');
    if (dot != std::wstring_view::npos) name = name.substr(0, dot);
    return std::wstring(name);
}

std::wstring AutoRunCommand(std::wstring_view programDir, std::wstring_view programName) {
    std::wstring command(programDir);
    if (command.empty() || command.back() != L'\\') command += L'\\';
    command.append(programName).append(L".exe");
    if (command.find(L' ') != std::wstring::npos) command = L'"' + command + L'"';
    return command;
}

std::wstring RegistryText(std::wstring_view data) { return std::wstring(data.substr(0, data.find(L'\0'))); }

bool IsBlank(std::wstring_view text) noexcept {
    return std::all_of(text.begin(), text.end(), [](wchar_t c) { return c == L' '; });
}

std::wstring CaptionSuffix(std::wstring_view caption) {
    if (caption.empty()) return {};
    return std::wstring(kCaptionPrefix).append(caption);
}

std::wstring CaptionText(std::wstring_view suffix) {
    if (suffix.starts_with(kCaptionPrefix)) suffix.remove_prefix(kCaptionPrefix.size());
    return std::wstring(suffix);
}

} // namespace parlix
