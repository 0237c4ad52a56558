#include "app/capture_host_win.h"

#include "app/tab_view_win.h"
#include "app/window_state_win.h"
#include "base/handle_value_win.h"
#include "capture/focus_win.h"

namespace parlix {

void CaptureHost::DetectWindow(HWND window) {
    std::erase_if(popped_, [](HWND w) { return !::IsWindow(w); });
    if (popped_.contains(window)) return;
    detector_.DetectWindow(window, false);
}

void CaptureHost::Popped(HWND window) {
    popped_.insert(window);
    merge_.Add(view_.Hwnd(), window, view_.Dpi());
}

bool CaptureHost::IsCaptured(HWND window) const { return registry_.PositionOfWindow(Value(window)) > 0; }

bool CaptureHost::AddTab(HWND window, const Recognition& r) {
    const AttachSettings s{settings_.tab_MaxLen == 1, settings_.tab_MaxLength, settings_.tab_Normal,
                           settings_.org_Comp == 1, settings_.tab_ShowIcon == 1};
    return attacher_.AddTab(window, r.caption, r.isGroup, r.version, r.processId, view_.PicWin(), s) != nullptr;
}

void CaptureHost::AfterCapture() {
    if (state_.MainState() == MainWindowState::InTray) {
        calls_.ReleaseHungFocus();
        tray_.ShowInTaskBar(true);
    }
    state_.PostAfterCapture();
}

void CaptureHost::FinishCapture() {
    // The user may have sent the main window to the tray since the capture: it stays there.
    const HWND main = view_.Hwnd();
    if (!::IsWindowVisible(main)) return;
    // A window already in front is left as it is. Otherwise the client of the current tab is
    // asked to take the focus, which brings the main window forward without Parlix waiting on
    // that client; failing that, Parlix does it, waiting on the client holding the focus
    // (checked first).
    if (::GetForegroundWindow() != main && ::IsWindowEnabled(main)) {
        const auto current = tabs_.Current();
        if (!current || !calls_.AskToTakeFocus(FocusTarget(current->window))) {
            calls_.ReleaseHungFocus();
            ::SetForegroundWindow(main);
        }
    }
    state_.PostFocusCurrent();
}

void CaptureHost::AfterScan() {
    if (tabs_.TabCount() > 0) tabs_.SetSelected(tabs_.TabCount() - 1);
    else tabs_.ShowMsg();
}

}  // namespace parlix
