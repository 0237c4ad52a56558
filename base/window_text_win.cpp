#include "base/window_text_win.h"

namespace parlix {

std::wstring WindowTitle(HWND hwnd) {
    wchar_t buffer[kTitleBuffer] = {};
    const int copied = ::GetWindowTextW(hwnd, buffer, kTitleBuffer);
    if (copied <= 0) return {};
    return std::wstring(buffer, static_cast<size_t>(copied < kTitleBuffer ? copied : kTitleBuffer - 1));
}

std::wstring WindowClass(HWND hwnd) {
    wchar_t buffer[kClassBuffer] = {};
    const int copied = ::GetClassNameW(hwnd, buffer, kClassBuffer);
    if (copied <= 0) return {};
    return std::wstring(buffer, static_cast<size_t>(copied));
}

std::wstring ModuleDirectory(HMODULE module) {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return {};
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);
    }
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

std::wstring FromCodePage(std::string_view text, UINT codePage) {
    if (text.empty()) return {};
    const int n = ::MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (n <= 0) return {};
    std::wstring out(static_cast<size_t>(n), L'\0');
    ::MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
    return out;
}

std::string ToCodePage(std::wstring_view text, UINT codePage) {
    if (text.empty()) return {};
    const int n = ::WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                        nullptr, nullptr);
    if (n <= 0) return {};
    std::string out(static_cast<size_t>(n), '\0');
    ::WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr,
                          nullptr);
    return out;
}

}  // namespace parlix
