// The update check's download: the update page fetched over HTTP on a thread of its own, so the
// about box keeps answering while the server is slow or away. Connecting, sending and receiving
// each give up after kUpdateTimeoutMs; at most kUpdatePageLimit bytes are read.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>

namespace parlix {

inline constexpr DWORD kUpdateTimeoutMs = 10000;
inline constexpr std::size_t kUpdatePageLimit = 256 * 1024;

struct FetchedPage {
    bool ok = false;    // an HTTP 200 answer was read
    std::wstring html;  // decoded as the answer's charset says (UTF-8 or the system code page)
};

// Blocking fetch, bypassing every cache. Only http and https addresses are fetched.
[[nodiscard]] FetchedPage FetchPage(const std::wstring& url, DWORD timeoutMs = kUpdateTimeoutMs);

class PageFetcher {
public:
    // Fetches url on a new thread and posts message (wParam = the request's number) to window
    // when done. A later Start makes the answer of an earlier one ignored.
    void Start(HWND window, UINT message, std::wstring url);
    // The answer of the request of that number, once it has arrived (taken once).
    [[nodiscard]] std::optional<FetchedPage> Take(WPARAM request);

private:
    struct Shared;
    std::shared_ptr<Shared> shared_;
    WPARAM request_ = 0;
};

}  // namespace parlix
