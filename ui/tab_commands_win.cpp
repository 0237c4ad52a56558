#include "ui/tab_commands_win.h"

#include "ui/tab_commands.h"

#include <commdlg.h>

#include <memory>
#include <vector>

namespace parlix {

std::optional<COLORREF> ShowColourDialog(HWND owner, COLORREF initial) {
    // The custom colours of the dialog last as long as the program.
    static COLORREF custom[16]{};
    CHOOSECOLORW cc{};
    cc.lStructSize = sizeof cc;
    cc.hwndOwner = owner;
    cc.rgbResult = initial;
    cc.lpCustColors = custom;
    cc.Flags = CC_RGBINIT | CC_FULLOPEN;
    if (!::ChooseColorW(&cc)) return std::nullopt;
    return cc.rgbResult;
}

std::shared_ptr<clsLink> TabCommands::ContextNode() {
    if (contextTab_ < 0 || contextTab_ >= host_.Registry().count()) return nullptr;
    return host_.Registry().GetNode(contextTab_ + 1);
}

void TabCommands::RButtonClicked(int index) {
    contextTab_ = index;
    const auto node = ContextNode();
    if (!node) {
        RButtonClickedWindow();
        return;
    }
    menus_.PrepareTabMenu(node->bTopmost, node->window.Locked, node->colorIndex);
    Execute(TabMenus::ShowAtCursor(menus_.mnuContext(), host_.MainHwnd()));
}

void TabCommands::MButtonClicked(int index) {
    contextTab_ = index;
    if (index >= 0 && index < host_.Strip().count()) host_.CloseTab(index);
}

void TabCommands::RButtonClickedWindow() {
    menus_.PrepareStripMenu(silent_);
    Execute(TabMenus::ShowAtCursor(menus_.mnuTabContext(), host_.MainHwnd()));
}

void TabCommands::ShowTrayMenu() {
    menus_.PrepareTrayMenu(silent_);
    Execute(TabMenus::ShowAtCursor(menus_.mnuTray(), host_.MainHwnd()));
}

void TabCommands::ToggleLock(clsLink& node) {
    node.window.Locked = !node.window.Locked;
    host_.Strip().SetItemImage(tabs::LockImage(node.window.Locked, host_.TabShowIcon()), contextTab_);
}

void TabCommands::ToggleTopmost(clsLink& node) {
    node.bTopmost = !node.bTopmost;
    ::SetWindowPos(host_.MainHwnd(), node.bTopmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                   SWP_SHOWWINDOW | SWP_NOMOVE | SWP_NOSIZE);
}

void TabCommands::ChooseColour(clsLink& node, int item) {
    if (item == tabs::kCustomColour) {
        const auto chosen = pickColour_(host_.MainHwnd(), static_cast<COLORREF>(node.window.TabColor));
        // Cancelled: the tab keeps its colour and its checked item.
        if (!chosen) return;
        node.window.TabColor = static_cast<std::int32_t>(*chosen);
    } else {
        const auto colour = tabs::PaletteColour(item, host_.TabNormal());
        if (!colour) return;
        node.window.TabColor = *colour;
    }
    node.colorIndex = item;
    host_.Strip().Redraw();
}

void TabCommands::CloseTabs(int keep) {
    TabRegistry& registry = host_.Registry();
    const int count = registry.count();
    if (keep >= count) return;
    const auto locked = std::make_unique<bool[]>(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) locked[static_cast<size_t>(i)] = registry.GetNode(i + 1)->window.Locked;

    // Each close may let other tabs go (a client answering a question, the upkeep of a window
    // that died): the tabs are found again by their window right before each close.
    std::vector<HandleValue> windows;
    for (int index : tabs::TabsToClose({locked.get(), static_cast<size_t>(count)}, keep))
        windows.push_back(registry.GetNode(index + 1)->window.hWnd);
    for (HandleValue window : windows)
        if (const int pos = registry.PositionOfWindow(window); pos > 0) host_.CloseTab(pos - 1);
}

bool TabCommands::Execute(unsigned id) {
    const auto node = ContextNode();
    switch (id) {
    case mnuPop:
        if (node) host_.PopTab(contextTab_);
        return true;
    case mnuLock:
        if (node) ToggleLock(*node);
        return true;
    case mnuTopmost:
        if (node) ToggleTopmost(*node);
        return true;
    case mnuClose:
        if (node) host_.CloseTab(contextTab_);
        return true;
    case mnuCloseAll:
    case mnuCloseAll2:
    case mnuCloseAll3:
        CloseTabs(-1);
        return true;
    case mnuCloseOther:
        if (node) CloseTabs(contextTab_);
        return true;
    case mnuSlient:
    case mnuSlient2:
        silent_ = !silent_;
        return true;
    case mnuShow:
        host_.ShowOrHide();
        return true;
    case mnuSet:
    case mnuSet2:
        host_.ShowSettings();
        return true;
    case mnuAbout:
    case mnuAbout2:
        host_.ShowAbout();
        return true;
    case mnuExit:
        host_.Exit();
        return true;
    default:
        break;
    }
    if (id >= mnuColor && id <= mnuColor + tabs::kCustomColour) {
        if (node) ChooseColour(*node, static_cast<int>(id - mnuColor));
        return true;
    }
    return false;
}

}  // namespace parlix
