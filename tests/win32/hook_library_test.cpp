// Parlix.dll injected into a simulated client: requests answered from inside the client before
// the request returns, and the notices of keys, clicks, gestures and shown windows.
#include "capture/discovery_win.h"
#include "capture/hook_library_win.h"
#include "tests/support/fakeim_client.h"
#include "tests/support/windows.h"
#include "tests/win32/notify_recorder.h"

#include <gtest/gtest.h>

namespace parlix::test {
namespace {

using hook::kWmHookNotify;

class HookLibraryTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(lib_.Load());
        im_ = FakeIm::Launch(dir_.Path(), L"QQ.exe");
        ASSERT_NE(im_, nullptr);
        chat_ = im_->Open(L"qq2009", L"李四");
        ASSERT_NE(chat_, nullptr);
        thread_ = ::GetWindowThreadProcessId(chat_, nullptr);
        keyboardHook_ = lib_.InitHook(recorder_.Hwnd(), thread_);
        windowHook_ = lib_.InitHookProc(thread_);
        ASSERT_NE(keyboardHook_, nullptr);
        ASSERT_NE(windowHook_, nullptr);
    }
    void TearDown() override {
        lib_.EnableMouseGesture(false);
        lib_.EndHook(keyboardHook_);
        lib_.EndHook(windowHook_);
    }

    // Sends a request the way the main program does; the answer must be recorded on return.
    std::optional<LPARAM> Request(HWND chat, WPARAM code) {
        recorder_.notices.clear();
        DWORD_PTR ignored = 0;
        if (!::SendMessageTimeoutW(chat, kWmHookNotify, code, 0, SMTO_ABORTIFHUNG, 3000, &ignored)) return std::nullopt;
        const auto answers = recorder_.Of(kWmHookNotify, code);
        if (answers.size() != 1) return std::nullopt;
        return answers.front().value;
    }

    // Puts the chat window into the recorder as Parlix does, so its input counts as captured.
    void Embed(HWND chat) {
        ::SetWindowLongW(chat, GWL_STYLE, (::GetWindowLongW(chat, GWL_STYLE) | WS_CHILD) & ~WS_POPUP);
        ::SetParent(chat, recorder_.Hwnd());
        ASSERT_EQ(::GetAncestor(chat, GA_ROOT), recorder_.Hwnd());
    }

    bool WaitForNotices(size_t count) {
        return WaitFor([&] { return recorder_.notices.size() >= count; });
    }

    HookLibrary lib_;
    TempDir dir_{L"parlix-hook"};
    NotifyRecorder recorder_;
    std::unique_ptr<FakeIm> im_;
    HWND chat_ = nullptr;
    DWORD thread_ = 0;
    HHOOK keyboardHook_ = nullptr;
    HHOOK windowHook_ = nullptr;
};

TEST_F(HookLibraryTest, HistoryRequestAnswersTheRecordBeforeTheRequestReturns) {
    ASSERT_EQ(im_->Command(L"append|" + HwndArg(chat_) + L"|晚上好"), 1);
    const auto address = Request(chat_, hook::kRequestHistory);
    ASSERT_TRUE(address.has_value());
    ASSERT_NE(*address, 0);

    ScopedHandle process(::OpenProcess(PROCESS_VM_READ | PROCESS_QUERY_INFORMATION, FALSE, im_->Pid()));
    const auto length = RemoteTextLength(process.get(), static_cast<std::uint32_t>(*address));
    ASSERT_TRUE(length.has_value());
    const auto text = ReadRemoteText(process.get(), static_cast<std::uint32_t>(*address), *length);
    ASSERT_TRUE(text.has_value());
    EXPECT_TRUE(text->ends_with(L"晚上好")) << "history does not end with the appended message";
}

TEST_F(HookLibraryTest, InputRequestAnswersTheChatsInputBox) {
    const auto input = Request(chat_, hook::kRequestInput);
    ASSERT_TRUE(input.has_value());
    const HWND box = reinterpret_cast<HWND>(*input);
    EXPECT_TRUE(::IsChild(chat_, box));
    EXPECT_EQ(box, static_cast<HWND>(::GetPropW(chat_, L"ImInputBox")));
}

