#include "base/dpi_win.h"

#include "base/dpi.h"

#include <algorithm>

namespace parlix {

namespace {

// Windows 10 1607 and later; null before.
template <typename F>
F User32Function(const char* name) noexcept {
    const HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
    return user32 ? reinterpret_cast<F>(reinterpret_cast<void*>(::GetProcAddress(user32, name))) : nullptr;
}

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using GetDpiForSystemFn = UINT(WINAPI*)();
using GetSystemMetricsForDpiFn = int(WINAPI*)(int, UINT);
using AdjustWindowRectExForDpiFn = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
using SystemParametersInfoForDpiFn = BOOL(WINAPI*)(UINT, UINT, void*, UINT, UINT);

int ScreenDpi() noexcept {
    const ScopedWindowDc screen(nullptr);
    return SaneDpi(screen.get() ? ::GetDeviceCaps(screen.get(), LOGPIXELSY) : kBaseDpi);
}

}  // namespace

int WindowDpi(HWND window) noexcept {
    static const auto forWindow = User32Function<GetDpiForWindowFn>("GetDpiForWindow");
    if (forWindow && window) {
        const UINT dpi = forWindow(window);
        if (dpi != 0) return SaneDpi(static_cast<int>(dpi));
    }
    return SystemDpi();
}

int SystemDpi() noexcept {
    static const auto forSystem = User32Function<GetDpiForSystemFn>("GetDpiForSystem");
    if (forSystem) return SaneDpi(static_cast<int>(forSystem()));
    return ScreenDpi();
}

int SystemMetricForDpi(int index, int dpi) noexcept {
    static const auto forDpi = User32Function<GetSystemMetricsForDpiFn>("GetSystemMetricsForDpi");
    if (forDpi) return forDpi(index, static_cast<UINT>(SaneDpi(dpi)));
    return ScaleRounded(::GetSystemMetrics(index), SaneDpi(dpi), SystemDpi());
}

RECT AdjustedWindowRect(const RECT& client, DWORD style, DWORD exStyle, int dpi) noexcept {
    static const auto forDpi = User32Function<AdjustWindowRectExForDpiFn>("AdjustWindowRectExForDpi");
    RECT r = client;
    if (forDpi) forDpi(&r, style, FALSE, exStyle, static_cast<UINT>(SaneDpi(dpi)));
    else ::AdjustWindowRectEx(&r, style, FALSE, exStyle);
    return r;
}

ScopedFont PointFont(std::wstring_view face, int points, int weight, int charset, int dpi) {
    LOGFONTW font{};
    font.lfHeight = -ScaleRounded(points, SaneDpi(dpi), 72);
    font.lfWeight = weight;
    font.lfCharSet = static_cast<BYTE>(charset);
    const size_t length = std::min<size_t>(face.size(), LF_FACESIZE - 1);
    std::copy_n(face.data(), length, font.lfFaceName);
    return ScopedFont(::CreateFontIndirectW(&font));
}

ScopedFont MessageFont(int dpi) {
    static const auto forDpi = User32Function<SystemParametersInfoForDpiFn>("SystemParametersInfoForDpi");
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (forDpi && forDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, static_cast<UINT>(SaneDpi(dpi))))
        return ScopedFont(::CreateFontIndirectW(&metrics.lfMessageFont));
    if (!::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) return {};
    // The system gives the font at its own dpi.
    metrics.lfMessageFont.lfHeight = ScaleRounded(metrics.lfMessageFont.lfHeight, SaneDpi(dpi), SystemDpi());
    return ScopedFont(::CreateFontIndirectW(&metrics.lfMessageFont));
}

ScopedIcon LoadIconOfSize(HMODULE module, int id, int size) {
    return ScopedIcon(static_cast<HICON>(::LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, 0)));
}

}  // namespace parlix
