// The main window's three pop-up menus: the strip menu (mnuTabContext), the tab menu
// (mnuContext, with the colour sub-menu mnuSetColor) and the tray menu (mnuTray). They hang
// under one menu bar that is never shown; it owns them and goes with this object.
#pragma once

#include "ui/menu_ids.h"

#include <windows.h>

namespace parlix {

class TabMenus {
public:
    TabMenus();
    TabMenus(const TabMenus&) = delete;
    TabMenus& operator=(const TabMenus&) = delete;
    ~TabMenus();

    [[nodiscard]] HMENU Bar() const noexcept { return bar_; }
    [[nodiscard]] HMENU mnuTabContext() const noexcept { return strip_; }
    [[nodiscard]] HMENU mnuContext() const noexcept { return tab_; }
    [[nodiscard]] HMENU mnuSetColor() const noexcept { return colour_; }
    [[nodiscard]] HMENU mnuTray() const noexcept { return tray_; }

    // Check marks before a menu opens. colorIndex checks the colour item of that number (none
    // when no item has it); a locked tab's menu has "close tab" disabled.
    void PrepareTabMenu(bool topmost, bool locked, int colorIndex);
    void PrepareStripMenu(bool silent);
    void PrepareTrayMenu(bool silent);

    // Shows menu at the cursor for owner and waits for the choice: the command id, 0 when the
    // menu was dismissed.
    static unsigned ShowAtCursor(HMENU menu, HWND owner);

private:
    HMENU bar_ = nullptr;
    HMENU strip_ = nullptr;
    HMENU tab_ = nullptr;
    HMENU colour_ = nullptr;
    HMENU tray_ = nullptr;
};

}  // namespace parlix
