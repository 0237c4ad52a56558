// The plugin DLL's own folder and version (the module this code is linked into).
#pragma once

#include <string>

namespace parlix::plugins {

// The folder of the plugin's file, without a trailing backslash.
[[nodiscard]] std::wstring ThisPluginDir();
// Major, minor and revision of the file's version resource ("1.0.3" for FILEVERSION 1,0,0,3);
// empty when the file carries none.
[[nodiscard]] std::wstring ThisPluginVersion();

}  // namespace parlix::plugins
