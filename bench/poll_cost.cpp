// poll_cost: what one new-message poll tick costs the user-interface thread with 50 captured
// chats of about 100 KB history each and a new message every fifth tick (one per second at the
// 200 ms tick), measuring first and reading only a changed history, beside reading every
// history at every tick. Prints wall-clock and thread CPU time per tick and the ratio, then the
// longest tick after one client crashed and while another hangs (bounded by the poll's timeout).
#include "capture/attach_win.h"
#include "capture/tab_registry_win.h"
#include "tests/support/fakeim_client.h"
#include "tests/support/process.h"
#include "tests/support/tab_nodes.h"
#include "ui/message_poll_win.h"

#include <algorithm>
#include <cstdio>
#include <functional>

using namespace parlix;
using namespace parlix::test;

namespace {

constexpr int kClients = 5;
constexpr int kTabsPerClient = 10;
constexpr size_t kHistoryChars = 51200;  // 100 KB of UTF-16
constexpr int kTicks = 100;
constexpr int kTicksPerMessage = 5;

class QuietHost final : public MessagePollHost {
public:
    int CurrentTab() const override { return -1; }
    bool MainIsActive() const override { return true; }
    bool Silent() const override { return false; }
    void SetItemText(int, const std::wstring&) override {}
    void HilightItem(int, bool) override {}
    void ShowTray(const std::wstring&, const std::wstring&, int) override {}
    std::wstring MainCaption() const override { return {}; }
    void SetMainCaption(const std::wstring&) override {}
    void SetTrayTip(const std::wstring&) override {}
    void ApplyMaximizeBox() override {}
    void SelectTab(int) override {}
    void FlashMain() override {}
    void EnableFlashTimer(bool) override {}
    void SetTrayIcon(TrayIconKind) override {}
};

double ThreadCpuMs() {
    FILETIME created, exited, kernel, user;
    ::GetThreadTimes(::GetCurrentThread(), &created, &exited, &kernel, &user);
    const auto ms = [](FILETIME f) {
        return static_cast<double>((static_cast<ULONGLONG>(f.dwHighDateTime) << 32) | f.dwLowDateTime) / 10000.0;
    };
    return ms(kernel) + ms(user);
}

double NowMs() {
    LARGE_INTEGER f, c;
    ::QueryPerformanceFrequency(&f);
    ::QueryPerformanceCounter(&c);
    return 1000.0 * static_cast<double>(c.QuadPart) / static_cast<double>(f.QuadPart);
}

struct Cost {
    double wallMs = 0;  // per tick
    double cpuMs = 0;
};

// Runs kTicks ticks; before every kTicksPerMessage-th tick (when messages is set) one chat gets
// a new message. Only the ticks are timed.
Cost Measure(const std::function<void()>& tick, const std::function<void(int)>& message, bool messages) {
    double wall = 0, cpu = 0;
    for (int t = 0; t < kTicks; ++t) {
        if (messages && t % kTicksPerMessage == 0) message(t / kTicksPerMessage);
        const double w0 = NowMs(), c0 = ThreadCpuMs();
        tick();
        cpu += ThreadCpuMs() - c0;
        wall += NowMs() - w0;
    }
    return {wall / kTicks, cpu / kTicks};
}

// The longest of a few ticks, in milliseconds.
double WorstTick(const std::function<void()>& tick) {
    double worst = 0;
    for (int t = 0; t < 10; ++t) {
        const double w0 = NowMs();
        tick();
        worst = std::max(worst, NowMs() - w0);
    }
    return worst;
}

}  // namespace

int wmain() {
    TempDir dir(L"parlix-bench-poll");
    GdiNodeResourceFactory factory(nullptr);
    TabRegistry registry(factory);
    ClientCalls calls;
    std::vector<std::unique_ptr<FakeIm>> clients;
    std::vector<std::pair<FakeIm*, HWND>> chats;

    std::wstring history;
    for (int line = 0; history.size() < kHistoryChars; ++line)
        history += L"\\n小明 10:00:00\\n这是第" + std::to_wstring(line) + L"条消息，内容比较长一些，用来填满聊天记录。";
    for (int c = 0; c < kClients; ++c) {
        clients.push_back(FakeIm::Launch(dir.Path(), L"QQ" + std::to_wstring(c) + L".exe"));
        if (!clients.back()) {
            std::fprintf(stderr, "could not start the simulator\n");
            return 1;
        }
        for (int i = 0; i < kTabsPerClient; ++i) {
            const HWND w = clients.back()->Open(L"qq2008", L"联系人" + std::to_wstring(c * kTabsPerClient + i));
            if (!w || !clients.back()->Command(L"append|" + HwndArg(w) + L"|" + history, 30s) ||
                !AddTabNode(registry, calls, w, IM_VERSION::QQ, L"联系人")) {
                std::fprintf(stderr, "could not open a chat\n");
                return 1;
            }
            chats.emplace_back(clients.back().get(), w);
        }
    }
    const auto message = [&](int k) {
        const auto& [im, w] = chats[static_cast<size_t>(k * 7) % chats.size()];
        im->Command(L"append|" + HwndArg(w) + L"|\\n小红 10:01:00\\n新消息 " + std::to_wstring(k));
    };

    // Every history read in full at every tick.
    const auto literal = [&] {
        for (const auto& node : registry.Nodes()) {
            const auto n = HistoryLength(calls, *node);
            if (n && *n != node->window.Msg) node->window.Msg = *n;
        }
    };
    Settings settings;
    QuietHost host;
    MessagePoll poll(registry, calls, settings, host);
    poll.Tick();  // the first tick reads each history once

    const Cost full = Measure(literal, message, true);
    const Cost cheap = Measure([&] { poll.Tick(); }, message, true);
    const Cost idle = Measure([&] { poll.Tick(); }, message, false);

    std::printf("tabs %d, history about %d characters each, a new message every %d ticks, %d ticks\n",
                static_cast<int>(chats.size()), registry.GetNode(1)->window.Msg, kTicksPerMessage, kTicks);
    std::printf("read everything:  wall %8.3f ms/tick  cpu %8.3f ms/tick\n", full.wallMs, full.cpuMs);
    std::printf("length first:     wall %8.3f ms/tick  cpu %8.3f ms/tick\n", cheap.wallMs, cheap.cpuMs);
    std::printf("length first idle: wall %7.3f ms/tick  cpu %8.3f ms/tick\n", idle.wallMs, idle.cpuMs);
    std::printf("ratio (wall): %.1fx  ratio (cpu): %.1fx\n", full.wallMs / std::max(cheap.wallMs, 1e-6),
                full.cpuMs / std::max(cheap.cpuMs, 1e-6));

    // One client crashes; then another stops answering for longer than the ticks take.
    clients[1]->Command(L"crash");
    clients[1]->Proc().Wait(30s);
    const double dead = WorstTick([&] { poll.Tick(); });
    std::printf("one client dead:  worst tick %8.3f ms\n", dead);
    clients[0]->Command(L"hang|10000");
    const double hung = WorstTick([&] { poll.Tick(); });
    std::printf("one client hung:  worst tick %8.3f ms (poll timeout %u ms)\n", hung, kPollTimeoutMs);
    return 0;
}
