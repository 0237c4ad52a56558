// Drives one fakeim.exe process: a copy of the simulator under a client's executable name
// (discovery looks at process names), commands at run time, and cleanup when the owner goes.
#pragma once

#include "tests/support/process.h"
#include "tests/support/windows.h"

#include <windows.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace parlix::test {

class FakeIm {
public:
    // Copies fakeim.exe from the bin folder into dir as exeName, starts it with the start-up
    // commands and waits until its control window answers. Null when it did not come up.
    [[nodiscard]] static std::unique_ptr<FakeIm> Launch(const std::filesystem::path& dir,
                                                        const std::wstring& exeName,
                                                        const std::vector<std::wstring>& commands = {},
                                                        std::chrono::milliseconds deadline = kPatience);

    // Sends one command; the command's result, or 0 when it failed or timed out.
    LRESULT Command(std::wstring_view command, std::chrono::milliseconds timeout = kPatience);
    // "open|kind|title|options..." → the new window (null on failure).
    HWND Open(std::wstring_view kind, std::wstring_view title, std::wstring_view options = {});
    HWND Main(std::wstring_view which);

    [[nodiscard]] DWORD Pid() const noexcept { return process_.Id(); }
    [[nodiscard]] Process& Proc() noexcept { return process_; }
    [[nodiscard]] HWND Control() const noexcept { return control_; }

private:
    Process process_;
    HWND control_ = nullptr;
};

// The simulator im, for a test that cannot go on without it: when it did not start, throws
// (GoogleTest reports the test failed) instead of letting the test use a null one.
FakeIm& Started(const std::unique_ptr<FakeIm>& im);

// Sends one command to a fakeim control window; the command's result, or 0 when it failed or
// timed out.
LRESULT SendFakeImCommand(HWND control, std::wstring_view command, std::chrono::milliseconds timeout = kPatience);

// The control window of the fakeim process pid, or null.
[[nodiscard]] HWND FindFakeImControl(DWORD pid);

// Escapes text for a command field (see tools/fakeim/protocol.h).
[[nodiscard]] std::wstring EscapeField(std::wstring_view text);

[[nodiscard]] std::wstring HwndArg(HWND hwnd);

}  // namespace parlix::test
