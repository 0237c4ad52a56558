#include "plugins/common/plugin_module_win.h"

#include "contract/com_server.h"
#include "plugins/common/plugin_paths.h"

#include <windows.h>

#include <vector>

namespace parlix::plugins {

std::wstring ThisPluginDir() {
    const std::wstring path = com::ThisModulePath();
    const std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

std::wstring ThisPluginVersion() {
    const std::wstring path = com::ThisModulePath();
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(path.c_str(), &ignored);
    if (size == 0) return {};
    std::vector<BYTE> data(size);
    if (!::GetFileVersionInfoW(path.c_str(), 0, size, data.data())) return {};
    VS_FIXEDFILEINFO* info = nullptr;
    UINT length = 0;
    if (!::VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&info), &length) || !info ||
        length < sizeof(VS_FIXEDFILEINFO))
        return {};
    // The revision is the fourth number of the file version.
    return VersionText(HIWORD(info->dwFileVersionMS), LOWORD(info->dwFileVersionMS), LOWORD(info->dwFileVersionLS));
}

}  // namespace parlix::plugins
