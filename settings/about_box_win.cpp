#include "settings/about_box_win.h"

#include "base/dpi_win.h"
#include "base/product_info.h"
#include "settings/dialog_rules.h"

#include <shellapi.h>

namespace parlix {

namespace {

constexpr wchar_t kAboutClass[] = L"Parlix.frmAbout";
constexpr wchar_t kMsgBoxClass[] = L"Parlix.frmMsgBox";
constexpr wchar_t kMailAddress[] = L"mailto:feedback@parlix.net";
constexpr UINT kMsgPageFetched = WM_APP + 1;
constexpr int kIdOK = IDOK;
constexpr int kIdUpdate = 1001;
constexpr COLORREF kLinkHot = 16763046;      // &HFFC8A6
constexpr COLORREF kLinkNormal = 16756580;   // &HFFAF64
constexpr wchar_t kUpdateTitle[] = L"版本更新";
constexpr wchar_t kUpToDate[] = L"当前已经是最新版本。";
constexpr wchar_t kCheckCaption[] = L"检查更新";
constexpr wchar_t kCheckingCaption[] = L"正在检查";

std::wstring Description() {
    const std::wstring indent(10, L' ');
    return L"完整支持 QQ2008 Beta1/Beta2/祈福版/正式版/QQ2008II Beta1\r\n" + indent +
           L"QQ2009 Priview4/Beta1/Beta2/RC/正式版/SP1/SP2\r\n" + indent + L"TM2007/TM2005/TM2009 Beta1\r\n" +
           indent + L"飞信3.2/3.3/3.4/3.5\r\n" + indent + L"百度HI2.4 Beta\r\n\r\n部分支持 TM2008Beta1";
}

struct Scaler {
    int dpi;
    int operator()(int px) const { return ::MulDiv(px, dpi, 96); }
};

HWND Label(HWND parent, const std::wstring& text, int x, int y, int w, int h, HFONT font, DWORD extra = 0) {
    const HWND label = ::CreateWindowExW(0, L"STATIC", text.c_str(), WS_CHILD | WS_VISIBLE | extra, x, y, w, h, parent,
                                         nullptr, ::GetModuleHandleW(nullptr), nullptr);
    ::SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return label;
}

void OpenLink(HWND label, const wchar_t* address) {
    ::ShellExecuteW(label, L"open", address, L"0", L"", SW_HIDE);
}

}  // namespace

int ProgramRevision() {
    const HMODULE self = ::GetModuleHandleW(nullptr);
    const HRSRC res = ::FindResourceW(self, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(16));  // RT_VERSION
    if (!res) return 0;
    const HGLOBAL loaded = ::LoadResource(self, res);
    const auto* bytes = static_cast<const BYTE*>(::LockResource(loaded));
    const DWORD size = ::SizeofResource(self, res);
    if (!bytes) return 0;
    // The fixed part starts with its signature, on a 4-byte boundary.
    for (DWORD at = 0; at + sizeof(VS_FIXEDFILEINFO) <= size; at += 4) {
        const auto* info = reinterpret_cast<const VS_FIXEDFILEINFO*>(bytes + at);
        if (info->dwSignature == 0xFEEF04BD) return HIWORD(info->dwFileVersionLS);
    }
    return 0;
}

AboutBox::AboutBox(AboutOptions options)
    : options_(std::move(options)), urlColour_(kLinkNormal), mailColour_(kLinkNormal) {
    if (options_.updatePage.empty()) options_.updatePage = kUpdatePage;
}

AboutBox::~AboutBox() {
    if (Hwnd()) ::DestroyWindow(Hwnd());
}

bool AboutBox::Open() {
    RegisterClassOnce(kAboutClass, nullptr, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    const Scaler s{SystemDpi()};
    RECT frame = AdjustedWindowRect({0, 0, s(430), s(310)}, WS_CAPTION | WS_SYSMENU, WS_EX_TOPMOST, s.dpi);
    const int w = frame.right - frame.left;
    const int h = frame.bottom - frame.top;
    RECT work{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    if (!WindowBase::Create(kAboutClass, (L"关于 " + options_.programTitle).c_str(), WS_POPUP | WS_CAPTION | WS_SYSMENU,
                            WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, (work.left + work.right - w) / 2,
                            (work.top + work.bottom - h) / 2, w, h, nullptr))
        return false;
    const HWND self = Hwnd();
    if (options_.icon) {
        ::SendMessageW(self, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(options_.icon));
        ::SendMessageW(self, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(options_.icon));
    }
    font_ = PointFont(L"宋体", 9, FW_NORMAL, GB2312_CHARSET, s.dpi);
    titleFont_ = PointFont(L"宋体", 12, FW_BOLD, GB2312_CHARSET, s.dpi);
    picIcon_ = Label(self, L"", s(18), s(16), s(32), s(32), font_.get(), SS_ICON | SS_NOTIFY);
    if (options_.icon) ::SendMessageW(picIcon_, STM_SETICON, reinterpret_cast<WPARAM>(options_.icon), 0);
    Label(self, options_.programTitle, s(64), s(14), s(350), s(22), titleFont_.get());
    Label(self,
          L"版本 " + std::to_wstring(options_.major) + L"." + std::to_wstring(options_.minor) + L" bulid: " +
              std::to_wstring(options_.revision),
          s(64), s(38), s(350), s(18), font_.get());
    Label(self, Description(), s(18), s(66), s(400), s(120), font_.get());
    linkFont_ = PointFont(L"宋体", 9, FW_NORMAL, GB2312_CHARSET, s.dpi);
    LOGFONTW lf{};
    if (::GetObjectW(linkFont_.get(), sizeof lf, &lf)) {
        lf.lfUnderline = TRUE;
        linkFont_.reset(::CreateFontIndirectW(&lf));
    }
    lblURL_ = Label(self, kHomePage, s(18), s(196), s(400), s(18), linkFont_.get(), SS_NOTIFY);
    lblMail_ = Label(self, L"意见反馈：" + std::wstring(kMailAddress + 7), s(18), s(218), s(400), s(18),
                     linkFont_.get(), SS_NOTIFY);
    btnUpdate_.Create(self, kIdUpdate, L"btnUpdateShade", s(18), s(262), s(96), s(28));
    btnUpdate_.Font(font_.get());
    btnUpdate_.Caption(kCheckCaption);
    btnOK_.Create(self, kIdOK, L"btnOK", s(316), s(262), s(96), s(28));
    btnOK_.Font(font_.get());
    btnOK_.Caption(L"确定");
    btnOK_.Default(true);
    ::SetWindowPos(self, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ::ShowWindow(self, SW_SHOW);
    // The page is not fetched at opening: the check reads it fresh, and nothing would be shown.
    return true;
}

int AboutBox::Ask(const std::wstring& text, const std::wstring& title, UINT type) {
    if (options_.ask) return options_.ask(Hwnd(), text, title, type);
    return ::MessageBoxW(Hwnd(), text.c_str(), title.c_str(), type);
}

void AboutBox::CheckUpdate() {
    if (pending_) return;
    btnUpdate_.Enabled(false);
    btnUpdate_.Caption(kCheckingCaption);
    pending_ = true;
    try {
        fetcher_.Start(Hwnd(), kMsgPageFetched, options_.updatePage);
    } catch (...) {
        // No thread for the download: the same answer as an unreachable page.
        Answer({});
    }
}

void AboutBox::Answer(const FetchedPage& page) {
    pending_ = false;
    try {
        const std::wstring title = page.ok ? PageTitle(page.html) : std::wstring();
        const UpdateAnswer answer = JudgeUpdateTitle(title, options_.major, options_.minor);
        if (answer.verdict == UpdateVerdict::Newer) {
            const std::wstring address = PageBodyText(page.html);
            if (Ask(L"发现了新版本v" + answer.version + L"，是否查看？", kUpdateTitle,
                    MB_YESNO | MB_ICONINFORMATION) == IDYES &&
                IsWebAddress(address)) {
                if (options_.open) options_.open(options_.main, address);
                else ::ShellExecuteW(options_.main, L"open", address.c_str(), L"", L"", SW_HIDE);
            }
        } else if (answer.verdict == UpdateVerdict::Current) {
            Ask(kUpToDate, kUpdateTitle, MB_OK | MB_ICONINFORMATION);
        }
    } catch (...) {
        // An answer that cannot be handled ends the handling without a message.
    }
    if (Hwnd()) {
        btnUpdate_.Enabled(true);
        btnUpdate_.Caption(kCheckCaption);
    }
}

void AboutBox::Hover(HWND over) {
    COLORREF url = urlColour_;
    COLORREF mail = mailColour_;
    if (over == lblURL_) url = kLinkHot;
    else if (over == lblMail_) mail = kLinkHot;
    else if (over == picIcon_) url = mail = kLinkNormal;
    if (url != urlColour_) {
        urlColour_ = url;
        ::InvalidateRect(lblURL_, nullptr, TRUE);
    }
    if (mail != mailColour_) {
        mailColour_ = mail;
        ::InvalidateRect(lblMail_, nullptr, TRUE);
    }
}

LRESULT AboutBox::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_COMMAND:
        if (LOWORD(wParam) == kIdUpdate && HIWORD(wParam) == BN_CLICKED) CheckUpdate();
        else if (LOWORD(wParam) == kIdOK || LOWORD(wParam) == IDCANCEL) ::DestroyWindow(Hwnd());
        else if (HIWORD(wParam) == STN_CLICKED && reinterpret_cast<HWND>(lParam) == lblURL_) OpenLink(lblURL_, kHomePage);
        else if (HIWORD(wParam) == STN_CLICKED && reinterpret_cast<HWND>(lParam) == lblMail_)
            OpenLink(lblMail_, kMailAddress);
        return 0;
    case WM_SETCURSOR: {
        const HWND over = reinterpret_cast<HWND>(wParam);
        Hover(over);
        if (over == lblURL_ || over == lblMail_) {
            ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
            return TRUE;
        }
        break;
    }
    case WM_CTLCOLORSTATIC: {
        const HWND control = reinterpret_cast<HWND>(lParam);
        const HDC dc = reinterpret_cast<HDC>(wParam);
        ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
        if (control == lblURL_ || control == lblMail_) {
            // The link colours are light: drawn on the face as they are, they read as links.
            ::SetTextColor(dc, control == lblURL_ ? urlColour_ : mailColour_);
        }
        return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
    }
    case kMsgPageFetched:
        if (pending_) {
            if (auto page = fetcher_.Take(wParam)) Answer(*page);
        }
        return 0;
    case WM_CLOSE: ::DestroyWindow(Hwnd()); return 0;
    default: break;
    }
    return WindowBase::HandleMessage(msg, wParam, lParam);
}

void AboutBox::OnFinalDestroy() {
    // The owner may drop this box from the callback: run a copy.
    const auto closed = onClosed;
    if (closed) closed();
}

// ---- frmMsgBox -----------------------------------------------------------------------------

namespace {
std::unique_ptr<MsgBox>& TheMsgBox() {
    static std::unique_ptr<MsgBox> box;
    return box;
}
}  // namespace

MsgBox::~MsgBox() {
    if (Hwnd()) ::DestroyWindow(Hwnd());
}

HWND MsgBox::Current() { return TheMsgBox() ? TheMsgBox()->Hwnd() : nullptr; }

void MsgBox::Sh(const std::wstring& text) {
    auto& box = TheMsgBox();
    if (!box || !box->Hwnd()) {
        box = std::make_unique<MsgBox>();
        if (!box->Load()) {
            box.reset();
            return;
        }
    }
    ::SetWindowTextW(box->label1_, text.c_str());
}

bool MsgBox::Load() {
    RegisterClassOnce(kMsgBoxClass, nullptr, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    const Scaler s{SystemDpi()};
    RECT frame = AdjustedWindowRect({0, 0, s(320), s(130)}, WS_CAPTION | WS_SYSMENU, WS_EX_TOPMOST, s.dpi);
    RECT work{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int w = frame.right - frame.left;
    const int h = frame.bottom - frame.top;
    if (!WindowBase::Create(kMsgBoxClass, L"出错啦~~", WS_POPUP | WS_CAPTION | WS_SYSMENU,
                            WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, (work.left + work.right - w) / 2,
                            (work.top + work.bottom - h) / 2, w, h, nullptr))
        return false;
    font_ = PointFont(L"宋体", 9, FW_NORMAL, GB2312_CHARSET, s.dpi);
    label1_ = Label(Hwnd(), L"", s(14), s(14), s(292), s(66), font_.get());
    cmdOK_.Create(Hwnd(), IDOK, L"cmdOK", s(112), s(90), s(96), s(28));
    cmdOK_.Font(font_.get());
    cmdOK_.Caption(L"确定");
    cmdOK_.Default(true);
    ::SetWindowPos(Hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_SHOWWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return true;
}

LRESULT MsgBox::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) ::DestroyWindow(Hwnd());
        return 0;
    case WM_CLOSE: ::DestroyWindow(Hwnd()); return 0;
    default: break;
    }
    return WindowBase::HandleMessage(msg, wParam, lParam);
}

void MsgBox::OnFinalDestroy() {
    // The program-wide box is dropped once its window is gone (the object outlives this call:
    // it is released the next time a report needs a box).
}

}  // namespace parlix
