#include "settings/common_dialogs_win.h"

#include <commdlg.h>

#include <array>
#include <cmath>
#include <random>
#include <vector>

namespace parlix {

std::wstring DirectoryOf(std::wstring_view path) {
    const auto slash = path.rfind(L'\\');
    return slash == std::wstring_view::npos ? std::wstring() : std::wstring(path.substr(0, slash + 1));
}

OpenFileResult ShowOpen(HWND owner, std::wstring_view filter) {
    // The filter's "|" become NULs, and the list ends with one more NUL.
    std::vector<wchar_t> filterText(filter.begin(), filter.end());
    for (wchar_t& c : filterText)
        if (c == L'|') c = L'\0';
    filterText.push_back(L'\0');
    filterText.push_back(L'\0');
    std::array<wchar_t, MAX_PATH> file{};
    std::array<wchar_t, MAX_PATH> title{};
    std::array<wchar_t, MAX_PATH> current{};
    ::GetCurrentDirectoryW(static_cast<DWORD>(current.size()), current.data());

    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.hInstance = ::GetModuleHandleW(nullptr);
    ofn.lpstrFilter = filterText.data();
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.lpstrFileTitle = title.data();
    ofn.nMaxFileTitle = static_cast<DWORD>(title.size());
    ofn.lpstrInitialDir = current.data();
    ofn.lpstrTitle = L"选择执行文件";
    ofn.Flags = OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_LONGNAMES;
    OpenFileResult result;
    if (!::GetOpenFileNameW(&ofn)) return result;
    result.cancelled = false;
    result.fileName = title.data();
    result.fullPath = file.data();
    result.directory = DirectoryOf(result.fullPath);
    return result;
}

ColorResult ShowColor(HWND owner, std::int32_t initial) {
    // Reseeded from the clock at every call, as the custom colours are meant to differ each time.
    std::mt19937 random(static_cast<unsigned>(::GetTickCount()));
    std::uniform_real_distribution<double> fraction(0.0, 1.0);
    std::array<COLORREF, 16> custom{};
    for (COLORREF& c : custom) {
        const auto byte = [&] { return static_cast<COLORREF>(std::lround(fraction(random) * 255)); };
        const COLORREF g = byte();
        const COLORREF b = byte();
        const COLORREF top = byte();
        c = (g << 8) | (b << 16) | (top << 24);
    }
    CHOOSECOLORW cc{};
    cc.lStructSize = sizeof cc;
    cc.hwndOwner = owner;
    cc.hInstance = reinterpret_cast<HWND>(::GetModuleHandleW(nullptr));
    cc.rgbResult = static_cast<COLORREF>(initial);
    cc.lpCustColors = custom.data();
    cc.Flags = CC_RGBINIT | CC_FULLOPEN | CC_ANYCOLOR;
    if (!::ChooseColorW(&cc)) return {};
    return {static_cast<std::int32_t>(cc.rgbResult), false};
}

}  // namespace parlix
