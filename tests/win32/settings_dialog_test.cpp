// The settings dialog driven by messages, as a user's clicks and keys arrive: what OK writes to
// set.ini, that Cancel writes nothing, the number boxes and the hotkey capture.
#include "base/com_win.h"
#include "base/window_text_win.h"
#include "settings/settings_dialog_win.h"
#include "settings/settings_win.h"
#include "tests/support/plugin_files.h"
#include "tests/support/process.h"
#include "tests/support/windows.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>
#include <sstream>

using namespace parlix;
using namespace parlix::test;

namespace {

class FakeHost final : public SettingsDialogHost {
public:
    FakeHost() {
        main = ::CreateWindowExW(0, L"STATIC", L"Parlix Ver 1.0", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr,
                                 nullptr, nullptr, nullptr);
    }
    ~FakeHost() { ::DestroyWindow(main); }
    HWND MainHwnd() const override { return main; }
    Settings& CurrentSettings() override { return settings; }
    PluginManagerWin* Plugins() override { return plugins; }
    HICON MainIcon() const override { return nullptr; }
    void ApplyTabStyle(bool, bool) override { calls.push_back(L"tabs"); }
    void ApplyTipTime(int) override { calls.push_back(L"tip"); }
    void ApplyCaptionSuffix(const std::wstring& suffix, const std::wstring& title) override {
        calls.push_back(L"caption " + suffix);
        ::SetWindowTextW(main, title.c_str());
    }
    void ApplyTabImages() override { calls.push_back(L"images"); }
    void ApplyTrayIcon() override { calls.push_back(L"tray"); }
    void EnableMouseGesture(bool) override { calls.push_back(L"gesture"); }
    void LayOut() override { calls.push_back(L"layout"); }
    bool SetAutoRun(bool) override {
        calls.push_back(L"autorun");
        return true;
    }
    void NoticePluginChanged(bool) override {}

