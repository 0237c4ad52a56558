#include "ui/main_window_win.h"

#include "base/error_report_win.h"
#include "base/last_chance_win.h"

#include <commctrl.h>

namespace parlix {

namespace {
// Timer ids on the main window, named after the timers they drive.
enum TimerId : UINT_PTR { tmrCheckHook = 6 };
constexpr UINT kCheckHookMs = 5000;

constexpr int kVersionMajor = 1;
constexpr int kVersionMinor = 0;
}  // namespace

MainWindow::MainWindow() = default;

MainWindow::~MainWindow() { Unload(); }

std::wstring MainWindow::BaseCaption() {
    return L"Parlix Ver " + std::to_wstring(kVersionMajor) + L"." + std::to_wstring(kVersionMinor);
}

bool MainWindow::Load(int showCommand) {
    RegisterClassOnce(kMainWindowClass, ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1)),
                      reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    if (!Create(kMainWindowClass, BaseCaption().c_str(), WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, CW_USEDEFAULT,
                CW_USEDEFAULT, 640, 480))
        return false;
    dispatch_.MainIsActive = true;
    recognized_.Create(Hwnd());
    Layout();
    dispatch_.HookMainWindow(Hwnd());

    // Loading the hook library first: its exports and icon are needed from here on.
    hooks_.Load();
    hooks_.EnableMouseGesture(false);
    discovery_.InitHooks();
    dispatch_.SetTaskbarCreatedMsg(discovery_.TaskbarCreatedMsg());
    discovery_.FindClients(Hwnd());
    ::SetTimer(Hwnd(), tmrCheckHook, kCheckHookMs, nullptr);

    ::ShowWindow(Hwnd(), showCommand);
    detector_.ScanExisting();
    dispatch_.RegisterShellHook(Hwnd());
    return true;
}

void MainWindow::Unload() {
    if (unloaded_) return;
    unloaded_ = true;
    if (Hwnd()) {
        ::KillTimer(Hwnd(), tmrCheckHook);
        dispatch_.DeregisterShellHook(Hwnd());
        dispatch_.UnhookMainWindow();
    }
    discovery_.EndHooks();
}

LRESULT MainWindow::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_SIZE:
        Layout();
        return 0;
    case WM_TIMER:
        OnTimer(wParam);
        return 0;
    case WM_CLOSE:
        Unload();
        ::DestroyWindow(Hwnd());
        return 0;
    case WM_DESTROY:
        ::PostQuitMessage(0);
        return 0;
    default:
        return WindowBase::HandleMessage(msg, wParam, lParam);
    }
}

void MainWindow::OnFinalDestroy() { Unload(); }

void MainWindow::OnTimer(UINT_PTR id) {
    if (id == tmrCheckHook) discovery_.FindClients(Hwnd());
}

void MainWindow::Layout() {
    RECT r{};
    ::GetClientRect(Hwnd(), &r);
    ::InflateRect(&r, -3, -3);
    recognized_.Move(r);
}

void MainWindow::DetectWindow(HWND window) { detector_.DetectWindow(window, false); }

void MainWindow::EndSession() {
    Unload();
    EndProgramNow(0);
}

bool MainWindow::AddTab(HWND window, const Recognition& recognition) {
    recognized_.Add(window, recognition);
    return true;
}

}  // namespace parlix
