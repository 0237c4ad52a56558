#include "capture/recognition.h"

#include "fake_window_tree.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace parlix {
void PrintTo(IM_VERSION v, std::ostream* os) {
    *os << "IM_VERSION(" << static_cast<int>(v) << ")";
}
void PrintTo(const Recognition& r, std::ostream* os) {
    *os << ::testing::PrintToString(r.caption) << (r.isGroup ? " group " : " single ");
    PrintTo(r.version, os);
    *os << " pid " << r.processId;
}
} // namespace parlix

namespace parlix::testing {
namespace {

using V = IM_VERSION;

constexpr std::uint32_t kImPid = 4242;
constexpr std::uint32_t kVisible = 0x10000000;
const std::vector<std::uint32_t> kImPids{7, kImPid};

struct TitleCase {
    std::wstring title;
    std::optional<Recognition> expected;
};

Recognition Chat(std::wstring caption, V version) {
    return {std::move(caption), false, version, 0};
}
Recognition Group(std::wstring caption, V version) {
    return {std::move(caption), true, version, 0};
}

void ExpectTitleRules(const std::vector<TitleCase>& cases) {
    for (const auto& c : cases)
        EXPECT_EQ(DialogTitleRule(c.title), c.expected) << ::testing::PrintToString(c.title);
}

TEST(Recognition, EachDialogTitleRuleGivesItsCaptionGroupFlagAndVersion) {
    ExpectTitleRules({
        {L"与来自张三交谈中", Chat(L"与来自张三", V::QQ2008)}, // without "的 " from the start
        {L"张三 - 发送消息", Chat(L"张三", V::QQ)},
        {L"与 张三 交谈中", Chat(L"张三", V::QQ)},
        {L"与张三会话中", Chat(L"张三", V::TM)},
        {L"和 张三 交谈中", Chat(L"张三", V::QQ)},
        {L"多人聊天 － 张三、李四", Chat(L"张三、李四", V::QQ)},
        {L"张三 - 正在输入", Chat(L"张三", V::QQ)},
        {L"项目组 － 讨论组 ", Group(L"项目", V::TM)}, // tests 7 characters, removes 8
        {L"同学群 － 群", Group(L"同学群", V::QQ)},
        {L"三年二班 － 班级群", Group(L"三年二班", V::QQ)},
        {L"同学群 － 群 ", Group(L"同学群", V::TM2005)},
        {L"同学群 - 群", Group(L"同学群", V::TM)},
        {L"技术交流 － 高级群", Group(L"技术交流", V::QQ)},
        {L"三年二班－ 班级群", Group(L"三年二", V::QQ)}, // tests 5 characters, removes 6
        {L"技术交流(123456) － 超级群", Group(L"技术交流", V::QQ)},
    });
}

TEST(Recognition, EarlierDialogRulesWinOverLaterOnes) {
    ExpectTitleRules({
        // " 交谈中" (QQ) is tested before " 会话中" (TM); "与来自", "临时会话" and "与手机用户"
        // before the plain "交谈中" ending, which would cut differently.
        {L"与来自群A的 张三 交谈中", Chat(L" 张三 ", V::QQ2008)}, // text after "的", minus 3: spaces kept
        {L"临时会话：来自群A张三 交谈中", Chat(L"张三", V::QQ)},
        {L"与手机用户 张三 交谈中", Chat(L"张三", V::QQ)},
        {L"与 张三 会话中", Chat(L"张三", V::TM)},
        // " － 班级群" is cut with its space; only the form without it loses a name character.
        {L"三年二班 － 班级群", Group(L"三年二班", V::QQ)},
    });
}

TEST(Recognition, SuperGroupTitleCaptionEndsBeforeFirstParenOrIsWholeTitle) {
    ExpectTitleRules({
        {L"技术交流(1)(2) － 超级群", Group(L"技术交流", V::QQ)},
        {L"技术交流 － 超级群", Group(L"技术交流 － 超级群", V::QQ)},
        {L"(123) － 超级群", Group(L"", V::QQ)},
        {L"－ 超级群", Group(L"－ 超级群", V::QQ)},
        {L"技术交流（123） － 超级群", Group(L"技术交流（123） － 超级群", V::QQ)}, // full-width parens
    });
}

TEST(Recognition, TitlesOfNoRuleOrWithAsciiInsteadOfFullWidthHyphenAreNotChats) {
    ExpectTitleRules({
        {L"", std::nullopt},
        {L"张三", std::nullopt},
        {L"与 张三 交谈", std::nullopt},
        {L"与 张三 交谈中 ", std::nullopt},
        {L"多人聊天 - 张三", std::nullopt},
        {L"技术交流 - 高级群", std::nullopt},
        {L"技术交流 - 超级群", std::nullopt},
        {L"项目组 - 讨论组 ", std::nullopt},
    });
}

TEST(Recognition, TitleTooShortForItsRuleIsLeftAloneWithoutTryingLaterRules) {
    ExpectTitleRules({
        {L"交谈中", std::nullopt},
        {L"与 交谈中", std::nullopt},
        {L"临时会话交谈中", std::nullopt}, // the plain "交谈中" rule would give "会"
        {L"与手机用户交谈中", std::nullopt},
        {L"- 正在输入", std::nullopt},
        {L" － 讨论组 ", std::nullopt},
        {L"－ 群", std::nullopt},
        {L"－ 群 ", std::nullopt},
        {L"- 群", std::nullopt},
    });
}

TEST(Recognition, TitleExactlyAsLongAsItsRuleCutsGivesEmptyCaption) {
    ExpectTitleRules({
        {L"与会话中", Chat(L"", V::TM)},
        {L"和张三交谈中", Chat(L"", V::QQ)},
        {L" - 发送消息", Chat(L"", V::QQ)},
        {L"多人聊天 － ", Chat(L"", V::QQ)},
        {L"临时会话：来自群AB交谈中", Chat(L"", V::QQ)},
        {L" － 班级群", Group(L"", V::QQ)},
    });
}

class RecognizeWindow : public ::testing::Test {
  protected:
    Hwnd Top(std::wstring cls, std::wstring title, std::uint32_t style = kVisible, std::uint32_t exStyle = 0,
             std::uint32_t pid = kImPid) {
        return tree.Add({std::move(cls), std::move(title), style, exStyle, pid, 1});
    }
    Hwnd Child(Hwnd parent, std::wstring cls, std::wstring title = L"") {
        return tree.Add({std::move(cls), std::move(title), kVisible, 0, kImPid, 1}, parent);
    }
    std::optional<Recognition> Recognize(Hwnd w) { return parlix::Recognize(tree, w, kImPids); }

