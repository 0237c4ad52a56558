// The main window's pop-up menus as Windows sees them: items read back with GetMenuItemInfoW.
#include "ui/tab_menus_win.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace parlix::test {
namespace {

constexpr unsigned kSeparator = 0;

struct Entry {
    unsigned id;  // kSeparator for a separator, 0 with a caption for a sub-menu
    std::wstring caption;
    bool operator==(const Entry&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Entry& e) {
    out << e.id << " ";
    for (wchar_t c : e.caption) out << (c < 128 ? static_cast<char>(c) : '?');
    return out;
}

MENUITEMINFOW Info(HMENU menu, int position, std::wstring* caption = nullptr) {
    wchar_t text[128]{};
    MENUITEMINFOW mii{sizeof mii};
    mii.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING | MIIM_SUBMENU | MIIM_STATE;
    mii.dwTypeData = text;
    mii.cch = 128;
    EXPECT_TRUE(::GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &mii));
    if (caption) *caption = text;
    return mii;
}

std::vector<Entry> Items(HMENU menu) {
    std::vector<Entry> items;
    for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
        std::wstring caption;
        const MENUITEMINFOW mii = Info(menu, i, &caption);
        if (mii.fType & MFT_SEPARATOR) items.push_back({kSeparator, L"-"});
        else items.push_back({mii.hSubMenu ? 0u : mii.wID, caption});
    }
    return items;
}

bool Checked(HMENU menu, unsigned id) { return (::GetMenuState(menu, id, MF_BYCOMMAND) & MF_CHECKED) != 0; }
bool Disabled(HMENU menu, unsigned id) { return (::GetMenuState(menu, id, MF_BYCOMMAND) & MF_GRAYED) != 0; }

std::vector<unsigned> CheckedColours(const TabMenus& menus) {
    std::vector<unsigned> on;
    for (unsigned i : {0u, 1u, 2u, 3u, 4u, 5u, 99u})
        if (Checked(menus.mnuSetColor(), mnuColor + i)) on.push_back(i);
    return on;
}

TEST(TabMenus, ThreeMenusUnderOneHiddenBar) {
    TabMenus menus;
    const std::vector<Entry> bar{{0, L"标签栏菜单"}, {0, L"标签菜单"}, {0, L"托盘菜单"}};
    EXPECT_EQ(Items(menus.Bar()), bar);
    EXPECT_EQ(::GetSubMenu(menus.Bar(), 0), menus.mnuTabContext());
    EXPECT_EQ(::GetSubMenu(menus.Bar(), 1), menus.mnuContext());
    EXPECT_EQ(::GetSubMenu(menus.Bar(), 2), menus.mnuTray());
}

TEST(TabMenus, StripMenuItems) {
    TabMenus menus;
    const std::vector<Entry> expected{{mnuCloseAll2, L"关闭所有标签(&A)"}, {kSeparator, L"-"},
                                      {mnuSlient, L"安静模式(&S)"},     {kSeparator, L"-"},
                                      {mnuSet, L"程序设置(&P)"},         {mnuAbout, L"关于Parlix(&B)"}};
    EXPECT_EQ(Items(menus.mnuTabContext()), expected);
}

TEST(TabMenus, TabMenuItemsWithTheColourSubMenu) {
    TabMenus menus;
    const std::vector<Entry> expected{{mnuPop, L"分离窗口(&S)"},       {mnuLock, L"锁定标签(&L)"},
                                      {mnuTopmost, L"窗口置顶(&T)"},   {kSeparator, L"-"},
                                      {0, L"标签颜色(&O)"},            {kSeparator, L"-"},
                                      {mnuClose, L"关闭标签(&C)"},     {mnuCloseAll, L"关闭所有标签(&A)"},
                                      {mnuCloseOther, L"关闭其他标签(&O)"}};
    EXPECT_EQ(Items(menus.mnuContext()), expected);
    EXPECT_EQ(::GetSubMenu(menus.mnuContext(), 4), menus.mnuSetColor());

    const std::vector<Entry> colours{{mnuColor + 0, L"默认(&D)"}, {mnuColor + 1, L"红(&R)"},
                                     {mnuColor + 2, L"蓝(&B)"},   {mnuColor + 3, L"绿(&G)"},
                                     {mnuColor + 4, L"黄(&Y)"},   {mnuColor + 5, L"橙(&O)"},
                                     {mnuColor + 99, L"自定义(&C)"}};
    EXPECT_EQ(Items(menus.mnuSetColor()), colours);
    EXPECT_EQ(CheckedColours(menus), std::vector<unsigned>{0}) << "the default colour is checked at start";
}

TEST(TabMenus, TrayMenuItemsWithShowAsDefault) {
    TabMenus menus;
    const std::vector<Entry> expected{{mnuShow, L"显示/隐藏窗口(&H)"}, {kSeparator, L"-"},
                                      {mnuSlient2, L"安静模式(&S)"},     {mnuCloseAll3, L"关闭所有标签(&A)"},
                                      {kSeparator, L"-"},                 {mnuSet2, L"程序设置(&P)"},
                                      {mnuAbout2, L"关于Parlix(&B)"},     {kSeparator, L"-"},
                                      {mnuExit, L"退出(&X)"}};
    EXPECT_EQ(Items(menus.mnuTray()), expected);
    EXPECT_EQ(::GetMenuDefaultItem(menus.mnuTray(), FALSE, 0), static_cast<UINT>(mnuShow));
}

TEST(TabMenus, TabMenuMarksFollowTheTab) {
    struct Case {
        bool topmost, locked;
        int colorIndex;
        std::vector<unsigned> colours;
    };
    const Case table[] = {
        {true, true, 3, {3}},
        {false, false, 99, {99}},
        {true, false, 0, {0}},
        {false, true, 7, {}},  // an index without item checks none
    };
    TabMenus menus;
    for (const Case& c : table) {
        menus.PrepareTabMenu(c.topmost, c.locked, c.colorIndex);
        EXPECT_EQ(Checked(menus.mnuContext(), mnuTopmost), c.topmost);
        EXPECT_EQ(Checked(menus.mnuContext(), mnuLock), c.locked);
        EXPECT_EQ(CheckedColours(menus), c.colours) << c.colorIndex;
        EXPECT_EQ(Disabled(menus.mnuContext(), mnuClose), c.locked) << "a locked tab cannot be closed";
        EXPECT_FALSE(Disabled(menus.mnuContext(), mnuCloseAll));
    }
}

TEST(TabMenus, SilentMarksAreSetPerMenu) {
    TabMenus menus;
    menus.PrepareStripMenu(true);
    EXPECT_TRUE(Checked(menus.mnuTabContext(), mnuSlient));
    EXPECT_FALSE(Checked(menus.mnuTray(), mnuSlient2)) << "refreshed only when its own menu opens";
    menus.PrepareTrayMenu(true);
    EXPECT_TRUE(Checked(menus.mnuTray(), mnuSlient2));
    menus.PrepareStripMenu(false);
    EXPECT_FALSE(Checked(menus.mnuTabContext(), mnuSlient));
}

}  // namespace
}  // namespace parlix::test
