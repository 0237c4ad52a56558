// set.ini through the real profile API in a temp folder (code page 936 on disk), the start-up
// load with its error report, and the registry entries of the client path and the autostart.
#include "base/error_report_win.h"
#include "base/scoped_win.h"
#include "settings/ini_values.h"
#include "settings/settings_win.h"
#include "tests/support/process.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace parlix::test {
namespace {

// "聊天窗口" in code page 936.
constexpr char kChatWindowGbk[] = "\xC1\xC4\xCC\xEC\xB4\xB0\xBF\xDA";

// Writes a string value under root\key, creating the key.
bool WriteString(HKEY root, const std::wstring& key, const wchar_t* name, const std::wstring& value) {
    HKEY raw = nullptr;
    if (::RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &raw, nullptr) != ERROR_SUCCESS)
        return false;
    const ScopedRegKey k(raw);
    if (!name) return true;
    const auto bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
    return ::RegSetValueExW(k.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()), bytes) ==
           ERROR_SUCCESS;
}

struct Report {
    std::wstring title, text;
    bool yesNo;
};

class SettingsStore : public ::testing::Test {
  protected:
    void SetUp() override {
        InitIni(dir.Path().wstring());
        SetErrorSink([this](std::wstring_view title, std::wstring_view text, bool yesNo) {
            reports.push_back({std::wstring(title), std::wstring(text), yesNo});
            return ErrorAnswer::Yes;
        });
        ClearClientKeys();
    }
    void TearDown() override {
        SetErrorSink(nullptr);
        ClearClientKeys();
    }