    HWND main = nullptr;
    PluginManagerWin* plugins = nullptr;
    Settings settings;
    std::vector<std::wstring> calls;
};

std::string ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Section -> key -> value, as the profile API sees the file.
std::map<std::wstring, std::map<std::wstring, std::wstring>> ReadIniFile(const std::wstring& path) {
    std::map<std::wstring, std::map<std::wstring, std::wstring>> result;
    std::vector<wchar_t> sections(32768);
    ::GetPrivateProfileSectionNamesW(sections.data(), static_cast<DWORD>(sections.size()), path.c_str());
    for (const wchar_t* s = sections.data(); *s; s += wcslen(s) + 1) {
        std::vector<wchar_t> keys(32768);
        ::GetPrivateProfileSectionW(s, keys.data(), static_cast<DWORD>(keys.size()), path.c_str());
        for (const wchar_t* k = keys.data(); *k; k += wcslen(k) + 1) {
            const std::wstring line = k;
            const auto eq = line.find(L'=');
            result[s][line.substr(0, eq)] = eq == std::wstring::npos ? L"" : line.substr(eq + 1);
        }
    }
    return result;
}

class SettingsDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        InitIni(dir.Path().wstring());
        ini = dir.Path() / L"set.ini";
        std::ofstream(ini, std::ios::binary) << "[Settings]\r\nzz_Other=kept\r\n[Elsewhere]\r\nx=1\r\n";
        options.ask = [this](HWND, const std::wstring& text, const std::wstring&, UINT) {
            asked.push_back(text);
            return IDOK;
        };
        options.qqPath = [] { return std::wstring(L"C:\\QQ\\"); };
        dialog = std::make_unique<SettingsDialog>(host, options);
        ASSERT_TRUE(dialog->Open());
    }
    void TearDown() override {
        dialog.reset();
        ::WritePrivateProfileStringW(nullptr, nullptr, nullptr, ini.c_str());
        InitIni();
    }
    void Click(int id) { ::SendMessageW(dialog->Control(id), BM_CLICK, 0, 0); }
    bool Checked(int id) { return ::SendMessageW(dialog->Control(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    bool Enabled(int id) { return ::IsWindowEnabled(dialog->Control(id)) != FALSE; }
    std::wstring Text(int id) {
        wchar_t buffer[512] = {};
        ::GetWindowTextW(dialog->Control(id), buffer, 512);
        return buffer;
    }

    TempDir dir{L"parlix-dialog"};
    std::filesystem::path ini;
    FakeHost host;
    SettingsDialogOptions options;
    std::vector<std::wstring> asked;
    std::unique_ptr<SettingsDialog> dialog;
};

TEST_F(SettingsDialogTest, OpensWithTheDefaultsShownAndDependentsFollowing) {
    EXPECT_TRUE(Checked(idOptTabBottom));
    EXPECT_TRUE(Checked(idOptTabMulti));
    EXPECT_TRUE(Checked(idOptTabXp));
    EXPECT_EQ(Text(idTxtHotKey), L"无");
    EXPECT_FALSE(Enabled(idTxtHotKey));
    EXPECT_FALSE(Enabled(idTxtPath));
    EXPECT_TRUE(Enabled(idLblGesture0));
    EXPECT_EQ(dialog->Tabs().count(), 5);
    EXPECT_EQ(dialog->Tabs().GetItemText(3), L"组件设置");
    Click(idChkHotKey);
    EXPECT_TRUE(Enabled(idTxtHotKey));
    Click(idChkAutoRunIM);
    EXPECT_TRUE(Enabled(idTxtPath));
    EXPECT_TRUE(Enabled(idBtnBrowse));
    Click(idChkMouseGesture);
    EXPECT_FALSE(Enabled(idLblGesture3));
}

TEST_F(SettingsDialogTest, OkWritesExactlyTheDialogsKeysInOneReplacement) {
    Click(idChkTrans);      // on by default: now off
    Click(idChkFile);       // off by default: now on
    Click(idOptTabTop);
    ::SetWindowTextW(dialog->Control(idTxtCaption), L"工作");
    Click(idBtnOK);
    EXPECT_EQ(dialog->Hwnd(), nullptr);

    const auto file = ReadIniFile(ini.wstring());
    std::set<std::wstring> keys;
    for (const auto& [k, v] : file.at(L"Settings")) keys.insert(k);
    const std::set<std::wstring> expected = {
        L"tab_Bottom", L"tab_Hot", L"tab_MaxLen", L"tab_MaxLength", L"tab_Normal", L"tab_Roll", L"tab_Selected",
        L"tab_ShowNum", L"tab_ShowIcon", L"tab_Skin", L"tab_Text", L"tray_AlwaysShowTip", L"tray_AutoMin",
        L"tray_CloseTray", L"tray_Enabled", L"tray_FlashTray", L"tray_MsgTip", L"tray_TipTime", L"tray_TransIcon",
        L"org_AutoRunIM", L"org_AutoSwitch", L"org_AutoSize", L"org_Caption", L"org_ChkFile", L"org_Comp",
        L"org_ExitMsg", L"org_RunOnStart", L"org_QQPath", L"org_QQName", L"org_MouseGesture", L"org_Trans",
        L"hot_Enabled", L"zz_Other"};
    EXPECT_EQ(keys, expected);
    const auto& s = file.at(L"Settings");
    EXPECT_EQ(s.at(L"org_Trans"), L"0");
    EXPECT_EQ(s.at(L"org_ChkFile"), L"1");
    EXPECT_EQ(s.at(L"tab_Bottom"), L"False");
    EXPECT_EQ(s.at(L"org_Caption"), L"工作");
    EXPECT_EQ(s.at(L"org_QQPath"), L"\\");  // an empty path box stores "\"
    EXPECT_EQ(s.at(L"zz_Other"), L"kept");
    EXPECT_EQ(file.at(L"Plugin").at(L"Murmelo"), L"False");
    EXPECT_EQ(file.at(L"Elsewhere").at(L"x"), L"1");
    EXPECT_FALSE(std::filesystem::exists(ini.wstring() + L".new"));
    // The running program got every change, and the title its new suffix.
    EXPECT_EQ(host.settings.org_Trans, 0);
    EXPECT_EQ(host.settings.org_Caption, L"  -  工作");
    wchar_t title[100] = {};
    ::GetWindowTextW(host.main, title, 100);
    EXPECT_STREQ(title, L"Parlix Ver 1.0  -  工作");
    EXPECT_EQ(host.calls.back(), L"autorun");
}

TEST_F(SettingsDialogTest, CancelAndCloseBoxWriteNothing) {
    const std::string before = ReadBytes(ini);
    Click(idChkTrans);
    dialog->Defaults();
    ::SetWindowTextW(dialog->Control(idTxtTipTime), L"9");
    Click(idBtnCancel);
    EXPECT_EQ(dialog->Hwnd(), nullptr);
    EXPECT_EQ(ReadBytes(ini), before);
    EXPECT_EQ(host.settings.org_Trans, 1);
    EXPECT_TRUE(host.calls.empty());

    dialog = std::make_unique<SettingsDialog>(host, options);
    ASSERT_TRUE(dialog->Open());
    Click(idChkFile);
    ::SendMessageW(dialog->Hwnd(), WM_CLOSE, 0, 0);
    EXPECT_EQ(ReadBytes(ini), before);
}

TEST_F(SettingsDialogTest, LettersInANumberBoxNeverReachTheFile) {
    const HWND maxLen = dialog->Control(idTxtMaxLen);
    ::SendMessageW(maxLen, WM_CHAR, L'x', 0);
    EXPECT_EQ(Text(idTxtMaxLen), L"10");
    ::SetWindowTextW(maxLen, L"");
    EXPECT_EQ(Text(idTxtMaxLen), L"5");
    ::SetWindowTextW(maxLen, L"25");
    EXPECT_EQ(Text(idTxtMaxLen), L"20");
    ::SetWindowTextW(maxLen, L"3");
    EXPECT_EQ(Text(idTxtMaxLen), L"3");
    ::SetWindowTextW(dialog->Control(idTxtTipTime), L"abc");  // pasted, not typed
    EXPECT_EQ(Text(idTxtTipTime), L"60");
    Click(idBtnOK);
    const auto s = ReadIniFile(ini.wstring()).at(L"Settings");
    EXPECT_EQ(s.at(L"tab_MaxLength"), L"3");
    EXPECT_EQ(s.at(L"tray_TipTime"), L"60");
}

TEST_F(SettingsDialogTest, HotkeyCapturedIsWrittenByOkOnly) {
    Click(idChkHotKey);
    const HWND box = dialog->Control(idTxtHotKey);
    BYTE keys[256] = {};
    ::GetKeyboardState(keys);
    keys[VK_CONTROL] = keys[VK_MENU] = 0x80;
    ::SetKeyboardState(keys);
    ::SendMessageW(box, WM_KEYDOWN, 'Q', 0);
    keys[VK_CONTROL] = keys[VK_MENU] = 0;
    ::SetKeyboardState(keys);
    EXPECT_EQ(Text(idTxtHotKey).substr(0, 13), L"Ctrl + Alt + ");
    EXPECT_EQ(Text(idTxtHotKey).size(), 14u);
    EXPECT_EQ(host.settings.hot_Mod, 3);
    EXPECT_EQ(host.settings.hot_Key, 81);
    ::SendMessageW(box, WM_CHAR, L'q', 0);  // never typed into
    EXPECT_EQ(Text(idTxtHotKey).size(), 14u);
    EXPECT_EQ(ReadIniFile(ini.wstring()).at(L"Settings").count(L"hot_Key"), 0u);
    Click(idBtnOK);
    const auto s = ReadIniFile(ini.wstring()).at(L"Settings");
    EXPECT_EQ(s.at(L"hot_Key"), L"81");
    EXPECT_EQ(s.at(L"hot_Mod"), L"3");
    EXPECT_EQ(s.at(L"hot_Enabled"), L"1");
    EXPECT_EQ(s.at(L"hot_Text").substr(0, 13), L"Ctrl + Alt + ");
    ::UnregisterHotKey(host.main, 1);
}

TEST_F(SettingsDialogTest, ATakenHotkeyIsToldAndTheRestIsStillWritten) {
    const HWND other = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(::RegisterHotKey(other, 7, MOD_CONTROL | MOD_ALT, 'W'));
    Click(idChkHotKey);
    BYTE keys[256] = {};
    ::GetKeyboardState(keys);
    keys[VK_CONTROL] = keys[VK_MENU] = 0x80;
    ::SetKeyboardState(keys);
    ::SendMessageW(dialog->Control(idTxtHotKey), WM_KEYDOWN, 'W', 0);
    keys[VK_CONTROL] = keys[VK_MENU] = 0;
    ::SetKeyboardState(keys);
    Click(idChkTrans);
    Click(idBtnOK);
    ::UnregisterHotKey(other, 7);
    ::DestroyWindow(other);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0], L"热键冲突，您的热键将不会生效。");
    const auto s = ReadIniFile(ini.wstring()).at(L"Settings");
    EXPECT_EQ(s.at(L"org_Trans"), L"0");
    EXPECT_EQ(s.at(L"hot_Key"), L"87");
}

