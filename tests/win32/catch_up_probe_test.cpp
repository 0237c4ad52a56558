// The catch-up probe against a window of another thread that can be held busy: it never waits,
// an answer counts until the next request, and a late answer finds nothing to wake.
#include "capture/catch_up_probe_win.h"
#include "tests/support/windows.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>

namespace parlix::test {
namespace {

// Takes what is waiting: an answer already queued is delivered by now.
void Pump() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
}

// Waits until the client has handled everything sent to it before.
void Flush(HWND client) {
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutW(client, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored);
    Pump();
}

// A window in a thread of its own whose message loop can be held up.
class BusyClient {
public:
    BusyClient()
        : thread_([this] {
              threadId_ = ::GetCurrentThreadId();
              window_ = ::CreateWindowExW(0, L"STATIC", L"client", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
              ready_ = true;
              MSG msg;
              while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
                  if (msg.message == WM_APP) ::WaitForSingleObject(release_.get(), INFINITE);
                  ::DispatchMessageW(&msg);
              }
              ::DestroyWindow(window_);
          }) {
        while (!ready_) std::this_thread::yield();
    }
    ~BusyClient() {
        ::SetEvent(release_.get());
        ::PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
        thread_.join();
    }
    void Hold() {
        ::ResetEvent(release_.get());
        ::PostMessageW(window_, WM_APP, 0, 0);
    }
    void Release() { ::SetEvent(release_.get()); }
    HWND Window() const { return window_; }

private:
    std::unique_ptr<void, decltype(&::CloseHandle)> release_{::CreateEventW(nullptr, TRUE, TRUE, nullptr), ::CloseHandle};
    std::atomic<bool> ready_{false};
    HWND window_ = nullptr;
    DWORD threadId_ = 0;
    std::thread thread_;
};

TEST(CatchUpProbe, AnswersWithoutWaitingAndCountsOnlyUntilTheNextRequest) {
    BusyClient client;
    const HWND w = client.Window();
    int woken = 0;
    CatchUpProbe probe([&] { ++woken; });

    client.Hold();
    probe.Sent(w);
    EXPECT_FALSE(probe.CaughtUp(w, true)) << "a busy client cannot have caught up";
    EXPECT_FALSE(probe.CaughtUp(w, false));
    client.Release();
    EXPECT_TRUE(WaitFor([&] { return woken == 1; })) << "the answer wakes the asker once";
    EXPECT_TRUE(probe.CaughtUp(w, true));
    EXPECT_TRUE(probe.CaughtUp(w, true)) << "the answer counts until the next request";

    probe.Sent(w);
    EXPECT_FALSE(probe.CaughtUp(w, false));
    EXPECT_TRUE(WaitFor([&] { return probe.CaughtUp(w, false); }));
    EXPECT_EQ(woken, 1) << "a question asked without wake wakes nobody";
}

TEST(CatchUpProbe, AnAnswerAboutAnotherWindowOrForAGoneProbeCountsForNothing) {
    BusyClient a, b;
    int woken = 0;
    {
        auto probe = std::make_unique<CatchUpProbe>([&] { ++woken; });
        a.Hold();
        EXPECT_FALSE(probe->CaughtUp(a.Window(), true));
        EXPECT_FALSE(probe->CaughtUp(b.Window(), true)) << "the probe now follows b";
        EXPECT_TRUE(WaitFor([&] { return probe->CaughtUp(b.Window(), true); }));
        const int afterB = woken;
        a.Release();
        // a's answer arrives after the probe moved on: it neither wakes nor counts for b.
        Flush(a.Window());
        EXPECT_EQ(woken, afterB);
        a.Hold();
        EXPECT_FALSE(probe->CaughtUp(a.Window(), true));
    }
    a.Release();
    const int before = woken;
    Flush(a.Window());
    EXPECT_EQ(woken, before) << "the answer to a probe that is gone";
}

}  // namespace
}  // namespace parlix::test
