// The simulator's state of one top-level window it made (a chat, a look-alike or a client
// main window): where its history is, a title still to come, and an armed close block.
#pragma once

#include "tools/fakeim/history.h"

#include <windows.h>

#include <memory>
#include <string>
#include <string_view>

namespace fakeim {

struct Environment;

class SimWindow {
  public:
    // Subclasses hwnd and binds a new state to it; the state is deleted with the window.
    static SimWindow* Attach(HWND hwnd, const Environment& env);
    // The state of a window this process simulates; null for any other window, including
    // windows of other processes.
    [[nodiscard]] static SimWindow* From(HWND hwnd);

    SimWindow(const SimWindow&) = delete;
    SimWindow& operator=(const SimWindow&) = delete;

    [[nodiscard]] HWND Hwnd() const noexcept { return hwnd_; }

    // The history lives in a rich-edit box (not owned: a child of this window) ...
    void SetHistoryBox(HWND box) noexcept { historyBox_ = box; }
    // ... or in a memory record, published in the window property kHistoryProp.
    bool SetHistoryRecord(std::unique_ptr<MemoryHistory> history);
    [[nodiscard]] bool HasHistory() const noexcept { return historyBox_ || history_; }
    bool Append(std::wstring_view text);
    // Memory kinds: the record grows and nothing else happens (no message to the window).
    bool AppendToRecord(std::wstring_view text);

    void SetTitleLater(std::wstring title, UINT delayMs);
    // A title set now replaces one still to come.
    void SetTitle(std::wstring_view title);

    // While armed (non-empty title), WM_CLOSE shows a dialog of that title instead of closing,
    // after working busyMs without pumping messages (a slow client).
    void Block(std::wstring dialogTitle, DWORD busyMs) {
        blockTitle_ = std::move(dialogTitle);
        blockBusyMs_ = busyMs;
    }
    // The user answered the dialog: it goes and the block is cleared. False when none showed.
    bool Unblock();
    // The dialog was destroyed by other means.
    void ForgetDialog(HWND dialog) noexcept;

  private:
    SimWindow(HWND hwnd, const Environment& env) noexcept : hwnd_(hwnd), env_(env) {}
    ~SimWindow();

    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR ref);
    void OnClose();
    void OnTimer(UINT_PTR id);

    HWND hwnd_;
    const Environment& env_;
    HWND historyBox_ = nullptr;
    std::unique_ptr<MemoryHistory> history_;
    std::wstring lateTitle_;
    bool titlePending_ = false;
    std::wstring blockTitle_;
    DWORD blockBusyMs_ = 0;
    HWND blockDialog_ = nullptr; // owned: destroyed with this window or by Unblock
};

} // namespace fakeim
