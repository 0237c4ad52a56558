#include "tools/fakeim/sim_window.h"

#include "tools/fakeim/block_dialog.h"
#include "tools/fakeim/protocol.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>

namespace fakeim {

namespace {

constexpr UINT_PTR kSubclassId = 1;
constexpr wchar_t kSelfProp[] = L"FakeImSimWindow";
constexpr UINT_PTR kLateTitleTimer = 1;
constexpr wchar_t kPictureMark = 0xFFFC;
// Posted to a chat window whose memory history grew: it shows the new text.
constexpr UINT kHistoryGrewMsg = WM_APP + 7;

bool OwnedByThisProcess(HWND hwnd) {
    DWORD pid = 0;
    return hwnd && ::GetWindowThreadProcessId(hwnd, &pid) && pid == ::GetCurrentProcessId();
}

} // namespace

SimWindow* SimWindow::Attach(HWND hwnd, const Environment& env) {
    auto* state = new SimWindow(hwnd, env);
    if (!::SetWindowSubclass(hwnd, Proc, kSubclassId, reinterpret_cast<DWORD_PTR>(state))) {
        delete state;
        return nullptr;
    }
    // Found again through a property: 64-bit mingw-w64 has no import of GetWindowSubclass.
    ::SetPropW(hwnd, kSelfProp, state);
    return state;
}

SimWindow* SimWindow::From(HWND hwnd) {
    // The subclass data of another process's window would be an address in that process.
    if (!OwnedByThisProcess(hwnd)) return nullptr;
    return static_cast<SimWindow*>(::GetPropW(hwnd, kSelfProp));
}

SimWindow::~SimWindow() {
    if (HWND dialog = std::exchange(blockDialog_, nullptr)) ::DestroyWindow(dialog);
}

bool SimWindow::SetHistoryRecord(std::unique_ptr<MemoryHistory> history) {
    if (!history) return false;
    history_ = std::move(history);
    return ::SetPropW(hwnd_, kHistoryProp, const_cast<HistoryRecord*>(history_->Record())) != FALSE;
}

bool SimWindow::Append(std::wstring_view text) {
    if (history_) {
        if (!history_->Append(text)) return false;
        // As the clients do, the chat window hears of it through its own message queue.
        ::PostMessageW(hwnd_, kHistoryGrewMsg, 0, 0);
        return true;
    }
    if (!historyBox_) return false;
    // A picture in a rich-edit box reads as a space in its window text.
    std::wstring shown(text);
    std::replace(shown.begin(), shown.end(), kPictureMark, L' ');
    // Positions past the end are clamped to the end, so the byte or CR LF count is enough.
    const LRESULT end = ::SendMessageW(historyBox_, WM_GETTEXTLENGTH, 0, 0);
    ::SendMessageW(historyBox_, EM_SETSEL, static_cast<WPARAM>(end), end);
    ::SendMessageW(historyBox_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(shown.c_str()));
    ::SendMessageW(historyBox_, EM_SCROLLCARET, 0, 0);
    return true;
}

bool SimWindow::AppendToRecord(std::wstring_view text) { return history_ && history_->Append(text); }

void SimWindow::SetTitleLater(std::wstring title, UINT delayMs) {
    lateTitle_ = std::move(title);
    titlePending_ = true;
    ::SetTimer(hwnd_, kLateTitleTimer, delayMs, nullptr);
}

void SimWindow::SetTitle(std::wstring_view title) {
    if (titlePending_) {
        ::KillTimer(hwnd_, kLateTitleTimer);
        titlePending_ = false;
    }
    ::SetWindowTextW(hwnd_, std::wstring(title).c_str());
}

bool SimWindow::Unblock() {
    blockTitle_.clear();
    if (!blockDialog_) return false;
    ::DestroyWindow(std::exchange(blockDialog_, nullptr));
    return true;
}

void SimWindow::ForgetDialog(HWND dialog) noexcept {
    if (blockDialog_ == dialog) blockDialog_ = nullptr;
}

void SimWindow::OnClose() {
    if (blockTitle_.empty()) {
        ::DestroyWindow(hwnd_);
        return;
    }
    if (!blockDialog_) {
        if (blockBusyMs_) ::Sleep(blockBusyMs_);
        blockDialog_ = ShowBlockDialog(env_, blockTitle_, *this);
    }
    else
        ::ShowWindow(blockDialog_, SW_SHOWNORMAL);
}

void SimWindow::OnTimer(UINT_PTR id) {
    if (id != kLateTitleTimer || !titlePending_) return;
    SetTitle(lateTitle_);
}

LRESULT CALLBACK SimWindow::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR ref) {
    auto* self = reinterpret_cast<SimWindow*>(ref);
    switch (msg) {
    case WM_CLOSE:
        self->OnClose();
        return 0;
    case kHistoryGrewMsg:
        ::RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
        return 0;
    case WM_TIMER:
        if (wp != kLateTitleTimer) break;
        self->OnTimer(wp);
        return 0;
    case WM_NCDESTROY:
        ::RemoveWindowSubclass(hwnd, Proc, kSubclassId);
        ::RemovePropW(hwnd, kSelfProp);
        ::RemovePropW(hwnd, kHistoryProp);
        ::RemovePropW(hwnd, kInputProp);
        delete self;
        break;
    default:
        break;
    }
    return ::DefSubclassProc(hwnd, msg, wp, lp);
}

} // namespace fakeim
