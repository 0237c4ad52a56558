// Windows go back whatever way Parlix ends: a hung client holds up nobody (its window comes back
// once it answers again), every fault the program can intercept gives the windows back first,
// and a window an earlier run left changed is given back at the next start.
#include "capture/give_back_record.h"
#include "tests/support/clean_state.h"
#include "tests/support/fakeim_client.h"
#include "tests/support/parlix_app.h"
#include "tests/support/windows.h"
#include "ui/menu_ids.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <stdexcept>
#include <string>

namespace parlix::test {
namespace {

struct Chat {
    const wchar_t* exe;
    const wchar_t* main;
    const wchar_t* kind;
    const wchar_t* title;
    RECT at;
    int alpha;  // -1: opaque
};

// Three clients; the last one is captured last, so it is the selected tab holding the focus.
const Chat kChats[] = {
    {L"QQ.exe", L"main|1", L"dialog", L"与 张三 交谈中", {300, 200, 780, 600}, 160},
    {L"BaiduHi.exe", L"main|17", L"baidu", L"吴九", {340, 160, 790, 530}, -1},
    {L"TM.exe", L"main|12", L"tm2007", L"与 王五 会话中", {380, 120, 840, 500}, -1},
};

struct Before {
    HWND window = nullptr;
    RECT rect{};
    LONG style = 0;
    LONG exStyle = 0;
    BYTE alpha = 255;
};

class GiveBackTest : public testing::Test {
protected:
    void SetUp() override { ResetUserState(); }
    void TearDown() override { ::SetEnvironmentVariableW(L"PARLIX_TEST_FAULT", nullptr); }

    FakeIm& Client(const Chat& c) {
        auto& slot = clients_[c.exe];
        if (!slot) slot = FakeIm::Launch(dir_.Path(), c.exe, {c.main});
        return Started(slot);
    }

    // Starts Parlix and has it capture the three chats; returns what each must get back.
    std::vector<Before> CaptureThree() {
        for (const Chat& c : kChats) Client(c);
        app_ = ParlixApp::Launch(dir_.Path());
        if (!app_) throw std::runtime_error("Parlix did not start");
        std::vector<Before> windows;
        for (const Chat& c : kChats) {
            std::wstring options = L"at=" + std::to_wstring(c.at.left) + L"," + std::to_wstring(c.at.top) + L"," +
                                   std::to_wstring(c.at.right - c.at.left) + L"," +
                                   std::to_wstring(c.at.bottom - c.at.top);
            if (c.alpha >= 0) options += L"|layered=" + std::to_wstring(c.alpha);
            Before b;
            b.window = Client(c).Open(c.kind, c.title, options);
            EXPECT_NE(b.window, nullptr);
            b.rect = c.at;
            b.style = ::GetWindowLongW(b.window, GWL_STYLE);
            b.exStyle = ::GetWindowLongW(b.window, GWL_EXSTYLE);
            b.alpha = c.alpha >= 0 ? static_cast<BYTE>(c.alpha) : BYTE{255};
            EXPECT_TRUE(app_->WaitForTab(b.window).has_value());
            windows.push_back(b);
        }
        return windows;
    }

    static bool IsBack(HWND w) { return ::IsWindow(w) && ::GetAncestor(w, GA_ROOT) == w && ::IsWindowVisible(w); }
    // The mark goes last, once everything of the window is restored.
    static bool IsMarked(HWND w) { return ::GetPropW(w, kMarkProps[0]) != nullptr; }

    static void ExpectGivenBack(const Before& b) {
        ASSERT_TRUE(::IsWindow(b.window));
        EXPECT_EQ(::GetAncestor(b.window, GA_ROOT), b.window) << "still inside Parlix";
        EXPECT_TRUE(::IsWindowVisible(b.window));
        RECT r;
        ::GetWindowRect(b.window, &r);
        EXPECT_TRUE(::EqualRect(&r, &b.rect)) << r.left << "," << r.top << " " << r.right - r.left << "x"
                                                << r.bottom - r.top;
        EXPECT_EQ(::GetWindowLongW(b.window, GWL_STYLE), b.style) << std::hex;
        EXPECT_EQ(::GetWindowLongW(b.window, GWL_EXSTYLE), b.exStyle) << std::hex;
        if (b.exStyle & WS_EX_LAYERED) {
            BYTE alpha = 0;
            DWORD flags = 0;
            ASSERT_TRUE(::GetLayeredWindowAttributes(b.window, nullptr, &alpha, &flags));
            EXPECT_EQ(alpha, b.alpha) << "translucency lost";
        }
        EXPECT_EQ(::GetPropW(b.window, kMarkProps[0]), nullptr) << "still marked as captured";
    }

    // Hangs the last client, ends Parlix by end, and checks the order the windows come back in.
    void HungClientWaitsAlone(const std::function<void()>& end) {
        const auto windows = CaptureThree();
        FakeIm& hungClient = Client(kChats[2]);
        // Long enough that the healthy windows are surely back before it ends, however slow
        // the machine: what is checked is that they did not wait for it.
        ASSERT_EQ(hungClient.Command(L"hang|15000"), 1);
        end();
        ASSERT_TRUE(WaitFor([&] { return IsBack(windows[0].window) && IsBack(windows[1].window); }));
        EXPECT_FALSE(IsBack(windows[2].window)) << "given back before its client answered again";
        EXPECT_TRUE(app_->Proc().Running()) << "Parlix ended with a window of a hung client inside";
        ASSERT_TRUE(WaitFor([&] { return IsBack(windows[2].window); })) << "the hung client's window never came back";
        EXPECT_TRUE(app_->Proc().Wait(kPatience));
        for (const Before& b : windows) ExpectGivenBack(b);
    }

