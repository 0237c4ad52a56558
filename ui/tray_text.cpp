#include "ui/tray_text.h"

#include <algorithm>

namespace parlix {

namespace {
bool IsHighSurrogate(wchar_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}
bool IsLowSurrogate(wchar_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}
}  // namespace

std::wstring FitTrayField(std::wstring_view text, std::size_t fieldBytes, const CodePageWidth& width) {
    if (fieldBytes == 0) return {};
    text = text.substr(0, std::min(text.find(L'\0'), text.size()));
    const std::size_t budget = fieldBytes - 1;  // room left for the NUL
    std::size_t bytes = 0;
    std::size_t end = 0;
    while (end < text.size()) {
        const std::size_t units =
            (IsHighSurrogate(text[end]) && end + 1 < text.size() && IsLowSurrogate(text[end + 1])) ? 2 : 1;
        // A character always costs at least one byte, whatever the measure says.
        const std::size_t cost = std::max<std::size_t>(1, width(text.substr(end, units)));
        if (bytes + cost > budget || end + units > budget) break;
        bytes += cost;
        end += units;
    }
    return std::wstring(text.substr(0, end));
}

}  // namespace parlix
