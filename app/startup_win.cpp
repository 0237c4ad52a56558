// Start-up (Form_Load) in its fixed order.
#include "app/program_parts_win.h"

#include "base/dpi_win.h"
#include "base/last_chance_win.h"
#include "base/window_text_win.h"
#include "ui/greetings.h"
#include "ui/res_icon_win.h"

#include <shellapi.h>

namespace parlix {

namespace {
constexpr UINT kChkMsgMs = 200;
constexpr UINT kCheckHookMs = 5000;
constexpr wchar_t kInstanceMutex[] = L"Parlix.SingleInstance";
// The hook library's icon group (hook/parlix_hook.rc).
constexpr int kHookIconGroup = 100;

UINT IconFlag(GreetingIcon icon) {
    switch (icon) {
    case GreetingIcon::Information: return MB_ICONINFORMATION;
    case GreetingIcon::Critical: return MB_ICONERROR;
    case GreetingIcon::None: return 0;
    }
    return 0;
}
}  // namespace

bool Program::Start() {
    plugins_.RegisterCore();
    if (!ClaimSingleInstance()) return false;
    ShowGreetings();
    if (!view_.Create(*this)) return false;
    plugins_.CreateCore(view_.Hwnd(), view_.Strip());
    tabInfoMsg_ = ::RegisterWindowMessageW(kTabInfoMessage);
    const WindowPlacement place = LoadPlacedSettings();
    RegisterMainHotkey();
    BuildParts();
    // The sizing procedures report their errors in frmMsgBox, which never blocks.
    SetAdjustErrorSink([](std::wstring_view text) { MsgBox::Sh(std::wstring(text)); });
    PrepareStrip();
    ::SetCurrentDirectoryW(ModuleDirectory().c_str());
    HookClients();
    ShowFirstState(place);
    StartTimers();
    started_ = true;
    return true;
}

bool Program::ClaimSingleInstance() {
    // A second instance ends at once, silently.
    instanceMutex_.reset(::CreateMutexW(nullptr, FALSE, kInstanceMutex));
    return instanceMutex_ && ::GetLastError() != ERROR_ALREADY_EXISTS;
}

void Program::ShowGreetings() {
    const LocalDate d = today_();
    for (const Greeting& g : GreetingsFor(d.month, d.day))
        ::MessageBoxW(nullptr, g.text.c_str(), g.title.c_str(), MB_OK | IconFlag(g.icon));
}

WindowPlacement Program::LoadPlacedSettings() {
    const MainWindowFacts facts = MainWindowFactsOf(view_.Hwnd());
    const WindowPlacement place = LoadSettings(settings_, facts, PluginHost::Creatable);
    if (place.bounds) {
        // A place on a monitor of another dpi brings WM_DPICHANGED, which scales the size.
        const PixelBounds b = BoundsToPixels(*place.bounds, facts.positionDpi, facts.sizeDpi);
        ::MoveWindow(view_.Hwnd(), b.left, b.top, b.width, b.height, FALSE);
    }
    captionSuffix_ = settings_.org_Caption;  // the load leaves it as the caption suffix
    return place;
}

void Program::RegisterMainHotkey() {
    if (settings_.hot_Enabled != 1) return;
    if (!::RegisterHotKey(view_.Hwnd(), 1, static_cast<UINT>(settings_.hot_Mod), static_cast<UINT>(settings_.hot_Key)))
        ::MessageBoxW(view_.Hwnd(), L"热键冲突，您的热键将不会生效。", L"出错啦~", MB_OK | MB_ICONERROR);
}

void Program::BuildParts() {
    parts_ = std::make_unique<Parts>(view_, settings_, captionSuffix_, calls_, tree_, discovery_,
                                     static_cast<DispatchHost&>(*this), static_cast<TabUiHost&>(*this),
                                     static_cast<TabSwitchHost&>(*this));
    parts_->dispatch.SetMainIsActive(true);
    plugins_.ConnectPlugins(settings_.Murmelo);
    parts_->poll.SetNoticePlugin(plugins_.Notice());
    parts_->tray.SetTipTime(settings_.tray_TipTime);
    // Whatever way the program ends, the captured windows go back first.
    InstallLastChance([this] { RestoreForCrash(); });
    testFault_ = TestFaultFromEnvironment();
    parts_->dispatch.HookMainWindow(view_.Hwnd());
}

void Program::PrepareStrip() {
    TabControl& strip = view_.Strip();
    strip.SetEvents(&parts_->tabs);
    strip.Bottom(settings_.tab_Bottom);
    strip.Roll(settings_.tab_Roll);
    view_.SetCaption(MainWindow::BaseCaption() + captionSuffix_);
    view_.PrepareStrip();
    parts_->skin.Attach();
    parts_->upkeep.FormResize();
}

void Program::HookClients() {
    // The hook library first: its exports and icon are needed from here on.
    hooks_.Load();
    hooks_.EnableMouseGesture(settings_.org_MouseGesture != 0);
    // The tray shows small icons at the system's dpi: at 96 dpi the hook library's 16-pixel
    // image 2, elsewhere the image of its icon group drawn for that size.
    const int traySize = SystemMetricForDpi(SM_CXSMICON, SystemDpi());
    programIcon_ = traySize == 16 ? LoadResIcon(hooks_.Module(), 3, 2, 16, 32)
                                  : LoadIconOfSize(hooks_.Module(), kHookIconGroup, traySize);
    newMsgIcon_ = LoadNewMessageIcon(::GetModuleHandleW(nullptr), traySize);
    parts_->state.SetIcons(programIcon_.get(), newMsgIcon_.get());
    discovery_.InitHooks();
    parts_->dispatch.SetTaskbarCreatedMsg(discovery_.TaskbarCreatedMsg());
    // The start-up scan examines the windows of the clients found now.
    (void)FindClients();
}

std::vector<std::uint32_t> Program::FindClients() {
    std::vector<std::uint32_t> found = discovery_.FindClients(view_.Hwnd());
    calls_.SetHookedThreads(discovery_.HookedThreads());
    return found;
}

void Program::ShowFirstState(const WindowPlacement& place) {
    // Into the tray until something is captured.
    const bool maximised = place.status == 2;
    ::ShowWindow(view_.Hwnd(), maximised ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL);
    parts_->state.SetMainState(maximised ? MainWindowState::Maximized : MainWindowState::Normal);
    parts_->tray.AddTrayIcon(view_.Hwnd(), settings_.tray_TransIcon ? nullptr : programIcon_.get());
    parts_->tray.ShowInTaskBar(false);
    // Chat windows an earlier run left hidden or re-styled go back first (it may have been killed).
    GiveBackOrphans(parts_->detacher.Workers());
    parts_->detector.ScanExisting();
    if (view_.Strip().count() > 0) parts_->tray.ShowInTaskBar(true);
    parts_->focus.SetQQFocus();
    parts_->dispatch.RegisterShellHook(view_.Hwnd());
    AutoRunClient();
}

void Program::AutoRunClient() {
    if (!settings_.org_AutoRunIM || settings_.org_QQPath.empty() || settings_.org_QQName.empty()) return;
    if (IsIMRunning(settings_.org_QQName)) return;
    parts_->tray.ShowTray(L"欢迎使用Parlix", L"正在启动 " + settings_.org_QQName + L" ,请稍候...", NIIF_INFO);
    const std::wstring file = settings_.org_QQPath + settings_.org_QQName;
    ::ShellExecuteW(view_.Hwnd(), L"open", file.c_str(), L"0", L"", SW_HIDE);
}

void Program::StartTimers() {
    ::SetTimer(view_.Hwnd(), tmrChkWin, kChkWinMs, nullptr);
    ::SetTimer(view_.Hwnd(), tmrCheckHook, kCheckHookMs, nullptr);
    parts_->poll.Start(view_.Hwnd(), kMsgPollResults);
    ::SetTimer(view_.Hwnd(), tmrChkMsg, kChkMsgMs, nullptr);
}

}  // namespace parlix