TEST_F(SettingsDialogTest, UncheckedHotkeyBoxLeavesNoHotkeyRegistered) {
    host.settings.hot_Enabled = 1;
    host.settings.hot_Key = 'E';
    host.settings.hot_Mod = MOD_CONTROL | MOD_ALT;
    dialog = std::make_unique<SettingsDialog>(host, options);
    ASSERT_TRUE(dialog->Open());
    EXPECT_TRUE(Checked(idChkHotKey));
    Click(idChkHotKey);
    Click(idBtnOK);
    // Free again: another window can take it.
    const HWND other = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    EXPECT_TRUE(::RegisterHotKey(other, 7, MOD_CONTROL | MOD_ALT, 'E'));
    ::UnregisterHotKey(other, 7);
    ::DestroyWindow(other);
}

TEST_F(SettingsDialogTest, DefaultsChangeOnlyTheControls) {
    Click(idChkTrans);
    Click(idOptTabRoll);
    dialog->Defaults();
    EXPECT_TRUE(Checked(idChkTrans));
    EXPECT_TRUE(Checked(idOptTabMulti));
    EXPECT_FALSE(Checked(idOptTabRoll));
    EXPECT_EQ(Text(idTxtPath), L"C:\\QQ\\");
    EXPECT_EQ(Text(idTxtExeName), L"QQ.exe");
    EXPECT_EQ(host.settings.tab_Roll, false);
    EXPECT_TRUE(host.calls.empty());
}

