#include "tools/demo_driver/dialogs.h"

#include "settings/dialog_rules.h"
#include "ui/menu_ids.h"

#include <commctrl.h>

#include <string_view>

using namespace parlix;
using namespace parlix::test;

namespace demo {

namespace {

struct Search {
    int id;
    const wchar_t* className;
    HWND found;
};

BOOL CALLBACK Match(HWND w, LPARAM p) {
    auto* s = reinterpret_cast<Search*>(p);
    wchar_t cls[64] = {};
    ::GetClassNameW(w, cls, 64);
    if (s->className ? std::wstring_view(cls) != s->className : ::GetDlgCtrlID(w) != s->id) return TRUE;
    s->found = w;
    return FALSE;
}

HWND FindChild(HWND root, int id, const wchar_t* className = nullptr) {
    Search s{id, className, nullptr};
    ::EnumChildWindows(root, Match, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

HWND Dialog(const wchar_t* className, std::chrono::milliseconds deadline) {
    return WaitForWindow({.className = className, .visibleOnly = true}, deadline);
}

}  // namespace

int ShowSettingsPage(const ParlixApp& app, int page) {
    HWND dialog = Dialog(L"Parlix.frmSet", 200ms);
    if (!dialog) {
        if (!app.Command(mnuSet2)) return 1;
        dialog = Dialog(L"Parlix.frmSet", 20s);
    }
    if (!dialog) return 1;
    const HWND tabs = FindChild(dialog, 0, WC_TABCONTROLW);
    if (!tabs) return 1;
    // The arrow keys move the selection along the tabs, as on the keyboard.
    const bool reached = WaitFor(
        [&] {
            const auto current = static_cast<int>(::SendMessageW(tabs, TCM_GETCURSEL, 0, 0));
            if (current == page) return true;
            ::PostMessageW(tabs, WM_KEYDOWN, current < page ? VK_RIGHT : VK_LEFT, 0);
            ::PostMessageW(tabs, WM_KEYUP, current < page ? VK_RIGHT : VK_LEFT, 0);
            return false;
        },
        10s, 150ms);
    if (!reached) return 1;
    if (page == 3) {
        // A click on the first plugin of the list shows its state.
        const HWND list = FindChild(dialog, idLstPlugins);
        if (list && ::SendMessageW(list, LB_GETCOUNT, 0, 0) > 0) {
            const auto h = static_cast<int>(::SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
            ::PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, h / 2));
            ::PostMessageW(list, WM_LBUTTONUP, 0, MAKELPARAM(10, h / 2));
        }
    }
    return 0;
}

int ShowAbout(const ParlixApp& app) {
    if (!app.Command(mnuAbout2)) return 1;
    return Dialog(L"Parlix.frmAbout", 20s) ? 0 : 1;
}

int CloseDialogs() {
    if (const HWND d = Dialog(L"Parlix.frmSet", 100ms)) ::PostMessageW(d, WM_CLOSE, 0, 0);
    if (const HWND a = Dialog(L"Parlix.frmAbout", 100ms)) ::PostMessageW(a, WM_CLOSE, 0, 0);
    return 0;
}

}  // namespace demo
