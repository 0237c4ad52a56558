// Registration of the simulated clients' window classes. The custom classes share one
// procedure that paints what a screenshot should show: a frameless window's title, and the
// memory history of the chat the window belongs to.
#include "tools/fakeim/class_names.h"
#include "tools/fakeim/environment.h"
#include "tools/fakeim/history.h"
#include "tools/fakeim/protocol.h"

#include <commctrl.h>

#include <string>

namespace fakeim {

namespace {

constexpr size_t kShownHistoryChars = 600;

HFONT g_font = nullptr; // owned by the Environment; lives as long as the process

void PaintView(HWND hwnd) {
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(hwnd, &ps);
    RECT rc;
    ::GetClientRect(hwnd, &rc);
    ::InflateRect(&rc, -6, -4);
    parlix::ScopedSelect font(dc, g_font ? g_font : ::GetStockObject(DEFAULT_GUI_FONT));
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
    std::wstring text;
    if ((::GetWindowLongW(hwnd, GWL_STYLE) & WS_CAPTION) != WS_CAPTION) {
        wchar_t title[260] = {};
        ::GetWindowTextW(hwnd, title, 260);
        text = title;
    }
    // The record belongs to the chat's top window; children paint it too.
    const auto* record = static_cast<const HistoryRecord*>(::GetPropW(hwnd, kHistoryProp));
    if (!record)
        record = static_cast<const HistoryRecord*>(::GetPropW(::GetAncestor(hwnd, GA_ROOT), kHistoryProp));
    if (record) {
        std::wstring_view history(reinterpret_cast<const wchar_t*>(static_cast<std::uintptr_t>(record->text)),
                                  record->bytes / sizeof(wchar_t));
        if (history.size() > kShownHistoryChars) history.remove_prefix(history.size() - kShownHistoryChars);
        if (!text.empty()) text += L"\r\n\r\n";
        text += history;
    }
    if (!text.empty())
        ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rc,
                    DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
    ::EndPaint(hwnd, &ps);
}

LRESULT CALLBACK ViewProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_PAINT:
        PaintView(hwnd);
        return 0;
    case WM_SETTEXT: {
        const LRESULT r = ::DefWindowProcW(hwnd, msg, wp, lp);
        ::InvalidateRect(hwnd, nullptr, TRUE);
        return r;
    }
    case WM_SIZE:
        ::InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    default:
        return ::DefWindowProcW(hwnd, msg, wp, lp);
    }
}

bool RegisterView(HINSTANCE instance, const std::wstring& name, int background) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = ViewProc;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hIcon = ::LoadIconW(nullptr, IDI_APPLICATION);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(background + 1));
    wc.lpszClassName = name.c_str();
    return ::RegisterClassExW(&wc) != 0;
}

// A class that behaves exactly like base under another name, as WinForms makes its own.
bool RegisterSuperclass(HINSTANCE instance, const wchar_t* base, const std::wstring& name) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    if (!::GetClassInfoExW(nullptr, base, &wc)) return false;
    wc.hInstance = instance;
    wc.lpszClassName = name.c_str();
    wc.style &= ~static_cast<UINT>(CS_GLOBALCLASS);
    return ::RegisterClassExW(&wc) != 0;
}

bool ClassExists(const wchar_t* name) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    return ::GetClassInfoExW(nullptr, name, &wc) != 0;
}

} // namespace

bool Prepare(Environment& env, HINSTANCE instance) {
    env.instance = instance;
    env.fetionSuffix = FetionSuffix(::GetCurrentProcessId());
    env.richEdit20.reset(::LoadLibraryW(L"riched20.dll"));
    env.richEdit10.reset(::LoadLibraryW(L"riched32.dll"));
    // GB2312 charset: the font mapper picks a face with the Chinese glyphs of the titles.
    env.font.reset(::CreateFontW(-13, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, GB2312_CHARSET,
                                 OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                 DEFAULT_PITCH | FF_DONTCARE, L"SimSun"));
    g_font = env.font.get();

    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&icc);

    const std::wstring& sfx = env.fetionSuffix;
    bool ok = RegisterView(instance, kTxGuiClass, COLOR_WINDOW) &&
              RegisterView(instance, kBaseGuiClass, COLOR_WINDOW) &&
              RegisterView(instance, kFlashClass, COLOR_WINDOW) &&
              RegisterView(instance, kAfxPanelClass, COLOR_BTNFACE) &&
              RegisterView(instance, kQqBarClass, COLOR_BTNFACE) &&
              RegisterView(instance, kTmBarClass, COLOR_BTNFACE) &&
              RegisterView(instance, std::wstring(kFetionWindowPrefix) + sfx, COLOR_BTNFACE) &&
              RegisterView(instance, std::wstring(kOtherWinFormsPrefix) + sfx, COLOR_BTNFACE) &&
              RegisterSuperclass(instance, L"RichEdit20W", std::wstring(kFetionRichEditPrefix) + sfx) &&
              RegisterSuperclass(instance, L"Button", std::wstring(kFetionButtonPrefix) + sfx) &&
              RegisterSuperclass(instance, L"Static", std::wstring(kFetionStaticPrefix) + sfx);
    // riched32 provides "RICHEDIT"; where it does not, the 2.0 control stands in for it.
    if (ok && !ClassExists(L"RICHEDIT")) ok = RegisterSuperclass(instance, L"RichEdit20A", L"RICHEDIT");
    return ok && ClassExists(L"RichEdit20A");
}

} // namespace fakeim
