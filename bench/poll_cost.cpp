// poll_cost: what the new-message poll costs with 50 captured chats of about 100 KB history each
// and a new message every fifth tick (one per second at the 200 ms tick). Beside reading every
// history at every tick on the UI thread: the whole poll on the calling thread (every tab
// measured, a changed one read), and the poll as the program runs it, on its worker, reading the
// tabs a notice named plus the sweep every few seconds: the time until a round's results are
// applied, and what a tick costs the UI thread (wall and CPU), with messages and idle. Then the
// longest round after one client crashed and while another hangs (bounded by the poll's timeout).
// Each figure is printed beside its goal.
#include "base/handle_value_win.h"
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

// The program's side of the worker: the main window takes the results when they are posted.
// Time and CPU spent on this thread by the poll (Schedule and TakeResults) are added up.
struct UiThread {
    static constexpr UINT kResults = WM_APP + 11;
    MessagePoll* poll = nullptr;
    double wallMs = 0;
    double cpuMs = 0;
    HWND hwnd = nullptr;

    void Create() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = Proc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"PollCostResults";
        ::RegisterClassW(&wc);
        hwnd = ::CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    template <typename F>
    void Timed(F&& f) {
        const double w0 = NowMs(), c0 = ThreadCpuMs();
        f();
        cpuMs += ThreadCpuMs() - c0;
        wallMs += NowMs() - w0;
    }
    // Pumps until the round in flight is applied.
    void WaitRound() {
        while (poll->Busy()) {
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 1000, QS_ALLINPUT);
            MSG msg;
            while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
        }
    }
    static LRESULT CALLBACK Proc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
        if (msg != kResults) return ::DefWindowProcW(w, msg, wp, lp);
        auto* self = reinterpret_cast<UiThread*>(::GetWindowLongPtrW(w, GWLP_USERDATA));
        self->Timed([&] { self->poll->TakeResults(); });
        return 0;
    }
};

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
    poll.Tick();  // the first poll reads each history once

    const Cost full = Measure(literal, message, true);
    const Cost whole = Measure([&] { poll.Tick(); }, message, true);

    // The poll as the program runs it. The simulator has no hook library in it: the notice the
    // library would post as the box changes is given to the poll here.
    UiThread ui;
    ui.poll = &poll;
    ui.Create();
    poll.Start(ui.hwnd, UiThread::kResults);
    ui.Timed([&] { poll.Schedule(); });  // the first sweep
    ui.WaitRound();
    const auto noticed = [&](int k) {
        message(k);
        const auto& [im, w] = chats[static_cast<size_t>(k * 7) % chats.size()];
        poll.HistoryChanged(Window(registry.GetNode(registry.PositionOfWindow(Value(w)))->window.ChatHwnd));
    };
    ui.wallMs = ui.cpuMs = 0;
    const Cost rounds = Measure(
        [&] {
            ui.Timed([&] { poll.Schedule(); });
            ui.WaitRound();
        },
        noticed, true);
    const Cost uiBusy{ui.wallMs / kTicks, ui.cpuMs / kTicks};

    // Idle, at the program's pace (a tick every 200 ms, so the sweep comes in its turn).
    constexpr int kIdleTicks = 50;
    ui.wallMs = ui.cpuMs = 0;
    for (int t = 0; t < kIdleTicks; ++t) {
        ui.Timed([&] { poll.Schedule(); });
        const double until = NowMs() + 200;
        while (NowMs() < until) {
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
            MSG msg;
            while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
        }
    }
    const Cost uiIdle{ui.wallMs / kIdleTicks, ui.cpuMs / kIdleTicks};
    // What taking the times costs by itself (under Wine the thread times are a server call).
    ui.wallMs = ui.cpuMs = 0;
    for (int t = 0; t < kIdleTicks; ++t) ui.Timed([] {});
    const Cost clock{ui.wallMs / kIdleTicks, ui.cpuMs / kIdleTicks};

    std::printf("tabs %d, history about %d characters each, a new message every %d ticks, %d ticks\n",
                static_cast<int>(chats.size()), registry.GetNode(1)->window.Msg, kTicksPerMessage, kTicks);
    std::printf("%-44s %12s %12s\n", "", "wall ms", "cpu ms");
    std::printf("%-44s %12.3f %12.3f\n", "read everything, per tick (UI thread)", full.wallMs, full.cpuMs);
    std::printf("%-44s %12.3f %12.3f\n", "whole poll on the caller, per tick", whole.wallMs, whole.cpuMs);
    std::printf("%-44s %12.3f %12.3f\n", "worker round until applied, per tick (cpu: UI)", rounds.wallMs,
                rounds.cpuMs);
    std::printf("%-44s %12.3f %12.3f\n", "UI thread per tick, messages", uiBusy.wallMs, uiBusy.cpuMs);
    std::printf("%-44s %12.3f %12.3f\n", "UI thread per tick, idle (sweep every 3 s)", uiIdle.wallMs, uiIdle.cpuMs);
    std::printf("%-44s %12s %12s %12s\n", "figure", "goal", "measured", "floor");
    std::printf("%-44s %12s %11.1fx %12s\n", "read everything / worker round (wall)", ">= 20x",
                full.wallMs / std::max(rounds.wallMs, 1e-6), "-");
    std::printf("%-44s %12s %11.1fx %12s\n", "read everything / whole poll (wall)", "-",
                full.wallMs / std::max(whole.wallMs, 1e-6), "-");
    // The floor of the UI-thread figures: timing an empty call.
    std::printf("%-44s %12s %12.3f %12.3f\n", "idle tick, UI-thread wall ms", "<= 1 ms", uiIdle.wallMs, clock.wallMs);
    std::printf("%-44s %12s %12.3f %12.3f\n", "idle tick, UI-thread cpu ms", "<= 1 ms", uiIdle.cpuMs, clock.cpuMs);

    // One client crashes; then another stops answering for longer than the rounds take.
    const auto worstRound = [&] {
        return WorstTick([&] {
            // Every tab named, as after a burst of notices: the round reads them all.
            for (const auto& node : registry.Nodes()) poll.HistoryChanged(Window(node->window.ChatHwnd));
            poll.Schedule();
            ui.WaitRound();
        });
    };
    clients[1]->Command(L"crash");
    clients[1]->Proc().Wait(30s);
    const double dead = worstRound();
    std::printf("one client dead:  worst round %8.3f ms\n", dead);
    clients[0]->Command(L"hang|10000");
    const double hung = worstRound();
    std::printf("one client hung:  worst round %8.3f ms (poll timeout %u ms)\n", hung, kPollTimeoutMs);
    return 0;
}
