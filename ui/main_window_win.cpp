#include "ui/main_window_win.h"

#include "capture/handle_value_win.h"

#include "base/error_report_win.h"
#include "base/last_chance_win.h"
#include "base/product_info.h"
#include "base/window_text_win.h"
#include "settings/settings_win.h"
#include "ui/res_icon_win.h"
#include "ui/greetings.h"
#include "ui/tab_commands.h"

#include <shellapi.h>

namespace parlix {

namespace {
// Timer ids on the main window, named after the timers they drive.
enum TimerId : UINT_PTR { tmrChkWin = 1, tmrChkMsg = 2, tmrMsg = 3, tmrUnload = 5, tmrCheckHook = 6 };
constexpr UINT kChkMsgMs = 200;
constexpr UINT kMsgFlashMs = 500;
constexpr UINT kUnloadMs = 100;
constexpr UINT kCheckHookMs = 5000;


// Unload modes of the close request.
constexpr int kUnloadByUser = 0;

constexpr wchar_t kInstanceMutex[] = L"Parlix.SingleInstance";

// Posted to the main window: move the keyboard focus into the current tab's chat.
constexpr UINT kMsgFocusCurrent = WM_APP + 1;


UINT IconFlag(GreetingIcon icon) {
    switch (icon) {
    case GreetingIcon::Information: return MB_ICONINFORMATION;
    case GreetingIcon::Critical: return MB_ICONERROR;
    case GreetingIcon::None: return 0;
    }
    return 0;
}
}  // namespace

LocalDate TodayLocal() {
    SYSTEMTIME t;
    ::GetLocalTime(&t);
    return {t.wMonth, t.wDay};
}

MainWindow::MainWindow(DateSource today) : today_(std::move(today)), plugins_(ProgramDirectory()) {}

MainWindow::~MainWindow() { Unload(); }

std::wstring MainWindow::BaseCaption() {
    return L"Parlix Ver " + std::to_wstring(kVersionMajor) + L"." + std::to_wstring(kVersionMinor);
}

void MainWindow::ShowGreetings() {
    const LocalDate d = today_();
    for (const Greeting& g : GreetingsFor(d.month, d.day))
        ::MessageBoxW(nullptr, g.text.c_str(), g.title.c_str(), MB_OK | IconFlag(g.icon));
}

void MainWindow::RegisterMainHotkey() {
    if (settings_.hot_Enabled != 1) return;
    if (!::RegisterHotKey(Hwnd(), 1, static_cast<UINT>(settings_.hot_Mod), static_cast<UINT>(settings_.hot_Key)))
        ::MessageBoxW(Hwnd(), L"热键冲突，您的热键将不会生效。", L"出错啦~", MB_OK | MB_ICONERROR);
}

bool MainWindow::Load() {
    plugins_.RegisterCore();
    // A second instance ends at once, silently.
    instanceMutex_.reset(::CreateMutexW(nullptr, FALSE, kInstanceMutex));
    if (!instanceMutex_ || ::GetLastError() == ERROR_ALREADY_EXISTS) return false;

    ShowGreetings();
    RegisterClassOnce(kMainWindowClass, ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1)),
                      reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    RegisterClassOnce(kPicWinClass, nullptr, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    if (!Create(kMainWindowClass, BaseCaption().c_str(), WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, CW_USEDEFAULT,
                CW_USEDEFAULT, kDefaultWidthTwips / kTwipsPerPixel, kDefaultHeightTwips / kTwipsPerPixel))
        return false;
    plugins_.CreateCore(Hwnd(), btnTab);
    dispatch_.MainIsActive = true;
    tabInfoMsg_ = ::RegisterWindowMessageW(kTabInfoMessage);

    const WindowPlacement place = LoadSettings(settings_, MainWindowFactsOf(Hwnd()), PluginHost::Creatable);
    if (place.bounds)
        ::MoveWindow(Hwnd(), place.bounds->left / kTwipsPerPixel, place.bounds->top / kTwipsPerPixel,
                     place.bounds->width / kTwipsPerPixel, place.bounds->height / kTwipsPerPixel, FALSE);
    captionSuffix_ = settings_.org_Caption;  // the load leaves it as the caption suffix

    ::SetWindowLongW(Hwnd(), GWL_EXSTYLE, ::GetWindowLongW(Hwnd(), GWL_EXSTYLE) | WS_EX_LAYERED);
    ::SetLayeredWindowAttributes(Hwnd(), 0, 255, LWA_ALPHA);
    RegisterMainHotkey();

    // The tab strip, the chat container on top of it, the notice, the number badges.
    btnTab.Create(Hwnd(), 0, 0, 100, 100);
    btnTab.SetEvents(this);
    btnTab.Bottom(settings_.tab_Bottom);
    btnTab.Roll(settings_.tab_Roll);
    picWin = ::CreateWindowExW(0, kPicWinClass, L"", WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0, 0, 10, 10,
                               Hwnd(), nullptr, ::GetModuleHandleW(nullptr), nullptr);
    ::SetWindowPos(picWin, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    fraMsg.Create(Hwnd());
    nodeResources_ = std::make_unique<GdiNodeResourceFactory>(picWin);
    LinkHead = std::make_unique<TabRegistry>(*nodeResources_);
    plugins_.ConnectPlugins(settings_.Murmelo);
    TabStripOps& strip = *this;
    attacher_ = std::make_unique<TabAttacher>(tree_, *LinkHead, calls_, dispatch_, strip);
    detacher_ = std::make_unique<TabDetacher>(*LinkHead, calls_, dispatch_, strip, CurrentLink,
                                              [this](HWND popped) {
                                                  popped_.insert(popped);
                                                  cmdMerge.Add(Hwnd(), popped);
                                              });
    UpkeepHost& upkeepHost = *this;
    FocusHost& focusHost = *this;
    upkeep_ = std::make_unique<WindowUpkeep>(Hwnd(), picWin, CurrentLink, calls_, *detacher_, strip,
                                             dispatch_.IsSizing, mainState_, settings_, upkeepHost);
    focus_ = std::make_unique<ChatFocus>(Hwnd(), picWin, *LinkHead, CurrentLink, calls_, mainState_, settings_,
                                         focusHost);
    MessagePollHost& pollHost = *this;
    poll_ = std::make_unique<MessagePoll>(*LinkHead, calls_, settings_, pollHost);
    poll_->SetNoticePlugin(plugins_.Notice());
    tray_.SetTipTime(settings_.tray_TipTime);
    // Whatever way the program ends, the captured windows go back first.
    InstallLastChance([this] { RestoreForCrash(); });

    dispatch_.HookMainWindow(Hwnd());
    ::SetWindowTextW(Hwnd(), (BaseCaption() + captionSuffix_).c_str());
    btnTab.CustomColor(true);
    {
        // Image 0 the lock, image 1 the ordinary tab picture; the list copies the bitmaps.
        const HINSTANCE self = ::GetModuleHandleW(nullptr);
        ScopedBitmap lock(static_cast<HBITMAP>(::LoadImageW(self, MAKEINTRESOURCEW(101), IMAGE_BITMAP, 0, 0, 0)));
        ScopedBitmap tab(static_cast<HBITMAP>(::LoadImageW(self, MAKEINTRESOURCEW(102), IMAGE_BITMAP, 0, 0, 0)));
        btnTab.SetImageList(16, 16, lock.get(), RGB(255, 255, 255));
        btnTab.AddImage(tab.get(), RGB(255, 255, 255));
    }
    btnTab.AddItem(L"1");
    headerHeight_ = btnTab.GetHeaderHeight();
    btnTab.Clear();
    upkeep_->FormResize();

    ::SetCurrentDirectoryW(ModuleDirectory().c_str());
    // Loading the hook library first: its exports and icon are needed from here on.
    hooks_.Load();
    hooks_.EnableMouseGesture(settings_.org_MouseGesture != 0);
    programIcon_ = LoadResIcon(hooks_.Module(), 3, 2, 16, 32);
    newMsgIcon_ = LoadNewMessageIcon(::GetModuleHandleW(nullptr));
    discovery_.InitHooks();
    dispatch_.SetTaskbarCreatedMsg(discovery_.TaskbarCreatedMsg());
    // The start-up scan below examines the windows of the clients found now.
    (void)discovery_.FindClients(Hwnd());
    picNum.Create(Hwnd());

    // Into the tray until something is captured.
    ::ShowWindow(Hwnd(), place.status == 2 ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL);
    mainState_ = place.status == 2 ? 2 : 0;
    tray_.AddTrayIcon(Hwnd(), settings_.tray_TransIcon ? nullptr : programIcon_.get());
    tray_.ShowInTaskBar(false);
    detector_.ScanExisting();
    if (btnTab.count() > 0) tray_.ShowInTaskBar(true);
    focus_->SetQQFocus();
    dispatch_.RegisterShellHook(Hwnd());
    AutoRunClient();

    ::SetTimer(Hwnd(), tmrChkWin, kChkWinMs, nullptr);
    ::SetTimer(Hwnd(), tmrCheckHook, kCheckHookMs, nullptr);
    ::SetTimer(Hwnd(), tmrChkMsg, kChkMsgMs, nullptr);
    started_ = true;
    return true;
}

void MainWindow::AutoRunClient() {
    if (!settings_.org_AutoRunIM || settings_.org_QQPath.empty() || settings_.org_QQName.empty()) return;
    if (IsIMRunning(settings_.org_QQName)) return;
    tray_.ShowTray(L"欢迎使用Parlix", L"正在启动 " + settings_.org_QQName + L" ,请稍候...", NIIF_INFO);
    const std::wstring file = settings_.org_QQPath + settings_.org_QQName;
    ::ShellExecuteW(Hwnd(), L"open", file.c_str(), L"0", L"", SW_HIDE);
}

int MainWindow::HeaderHeight() const {
    // With no tab the strip has no header to measure: the height of a tab measured at start-up
    // stands in.
    const int measured = btnTab.GetHeaderHeight();
    return measured > 0 ? measured : headerHeight_;
}

void MainWindow::PicWinPlaced(const PixelRect& r) {
    fraMsg.Move(RECT{r.x, r.y, r.x + r.width, r.y + r.height});
}

void MainWindow::FocusMain() {
    ::SetForegroundWindow(Hwnd());
    focus_->SetQQFocus();
}

void MainWindow::OnTabChanged(int index) {
    // The tab being left keeps the length of what was shown in it: text that arrived while it
    // was on screen is never reported later.
    if (const auto left = CurrentLink.lock(); left && poll_) poll_->RefreshLength(left);
    CurrentLink.reset();
    if (index < 0 || index >= LinkHead->count()) {
        currentTab_ = -1;
        plugins_.TabSelected(CurrentLink);
        return;
    }
    calls_.ReleaseHungFocus();
    CurrentLink = LinkHead->GetNode(index + 1);
    currentTab_ = index + 1;
    plugins_.TabSelected(CurrentLink);
    const auto node = CurrentLink.lock();
    // Only the window shown so far goes behind: every other captured window is hidden already.
    const HWND now = Window(node->window.hWnd);
    if (shownWindow_ && shownWindow_ != now && LinkHead->PositionOfWindow(Value(shownWindow_)) > 0)
        calls_.ShowAsync(shownWindow_, SW_HIDE);
    shownWindow_ = now;
    if (settings_.org_AutoSize == 1) upkeep_->AdjustTabWindow();
    else upkeep_->FormResize();
    upkeep_->ShowCurrentWindow();
    // A tab kept on top keeps the main window on top while it is selected.
    if (dispatch_.MainIsActive)
        ::SetWindowPos(Hwnd(), node->bTopmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ::SetWindowTextW(Hwnd(), parlix::MainCaption(node->window.Caption, captionSuffix_).c_str());
    // The tab is read, and the focus follows, as soon as the switch is done: moving the focus
    // waits on two clients.
    if (dispatch_.MainIsActive) ::PostMessageW(Hwnd(), kMsgFocusCurrent, 0, 0);
    if (dispatch_.NumbersShown) ShowNumbers();
}

void MainWindow::FocusCurrent() { focus_->SetQQFocus(); }

void MainWindow::ShowTabs() {
    ::ShowWindow(btnTab.ControlhWnd(), SW_SHOW);
    ::ShowWindow(picWin, SW_SHOW);
    fraMsg.Show(false);
}

void MainWindow::ShowMsg() {
    CurrentLink.reset();
    currentTab_ = -1;
    shownWindow_ = nullptr;
    ::ShowWindow(btnTab.ControlhWnd(), SW_HIDE);
    ::ShowWindow(picWin, SW_HIDE);
    RECT client{};
    ::GetClientRect(Hwnd(), &client);
    fraMsg.Move(client);
    fraMsg.Show(true);
    ::SetWindowTextW(Hwnd(), (BaseCaption() + captionSuffix_).c_str());
    if (settings_.tray_AutoMin == 1 && mainState_ != 1) tray_.ShowInTaskBar(false);
}

bool MainWindow::IsCaptured(HWND window) const {
    return LinkHead && LinkHead->PositionOfWindow(static_cast<HandleValue>(reinterpret_cast<std::uintptr_t>(window))) > 0;
}

bool MainWindow::AddTab(HWND window, const Recognition& r) {
    const AttachSettings s{settings_.tab_MaxLen == 1, settings_.tab_MaxLength, settings_.tab_Normal,
                           settings_.org_Comp == 1, settings_.tab_ShowIcon == 1};
    return attacher_->AddTab(window, r.caption, r.isGroup, r.version, r.processId, picWin, s) != nullptr;
}

void MainWindow::AfterCapture() {
    calls_.ReleaseHungFocus();
    if (mainState_ == 1) tray_.ShowInTaskBar(true);
    if (::IsWindowEnabled(Hwnd())) ::SetForegroundWindow(Hwnd());
    ::PostMessageW(Hwnd(), kMsgFocusCurrent, 0, 0);
}

void MainWindow::AfterScan() {
    if (btnTab.count() > 0) btnTab.Selected(btnTab.count() - 1);
    else ShowMsg();
}

void MainWindow::DetectWindow(HWND window) {
    std::erase_if(popped_, [](HWND w) { return !::IsWindow(w); });
    if (popped_.contains(window)) return;
    detector_.DetectWindow(window, false);
}

void MainWindow::OnMainActivated() {
    if (mainState_ == 1) focus_->StartSetFocus();
    else if (poll_) poll_->SetTabRead();
}

std::wstring MainWindow::MainCaption() const {
    std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(Hwnd())) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(Hwnd(), text.data(), static_cast<int>(text.size()))));
    return text;
}

