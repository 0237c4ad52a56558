#include "ui/tab_menus_win.h"

#include "ui/tab_commands.h"

#include <string>

namespace parlix {

namespace {

void Item(HMENU menu, unsigned id, const wchar_t* caption) { ::AppendMenuW(menu, MF_STRING, id, caption); }
void Separator(HMENU menu) { ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr); }

void Check(HMENU menu, unsigned id, bool on) {
    ::CheckMenuItem(menu, id, MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED));
}

}  // namespace

TabMenus::TabMenus() {
    bar_ = ::CreateMenu();
    strip_ = ::CreatePopupMenu();
    tab_ = ::CreatePopupMenu();
    colour_ = ::CreatePopupMenu();
    tray_ = ::CreatePopupMenu();

    Item(strip_, mnuCloseAll2, L"关闭所有标签(&A)");
    Separator(strip_);
    Item(strip_, mnuSlient, L"安静模式(&S)");
    Separator(strip_);
    Item(strip_, mnuSet, L"程序设置(&P)");
    Item(strip_, mnuAbout, L"关于Parlix(&B)");

    for (const tabs::ColourItem& c : tabs::ColourItems())
        Item(colour_, mnuColor + static_cast<unsigned>(c.index), std::wstring(c.caption).c_str());
    Check(colour_, mnuColor, true);

    Item(tab_, mnuPop, L"分离窗口(&S)");
    Item(tab_, mnuLock, L"锁定标签(&L)");
    Item(tab_, mnuTopmost, L"窗口置顶(&T)");
    Separator(tab_);
    ::AppendMenuW(tab_, MF_POPUP, reinterpret_cast<UINT_PTR>(colour_), L"标签颜色(&O)");
    Separator(tab_);
    Item(tab_, mnuClose, L"关闭标签(&C)");
    Item(tab_, mnuCloseAll, L"关闭所有标签(&A)");
    Item(tab_, mnuCloseOther, L"关闭其他标签(&O)");

    Item(tray_, mnuShow, L"显示/隐藏窗口(&H)");
    Separator(tray_);
    Item(tray_, mnuSlient2, L"安静模式(&S)");
    Item(tray_, mnuCloseAll3, L"关闭所有标签(&A)");
    Separator(tray_);
    Item(tray_, mnuSet2, L"程序设置(&P)");
    Item(tray_, mnuAbout2, L"关于Parlix(&B)");
    Separator(tray_);
    Item(tray_, mnuExit, L"退出(&X)");
    ::SetMenuDefaultItem(tray_, mnuShow, FALSE);

    // The bar owns the three menus (and through the tab menu the colour menu).
    ::AppendMenuW(bar_, MF_POPUP, reinterpret_cast<UINT_PTR>(strip_), L"标签栏菜单");
    ::AppendMenuW(bar_, MF_POPUP, reinterpret_cast<UINT_PTR>(tab_), L"标签菜单");
    ::AppendMenuW(bar_, MF_POPUP, reinterpret_cast<UINT_PTR>(tray_), L"托盘菜单");
}

TabMenus::~TabMenus() {
    if (bar_) ::DestroyMenu(bar_);
}

void TabMenus::PrepareTabMenu(bool topmost, bool locked, int colorIndex) {
    Check(tab_, mnuTopmost, topmost);
    Check(tab_, mnuLock, locked);
    for (const tabs::ColourItem& c : tabs::ColourItems())
        Check(colour_, mnuColor + static_cast<unsigned>(c.index), c.index == colorIndex);
    ::EnableMenuItem(tab_, mnuClose, MF_BYCOMMAND | (locked ? MF_GRAYED : MF_ENABLED));
}

void TabMenus::PrepareStripMenu(bool silent) { Check(strip_, mnuSlient, silent); }

void TabMenus::PrepareTrayMenu(bool silent) { Check(tray_, mnuSlient2, silent); }

unsigned TabMenus::ShowAtCursor(HMENU menu, HWND owner) {
    POINT at{};
    ::GetCursorPos(&at);
    // A menu of a window that is not in front would stay open after a click elsewhere (tray).
    ::SetForegroundWindow(owner);
    const BOOL id = ::TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, at.x, at.y, 0, owner,
                                     nullptr);
    ::PostMessageW(owner, WM_NULL, 0, 0);
    return static_cast<unsigned>(id);
}

}  // namespace parlix
