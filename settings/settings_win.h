// set.ini through the profile API, the start-up load with its Yes/No error trap, the writes of
// the settings dialog and of the exit, and the two registry entries (the client's installation
// directory and the autostart value). The file is never held open: every read or write is one
// profile call, so an outside edit is seen by the next read. set.ini stays an ANSI file in the
// system code page, as the W profile API keeps it.
#pragma once

#include "settings/settings.h"

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

namespace parlix {

inline constexpr wchar_t kQQKey[] = L"Software\\Tencent\\QQ";
inline constexpr wchar_t kQQ2009Key[] = L"Software\\Tencent\\QQ2009";
inline constexpr wchar_t kInstallValue[] = L"Install";
inline constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr wchar_t kAutoRunValue[] = L"Morvane";

// The running program's executable, its directory ("C:\" at a drive root) and its file name
// without extension.
[[nodiscard]] std::wstring ProgramPath();
[[nodiscard]] std::wstring ProgramDirectory();
[[nodiscard]] std::wstring ProgramName();

// IniPath, the program-wide location of set.ini: computed from the running program's directory,
// or from the given one. Read before any InitIni, it is computed then.
void InitIni();
void InitIni(std::wstring_view programDir);
[[nodiscard]] const std::wstring& IniPath();

// The stored value (at most 254 characters), `def` when the key or the file is missing, "" for
// an empty value.
[[nodiscard]] std::wstring ReadIni(std::wstring_view section, std::wstring_view key, std::wstring_view def);
// Stores the value, creating file and section as needed (line breaks in it become spaces);
// failures such as a read-only folder pass silently.
void WriteIni(std::wstring_view section, std::wstring_view key, std::wstring_view value);

// ReadIni/WriteIni as the logic's source and sink.
class ProfileIni final : public IniSource, public IniSink {
  public:
    std::wstring Read(std::wstring_view section, std::wstring_view key, std::wstring_view def) override {
        return ReadIni(section, key, def);
    }
    void Write(std::wstring_view section, std::wstring_view key, std::wstring_view value) override {
        WriteIni(section, key, value);
    }
};

// The error trap of the start-up load: a failed step shows the Yes/No report for
// "frmMain.LoadSettings" with the step's number as its line; Yes goes on, No ends the program.
class LoadSettingsTrap final : public LoadTrap {
  public:
    bool Run(long line, const std::function<void()>& step) override;
};

// Position (twips), frame size and screen extent of the main window before it is placed.
[[nodiscard]] MainWindowFacts MainWindowFactsOf(HWND window);

using PluginCheck = std::function<bool(std::wstring_view progId)>;

// InitIni, then every setting from set.ini in order under LoadSettingsTrap; an empty org_QQPath
// takes GetQQPath(). Returns the main window's state and placement for the caller to apply.
WindowPlacement LoadSettings(Settings& settings, const MainWindowFacts& window, const PluginCheck& pluginCreatable);
WindowPlacement LoadSettings(Settings& settings, const MainWindowFacts& window, const PluginCheck& pluginCreatable,
                             std::wstring_view programDir);

// The writes of settings.h into set.ini.
void SaveSettings(const Settings& settings);
void SaveHotkey(const Settings& settings);
void SaveWindowPlacement(const TwipsRect& bounds, std::int32_t status);

// The client's installation directory: the "Install" value of the QQ key; only when that value
// is blank, the one of the QQ2009 key; "" when the QQ key or its value is missing.
[[nodiscard]] std::wstring GetQQPath(HKEY root = HKEY_LOCAL_MACHINE);

// Adds (the running program's path) or removes the autostart value under the Run key. True on
// success; removing a value that is not there succeeds.
bool SetAutoRun(bool enable, HKEY root = HKEY_LOCAL_MACHINE);

} // namespace parlix
