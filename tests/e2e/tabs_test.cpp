// A chat window embedded as a tab and given back intact: pop-out and merge, close (with and
// without the client's own question), exit, session end, and windows the client destroys.
#include "tests/support/clean_state.h"
#include "tests/support/fakeim_client.h"
#include "tests/support/parlix_app.h"
#include "tests/support/windows.h"
#include "ui/menu_ids.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cwchar>
#include <map>

namespace parlix::test {
namespace {

struct Kind {
    const wchar_t* exe;
    const wchar_t* main;
    const wchar_t* kind;
    const wchar_t* title;
    const wchar_t* options;
};

// A window of every family, one minimised and one translucent when captured.
const Kind kKinds[] = {
    {L"QQ.exe", L"main|1", L"qq2008beta1", L"与 张三 交谈中", L"at=300,200,480,400"},
    {L"QQ.exe", L"main|1", L"qq2008", L"与来自同学群的 李四 交谈中", L"at=320,180,500,420"},
    {L"TM.exe", L"main|12", L"tm2007", L"与 王五 会话中", L"at=340,160,460,380"},
    {L"QQ.exe", L"main|1", L"qq2009", L"赵六", L"at=360,140,470,390"},
    {L"FetionFx.exe", L"main|10", L"fetion", L"钱七 - 飞信", L"at=380,120,490,410"},
    {L"BaiduHi.exe", L"main|17", L"baidu", L"吴九", L"at=400,100,450,370"},
    {L"QQ.exe", L"main|1", L"dialog", L"与 孙八 交谈中", L"at=260,220,480,400|min"},
    {L"QQ.exe", L"main|1", L"dialog", L"与 周一 交谈中", L"at=280,240,480,400|layered=160"},
};

std::string Name(const Kind& k) {
    const std::wstring kind = k.kind, options = k.options;
    return std::string(kind.begin(), kind.end()) + " " + std::string(options.begin(), options.end());
}

struct Before {
    RECT rect{};
    LONG style = 0;
    LONG exStyle = 0;
    BYTE alpha = 255;
};

// What the window must look like when given back: the rectangle it was opened with (a minimised
// window restored to it) and its styles.
Before Record(HWND w, const Kind& k) {
    Before b;
    int x = 0, y = 0, cx = 0, cy = 0;
    swscanf(k.options, L"at=%d,%d,%d,%d", &x, &y, &cx, &cy);
    b.rect = RECT{x, y, x + cx, y + cy};
    b.style = ::GetWindowLongW(w, GWL_STYLE) & ~WS_MINIMIZE;
    b.exStyle = ::GetWindowLongW(w, GWL_EXSTYLE);
    DWORD flags = 0;
    if (b.exStyle & WS_EX_LAYERED) ::GetLayeredWindowAttributes(w, nullptr, &b.alpha, &flags);
    return b;
}

class TabsTest : public testing::Test {
protected:
    void SetUp() override { ResetUserState(); }

    FakeIm& Client(const wchar_t* exe, const wchar_t* main) {
        auto& slot = clients_[exe];
        if (!slot) slot = FakeIm::Launch(dir_.Path(), exe, {main});
        return Started(slot);
    }

    void Start(const ParlixApp::IniValues& settings = {}) {
        app_ = ParlixApp::Launch(dir_.Path(), kPatience, settings);
        ASSERT_NE(app_, nullptr);
    }

    // Opens every kind and waits until each is a tab; returns the windows and their records.
    std::vector<std::pair<HWND, Before>> CaptureEveryKind() {
        for (const auto& k : kKinds) Client(k.exe, k.main);
        Start();
        std::vector<std::pair<HWND, Before>> windows;
        for (const auto& k : kKinds) {
            // Made hidden and read before it shows: once shown, Parlix may take it before the
            // test could read its own styles.
            const std::wstring options = k.options;
            const bool min = options.ends_with(L"|min");
            FakeIm& client = Client(k.exe, k.main);
            const HWND w = client.Open(k.kind, k.title, (min ? options.substr(0, options.size() - 4) : options) + L"|hidden");
            EXPECT_NE(w, nullptr) << Name(k);
            windows.emplace_back(w, Record(w, k));
            EXPECT_EQ(client.Command(L"show|" + HwndArg(w) + (min ? L"|min" : L"|show")), 1) << Name(k);
            EXPECT_TRUE(app_->WaitForTab(w).has_value()) << Name(k);
            EXPECT_EQ(::GetParent(w), app_->PicWin()) << Name(k);
        }
        return windows;
    }

