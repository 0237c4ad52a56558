// Every message Parlix sends to a client's window goes through here: bounded by a timeout, and
// aware that captured windows share Parlix's input queue. When a client stops answering, its
// input queue is detached so the hung client cannot stall Parlix; it is attached again when the
// client answers. Attachments are counted per client thread: two captured windows of one thread
// share one attachment, which ends with the last of them.
#pragma once

#include <windows.h>

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <span>
#include <string>

namespace parlix {

inline constexpr UINT kClientTimeoutMs = 1000;
// How long a client may take to show it still pumps messages before focus moves.
inline constexpr UINT kClientAliveMs = 100;

class ClientCalls {
public:
    ClientCalls() = default;
    ClientCalls(const ClientCalls&) = delete;
    ClientCalls& operator=(const ClientCalls&) = delete;
    ~ClientCalls();

    // SendMessageTimeoutW with SMTO_ABORTIFHUNG; nullopt when the client did not answer in time.
    std::optional<LRESULT> Send(HWND window, UINT msg, WPARAM wParam, LPARAM lParam,
                                UINT timeoutMs = kClientTimeoutMs);

    // The history text of a window-text kind (WM_GETTEXTLENGTH, then WM_GETTEXT with room for
    // ANSI boxes whose length counts bytes); nullopt when the client did not answer.
    std::optional<std::wstring> WindowText(HWND window);
    // The text of a window whose WM_GETTEXTLENGTH answer (measure) is already known.
    std::optional<std::wstring> WindowText(HWND window, LRESULT measure);
    std::optional<int> WindowTextLength(HWND window);

    // Showing and placing a client's window without waiting for it (requests the client
    // carries out when it next pumps messages).
    void ShowAsync(HWND window, int command);
    void PlaceAsync(HWND window, HWND insertAfter, int x, int y, int width, int height, UINT flags);
    // Moves the keyboard focus into window. A client with the hook library in its attached
    // thread is asked to move it itself (AskToTakeFocus). Otherwise a client that does not
    // answer at once, the one losing the focus or the one getting it, is detached first so
    // SetFocus cannot wait on it; false when the target does not answer.
    bool Focus(HWND window);
    // Asks window's own thread to take the focus (the hook library's kTakeFocus), which also
    // brings the main window to the front, without waiting for it: possible when that thread is
    // hooked and attached, and the foreground window is Parlix's, that client's, or none. A
    // client of another thread holding the focus is checked first (ReleaseHungFocus), so the
    // asked client cannot be stalled by a hung one. False when not possible or not sent.
    bool AskToTakeFocus(HWND window);
    // The client threads the hook library is installed in.
    void SetHookedThreads(std::span<const std::uint32_t> threads);
    // Detaches the client holding the keyboard focus when it does not answer at once, so that
    // activation and focus changes of Parlix's own windows do not wait on it. Returns the
    // thread of that client when it answered; 0 when it did not, or no client has the focus.
    // A holder in the thread spared is not asked: the caller is about to wait on that thread
    // with calls of its own.
    DWORD ReleaseHungFocus(DWORD spared = 0);

    // Input queue of the window's thread attached to Parlix's while the window is captured.
    void AttachInput(HWND window);
    void DetachInput(HWND window);
    // Every attachment ends (exit).
    void DetachAll();

    [[nodiscard]] bool IsAttached(DWORD thread) const;

    // The outcome of a call made to window from another thread (the new-message poll's): a
    // client that did not answer is detached like one that failed a Send here, and attached
    // again once it answers. An answer costs nothing while no client is detached.
    void Report(HWND window, bool answered);

private:
    struct Attachment {
        int windows = 0;
        bool suspended = false;  // detached while the client does not answer
    };
    void OnAnswer(HWND window, bool answered);

    std::map<DWORD, Attachment> attachments_;  // by client thread
    std::map<HWND, DWORD> windowThreads_;      // captured window → its thread
    std::set<DWORD> hooked_;
};

// Characters of text longer than this are not read from a client (a history box is far
// smaller; a larger claim is treated as no answer).
inline constexpr int kMaxWindowTextChars = 8 * 1024 * 1024;

}  // namespace parlix
