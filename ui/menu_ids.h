// Command ids of the main window's pop-up menus (WM_COMMAND). Per-tab commands act on the
// context tab: the tab of the last right or middle click, else the selected tab.
#pragma once

namespace parlix {

enum MenuCommand : unsigned {
    // Tab menu
    mnuPop = 1001,
    mnuLock,
    mnuTopmost,
    mnuClose,
    mnuCloseAll,
    mnuCloseOther,
    // Colour sub-menu: mnuColor + palette index 0..5, and mnuColor + 99 for the custom colour.
    mnuColor = 1100,
    // Strip and tray menus
    mnuSlient = 1201,
    mnuSet,
    mnuAbout,
    mnuShow,
    mnuExit,
    // The same commands from the other menus: close all from the strip and tray menus, silent
    // mode, settings and about from the tray menu.
    mnuCloseAll2,
    mnuCloseAll3,
    mnuSlient2,
    mnuSet2,
    mnuAbout2,
};

}  // namespace parlix
