// Where a plugin finds the program's settings file, and how it shows its own version. Plugins
// live in the Plugins folder below the program folder and share the program's set.ini.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace parlix::plugins {

// InitIniPath: the plugin folder cut before its first "\Plugins" (exact case), plus
// "\set.ini"; nothing when the folder has no "\Plugins" in it (the plugin is not installed
// where the program keeps its plugins).
[[nodiscard]] std::optional<std::wstring> InitIniPath(std::wstring_view pluginDir);

// "<major>.<minor>.<revision>" in plain decimal.
[[nodiscard]] std::wstring VersionText(unsigned major, unsigned minor, unsigned revision);

}  // namespace parlix::plugins
