// Upkeep and focus against simulated chat windows embedded in a test-owned picWin, as Parlix
// embeds them: closed windows lose their tab, the selected window is placed, a click's window
// finds its tab and the focus lands in the input box, and a hung client does not hold the tick.
#include "capture/attach_rules.h"
#include "capture/detach_win.h"
#include "capture/dispatch_win.h"
#include "capture/focus_win.h"
#include "capture/tab_registry_win.h"
#include "capture/upkeep_win.h"
#include "base/error_report_win.h"
#include "tests/support/fakeim_client.h"
#include "tests/support/process.h"
#include "tests/support/windows.h"

#include <gtest/gtest.h>

#include <tuple>

#include <chrono>
#include <vector>

namespace parlix::test {
namespace {

HandleValue Value(HWND w) { return static_cast<HandleValue>(reinterpret_cast<std::uintptr_t>(w)); }

// The dispatcher is only needed by the detacher; nothing here sends it messages.
struct QuietDispatchHost final : DispatchHost {
    void DetectWindow(HWND) override {}
    void OnMainActivated() override {}
    void ReAddTrayIcon() override {}
    void EndSession() override {}
    void KeyFunctions(int) override {}
    void TrayAction(LPARAM) override {}
    bool TranslucentWhileSizing() const override { return false; }
    bool ShowNumbersOnCtrl() const override { return false; }
    bool CompatibilityMode() const override { return false; }
    void ShowNumbers() override {}
    void HideNumbers() override {}
    bool SetQQFocusByHwnd(HWND, bool, bool) override { return false; }
    bool HasCurrentTab() const override { return false; }
    void BeginMouseGesture() override {}
    void AddToMouseGesture() override {}
    bool EndMouseGesture() override { return false; }
    WheelBand TabStripBand() const override { return {}; }
    int TabCount() const override { return 0; }
    int SelectedTab() const override { return -1; }
    void SelectTab(int) override {}
};

// The main window's side: a tab strip as a list of titles whose selection sets CurrentLink.
struct Shell final : TabStripOps, UpkeepHost, FocusHost {
    Shell(TabRegistry& r, LinkRef& c) : registry(r), current(c) {}
    void AddItem(const std::wstring& title) override { tabs.push_back(title); }
    void SetItemImage(int, int) override {}
    void DelItem(int index) override {
        tabs.erase(tabs.begin() + index);
        SetSelected(tabs.empty() ? -1 : std::min(selected, static_cast<int>(tabs.size()) - 1));
    }
    int TabCount() const override { return static_cast<int>(tabs.size()); }
    void SetSelected(int index) override {
        selected = index;
        current = index >= 0 ? LinkRef(registry.GetNode(index + 1)) : LinkRef();
        currentTab = index >= 0 ? index + 1 : -1;
    }
    void ShowTabs() override {}
    void ShowMsg() override {
        ++noticeShown;
        currentTab = -1;
    }
    int HeaderHeight() const override { return 22; }
    bool TabRowAtBottom() const override { return true; }
    int Dpi() const override { return dpi; }
    void MoveTabStrip(const PixelRect&) override {}
    void PicWinPlaced(const PixelRect&) override {}
    void HideToTray() override {}
    int CurrentTabNumber() const override { return currentTab; }
    int SelectedTab() const override { return selected; }
    void SelectTab(int index) override {
        ++selections;
        SetSelected(index);
    }
    bool SilentMode() const override { return silent; }
    void ShowFromTray() override {}

    TabRegistry& registry;
    LinkRef& current;
    std::vector<std::wstring> tabs;
    int selected = -1;
    int currentTab = -1;
    int noticeShown = 0;
    int selections = 0;
    bool silent = false;
    int dpi = 96;
};

LRESULT CALLBACK PlainProc(HWND h, UINT m, WPARAM w, LPARAM l) { return ::DefWindowProcW(h, m, w, l); }

// The upkeep whose tick the main window's timer runs, as in Parlix.
WindowUpkeep* g_ticked = nullptr;
LRESULT CALLBACK MainProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_TIMER && w == kUpkeepTimer && g_ticked) {
        g_ticked->Tick();
        return 0;
    }
    return ::DefWindowProcW(h, m, w, l);
}