    TempDir dir_{L"parlix-giveback"};
    std::map<std::wstring, std::unique_ptr<FakeIm>> clients_;
    std::unique_ptr<ParlixApp> app_;
};

TEST_F(GiveBackTest, HungClientHoldsUpNoOtherWindowAtExit) {
    HungClientWaitsAlone([&] { ::PostMessageW(app_->MainWindow(), WM_CLOSE, 0, 0); });
}

TEST_F(GiveBackTest, HungClientHoldsUpNoOtherWindowAtSessionEnd) {
    HungClientWaitsAlone([&] { ::PostMessageW(app_->MainWindow(), WM_QUERYENDSESSION, 0, 0); });
}

TEST_F(GiveBackTest, HungClientsTabIsPoppedOutAndClosedWithoutWaitingForIt) {
    const auto windows = CaptureThree();
    FakeIm& hungClient = Client(kChats[2]);
    ASSERT_EQ(hungClient.Command(L"hang|15000"), 1);
    // The selected tab is the hung client's: popped out, the tab goes at once.
    ASSERT_TRUE(app_->Command(mnuPop));
    EXPECT_EQ(app_->TabCount(), 2);
    EXPECT_FALSE(IsBack(windows[2].window)) << "given back before its client answered again";
    // Parlix still serves the other tabs meanwhile.
    ASSERT_TRUE(app_->ClickTab(0));
    ASSERT_TRUE(app_->Command(mnuPop));
    EXPECT_TRUE(IsBack(windows[0].window));
    // Given back from a thread of its own: top-level first, the rest of it a moment later.
    ASSERT_TRUE(WaitFor([&] { return IsBack(windows[2].window) && !IsMarked(windows[2].window); }));
    ExpectGivenBack(windows[2]);

    // Closing a hung client's tab (the tab menu acts on tab 0, the only one left): the window
    // goes back, and the client closes it once it answers again.
    ASSERT_TRUE(app_->Command(mnuPop));
    ASSERT_TRUE(IsBack(windows[1].window));
    const HWND later = hungClient.Open(kChats[2].kind, L"与 赵六 会话中");
    ASSERT_TRUE(app_->WaitForTab(later).has_value());
    ASSERT_TRUE(app_->WaitIdle());
    ASSERT_EQ(hungClient.Command(L"hang|8000"), 1);
    ASSERT_TRUE(app_->Command(mnuClose));
    EXPECT_EQ(app_->TabCount(), 0);
    EXPECT_TRUE(::IsWindow(later)) << "closed before its client answered again";
    EXPECT_TRUE(WaitFor([&] { return !::IsWindow(later); })) << "the client was never asked to close it";
}

class FaultTest : public GiveBackTest, public testing::WithParamInterface<const wchar_t*> {};

TEST_P(FaultTest, EveryWindowGoesBackBeforeTheProgramEnds) {
    ::SetEnvironmentVariableW(L"PARLIX_TEST_FAULT", GetParam());
    const auto windows = CaptureThree();
    ::PostMessageW(app_->MainWindow(), WM_CLOSE, 0, 0);  // raises the fault
    ASSERT_TRUE(app_->Proc().Wait(kPatience));
    for (const Before& b : windows) ExpectGivenBack(b);
}

INSTANTIATE_TEST_SUITE_P(Faults, FaultTest,
                         testing::Values(L"unhandled", L"thread", L"terminate", L"abort", L"console"),
                         [](const auto& info) {
                             const std::wstring name = info.param;
                             return std::string(name.begin(), name.end());
                         });

TEST_F(GiveBackTest, WindowLeftChangedByAnEndedRunIsGivenBackAtStart) {
    FakeIm& qq = Client(kChats[0]);
    const HWND w = qq.Main(L"1");
    ASSERT_NE(w, nullptr);
    Before b{w, {}, ::GetWindowLongW(w, GWL_STYLE), ::GetWindowLongW(w, GWL_EXSTYLE), 255};
    ::GetWindowRect(w, &b.rect);
    // What a run that ended half way leaves: the window hidden, moved and re-styled, marked by
    // a process that no longer runs.
    auto ended = Process::Start(dir_.Path() / L"QQ.exe", {L"quit"});
    ASSERT_TRUE(ended.Wait(kPatience));
    const GiveBackRecord record{b.rect.left, b.rect.top, b.rect.right - b.rect.left, b.rect.bottom - b.rect.top,
                                static_cast<std::uint32_t>(b.style), static_cast<std::uint32_t>(b.exStyle), -1};
    const MarkValues mark = PackMark(record, ended.Id());
    for (size_t i = 0; i < mark.size(); ++i)
        ASSERT_TRUE(::SetPropW(w, kMarkProps[i], reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(mark[i]))));
    ::ShowWindow(w, SW_HIDE);
    ::SetWindowPos(w, nullptr, 5, 5, 200, 100, SWP_NOZORDER | SWP_NOACTIVATE);
    ::SetWindowLongW(w, GWL_STYLE, (b.style & ~WS_CAPTION & ~WS_VISIBLE) | WS_CLIPSIBLINGS);
    ASSERT_FALSE(IsBack(w));

    app_ = ParlixApp::Launch(dir_.Path());
    ASSERT_NE(app_, nullptr);
    ASSERT_TRUE(WaitFor([&] { return IsBack(w); }));
    ExpectGivenBack(b);
}

}  // namespace
}  // namespace parlix::test
