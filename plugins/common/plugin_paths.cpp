#include "plugins/common/plugin_paths.h"

namespace parlix::plugins {

std::optional<std::wstring> InitIniPath(std::wstring_view pluginDir) {
    const std::size_t at = pluginDir.find(L"\\Plugins");
    if (at == std::wstring_view::npos) return std::nullopt;
    return std::wstring(pluginDir.substr(0, at)) + L"\\set.ini";
}

std::wstring VersionText(unsigned major, unsigned minor, unsigned revision) {
    return std::to_wstring(major) + L"." + std::to_wstring(minor) + L"." + std::to_wstring(revision);
}

}  // namespace parlix::plugins
