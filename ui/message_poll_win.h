// The new-message poll (tmrChkMsg): finds the tabs whose chat history grew, marks them unread,
// delivers the notices and draws the user's attention to the main window; Set tab read clears
// the marks; the tray flashing tick (tmrMsg).
//
// The UI thread never waits on a client here. Once started, the poll reads on a worker thread of
// its own (PollReader): each tmrChkMsg tick hands it the tabs whose client sent a history notice
// (the hook library's kHistoryChanged), the tabs being left, and every few seconds all tabs (the
// safety sweep for changes no notice told of). The worker posts its results; the UI thread
// applies them in registry order with the outcomes of a poll that had read them itself. `Msg`
// keeps its meaning: characters of the text last read, as AddTab stores it. A result whose tab
// has left, or whose `Msg` moved meanwhile, is dropped: the registry holds the only strong
// references, results hold weak ones.
//
// Before Start (and in Tick) the same reads run on the calling thread, all tabs at once.
#pragma once

#include "capture/client_calls_win.h"
#include "capture/tab_registry.h"
#include "settings/settings.h"
#include "ui/message_notice.h"
#include "ui/poll_reader_win.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace parlix {

// The safety sweep: every tab is read at least this often, notice or not.
inline constexpr ULONGLONG kPollSweepMs = 3000;

// How a tab's last new text was found (kTabInfoFoundBy of the program's tab query).
enum class FoundBy { Nothing = 0, Notice = 1, Sweep = 2 };

enum class TrayIconKind { NewMessage, None, Main };

// What the poll does to the main window, and the main-window state it reads. Tab indexes count
// from 0 (registry position - 1).
class MessagePollHost {
public:
    // Registry position of the selected tab; -1 when none. Read again for every tab, since an
    // automatic switch changes it during a tick.
    [[nodiscard]] virtual int CurrentTab() const = 0;
    [[nodiscard]] virtual bool MainIsActive() const = 0;
    [[nodiscard]] virtual bool Silent() const = 0;
    virtual void SetItemText(int index, const std::wstring& caption) = 0;  // btnTab.SetItemText
    virtual void HilightItem(int index, bool highlight) = 0;              // btnTab.HilightItem
    virtual void ShowTray(const std::wstring& title, const std::wstring& text, int flag) = 0;
    [[nodiscard]] virtual std::wstring MainCaption() const = 0;
    virtual void SetMainCaption(const std::wstring& caption) = 0;
    virtual void SetTrayTip(const std::wstring& tip) = 0;
    virtual void ApplyMaximizeBox() = 0;  // see ApplyMaximizeBox below
    virtual void SelectTab(int index) = 0;  // btnTab.Selected(index): raises Changed
    virtual void FlashMain() = 0;           // FlashWindow(main window, FALSE)
    virtual void EnableFlashTimer(bool enabled) = 0;  // tmrMsg
    virtual void SetTrayIcon(TrayIconKind icon) = 0;

protected:
    ~MessagePollHost() = default;
};

// The notice plugin's ShowMessage(time in ms, title, message). Empty while no plugin is connected.
using NoticePlugin = std::function<void(std::int32_t timeMs, const std::wstring& title, const std::wstring& message)>;

class PollWorker;

class MessagePoll {
public:
    // All four must outlive the poll; settings are read at each use.
    MessagePoll(const TabRegistry& registry, ClientCalls& calls, const Settings& settings, MessagePollHost& host);
    MessagePoll(const MessagePoll&) = delete;
    MessagePoll& operator=(const MessagePoll&) = delete;
    ~MessagePoll();  // stops the worker (at most one round of bounded calls)

    void SetNoticePlugin(NoticePlugin plugin) { plugin_ = std::move(plugin); }

    // Starts the worker thread; its results arrive as resultMessage posted to window, whose
    // handler calls TakeResults. From then on Schedule drives the poll.
    void Start(HWND window, UINT resultMessage);
    // One tmrChkMsg tick once started: hands the worker the tabs to read, unless it is still busy
    // with the last round (then the next round follows that one at once). Costs the UI thread no
    // call to any client.
    void Schedule() noexcept;
    // Applies what the worker posted.
    void TakeResults() noexcept;
    // The hook library's notice that the history box (or, for the memory kinds, the chat window)
    // window changed; the tab is read in the next round.
    void HistoryChanged(HWND window) noexcept;

    // One whole poll on the calling thread: every tab read and the results applied, in registry
    // order. Never throws.
    void Tick() noexcept;
    // One tmrMsg tick: alternates the tray icon while tray_FlashTray is on.
    void FlashTick() noexcept;
    // Clears the unread marks of the current tab and moves the focus into it; nothing without a
    // current tab. Leaves `Msg` alone, so old text is never counted again.
    void SetTabRead() noexcept;
    // Takes the history length of a tab being left into its `Msg`, so that what arrived while
    // it was shown is never reported: at once before Start, else by the worker straight away
    // (results read before the tab was left are dropped). Nothing during a tick.
    void RefreshLength(const std::shared_ptr<clsLink>& node) noexcept;

    [[nodiscard]] FoundBy LastFoundBy(const clsLink& node) const noexcept;
    // A round is with the worker (its results not taken yet).
    [[nodiscard]] bool Busy() const noexcept { return busy_; }

private:
    // What the poll keeps per tab besides the record.
    struct Watch {
        std::weak_ptr<clsLink> node;
        std::uint64_t epoch = 0;
        bool notified = false;  // a notice arrived and the tab was not handed to the worker since
        bool noticed = false;   // a notice arrived since the tab's last read
        bool refresh = false;   // the tab was left: its length is to be taken as seen
        std::optional<LRESULT> measure;  // the box's length answer that gave measuredMsg
        std::int32_t measuredMsg = 0;
        std::shared_ptr<const ScopedHandle> process;  // memory kinds, duplicated once
        FoundBy foundBy = FoundBy::Nothing;
    };

    Watch& WatchOf(const std::shared_ptr<clsLink>& node);
    [[nodiscard]] PollTarget TargetOf(const std::shared_ptr<clsLink>& node, Watch& watch, bool baseline);
    void Apply(std::vector<PollResult> results);
    void ApplyOne(PollResult& result);
    void Changed(const std::shared_ptr<clsLink>& node, int position, const PollResult& result);
    void Deliver(const clsLink& node, NoticeRoute route, const std::wstring& title, const std::wstring& text,
                 std::int32_t n, std::int32_t p);
    void ForgetGoneNodes();

    const TabRegistry& registry_;
    ClientCalls& calls_;
    const Settings& settings_;
    MessagePollHost& host_;
    NoticePlugin plugin_;
    std::unordered_map<const clsLink*, Watch> watches_;
    PollReader reader_;  // the calling thread's reads (before Start, and Tick)
    std::unique_ptr<PollWorker> worker_;
    std::vector<PollResult> arrived_;  // taken from the worker, not applied yet
    bool busy_ = false;     // a round is with the worker
    bool pending_ = false;  // another round is wanted as soon as it is back
    ULONGLONG lastSweep_ = 0;
    bool flashToggle_ = false;
    bool ticking_ = false;
};

// Re-applies the main window's maximise box: none while org_AutoSize is 1 (the window follows
// the chat window's size), else present.
void ApplyMaximizeBox(HWND main, std::int32_t org_AutoSize);

}  // namespace parlix
