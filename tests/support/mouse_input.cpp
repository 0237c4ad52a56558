#include "tests/support/mouse_input.h"

namespace parlix::test {

namespace {

bool SendBounded(HWND window, UINT msg, WPARAM keys, POINT at) {
    DWORD_PTR ignored = 0;
    return ::SendMessageTimeoutW(window, msg, keys, MAKELPARAM(static_cast<WORD>(at.x), static_cast<WORD>(at.y)),
                                 SMTO_ABORTIFHUNG, 5000, &ignored) != 0;
}

}  // namespace

bool SendMouseDrag(HWND window, std::initializer_list<POINT> path, WPARAM button) {
    if (path.size() == 0) return false;
    const UINT down = button == MK_LBUTTON ? WM_LBUTTONDOWN : button == MK_RBUTTON ? WM_RBUTTONDOWN : WM_MBUTTONDOWN;
    bool ok = SendBounded(window, down, button, *path.begin());
    for (const POINT p : path) ok = SendBounded(window, WM_MOUSEMOVE, button, p) && ok;
    return SendBounded(window, down + 1, 0, *(path.end() - 1)) && ok;
}

bool SendMouseClick(HWND window) {
    RECT r{};
    ::GetClientRect(window, &r);
    return SendMouseDrag(window, {{r.right / 2, r.bottom / 2}});
}

}  // namespace parlix::test