    FakeWindowTree tree;
};

TEST_F(RecognizeWindow, WindowOfProcessNotAmongClientsIsNeverRecognised) {
    const Hwnd dialog = Top(L"#32770", L"与 张三 交谈中", kVisible, 0, 99);
    const Hwnd baidu = Top(L"BaseGui", L"张三", kVisible, 0, 99);
    EXPECT_EQ(Recognize(dialog), std::nullopt);
    EXPECT_EQ(Recognize(baidu), std::nullopt);
    EXPECT_EQ(parlix::Recognize(tree, Top(L"#32770", L"与 张三 交谈中"), {}), std::nullopt);
}

TEST_F(RecognizeWindow, ClassSelectsFamilyExactlyAndCaseSensitively) {
    for (const wchar_t* cls : {L"#32771", L"#32770 ", L"basegui", L"txguifoundation", L"TXGuiFoundation2",
                               L"WindowsForms10.Window.8.app.0", L"WindowsForms10.window.8.app.0.33c0d9d"}) {
        const Hwnd w = Top(cls, L"与 张三 交谈中");
        EXPECT_EQ(Recognize(w), std::nullopt) << ::testing::PrintToString(std::wstring(cls));
    }
    EXPECT_EQ(Recognize(Top(L"#32770", L"与 张三 交谈中")), (Recognition{L"张三", false, V::QQ, 0}));
    EXPECT_EQ(tree.WaitCalls(), 0);
}

TEST_F(RecognizeWindow, BaiduHiWindowIsChatWhenChildlessVisibleAndNotAClientPanel) {
    struct Case {
        std::wstring title;
        bool visible;
        bool hasChild;
        bool chat;
    };
    const Case cases[] = {
        {L"张三", true, false, true},
        {L"Baidu Hi", true, false, true}, // only "Baidu Hi - " marks the client's own windows
        {L"百度H", true, false, true},
        {L"张三", true, true, false},
        {L"张三", false, false, false},
        {L"", true, false, false},
        {L"BaiduBasement", true, false, false},
        {L"百度Hi", true, false, false},
        {L"百度Hi2008", true, false, false},
        {L"Baidu Hi - 张三", true, false, false},
    };
    for (const Case& c : cases) {
        const Hwnd w = Top(L"BaseGui", c.title, c.visible ? kVisible : 0);
        if (c.hasChild) Child(w, L"Edit", L"x");
        const auto expected =
            c.chat ? std::optional(Recognition{c.title, false, V::BaiduHI, kImPid}) : std::nullopt;
        EXPECT_EQ(Recognize(w), expected) << ::testing::PrintToString(c.title);
    }
}

TEST_F(RecognizeWindow, QQ2009SingleChatHasFlashPlayerInsideFirstStaticChild) {
    const Hwnd chat = Top(L"TXGuiFoundation", L"张三");
    Child(Child(chat, L"Static"), L"MacromediaFlashPlayerActiveX");
    EXPECT_EQ(Recognize(chat), (Recognition{L"张三", false, V::QQ2009, kImPid}));

    const Hwnd flashAtTop = Top(L"TXGuiFoundation", L"张三");
    Child(flashAtTop, L"MacromediaFlashPlayerActiveX");
    const Hwnd flashInSecondStatic = Top(L"TXGuiFoundation", L"张三");
    Child(flashInSecondStatic, L"Static");
    Child(Child(flashInSecondStatic, L"Static"), L"MacromediaFlashPlayerActiveX");
    const Hwnd hidden = Top(L"TXGuiFoundation", L"张三", 0);
    Child(Child(hidden, L"Static"), L"MacromediaFlashPlayerActiveX");
    for (Hwnd w : {flashAtTop, flashInSecondStatic, hidden})
        EXPECT_EQ(Recognize(w), std::nullopt);
}

TEST_F(RecognizeWindow, QQ2009GroupChatIsToldByStylePatternIgnoringMinMaxAndLayered) {
    constexpr std::uint32_t kStyle = 0x960F0000, kEx = 0x300;
    struct Case {
        std::uint32_t style, exStyle;
        std::wstring title;
        bool group;
    };
    const Case cases[] = {
        {kStyle, kEx, L"同学群", true},
        {kStyle | 0x20000000, kEx, L"同学群", true}, // minimised
        {kStyle | 0x01000000, kEx, L"同学群", true}, // maximised
        {kStyle, kEx | 0x80000, L"同学群", true},    // layered
        {kStyle, kEx, L"TM2009", true},              // only "TM2009 " with the space is the client
        {kStyle, kEx, L"表情管理器", true},
        {kStyle & ~0x10000000u, kEx, L"同学群", false}, // hidden
        {kStyle | 0x00C00000, kEx, L"同学群", false},   // with a caption bar
        {kStyle, kEx | 0x1, L"同学群", false},
        {kStyle, 0x100, L"同学群", false},
        {kStyle, kEx, L"QQ2009", false},
        {kStyle, kEx, L"QQ2009 正式版", false},
        {kStyle, kEx, L"TM2009 Beta", false},
        {kStyle, kEx, L"消息管理器", false},
        {kStyle, kEx, L"表情管理", false},
    };
    for (const Case& c : cases) {
        const Hwnd w = Top(L"TXGuiFoundation", c.title, c.style, c.exStyle);
        const auto expected =
            c.group ? std::optional(Recognition{c.title, true, V::QQ2009, kImPid}) : std::nullopt;
        EXPECT_EQ(Recognize(w), expected)
            << std::hex << c.style << " " << c.exStyle << " " << ::testing::PrintToString(c.title);
    }
}

class RecognizeFetion : public RecognizeWindow {
  protected:
    static constexpr const wchar_t* kClass = L"WindowsForms10.Window.8.app.0.33c0d9d";
    struct Shape {
        bool visible = true;
        bool panel = true;
        bool topButton = false;
        bool panelButton = false;
        bool secondPanel = false;
        bool label = false;
    };
    Hwnd Form(std::wstring title, Shape s, std::wstring cls = kClass, std::wstring suffix = L"33c0d9d") {
        const Hwnd w = Top(std::move(cls), std::move(title), s.visible ? kVisible : 0);
        if (s.topButton) Child(w, L"WindowsForms10.BUTTON.app.0." + suffix);
        if (s.label) Child(w, L"WindowsForms10.STATIC.app.0." + suffix);
        if (s.panel) {
            const Hwnd panel = Child(w, L"WindowsForms10.Window.8.app.0." + suffix);
            if (s.panelButton) Child(panel, L"WindowsForms10.BUTTON.app.0." + suffix);
        }
        if (s.secondPanel) Child(w, L"WindowsForms10.Window.8.app.0." + suffix);
        return w;
    }
};

TEST_F(RecognizeFetion, SinglePanelWithoutButtonsIsChatNamedBeforeFirstDash) {
    EXPECT_EQ(Recognize(Form(L"张三 - 对话 - 飞信", {})), (Recognition{L"张三", false, V::Fetion_3_2, 0}));
    EXPECT_EQ(Recognize(Form(L"张三-对话", {})), (Recognition{L"张三-对话", false, V::Fetion_3_2, 0}));
    EXPECT_EQ(Recognize(Form(L"同学群 - 群聊", {.label = true})),
              (Recognition{L"同学群", true, V::Fetion_3_2, 0}));
}

TEST_F(RecognizeFetion, ClientWindowsOtherThanChatsAreNotRecognised) {
    const Shape rejected[] = {
        {.visible = false},    {.panel = false},      {.topButton = true},
        {.panelButton = true}, {.secondPanel = true},
    };
    for (const Shape& s : rejected)
        EXPECT_EQ(Recognize(Form(L"张三 - 对话", s)), std::nullopt);
    EXPECT_EQ(Recognize(Form(L"contact_tip_widget", {})), std::nullopt);
}

TEST_F(RecognizeFetion, ChildClassesUseLastSevenCharactersOfWindowClass) {
    const std::wstring cls = L"WindowsForms10.Window.8.app.0.2bf8098_r11_ad1";
    EXPECT_EQ(Recognize(Form(L"张三", {}, cls, L"r11_ad1")), (Recognition{L"张三", false, V::Fetion_3_2, 0}));
    EXPECT_EQ(Recognize(Form(L"张三", {}, cls, L"2bf8098_r11_ad1")), std::nullopt);
}

TEST_F(RecognizeFetion, TitleIsReadAfterWaitingForClientToSetIt) {
    const Hwnd chat = Form(L"", {});
    tree.SetTitleLater(chat, L"张三 - 对话", 100);
    const Hwnd tip = Form(L"", {});
    tree.SetTitleLater(tip, L"contact_tip_widget", 100);

    EXPECT_EQ(Recognize(chat), (Recognition{L"张三", false, V::Fetion_3_2, 0}));
    EXPECT_EQ(tree.WaitCalls(), 1);
    EXPECT_EQ(tree.Clock(), 100);
    EXPECT_EQ(Recognize(tip), std::nullopt);
}

TEST_F(RecognizeFetion, ABusyClientsLateTitleIsAwaitedUpToASecondMore) {
    Shape group;
    group.label = true;
    const Hwnd late = Form(L"", group);
    tree.SetTitleLater(late, L"同学群 - 群聊", 700);
    EXPECT_EQ(Recognize(late), (Recognition{L"同学群", true, V::Fetion_3_2, 0}));
    EXPECT_EQ(tree.Clock(), 700);

    const Hwnd untitled = Form(L"", {});
    const int before = tree.Clock();
    EXPECT_EQ(Recognize(untitled), (Recognition{L"", false, V::Fetion_3_2, 0}));
    EXPECT_EQ(tree.Clock() - before, 1100) << "an untitled window is taken as it is after 1.1 s";
}

TEST(RecognitionHelpers, ListMembershipScanSkipAndFetionClassPrefix) {
    const std::uint32_t list[] = {3, 0, 9};
    EXPECT_TRUE(IsInList(9, list));
    EXPECT_TRUE(IsInList(0, list));
    EXPECT_FALSE(IsInList(4, list));
    EXPECT_FALSE(IsInList(0, {}));

    EXPECT_TRUE(ScanSkipsTitle(L"阿里旺旺 - 张三"));
    EXPECT_TRUE(ScanSkipsTitle(L"阿里旺旺 - "));
    EXPECT_FALSE(ScanSkipsTitle(L"阿里旺旺"));
    EXPECT_FALSE(ScanSkipsTitle(L"阿里旺旺- 张三"));

    EXPECT_TRUE(IsFetionClass(L"WindowsForms10.Window.8.app.0."));
    EXPECT_TRUE(IsFetionClass(L"WindowsForms10.Window.8.app.0.33c0d9d"));
    EXPECT_FALSE(IsFetionClass(L"WindowsForms10.Window.8.app.0"));
    EXPECT_FALSE(IsFetionClass(L"WindowsForms10.BUTTON.app.0.33c0d9d"));
    EXPECT_FALSE(IsFetionClass(L"windowsforms10.window.8.app.0.33c0d9d"));
}

} // namespace
} // namespace parlix::testing
