// The main window's message dispatch: shell-hook notices, the hook library's WM_HOOKNOTIFY
// notices and replies, hotkeys, tray callbacks, wheel switching and size/move tracking. The
// dispatcher holds the state these messages share; what they trigger is done by its host.
#pragma once

#include "capture/wheel_switch.h"

#include <windows.h>

#include <unordered_set>

namespace parlix {

inline constexpr UINT kTrayCallbackMsg = 0x7E9;

// What the dispatcher asks the main window to do.
class DispatchHost {
public:
    virtual ~DispatchHost() = default;
    virtual void DetectWindow(HWND window) = 0;
    // The main window became the active window (mainState decides: focus timer or tab read).
    virtual void OnMainActivated() = 0;
    virtual void ReAddTrayIcon() = 0;
    // Windows ends the session: give everything back and unload.
    virtual void EndSession() = 0;
    virtual void KeyFunctions(int id) = 0;
    virtual void TrayAction(LPARAM message) = 0;
    virtual bool TranslucentWhileSizing() const = 0;  // org_Trans
    virtual bool ShowNumbersOnCtrl() const = 0;       // tab_ShowNum = 1
    virtual bool CompatibilityMode() const = 0;       // org_Comp = 1
    virtual void ShowNumbers() = 0;
    virtual void HideNumbers() = 0;
    virtual bool SetQQFocusByHwnd(HWND window, bool find, bool qqOnly) = 0;
    virtual bool HasCurrentTab() const = 0;
    virtual void BeginMouseGesture() = 0;
    virtual void AddToMouseGesture() = 0;
    virtual bool EndMouseGesture() = 0;
    virtual WheelBand TabStripBand() const = 0;
    virtual int TabCount() const = 0;
    virtual int SelectedTab() const = 0;
    virtual void SelectTab(int index) = 0;
    // The hook library's notice that a captured chat's history changed (the history box, or the
    // chat window of a memory-read kind). The program hands it to the new-message poll; a host
    // without one has nothing to read again.
    virtual void HistoryChanged(HWND /*window*/) {}
};

class MessageDispatch {
public:
    explicit MessageDispatch(DispatchHost& host) : host_(host) {}
    MessageDispatch(const MessageDispatch&) = delete;
    MessageDispatch& operator=(const MessageDispatch&) = delete;
    ~MessageDispatch() { UnhookMainWindow(); }

    void RegisterShellHook(HWND mainWindow);
    void DeregisterShellHook(HWND mainWindow);
    // Routes every message of mainWindow through WndProc first. False when already installed
    // or mainWindow is null.
    bool HookMainWindow(HWND mainWindow);
    bool UnhookMainWindow();

    // One message of the main window; handled = true makes the result the answer, otherwise the
    // message goes on to the window's own procedure.
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled);

    void SetTaskbarCreatedMsg(UINT msg) noexcept { taskbarCreatedMsg_ = msg; }
    // How many messages of the main window are being handled right now: 1 inside a handler
    // called from the message loop, more while a handler waits and answers sent messages.
    [[nodiscard]] int Nesting() const noexcept { return nesting_; }
    [[nodiscard]] UINT ShellHookMsg() const noexcept { return shellHookMsg_; }

    // The main window is the active window (shell activation notices and WM_ACTIVATE).
    [[nodiscard]] bool MainIsActive() const noexcept { return mainIsActive_; }
    void SetMainIsActive(bool active) noexcept { mainIsActive_ = active; }
    // The user moves or sizes the main window. The upkeep reads it through the reference.
    [[nodiscard]] bool IsSizing() const noexcept { return isSizing_; }
    [[nodiscard]] const bool& SizingFlag() const noexcept { return isSizing_; }
    // A tab is being closed: window-created notices are ignored meanwhile.
    [[nodiscard]] bool IsClosing() const noexcept { return isClosing_; }
    void SetClosing(bool closing) noexcept { isClosing_ = closing; }
    // The last answer the hook library sent to a request (read by the request's sender).
    [[nodiscard]] LPARAM HookReply() const noexcept { return hookReply_; }
    void SetHookReply(LPARAM reply) noexcept { hookReply_ = reply; }
    // The tab numbers show while Ctrl is held.
    [[nodiscard]] bool NumbersShown() const noexcept { return numbersShown_; }
    void SetNumbersShown(bool shown) noexcept { numbersShown_ = shown; }
    [[nodiscard]] bool FocusToggle() const noexcept { return focusToggle_; }

private:
    static LRESULT CALLBACK Subclass(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR self) noexcept;
    LRESULT Dispatch(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled);
    void OnShell(WPARAM code, LPARAM window);
    void OnCreated(HWND window);
    LRESULT OnHookNotify(WPARAM code, LPARAM value, bool& handled);
    void OnWheel(WPARAM wParam, LPARAM lParam);
    void SetSizing(bool sizing);

    DispatchHost& host_;
    HWND main_ = nullptr;
    // The window-created notices are taken only while the shell hook is registered, whichever
    // source reports them (the shell or the hook library).
    bool watchingWindows_ = false;
    // Windows already examined: the shell and the hook library may both report one window.
    std::unordered_set<HWND> examined_;
    UINT shellHookMsg_ = 0;
    UINT taskbarCreatedMsg_ = 0;
    int nesting_ = 0;
    bool mainIsActive_ = false;
    bool isSizing_ = false;
    bool isClosing_ = false;
    LPARAM hookReply_ = 0;
    bool numbersShown_ = false;
    bool focusToggle_ = false;
    WheelSwitch wheel_;
};

}  // namespace parlix
