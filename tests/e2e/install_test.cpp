// The installer as a user meets it: a silent install into a folder of the user's, the program
// registered, started from there, a chat captured and given back at exit, then the uninstaller,
// which leaves nothing behind but the user's set.ini.
#include "tests/support/clean_state.h"
#include "tests/support/fakeim_client.h"
#include "tests/support/parlix_app.h"
#include "tests/support/windows.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include <filesystem>
#include <set>
#include <string>

namespace parlix::test {
namespace {

namespace fs = std::filesystem;

constexpr wchar_t kUninstallKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Parlix";
// Parlix_Core, the contract library's host class.
constexpr wchar_t kCoreServerKey[] = L"CLSID\\{81BA98E8-6B6B-4498-852D-C89B37275335}\\InprocServer32";

// The installer the build made beside the programs (packaging/), or empty.
fs::path Installer() {
    const fs::path dir = BinDir().parent_path() / L"package";
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(dir, ec)) {
        const std::wstring name = entry.path().filename().wstring();
        if (name.starts_with(L"Parlix-") && name.ends_with(L"-setup.exe")) return entry.path();
    }
    return {};
}

std::wstring ReadString(HKEY root, const wchar_t* key, const wchar_t* name) {
    wchar_t value[1024] = {};
    DWORD bytes = sizeof value - sizeof(wchar_t);
    if (::RegGetValueW(root, key, name, RRF_RT_REG_SZ, nullptr, value, &bytes) != ERROR_SUCCESS) return {};
    return value;
}

bool KeyExists(HKEY root, const wchar_t* key) {
    HKEY opened = nullptr;
    if (::RegOpenKeyExW(root, key, 0, KEY_READ, &opened) != ERROR_SUCCESS) return false;
    ::RegCloseKey(opened);
    return true;
}

fs::path StartMenuFolder() {
    wchar_t programs[MAX_PATH] = {};
    ::SHGetFolderPathW(nullptr, CSIDL_PROGRAMS, nullptr, SHGFP_TYPE_CURRENT, programs);
    return fs::path(programs) / L"Parlix";
}

std::set<std::wstring> Names(const fs::path& dir) {
    std::set<std::wstring> names;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(dir, ec)) names.insert(entry.path().filename().wstring());
    return names;
}

bool SameFile(const std::wstring& a, const fs::path& b) {
    std::error_code ec;
    return !a.empty() && fs::equivalent(fs::path(a), b, ec);
}

TEST(Installer, InstallsRunsCapturesAndUninstallsKeepingOnlyTheSettings) {
    const fs::path setup = Installer();
    if (setup.empty()) GTEST_SKIP() << "no installer built (makensis missing, or a 64-bit build)";
    ResetUserState();
    TempDir home(L"install");
    const fs::path dir = home.Path() / L"Parlix";

    // Install, silently, into a folder of the user's.
    Process installer = Process::Start(setup, {L"/S", L"/D=" + dir.wstring()});
    ASSERT_TRUE(installer.Wait(120s)) << "the installer did not end";
    ASSERT_EQ(installer.ExitCode(), 0u);
    for (const wchar_t* file : {L"Parlix.exe", L"Parlix.dll", L"Nexcor.dll", L"Uninstall.exe"})
        EXPECT_TRUE(fs::exists(dir / file)) << file;
    EXPECT_TRUE(fs::is_directory(dir / L"Plugins"));
    for (const wchar_t* file : {L"Murmelo.dll", L"Skin\\Default.png", L"Skin\\Default.ini"})
        EXPECT_TRUE(fs::exists(dir / L"Plugins" / file)) << file;
    EXPECT_TRUE(fs::exists(StartMenuFolder() / L"Parlix.lnk"));
    EXPECT_TRUE(SameFile(ReadString(HKEY_CURRENT_USER, kUninstallKey, L"InstallLocation"), dir));
    EXPECT_NE(ReadString(HKEY_CURRENT_USER, kUninstallKey, L"UninstallString").find(L"Uninstall.exe"),
              std::wstring::npos);
    EXPECT_TRUE(SameFile(ReadString(HKEY_CLASSES_ROOT, kCoreServerKey, nullptr), dir / L"Nexcor.dll"))
        << "the contract library is registered from the program folder";

    // Start the installed program; a chat window opens and is captured; exit gives it back.
    {
        Process parlix = Process::Start(dir / L"Parlix.exe", {});
        const HWND main = WaitForWindow({.className = L"Parlix.frmMain", .pid = parlix.Id()}, 20s);
        ASSERT_NE(main, nullptr) << "the installed Parlix did not start";
        // The window comes first, its tab strip a moment later.
        const auto app = WaitFor([&] { return ParlixApp::Attach(main); }, 20s);
        ASSERT_NE(app, nullptr);
        ASSERT_TRUE(app->WaitIdle(20s));
        const auto im = FakeIm::Launch(home.Path(), L"QQ.exe", {L"main|1"});
        ASSERT_NE(im, nullptr);
        const HWND chat = im->Open(L"qq2008", L"与 张三 交谈中");
        ASSERT_NE(chat, nullptr);
        ASSERT_TRUE(app->WaitForTab(chat, 20s).has_value()) << "the chat was not captured";
        EXPECT_EQ(::GetAncestor(chat, GA_PARENT), app->PicWin());
        ::PostMessageW(main, WM_CLOSE, 0, 0);
        ASSERT_TRUE(parlix.Wait(30s)) << "Parlix did not exit";
        EXPECT_EQ(::GetAncestor(chat, GA_PARENT), ::GetDesktopWindow()) << "given back at exit";
        EXPECT_TRUE(fs::exists(dir / L"set.ini")) << "the place is kept in the program folder";
        im->Command(L"quit");
    }

    // Uninstall: it copies itself away and removes the folder's content but set.ini.
    Process uninstaller = Process::Start(dir / L"Uninstall.exe", {L"/S"});
    ASSERT_TRUE(uninstaller.Wait(60s));
    EXPECT_TRUE(WaitFor([&] { return Names(dir) == std::set<std::wstring>{L"set.ini"}; }, 60s))
        << "left behind: " << testing::PrintToString(Names(dir));
    EXPECT_TRUE(WaitFor([&] { return !KeyExists(HKEY_CURRENT_USER, kUninstallKey); }, 30s));
    EXPECT_FALSE(fs::exists(StartMenuFolder()));
    EXPECT_FALSE(SameFile(ReadString(HKEY_CLASSES_ROOT, kCoreServerKey, nullptr), dir / L"Nexcor.dll"))
        << "the contract library is unregistered";
}

TEST(Installer, RefusesWhileParlixRuns) {
    const fs::path setup = Installer();
    if (setup.empty()) GTEST_SKIP() << "no installer built (makensis missing, or a 64-bit build)";
    TempDir home(L"install-busy");
    // The instance mutex is what a running Parlix holds.
    const HANDLE running = ::CreateMutexW(nullptr, FALSE, L"Parlix.SingleInstance");
    ASSERT_NE(running, nullptr);
    Process installer = Process::Start(setup, {L"/S", L"/D=" + (home.Path() / L"Parlix").wstring()});
    const bool ended = installer.Wait(60s);
    ::CloseHandle(running);
    ASSERT_TRUE(ended);
    EXPECT_EQ(installer.ExitCode(), 2u);
    EXPECT_FALSE(fs::exists(home.Path() / L"Parlix" / L"Parlix.exe"));
}

}  // namespace
}  // namespace parlix::test
