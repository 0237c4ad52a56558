// The tray icon against the Wine desktop's real notification area: the record's texts cut to
// their fields, add/modify/delete accepted by the shell, callback messages acting on a real main
// window through a recording host, tmrKillTip, and the program icon from Parlix.dll.
#include "capture/hook_library_win.h"
#include "ui/res_icon_win.h"
#include "ui/tray_action.h"
#include "ui/tray_win.h"
#include "tests/support/windows.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace parlix::test {
namespace {

constexpr UINT_PTR kTmrKillTip = 7;
using Calls = std::vector<std::wstring>;

class FakeHost final : public TrayHost {
public:
    MainWindowState MainState() const override { return state; }
    void SetMainState(MainWindowState s) override {
        state = s;
        calls.push_back(L"MainState " + std::to_wstring(static_cast<int>(s)));
    }
    bool IsFlashing() const override { return flashing; }
    void FocusMain() override { calls.push_back(L"FocusMain"); }
    void ShowTrayMenu() override { calls.push_back(L"ShowTrayMenu"); }
    MainWindowState state = MainWindowState::Normal;
    bool flashing = false;
    Calls calls;
};

FakeHost* gHost = nullptr;
Tray* gTray = nullptr;
int gKillTipTicks = 0;

// Records a minimise with the MainState the host held at that moment; routes tmrKillTip.
LRESULT CALLBACK MainProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_SIZE && wParam == SIZE_MINIMIZED)
        gHost->calls.push_back(L"minimised in " + std::to_wstring(static_cast<int>(gHost->state)));
    if (msg == WM_TIMER && wParam == kTmrKillTip) {
        ++gKillTipTicks;
        gTray->OnKillTipTimer();
    }
    return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

class TrayTest : public ::testing::Test {
protected:
    void SetUp() override {
        WNDCLASSW wc{};
        wc.lpfnWndProc = MainProc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"ParlixTrayTestMain";
        ::RegisterClassW(&wc);
        gHost = &host;
        gTray = &tray;
        main =
            ::CreateWindowExW(WS_EX_APPWINDOW, wc.lpszClassName, L"Parlix", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                              50, 50, 400, 300, nullptr, nullptr, wc.hInstance, nullptr);
        ASSERT_NE(main, nullptr);
        ASSERT_TRUE(tray.AddTrayIcon(main, icon.get()));
        ASSERT_TRUE(tray.Flush()) << "the test desktop has a tray";
    }
    void TearDown() override {
        tray.DeleteTrayIcon();
        ::DestroyWindow(main);
    }
    bool ShellKnowsIcon() {
        tray.Flush();
        NOTIFYICONDATAW probe = tray.Record();
        probe.uFlags = 0;
        return ::Shell_NotifyIconW(NIM_MODIFY, &probe) != FALSE;
    }

    HWND main = nullptr;
    FakeHost host;
    Tray tray{host, kTmrKillTip};
    ScopedIcon icon{::CopyIcon(::LoadIconW(nullptr, IDI_APPLICATION))};
};

TEST_F(TrayTest, TextsAreCutToTheirFieldsInTheSystemCodePage) {
    ASSERT_EQ(::GetACP(), 936u) << "the tests run in the Chinese locale";
    const struct {
        std::wstring text;
        size_t kept;
    } cases[] = {{std::wstring(300, L'a'), 127},
                 {std::wstring(300, L'汉'), 63},
                 {std::wstring(126, L'a') + L"😀", 126}};
    for (const auto& c : cases) {
        EXPECT_TRUE(tray.SetTrayTip(c.text));
        EXPECT_EQ(std::wstring(tray.Record().szTip), c.text.substr(0, c.kept));
    }
    EXPECT_TRUE(tray.ShowTray(std::wstring(40, L'新'), std::wstring(300, L'x'), NIIF_INFO));
    EXPECT_EQ(std::wstring(tray.Record().szInfoTitle), std::wstring(31, L'新'));
    EXPECT_EQ(std::wstring(tray.Record().szInfo), std::wstring(255, L'x'));
}

TEST_F(TrayTest, OnlyAChangedTipOrIconIsSentToTheShell) {
    // Each step: what is set, and whether the shell hears of it.
    const int base = tray.ShellCalls();
    const struct {
        const wchar_t* tip;  // or null: the icon is set
        HICON icon;
        int calls;           // shell calls so far
    } steps[] = {{L"张三", nullptr, 1},        {L"张三", nullptr, 1},        {nullptr, icon.get(), 1},
                 {nullptr, nullptr, 2},       {nullptr, nullptr, 2},        {L"李四", nullptr, 3},
                 {nullptr, icon.get(), 4}};
    for (const auto& s : steps) {
        EXPECT_TRUE(s.tip ? tray.SetTrayTip(s.tip) : tray.SetTrayIcon(s.icon));
        EXPECT_EQ(tray.ShellCalls() - base, s.calls) << (s.tip ? s.tip : L"icon");
    }
    EXPECT_EQ(std::wstring(tray.Record().szTip), L"李四");
    EXPECT_TRUE(ShellKnowsIcon());
}

