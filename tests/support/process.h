// Child processes for tests: started with a deadline, always ended when the owner goes.
#pragma once

#include "base/scoped_win.h"

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace parlix::test {

using namespace std::chrono_literals;

class Process {
public:
    Process() = default;
    Process(Process&&) noexcept = default;
    Process& operator=(Process&&) noexcept = default;
    ~Process() { Kill(); }

    // Starts exe with the given arguments (each quoted as needed) in the exe's folder.
    [[nodiscard]] static Process Start(const std::filesystem::path& exe, const std::vector<std::wstring>& args);

    [[nodiscard]] bool Running() const;
    [[nodiscard]] DWORD Id() const noexcept { return id_; }
    [[nodiscard]] DWORD MainThreadId() const noexcept { return threadId_; }
    [[nodiscard]] HANDLE Handle() const noexcept { return process_.get(); }
    // Waits for the end; returns false when the deadline passed first.
    bool Wait(std::chrono::milliseconds deadline);
    [[nodiscard]] DWORD ExitCode() const;
    // Ends the process if it still runs and waits for it.
    void Kill();

private:
    ScopedHandle process_;
    DWORD id_ = 0;
    DWORD threadId_ = 0;
};

// Quotes one command-line argument the way CommandLineToArgvW reads it back.
[[nodiscard]] std::wstring QuoteArgument(const std::wstring& arg);

// Executable file name of a running process ("" when it is not running).
[[nodiscard]] std::wstring ImageNameOf(DWORD pid);

// Folder of the running test program: the build's bin folder with every program in it.
[[nodiscard]] std::filesystem::path BinDir();

// A fresh, empty folder under the temp folder, removed with its content when the owner goes.
class TempDir {
public:
    explicit TempDir(const std::wstring& prefix);
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    ~TempDir();
    [[nodiscard]] const std::filesystem::path& Path() const noexcept { return path_; }

private:
    std::filesystem::path path_;
};

}  // namespace parlix::test
