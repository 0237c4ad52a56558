// The live window tree the recognition and discovery logic reads: titles and class names of any
// length and content, FindWindowEx-style searches, styles and owners, and windows that are gone.
#include "capture/window_tree_win.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace parlix::test {
namespace {

constexpr wchar_t kPlainClass[] = L"ParlixTreeTestPlain";
constexpr wchar_t kOtherClass[] = L"ParlixTreeTestOther";
constexpr wchar_t kAnswerClass[] = L"ParlixTreeTestAnswer";

// What a window of kAnswerClass answers to WM_GETTEXT: `text` copied into the caller's buffer
// (never more than the buffer holds) and `result` returned, whatever was copied.
struct TextAnswer {
    std::wstring text;
    LRESULT result = 0;
    WPARAM bufferSeen = 0;
};
TextAnswer g_answer;

LRESULT CALLBACK AnswerProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_GETTEXT) {
        g_answer.bufferSeen = wParam;
        auto* out = reinterpret_cast<wchar_t*>(lParam);
        const size_t n = std::min(g_answer.text.size(), static_cast<size_t>(wParam));
        std::copy_n(g_answer.text.data(), n, out);
        return g_answer.result;
    }
    return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

bool RegisterClassNamed(const std::wstring& name, WNDPROC proc = ::DefWindowProcW) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpfnWndProc = proc;
    wc.lpszClassName = name.c_str();
    return ::RegisterClassExW(&wc) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

void RegisterClasses() {
    static const bool done = RegisterClassNamed(kPlainClass) && RegisterClassNamed(kOtherClass) &&
                             RegisterClassNamed(kAnswerClass, AnswerProc);
    ASSERT_TRUE(done);
}

class WindowTreeTest : public ::testing::Test {
  protected:
    void SetUp() override { RegisterClasses(); }
    void TearDown() override {
        for (auto it = windows_.rbegin(); it != windows_.rend(); ++it)
            ::DestroyWindow(*it);
    }

    HWND Make(const std::wstring& className, const std::wstring& title = L"", HWND parent = nullptr,
              DWORD style = WS_OVERLAPPED, DWORD exStyle = 0) {
        if (parent && !(style & WS_POPUP)) style |= WS_CHILD;
        HWND w = ::CreateWindowExW(exStyle, className.c_str(), title.c_str(), style, 0, 0, 50, 50, parent,
                                   nullptr, ::GetModuleHandleW(nullptr), nullptr);
        EXPECT_NE(w, nullptr) << "class of " << className.size() << " characters";
        if (w) windows_.push_back(w);
        return w;
    }

    Win32WindowTree tree_;
    std::vector<HWND> windows_;
};

// ---- titles ----------------------------------------------------------------------------------

TEST_F(WindowTreeTest, TitlesAreReadUpTo259CharactersWhateverTheirContent) {
    const std::wstring x259(259, L'x');
    struct Row {
        const char* what;
        std::wstring set;
        std::wstring read;
    };
    const Row rows[] = {
        {"empty", L"", L""},
        {"one character", L"a", L"a"},
        {"Chinese", L"与 甲 会话中", L"与 甲 会话中"},
        {"258 characters", std::wstring(258, L'y'), std::wstring(258, L'y')},
        {"259 characters", x259, x259},
        {"260 characters: the buffer's terminator takes the last one", x259 + L"Z", x259},
        {"261 characters", x259 + L"YZ", x259},
        {"4000 characters", x259 + std::wstring(3741, L'q'), x259},
        {"pair cut in half at the limit", std::wstring(258, L'p') + L"\xD83D\xDE00",
         std::wstring(258, L'p') + L"\xD83D"},
        {"pair just inside the limit", std::wstring(257, L'p') + L"\xD83D\xDE00",
         std::wstring(257, L'p') + L"\xD83D\xDE00"},
        {"lone high surrogate first",
         L"\xD800"
         L"abc",
         L"\xD800"
         L"abc"},
        {"lone low surrogate last", L"abc\xDC00", L"abc\xDC00"},
        {"reversed pair", L"\xDE00\xD83D", L"\xDE00\xD83D"},
        {"non-characters", L"\xFFFE\xFFFF", L"\xFFFE\xFFFF"},
        {"control characters", L"\t\r\n\x1B", L"\t\r\n\x1B"},
        {"embedded NUL: only the text before it is set", std::wstring(L"ab\0cd", 5), L"ab"},
    };
    HWND w = Make(kPlainClass);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        ASSERT_TRUE(::SetWindowTextW(w, row.set.c_str()));
        if (row.set.find(L'\0') == std::wstring::npos) {
            ASSERT_EQ(::GetWindowTextLengthW(w), static_cast<int>(row.set.size()))
                << "the window keeps it all";
        }
        EXPECT_EQ(tree_.Title(FromHwnd(w)), row.read);
    }
}

