#include "base/last_chance_win.h"

#include <windows.h>

#include <csignal>
#include <exception>

namespace parlix {

namespace {
std::function<void()>& Restore() {
    static std::function<void()> restore;
    return restore;
}

void RunRestoreOnce() noexcept {
    static LONG ran = 0;
    if (::InterlockedExchange(&ran, 1) != 0) return;
    if (auto& r = Restore()) {
        try {
            r();
        } catch (...) {
        }
    }
}

LONG WINAPI OnUnhandled(EXCEPTION_POINTERS*) {
    RunRestoreOnce();
    return EXCEPTION_CONTINUE_SEARCH;
}

void OnTerminate() {
    RunRestoreOnce();
    ::ExitProcess(3);
}

void OnAbort(int) {
    RunRestoreOnce();
    ::ExitProcess(3);
}
}  // namespace

void InstallLastChance(std::function<void()> restore) {
    Restore() = std::move(restore);
    ::SetUnhandledExceptionFilter(OnUnhandled);
    std::set_terminate(OnTerminate);
    std::signal(SIGABRT, OnAbort);
}

void ClearLastChance() { Restore() = nullptr; }

void EndProgramNow(unsigned code) {
    RunRestoreOnce();
    ::ExitProcess(code);
}

}  // namespace parlix
