#include "capture/catch_up_probe_win.h"

#include <unordered_map>

namespace parlix {

namespace {
// The questions out, by number, and the probe that asked each. Answers come back to the thread
// that asked, in its message loop; probes live on the UI thread.
std::unordered_map<ULONG_PTR, CatchUpProbe*>& Questions() {
    static std::unordered_map<ULONG_PTR, CatchUpProbe*> questions;
    return questions;
}
ULONG_PTR g_lastQuestion = 0;
}  // namespace

CatchUpProbe::~CatchUpProbe() {
    if (question_) Questions().erase(question_);
}

void CatchUpProbe::Track(HWND window) {
    if (window == window_) return;
    window_ = window;
    requests_ = 0;
    hasAnswer_ = false;
    if (question_) Questions().erase(question_);
    question_ = 0;
}

void CatchUpProbe::Sent(HWND window) {
    Track(window);
    ++requests_;
}

bool CatchUpProbe::CaughtUp(HWND window, bool wake) {
    Track(window);
    if (hasAnswer_ && answeredAt_ == requests_) return true;
    if (question_ && askedAt_ == requests_) {
        wake_ = wake_ || wake;
        return false;
    }
    if (question_) Questions().erase(question_);
    question_ = ++g_lastQuestion;
    if (!::SendMessageCallbackW(window, WM_NULL, 0, 0, OnAnswer, question_)) {
        question_ = 0;
        return false;
    }
    Questions()[question_] = this;
    askedAt_ = requests_;
    wake_ = wake;
    return false;
}

void CALLBACK CatchUpProbe::OnAnswer(HWND window, UINT, ULONG_PTR question, LRESULT) {
    const auto it = Questions().find(question);
    if (it == Questions().end()) return;
    CatchUpProbe& probe = *it->second;
    Questions().erase(it);
    if (probe.question_ != question || probe.window_ != window) return;
    probe.question_ = 0;
    probe.hasAnswer_ = true;
    probe.answeredAt_ = probe.askedAt_;
    if (probe.wake_ && probe.answered_) probe.answered_();
}

}  // namespace parlix