TEST_F(WindowTreeTest, LongTitleGivenAtCreationIsCutTheSameWay) {
    const std::wstring title = std::wstring(259, L'c') + L"tail";
    HWND w = Make(kPlainClass, title);
    EXPECT_EQ(tree_.Title(FromHwnd(w)), title.substr(0, 259));
}

TEST_F(WindowTreeTest, TitleTrustsNoLengthTheWindowAnswers) {
    // A window that answers WM_GETTEXT itself may claim any length; the read never goes past
    // the 260-character buffer, and what it keeps is what the window wrote.
    struct Row {
        const char* what;
        std::wstring text;
        LRESULT result;
        std::wstring read;
    };
    const std::wstring full(260, L'f'); // fills the buffer without a terminator
    const Row rows[] = {
        {"honest", L"hello", 5, L"hello"},
        {"claims less than it wrote", L"hello", 2, L"he"},
        {"claims more than the buffer", L"hello", 100000, std::wstring(L"hello") + std::wstring(254, L'\0')},
        {"fills the buffer and claims all of it", full, 260, full.substr(0, 259)},
        {"fills the buffer and claims more", full, 261, full.substr(0, 259)},
        {"negative", L"hello", -1, L""},
        {"zero", L"hello", 0, L""},
        {"embedded NUL within the claimed length", std::wstring(L"ab\0cd", 5), 5, std::wstring(L"ab\0cd", 5)},
    };
    HWND w = Make(kAnswerClass);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        g_answer = {row.text, row.result, 0};
        EXPECT_EQ(tree_.Title(FromHwnd(w)), row.read);
        EXPECT_EQ(g_answer.bufferSeen, 260u);
    }
}

// ---- class names -------------------------------------------------------------------------------

TEST_F(WindowTreeTest, ClassNamesAreReadWhole) {
    struct Row {
        const char* what;
        std::wstring name;
    };
    const Row rows[] = {
        {"one character", L"Q"},
        {"longest a class can have", std::wstring(255, L'L')},
        {"spaces and punctuation", L" Parlix {odd} 'class' \"#1\" ; "},
        {"Chinese", L"聊天窗口类"},
        {"lone surrogate", L"\xD800"
                           L"lone"},
        {"like a Fetion class", L"WindowsForms10.Window.8.app.0.33c0d9d"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        ASSERT_TRUE(RegisterClassNamed(row.name));
        HWND w = Make(row.name);
        EXPECT_EQ(tree_.ClassName(FromHwnd(w)), row.name);
    }
}

INT_PTR CALLBACK EmptyDialogProc(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

TEST_F(WindowTreeTest, SystemClassesAndDialogsReadTheirUsualNames) {
    struct Row {
        const wchar_t* create;
        const wchar_t* read;
    };
    const Row rows[] = {{L"Button", L"Button"}, {L"EDIT", L"Edit"}, {L"static", L"Static"}};
    HWND parent = Make(kPlainClass);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.create);
        EXPECT_EQ(tree_.ClassName(FromHwnd(Make(row.create, L"", parent))), row.read);
    }

    // An empty dialog from an in-memory template: the dialog class "#32770".
    alignas(DWORD) WORD tmpl[16] = {};
    auto* dlg = reinterpret_cast<DLGTEMPLATE*>(tmpl);
    dlg->style = WS_POPUP;
    dlg->cx = 100;
    dlg->cy = 50;
    HWND dialog = ::CreateDialogIndirectParamW(::GetModuleHandleW(nullptr), dlg, nullptr, EmptyDialogProc, 0);
    ASSERT_NE(dialog, nullptr);
    windows_.push_back(dialog);
    EXPECT_EQ(tree_.ClassName(FromHwnd(dialog)), L"#32770");
}

