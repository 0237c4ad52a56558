// Helpers of the fakeim tests: reading the simulated windows from outside, as the capture
// engine does.
#pragma once

#include "base/window_text_win.h"
#include "tools/fakeim/class_names.h"
#include "tools/fakeim/protocol.h"

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace parlix::test {

// The Fetion suffix of a window's class (empty for other classes).
inline std::wstring FetionSuffixOf(HWND hwnd) {
    const std::wstring cls = WindowClass(hwnd);
    const std::wstring prefix(fakeim::kFetionWindowPrefix);
    return cls.rfind(prefix, 0) == 0 ? cls.substr(prefix.size()) : std::wstring();
}

// A window's children, depth first, as "Class'title'{children}" joined by ",". Hidden windows
// get a leading "~"; rich-edit text is left out; Fetion classes with the given suffix read W
// (window), E (rich edit), B (button), S (static).
inline std::wstring DescribeChildren(HWND parent, const std::wstring& suffix = {}) {
    std::wstring out;
    for (HWND c = ::GetWindow(parent, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) {
        if (!out.empty()) out += L",";
        if (!(::GetWindowLongW(c, GWL_STYLE) & WS_VISIBLE)) out += L"~";
        std::wstring cls = WindowClass(c);
        const bool edit =
            cls.find(L"RichEdit") != std::wstring::npos || cls.find(L"RICHEDIT") != std::wstring::npos;
        if (!suffix.empty()) {
            const std::pair<std::wstring_view, const wchar_t*> shortNames[] = {
                {fakeim::kFetionWindowPrefix, L"W"},
                {fakeim::kFetionRichEditPrefix, L"E"},
                {fakeim::kFetionButtonPrefix, L"B"},
                {fakeim::kFetionStaticPrefix, L"S"},
            };
            for (const auto& [prefix, name] : shortNames)
                if (cls == std::wstring(prefix) + suffix) cls = name;
        }
        out += cls;
        const std::wstring title = WindowTitle(c);
        if (!edit && !title.empty()) out += L"'" + title + L"'";
        const std::wstring inner = DescribeChildren(c, suffix);
        if (!inner.empty()) out += L"{" + inner + L"}";
    }
    return out;
}

// The text of a history record in process, read at the address the window publishes.
struct RecordText {
    std::uintptr_t address = 0;
    fakeim::HistoryRecord record{};
    std::wstring text;
};

inline std::optional<RecordText> ReadRecord(HANDLE process, HWND hwnd) {
    RecordText r;
    r.address = reinterpret_cast<std::uintptr_t>(::GetPropW(hwnd, fakeim::kHistoryProp));
    if (!r.address) return std::nullopt;
    SIZE_T got = 0;
    if (!::ReadProcessMemory(process, reinterpret_cast<const void*>(r.address), &r.record, sizeof r.record,
                             &got))
        return std::nullopt;
    if (r.record.bytes % 2 != 0 || r.record.bytes > 1'000'000) return std::nullopt;
    r.text.resize(r.record.bytes / 2);
    if (!r.text.empty() &&
        !::ReadProcessMemory(process,
                             reinterpret_cast<const void*>(static_cast<std::uintptr_t>(r.record.text)),
                             r.text.data(), r.record.bytes, &got))
        return std::nullopt;
    return r;
}

// Window text of a control in another process, with a bounded wait.
inline std::optional<std::wstring> ControlText(HWND hwnd) {
    DWORD_PTR length = 0;
    if (!::SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length))
        return std::nullopt;
    // Twice the length: Wine gives nothing at all when the buffer is too small for the text
    // of an ANSI rich edit in its code page (DBCS characters take two bytes there).
    std::wstring text(length * 2 + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!::SendMessageTimeoutW(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                               SMTO_ABORTIFHUNG, 2000, &copied))
        return std::nullopt;
    text.resize(copied);
    return text;
}

} // namespace parlix::test
