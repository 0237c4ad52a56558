// The window structures fakeim builds: the contract the capture engine's searches rely on.
#include "tests/support/fakeim_client.h"
#include "tests/support/windows.h"
#include "tests/win32/fakeim_test_util.h"

#include <gtest/gtest.h>

namespace parlix::test {
namespace {

constexpr LONG kGroupStyle = static_cast<LONG>(0x960F0000);
constexpr LONG kStyleMask = static_cast<LONG>(0xDEFFFFFF); // without WS_MINIMIZE, WS_MAXIMIZE
constexpr LONG kGroupExStyle = 0x300;

class FakeImWindows : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        dir_ = std::make_unique<TempDir>(L"fakeim-windows");
        im_ = FakeIm::Launch(dir_->Path(), L"QQ.exe");
    }
    static void TearDownTestSuite() {
        if (im_) im_->Command(L"quit");
        im_.reset();
        dir_.reset();
    }
    void SetUp() override { ASSERT_NE(im_, nullptr) << "fakeim did not start"; }

    static inline std::unique_ptr<TempDir> dir_;
    static inline std::unique_ptr<FakeIm> im_;
};

struct ChatShape {
    const wchar_t* kind;
    const wchar_t* options;
    const wchar_t* topClass; // "W": the Fetion window class of the process
    const wchar_t* children; // DescribeChildren of the top window
};

const ChatShape kChatShapes[] = {
    {L"dialog", L"", L"#32770", L"#32770{RichEdit20A}"},
    {L"qq2008beta1", L"", L"#32770",
     L"#32770{RICHEDIT,RichEdit20A,Button'发送(&S)',~AfxWnd42,AfxWnd42{RichEdit20A}}"},
    {L"tm2005", L"", L"#32770", L"#32770{RICHEDIT,RichEdit20A,Button'发送(&S)',AfxWnd42{RICHEDIT}}"},
    {L"tm2007", L"", L"#32770", L"#32770{RICHEDIT,RichEdit20A}"},
    {L"qq2008", L"", L"#32770", L"RichEdit20A,AfxWnd42,AfxWnd42,AfxWnd42{RichEdit20A}"},
    {L"qq2009", L"", L"TXGuiFoundation", L"Static{MacromediaFlashPlayerActiveX},RichEdit20W"},
    {L"qq2009group", L"", L"TXGuiFoundation", L"RichEdit20W"},
    {L"txpanel", L"", L"TXGuiFoundation", L"Static'我的好友'"},
    {L"fetion", L"", L"W", L"W{W{W{W{W{E}},W{W{E}}}}}"},
    {L"fetion", L"group", L"W", L"W{W{W{W{W{E}},W{W{E}}}}},S'群成员'"},
    {L"fetiondeep", L"", L"W", L"W{W{W{W{W{W{E}},W{W{E}}}}}}"},
    {L"fetiondeep", L"group", L"W", L"W{W{W{W{W{W{E}},W{W{E}}}}}},S'群成员'"},
    {L"fetionbutton", L"", L"W", L"W{W{W{W{W{E}},W{W{E}}}}},B'发送'"},
    {L"fetiontip", L"late=0", L"W", L"W{W{W{W{W{E}},W{W{E}}}}}"},
    {L"baidu", L"", L"BaseGui", L""},
    {L"baiduchild", L"", L"BaseGui", L"RichEdit20W"},
};

TEST_F(FakeImWindows, EveryChatKindHasItsClassChildrenAndVisibility) {
    for (const auto& shape : kChatShapes) {
        SCOPED_TRACE(std::wstring(shape.kind) + L" " + shape.options);
        HWND top = im_->Open(shape.kind, L"聊天", shape.options);
        ASSERT_NE(top, nullptr);
        const std::wstring suffix = FetionSuffixOf(top);
        std::wstring topClass = WindowClass(top);
        if (!suffix.empty())
            topClass = topClass == std::wstring(fakeim::kFetionWindowPrefix) + suffix ? L"W" : topClass;
        EXPECT_EQ(topClass, shape.topClass);
        EXPECT_EQ(DescribeChildren(top, suffix), shape.children);
        EXPECT_TRUE(::IsWindowVisible(top));
        EXPECT_EQ(::GetAncestor(top, GA_PARENT), ::GetDesktopWindow());
    }
}

