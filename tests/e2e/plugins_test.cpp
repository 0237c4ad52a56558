// Parlix with plugins: enabled plugins are connected at start-up with the host object, a new
// message goes to the notice plugin instead of the tray, a faulty plugin leaves Parlix running
// and is reported once, and the exit disconnects the notice plugin first and then every plugin in
// connection order.
#include "tests/support/clean_state.h"
#include "tests/support/fakeim_client.h"
#include "tests/support/parlix_app.h"
#include "tests/support/plugin_files.h"
#include "tests/support/windows.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace parlix::test {
namespace {

std::vector<std::wstring> LinesStartingWith(const std::vector<std::wstring>& lines, const std::wstring& prefix) {
    std::vector<std::wstring> found;
    for (const auto& l : lines)
        if (l.starts_with(prefix)) found.push_back(l);
    return found;
}

// The text of a message box (its static control).
std::wstring BoxText(HWND box) {
    for (HWND child : Children(box, L"Static")) {
        wchar_t text[1024] = {};
        ::GetWindowTextW(child, text, 1024);
        if (text[0]) return text;
    }
    return {};
}

class PluginsTest : public testing::Test {
protected:
    void SetUp() override {
        ResetUserState();
        Regsvr32(BinDir() / L"Nexcor.dll");
        for (const wchar_t* name : {L"Murmelo", L"Alpha", L"Faulty"}) {
            ASSERT_TRUE(CopyTestPlugin(name, plugins_));
            ::WritePrivateProfileStringW(L"Plugin", name, L"True", (dir_.Path() / L"set.ini").wstring().c_str());
        }
        // Enabled through the settings dialog earlier: installed. The faulty one is installed by
        // the start-up itself.
        ASSERT_EQ(Regsvr32(plugins_ / L"Murmelo.dll"), 0);
        ASSERT_EQ(Regsvr32(plugins_ / L"Alpha.dll"), 0);
        qq_ = FakeIm::Launch(dir_.Path(), L"QQ.exe", {L"main|1"});
        ASSERT_NE(qq_, nullptr);
        app_ = ParlixApp::Launch(dir_.Path(), kPatience, {{L"tray_AlwaysShowTip", L"1"}});
        ASSERT_NE(app_, nullptr);
    }
    void TearDown() override {
        if (app_) app_->Close();
        for (const auto& name : ListedPlugins(plugins_)) Regsvr32(plugins_ / (name + L".dll"), true);
    }

    TempDir dir_{L"parlix-plugins"};
    std::filesystem::path plugins_ = dir_.Path() / L"Plugins";
    std::unique_ptr<FakeIm> qq_;
    std::unique_ptr<ParlixApp> app_;
};

TEST_F(PluginsTest, NoticesGoToTheNoticePluginAndExitDisconnectsItFirstWithTheFaultyPluginReportedOnce) {
    const std::vector<std::wstring> listed = ListedPlugins(plugins_);
    std::vector<std::wstring> connected;
    for (const auto& n : listed) connected.push_back(n + L" OnConnection");
    ASSERT_TRUE(WaitFor([&] { return CallOrder(RecordedCalls(plugins_)).size() >= listed.size(); }));
    EXPECT_EQ(CallOrder(RecordedCalls(plugins_)), connected);
    // Every plugin read the main window by name when it connected.
    const auto forms = LinesStartingWith(RecordedCalls(plugins_), L"Alpha MainForm ");
    ASSERT_EQ(forms.size(), 1u);
    EXPECT_TRUE(forms[0].starts_with(L"Alpha MainForm hwnd=" +
                                     std::to_wstring(reinterpret_cast<std::intptr_t>(app_->MainWindow())) + L" "))
        << forms[0];
    EXPECT_EQ(forms[0].find(L'?'), std::wstring::npos) << forms[0];
    // Start-up went on past the faulty plugin without a word.
    EXPECT_TRUE(FindTopLevel({.title = L"出错啦~~", .exactTitle = true, .pid = app_->Proc().Id()}).empty());

    const HWND a = qq_->Open(L"tm2007", L"与 张三 会话中");
    ASSERT_TRUE(app_->WaitForTab(a).has_value());
    const HWND b = qq_->Open(L"tm2007", L"与 李四 会话中");
    ASSERT_TRUE(app_->WaitForTab(b).has_value());
    ASSERT_EQ(qq_->Command(L"append|" + HwndArg(a) + L"|晚上一起吃饭吗？"), 1);
    const auto notices = WaitFor([&] { return LinesStartingWith(RecordedCalls(plugins_), L"Murmelo ShowMessage "); });
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_TRUE(notices[0].starts_with(L"Murmelo ShowMessage 3000|张三的新消息:|")) << notices[0];
    EXPECT_TRUE(LinesStartingWith(RecordedCalls(plugins_), L"Alpha ShowMessage").empty());

    // Exit: the faulty plugin's failed disconnection is reported once; then Parlix ends.
    ::PostMessageW(app_->MainWindow(), WM_CLOSE, 0, 0);
    const HWND box = WaitForWindow({.title = L"出错啦~~", .exactTitle = true, .pid = app_->Proc().Id()});
    ASSERT_NE(box, nullptr);
    const std::wstring text = WaitFor([&] { return BoxText(box); });
    EXPECT_NE(text.find(L"Parlix.modPlugin.DisconnectPlugins 发生错误。"), std::wstring::npos) << text;
    EXPECT_NE(text.find(L"插件断开失败"), std::wstring::npos) << text;
    ::PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(app_->Proc().Wait(kPatience));

    std::vector<std::wstring> order = connected;
    order.push_back(L"Murmelo ShowMessage");
    order.push_back(L"Murmelo OnDisconnection");
    for (const auto& n : listed) order.push_back(n + L" OnDisconnection");
    const auto lines = RecordedCalls(plugins_);
    EXPECT_EQ(CallOrder(lines), order);
    const auto last = LinesStartingWith(lines, L"Murmelo OnDisconnection");
    ASSERT_EQ(last.size(), 2u);
    EXPECT_EQ(last[1], L"Murmelo OnDisconnection mainForm=0 currentWin=0");
}

}  // namespace
}  // namespace parlix::test
