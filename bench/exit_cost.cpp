// exit_cost: how long Parlix takes to give every captured window back when it exits, beside
// the tab-by-tab cost (each window popped out on its own, the next tab selected and laid out
// each time), for 8, 25 and 100 captured windows; then 8 windows of three clients with one
// client hung: how long the healthy clients wait for their windows, and when the hung client's
// window comes back (once it answers again).
#include "tests/support/clean_state.h"
#include "tests/support/fakeim_client.h"
#include "tests/support/parlix_app.h"
#include "tests/support/windows.h"
#include "ui/menu_ids.h"

#include <cstdio>
#include <string>
#include <vector>

using namespace parlix::test;

namespace {

double NowMs() {
    LARGE_INTEGER f, c;
    ::QueryPerformanceFrequency(&f);
    ::QueryPerformanceCounter(&c);
    return 1000.0 * static_cast<double>(c.QuadPart) / static_cast<double>(f.QuadPart);
}

bool TopLevel(HWND w) { return ::IsWindow(w) && ::GetAncestor(w, GA_ROOT) == w; }

bool AllTopLevel(const std::vector<HWND>& windows) {
    for (HWND w : windows)
        if (!TopLevel(w)) return false;
    return true;
}

// Opens count chats in im and waits until each is a tab.
std::vector<HWND> CaptureChats(FakeIm& im, const ParlixApp& app, int count, const wchar_t* kind, int first) {
    std::vector<HWND> windows;
    for (int i = 0; i < count; ++i) {
        const std::wstring title = std::wstring(L"与 用户") + std::to_wstring(first + i) + L" 交谈中";
        const std::wstring at =
            L"at=" + std::to_wstring(200 + (i % 10) * 20) + L"," + std::to_wstring(100 + (i % 10) * 15) + L",420,360";
        const HWND w = im.Open(kind, title, at);
        if (!w || !app.WaitForTab(w)) return {};
        windows.push_back(w);
    }
    return windows;
}

// Milliseconds from the close request until every window is top-level again (-1: not within
// the deadline).
double ExitMs(ParlixApp& app, const std::vector<HWND>& windows) {
    // What the last capture set going (focus, the tab's first read) is over first.
    app.WaitIdle();
    const double start = NowMs();
    ::PostMessageW(app.MainWindow(), WM_CLOSE, 0, 0);
    if (!WaitFor([&] { return AllTopLevel(windows); }, kPatience, 1ms)) return -1;
    return NowMs() - start;
}

bool SizeRow(const std::filesystem::path& dir, int count) {
    auto qq = FakeIm::Launch(dir, L"QQ.exe", {L"main|1"});
    auto app = qq ? ParlixApp::Launch(dir) : nullptr;
    if (!app) return false;
    // Tab by tab: each pop-out selects and lays out the next tab.
    std::vector<HWND> windows = CaptureChats(*qq, *app, count, L"dialog", 0);
    if (windows.empty()) return false;
    double start = NowMs();
    for (int i = 0; i < count; ++i)
        if (!app->Command(parlix::mnuPop)) return false;
    if (!WaitFor([&] { return AllTopLevel(windows); })) return false;
    const double tabByTab = NowMs() - start;
    for (HWND w : windows) qq->Command(L"close|" + HwndArg(w));

    windows = CaptureChats(*qq, *app, count, L"dialog", count);
    if (windows.empty()) return false;
    const double exit = ExitMs(*app, windows);
    app->Proc().Wait(kPatience);
    std::printf("%8d %16.0f %16.0f %12.1f\n", count, tabByTab, exit, tabByTab / count);
    qq->Command(L"quit");
    return exit >= 0;
}

bool HungRow(const std::filesystem::path& dir) {
    auto qq = FakeIm::Launch(dir, L"QQ.exe", {L"main|1"});
    auto tm = FakeIm::Launch(dir, L"TM.exe", {L"main|12"});
    auto baidu = FakeIm::Launch(dir, L"BaiduHi.exe", {L"main|17"});
    auto app = qq && tm && baidu ? ParlixApp::Launch(dir) : nullptr;
    if (!app) return false;
    std::vector<HWND> healthy = CaptureChats(*qq, *app, 3, L"dialog", 0);
    const std::vector<HWND> hung = CaptureChats(*tm, *app, 3, L"tm2007", 3);
    const std::vector<HWND> baiduChats = CaptureChats(*baidu, *app, 2, L"dialog", 6);
    if (healthy.empty() || hung.empty() || baiduChats.empty()) return false;
    healthy.insert(healthy.end(), baiduChats.begin(), baiduChats.end());
    constexpr int kHangMs = 10000;
    if (tm->Command(L"hang|" + std::to_wstring(kHangMs)) != 1) return false;
    const double healthyMs = ExitMs(*app, healthy);
    const double start = NowMs() - healthyMs;
    const bool hungBack = WaitFor([&] { return AllTopLevel(hung); });
    const double hungMs = NowMs() - start;
    const bool ended = app->Proc().Wait(kPatience);
    std::printf("8 windows of 3 clients, one client (3 windows) hung for %d ms at the exit:\n", kHangMs);
    std::printf("  the 5 healthy windows back after %.0f ms\n", healthyMs);
    std::printf("  the hung client's windows back %s after %.0f ms; Parlix %s\n", hungBack ? "" : "NOT", hungMs,
                ended ? "ended after that" : "did not end");
    return healthyMs >= 0 && hungBack && ended;
}

}  // namespace

int wmain() {
    ResetUserState();
    std::printf("exit_cost: milliseconds until every captured window is top-level again\n");
    std::printf("%8s %16s %16s %12s\n", "windows", "tab by tab", "exit", "ms per tab");
    bool ok = true;
    for (int count : {8, 25, 100}) {
        TempDir dir(L"parlix-exit-cost");
        if (!SizeRow(dir.Path(), count)) {
            std::fprintf(stderr, "%d windows: could not capture or give back\n", count);
            ok = false;
        }
    }
    TempDir dir(L"parlix-exit-hung");
    if (!HungRow(dir.Path())) {
        std::fprintf(stderr, "the run with a hung client failed\n");
        ok = false;
    }
    return ok ? 0 : 2;
}
