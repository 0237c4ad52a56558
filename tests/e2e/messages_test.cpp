// Living with tabs: new messages mark their tab until it is read, closed chats lose their tab,
// the empty window shows its notice, the focus follows a switch, and the tab commands.
#include "hook/hook_protocol.h"
#include "tests/support/clean_state.h"
#include "tests/support/fakeim_client.h"
#include "tests/support/parlix_app.h"
#include "tests/support/windows.h"
#include "ui/menu_ids.h"

#include <gtest/gtest.h>

namespace parlix::test {
namespace {

class LivingTest : public testing::Test {
protected:
    void SetUp() override {
        ResetUserState();
        qq_ = FakeIm::Launch(dir_.Path(), L"QQ.exe", {L"main|1"});
        ASSERT_NE(qq_, nullptr);
        app_ = ParlixApp::Launch(dir_.Path());
        ASSERT_NE(app_, nullptr);
    }

    HWND Capture(const wchar_t* kind, const wchar_t* title) {
        const HWND w = qq_->Open(kind, title);
        EXPECT_TRUE(app_->WaitForTab(w).has_value());
        return w;
    }

    std::optional<TabFacts> TabOf(HWND w) const { return app_->WaitForTab(w); }

    TempDir dir_{L"parlix-living"};
    std::unique_ptr<FakeIm> qq_;
    std::unique_ptr<ParlixApp> app_;
};

TEST_F(LivingTest, NewMessageMarksABackgroundTabUntilItIsRead) {
    const HWND a = Capture(L"tm2007", L"与 张三 会话中");
    const HWND b = Capture(L"tm2007", L"与 李四 会话中");
    ASSERT_EQ(app_->SelectedTab(), 1);
    ASSERT_EQ(qq_->Command(L"append|" + HwndArg(a) + L"|晚上一起吃饭吗？"), 1);
    EXPECT_TRUE(WaitFor([&] { return TabOf(a) && TabOf(a)->caption == L"张三(1)"; }));
    EXPECT_TRUE(TabOf(a)->highlighted);
    ASSERT_EQ(qq_->Command(L"append|" + HwndArg(a) + L"|在吗"), 1);
    EXPECT_TRUE(WaitFor([&] { return TabOf(a) && TabOf(a)->caption == L"张三(2)"; }));
    EXPECT_EQ(TabOf(b)->caption, L"李四") << "the other tab is untouched";

    ::SetForegroundWindow(app_->MainWindow());
    ASSERT_TRUE(app_->ClickTab(0));
    EXPECT_TRUE(WaitFor([&] { return TabOf(a) && TabOf(a)->caption == L"张三" && !TabOf(a)->highlighted; }));
}

// The client's notice has a background tab read in the very next poll; a change no notice told
// of is found by the slower sweep. The history box's notice comes from the hook library as the
// box's text changes; the memory record's when the chat window next handles a message.
TEST_F(LivingTest, ClientNoticeMarksATabInTheNextPollAndTheSweepCatchesWhatNoNoticeTold) {
    constexpr int kByNotice = 1, kBySweep = 2;
    const HWND box = Capture(L"tm2007", L"与 张三 会话中");
    const HWND memory = Capture(L"qq2009", L"李四");
    Capture(L"tm2007", L"与 王五 会话中");
    ASSERT_EQ(app_->SelectedTab(), 2);

    ASSERT_EQ(qq_->Command(L"append|" + HwndArg(box) + L"|晚上一起吃饭吗？"), 1);
    EXPECT_TRUE(WaitFor([&] { return TabOf(box) && TabOf(box)->caption == L"张三(1)"; }));
    EXPECT_EQ(TabOf(box)->foundBy, kByNotice);

    ASSERT_EQ(qq_->Command(L"append|" + HwndArg(memory) + L"|\\r小红 10:01:00\\r好"), 1);
    EXPECT_TRUE(WaitFor([&] { return TabOf(memory) && TabOf(memory)->caption == L"李四(1)"; }));
    EXPECT_EQ(TabOf(memory)->foundBy, kByNotice);

    // Straight into the record: the chat window hears nothing of it.
    ASSERT_EQ(qq_->Command(L"record|" + HwndArg(memory) + L"|\\r小红 10:02:00\\r在吗"), 1);
    EXPECT_TRUE(WaitFor([&] { return TabOf(memory) && TabOf(memory)->caption == L"李四(2)"; }));
    EXPECT_EQ(TabOf(memory)->foundBy, kBySweep);
    EXPECT_EQ(TabOf(box)->caption, L"张三(1)") << "a tab without news is untouched by the sweep";
}

TEST_F(LivingTest, ChatClosedByItsClientLosesItsTabAndTheLastShowsTheNotice) {
    const HWND a = Capture(L"dialog", L"与 张三 交谈中");
    ASSERT_EQ(qq_->Command(L"close|" + HwndArg(a)), 1);
    ASSERT_TRUE(WaitFor([&] { return app_->TabCount() == 0; }));
    const HWND notice = ::FindWindowExW(app_->MainWindow(), nullptr, L"Button", L"  提示  ");
    ASSERT_NE(notice, nullptr);
    // Shown in the main window, which itself goes to the tray with no chat left.
    EXPECT_TRUE(WaitFor([&] { return (::GetWindowLongW(notice, GWL_STYLE) & WS_VISIBLE) != 0; }));
}

TEST_F(LivingTest, OnlyTheSelectedTabsChatIsShown) {
    const HWND a = Capture(L"dialog", L"与 张三 交谈中");
    const HWND b = Capture(L"dialog", L"与 李四 交谈中");
    const auto shown = [](HWND w) { return ::IsWindowVisible(w) != FALSE; };
    EXPECT_TRUE(WaitFor([&] { return shown(b) && !shown(a); })) << "the chat captured last";
    ASSERT_TRUE(app_->ClickTab(0));
    EXPECT_TRUE(WaitFor([&] { return shown(a) && !shown(b); })) << "after a switch";
}

TEST_F(LivingTest, FocusLandsInTheInputBoxAfterATabSwitch) {
    const HWND a = Capture(L"tm2007", L"与 张三 会话中");
    Capture(L"tm2007", L"与 李四 会话中");
    const HWND input = ::FindWindowExW(::FindWindowExW(a, nullptr, L"#32770", nullptr), nullptr, L"RICHEDIT", nullptr);
    ASSERT_NE(input, nullptr);
    ::SetForegroundWindow(app_->MainWindow());
    ASSERT_TRUE(app_->ClickTab(0));
    const DWORD thread = ::GetWindowThreadProcessId(a, nullptr);
    EXPECT_TRUE(WaitFor([&] { return FocusOfThread(thread) == input; }));
}

// The client's own thread moves the focus into a new chat, which brings Parlix forward; a focus
// notice that reaches the client late (it was busy) is ignored.
TEST_F(LivingTest, ANewChatGetsTheFocusFromItsClientAndALateNoticeIsIgnored) {
    const auto childOf = [](HWND chat, const wchar_t* cls) {
        return ::FindWindowExW(::FindWindowExW(chat, nullptr, L"#32770", nullptr), nullptr, cls, nullptr);
    };
    const auto inputOf = [&](HWND chat) { return childOf(chat, L"RICHEDIT"); };
    const HWND main = app_->MainWindow();
    const HWND a = Capture(L"tm2007", L"与 张三 会话中");
    const DWORD thread = ::GetWindowThreadProcessId(a, nullptr);
    EXPECT_TRUE(WaitFor([&] { return ::GetForegroundWindow() == main && FocusOfThread(thread) == inputOf(a); }));
    const HWND b = Capture(L"tm2007", L"与 李四 会话中");
    ASSERT_NE(inputOf(b), nullptr);
    EXPECT_TRUE(WaitFor([&] { return ::GetForegroundWindow() == main && FocusOfThread(thread) == inputOf(b); }));

    const HWND history = childOf(b, L"RichEdit20A");
    ASSERT_NE(history, nullptr);
    const auto notice = [&](DWORD askedAt) {
        ::SendNotifyMessageW(history, hook::kWmHookNotify, hook::kTakeFocus, static_cast<LPARAM>(askedAt));
        DWORD_PTR ignored = 0;  // sent messages are taken in order: this one is answered after the notice
        ::SendMessageTimeoutW(history, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
    };
    notice(::GetTickCount() - 5000);
    EXPECT_EQ(FocusOfThread(thread), inputOf(b)) << "a late notice moved the focus";
    notice(::GetTickCount());
    EXPECT_TRUE(WaitFor([&] { return FocusOfThread(thread) == history; }));
}

TEST_F(LivingTest, LockedTabsSurviveCloseCommands) {
    Capture(L"dialog", L"与 张三 交谈中");
    const HWND locked = Capture(L"dialog", L"与 李四 交谈中");
    Capture(L"dialog", L"与 王五 交谈中");
    ASSERT_TRUE(app_->ClickTab(1));
    ASSERT_TRUE(app_->Command(mnuLock));
    EXPECT_TRUE(TabOf(locked)->locked);
    ASSERT_TRUE(app_->Command(mnuClose));  // a locked tab does not close
    EXPECT_EQ(app_->TabCount(), 3);
    ASSERT_TRUE(app_->Command(mnuCloseAll));
    EXPECT_TRUE(WaitFor([&] { return app_->TabCount() == 1; }));
    const auto tabs = app_->Tabs();
    ASSERT_EQ(tabs.size(), 1u);
    EXPECT_EQ(tabs[0].window, locked);
}

TEST_F(LivingTest, DraggingATabReordersAndDraggingItOutDetaches) {
    const HWND a = Capture(L"dialog", L"与 张三 交谈中");
    const HWND b = Capture(L"dialog", L"与 李四 交谈中");
    const HWND c = Capture(L"dialog", L"与 王五 交谈中");
    // A user's press on a tab activates the window first; the posted presses here do not.
    ::SetForegroundWindow(app_->MainWindow());
    ASSERT_TRUE(WaitFor([&] { return ::GetForegroundWindow() == app_->MainWindow(); }));
    ASSERT_TRUE(app_->WaitIdle());
    // Tab 0 dragged onto tab 2: it ends behind it.
    RECT from = app_->ItemRect(0), to = app_->ItemRect(2);
    const int y = (from.top + from.bottom) / 2;
    app_->MouseOnStrip(WM_LBUTTONDOWN, MK_LBUTTON, from.left + 5, y);
    for (int x = from.left + 10; x < to.left + 10; x += 15) app_->MouseOnStrip(WM_MOUSEMOVE, MK_LBUTTON, x, y);
    app_->MouseOnStrip(WM_MOUSEMOVE, MK_LBUTTON, to.left + 10, y);
    app_->MouseOnStrip(WM_LBUTTONUP, 0, to.left + 10, y);
    auto tabs = app_->Tabs();
    ASSERT_EQ(tabs.size(), 3u);
    EXPECT_EQ(tabs[0].window, b);
    EXPECT_EQ(tabs[1].window, c);
    EXPECT_EQ(tabs[2].window, a);

    // Tab 0 (now b) dragged far outside the main window: popped out.
    from = app_->ItemRect(0);
    app_->MouseOnStrip(WM_LBUTTONDOWN, MK_LBUTTON, from.left + 5, y);
    app_->MouseOnStrip(WM_MOUSEMOVE, MK_LBUTTON, from.left + 25, y);
    RECT main;
    ::GetWindowRect(app_->MainWindow(), &main);
    POINT outside{main.right + 150, main.top + 100};
    ::ScreenToClient(app_->TabWindow(), &outside);
    app_->MouseOnStrip(WM_MOUSEMOVE, MK_LBUTTON, outside.x, outside.y);
    app_->MouseOnStrip(WM_LBUTTONUP, 0, outside.x, outside.y);
    POINT cursor{};
    ::GetCursorPos(&cursor);
    EXPECT_TRUE(WaitFor([&] { return app_->TabCount() == 2; }))
        << "main " << main.left << "," << main.top << "-" << main.right << "," << main.bottom << " cursor " << cursor.x
        << "," << cursor.y;
    // The tab goes first; the window follows once the tab strip has moved on.
    EXPECT_TRUE(WaitFor([&] { return ::GetAncestor(b, GA_ROOT) == b; }))
        << "the dragged-out window is not back on the desktop";
}

TEST_F(LivingTest, KeepOnTopFollowsTheSelectedTab) {
    Capture(L"dialog", L"与 张三 交谈中");
    Capture(L"dialog", L"与 李四 交谈中");
    ::SetForegroundWindow(app_->MainWindow());
    ASSERT_TRUE(app_->ClickTab(1));
    ASSERT_TRUE(app_->Command(mnuTopmost));
    const auto topmost = [&] { return (::GetWindowLongW(app_->MainWindow(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; };
    EXPECT_TRUE(WaitFor(topmost));
    ASSERT_TRUE(app_->ClickTab(0));
    EXPECT_TRUE(WaitFor([&] { return !topmost(); })) << "a tab without the mark keeps the window on top";
}

}  // namespace
}  // namespace parlix::test
