#include "ui/message_poll_win.h"

#include "base/handle_value_win.h"

#include "base/error_report_win.h"
#include "capture/discovery_win.h"

#include <algorithm>

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

namespace {
// The poll whose answers are awaited; a callback arriving after it is gone finds null.
MessagePoll* g_livePoll = nullptr;
}  // namespace

MessagePoll::MessagePoll(const TabRegistry& registry, ClientCalls& calls, const Settings& settings,
                         MessagePollHost& host)
    : registry_(registry), calls_(calls), settings_(settings), host_(host) {
    g_livePoll = this;
}

MessagePoll::~MessagePoll() {
    if (g_livePoll == this) g_livePoll = nullptr;
}

void CALLBACK MessagePoll::OnMeasured(HWND box, UINT, ULONG_PTR tick, LRESULT result) {
    MessagePoll* poll = g_livePoll;
    if (!poll || tick != poll->tick_) return;
    poll->measured_[box] = result;
    --poll->outstanding_;
}

void MessagePoll::MeasureAll() {
    ++tick_;
    measured_.clear();
    asked_.clear();
    outstanding_ = 0;
    for (const auto& node : registry_.Nodes()) {
        const IMWindow& w = node->window;
        if (ReadsHistoryFromMemory(w.Version)) continue;
        const HWND box = Window(w.ChatHwnd);
        const DWORD thread = box ? ::GetWindowThreadProcessId(box, nullptr) : 0;
        if (!thread || Resting(thread)) continue;
        if (!asked_.insert(box).second) continue;
        if (::SendMessageCallbackW(box, WM_GETTEXTLENGTH, 0, 0, OnMeasured, tick_)) ++outstanding_;
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

void MessagePoll::Tick() noexcept {
    // A plugin or a tab switch that pumps messages must not start a second tick inside this one.
    if (ticking_) return;
    ticking_ = true;
    Quietly([&] { MeasureAll(); });
    // The registry is counted again at each step: a tab switch raised here may change it.
    for (int i = 1; i <= registry_.count(); ++i) {
        const std::shared_ptr<clsLink> node = registry_.GetNode(i);
        Quietly([&] { PollTab(node, i); });
    }
    Quietly([&] { ForgetGoneNodes(); });
    ticking_ = false;
}

void MessagePoll::PollTab(const std::shared_ptr<clsLink>& node, int position) {
    const std::optional<Reading> reading = Read(node);
    if (!reading) return;
    IMWindow& w = node->window;
    const std::int32_t n = reading->length;
    if (n == w.Msg) return;
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
        Quietly([&] { Deliver(*node, effects.notice, title, reading->text, n, p); });
    if (effects.attention) {
        Quietly([&] { host_.SetMainCaption(title + L"  -  " + settings_.org_Caption); });
        Quietly([&] { host_.SetTrayTip(title); });
        Quietly([&] { host_.ApplyMaximizeBox(); });
        if (effects.switchTab) Quietly([&] { host_.SelectTab(index); });
        Quietly([&] { host_.FlashMain(); });
        Quietly([&] { host_.EnableFlashTimer(true); });
    }
}

void MessagePoll::Deliver(const clsLink& node, NoticeRoute route, const std::wstring& title,
                          const std::wstring& boxText, std::int32_t n, std::int32_t p) {
    const IMWindow& w = node.window;
    std::wstring text;
    if (ReadsHistoryFromMemory(w.Version))
        text = ReadRemoteText(Process(node.pHandle()), node.wndproc, n).value_or(std::wstring());
    else
        text = boxText;
    const std::wstring body = ComposeNoticeBody(w.Version, text, n, p);
    if (route == NoticeRoute::Plugin) {
        const long long ms = std::clamp<long long>(static_cast<long long>(settings_.tray_TipTime) * 1000, 0, INT32_MAX);
        plugin_(static_cast<std::int32_t>(ms), title + L":", body);
    } else {
        host_.ShowTray(title + L":", body, 1);
    }
}

std::optional<MessagePoll::Reading> MessagePoll::Read(const std::shared_ptr<clsLink>& node) {
    const IMWindow& w = node->window;
    if (ReadsHistoryFromMemory(w.Version)) {
        const auto n = RemoteTextLength(Process(node->pHandle()), node->wndproc);
        if (!n) return std::nullopt;
        return Reading{*n, {}};
    }
    return ReadBox(node);
}

std::optional<MessagePoll::Reading> MessagePoll::ReadBox(const std::shared_ptr<clsLink>& node) {
    IMWindow& w = node->window;
    const HWND box = Window(w.ChatHwnd);
    if (!box) return std::nullopt;
    const DWORD thread = ::GetWindowThreadProcessId(box, nullptr);
    if (!thread || Resting(thread)) return std::nullopt;

    // For an ANSI box of another process the measure may count bytes: it is only ever compared
    // with itself, never with `Msg`. A box asked at the start of the tick has its answer here;
    // one that did not answer in time rests.
    std::optional<LRESULT> measure;
    if (const auto it = measured_.find(box); it != measured_.end()) measure = it->second;
    else if (!asked_.contains(box)) measure = calls_.Send(box, WM_GETTEXTLENGTH, 0, 0, kPollTimeoutMs);
    if (!measure) {
        Hung(thread);
        return std::nullopt;
    }
    if (*measure < 0 || *measure > kMaxWindowTextChars) return std::nullopt;
    const auto seen = seen_.find(node.get());
    if (seen != seen_.end() && seen->second.node.lock() == node && seen->second.measure == *measure &&
        seen->second.msg == w.Msg)
        return Reading{w.Msg, {}};

    // The client has just answered; reading a long history may take it longer than a measure.
    std::optional<std::wstring> text = calls_.WindowText(box, *measure);
    if (!text) {
        Hung(thread);
        return std::nullopt;
    }
    const auto n = static_cast<std::int32_t>(text->size());
    seen_[node.get()] = Seen{node, *measure, n};
    return Reading{n, std::move(*text)};
}

bool MessagePoll::Resting(DWORD thread) const {
    const auto it = restingUntil_.find(thread);
    return it != restingUntil_.end() && ::GetTickCount64() < it->second;
}

void MessagePoll::Hung(DWORD thread) { restingUntil_[thread] = ::GetTickCount64() + kPollHungBackoffMs; }

void MessagePoll::ForgetGoneNodes() {
    std::erase_if(seen_, [](const auto& entry) {
        const auto node = entry.second.node.lock();
        return !node || !node->InRegistry();
    });
    const ULONGLONG now = ::GetTickCount64();
    std::erase_if(restingUntil_, [now](const auto& entry) { return entry.second <= now; });
}

void MessagePoll::RefreshLength(const std::shared_ptr<clsLink>& node) noexcept {
    if (ticking_ || !node) return;
    Quietly([&] {
        // Outside a tick the measures of the last one are stale: measure afresh.
        measured_.clear();
        asked_.clear();
        if (const auto reading = Read(node)) node->window.Msg = reading->length;
    });
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