    static void ClearClientKeys() {
        ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, kQQKey);
        ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, kQQ2009Key);
        ::RegDeleteKeyW(HKEY_LOCAL_MACHINE, L"Software\\Tencent"); // only when nothing else is in it
    }

    std::filesystem::path File() const { return dir.Path() / L"set.ini"; }
    std::string FileBytes() const {
        std::ifstream in(File(), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    void WriteFileBytes(const std::string& bytes) const {
        std::ofstream(File(), std::ios::binary | std::ios::trunc) << bytes;
    }
    WindowPlacement Load(Settings& s, bool pluginCreatable = false) {
        return LoadSettings(s, kWindow, [=](std::wstring_view) { return pluginCreatable; }, dir.Path().wstring());
    }

    static constexpr MainWindowFacts kWindow{.left = 1500, .top = 2250, .frameWidth = 8, .frameHeight = 30};
    TempDir dir{L"parlix-settings"};
    std::vector<Report> reports;
};

TEST_F(SettingsStore, MissingFileLoadsDefaultsAndCreatesNoFile) {
    Settings loaded;
    const WindowPlacement placement = Load(loaded);
    const Settings defaults;
    for (const SettingsKey& key : StartupKeys())
        EXPECT_EQ(StoredText(loaded, key), StoredText(defaults, key)) << ::testing::PrintToString(key.key);
    EXPECT_EQ(loaded.tab_Selected, 16756580);
    EXPECT_EQ(placement, (WindowPlacement{0, TwipsRect{1500, 2250, 10560, 8355}}));
    EXPECT_TRUE(reports.empty());
    EXPECT_FALSE(std::filesystem::exists(File()));
}

TEST_F(SettingsStore, SavedSettingsLoadBackUnchanged) {
    Settings saved;
    saved.tab_Bottom = false;
    saved.tab_Hot = 0x8000;
    saved.tab_MaxLen = 1;
    saved.tray_TipTime = 10;
    saved.org_Caption = CaptionSuffix(L"聊天窗口");
    saved.org_QQPath = L"D:\\腾讯\\QQ\\";
    saved.org_QQName = L"TM.exe";
    saved.hot_Key = 81;
    saved.hot_Mod = 3;
    saved.hot_Text = L"Ctrl + Alt + Q";
    saved.Murmelo = true;
    SaveSettings(saved);
    SaveHotkey(saved);
    SaveWindowPlacement(TwipsRect{300, 450, 9000, 6000}, 0);

    Settings loaded;
    const WindowPlacement placement = Load(loaded, /*pluginCreatable*/ true);
    for (const SettingsKey& key : StartupKeys())
        EXPECT_EQ(StoredText(loaded, key), StoredText(saved, key)) << ::testing::PrintToString(key.key);
    EXPECT_TRUE(loaded.Murmelo);
    EXPECT_EQ(ReadIni(L"Settings", L"hot_Text", L"无"), L"Ctrl + Alt + Q");
    EXPECT_EQ(placement, (WindowPlacement{0, TwipsRect{300, 450, 9000, 6000}}));
    EXPECT_TRUE(reports.empty());
}

TEST_F(SettingsStore, FileOnDiskIsInCodePage936) {
    ASSERT_EQ(::GetACP(), 936u) << "tests run with the Chinese locale";
    WriteIni(L"Settings", L"org_Caption", L"聊天窗口");
    WriteIni(L"Settings", L"tab_MaxLen", L"1");
    const std::string bytes = FileBytes();
    EXPECT_NE(bytes.find(std::string("org_Caption=") + kChatWindowGbk), std::string::npos);
    EXPECT_NE(bytes.find("[Settings]"), std::string::npos);
    EXPECT_NE(bytes.find("tab_MaxLen=1"), std::string::npos);
    EXPECT_EQ(bytes.find('\0'), std::string::npos) << "no UTF-16";
    EXPECT_EQ(bytes.find("\xE8\x81\x8A"), std::string::npos) << "no UTF-8";
}

TEST_F(SettingsStore, HandEditedFileIsSeenByTheNextRead) {
    WriteFileBytes(std::string("[Settings]\r\norg_Caption=") + kChatWindowGbk + "\r\ntab_MaxLen=&H1\r\n");
    EXPECT_EQ(ReadIni(L"Settings", L"org_Caption", L""), L"聊天窗口");
    WriteFileBytes("[Settings]\r\norg_Caption=abc\r\ntab_MaxLen=&H1\r\ntab_Normal=&HFFC8A6\r\n");
    Settings loaded;
    Load(loaded);
    EXPECT_EQ(loaded.org_Caption, L"  -  abc");
    EXPECT_EQ(loaded.tab_MaxLen, 1);
    EXPECT_EQ(loaded.tab_Normal, 16763046);
}

TEST_F(SettingsStore, ReadsGiveValueDefaultOrEmpty) {
    WriteFileBytes("[Settings]\r\nempty=\r\nset=x\r\n");
    EXPECT_EQ(ReadIni(L"Settings", L"set", L"d"), L"x");
    EXPECT_EQ(ReadIni(L"Settings", L"missing", L"d"), L"d");
    EXPECT_EQ(ReadIni(L"Settings", L"missing", L""), L"");
    EXPECT_EQ(ReadIni(L"Other", L"set", L"d"), L"d");
    EXPECT_EQ(ReadIni(L"Settings", L"empty", L"d"), L"");
}

TEST_F(SettingsStore, LongValuesReadBackAsTheirFirst254Characters) {
    const std::wstring ascii = std::wstring(150, L'a') + std::wstring(150, L'b');
    WriteIni(L"Settings", L"org_Caption", ascii);
    EXPECT_EQ(ReadIni(L"Settings", L"org_Caption", L""), ascii.substr(0, 254));
    const std::wstring chinese(300, L'聊');
    WriteIni(L"Settings", L"org_Caption", chinese);
    EXPECT_EQ(ReadIni(L"Settings", L"org_Caption", L""), chinese.substr(0, 254));
}

TEST_F(SettingsStore, LineBreakInValueAddsNoKey) {
    WriteIni(L"Settings", L"org_Caption", L"abc\r\nhot_Enabled=1");
    EXPECT_EQ(ReadIni(L"Settings", L"hot_Enabled", L"0"), L"0");
    EXPECT_EQ(ReadIni(L"Settings", L"org_Caption", L""), L"abc  hot_Enabled=1");
}

TEST_F(SettingsStore, MalformedValueShowsYesNoReportAndLoadGoesOn) {
    WriteFileBytes("[Settings]\r\ntab_MaxLen=abc\r\norg_QQName=TM.exe\r\n");
    Settings loaded;
    Load(loaded);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].title, L"出错啦~~");
    EXPECT_TRUE(reports[0].yesNo);
    EXPECT_EQ(reports[0].text, L"Parlix.frmMain.LoadSettings 发生错误。\r\n错误描述：类型不匹配（tab_MaxLen）\r\n"
                               L"错误编号：13\r\n行号：7\r\n\r\n是否尝试忽略错误而继续执行程序？");
    EXPECT_EQ(loaded.tab_MaxLen, 0);
    EXPECT_EQ(loaded.org_QQName, L"TM.exe");
}

TEST_F(SettingsStore, EmptyStoredPathTakesTheClientInstallDirectory) {
    ASSERT_TRUE(WriteString(HKEY_LOCAL_MACHINE, kQQKey, L"Install", L"C:\\Program Files\\腾讯\\QQ\\"));
    Settings loaded;
    Load(loaded);
    EXPECT_EQ(loaded.org_QQPath, L"C:\\Program Files\\腾讯\\QQ\\");
    EXPECT_EQ(ReadIni(L"Settings", L"org_QQPath", L"none"), L"none") << "kept in memory only";
}