TEST_F(FakeImWindows, RichEditClassesAreFoundByTheirUsualNames) {
    HWND tm2005 = im_->Open(L"tm2005", L"与 甲 会话中");
    HWND inner = ::FindWindowExW(tm2005, nullptr, L"#32770", nullptr);
    for (const wchar_t* cls : {L"RICHEDIT", L"RichEdit20A"}) {
        SCOPED_TRACE(cls);
        EXPECT_NE(::FindWindowExW(inner, nullptr, cls, nullptr), nullptr);
    }
    EXPECT_NE(::FindWindowExW(inner, nullptr, L"Button", L"发送(&S)"), nullptr);
}

TEST_F(FakeImWindows, FetionInnerWindowsAreUntitledAndTheTopTitleComesLate) {
    HWND top = im_->Open(L"fetion", L"张三 - 飞信", L"late=300");
    ASSERT_NE(top, nullptr);
    EXPECT_EQ(WindowTitle(top), L"");
    const std::wstring suffix = FetionSuffixOf(top);
    ASSERT_EQ(suffix.size(), fakeim::kFetionSuffixLength);
    // Every search of the capture engine asks for an empty title.
    HWND p = top;
    for (int depth = 0; depth < 5; ++depth) {
        p = ::FindWindowExW(p, nullptr, (std::wstring(fakeim::kFetionWindowPrefix) + suffix).c_str(), L"");
        ASSERT_NE(p, nullptr) << depth;
    }
    EXPECT_NE(
        ::FindWindowExW(p, nullptr, (std::wstring(fakeim::kFetionRichEditPrefix) + suffix).c_str(), L""),
        nullptr);
    EXPECT_EQ(WaitFor([&] { return WindowTitle(top); }), L"张三 - 飞信");
}

TEST_F(FakeImWindows, QqChatWindowsHaveTheGroupStylePatternAndThePanelDoesNot) {
    const struct {
        const wchar_t* kind;
        const wchar_t* options;
        bool groupPattern;
    } cases[] = {
        {L"qq2009group", L"", true},
        {L"qq2009group", L"layered=200", true}, // WS_EX_LAYERED is not part of the pattern
        {L"qq2009group", L"max", true},         // nor WS_MAXIMIZE
        {L"qq2009", L"", true},
        {L"txpanel", L"", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::wstring(c.kind) + L" " + c.options);
        HWND w = im_->Open(c.kind, L"群", c.options);
        ASSERT_NE(w, nullptr);
        const LONG style = ::GetWindowLongW(w, GWL_STYLE);
        const LONG ex = ::GetWindowLongW(w, GWL_EXSTYLE) & ~WS_EX_LAYERED;
        EXPECT_EQ((style & kStyleMask) == kGroupStyle && ex == kGroupExStyle, c.groupPattern)
            << std::hex << style << " " << ex;
    }
}