HWND MakeWindow(const wchar_t* cls, DWORD style, HWND parent, int w, int h, WNDPROC proc = PlainProc) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = proc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = cls;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    ::RegisterClassW(&wc);  // the second registration fails harmlessly
    return ::CreateWindowExW(0, cls, L"Parlix test", style, 40, 40, w, h, parent, nullptr, wc.hInstance, nullptr);
}

PixelRect RectIn(HWND window, HWND parent) {
    RECT r{};
    ::GetWindowRect(window, &r);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

HWND FocusOfThread(HWND window) {
    GUITHREADINFO info{sizeof info};
    ::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info);
    return info.hwndFocus;
}

class UpkeepFocus : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir_ = std::make_unique<TempDir>(L"upkeep-focus");
        im_ = FakeIm::Launch(dir_->Path(), L"TM.exe");
    }
    static void TearDownTestSuite() {
        if (im_) im_->Command(L"quit");
        im_.reset();
        dir_.reset();
    }

    void SetUp() override {
        ASSERT_NE(im_, nullptr) << "fakeim did not start";
        SetErrorSink([this](std::wstring_view, std::wstring_view text, bool) {
            reports.emplace_back(text);
            return ErrorAnswer::Ok;
        });
        SetAdjustErrorSink([this](std::wstring_view text) { reports.emplace_back(text); });
        main = MakeWindow(L"UpkeepTestMain", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, nullptr, 700, 500, MainProc);
        picWin = MakeWindow(L"UpkeepTestPicWin", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, main, 10, 10);
        ::ShowWindow(main, SW_SHOWNORMAL);
        ::SetForegroundWindow(main);
        factory = std::make_unique<GdiNodeResourceFactory>(picWin);
        registry = std::make_unique<TabRegistry>(*factory);
        shell = std::make_unique<Shell>(*registry, current);
        detacher = std::make_unique<TabDetacher>(*registry, calls, dispatch, *shell, current, [](HWND) {});
        upkeep = std::make_unique<WindowUpkeep>(main, picWin, current, calls, *detacher, *shell, isSizing,
                                                mainState, settings, *shell);
        focus = std::make_unique<ChatFocus>(main, picWin, *registry, current, calls, mainState, settings, *shell);
        g_ticked = upkeep.get();
        upkeep->FormResize();
    }
    void TearDown() override {
        g_ticked = nullptr;
        detacher->PopAll();
        calls.DetachAll();
        ::DestroyWindow(main);
        SetErrorSink(nullptr);
        SetAdjustErrorSink(nullptr);
        EXPECT_TRUE(reports.empty()) << "unexpected error report";
    }

    // What attaching does to a window, as far as upkeep and focus look at it: the record, the
    // attached input, the style of the mode, picWin as parent, a selected tab.
    HWND Capture(bool compatibility) {
        HWND w = im_->Open(L"tm2007", L"与 乙 交谈中");
        if (!w) return nullptr;
        auto node = registry->CreateNode();
        IMWindow& r = node->window;
        r.hWnd = Value(w);
        r.Version = IM_VERSION::TM2007;
        r.WinLong = ::GetWindowLongW(w, GWL_STYLE);
        RECT rc{};
        ::GetWindowRect(w, &rc);
        r.X = rc.left;
        r.Y = rc.top;
        r.W = r.OrgW = rc.right - rc.left;
        r.H = r.OrgH = rc.bottom - rc.top;
        const HWND inner = ::FindWindowExW(w, nullptr, L"#32770", nullptr);
        r.SayHwnd = Value(::FindWindowExW(inner, nullptr, L"RICHEDIT", nullptr));
        calls.AttachInput(w);
        ::SetWindowLongW(w, GWL_STYLE,
                         static_cast<LONG>(CapturedStyle(r.Version, static_cast<std::uint32_t>(r.WinLong), compatibility)));
        (void)registry->InsertNode(node);
        ::SetParent(w, picWin);
        shell->AddItem(r.Caption);
        shell->SetSelected(shell->TabCount() - 1);
        upkeep->ShowCurrentWindow();
        return w;
    }

    static inline std::unique_ptr<TempDir> dir_;
    static inline std::unique_ptr<FakeIm> im_;

    std::vector<std::wstring> reports;
    HWND main = nullptr;
    HWND picWin = nullptr;
    Settings settings;
    ClientCalls calls;
    QuietDispatchHost dispatchHost;
    MessageDispatch dispatch{dispatchHost};
    LinkRef current;
    bool isSizing = false;
    MainWindowState mainState = MainWindowState::Normal;
    std::unique_ptr<GdiNodeResourceFactory> factory;
    std::unique_ptr<TabRegistry> registry;
    std::unique_ptr<Shell> shell;
    std::unique_ptr<TabDetacher> detacher;
    std::unique_ptr<WindowUpkeep> upkeep;
    std::unique_ptr<ChatFocus> focus;
};

