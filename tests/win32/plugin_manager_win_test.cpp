// The plugin manager with real plugin DLLs, regsvr32 and COM under Wine: the contract library's
// registration at start-up, installation that the following check already sees, connection in
// listing order with the host object, faulty plugins, and the error reports.
#include "base/error_report_win.h"
#include "settings/plugin_manager_win.h"
#include "settings/settings_win.h"
#include "tests/support/plugin_files.h"
#include "tests/support/process.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace parlix::test {
namespace {

std::filesystem::path Nexcor() { return BinDir() / L"Nexcor.dll"; }

ComPtr<_Parlix_Core> NewCore() {
    ComPtr<_Parlix_Core> core;
    ::CoCreateInstance(CLSID_Parlix_Core, nullptr, CLSCTX_INPROC_SERVER, IID__Parlix_Core, core.put_void());
    return core;
}

class PluginManagerWinTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(Regsvr32(Nexcor()), 0);
        InitIni(dir.Path().wstring());
        SetErrorSink([this](std::wstring_view, std::wstring_view text, bool) {
            reports.emplace_back(text);
            return ErrorAnswer::Ok;
        });
        plugins = dir.Path() / L"Plugins";
    }
    void TearDown() override {
        SetErrorSink(nullptr);
        // The test plugins leave no registration behind for other programs.
        for (const auto& name : ListedPlugins(plugins)) Regsvr32(plugins / (name + L".dll"), true);
        ::SetCurrentDirectoryW(BinDir().wstring().c_str());
    }
    void Enable(const std::wstring& name, const std::wstring& value = L"True") {
        WriteIni(L"Plugin", name, value);
    }
    [[nodiscard]] std::vector<std::wstring> ExpectedOrder(const std::vector<std::wstring>& names,
                                                          const std::wstring& call) const {
        std::vector<std::wstring> order;
        for (const auto& n : ListedPlugins(plugins))
            if (std::find(names.begin(), names.end(), n) != names.end()) order.push_back(n + L" " + call);
        return order;
    }

    ComApartment apartment;
    TempDir dir{L"plugins"};
    std::filesystem::path plugins;
    std::vector<std::wstring> reports;
};

TEST_F(PluginManagerWinTest, InstallationIsSeenByTheCheckRightAfterItAndUninstallationLikewise) {
    ASSERT_TRUE(CopyTestPlugin(L"Beta", plugins));
    Regsvr32(plugins / L"Beta.dll", true);
    PluginManagerWin host(dir.Path().wstring());
    PluginManager& m = host.Manager();
    ASSERT_FALSE(m.CheckPlugin(L"BetaProject.Beta"));
    EXPECT_TRUE(m.InstallPlugin(L"Beta"));
    EXPECT_TRUE(CheckPluginClass(L"BetaProject.Beta"));
    EXPECT_TRUE(m.UninstallPlugin(L"Beta.dll"));
    EXPECT_FALSE(m.CheckPlugin(L"BetaProject.Beta"));
    EXPECT_FALSE(m.InstallPlugin(L"Gamma"));  // no such file
    EXPECT_TRUE(RecordedCalls(plugins).empty());  // checks never connect
    EXPECT_TRUE(reports.empty());
}

TEST_F(PluginManagerWinTest, EnabledPluginsConnectInListingOrderWithTheHostObjectAndAFaultyOneIsSilent) {
    for (const wchar_t* name : {L"Alpha", L"Beta", L"Faulty", L"Murmelo"}) ASSERT_TRUE(CopyTestPlugin(name, plugins));
    Regsvr32(plugins / L"Alpha.dll");  // Beta and Faulty get installed by the connection itself
    Enable(L"Alpha");
    Enable(L"Beta");
    Enable(L"Faulty");
    Enable(L"Murmelo", L"False");
    PluginManagerWin host(dir.Path().wstring());
    ComPtr<_Parlix_Core> core = NewCore();
    ASSERT_TRUE(core);
    host.SetCore(core);
    host.Manager().ConnectPlugins();

    EXPECT_EQ(CallOrder(RecordedCalls(plugins)), ExpectedOrder({L"Alpha", L"Beta", L"Faulty"}, L"OnConnection"));
    EXPECT_TRUE(reports.empty());  // a failure while connecting at start-up is not shown
    EXPECT_EQ(host.Manager().Plugins().count(), 3);
    EXPECT_FALSE(host.Manager().FindNode(L"Murmelo"));
    ASSERT_TRUE(ComObjectOf(host.Manager().FindNode(L"Beta")));
    // Each recorder clears its by-reference argument; every later plugin still gets the core.
    for (const auto& line : RecordedCalls(plugins))
        if (line.find(L" OnConnection") != std::wstring::npos) {
            EXPECT_NE(line.find(L"mainForm="), std::wstring::npos) << line;
        }

    // Disconnection: connection order; the faulty plugin's failure is reported once, with its text.
    const auto before = RecordedCalls(plugins).size();
    host.Manager().DisconnectPlugins();
    auto lines = RecordedCalls(plugins);
    lines.erase(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(before));
    EXPECT_EQ(CallOrder(lines), ExpectedOrder({L"Alpha", L"Beta", L"Faulty"}, L"OnDisconnection"));
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_NE(reports[0].find(L"Parlix.modPlugin.DisconnectPlugins 发生错误。"), std::wstring::npos);
    EXPECT_NE(reports[0].find(L"插件断开失败"), std::wstring::npos) << reports[0];
    EXPECT_EQ(host.Manager().Plugins().count(), 0);
}