TEST_F(FakeImWindows, MemoryKindsPublishAHistoryRecordAndQqTheirInputBox) {
    const struct {
        const wchar_t* kind;
        bool input;
    } cases[] = {{L"qq2009", true}, {L"qq2009group", true}, {L"baidu", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        HWND w = im_->Open(c.kind, L"好友");
        const auto record = ReadRecord(im_->Proc().Handle(), w);
        ASSERT_TRUE(record.has_value());
        EXPECT_FALSE(record->text.empty());
        EXPECT_EQ(record->text.find(L'\0'), std::wstring::npos);
        HWND input = static_cast<HWND>(::GetPropW(w, fakeim::kInputProp));
        EXPECT_EQ(input != nullptr, c.input);
        if (input) {
            EXPECT_TRUE(::IsChild(w, input));
            EXPECT_EQ(WindowClass(input), L"RichEdit20W");
        }
    }
}

TEST_F(FakeImWindows, ControlKindsHaveNoRecord) {
    for (const wchar_t* kind : {L"dialog", L"fetion", L"baiduchild", L"txpanel"}) {
        SCOPED_TRACE(kind);
        EXPECT_EQ(::GetPropW(im_->Open(kind, L"x"), fakeim::kHistoryProp), nullptr);
    }
}

struct MainShape {
    const wchar_t* which;
    const wchar_t* topClass; // "W": the Fetion window class of the process
    const wchar_t* title;    // nullptr: any
    const wchar_t* firstChild;
};

const MainShape kMainShapes[] = {
    {L"1", L"#32770", nullptr, L"Tencent_QQBar"},
    {L"2", L"TXGuiFoundation", L"QQ2009 Preview", nullptr},
    {L"3", L"TXGuiFoundation", L"QQ2009 Beta", nullptr},
    {L"4", L"TXGuiFoundation", L"QQ2009 Beta2", nullptr},
    {L"5", L"TXGuiFoundation", L"QQ2009", nullptr},
    {L"6", L"TXGuiFoundation", L"QQ2009 正式版", nullptr},
    {L"7", L"TXGuiFoundation", L"QQ2009 正式版 SP1", nullptr},
    {L"8", L"TXGuiFoundation", L"QQ2009 正式版 SP3", nullptr},
    {L"9", L"TXGuiFoundation", L"QQ2009 SP3", nullptr},
    {L"10", L"W", L"Fetion 2008", nullptr},
    {L"11", L"W", L"Fetion 2008 奥运版", nullptr},
    {L"12", L"#32770", nullptr, L"Tencent_BarMgr_Class_Ver1.0"},
    {L"13", L"TXGuiFoundation", L"TM2008 Beta1", nullptr},
    {L"14", L"TXGuiFoundation", L"TM2009 Beta", nullptr},
    {L"15", L"TXGuiFoundation", L"TM2009 Beta2", nullptr},
    {L"16", L"TXGuiFoundation", L"TM2009", nullptr},
    {L"17", L"BaseGui", nullptr, nullptr},
    {L"18", L"#32770", nullptr, L"ToolbarWindow32"},
};

TEST_F(FakeImWindows, MainWindowsMatchTheirDiscoverySearch) {
    for (const auto& shape : kMainShapes) {
        SCOPED_TRACE(shape.which);
        HWND w = im_->Main(shape.which);
        ASSERT_NE(w, nullptr);
        const std::wstring suffix = FetionSuffixOf(w);
        EXPECT_EQ(suffix.empty() ? WindowClass(w) : std::wstring(L"W"), shape.topClass);
        if (shape.title) {
            EXPECT_EQ(WindowTitle(w), shape.title);
        }
        EXPECT_TRUE(::IsWindowVisible(w));
        HWND first = ::GetWindow(w, GW_CHILD);
        ASSERT_NE(first, nullptr);
        EXPECT_EQ(WindowTitle(first), L"");
        if (shape.firstChild) {
            EXPECT_EQ(WindowClass(first), shape.firstChild);
        }
    }
    HWND older = im_->Main(L"18");
    EXPECT_NE(::FindWindowExW(older, nullptr, L"AfxWnd42", nullptr), nullptr);
}

TEST_F(FakeImWindows, MainWindowsLookNotLikeChats) {
    for (const wchar_t* which : {L"2", L"13", L"16"}) {
        SCOPED_TRACE(which);
        HWND w = im_->Main(which);
        EXPECT_NE(::GetWindowLongW(w, GWL_STYLE) & kStyleMask, kGroupStyle);
        HWND frame = ::FindWindowExW(w, nullptr, L"Static", nullptr);
        EXPECT_EQ(frame ? ::FindWindowExW(frame, nullptr, L"MacromediaFlashPlayerActiveX", nullptr) : nullptr,
                  nullptr);
    }
    HWND fetion = im_->Main(L"10");
    const std::wstring button = std::wstring(fakeim::kFetionButtonPrefix) + FetionSuffixOf(fetion);
    EXPECT_NE(::FindWindowExW(fetion, nullptr, button.c_str(), nullptr), nullptr);
}

TEST_F(FakeImWindows, DecoyMainWindowsFailOneDiscoveryTest) {
    HWND titled = im_->Main(L"titledchild");
    ASSERT_NE(titled, nullptr);
    EXPECT_EQ(WindowClass(titled), L"#32770");
    HWND bar = ::GetWindow(titled, GW_CHILD);
    EXPECT_EQ(WindowClass(bar), L"Tencent_QQBar");
    EXPECT_NE(WindowTitle(bar), L"");

    HWND wrong = im_->Main(L"fetionwrongclass");
    ASSERT_NE(wrong, nullptr);
    EXPECT_EQ(WindowTitle(wrong), L"Fetion 2008");
    EXPECT_NE(WindowClass(wrong).rfind(std::wstring(fakeim::kFetionWindowPrefix), 0), 0u);
    EXPECT_EQ(WindowTitle(::GetWindow(wrong, GW_CHILD)), L"");
}

} // namespace
} // namespace parlix::test
