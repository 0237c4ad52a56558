// frmMain: the one main window. Owns the capture engine's parts, drives them from its timers
// and message dispatch, and hosts the captured windows.
#pragma once

#include "base/window_base_win.h"
#include "capture/detect_win.h"
#include "capture/discovery_win.h"
#include "capture/dispatch_win.h"
#include "capture/hook_library_win.h"
#include "capture/window_tree_win.h"
#include "ui/recognition_list_win.h"

#include <string>

namespace parlix {

inline constexpr wchar_t kMainWindowClass[] = L"Parlix.frmMain";

class MainWindow final : public WindowBase, private DispatchHost, private CaptureSink {
public:
    MainWindow();
    ~MainWindow() override;

    // Start-up: creates the window and runs the start-up sequence. False when the window could
    // not be created.
    bool Load(int showCommand);

    [[nodiscard]] static std::wstring BaseCaption();

private:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnFinalDestroy() override;
    void OnTimer(UINT_PTR id);
    void Layout();
    void Unload();

    // DispatchHost
    void DetectWindow(HWND window) override;
    void OnMainActivated() override {}
    void ReAddTrayIcon() override {}
    void EndSession() override;
    void KeyFunctions(int) override {}
    void TrayAction(LPARAM) override {}
    bool TranslucentWhileSizing() const override { return false; }
    bool ShowNumbersOnCtrl() const override { return false; }
    bool CompatibilityMode() const override { return false; }
    void ShowNumbers() override {}
    void HideNumbers() override {}
    bool SetQQFocusByHwnd(HWND, bool, bool) override { return false; }
    bool HasCurrentTab() const override { return false; }
    void BeginMouseGesture() override {}
    void AddToMouseGesture() override {}
    bool EndMouseGesture() override { return false; }
    WheelBand TabStripBand() const override { return {}; }
    int TabCount() const override { return 0; }
    int SelectedTab() const override { return -1; }
    void SelectTab(int) override {}

    // CaptureSink
    bool IsCaptured(HWND window) const override { return recognized_.Contains(window); }
    bool AddTab(HWND window, const Recognition& recognition) override;
    void AfterCapture() override {}
    void AfterScan() override {}

    HookLibrary hooks_;
    Win32WindowTree tree_;
    ClientDiscovery discovery_{hooks_, tree_};
    MessageDispatch dispatch_{*this};
    ChatDetector detector_{tree_, [this] { return discovery_.ImProcessIds(); }, *this};
    RecognitionList recognized_;
    bool unloaded_ = false;
};

}  // namespace parlix
