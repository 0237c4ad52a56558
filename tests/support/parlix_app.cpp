#include "tests/support/parlix_app.h"

#include "base/scoped_win.h"
#include "base/window_text_win.h"
#include "tests/support/windows.h"

#include <commctrl.h>

namespace parlix::test {

namespace {
// Parlix may wait on a slow client while it handles a message: the bound only stops a hung one.
LRESULT SendBounded(HWND w, UINT msg, WPARAM wp, LPARAM lp, LRESULT failed = -1) {
    DWORD_PTR r = 0;
    if (!::SendMessageTimeoutW(w, msg, wp, lp, SMTO_ABORTIFHUNG, static_cast<UINT>(kPatience.count()), &r))
        return failed;
    return static_cast<LRESULT>(r);
}

BOOL CALLBACK FindTabWindow(HWND w, LPARAM out) {
    if (WindowClass(w) == L"SysTabControl32") {
        *reinterpret_cast<HWND*>(out) = w;
        return FALSE;
    }
    return TRUE;
}
}  // namespace

std::unique_ptr<ParlixApp> ParlixApp::Launch(const std::filesystem::path& dir, std::chrono::milliseconds deadline,
                                             const IniValues& settings) {
    std::error_code ec;
    const std::wstring ini = (dir / L"set.ini").wstring();
    for (const auto& [key, value] : settings)
        ::WritePrivateProfileStringW(L"Settings", key.c_str(), value.c_str(), ini.c_str());
    for (const wchar_t* file : {L"Parlix.exe", L"Parlix.dll", L"Nexcor.dll"}) {
        std::filesystem::copy_file(BinDir() / file, dir / file, std::filesystem::copy_options::overwrite_existing, ec);
        if (ec) return nullptr;
    }
    // The plugin folder belongs to the program folder (plugins a test put there stay).
    std::filesystem::create_directories(dir / L"Plugins", ec);
    auto app = std::make_unique<ParlixApp>();
    app->process_ = Process::Start(dir / L"Parlix.exe", {});
    if (!app->process_.Running()) return nullptr;
    app->pid_ = app->process_.Id();
    app->main_ = WaitForWindow({.className = L"Parlix.frmMain", .pid = app->pid_}, deadline);
    if (!app->main_) return nullptr;
    app->tabs_ = WaitFor(
        [&]() -> HWND {
            HWND found = nullptr;
            ::EnumChildWindows(app->main_, FindTabWindow, reinterpret_cast<LPARAM>(&found));
            return found;
        },
        deadline);
    app->tabInfo_ = ::RegisterWindowMessageW(L"Parlix.TabInfo");
    if (!app->WaitIdle(deadline)) return nullptr;
    return app;
}

std::unique_ptr<ParlixApp> ParlixApp::Attach(HWND mainWindow) {
    auto app = std::make_unique<ParlixApp>();
    app->main_ = mainWindow;
    ::GetWindowThreadProcessId(mainWindow, &app->pid_);
    ::EnumChildWindows(mainWindow, FindTabWindow, reinterpret_cast<LPARAM>(&app->tabs_));
    app->tabInfo_ = ::RegisterWindowMessageW(L"Parlix.TabInfo");
    return app->tabs_ ? std::move(app) : nullptr;
}

bool ParlixApp::WaitIdle(std::chrono::milliseconds deadline) const {
    return WaitFor(
        [&] {
            DWORD_PTR answer = 0;
            return ::SendMessageTimeoutW(main_, tabInfo_, 0, 2 /* idle */, SMTO_ABORTIFHUNG, 1000, &answer) &&
                   answer == 1;
        },
        deadline);
}

bool ParlixApp::Close(std::chrono::milliseconds deadline) {
    if (main_) ::PostMessageW(main_, WM_CLOSE, 0, 0);
    const bool ended = process_.Wait(deadline);
    process_.Kill();
    return ended;
}

int ParlixApp::TabCount() const { return static_cast<int>(SendBounded(tabs_, TCM_GETITEMCOUNT, 0, 0)); }

int ParlixApp::SelectedTab() const { return static_cast<int>(SendBounded(tabs_, TCM_GETCURSEL, 0, 0)); }

HWND ParlixApp::PicWin() const { return ::FindWindowExW(main_, nullptr, L"Parlix.picWin", nullptr); }

namespace {
// Memory in Parlix's process for a control message that takes a pointer.
class RemoteBuffer {
public:
    RemoteBuffer(DWORD pid, SIZE_T size)
        : process_(::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid)) {
        if (process_) at_ = ::VirtualAllocEx(process_.get(), nullptr, size, MEM_COMMIT, PAGE_READWRITE);
    }
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;
    ~RemoteBuffer() {
        if (at_) ::VirtualFreeEx(process_.get(), at_, 0, MEM_RELEASE);
    }
    [[nodiscard]] char* At() const noexcept { return static_cast<char*>(at_); }
    bool Write(const void* from, SIZE_T size, SIZE_T offset = 0) const {
        SIZE_T n = 0;
        return at_ && ::WriteProcessMemory(process_.get(), At() + offset, from, size, &n) && n == size;
    }
    bool Read(void* into, SIZE_T size, SIZE_T offset = 0) const {
        SIZE_T n = 0;
        return at_ && ::ReadProcessMemory(process_.get(), At() + offset, into, size, &n) && n == size;
    }

private:
    ScopedHandle process_;
    void* at_ = nullptr;
};
}  // namespace

