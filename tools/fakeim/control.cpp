#include "tools/fakeim/control.h"

#include "tools/fakeim/environment.h"
#include "tools/fakeim/execute.h"
#include "tools/fakeim/protocol.h"

#include <string_view>

namespace fakeim {

namespace {

LRESULT OnCopyData(Environment& env, const COPYDATASTRUCT& data) {
    if (data.dwData != kCommandTag || !data.lpData) return 0;
    const std::wstring_view line(static_cast<const wchar_t*>(data.lpData), data.cbData / sizeof(wchar_t));
    return Execute(env, line);
}

LRESULT CALLBACK ControlProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        const auto* cs = reinterpret_cast<const CREATESTRUCTW*>(lp);
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
    }
    auto* env = reinterpret_cast<Environment*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (msg == WM_COPYDATA && env) return OnCopyData(*env, *reinterpret_cast<const COPYDATASTRUCT*>(lp));
    return ::DefWindowProcW(hwnd, msg, wp, lp);
}

} // namespace

HWND CreateControlWindow(Environment& env) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = ControlProc;
    wc.hInstance = env.instance;
    wc.lpszClassName = kControlClass;
    if (!::RegisterClassExW(&wc)) return nullptr;
    return ::CreateWindowExW(0, kControlClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, env.instance, &env);
}

} // namespace fakeim
