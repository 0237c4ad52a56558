#include "tools/fakeim/execute.h"

#include "tools/fakeim/chat_windows.h"
#include "tools/fakeim/commands.h"
#include "tools/fakeim/environment.h"
#include "tools/fakeim/main_windows.h"
#include "tools/fakeim/sim_window.h"

#include <array>
#include <utility>

namespace fakeim {

namespace {

constexpr DWORD kCrashCode = 0xC0000005; // what an access violation leaves as exit code

using Fields = std::vector<std::wstring>;

LRESULT FromHwnd(HWND hwnd) {
    return reinterpret_cast<LRESULT>(hwnd);
}

// The window the latest open or main command made: scripts name it "last".
HWND g_lastOpened = nullptr;

HWND Remember(HWND hwnd) {
    if (hwnd) g_lastOpened = hwnd;
    return hwnd;
}

// A window of this process named by a decimal or hex handle or "last"; null for anything else.
HWND OwnWindow(const std::wstring& text) {
    if (text == L"last") return ::IsWindow(g_lastOpened) ? g_lastOpened : nullptr;
    const auto value = ParseNumber(text);
    if (!value) return nullptr;
    HWND hwnd = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(*value));
    DWORD pid = 0;
    if (!::IsWindow(hwnd) || !::GetWindowThreadProcessId(hwnd, &pid) || pid != ::GetCurrentProcessId())
        return nullptr;
    return hwnd;
}

LRESULT Main(Environment& env, const Fields& f) {
    if (f.size() != 1) return 0;
    const auto request = ParseMainRequest(f[0]);
    return request ? FromHwnd(Remember(OpenMainWindow(env, *request))) : 0;
}

LRESULT Open(Environment& env, const Fields& f) {
    if (f.size() < 2) return 0;
    const auto kind = ParseChatKind(f[0]);
    const auto options = ParseOptions(std::span(f).subspan(2));
    if (!kind || !options) return 0;
    return FromHwnd(Remember(OpenChatWindow(env, *kind, f[1], *options)));
}

LRESULT Append(Environment&, const Fields& f) {
    SimWindow* sim = f.size() == 2 ? SimWindow::From(OwnWindow(f[0])) : nullptr;
    return sim && sim->Append(f[1]);
}

LRESULT Record(Environment&, const Fields& f) {
    SimWindow* sim = f.size() == 2 ? SimWindow::From(OwnWindow(f[0])) : nullptr;
    return sim && sim->AppendToRecord(f[1]);
}

LRESULT Title(Environment&, const Fields& f) {
    HWND hwnd = f.size() == 2 ? OwnWindow(f[0]) : nullptr;
    if (!hwnd) return 0;
    if (SimWindow* sim = SimWindow::From(hwnd))
        sim->SetTitle(f[1]);
    else
        ::SetWindowTextW(hwnd, f[1].c_str());
    return 1;
}

LRESULT Show(Environment&, const Fields& f) {
    HWND hwnd = f.size() == 2 ? OwnWindow(f[0]) : nullptr;
    const auto how = f.size() == 2 ? ParseShow(f[1]) : std::nullopt;
    if (!hwnd || !how) return 0;
    static constexpr std::array<std::pair<ShowHow, int>, 5> kCommands{{
        {ShowHow::Minimize, SW_MINIMIZE},
        {ShowHow::Maximize, SW_MAXIMIZE},
        {ShowHow::Restore, SW_RESTORE},
        {ShowHow::Hide, SW_HIDE},
        {ShowHow::Show, SW_SHOW},
    }};
    for (const auto& [h, cmd] : kCommands)
        if (h == *how) ::ShowWindow(hwnd, cmd);
    return 1;
}

LRESULT Layered(Environment&, const Fields& f) {
    HWND hwnd = f.size() == 2 ? OwnWindow(f[0]) : nullptr;
    const auto alpha = f.size() == 2 ? ParseAlpha(f[1]) : std::nullopt;
    if (!hwnd || !alpha) return 0;
    ::SetWindowLongW(hwnd, GWL_EXSTYLE, ::GetWindowLongW(hwnd, GWL_EXSTYLE) | WS_EX_LAYERED);
    return ::SetLayeredWindowAttributes(hwnd, 0, *alpha, LWA_ALPHA) != FALSE;
}

LRESULT Move(Environment&, const Fields& f) {
    HWND hwnd = f.size() == 5 ? OwnWindow(f[0]) : nullptr;
    if (!hwnd) return 0;
    std::array<int, 4> v{};
    for (size_t i = 0; i < v.size(); ++i) {
        const auto n = ParseInt(f[i + 1]);
        if (!n) return 0;
        v[i] = *n;
    }
    return ::MoveWindow(hwnd, v[0], v[1], v[2], v[3], TRUE) != FALSE;
}

LRESULT Block(Environment&, const Fields& f) {
    SimWindow* sim = f.size() == 2 || f.size() == 3 ? SimWindow::From(OwnWindow(f[0])) : nullptr;
    const auto busyMs = f.size() == 3 ? ParseNumber(f[2]) : std::optional<std::uint32_t>(0);
    if (!sim || !busyMs) return 0;
    sim->Block(f[1], static_cast<DWORD>(*busyMs));
    return 1;
}

LRESULT Unblock(Environment&, const Fields& f) {
    SimWindow* sim = f.size() == 1 ? SimWindow::From(OwnWindow(f[0])) : nullptr;
    if (!sim) return 0;
    sim->Unblock();
    return 1;
}

LRESULT Close(Environment&, const Fields& f) {
    HWND hwnd = f.size() == 1 ? OwnWindow(f[0]) : nullptr;
    return hwnd && ::DestroyWindow(hwnd);
}

LRESULT Hang(Environment&, const Fields& f) {
    const auto ms = f.size() == 1 ? ParseNumber(f[0]) : std::nullopt;
    if (!ms) return 0;
    ::ReplyMessage(1);
    ::Sleep(*ms); // without pumping: every window of the process stops answering
    return 1;
}

LRESULT Crash(Environment&, const Fields& f) {
    if (!f.empty()) return 0;
    ::ReplyMessage(1);
    // Ends at once with a crash's exit code, but raises nothing that could show a dialog.
    ::TerminateProcess(::GetCurrentProcess(), kCrashCode);
    return 1;
}

LRESULT Quit(Environment&, const Fields& f) {
    if (!f.empty()) return 0;
    ::PostQuitMessage(0);
    return 1;
}

using Handler = LRESULT (*)(Environment&, const Fields&);

constexpr std::array<std::pair<std::wstring_view, Handler>, 14> kHandlers{{
    {L"main", Main},
    {L"open", Open},
    {L"append", Append},
    {L"record", Record},
    {L"title", Title},
    {L"show", Show},
    {L"layered", Layered},
    {L"move", Move},
    {L"block", Block},
    {L"unblock", Unblock},
    {L"close", Close},
    {L"hang", Hang},
    {L"crash", Crash},
    {L"quit", Quit},
}};

} // namespace

LRESULT Execute(Environment& env, std::wstring_view line) noexcept {
    try {
        const Command cmd = ParseCommand(line);
        for (const auto& [verb, handler] : kHandlers)
            if (verb == cmd.verb) return handler(env, cmd.fields);
    } catch (...) {
        // Out of memory: the command failed, the simulator goes on.
    }
    return 0;
}

} // namespace fakeim