    static void ExpectGivenBack(HWND w, const Before& b) {
        ASSERT_TRUE(::IsWindow(w));
        EXPECT_EQ(::GetAncestor(w, GA_ROOT), w) << "still inside Parlix";
        RECT r;
        ::GetWindowRect(w, &r);
        EXPECT_TRUE(::EqualRect(&r, &b.rect)) << r.left << "," << r.top << " " << r.right - r.left << "x"
                                                << r.bottom - r.top << " instead of " << b.rect.left << ","
                                                << b.rect.top;
        EXPECT_EQ(::GetWindowLongW(w, GWL_STYLE) & ~WS_VISIBLE, b.style & ~WS_VISIBLE) << std::hex;
        EXPECT_EQ(::GetWindowLongW(w, GWL_EXSTYLE), b.exStyle) << std::hex;
        BYTE alpha = 0;
        DWORD flags = 0;
        if (b.exStyle & WS_EX_LAYERED) {
            ASSERT_TRUE(::GetLayeredWindowAttributes(w, nullptr, &alpha, &flags));
            EXPECT_EQ(alpha, b.alpha) << "translucency lost";
        }
    }

    TempDir dir_{L"parlix-tabs"};
    std::map<std::wstring, std::unique_ptr<FakeIm>> clients_;
    std::unique_ptr<ParlixApp> app_;
};

TEST_F(TabsTest, EveryWindowPoppedOutComesBackWithItsPlaceAndStyles) {
    const auto windows = CaptureEveryKind();
    for (size_t i = 0; i < windows.size(); ++i) {
        ASSERT_TRUE(app_->ClickTab(0));
        ASSERT_TRUE(app_->Command(mnuPop));
        SCOPED_TRACE(Name(kKinds[i]));
        ExpectGivenBack(windows[i].first, windows[i].second);
        EXPECT_EQ(app_->TabCount(), static_cast<int>(windows.size() - i - 1));
    }
}

TEST_F(TabsTest, NormalExitGivesEveryWindowBackAndStoresThePlacement) {
    const auto windows = CaptureEveryKind();
    ASSERT_TRUE(app_->Close());
    for (size_t i = 0; i < windows.size(); ++i) {
        SCOPED_TRACE(Name(kKinds[i]));
        ExpectGivenBack(windows[i].first, windows[i].second);
    }
    wchar_t value[64] = {};
    ::GetPrivateProfileStringW(L"Settings", L"win_CX", L"", value, 64, (dir_.Path() / L"set.ini").c_str());
    EXPECT_GT(_wtoi(value), 0) << "window placement not stored";
}

TEST_F(TabsTest, SessionEndGivesEveryWindowBack) {
    const auto windows = CaptureEveryKind();
    DWORD_PTR r = 0;
    ::SendMessageTimeoutW(app_->MainWindow(), WM_QUERYENDSESSION, 0, 0, SMTO_ABORTIFHUNG, 10000, &r);
    EXPECT_TRUE(app_->Proc().Wait(kPatience));
    for (size_t i = 0; i < windows.size(); ++i) {
        SCOPED_TRACE(Name(kKinds[i]));
        ExpectGivenBack(windows[i].first, windows[i].second);
    }
}

TEST_F(TabsTest, WindowCapturedNearTheEdgeIsCentredWhenPoppedOut) {
    FakeIm& qq = Client(L"QQ.exe", L"main|1");
    Start();
    const HWND w = qq.Open(L"dialog", L"与 张三 交谈中", L"at=10,300,480,400");
    ASSERT_TRUE(app_->WaitForTab(w).has_value());
    ASSERT_TRUE(app_->Command(mnuPop));
    RECT r;
    ::GetWindowRect(w, &r);
    EXPECT_EQ(r.left, ::GetSystemMetrics(SM_CXSCREEN) / 2 - 240);
    EXPECT_EQ(r.top, 300);
}

// Under Wine an embedded window paints nowhere: unless it paints itself again once given back,
// the user finds a black window. The pixel is read from the screen, where the user sees it.
TEST_F(TabsTest, APoppedOutChatIsDrawnAgainOnTheScreen) {
    FakeIm& baidu = Client(L"BaiduHi.exe", L"main|17");
    Start();
    const HWND w = baidu.Open(L"baidu", L"吴九", L"at=780,200,400,300");
    ASSERT_TRUE(app_->WaitForTab(w).has_value());
    ASSERT_TRUE(app_->Command(mnuPop));
    RECT r;
    ASSERT_TRUE(::GetClientRect(w, &r));
    POINT centre{r.right / 2, r.bottom / 2};
    ::ClientToScreen(w, &centre);
    const auto pixel = [&] {
        const HDC screen = ::GetDC(nullptr);
        const COLORREF c = ::GetPixel(screen, centre.x, centre.y);
        ::ReleaseDC(nullptr, screen);
        return c;
    };
    EXPECT_TRUE(WaitFor([&] { return pixel() != RGB(0, 0, 0) && pixel() != CLR_INVALID; }, kPatience))
        << "the chat stays black";
}

TEST_F(TabsTest, MergeButtonInAPoppedOutWindowCapturesItAgain) {
    FakeIm& qq = Client(L"QQ.exe", L"main|1");
    Start();
    const HWND first = qq.Open(L"dialog", L"与 张三 交谈中");
    const HWND second = qq.Open(L"tm2007", L"与 王五 会话中");
    ASSERT_TRUE(app_->WaitForTab(first) && app_->WaitForTab(second));
    ASSERT_TRUE(app_->Command(mnuPop));  // the selected (last) tab
    ASSERT_TRUE(app_->ClickTab(0));
    ASSERT_TRUE(app_->Command(mnuPop));
    const HWND merge1 = ::FindWindowExW(second, nullptr, L"Button", L"合并");
    const HWND merge2 = ::FindWindowExW(first, nullptr, L"Button", L"合并");
    ASSERT_NE(merge1, nullptr);
    ASSERT_NE(merge2, nullptr);
    EXPECT_NE(::GetDlgCtrlID(merge1), -1);
    RECT r;
    ::GetWindowRect(merge2, &r);
    POINT at{r.left, r.top};
    ::ScreenToClient(first, &at);
    EXPECT_EQ(at.x, 5);
    EXPECT_EQ(at.y, 5);

    ::SendMessageTimeoutW(merge2, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3), SMTO_ABORTIFHUNG, static_cast<UINT>(kPatience.count()), nullptr);
    ::SendMessageTimeoutW(merge2, WM_LBUTTONUP, 0, MAKELPARAM(3, 3), SMTO_ABORTIFHUNG, static_cast<UINT>(kPatience.count()), nullptr);
    const auto tab = app_->WaitForTab(first);
    ASSERT_TRUE(tab.has_value());
    EXPECT_EQ(tab->caption, L"张三");
    EXPECT_FALSE(::IsWindow(merge2)) << "the merge button stays after merging";
    EXPECT_TRUE(::IsWindow(merge1));
}

TEST_F(TabsTest, AChatPoppedOutAndMergedAsSoonAsItsTabAppearsComesBack) {
    // Parlix starts in the tray (no chat yet): the first capture brings it back, and the
    // pop-out and the merge click arrive while it does.
    FakeIm& qq = Client(L"QQ.exe", L"main|1");
    Start();
    const HWND chat = qq.Open(L"dialog", L"与 赵六 交谈中");
    ASSERT_TRUE(app_->WaitForTab(chat).has_value());
    ASSERT_TRUE(app_->Command(mnuPop));
    const HWND merge = WaitFor([&] { return ::FindWindowExW(chat, nullptr, L"Button", L"合并"); });
    ASSERT_NE(merge, nullptr);
    ::SendMessageTimeoutW(merge, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3), SMTO_ABORTIFHUNG, static_cast<UINT>(kPatience.count()), nullptr);
    ::SendMessageTimeoutW(merge, WM_LBUTTONUP, 0, MAKELPARAM(3, 3), SMTO_ABORTIFHUNG, static_cast<UINT>(kPatience.count()), nullptr);
    EXPECT_TRUE(app_->WaitForTab(chat).has_value());
}

