#include "settings/settings_dialog_win.h"

#include "base/dpi_win.h"
#include "base/subclass_win.h"
#include "settings/common_dialogs_win.h"
#include "settings/ini_values.h"
#include "settings/settings_win.h"
#include "ui/tab_strip_skin_win.h"

#include <commctrl.h>

#include <cstring>
#include <vector>

namespace parlix {

namespace {

constexpr wchar_t kDialogClass[] = L"Parlix.frmSet";
constexpr wchar_t kProgramTitle[] = L"Parlix";
constexpr int kHotkeyId = 1;
constexpr int kIdGesturePicture = 1300;  // + 0..3
constexpr UINT_PTR kSubclassId = 0x5E7;

constexpr std::int32_t kDefaultSwatches[4] = {16756580, 16763046, 5700777, 6899221};
constexpr const wchar_t* kSwatchNames[4] = {L"选中", L"普通", L"高亮", L"文字"};
constexpr const wchar_t* kPageCaptions[5] = {L"程序设置", L"标签设置", L"托盘设置", L"组件设置", L"鼠标手势"};
constexpr const wchar_t* kGestureNames[4] = {L"分离窗口", L"关闭窗口", L"上一个窗口", L"下一个窗口"};

// Figures of the layout, in pixels at 96 dpi.
constexpr int kClientWidth = 480;
constexpr int kClientHeight = 440;
constexpr int kButtonWidth = 88;
constexpr int kButtonHeight = 28;

// The dialog's own strip look: the tab colours of the settings, no per-tab colours or icons.
class DialogStripLook final : public StripLook {
public:
    explicit DialogStripLook(const Settings& s) : s_(s) {}
    [[nodiscard]] paint::Palette Colours() const override {
        return {static_cast<paint::Colour>(TranslateColor(s_.tab_Normal)),
                static_cast<paint::Colour>(TranslateColor(s_.tab_Selected)),
                static_cast<paint::Colour>(TranslateColor(s_.tab_Hot)),
                static_cast<paint::Colour>(::GetSysColor(COLOR_BTNFACE))};
    }
    [[nodiscard]] paint::Colour TextColour() const override { return s_.tab_Text; }
    [[nodiscard]] bool XpStyle() const override { return s_.tab_Skin; }
    [[nodiscard]] bool ShowIcon() const override { return false; }
    [[nodiscard]] paint::Colour TabColor(int) const override { return s_.tab_Normal; }
    [[nodiscard]] HDC IconDC(int) const override { return nullptr; }

private:
    const Settings& s_;
};

// ---- late binding of a plugin's settings page ----------------------------------------------

bool Invoke(IDispatch* object, const wchar_t* name, WORD kind, std::initializer_list<long> args, VARIANT* result) {
    if (!object) return false;
    DISPID id = 0;
    LPOLESTR n = const_cast<LPOLESTR>(name);
    if (FAILED(object->GetIDsOfNames(IID_NULL, &n, 1, LOCALE_USER_DEFAULT, &id))) return false;
    // Arguments go in reverse order.
    std::vector<VARIANT> v(args.size());
    std::size_t i = args.size();
    for (long a : args) {
        --i;
        ::VariantInit(&v[i]);
        v[i].vt = VT_I4;
        v[i].lVal = a;
    }
    DISPPARAMS params{v.empty() ? nullptr : v.data(), nullptr, static_cast<UINT>(v.size()), 0};
    return SUCCEEDED(object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, kind, &params, result, nullptr, nullptr));
}

HWND PageHwnd(IDispatch* page) {
    ScopedVariant v;
    if (!Invoke(page, L"hWnd", DISPATCH_PROPERTYGET, {}, v.get())) return nullptr;
    if (FAILED(::VariantChangeType(v.get(), v.get(), 0, VT_I4))) return nullptr;
    const HWND w = reinterpret_cast<HWND>(static_cast<LONG_PTR>(v->lVal));
    return ::IsWindow(w) ? w : nullptr;
}

std::wstring ReadText(const ComPtr<_Parlix_Plugin>& plugin, HRESULT (STDMETHODCALLTYPE _Parlix_Plugin::*get)(BSTR*)) {
    ScopedBstr text;
    if (!plugin || FAILED((plugin.get()->*get)(text.put()))) return {};
    return text.str();
}

void DrawGesture(const DRAWITEMSTRUCT& item, int index, bool enabled) {
    const HDC dc = item.hDC;
    const RECT r = item.rcItem;
    ::FillRect(dc, &r, ::GetSysColorBrush(COLOR_WINDOW));
    ::FrameRect(dc, &r, ::GetSysColorBrush(COLOR_BTNSHADOW));
    const int cx = (r.left + r.right) / 2;
    const int cy = (r.top + r.bottom) / 2;
    const int len = (r.bottom - r.top) / 3;
    const int head = len / 2;
    // Up, down, left, right: the stroke of each gesture with its arrow head.
    const int dx[4] = {0, 0, -1, 1};
    const int dy[4] = {-1, 1, 0, 0};
    const int ex = cx + dx[index] * len;
    const int ey = cy + dy[index] * len;
    const int sx = cx - dx[index] * len;
    const int sy = cy - dy[index] * len;
    ScopedPen pen(::CreatePen(PS_SOLID, 3, enabled ? RGB(40, 100, 200) : ::GetSysColor(COLOR_GRAYTEXT)));
    ScopedSelect sel(dc, pen.get());
    ::MoveToEx(dc, sx, sy, nullptr);
    ::LineTo(dc, ex, ey);
    // The head: two short strokes back from the end, at right angles to each other.
    const int bx = -dx[index] * head;
    const int by = -dy[index] * head;
    ::MoveToEx(dc, ex, ey, nullptr);
    ::LineTo(dc, ex + bx + by, ey + by + bx);
    ::MoveToEx(dc, ex, ey, nullptr);
    ::LineTo(dc, ex + bx - by, ey + by - bx);
    ::Ellipse(dc, sx - 3, sy - 3, sx + 4, sy + 4);
}

}  // namespace

