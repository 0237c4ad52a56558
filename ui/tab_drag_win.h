// Reordering tabs by dragging them along the strip, and detaching one by dropping it outside the
// main window. While a tab is dragged, frmTabDrag (a translucent picture of it) follows the
// cursor; picInsert (a 3-pixel bar as tall as the tab row) marks where the tab would go; over the main window where a
// drop does nothing the picture shows a red cross, outside it a pop-out picture.
// Driven by the strip's mouse events; both windows are made at the first drag.
#pragma once

#include "base/scoped_win.h"
#include "base/window_base_win.h"
#include "ui/tab_commands.h"
#include "ui/tab_commands_win.h"
#include "ui/tab_ui_host.h"

#include <windows.h>

namespace parlix {

class TabDrag {
public:
    TabDrag(TabUiHost& host, TabCommands& commands) : host_(host), commands_(commands) {}
    TabDrag(const TabDrag&) = delete;
    TabDrag& operator=(const TabDrag&) = delete;

    // Strip events (x, y in the tab window's client coordinates).
    void MouseDown(int x, int y, int index);
    void MouseMove(int buttons, int x, int y, int index);
    void MouseUp(int x, int y, int index);
    void LButtonClicked();     // ends a drag, focus into the current chat
    void LButtonDBLClicked();  // ends a drag, closes the selected tab

    [[nodiscard]] bool Dragging() const noexcept { return dragging_; }
    [[nodiscard]] HWND picInsert() const noexcept { return picInsert_.Hwnd(); }
    [[nodiscard]] HWND frmTabDrag() const noexcept { return frmTabDrag_.Hwnd(); }
    [[nodiscard]] bool CrossShown() const noexcept { return frmTabDrag_.cross; }
    [[nodiscard]] bool PopOutShown() const noexcept { return frmTabDrag_.popOut; }

private:
    // The insertion marker: an owned pop-up, so that it stays above the strip and the chat
    // windows, and the mouse passes through it.
    class Marker final : public WindowBase {
    public:
        bool Make(HWND owner);
    };
    // The dragged tab's picture with the cross or the pop-out picture over it.
    class Picture final : public WindowBase {
    public:
        bool Make(HWND owner);
        // Copies width × height pixels of source from (x, y).
        void Capture(HWND source, int x, int y, int width, int height);
        void SetMarks(bool crossOn, bool popOutOn);
        bool cross = false;
        bool popOut = false;
        int dpi = 96;  // the marks are drawn for it

    private:
        LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
        void Paint(HDC dc) const;
        ScopedBitmap picture_;
        SIZE size_{};
    };

    void Start(int x);
    void Feedback(int x, int y, int index);
    void ShowMarker(int tab, bool rightEdge);
    void HideFeedback();
    // Ends a drag whose mouse capture went elsewhere, or that a click ends.
    void Cancel();
    [[nodiscard]] POINT ToMainClient(int x, int y) const;
    [[nodiscard]] static bool CursorOutside(HWND window);

    TabUiHost& host_;
    TabCommands& commands_;
    Marker picInsert_;
    Picture frmTabDrag_;

    bool dragging_ = false;
    int pressed_ = -1;                // tab under the left button at MouseDown
    tabs::Offset press_{};            // press point
    int pressOffsetY_ = 0;            // press Y - the pressed tab's top
    tabs::Offset hotspot_{};          // cursor offset inside the drag picture
    bool behindTabs_ = false;         // the marker stands behind the last tab
};

}  // namespace parlix
