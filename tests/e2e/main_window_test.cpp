// The main window as the user meets it: the tray icon and its menu, the empty window's notice,
// the caption following the tab, upkeep after a pop-out, the end of a session, the notices of
// windows while no window is to be captured, and chats a client opened before it was found.
#include "tests/support/clean_state.h"
#include "tests/support/fakeim_client.h"
#include "tests/support/parlix_app.h"
#include "tests/support/windows.h"
#include "hook/hook_protocol.h"
#include "ui/menu_ids.h"

#include <gtest/gtest.h>

#include <shellapi.h>

#include <algorithm>
#include <map>

namespace parlix::test {
namespace {

constexpr UINT kTrayCallback = 0x7E9;
constexpr LPARAM kBalloonHide = 0x403;

// The text of a window of another process (GetWindowText gives only captions there).
std::wstring TitleOf(HWND w) {
    wchar_t text[512] = {};
    DWORD_PTR copied = 0;
    ::SendMessageTimeoutW(w, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000, &copied);
    return text;
}

bool Shown(HWND w) { return (::GetWindowLongW(w, GWL_STYLE) & WS_VISIBLE) != 0; }

// Whether the shell holds Parlix's icon: a modification of nothing succeeds only then.
bool TrayIconPresent(HWND main) {
    NOTIFYICONDATAW nid{};
    nid.cbSize = sizeof nid;
    nid.hWnd = main;
    nid.uID = 1;
    return ::Shell_NotifyIconW(NIM_MODIFY, &nid) != FALSE;
}

class MainWindowTest : public testing::Test {
protected:
    void SetUp() override { ResetUserState(); }

    FakeIm& Client(const wchar_t* exe, const wchar_t* main = L"main|1") {
        auto& slot = clients_[exe];
        if (!slot) slot = FakeIm::Launch(dir_.Path(), exe, {main});
        return Started(slot);
    }

    void Start(const ParlixApp::IniValues& settings = {}) {
        app_ = ParlixApp::Launch(dir_.Path(), kPatience, settings);
        ASSERT_NE(app_, nullptr);
    }

    HWND Captured(FakeIm& client, const wchar_t* kind, const wchar_t* title) {
        const HWND w = client.Open(kind, title);
        EXPECT_TRUE(app_->WaitForTab(w).has_value()) << "not captured";
        // The capture is over when Parlix is idle again and has come out of the tray.
        EXPECT_TRUE(app_->WaitIdle());
        EXPECT_TRUE(MainShown());
        return w;
    }

    void Tray(LPARAM message) const { ::PostMessageW(app_->MainWindow(), kTrayCallback, 0, message); }
    // The session ends (asked first, or not) while the exit question is configured.
    void EndSessionBy(UINT message) {
        FakeIm& qq = Client(L"QQ.exe");
        Start({{L"org_ExitMsg", L"1"}});
        const HWND w = Captured(qq, L"dialog", L"与 张三 交谈中");
        ::PostMessageW(app_->MainWindow(), message, TRUE, 0);
        EXPECT_TRUE(app_->Proc().Wait(kPatience)) << "Parlix still runs";
        EXPECT_TRUE(::IsWindow(w));
        EXPECT_EQ(::GetAncestor(w, GA_ROOT), w) << "the chat stayed inside Parlix";
        EXPECT_EQ(FindTopLevel({.className = L"#32770", .title = L"确认？"}).size(), 0u) << "asked";
    }

    bool MainShown() const { return ::IsWindowVisible(app_->MainWindow()) && !::IsIconic(app_->MainWindow()); }

