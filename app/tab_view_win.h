// The selected tab: the strip's operations as the capture engine uses them, the tab switch
// (the strip's Changed event) and the empty window. Owns CurrentLink, the current tab number
// and which captured window is on show; the mouse events of the strip go on to the drag and
// the tab commands.
#pragma once

#include "capture/tab_registry.h"
#include "capture/tab_strip_ops.h"
#include "settings/settings.h"
#include "ui/main_window_win.h"
#include "ui/tab_commands_win.h"
#include "ui/tab_drag_win.h"

#include <windows.h>

#include <memory>
#include <string>

namespace parlix {

// What the tab switch asks of the rest of the program.
class TabSwitchHost {
public:
    // The tab being left: its history length is read again.
    virtual void LeavingTab(const std::shared_ptr<clsLink>& node) = 0;
    // Lay out for the new tab (fit the window or the layout) and show its window in front.
    virtual void LayOutCurrent() = 0;
    [[nodiscard]] virtual bool MainIsActive() const = 0;
    // After the switch, while the main window is active: tab read and focus, number badges.
    virtual void AfterSwitch() = 0;
    // No chat is left: to the tray when tray_AutoMin asks for it.
    virtual void WindowEmptied() = 0;
    // CurrentLink changed (CurrentWin of the plugins' host follows it).
    virtual void CurrentChanged(const LinkRef& current) = 0;
    // Hides a captured window without waiting for its client.
    virtual void HideAsync(HWND window) = 0;

protected:
    ~TabSwitchHost() = default;
};

class TabView final : public TabStripOps, public TabControlEvents {
public:
    TabView(MainWindow& view, const TabRegistry& registry, const std::wstring& captionSuffix, TabSwitchHost& host,
            TabDrag& drag, TabCommands& commands)
        : view_(view), registry_(registry), captionSuffix_(captionSuffix), host_(host), drag_(drag),
          commands_(commands) {}

    // CurrentLink, shared with the parts that follow the selected tab (upkeep, focus, detach).
    [[nodiscard]] LinkRef& Link() noexcept { return current_; }
    [[nodiscard]] std::shared_ptr<clsLink> Current() const { return current_.lock(); }
    // Registry position of the selected tab, -1 when none.
    [[nodiscard]] int Number() const noexcept { return number_; }
    // After a pop-out the tab left selected becomes current again.
    void RepointToSelected();

    // TabStripOps
    void AddItem(const std::wstring& title) override { view_.Strip().AddItem(title); }
    void SetItemImage(int index, int image) override { view_.Strip().SetItemImage(image, index); }
    void DelItem(int index) override { view_.Strip().DelItem(index); }
    void DelAllItems() override;
    [[nodiscard]] int TabCount() const override { return view_.Strip().count(); }
    void SetSelected(int index) override { view_.Strip().Selected(index); }
    void ShowTabs() override;
    void ShowMsg() override;

    // TabControlEvents
    void Changed(int index) override;
    void MouseDown(int x, int y, int index) override { drag_.MouseDown(x, y, index); }
    void MouseMove(int buttons, int x, int y, int index) override { drag_.MouseMove(buttons, x, y, index); }
    void MouseUp(int x, int y, int index) override { drag_.MouseUp(x, y, index); }
    void LButtonClicked() override { drag_.LButtonClicked(); }
    void LButtonDBLClicked() override { drag_.LButtonDBLClicked(); }
    void RButtonClicked(int index) override { commands_.RButtonClicked(index); }
    void MButtonClicked(int index) override { commands_.MButtonClicked(index); }
    void RButtonClickedWindow() override { commands_.RButtonClickedWindow(); }

private:
    MainWindow& view_;
    const TabRegistry& registry_;
    const std::wstring& captionSuffix_;
    TabSwitchHost& host_;
    TabDrag& drag_;
    TabCommands& commands_;
    LinkRef current_;
    int number_ = -1;
    HWND shown_ = nullptr;  // the captured window currently shown in picWin
};

}  // namespace parlix
