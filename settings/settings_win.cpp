#include "settings/settings_win.h"

#include "base/dpi.h"
#include "base/dpi_win.h"
#include "base/error_report_win.h"
#include "base/scoped_win.h"
#include "base/window_text_win.h"
#include "settings/ini_values.h"

#include <optional>

namespace parlix {

namespace {

std::wstring& IniPathStorage() {
    static std::wstring path;
    return path;
}

// The "Install" text of root\subkey; nullopt when the key or a REG_SZ value cannot be read.
std::optional<std::wstring> ReadInstallDir(HKEY root, const wchar_t* subkey) {
    HKEY raw = nullptr;
    if (::RegOpenKeyExW(root, subkey, 0, KEY_READ, &raw) != ERROR_SUCCESS) return std::nullopt;
    const ScopedRegKey key(raw);
    // The value may grow between asking its size and reading it; try again a few times.
    for (int attempt = 0; attempt < 3; ++attempt) {
        DWORD type = 0;
        DWORD size = 0;
        if (::RegQueryValueExW(key.get(), kInstallValue, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
            type != REG_SZ)
            return std::nullopt;
        std::wstring data(size / sizeof(wchar_t) + 1, L'\0');
        DWORD got = static_cast<DWORD>(data.size() * sizeof(wchar_t));
        const LSTATUS rc = ::RegQueryValueExW(key.get(), kInstallValue, nullptr, &type,
                                              reinterpret_cast<BYTE*>(data.data()), &got);
        if (rc == ERROR_MORE_DATA) continue;
        if (rc != ERROR_SUCCESS || type != REG_SZ) return std::nullopt;
        data.resize(got / sizeof(wchar_t));
        return RegistryText(data);
    }
    return std::nullopt;
}

} // namespace

std::wstring ProgramPath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return {};
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

std::wstring ProgramDirectory() { return ProgramDirectoryOf(ProgramPath()); }

std::wstring ProgramName() { return ProgramNameOf(ProgramPath()); }

void InitIni() { InitIni(ProgramDirectory()); }

void InitIni(std::wstring_view programDir) { IniPathStorage() = IniPathFor(programDir); }

const std::wstring& IniPath() {
    // An empty path would make the profile API use a file in the Windows folder.
    if (IniPathStorage().empty()) InitIni();
    return IniPathStorage();
}

std::wstring ReadIni(std::wstring_view section, std::wstring_view key, std::wstring_view def) {
    wchar_t buffer[kIniReadBuffer] = {};
    const std::wstring s(section), k(key), d(def);
    const DWORD copied = ::GetPrivateProfileStringW(s.c_str(), k.c_str(), d.c_str(), buffer,
                                                    static_cast<DWORD>(kIniReadBuffer), IniPath().c_str());
    return IniReadResult(std::wstring_view(buffer, kIniReadBuffer), copied);
}

void WriteIni(std::wstring_view section, std::wstring_view key, std::wstring_view value) {
    const std::wstring s(section), k(key), v = IniSafeValue(value);
    ::WritePrivateProfileStringW(s.c_str(), k.c_str(), v.c_str(), IniPath().c_str());
}

bool LoadSettingsTrap::Run(long line, const std::function<void()>& step) {
    try {
        step();
        return true;
    } catch (...) {
        try {
            ErrorInfo info;
            try {
                throw;
            } catch (const IniValueError& e) {
                info = ErrorInfo{L"frmMain", L"LoadSettings", FromCodePage(e.what(), CP_UTF8), e.Number(), line};
            } catch (...) {
                info = DescribeCurrentException(L"frmMain", L"LoadSettings", line);
            }
            ReportErrorAskContinue(info);
        } catch (...) {
        }
        return false;
    }
}

MainWindowFacts MainWindowFactsOf(HWND window) {
    MainWindowFacts facts;
    RECT outer{}, inner{};
    if (::GetWindowRect(window, &outer) && ::GetClientRect(window, &inner)) {
        facts.positionDpi = SystemDpi();
        facts.sizeDpi = WindowDpi(window);
        facts.left = PixelsToTwips(outer.left, facts.positionDpi);
        facts.top = PixelsToTwips(outer.top, facts.positionDpi);
        facts.frameWidth = (outer.right - outer.left) - (inner.right - inner.left);
        facts.frameHeight = (outer.bottom - outer.top) - (inner.bottom - inner.top);
    }
    facts.screenRight = ::GetSystemMetrics(SM_XVIRTUALSCREEN) + ::GetSystemMetrics(SM_CXVIRTUALSCREEN);
    facts.screenBottom = ::GetSystemMetrics(SM_YVIRTUALSCREEN) + ::GetSystemMetrics(SM_CYVIRTUALSCREEN);
    return facts;
}

WindowPlacement LoadSettings(Settings& settings, const MainWindowFacts& window, const PluginCheck& pluginCreatable) {
    return LoadSettings(settings, window, pluginCreatable, ProgramDirectory());
}

WindowPlacement LoadSettings(Settings& settings, const MainWindowFacts& window, const PluginCheck& pluginCreatable,
                             std::wstring_view programDir) {
    InitIni(programDir);
    ProfileIni ini;
    LoadSettingsTrap trap;
    const LoadServices services{pluginCreatable, [] { return GetQQPath(); }};
    return LoadSettings(settings, ini, trap, services, window);
}

void SaveSettings(const Settings& settings) {
    ProfileIni ini;
    SaveSettings(settings, ini);
}

void SaveHotkey(const Settings& settings) {
    ProfileIni ini;
    SaveHotkey(settings, ini);
}

void SaveWindowPlacement(const TwipsRect& bounds, std::int32_t status) {
    ProfileIni ini;
    SaveWindowPlacement(ini, bounds, status);
}

std::wstring GetQQPath(HKEY root) {
    // A missing QQ key or value means no client path; only a blank value looks further.
    const auto qq = ReadInstallDir(root, kQQKey);
    if (!qq) return {};
    if (!IsBlank(*qq)) return *qq;
    return ReadInstallDir(root, kQQ2009Key).value_or(std::wstring());
}

bool SetAutoRun(bool enable, HKEY root) {
    HKEY raw = nullptr;
    if (::RegOpenKeyExW(root, kRunKey, 0, KEY_WRITE, &raw) != ERROR_SUCCESS) return false;
    const ScopedRegKey key(raw);
    if (!enable) {
        const LSTATUS rc = ::RegDeleteValueW(key.get(), kAutoRunValue);
        return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
    }
    const std::wstring command = AutoRunCommand(ProgramDirectory(), ProgramName());
    const auto bytes = static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t));
    return ::RegSetValueExW(key.get(), kAutoRunValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                            bytes) == ERROR_SUCCESS;
}

} // namespace parlix