    TempDir dir_{L"parlix-main"};
    std::map<std::wstring, std::unique_ptr<FakeIm>> clients_;
    std::unique_ptr<ParlixApp> app_;
};

TEST_F(MainWindowTest, TrayIconClickHidesAndShowsAndItsMenuOpens) {
    FakeIm& qq = Client(L"QQ.exe");
    Start();
    Captured(qq, L"dialog", L"与 张三 交谈中");
    ASSERT_TRUE(WaitFor([&] { return MainShown(); }));
    // The welcome balloon goes first: a click while it shows does nothing.
    Tray(kBalloonHide);
    Tray(WM_LBUTTONUP);
    EXPECT_TRUE(WaitFor([&] { return !::IsWindowVisible(app_->MainWindow()); })) << "not hidden to the tray";
    Tray(WM_LBUTTONUP);
    EXPECT_TRUE(WaitFor([&] { return MainShown(); })) << "not back from the tray";
    // The right button opens the tray menu with its items; Escape closes it again.
    Tray(WM_RBUTTONUP);
    const HWND menu =
        WaitForWindow({.className = L"#32768", .pid = app_->Proc().Id(), .visibleOnly = true});
    ASSERT_NE(menu, nullptr) << "no tray menu";
    ::PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(WaitFor([&] { return !::IsWindowVisible(menu); }));
}

TEST_F(MainWindowTest, IconComesBackWhenTheTaskbarIsCreatedAgain) {
    Start();
    ASSERT_TRUE(WaitFor([&] { return TrayIconPresent(app_->MainWindow()); }));
    // A restarted taskbar has lost every icon.
    NOTIFYICONDATAW nid{};
    nid.cbSize = sizeof nid;
    nid.hWnd = app_->MainWindow();
    nid.uID = 1;
    ASSERT_TRUE(::Shell_NotifyIconW(NIM_DELETE, &nid));
    ASSERT_FALSE(TrayIconPresent(app_->MainWindow()));
    ::PostMessageW(app_->MainWindow(), ::RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_TRUE(WaitFor([&] { return TrayIconPresent(app_->MainWindow()); }));
}

TEST_F(MainWindowTest, LastTabClosedShowsTheNoticeAndGoesToTheTray) {
    FakeIm& qq = Client(L"QQ.exe");
    Start({{L"tray_AutoMin", L"1"}});
    Captured(qq, L"dialog", L"与 张三 交谈中");
    ASSERT_TRUE(app_->Command(mnuClose));
    ASSERT_TRUE(WaitFor([&] { return app_->TabCount() == 0; }));
    EXPECT_TRUE(WaitFor([&] { return TitleOf(app_->MainWindow()) == L"Parlix Ver 1.0"; }))
        << TitleOf(app_->MainWindow()).size();
    EXPECT_FALSE(Shown(::GetParent(app_->TabWindow()))) << "the empty strip stays";

    EXPECT_TRUE(WaitFor([&] { return !::IsWindowVisible(app_->MainWindow()); }))
        << "not hidden to the tray";
    bool notice = false, links = false;
    for (HWND c : Children(app_->MainWindow(), L"Static")) {
        const std::wstring text = TitleOf(c);
        notice = notice || (text.starts_with(L"没有检测到任何聊天窗口") && Shown(c));
        links = links || (text.starts_with(L"网址 ") && text.find(L"\r\n论坛 ") != std::wstring::npos && Shown(c));
    }
    EXPECT_TRUE(notice);
    EXPECT_TRUE(links);
}

TEST_F(MainWindowTest, CaptionFollowsTheSelectedTab) {
    FakeIm& baidu = Client(L"BaiduHi.exe", L"main|17");
    Start();
    Captured(baidu, L"baidu", L"吴九");
    Captured(baidu, L"baidu", L"陈二");
    ASSERT_TRUE(app_->ClickTab(0));
    EXPECT_TRUE(WaitFor([&] { return TitleOf(app_->MainWindow()) == L"吴九 - Parlix"; }));
    ASSERT_TRUE(app_->ClickTab(1));
    EXPECT_TRUE(WaitFor([&] { return TitleOf(app_->MainWindow()) == L"陈二 - Parlix"; }));
}

TEST_F(MainWindowTest, AfterAPopOutAClosedChatStillLosesItsTab) {
    FakeIm& qq = Client(L"QQ.exe");
    Start();
    const HWND stays = Captured(qq, L"dialog", L"与 张三 交谈中");
    Captured(qq, L"dialog", L"与 王五 交谈中");
    ASSERT_TRUE(app_->Command(mnuPop));  // the selected, last tab
    ASSERT_EQ(app_->TabCount(), 1);
    ASSERT_EQ(qq.Command(L"close|" + HwndArg(stays)), 1);
    EXPECT_TRUE(WaitFor([&] { return app_->TabCount() == 0; }));
}

TEST_F(MainWindowTest, SessionEndGivesWindowsBackWithoutAsking) {
    EndSessionBy(WM_QUERYENDSESSION);
}

TEST_F(MainWindowTest, SessionEndedWithoutAQueryFirstGivesWindowsBack) {
    EndSessionBy(WM_ENDSESSION);
}

TEST_F(MainWindowTest, NoWindowIsTakenWhileTheExitQuestionIsOpen) {
    FakeIm& qq = Client(L"QQ.exe");
    Start({{L"org_ExitMsg", L"1"}});
    Captured(qq, L"dialog", L"与 张三 交谈中");
    ::PostMessageW(app_->MainWindow(), WM_CLOSE, 0, 0);
    const HWND question = WaitForWindow({.className = L"#32770", .title = L"确认？", .pid = app_->Proc().Id()});
    ASSERT_NE(question, nullptr);
    const HWND during = qq.Open(L"dialog", L"与 李四 交谈中");
    // The client's own messages are handled in order: once it answered a later command, the
    // notice of the window above has reached Parlix.
    ASSERT_EQ(qq.Command(L"title|" + HwndArg(during) + L"|与 李四 交谈中"), 1);
    ::PostMessageW(question, WM_COMMAND, IDNO, 0);
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(question); }));
    const HWND after = qq.Open(L"dialog", L"与 王五 交谈中");
    ASSERT_TRUE(app_->WaitForTab(after).has_value());
    EXPECT_EQ(::GetAncestor(during, GA_ROOT), during) << "taken while the question was open";
    EXPECT_EQ(app_->TabCount(), 2);
}

