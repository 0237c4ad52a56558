// Whether a client has carried out the requests sent to one of its windows, found without
// waiting for it: a WM_NULL sent with SendMessageCallback comes back once the client has
// handled every message sent to it before. One question is out at a time; its answer counts
// until the next request sent to that window.
#pragma once

#include <windows.h>

#include <functional>

namespace parlix {

class CatchUpProbe {
public:
    // answered runs when an answer to a question asked with wake comes back. It runs in this
    // thread's message loop, possibly while another call of this thread waits: it may only post.
    explicit CatchUpProbe(std::function<void()> answered) : answered_(std::move(answered)) {}
    ~CatchUpProbe();
    CatchUpProbe(const CatchUpProbe&) = delete;
    CatchUpProbe& operator=(const CatchUpProbe&) = delete;

    // A request went to window: answers to earlier questions no longer count for it.
    void Sent(HWND window);
    // True when window's client has answered since the last request sent to it. Otherwise asks
    // it, unless a question is already out, and returns false at once.
    [[nodiscard]] bool CaughtUp(HWND window, bool wake);

private:
    static void CALLBACK OnAnswer(HWND window, UINT, ULONG_PTR question, LRESULT);
    void Track(HWND window);

    std::function<void()> answered_;
    HWND window_ = nullptr;     // the window the counts are about (Track)
    unsigned requests_ = 0;     // requests sent to it
    ULONG_PTR question_ = 0;    // the question out, 0 when none
    unsigned askedAt_ = 0;      // requests_ when it was asked
    bool wake_ = false;         // answered_ runs on its answer
    bool hasAnswer_ = false;
    unsigned answeredAt_ = 0;   // requests_ at the question last answered
};

}  // namespace parlix
