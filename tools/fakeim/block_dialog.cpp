#include "tools/fakeim/block_dialog.h"

#include "tools/fakeim/class_names.h"
#include "tools/fakeim/environment.h"
#include "tools/fakeim/sim_window.h"

#include <commctrl.h>

namespace fakeim {

namespace {

constexpr UINT_PTR kDialogSubclassId = 2;
constexpr int kWidth = 300;
constexpr int kHeight = 140;

LRESULT CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR ref) {
    auto& chat = *reinterpret_cast<SimWindow*>(ref);
    switch (msg) {
    case WM_COMMAND:
        if (LOWORD(wp) != IDOK) break;
        [[fallthrough]];
    case WM_CLOSE:
        chat.Unblock(); // destroys this dialog
        return 0;
    case WM_NCDESTROY:
        ::RemoveWindowSubclass(hwnd, DialogProc, kDialogSubclassId);
        chat.ForgetDialog(hwnd);
        break;
    default:
        break;
    }
    return ::DefSubclassProc(hwnd, msg, wp, lp);
}

} // namespace

HWND ShowBlockDialog(const Environment& env, const std::wstring& title, SimWindow& chat) {
    const int x = (::GetSystemMetrics(SM_CXSCREEN) - kWidth) / 2;
    const int y = (::GetSystemMetrics(SM_CYSCREEN) - kHeight) / 2;
    // Unowned: the chat may be embedded in another process's window when this shows.
    HWND dialog = ::CreateWindowExW(WS_EX_DLGMODALFRAME, kDialogClass, title.c_str(),
                                    WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, x, y, kWidth, kHeight,
                                    nullptr, nullptr, env.instance, nullptr);
    if (!dialog) return nullptr;
    ::SetWindowSubclass(dialog, DialogProc, kDialogSubclassId, reinterpret_cast<DWORD_PTR>(&chat));
    RECT rc;
    ::GetClientRect(dialog, &rc);
    HWND text = ::CreateWindowExW(0, L"Static", title.c_str(), WS_CHILD | WS_VISIBLE | SS_CENTER, 10, 20,
                                  rc.right - 20, 24, dialog, nullptr, env.instance, nullptr);
    HWND ok = ::CreateWindowExW(0, L"Button", L"确定", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON,
                                (rc.right - 80) / 2, rc.bottom - 36, 80, 26, dialog,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDOK)), env.instance, nullptr);
    for (HWND w : {text, ok})
        ::SendMessageW(w, WM_SETFONT, reinterpret_cast<WPARAM>(env.font.get()), FALSE);
    ::ShowWindow(dialog, SW_SHOWNORMAL);
    return dialog;
}

} // namespace fakeim
