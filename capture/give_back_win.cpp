#include "capture/give_back_win.h"

#include "base/handle_value_win.h"
#include "base/scoped_win.h"

#include <atomic>
#include <cwchar>
#include <string>
#include <vector>

namespace parlix {

bool ClientAnswers(HWND window, UINT timeoutMs) noexcept {
    DWORD_PTR result = 0;
    return ::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, timeoutMs, &result) != 0;
}

GiveBackRecord RecordOf(const clsLink& node) noexcept {
    const IMWindow& w = node.window;
    GiveBackRecord r;
    r.x = w.X;
    r.y = w.Y;
    r.width = w.OrgW;
    r.height = w.OrgH;
    r.style = static_cast<std::uint32_t>(w.WinLong);
    r.exStyle = static_cast<std::uint32_t>(w.ExStyle);
    r.alpha = node.originalAlpha;
    return r;
}

void MarkCaptured(HWND window, const GiveBackRecord& record) noexcept {
    const MarkValues values = PackMark(record, ::GetCurrentProcessId());
    for (size_t i = 0; i < values.size(); ++i)
        ::SetPropW(window, kMarkProps[i], reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(values[i])));
}

void Unmark(HWND window) noexcept {
    for (const wchar_t* name : kMarkProps) ::RemovePropW(window, name);
}

std::optional<Mark> ReadMark(HWND window) noexcept {
    MarkValues values{};
    for (size_t i = 0; i < values.size(); ++i)
        values[i] = static_cast<std::uint32_t>(reinterpret_cast<UINT_PTR>(::GetPropW(window, kMarkProps[i])));
    return UnpackMark(values);
}

void RestoreWindow(HWND window, const GiveBackRecord& r) noexcept {
    // Each call waits on the client: as few as will do, and none that would change nothing.
    ::SetParent(window, nullptr);
    // Visibility is the one thing a style write does not carry out: the window keeps the state
    // it has now, and is shown with the place and frame below when it was visible before
    // capture.
    const LONG now = ::GetWindowLongW(window, GWL_STYLE);
    const LONG style = (static_cast<LONG>(r.style) & ~WS_VISIBLE) | (now & WS_VISIBLE);
    if (style != now) ::SetWindowLongW(window, GWL_STYLE, style);
    if (::GetWindowLongW(window, GWL_EXSTYLE) != static_cast<LONG>(r.exStyle))
        ::SetWindowLongW(window, GWL_EXSTYLE, static_cast<LONG>(r.exStyle));
    // A translucent window gets its own opacity back (capture made it opaque).
    if (r.exStyle & WS_EX_LAYERED)
        ::SetLayeredWindowAttributes(window, 0, r.alpha >= 0 ? static_cast<BYTE>(r.alpha) : BYTE{255}, LWA_ALPHA);
    const UINT show = (r.style & WS_VISIBLE) && !(now & WS_VISIBLE) ? SWP_SHOWWINDOW : 0;
    ::SetWindowPos(window, nullptr, r.x, r.y, r.width, r.height,
                   SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED | show);
    // What it drew as our child is not what it shows as a window of its own: it paints itself
    // whole again, frame and children included (an invalidation only; nothing waits on it).
    ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    Unmark(window);
}

// ---- give-back on threads of their own ------------------------------------------------------

struct GiveBackWorkers::Shared {
    std::atomic<int> pending{0};
    ScopedHandle done{::CreateEventW(nullptr, FALSE, FALSE, nullptr)};  // set at each end
};

namespace {
struct Job {
    std::shared_ptr<void> keep;  // the Shared the job reports to
    std::atomic<int>* pending = nullptr;
    HANDLE done = nullptr;
    HWND window = nullptr;
    GiveBackRecord record;
    bool thenClose = false;
};

DWORD WINAPI GiveBackThread(void* param) {
    Job* job = static_cast<Job*>(param);
    RestoreWindow(job->window, job->record);
    if (job->thenClose && ::IsWindow(job->window)) ::PostMessageW(job->window, WM_CLOSE, 0, 0);
    --*job->pending;
    ::SetEvent(job->done);
    delete job;
    return 0;
}
}  // namespace

GiveBackWorkers::GiveBackWorkers() : shared_(std::make_shared<Shared>()) {}

void GiveBackWorkers::Start(HWND window, const GiveBackRecord& record, bool thenClose) noexcept {
    Job* job = new (std::nothrow) Job;
    if (!job) return;
    job->keep = shared_;
    job->pending = &shared_->pending;
    job->done = shared_->done.get();
    job->window = window;
    job->record = record;
    job->thenClose = thenClose;
    ++shared_->pending;
    // The thread is not waited for: it ends when the client has taken its window back.
    if (HANDLE thread = ::CreateThread(nullptr, 64 * 1024, GiveBackThread, job, STACK_SIZE_PARAM_IS_A_RESERVATION,
                                       nullptr)) {
        ::CloseHandle(thread);
        return;
    }
    --shared_->pending;
    delete job;
}

int GiveBackWorkers::Pending() const noexcept { return shared_->pending.load(); }

bool GiveBackWorkers::Wait(DWORD timeoutMs, bool pump) noexcept {
    const DWORD start = ::GetTickCount();
    HANDLE done = shared_->done.get();
    while (Pending() > 0) {
        const DWORD spent = ::GetTickCount() - start;
        if (spent >= timeoutMs) return false;
        const DWORD left = timeoutMs - spent;
        if (!pump) {
            ::WaitForSingleObject(done, left);
            continue;
        }
        if (::MsgWaitForMultipleObjects(1, &done, FALSE, left, QS_ALLINPUT) != WAIT_OBJECT_0 + 1) continue;
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                ::PostQuitMessage(static_cast<int>(msg.wParam));
                // A quit already asked for ends the pumping; the wait goes on without it.
                pump = false;
                break;
            }
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    return true;
}

// ---- windows left behind by an earlier run ------------------------------------------------

namespace {
std::wstring FileNameOf(std::wstring path) {
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

// True when pid is a running process of this program's executable name.
bool IsRunningParlix(DWORD pid) noexcept {
    if (pid == ::GetCurrentProcessId()) return true;
    const ScopedHandle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
    if (!process) return false;
    DWORD code = 0;
    if (!::GetExitCodeProcess(process.get(), &code) || code != STILL_ACTIVE) return false;
    wchar_t theirs[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    if (!::QueryFullProcessImageNameW(process.get(), 0, theirs, &size)) return false;
    wchar_t ours[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, ours, MAX_PATH);
    return ::_wcsicmp(FileNameOf(theirs).c_str(), FileNameOf(ours).c_str()) == 0;
}

BOOL CALLBACK CollectMarked(HWND window, LPARAM param) noexcept {
    if (::GetPropW(window, kMarkProps[0])) reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
    return TRUE;
}
}  // namespace

int GiveBackOrphans(GiveBackWorkers& workers) noexcept {
    try {
        std::vector<HWND> marked;
        ::EnumWindows(CollectMarked, reinterpret_cast<LPARAM>(&marked));
        int given = 0;
        for (HWND window : marked) {
            const std::optional<Mark> mark = ReadMark(window);
            if (!mark) {
                Unmark(window);
                continue;
            }
            if (IsRunningParlix(mark->ownerPid)) continue;
            if (ClientAnswers(window)) RestoreWindow(window, mark->record);
            else workers.Start(window, mark->record, false);
            ++given;
        }
        return given;
    } catch (...) {
        return 0;  // out of memory listing windows: nothing is given back this time
    }
}

}  // namespace parlix
