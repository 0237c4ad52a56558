#include "app/tab_view_win.h"

#include "base/handle_value_win.h"
#include "capture/upkeep_rules.h"

namespace parlix {

void TabView::RepointToSelected() {
    if (current_.lock()) return;
    const int selected = view_.Strip().Selected();
    if (selected < 0 || selected >= registry_.count()) return;
    current_ = registry_.GetNode(selected + 1);
    number_ = selected + 1;
}

void TabView::DelAllItems() {
    view_.Strip().Clear();
    current_.reset();
    number_ = -1;
    shown_ = nullptr;
    host_.CurrentChanged(current_);
}

void TabView::ShowTabs() {
    ::ShowWindow(view_.Strip().ControlhWnd(), SW_SHOW);
    ::ShowWindow(view_.PicWin(), SW_SHOW);
    view_.Notice().Show(false);
}

void TabView::ShowMsg() {
    current_.reset();
    number_ = -1;
    shown_ = nullptr;
    host_.CurrentChanged(current_);
    ::ShowWindow(view_.Strip().ControlhWnd(), SW_HIDE);
    ::ShowWindow(view_.PicWin(), SW_HIDE);
    RECT client{};
    ::GetClientRect(view_.Hwnd(), &client);
    view_.Notice().Move(client);
    view_.Notice().Show(true);
    view_.SetCaption(MainWindow::BaseCaption() + captionSuffix_);
    host_.WindowEmptied();
}

void TabView::Changed(int index) {
    // The tab being left keeps the length of what was shown in it: text that arrived while it
    // was on screen is never reported later.
    if (const auto left = current_.lock()) host_.LeavingTab(left);
    current_.reset();
    if (index < 0 || index >= registry_.count()) {
        number_ = -1;
        host_.CurrentChanged(current_);
        return;
    }
    // Nothing here waits on a client (the windows are hidden and placed by requests); the
    // focus move that follows checks the client holding the focus itself.
    const std::shared_ptr<clsLink> node = registry_.GetNode(index + 1);
    current_ = node;
    number_ = index + 1;
    host_.CurrentChanged(current_);
    // Only the window shown so far goes behind: every other captured window is hidden already.
    const HWND now = Window(node->window.hWnd);
    if (shown_ && shown_ != now && registry_.PositionOfWindow(Value(shown_)) > 0) host_.HideAsync(shown_);
    shown_ = now;
    host_.LayOutCurrent();
    // A tab kept on top keeps the main window on top while it is selected.
    if (host_.MainIsActive())
        ::SetWindowPos(view_.Hwnd(), node->bTopmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    view_.SetCaption(MainCaption(node->window.Caption, captionSuffix_));
    if (host_.MainIsActive()) host_.AfterSwitch();
}

}  // namespace parlix
