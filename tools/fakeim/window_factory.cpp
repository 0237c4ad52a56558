#include "tools/fakeim/window_factory.h"

#include "tools/fakeim/environment.h"
#include "tools/fakeim/sim_window.h"

namespace fakeim {

RECT Environment::NextPlace(int width, int height) {
    const int step = placed++ % 16;
    const int x = 24 + 26 * step + (step >= 8 ? 200 : 0);
    const int y = 24 + 22 * step;
    return RECT{x, y, x + width, y + height};
}

HWND CreateTopWindow(Environment& env, const std::wstring& className, const std::wstring& title, DWORD style,
                     DWORD exStyle, const OpenOptions& options, int width, int height) {
    RECT r = env.NextPlace(width, height);
    if (options.at)
        r = RECT{options.at->x, options.at->y, options.at->x + options.at->w, options.at->y + options.at->h};
    style &= ~static_cast<DWORD>(WS_VISIBLE);
    if (options.alpha) exStyle |= WS_EX_LAYERED;
    const bool late = options.lateMs && *options.lateMs > 0;
    HWND hwnd =
        ::CreateWindowExW(exStyle, className.c_str(), late ? L"" : title.c_str(), style, r.left, r.top,
                          r.right - r.left, r.bottom - r.top, nullptr, nullptr, env.instance, nullptr);
    if (!hwnd) return nullptr;
    SimWindow* sim = SimWindow::Attach(hwnd, env);
    if (!sim) {
        ::DestroyWindow(hwnd);
        return nullptr;
    }
    if (options.alpha) ::SetLayeredWindowAttributes(hwnd, 0, *options.alpha, LWA_ALPHA);
    if (late) sim->SetTitleLater(title, *options.lateMs);
    return hwnd;
}

void ShowAsAsked(HWND hwnd, const OpenOptions& options) {
    if (options.hidden) return;
    if (options.minimized)
        ::ShowWindow(hwnd, SW_SHOWMINNOACTIVE);
    else if (options.maximized)
        ::ShowWindow(hwnd, SW_SHOWMAXIMIZED);
    else
        ::ShowWindow(hwnd, options.noActivate ? SW_SHOWNOACTIVATE : SW_SHOWNORMAL);
    ::UpdateWindow(hwnd);
}

HWND CreateChild(const Environment& env, HWND parent, const std::wstring& className, const std::wstring& text,
                 DWORD style, Box box, DWORD exStyle, int id) {
    HWND hwnd = ::CreateWindowExW(exStyle, className.c_str(), text.c_str(), WS_CHILD | style, box.x, box.y,
                                  box.w, box.h, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                  env.instance, nullptr);
    if (hwnd) ::SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(env.font.get()), FALSE);
    return hwnd;
}

Box ClientBox(HWND hwnd) {
    RECT rc{};
    ::GetClientRect(hwnd, &rc);
    return Box{0, 0, rc.right, rc.bottom};
}

} // namespace fakeim
