#include "settings/ini_values.h"
#include "settings/settings.h"

#include <gtest/gtest.h>

#include <map>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace parlix {
namespace {

// An in-memory set.ini that records every read and write in order.
class FakeIni final : public IniSource, public IniSink {
  public:
    struct Access {
        std::wstring section, key, text; // text: the default of a read, the value of a write
        friend bool operator==(const Access&, const Access&) = default;
    };

    void Set(std::wstring key, std::wstring value) { values[{L"Settings", std::move(key)}] = std::move(value); }

    std::wstring Read(std::wstring_view section, std::wstring_view key, std::wstring_view def) override {
        reads.push_back({std::wstring(section), std::wstring(key), std::wstring(def)});
        if (failingKey == key) throw std::runtime_error("read failed");
        const auto it = values.find({std::wstring(section), std::wstring(key)});
        return it == values.end() ? std::wstring(def) : it->second;
    }
    void Write(std::wstring_view section, std::wstring_view key, std::wstring_view value) override {
        writes.push_back({std::wstring(section), std::wstring(key), std::wstring(value)});
        values[{std::wstring(section), std::wstring(key)}] = std::wstring(value);
    }

    std::map<std::pair<std::wstring, std::wstring>, std::wstring> values;
    std::vector<Access> reads;
    std::vector<Access> writes;
    std::wstring failingKey;
};

// Records each failed step and goes on, as a "Yes" to the report does.
class RecordingTrap final : public LoadTrap {
  public:
    struct Failure {
        long line;
        long number; // 0 when the error was no IniValueError
        std::string what;
    };
    bool Run(long line, const std::function<void()>& step) override {
        try {
            step();
            return true;
        } catch (const IniValueError& e) {
            failures.push_back({line, e.Number(), e.what()});
        } catch (const std::exception& e) {
            failures.push_back({line, 0, e.what()});
        }
        return false;
    }
    std::vector<Failure> failures;
};

constexpr MainWindowFacts kWindow{.left = 1500, .top = 2250, .frameWidth = 8, .frameHeight = 30,
                                  .screenRight = 1280, .screenBottom = 800};

class LoadSettingsTest : public ::testing::Test {
  protected:
    WindowPlacement Load() { return LoadSettings(settings, ini, trap, services, kWindow); }
    std::wstring Stored(std::wstring_view key) const { return StoredText(settings, *FindSettingsKey(key)); }