// The hook library reports a right-button drag in a chat as gesture notices: begin, points, end.
LRESULT Gesture(const ParlixApp& app, LPARAM step, POINT at) {
    // The new position reaches the other programs once the display has moved the pointer; a
    // pointer event of an earlier move that a busy program handles late puts the cursor back
    // there, so the position counts once it still holds after Parlix has caught up.
    WaitFor([&] {
        ::SetCursorPos(at.x, at.y);
        const auto there = [&] {
            POINT now{};
            return ::GetCursorPos(&now) && now.x == at.x && now.y == at.y;
        };
        return WaitFor(there, 2s) && app.WaitIdle(5s) && there();
    }, 10s);
    DWORD_PTR answer = 0;
    ::SendMessageTimeoutW(app.MainWindow(), 0x85C, 12, step, SMTO_ABORTIFHUNG, 5000, &answer);
    return static_cast<LRESULT>(answer);
}

TEST_F(MainWindowTest, GesturesSwitchPopOutAndCloseTabs) {
    FakeIm& qq = Client(L"QQ.exe");
    Start();
    const HWND a = Captured(qq, L"dialog", L"与 张三 交谈中");
    const HWND b = Captured(qq, L"dialog", L"与 李四 交谈中");
    Captured(qq, L"dialog", L"与 王五 交谈中");
    const auto drag = [&](POINT from, POINT to) {
        Gesture(*app_, 1, from);
        Gesture(*app_, 0, {(from.x + to.x) / 2, (from.y + to.y) / 2});
        return Gesture(*app_, 2, to);
    };
    ASSERT_EQ(app_->SelectedTab(), 2);
    EXPECT_EQ(drag({400, 300}, {520, 305}), 1) << "right: next tab, wrapping";
    EXPECT_TRUE(WaitFor([&] { return app_->SelectedTab() == 0; }, 10s));
    EXPECT_EQ(drag({400, 300}, {280, 300}), 1) << "left: previous tab, wrapping";
    EXPECT_TRUE(WaitFor([&] { return app_->SelectedTab() == 2; }, 10s));
    EXPECT_EQ(drag({400, 300}, {404, 305}), 0) << "too short: the click goes on";
    ASSERT_TRUE(app_->ClickTab(0));
    EXPECT_EQ(drag({400, 300}, {400, 180}), 1) << "up: pop out";
    EXPECT_TRUE(WaitFor([&] { return ::GetAncestor(a, GA_ROOT) == a; }, 10s));
    ASSERT_TRUE(app_->ClickTab(0));
    ASSERT_TRUE(app_->WaitIdle());
    EXPECT_EQ(drag({400, 180}, {400, 300}), 1) << "down: close";
    EXPECT_TRUE(WaitFor([&] { return !::IsWindow(b); }, 10s));
    EXPECT_EQ(app_->TabCount(), 1);
}

// The left edges of the number badges shown in the main window, in screen coordinates.
std::vector<LONG> ShownBadges(HWND main) {
    std::vector<LONG> lefts;
    for (HWND b : Children(main, L"Parlix.picNum")) {
        RECT r{};
        if (::IsWindowVisible(b) && ::GetWindowRect(b, &r)) lefts.push_back(r.left);
    }
    std::sort(lefts.begin(), lefts.end());
    return lefts;
}

