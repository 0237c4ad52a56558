// The plugin manager on the system: plugin objects through COM, regsvr32, the plugin folder,
// set.ini, the standard error report, and the registration of the contract library at start-up.
#pragma once

#include "base/com_win.h"
#include "contract/nexcor.h"
#include "settings/plugin_manager.h"
#include "settings/settings_win.h"

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

namespace parlix {

// The object of a class by ProgID, asked for the plugin interface; null on any failure.
[[nodiscard]] ComPtr<_Parlix_Plugin> CreatePluginObject(std::wstring_view progId) noexcept;
// Whether CreatePluginObject succeeds (the object is released at once); LoadSettings' check.
[[nodiscard]] bool CheckPluginClass(std::wstring_view progId) noexcept;

// The COM object behind a listed plugin; null for none.
[[nodiscard]] ComPtr<_Parlix_Plugin> ComObjectOf(const PluginRef& plugin) noexcept;

// Throws PluginCallError for a failed call on object: the HRESULT as the number, the description
// the object left in its error information (or the system's text for the HRESULT).
void ThrowIfFailed(HRESULT hr, IUnknown* object, REFIID iid);

// Runs regsvr32 (of the system folder) with the arguments, hidden, and waits for its end up to
// timeoutMs, answering messages sent to this thread meanwhile. False when it could not be started
// or did not end in time.
bool RunRegsvr32(std::wstring_view arguments, unsigned timeoutMs = kRegistrationWaitMs);

// Makes sure the contract library is registered: programDir becomes the current directory,
// Nexcor.dll there is registered and a Parlix_Core is created; when that fails the registration
// and the creation are tried once more, and if that fails too the user is told with the box
// "错误啦~" (error icon, OK and Cancel). Start-up goes on whatever the answer; nothing is thrown.
using MessageBoxFn = std::function<int(std::wstring_view text, std::wstring_view title, UINT type)>;
void RegisterCore(const std::wstring& programDir, const MessageBoxFn& box = {});

// The standard error report for "Parlix.modPlugin.<procedure>"; call inside a catch block.
void ReportPluginError(std::wstring_view procedure, long line);

// The program's plugin manager with its system parts. The host object given to SetCore is what
// every OnConnection receives (each call a fresh reference of the host's own).
class PluginManagerWin {
public:
    explicit PluginManagerWin(const std::wstring& programDir, PluginErrorReport report = ReportPluginError);
    PluginManagerWin(const PluginManagerWin&) = delete;
    PluginManagerWin& operator=(const PluginManagerWin&) = delete;
    ~PluginManagerWin();

    [[nodiscard]] PluginManager& Manager() noexcept { return manager_; }
    void SetCore(ComPtr<_Parlix_Core> core) noexcept { core_ = std::move(core); }

    // EnumPlugins into a list box (LB_ADDSTRING, in listing order).
    void EnumPlugins(HWND listBox);

private:
    class System;

    ComPtr<_Parlix_Core> core_;
    ProfileIni ini_;
    std::unique_ptr<System> system_;
    PluginManager manager_;
};

}  // namespace parlix
