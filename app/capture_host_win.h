// Where a recognised chat window goes: the capture as the detector asks for it, what follows
// a capture and the start-up scan, and the windows the user popped out, which no window event
// takes again (only their merge button does). Owns the popped-out set and the merge buttons.
#pragma once

#include "capture/attach_win.h"
#include "capture/client_calls_win.h"
#include "capture/detect_win.h"
#include "capture/tab_registry.h"
#include "settings/settings.h"
#include "ui/main_window_win.h"
#include "ui/merge_buttons_win.h"
#include "ui/tray_win.h"

#include <windows.h>

#include <unordered_set>

namespace parlix {

class TabView;
class WindowState;

class CaptureHost final : public CaptureSink {
public:
    // Every part named here must outlive this object; the detector may be constructed later.
    CaptureHost(MainWindow& view, const TabRegistry& registry, TabAttacher& attacher, ClientCalls& calls,
                const Settings& settings, Tray& tray, WindowState& state, TabView& tabs, ChatDetector& detector)
        : view_(view), registry_(registry), attacher_(attacher), calls_(calls), settings_(settings), tray_(tray),
          state_(state), tabs_(tabs), detector_(detector) {}

    // A window reported by the shell or the hook library; a popped-out window is left alone.
    void DetectWindow(HWND window);
    // A window the user popped out gets its merge button.
    void Popped(HWND window);

    // CaptureSink
    [[nodiscard]] bool IsCaptured(HWND window) const override;
    bool AddTab(HWND window, const Recognition& recognition) override;
    // Shows the main window if it was in the tray and posts kMsgAfterCapture: the window comes
    // to the front once what already waits (another window to capture) is done; FinishCapture
    // answers it.
    void AfterCapture() override;
    void FinishCapture();
    void AfterScan() override;

private:
    MainWindow& view_;
    const TabRegistry& registry_;
    TabAttacher& attacher_;
    ClientCalls& calls_;
    const Settings& settings_;
    Tray& tray_;
    WindowState& state_;
    TabView& tabs_;
    ChatDetector& detector_;
    std::unordered_set<HWND> popped_;
    MergeButtons merge_{[this](HWND target) {
        popped_.erase(target);
        detector_.DetectWindow(target, false);
    }};
};

}  // namespace parlix