// Ctrl with Tab or a number key in a chat, and the wheel turned with the right button held.
// The hook library turns those keys into WM_HOTKEY and Ctrl's going down and up into its
// key-state notice; under Wine a key posted from outside carries no key state the hook could
// read, so the test posts what the library posts for them (hook/hook_protocol.h).
TEST_F(MainWindowTest, CtrlKeysAndTheWheelSwitchTabsAndCtrlShowsTheTabNumbers) {
    FakeIm& qq = Client(L"QQ.exe");
    Start();
    Captured(qq, L"dialog", L"与 张三 交谈中");
    Captured(qq, L"dialog", L"与 李四 交谈中");
    Captured(qq, L"dialog", L"与 王五 交谈中");
    const HWND main = app_->MainWindow();
    ::SetForegroundWindow(main);
    ASSERT_TRUE(WaitFor([&] { return ::GetForegroundWindow() == main; }));
    ASSERT_TRUE(app_->WaitIdle());
    ASSERT_EQ(app_->SelectedTab(), 2);
    const auto ctrl = [&](unsigned vk, bool shift, int expected) {
        ::PostMessageW(main, WM_HOTKEY, static_cast<WPARAM>(hook::HotkeyFor(vk, true, shift, false)), 0);
        return WaitFor([&] { return app_->SelectedTab() == expected; });
    };
    EXPECT_TRUE(ctrl(VK_TAB, false, 0)) << "Ctrl+Tab on the last tab goes round to the first";
    EXPECT_TRUE(ctrl(VK_TAB, false, 1));
    EXPECT_TRUE(ctrl(VK_TAB, true, 0)) << "Ctrl+Shift+Tab";
    EXPECT_TRUE(ctrl('3', false, 2)) << "Ctrl+3";
    EXPECT_TRUE(ctrl('1', false, 0)) << "Ctrl+1";
    // Ctrl+9 names no tab here: the next key finds the selection where Ctrl+1 left it.
    ::PostMessageW(main, WM_HOTKEY, static_cast<WPARAM>(hook::HotkeyFor('9', true, false, false)), 0);
    EXPECT_TRUE(ctrl(VK_TAB, false, 1));
    EXPECT_TRUE(ctrl('0', false, 2)) << "Ctrl+0: the last tab";

    // Every second wheel notch switches: down to the next tab, up to the previous one.
    const auto wheel = [&](short delta, int expected) {
        POINT at{400, 300};
        for (int i = 0; i < 2; ++i)
            ::PostMessageW(main, WM_MOUSEWHEEL, MAKEWPARAM(MK_RBUTTON, static_cast<WORD>(delta)), MAKELPARAM(at.x, at.y));
        return WaitFor([&] { return app_->SelectedTab() == expected; });
    };
    EXPECT_TRUE(wheel(-WHEEL_DELTA, 0)) << "wheel down on the last tab goes round";
    EXPECT_TRUE(wheel(WHEEL_DELTA, 2));

    // Ctrl held: a badge in the middle of each tab; Ctrl released: none.
    std::vector<LONG> middles;
    for (int i = 0; i < 3; ++i) {
        const RECT r = app_->ItemRect(i);
        POINT mid{r.left + (r.right - r.left) / 2, r.top};
        ::ClientToScreen(app_->TabWindow(), &mid);
        middles.push_back(mid.x);
    }
    ::PostMessageW(main, hook::kWmHookNotify, hook::kKeyState, hook::kKeyDown);
    EXPECT_TRUE(WaitFor([&] { return ShownBadges(main) == middles; })) << ShownBadges(main).size() << " badges";
    // A switch while Ctrl is held keeps them in place.
    EXPECT_TRUE(ctrl('2', false, 1));
    ASSERT_TRUE(app_->WaitIdle());
    EXPECT_EQ(ShownBadges(main), middles);
    ::PostMessageW(main, hook::kWmHookNotify, hook::kKeyState, hook::kKeyUp);
    EXPECT_TRUE(WaitFor([&] { return ShownBadges(main).empty(); })) << "badges stayed after Ctrl went up";
}

TEST_F(MainWindowTest, ChatsOpenedBeforeTheClientWasFoundAreTakenWhenItIs) {
    Start();
    // The client and its chat appear between two periodic searches.
    FakeIm& qq = Client(L"QQ.exe");
    const HWND early = qq.Open(L"dialog", L"与 张三 交谈中");
    const auto tab = app_->WaitForTab(early);
    ASSERT_TRUE(tab.has_value());
    EXPECT_EQ(tab->caption, L"张三");
}

}  // namespace
}  // namespace parlix::test