void MainWindow::EnableFlashTimer(bool enabled) {
    flashing_ = enabled;
    if (enabled) ::SetTimer(Hwnd(), tmrMsg, kMsgFlashMs, nullptr);
    else ::KillTimer(Hwnd(), tmrMsg);
}

void MainWindow::SetTrayIcon(TrayIconKind icon) {
    switch (icon) {
    case TrayIconKind::NewMessage: tray_.SetTrayIcon(newMsgIcon_.get()); break;
    case TrayIconKind::None: tray_.SetTrayIcon(nullptr); break;
    case TrayIconKind::Main: tray_.SetTrayIcon(programIcon_.get()); break;
    }
}

bool MainWindow::SetQQFocusByHwnd(HWND window, bool find, bool qqOnly) {
    return focus_->SetQQFocusByHwnd(window, find, qqOnly);
}

void MainWindow::KeyFunctions(int id) {
    Trapped(L"modHotKey", L"KeyFunctions", true, [&] {
        const int count = btnTab.count();
        if (id == 1) {
            if (mainState_ == 1) {
                tray_.ShowInTaskBar(true);
                FocusMain();
            } else if (flashing_) {
                FocusMain();
            } else {
                tray_.ShowInTaskBar(false);
            }
            return;
        }
        if (!dispatch_.MainIsActive || count == 0) return;
        int s = btnTab.Selected();
        if (id == 2) {
            btnTab.Selected(tabs::NextTab(s, count));
        } else if (id == 3) {
            btnTab.Selected(tabs::PreviousTab(s, count));
        } else if (id == 4) {
            btnTab.Selected(count - 1);
        } else if (id >= 5 && id <= 13 && id - 5 < count) {
            btnTab.Selected(id - 5);
        }
    });
}

