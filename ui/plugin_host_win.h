// The main window's side of the plugin contract: the host object plgCore with the main window as
// its MainForm, CurrentWin following the selected tab, the plugin manager, the notice plugin that
// receives the new-message notices, and the order of the plugins' shut-down.
//
// MainForm is an automation object read by name at run time: hwnd, ScaleWidth (client width,
// pixels), WindowState (0 normal, 1 minimised, 2 maximised), Left, Top and Height (outer
// rectangle, twips), and btnTab with Bottom and GetHeaderHeight.
#pragma once

#include "base/com_win.h"
#include "capture/tab_registry.h"
#include "contract/nexcor.h"
#include "settings/plugin_manager_win.h"
#include "ui/message_poll_win.h"
#include "ui/tab_control_win.h"

#include <windows.h>

#include <memory>
#include <string>

namespace parlix {

inline constexpr wchar_t kNoticePluginName[] = L"Murmelo";

// What MainForm reads. A plugin may keep MainForm beyond the main window's end: once tabs is
// null (the host's unload) the tab control's members fail instead of reading a dead control.
struct MainFormSource {
    HWND main = nullptr;
    const TabControl* tabs = nullptr;
};
[[nodiscard]] ComPtr<IDispatch> CreateMainFormObject(std::shared_ptr<MainFormSource> source);

class PluginHost {
public:
    explicit PluginHost(std::wstring programDir);
    PluginHost(const PluginHost&) = delete;
    PluginHost& operator=(const PluginHost&) = delete;
    ~PluginHost();

    // Initialisation: makes sure the contract library is registered (RegisterCore).
    void RegisterCore();
    // plgCore := a new Parlix_Core whose MainForm is the main window (and its tab control). Without
    // the contract library plgCore stays empty and plugins get no core.
    void CreateCore(HWND main, const TabControl& btnTab);
    // LoadSettings' question whether the notice plugin's class can be created.
    [[nodiscard]] static bool Creatable(std::wstring_view progId) noexcept { return CheckPluginClass(progId); }
    // Connects the enabled plugins; with the notice plugin enabled, keeps the one listed under its
    // name as the notice plugin.
    void ConnectPlugins(bool noticeEnabled);
    // Looks the notice plugin up again (after the settings dialog enabled or disabled it).
    void RefreshNoticePlugin(bool noticeEnabled);

    // CurrentWin := the record of the selected tab's node (no object for none). Plugins keep
    // reading the record of that tab: after its tab is gone it reads as a fresh record.
    void TabSelected(const LinkRef& node);

    // The poll's delivery to the notice plugin's ShowMessage; empty while there is none. A failing
    // call throws (the poll skips it).
    [[nodiscard]] NoticePlugin Notice();

    // The unload's plugin steps, each whatever the others do: OnDisconnection on the notice plugin
    // and its release; CurrentWin and MainForm of plgCore := no object; plgCore released; then
    // every listed plugin disconnected in connection order. Runs once.
    void Unload() noexcept;

    // For the settings dialog: install, enable, load, list.
    [[nodiscard]] PluginManager& Manager() noexcept { return plugins_.Manager(); }
    [[nodiscard]] PluginManagerWin& ManagerWin() noexcept { return plugins_; }
    [[nodiscard]] const ComPtr<_Parlix_Core>& Core() const noexcept { return plgCore; }
    [[nodiscard]] const ComPtr<_Parlix_Plugin>& NoticeObject() const noexcept { return notice_; }

private:
    std::wstring programDir_;
    ComPtr<_Parlix_Core> plgCore;
    PluginManagerWin plugins_;
    ComPtr<_Parlix_Plugin> notice_;
    std::shared_ptr<MainFormSource> mainForm_;
    bool unloaded_ = false;
};

}  // namespace parlix
