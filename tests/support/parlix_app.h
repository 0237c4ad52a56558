// Drives one Parlix.exe process for end-to-end tests: a fresh program folder (so set.ini
// starts empty), the program and its libraries copied in, the main window found, and its tabs
// read from outside (captions through the tab window, kind and window through "Parlix.TabInfo").
#pragma once

#include "tests/support/process.h"
#include "tests/support/windows.h"

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace parlix::test {

struct TabFacts {
    HWND window = nullptr;  // the captured chat window
    std::wstring caption;   // the tab's text
    int version = -1;
    bool group = false;
    bool locked = false;
    bool highlighted = false;  // marked unread
    // How its last new text was found: 0 not yet, 1 after the client's notice, 2 by the sweep.
    int foundBy = 0;
};

class ParlixApp {
public:
    // Copies Parlix.exe and its libraries from the bin folder into dir (set.ini, if given, is
    // written there first) and starts it; waits until its main window exists. Null when it did
    // not come up within the deadline.
    using IniValues = std::vector<std::pair<std::wstring, std::wstring>>;
    [[nodiscard]] static std::unique_ptr<ParlixApp> Launch(const std::filesystem::path& dir,
                                                           std::chrono::milliseconds deadline = kPatience,
                                                           const IniValues& settings = {});

    // A Parlix already running (its main window); the process is not ended when the owner goes.
    [[nodiscard]] static std::unique_ptr<ParlixApp> Attach(HWND mainWindow);

    [[nodiscard]] HWND MainWindow() const noexcept { return main_; }
    [[nodiscard]] HWND TabWindow() const noexcept { return tabs_; }
    [[nodiscard]] Process& Proc() noexcept { return process_; }
    // Waits until start-up is over and the main window is not in the middle of handling
    // something (Parlix answers sent messages while it waits on another program, so an answer
    // alone does not mean the work before it is done).
    bool WaitIdle(std::chrono::milliseconds deadline = kPatience) const;
    // Asks the program to close (WM_CLOSE) and waits for its end; kills it after the deadline.
    bool Close(std::chrono::milliseconds deadline = kPatience);

    [[nodiscard]] int TabCount() const;
    [[nodiscard]] int SelectedTab() const;
    [[nodiscard]] std::vector<TabFacts> Tabs() const;
    // The tab of window once it exists (nullopt at the deadline), and its index.
    [[nodiscard]] std::optional<TabFacts> WaitForTab(HWND window, std::chrono::milliseconds deadline = kPatience,
                                                     int* index = nullptr) const;
    // The chat container the captured windows live in.
    [[nodiscard]] HWND PicWin() const;
    // A left click on tab index, as the user makes it (selects the tab).
    bool ClickTab(int index) const;
    // A right click on tab index (opens the tab menu; returns at once).
    bool RightClickTab(int index) const;
    // The rectangle of tab index in the tab window's client coordinates.
    [[nodiscard]] RECT ItemRect(int index) const;
    // Sends a mouse message to the tab window at (x, y) of its client area, the cursor placed
    // there on the screen first.
    bool MouseOnStrip(UINT msg, WPARAM keys, int x, int y) const;
    // A menu command (ui/menu_ids.h) on the context tab; returns when it is done.
    bool Command(unsigned id) const;

private:
    [[nodiscard]] std::wstring Caption(int index, bool* highlighted = nullptr) const;
    Process process_;
    DWORD pid_ = 0;
    HWND main_ = nullptr;
    HWND tabs_ = nullptr;  // the SysTabControl32 inside the main window
    UINT tabInfo_ = 0;
};

}  // namespace parlix::test
