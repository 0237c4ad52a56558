#include "settings/plugin_manager.h"

#include "settings/ini_values.h"

namespace parlix {

namespace {
constexpr wchar_t kModuleProcConnect[] = L"ConnectPlugins";
}  // namespace

std::wstring PluginDirectory(std::wstring_view programDir) {
    std::wstring dir(programDir);
    if (!dir.empty() && dir.back() == L'\\') return dir + L"Plugins\\";
    return dir + L"\\Plugins\\";
}

std::wstring PluginNameOf(std::wstring_view fileName) {
    return fileName.size() <= 4 ? std::wstring() : std::wstring(fileName.substr(0, fileName.size() - 4));
}

std::wstring PluginProgId(std::wstring_view name) {
    return std::wstring(name) + L"Project." + std::wstring(name);
}

std::wstring RegisterArguments(std::wstring_view path) { return L"/s \"" + std::wstring(path) + L"\""; }

std::wstring UnregisterArguments(std::wstring_view path) { return L"/u /s \"" + std::wstring(path) + L"\""; }

void PluginCollection::InsertNode(PluginRef plugin, std::wstring name) {
    nodes_.push_back({std::move(name), std::move(plugin)});
}

PluginRef PluginCollection::FindNode(std::wstring_view name) const {
    for (const Node& n : nodes_)
        if (n.name == name) return n.obj;
    return nullptr;
}

void PluginCollection::DelNode(std::wstring_view name) {
    for (auto it = nodes_.begin(); it != nodes_.end(); ++it) {
        if (it->name == name) {
            nodes_.erase(it);
            return;
        }
    }
}

PluginManager::PluginManager(PluginSystem& system, IniSource& iniIn, IniSink& iniOut, std::wstring programDir,
                             PluginErrorReport report)
    : system_(system),
      iniIn_(iniIn),
      iniOut_(iniOut),
      directory_(PluginDirectory(programDir)),
      report_(std::move(report)) {}

bool PluginManager::Statement(const wchar_t* procedure, long line, bool silent, const std::function<void()>& step) {
    try {
        step();
        return true;
    } catch (...) {
        if (!silent && report_) {
            try {
                report_(procedure, line);
            } catch (...) {
            }
        }
        return false;
    }
}

bool PluginManager::CheckPlugin(std::wstring_view progId) noexcept {
    try {
        return system_.Create(progId) != nullptr;
    } catch (...) {
        return false;
    }
}

PluginRef PluginManager::CreatePlugin(std::wstring_view name) noexcept {
    try {
        return system_.Create(PluginProgId(name));
    } catch (...) {
        return nullptr;
    }
}

bool PluginManager::GetPluginEnabled(std::wstring_view name) {
    return IniToBoolean(iniIn_.Read(kPluginSection, name, L"False"));
}

void PluginManager::SetPluginEnabled(std::wstring_view name, bool enabled) {
    iniOut_.Write(kPluginSection, name, IniFromBoolean(enabled));
}

bool PluginManager::InstallPlugin(std::wstring_view name) {
    bool installed = false;
    Statement(L"InstallPlugin", 1, false, [&] {
        const std::wstring path = directory_ + std::wstring(name) + L".dll";
        if (!system_.FileExists(path)) return;
        system_.RunRegsvr32(RegisterArguments(path));
        installed = CheckPlugin(PluginProgId(name));
    });
    return installed;
}

bool PluginManager::UninstallPlugin(std::wstring_view fileName) {
    bool done = false;
    Statement(L"UninstallPlugin", 1, false, [&] {
        const std::wstring path = directory_ + std::wstring(fileName);
        if (!system_.FileExists(path)) return;
        system_.RunRegsvr32(UnregisterArguments(path));
        done = true;
    });
    return done;
}

void PluginManager::LoadPlugin(std::wstring_view name) {
    if (plugins_.FindNode(name)) return;
    PluginRef plugin;
    // A class that cannot be created is reported once and nothing is listed.
    if (!Statement(L"LoadPlugin", 2, false, [&] {
            plugin = system_.Create(PluginProgId(name));
            if (!plugin) throw PluginCallError(kCannotCreateObject, "ActiveX 部件不能创建对象");
        }))
        return;
    plugins_.InsertNode(plugin, std::wstring(name));
    Statement(L"LoadPlugin", 4, false, [&] { plugin->OnConnection(); });
}

void PluginManager::UnloadPlugin(std::wstring_view name) {
    const PluginRef plugin = plugins_.FindNode(name);
    Statement(L"UnloadPlugin", 2, false, [&] {
        if (!plugin) throw PluginCallError(kObjectNotSet, "对象变量或 With 块变量未设置");
        plugin->OnDisconnection();
    });
    plugins_.DelNode(name);
}

void PluginManager::ConnectPlugins() {
    // A plugin folder that cannot be entered is reported, and nothing else is listed in its place.
    if (!Statement(kModuleProcConnect, 1, false, [&] { system_.SetCurrentDirectory(directory_); })) return;
    std::vector<std::wstring> files;
    if (!Statement(kModuleProcConnect, 2, false, [&] { files = system_.ListDlls(); })) return;
    bool reached = false;  // the first enabled plugin was reached: errors are silent from here
    for (const std::wstring& file : files) {
        const std::wstring name = PluginNameOf(file);
        bool enabled = true;  // a value that is no Boolean counts as enabled
        Statement(kModuleProcConnect, 3, reached, [&] { enabled = GetPluginEnabled(name); });
        if (!enabled) continue;
        reached = true;
        PluginRef plugin = CreatePlugin(name);
        if (!plugin) {
            Statement(kModuleProcConnect, 5, true, [&] { InstallPlugin(name); });
            plugin = CreatePlugin(name);
        }
        if (!plugin) continue;
        plugins_.InsertNode(plugin, name);
        Statement(kModuleProcConnect, 6, true, [&] { plugin->OnConnection(); });
    }
}

void PluginManager::DisconnectPlugins() {
    // A plugin's OnDisconnection may come back into the manager: walk a copy.
    const std::vector<PluginCollection::Node> nodes = plugins_.Nodes();
    for (const auto& node : nodes)
        Statement(L"DisconnectPlugins", 1, false, [&] { node.obj->OnDisconnection(); });
    plugins_.Clear();
}

std::vector<std::wstring> PluginManager::EnumPlugins() {
    std::vector<std::wstring> names;
    if (!Statement(L"EnumPlugins", 1, false, [&] { system_.SetCurrentDirectory(directory_); })) return names;
    Statement(L"EnumPlugins", 2, false, [&] {
        for (const std::wstring& file : system_.ListDlls()) names.push_back(PluginNameOf(file));
    });
    return names;
}

}  // namespace parlix
