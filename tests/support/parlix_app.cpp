#include "tests/support/parlix_app.h"

#include "base/scoped_win.h"
#include "base/window_text_win.h"
#include "tests/support/windows.h"

#include <commctrl.h>

namespace parlix::test {

namespace {
LRESULT SendBounded(HWND w, UINT msg, WPARAM wp, LPARAM lp, LRESULT failed = -1) {
    DWORD_PTR r = 0;
    if (!::SendMessageTimeoutW(w, msg, wp, lp, SMTO_ABORTIFHUNG, 2000, &r)) return failed;
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

std::unique_ptr<ParlixApp> ParlixApp::Launch(const std::filesystem::path& dir, std::chrono::milliseconds deadline) {
    std::error_code ec;
    for (const wchar_t* file : {L"Parlix.exe", L"Parlix.dll"}) {
        std::filesystem::copy_file(BinDir() / file, dir / file, std::filesystem::copy_options::overwrite_existing, ec);
        if (ec) return nullptr;
    }
    auto app = std::make_unique<ParlixApp>();
    app->process_ = Process::Start(dir / L"Parlix.exe", {});
    if (!app->process_.Running()) return nullptr;
    app->main_ = WaitForWindow({.className = L"Parlix.frmMain", .pid = app->process_.Id()}, deadline);
    if (!app->main_) return nullptr;
    app->tabs_ = WaitFor(
        [&]() -> HWND {
            HWND found = nullptr;
            ::EnumChildWindows(app->main_, FindTabWindow, reinterpret_cast<LPARAM>(&found));
            return found;
        },
        deadline);
    app->tabInfo_ = ::RegisterWindowMessageW(L"Parlix.TabInfo");
    return app;
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

std::wstring ParlixApp::Caption(int index) const {
    // The item record and text buffer must live in Parlix's process for the tab window to fill.
    ScopedHandle process(::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, process_.Id()));
    if (!process) return {};
    constexpr int kChars = 512;
    const SIZE_T size = sizeof(TCITEMW) + kChars * sizeof(wchar_t);
    void* remote = ::VirtualAllocEx(process.get(), nullptr, size, MEM_COMMIT, PAGE_READWRITE);
    if (!remote) return {};
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = reinterpret_cast<wchar_t*>(static_cast<char*>(remote) + sizeof(TCITEMW));
    item.cchTextMax = kChars;
    std::wstring text(kChars, L'\0');
    SIZE_T n = 0;
    if (::WriteProcessMemory(process.get(), remote, &item, sizeof item, &n) &&
        SendBounded(tabs_, TCM_GETITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(remote), 0) &&
        ::ReadProcessMemory(process.get(), item.pszText, text.data(), kChars * sizeof(wchar_t), &n)) {
        text.resize(text.find(L'\0') == std::wstring::npos ? text.size() : text.find(L'\0'));
    } else {
        text.clear();
    }
    ::VirtualFreeEx(process.get(), remote, 0, MEM_RELEASE);
    return text;
}

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
        t.caption = Caption(i);
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
