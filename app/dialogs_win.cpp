// The settings dialog and the about box opened from the menus, and what the dialog's OK changes
// in the running program.
#include "app/program_parts_win.h"

#include "base/error_report_win.h"
#include "base/product_info.h"

namespace parlix {

void Program::ShowSettings() {
    Trapped(L"frmMain", L"mnuSet_Click", false, [&] {
        if (settingsDialog_ && settingsDialog_->Hwnd()) {
            ::SetForegroundWindow(settingsDialog_->Hwnd());
            return;
        }
        settingsDialog_ = std::make_unique<SettingsDialog>(static_cast<SettingsDialogHost&>(*this));
        if (!settingsDialog_->Open()) settingsDialog_.reset();
    });
}

void Program::ShowAbout() {
    Trapped(L"frmMain", L"mnuAbout_Click", false, [&] { OpenAbout(); });
}

void Program::OpenAbout() {
    if (aboutBox_ && aboutBox_->Hwnd()) {
        ::SetForegroundWindow(aboutBox_->Hwnd());
        return;
    }
    AboutOptions options;
    options.programTitle = L"Parlix";
    // The main window's large icon: the box shows it at full size.
    auto* big = reinterpret_cast<HICON>(::SendMessageW(view_.Hwnd(), WM_GETICON, ICON_BIG, 0));
    options.icon = big ? big : programIcon_.get();
    options.main = view_.Hwnd();
    options.major = kVersionMajor;
    options.minor = kVersionMinor;
    options.revision = ProgramRevision();
    aboutBox_ = std::make_unique<AboutBox>(std::move(options));
    if (!aboutBox_->Open()) aboutBox_.reset();
}

bool Program::DialogMessage(MSG& msg) {
    for (HWND dialog : {settingsDialog_ ? settingsDialog_->Hwnd() : nullptr, aboutBox_ ? aboutBox_->Hwnd() : nullptr})
        if (dialog && (msg.hwnd == dialog || ::IsChild(dialog, msg.hwnd)) && ::IsDialogMessageW(dialog, &msg))
            return true;
    return false;
}

void Program::ApplyTabStyle(bool bottom, bool roll) {
    view_.Strip().Bottom(bottom);
    view_.Strip().Roll(roll);
}

void Program::ApplyTipTime(int seconds) { parts_->tray.SetTipTime(seconds); }

void Program::ApplyCaptionSuffix(const std::wstring& suffix, const std::wstring& title) {
    captionSuffix_ = suffix;
    view_.SetCaption(title);
}

void Program::ApplyTabImages() {
    view_.ReloadTabImages();
    TabRegistry& registry = parts_->registry;
    for (int i = 0; i < view_.Strip().count() && i < registry.count(); ++i) {
        const auto node = registry.GetNode(i + 1);
        const int image = node && node->window.Locked ? 0 : settings_.tab_ShowIcon == 1 ? 1 : -1;
        view_.Strip().SetItemImage(image, i);
    }
}

void Program::ApplyTrayIcon() { parts_->tray.SetTrayIcon(nullptr); }

void Program::LayOut() { parts_->upkeep.FormResize(); }

void Program::NoticePluginChanged(bool enabled) {
    // Notices go to the notice plugin as soon as it is enabled, not only after the next start.
    plugins_.RefreshNoticePlugin(enabled);
    parts_->poll.SetNoticePlugin(plugins_.Notice());
}

}  // namespace parlix
