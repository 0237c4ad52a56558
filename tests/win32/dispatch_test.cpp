// The main window's message dispatch, driven with real messages sent to a real window of the
// test: every call the dispatcher makes on its host is recorded and compared with the expected
// calls, and the window's own procedure records what reaches it.
#include "base/error_report_win.h"
#include "capture/dispatch_win.h"
#include "hook/hook_protocol.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <atomic>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace parlix::test {
namespace {

using Calls = std::vector<std::wstring>;

constexpr UINT kHookNotify = hook::kWmHookNotify;
constexpr LRESULT kOwnAnswer = 0x5A5A; // what the window's own procedure answers
constexpr wchar_t kMainClass[] = L"ParlixDispatchTestMain";
constexpr wchar_t kOtherClass[] = L"ParlixDispatchTestOther";

// Every message that reaches the main window's own procedure, in order.
std::vector<UINT>& OwnLog() {
    static std::vector<UINT> log;
    return log;
}

// The main window answers these itself. WM_ACTIVATE too: the default handling of a sent
// activation would set the focus and really activate the window.
bool AnsweredByOwnProc(UINT msg) {
    switch (msg) {
    case WM_ACTIVATE:
    case WM_QUERYENDSESSION:
    case WM_HOTKEY:
    case WM_ENTERSIZEMOVE:
    case WM_EXITSIZEMOVE:
    case WM_LBUTTONUP:
    case WM_NCMOUSELEAVE:
    case WM_MOUSEWHEEL:
        return true;
    default:
        return msg >= WM_USER;
    }
}

LRESULT CALLBACK OwnProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    OwnLog().push_back(msg);
    if (AnsweredByOwnProc(msg)) return kOwnAnswer;
    return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

void RegisterClasses() {
    static const bool done = [] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        wc.lpfnWndProc = OwnProc;
        wc.lpszClassName = kMainClass;
        ::RegisterClassExW(&wc);
        wc.lpfnWndProc = ::DefWindowProcW;
        wc.lpszClassName = kOtherClass;
        ::RegisterClassExW(&wc);
        return true;
    }();
    (void)done;
}

// Records the calls that act; the queries only answer what the test chose.
class RecordingHost final : public DispatchHost {
  public:
    Calls calls;
    std::map<HWND, std::wstring> names;
    std::wstring throwIn; // a call starting with this text throws after being recorded
    std::function<void()> onEndSession;

    bool translucent = false;
    bool showNumbers = true;
    bool compatibility = true;
    bool currentTab = true;
    bool focusAnswer = true;
    bool gestureAnswer = true;
    WheelBand band{};
    int count = 0;
    int selected = -1;

    void DetectWindow(HWND window) override { Record(L"DetectWindow(" + Name(window) + L")"); }
    void OnMainActivated() override { Record(L"OnMainActivated"); }
    void ReAddTrayIcon() override { Record(L"ReAddTrayIcon"); }
    void EndSession() override {
        Record(L"EndSession");
        if (onEndSession) onEndSession();
    }
    void KeyFunctions(int id) override { Record(L"KeyFunctions(" + std::to_wstring(id) + L")"); }
    void TrayAction(LPARAM message) override { Record(L"TrayAction(" + std::to_wstring(message) + L")"); }
    bool TranslucentWhileSizing() const override { return translucent; }
    bool ShowNumbersOnCtrl() const override { return showNumbers; }
    bool CompatibilityMode() const override { return compatibility; }
    void ShowNumbers() override { Record(L"ShowNumbers"); }
    void HideNumbers() override { Record(L"HideNumbers"); }
    bool SetQQFocusByHwnd(HWND window, bool find, bool qqOnly) override {
        Record(L"SetQQFocusByHwnd(" + Name(window) + L"," + Flag(find) + L"," + Flag(qqOnly) + L")");
        return focusAnswer;
    }
    bool HasCurrentTab() const override { return currentTab; }
    void BeginMouseGesture() override { Record(L"BeginMouseGesture"); }
    void AddToMouseGesture() override { Record(L"AddToMouseGesture"); }
    bool EndMouseGesture() override {
        Record(L"EndMouseGesture");
        return gestureAnswer;
    }
    WheelBand TabStripBand() const override { return band; }
    int TabCount() const override { return count; }
    int SelectedTab() const override { return selected; }
    void SelectTab(int index) override {
        Record(L"SelectTab(" + std::to_wstring(index) + L")");
        selected = index;
    }

  private:
    static std::wstring Flag(bool b) { return b ? L"true" : L"false"; }
    std::wstring Name(HWND window) const {
        if (!window) return L"null";
        const auto it = names.find(window);
        if (it != names.end()) return it->second;
        wchar_t text[32];
        ::wsprintfW(text, L"%p", static_cast<void*>(window));
        return text;
    }
    void Record(std::wstring call) {
        const bool fail = !throwIn.empty() && call.rfind(throwIn, 0) == 0;
        calls.push_back(std::move(call));
        if (fail) throw std::runtime_error("host failed");
    }
};

struct Report {
    std::wstring title;
    std::wstring text;
    bool yesNo = false;
};

class MainWindowDispatch : public ::testing::Test {
  protected:
    void SetUp() override {
        RegisterClasses();
        reports_.clear();
        SetErrorSink([this](std::wstring_view title, std::wstring_view text, bool yesNo) {
            reports_.push_back({std::wstring(title), std::wstring(text), yesNo});
            return ErrorAnswer::Yes;
        });
        main_ = MakeMain(0);
        dispatch_.emplace(host_);
        ASSERT_TRUE(dispatch_->HookMainWindow(main_));
        Clear();
    }

    void TearDown() override {
        dispatch_.reset();
        for (auto it = windows_.rbegin(); it != windows_.rend(); ++it)
            ::DestroyWindow(*it);
        SetErrorSink({});
    }

