// The about box's update check against an HTTP server of the test's own on 127.0.0.1: a newer
// version, the same version, a title whose version is no number, and no server at all.
#include "settings/about_box_win.h"
#include "tests/support/windows.h"

#include <gtest/gtest.h>

#include <winsock2.h>

#include <atomic>
#include <string>
#include <thread>

using namespace parlix;
using namespace parlix::test;

namespace {

// Answers every request with one page, until it goes.
class PageServer {
public:
    explicit PageServer(std::string body) : body_(std::move(body)) {
        WSADATA data;
        ::WSAStartup(MAKEWORD(2, 2), &data);
        listener_ = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(listener_, reinterpret_cast<sockaddr*>(&a), sizeof a);
        int len = sizeof a;
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&a), &len);
        port_ = ntohs(a.sin_port);
        ::listen(listener_, 4);
        thread_ = std::thread([this] { Serve(); });
    }
    ~PageServer() {
        stop_ = true;
        ::closesocket(listener_);
        thread_.join();
        ::WSACleanup();
    }
    [[nodiscard]] std::wstring Url() const {
        return L"http://127.0.0.1:" + std::to_wstring(port_) + L"/Morvane/update2.htm";
    }
    [[nodiscard]] int Requests() const { return requests_; }

private:
    void Serve() {
        while (!stop_) {
            const SOCKET c = ::accept(listener_, nullptr, nullptr);
            if (c == INVALID_SOCKET) return;
            char buffer[4096];
            std::string request;
            while (request.find("\r\n\r\n") == std::string::npos) {
                const int n = ::recv(c, buffer, sizeof buffer, 0);
                if (n <= 0) break;
                request.append(buffer, static_cast<size_t>(n));
            }
            ++requests_;
            const std::string answer = "HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=utf-8\r\nContent-Length: " +
                                       std::to_string(body_.size()) + "\r\nConnection: close\r\n\r\n" + body_;
            ::send(c, answer.data(), static_cast<int>(answer.size()), 0);
            ::shutdown(c, SD_SEND);
            ::closesocket(c);
        }
    }
    std::string body_;
    SOCKET listener_ = INVALID_SOCKET;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::atomic<int> requests_{0};
    std::thread thread_;
};

struct Recorded {
    std::vector<std::wstring> asked;
    std::vector<std::wstring> opened;
};

// Opens an about box on url, presses "检查更新", and waits until the answer was handled.
Recorded Check(const std::wstring& url, int answer = IDYES) {
    Recorded r;
    AboutOptions options;
    options.programTitle = L"Parlix";
    options.updatePage = url;
    options.major = 1;
    options.minor = 0;
    options.ask = [&](HWND, const std::wstring& text, const std::wstring& title, UINT) {
        r.asked.push_back(title + L"|" + text);
        return answer;
    };
    options.open = [&](HWND, const std::wstring& address) { r.opened.push_back(address); };
    AboutBox box(options);
    EXPECT_TRUE(box.Open());
    ::SendMessageW(box.UpdateButton(), BM_CLICK, 0, 0);
    EXPECT_TRUE(box.Checking());
    EXPECT_FALSE(::IsWindowEnabled(box.UpdateButton()));
    EXPECT_EQ(box.UpdateButtonControl().Caption(), L"正在检查");
    ::SendMessageW(box.UpdateButton(), BM_CLICK, 0, 0);  // a second press starts nothing
    EXPECT_TRUE(WaitFor([&] { return !box.Checking(); }));
    EXPECT_TRUE(::IsWindowEnabled(box.UpdateButton()));
    EXPECT_EQ(box.UpdateButtonControl().Caption(), L"检查更新");
    return r;
}

TEST(UpdateCheck, NewerVersionAsksAndOpensTheWebAddress) {
    PageServer server("<html><head><title>version 1.1</title></head><body>http://127.0.0.1/download.htm</body></html>");
    const Recorded r = Check(server.Url());
    ASSERT_EQ(r.asked.size(), 1u);
    EXPECT_EQ(r.asked[0], L"版本更新|发现了新版本v1.1，是否查看？");
    ASSERT_EQ(r.opened.size(), 1u);
    EXPECT_EQ(r.opened[0], L"http://127.0.0.1/download.htm");
    EXPECT_EQ(server.Requests(), 1);
}

TEST(UpdateCheck, NewerVersionWithAnAddressThatIsNoWebPageOpensNothing) {
    PageServer server("<title>version 2.0</title><body>C:\\Windows\\system32\\calc.exe</body>");
    const Recorded r = Check(server.Url());
    EXPECT_EQ(r.asked.size(), 1u);
    EXPECT_TRUE(r.opened.empty());
}

TEST(UpdateCheck, SameVersionIsUpToDate) {
    PageServer server("<html><title>version 1.0</title><body>http://127.0.0.1/</body></html>");
    const Recorded r = Check(server.Url());
    ASSERT_EQ(r.asked.size(), 1u);
    EXPECT_EQ(r.asked[0], L"版本更新|当前已经是最新版本。");
    EXPECT_TRUE(r.opened.empty());
}

TEST(UpdateCheck, LettersForAVersionShowNothing) {
    PageServer server("<html><title>version abc</title><body>http://127.0.0.1/</body></html>");
    const Recorded r = Check(server.Url());
    EXPECT_TRUE(r.asked.empty());
    EXPECT_TRUE(r.opened.empty());
}

TEST(UpdateCheck, UnreachableServerIsUpToDate) {
    // A port that was free a moment ago: nobody listens there.
    WSADATA data;
    ::WSAStartup(MAKEWORD(2, 2), &data);
    const SOCKET s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
    int len = sizeof a;
    ::getsockname(s, reinterpret_cast<sockaddr*>(&a), &len);
    ::closesocket(s);
    ::WSACleanup();
    const Recorded r = Check(L"http://127.0.0.1:" + std::to_wstring(ntohs(a.sin_port)) + L"/Morvane/update2.htm");
    ASSERT_EQ(r.asked.size(), 1u);
    EXPECT_EQ(r.asked[0], L"版本更新|当前已经是最新版本。");
}

TEST(MsgBox, ASecondReportReplacesTheText) {
    MsgBox::Sh(L"AdjustTabWindow\r\n第一");
    const HWND box = MsgBox::Current();
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(::GetWindowLongW(box, GWL_EXSTYLE) & WS_EX_TOPMOST);
    MsgBox::Sh(L"AdjustTabWindow\r\n第二");
    EXPECT_EQ(MsgBox::Current(), box);
    const HWND label = ::FindWindowExW(box, nullptr, L"STATIC", nullptr);
    wchar_t text[100] = {};
    ::GetWindowTextW(label, text, 100);
    EXPECT_STREQ(text, L"AdjustTabWindow\r\n第二");
    ::SendMessageW(::GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    EXPECT_FALSE(::IsWindow(box));
}

}  // namespace