TEST_F(UpkeepFocus, WindowClosedByItsClientLosesItsTabWithinOneTick) {
    HWND first = Capture(false);
    HWND second = Capture(false);
    ASSERT_TRUE(first && second);
    ASSERT_EQ(im_->Command(L"close|" + HwndArg(second)), 1);
    ASSERT_FALSE(::IsWindow(second));
    upkeep->Tick();
    ASSERT_EQ(registry->count(), 1);
    EXPECT_EQ(registry->GetNode(1)->window.hWnd, Value(first));
    EXPECT_EQ(shell->TabCount(), 1);
    EXPECT_EQ(current.lock(), registry->GetNode(1));  // the strip selected the one left

    ASSERT_EQ(im_->Command(L"close|" + HwndArg(first)), 1);
    upkeep->Tick();
    EXPECT_EQ(registry->count(), 0);
    EXPECT_EQ(shell->noticeShown, 1);  // the last one gone shows the notice
    upkeep->Tick();
    EXPECT_EQ(shell->noticeShown, 1);  // once
}

TEST_F(UpkeepFocus, DeadWindowsAreLookedForInTheCurrentTabAlwaysAndInTheOthersInTurn) {
    const HWND a = Capture(false), b = Capture(false), c = Capture(false);
    ASSERT_TRUE(a && b && c);  // c is the current tab
    ASSERT_EQ(im_->Command(L"close|" + HwndArg(b)), 1);
    EXPECT_EQ(detacher->DropDeadWindows(1), 0) << "a's turn";
    EXPECT_EQ(detacher->DropDeadWindows(1), 1) << "b's turn";
    EXPECT_EQ(registry->count(), 2);
    ASSERT_EQ(im_->Command(L"close|" + HwndArg(c)), 1);
    EXPECT_EQ(detacher->DropDeadWindows(0), 1) << "the current tab is looked at every time";
    EXPECT_EQ(registry->GetNode(1)->window.hWnd, Value(a));
}

TEST_F(UpkeepFocus, SelectedWindowIsPlacedWithItsChromeOutsidePicWin) {
    const struct {
        bool compatibility;
        int dpi;
        int left, top, extraWidth, extraHeight;
    } cases[] = {
        {true, 96, 8, 26, 14, 33},   // the frame is kept: caption and borders lie outside
        {false, 96, 0, 0, 0, 0},     // the caption was taken away: the window fills picWin
        {true, 144, 12, 39, 21, 50}, // the chrome is measured in the main window's pixels
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.compatibility ? "compatibility" : "stripped") << " at " << c.dpi);
        shell->dpi = c.dpi;
        upkeep->FormResize();  // as a change of dpi lays the window out
        HWND w = Capture(c.compatibility);
        ASSERT_NE(w, nullptr);
        RECT pic{};
        ::GetClientRect(picWin, &pic);
        const PixelRect expected{-c.left, -c.top, pic.right + c.extraWidth, pic.bottom + c.extraHeight};
        EXPECT_EQ(WaitFor([&] { return RectIn(w, picWin) == expected; }), true);
        // A locked tab resized by its client is forced back by the tick (the same placement is
        // asked again once the client has answered after the first).
        registry->GetNode(registry->count())->window.Locked = true;
        ASSERT_EQ(im_->Command(L"move|" + HwndArg(w) + L"|0|0|300|200"), 1);
        EXPECT_EQ(WaitFor([&] {
                      upkeep->Tick();
                      return RectIn(w, picWin) == expected;
                  }),
                  true);
        registry->GetNode(registry->count())->window.Locked = false;
    }
}

