// The notice plugin's settings: colour conversion, defaults and empty values, the page's repair
// of typed numbers and the directions each position allows.
#include "plugins/notice/notice_settings.h"
#include "settings/ini_values.h"

#include <gtest/gtest.h>

#include <map>

namespace parlix::notice {
namespace {

TEST(NoticeColours, StoredBgrBecomesArgbWithAlphaFEAndBack) {
    struct Row {
        std::int32_t bgr;
        std::uint32_t argb;
    };
    const Row rows[] = {{11153970, 0xFE3232AA}, {8585050, 0xFE5AFF82}, {0, 0xFE000000},
                        {0xFFFFFF, 0xFEFFFFFF}, {0x0000FF, 0xFEFF0000}, {0xFF0000, 0xFE0000FF}};
    for (const Row& r : rows) {
        EXPECT_EQ(BgrToArgb(r.bgr), r.argb) << r.bgr;
        EXPECT_EQ(ArgbToBgr(r.argb), r.bgr) << r.bgr;
    }
    EXPECT_EQ(BgrToArgb(-1), 0xFEFFFF00u) << "a system colour index keeps its bits where the sum puts them";
}

ReadKey From(std::map<std::wstring, std::wstring> stored) {
    return [stored](std::wstring_view key, std::wstring_view fallback) {
        const auto it = stored.find(std::wstring(key));
        return it == stored.end() ? std::wstring(fallback) : it->second;
    };
}

TEST(NoticeSettingsLoad, NoSectionGivesTheDefaults) {
    const NoticeSettings s = LoadNoticeSettings(From({}));
    EXPECT_EQ(s.msg_TitleColor, 0xFE3232AAu);
    EXPECT_EQ(s.msg_MessageColor, 0xFE5AFF82u);
    EXPECT_EQ(s.msg_Alpha, 255);
    EXPECT_EQ(s.msg_TitleSize, 15);
    EXPECT_EQ(s.msg_MessageSize, 9);
    EXPECT_EQ(s.msg_Trans, 0);
    EXPECT_EQ(s.msg_Skin, L"Default");
    EXPECT_EQ(s.msg_Direction, 7);
    EXPECT_EQ(s.msg_Position, 8);
}

TEST(NoticeSettingsLoad, AnEmptySkinIsKeptAndAnEmptyNumberFails) {
    EXPECT_EQ(LoadNoticeSettings(From({{L"msg_Skin", L""}})).msg_Skin, L"");
    EXPECT_THROW((void)LoadNoticeSettings(From({{L"msg_Alpha", L""}})), IniValueError);
    EXPECT_THROW((void)LoadNoticeSettings(From({{L"msg_Position", L"right"}})), IniValueError);
    EXPECT_THROW((void)LoadSkinLayout(From({{L"title_top", L""}})), IniValueError);
    const SkinLayout l = LoadSkinLayout(From({{L"message_height", L"64"}}));
    EXPECT_EQ(l.message_height, 64);
    EXPECT_EQ(l.title_left, 0);
}

TEST(NoticeSettingsPage, TypedNumbersOutOfRangeAreRepaired) {
    struct Row {
        const wchar_t* text;
        const wchar_t* alpha;  // nullptr: kept
        const wchar_t* size;
    };
    const Row rows[] = {{L"0", L"255", L"12"},     {L"300", L"255", L"12"}, {L"100", nullptr, L"12"},
                        {L"99", nullptr, nullptr}, {L"1", nullptr, nullptr}, {L"abc", L"255", L"12"},
                        {L"", L"255", L"12"},      {L"255", nullptr, L"12"}};
    for (const Row& r : rows) {
        const auto alpha = RepairAlphaText(r.text);
        const auto size = RepairSizeText(r.text);
        EXPECT_EQ(alpha.has_value(), r.alpha != nullptr) << r.text;
        if (alpha && r.alpha) {
            EXPECT_EQ(*alpha, r.alpha);
        }
        EXPECT_EQ(size.has_value(), r.size != nullptr) << r.text;
        if (size && r.size) {
            EXPECT_EQ(*size, r.size);
        }
    }
}

TEST(NoticeSettingsPage, EachPositionEnablesTheDirectionsThatFitIt) {
    struct Row {
        int position;
        std::vector<int> enabled;
        int selected;
    };
    const std::vector<Row> rows = {{0, {0, 1, 3, 4}, 1}, {1, {1, 4}, 1},    {2, {1, 2, 4, 5}, 1},
                                   {3, {3, 4}, 3},       {5, {4, 5}, 5},    {6, {3, 4, 6, 7}, 7},
                                   {7, {4, 7}, 7},       {8, {4, 5, 7, 8}, 7}};
    for (const Row& r : rows) {
        const auto d = DirectionsFor(r.position);
        ASSERT_TRUE(d.has_value()) << r.position;
        std::vector<int> enabled;
        for (int i = 0; i < 9; ++i)
            if (d->enabled & (1u << i)) enabled.push_back(i);
        EXPECT_EQ(enabled, r.enabled) << r.position;
        EXPECT_EQ(d->selected, r.selected) << r.position;
    }
    EXPECT_FALSE(DirectionsFor(4).has_value()) << "the centre changes nothing";
}

}  // namespace
}  // namespace parlix::notice
