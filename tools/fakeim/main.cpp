// fakeim.exe: runs its start-up commands (arguments and "--script <path>" files, in order),
// then takes commands at run time through its control window until "quit".
#include "base/scoped_win.h"
#include "base/window_text_win.h"
#include "tools/fakeim/commands.h"
#include "tools/fakeim/control.h"
#include "tools/fakeim/environment.h"
#include "tools/fakeim/execute.h"

#include <windows.h>
#include <shellapi.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using fakeim::Environment;

struct LocalFreeDeleter {
    void operator()(void* p) const noexcept { ::LocalFree(p); }
};

// A script file's text: UTF-16 when it starts with that byte-order mark, UTF-8 otherwise.
std::wstring ReadScript(const std::wstring& path) {
    parlix::ScopedHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return {};
    std::string bytes;
    char buffer[4096];
    DWORD got = 0;
    while (::ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr) && got > 0)
        bytes.append(buffer, got);
    if (bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE')
        return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data() + 2),
                            (bytes.size() - 2) / sizeof(wchar_t));
    return parlix::FromCodePage(bytes, CP_UTF8);
}

std::vector<std::wstring> StartupCommands() {
    int argc = 0;
    std::unique_ptr<wchar_t*[], LocalFreeDeleter> argv(::CommandLineToArgvW(::GetCommandLineW(), &argc));
    std::vector<std::wstring> commands;
    for (int i = 1; argv && i < argc; ++i) {
        const std::wstring arg = argv[i];
        if (arg != L"--script") {
            commands.push_back(arg);
        } else if (i + 1 < argc) {
            for (auto& line : fakeim::ScriptCommands(ReadScript(argv[++i])))
                commands.push_back(std::move(line));
        }
    }
    return commands;
}

BOOL CALLBACK CollectWindow(HWND hwnd, LPARAM lp) {
    reinterpret_cast<std::vector<HWND>*>(lp)->push_back(hwnd);
    return TRUE;
}

// Windows go before the libraries and the font they use.
void DestroyThreadWindows() {
    std::vector<HWND> windows;
    ::EnumThreadWindows(::GetCurrentThreadId(), CollectWindow, reinterpret_cast<LPARAM>(&windows));
    for (HWND hwnd : windows)
        if (::IsWindow(hwnd)) ::DestroyWindow(hwnd);
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    // A test tool: nothing may wait for a click.
    ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    Environment env;
    if (!fakeim::Prepare(env, instance)) return 1;
    for (const std::wstring& line : StartupCommands())
        (void)fakeim::Execute(env, line);
    // Made last: once a driver finds the control window, the start-up windows exist.
    parlix::ScopedOwnWindow control(fakeim::CreateControlWindow(env));
    if (!control) return 1;
    MSG msg{};
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    control.reset();
    DestroyThreadWindows();
    return static_cast<int>(msg.wParam);
}
