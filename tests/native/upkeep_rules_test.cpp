// Where the selected chat window sits, how the tab row and picWin share the main window, how
// picWin follows a resized chat window, the caption rule and the main window's state value.
#include "capture/upkeep_rules.h"

#include <gtest/gtest.h>

namespace parlix {
namespace {

constexpr std::uint32_t kOverlapped = 0x00CF0000;  // caption, system menu, sizing frame, boxes
constexpr std::uint32_t kSkinnedPopup = 0x80000000 | 0x00040000;  // draws its own title

TEST(ChatPlacement, EachFamilyHidesItsOwnChromeOutsidePicWin) {
    const struct {
        IM_VERSION version;
        PixelRect expected;
    } cases[] = {
        {IM_VERSION::QQ2009, {-2, -24, 505, 337}},
        {IM_VERSION::Fetion_3_2, {-8, -26, 514, 366}},
        {IM_VERSION::Fetion_3_9, {-8, -26, 514, 366}},
        {IM_VERSION::TM, {-8, -26, 514, 333}},
        {IM_VERSION::QQ2008, {-8, -26, 514, 333}},
        {IM_VERSION::BaiduHI, {-8, -26, 514, 333}},
        {IM_VERSION::AliWangWang_2009, {-8, -26, 514, 333}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.version));
        EXPECT_EQ(ChatPlacement({500, 300}, ChromeOf(c.version, false)), c.expected);
    }
}

TEST(ChatPlacement, StrippedSystemCaptionFillsPicWinExactly) {
    for (const IM_VERSION v : {IM_VERSION::QQ2009, IM_VERSION::Fetion_3_5, IM_VERSION::TM2007})
        EXPECT_EQ(ChatPlacement({500, 300}, ChromeOf(v, true)), (PixelRect{0, 0, 500, 300}));
}

TEST(ChatPlacement, CaptionIsStrippedOnlyOutsideCompatibilityModeAndOnlyWhenThereWasOne) {
    const struct {
        std::uint32_t style;
        bool compatibility;
        bool stripped;
    } cases[] = {
        {kOverlapped, false, true},
        {kOverlapped, true, false},         // the frame stays: it is hidden outside picWin
        {kSkinnedPopup, false, false},      // its own drawn title is still there to hide
        {0x00800000, false, false},         // a border alone is no caption
    };
    for (const auto& c : cases) EXPECT_EQ(CaptionStripped(c.style, c.compatibility), c.stripped) << c.style;
}

TEST(ChatPlacement, EmptyPicWinStillGivesTheChromeNoNegativeSize) {
    EXPECT_EQ(ChatPlacement({0, 0}, ChromeOf(IM_VERSION::QQ2009, false)), (PixelRect{-2, -24, 5, 37}));
    EXPECT_EQ(ChatPlacement({-10, -3}, ChromeOf(IM_VERSION::TM, true)), (PixelRect{0, 0, 0, 0}));
}

TEST(FollowChatSize, PicWinTakesTheChatSizeLessTheChrome) {
    const struct {
        IM_VERSION version;
        PixelSize chat;
        PicWinFollow expected;
    } cases[] = {
        {IM_VERSION::QQ2009, {505, 337}, {500, 300}},
        {IM_VERSION::Fetion_3_4, {514, 366}, {500, 300}},
        {IM_VERSION::TM2005, {514, 333}, {500, 300}},
        // The smallest sizes a chat window is followed at.
        {IM_VERSION::TM2005, {15, 34}, {1, 1}},
        {IM_VERSION::TM2005, {14, 33}, {std::nullopt, std::nullopt}},
        // QQ 2009 has less chrome across, but the same lower bound.
        {IM_VERSION::QQ2009, {14, 40}, {std::nullopt, 3}},
        // A Fetion window between 34 and 66 high would leave picWin with no height.
        {IM_VERSION::Fetion_3_2, {400, 50}, {386, std::nullopt}},
        {IM_VERSION::Fetion_3_2, {400, 66}, {386, std::nullopt}},
        {IM_VERSION::Fetion_3_2, {400, 67}, {386, 1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << static_cast<int>(c.version) << " " << c.chat.width << "x" << c.chat.height);
        EXPECT_EQ(FollowChatSize(c.chat, ChromeOf(c.version, false)), c.expected);
    }
}

TEST(FollowChatSize, WindowWithoutChromeGivesItsOwnSize) {
    EXPECT_EQ(FollowChatSize({300, 200}, ChromeOf(IM_VERSION::TM, true)), (PicWinFollow{300, 200}));
}

TEST(FormLayout, TabRowAtTheBottomOrAtTheTop) {
    const struct {
        PixelSize client;
        int header;
        bool bottom;
        PixelRect picWin;
    } cases[] = {
        {{704, 520}, 22, true, {0, 0, 704, 494}},
        {{704, 520}, 22, false, {0, 25, 704, 492}},
        {{704, 520}, 44, true, {0, 0, 704, 472}},  // two rows of tabs
        {{704, 520}, 44, false, {0, 47, 704, 470}},
        // Tiny client areas: the tab row takes everything, picWin keeps no negative size.
        {{10, 20}, 22, true, {0, 0, 10, 0}},
        {{10, 20}, 22, false, {0, 25, 10, 0}},
        {{0, 0}, 22, false, {0, 25, 0, 0}},
        {{-5, -5}, 22, true, {0, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.client.width << "x" << c.client.height << " h" << c.header
                                        << (c.bottom ? " bottom" : " top"));
        const TabLayout l = FormLayout(c.client, c.header, c.bottom);
        EXPECT_EQ(l.picWin, c.picWin);
        EXPECT_EQ(l.btnTab, (PixelRect{0, 0, std::max(0, c.client.width), std::max(0, c.client.height)}));
    }
}

TEST(MainCaption, FollowsQqAndTmTitlesOnly) {
    for (int v = 0; v <= 20; ++v)
        EXPECT_EQ(CaptionFollowsTitle(static_cast<IM_VERSION>(v)), v <= 8) << v;
    EXPECT_FALSE(CaptionFollowsTitle(static_cast<IM_VERSION>(-1)));
}

TEST(MainCaption, TitleThenProgramThenSuffix) {
    EXPECT_EQ(MainCaption(L"与 乙 交谈中", L""), L"与 乙 交谈中 - Parlix");
    EXPECT_EQ(MainCaption(L"与 乙 交谈中", L"  -  工作"), L"与 乙 交谈中 - Parlix  -  工作");
    EXPECT_EQ(MainCaption(L"", L""), L" - Parlix");
}

TEST(MainState, FollowsTheWindowAndHidesToTheTrayOnlyOnTheFirstMinimise) {
    const struct {
        MainWindowState before;
        ShowState shown;
        bool tray;
        MainStateChange expected;
    } cases[] = {
        {MainWindowState::Normal, ShowState::Minimised, true, {MainWindowState::InTray, true}},
        {MainWindowState::Maximized, ShowState::Minimised, true, {MainWindowState::InTray, true}},
        {MainWindowState::Normal, ShowState::Minimised, false, {MainWindowState::InTray, false}},
        {MainWindowState::InTray, ShowState::Minimised, true, {MainWindowState::InTray, false}},  // already in the tray
        {MainWindowState::InTray, ShowState::Normal, true, {MainWindowState::Normal, false}},
        {MainWindowState::Normal, ShowState::Maximised, true, {MainWindowState::Maximized, false}},
        {MainWindowState::Maximized, ShowState::Normal, false, {MainWindowState::Normal, false}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << static_cast<int>(c.before) << " " << static_cast<int>(c.shown) << " " << c.tray);
        EXPECT_EQ(NextMainState(c.before, c.shown, c.tray), c.expected);
    }
}

TEST(MainState, LockedTabsAreLaidOutAndMinimisedWindowsNotSized) {
    const struct {
        bool locked;
        MainWindowState state;
        SizingStep step;
    } cases[] = {
        {false, MainWindowState::Normal, SizingStep::FollowWindow}, {false, MainWindowState::Maximized, SizingStep::Layout},
        {false, MainWindowState::InTray, SizingStep::None},      {true, MainWindowState::Normal, SizingStep::Layout},
        {true, MainWindowState::Maximized, SizingStep::Layout},     {true, MainWindowState::InTray, SizingStep::Layout},
    };
    for (const auto& c : cases) EXPECT_EQ(ChkWinSizing(c.locked, c.state), c.step) << c.locked << " " << static_cast<int>(c.state);
}

}  // namespace
}  // namespace parlix
