#include "settings/dialog_rules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace parlix {
namespace {

TEST(NumberBox, RepairsEmptyZeroTooLargeAndLetters) {
    struct Case {
        const wchar_t* text;
        const NumberBoxRule* rule;
        const wchar_t* expected;
    } cases[] = {
        {L"", &kMaxLenBox, L"5"},        {L"25", &kMaxLenBox, L"20"},     {L"3", &kMaxLenBox, L"3"},
        {L"0", &kMaxLenBox, L"5"},       {L"20", &kMaxLenBox, L"20"},     {L"abc", &kMaxLenBox, L"20"},
        {L"1x", &kMaxLenBox, L"20"},     {L"99999999999", &kMaxLenBox, L"20"},
        {L"", &kTipTimeBox, L"3"},       {L"61", &kTipTimeBox, L"60"},    {L"0", &kTipTimeBox, L"3"},
        {L"7", &kTipTimeBox, L"7"},      {L"-4", &kTipTimeBox, L"60"},
    };
    for (const Case& c : cases) EXPECT_EQ(RepairNumberBox(c.text, *c.rule), c.expected) << c.text;
}

TEST(NumberBox, StoredValueIsAlwaysANumberWithinTheLimit) {
    EXPECT_EQ(NumberBoxValue(L"q", kMaxLenBox), 20);
    EXPECT_EQ(NumberBoxValue(L"", kTipTimeBox), 3);
    EXPECT_EQ(NumberBoxValue(L"12", kMaxLenBox), 12);
}

TEST(NumberBox, OnlyDigitsAndBackspaceAreTyped) {
    for (wchar_t c : std::wstring(L"0123456789\b")) EXPECT_TRUE(NumberBoxAccepts(c));
    for (wchar_t c : std::wstring(L"a-.+ Q")) EXPECT_FALSE(NumberBoxAccepts(c));
}

TEST(HotkeyCapture, CtrlAltQ) {
    HotkeyCapture capture(L"无", 0, 0);
    capture.KeyDown(kVkControl, kCtrlBit, L"Ctrl");
    capture.KeyDown(kVkMenu, kCtrlBit | kAltBit, L"Alt");
    capture.KeyDown('Q', kCtrlBit | kAltBit, L"Q");
    EXPECT_EQ(capture.Text(), L"Ctrl + Alt + Q");
    EXPECT_EQ(capture.Mod(), 3);
    EXPECT_EQ(capture.Key(), 81);
    capture.KeyUp('Q');
    capture.KeyUp(kVkMenu);
    EXPECT_EQ(capture.Text(), L"Ctrl + Alt + Q");  // a full chord stays
}

TEST(HotkeyCapture, ModifiersAloneResetToNone) {
    HotkeyCapture capture(L"Ctrl + Q", 81, 2);
    capture.KeyDown(kVkMenu, kAltBit, L"Alt");
    capture.KeyDown(kVkShift, kAltBit | kShiftBit, L"Shift");
    EXPECT_EQ(capture.Text(), L"Alt + Shift + ");
    capture.KeyUp(kVkShift);
    EXPECT_EQ(capture.Text(), L"无");
    EXPECT_EQ(capture.Key(), 0);
    EXPECT_EQ(capture.Mod(), 0);
}

TEST(HotkeyCapture, SecondChordReplacesTheModifiers) {
    HotkeyCapture capture(L"无", 0, 0);
    capture.KeyDown('A', kCtrlBit | kShiftBit, L"A");
    capture.KeyDown('B', kAltBit, L"B");
    EXPECT_EQ(capture.Text(), L"Alt + B");
    EXPECT_EQ(capture.Mod(), kModAlt);
    EXPECT_EQ(capture.Key(), 'B');
}

TEST(HotkeyCapture, WindowsKeyHeldAddsWinUntilReleased) {
    HotkeyCapture capture(L"无", 0, 0);
    capture.KeyDown(kVkLWin, 0, L"");
    capture.KeyDown('E', 0, L"E");
    EXPECT_EQ(capture.Text(), L"Win + E");
    EXPECT_EQ(capture.Mod(), kModWin);
    capture.KeyUp(kVkLWin);
    capture.KeyDown('F', kCtrlBit, L"F");
    EXPECT_EQ(capture.Text(), L"Ctrl + F");
}

TEST(HotkeyText, EveryModifierCombination) {
    const wchar_t* expected[] = {L"",           L"Shift + ",        L"Ctrl + ",      L"Ctrl + Shift + ",
                                 L"Alt + ",     L"Alt + Shift + ",  L"Ctrl + Alt + ", L"Ctrl + Alt + Shift + "};
    for (int shift = 0; shift < 8; ++shift) {
        EXPECT_EQ(HotkeyModifierText(false, shift), expected[shift]);
        EXPECT_EQ(HotkeyModifierText(true, shift), std::wstring(L"Win + ") + expected[shift]);
        EXPECT_TRUE(IsModifierOnlyText(HotkeyModifierText(shift % 2 == 0, shift)));
    }
    EXPECT_EQ(HotkeyModifiers(true, kShiftBit | kCtrlBit | kAltBit), 15);
    EXPECT_FALSE(IsModifierOnlyText(L"Ctrl + Q"));
}

TEST(CaptionSuffix, OkTitleRules) {
    struct Case {
        const wchar_t* title;
        const wchar_t* oldSuffix;
        const wchar_t* text;
        CaptionChange expected;
    } cases[] = {
        {L"张三  -  工作", L"  -  工作", L"家", {L"张三  -  家", L"  -  家"}},
        {L"张三  -  工作", L"  -  工作", L"", {L"张三", L""}},
        {L"张三", L"", L"家", {L"张三  -  家", L"  -  家"}},
        {L"张三", L"", L"", {L"张三", L""}},
        // The part looked for is missing: the title is kept whole before the new suffix.
        {L"李四", L"  -  工作", L"家", {L"李四  -  家", L"  -  家"}},
        {L"李四", L"  -  工作", L"", {L"李四", L""}},
    };
    for (const Case& c : cases) EXPECT_EQ(ChangeCaption(c.title, c.oldSuffix, c.text), c.expected) << c.title;
}

TEST(DependentEnabling, EachCheckBoxLeadsItsControls) {
    const std::vector<int> autoRun(DependentsOf(idChkAutoRunIM).begin(), DependentsOf(idChkAutoRunIM).end());
    EXPECT_EQ(autoRun, (std::vector<int>{idTxtPath, idBtnBrowse, idLblPath, idLblExeName, idTxtExeName}));
    EXPECT_EQ(DependentsOf(idChkMaxLen).front(), idTxtMaxLen);
    EXPECT_EQ(DependentsOf(idChkShowTip).front(), idChkAlwaysShowTip);
    EXPECT_EQ(DependentsOf(idChkHotKey).front(), idTxtHotKey);
    EXPECT_EQ(DependentsOf(idChkMouseGesture).size(), 4u);
    EXPECT_TRUE(DependentsOf(idChkTrans).empty());
    EXPECT_EQ(LeadingCheckBoxes().size(), 5u);
}

TEST(UpdateCheck, TitleAgainstTheProgramsVersion) {
    struct Case {
        const wchar_t* title;
        UpdateVerdict verdict;
        const wchar_t* version;
    } cases[] = {
        {L"version 1.1", UpdateVerdict::Newer, L"1.1"},   {L"version 2.0", UpdateVerdict::Newer, L"2"},
        {L"version 1.0", UpdateVerdict::Current, L""},    {L"version 0.9", UpdateVerdict::Current, L""},
        {L"version abc", UpdateVerdict::Unreadable, L""}, {L"version 1.x", UpdateVerdict::Unreadable, L""},
        {L"404 Not Found", UpdateVerdict::Current, L""},  {L"", UpdateVerdict::Current, L""},
        {L"Version 9.9", UpdateVerdict::Current, L""},    {L"version 10.5", UpdateVerdict::Current, L""},
    };
    for (const Case& c : cases) {
        const UpdateAnswer a = JudgeUpdateTitle(c.title, 1, 0);
        EXPECT_EQ(a.verdict, c.verdict) << c.title;
        EXPECT_EQ(a.version, c.version) << c.title;
    }
}

TEST(UpdateCheck, ReadsTitleAndBodyText) {
    const std::wstring page =
        L"<html><head><meta charset=gb2312><TITLE>version 1.1</TITLE><style>p{}</style></head>\n"
        L"<body bgcolor=white>\n  <a href='x'>http://www.parlix.net/dl?a=1&amp;b=2</a>\n<script>var t=1;</script></body></html>";
    EXPECT_EQ(PageTitle(page), L"version 1.1");
    EXPECT_EQ(PageBodyText(page), L"http://www.parlix.net/dl?a=1&b=2");
    EXPECT_EQ(PageTitle(L"<p>no title</p>"), L"");
}

TEST(UpdateCheck, OnlyWebAddressesAreOpened) {
    for (const wchar_t* ok : {L"http://a.b/c", L"HTTPS://a.b/", L"  http://x"}) EXPECT_TRUE(IsWebAddress(ok)) << ok;
    for (const wchar_t* bad : {L"file:///C:/x.exe", L"C:\\Windows\\notepad.exe", L"mailto:a@b", L"cmd /c calc",
                               L"http://", L"javascript:alert(1)", L"http://a\"b", L"\\\\server\\share"})
        EXPECT_FALSE(IsWebAddress(bad)) << bad;
}

}  // namespace
}  // namespace parlix
