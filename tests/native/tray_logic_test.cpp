// Tray logic: texts cut to their record fields, the answer to each tray callback message, the
// notice timer's interval; the byte size of an icon resource image.
#include "ui/res_icon.h"
#include "ui/tray_action.h"
#include "ui/tray_text.h"

#include <gtest/gtest.h>

#include <string>

namespace parlix::test {
namespace {

// Code page 936 as far as these tests need it: ASCII one byte, everything else two.
std::size_t Gbk(std::wstring_view ch) {
    return ch.size() == 1 && ch[0] < 0x80 ? 1 : 2;
}

const std::wstring kSmile{wchar_t(0xD83D), wchar_t(0xDE00)};  // one character, two UTF-16 units

struct FitCase {
    const char* name;
    std::wstring text;
    std::size_t field;
    std::wstring expected;
};

TEST(TrayText, TextsAreCutToTheirFieldsAtWholeCharacters) {
    const std::wstring a127(127, L'a');
    const std::wstring han63(63, L'汉');
    const FitCase cases[] = {
        {"ascii fills field but the NUL", std::wstring(300, L'a'), 128, a127},
        {"double-byte text: 63 characters in 127 bytes", std::wstring(100, L'汉'), 128, han63},
        {"double-byte character never halved", L"a" + std::wstring(100, L'汉'), 128, L"a" + han63},
        {"surrogate pair that would overflow left out", std::wstring(126, L'a') + kSmile, 128,
         std::wstring(126, L'a')},
        {"surrogate pair that fits kept whole", std::wstring(125, L'a') + kSmile, 128,
         std::wstring(125, L'a') + kSmile},
        {"lone high surrogate counts as one character", std::wstring(1, wchar_t(0xD83D)) + L"b", 3,
         std::wstring(1, wchar_t(0xD83D))},
        {"text ends at an embedded NUL", std::wstring(L"ab\0cd", 5), 128, L"ab"},
        {"field of one byte holds only the NUL", L"abc", 1, L""},
    };
    for (const FitCase& c : cases)
        EXPECT_EQ(FitTrayField(c.text, c.field, Gbk), c.expected) << c.name;
}

TEST(TrayText, WideFieldLimitHoldsEvenWhenCharactersMeasureOneByte) {
    // Unmappable characters become one '?' each in the code page; the pair still needs two units.
    const auto questionMark = [](std::wstring_view) -> std::size_t { return 1; };
    std::wstring pairs;
    for (int i = 0; i < 10; ++i)
        pairs += kSmile;
    EXPECT_EQ(FitTrayField(pairs, 8, questionMark), kSmile + kSmile + kSmile);
}

struct ActionCase {
    const char* name;
    std::uint32_t message;
    TrayFacts facts;
    TrayDecision expected;
};

TEST(TrayAction, EachCallbackMessageTakesItsSteps) {
    constexpr bool kBalloon = true;
    constexpr bool kFlashing = true;
    // clang-format off
    const ActionCase cases[] = {
        {"balloon shown", kNinBalloonShow, {}, {.balloonShowing = true}},
        {"balloon hidden", kNinBalloonHide, {kBalloon}, {.balloonShowing = false}},
        {"balloon timed out", kNinBalloonTimeout, {kBalloon}, {.balloonShowing = false}},
        {"balloon click, in tray", kNinBalloonUserClick, {kBalloon, MainWindowState::InTray},
         {.balloonShowing = false, .showInTaskBar = true, .focusMain = true}},
        {"balloon click, shown", kNinBalloonUserClick, {kBalloon, MainWindowState::Normal},
         {.balloonShowing = false, .focusMain = true}},
        {"left click, in tray", kTrayLButtonUp, {false, MainWindowState::InTray}, {.showInTaskBar = true, .focusMain = true}},
        {"left click, flashing", kTrayLButtonUp, {false, MainWindowState::Normal, kFlashing}, {.focusMain = true}},
        {"left click, in tray, flashing", kTrayLButtonUp, {false, MainWindowState::InTray, kFlashing},
         {.showInTaskBar = true, .focusMain = true}},
        {"left click, shown", kTrayLButtonUp, {false, MainWindowState::Normal}, {.hideToTray = true}},
        {"left click, maximised", kTrayLButtonUp, {false, MainWindowState::Maximized}, {.hideToTray = true}},
        {"left click, balloon showing", kTrayLButtonUp, {kBalloon, MainWindowState::InTray}, {}},
        {"right click, balloon showing", kTrayRButtonUp, {kBalloon, MainWindowState::InTray}, {.showMenu = true}},
        {"double click itself", kTrayLButtonDblClk, {false, MainWindowState::InTray}, {}},
    };
    // clang-format on
    for (const ActionCase& c : cases)
        EXPECT_EQ(DecideTrayAction(c.message, c.facts), c.expected) << c.name;
}

TEST(TrayAction, KillTipIntervalIsTipTimeInMillisecondsWithinSaneBounds) {
    const std::pair<std::int32_t, std::uint32_t> cases[] = {
        {3, 3000}, {60, 60000}, {1, 1000}, {0, 1000}, {-5, 1000}, {86400, 86400000}, {2147483647, 86400000},
    };
    for (const auto& [seconds, ms] : cases)
        EXPECT_EQ(KillTipIntervalMs(seconds), ms) << seconds;
}

TEST(ResIcon, ImageBytesMatchTheResourceLayoutOfSizeAndDepth) {
    EXPECT_EQ(IconImageBytes(16, 32), 1128u);
    EXPECT_EQ(IconImageBytes(32, 4), 744u);    // 16-colour palette, 4-bit rows
    EXPECT_EQ(IconImageBytes(24, 24), 1864u);  // rows already a multiple of 4 bytes
    EXPECT_EQ(IconImageBytes(20, 32), std::nullopt);
    EXPECT_EQ(IconImageBytes(16, 8), std::nullopt);  // 8 bits is asked for as 16
}

}  // namespace
}  // namespace parlix::test
