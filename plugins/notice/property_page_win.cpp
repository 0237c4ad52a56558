#include "plugins/notice/property_page_win.h"

#include "contract/automation_object.h"
#include "plugins/common/page_form_win.h"
#include "plugins/notice/notice_store_win.h"
#include "settings/ini_values.h"

#include <commdlg.h>

#include <cstdint>

namespace parlix::notice {

namespace {

constexpr int Px(int twips) { return twips / kTwipsPerPixel; }

struct ControlSpec {
    int id;
    const wchar_t* cls;
    const wchar_t* text;
    DWORD style;
    int left, top, width, height;  // twips
};

}  // namespace

PropertyPage::~PropertyPage() { Close(); }

bool PropertyPage::Load() {
    if (Hwnd()) return true;
    if (!RegisterClassOnce(kPageClass, nullptr, ::GetSysColorBrush(COLOR_BTNFACE))) return false;
    if (!Create(kPageClass, L"", WS_POPUP | WS_CLIPCHILDREN, 0, 0, 0, kPageWidth, kPageHeight)) return false;
    handle_ = std::make_shared<HWND>(Hwnd());
    MakeControls();
    Form_Load();
    return true;
}

void PropertyPage::MakeControls() {
    const HWND page = Hwnd();
    font_.reset(::CreateFontW(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, GB2312_CHARSET, OUT_DEFAULT_PRECIS,
                              CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"宋体"));
    const DWORD label = SS_LEFT, edit = WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP;
    const DWORD option = BS_RADIOBUTTON | WS_TABSTOP, button = BS_PUSHBUTTON | WS_TABSTOP;
    std::vector<ControlSpec> specs = {
        {0, L"Static", L"透明度(0-255):", label, 180, 60, 1320, 255},
        {kTxtAlpha, L"Edit", L"255", edit, 1500, 15, 1335, 315},
        {0, L"Static", L"皮肤:", label, 3000, 60, 540, 255},
        {kCboSkin, L"ComboBox", L"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 3540, 15, 1755, 1500},
        {kChkTrans, L"Button", L"鼠标穿透(点击消息提示将会点在下层窗口上)", BS_AUTOCHECKBOX | BS_MULTILINE | WS_TABSTOP,
         3000, 330, 2295, 600},
        {kLblColor0, L"Static", L"标题颜色", SS_CENTER | SS_CENTERIMAGE | SS_NOTIFY, 180, 390, 1200, 255},
        {kCmdColor0, L"Button", L"选择颜色", button, 150, 630, 1260, 345},
        {kLblColor1, L"Static", L"消息颜色", SS_CENTER | SS_CENTERIMAGE | SS_NOTIFY, 1620, 390, 1200, 255},
        {kCmdColor1, L"Button", L"选择颜色", button, 1590, 630, 1260, 345},
        {0, L"Static", L"字号:", label, 180, 1110, 570, 255},
        {kTxtSize0, L"Edit", L"12", edit, 750, 1080, 600, 315},
        {0, L"Static", L"字号:", label, 1650, 1110, 600, 255},
        {kTxtSize1, L"Edit", L"9", edit, 2250, 1080, 600, 315},
        {0, L"Static", L"位置:", label, 180, 1470, 570, 255},
        {0, L"Static", L"方向:", label, 1860, 1470, 540, 255},
        {0, L"Static", L"", SS_ETCHEDFRAME, 2400, 1410, 1065, 915},  // Picture1
        {kCmdPreview, L"Button", L"预览效果", button, 4110, 1110, 1200, 420},
        {kCmdOK, L"Button", L"保存设置", button, 4110, 1650, 1200, 420},
    };
    for (int i = 0; i < 9; ++i) {
        const int row = i / 3, column = i % 3;
        specs.push_back({kOptPos0 + i, L"Button", L"■", option, 750 + column * 300, 1410 + row * 270, 315, 285});
        specs.push_back(
            {kOptDir0 + i, L"Button", kDirectionCaptions[i], option, 2400 + column * 300, 1410 + row * 270, 315, 285});
    }
    for (const ControlSpec& c : specs) {
        const HWND w = ::CreateWindowExW(c.cls == std::wstring_view(L"Edit") ? WS_EX_CLIENTEDGE : 0, c.cls, c.text,
                                         WS_CHILD | WS_VISIBLE | c.style, Px(c.left), Px(c.top), Px(c.width),
                                         Px(c.height), page, reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)),
                                         Module(), nullptr);
        if (w) ::SendMessageW(w, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    }
    // The frame stays behind the direction buttons drawn over it.
    for (int i = 0; i < 9; ++i)
        ::SetWindowPos(Control(kOptDir0 + i), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void PropertyPage::Form_Load() {
    const HWND page = Hwnd();
    // A child window from now on, so that the host can embed it.
    ::SetWindowLongW(page, GWL_STYLE, (::GetWindowLongW(page, GWL_STYLE) & ~WS_POPUP) | WS_CHILD);
    for (int i = 0; i < 9; ++i)
        for (int first : {kOptPos0, kOptDir0}) {
            const HWND b = Control(first + i);
            ::SetWindowLongW(b, GWL_STYLE, ::GetWindowLongW(b, GWL_STYLE) | BS_PUSHLIKE);
        }
    FillSkinList();
    const NoticeSettings& s = model_.settings;
    SetSwatch(0, static_cast<COLORREF>(ArgbToBgr(s.msg_TitleColor)));
    SetSwatch(1, static_cast<COLORREF>(ArgbToBgr(s.msg_MessageColor)));
    ::SetWindowTextW(Control(kTxtAlpha), IniFromInteger(s.msg_Alpha).c_str());
    ::SetWindowTextW(Control(kTxtSize0), IniFromInteger(s.msg_TitleSize).c_str());
    ::SetWindowTextW(Control(kTxtSize1), IniFromInteger(s.msg_MessageSize).c_str());
    ::SendMessageW(Control(kChkTrans), BM_SETCHECK, s.msg_Trans == 1 ? BST_CHECKED : BST_UNCHECKED, 0);
    const int direction = s.msg_Direction, position = s.msg_Position;
    if (direction >= 0 && direction < 9) optDir_Click(direction);
    if (position >= 0 && position < 9) optPos_Click(position);
    const LRESULT found = ::SendMessageW(Control(kCboSkin), CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                         reinterpret_cast<LPARAM>(s.msg_Skin.c_str()));
    // CB_FINDSTRINGEXACT ignores case; the skin must match exactly.
    if (found != CB_ERR) {
        wchar_t item[MAX_PATH] = {};
        if (::SendMessageW(Control(kCboSkin), CB_GETLBTEXTLEN, found, 0) < MAX_PATH)
            ::SendMessageW(Control(kCboSkin), CB_GETLBTEXT, found, reinterpret_cast<LPARAM>(item));
        if (s.msg_Skin == item) ::SendMessageW(Control(kCboSkin), CB_SETCURSEL, found, 0);
    }
}

void PropertyPage::FillSkinList() {
    WIN32_FIND_DATAW found{};
    const std::wstring pattern = model_.skinDir + L"*.png";
    const HANDLE search = ::FindFirstFileW(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        std::wstring name = found.cFileName;
        if (name.size() < 4) continue;
        name.resize(name.size() - 4);
        ::SendMessageW(Control(kCboSkin), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
}

void PropertyPage::SetSwatch(int index, COLORREF bgr) {
    swatch_[index] = bgr & 0xFFFFFF;
    swatchBrush_[index].reset(::CreateSolidBrush(swatch_[index]));
    ::InvalidateRect(Control(index == 0 ? kLblColor0 : kLblColor1), nullptr, TRUE);
}

void PropertyPage::Check(int firstId, int index) {
    for (int i = 0; i < 9; ++i)
        ::SendMessageW(Control(firstId + i), BM_SETCHECK, i == index ? BST_CHECKED : BST_UNCHECKED, 0);
}

int PropertyPage::Selected(int firstId) const {
    for (int i = 1; i < 9; ++i)
        if (::SendMessageW(Control(firstId + i), BM_GETCHECK, 0, 0) == BST_CHECKED) return i;
    return 0;
}

std::wstring PropertyPage::Text(int id) const {
    wchar_t text[256] = {};
    ::GetWindowTextW(Control(id), text, 256);
    return text;
}

std::int32_t PropertyPage::Number(int id, std::int32_t fallback) const {
    try {
        return IniToInteger(Text(id));
    } catch (const IniValueError&) {
        return fallback;
    }
}

void PropertyPage::optPos_Click(int index) {
    Check(kOptPos0, index);
    model_.settings.msg_Position = index;
    const std::optional<PositionDirections> d = DirectionsFor(index);
    if (!d) return;  // the centre changes nothing
    for (int i = 0; i < 9; ++i) ::EnableWindow(Control(kOptDir0 + i), (d->enabled >> i) & 1);
    optDir_Click(d->selected);
}

void PropertyPage::optDir_Click(int index) {
    Check(kOptDir0, index);
    model_.settings.msg_Direction = index;
}

void PropertyPage::cmdSelectColor_Click(int index) {
    static COLORREF custom[16] = {};
    CHOOSECOLORW cc{};
    cc.lStructSize = sizeof cc;
    cc.hwndOwner = Hwnd();
    cc.rgbResult = swatch_[index];
    cc.lpCustColors = custom;
    cc.Flags = CC_RGBINIT | CC_FULLOPEN | CC_ANYCOLOR;
    COLORREF chosen = swatch_[index];
    if (::ChooseColorW(&cc)) chosen = cc.rgbResult;
    SetSwatch(index, chosen);
}

void PropertyPage::cmdOK_Click() {
    const std::wstring& ini = model_.iniPath;
    WriteSetting(ini, L"msg_TitleColor", IniFromInteger(static_cast<std::int32_t>(swatch_[0])));
    WriteSetting(ini, L"msg_MessageColor", IniFromInteger(static_cast<std::int32_t>(swatch_[1])));
    WriteSetting(ini, L"msg_Alpha", IniFromInteger(Number(kTxtAlpha, 255)));
    WriteSetting(ini, L"msg_TitleSize", IniFromInteger(Number(kTxtSize0, 12)));
    WriteSetting(ini, L"msg_MessageSize", IniFromInteger(Number(kTxtSize1, 12)));
    WriteSetting(ini, L"msg_Trans",
                 ::SendMessageW(Control(kChkTrans), BM_GETCHECK, 0, 0) == BST_CHECKED ? L"1" : L"0");
    WriteSetting(ini, L"msg_Skin", Text(kCboSkin));
    WriteSetting(ini, L"msg_Direction", IniFromInteger(Selected(kOptDir0)));
    WriteSetting(ini, L"msg_Position", IniFromInteger(Selected(kOptPos0)));
}

void PropertyPage::ApplyToLive() {
    NoticeSettings& s = model_.settings;
    s.msg_Direction = Selected(kOptDir0);
    s.msg_Position = Selected(kOptPos0);
    s.msg_TitleColor = BgrToArgb(static_cast<std::int32_t>(swatch_[0]));
    s.msg_MessageColor = BgrToArgb(static_cast<std::int32_t>(swatch_[1]));
    s.msg_Alpha = Number(kTxtAlpha, 255);
    s.msg_TitleSize = Number(kTxtSize0, 12);
    s.msg_MessageSize = Number(kTxtSize1, 12);
    s.msg_Trans = ::SendMessageW(Control(kChkTrans), BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
    s.msg_Skin = Text(kCboSkin);
}

void PropertyPage::cmdPreview_Click() {
    ApplyToLive();
    try {
        LoadSkinLayout(model_);
    } catch (const IniValueError&) {
        return;  // an unreadable layout abandons the preview
    }
    notice_.Unload();
    if (!notice_.Form_Load()) return;
    model_.motion.HoldTime = kPreviewHoldMs;
    model_.NoticeTitle = kPreviewTitle;
    model_.NoticeText = kPreviewText;
    model_.motion.times = 0;
    model_.motion.Alpha = 0;
    notice_.PlaceNotice();
    notice_.Show();
}

LRESULT PropertyPage::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    try {
        if (msg == WM_COMMAND) {
            const int id = LOWORD(wParam), code = HIWORD(wParam);
            if (id >= kOptPos0 && id < kOptPos0 + 9 && code == BN_CLICKED) optPos_Click(id - kOptPos0);
            else if (id >= kOptDir0 && id < kOptDir0 + 9 && code == BN_CLICKED) optDir_Click(id - kOptDir0);
            else if ((id == kCmdColor0 || id == kCmdColor1) && code == BN_CLICKED) cmdSelectColor_Click(id - kCmdColor0);
            else if (id == kCmdPreview && code == BN_CLICKED) cmdPreview_Click();
            else if (id == kCmdOK && code == BN_CLICKED) cmdOK_Click();
            else if ((id == kTxtAlpha || id == kTxtSize0 || id == kTxtSize1) && code == EN_CHANGE && !repairing_) {
                const std::optional<std::wstring> repaired =
                    id == kTxtAlpha ? RepairAlphaText(Text(id)) : RepairSizeText(Text(id));
                if (repaired) {
                    repairing_ = true;
                    ::SetWindowTextW(Control(id), repaired->c_str());
                    repairing_ = false;
                }
            }
            return 0;
        }
        if (msg == WM_CTLCOLORSTATIC) {
            const HWND control = reinterpret_cast<HWND>(lParam);
            for (int i = 0; i < 2; ++i) {
                if (control != Control(i == 0 ? kLblColor0 : kLblColor1) || !swatchBrush_[i]) continue;
                const HDC dc = reinterpret_cast<HDC>(wParam);
                ::SetBkColor(dc, swatch_[i]);
                ::SetTextColor(dc, 0xFFFFFF - swatch_[i]);
                return reinterpret_cast<LRESULT>(swatchBrush_[i].get());
            }
        }
    } catch (...) {
        return 0;  // a failing handler leaves the page as it was
    }
    return WindowBase::HandleMessage(msg, wParam, lParam);
}

ComPtr<IDispatch> PropertyPage::Form() {
    if (form_) return form_;
    if (!Load()) return nullptr;
    const std::weak_ptr<HWND> weak = handle_;
    const auto window = [weak]() -> HWND {
        const std::shared_ptr<HWND> h = weak.lock();
        return h && ::IsWindow(*h) ? *h : nullptr;
    };
    form_ = plugins::MakePageForm(window);
    return form_;
}

bool PropertyPage::Embed(HWND parent, int x, int y) {
    if (!Load()) return false;
    ::SetParent(Hwnd(), parent);
    ::SetWindowPos(Hwnd(), nullptr, x, y, kPageWidth, kPageHeight, SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    return true;
}

void PropertyPage::Close() noexcept {
    form_.reset();
    handle_.reset();
    if (!Hwnd()) return;
    ::DestroyWindow(Hwnd());
    // The live values return to what is saved.
    try {
        if (reload_) reload_();
    } catch (...) {
    }
}

void UnregisterPageClass() noexcept { ::UnregisterClassW(kPageClass, WindowBase::Module()); }

}  // namespace parlix::notice
