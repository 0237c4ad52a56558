#include "ui/message_notice.h"

#include <algorithm>

namespace parlix {

namespace {

constexpr long long kShrunkTail = 70;  // characters shown when the history did not grow
constexpr std::wstring_view kPicture = L"[图片]";
constexpr wchar_t kObjectMark = L'\xFFFC';  // an embedded picture in a memory history

std::wstring Last(std::wstring_view text, long long count) {
    const auto size = static_cast<long long>(text.size());
    const long long k = std::clamp(count, 0LL, size);
    return std::wstring(text.substr(static_cast<size_t>(size - k)));
}

std::wstring ReplaceAll(std::wstring_view text, wchar_t from, std::wstring_view to) {
    std::wstring out;
    out.reserve(text.size());
    for (const wchar_t c : text) {
        if (c == from) out += to;
        else out += c;
    }
    return out;
}

// The memory histories end lines with a bare CR; a CR that already has its LF keeps it as it is.
std::wstring WidenLineBreaks(std::wstring_view text) {
    std::wstring out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        out += text[i];
        if (text[i] == L'\r' && (i + 1 == text.size() || text[i + 1] != L'\n')) out += L'\n';
    }
    return out;
}

}  // namespace

std::wstring NoticeTitle(std::wstring_view caption) { return std::wstring(caption) + L"的新消息"; }

std::wstring ComposeNoticeBody(IM_VERSION kind, std::wstring_view text, long long n, long long p) {
    const long long added = n - p;
    if (ReadsHistoryFromMemory(kind)) {
        if (added < 1) return Last(text, kShrunkTail);
        return WidenLineBreaks(ReplaceAll(Last(text, added), kObjectMark, kPicture));
    }
    // The other clients start each message with a line break that is not part of it.
    std::wstring body = added < 1 ? Last(text, kShrunkTail) : Last(text, IsFetion(kind) ? added : added - 2);
    if (kind == IM_VERSION::TM2005 || kind == IM_VERSION::TM2007) return body;
    // A rich-edit box gives each picture as a space; the sender's line keeps its spaces.
    const size_t lineEnd = body.find(L"\r\n");
    if (lineEnd == std::wstring::npos) return body;
    return body.substr(0, lineEnd) + ReplaceAll(std::wstring_view(body).substr(lineEnd), L' ', kPicture);
}

PollEffects DecidePollEffects(const PollFacts& f) noexcept {
    PollEffects e;
    e.markUnread = !f.isCurrentTab;
    const bool wanted = !f.silent && f.msgTip && ((!f.isCurrentTab && f.alwaysShowTip) || !f.mainIsActive);
    if (wanted) {
        if (!f.pluginEnabled) e.notice = NoticeRoute::Tray;
        else if (f.pluginConnected) e.notice = NoticeRoute::Plugin;
    }
    e.attention = !f.mainIsActive;
    e.switchTab = e.attention && f.autoSwitch;
    return e;
}

}  // namespace parlix
