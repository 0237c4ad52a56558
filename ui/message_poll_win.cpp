#include "ui/message_poll_win.h"

#include "base/handle_value_win.h"

#include "base/error_report_win.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <utility>

namespace parlix {

namespace {

HANDLE Process(HandleValue v) { return FromValue<HANDLE>(v); }

// The poll goes on past any failing statement.
template <typename F>
void Quietly(F&& f) noexcept {
    try {
        std::forward<F>(f)();
    } catch (...) {
    }
}

}  // namespace

void ApplyMaximizeBox(HWND main, std::int32_t org_AutoSize) {
    const LONG style = ::GetWindowLongW(main, GWL_STYLE);
    const LONG wanted = org_AutoSize == 1 ? style & ~static_cast<LONG>(WS_MAXIMIZEBOX) : style | WS_MAXIMIZEBOX;
    if (wanted == style) return;
    ::SetWindowLongW(main, GWL_STYLE, wanted);
    // The caption buttons are redrawn only with the frame.
    ::SetWindowPos(main, nullptr, 0, 0, 0, 0,
                   SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The worker thread: takes one round of targets at a time, reads them with its own PollReader
// and posts the results. It never sends to a window of Parlix, so the UI thread can always wait
// for it to end.
class PollWorker {
public:
    PollWorker(HWND window, UINT message) : window_(window), message_(message), thread_([this] { Run(); }) {}
    PollWorker(const PollWorker&) = delete;
    PollWorker& operator=(const PollWorker&) = delete;
    ~PollWorker() {
        {
            std::lock_guard lock(lock_);
            stop_ = true;
        }
        wake_.notify_one();
        thread_.join();
    }

    void Submit(std::vector<PollTarget> targets) {
        {
            std::lock_guard lock(lock_);
            job_ = std::move(targets);
            hasJob_ = true;
        }
        wake_.notify_one();
    }

    // The results of the last round, once it is done.
    std::optional<std::vector<PollResult>> Take() {
        std::lock_guard lock(lock_);
        if (!hasResults_) return std::nullopt;
        hasResults_ = false;
        return std::move(results_);
    }

private:
    void Run() noexcept {
        PollReader reader;
        try {
            for (;;) {
                std::vector<PollTarget> job;
                {
                    std::unique_lock lock(lock_);
                    wake_.wait(lock, [this] { return stop_ || hasJob_; });
                    if (stop_) return;
                    job = std::move(job_);
                    hasJob_ = false;
                }
                std::vector<PollResult> results = reader.Read(std::move(job));
                {
                    std::lock_guard lock(lock_);
                    results_ = std::move(results);
                    hasResults_ = true;
                }
                ::PostMessageW(window_, message_, 0, 0);
            }
        } catch (...) {
            // A lock that failed: the poll stops; the program goes on without new-message marks.
        }
    }

    const HWND window_;
    const UINT message_;
    std::mutex lock_;
    std::condition_variable wake_;
    bool stop_ = false;
    bool hasJob_ = false;
    bool hasResults_ = false;
    std::vector<PollTarget> job_;
    std::vector<PollResult> results_;
    std::thread thread_;  // last: starts once everything it uses exists
};

MessagePoll::MessagePoll(const TabRegistry& registry, ClientCalls& calls, const Settings& settings,
                         MessagePollHost& host)
    : registry_(registry), calls_(calls), settings_(settings), host_(host) {}

MessagePoll::~MessagePoll() = default;

void MessagePoll::Start(HWND window, UINT resultMessage) {
    if (worker_) return;
    Quietly([&] { worker_ = std::make_unique<PollWorker>(window, resultMessage); });
}

MessagePoll::Watch& MessagePoll::WatchOf(const std::shared_ptr<clsLink>& node) {
    Watch& watch = watches_[node.get()];
    // A node at the address of one that is gone starts afresh.
    if (watch.node.lock() != node) watch = Watch{node};
    return watch;
}

PollTarget MessagePoll::TargetOf(const std::shared_ptr<clsLink>& node, Watch& watch, bool baseline) {
    const IMWindow& w = node->window;
    PollTarget t;
    t.node = node;
    t.epoch = watch.epoch;
    t.version = w.Version;
    t.basis = w.Msg;
    t.notified = watch.notified;
    t.baseline = baseline;
    if (ReadsHistoryFromMemory(w.Version)) {
        // The worker reads through a handle of its own: closing the tab closes the node's.
        if (!watch.process && node->pHandle()) {
            HANDLE copy = nullptr;
            if (::DuplicateHandle(::GetCurrentProcess(), Process(node->pHandle()), ::GetCurrentProcess(), &copy, 0,
                                  FALSE, DUPLICATE_SAME_ACCESS))
                watch.process = std::make_shared<const ScopedHandle>(copy);
        }
        t.process = watch.process;
        t.record = node->wndproc;
    } else {
        t.box = Window(w.ChatHwnd);
        if (watch.measure && watch.measuredMsg == w.Msg) t.measure = watch.measure;
    }
    watch.notified = false;
    watch.refresh = false;
    return t;
}

void MessagePoll::Tick() noexcept {
    // A plugin or a tab switch that pumps messages must not start a second tick inside this one.
    if (ticking_) return;
    ticking_ = true;
    Quietly([&] {
        std::vector<PollTarget> targets;
        for (const auto& node : registry_.Nodes()) {
            Watch& watch = WatchOf(node);
            targets.push_back(TargetOf(node, watch, watch.refresh));
        }
        Apply(reader_.Read(std::move(targets)));
    });
    Quietly([&] { ForgetGoneNodes(); });
    ticking_ = false;
}

void MessagePoll::Schedule() noexcept {
    if (!worker_) {
        Tick();
        return;
    }
    if (ticking_) return;
    if (busy_) {
        pending_ = true;
        return;
    }
    Quietly([&] {
        const ULONGLONG now = ::GetTickCount64();
        const bool sweep = now - lastSweep_ >= kPollSweepMs;
        if (sweep) {
            lastSweep_ = now;
            ForgetGoneNodes();
        }
        std::vector<PollTarget> targets;
        for (const auto& node : registry_.Nodes()) {
            Watch& watch = WatchOf(node);
            if (watch.refresh) targets.push_back(TargetOf(node, watch, true));
            else if (sweep || watch.notified) targets.push_back(TargetOf(node, watch, false));
        }
        pending_ = false;
        if (targets.empty()) return;
        worker_->Submit(std::move(targets));
        busy_ = true;
    });
}

void MessagePoll::TakeResults() noexcept {
    if (!worker_) return;
    Quietly([&] {
        if (auto results = worker_->Take()) {
            busy_ = false;
            for (PollResult& r : *results) arrived_.push_back(std::move(r));
        }
    });
    // Results that arrive while others are being applied (a plugin may pump messages) follow
    // them, in their turn.
    if (ticking_) return;
    ticking_ = true;
    while (!arrived_.empty()) {
        std::vector<PollResult> batch = std::exchange(arrived_, {});
        Quietly([&] { Apply(std::move(batch)); });
    }
    ticking_ = false;
    if (pending_) Schedule();
}

void MessagePoll::HistoryChanged(HWND window) noexcept {
    if (!window) return;
    Quietly([&] {
        for (const auto& node : registry_.Nodes()) {
            const IMWindow& w = node->window;
            const HWND told = Window(ReadsHistoryFromMemory(w.Version) ? w.hWnd : w.ChatHwnd);
            if (told != window) continue;
            Watch& watch = WatchOf(node);
            watch.notified = true;
            watch.noticed = true;
        }
    });
}

void MessagePoll::Apply(std::vector<PollResult> results) {
    // In registry order as it stands now (a tab may have been dragged since the round began);
    // results of tabs that left come first and are dropped.
    const auto position = [this](const PollResult& r) {
        const auto node = r.target.node.lock();
        return node ? registry_.PositionOf(node.get()) : 0;
    };
    std::vector<std::pair<int, size_t>> order;
    order.reserve(results.size());
    for (size_t i = 0; i < results.size(); ++i) order.emplace_back(position(results[i]), i);
    std::stable_sort(order.begin(), order.end());
    for (const auto& entry : order) {
        if (entry.first < 1) continue;
        PollResult& r = results[entry.second];
        Quietly([&] { ApplyOne(r); });
    }
}

void MessagePoll::ApplyOne(PollResult& r) {
    const std::shared_ptr<clsLink> node = r.target.node.lock();
    if (!node || !node->InRegistry()) return;
    Watch& watch = WatchOf(node);
    if (r.target.box) {
        if (r.textTimedOut) calls_.Report(r.target.box, false);
        else if (r.outcome == PollOutcome::Changed || r.outcome == PollOutcome::Unchanged) calls_.Report(r.target.box, true);
    }
    // Read before the tab was left, or against a `Msg` that has moved since: read it again.
    if (r.target.epoch != watch.epoch) return;
    IMWindow& w = node->window;
    if (r.target.basis != w.Msg) {
        watch.notified = true;
        return;
    }
    if (r.outcome != PollOutcome::Changed && r.outcome != PollOutcome::Unchanged) return;
    if (r.target.box) {
        watch.measure = r.measure;
        watch.measuredMsg = r.length;
    }
    if (r.outcome == PollOutcome::Unchanged) {
        if (r.target.notified) watch.noticed = false;
        return;
    }
    if (r.target.baseline) {
        w.Msg = r.length;
        return;
    }
    watch.foundBy = watch.noticed ? FoundBy::Notice : FoundBy::Sweep;
    watch.noticed = false;
    Changed(node, registry_.PositionOf(node.get()), r);
}

void MessagePoll::Changed(const std::shared_ptr<clsLink>& node, int position, const PollResult& r) {
    IMWindow& w = node->window;
    const std::int32_t n = r.length;
    const std::int32_t p = w.Msg;
    w.Msg = n;

    PollFacts facts;
    facts.isCurrentTab = host_.CurrentTab() == position;
    facts.mainIsActive = host_.MainIsActive();
    facts.silent = host_.Silent();
    facts.msgTip = settings_.tray_MsgTip != 0;
    facts.alwaysShowTip = settings_.tray_AlwaysShowTip != 0;
    facts.pluginEnabled = settings_.Murmelo;
    facts.pluginConnected = static_cast<bool>(plugin_);
    facts.autoSwitch = settings_.org_AutoSwitch != 0;
    const PollEffects effects = DecidePollEffects(facts);
    const int index = position - 1;

    if (effects.markUnread) {
        ++w.MsgNum;
        Quietly([&] { host_.SetItemText(index, w.Title + L"(" + std::to_wstring(w.MsgNum) + L")"); });
        Quietly([&] { host_.HilightItem(index, true); });
    }
    const std::wstring title = NoticeTitle(w.Caption);
    if (effects.notice != NoticeRoute::None)
        Quietly([&] { Deliver(*node, effects.notice, title, r.text, n, p); });
    if (effects.attention) {
        Quietly([&] { host_.SetMainCaption(title + L"  -  " + settings_.org_Caption); });
        Quietly([&] { host_.SetTrayTip(title); });
        Quietly([&] { host_.ApplyMaximizeBox(); });
        if (effects.switchTab) Quietly([&] { host_.SelectTab(index); });
        Quietly([&] { host_.FlashMain(); });
        Quietly([&] { host_.EnableFlashTimer(true); });
    }
}

void MessagePoll::Deliver(const clsLink& node, NoticeRoute route, const std::wstring& title, const std::wstring& text,
                          std::int32_t n, std::int32_t p) {
    const std::wstring body = ComposeNoticeBody(node.window.Version, text, n, p);
    if (route == NoticeRoute::Plugin) {
        const long long ms = std::clamp<long long>(static_cast<long long>(settings_.tray_TipTime) * 1000, 0, INT32_MAX);
        plugin_(static_cast<std::int32_t>(ms), title + L":", body);
    } else {
        host_.ShowTray(title + L":", body, 1);
    }
}

void MessagePoll::ForgetGoneNodes() {
    std::erase_if(watches_, [](const auto& entry) {
        const auto node = entry.second.node.lock();
        return !node || !node->InRegistry();
    });
}

void MessagePoll::RefreshLength(const std::shared_ptr<clsLink>& node) noexcept {
    if (ticking_ || !node) return;
    Quietly([&] {
        Watch& watch = WatchOf(node);
        ++watch.epoch;
        watch.refresh = true;
        if (worker_) {
            Schedule();
            return;
        }
        std::vector<PollTarget> one;
        one.push_back(TargetOf(node, watch, true));
        std::vector<PollResult> results = reader_.Read(std::move(one));
        if (!results.empty()) ApplyOne(results.front());
    });
}

FoundBy MessagePoll::LastFoundBy(const clsLink& node) const noexcept {
    const auto it = watches_.find(&node);
    return it == watches_.end() ? FoundBy::Nothing : it->second.foundBy;
}

void MessagePoll::FlashTick() noexcept {
    if (!settings_.tray_FlashTray) return;
    Quietly([&] {
        if (!flashToggle_) host_.SetTrayIcon(TrayIconKind::NewMessage);
        else host_.SetTrayIcon(settings_.tray_TransIcon == 1 ? TrayIconKind::None : TrayIconKind::Main);
    });
    flashToggle_ = !flashToggle_;
}

void MessagePoll::SetTabRead() noexcept {
    const int current = host_.CurrentTab();
    if (current < 1 || current > registry_.count()) return;
    const std::shared_ptr<clsLink> node = registry_.GetNode(current);
    IMWindow& w = node->window;
    const int index = current - 1;
    const auto step = [](auto&& f, std::source_location where = std::source_location::current()) {
        Trapped(L"frmMain", L"SetTabRead", false, std::forward<decltype(f)>(f), where);
    };
    step([&] { host_.SetItemText(index, w.Title); });
    step([&] { host_.HilightItem(index, false); });
    step([&] { host_.SetTrayTip(host_.MainCaption()); });
    step([&] { host_.ApplyMaximizeBox(); });
    w.MsgNum = 0;
    // The flashing stops and the icon rests whatever the settings say: with tray_FlashTray off
    // tmrMsg would otherwise run for ever, and a blank icon must not stay on the new-message one.
    step([&] { host_.EnableFlashTimer(false); });
    flashToggle_ = false;
    step([&] { host_.SetTrayIcon(settings_.tray_TransIcon == 1 ? TrayIconKind::None : TrayIconKind::Main); });
    step([&] {
        const bool wholeWindow = IsQQ2009(w.Version) || IsBaiduHi(w.Version);
        calls_.Focus(Window(wholeWindow ? w.hWnd : w.SayHwnd));
    });
}

}  // namespace parlix