void MainWindow::ShowNumbers() {
    picNum.ShowNumer(btnTab.count(), [this](int index) {
        RECT r = btnTab.GetItemRect(index);
        ::MapWindowPoints(btnTab.hwnd(), Hwnd(), reinterpret_cast<POINT*>(&r), 2);
        return r;
    });
}

void MainWindow::HideNumbers() { picNum.HideNumer(); }

WheelBand MainWindow::TabStripBand() const {
    RECT c, p;
    ::GetClientRect(Hwnd(), &c);
    ::GetWindowRect(picWin, &p);
    ::MapWindowPoints(nullptr, Hwnd(), reinterpret_cast<POINT*>(&p), 2);
    if (btnTab.Bottom()) return {c.right, p.bottom - p.top, c.bottom};
    return {c.right, 0, p.top};
}

void MainWindow::OnTimer(UINT_PTR id) {
    if (focus_ && focus_->OnTimer(id)) {
        // A pop-out leaves no current tab until the popped window has its focus; then the tab
        // left selected is current again, so upkeep and the tab read follow it.
        if (id == tmrSetFocus2 && !CurrentLink.lock()) {
            const int selected = btnTab.Selected();
            if (selected >= 0 && selected < LinkHead->count()) {
                CurrentLink = LinkHead->GetNode(selected + 1);
                currentTab_ = selected + 1;
            }
        }
        return;
    }
    switch (id) {
    case tmrChkWin:
        if (upkeep_) upkeep_->Tick();
        break;
    case kTrayKillTipTimer:
        tray_.OnKillTipTimer();
        break;
    case tmrChkMsg:
        if (poll_) poll_->Tick();
        break;
    case tmrMsg:
        if (poll_) poll_->FlashTick();
        break;
    case tmrCheckHook:
        // A client found now may have opened chats before: they were rejected when they
        // appeared (not a known client then) and are examined once more here.
        for (HWND w : TopLevelWindowsOf(discovery_.FindClients(Hwnd()))) DetectWindow(w);
        break;
    case tmrUnload:
        ::KillTimer(Hwnd(), tmrUnload);
        IsExiting = true;
        ::PostMessageW(Hwnd(), WM_CLOSE, 0, 0);
        break;
    default:
        break;
    }
}