    // The main window: hidden, 400x300 at (100, 100), so nothing activates it by accident.
    HWND MakeMain(DWORD exStyle) {
        HWND w = ::CreateWindowExW(exStyle, kMainClass, L"main", WS_OVERLAPPEDWINDOW, 100, 100, 400, 300,
                                   nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
        EXPECT_NE(w, nullptr);
        windows_.push_back(w);
        host_.names[w] = L"main";
        return w;
    }

    // A named window of a plain class; parent is the parent of a child or the owner of a
    // top-level window.
    HWND Window(const wchar_t* name, DWORD style = WS_OVERLAPPED, HWND parent = nullptr) {
        HWND w = ::CreateWindowExW(0, kOtherClass, name, style, 0, 0, 50, 50, parent, nullptr,
                                   ::GetModuleHandleW(nullptr), nullptr);
        EXPECT_NE(w, nullptr) << name;
        windows_.push_back(w);
        host_.names[w] = name;
        return w;
    }

    // A fresh dispatcher on the same window: no ticks, no state.
    void Rehook() {
        dispatch_.reset();
        dispatch_.emplace(host_);
        ASSERT_TRUE(dispatch_->HookMainWindow(main_));
    }

    void Clear() {
        host_.calls.clear();
        OwnLog().clear();
    }

    LRESULT Send(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) {
        return ::SendMessageW(main_, msg, wParam, lParam);
    }
    LRESULT Notify(WPARAM code, LPARAM value) { return Send(kHookNotify, code, value); }
    LRESULT Notify(WPARAM code, HWND window) { return Notify(code, reinterpret_cast<LPARAM>(window)); }

    // A wheel message at a point given in the main window's client coordinates.
    LRESULT Wheel(WORD keys, int delta, int clientX, int clientY) {
        POINT pt{clientX, clientY};
        ::ClientToScreen(main_, &pt);
        const WPARAM w = MAKEWPARAM(keys, static_cast<WORD>(static_cast<short>(delta)));
        const LPARAM l = MAKELPARAM(static_cast<WORD>(static_cast<short>(pt.x)),
                                    static_cast<WORD>(static_cast<short>(pt.y)));
        return Send(WM_MOUSEWHEEL, w, l);
    }

    [[nodiscard]] int OwnSaw(UINT msg) const {
        return static_cast<int>(std::count(OwnLog().begin(), OwnLog().end(), msg));
    }

    MessageDispatch& D() { return *dispatch_; }

    RecordingHost host_;
    std::optional<MessageDispatch> dispatch_;
    HWND main_ = nullptr;
    std::vector<HWND> windows_;
    std::vector<Report> reports_;
};

UINT ShellHookId() {
    return ::RegisterWindowMessageW(L"SHELLHOOK");
}
UINT TaskbarCreatedId() {
    return ::RegisterWindowMessageW(L"TaskbarCreated");
}

// ---- plain messages -------------------------------------------------------------------------

TEST_F(MainWindowDispatch, HotkeyTrayAndSessionEndReachTheirHandlerAndGoOn) {
    struct Row {
        const char* what;
        UINT msg;
        WPARAM wParam;
        LPARAM lParam;
        Calls calls;
    };
    const Row rows[] = {
        {"hotkey id", WM_HOTKEY, 5, 0, {L"KeyFunctions(5)"}},
        {"hotkey: only the low byte is the id", WM_HOTKEY, 0x30D, 0, {L"KeyFunctions(13)"}},
        {"hotkey: high bits set", WM_HOTKEY, static_cast<WPARAM>(0xFFFFFF02u), 0, {L"KeyFunctions(2)"}},
        {"tray callback, left button up", kTrayCallbackMsg, 0, WM_LBUTTONUP, {L"TrayAction(514)"}},
        {"tray callback, balloon click", kTrayCallbackMsg, 1, 0x405, {L"TrayAction(1029)"}},
        {"session end", WM_QUERYENDSESSION, 0, 0, {L"EndSession"}},
        {"message below the tray callback", kTrayCallbackMsg - 1, 0, 0, {}},
        {"message above the tray callback", kTrayCallbackMsg + 1, 0, 0, {}},
        {"message below WM_HOOKNOTIFY", kHookNotify - 1, 4, 0, {}},
        {"message above WM_HOOKNOTIFY", kHookNotify + 1, 4, 0, {}},
        {"an application message", WM_APP + 3, 1, 2, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        Clear();
        EXPECT_EQ(Send(row.msg, row.wParam, row.lParam), kOwnAnswer);
        EXPECT_EQ(host_.calls, row.calls);
        EXPECT_EQ(OwnSaw(row.msg), 1);
    }
}

TEST_F(MainWindowDispatch, UnregisteredMessageIdsDoNotMatchNullMessages) {
    // Neither the shell-hook id nor the taskbar id is known yet: both are 0, and WM_NULL (0)
    // must not be taken for either.
    ASSERT_EQ(D().ShellHookMsg(), 0u);
    Send(WM_NULL, HSHELL_WINDOWCREATED, reinterpret_cast<LPARAM>(Window(L"top")));
    EXPECT_EQ(host_.calls, Calls{});
    EXPECT_EQ(OwnSaw(WM_NULL), 1);
}

// ---- shell hook ----------------------------------------------------------------------------

TEST_F(MainWindowDispatch, ShellMessageIsRecognisedOnlyAfterRegistering) {
    HWND top = Window(L"top");
    Send(ShellHookId(), HSHELL_WINDOWCREATED, reinterpret_cast<LPARAM>(top));
    EXPECT_EQ(host_.calls, Calls{});
    EXPECT_EQ(OwnSaw(ShellHookId()), 1);

    D().RegisterShellHook(main_);
    EXPECT_EQ(D().ShellHookMsg(), ShellHookId());
    Clear();
    EXPECT_EQ(Send(ShellHookId(), HSHELL_WINDOWCREATED, reinterpret_cast<LPARAM>(top)), kOwnAnswer);
    EXPECT_EQ(host_.calls, Calls{L"DetectWindow(top)"});
    EXPECT_EQ(OwnSaw(ShellHookId()), 1);

    D().DeregisterShellHook(main_);
    D().RegisterShellHook(main_); // a second registration keeps the id
    EXPECT_EQ(D().ShellHookMsg(), ShellHookId());
}

TEST_F(MainWindowDispatch, CreatedWindowIsExaminedOnlyWithoutParentAndWhileNoTabCloses) {
    D().RegisterShellHook(main_);
    HWND top = Window(L"top");
    HWND child = Window(L"child", WS_CHILD, main_);
    // GetParent answers the owner of a popup, but not of an owned overlapped window.
    HWND ownedPopup = Window(L"ownedPopup", WS_POPUP, top);
    HWND ownedOverlapped = Window(L"ownedOverlapped", WS_OVERLAPPED, top);
    struct Row {
        HWND window;
        bool closing;
        Calls calls;
    };
    const Row rows[] = {
        {top, false, {L"DetectWindow(top)"}},
        {top, true, {}},
        {child, false, {}},
        {ownedPopup, false, {}},
        {ownedOverlapped, false, {L"DetectWindow(ownedOverlapped)"}},
        {ownedOverlapped, true, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(host_.names[row.window] + (row.closing ? L" while closing" : L""));
        Clear();
        D().SetClosing(row.closing);
        Send(ShellHookId(), HSHELL_WINDOWCREATED, reinterpret_cast<LPARAM>(row.window));
        EXPECT_EQ(host_.calls, row.calls);
        EXPECT_EQ(OwnSaw(ShellHookId()), 1);
    }
}

TEST_F(MainWindowDispatch, ShellActivationTracksWhetherTheMainWindowIsActive) {
    D().RegisterShellHook(main_);
    HWND other = Window(L"other");
    struct Row {
        const char* what;
        WPARAM code;
        HWND window;
        bool activeBefore;
        bool activeAfter;
        Calls calls;
    };
    const Row rows[] = {
        {"main window activated", HSHELL_WINDOWACTIVATED, main_, false, true, {L"OnMainActivated"}},
        {"main window activated again", HSHELL_WINDOWACTIVATED, main_, true, true, {L"OnMainActivated"}},
        {"other window activated", HSHELL_WINDOWACTIVATED, other, true, false, {}},
        {"no window activated", HSHELL_WINDOWACTIVATED, nullptr, true, false, {}},
        {"main window rudely activated", HSHELL_RUDEAPPACTIVATED, main_, false, true, {L"OnMainActivated"}},
        {"other window rudely activated", HSHELL_RUDEAPPACTIVATED, other, true, false, {}},
        {"main window destroyed notice", HSHELL_WINDOWDESTROYED, main_, true, true, {}},
        {"main window destroyed notice, inactive", HSHELL_WINDOWDESTROYED, main_, false, false, {}},
        {"redraw notice", HSHELL_REDRAW, main_, false, false, {}},
        {"flash notice", HSHELL_FLASH, main_, false, false, {}},
        {"an unknown code with the rude bit", 0x8003, main_, false, false, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        Clear();
        D().SetMainIsActive(row.activeBefore);
        Send(ShellHookId(), row.code, reinterpret_cast<LPARAM>(row.window));
        EXPECT_EQ(D().MainIsActive(), row.activeAfter);
        EXPECT_EQ(host_.calls, row.calls);
    }
}

TEST_F(MainWindowDispatch, TaskbarCreatedReAddsTheTrayIconOnceItsIdIsKnown) {
    Send(TaskbarCreatedId());
    EXPECT_EQ(host_.calls, Calls{});
    D().SetTaskbarCreatedMsg(TaskbarCreatedId());
    Clear();
    EXPECT_EQ(Send(TaskbarCreatedId()), kOwnAnswer);
    EXPECT_EQ(host_.calls, Calls{L"ReAddTrayIcon"});
    EXPECT_EQ(OwnSaw(TaskbarCreatedId()), 1);
}

// ---- activation without the shell ------------------------------------------------------------

TEST_F(MainWindowDispatch, ActivateMessageKeepsMainIsActiveRight) {
    struct Row {
        const char* what;
        WPARAM wParam;
        bool activeBefore;
        bool activeAfter;
        Calls calls;
    };
    const Row rows[] = {
        {"activated", WA_ACTIVE, false, true, {L"OnMainActivated"}},
        {"activated by a click", WA_CLICKACTIVE, false, true, {L"OnMainActivated"}},
        {"activated while minimised", MAKEWPARAM(WA_ACTIVE, 1), false, true, {L"OnMainActivated"}},
        {"deactivated", WA_INACTIVE, true, false, {}},
        {"deactivated while minimised", MAKEWPARAM(WA_INACTIVE, 1), true, false, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        Clear();
        D().SetMainIsActive(row.activeBefore);
        Send(WM_ACTIVATE, row.wParam, 0);
        EXPECT_EQ(D().MainIsActive(), row.activeAfter);
        EXPECT_EQ(host_.calls, row.calls);
        EXPECT_EQ(OwnSaw(WM_ACTIVATE), 1);
    }
}

TEST_F(MainWindowDispatch, RealActivationOfTheMainWindowAndAnotherWindowIsFollowed) {
    HWND other = Window(L"other", WS_OVERLAPPEDWINDOW);
    ::ShowWindow(main_, SW_SHOW);
    ::ShowWindow(other, SW_SHOW);
    ::SetActiveWindow(main_);
    ASSERT_EQ(::GetActiveWindow(), main_);
    EXPECT_TRUE(D().MainIsActive());
    EXPECT_NE(std::find(host_.calls.begin(), host_.calls.end(), L"OnMainActivated"), host_.calls.end());

    ::SetActiveWindow(other);
    ASSERT_EQ(::GetActiveWindow(), other);
    EXPECT_FALSE(D().MainIsActive());

    Clear();
    ::SetActiveWindow(main_);
    EXPECT_TRUE(D().MainIsActive());
    EXPECT_EQ(host_.calls, Calls{L"OnMainActivated"});
}

// ---- size and move ---------------------------------------------------------------------------

TEST_F(MainWindowDispatch, SizeMoveMessagesSetAndClearIsSizing) {
    struct Row {
        const char* what;
        UINT msg;
        bool sizingBefore;
        bool sizingAfter;
    };
    const Row rows[] = {
        {"enter size/move", WM_ENTERSIZEMOVE, false, true},
        {"enter size/move again", WM_ENTERSIZEMOVE, true, true},
        {"exit size/move", WM_EXITSIZEMOVE, true, false},
        {"left button up", WM_LBUTTONUP, true, false},
        {"mouse leaves the frame", WM_NCMOUSELEAVE, true, false},
        {"left button down does not clear", WM_LBUTTONDOWN, true, true},
        {"mouse leaves the client area does not clear", WM_MOUSELEAVE, true, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        Send(row.sizingBefore ? WM_ENTERSIZEMOVE : WM_EXITSIZEMOVE);
        Clear();
        Send(row.msg);
        EXPECT_EQ(D().IsSizing(), row.sizingAfter);
        EXPECT_EQ(host_.calls, Calls{});
        EXPECT_EQ(OwnSaw(row.msg), 1);
    }
}

struct Alpha {
    bool known = false;
    BYTE alpha = 0;
    DWORD flags = 0;
};

Alpha AlphaOf(HWND w) {
    Alpha a;
    COLORREF key = 0;
    a.known = ::GetLayeredWindowAttributes(w, &key, &a.alpha, &a.flags) != FALSE;
    return a;
}

TEST_F(MainWindowDispatch, TranslucentWhileSizingDimsTheLayeredWindowDuringTheDrag) {
    dispatch_.reset(); // on a layered main window instead
    main_ = MakeMain(WS_EX_LAYERED);
    dispatch_.emplace(host_);
    ASSERT_TRUE(D().HookMainWindow(main_));
    ASSERT_TRUE(::SetLayeredWindowAttributes(main_, 0, 200, LWA_ALPHA));

    host_.translucent = false;
    Send(WM_ENTERSIZEMOVE);
    EXPECT_TRUE(D().IsSizing());
    EXPECT_EQ(AlphaOf(main_).alpha, 200) << "left alone without the setting";
    Send(WM_EXITSIZEMOVE);
    EXPECT_EQ(AlphaOf(main_).alpha, 200);

    host_.translucent = true;
    Send(WM_ENTERSIZEMOVE);
    Alpha during = AlphaOf(main_);
    EXPECT_TRUE(during.known);
    EXPECT_EQ(during.alpha, 150);
    EXPECT_EQ(during.flags & LWA_ALPHA, static_cast<DWORD>(LWA_ALPHA));
    EXPECT_EQ(during.flags & LWA_COLORKEY, 0u);

    Send(WM_LBUTTONUP); // clears the flag only; the window stays dimmed until the drag ends
    EXPECT_FALSE(D().IsSizing());
    EXPECT_EQ(AlphaOf(main_).alpha, 150);

    Send(WM_EXITSIZEMOVE);
    EXPECT_FALSE(D().IsSizing());
    EXPECT_EQ(AlphaOf(main_).alpha, 255);
}

TEST_F(MainWindowDispatch, TranslucentSettingOnAWindowThatIsNotLayeredStillTracksSizing) {
    host_.translucent = true;
    Send(WM_ENTERSIZEMOVE);
    EXPECT_TRUE(D().IsSizing());
    EXPECT_FALSE(AlphaOf(main_).known);
    EXPECT_EQ(::GetWindowLongW(main_, GWL_EXSTYLE) & WS_EX_LAYERED, 0);
    Send(WM_EXITSIZEMOVE);
    EXPECT_FALSE(D().IsSizing());
}

// ---- WM_HOOKNOTIFY ---------------------------------------------------------------------------

TEST_F(MainWindowDispatch, KeyStateNoticeShowsAndHidesNumbersOnlyWhileActiveAndEnabled) {
    struct Row {
        const char* what;
        bool active;
        bool enabled;
        LPARAM value;
        bool shownBefore;
        bool shownAfter;
        Calls calls;
    };
    const Row rows[] = {
        {"key down", true, true, hook::kKeyDown, false, true, {L"ShowNumbers"}},
        {"key up", true, true, hook::kKeyUp, true, false, {L"HideNumbers"}},
        {"key down while shown", true, true, hook::kKeyDown, true, true, {L"ShowNumbers"}},
        {"other value", true, true, 2, false, false, {}},
        {"other value while shown", true, true, -1, true, true, {}},
        {"key down, main inactive", false, true, hook::kKeyDown, false, false, {}},
        {"key up, main inactive", false, true, hook::kKeyUp, true, true, {}},
        {"key down, numbers disabled", true, false, hook::kKeyDown, false, false, {}},
        {"key up, numbers disabled", true, false, hook::kKeyUp, true, true, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        Clear();
        D().SetMainIsActive(row.active);
        host_.showNumbers = row.enabled;
        D().SetNumbersShown(row.shownBefore);
        D().SetHookReply(77);
        EXPECT_EQ(Notify(hook::kKeyState, row.value), kOwnAnswer);
        EXPECT_EQ(D().NumbersShown(), row.shownAfter);
        EXPECT_EQ(host_.calls, row.calls);
        EXPECT_EQ(D().HookReply(), 77) << "a notice is not a reply";
        EXPECT_EQ(D().MainIsActive(), row.active);
    }
}

TEST_F(MainWindowDispatch, ClickNoticesAskForFocusAndOnlyAnAcceptedAnswerIsHandled) {
    HWND chat = Window(L"chat");
    struct Row {
        const char* what;
        WPARAM code;
        bool accepted;
        LRESULT result;
        int ownSaw;
    };
    const Row rows[] = {
        {"left click, accepted", hook::kClick, true, kOwnAnswer, 1},
        {"left click, refused", hook::kClick, false, kOwnAnswer, 1},
        {"middle click, accepted", hook::kClickAnswer, true, -1, 0},
        {"middle click on a window that is not captured", hook::kClickAnswer, false, kOwnAnswer, 1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        Clear();
        host_.focusAnswer = row.accepted;
        D().SetMainIsActive(false);
        D().SetHookReply(77);
        EXPECT_EQ(Notify(row.code, chat), row.result);
        EXPECT_EQ(host_.calls, Calls{L"SetQQFocusByHwnd(chat,false,false)"});
        EXPECT_EQ(OwnSaw(kHookNotify), row.ownSaw);
        EXPECT_FALSE(D().MainIsActive()) << "a click does not change the activation state";
        EXPECT_EQ(D().HookReply(), 77);
    }
}

TEST_F(MainWindowDispatch, FocusRequestNeedsCompatibilityModeAndAnActiveMainWindow) {
    HWND chat = Window(L"chat");
    struct Row {
        const char* what;
        bool compatibility;
        bool active;
        bool focusAnswer;
        bool currentTab;
        Calls calls;
        bool activeAfter;
        bool toggleAfter; // FocusToggle starts false
    };
    const Calls ask{L"SetQQFocusByHwnd(chat,true,false)"};
    // Really active, as MainIsActive says in the rows that get as far as focusing it.
    ::ShowWindow(main_, SW_SHOW);
    ::SetActiveWindow(main_);
    ASSERT_EQ(::GetActiveWindow(), main_);
    const Row rows[] = {
        {"granted with a tab", true, true, true, true, ask, true, true},
        {"granted without a tab", true, true, true, false, ask, true, false},
        {"refused", true, true, false, true, ask, false, false},
        {"main inactive", true, false, true, true, {}, false, false},
        {"not in compatibility mode", false, true, true, true, {}, true, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        Rehook();
        Clear();
        host_.compatibility = row.compatibility;
        host_.focusAnswer = row.focusAnswer;
        host_.currentTab = row.currentTab;
        D().SetMainIsActive(row.active);
        EXPECT_EQ(Notify(hook::kFocusRequest, chat), kOwnAnswer);
        EXPECT_EQ(host_.calls, row.calls);
        EXPECT_EQ(D().MainIsActive(), row.activeAfter);
        EXPECT_EQ(D().FocusToggle(), row.toggleAfter);
    }
}

TEST_F(MainWindowDispatch, GrantedFocusRequestsAlternateAndEveryOtherOneFocusesTheMainWindow) {
    HWND chat = Window(L"chat");
    HWND edit = Window(L"edit", WS_CHILD | WS_VISIBLE, main_);
    ::ShowWindow(main_, SW_SHOW);
    ::SetActiveWindow(main_);
    const bool expected[] = {true, false, true, false};
    for (size_t i = 0; i < std::size(expected); ++i) {
        SCOPED_TRACE("request " + std::to_string(i + 1));
        ::SetFocus(edit);
        ASSERT_EQ(::GetFocus(), edit);
        D().SetMainIsActive(true);
        Notify(hook::kFocusRequest, chat);
        EXPECT_EQ(D().FocusToggle(), expected[i]);
        EXPECT_EQ(::GetFocus(), expected[i] ? main_ : edit);
    }
}

TEST_F(MainWindowDispatch, GestureNoticesAndOnlyTheEndAnswers) {
    struct Row {
        const char* what;
        LPARAM value;
        bool accepted;
        Calls calls;
        LRESULT result;
        int ownSaw;
    };
    const Row rows[] = {
        {"point", hook::kGesturePoint, true, {L"AddToMouseGesture"}, kOwnAnswer, 1},
        {"begin", hook::kGestureBegin, true, {L"BeginMouseGesture"}, kOwnAnswer, 1},
        {"end, accepted", hook::kGestureEnd, true, {L"EndMouseGesture"}, 1, 0},
        {"end, refused", hook::kGestureEnd, false, {L"EndMouseGesture"}, 0, 0},
        {"any other value ends", 7, true, {L"EndMouseGesture"}, 1, 0},
        {"a negative value ends", -1, false, {L"EndMouseGesture"}, 0, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        Clear();
        host_.gestureAnswer = row.accepted;
        D().SetHookReply(77);
        EXPECT_EQ(Notify(hook::kGesture, row.value), row.result);
        EXPECT_EQ(host_.calls, row.calls);
        EXPECT_EQ(OwnSaw(kHookNotify), row.ownSaw);
        EXPECT_EQ(D().HookReply(), 77);
    }
}

TEST_F(MainWindowDispatch, WindowShownNoticeIsHandledLikeAShellWindowCreatedOncePerWindow) {
    HWND top = Window(L"top");
    HWND other = Window(L"other");
    HWND child = Window(L"child", WS_CHILD, main_);
    HWND ownedPopup = Window(L"ownedPopup", WS_POPUP, top);
    struct Row {
        HWND window;
        bool closing;
        bool watching;  // the shell hook is registered
        Calls calls;
    };
    const Row rows[] = {
        {top, true, true, {}},
        {other, false, false, {}},
        {top, false, true, {L"DetectWindow(top)"}},
        {top, false, true, {}},  // the shell reported it already
        {child, false, true, {}},
        {ownedPopup, false, true, {}},
        {other, false, true, {L"DetectWindow(other)"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(host_.names[row.window] + (row.closing ? L" while closing" : L"") +
                     (row.watching ? L"" : L" not watching"));
        Clear();
        if (row.watching) D().RegisterShellHook(main_);
        else D().DeregisterShellHook(main_);
        D().SetClosing(row.closing);
        D().SetHookReply(77);
        EXPECT_EQ(Notify(hook::kWindowShown, row.window), kOwnAnswer);
        EXPECT_EQ(host_.calls, row.calls);
        EXPECT_EQ(D().HookReply(), 77);
    }
}

TEST_F(MainWindowDispatch, RequestAnswersAndUnknownCodesOnlyStoreTheReply) {
    const WPARAM codes[] = {hook::kRequestFocus,
                            hook::kRequestHistory,
                            hook::kRequestInput,
                            1,
                            3,
                            5,
                            9,
                            10,
                            13,
                            19,
                            21,
                            0xFFFF,
                            static_cast<WPARAM>(-1)};
    const LPARAM values[] = {0, 0x0012F4A0, -1, 0x7FFFFFFF};
    for (WPARAM code : codes) {
        for (LPARAM value : values) {
            SCOPED_TRACE("code " + std::to_string(code) + ", value " + std::to_string(value));
            Clear();
            D().SetHookReply(12345);
            D().SetMainIsActive(true);
            D().SetNumbersShown(true);
            EXPECT_EQ(Notify(code, value), kOwnAnswer);
            EXPECT_EQ(D().HookReply(), value);
            EXPECT_EQ(host_.calls, Calls{});
            EXPECT_TRUE(D().MainIsActive());
            EXPECT_TRUE(D().NumbersShown());
        }
    }
}

TEST_F(MainWindowDispatch, ReplySentWhileARequestIsPendingIsStoredBeforeTheRequestReturns) {
    // The chat window lives on another thread and answers a request by sending the reply to the
    // main window, as the hook library does; the reply is dispatched while the request waits.
    std::atomic<HWND> chat{nullptr};
    std::atomic<DWORD> chatThread{0};
    HWND mainWindow = main_;
    std::thread t([&] {
        static HWND replyTo;
        replyTo = mainWindow;
        struct Proc {
            static LRESULT CALLBACK Chat(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
                if (msg == kHookNotify && wParam == hook::kRequestHistory) {
                    ::SendMessageW(replyTo, kHookNotify, hook::kRequestHistory, 0x00A1B2C4);
                    return 0;
                }
                return ::DefWindowProcW(hwnd, msg, wParam, lParam);
            }
        };
        WNDCLASSW wc{};
        wc.lpfnWndProc = Proc::Chat;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"ParlixDispatchTestChat";
        ::RegisterClassW(&wc);
        HWND w = ::CreateWindowExW(0, wc.lpszClassName, L"chat", WS_OVERLAPPED, 0, 0, 50, 50, nullptr,
                                   nullptr, wc.hInstance, nullptr);
        chatThread = ::GetCurrentThreadId();
        chat = w;
        MSG msg;
        while (::GetMessageW(&msg, nullptr, 0, 0) > 0)
            ::DispatchMessageW(&msg);
        ::DestroyWindow(w);
    });
    while (!chat)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));

    D().SetHookReply(0);
    DWORD_PTR answer = 0;
    ASSERT_TRUE(
        ::SendMessageTimeoutW(chat, kHookNotify, hook::kRequestHistory, 0, SMTO_ABORTIFHUNG, 5000, &answer));
    EXPECT_EQ(D().HookReply(), 0x00A1B2C4);
    ::PostThreadMessageW(chatThread, WM_QUIT, 0, 0);
    t.join();
}

// ---- wheel switching -------------------------------------------------------------------------

TEST_F(MainWindowDispatch, WheelCountsOverTheStripBandOrAnywhereWithCtrlOrRightButton) {
    struct Row {
        const char* what;
        WORD keys;
        int x, y; // client coordinates of the main window
        bool qualifies;
    };
    const Row rows[] = {
        {"inside the band", 0, 50, 20, true},
        {"first pixel inside", 0, 1, 11, true},
        {"last pixel inside", 0, 199, 29, true},
        {"on the left edge", 0, 0, 20, false},
        {"on the right edge", 0, 200, 20, false},
        {"on the top edge", 0, 50, 10, false},
        {"on the bottom edge", 0, 50, 30, false},
        {"over the chat area", 0, 50, 100, false},
        {"left of the window", 0, -5, 20, false},
        {"above the window", 0, 50, -40, false},
        {"Ctrl over the chat area", MK_CONTROL, 50, 100, true},
        {"right button over the chat area", MK_RBUTTON, 50, 100, true},
        {"right button far outside", MK_RBUTTON, -300, -90, true},
        {"Ctrl with Shift", MK_CONTROL | MK_SHIFT, 50, 100, true},
        {"Shift over the chat area", MK_SHIFT, 50, 100, false},
        {"left and middle buttons over the chat area", MK_LBUTTON | MK_MBUTTON, 50, 100, false},
        {"Shift inside the band", MK_SHIFT, 50, 20, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        Rehook();
        Clear();
        host_.band = {200, 10, 30};
        host_.count = 3;
        host_.selected = 0;
        Wheel(row.keys, -WHEEL_DELTA, row.x, row.y);
        Wheel(row.keys, -WHEEL_DELTA, row.x, row.y);
        EXPECT_EQ(host_.calls, (row.qualifies ? Calls{L"SelectTab(1)", L"HideNumbers"} : Calls{}));
        EXPECT_EQ(OwnSaw(WM_MOUSEWHEEL), 2) << "the wheel message always goes on";
    }
}

TEST_F(MainWindowDispatch, EveryTwoQualifyingWheelMessagesSwitchOneTabAndWrap) {
    struct Row {
        const char* what;
        int count;
        int selected;
        int delta;
        Calls calls;
    };
    const Row rows[] = {
        {"down from the last tab wraps to the first", 3, 2, -WHEEL_DELTA, {L"SelectTab(0)", L"HideNumbers"}},
        {"down moves to the next tab", 3, 0, -WHEEL_DELTA, {L"SelectTab(1)", L"HideNumbers"}},
        {"up from the first tab wraps to the last", 3, 0, WHEEL_DELTA, {L"SelectTab(2)", L"HideNumbers"}},
        {"up moves to the previous tab", 3, 2, WHEEL_DELTA, {L"SelectTab(1)", L"HideNumbers"}},
        {"zero delta counts as up", 3, 1, 0, {L"SelectTab(0)", L"HideNumbers"}},
        {"a big turn is still one step", 3, 0, -3 * WHEEL_DELTA, {L"SelectTab(1)", L"HideNumbers"}},
        {"one tab, down", 1, 0, -WHEEL_DELTA, {L"SelectTab(0)", L"HideNumbers"}},
        {"one tab, up", 1, 0, WHEEL_DELTA, {L"SelectTab(0)", L"HideNumbers"}},
        {"nothing selected, down", 3, -1, -WHEEL_DELTA, {L"SelectTab(0)", L"HideNumbers"}},
        {"nothing selected, up", 3, -1, WHEEL_DELTA, {L"SelectTab(2)", L"HideNumbers"}},
        {"no tabs", 0, -1, -WHEEL_DELTA, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        Rehook();
        Clear();
        host_.count = row.count;
        host_.selected = row.selected;
        Wheel(MK_CONTROL, row.delta, 50, 100);
        EXPECT_EQ(host_.calls, Calls{}) << "one message alone changes nothing";
        Wheel(MK_CONTROL, row.delta, 50, 100);
        EXPECT_EQ(host_.calls, row.calls);
    }
}

TEST_F(MainWindowDispatch, WheelTicksSurviveMessagesThatDoNotQualify) {
    host_.band = {200, 10, 30};
    host_.count = 3;
    host_.selected = 0;
    Wheel(0, -WHEEL_DELTA, 50, 20);  // counts
    Wheel(0, -WHEEL_DELTA, 50, 100); // over the chat: ignored
    EXPECT_EQ(host_.calls, Calls{});
    Wheel(0, -WHEEL_DELTA, 50, 20); // second qualifying one
    EXPECT_EQ(host_.calls, (Calls{L"SelectTab(1)", L"HideNumbers"}));
    for (int i = 0; i < 4; ++i)
        Wheel(MK_RBUTTON, -WHEEL_DELTA, 50, 100);
    EXPECT_EQ(host_.calls, (Calls{L"SelectTab(1)", L"HideNumbers", L"SelectTab(2)", L"HideNumbers",
                                  L"SelectTab(0)", L"HideNumbers"}));
    EXPECT_EQ(OwnSaw(WM_MOUSEWHEEL), 7);
}

TEST_F(MainWindowDispatch, WheelPointsLeftOfAndAboveTheScreenOriginAreSigned) {
    // On a monitor left of or above the primary one screen coordinates are negative; they are
    // packed as 16-bit values and must come back signed.
    ASSERT_TRUE(::SetWindowPos(main_, nullptr, -700, -500, 400, 300, SWP_NOZORDER | SWP_NOACTIVATE));
    POINT origin{0, 0};
    ::ClientToScreen(main_, &origin);
    ASSERT_LT(origin.x, 0);
    ASSERT_LT(origin.y, 0);
    host_.band = {200, 10, 30};
    host_.count = 3;
    host_.selected = 0;
    Wheel(0, -WHEEL_DELTA, 50, 20);
    Wheel(0, -WHEEL_DELTA, 50, 20);
    EXPECT_EQ(host_.calls, (Calls{L"SelectTab(1)", L"HideNumbers"}));
    Clear();
    Wheel(0, -WHEEL_DELTA, 50, 100);
    Wheel(0, -WHEEL_DELTA, 50, 100);
    EXPECT_EQ(host_.calls, Calls{});
}

// ---- installation ------------------------------------------------------------------------------

TEST_F(MainWindowDispatch, HookingTwiceOrANullWindowIsRefused) {
    EXPECT_FALSE(D().HookMainWindow(main_));
    MessageDispatch other(host_);
    EXPECT_FALSE(other.HookMainWindow(nullptr));
    EXPECT_FALSE(other.UnhookMainWindow());
    Send(WM_HOTKEY, 4);
    EXPECT_EQ(host_.calls, Calls{L"KeyFunctions(4)"}) << "the first dispatcher alone answers";
}

TEST_F(MainWindowDispatch, UnhookingRestoresTheWindowsOwnRouting) {
    EXPECT_TRUE(D().UnhookMainWindow());
    EXPECT_FALSE(D().UnhookMainWindow());
    D().RegisterShellHook(main_);
    D().SetTaskbarCreatedMsg(TaskbarCreatedId());
    D().SetMainIsActive(true);
    const struct {
        UINT msg;
        WPARAM wParam;
        LPARAM lParam;
    } messages[] = {
        {WM_HOTKEY, 5, 0},
        {kTrayCallbackMsg, 0, WM_LBUTTONUP},
        {kHookNotify, hook::kClickAnswer, 1},
        {kHookNotify, hook::kGesture, hook::kGestureEnd},
        {kHookNotify, hook::kRequestHistory, 99},
        {ShellHookId(), HSHELL_WINDOWACTIVATED, 0},
        {TaskbarCreatedId(), 0, 0},
        {WM_ENTERSIZEMOVE, 0, 0},
        {WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, static_cast<WORD>(-WHEEL_DELTA)), 0},
    };
    for (const auto& m : messages) {
        EXPECT_EQ(Send(m.msg, m.wParam, m.lParam), kOwnAnswer);
        EXPECT_EQ(Send(m.msg, m.wParam, m.lParam), kOwnAnswer);
    }
    EXPECT_EQ(host_.calls, Calls{});
    EXPECT_TRUE(D().MainIsActive());
    EXPECT_FALSE(D().IsSizing());
    EXPECT_EQ(D().HookReply(), 0);
    EXPECT_EQ(OwnLog().size(), 2 * std::size(messages));

    ASSERT_TRUE(D().HookMainWindow(main_)) << "it can be installed again";
    Send(WM_HOTKEY, 6);
    EXPECT_EQ(host_.calls, Calls{L"KeyFunctions(6)"});
}

int g_laterSubclassSaw = 0;
LRESULT CALLBACK LaterSubclass(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    if (msg == WM_HOTKEY) ++g_laterSubclassSaw;
    return ::DefSubclassProc(hwnd, msg, wParam, lParam);
}

TEST_F(MainWindowDispatch, UnhookingKeepsASubclassInstalledAfterIt) {
    g_laterSubclassSaw = 0;
    ASSERT_TRUE(::SetWindowSubclass(main_, LaterSubclass, 7, 0));
    Send(WM_HOTKEY, 2);
    EXPECT_EQ(host_.calls, Calls{L"KeyFunctions(2)"});
    EXPECT_EQ(g_laterSubclassSaw, 1);

    EXPECT_TRUE(D().UnhookMainWindow());
    Clear();
    EXPECT_EQ(Send(WM_HOTKEY, 3), kOwnAnswer);
    EXPECT_EQ(host_.calls, Calls{});
    EXPECT_EQ(g_laterSubclassSaw, 2);
    EXPECT_EQ(OwnSaw(WM_HOTKEY), 1);
    ::RemoveWindowSubclass(main_, LaterSubclass, 7);
}

TEST_F(MainWindowDispatch, DestroyingTheDispatcherUnhooksTheWindow) {
    dispatch_.reset();
    EXPECT_EQ(Send(WM_HOTKEY, 5), kOwnAnswer);
    EXPECT_EQ(host_.calls, Calls{});
    EXPECT_EQ(OwnSaw(WM_HOTKEY), 1);
    dispatch_.emplace(host_);
}

TEST_F(MainWindowDispatch, DestroyingTheMainWindowReleasesTheDispatcher) {
    ASSERT_TRUE(::DestroyWindow(main_));
    windows_.erase(std::find(windows_.begin(), windows_.end(), main_));
    EXPECT_FALSE(D().UnhookMainWindow()) << "already released at WM_NCDESTROY";
    main_ = MakeMain(0);
    ASSERT_TRUE(D().HookMainWindow(main_));
    Send(WM_HOTKEY, 9);
    EXPECT_EQ(host_.calls, Calls{L"KeyFunctions(9)"});
}

TEST_F(MainWindowDispatch, MainWindowDestroyedInsideAHandlerReleasesTheDispatcher) {
    // The session end unloads the main window from inside the dispatch.
    HWND dying = main_;
    host_.onEndSession = [&] { ::DestroyWindow(dying); };
    Send(WM_QUERYENDSESSION);
    EXPECT_EQ(host_.calls, Calls{L"EndSession"});
    EXPECT_FALSE(::IsWindow(dying));
    EXPECT_FALSE(D().UnhookMainWindow());
    EXPECT_TRUE(reports_.empty());
    host_.onEndSession = nullptr;
    windows_.erase(std::find(windows_.begin(), windows_.end(), dying));

    main_ = MakeMain(0);
    ASSERT_TRUE(D().HookMainWindow(main_));
    Clear();
    Send(WM_HOTKEY, 9);
    EXPECT_EQ(host_.calls, Calls{L"KeyFunctions(9)"});
}

// ---- failures ----------------------------------------------------------------------------------

std::vector<std::wstring> Lines(const std::wstring& text) {
    std::vector<std::wstring> lines;
    size_t start = 0;
    for (;;) {
        const size_t end = text.find(L"\r\n", start);
        lines.push_back(text.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start));
        if (end == std::wstring::npos) return lines;
        start = end + 2;
    }
}

TEST_F(MainWindowDispatch, HostFailureIsReportedWithTheContinueQuestionAndDispatchGoesOn) {
    D().RegisterShellHook(main_);
    HWND top = Window(L"top");
    HWND chat = Window(L"chat");
    struct Row {
        const char* what;
        const wchar_t* failingCall;
        UINT msg;
        WPARAM wParam;
        LPARAM lParam;
        LRESULT result; // the window's own answer: a failed handler does not answer
    };
    const Row rows[] = {
        {"detect", L"DetectWindow", ShellHookId(), HSHELL_WINDOWCREATED, reinterpret_cast<LPARAM>(top),
         kOwnAnswer},
        {"hotkey", L"KeyFunctions", WM_HOTKEY, 3, 0, kOwnAnswer},
        {"tray", L"TrayAction", kTrayCallbackMsg, 0, WM_LBUTTONUP, kOwnAnswer},
        {"middle click", L"SetQQFocusByHwnd", kHookNotify, hook::kClickAnswer, reinterpret_cast<LPARAM>(chat),
         kOwnAnswer},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        Clear();
        reports_.clear();
        host_.throwIn = row.failingCall;
        EXPECT_EQ(Send(row.msg, row.wParam, row.lParam), row.result);
        ASSERT_EQ(reports_.size(), 1u);
        EXPECT_EQ(reports_[0].title, L"出错啦~~");
        EXPECT_TRUE(reports_[0].yesNo);
        const auto lines = Lines(reports_[0].text);
        ASSERT_EQ(lines.size(), 6u) << reports_[0].text;
        EXPECT_EQ(lines[0], L"Parlix.modProc.WndProc 发生错误。");
        EXPECT_EQ(lines[1], L"错误描述：host failed");
        EXPECT_EQ(lines[2].rfind(L"错误编号：", 0), 0u);
        EXPECT_EQ(lines[3].rfind(L"行号：", 0), 0u);
        EXPECT_GT(lines[3].size(), std::wstring(L"行号：").size());
        EXPECT_EQ(lines[4], L"");
        EXPECT_EQ(lines[5], L"是否尝试忽略错误而继续执行程序？");
        EXPECT_EQ(OwnSaw(row.msg), 1);

        host_.throwIn.clear();
        Clear();
        Send(WM_HOTKEY, 7);
        Send(kHookNotify, hook::kRequestInput, 4242);
        EXPECT_EQ(host_.calls, Calls{L"KeyFunctions(7)"});
        EXPECT_EQ(D().HookReply(), 4242);
        EXPECT_EQ(reports_.size(), 1u);
    }
}

} // namespace
} // namespace parlix::test
