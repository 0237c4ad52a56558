// roundtrip: 200 capture / pop-out cycles of one chat window (pop-out by the tab command,
// capture again by the window's merge button). Prints Parlix's object and handle counts and
// memory before and after; none of them may grow.
#include "tests/support/clean_state.h"
#include "tests/support/fakeim_client.h"
#include "tests/support/parlix_app.h"
#include "tests/support/windows.h"
#include "ui/menu_ids.h"

#include <psapi.h>

#include <cstdio>

using namespace parlix::test;

namespace {

struct Counts {
    DWORD gdi = 0, user = 0, handles = 0;
    SIZE_T privateBytes = 0;
};

Counts Measure(HANDLE process) {
    Counts c;
    c.gdi = ::GetGuiResources(process, GR_GDIOBJECTS);
    c.user = ::GetGuiResources(process, GR_USEROBJECTS);
    ::GetProcessHandleCount(process, &c.handles);
    PROCESS_MEMORY_COUNTERS_EX pmc{};
    pmc.cb = sizeof pmc;
    if (::GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&pmc), sizeof pmc))
        c.privateBytes = pmc.PrivateUsage;
    return c;
}

bool Cycle(const ParlixApp& app, HWND chat) {
    if (!app.Command(parlix::mnuPop) || ::GetAncestor(chat, GA_ROOT) != chat) return false;
    const HWND merge = WaitFor([&] { return ::FindWindowExW(chat, nullptr, L"Button", L"合并"); }, 2s);
    if (!merge) return false;
    ::SendMessageTimeoutW(merge, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3), SMTO_ABORTIFHUNG, 2000, nullptr);
    ::SendMessageTimeoutW(merge, WM_LBUTTONUP, 0, MAKELPARAM(3, 3), SMTO_ABORTIFHUNG, 2000, nullptr);
    return app.WaitForTab(chat, 3s).has_value();
}

}  // namespace

int wmain() {
    constexpr int kCycles = 200;
    ResetUserState();
    TempDir dir(L"parlix-roundtrip");
    auto qq = FakeIm::Launch(dir.Path(), L"QQ.exe", {L"main|1"});
    auto app = qq ? ParlixApp::Launch(dir.Path()) : nullptr;
    if (!app) {
        std::fprintf(stderr, "could not start the simulator or Parlix\n");
        return 1;
    }
    const HWND chat = qq->Open(L"qq2009", L"赵六");
    if (!chat || !app->WaitForTab(chat) || !Cycle(*app, chat)) {  // one cycle to warm up
        std::fprintf(stderr, "first cycle failed\n");
        return 1;
    }
    const Counts before = Measure(app->Proc().Handle());
    const auto start = std::chrono::steady_clock::now();
    int done = 0;
    for (; done < kCycles; ++done)
        if (!Cycle(*app, chat)) break;
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const Counts after = Measure(app->Proc().Handle());

    std::printf("roundtrip: %d of %d capture/pop-out cycles, %.1f ms per cycle\n", done, kCycles,
                done ? seconds * 1000 / done : 0.0);
    std::printf("%-22s %10s %10s\n", "Parlix", "before", "after");
    std::printf("%-22s %10lu %10lu\n", "GDI objects", before.gdi, after.gdi);
    std::printf("%-22s %10lu %10lu\n", "USER objects", before.user, after.user);
    std::printf("%-22s %10lu %10lu\n", "kernel handles", before.handles, after.handles);
    std::printf("%-22s %10lu %10lu\n", "private bytes (KiB)", static_cast<unsigned long>(before.privateBytes / 1024),
                static_cast<unsigned long>(after.privateBytes / 1024));
    if (before.gdi == 0 && after.gdi == 0)
        std::printf("(GDI/USER counts read 0: this system does not report them)\n");
    app->Close();
    return done == kCycles && after.handles <= before.handles ? 0 : 2;
}