std::wstring ParlixApp::Caption(int index, bool* highlighted) const {
    constexpr int kChars = 512;
    RemoteBuffer remote(pid_, sizeof(TCITEMW) + kChars * sizeof(wchar_t));
    TCITEMW item{};
    item.mask = TCIF_TEXT | TCIF_STATE;
    item.dwStateMask = TCIS_HIGHLIGHTED;
    item.pszText = reinterpret_cast<wchar_t*>(remote.At() + sizeof(TCITEMW));
    item.cchTextMax = kChars;
    std::wstring text(kChars, L'\0');
    if (!remote.Write(&item, sizeof item) ||
        !SendBounded(tabs_, TCM_GETITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(remote.At()), 0) ||
        !remote.Read(text.data(), kChars * sizeof(wchar_t), sizeof(TCITEMW)))
        return {};
    if (highlighted && remote.Read(&item, sizeof item)) *highlighted = (item.dwState & TCIS_HIGHLIGHTED) != 0;
    text.resize(text.find(L'\0') == std::wstring::npos ? text.size() : text.find(L'\0'));
    return text;
}

RECT ParlixApp::ItemRect(int index) const {
    RECT r{};
    RemoteBuffer remote(pid_, sizeof(RECT));
    if (!SendBounded(tabs_, TCM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(remote.At()), 0) ||
        !remote.Read(&r, sizeof r))
        return RECT{};
    return r;
}

bool ParlixApp::ClickTab(int index) const {
    const RECT r = ItemRect(index);
    if (r.right <= r.left) return false;
    const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    return SendBounded(tabs_, WM_LBUTTONDOWN, MK_LBUTTON, at, -2) != -2 && SendBounded(tabs_, WM_LBUTTONUP, 0, at, -2) != -2;
}

bool ParlixApp::RightClickTab(int index) const {
    const RECT r = ItemRect(index);
    if (r.right <= r.left) return false;
    POINT centre{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    const LPARAM at = MAKELPARAM(centre.x, centre.y);
    // The menu opens at the cursor, as under the user's hand.
    ::ClientToScreen(tabs_, &centre);
    ::SetCursorPos(centre.x, centre.y);
    ::PostMessageW(tabs_, WM_RBUTTONDOWN, MK_RBUTTON, at);
    return ::PostMessageW(tabs_, WM_RBUTTONUP, 0, at) != FALSE;
}

bool ParlixApp::MouseOnStrip(UINT msg, WPARAM keys, int x, int y) const {
    POINT screen{x, y};
    ::ClientToScreen(tabs_, &screen);
    ::SetCursorPos(screen.x, screen.y);
    // Under Wine an X motion event still on its way can put the cursor back where it was: the
    // position is set again until it holds, since Parlix reads it (a drop outside the window).
    (void)WaitFor([&] {
        POINT now{};
        if (::GetCursorPos(&now) && now.x == screen.x && now.y == screen.y) return true;
        ::SetCursorPos(screen.x, screen.y);
        return false;
    }, std::chrono::milliseconds(2000), std::chrono::milliseconds(1));
    return SendBounded(tabs_, msg, keys, MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)), -2) != -2;
}

bool ParlixApp::Command(unsigned id) const { return SendBounded(main_, WM_COMMAND, id, 0, -2) != -2; }

std::vector<TabFacts> ParlixApp::Tabs() const {
    std::vector<TabFacts> tabs;
    const int count = TabCount();
    for (int i = 0; i < count; ++i) {
        TabFacts t;
        t.window = reinterpret_cast<HWND>(SendBounded(main_, tabInfo_, static_cast<WPARAM>(i), 0, 0));
        const LRESULT kind = SendBounded(main_, tabInfo_, static_cast<WPARAM>(i), 1);
        if (kind >= 0) {
            t.version = static_cast<int>(kind & 0xFF);
            t.group = (kind & 0x100) != 0;
            t.locked = (kind & 0x200) != 0;
        }
        t.foundBy = static_cast<int>(SendBounded(main_, tabInfo_, static_cast<WPARAM>(i), 3));
        t.caption = Caption(i, &t.highlighted);
        tabs.push_back(t);
    }
    return tabs;
}

std::optional<TabFacts> ParlixApp::WaitForTab(HWND window, std::chrono::milliseconds deadline, int* index) const {
    return WaitFor(
        [&]() -> std::optional<TabFacts> {
            const auto tabs = Tabs();
            for (size_t i = 0; i < tabs.size(); ++i) {
                if (tabs[i].window == window) {
                    if (index) *index = static_cast<int>(i);
                    return tabs[i];
                }
            }
            return std::nullopt;
        },
        deadline, 5ms);
}

}  // namespace parlix::test
