#include "capture/dispatch_win.h"

#include "base/error_report_win.h"
#include "base/subclass_win.h"
#include "hook/hook_protocol.h"

#include <commctrl.h>

namespace parlix {

namespace {
constexpr UINT_PTR kSubclassId = 0x50524C58;  // 'PRLX'
}

void MessageDispatch::RegisterShellHook(HWND mainWindow) {
    if (shellHookMsg_ == 0) shellHookMsg_ = ::RegisterWindowMessageW(L"SHELLHOOK");
    ::RegisterShellHookWindow(mainWindow);
    watchingWindows_ = true;
}

void MessageDispatch::DeregisterShellHook(HWND mainWindow) {
    ::DeregisterShellHookWindow(mainWindow);
    watchingWindows_ = false;
}

bool MessageDispatch::HookMainWindow(HWND mainWindow) {
    if (main_ || !mainWindow) return false;
    if (!AddSubclass(mainWindow, Subclass, kSubclassId, reinterpret_cast<DWORD_PTR>(this))) return false;
    main_ = mainWindow;
    return true;
}

bool MessageDispatch::UnhookMainWindow() {
    if (!main_) return false;
    const bool removed = RemoveSubclass(main_, Subclass, kSubclassId) != FALSE;
    main_ = nullptr;
    return removed;
}

LRESULT CALLBACK MessageDispatch::Subclass(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                           DWORD_PTR self) noexcept {
    auto& dispatch = *reinterpret_cast<MessageDispatch*>(self);
    struct Nest {
        int& depth;
        explicit Nest(int& d) : depth(d) { ++depth; }
        ~Nest() { --depth; }
    } nest(dispatch.nesting_);
    bool handled = false;
    const LRESULT result = dispatch.WndProc(msg, wParam, lParam, handled);
    if (msg == WM_NCDESTROY) dispatch.UnhookMainWindow();
    return handled ? result : CallNextSubclass(hwnd, msg, wParam, lParam);
}

LRESULT MessageDispatch::WndProc(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) {
    LRESULT result = 0;
    Trapped(L"modProc", L"WndProc", true, [&] { result = Dispatch(msg, wParam, lParam, handled); });
    return result;
}

LRESULT MessageDispatch::Dispatch(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) {
    if (msg == 0) return 0;
    if (msg == shellHookMsg_) {
        OnShell(wParam, lParam);
        return 0;
    }
    if (msg == taskbarCreatedMsg_) {
        host_.ReAddTrayIcon();
        return 0;
    }
    switch (msg) {
    case WM_QUERYENDSESSION:
        host_.EndSession();
        return 0;
    case WM_ENDSESSION:
        // Sent without a query first (a forced log-off): the windows must not die with us.
        if (wParam) host_.EndSession();
        return 0;
    case WM_HOTKEY:
        host_.KeyFunctions(static_cast<int>(wParam & 0xFF));
        return 0;
    case kTrayCallbackMsg:
        host_.TrayAction(lParam);
        return 0;
    case WM_ENTERSIZEMOVE:
        SetSizing(true);
        return 0;
    case WM_EXITSIZEMOVE:
        SetSizing(false);
        return 0;
    case WM_LBUTTONUP:
    case WM_NCMOUSELEAVE:
        isSizing_ = false;
        return 0;
    case WM_MOUSEWHEEL:
        OnWheel(wParam, lParam);
        return 0;
    case hook::kWmHookNotify:
        return OnHookNotify(wParam, lParam, handled);
    case WM_ACTIVATE:
        // The shell's activation notice does not arrive everywhere; the window's own
        // activation keeps MainIsActive right as well.
        mainIsActive_ = LOWORD(wParam) != WA_INACTIVE;
        if (mainIsActive_) host_.OnMainActivated();
        return 0;
    default:
        return 0;
    }
}

void MessageDispatch::OnShell(WPARAM code, LPARAM window) {
    switch (code) {
    case HSHELL_WINDOWCREATED:
        OnCreated(reinterpret_cast<HWND>(window));
        break;
    case HSHELL_WINDOWACTIVATED:
    case HSHELL_RUDEAPPACTIVATED:
        mainIsActive_ = reinterpret_cast<HWND>(window) == main_;
        if (mainIsActive_) host_.OnMainActivated();
        break;
    default:
        break;
    }
}

void MessageDispatch::OnCreated(HWND window) {
    if (!watchingWindows_ || isClosing_ || ::GetParent(window) != nullptr) return;
    // Once per window: a handle is examined again only after the window it named is gone.
    if (examined_.size() > 256) std::erase_if(examined_, [](HWND w) { return !::IsWindow(w); });
    if (!examined_.insert(window).second) return;
    host_.DetectWindow(window);
}

LRESULT MessageDispatch::OnHookNotify(WPARAM code, LPARAM value, bool& handled) {
    using namespace hook;
    switch (code) {
    case kKeyState:
        if (!mainIsActive_ || !host_.ShowNumbersOnCtrl()) return 0;
        if (value == kKeyDown) {
            numbersShown_ = true;
            host_.ShowNumbers();
        } else if (value == kKeyUp) {
            numbersShown_ = false;
            host_.HideNumbers();
        }
        return 0;
    case kClick:
        host_.SetQQFocusByHwnd(reinterpret_cast<HWND>(value), false, false);
        return 0;
    case kClickAnswer:
        if (host_.SetQQFocusByHwnd(reinterpret_cast<HWND>(value), false, false)) {
            handled = true;
            return -1;
        }
        return 0;
    case kFocusRequest:
        if (!host_.CompatibilityMode() || !mainIsActive_) return 0;
        mainIsActive_ = host_.SetQQFocusByHwnd(reinterpret_cast<HWND>(value), true, false);
        if (mainIsActive_ && host_.HasCurrentTab()) {
            if (!focusToggle_) {
                focusToggle_ = true;
                ::SetFocus(main_);
            } else {
                focusToggle_ = false;
            }
        }
        return 0;
    case kGesture:
        if (value == kGesturePoint) {
            host_.AddToMouseGesture();
        } else if (value == kGestureBegin) {
            host_.BeginMouseGesture();
        } else {
            handled = true;
            return host_.EndMouseGesture() ? 1 : 0;
        }
        return 0;
    case kWindowShown:
        OnCreated(reinterpret_cast<HWND>(value));
        return 0;
    case kHistoryChanged:
        host_.HistoryChanged(reinterpret_cast<HWND>(value));
        return 0;
    default:
        hookReply_ = value;
        return 0;
    }
}

void MessageDispatch::OnWheel(WPARAM wParam, LPARAM lParam) {
    POINT pt{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    ::ScreenToClient(main_, &pt);
    if (!WheelQualifies(LOWORD(wParam), pt.x, pt.y, host_.TabStripBand())) return;
    const int delta = static_cast<short>(HIWORD(wParam));
    if (const auto next = wheel_.OnQualifying(delta, host_.SelectedTab(), host_.TabCount())) {
        host_.SelectTab(*next);
        host_.HideNumbers();
    }
}

void MessageDispatch::SetSizing(bool sizing) {
    isSizing_ = sizing;
    if (host_.TranslucentWhileSizing())
        ::SetLayeredWindowAttributes(main_, 0, static_cast<BYTE>(sizing ? 150 : 255), LWA_ALPHA);
}

}  // namespace parlix
