#include "settings/update_check_win.h"

#include "settings/dialog_rules.h"

#include <wininet.h>

#include <cwctype>
#include <mutex>
#include <string>
#include <thread>
#include <utility>

namespace parlix {

namespace {

struct InternetHandleCloser {
    void operator()(HINTERNET h) const noexcept {
        if (h) ::InternetCloseHandle(h);
    }
};
using InternetHandle = std::unique_ptr<void, InternetHandleCloser>;

std::wstring LowerAscii(std::string_view text) {
    std::wstring out;
    for (char c : text) out += static_cast<wchar_t>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return out;
}

std::wstring Decode(const std::string& bytes, UINT codePage, DWORD flags = 0) {
    if (bytes.empty()) return {};
    const int n = ::MultiByteToWideChar(codePage, flags, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    if (n <= 0) return {};
    std::wstring text(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(codePage, flags, bytes.data(), static_cast<int>(bytes.size()), text.data(), n);
    return text;
}

// The answer's charset from its Content-Type or the page's own meta tag; UTF-8 when the bytes are
// valid UTF-8 and nothing says otherwise; else the system code page.
std::wstring DecodePage(const std::string& bytes, const std::wstring& contentType) {
    const std::wstring head = LowerAscii(std::string_view(bytes).substr(0, 2048));
    const std::wstring type = contentType;
    auto says = [&](std::wstring_view name) {
        return type.find(name) != std::wstring::npos || head.find(std::wstring(L"charset=") + std::wstring(name)) !=
                                                            std::wstring::npos ||
               head.find(std::wstring(L"charset=\"") + std::wstring(name)) != std::wstring::npos;
    };
    if (says(L"utf-8")) return Decode(bytes, CP_UTF8);
    if (says(L"gb2312") || says(L"gbk") || says(L"gb18030")) return Decode(bytes, 936);
    std::wstring text = Decode(bytes, CP_UTF8, MB_ERR_INVALID_CHARS);
    return text.empty() ? Decode(bytes, CP_ACP) : text;
}

}  // namespace

FetchedPage FetchPage(const std::wstring& url, DWORD timeoutMs) {
    FetchedPage page;
    if (!IsWebAddress(url)) return page;
    // What an earlier check left in the cache is never read.
    ::DeleteUrlCacheEntryW(url.c_str());
    InternetHandle session(::InternetOpenW(L"Parlix", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!session) return page;
    for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT})
        ::InternetSetOptionW(session.get(), option, &timeoutMs, sizeof timeoutMs);
    constexpr DWORD kFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE |
                             INTERNET_FLAG_NO_UI | INTERNET_FLAG_NO_COOKIES;
    InternetHandle request(::InternetOpenUrlW(session.get(), url.c_str(), nullptr, 0, kFlags, 0));
    if (!request) return page;
    DWORD status = 0;
    DWORD size = sizeof status;
    if (!::HttpQueryInfoW(request.get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr) ||
        status != 200)
        return page;
    wchar_t typeBuffer[256] = {};
    DWORD typeSize = sizeof typeBuffer;
    std::wstring contentType;
    if (::HttpQueryInfoW(request.get(), HTTP_QUERY_CONTENT_TYPE, typeBuffer, &typeSize, nullptr))
        for (const wchar_t* p = typeBuffer; *p; ++p) contentType += static_cast<wchar_t>(std::towlower(*p));
    std::string bytes;
    char chunk[4096];
    for (;;) {
        DWORD read = 0;
        if (!::InternetReadFile(request.get(), chunk, sizeof chunk, &read)) return page;
        if (read == 0) break;
        bytes.append(chunk, read);
        if (bytes.size() >= kUpdatePageLimit) {
            bytes.resize(kUpdatePageLimit);
            break;
        }
    }
    page.ok = true;
    page.html = DecodePage(bytes, contentType);
    return page;
}

struct PageFetcher::Shared {
    std::mutex mutex;
    std::optional<FetchedPage> answer;
};

void PageFetcher::Start(HWND window, UINT message, std::wstring url) {
    shared_ = std::make_shared<Shared>();
    const WPARAM request = ++request_;
    // The thread holds the shared answer, never this object: the about box may close first.
    std::thread([shared = shared_, window, message, request, url = std::move(url)] {
        FetchedPage page;
        try {
            page = FetchPage(url);
        } catch (...) {
            page = {};
        }
        {
            const std::lock_guard lock(shared->mutex);
            shared->answer = std::move(page);
        }
        ::PostMessageW(window, message, request, 0);
    }).detach();
}

std::optional<FetchedPage> PageFetcher::Take(WPARAM request) {
    if (request != request_ || !shared_) return std::nullopt;
    const std::lock_guard lock(shared_->mutex);
    return std::exchange(shared_->answer, std::nullopt);
}

}  // namespace parlix
