#include "tests/support/process.h"

#include "base/window_text_win.h"

#include <tlhelp32.h>

#include <atomic>

namespace parlix::test {

std::wstring QuoteArgument(const std::wstring& arg) {
    if (!arg.empty() && arg.find_first_of(L" \t\"") == std::wstring::npos) return arg;
    std::wstring out = L"\"";
    size_t backslashes = 0;
    for (wchar_t c : arg) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        if (c == L'"') out.append(backslashes * 2 + 1, L'\\');
        else out.append(backslashes, L'\\');
        backslashes = 0;
        out += c;
    }
    out.append(backslashes * 2, L'\\');
    out += L'"';
    return out;
}

Process Process::Start(const std::filesystem::path& exe, const std::vector<std::wstring>& args) {
    std::wstring line = QuoteArgument(exe.wstring());
    for (const auto& a : args) line += L" " + QuoteArgument(a);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    const std::wstring dir = exe.parent_path().wstring();
    Process p;
    if (::CreateProcessW(exe.wstring().c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(),
                         &si, &pi)) {
        ::CloseHandle(pi.hThread);
        p.process_.reset(pi.hProcess);
        p.id_ = pi.dwProcessId;
        p.threadId_ = pi.dwThreadId;
    }
    return p;
}

bool Process::Running() const {
    return process_ && ::WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
}

bool Process::Wait(std::chrono::milliseconds deadline) {
    if (!process_) return true;
    return ::WaitForSingleObject(process_.get(), static_cast<DWORD>(deadline.count())) == WAIT_OBJECT_0;
}

DWORD Process::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    if (process_) ::GetExitCodeProcess(process_.get(), &code);
    return code;
}

void Process::Kill() {
    if (!process_) return;
    if (Running()) {
        ::TerminateProcess(process_.get(), 1);
        ::WaitForSingleObject(process_.get(), 5000);
    }
    process_.reset();
}

std::wstring ImageNameOf(DWORD pid) {
    ScopedHandle snap(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W e{};
    e.dwSize = sizeof e;
    for (BOOL ok = ::Process32FirstW(snap.get(), &e); ok; ok = ::Process32NextW(snap.get(), &e))
        if (e.th32ProcessID == pid) return e.szExeFile;
    return {};
}

std::filesystem::path BinDir() { return std::filesystem::path(ModuleDirectory()); }

TempDir::TempDir(const std::wstring& prefix) {
    static std::atomic<unsigned> counter{0};
    const auto base = std::filesystem::temp_directory_path();
    for (;;) {
        path_ = base / (prefix + L"-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                        std::to_wstring(counter++));
        std::error_code ec;
        if (std::filesystem::create_directories(path_, ec)) break;
    }
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

}  // namespace parlix::test