TEST_F(SettingsStore, ClientPathComesFromQQKeyAndOnlyABlankValueFallsBackToQQ2009) {
    struct Install {
        bool key;
        std::optional<std::wstring> value;
    };
    const struct {
        const char* name;
        Install qq, qq2009;
        const wchar_t* expected;
    } cases[] = {
        {"QQ value", {true, L"C:\\QQ\\"}, {true, L"D:\\QQ2009\\"}, L"C:\\QQ\\"},
        {"QQ value kept untrimmed", {true, L" C:\\QQ\\ "}, {false, {}}, L" C:\\QQ\\ "},
        {"blank QQ value", {true, L"   "}, {true, L"D:\\QQ2009\\"}, L"D:\\QQ2009\\"},
        {"empty QQ value", {true, L""}, {true, L"D:\\QQ2009\\"}, L"D:\\QQ2009\\"},
        {"QQ key without value", {true, {}}, {true, L"D:\\QQ2009\\"}, L""},
        {"no QQ key", {false, {}}, {true, L"D:\\QQ2009\\"}, L""},
        {"blank QQ value, no QQ2009 key", {true, L"  "}, {false, {}}, L""},
        {"no keys", {false, {}}, {false, {}}, L""},
        {"Chinese path", {true, L"E:\\程序\\腾讯QQ\\"}, {false, {}}, L"E:\\程序\\腾讯QQ\\"},
    };
    for (const auto& c : cases) {
        ClearClientKeys();
        for (const auto& [key, install] : {std::pair{kQQKey, c.qq}, std::pair{kQQ2009Key, c.qq2009}}) {
            if (!install.key) continue;
            ASSERT_TRUE(WriteString(HKEY_LOCAL_MACHINE, key, install.value ? kInstallValue : nullptr,
                                    install.value.value_or(L"")));
        }
        EXPECT_EQ(GetQQPath(), c.expected) << c.name;
    }
}

class AutoRun : public ::testing::Test {
  protected:
    void TearDown() override { RemoveValue(); }

    static void RemoveValue() {
        HKEY raw = nullptr;
        if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kRunKey, 0, KEY_SET_VALUE, &raw) == ERROR_SUCCESS) {
            const ScopedRegKey key(raw);
            ::RegDeleteValueW(key.get(), kAutoRunValue);
        }
    }
    static std::optional<std::wstring> Value() {
        wchar_t buffer[1024] = {};
        DWORD size = sizeof buffer;
        if (::RegGetValueW(HKEY_LOCAL_MACHINE, kRunKey, kAutoRunValue, RRF_RT_REG_SZ, nullptr, buffer, &size) !=
            ERROR_SUCCESS)
            return std::nullopt;
        return std::wstring(buffer);
    }
};

TEST_F(AutoRun, EnablingStoresTheRunningProgramsPath) {
    wchar_t module[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, module, MAX_PATH);
    std::wstring expected = module;
    if (expected.find(L' ') != std::wstring::npos) expected = L'"' + expected + L'"';

    EXPECT_TRUE(SetAutoRun(true));
    EXPECT_EQ(Value(), expected);
}

TEST_F(AutoRun, DisablingRemovesTheValueAndSucceedsWhenItIsMissing) {
    ASSERT_TRUE(SetAutoRun(true));
    EXPECT_TRUE(SetAutoRun(false));
    EXPECT_EQ(Value(), std::nullopt);
    EXPECT_TRUE(SetAutoRun(false));
}

TEST_F(AutoRun, MissingRunKeyIsFailure) {
    constexpr wchar_t kScratch[] = L"Software\\ParlixSettingsTest";
    HKEY raw = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, kScratch, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &raw, nullptr),
              ERROR_SUCCESS);
    {
        const ScopedRegKey scratch(raw);
        EXPECT_FALSE(SetAutoRun(true, scratch.get()));
        EXPECT_FALSE(SetAutoRun(false, scratch.get()));
    }
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kScratch);
}

TEST(WindowFacts, GivePositionInTwipsAndFrameInPixels) {
    const ScopedOwnWindow window(::CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW, 100, 50, 400, 300, nullptr,
                                                   nullptr, nullptr, nullptr));
    ASSERT_TRUE(window);
    RECT client{};
    ::GetClientRect(window.get(), &client);
    const MainWindowFacts facts = MainWindowFactsOf(window.get());
    EXPECT_EQ(facts.left, 1500);
    EXPECT_EQ(facts.top, 750);
    EXPECT_EQ(facts.frameWidth, 400 - client.right);
    EXPECT_EQ(facts.frameHeight, 300 - client.bottom);
    EXPECT_GT(facts.frameHeight, 0);
    EXPECT_GT(facts.screenRight, 0);
}

} // namespace
} // namespace parlix::test