TEST_F(HookLibraryTest, FocusRequestIsAnsweredToo) { EXPECT_TRUE(Request(chat_, hook::kRequestFocus).has_value()); }

TEST_F(HookLibraryTest, WindowWithoutHistoryRecordAnswersZero) {
    const HWND dialog = im_->Open(L"dialog", L"与 张三 交谈中");
    EXPECT_EQ(Request(dialog, hook::kRequestHistory), LPARAM{0});
}

TEST_F(HookLibraryTest, NewTopLevelWindowIsReportedOnceWhenFirstShown) {
    recorder_.notices.clear();
    const HWND later = im_->Open(L"dialog", L"与 王五 交谈中", L"hidden");
    ASSERT_NE(later, nullptr);
    // Notices come in order: once the one of a window shown afterwards is in, a notice of the
    // hidden window would be in too.
    const HWND first = im_->Open(L"dialog", L"与 赵六 交谈中");
    ASSERT_TRUE(WaitFor([&] { return !recorder_.Of(kWmHookNotify, hook::kWindowShown).empty(); }));
    ASSERT_EQ(recorder_.Of(kWmHookNotify, hook::kWindowShown).size(), 1u) << "hidden window reported";
    EXPECT_EQ(recorder_.Of(kWmHookNotify, hook::kWindowShown).front().value, reinterpret_cast<LPARAM>(first));
    ASSERT_EQ(im_->Command(L"show|" + HwndArg(later) + L"|show"), 1);
    ASSERT_TRUE(WaitFor([&] { return recorder_.Of(kWmHookNotify, hook::kWindowShown).size() >= 2; }));
    EXPECT_EQ(recorder_.Of(kWmHookNotify, hook::kWindowShown)[1].value, reinterpret_cast<LPARAM>(later));

    // Hidden and shown again (as re-parenting does): not reported again.
    im_->Command(L"show|" + HwndArg(later) + L"|hide");
    im_->Command(L"show|" + HwndArg(later) + L"|show");
    const HWND marker = im_->Open(L"dialog", L"与 孙八 交谈中");
    ASSERT_TRUE(WaitFor([&] { return recorder_.Of(kWmHookNotify, hook::kWindowShown).size() >= 3; }));
    const auto shown = recorder_.Of(kWmHookNotify, hook::kWindowShown);
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[2].value, reinterpret_cast<LPARAM>(marker));
}

TEST_F(HookLibraryTest, WindowShownBeforeTheHookIsNotReportedWhenShownAgain) {
    // chat_ was shown before its thread was hooked (the start-up scan finds such windows).
    recorder_.notices.clear();
    ASSERT_EQ(im_->Command(L"show|" + HwndArg(chat_) + L"|hide"), 1);
    ASSERT_EQ(im_->Command(L"show|" + HwndArg(chat_) + L"|show"), 1);
    const HWND marker = im_->Open(L"dialog", L"与 赵六 交谈中");
    ASSERT_TRUE(WaitFor([&] { return !recorder_.Of(kWmHookNotify, hook::kWindowShown).empty(); }));
    const auto shown = recorder_.Of(kWmHookNotify, hook::kWindowShown);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown.front().value, reinterpret_cast<LPARAM>(marker));
}

