// The new-message poll (tmrChkMsg): finds the tabs whose chat history grew, marks them unread,
// delivers the notices and draws the user's attention to the main window; Set tab read clears
// the marks; the tray flashing tick (tmrMsg).
//
// The poll measures each history cheaply every tick (the history box's WM_GETTEXTLENGTH, or the
// memory record's length) and reads a history box's text only when that measure moved, so an
// idle tick costs one short message per tab. `Msg` keeps its meaning: characters of the text
// last read, as AddTab stores it. A client that does not answer within kPollTimeoutMs is left
// alone for kPollHungBackoffMs (with every other window of its thread), so a hung client costs
// the poll at most one timeout now and then and never holds up the other tabs.
#pragma once

#include "capture/client_calls_win.h"
#include "capture/tab_registry.h"
#include "settings/settings.h"
#include "ui/message_notice.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>

namespace parlix {

inline constexpr UINT kPollTimeoutMs = 100;
inline constexpr ULONGLONG kPollHungBackoffMs = 1000;

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

class MessagePoll {
public:
    // All four must outlive the poll; settings are read at each use.
    MessagePoll(const TabRegistry& registry, ClientCalls& calls, const Settings& settings, MessagePollHost& host);
    MessagePoll(const MessagePoll&) = delete;
    MessagePoll& operator=(const MessagePoll&) = delete;
    ~MessagePoll();

    void SetNoticePlugin(NoticePlugin plugin) { plugin_ = std::move(plugin); }

    // One tmrChkMsg tick over every tab in registry order. Never throws.
    void Tick() noexcept;
    // One tmrMsg tick: alternates the tray icon while tray_FlashTray is on.
    void FlashTick() noexcept;
    // Clears the unread marks of the current tab and moves the focus into it; nothing without a
    // current tab. Leaves `Msg` alone, so old text is never counted again.
    void SetTabRead() noexcept;
    // Reads the history length of a tab being left into its `Msg`, so that what arrived while
    // it was shown is never reported. Nothing during a tick.
    void RefreshLength(const std::shared_ptr<clsLink>& node) noexcept;

private:
    struct Reading {
        std::int32_t length = 0;
        std::wstring text;  // the history box's text when it was read; empty for memory kinds
    };
    // Last measure of a history box and the `Msg` it gave; a node whose measure and `Msg` are
    // both unchanged is not read.
    struct Seen {
        std::weak_ptr<clsLink> node;
        LRESULT measure = 0;
        std::int32_t msg = 0;
    };

    // Asks every history box for its length at once and waits for the answers (at most the poll
    // timeout): the clients answer side by side instead of one round trip after another.
    void MeasureAll();
    static void CALLBACK OnMeasured(HWND box, UINT msg, ULONG_PTR tick, LRESULT result);
    void PollTab(const std::shared_ptr<clsLink>& node, int position);
    [[nodiscard]] std::optional<Reading> Read(const std::shared_ptr<clsLink>& node);
    [[nodiscard]] std::optional<Reading> ReadBox(const std::shared_ptr<clsLink>& node);
    [[nodiscard]] bool Resting(DWORD thread) const;
    void Hung(DWORD thread);
    void Deliver(const clsLink& node, NoticeRoute route, const std::wstring& title, const std::wstring& boxText,
                 std::int32_t n, std::int32_t p);
    void ForgetGoneNodes();

    const TabRegistry& registry_;
    ClientCalls& calls_;
    const Settings& settings_;
    MessagePollHost& host_;
    NoticePlugin plugin_;
    std::unordered_map<const clsLink*, Seen> seen_;
    std::unordered_map<DWORD, ULONGLONG> restingUntil_;  // client thread → tick count it is asked again
    bool flashToggle_ = false;
    bool ticking_ = false;
    // This tick's answers to the length question, by history box; a box missing from it did not
    // answer in time. Answers of an earlier tick that arrive late are dropped by their number.
    std::unordered_map<HWND, LRESULT> measured_;
    std::unordered_set<HWND> asked_;
    ULONG_PTR tick_ = 0;
    int outstanding_ = 0;
};

// Re-applies the main window's maximise box: none while org_AutoSize is 1 (the window follows
// the chat window's size), else present.
void ApplyMaximizeBox(HWND main, std::int32_t org_AutoSize);

}  // namespace parlix
