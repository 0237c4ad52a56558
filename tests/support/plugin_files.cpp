#include "tests/support/plugin_files.h"

#include "tests/support/process.h"

#include <windows.h>

#include <fstream>
#include <sstream>

namespace parlix::test {

int RunSystemTool(const std::wstring& exe, const std::vector<std::wstring>& args) {
    wchar_t system[MAX_PATH] = {};
    ::GetSystemDirectoryW(system, MAX_PATH);
    // Wine now and then fails to start a program while another is being set up: a start that
    // failed is tried again.
    Process p = Process::Start(std::filesystem::path(system) / exe, args);
    for (int retry = 0; retry < 3 && !p.Running() && p.ExitCode() == STILL_ACTIVE; ++retry)
        p = Process::Start(std::filesystem::path(system) / exe, args);
    if (!p.Running() && p.ExitCode() == STILL_ACTIVE) return -1;
    if (!p.Wait(60s)) return -1;
    return static_cast<int>(p.ExitCode());
}

int Regsvr32(const std::filesystem::path& file, bool unregister) {
    std::vector<std::wstring> args;
    if (unregister) args.push_back(L"/u");
    args.push_back(L"/s");
    args.push_back(file.wstring());
    return RunSystemTool(L"regsvr32.exe", args);
}

bool CopyTestPlugin(const std::wstring& name, const std::filesystem::path& dir) {
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    std::filesystem::copy_file(BinDir() / L"test_plugins" / (name + L".dll"), dir / (name + L".dll"),
                               std::filesystem::copy_options::overwrite_existing, ec);
    return !ec;
}

std::vector<std::wstring> RecordedCalls(const std::filesystem::path& dir) {
    std::ifstream in((dir / L"calls.log").wstring().c_str(), std::ios::binary);
    std::vector<std::wstring> lines;
    std::string line;
    while (std::getline(in, line)) {
        const int n = ::MultiByteToWideChar(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), nullptr, 0);
        std::wstring w(static_cast<size_t>(n), L'\0');
        ::MultiByteToWideChar(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), w.data(), n);
        lines.push_back(std::move(w));
    }
    return lines;
}

std::vector<std::wstring> CallOrder(const std::vector<std::wstring>& lines) {
    std::vector<std::wstring> calls;
    for (const auto& line : lines) {
        std::wistringstream words(line);
        std::wstring name, call;
        words >> name >> call;
        if (call == L"OnConnection" || call == L"OnDisconnection" || call == L"ShowMessage")
            calls.push_back(name + L" " + call);
    }
    return calls;
}

std::vector<std::wstring> ListedPlugins(const std::filesystem::path& dir) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data;
    HANDLE find = ::FindFirstFileW((dir / L"*.dll").wstring().c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        const std::wstring file = data.cFileName;
        names.push_back(file.substr(0, file.size() - 4));
    } while (::FindNextFileW(find, &data));
    ::FindClose(find);
    return names;
}

}  // namespace parlix::test
