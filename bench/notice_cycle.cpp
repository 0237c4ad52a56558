// notice_cycle: 100 notice cycles of the notification plugin's window (load, slide in, hold 1 ms,
// slide out, close) in this process, with the shipped skin. Prints the process's GDI and USER
// objects and private memory after the first cycle and along the way (none may grow), the cycle
// time, and the time of one repaint (restore the bare skin, draw title and text, update the
// layered window).
#include "contract/com_server.h"
#include "plugins/notice/notice_store_win.h"
#include "plugins/notice/notice_window_win.h"
#include "tests/support/process.h"
#include "tests/support/windows.h"

#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <vector>

// This program serves no classes of its own.
const parlix::com::ServerInfo& parlix::com::ThisServer() {
    static const ServerInfo none{};
    return none;
}

using namespace parlix::notice;
using namespace parlix::test;

namespace {

struct Counts {
    DWORD gdi = 0, user = 0;
    long gdiTableTop = 0;
    SIZE_T privateBytes = 0, workingSet = 0, heapBytes = 0;
};

// The highest GDI handle-table slot that 64 new objects take. Freed slots are handed out again
// before new ones, so the mark moves only when objects stay alive: it counts leaks where
// GetGuiResources has no figure (Wine answers 0).
long GdiTableTop() {
    HGDIOBJ probes[64];
    long top = 0;
    for (HGDIOBJ& p : probes) {
        p = ::CreateSolidBrush(RGB(1, 2, 3));
        top = std::max(top, static_cast<long>(reinterpret_cast<std::uintptr_t>(p) & 0xFFFF));
    }
    for (HGDIOBJ p : probes) ::DeleteObject(p);
    return top;
}

// Bytes in use in every heap of the process (the C runtime's and GDI+'s included).
SIZE_T HeapInUse() {
    HANDLE heaps[64];
    const DWORD n = std::min<DWORD>(::GetProcessHeaps(64, heaps), 64);
    SIZE_T used = 0;
    for (DWORD i = 0; i < n; ++i) {
        if (!::HeapLock(heaps[i])) continue;
        PROCESS_HEAP_ENTRY e{};
        while (::HeapWalk(heaps[i], &e))
            if (e.wFlags & PROCESS_HEAP_ENTRY_BUSY) used += e.cbData;
        ::HeapUnlock(heaps[i]);
    }
    return used;
}

Counts Measure() {
    Counts c;
    const HANDLE self = ::GetCurrentProcess();
    c.gdi = ::GetGuiResources(self, GR_GDIOBJECTS);
    c.user = ::GetGuiResources(self, GR_USEROBJECTS);
    c.gdiTableTop = GdiTableTop();
    PROCESS_MEMORY_COUNTERS_EX pmc{};
    pmc.cb = sizeof pmc;
    if (::GetProcessMemoryInfo(self, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&pmc), sizeof pmc)) {
        c.privateBytes = pmc.PrivateUsage;
        c.workingSet = pmc.WorkingSetSize;
    }
    c.heapBytes = HeapInUse();
    return c;
}

void Print(int cycle, const Counts& c) {
    std::printf("  after cycle %3d: GDI objects %4lu (table top %5ld), USER objects %4lu, private %7.1f KiB, "
                "working set %7.1f KiB, heap in use %7.1f KiB\n",
                cycle, static_cast<unsigned long>(c.gdi), c.gdiTableTop, static_cast<unsigned long>(c.user),
                c.privateBytes / 1024.0, c.workingSet / 1024.0, c.heapBytes / 1024.0);
}

}  // namespace

int wmain() {
    NoticeModel model;
    model.skinDir = (BinDir() / L"Plugins" / L"Skin").wstring() + L"\\";
    LoadSkinLayout(model);
    model.NoticeTitle = L"张三的新消息:";
    model.NoticeText = L"张三 10:05:12\r\n明天的会改到下午三点了，地点还在三楼会议室。";
    NoticeWindow window(model);

    std::printf("notice cycles (skin %s, hold 1 ms):\n", "Default");
    const auto start = std::chrono::steady_clock::now();
    Counts first{}, last{};
    for (int cycle = 1; cycle <= 100; ++cycle) {
        model.motion.HoldTime = 1;
        model.motion.ContinueSlide();
        if (!window.Form_Load()) {
            std::printf("  the notice did not load (skin in %ls?)\n", model.skinDir.c_str());
            return 1;
        }
        window.PlaceNotice();
        window.tmrPaint_Timer();
        window.Show();
        if (!WaitFor([&] { return !window.Loaded(); }, 20s, 1ms)) {
            std::printf("  cycle %d did not end\n", cycle);
            return 1;
        }
        last = Measure();
        if (cycle == 2) first = last;  // the first cycle also sets up what stays (GDI+, classes)
        if (cycle == 1 || cycle == 2 || cycle == 10 || cycle == 50 || cycle == 100) Print(cycle, last);
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("  growth from cycle 2 to 100: GDI %+ld, GDI table top %+ld, USER %+ld, private %+.1f KiB, heap in use "
                "%+.1f KiB; %.0f ms per cycle\n",
                static_cast<long>(last.gdi) - static_cast<long>(first.gdi), last.gdiTableTop - first.gdiTableTop,
                static_cast<long>(last.user) - static_cast<long>(first.user),
                (static_cast<double>(last.privateBytes) - static_cast<double>(first.privateBytes)) / 1024.0,
                (static_cast<double>(last.heapBytes) - static_cast<double>(first.heapBytes)) / 1024.0,
                seconds * 1000 / 100);

    // Paint time: one window held on screen, repainted over and over.
    model.motion.HoldTime = 60000;
    window.Form_Load();
    window.PlaceNotice();
    window.Show();
    std::vector<double> us;
    for (int i = 0; i < 300; ++i) {
        const auto t0 = std::chrono::steady_clock::now();
        window.tmrPaint_Timer();
        us.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - t0).count());
    }
    const SIZE size = window.SkinSize();
    window.Unload();
    std::sort(us.begin(), us.end());
    std::printf("repaint of a %ldx%ld notice: median %.0f us, 90th percentile %.0f us, max %.0f us (tick: %u ms)\n",
                size.cx, size.cy, us[us.size() / 2], us[us.size() * 9 / 10], us.back(), kPaintIntervalMs);
    return 0;
}
