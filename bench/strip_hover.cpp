// strip_hover: the cost of the tab strip's painting as the mouse moves along it. For each skin
// with the tabs at the top and at the bottom, the mouse crosses ten tabs back and forth; each
// move to another tab paints only the tab left and the tab entered, with 10 tabs and with 120. Prints the time per move
// and the share of the strip drawn again, beside the time of one paint of the whole strip.
#include "tests/support/strip_window.h"

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace parlix;
using namespace parlix::test;

namespace {

double Now() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    ::QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

// CPU time of this thread so far, in ms: steadier than the clock on a busy machine.
double ThreadCpu() {
    FILETIME created, exited, kernel, user;
    ::GetThreadTimes(::GetCurrentThread(), &created, &exited, &kernel, &user);
    const auto ms = [](FILETIME f) {
        return static_cast<double>((static_cast<unsigned long long>(f.dwHighDateTime) << 32) | f.dwLowDateTime) / 1e4;
    };
    return ms(kernel) + ms(user);
}

// total: the tabs in the strip; the mouse crosses the first ten of them.
void Run(bool xp, bool bottom, int total) {
    constexpr int kTabs = 10, kSweeps = 20;
    FixedLook look;
    look.xp = xp;
    StripWindow strip(look, bottom, 20, 20, 1000, total > kTabs ? 600 : 90);
    std::vector<std::wstring> captions;
    for (int i = 0; i < total; ++i) captions.push_back(L"聊天 " + std::to_wstring(i + 1));
    strip.Show(captions, 0);
    RECT client{};
    ::GetClientRect(strip.Tabs().hwnd(), &client);

    std::vector<double> moves;
    long long area = 0;
    const double cpuStart = ThreadCpu();
    for (int sweep = 0; sweep < kSweeps; ++sweep) {
        for (int k = 0; k < kTabs; ++k) {
            const int i = sweep % 2 == 0 ? k : kTabs - 1 - k;
            const RECT r = strip.Tabs().GetItemRect(i);
            const double start = Now();
            strip.MouseAt((r.left + r.right) / 2, (r.top + r.bottom) / 2);
            moves.push_back(Now() - start);
            const RECT b = strip.Skin().LastRepaintBounds();
            area += static_cast<long long>(b.right - b.left) * (b.bottom - b.top);
        }
    }
    const double hoverCpu = (ThreadCpu() - cpuStart) / static_cast<double>(moves.size());
    constexpr int kFull = 50;
    const double fullStart = Now(), fullCpuStart = ThreadCpu();
    for (int i = 0; i < kFull; ++i) strip.Repaint();
    const double full = (Now() - fullStart) / kFull, fullCpu = (ThreadCpu() - fullCpuStart) / kFull;

    std::sort(moves.begin(), moves.end());
    double sum = 0;
    for (double m : moves) sum += m;
    const double stripArea = static_cast<double>(client.right) * client.bottom;
    std::printf("%s skin, %d tabs at the %s: %zu hovers, %.2f ms per hover (median %.2f, max %.2f; CPU %.2f), "
                "%.1f%% of the strip drawn again per hover; whole strip %.2f ms (CPU %.2f)\n",
                xp ? "XP" : "QQ", total, bottom ? "bottom" : "top", moves.size(), sum / moves.size(),
                moves[moves.size() / 2], moves.back(), hoverCpu, 100.0 * area / moves.size() / stripArea, full,
                fullCpu);
}

}  // namespace

int wmain() {
    for (bool xp : {true, false})
        for (bool bottom : {false, true}) Run(xp, bottom, 10);
    // A hover costs the same however many tabs there are: only the two tabs it changes are drawn.
    for (bool xp : {true, false}) Run(xp, false, 120);
    return 0;
}
