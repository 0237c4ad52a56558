#include "ui/poll_reader_win.h"

#include "capture/client_calls_win.h"
#include "capture/discovery_win.h"
#include "ui/message_notice.h"

#include <algorithm>

namespace parlix {

namespace {

// The reader whose answers the calling thread awaits; answers reach only the thread that asked,
// so each thread has its own, and one arriving after its reader is gone finds null.
thread_local PollReader* t_reader = nullptr;

// A notice body takes the new part of a memory history, or its last 70 characters.
constexpr std::int32_t kNoticeTail = 70;

std::optional<LRESULT> SendBounded(HWND box, UINT msg, WPARAM wParam, LPARAM lParam, UINT timeoutMs) {
    DWORD_PTR result = 0;
    if (!::SendMessageTimeoutW(box, msg, wParam, lParam, SMTO_ABORTIFHUNG, timeoutMs, &result))
        return std::nullopt;
    return static_cast<LRESULT>(result);
}

}  // namespace

PollReader::~PollReader() {
    if (t_reader == this) t_reader = nullptr;
}

std::vector<PollResult> PollReader::Read(std::vector<PollTarget> targets) noexcept {
    std::vector<PollResult> results;
    try {
        results.reserve(targets.size());
        t_reader = this;
        MeasureAll(targets);
        for (PollTarget& t : targets) {
            PollResult& r = results.emplace_back();
            r.target = std::move(t);
            try {
                if (ReadsHistoryFromMemory(r.target.version)) ReadRecord(r);
                else ReadBox(r);
            } catch (...) {
                r.outcome = PollOutcome::Unreadable;
                r.text.clear();
            }
        }
        const ULONGLONG now = ::GetTickCount64();
        std::erase_if(restingUntil_, [now](const auto& entry) { return entry.second <= now; });
    } catch (...) {
        // Out of memory: the tabs not reached are read next round.
    }
    return results;
}

void CALLBACK PollReader::OnMeasured(HWND box, UINT, ULONG_PTR round, LRESULT result) {
    PollReader* reader = t_reader;
    if (!reader || round != reader->round_) return;
    reader->measured_[box] = result;
    --reader->outstanding_;
}

void PollReader::MeasureAll(const std::vector<PollTarget>& targets) {
    ++round_;
    measured_.clear();
    asked_.clear();
    outstanding_ = 0;
    for (const PollTarget& t : targets) {
        if (ReadsHistoryFromMemory(t.version) || !t.box) continue;
        const DWORD thread = ::GetWindowThreadProcessId(t.box, nullptr);
        if (!thread || Resting(thread)) continue;
        if (!asked_.insert(t.box).second) continue;
        if (::SendMessageCallbackW(t.box, WM_GETTEXTLENGTH, 0, 0, OnMeasured, round_)) ++outstanding_;
    }
    const ULONGLONG deadline = ::GetTickCount64() + kPollTimeoutMs;
    while (outstanding_ > 0) {
        const ULONGLONG now = ::GetTickCount64();
        if (now >= deadline) break;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(deadline - now), QS_SENDMESSAGE);
        MSG msg;
        ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

void PollReader::ReadBox(PollResult& r) {
    const PollTarget& t = r.target;
    const DWORD thread = t.box ? ::GetWindowThreadProcessId(t.box, nullptr) : 0;
    if (!thread) return;  // Unreadable: the box is gone
    r.outcome = PollOutcome::Unanswered;
    if (Resting(thread)) return;

    // For an ANSI box of another process the measure may count bytes: it is only ever compared
    // with itself, never with `Msg`.
    std::optional<LRESULT> measure;
    if (const auto it = measured_.find(t.box); it != measured_.end()) measure = it->second;
    else if (!asked_.contains(t.box)) measure = SendBounded(t.box, WM_GETTEXTLENGTH, 0, 0, kPollTimeoutMs);
    if (!measure) {
        Hung(thread);
        return;
    }
    if (*measure < 0 || *measure > kMaxWindowTextChars) {
        r.outcome = PollOutcome::Unreadable;
        return;
    }
    r.measure = *measure;
    if (t.measure == measure) {
        r.outcome = PollOutcome::Unchanged;
        r.length = t.basis;
        return;
    }
    // The client has just answered; reading a long history may take it longer than a measure.
    // Room for an ANSI box of another process, which may need a byte per half character.
    std::wstring text(static_cast<size_t>(*measure) * 2 + 2, L'\0');
    if (!SendBounded(t.box, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), kClientTimeoutMs)) {
        Hung(thread);
        r.textTimedOut = true;
        return;
    }
    text.resize(std::min(text.find(L'\0'), text.size()));
    r.length = static_cast<std::int32_t>(text.size());
    if (r.length == t.basis) {
        r.outcome = PollOutcome::Unchanged;
        return;
    }
    r.outcome = PollOutcome::Changed;
    r.text = std::move(text);
}

void PollReader::ReadRecord(PollResult& r) {
    const PollTarget& t = r.target;
    const HANDLE process = t.process ? t.process->get() : nullptr;
    const auto n = RemoteTextLength(process, t.record);
    if (!n) return;  // Unreadable
    r.length = *n;
    if (*n == t.basis || t.baseline) {
        r.outcome = *n == t.basis ? PollOutcome::Unchanged : PollOutcome::Changed;
        return;
    }
    auto tail = ReadRemoteTail(process, t.record, *n, std::max(*n - t.basis, kNoticeTail));
    // The text may have grown again between the two reads: the length stands, a shorter tail
    // would only shorten the notice, and a failed read leaves it empty.
    r.text = tail.value_or(std::wstring());
    r.outcome = PollOutcome::Changed;
}

bool PollReader::Resting(DWORD thread) const {
    const auto it = restingUntil_.find(thread);
    return it != restingUntil_.end() && ::GetTickCount64() < it->second;
}

void PollReader::Hung(DWORD thread) { restingUntil_[thread] = ::GetTickCount64() + kPollHungBackoffMs; }

}  // namespace parlix