TEST_F(TrayTest, AChangeTheShellRefusedIsSentAgainEvenWhenItChangesNothing) {
    // The icon goes behind the tray's back: the next change is refused.
    NOTIFYICONDATAW probe = tray.Record();
    ASSERT_TRUE(tray.Flush());
    ASSERT_TRUE(::Shell_NotifyIconW(NIM_DELETE, &probe));
    tray.SetTrayTip(L"王五");
    EXPECT_FALSE(tray.Flush());
    // Back (as after "TaskbarCreated"); the same tip again is sent once, then no more.
    tray.KillTip();
    tray.Flush();  // its removal is refused: the shell had no icon
    const int base = tray.ShellCalls();
    tray.SetTrayTip(L"王五");
    EXPECT_EQ(tray.ShellCalls() - base, 1);
    EXPECT_TRUE(tray.Flush());
    tray.SetTrayTip(L"王五");
    EXPECT_EQ(tray.ShellCalls() - base, 1);
    EXPECT_TRUE(ShellKnowsIcon());
}

TEST_F(TrayTest, ShellAcceptsModifyAndDeleteAndADeletedIconStaysGone) {
    EXPECT_TRUE(tray.SetTrayTip(L"新消息"));
    EXPECT_TRUE(tray.SetTrayIcon(nullptr));
    EXPECT_TRUE(tray.ShowTray(L"张三的新消息:", L"你好", NIIF_INFO));
    EXPECT_TRUE(tray.DeleteTrayIcon());
    EXPECT_FALSE(ShellKnowsIcon());
    // Neither a notice nor "TaskbarCreated" after the exit brings it back.
    EXPECT_FALSE(tray.ShowTray(L"t", L"x", NIIF_INFO));
    EXPECT_FALSE(tray.KillTip());
    EXPECT_FALSE(ShellKnowsIcon());
}

TEST_F(TrayTest, ReAddAfterTaskbarRestartKeepsTipAndIconWithoutBalloon) {
    tray.SetTrayTip(L"李四的新消息");
    tray.SetTrayIcon(nullptr);
    tray.TrayAction(kNinBalloonShow);
    EXPECT_TRUE(tray.KillTip());
    EXPECT_EQ(tray.Record().uFlags, 7u);
    EXPECT_STREQ(tray.Record().szTip, L"李四的新消息");
    EXPECT_EQ(tray.Record().hIcon, nullptr);
    EXPECT_FALSE(tray.BalloonShowing());
    EXPECT_TRUE(ShellKnowsIcon());
}

TEST_F(TrayTest, KillTipTimerRemovesTheBalloonOnceAndNoticesRestartIt) {
    gKillTipTicks = 0;
    tray.SetTipTime(1);
    ASSERT_TRUE(WaitFor([] { return gKillTipTicks > 0; }));
    EXPECT_EQ(tray.Record().uFlags, 7u);
    EXPECT_FALSE(::KillTimer(main, kTmrKillTip)) << "tmrKillTip disables itself";
    tray.ShowTray(L"t", L"x", NIIF_INFO);
    EXPECT_TRUE(::KillTimer(main, kTmrKillTip)) << "a notice starts tmrKillTip";
}

TEST_F(TrayTest, CallbackMessagesMoveTheWindowBetweenTaskbarAndTray) {
    // The decision table is tested natively; these check what reaches the window, in order.
    const struct {
        LPARAM message;
        bool visibleAfter;
        Calls calls;
    } steps[] = {
        {WM_LBUTTONUP, false, {L"MainState 1", L"minimised in 1"}},
        {WM_RBUTTONUP, false, {L"ShowTrayMenu"}},
        {WM_LBUTTONUP, true, {L"MainState 0", L"FocusMain"}},
        {kNinBalloonShow, true, {}},
        {WM_LBUTTONUP, true, {}},
    };
    for (const auto& s : steps) {
        host.calls.clear();
        tray.TrayAction(s.message);
        EXPECT_EQ(host.calls, s.calls) << s.message;
        EXPECT_EQ(::IsWindowVisible(main) != FALSE, s.visibleAfter) << s.message;
        EXPECT_EQ((::GetWindowLongW(main, GWL_EXSTYLE) & WS_EX_APPWINDOW) != 0, s.visibleAfter) << s.message;
    }
}

TEST_F(TrayTest, AWindowMaximisedBeforeTheTrayComesBackMaximised) {
    ::ShowWindow(main, SW_SHOWMAXIMIZED);
    tray.ShowInTaskBar(false);
    EXPECT_TRUE(::IsIconic(main));
    tray.ShowInTaskBar(true);
    EXPECT_TRUE(::IsZoomed(main));
    EXPECT_EQ(host.state, MainWindowState::Maximized);
}

TEST(LoadResIcon, ProgramIconComesFromTheHookLibraryAtItsOwnSizeOnly) {
    HookLibrary hooks;
    ASSERT_TRUE(hooks.Load());
    const ScopedIcon programIcon = LoadResIcon(hooks.Module(), 3, 2, 16, 32);
    ICONINFO info{};
    ASSERT_TRUE(::GetIconInfo(programIcon.get(), &info));
    ScopedBitmap colour(info.hbmColor), mask(info.hbmMask);
    BITMAP bm{};
    ::GetObjectW(colour.get(), sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, 16);
    EXPECT_EQ(bm.bmHeight, 16);
    EXPECT_FALSE(LoadResIcon(hooks.Module(), 3, 2, 32, 32)) << "other size";
    EXPECT_FALSE(LoadResIcon(hooks.Module(), 3, 2, 16, 4)) << "other depth";
    EXPECT_FALSE(LoadResIcon(hooks.Module(), 3, 99, 16, 32)) << "missing";
}

}  // namespace
}  // namespace parlix::test