void MainWindow::OnCommand(unsigned id) {
    // Commands sent from outside a menu act on the selected tab when no click chose one.
    if (commands_.ContextTab() < 0 || commands_.ContextTab() >= btnTab.count())
        commands_.ContextTab(btnTab.Selected());
    commands_.Execute(id);
}

void MainWindow::PopTab(int index) {
    // The popped window must not be taken again as a new window.
    dispatch_.DeregisterShellHook(Hwnd());
    const HWND popped = detacher_->PopWin(index);
    dispatch_.RegisterShellHook(Hwnd());
    if (popped) focus_->StartSetFocus2(popped);
}

void MainWindow::ShowOrHide() { tray_.ShowInTaskBar(mainState_ == 1); }

void MainWindow::Exit() { ::SetTimer(Hwnd(), tmrUnload, kUnloadMs, nullptr); }

bool MainWindow::QueryUnload(int unloadMode) {
    if (!IsExiting && settings_.tray_CloseTray) {
        if (unloadMode == kUnloadByUser || unloadMode > 3) {
            if (mainState_ != 1) tray_.ShowInTaskBar(false);
            return false;
        }
        RestoreAll();
        return true;
    }
    if (settings_.org_ExitMsg) {
        dispatch_.DeregisterShellHook(Hwnd());
        const int answer = ::MessageBoxW(Hwnd(), L"确定要退出么?所有聊天窗口都会还原到原来的大小与位置。", L"确认？",
                                         MB_YESNO | MB_ICONQUESTION);
        if (answer != IDYES) {
            IsExiting = false;
            dispatch_.RegisterShellHook(Hwnd());
            return false;
        }
        IsExiting = true;
    }
    RestoreAll();
    return true;
}

