// The plugin manager (modPlugin): finds plugin files, registers and unregisters them, creates
// plugin objects by name, connects them to the host object and disconnects them, and keeps the
// connected ones in the plugin list `PluginCollection`, where the main window finds the notice
// plugin and the settings dialog the connected object of a plugin.
//
// A plugin named N is the file N.dll in the plugin folder, the class "NProject.N", and the key N
// of the "Plugin" section of set.ini ("True" when enabled).
//
// Registration waits: regsvr32 runs hidden and the manager waits for it to end (up to
// kRegistrationWaitMs) before checking the class, so the check that follows an installation sees
// the finished registration and never reports a plugin as missing that is installed a moment
// later. Logic only: the system is reached through PluginSystem, errors through the report
// callback.
#pragma once

#include "settings/settings.h"

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace parlix {

inline constexpr unsigned kRegistrationWaitMs = 30000;

// "<programDir>\Plugins\" ("Plugins\" alone appended when programDir already ends in "\").
[[nodiscard]] std::wstring PluginDirectory(std::wstring_view programDir);
// The plugin name of a file found on disk: the file name without its last four characters.
[[nodiscard]] std::wstring PluginNameOf(std::wstring_view fileName);
// "NProject.N".
[[nodiscard]] std::wstring PluginProgId(std::wstring_view name);
// The arguments of regsvr32 for (un)registering the file at path, silently.
[[nodiscard]] std::wstring RegisterArguments(std::wstring_view path);
[[nodiscard]] std::wstring UnregisterArguments(std::wstring_view path);

// A failed plugin operation: what() is the description (UTF-8), Number() the number the error
// report shows (a COM failure's HRESULT, or the automation error number).
class PluginCallError : public std::runtime_error {
public:
    PluginCallError(long number, const std::string& what) : std::runtime_error(what), number_(number) {}
    [[nodiscard]] long Number() const noexcept { return number_; }

private:
    long number_;
};

inline constexpr long kCannotCreateObject = 429;
inline constexpr long kObjectNotSet = 91;

// One plugin object as the manager drives it. The calls fail by throwing (the failure's
// description and number are what the error report shows).
class PluginObject {
public:
    virtual ~PluginObject() = default;
    // OnConnection with a fresh reference to the host object.
    virtual void OnConnection() = 0;
    virtual void OnDisconnection() = 0;
};
using PluginRef = std::shared_ptr<PluginObject>;

// The plugin list: connected plugins in connection order, each under its name. Duplicate names
// are kept; lookups find the first node of a name (exact, case-sensitive comparison). The list
// holds one reference to each plugin.
class PluginCollection {
public:
    struct Node {
        std::wstring name;
        PluginRef obj;
    };

    void InsertNode(PluginRef plugin, std::wstring name);
    // The plugin of the first node of that name; null when there is none.
    [[nodiscard]] PluginRef FindNode(std::wstring_view name) const;
    // Removes the first node of that name; a name not in the list changes nothing.
    void DelNode(std::wstring_view name);
    [[nodiscard]] int count() const noexcept { return static_cast<int>(nodes_.size()); }
    [[nodiscard]] const std::vector<Node>& Nodes() const noexcept { return nodes_; }
    // Releases every node and plugin reference.
    void Clear() noexcept { nodes_.clear(); }

private:
    std::vector<Node> nodes_;
};

// What the manager needs of the system.
class PluginSystem {
public:
    virtual ~PluginSystem() = default;
    // Throws when the folder cannot be made current.
    virtual void SetCurrentDirectory(std::wstring_view dir) = 0;
    // The ordinary files matching "*.dll" in the current directory, in listing order.
    virtual std::vector<std::wstring> ListDlls() = 0;
    virtual bool FileExists(std::wstring_view path) = 0;
    // Runs regsvr32 with the arguments, hidden, and waits for it to end (bounded).
    virtual void RunRegsvr32(std::wstring_view arguments) = 0;
    // An object of the class that speaks the plugin interface; null when it cannot be created.
    virtual PluginRef Create(std::wstring_view progId) = 0;
};

// Called inside the catch block of a failed statement: shows the standard error report for
// "Parlix.modPlugin.<procedure>".
using PluginErrorReport = std::function<void(std::wstring_view procedure, long line)>;

class PluginManager {
public:
    // All references must outlive the manager.
    PluginManager(PluginSystem& system, IniSource& iniIn, IniSink& iniOut, std::wstring programDir,
                  PluginErrorReport report);

    [[nodiscard]] const std::wstring& Directory() const noexcept { return directory_; }

    // Whether an object of the class can be created and speaks the plugin interface; never
    // reports. The object is released at once, never connected.
    [[nodiscard]] bool CheckPlugin(std::wstring_view progId) noexcept;
    // The "Plugin" key N as a Boolean, "False" when missing; throws IniValueError on a value that
    // is not a Boolean.
    [[nodiscard]] bool GetPluginEnabled(std::wstring_view name);
    void SetPluginEnabled(std::wstring_view name, bool enabled);

    // Registers N.dll of the plugin folder and tells whether its class can now be created;
    // false without registering when the file is missing.
    bool InstallPlugin(std::wstring_view name);
    // Unregisters the plugin file (name with ".dll"); false when it is missing.
    bool UninstallPlugin(std::wstring_view fileName);

    // Creates, lists and connects the plugin N unless one of that name is listed already.
    void LoadPlugin(std::wstring_view name);
    // Disconnects the plugin N and removes it from the list.
    void UnloadPlugin(std::wstring_view name);

    // Connects every enabled plugin of the plugin folder, in listing order, installing one that
    // cannot be created yet.
    void ConnectPlugins();
    // OnDisconnection on every listed plugin in connection order, then the list is released.
    void DisconnectPlugins();
    // Names of every DLL file in the plugin folder, in listing order, installed or not.
    [[nodiscard]] std::vector<std::wstring> EnumPlugins();

    [[nodiscard]] PluginRef FindNode(std::wstring_view name) const { return plugins_.FindNode(name); }
    [[nodiscard]] const PluginCollection& Plugins() const noexcept { return plugins_; }

private:
    // Runs one statement; a failure is reported for procedure (silent = ignored) and the caller
    // goes on with the next statement. False when it failed.
    bool Statement(const wchar_t* procedure, long line, bool silent, const std::function<void()>& step);
    [[nodiscard]] PluginRef CreatePlugin(std::wstring_view name) noexcept;

    PluginSystem& system_;
    IniSource& iniIn_;
    IniSink& iniOut_;
    std::wstring directory_;
    PluginErrorReport report_;
    PluginCollection plugins_;
};

}  // namespace parlix
