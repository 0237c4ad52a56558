#include "settings/ini_values.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

namespace parlix {
namespace {

constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

long ErrorNumberOfInteger(std::wstring_view text) {
    try {
        (void)IniToInteger(text);
    } catch (const IniValueError& e) {
        return e.Number();
    }
    return 0;
}

long ErrorNumberOfBoolean(std::wstring_view text) {
    try {
        (void)IniToBoolean(text);
    } catch (const IniValueError& e) {
        return e.Number();
    }
    return 0;
}

TEST(IniValues, IntegerTextsConvert) {
    const struct {
        const wchar_t* text;
        std::int32_t value;
    } cases[] = {
        {L"0", 0},
        {L"16756580", 16756580},
        {L"&HFFC8A6", 16763046},
        {L"&hffc8a6", 16763046},
        {L"&H1", 1}, // a flag written in hex
        {L"&HFF80", 0xFF80},
        {L"&H000000000001", 1}, // leading zeros are not significant
        {L"&HFFFFFFFF", -1},
        {L"&H80000008", kMin + 8}, // system colour index
        {L" 42 ", 42},
        {L"\t7", 7},
        {L"+7", 7},
        {L"-500", -500},
        {L"2147483647", kMax},
        {L"-2147483648", kMin},
        {L"10560.4", 10560},
        {L"10560.5", 10560}, // half to even
        {L"10561.5", 10562},
        {L"-2.5", -2},
        {L"5.", 5},
        {L".6", 1},
        {L"1.056E+04", 10560},
        {L"1e-999", 0},
    };
    for (const auto& c : cases) EXPECT_EQ(IniToInteger(c.text), c.value) << "text: " << ::testing::PrintToString(c.text);
}

TEST(IniValues, MalformedIntegerTextsAreTypeMismatch) {
    for (const wchar_t* text : {L"", L"   ", L"&H", L"&HZZ", L"&H1G", L"abc", L"1a", L"1 2", L"--1", L"-&H10",
                                L"0x10", L"1e", L"1e+", L".", L"-", L"inf", L"nan", L"五", L"1,000"})
        EXPECT_EQ(ErrorNumberOfInteger(text), kTypeMismatch) << "text: " << ::testing::PrintToString(text);
}

TEST(IniValues, IntegersBeyond32BitsOverflow) {
    for (const wchar_t* text : {L"2147483648", L"-2147483649", L"2147483647.5", L"&H100000000", L"1e10", L"1e999",
                                L"99999999999999999999999"})
        EXPECT_EQ(ErrorNumberOfInteger(text), kOverflow) << "text: " << ::testing::PrintToString(text);
}

TEST(IniValues, BooleanTextsConvert) {
    const struct {
        const wchar_t* text;
        bool value;
    } cases[] = {
        {L"True", true},  {L"true", true},   {L"TRUE", true}, {L" True ", true}, {L"False", false},
        {L"fALSE", false}, {L"1", true},      {L"0", false},   {L"-1", true},     {L"2", true},
        {L"&H0", false},   {L"0.0", false},   {L"0.4", true},
    };
    for (const auto& c : cases) EXPECT_EQ(IniToBoolean(c.text), c.value) << "text: " << ::testing::PrintToString(c.text);
}

TEST(IniValues, MalformedBooleanTextsAreTypeMismatch) {
    for (const wchar_t* text : {L"", L"yes", L"T", L"Truee", L"True1", L"&HZZ"})
        EXPECT_EQ(ErrorNumberOfBoolean(text), kTypeMismatch) << "text: " << ::testing::PrintToString(text);
}

TEST(IniValues, WrittenFormsReadBackToTheSameValue) {
    for (std::int32_t v : {kMin, -1, 0, 1, 16756580, kMax}) EXPECT_EQ(IniToInteger(IniFromInteger(v)), v);
    EXPECT_EQ(IniFromInteger(0xFFC8A6), L"16763046"); // colours are written as decimal text
    EXPECT_EQ(IniFromBoolean(true), L"True");
    EXPECT_EQ(IniFromBoolean(false), L"False");
    EXPECT_TRUE(IniToBoolean(IniFromBoolean(true)));
    EXPECT_FALSE(IniToBoolean(IniFromBoolean(false)));
}

TEST(IniValues, ReadResultIsCutAtNulCountAnd254Characters) {
    const std::wstring buffer300(300, L'x');
    EXPECT_EQ(IniReadResult(std::wstring_view(L"stale\0", 6), 0), L""); // nothing copied: empty
    EXPECT_EQ(IniReadResult(std::wstring_view(L"abc\0zz", 6), 3), L"abc");
    EXPECT_EQ(IniReadResult(std::wstring_view(L"ab\0cd", 5), 5), L"ab");
    EXPECT_EQ(IniReadResult(L"abcdef", 4), L"abcd");
    EXPECT_EQ(IniReadResult(buffer300, 300), std::wstring(254, L'x'));
    EXPECT_EQ(IniReadResult(L"abc", 1000), L"abc"); // a count beyond the buffer stays inside it
}

TEST(IniValues, LineBreaksInWrittenValuesBecomeSpaces) {
    EXPECT_EQ(IniSafeValue(L"a\r\nhot_Enabled=1"), L"a  hot_Enabled=1");
    EXPECT_EQ(IniSafeValue(L"聊天\n"), L"聊天 ");
    EXPECT_EQ(IniSafeValue(L"plain"), L"plain");
}

TEST(IniValues, IniPathHasOneSeparatorBeforeFileName) {
    const struct {
        const wchar_t* dir;
        const wchar_t* path;
    } cases[] = {
        {L"C:\\Parlix", L"C:\\Parlix\\set.ini"},
        {L"C:\\", L"C:\\set.ini"},
        {L"D:\\Tools\\Parlix\\", L"D:\\Tools\\Parlix\\set.ini"},
        {L"\\\\server\\share", L"\\\\server\\share\\set.ini"},
    };
    for (const auto& c : cases) EXPECT_EQ(IniPathFor(c.dir), c.path);
}

TEST(IniValues, ProgramDirectoryKeepsBackslashAtDriveRoot) {
    const struct {
        const wchar_t* module;
        const wchar_t* dir;
        const wchar_t* name;
    } cases[] = {
        {L"C:\\Parlix\\Parlix.exe", L"C:\\Parlix", L"Parlix"},
        {L"C:\\Parlix.exe", L"C:\\", L"Parlix"},
        {L"\\\\?\\D:\\Parlix.exe", L"\\\\?\\D:\\", L"Parlix"},
        {L"\\\\server\\share\\my.tool.exe", L"\\\\server\\share", L"my.tool"},
        {L"C:\\Parlix\\NoExtension", L"C:\\Parlix", L"NoExtension"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ProgramDirectoryOf(c.module), c.dir) << ::testing::PrintToString(c.module);
        EXPECT_EQ(ProgramNameOf(c.module), c.name) << ::testing::PrintToString(c.module);
    }
}

TEST(IniValues, AutoRunCommandIsFullExecutablePathQuotedWhenItHasSpaces) {
    EXPECT_EQ(AutoRunCommand(L"C:\\Parlix", L"Parlix"), L"C:\\Parlix\\Parlix.exe");
    EXPECT_EQ(AutoRunCommand(L"C:\\", L"Parlix"), L"C:\\Parlix.exe");
    EXPECT_EQ(AutoRunCommand(L"C:\\Program Files\\Parlix", L"Parlix"), L"\"C:\\Program Files\\Parlix\\Parlix.exe\"");
}

TEST(IniValues, RegistryTextEndsAtFirstNulWithoutLosingUnterminatedCharacters) {
    EXPECT_EQ(RegistryText(std::wstring_view(L"C:\\QQ\\\0", 7)), L"C:\\QQ\\");
    EXPECT_EQ(RegistryText(L"C:\\QQ"), L"C:\\QQ");
    EXPECT_EQ(RegistryText(std::wstring_view(L"\0", 1)), L"");
    EXPECT_EQ(RegistryText(L""), L"");
}

TEST(IniValues, BlankMeansSpacesOnly) {
    EXPECT_TRUE(IsBlank(L""));
    EXPECT_TRUE(IsBlank(L"   "));
    EXPECT_FALSE(IsBlank(L" a "));
}

TEST(IniValues, CaptionSuffixIsAddedOnlyForNonEmptyTextAndRemovedAgain) {
    EXPECT_EQ(CaptionSuffix(L""), L"");
    EXPECT_EQ(CaptionSuffix(L"abc"), L"  -  abc");
    EXPECT_EQ(CaptionText(L"  -  abc"), L"abc");
    EXPECT_EQ(CaptionText(L""), L"");
    EXPECT_EQ(CaptionText(L"abc"), L"abc");
}

} // namespace
} // namespace parlix
