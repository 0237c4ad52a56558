// The reading half of the new-message poll: asks clients how long their chat histories are and
// reads the ones that moved. It touches no registry node and no window of Parlix, so it runs on
// the poll's worker thread (or, for a whole poll at once, on the caller's); what it returns is
// applied to the tabs by MessagePoll on the UI thread.
//
// Every call to a client is bounded: a history box is asked for its length with a short timeout
// (kPollTimeoutMs, all boxes at once) and for its text, which takes a client longer, with the
// clients' usual one (kClientTimeoutMs); a memory record is read with ReadProcessMemory on a
// process handle the target owns. A client thread that does not answer rests for
// kPollHungBackoffMs with all its windows, so a hung client costs a round at most one timeout
// now and then.
#pragma once

#include "base/scoped_win.h"
#include "capture/tab_registry.h"
#include "contract/im_window.h"

#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace parlix {

inline constexpr UINT kPollTimeoutMs = 100;
inline constexpr ULONGLONG kPollHungBackoffMs = 1000;

// One tab to read, as the UI thread saw it when the round was made.
struct PollTarget {
    std::weak_ptr<clsLink> node;  // only carried back; the reader never locks it
    std::uint64_t epoch = 0;      // results of an older epoch than the tab's are dropped
    IM_VERSION version{};
    HWND box = nullptr;                            // window-text kinds: the history box
    std::shared_ptr<const ScopedHandle> process;   // memory kinds: a duplicate of the node's handle
    std::uint32_t record = 0;                      // memory kinds: the history record's address
    std::int32_t basis = 0;                        // `Msg` when the target was made
    std::optional<LRESULT> measure;  // the box's length answer that gave `basis`, when known
    bool notified = false;           // the client told of a change since the last read
    bool baseline = false;           // the tab is being left: only its length is wanted
};

enum class PollOutcome {
    Unchanged,   // the history is `basis` characters long
    Changed,     // it is `length` characters long now; `text` holds what a notice needs
    Unanswered,  // the client did not answer in time (or rests)
    Unreadable,  // no box, a dead process or a bad record
};

struct PollResult {
    PollTarget target;
    PollOutcome outcome = PollOutcome::Unreadable;
    std::int32_t length = 0;  // characters, for Unchanged and Changed
    LRESULT measure = 0;      // window-text kinds: the box's length answer
    // The box answered its length but not the request for its text, within the clients' usual
    // timeout: the client is taken for hung (its input queue is detached).
    bool textTimedOut = false;
    // Changed: the history box's whole text, or the memory history's tail (at least the new
    // part and at least 70 characters, as much as the notice body can take).
    std::wstring text;
};

class PollReader {
public:
    PollReader() = default;
    PollReader(const PollReader&) = delete;
    PollReader& operator=(const PollReader&) = delete;
    ~PollReader();

    // Reads every target; one result per target, in the targets' order. Never throws.
    [[nodiscard]] std::vector<PollResult> Read(std::vector<PollTarget> targets) noexcept;

private:
    // Asks every history box for its length at once and waits for the answers (at most the poll
    // timeout): the clients answer side by side instead of one round trip after another.
    void MeasureAll(const std::vector<PollTarget>& targets);
    static void CALLBACK OnMeasured(HWND box, UINT msg, ULONG_PTR round, LRESULT result);
    void ReadBox(PollResult& r);
    void ReadRecord(PollResult& r);
    [[nodiscard]] bool Resting(DWORD thread) const;
    void Hung(DWORD thread);

    std::unordered_map<DWORD, ULONGLONG> restingUntil_;  // client thread → tick count it is asked again
    // This round's answers to the length question, by history box; a box asked but missing
    // from it did not answer in time. Late answers of an earlier round are dropped by number.
    std::unordered_map<HWND, LRESULT> measured_;
    std::unordered_set<HWND> asked_;
    ULONG_PTR round_ = 0;
    int outstanding_ = 0;
};

}  // namespace parlix