void MainWindow::RestoreAll() {
    if (mainState_ == 1 || !::IsWindowVisible(Hwnd())) tray_.ShowInTaskBar(true);
    WINDOWPLACEMENT wp{sizeof wp};
    ::GetWindowPlacement(Hwnd(), &wp);
    RECT r;
    ::GetWindowRect(Hwnd(), &r);
    const std::int32_t status = ::IsIconic(Hwnd()) ? 1 : ::IsZoomed(Hwnd()) ? 2 : 0;
    // A minimised or maximised window stores the place it returns to.
    if (status != 0) r = wp.rcNormalPosition;
    SaveWindowPlacement({r.left * kTwipsPerPixel, r.top * kTwipsPerPixel, (r.right - r.left) * kTwipsPerPixel,
                         (r.bottom - r.top) * kTwipsPerPixel},
                        status);
    dispatch_.DeregisterShellHook(Hwnd());
    detacher_->PopAll();
}

void MainWindow::Unload() {
    if (unloaded_) return;
    unloaded_ = true;
    plugins_.Unload();
    const HWND main = Hwnd();
    if (main) {
        ::KillTimer(main, tmrChkWin);
        ::KillTimer(main, tmrCheckHook);
        ::KillTimer(main, tmrChkMsg);
        ::KillTimer(main, tmrMsg);
        ::UnregisterHotKey(main, 1);
        tray_.DeleteTrayIcon();
        dispatch_.DeregisterShellHook(main);
        dispatch_.UnhookMainWindow();
    }
    discovery_.EndHooks();
    if (detacher_) detacher_->PopAll();
    calls_.DetachAll();
    ClearLastChance();
}