TEST_F(PluginManagerWinTest, LoadingAFaultyPluginFromTheDialogReportsItsFailureOnceAndParlixGoesOn) {
    ASSERT_TRUE(CopyTestPlugin(L"Faulty", plugins));
    ASSERT_TRUE(CopyTestPlugin(L"Alpha", plugins));
    Regsvr32(plugins / L"Faulty.dll");
    Regsvr32(plugins / L"Alpha.dll");
    PluginManagerWin host(dir.Path().wstring());
    host.SetCore(NewCore());
    host.Manager().LoadPlugin(L"Faulty");
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_NE(reports[0].find(L"Parlix.modPlugin.LoadPlugin 发生错误。"), std::wstring::npos);
    EXPECT_NE(reports[0].find(L"插件连接失败"), std::wstring::npos) << reports[0];
    host.Manager().LoadPlugin(L"Alpha");
    host.Manager().LoadPlugin(L"Alpha");  // already listed: nothing created
    host.Manager().UnloadPlugin(L"Alpha");
    EXPECT_EQ(CallOrder(RecordedCalls(plugins)),
              (std::vector<std::wstring>{L"Faulty OnConnection", L"Alpha OnConnection", L"Alpha OnDisconnection"}));
    EXPECT_EQ(reports.size(), 1u);
    // Not creatable: one report, nothing listed.
    host.Manager().LoadPlugin(L"Nothing");
    EXPECT_EQ(reports.size(), 2u);
    EXPECT_FALSE(host.Manager().FindNode(L"Nothing"));
}

TEST_F(PluginManagerWinTest, EnumPluginsFillsAListBoxWithEveryDllOfTheFolder) {
    for (const wchar_t* name : {L"Alpha", L"Beta"}) ASSERT_TRUE(CopyTestPlugin(name, plugins));
    PluginManagerWin host(dir.Path().wstring());
    ScopedOwnWindow list(::CreateWindowExW(0, L"LISTBOX", L"", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr, nullptr,
                                           nullptr));
    host.EnumPlugins(list.get());
    std::vector<std::wstring> shown;
    const auto n = ::SendMessageW(list.get(), LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < n; ++i) {
        wchar_t text[64] = {};
        ::SendMessageW(list.get(), LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        shown.emplace_back(text);
    }
    std::sort(shown.begin(), shown.end());  // the list box sorts or not; the names are what counts
    EXPECT_EQ(shown, (std::vector<std::wstring>{L"Alpha", L"Beta"}));
}

TEST_F(PluginManagerWinTest, RegisterCoreRegistersTheLibraryOfTheProgramFolderOrTellsTheUserOnce) {
    // A program folder with its own copy: after start-up the classes point at it.
    std::filesystem::copy_file(Nexcor(), dir.Path() / L"Nexcor.dll");
    std::vector<std::wstring> boxes;
    const MessageBoxFn box = [&](std::wstring_view text, std::wstring_view, UINT) {
        boxes.emplace_back(text);
        return IDOK;
    };
    RegisterCore(dir.Path().wstring(), box);
    EXPECT_TRUE(boxes.empty());
    EXPECT_TRUE(NewCore());

    // Without the library anywhere: both tries fail and the user is told once.
    ASSERT_EQ(Regsvr32(dir.Path() / L"Nexcor.dll", true), 0);
    TempDir empty(L"nocore");
    RegisterCore(empty.Path().wstring(), box);
    EXPECT_EQ(boxes, (std::vector<std::wstring>{L"核心组件初始化失败，请在管理员权限下再次运行本程序。"}));
    EXPECT_EQ(Regsvr32(Nexcor()), 0);
}

}  // namespace
}  // namespace parlix::test
