// The main window's answers to right and middle clicks on the strip and to the commands of its
// pop-up menus. Per-tab commands act on the context tab: the tab of the last right click,
// middle click or drop.
#pragma once

#include "ui/tab_menus_win.h"
#include "ui/tab_ui_host.h"

#include <windows.h>

#include <functional>
#include <optional>

namespace parlix {

// The colour dialog: the chosen colour, none when cancelled.
using ColourPicker = std::function<std::optional<COLORREF>(HWND owner, COLORREF initial)>;
// ChooseColorW, full dialog open, starting from initial.
[[nodiscard]] std::optional<COLORREF> ShowColourDialog(HWND owner, COLORREF initial);

class TabCommands {
public:
    explicit TabCommands(TabUiHost& host, ColourPicker pickColour = ShowColourDialog)
        : host_(host), pickColour_(std::move(pickColour)) {}

    // Strip events.
    void RButtonClicked(int index);  // tab menu; a right click beside the tabs gets the strip menu
    void MButtonClicked(int index);  // closes that tab
    void RButtonClickedWindow();     // strip menu (also for a right click on the main window's free area)
    void ShowTrayMenu();

    // Runs one menu command. False for ids that are not menu commands.
    bool Execute(unsigned id);

    [[nodiscard]] int ContextTab() const noexcept { return contextTab_; }
    void ContextTab(int index) noexcept { contextTab_ = index; }
    // Silent mode: in memory only, off at start.
    [[nodiscard]] bool Silent() const noexcept { return silent_; }
    [[nodiscard]] const TabMenus& Menus() const noexcept { return menus_; }

private:
    // The context tab's node, null when the context tab is no tab.
    [[nodiscard]] std::shared_ptr<clsLink> ContextNode();
    void ToggleLock(clsLink& node);
    void ToggleTopmost(clsLink& node);
    void ChooseColour(clsLink& node, int item);
    // Closes every unlocked tab but keep (-1: all).
    void CloseTabs(int keep);

    TabUiHost& host_;
    ColourPicker pickColour_;
    TabMenus menus_;
    int contextTab_ = -1;
    bool silent_ = false;
};

}  // namespace parlix