void MainWindow::RestoreForCrash() noexcept {
    try {
        if (detacher_) detacher_->PopAll();
    } catch (...) {
    }
}

void MainWindow::EndSession() {
    // The session ends whatever the user would answer: no question, every window back first.
    if (unloaded_) return;
    IsExiting = true;
    RestoreAll();
    Unload();
    EndProgramNow(0);
}

LRESULT MainWindow::TabInfo(WPARAM index, LPARAM what) const {
    if (what == kTabInfoIdle) return started_ && dispatch_.Nesting() == 1 ? 1 : 0;
    if (!LinkHead || index >= static_cast<WPARAM>(LinkHead->count())) return -1;
    const IMWindow& w = LinkHead->GetNode(static_cast<int>(index) + 1)->window;
    if (what == kTabInfoWindow) return static_cast<LRESULT>(w.hWnd);
    if (what == kTabInfoKind)
        return static_cast<LRESULT>(w.Version) | (w.IsGroup ? 0x100 : 0) | (w.Locked ? 0x200 : 0);
    return -1;
}

LRESULT MainWindow::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == tabInfoMsg_ && msg != 0) return TabInfo(wParam, lParam);
    switch (msg) {
    case WM_SIZE:
        if (upkeep_) upkeep_->FormResize();
        return 0;
    case WM_TIMER:
        OnTimer(wParam);
        return 0;
    case WM_COMMAND:
        if (lParam == 0) OnCommand(LOWORD(wParam));
        else if (reinterpret_cast<HWND>(lParam) == fraMsg.Link() && HIWORD(wParam) == STN_CLICKED)
            ::ShellExecuteW(Hwnd(), L"open", kHomePage, L"0", L"", SW_HIDE);
        return 0;
    case WM_RBUTTONUP:
        commands_.RButtonClickedWindow();
        return 0;
    case kMsgFocusCurrent:
        // Set tab read moves the focus into the chat as well.
        if (poll_ && dispatch_.MainIsActive) poll_->SetTabRead();
        else FocusCurrent();
        return 0;
    case WM_CLOSE:
        if (QueryUnload(kUnloadByUser)) {
            Unload();
            ::DestroyWindow(Hwnd());
        }
        return 0;
    case WM_DESTROY:
        Unload();
        ::PostQuitMessage(0);
        return 0;
    default:
        return WindowBase::HandleMessage(msg, wParam, lParam);
    }
}

}  // namespace parlix