    Settings settings;
    FakeIni ini;
    RecordingTrap trap;
    LoadServices services{.pluginCreatable = [this](std::wstring_view progId) {
                              checkedProgIds.emplace_back(progId);
                              return pluginCreatable;
                          },
                          .qqPath = [this] {
                              ++qqPathCalls;
                              return std::wstring(L"C:\\Program Files\\Tencent\\QQ\\");
                          }};
    bool pluginCreatable = true;
    std::vector<std::wstring> checkedProgIds;
    int qqPathCalls = 0;
};

TEST_F(LoadSettingsTest, MissingFileGivesEveryKeyItsDefault) {
    const struct {
        const wchar_t* key;
        const wchar_t* text;
    } defaults[] = {
        {L"tab_Bottom", L"True"},         {L"tab_Selected", L"16756580"},  {L"tab_Normal", L"16763046"},
        {L"tab_Hot", L"5700777"},         {L"tab_Text", L"6899221"},       {L"tab_Roll", L"False"},
        {L"tab_MaxLen", L"0"},            {L"tab_MaxLength", L"10"},       {L"tab_Skin", L"True"},
        {L"tab_ShowNum", L"1"},           {L"tab_ShowIcon", L"1"},         {L"tray_AutoMin", L"1"},
        {L"tray_AlwaysShowTip", L"0"},    {L"tray_CloseTray", L"0"},       {L"tray_Enabled", L"1"},
        {L"tray_FlashTray", L"1"},        {L"tray_MsgTip", L"1"},          {L"tray_TipTime", L"3"},
        {L"tray_TransIcon", L"0"},        {L"org_AutoRunIM", L"0"},        {L"org_AutoSwitch", L"1"},
        {L"org_AutoSize", L"0"},          {L"org_Caption", L""},           {L"org_ChkFile", L"0"},
        {L"org_Comp", L"0"},              {L"org_ExitMsg", L"0"},          {L"org_MouseGesture", L"1"},
        {L"org_QQName", L"QQ.exe"},       {L"org_RunOnStart", L"0"},       {L"org_Trans", L"1"},
        {L"hot_Enabled", L"0"},           {L"hot_Key", L"0"},              {L"hot_Mod", L"0"},
        {L"hot_Text", L"无"},             {L"win_CX", L"10560"},           {L"win_CY", L"8355"},
        {L"win_Status", L"0"},            {L"win_X", L"1500"},             {L"win_Y", L"2250"},
    };
    Load();
    for (const auto& d : defaults) EXPECT_EQ(Stored(d.key), d.text) << ::testing::PrintToString(d.key);
    EXPECT_FALSE(settings.Murmelo);
    EXPECT_EQ(settings.org_QQPath, L"C:\\Program Files\\Tencent\\QQ\\"); // from the registry
    EXPECT_TRUE(trap.failures.empty());
    EXPECT_TRUE(ini.writes.empty()); // loading never creates the file
}

TEST_F(LoadSettingsTest, ReadsEveryKeyInOrderWithItsDefaultText) {
    Load();
    std::vector<std::wstring> keys;
    for (const auto& r : ini.reads) keys.push_back(r.key);
    const std::vector<std::wstring> expected = {
        L"tab_Bottom",     L"tab_Selected",     L"tab_Normal",   L"tab_Hot",        L"tab_Text",
        L"tab_Roll",       L"tab_MaxLen",       L"tab_MaxLength", L"tab_Skin",      L"tab_ShowNum",
        L"tab_ShowIcon",   L"tray_AutoMin",     L"tray_AlwaysShowTip", L"tray_CloseTray", L"tray_Enabled",
        L"tray_FlashTray", L"tray_MsgTip",      L"tray_TipTime", L"tray_TransIcon", L"org_AutoRunIM",
        L"org_AutoSwitch", L"org_AutoSize",     L"org_Caption",  L"org_ChkFile",    L"org_Comp",
        L"org_ExitMsg",    L"org_MouseGesture", L"org_QQPath",   L"org_QQName",     L"org_RunOnStart",
        L"org_Trans",      L"hot_Enabled",      L"hot_Key",      L"hot_Mod",        L"Murmelo",
        L"win_Status",     L"win_CX",           L"win_CY",       L"win_X",          L"win_Y",
    };
    EXPECT_EQ(keys, expected);
    ASSERT_EQ(ini.reads.size(), expected.size());
    EXPECT_EQ(ini.reads[1].text, L"16756580"); // tab_Selected's default goes as decimal text
    EXPECT_EQ(ini.reads[2].text, L"&HFFC8A6");
    EXPECT_EQ(ini.reads[34], (FakeIni::Access{L"Plugin", L"Murmelo", L"False"}));
    EXPECT_EQ(ini.reads[38].text, L"1500"); // win_X defaults to the current position
    EXPECT_EQ(ini.reads[39].text, L"2250");
}

TEST_F(LoadSettingsTest, MalformedValuesAreReportedKeyByKeyAndTheLoadGoesOn) {
    ini.Set(L"tab_Bottom", L"maybe");
    ini.Set(L"tab_Selected", L"&HZZ");
    ini.Set(L"tab_MaxLen", L"");
    ini.Set(L"tray_TipTime", L"99999999999");
    ini.Set(L"hot_Key", L"-5");
    ini.Set(L"org_QQName", L"TM.exe");
    ini.Set(L"win_CX", L"abc");
    ini.Set(L"win_X", L"3000");
    Load();

    ASSERT_EQ(trap.failures.size(), 5u);
    const struct {
        long line, number;
        const char* key;
    } expected[] = {{1, kTypeMismatch, "tab_Bottom"}, {2, kTypeMismatch, "tab_Selected"},
                    {7, kTypeMismatch, "tab_MaxLen"}, {18, kOverflow, "tray_TipTime"},
                    {40, kTypeMismatch, "win_CX"}};
    for (size_t i = 0; i < std::size(expected); ++i) {
        EXPECT_EQ(trap.failures[i].line, expected[i].line);
        EXPECT_EQ(trap.failures[i].number, expected[i].number);
        EXPECT_NE(trap.failures[i].what.find(expected[i].key), std::string::npos) << trap.failures[i].what;
    }
    // Failed keys keep what they held (the defaults); the others load.
    EXPECT_TRUE(settings.tab_Bottom);
    EXPECT_EQ(settings.tab_Selected, 16756580);
    EXPECT_EQ(settings.tab_MaxLen, 0);
    EXPECT_EQ(settings.tray_TipTime, 3);
    EXPECT_EQ(settings.hot_Key, -5);
    EXPECT_EQ(settings.org_QQName, L"TM.exe");
    EXPECT_EQ(settings.win_CX, 10560);
    EXPECT_EQ(settings.win_X, 3000);
}

TEST_F(LoadSettingsTest, AnyErrorInAStepIsTrappedAndTheNextStepRuns) {
    ini.failingKey = L"org_Comp";
    ini.Set(L"org_ExitMsg", L"1");
    Load();
    ASSERT_EQ(trap.failures.size(), 1u);
    EXPECT_EQ(trap.failures[0].number, 0);
    EXPECT_EQ(settings.org_ExitMsg, 1);
    EXPECT_EQ(ini.reads.size(), 40u);
}

TEST_F(LoadSettingsTest, NotificationPluginStaysEnabledOnlyWhenStoredTrueAndCreatable) {
    const struct {
        const wchar_t* stored; // nullptr: no key
        bool creatable, enabled, checked;
    } cases[] = {
        {L"True", true, true, true},   {L"True", false, false, true}, {L"1", true, true, true},
        {L"False", true, false, false}, {nullptr, true, false, false},
    };
    for (const auto& c : cases) {
        Settings fresh;
        settings = fresh;
        ini.values.clear();
        checkedProgIds.clear();
        if (c.stored) ini.values[{L"Plugin", L"Murmelo"}] = c.stored;
        pluginCreatable = c.creatable;
        Load();
        EXPECT_EQ(settings.Murmelo, c.enabled) << ::testing::PrintToString(c.stored) << " " << c.creatable;
        EXPECT_EQ(checkedProgIds, c.checked ? std::vector<std::wstring>{L"MurmeloProject.Murmelo"}
                                            : std::vector<std::wstring>{});
    }
}

TEST_F(LoadSettingsTest, MinimisedOrMaximisedStateLeavesPlacementUnread) {
    for (const wchar_t* status : {L"1", L"2"}) {
        ini.reads.clear();
        ini.Set(L"win_Status", status);
        ini.Set(L"win_CX", L"100");
        const WindowPlacement placement = Load();
        EXPECT_EQ(placement.status, IniToInteger(status));
        EXPECT_FALSE(placement.bounds.has_value());
        EXPECT_EQ(ini.reads.back().key, L"win_Status");
    }
}

TEST_F(LoadSettingsTest, UnknownWindowStateIsReportedAndTheWindowOpensNormally) {
    ini.Set(L"win_Status", L"5");
    ini.Set(L"win_CX", L"9000");
    const WindowPlacement placement = Load();
    ASSERT_EQ(trap.failures.size(), 1u);
    EXPECT_EQ(trap.failures[0].number, kInvalidValue);
    EXPECT_EQ(placement.status, 0);
    ASSERT_TRUE(placement.bounds.has_value());
    EXPECT_EQ(placement.bounds->width, 9000);
}

TEST_F(LoadSettingsTest, NormalStateRestoresStoredPlacement) {
    ini.Set(L"win_CX", L"100");
    ini.Set(L"win_CY", L"6000");
    ini.Set(L"win_X", L"-500");
    ini.Set(L"win_Y", L"750");
    EXPECT_EQ(Load(), (WindowPlacement{0, TwipsRect{0, 750, 10560, 6000}}));
}

TEST(PlaceMainWindow, AppliesSizeFloorNegativeClampAndScreenEdge) {
    constexpr MainWindowFacts facts{.frameWidth = 10, .frameHeight = 40, .screenRight = 1280, .screenBottom = 800};
    const struct {
        const char* name;
        std::int32_t x, y, cx, cy;
        TwipsRect expected;
    } cases[] = {
        {"stored values kept", 1500, 3000, 9000, 6000, {1500, 3000, 9000, 6000}},
        {"width of 100 twips", 0, 0, 100, 6000, {0, 0, 10560, 6000}},
        {"inner width exactly 200", 0, 0, 210 * 15, 6000, {0, 0, 10560, 6000}},
        {"inner width 201", 0, 0, 211 * 15, 6000, {0, 0, 211 * 15, 6000}},
        {"inner height exactly 200", 0, 0, 9000, 240 * 15, {0, 0, 9000, 8355}},
        {"negative width", 0, 0, -9000, 6000, {0, 0, 10560, 6000}},
        {"negative position", -500, -1, 9000, 6000, {0, 0, 9000, 6000}},
        {"left on the last pixel", 1279 * 15, 0, 9000, 6000, {1279 * 15, 0, 9000, 6000}},
        {"left beyond the screen", 1280 * 15, 0, 9000, 6000, {(1280 - 600) * 15, 0, 9000, 6000}},
        {"top beyond the screen", 0, 5000 * 15, 9000, 6000, {0, (800 - 400) * 15, 9000, 6000}},
        {"wider than the screen", 90000 * 15, 0, 2000 * 15, 6000, {0, 0, 2000 * 15, 6000}},
        {"huge values", 2147483647, 2147483647, 2147483647, 2147483647,
         {0, 0, 2147483647, 2147483647}},
    };
    for (const auto& c : cases) {
        Settings s;
        s.win_X = c.x;
        s.win_Y = c.y;
        s.win_CX = c.cx;
        s.win_CY = c.cy;
        EXPECT_EQ(PlaceMainWindow(s, facts), (WindowPlacement{0, c.expected})) << c.name;
    }
}

TEST(SaveSettings, DialogWritesEverySettingButPlacementAndHotkeyThenThePluginFlag) {
    Settings s;
    s.tab_Bottom = false;
    s.tab_Selected = 0xFFAF64;
    s.org_Caption = CaptionSuffix(L"工作");
    s.Murmelo = true;
    FakeIni ini;
    SaveSettings(s, ini);
    ASSERT_EQ(ini.writes.size(), 33u);
    EXPECT_EQ(ini.writes.front(), (FakeIni::Access{L"Settings", L"tab_Bottom", L"False"}));
    EXPECT_EQ(ini.writes[1], (FakeIni::Access{L"Settings", L"tab_Hot", L"5700777"}));
    EXPECT_EQ(ini.writes.back(), (FakeIni::Access{L"Plugin", L"Murmelo", L"True"}));
    for (const auto& w : ini.writes) {
        EXPECT_FALSE(w.key.starts_with(L"win_")) << w.key;
        EXPECT_NE(w.key, L"hot_Text");
        EXPECT_NE(w.key, L"hot_Key");
        EXPECT_NE(w.key, L"hot_Mod");
        if (w.key == L"org_Caption") {
            EXPECT_EQ(w.text, L"工作"); // without the title prefix
        }
        if (w.key == L"tab_Selected") {
            EXPECT_EQ(w.text, L"16756580");
        }
    }
}

TEST(SaveSettings, WhatIsSavedLoadsBackUnchanged) {
    Settings saved;
    saved.tab_Bottom = false;
    saved.tab_Normal = -2147483633; // a system colour index
    saved.tab_MaxLen = 1;
    saved.tab_MaxLength = 20;
    saved.tray_TipTime = 60;
    saved.org_Caption = CaptionSuffix(L"家里");
    saved.org_QQPath = L"D:\\腾讯\\QQ\\";
    saved.org_QQName = L"QQ2009.exe";
    saved.hot_Enabled = 1;
    saved.hot_Key = 81;
    saved.hot_Mod = 3;
    saved.hot_Text = L"Ctrl + Alt + Q";
    saved.Murmelo = true;
    FakeIni ini;
    SaveSettings(saved, ini);
    SaveHotkey(saved, ini);
    SaveWindowPlacement(ini, TwipsRect{300, 450, 9000, 6000}, 0);

    Settings loaded;
    RecordingTrap trap;
    const LoadServices services{.pluginCreatable = [](std::wstring_view) { return true; },
                                .qqPath = [] { return std::wstring(L"C:\\QQ\\"); }};
    const WindowPlacement placement = LoadSettings(loaded, ini, trap, services, MainWindowFacts{});
    EXPECT_TRUE(trap.failures.empty());
    for (const SettingsKey& key : StartupKeys())
        EXPECT_EQ(StoredText(loaded, key), StoredText(saved, key)) << ::testing::PrintToString(key.key);
    EXPECT_EQ(loaded.Murmelo, true);
    EXPECT_EQ(placement, (WindowPlacement{0, TwipsRect{300, 450, 9000, 6000}}));
}

TEST(SaveSettings, HotkeyAndPlacementWritesComeInTheirOrder) {
    Settings s;
    s.hot_Text = L"Ctrl + Alt + Q";
    s.hot_Key = 81;
    s.hot_Mod = 3;
    FakeIni ini;
    SaveHotkey(s, ini);
    SaveWindowPlacement(ini, TwipsRect{-60, 150, 10560, 8355}, 2);
    const std::vector<FakeIni::Access> expected = {
        {L"Settings", L"hot_Text", L"Ctrl + Alt + Q"}, {L"Settings", L"hot_Key", L"81"},
        {L"Settings", L"hot_Mod", L"3"},               {L"Settings", L"win_CX", L"10560"},
        {L"Settings", L"win_CY", L"8355"},             {L"Settings", L"win_X", L"-60"},
        {L"Settings", L"win_Y", L"150"},               {L"Settings", L"win_Status", L"2"},
    };
    EXPECT_EQ(ini.writes, expected);
}

} // namespace
} // namespace parlix
