// The settings dialog frmSet: every setting on five pages (program, tabs, tray, plugins, mouse
// gestures). OK copies the controls into the in-memory settings, applies them to the running
// main window and writes them to set.ini in one replacement of the file; Cancel and the close box
// write nothing. The hotkey box and the plugin page act at once, as the user expects of them:
// the captured hotkey is held in memory (written by OK), a plugin is installed, enabled or
// disabled when the user says so.
//
// A plugin's own settings page is hosted generically through the plugin contract: when an
// enabled plugin says HasProperty, the form GetProperty gives is read by name (hWnd, Move, Show),
// its window is put into the dialog's property area, and given back (hidden, top-level again)
// when another plugin is chosen, the plugin is uninstalled or the dialog closes.
#pragma once

#include "base/com_win.h"
#include "base/scoped_win.h"
#include "base/window_base_win.h"
#include "settings/dialog_rules.h"
#include "settings/plugin_manager_win.h"
#include "settings/settings.h"
#include "ui/shade_button_win.h"
#include "ui/tab_control_win.h"

#include <windows.h>

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <string>

namespace parlix {

// What the dialog changes in the running program.
class SettingsDialogHost {
public:
    [[nodiscard]] virtual HWND MainHwnd() const = 0;
    [[nodiscard]] virtual Settings& CurrentSettings() = 0;
    // The plugin manager; null when the program runs without one (the plugin page lists nothing).
    [[nodiscard]] virtual PluginManagerWin* Plugins() = 0;
    [[nodiscard]] virtual HICON MainIcon() const = 0;
    // OK's effects on the main window, in the order OK calls them.
    virtual void ApplyTabStyle(bool bottom, bool roll) = 0;   // the tab control's Bottom and Roll
    virtual void ApplyTipTime(int seconds) = 0;               // tmrKillTip
    virtual void ApplyCaptionSuffix(const std::wstring& suffix, const std::wstring& title) = 0;
    virtual void ApplyTabImages() = 0;                        // image list and each tab's image
    virtual void ApplyTrayIcon() = 0;                         // tray_TransIcon: no icon
    virtual void EnableMouseGesture(bool on) = 0;
    virtual void LayOut() = 0;                                // Form_Resize
    virtual bool SetAutoRun(bool enable) = 0;
    // The notice plugin was enabled or disabled on the plugin page.
    virtual void NoticePluginChanged(bool enabled) = 0;

protected:
    ~SettingsDialogHost() = default;
};

struct SettingsDialogOptions {
    // Messages and questions (MessageBoxW by default); tests record them.
    std::function<int(HWND owner, const std::wstring& text, const std::wstring& title, UINT type)> ask;
    // The client's installation folder for the Defaults button (GetQQPath by default).
    std::function<std::wstring()> qqPath;
};

class SettingsDialog final : public WindowBase {
public:
    SettingsDialog(SettingsDialogHost& host, SettingsDialogOptions options = {});
    ~SettingsDialog() override;

    // Fills the controls from the settings and shows the dialog, topmost, page 0 selected.
    bool Open();
    // Called once the window is gone; the owner may drop the dialog from it.
    std::function<void()> onClosed;

    // The buttons' actions.
    void Ok();
    void Cancel();
    void Defaults();

    [[nodiscard]] HWND Control(int id) const;
    [[nodiscard]] HWND Page(int index) const { return picFrame_[static_cast<std::size_t>(index)]; }
    [[nodiscard]] TabControl& Tabs() noexcept { return tabSet_; }
    void SelectPage(int index);
    [[nodiscard]] HWND PropertyPage() const noexcept { return pageWindow_; }

private:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnFinalDestroy() override;
    class TabEvents;
    struct Skinning;  // the tab control's strip skin with the dialog's look

    void Build();
    void Fill();
    void OnCommand(int id, int code, HWND control);
    void FollowCheck(int id);
    void RepairNumber(int id);
    void SetSwatch(int index, std::int32_t colour);
    void ChooseColour(int index);
    void Browse();
    void SelectPlugin();
    void ShowPluginState(bool installed, const ComPtr<_Parlix_Plugin>& object);
    void TogglePlugin();
    void Install();
    void Uninstall();
    void HostPage(const ComPtr<_Parlix_Plugin>& plugin);
    void UnloadPage();
    void Close();
    [[nodiscard]] std::wstring SelectedPluginName() const;
    int Ask(const std::wstring& text, const std::wstring& title, UINT type);

    bool Checked(int id) const;
    void Check(int id, bool on);
    std::wstring Text(int id) const;
    void SetText(int id, const std::wstring& text);

    static LRESULT CALLBACK NumberBoxProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
    static LRESULT CALLBACK HotkeyBoxProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
    static LRESULT CALLBACK PanelProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);

    SettingsDialogHost& host_;
    SettingsDialogOptions options_;
    ScopedFont font_;
    TabControl tabSet_;
    std::unique_ptr<TabEvents> tabEvents_;
    std::array<HWND, 5> picFrame_{};
    std::map<int, HWND> controls_;
    ShadeButton btnOK_;
    ShadeButton btnCancel_;
    ShadeButton btnDefault_;
    std::array<std::int32_t, 4> swatch_{};
    std::unique_ptr<HotkeyCapture> hotkey_;
    std::int32_t openKey_ = 0;  // the hotkey in force when the dialog opened
    std::int32_t openMod_ = 0;
    std::unique_ptr<Skinning> skin_;
    ComPtr<IDispatch> page_;       // the plugin settings page shown, if any
    HWND pageWindow_ = nullptr;    // its window (the plugin's)
    LONG_PTR pageStyle_ = 0;       // its style before it was hosted
    bool closing_ = false;
    bool okDone_ = false;
    int dpi_ = 96;
};

// set.ini written as one replacement: the current file is copied to a temporary file beside it,
// the writes go to the copy (keys this program does not know stay as they were), and the copy
// replaces set.ini. An interrupted write leaves the old file whole.
class IniTransaction final : public IniSink {
public:
    explicit IniTransaction(std::wstring iniPath);
    ~IniTransaction() override;  // an uncommitted copy is removed
    void Write(std::wstring_view section, std::wstring_view key, std::wstring_view value) override;
    // Replaces set.ini by the copy. False (set.ini unchanged) when it could not be replaced.
    bool Commit();

private:
    std::wstring path_;
    std::wstring temp_;
    bool ready_ = false;
};

}  // namespace parlix