TEST_F(TabsTest, CloseAsksTheClientAndRespectsItsQuestion) {
    FakeIm& qq = Client(L"QQ.exe", L"main|1");
    Start();
    const HWND w = qq.Open(L"dialog", L"与 张三 交谈中");
    ASSERT_TRUE(app_->WaitForTab(w).has_value());
    const struct {
        const wchar_t* question;
        const wchar_t* busyMs;  // the client works that long before it asks
    } cases[] = {{L"文件正在传送中...", L"0"}, {L"有消息正在发送...", L"0"}, {L"请确认", L"0"}, {L"请确认", L"1500"}};
    for (const auto& [question, busyMs] : cases) {
        SCOPED_TRACE(busyMs);
        ASSERT_EQ(qq.Command(L"block|" + HwndArg(w) + L"|" + question + L"|" + busyMs), 1);
        ASSERT_TRUE(app_->Command(mnuClose));
        EXPECT_NE(::FindWindowW(L"#32770", question), nullptr);
        EXPECT_EQ(::GetParent(w), app_->PicWin()) << "the window left its tab while the client asks";
        EXPECT_EQ(app_->TabCount(), 1);
        ASSERT_EQ(qq.Command(L"unblock|" + HwndArg(w)), 1);
    }
    ASSERT_TRUE(app_->Command(mnuClose));
    EXPECT_TRUE(WaitFor([&] { return !::IsWindow(w); }));
    EXPECT_EQ(app_->TabCount(), 0);
}

