// Giving a captured window back to its client without ever waiting on a hung client.
//
// Every window goes back the same way: its place and size, the desktop as its parent, its own
// styles, visibility and opacity, and the mark it carried while captured removed. Windows and
// Wine both have the window's own thread carry out those calls, so each one waits on the
// client. A client that answers a short probe gets its windows back at once; a hung client's
// windows are given back by threads of their own, whose calls the client carries out when it
// pumps messages again. Parlix's windows must outlive those calls: a window that is still a
// child of Parlix when Parlix ends is destroyed with it (GiveBackWorkers::Wait).
#pragma once

#include "capture/give_back_record.h"
#include "capture/tab_registry.h"

#include <windows.h>

#include <memory>
#include <optional>

namespace parlix {

// How long a client may take to answer the probe before its windows are given back later.
inline constexpr UINT kProbeMs = 50;
// How long the program, once its own windows are hidden, stays for hung clients to take their
// windows back before it ends.
inline constexpr DWORD kHungGiveBackMs = 5 * 60 * 1000;
// The same when the program ends on a fault (no messages are pumped while it waits).
inline constexpr DWORD kFaultGiveBackMs = 10 * 1000;

// True when window's client answers WM_NULL within timeoutMs (usable from any thread).
[[nodiscard]] bool ClientAnswers(HWND window, UINT timeoutMs = kProbeMs) noexcept;

// What the window of node gets back, as recorded when it was captured.
[[nodiscard]] GiveBackRecord RecordOf(const clsLink& node) noexcept;

// The mark a captured window carries: what to restore and which Parlix process holds it.
void MarkCaptured(HWND window, const GiveBackRecord& record) noexcept;
void Unmark(HWND window) noexcept;
[[nodiscard]] std::optional<Mark> ReadMark(HWND window) noexcept;

// The calls that give window back, in order; each waits while the client does not answer.
void RestoreWindow(HWND window, const GiveBackRecord& record) noexcept;

// Give-backs carried out on threads of their own, for clients that do not answer.
class GiveBackWorkers {
public:
    GiveBackWorkers();
    // Gives window back on a new thread; with thenClose, the client is then asked to close it
    // (posted, so a question it asks is answered in its own time).
    void Start(HWND window, const GiveBackRecord& record, bool thenClose) noexcept;
    [[nodiscard]] int Pending() const noexcept;
    // Waits until every give-back started is done or timeoutMs passed, pumping this thread's
    // messages when pump is set; true when none is left.
    bool Wait(DWORD timeoutMs, bool pump) noexcept;

private:
    struct Shared;
    std::shared_ptr<Shared> shared_;
};

// Gives back every top-level window marked by a Parlix process that no longer runs (a run that
// ended before giving it back, or was killed). Returns how many.
int GiveBackOrphans(GiveBackWorkers& workers) noexcept;

}  // namespace parlix
