#include "capture/attach_rules.h"

#include "tests/native/fake_window_tree.h"

#include <gtest/gtest.h>

namespace parlix {
namespace {

using testing::FakeWindow;
using testing::FakeWindowTree;

constexpr std::uint32_t kVisible = 0x10000000;

FakeWindow W(const wchar_t* cls, const wchar_t* title = L"", std::uint32_t style = kVisible) {
    return FakeWindow{cls, title, style, 0, 1, 1};
}

// The dialog-family layouts the clients build (names as the clients register them).
struct DialogLayout {
    FakeWindowTree tree;
    Hwnd top, history, input;
};

DialogLayout Beta1() {
    DialogLayout l;
    l.top = l.tree.Add(W(L"#32770", L"与 张三 交谈中"));
    const Hwnd d = l.tree.Add(W(L"#32770"), l.top);
    l.tree.Add(W(L"RICHEDIT"), d);
    l.history = l.tree.Add(W(L"RichEdit20A"), d);
    l.tree.Add(W(L"Button", L"发送(&S)"), d);
    l.tree.Add(W(L"AfxWnd42", L"", 0), d);  // hidden first panel
    const Hwnd a = l.tree.Add(W(L"AfxWnd42"), d);
    l.input = l.tree.Add(W(L"RichEdit20A"), a);
    return l;
}

DialogLayout Tm2005(bool inputInPanel) {
    DialogLayout l;
    l.top = l.tree.Add(W(L"#32770", L"老同学 － 群 "));
    const Hwnd d = l.tree.Add(W(L"#32770"), l.top);
    const Hwnd r1 = l.tree.Add(W(L"RICHEDIT"), d);
    l.history = l.tree.Add(W(L"RichEdit20A"), d);
    l.tree.Add(W(L"Button", L"发送(&S)"), d);
    const Hwnd a = l.tree.Add(W(L"AfxWnd42"), d);
    l.input = inputInPanel ? l.tree.Add(W(L"RICHEDIT"), a) : r1;
    return l;
}

DialogLayout Tm2007() {
    DialogLayout l;
    l.top = l.tree.Add(W(L"#32770", L"与 王五 会话中"));
    const Hwnd d = l.tree.Add(W(L"#32770"), l.top);
    l.input = l.tree.Add(W(L"RICHEDIT"), d);
    l.history = l.tree.Add(W(L"RichEdit20A"), d);
    return l;
}

DialogLayout Qq2008(int inputPanel) {
    DialogLayout l;
    l.top = l.tree.Add(W(L"#32770", L"与来自群的 张三 交谈中"));
    l.history = l.tree.Add(W(L"RichEdit20A"), l.top);
    for (int i = 1; i <= 3; ++i) {
        const Hwnd a = l.tree.Add(W(L"AfxWnd42"), l.top);
        if (i == inputPanel) l.input = l.tree.Add(W(L"RichEdit20A"), a);
    }
    return l;
}

TEST(AttachChildren, DialogLayoutsGiveTheirBoxesAndRefinedVersion) {
    struct Case {
        const char* name;
        DialogLayout layout;
        IM_VERSION passed, expected;
    };
    Case cases[] = {
        {"send button, hidden first panel", Beta1(), IM_VERSION::QQ, IM_VERSION::QQ2008_BETA1},
        {"send button, visible panel with input", Tm2005(true), IM_VERSION::TM2005, IM_VERSION::TM2005},
        {"send button, visible panel without input", Tm2005(false), IM_VERSION::QQ, IM_VERSION::TM2005},
        {"two boxes, no button", Tm2007(), IM_VERSION::TM, IM_VERSION::TM2007},
        {"no inner dialog, input in third panel", Qq2008(3), IM_VERSION::QQ, IM_VERSION::QQ2008},
        {"no inner dialog, input in first panel", Qq2008(1), IM_VERSION::QQ, IM_VERSION::QQ2008},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ChatChildren found = FindChatChildren(c.layout.tree, c.layout.top, c.passed);
        EXPECT_EQ(found.version, c.expected);
        EXPECT_EQ(found.chat, c.layout.history);
        EXPECT_EQ(found.say, c.layout.input);
    }
}

TEST(AttachChildren, InnerDialogWithHistoryOnlyIsBeta1AndFindsNoInput) {
    FakeWindowTree tree;
    const Hwnd top = tree.Add(W(L"#32770", L"与 张三 交谈中"));
    const Hwnd d = tree.Add(W(L"#32770"), top);
    const Hwnd history = tree.Add(W(L"RichEdit20A"), d);
    const ChatChildren found = FindChatChildren(tree, top, IM_VERSION::QQ);
    EXPECT_EQ(found.version, IM_VERSION::QQ2008_BETA1);
    EXPECT_EQ(found.chat, history);
    EXPECT_FALSE(found.say);
}

TEST(AttachChildren, MissingPanelsNeverSearchTheTopLevel) {
    FakeWindowTree tree;
    tree.Add(W(L"RichEdit20A"));  // a stray top-level box must not be taken
    tree.Add(W(L"AfxWnd42"));
    const Hwnd top = tree.Add(W(L"#32770", L"与 张三 交谈中"));
    const Hwnd d = tree.Add(W(L"#32770"), top);
    tree.Add(W(L"RICHEDIT"), d);
    const Hwnd history = tree.Add(W(L"RichEdit20A"), d);
    tree.Add(W(L"Button", L"发送(&S)"), d);  // button but no panel at all
    const ChatChildren beta = FindChatChildren(tree, top, IM_VERSION::QQ);
    EXPECT_EQ(beta.chat, history);
    EXPECT_FALSE(beta.say);

    FakeWindowTree bare;
    const Hwnd lone = bare.Add(W(L"#32770", L"与 李四 交谈中"));
    bare.Add(W(L"RichEdit20A"));
    const ChatChildren qq2008 = FindChatChildren(bare, lone, IM_VERSION::QQ);
    EXPECT_EQ(qq2008.version, IM_VERSION::QQ2008);
    EXPECT_FALSE(qq2008.chat);
    EXPECT_FALSE(qq2008.say);
    const ChatChildren tm = FindChatChildren(bare, lone, IM_VERSION::TM);
    EXPECT_EQ(tm.version, IM_VERSION::TM);
    EXPECT_FALSE(tm.chat);
}

struct FetionLayout {
    FakeWindowTree tree;
    Hwnd top, history, input;
};

FetionLayout Fetion(bool deep) {
    const std::wstring sfx = L"1a2b3c4";
    const std::wstring w = L"WindowsForms10.Window.8.app.0." + sfx, e = L"WindowsForms10.RichEdit20W.app.0." + sfx;
    FetionLayout l;
    auto add = [&](const std::wstring& cls, Hwnd parent) { return l.tree.Add(W(cls.c_str()), parent); };
    l.top = l.tree.Add(W(w.c_str(), L"赵六 - 飞信"));
    const Hwnd p3 = add(w, add(w, add(w, l.top)));
    if (!deep) {
        l.history = add(e, add(w, add(w, p3)));
        l.input = add(e, add(w, add(w, p3)));
    } else {
        const Hwnd q1 = add(w, p3);
        l.history = add(e, add(w, add(w, q1)));
        l.input = add(e, add(w, add(w, q1)));
    }
    return l;
}

TEST(AttachChildren, FetionLayoutsFindBoxesAndDeeperHistoryIsFetion34) {
    for (bool deep : {false, true}) {
        SCOPED_TRACE(deep ? "deep" : "usual");
        FetionLayout l = Fetion(deep);
        const ChatChildren found = FindChatChildren(l.tree, l.top, IM_VERSION::Fetion_3_2);
        EXPECT_EQ(found.version, deep ? IM_VERSION::Fetion_3_4 : IM_VERSION::Fetion_3_2);
        EXPECT_EQ(found.chat, l.history);
        EXPECT_EQ(found.say, l.input);
    }
}

TEST(AttachChildren, FetionWindowWithoutPanelsFindsNothing) {
    FakeWindowTree tree;
    const Hwnd top = tree.Add(W(L"WindowsForms10.Window.8.app.0.1a2b3c4", L"x - 飞信"));
    const ChatChildren found = FindChatChildren(tree, top, IM_VERSION::Fetion_3_2);
    EXPECT_FALSE(found.chat);
    EXPECT_FALSE(found.say);
}

TEST(AttachChildren, MemoryReadKindsAreLeftToTheHookLibrary) {
    FakeWindowTree tree;
    const Hwnd top = tree.Add(W(L"TXGuiFoundation", L"李四"));
    tree.Add(W(L"RichEdit20A"), top);
    for (IM_VERSION v : {IM_VERSION::QQ2009, IM_VERSION::BaiduHI}) {
        const ChatChildren found = FindChatChildren(tree, top, v);
        EXPECT_EQ(found.version, v);
        EXPECT_FALSE(found.chat);
        EXPECT_FALSE(found.say);
    }
}

TEST(AttachStyle, StyleTableByVersionAndCompatibilityMode) {
    struct Case {
        IM_VERSION version;
        std::uint32_t before;
        bool compatibility;
        std::uint32_t after;
    };
    const Case cases[] = {
        // QQ 2009 in compatibility mode: a fixed popup style with caption and sizing frame.
        {IM_VERSION::QQ2009, 0x960F0000, true, 0x96CC0000},
        {IM_VERSION::QQ2009, 0x16CF0000, true, 0x96CC0000},
        // QQ 2009 otherwise: a child without popup, caption and frame; system menu and boxes stay.
        {IM_VERSION::QQ2009, 0x960F0000, false, 0x560B0000},
        // Others in compatibility mode keep caption and frame but lose the boxes.
        {IM_VERSION::QQ, 0x94CF0044, true, 0xD4CC0044},
        // Others otherwise: child, no popup, boxes, caption, frame or the low frame bits; the
        // system menu bit stays.
        {IM_VERSION::QQ, 0x94CF0044, false, 0x54080000},
        {IM_VERSION::Fetion_3_2, 0x16CF0000, false, 0x56080000},
        {IM_VERSION::BaiduHI, 0x14C00000, false, 0x54000000},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CapturedStyle(c.version, c.before, c.compatibility), c.after)
            << std::hex << static_cast<int>(c.version) << " " << c.before;
    }
}

TEST(AttachTitle, CaptionIsCutOnlyWhenCuttingIsOn) {
    const std::wstring fifteen = L"一二三四五六七八九十abcde";
    EXPECT_EQ(TabTitle(fifteen, true, 10), L"一二三四五六七八九十");
    EXPECT_EQ(TabTitle(fifteen, false, 10), fifteen);
    EXPECT_EQ(TabTitle(L"短", true, 10), L"短");
    EXPECT_EQ(TabTitle(fifteen, true, 0), L"");
    EXPECT_EQ(TabTitle(fifteen, true, -1), fifteen);  // a broken setting cuts nothing
}

TEST(PopOut, WindowsCapturedNearTheLeftOrTopEdgeAreCentred) {
    // 1280 x 800 screen, 480 x 400 window.
    EXPECT_EQ(PopOutPosition({10, 300}, 480, 400, 1280, 800), (Point{400, 300}));
    EXPECT_EQ(PopOutPosition({300, 300}, 480, 400, 1280, 800), (Point{300, 300}));
    EXPECT_EQ(PopOutPosition({300, 49}, 480, 400, 1280, 800), (Point{300, 200}));
    EXPECT_EQ(PopOutPosition({50, 50}, 480, 400, 1280, 800), (Point{50, 50}));
    EXPECT_EQ(PopOutPosition({-1500, -20}, 480, 400, 1280, 800), (Point{400, 200}));  // left the screen
}

}  // namespace
}  // namespace parlix
