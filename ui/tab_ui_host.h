// What the tab commands and the tab drag need from the main window that hosts them.
#pragma once

#include "capture/tab_registry.h"
#include "ui/tab_control_win.h"

#include <windows.h>

#include <cstdint>

namespace parlix {

class TabUiHost {
public:
    // The registry (`LinkHead`) and the strip (`btnTab`); index i of the strip is node i + 1.
    virtual TabRegistry& Registry() = 0;
    virtual TabControl& Strip() = 0;
    virtual HWND MainHwnd() const = 0;
    // The container of the captured windows; the drag tells the strip from the chat area by it.
    virtual HWND PicWin() const = 0;

    // Pops the tab out with the shell notifications held off meanwhile, then moves the focus to
    // the popped window.
    virtual void PopTab(int index) = 0;
    // The close operation of the capture engine: refuses locked tabs, may leave the tab in place
    // when the client asks a question first.
    virtual void CloseTab(int index) = 0;
    // Keyboard focus into the current tab's chat.
    virtual void FocusCurrent() = 0;

    // Settings: tab icons shown (tab_ShowIcon), the normal tab colour (tab_Normal).
    virtual bool TabShowIcon() const = 0;
    virtual std::int32_t TabNormal() const = 0;

    // Program commands.
    virtual void ShowOrHide() = 0;    // from the tray when hidden there, else to the tray
    virtual void ShowSettings() = 0;  // modeless
    virtual void ShowAbout() = 0;     // modeless
    virtual void Exit() = 0;          // starts the exit outside the menu's message handling

protected:
    ~TabUiHost() = default;
};

}  // namespace parlix
