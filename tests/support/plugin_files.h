// Plugins and the contract library in test program folders: the system tools (regsvr32,
// cscript) with their exit codes, the test plugins of bin/test_plugins, and what the recorder
// plugins wrote.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace parlix::test {

// Runs a program of the system folder with the arguments and waits for it (generous deadline);
// its exit code, or -1 when it did not start or end.
int RunSystemTool(const std::wstring& exe, const std::vector<std::wstring>& args);

// regsvr32 /s (or /u /s) on the file: its exit code.
int Regsvr32(const std::filesystem::path& file, bool unregister = false);

// Copies the test plugin <name>.dll into dir (created as needed).
bool CopyTestPlugin(const std::wstring& name, const std::filesystem::path& dir);

// The lines of calls.log in dir (what the recorder plugins there wrote), in order.
[[nodiscard]] std::vector<std::wstring> RecordedCalls(const std::filesystem::path& dir);

// Only the lines whose second word is one of the host's plugin calls ("OnConnection",
// "OnDisconnection", "ShowMessage"), cut to "<name> <call>".
[[nodiscard]] std::vector<std::wstring> CallOrder(const std::vector<std::wstring>& lines);

// The "*.dll" files of dir as the system lists them (the order the host connects them in), names
// without ".dll".
[[nodiscard]] std::vector<std::wstring> ListedPlugins(const std::filesystem::path& dir);

}  // namespace parlix::test
