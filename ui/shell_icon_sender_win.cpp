#include "ui/shell_icon_sender_win.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <utility>

namespace parlix {

// Shared by the sender and its thread: a thread still inside a call to a hung shell when the
// sender goes keeps it alive, and ends with the process.
struct ShellIconSender::State {
    std::mutex lock;
    std::condition_variable wake;  // a call was queued, or stop
    std::condition_variable done;  // a call was made
    std::deque<std::pair<DWORD, NOTIFYICONDATAW>> queue;
    bool busy = false;             // a call is being made
    bool stop = false;
    bool refused = false;          // since the last TakeRefused
    bool refusedSinceFlush = false;

    void Run() noexcept {
        std::unique_lock hold(lock);
        for (;;) {
            wake.wait(hold, [this] { return stop || !queue.empty(); });
            if (queue.empty()) return;  // stopped, and nothing left to make
            auto [message, record] = queue.front();
            queue.pop_front();
            busy = true;
            hold.unlock();
            const bool accepted = ::Shell_NotifyIconW(message, &record) != FALSE;
            hold.lock();
            busy = false;
            // A delete of an icon the shell no longer has (a restarted shell) is no fault.
            if (!accepted && message != NIM_DELETE) refused = true;
            if (!accepted) refusedSinceFlush = true;
            done.notify_all();
        }
    }
};

ShellIconSender::ShellIconSender() : state_(std::make_shared<State>()) {
    std::thread([state = state_] { state->Run(); }).detach();
}

ShellIconSender::~ShellIconSender() {
    // A shell that did not answer the last flush in time is not waited for a second time.
    if (!stuck_) (void)Flush(kShellDrainMs);
    {
        std::lock_guard hold(state_->lock);
        state_->stop = true;
    }
    state_->wake.notify_all();
}

void ShellIconSender::Send(DWORD message, const NOTIFYICONDATAW& record) {
    ++calls_;
    {
        std::lock_guard hold(state_->lock);
        state_->queue.emplace_back(message, record);
    }
    state_->wake.notify_one();
}

bool ShellIconSender::Flush(DWORD timeoutMs) {
    std::unique_lock hold(state_->lock);
    const bool made = state_->done.wait_for(hold, std::chrono::milliseconds(timeoutMs),
                                            [this] { return state_->queue.empty() && !state_->busy; });
    stuck_ = !made;
    return made && !std::exchange(state_->refusedSinceFlush, false);
}

bool ShellIconSender::TakeRefused() {
    std::lock_guard hold(state_->lock);
    return std::exchange(state_->refused, false);
}

}  // namespace parlix