TEST_F(HookLibraryTest, ClickAndCtrlInCapturedChatAreReported) {
    Embed(chat_);
    const HWND input = static_cast<HWND>(::GetPropW(chat_, L"ImInputBox"));
    ASSERT_NE(input, nullptr);
    recorder_.notices.clear();
    ::PostMessageW(input, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    ::PostMessageW(input, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    ::PostMessageW(input, WM_KEYDOWN, VK_CONTROL, 1);
    ::PostMessageW(input, WM_KEYDOWN, VK_CONTROL, 1 | (1 << 30));  // auto-repeat: not reported again
    ::PostMessageW(input, WM_KEYUP, VK_CONTROL, 1 | (3u << 30));
    ::PostMessageW(input, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));  // a marker after the keys
    ASSERT_TRUE(WaitForNotices(4));
    const std::vector<Notice> expected = {
        {kWmHookNotify, hook::kClick, reinterpret_cast<LPARAM>(chat_)},
        {kWmHookNotify, hook::kKeyState, hook::kKeyDown},
        {kWmHookNotify, hook::kKeyState, hook::kKeyUp},
        {kWmHookNotify, hook::kClick, reinterpret_cast<LPARAM>(chat_)},
    };
    EXPECT_EQ(recorder_.notices, expected);
}

TEST_F(HookLibraryTest, InputOfWindowsOutsideParlixIsNotReported) {
    const HWND input = static_cast<HWND>(::GetPropW(chat_, L"ImInputBox"));
    recorder_.notices.clear();
    ::PostMessageW(input, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    ::PostMessageW(input, WM_KEYDOWN, VK_CONTROL, 1);
    // Posted messages are taken in order: once a window closed by a later post is gone, the
    // input has been handled.
    const HWND closing = im_->Open(L"dialog", L"与 周九 交谈中");
    ::PostMessageW(closing, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(closing); }));
    const HWND marker = im_->Open(L"dialog", L"与 赵六 交谈中");
    ASSERT_TRUE(WaitFor([&] { return recorder_.Of(kWmHookNotify, hook::kWindowShown).size() >= 2; }));
    ASSERT_EQ(recorder_.notices.size(), 2u);  // the two windows shown, nothing of the input
    EXPECT_EQ(recorder_.notices.front().value, reinterpret_cast<LPARAM>(closing));
    EXPECT_EQ(recorder_.notices.back().value, reinterpret_cast<LPARAM>(marker));
}

TEST_F(HookLibraryTest, RightButtonDragIsReportedAsGestureOnlyWhenEnabled) {
    Embed(chat_);
    const HWND input = static_cast<HWND>(::GetPropW(chat_, L"ImInputBox"));
    const auto drag = [&] {
        recorder_.notices.clear();
        ::PostMessageW(input, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(10, 10));
        ::PostMessageW(input, WM_MOUSEMOVE, MK_RBUTTON, MAKELPARAM(40, 10));
        ::PostMessageW(input, WM_RBUTTONUP, 0, MAKELPARAM(80, 10));
        ::PostMessageW(input, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));  // a marker after the drag
        WaitFor([&] { return !recorder_.Of(kWmHookNotify, hook::kClick).empty(); });
        return recorder_.Of(kWmHookNotify, hook::kGesture);
    };
    EXPECT_TRUE(drag().empty());

    lib_.EnableMouseGesture(true);
    recorder_.gestureAnswer = 1;
    const std::vector<Notice> expected = {
        {kWmHookNotify, hook::kGesture, hook::kGestureBegin},
        {kWmHookNotify, hook::kGesture, hook::kGesturePoint},
        {kWmHookNotify, hook::kGesture, hook::kGestureEnd},
    };
    EXPECT_EQ(drag(), expected);
}

TEST_F(HookLibraryTest, WheelWithRightButtonIsForwardedToTheMainWindow) {
    Embed(chat_);
    const HWND input = static_cast<HWND>(::GetPropW(chat_, L"ImInputBox"));
    recorder_.notices.clear();
    ::PostMessageW(input, WM_MOUSEWHEEL, MAKEWPARAM(MK_RBUTTON, static_cast<WORD>(-120)), MAKELPARAM(100, 100));
    ::PostMessageW(input, WM_MOUSEWHEEL, MAKEWPARAM(0, 120), MAKELPARAM(100, 100));  // plain scrolling stays
    ::PostMessageW(input, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    ASSERT_TRUE(WaitFor([&] { return !recorder_.Of(kWmHookNotify, hook::kClick).empty(); }));
    const auto wheels = recorder_.Of(WM_MOUSEWHEEL, MAKEWPARAM(MK_RBUTTON, static_cast<WORD>(-120)));
    EXPECT_EQ(wheels.size(), 1u);
    EXPECT_EQ(recorder_.notices.size(), 2u);
}

}  // namespace
}  // namespace parlix::test
