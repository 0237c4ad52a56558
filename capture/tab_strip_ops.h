// What attaching and detaching do to the main window's tab strip and page, as the capture
// engine sees it. The main window implements it over its TabControl, picWin and fraMsg.
#pragma once

#include <string>

namespace parlix {

class TabStripOps {
public:
    virtual ~TabStripOps() = default;
    virtual void AddItem(const std::wstring& title) = 0;
    virtual void SetItemImage(int index, int image) = 0;
    virtual void DelItem(int index) = 0;
    // Every tab goes at once, selecting none on the way (exit: no tab is laid out for nothing).
    virtual void DelAllItems() {
        while (TabCount() > 0) DelItem(TabCount() - 1);
    }
    [[nodiscard]] virtual int TabCount() const = 0;
    // Writing the selection raises the strip's change event.
    virtual void SetSelected(int index) = 0;
    // The strip and page shown, the no-chat notice hidden.
    virtual void ShowTabs() = 0;
    // The notice that no chat window is captured.
    virtual void ShowMsg() = 0;
};

}  // namespace parlix
