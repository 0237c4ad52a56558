// The calls to the shell's notification area, made on a thread of their own. Each call is a
// round trip to the shell (tens of milliseconds when it is busy), which the UI thread does not
// wait for; the calls are made in the order given, each with the record as it was when given.
#pragma once

#include <windows.h>

#include <shellapi.h>

#include <memory>

namespace parlix {

// How long an exit waits for the calls still queued (the icon's removal among them).
inline constexpr DWORD kShellDrainMs = 3000;

class ShellIconSender {
public:
    ShellIconSender();
    ShellIconSender(const ShellIconSender&) = delete;
    ShellIconSender& operator=(const ShellIconSender&) = delete;
    // Makes the calls still queued (waiting kShellDrainMs at most), then lets the thread go.
    ~ShellIconSender();

    // Queues Shell_NotifyIconW(message, record). The icon handle in the record must stay valid
    // until the call is made.
    void Send(DWORD message, const NOTIFYICONDATAW& record);
    // Waits until every call given so far was made (timeoutMs at most); true when the shell
    // accepted every call given since the last Flush and all were made in time.
    bool Flush(DWORD timeoutMs = kShellDrainMs);
    // True once for each stretch in which the shell refused an add or a change: what it shows
    // is then not the record, and the next change is sent even when it changes nothing.
    bool TakeRefused();

    // How many calls were given.
    [[nodiscard]] int Calls() const noexcept { return calls_; }

private:
    struct State;
    std::shared_ptr<State> state_;
    int calls_ = 0;
    bool stuck_ = false;  // the last Flush ran out of time
};

}  // namespace parlix
