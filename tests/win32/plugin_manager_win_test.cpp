// The plugin manager with real plugin DLLs, regsvr32 and COM under Wine: the contract library's
// registration at start-up, installation that the following check already sees, and a faulty
// plugin loaded from the dialog. (Start-up connection and exit order: e2e plugins_test.)
#include "base/error_report_win.h"
#include "settings/plugin_manager_win.h"
#include "settings/settings_win.h"
#include "tests/support/plugin_files.h"
#include "tests/support/process.h"

#include <gtest/gtest.h>

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
