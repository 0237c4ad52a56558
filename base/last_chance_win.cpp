#include "base/last_chance_win.h"

#include <windows.h>

#include <csignal>
#include <cstdlib>
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
    // The process ends with the exception's code; no debugger is started over the windows.
    return EXCEPTION_EXECUTE_HANDLER;
}

void OnTerminate() {
    RunRestoreOnce();
    ::ExitProcess(3);
}

void OnAbort(int) {
    RunRestoreOnce();
    ::ExitProcess(3);
}

BOOL WINAPI OnConsoleEvent(DWORD) {
    RunRestoreOnce();
    // What the default handling would do, without relying on it being there.
    ::ExitProcess(STATUS_CONTROL_C_EXIT);
}

DWORD WINAPI FaultThread(void*) {
    *static_cast<volatile int*>(nullptr) = 1;
    return 0;
}
}  // namespace

void InstallLastChance(std::function<void()> restore) {
    Restore() = std::move(restore);
    ::SetUnhandledExceptionFilter(OnUnhandled);
    std::set_terminate(OnTerminate);
    std::signal(SIGABRT, OnAbort);
    ::SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

void ClearLastChance() { Restore() = nullptr; }

void EndProgramNow(unsigned code) {
    RunRestoreOnce();
    ::ExitProcess(code);
}

std::wstring TestFaultFromEnvironment() {
    wchar_t value[32] = {};
    const DWORD n = ::GetEnvironmentVariableW(L"PARLIX_TEST_FAULT", value, 32);
    return n > 0 && n < 32 ? std::wstring(value, n) : std::wstring();
}

void RaiseTestFault(std::wstring_view fault) {
    if (fault == L"unhandled") {
        *static_cast<volatile int*>(nullptr) = 1;
    } else if (fault == L"thread") {
        // The caller goes back to its messages, as a user-interface thread would be doing.
        if (HANDLE thread = ::CreateThread(nullptr, 0, FaultThread, nullptr, 0, nullptr)) ::CloseHandle(thread);
    } else if (fault == L"terminate") {
        std::terminate();
    } else if (fault == L"abort") {
        std::abort();
    } else if (fault == L"console") {
        // Handled on a thread of its own, which ends the process.
        // A console of its own: an event on a console it shares would reach the other programs.
        ::FreeConsole();
        if (::AllocConsole()) {
            ::SetConsoleCtrlHandler(nullptr, FALSE);  // Ctrl+C is handled, not ignored
            ::GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0);
        }
    }
}

}  // namespace parlix