// The plugin page with a real plugin that has a settings page: the page is embedded while its
// enabled plugin is chosen and given back, alive, when the dialog closes.
class PluginPageTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(Regsvr32(BinDir() / L"Nexcor.dll"), 0);
        InitIni(dir.Path().wstring());
        ASSERT_TRUE(CopyTestPlugin(L"Paged", dir.Path() / L"Plugins"));
        ASSERT_EQ(Regsvr32(dir.Path() / L"Plugins" / L"Paged.dll"), 0);
        ::WritePrivateProfileStringW(L"Plugin", L"Paged", L"True", IniPath().c_str());
        manager = std::make_unique<PluginManagerWin>(dir.Path().wstring());
        manager->Manager().LoadPlugin(L"Paged");
        host.plugins = manager.get();
        options.ask = [this](HWND, const std::wstring& text, const std::wstring&, UINT) {
            asked.push_back(text);
            return IDOK;
        };
    }
    void TearDown() override {
        dialog.reset();
        manager->Manager().DisconnectPlugins();
        manager.reset();
        Regsvr32(dir.Path() / L"Plugins" / L"Paged.dll", true);
        ::SetCurrentDirectoryW(BinDir().wstring().c_str());
        ::WritePrivateProfileStringW(nullptr, nullptr, nullptr, IniPath().c_str());
        InitIni();
    }
    std::wstring Text(int id) {
        wchar_t buffer[512] = {};
        ::GetWindowTextW(dialog->Control(id), buffer, 512);
        return buffer;
    }
    void Choose(int index) {
        const HWND list = dialog->Control(idLstPlugins);
        ::SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
        ::SendMessageW(::GetParent(list), WM_COMMAND, MAKEWPARAM(idLstPlugins, LBN_SELCHANGE),
                       reinterpret_cast<LPARAM>(list));
    }

    ComApartment apartment;
    TempDir dir{L"parlix-pages"};
    FakeHost host;
    std::unique_ptr<PluginManagerWin> manager;
    SettingsDialogOptions options;
    std::vector<std::wstring> asked;
    std::unique_ptr<SettingsDialog> dialog;
};