TEST_F(UpkeepFocus, MainWindowFollowsAChatWindowItsClientResized) {
    HWND w = Capture(false);
    ASSERT_NE(w, nullptr);
    // picWin plus the tab row below it and the gap under the row, 4 pixels at 96 dpi.
    for (const auto& [dpi, gap, height] : {std::tuple{96, 4, 330}, std::tuple{192, 8, 300}}) {
        SCOPED_TRACE(dpi);
        shell->dpi = dpi;
        ASSERT_EQ(im_->Command(L"move|" + HwndArg(w) + L"|0|0|420|" + std::to_wstring(height)), 1);
        // The tick asks the client whether the size is its own and comes back with the answer.
        upkeep->Tick();
        RECT pic{};
        EXPECT_TRUE(WaitFor([&] {
            ::GetClientRect(picWin, &pic);
            return pic.right == 420 && pic.bottom == height;
        }));
        RECT client{};
        ::GetClientRect(main, &client);
        EXPECT_EQ(client.bottom, height + 22 + gap);
    }
}

TEST_F(UpkeepFocus, ClickedWindowOrChildFindsItsTabAndFocusLandsInTheInputBox) {
    HWND first = Capture(false);
    HWND second = Capture(false);
    ASSERT_TRUE(first && second);
    const HWND inner = ::FindWindowExW(first, nullptr, L"#32770", nullptr);
    const HWND input = ::FindWindowExW(inner, nullptr, L"RICHEDIT", nullptr);
    const HWND history = ::FindWindowExW(inner, nullptr, L"RichEdit20A", nullptr);
    ASSERT_TRUE(input && history);

    std::shared_ptr<clsLink> link;
    EXPECT_TRUE(focus->SetQQFocusByHwnd(history, true, false, &link));
    EXPECT_EQ(link, registry->GetNode(1));
    EXPECT_EQ(shell->selections, 0);  // find only looks
    EXPECT_FALSE(focus->SetQQFocusByHwnd(main, false, false));
    EXPECT_FALSE(focus->SetQQFocusByHwnd(nullptr, false, false));

    shell->silent = true;
    EXPECT_TRUE(focus->SetQQFocusByHwnd(history, false, false));
    EXPECT_EQ(shell->selected, 1);
    shell->silent = false;

    EXPECT_TRUE(focus->SetQQFocusByHwnd(history, false, false));
    EXPECT_EQ(shell->selected, 0);
    EXPECT_EQ(WaitFor([&] { return FocusOfThread(first) == input; }), true);
    // The main window stays the active window while its chat has the focus.
    GUITHREADINFO mine{sizeof mine};
    ::GetGUIThreadInfo(::GetCurrentThreadId(), &mine);
    EXPECT_EQ(mine.hwndActive, main);

    focus->SetQQFocusByHwnd(second, false, false);
    upkeep->ShowCurrentWindow();
    focus->SetQQFocus();
    EXPECT_EQ(shell->selected, 1);
    const HWND input2 = ::FindWindowExW(::FindWindowExW(second, nullptr, L"#32770", nullptr), nullptr, L"RICHEDIT", nullptr);
    EXPECT_EQ(WaitFor([&] { return FocusOfThread(second) == input2; }), true);
}

TEST_F(UpkeepFocus, HungClientDoesNotHoldTheTick) {
    HWND w = Capture(false);
    ASSERT_NE(w, nullptr);
    ASSERT_EQ(im_->Command(L"hang|6000"), 1);
    // A size that differs from the one asked for makes the tick ask the client.
    registry->GetNode(1)->window.W += 50;
    upkeep->Tick();
    // picWin changes size (a wider tab row): the window is asked to follow.
    ::MoveWindow(picWin, 0, 0, 600, 400, FALSE);
    upkeep->ShowCurrentWindow();
    registry->GetNode(1)->window.Locked = true;
    upkeep->Tick();
    upkeep->Tick();
    focus->SetQQFocus();
    // All of that was done while the client still hangs: nothing waited for it to answer.
    DWORD_PTR ignored = 0;
    EXPECT_FALSE(::SendMessageTimeoutW(w, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1, &ignored));
    // Once the client pumps again it carries out the placement it was asked for.
    RECT pic{};
    ::GetClientRect(picWin, &pic);
    const PixelRect expected{0, 0, pic.right, pic.bottom};
    EXPECT_EQ(WaitFor([&] { return RectIn(w, picWin) == expected; }), true);
}

}  // namespace
}  // namespace parlix::test