TEST_F(TabsTest, WindowDestroyedByItsClientLosesItsTab) {
    FakeIm& qq = Client(L"QQ.exe", L"main|1");
    Start();
    const HWND a = qq.Open(L"dialog", L"与 张三 交谈中");
    const HWND b = qq.Open(L"qq2009", L"李四");
    ASSERT_TRUE(app_->WaitForTab(a) && app_->WaitForTab(b));
    ASSERT_EQ(qq.Command(L"close|" + HwndArg(b)), 1);
    EXPECT_TRUE(WaitFor([&] { return app_->TabCount() == 1; }));
    const auto tabs = app_->Tabs();
    ASSERT_EQ(tabs.size(), 1u);
    EXPECT_EQ(tabs[0].window, a);
    // A crashed client takes its windows along; the tabs go too.
    qq.Command(L"crash");
    ASSERT_TRUE(qq.Proc().Wait(kPatience));
    EXPECT_TRUE(WaitFor([&] { return app_->TabCount() == 0; }));
}

TEST_F(TabsTest, ExitQuestionAnsweredNoKeepsEverything) {
    FakeIm& qq = Client(L"QQ.exe", L"main|1");
    Start({{L"org_ExitMsg", L"1"}});
    const HWND w = qq.Open(L"dialog", L"与 张三 交谈中");
    ASSERT_TRUE(app_->WaitForTab(w).has_value());
    ::PostMessageW(app_->MainWindow(), WM_CLOSE, 0, 0);
    const HWND question = WaitForWindow({.className = L"#32770", .title = L"确认？", .pid = app_->Proc().Id()});
    ASSERT_NE(question, nullptr);
    ::PostMessageW(question, WM_COMMAND, IDNO, 0);
    EXPECT_TRUE(WaitFor([&] { return !::IsWindow(question); }));
    EXPECT_FALSE(app_->Proc().Wait(500ms)) << "Parlix ended although the answer was No";
    EXPECT_EQ(::GetParent(w), app_->PicWin());
    EXPECT_EQ(app_->TabCount(), 1);
    // Still capturing: a new chat becomes a tab.
    const HWND later = qq.Open(L"dialog", L"与 王五 交谈中");
    EXPECT_TRUE(app_->WaitForTab(later).has_value());
}

TEST_F(TabsTest, SecondInstanceEndsSilently) {
    Start();
    auto second = Process::Start(dir_.Path() / L"Parlix.exe", {});
    EXPECT_TRUE(second.Wait(kPatience));
    EXPECT_EQ(second.ExitCode(), 0u);
    EXPECT_EQ(FindTopLevel({.className = L"Parlix.frmMain"}).size(), 1u);
}

}  // namespace
}  // namespace parlix::test