struct SettingsDialog::Skinning {
    explicit Skinning(TabControl& tabs, const Settings& settings) : look(settings), skin(tabs, look) {}
    DialogStripLook look;
    TabStripSkin skin;
};

class SettingsDialog::TabEvents final : public TabControlEvents {
public:
    explicit TabEvents(SettingsDialog& d) : d_(d) {}
    void Changed(int index) override { d_.SelectPage(index); }

private:
    SettingsDialog& d_;
};

// ---- set.ini as one replacement ------------------------------------------------------------

IniTransaction::IniTransaction(std::wstring iniPath) : path_(std::move(iniPath)) {
    temp_ = path_ + L".new";
    ::DeleteFileW(temp_.c_str());
    // Everything the file holds now, keys of others included, is the start of the copy.
    ready_ = ::CopyFileW(path_.c_str(), temp_.c_str(), FALSE) || ::GetLastError() == ERROR_FILE_NOT_FOUND;
    if (ready_) ::SetFileAttributesW(temp_.c_str(), FILE_ATTRIBUTE_NORMAL);
}

IniTransaction::~IniTransaction() {
    if (!temp_.empty()) {
        ::WritePrivateProfileStringW(nullptr, nullptr, nullptr, temp_.c_str());
        ::DeleteFileW(temp_.c_str());
    }
}

void IniTransaction::Write(std::wstring_view section, std::wstring_view key, std::wstring_view value) {
    if (!ready_) return;
    const std::wstring s(section), k(key), v = IniSafeValue(value);
    if (!::WritePrivateProfileStringW(s.c_str(), k.c_str(), v.c_str(), temp_.c_str())) ready_ = false;
}

