// Parlix with the notification plugin Murmelo enabled: a new message in a background chat while
// Parlix is hidden in the tray slides the notice window into the screen's bottom-right corner
// instead of showing the tray balloon, and a click on the notice brings Parlix forward on the
// tab of that chat.
#include "tests/support/clean_state.h"
#include "tests/support/fakeim_client.h"
#include "tests/support/mouse_input.h"
#include "tests/support/parlix_app.h"
#include "tests/support/plugin_files.h"
#include "tests/support/windows.h"

#include <commctrl.h>
#include <gtest/gtest.h>

namespace parlix::test {
namespace {

constexpr UINT kTrayCallback = 0x7E9;
constexpr LPARAM kBalloonHide = 0x403;

// Balloons of the tray (the Wine desktop's explorer shows them as balloon tooltips).
bool BalloonShown() {
    for (HWND w : FindTopLevel({.className = L"tooltips_class32", .visibleOnly = true}))
        if (ReadFacts(w).style & TTS_BALLOON) return true;
    return false;
}

COLORREF ScreenPixel(int x, int y) {
    const HDC screen = ::GetDC(nullptr);
    const COLORREF c = ::GetPixel(screen, x, y);
    ::ReleaseDC(nullptr, screen);
    return c;
}

class NoticeTest : public testing::Test {
protected:
    void SetUp() override {
        ResetUserState();
        ASSERT_EQ(Regsvr32(BinDir() / L"Nexcor.dll"), 0);
        std::filesystem::create_directories(plugins_ / L"Skin");
        std::filesystem::copy_file(BinDir() / L"Plugins" / L"Murmelo.dll", plugins_ / L"Murmelo.dll");
        for (const wchar_t* f : {L"Default.png", L"Default.ini"})
            std::filesystem::copy_file(BinDir() / L"Plugins" / L"Skin" / f, plugins_ / L"Skin" / f);
        ASSERT_EQ(Regsvr32(plugins_ / L"Murmelo.dll"), 0);
        ::WritePrivateProfileStringW(L"Plugin", L"Murmelo", L"True", (dir_.Path() / L"set.ini").wstring().c_str());
        qq_ = FakeIm::Launch(dir_.Path(), L"QQ.exe", {L"main|1"});
        ASSERT_NE(qq_, nullptr);
        app_ = ParlixApp::Launch(dir_.Path());
        ASSERT_NE(app_, nullptr);
    }
    void TearDown() override {
        if (app_) app_->Close();
        Regsvr32(plugins_ / L"Murmelo.dll", true);
    }

    TempDir dir_{L"parlix-notice"};
    std::filesystem::path plugins_ = dir_.Path() / L"Plugins";
    std::unique_ptr<FakeIm> qq_;
    std::unique_ptr<ParlixApp> app_;
};

TEST_F(NoticeTest, AMessageInABackgroundChatShowsTheNoticeInsteadOfTheBalloonAndItsClickBringsParlixForward) {
    // The welcome balloon shows how a balloon looks to this test.
    ASSERT_TRUE(WaitFor([] { return BalloonShown(); }));
    const HWND a = qq_->Open(L"tm2007", L"与 张三 会话中");
    ASSERT_TRUE(app_->WaitForTab(a).has_value());
    const HWND b = qq_->Open(L"tm2007", L"与 李四 会话中");
    ASSERT_TRUE(app_->WaitForTab(b).has_value());
    ASSERT_EQ(app_->SelectedTab(), 1);
    const HWND main = app_->MainWindow();
    // The start-up's welcome balloon has gone, and Parlix is hidden in the tray by a click on its
    // icon.
    ASSERT_TRUE(WaitFor([] { return !BalloonShown(); }));
    ::SendMessageW(main, kTrayCallback, 0, kBalloonHide);
    ::SendMessageW(main, kTrayCallback, 0, WM_LBUTTONUP);
    ASSERT_TRUE(WaitFor([&] { return !::IsWindowVisible(main); }));

    ASSERT_EQ(qq_->Command(L"append|" + HwndArg(a) + L"|晚上一起吃饭吗？"), 1);
    const HWND notice = WaitForWindow({.className = L"Murmelo.frmMain", .pid = app_->Proc().Id(), .visibleOnly = true});
    ASSERT_NE(notice, nullptr);
    const int sw = ::GetSystemMetrics(SM_CXSCREEN), sh = ::GetSystemMetrics(SM_CYSCREEN);
    const RECT corner{sw - 300, sh - 120, sw, sh};
    EXPECT_TRUE(WaitFor([&] {
        const RECT now = ReadFacts(notice).rect;
        return ::EqualRect(&now, &corner) != FALSE;
    }));
    // On the screen: the skin's pale header.
    EXPECT_TRUE(WaitFor([&] { return ScreenPixel(sw - 20, sh - 110) == RGB(0xEE, 0xF3, 0xFB); }));
    EXPECT_FALSE(BalloonShown());

    ASSERT_TRUE(SendMouseClick(notice));
    EXPECT_TRUE(WaitFor([&] { return ::IsWindowVisible(main) && ::GetForegroundWindow() == main; }));
    EXPECT_EQ(app_->SelectedTab(), 0) << "the tab of the chat that spoke";
    EXPECT_FALSE(BalloonShown());
}

}  // namespace
}  // namespace parlix::test
