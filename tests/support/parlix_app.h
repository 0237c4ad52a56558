// Drives one Parlix.exe process for end-to-end tests: a fresh program folder (so set.ini
// starts empty), the program and its libraries copied in, the main window found.
#pragma once

#include "tests/support/process.h"

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace parlix::test {

class ParlixApp {
public:
    // Copies Parlix.exe and its libraries from the bin folder into dir and starts it; waits
    // until its main window exists. Null when it did not come up within the deadline.
    [[nodiscard]] static std::unique_ptr<ParlixApp> Launch(const std::filesystem::path& dir,
                                                           std::chrono::milliseconds deadline = 15s);

    [[nodiscard]] HWND MainWindow() const noexcept { return main_; }
    [[nodiscard]] Process& Proc() noexcept { return process_; }
    // Asks the program to close (WM_CLOSE) and waits for its end; kills it after the deadline.
    bool Close(std::chrono::milliseconds deadline = 10s);

    // The recognised-window lines the main window lists ("caption\tgroup\tversion\tpid\thwnd").
    [[nodiscard]] std::vector<std::wstring> RecognitionLines() const;
    // Waits until a line for window exists; returns it split into its fields (empty on timeout).
    [[nodiscard]] std::vector<std::wstring> WaitForRecognition(HWND window, std::chrono::milliseconds deadline = 5s) const;

private:
    Process process_;
    HWND main_ = nullptr;
};

[[nodiscard]] std::vector<std::wstring> SplitTabs(const std::wstring& line);

}  // namespace parlix::test