TEST_F(PluginPageTest, EnabledPluginsPageIsEmbeddedAndGivenBackWhenTheDialogCloses) {
    dialog = std::make_unique<SettingsDialog>(host, options);
    ASSERT_TRUE(dialog->Open());
    ASSERT_EQ(::SendMessageW(dialog->Control(idLstPlugins), LB_GETCOUNT, 0, 0), 1);
    Choose(0);
    EXPECT_EQ(Text(idLblPluginState), L"组件状态：已安装");
    EXPECT_EQ(Text(idLblPluginVersion), L"版本：1.0");
    EXPECT_EQ(Text(idLblPluginAuthor), L"作者：tests");
    EXPECT_EQ(::SendMessageW(dialog->Control(idChkEnablePlugin), BM_GETCHECK, 0, 0), BST_CHECKED);
    const HWND page = dialog->PropertyPage();
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(WindowTitle(page), L"Paged page");
    EXPECT_EQ(::GetParent(page), dialog->Control(idPicProperty));
    EXPECT_TRUE(::GetWindowLongW(page, GWL_STYLE) & WS_VISIBLE);

    ::SendMessageW(dialog->Control(idBtnCancel), BM_CLICK, 0, 0);
    EXPECT_TRUE(::IsWindow(page));  // the plugin's window outlives the dialog
    EXPECT_FALSE(::GetWindowLongW(page, GWL_STYLE) & WS_VISIBLE);
    EXPECT_NE(::GetAncestor(page, GA_PARENT), dialog->Control(idPicProperty));
}

TEST_F(PluginPageTest, InstalledButDisabledPluginShowsItsTextsAndNoPage) {
    manager->Manager().UnloadPlugin(L"Paged");
    ::WritePrivateProfileStringW(L"Plugin", L"Paged", L"False", IniPath().c_str());
    dialog = std::make_unique<SettingsDialog>(host, options);
    ASSERT_TRUE(dialog->Open());
    Choose(0);
    EXPECT_EQ(Text(idLblPluginState), L"组件状态：已安装");
    EXPECT_EQ(Text(idLblPluginDescribe), L"描述：Paged");
    EXPECT_EQ(::SendMessageW(dialog->Control(idChkEnablePlugin), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(dialog->PropertyPage(), nullptr);
    EXPECT_EQ(manager->Manager().FindNode(L"Paged"), nullptr);  // the texts came from an object never connected

    // Not registered any more: shown as not installed, nothing to enable.
    Regsvr32(dir.Path() / L"Plugins" / L"Paged.dll", true);
    Choose(0);
    EXPECT_EQ(Text(idLblPluginState), L"组件状态：未安装");
    EXPECT_EQ(Text(idLblPluginVersion), L"版本：");
    EXPECT_FALSE(::IsWindowEnabled(dialog->Control(idChkEnablePlugin)));
    EXPECT_TRUE(::IsWindowEnabled(dialog->Control(idBtnInstall)));
}

TEST_F(PluginPageTest, DisablingUnloadsThePageAndUninstallingAMissingFileSaysSo) {
    dialog = std::make_unique<SettingsDialog>(host, options);
    ASSERT_TRUE(dialog->Open());
    Choose(0);
    ASSERT_NE(dialog->PropertyPage(), nullptr);
    ::SendMessageW(dialog->Control(idChkEnablePlugin), BM_CLICK, 0, 0);
    EXPECT_EQ(dialog->PropertyPage(), nullptr);
    EXPECT_EQ(ReadIni(L"Plugin", L"Paged", L""), L"False");
    EXPECT_EQ(manager->Manager().FindNode(L"Paged"), nullptr);

    // The file went away behind the dialog's back: uninstalling tells which file is missing.
    Regsvr32(dir.Path() / L"Plugins" / L"Paged.dll", true);
    std::filesystem::rename(dir.Path() / L"Plugins" / L"Paged.dll", dir.Path() / L"Paged.moved");
    ::SendMessageW(dialog->Control(idBtnUninstall), BM_CLICK, 0, 0);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0], L"组件卸载失败，请确保Paged.dll在Plugins目录下。");
    std::filesystem::rename(dir.Path() / L"Paged.moved", dir.Path() / L"Plugins" / L"Paged.dll");
}

}  // namespace