bool IniTransaction::Commit() {
    if (!ready_) return false;
    // The profile API's cache of the copy is written out before the copy takes set.ini's place.
    ::WritePrivateProfileStringW(nullptr, nullptr, nullptr, temp_.c_str());
    if (!::MoveFileExW(temp_.c_str(), path_.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return false;
    ::WritePrivateProfileStringW(nullptr, nullptr, nullptr, path_.c_str());
    temp_.clear();
    return true;
}

// ---- the dialog ----------------------------------------------------------------------------

SettingsDialog::SettingsDialog(SettingsDialogHost& host, SettingsDialogOptions options)
    : host_(host), options_(std::move(options)) {}

SettingsDialog::~SettingsDialog() {
    UnloadPage();
    skin_.reset();
    if (Hwnd()) ::DestroyWindow(Hwnd());
}

int SettingsDialog::Ask(const std::wstring& text, const std::wstring& title, UINT type) {
    if (options_.ask) return options_.ask(Hwnd(), text, title, type);
    return ::MessageBoxW(Hwnd(), text.c_str(), title.c_str(), type);
}

HWND SettingsDialog::Control(int id) const {
    const auto it = controls_.find(id);
    return it == controls_.end() ? nullptr : it->second;
}

bool SettingsDialog::Checked(int id) const {
    return ::SendMessageW(Control(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void SettingsDialog::Check(int id, bool on) {
    ::SendMessageW(Control(id), BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}

std::wstring SettingsDialog::Text(int id) const {
    const HWND w = Control(id);
    const int n = ::GetWindowTextLengthW(w);
    std::wstring text(static_cast<std::size_t>(n) + 1, L'\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextW(w, text.data(), n + 1)));
    return text;
}

void SettingsDialog::SetText(int id, const std::wstring& text) { ::SetWindowTextW(Control(id), text.c_str()); }

bool SettingsDialog::Open() {
    if (Hwnd()) return true;
    RegisterClassOnce(kDialogClass, nullptr, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    dpi_ = SystemDpi();
    const auto s = [this](int px) { return ::MulDiv(px, dpi_, 96); };
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    const RECT frame = AdjustedWindowRect({0, 0, s(kClientWidth), s(kClientHeight)}, style, WS_EX_TOPMOST, dpi_);
    const int w = frame.right - frame.left;
    const int h = frame.bottom - frame.top;
    RECT work{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    if (!WindowBase::Create(kDialogClass, L"设置", style, WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT,
                            (work.left + work.right - w) / 2, (work.top + work.bottom - h) / 2, w, h, nullptr))
        return false;
    font_ = PointFont(L"宋体", 9, FW_NORMAL, GB2312_CHARSET, dpi_);
    Build();
    // Opening: the controls from the settings; a failing step is told and the opening goes on.
    try {
        Fill();
    } catch (const std::exception& e) {
        Ask(std::wstring(e.what(), e.what() + std::strlen(e.what())), kProgramTitle, MB_OK);
    }
    // The global hotkey is released while the dialog is open (the box captures keys).
    ::UnregisterHotKey(host_.MainHwnd(), kHotkeyId);
    ::ShowWindow(Hwnd(), SW_SHOW);
    skin_ = std::make_unique<Skinning>(tabSet_, host_.CurrentSettings());
    skin_->skin.Attach();
    for (const wchar_t* caption : kPageCaptions) tabSet_.AddItem(caption);
    SelectPage(0);
    tabSet_.Selected(0);
    if (const HICON icon = host_.MainIcon()) {
        ::SendMessageW(Hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
        ::SendMessageW(Hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    }
    ::SetWindowPos(Hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    if (PluginManagerWin* plugins = host_.Plugins()) {
        try {
            plugins->EnumPlugins(Control(idLstPlugins));
        } catch (...) {
        }
    }
    return true;
}

void SettingsDialog::Build() {
    const auto s = [this](int px) { return ::MulDiv(px, dpi_, 96); };
    const HINSTANCE inst = ::GetModuleHandleW(nullptr);
    const HWND self = Hwnd();

    // The tab control fills the width down to 5 pixels above the buttons.
    const int buttonTop = kClientHeight - kButtonHeight - 8;
    tabSet_.Create(self, 0, 0, s(kClientWidth), s(buttonTop - 5));
    tabSet_.SetFont_Obj(font_.get());
    // The pages lie over the tab control: it must not paint over them.
    if (const HWND host = ::GetParent(tabSet_.hwnd()))
        ::SetWindowLongW(host, GWL_STYLE, ::GetWindowLongW(host, GWL_STYLE) | WS_CLIPSIBLINGS);
    tabEvents_ = std::make_unique<TabEvents>(*this);
    tabSet_.SetEvents(tabEvents_.get());
    tabSet_.AddItem(L"1");
    const int header = tabSet_.GetHeaderHeight();
    tabSet_.Clear();
    const int panelW = s(kClientWidth) - s(5);
    const int panelH = s(buttonTop - 5) - s(6) - header;
    for (std::size_t i = 0; i < picFrame_.size(); ++i) {
        picFrame_[i] = ::CreateWindowExW(WS_EX_CONTROLPARENT, L"STATIC", L"", WS_CHILD | WS_CLIPSIBLINGS, s(3),
                                         s(3) + header, panelW, panelH, self, nullptr, inst, nullptr);
        AddSubclass(picFrame_[i], PanelProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
        ::SetWindowPos(picFrame_[i], HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }

    auto make = [&](int page, const wchar_t* cls, const std::wstring& text, DWORD style, int x, int y, int w, int h,
                    int id, DWORD ex = 0) {
        const HWND c = ::CreateWindowExW(ex, cls, text.c_str(), WS_CHILD | WS_VISIBLE | style, s(x), s(y), s(w), s(h),
                                         picFrame_[static_cast<std::size_t>(page)],
                                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), inst, nullptr);
        ::SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
        if (id) controls_[id] = c;
        return c;
    };
    constexpr DWORD kCheck = BS_AUTOCHECKBOX | WS_TABSTOP;
    constexpr DWORD kEdit = ES_AUTOHSCROLL | WS_TABSTOP;
    constexpr DWORD kLabel = SS_LEFT;

    // Page 0: the program.
    make(0, L"STATIC", L"自定义标题栏文字：", kLabel, 10, 12, 120, 18, 0);
    make(0, L"EDIT", L"", kEdit, 132, 9, 220, 22, idTxtCaption, WS_EX_CLIENTEDGE);
    make(0, L"BUTTON", L"检测文件传输、视频聊天并提示（测试。可能会误报）", kCheck, 10, 38, 440, 20, idChkFile);
    make(0, L"BUTTON", L"窗口拖动时透明", kCheck, 10, 60, 440, 20, idChkTrans);
    make(0, L"BUTTON", L"兼容模式（输入法有问题时请尝试开启,只对新聊天窗口有效）", kCheck, 10, 82, 440, 20, idChkComp);
    make(0, L"BUTTON", L"如果IM程序没有启动,则自动启动.", kCheck, 10, 104, 440, 20, idChkAutoRunIM);
    make(0, L"BUTTON", L"开机时启动Parlix", kCheck, 10, 126, 440, 20, idChkRunOnStart);
    make(0, L"BUTTON", L"启用热键", kCheck, 10, 150, 90, 20, idChkHotKey);
    make(0, L"EDIT", L"无", kEdit, 104, 149, 220, 22, idTxtHotKey, WS_EX_CLIENTEDGE);
    make(0, L"BUTTON", L"退出程序时提示确认", kCheck, 10, 176, 440, 20, idChkExitMsg);
    make(0, L"BUTTON", L"切换到Parlix时优先显示有新消息的窗口", kCheck, 10, 198, 440, 20, idChkAutoSwitch);
    make(0, L"BUTTON", L"根据IM窗口大小自动改变Parlix窗口大小", kCheck, 10, 220, 440, 20, idChkAutoSize);
    make(0, L"BUTTON", L"IM设置", BS_GROUPBOX, 8, 246, 456, 84, 0);
    make(0, L"STATIC", L"IM程序路径:", kLabel, 20, 271, 80, 18, idLblPath);
    make(0, L"EDIT", L"", kEdit, 100, 268, 270, 22, idTxtPath, WS_EX_CLIENTEDGE);
    make(0, L"BUTTON", L"浏览", BS_PUSHBUTTON | WS_TABSTOP, 378, 267, 70, 24, idBtnBrowse);
    make(0, L"STATIC", L"文件名:", kLabel, 20, 301, 80, 18, idLblExeName);
    make(0, L"EDIT", L"", kEdit, 100, 298, 150, 22, idTxtExeName, WS_EX_CLIENTEDGE);

    // Page 1: the tabs.
    make(1, L"STATIC", L"标签位置:", kLabel, 10, 12, 80, 18, 0);
    make(1, L"BUTTON", L"上方", BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 96, 10, 70, 20, idOptTabTop);
    make(1, L"BUTTON", L"下方", BS_AUTORADIOBUTTON, 176, 10, 70, 20, idOptTabBottom);
    make(1, L"STATIC", L"排列方式:", kLabel | WS_GROUP, 10, 38, 80, 18, 0);
    make(1, L"BUTTON", L"滚动", BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 96, 36, 70, 20, idOptTabRoll);
    make(1, L"BUTTON", L"多行", BS_AUTORADIOBUTTON, 176, 36, 70, 20, idOptTabMulti);
    make(1, L"STATIC", L"标签皮肤:", kLabel | WS_GROUP, 10, 64, 80, 18, 0);
    make(1, L"BUTTON", L"XP风格", BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 96, 62, 70, 20, idOptTabXp);
    make(1, L"BUTTON", L"QQ风格", BS_AUTORADIOBUTTON, 176, 62, 70, 20, idOptTabQQ);
    make(1, L"BUTTON", L"限制标签最长字数：", kCheck | WS_GROUP, 10, 92, 150, 20, idChkMaxLen);
    make(1, L"EDIT", L"", kEdit | ES_NUMBER, 162, 91, 40, 22, idTxtMaxLen, WS_EX_CLIENTEDGE);
    make(1, L"STATIC", L"个字", kLabel, 208, 94, 40, 18, 0);
    make(1, L"BUTTON", L"在标签上显示图标", kCheck, 10, 120, 300, 20, idChkShowIcon);
    make(1, L"BUTTON", L"按Ctrl时在标签上显示编号", kCheck, 10, 144, 300, 20, idChkShowNum);
    make(1, L"BUTTON", L"标签颜色", BS_GROUPBOX, 8, 174, 456, 146, 0);
    for (int i = 0; i < 4; ++i) {
        const int y = 196 + i * 30;
        make(1, L"STATIC", kSwatchNames[i], SS_CENTER | SS_CENTERIMAGE | SS_NOTIFY | WS_BORDER, 24, y, 140, 22,
             idLblColor0 + i);
        make(1, L"BUTTON", L"设置颜色", BS_PUSHBUTTON | WS_TABSTOP, 176, y - 1, 88, 24, idBtnSetColor0 + i);
    }

    // Page 2: the tray.
    make(2, L"BUTTON", L"最小化到托盘", kCheck, 10, 10, 440, 20, idChkTray);
    make(2, L"BUTTON", L"关闭窗口时最小化到托盘", kCheck, 10, 34, 440, 20, idChkCloseTray);
    make(2, L"BUTTON", L"无聊天窗口时自动最小化到托盘", kCheck, 10, 58, 440, 20, idChkAutoMin);
    make(2, L"BUTTON", L"检测到新消息时在托盘上显示气泡提示", kCheck, 10, 82, 440, 20, idChkShowTip);
    make(2, L"BUTTON", L"当程序在前台时也显示气泡", kCheck, 28, 106, 420, 20, idChkAlwaysShowTip);
    make(2, L"STATIC", L"气泡显示时间：", kLabel, 10, 135, 100, 18, 0);
    make(2, L"EDIT", L"", kEdit | ES_NUMBER, 112, 132, 40, 22, idTxtTipTime, WS_EX_CLIENTEDGE);
    make(2, L"STATIC", L"秒", kLabel, 158, 135, 30, 18, 0);
    make(2, L"BUTTON", L"检测到新消息时闪烁托盘图标", kCheck, 10, 162, 440, 20, idChkFlashTray);
    make(2, L"BUTTON", L"托盘图标透明", kCheck, 10, 186, 440, 20, idChkTransTrayIcon);

    // Page 3: the plugins.
    make(3, L"STATIC", L"可用组件：", kLabel, 10, 8, 150, 18, 0);
    make(3, L"LISTBOX", L"", LBS_NOTIFY | WS_VSCROLL | WS_TABSTOP, 10, 28, 150, 150, idLstPlugins, WS_EX_CLIENTEDGE);
    make(3, L"STATIC", L"组件状态：", kLabel, 176, 28, 280, 18, idLblPluginState);
    make(3, L"STATIC", L"版本：", kLabel, 176, 50, 280, 18, idLblPluginVersion);
    make(3, L"STATIC", L"作者：", kLabel, 176, 72, 280, 18, idLblPluginAuthor);
    make(3, L"STATIC", L"描述：", kLabel, 176, 94, 280, 48, idLblPluginDescribe);
    make(3, L"BUTTON", L"启用组件", kCheck, 176, 152, 90, 22, idChkEnablePlugin);
    make(3, L"BUTTON", L"安装组件", BS_PUSHBUTTON | WS_TABSTOP, 272, 150, 84, 26, idBtnInstall);
    make(3, L"BUTTON", L"卸载组件", BS_PUSHBUTTON | WS_TABSTOP, 362, 150, 84, 26, idBtnUninstall);
    make(3, L"STATIC", L"组件选项：", kLabel, 10, 188, 150, 18, 0);
    const HWND property =
        make(3, L"STATIC", L"", WS_CLIPCHILDREN | SS_NOTIFY, 10, 208, 454, 118, idPicProperty, WS_EX_STATICEDGE);
    AddSubclass(property, PanelProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
    const HWND none = ::CreateWindowExW(0, L"STATIC", L"没有选项。", WS_CHILD | WS_VISIBLE, s(8), s(8), s(200), s(18),
                                        property, reinterpret_cast<HMENU>(static_cast<INT_PTR>(idLblNoProperty)), inst,
                                        nullptr);
    ::SendMessageW(none, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    controls_[idLblNoProperty] = none;
    ::EnableWindow(Control(idChkEnablePlugin), FALSE);
    ::EnableWindow(Control(idBtnInstall), FALSE);
    ::EnableWindow(Control(idBtnUninstall), FALSE);

    // Page 4: the mouse gestures.
    make(4, L"BUTTON", L"使用鼠标手势(按住右键移动鼠标)", kCheck, 10, 10, 440, 20, idChkMouseGesture);
    for (int i = 0; i < 4; ++i) {
        const int x = 20 + i * 112;
        make(4, L"STATIC", L"", SS_OWNERDRAW, x, 48, 90, 90, kIdGesturePicture + i);
        make(4, L"STATIC", kGestureNames[i], SS_CENTER, x - 6, 146, 102, 18, idLblGesture0 + i);
    }
    make(4, L"STATIC", L"右键+滚轮  切换窗口", kLabel, 20, 184, 300, 18, 0);

    // The buttons.
    const int by = kClientHeight - kButtonHeight - 8;
    btnDefault_.Create(self, idBtnDefault, L"btnDefault", s(8), s(by), s(kButtonWidth), s(kButtonHeight));
    btnOK_.Create(self, idBtnOK, L"btnOK", s(kClientWidth - 2 * kButtonWidth - 16), s(by), s(kButtonWidth),
                  s(kButtonHeight));
    btnCancel_.Create(self, idBtnCancel, L"btnCancel", s(kClientWidth - kButtonWidth - 8), s(by), s(kButtonWidth),
                      s(kButtonHeight));
    for (auto* b : {&btnDefault_, &btnOK_, &btnCancel_}) b->Font(font_.get());
    btnDefault_.Caption(L"恢复默认");
    btnOK_.Caption(L"确定");
    btnCancel_.Caption(L"取消");
    btnOK_.Default(true);
    controls_[idBtnOK] = btnOK_.Hwnd();
    controls_[idBtnCancel] = btnCancel_.Hwnd();
    controls_[idBtnDefault] = btnDefault_.Hwnd();

    for (int id : {idTxtMaxLen, idTxtTipTime})
        AddSubclass(Control(id), NumberBoxProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
    AddSubclass(Control(idTxtHotKey), HotkeyBoxProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
}

void SettingsDialog::Fill() {
    Settings& st = host_.CurrentSettings();
    const std::int32_t colours[4] = {st.tab_Selected, st.tab_Normal, st.tab_Hot, st.tab_Text};
    for (int i = 0; i < 4; ++i) SetSwatch(i, colours[i]);
    Check(st.tab_Bottom ? idOptTabBottom : idOptTabTop, true);
    Check(st.tab_Roll ? idOptTabRoll : idOptTabMulti, true);
    Check(st.tab_Skin ? idOptTabXp : idOptTabQQ, true);
    Check(idChkAlwaysShowTip, st.tray_AlwaysShowTip == 1);
    Check(idChkAutoMin, st.tray_AutoMin == 1);
    Check(idChkCloseTray, st.tray_CloseTray == 1);
    Check(idChkTray, st.tray_Enabled == 1);
    Check(idChkFlashTray, st.tray_FlashTray == 1);
    SetText(idTxtMaxLen, std::to_wstring(st.tab_MaxLength));
    Check(idChkMaxLen, st.tab_MaxLen == 1);
    Check(idChkShowTip, st.tray_MsgTip == 1);
    Check(idChkShowNum, st.tab_ShowNum == 1);
    Check(idChkShowIcon, st.tab_ShowIcon == 1);
    SetText(idTxtTipTime, std::to_wstring(st.tray_TipTime));
    Check(idChkTransTrayIcon, st.tray_TransIcon == 1);
    Check(idChkHotKey, st.hot_Enabled == 1);
    Check(idChkAutoRunIM, st.org_AutoRunIM == 1);
    Check(idChkAutoSize, st.org_AutoSize == 1);
    Check(idChkAutoSwitch, st.org_AutoSwitch == 1);
    SetText(idTxtCaption, CaptionText(st.org_Caption));
    Check(idChkComp, st.org_Comp == 1);
    Check(idChkExitMsg, st.org_ExitMsg == 1);
    Check(idChkMouseGesture, st.org_MouseGesture == 1);
    SetText(idTxtPath, st.org_QQPath);
    SetText(idTxtExeName, st.org_QQName);
    Check(idChkRunOnStart, st.org_RunOnStart == 1);
    Check(idChkTrans, st.org_Trans == 1);
    Check(idChkFile, st.org_ChkFile == 1);
    const std::wstring hotText = ReadIni(kSettingsSection, L"hot_Text", kNoHotkey);
    hotkey_ = std::make_unique<HotkeyCapture>(hotText, st.hot_Key, st.hot_Mod);
    openKey_ = st.hot_Key;
    openMod_ = st.hot_Mod;
    SetText(idTxtHotKey, hotText);
    for (int id : {idTxtMaxLen, idTxtTipTime}) RepairNumber(id);
    for (int id : LeadingCheckBoxes()) FollowCheck(id);
}

void SettingsDialog::SetSwatch(int index, std::int32_t colour) {
    swatch_[static_cast<std::size_t>(index)] = colour;
    ::InvalidateRect(Control(idLblColor0 + index), nullptr, TRUE);
}

void SettingsDialog::FollowCheck(int id) {
    const bool on = Checked(id);
    for (int dependent : DependentsOf(id)) ::EnableWindow(Control(dependent), on);
    if (id == idChkMouseGesture)
        for (int i = 0; i < 4; ++i) ::InvalidateRect(::GetDlgItem(Page(4), kIdGesturePicture + i), nullptr, FALSE);
}

void SettingsDialog::RepairNumber(int id) {
    const NumberBoxRule& rule = id == idTxtMaxLen ? kMaxLenBox : kTipTimeBox;
    const std::wstring text = Text(id);
    const std::wstring repaired = RepairNumberBox(text, rule);
    if (repaired != text) {
        SetText(id, repaired);
        ::SendMessageW(Control(id), EM_SETSEL, repaired.size(), repaired.size());
    }
}

void SettingsDialog::SelectPage(int index) {
    if (index < 0 || index >= static_cast<int>(picFrame_.size())) return;
    for (std::size_t i = 0; i < picFrame_.size(); ++i)
        if (static_cast<int>(i) != index) ::ShowWindow(picFrame_[i], SW_HIDE);
    const HWND page = picFrame_[static_cast<std::size_t>(index)];
    ::SetWindowPos(page, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    if (tabSet_.Selected() != index) {
        tabSet_.SetEvents(nullptr);
        tabSet_.Selected(index);
        tabSet_.SetEvents(tabEvents_.get());
    }
}

void SettingsDialog::ChooseColour(int index) {
    const ColorResult chosen = ShowColor(Hwnd(), swatch_[static_cast<std::size_t>(index)]);
    if (!chosen.cancelled) SetSwatch(index, chosen.colour);
}

void SettingsDialog::Browse() {
    const OpenFileResult file = ShowOpen(Hwnd(), L"可执行文件(*.exe)|*.exe");
    if (file.cancelled) return;
    SetText(idTxtPath, file.directory);
    SetText(idTxtExeName, file.fileName);
}

void SettingsDialog::Defaults() {
    for (int i = 0; i < 4; ++i) SetSwatch(i, kDefaultSwatches[i]);
    for (auto [on, off] : {std::pair{idOptTabBottom, idOptTabTop}, std::pair{idOptTabMulti, idOptTabRoll},
                           std::pair{idOptTabXp, idOptTabQQ}}) {
        Check(off, false);
        Check(on, true);
    }
    for (int id : {idChkAutoMin, idChkAutoSwitch, idChkMouseGesture, idChkFlashTray, idChkShowIcon, idChkShowNum,
                   idChkShowTip, idChkTray, idChkTrans})
        Check(id, true);
    for (int id : {idChkAutoRunIM, idChkAutoSize, idChkAlwaysShowTip, idChkCloseTray, idChkFile, idChkExitMsg,
                   idChkMaxLen, idChkHotKey, idChkTransTrayIcon})
        Check(id, false);
    SetText(idTxtExeName, L"QQ.exe");
    SetText(idTxtTipTime, L"3");
    SetText(idTxtCaption, L"");
    const std::wstring qq = options_.qqPath ? options_.qqPath() : GetQQPath();
    if (!qq.empty()) SetText(idTxtPath, qq);
    for (int id : LeadingCheckBoxes()) FollowCheck(id);
}

void SettingsDialog::Ok() {
    if (!Hwnd()) return;
    Settings& st = host_.CurrentSettings();
    const HWND main = host_.MainHwnd();
    // 1, 2: the controls into the in-memory settings.
    std::wstring path = Text(idTxtPath);
    if (path.empty() || path.back() != L'\\') path += L'\\';
    SetText(idTxtPath, path);
    st.tab_Bottom = !Checked(idOptTabTop);
    st.tab_Selected = swatch_[0];
    st.tab_Normal = swatch_[1];
    st.tab_Hot = swatch_[2];
    st.tab_Text = swatch_[3];
    st.tab_MaxLen = Checked(idChkMaxLen) ? 1 : 0;
    st.tab_MaxLength = NumberBoxValue(Text(idTxtMaxLen), kMaxLenBox);
    st.tab_Roll = Checked(idOptTabRoll);
    st.tab_Skin = Checked(idOptTabXp);
    const auto flag = [this](int id) { return Checked(id) ? 1 : 0; };
    st.tab_ShowNum = flag(idChkShowNum);
    st.tab_ShowIcon = flag(idChkShowIcon);
    st.tray_AlwaysShowTip = flag(idChkAlwaysShowTip);
    st.tray_AutoMin = flag(idChkAutoMin);
    st.tray_CloseTray = flag(idChkCloseTray);
    st.tray_Enabled = flag(idChkTray);
    st.tray_FlashTray = flag(idChkFlashTray);
    st.tray_MsgTip = flag(idChkShowTip);
    st.tray_TipTime = NumberBoxValue(Text(idTxtTipTime), kTipTimeBox);
    st.tray_TransIcon = flag(idChkTransTrayIcon);
    st.org_AutoRunIM = flag(idChkAutoRunIM);
    st.org_AutoSwitch = flag(idChkAutoSwitch);
    st.org_AutoSize = flag(idChkAutoSize);
    st.org_ChkFile = flag(idChkFile);
    st.org_Comp = flag(idChkComp);
    st.org_ExitMsg = flag(idChkExitMsg);
    st.org_RunOnStart = flag(idChkRunOnStart);
    st.org_QQName = Text(idTxtExeName);
    st.org_QQPath = path;
    st.org_MouseGesture = flag(idChkMouseGesture);
    st.org_Trans = flag(idChkTrans);
    st.hot_Enabled = flag(idChkHotKey);
    if (hotkey_) {
        st.hot_Key = hotkey_->Key();
        st.hot_Mod = hotkey_->Mod();
    }
    // 3: the tab control and the notice timer.
    host_.ApplyTabStyle(st.tab_Bottom, st.tab_Roll);
    host_.ApplyTipTime(st.tray_TipTime);
    // 4: the title.
    std::wstring title(static_cast<std::size_t>(::GetWindowTextLengthW(main)) + 1, L'\0');
    title.resize(static_cast<std::size_t>(::GetWindowTextW(main, title.data(), static_cast<int>(title.size()))));
    const CaptionChange caption = ChangeCaption(title, st.org_Caption, Text(idTxtCaption));
    st.org_Caption = caption.suffix;
    host_.ApplyCaptionSuffix(caption.suffix, caption.title);
    // 5: the file, written as one replacement once the hotkey is known.
    IniTransaction file(IniPath());
    SaveSettings(st, file);
    // 6: no maximise box while the window follows the chat's size.
    if (main) {
        LONG style = ::GetWindowLongW(main, GWL_STYLE);
        style = st.org_AutoSize == 1 ? (style & ~WS_MAXIMIZEBOX) : (style | WS_MAXIMIZEBOX);
        ::SetWindowLongW(main, GWL_STYLE, style);
        ::SetWindowPos(main, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    }
    // 7: the tab images.
    host_.ApplyTabImages();
    // 8: the hotkey.
    const std::wstring hotText = Text(idTxtHotKey);
    if (hotText != kNoHotkey) {
        if (!::RegisterHotKey(main, kHotkeyId, static_cast<UINT>(st.hot_Mod), static_cast<UINT>(st.hot_Key)))
            Ask(L"热键冲突，您的热键将不会生效。", kProgramTitle, MB_OK | MB_ICONERROR);
        st.hot_Text = hotText;
        SaveHotkey(st, file);
    }
    if (!Checked(idChkHotKey)) ::UnregisterHotKey(main, kHotkeyId);
    file.Commit();
    // 9 to 12.
    if (st.tray_TransIcon == 1) host_.ApplyTrayIcon();
    host_.EnableMouseGesture(st.org_MouseGesture != 0);
    host_.LayOut();
    host_.SetAutoRun(st.org_RunOnStart == 1);
    okDone_ = true;
    Close();
}

void SettingsDialog::Cancel() { Close(); }

void SettingsDialog::Close() {
    if (closing_ || !Hwnd()) return;
    closing_ = true;
    Settings& st = host_.CurrentSettings();
    // A hotkey captured and then cancelled is forgotten: the one in force before comes back.
    if (!okDone_ && hotkey_) {
        st.hot_Key = openKey_;
        st.hot_Mod = openMod_;
    }
    skin_.reset();
    if (st.hot_Enabled == 1)
        ::RegisterHotKey(host_.MainHwnd(), kHotkeyId, static_cast<UINT>(st.hot_Mod), static_cast<UINT>(st.hot_Key));
    UnloadPage();
    ::DestroyWindow(Hwnd());
}

// ---- the plugin page -----------------------------------------------------------------------

std::wstring SettingsDialog::SelectedPluginName() const {
    const HWND list = Control(idLstPlugins);
    const LRESULT index = ::SendMessageW(list, LB_GETCURSEL, 0, 0);
    if (index < 0) return {};
    const LRESULT n = ::SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (n <= 0) return {};
    std::wstring name(static_cast<std::size_t>(n) + 1, L'\0');
    name.resize(static_cast<std::size_t>(::SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(index),
                                                        reinterpret_cast<LPARAM>(name.data()))));
    return name;
}

void SettingsDialog::ShowPluginState(bool installed, const ComPtr<_Parlix_Plugin>& object) {
    SetText(idLblPluginState, installed ? L"组件状态：已安装" : L"组件状态：未安装");
    SetText(idLblPluginVersion, L"版本：" + ReadText(object, &_Parlix_Plugin::get_Version));
    SetText(idLblPluginAuthor, L"作者：" + ReadText(object, &_Parlix_Plugin::get_Author));
    SetText(idLblPluginDescribe, L"描述：" + ReadText(object, &_Parlix_Plugin::get_Describe));
    ::EnableWindow(Control(idChkEnablePlugin), installed);
    ::EnableWindow(Control(idBtnInstall), !installed);
    ::EnableWindow(Control(idBtnUninstall), installed);
}

void SettingsDialog::SelectPlugin() {
    const std::wstring name = SelectedPluginName();
    PluginManagerWin* plugins = host_.Plugins();
    if (name.empty() || !plugins) return;
    UnloadPage();
    PluginManager& manager = plugins->Manager();
    if (!manager.CheckPlugin(PluginProgId(name))) {
        ShowPluginState(false, {});
        return;
    }
    ComPtr<_Parlix_Plugin> object;
    bool enabled = false;
    try {
        enabled = manager.GetPluginEnabled(name);
    } catch (...) {
        // A "Plugin" value that is no Boolean counts as enabled, as at start-up.
        enabled = true;
    }
    if (enabled) {
        Check(idChkEnablePlugin, true);
        object = ComObjectOf(manager.FindNode(name));
        if (object) HostPage(object);
    } else {
        Check(idChkEnablePlugin, false);
        // A temporary object, only to read its texts: never connected.
        object = CreatePluginObject(PluginProgId(name));
    }
    ShowPluginState(true, object);
}

void SettingsDialog::HostPage(const ComPtr<_Parlix_Plugin>& plugin) {
    VARIANT_BOOL has = VARIANT_FALSE;
    if (FAILED(plugin->get_HasProperty(&has)) || has == VARIANT_FALSE) return;
    ComPtr<IDispatch> page;
    if (FAILED(plugin->GetProperty(page.put())) || !page) return;
    const HWND window = PageHwnd(page.get());
    if (!window) return;
    const HWND area = Control(idPicProperty);
    page_ = page;
    pageWindow_ = window;
    pageStyle_ = ::GetWindowLongPtrW(window, GWL_STYLE);
    ::ShowWindow(Control(idLblNoProperty), SW_HIDE);
    // The form becomes a child of the property area for as long as it is shown.
    ::SetWindowLongPtrW(window, GWL_STYLE, (pageStyle_ & ~(WS_POPUP | WS_CAPTION | WS_THICKFRAME)) | WS_CHILD);
    ::SetParent(window, area);
    if (!Invoke(page.get(), L"Move", DISPATCH_METHOD, {0, 0}, nullptr))
        ::SetWindowPos(window, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    if (!Invoke(page.get(), L"Show", DISPATCH_METHOD, {}, nullptr)) ::ShowWindow(window, SW_SHOW);
}

void SettingsDialog::UnloadPage() {
    if (pageWindow_ && ::IsWindow(pageWindow_)) {
        // The form is the plugin's: it goes back to being a hidden top-level window, so it does
        // not die with the dialog.
        ::ShowWindow(pageWindow_, SW_HIDE);
        ::SetParent(pageWindow_, nullptr);
        ::SetWindowLongPtrW(pageWindow_, GWL_STYLE, pageStyle_ & ~WS_VISIBLE);
    }
    pageWindow_ = nullptr;
    page_.reset();
    if (const HWND none = Control(idLblNoProperty)) ::ShowWindow(none, SW_SHOW);
}

void SettingsDialog::TogglePlugin() {
    const std::wstring name = SelectedPluginName();
    PluginManagerWin* plugins = host_.Plugins();
    if (name.empty() || !plugins) return;
    PluginManager& manager = plugins->Manager();
    if (Checked(idChkEnablePlugin)) {
        manager.SetPluginEnabled(name, true);
        manager.LoadPlugin(name);
        SelectPlugin();
    } else {
        UnloadPage();
        manager.SetPluginEnabled(name, false);
        manager.UnloadPlugin(name);
    }
    bool notice = false;
    try {
        notice = IniToBoolean(ReadIni(kPluginSection, kNoticePluginKey, L"False"));
    } catch (...) {
    }
    host_.CurrentSettings().Murmelo = notice;
    host_.NoticePluginChanged(notice);
}

void SettingsDialog::Install() {
    const std::wstring name = SelectedPluginName();
    PluginManagerWin* plugins = host_.Plugins();
    if (name.empty() || !plugins) return;
    if (plugins->Manager().InstallPlugin(name)) {
        Ask(L"组件安装成功。", L"成功", MB_OK | MB_ICONINFORMATION);
        SelectPlugin();
    } else {
        Ask(L"组件安装失败，请确保" + name + L".dll在程序目录下。", L"失败", MB_OK | MB_ICONWARNING);
    }
}

void SettingsDialog::Uninstall() {
    const std::wstring name = SelectedPluginName();
    PluginManagerWin* plugins = host_.Plugins();
    if (name.empty() || !plugins) return;
    UnloadPage();
    if (plugins->Manager().UninstallPlugin(name + L".dll")) {
        Ask(L"组件卸载成功。", L"成功", MB_OK | MB_ICONINFORMATION);
        plugins->Manager().SetPluginEnabled(name, false);
        Check(idChkEnablePlugin, false);
        ShowPluginState(false, {});
    } else {
        Ask(L"组件卸载失败，请确保" + name + L".dll在Plugins目录下。", L"失败", MB_OK | MB_ICONWARNING);
    }
}

// ---- messages ------------------------------------------------------------------------------

void SettingsDialog::OnCommand(int id, int code, HWND) {
    switch (id) {
    case idBtnOK:
    case IDOK: Ok(); return;
    case idBtnCancel:
    case IDCANCEL: Cancel(); return;
    case idBtnDefault: Defaults(); return;
    case idBtnBrowse: Browse(); return;
    case idBtnInstall: Install(); return;
    case idBtnUninstall: Uninstall(); return;
    case idChkEnablePlugin:
        if (code == BN_CLICKED) TogglePlugin();
        return;
    case idLstPlugins:
        if (code == LBN_SELCHANGE) SelectPlugin();
        return;
    case idTxtMaxLen:
    case idTxtTipTime:
        if (code == EN_CHANGE) RepairNumber(id);
        return;
    default: break;
    }
    if (id >= idBtnSetColor0 && id <= idBtnSetColor3) {
        ChooseColour(id - idBtnSetColor0);
        return;
    }
    if (code == BN_CLICKED && !DependentsOf(id).empty()) FollowCheck(id);
}

LRESULT SettingsDialog::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_COMMAND:
        try {
            OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        } catch (...) {
            // Nothing escapes into the window procedure; the step that failed is left undone.
        }
        return 0;
    case WM_CTLCOLORSTATIC: {
        const HWND control = reinterpret_cast<HWND>(lParam);
        const HDC dc = reinterpret_cast<HDC>(wParam);
        const int id = ::GetDlgCtrlID(control);
        if (id >= idLblColor0 && id <= idLblColor3) {
            // The swatch shows its colour, its name in the inverse colour.
            const std::int32_t c = swatch_[static_cast<std::size_t>(id - idLblColor0)];
            const COLORREF back = TranslateColor(c);
            ::SetBkColor(dc, back);
            ::SetTextColor(dc, 0xFFFFFF - (back & 0xFFFFFF));
            ::SetDCBrushColor(dc, back);
            return reinterpret_cast<LRESULT>(::GetStockObject(DC_BRUSH));
        }
        ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
        return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_DRAWITEM: {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        const int index = static_cast<int>(item->CtlID) - kIdGesturePicture;
        if (index >= 0 && index < 4) DrawGesture(*item, index, Checked(idChkMouseGesture));
        return TRUE;
    }
    case WM_CLOSE: Cancel(); return 0;
    default: break;
    }
    return WindowBase::HandleMessage(msg, wParam, lParam);
}

void SettingsDialog::OnFinalDestroy() {
    const auto closed = onClosed;
    if (closed) closed();
}

LRESULT CALLBACK SettingsDialog::PanelProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR self) {
    auto* dialog = reinterpret_cast<SettingsDialog*>(self);
    switch (msg) {
    case WM_COMMAND:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_DRAWITEM:
        // The pages pass their controls' notices to the dialog.
        if (dialog->Hwnd()) return ::SendMessageW(dialog->Hwnd(), msg, wParam, lParam);
        break;
    case WM_NCDESTROY: RemoveSubclass(hwnd, PanelProc, kSubclassId); break;
    default: break;
    }
    return CallNextSubclass(hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK SettingsDialog::NumberBoxProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                               DWORD_PTR) {
    switch (msg) {
    case WM_CHAR:
        if (!NumberBoxAccepts(static_cast<wchar_t>(wParam))) {
            ::MessageBeep(MB_OK);
            return 0;
        }
        break;
    case WM_NCDESTROY: RemoveSubclass(hwnd, NumberBoxProc, kSubclassId); break;
    default: break;
    }
    return CallNextSubclass(hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK SettingsDialog::HotkeyBoxProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                               DWORD_PTR self) {
    auto* dialog = reinterpret_cast<SettingsDialog*>(self);
    switch (msg) {
    case WM_GETDLGCODE: return DLGC_WANTALLKEYS | DLGC_WANTCHARS;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
        if (!dialog->hotkey_) return 0;
        const int vk = static_cast<int>(wParam);
        int shift = 0;
        if (::GetKeyState(VK_SHIFT) < 0) shift |= kShiftBit;
        if (::GetKeyState(VK_CONTROL) < 0) shift |= kCtrlBit;
        if (::GetKeyState(VK_MENU) < 0) shift |= kAltBit;
        wchar_t name[255] = {};
        const int n = ::GetKeyNameTextW(static_cast<LONG>(::MapVirtualKeyW(static_cast<UINT>(vk), 0) * 0x10000), name, 255);
        dialog->hotkey_->KeyDown(vk, shift, std::wstring_view(name, static_cast<std::size_t>(n > 0 ? n : 0)));
        // The capture holds the program-wide values at once; only OK writes them to the file.
        Settings& st = dialog->host_.CurrentSettings();
        st.hot_Key = dialog->hotkey_->Key();
        st.hot_Mod = dialog->hotkey_->Mod();
        ::SetWindowTextW(hwnd, dialog->hotkey_->Text().c_str());
        return 0;
    }
    case WM_KEYUP:
    case WM_SYSKEYUP:
        if (dialog->hotkey_) {
            dialog->hotkey_->KeyUp(static_cast<int>(wParam));
            Settings& st = dialog->host_.CurrentSettings();
            st.hot_Key = dialog->hotkey_->Key();
            st.hot_Mod = dialog->hotkey_->Mod();
            ::SetWindowTextW(hwnd, dialog->hotkey_->Text().c_str());
        }
        return 0;
    case WM_CHAR:
    case WM_SYSCHAR:
    case WM_PASTE:
        return 0;  // the box is never typed into
    case WM_NCDESTROY: RemoveSubclass(hwnd, HotkeyBoxProc, kSubclassId); break;
    default: break;
    }
    return CallNextSubclass(hwnd, msg, wParam, lParam);
}

}  // namespace parlix