// ---- FindChild ---------------------------------------------------------------------------------

// Every match in z-order, by walking with `after`.
std::vector<Hwnd> Walk(const WindowTree& tree, Hwnd parent, std::optional<std::wstring_view> cls,
                       std::optional<std::wstring_view> title) {
    std::vector<Hwnd> found;
    Hwnd after{};
    for (int guard = 0; guard < 20; ++guard) {
        after = tree.FindChild(parent, after, cls, title);
        if (!after) break;
        found.push_back(after);
    }
    return found;
}

TEST_F(WindowTreeTest, FindChildWalksTheChildrenInZOrderMatchingClassAndTitle) {
    HWND parent = Make(kPlainClass, L"parent");
    struct Child {
        const wchar_t* cls;
        const wchar_t* title;
    };
    const Child children[] = {
        {kPlainClass, L"one"}, {kPlainClass, L""}, {kOtherClass, L"one"},
        {kPlainClass, L"one"}, {kOtherClass, L""},
    };
    std::vector<Hwnd> c;
    for (const Child& s : children) {
        HWND w = Make(s.cls, s.title, parent);
        ::SetWindowPos(w, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        c.push_back(FromHwnd(w));
    }
    HWND grandchild = Make(kPlainClass, L"one", ToHwnd(c[0]));
    (void)grandchild;
    // The order the searches must follow: the children as created, each put at the bottom.
    std::vector<Hwnd> zOrder;
    for (HWND w = ::GetWindow(parent, GW_CHILD); w; w = ::GetWindow(w, GW_HWNDNEXT))
        zOrder.push_back(FromHwnd(w));
    ASSERT_EQ(zOrder, c);

    using V = std::optional<std::wstring_view>;
    struct Row {
        const char* what;
        V cls;
        V title;
        std::vector<Hwnd> found;
    };
    const Row rows[] = {
        {"any class, any title", std::nullopt, std::nullopt, c},
        {"by class", kPlainClass, std::nullopt, {c[0], c[1], c[3]}},
        {"by title", std::nullopt, L"one", {c[0], c[2], c[3]}},
        {"empty title matches only untitled windows", std::nullopt, L"", {c[1], c[4]}},
        {"class and empty title", kOtherClass, L"", {c[4]}},
        {"class and title", kOtherClass, L"one", {c[2]}},
        {"no such class", L"ParlixTreeTestNone", std::nullopt, {}},
        {"no prefix match of the title", std::nullopt, L"on", {}},
        {"no match with a trailing space", std::nullopt, L"one ", {}},
        {"no prefix match of the class", L"ParlixTreeTest", std::nullopt, {}},
        {"class with an embedded NUL", std::wstring_view(L"ParlixTreeTestPlain\0x", 21), std::nullopt, {}},
        {"title with an embedded NUL", std::nullopt, std::wstring_view(L"one\0x", 5), {}},
        {"title that is a single NUL", std::nullopt, std::wstring_view(L"\0", 1), {}},
        {"empty class", L"", std::nullopt, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(Walk(tree_, FromHwnd(parent), row.cls, row.title), row.found);
    }
}

TEST_F(WindowTreeTest, FindChildMatchesTitlesAndClassesIgnoringCase) {
    // FindWindowEx compares without case; the recognition rules must not rely on case.
    HWND parent = Make(kPlainClass);
    HWND child = Make(kOtherClass, L"Chat With Someone", parent);
    EXPECT_EQ(tree_.FindChild(FromHwnd(parent), {}, std::nullopt, L"chat with someone"), FromHwnd(child));
    EXPECT_EQ(tree_.FindChild(FromHwnd(parent), {}, L"PARLIXTREETESTOTHER", std::nullopt), FromHwnd(child));
}

TEST_F(WindowTreeTest, FindChildComparesTheWholeTitleNotTheCutOneTitleReads) {
    HWND parent = Make(kPlainClass);
    const std::wstring title = std::wstring(300, L'g');
    HWND child = Make(kOtherClass, title, parent);
    const std::wstring read = tree_.Title(FromHwnd(child));
    ASSERT_EQ(read.size(), 259u);
    EXPECT_EQ(tree_.FindChild(FromHwnd(parent), {}, std::nullopt, title), FromHwnd(child));
    EXPECT_EQ(tree_.FindChild(FromHwnd(parent), {}, std::nullopt, read), Hwnd{});
}

TEST_F(WindowTreeTest, FindChildWithoutParentSearchesTopLevelWindowsOnly) {
    const std::wstring cls = L"ParlixTreeTestTopOnly";
    ASSERT_TRUE(RegisterClassNamed(cls));
    HWND top = Make(kPlainClass, L"ParlixTreeTest top window");
    HWND child = Make(cls, L"ParlixTreeTest child window", top);
    HWND topOfClass = Make(cls, L"ParlixTreeTest second top window");
    EXPECT_EQ(tree_.FindChild({}, {}, cls, std::nullopt), FromHwnd(topOfClass));
    EXPECT_EQ(tree_.FindChild({}, FromHwnd(topOfClass), cls, std::nullopt), Hwnd{});
    EXPECT_EQ(tree_.FindChild({}, {}, std::nullopt, L"ParlixTreeTest top window"), FromHwnd(top));
    EXPECT_EQ(tree_.FindChild({}, {}, std::nullopt, L"ParlixTreeTest child window"), Hwnd{});
    EXPECT_EQ(tree_.FindChild(FromHwnd(top), {}, cls, std::nullopt), FromHwnd(child));
}

TEST_F(WindowTreeTest, FindChildAfterAWindowThatIsNotAChildFindsNothing) {
    HWND parent = Make(kPlainClass);
    HWND a = Make(kOtherClass, L"a", parent);
    HWND b = Make(kOtherClass, L"b", parent);
    HWND grandchild = Make(kOtherClass, L"g", a);
    HWND stranger = Make(kOtherClass, L"s");
    ASSERT_EQ(::GetWindow(parent, GW_CHILD), a);
    EXPECT_EQ(tree_.FindChild(FromHwnd(parent), FromHwnd(a), std::nullopt, std::nullopt), FromHwnd(b));
    EXPECT_EQ(tree_.FindChild(FromHwnd(parent), FromHwnd(grandchild), std::nullopt, std::nullopt), Hwnd{});
    EXPECT_EQ(tree_.FindChild(FromHwnd(parent), FromHwnd(stranger), std::nullopt, std::nullopt), Hwnd{});
    EXPECT_EQ(tree_.FindChild(FromHwnd(parent), FromHwnd(parent), std::nullopt, std::nullopt), Hwnd{});
}

// ---- styles and owners -------------------------------------------------------------------------

TEST_F(WindowTreeTest, StylesOfOwnWindowsCarryTheRequestedBits) {
    struct Row {
        const char* what;
        DWORD style;
        DWORD exStyle;
        bool child;
    };
    const Row rows[] = {
        {"overlapped window", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, WS_EX_APPWINDOW, false},
        {"popup: the top bit", WS_POPUP | WS_BORDER, WS_EX_TOOLWINDOW | WS_EX_TOPMOST, false},
        {"layered popup", WS_POPUP, WS_EX_LAYERED | WS_EX_NOACTIVATE, false},
        {"child", WS_CHILD | WS_TABSTOP | WS_DISABLED | WS_VSCROLL, WS_EX_CLIENTEDGE, true},
    };
    HWND parent = Make(kPlainClass);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        HWND w = Make(kPlainClass, L"", row.child ? parent : nullptr, row.style, row.exStyle);
        EXPECT_EQ(tree_.Style(FromHwnd(w)) & row.style, row.style);
        EXPECT_EQ(tree_.ExStyle(FromHwnd(w)) & row.exStyle, row.exStyle);
        EXPECT_EQ((tree_.Style(FromHwnd(w)) & WS_CHILD) != 0, row.child);
        EXPECT_EQ(tree_.Style(FromHwnd(w)) & WS_VISIBLE, 0u);
    }
    HWND w = Make(kPlainClass, L"", nullptr, WS_POPUP);
    ::ShowWindow(w, SW_SHOWNA);
    EXPECT_EQ(tree_.Style(FromHwnd(w)) & WS_VISIBLE, static_cast<std::uint32_t>(WS_VISIBLE)) << "read live";
}

TEST_F(WindowTreeTest, ProcessAndThreadAreThoseThatCreatedTheWindow) {
    HWND own = Make(kPlainClass);
    EXPECT_EQ(tree_.ProcessId(FromHwnd(own)), ::GetCurrentProcessId());
    EXPECT_EQ(tree_.ThreadId(FromHwnd(own)), ::GetCurrentThreadId());

    std::atomic<HWND> other{nullptr};
    std::atomic<DWORD> otherThread{0};
    std::atomic<bool> done{false};
    std::thread t([&] {
        HWND w = ::CreateWindowExW(0, kPlainClass, L"", WS_OVERLAPPED, 0, 0, 50, 50, nullptr, nullptr,
                                   ::GetModuleHandleW(nullptr), nullptr);
        otherThread = ::GetCurrentThreadId();
        other = w;
        while (!done)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        ::DestroyWindow(w);
    });
    while (!other)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_EQ(tree_.ProcessId(FromHwnd(other)), ::GetCurrentProcessId());
    EXPECT_EQ(tree_.ThreadId(FromHwnd(other)), otherThread.load());
    EXPECT_NE(tree_.ThreadId(FromHwnd(other)), ::GetCurrentThreadId());
    done = true;
    t.join();
}

// ---- windows that are gone ---------------------------------------------------------------------

TEST_F(WindowTreeTest, GoneOrNullWindowsReadAsEmpty) {
    HWND w = Make(kPlainClass, L"soon gone", nullptr, WS_POPUP, WS_EX_TOOLWINDOW);
    HWND child = Make(kOtherClass, L"child", w);
    ASSERT_TRUE(::DestroyWindow(w));
    windows_.clear();
    ASSERT_FALSE(::IsWindow(w));
    struct Row {
        const char* what;
        Hwnd window;
    };
    const Row rows[] = {
        {"destroyed", FromHwnd(w)},
        {"destroyed with its parent", FromHwnd(child)},
        {"null", Hwnd{}},
        {"never existed", Hwnd{0x7FFF0000u}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(tree_.Title(row.window), L"");
        EXPECT_EQ(tree_.ClassName(row.window), L"");
        EXPECT_EQ(tree_.Style(row.window), 0u);
        EXPECT_EQ(tree_.ExStyle(row.window), 0u);
        EXPECT_EQ(tree_.ProcessId(row.window), 0u);
        EXPECT_EQ(tree_.ThreadId(row.window), 0u);
    }
    EXPECT_EQ(tree_.FindChild(FromHwnd(w), {}, std::nullopt, std::nullopt), Hwnd{});
    HWND parent = Make(kPlainClass);
    Make(kOtherClass, L"", parent);
    EXPECT_EQ(tree_.FindChild(FromHwnd(parent), FromHwnd(child), std::nullopt, std::nullopt), Hwnd{});
}

// ---- waiting -----------------------------------------------------------------------------------

TEST_F(WindowTreeTest, WaitSleepsOnlyForPositiveDurations) {
    using Clock = std::chrono::steady_clock;
    // A negative duration handed to Sleep would be INFINITE (the test run's time limit would
    // end it as a failure).
    for (int ms : {0, -1, -1000}) {
        SCOPED_TRACE(ms);
        const auto start = Clock::now();
        tree_.Wait(ms);
        EXPECT_LT(Clock::now() - start, std::chrono::seconds(60));  // far below INFINITE
    }
    const auto start = Clock::now();
    tree_.Wait(60);
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(50));
}

// A client answering one of our requests sends to us while we wait for its title: the answer is
// taken during the wait, not after it (the client would be stuck, its timers too).
TEST_F(WindowTreeTest, WaitAnswersMessagesSentToUsMeanwhile) {
    const HWND us = Make(kPlainClass);
    std::atomic<bool> answered{false};
    std::thread client([&] {
        DWORD_PTR result = 0;
        answered = ::SendMessageTimeoutW(us, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result) != 0;
    });
    tree_.Wait(1500);
    const bool answeredDuringWait = answered;
    client.join();
    EXPECT_TRUE(answeredDuringWait);
}

} // namespace
} // namespace parlix::test
