#include "plugins/doodle/board_win.h"

#include "base/dpi.h"
#include "base/dpi_win.h"
#include "base/message_pump_win.h"
#include "plugins/doodle/drawing_file.h"
#include "plugins/doodle/toggle_button_win.h"

#include <commdlg.h>

#include <fstream>
#include <iterator>
#include <system_error>

namespace parlix::doodle {

namespace {

constexpr wchar_t kPanelClass[] = L"Skribel.Panel";
constexpr UINT kMsgRemoveFrame = WM_APP + 1;
constexpr DWORD kShiftHoldMs = 100;
constexpr UINT kClientWaitMs = 2000;

// Design sizes, twips → pixels at 96 dpi (scaled for the board's dpi): client 5640 × 1725,
// toolbox 495 wide, command bar 345 high.
constexpr int kClientWidth = 376, kClientHeight = 115;
constexpr int kToolboxWidth = 33, kBottomHeight = 23;
constexpr int kToolTops[] = {0, 20, 42, 64};  // 0, 300, 630, 960
constexpr int kToolWidth = 33, kToolHeight = 19;  // 495 × 285
constexpr const wchar_t* kToolCaptions[] = {L"铅笔", L"直线", L"矩形", L"圆形"};
constexpr int kButtonWidth = 44, kButtonHeight = 21;
constexpr int kSwatchWidth = 55, kSwatchHeight = 13;  // 825 × 195
constexpr int kWidthListHeight = 120;  // the pen-width box with its list dropped down

// The command bar's controls, left to right: id, left, width, height (the swatches' height,
// the buttons' else); each is centred in the bar.
struct BarPlace {
    int id, left, width, height;
};
constexpr BarPlace kBarPlaces[] = {
    {Board::kSendId, 0, kButtonWidth, kButtonHeight},
    {Board::kClearId, 46, kButtonWidth, kButtonHeight},
    {Board::kWidthLabelId, 96, 32, kButtonHeight},
    {Board::kWidthId, 130, 39, kButtonHeight},
    {Board::kPenSwatchId, 174, kSwatchWidth, kSwatchHeight},
    {Board::kBoardSwatchId, 232, kSwatchWidth, kSwatchHeight},
    {Board::kPasteId, 288, kButtonWidth, kButtonHeight},
};
constexpr BgrColor kInitialPenSwatchText = 0xFFFF00;

constexpr wchar_t kOpenFailed[] = L"无法打开涂鸦文件：";
constexpr wchar_t kNothingLost[] = L"\n已画的内容没有改变。";
constexpr wchar_t kSaveFailed[] = L"无法保存涂鸦文件：";
constexpr wchar_t kFileFilter[] = L"涂鸦图形 (*.skb)\0*.skb\0所有文件 (*.*)\0*.*\0";

// picToolbox and picBottom: plain containers whose controls report to the board.
LRESULT CALLBACK PanelProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_COMMAND:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: return ::SendMessageW(::GetParent(hwnd), msg, wParam, lParam);
    default: return ::DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

HWND Panel(HWND parent, int x, int y, int w, int h) {
    const HINSTANCE module = WindowBase::Module();
    WNDCLASSEXW existing{sizeof existing};
    if (!::GetClassInfoExW(module, kPanelClass, &existing)) {
        WNDCLASSEXW wc{sizeof wc};
        wc.lpfnWndProc = PanelProc;
        wc.hInstance = module;
        wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = kPanelClass;
        ::RegisterClassExW(&wc);
    }
    return ::CreateWindowExW(0, kPanelClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, x, y, w, h, parent,
                             nullptr, module, nullptr);
}

// Made without a place: PlaceControls places and sizes every control for the board's dpi.
HWND MakeControl(HWND parent, const wchar_t* cls, const wchar_t* text, DWORD style, int id) {
    return ::CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), WindowBase::Module(), nullptr);
}

RECT RectIn(HWND window, HWND parent) {
    RECT r{};
    ::GetWindowRect(window, &r);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// Sets Shift down or up in this thread's key state; true when it changed it.
bool HoldShift(bool down) {
    BYTE keys[256] = {};
    if (!::GetKeyboardState(keys)) return false;
    const bool isDown = (keys[VK_SHIFT] & 0x80) != 0;
    if (isDown == down) return false;
    for (const int key : {VK_SHIFT, VK_LSHIFT}) keys[key] = static_cast<BYTE>(down ? keys[key] | 0x80 : keys[key] & ~0x80);
    return ::SetKeyboardState(keys) != FALSE;
}

void DefaultMessage(HWND owner, const std::wstring& text, const std::wstring& title, UINT type) {
    ::MessageBoxW(owner, text.c_str(), title.c_str(), type);
}

}  // namespace

std::optional<COLORREF> ShowColourChooser(HWND owner, COLORREF initial) {
    static COLORREF custom[16]{};  // the dialog's custom colours last as long as the plugin
    CHOOSECOLORW cc{};
    cc.lStructSize = sizeof cc;
    cc.hwndOwner = owner;
    cc.rgbResult = initial;
    cc.lpCustColors = custom;
    cc.Flags = CC_RGBINIT | CC_FULLOPEN | CC_ANYCOLOR;
    if (!::ChooseColorW(&cc)) return std::nullopt;
    return cc.rgbResult;
}

Board::Board(BoardHost& host, ColourChooser chooseColour, BoardMessage message)
    : host_(host), chooseColour_(std::move(chooseColour)), message_(message ? std::move(message) : DefaultMessage),
      imgPic_(nullptr, kMsgRemoveFrame) {}

Board::~Board() {
    if (Hwnd()) ::KillTimer(Hwnd(), kDockTimer);
}

bool Board::Load() {
    RegisterClassOnce(kBoardClass, nullptr, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_CLIPCHILDREN;
    const DWORD exStyle = WS_EX_TOOLWINDOW;
    if (!Create(kBoardClass, kBoardCaption, style, exStyle, 0, 0, 0, 0)) return false;
    // Sized once its monitor's dpi is known; WM_DPICHANGED follows any move to another one.
    dpi_ = WindowDpi(Hwnd());
    const RECT r = AdjustedWindowRect(RECT{0, 0, Scale(kClientWidth), Scale(kClientHeight)}, style & ~WS_SYSMENU,
                                      exStyle, dpi_);
    ::SetWindowPos(Hwnd(), nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    imgPic_ = PictureFrames(Hwnd(), kMsgRemoveFrame);
    if (!CreateControls()) return false;

    // Pen width 1, red pen on white.
    ::SendMessageW(Control(kWidthId), CB_SETCURSEL, 0, 0);
    cboWidth_Click(0);
    pen_.PenColor(kInitialPenColor);
    pen_.BoardColor(kInitialBoardColor);
    picPaint_.ForeColor(kInitialPenColor);
    // Above other windows, without taking the activation.
    ::SetWindowPos(Hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE);
    // No system menu and no close box.
    ::SetWindowLongW(Hwnd(), GWL_STYLE, ::GetWindowLongW(Hwnd(), GWL_STYLE) & ~WS_SYSMENU);
    ::SetWindowPos(Hwnd(), nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    OnSize();
    return ::SetTimer(Hwnd(), kDockTimer, kDockIntervalMs, nullptr) != 0;
}

bool Board::CreateControls() {
    const HWND self = Hwnd();
    if (!picPaint_.Create(self, *this, 0, 0, 0, 0)) return false;
    toolbox_ = Panel(self, 0, 0, 0, 0);
    bottom_ = Panel(self, 0, 0, 0, 0);
    if (!toolbox_ || !bottom_) return false;
    for (int i = 0; i < 4; ++i) {
        // Tools look like push buttons; one group, the pencil chosen.
        const DWORD style = BS_AUTORADIOBUTTON | BS_PUSHLIKE | (i == 0 ? WS_GROUP : 0);
        if (!MakeControl(toolbox_, L"Button", kToolCaptions[i], style, kToolboxId + i)) return false;
    }
    ::SendMessageW(Control(kToolboxId), BM_SETCHECK, BST_CHECKED, 0);

    const HWND controls[] = {
        MakeControl(bottom_, L"Button", L"发送", BS_PUSHBUTTON, kSendId),
        MakeControl(bottom_, L"Button", L"清空", BS_PUSHBUTTON, kClearId),
        MakeControl(bottom_, L"Static", L"线宽:", SS_RIGHT | SS_CENTERIMAGE, kWidthLabelId),
        MakeControl(bottom_, L"ComboBox", L"", CBS_DROPDOWNLIST | WS_VSCROLL, kWidthId),
        MakeControl(bottom_, L"Static", L"画笔色", SS_CENTER | SS_NOTIFY, kPenSwatchId),
        MakeControl(bottom_, L"Static", L"背景色", SS_CENTER | SS_NOTIFY, kBoardSwatchId),
        MakeControl(bottom_, L"Button", L"粘贴", BS_PUSHBUTTON, kPasteId),
    };
    for (HWND c : controls)
        if (!c) return false;
    for (const wchar_t* entry : {L"1", L"2", L"3", L"4", L"5"})
        ::SendMessageW(Control(kWidthId), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry));
    PlaceControls();
    return true;
}

int Board::Scale(int pixelsAt96) const noexcept { return ScaleForDpi(pixelsAt96, dpi_); }

void Board::PlaceControls() {
    // The system's dialog font, grown with the board's dpi (the stock font is made for the system's).
    LOGFONTW lf{};
    ScopedFont next;
    if (::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf)) {
        lf.lfHeight = ScaleRounded(lf.lfHeight, dpi_, SystemDpi());
        next.reset(::CreateFontIndirectW(&lf));
    }
    const auto font = reinterpret_cast<WPARAM>(next ? next.get() : ::GetStockObject(DEFAULT_GUI_FONT));
    const auto place = [&](HWND c, int x, int y, int w, int h) {
        ::SendMessageW(c, WM_SETFONT, font, FALSE);
        ::SetWindowPos(c, nullptr, Scale(x), Scale(y), Scale(w), Scale(h), SWP_NOZORDER | SWP_NOACTIVATE);
        ::InvalidateRect(c, nullptr, TRUE);
    };
    for (int i = 0; i < 4; ++i) place(Control(kToolboxId + i), 0, kToolTops[i], kToolWidth, kToolHeight);
    for (const BarPlace& p : kBarPlaces) {
        const int y = (kBottomHeight - p.height) / 2;
        place(Control(p.id), p.left, y, p.width, p.id == kWidthId ? kWidthListHeight : p.height);
    }
    // The controls hold the new font now: the old one may go.
    font_ = std::move(next);
}

void Board::DpiChanged(int dpi, const RECT* suggested) {
    dpi = SaneDpi(dpi);
    if (dpi == dpi_) return;
    dpi_ = dpi;
    PlaceControls();
    if (suggested)
        ::SetWindowPos(Hwnd(), nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                       suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
    // The panels' sizes depend on the dpi also when the window's size did not change.
    OnSize();
}

void Board::Visible(bool visible) {
    // Shown without taking the activation from the main window and its chat.
    ::ShowWindow(Hwnd(), visible ? SW_SHOWNA : SW_HIDE);
}

// ---- Commands ------------------------------------------------------------------------------

void Board::optTools_Click(int index) {
    if (index < 0 || index > 3) return;
    pen_.CurTool(static_cast<Tool>(index));
    for (int i = 0; i < 4; ++i)
        ::SendMessageW(Control(kToolboxId + i), BM_SETCHECK, i == index ? BST_CHECKED : BST_UNCHECKED, 0);
    if (index == 0) picPaint_.Pointer(IDC_ARROW);
    else if (index == 1 || index == 2) picPaint_.Pointer(IDC_CROSS);
}

void Board::cboWidth_Click(int entry) { picPaint_.DrawWidth(PenWidthForEntry(entry)); }

void Board::lblColor_Click(int index) {
    if (index != 0 && index != 1) return;
    const size_t i = static_cast<size_t>(index);
    if (const std::optional<COLORREF> chosen = chooseColour_(Hwnd(), GdiColour(swatch_[i])))
        swatch_[i] = *chosen & 0xFFFFFFu;
    pen_.PenColor(swatch_[0]);
    pen_.BoardColor(swatch_[1]);
    picPaint_.ForeColor(pen_.PenColor());
    // A new background starts a new picture, also when the choice was cancelled.
    if (index == 1) {
        cmdClear_Click();
        picPaint_.BackColor(pen_.BoardColor());
    }
    picPaint_.Commit();
    ::InvalidateRect(Control(index == 0 ? kPenSwatchId : kBoardSwatchId), nullptr, TRUE);
}

void Board::cmdClear_Click() {
    picPaint_.Cls();
    picPaint_.Refresh();
    picPaint_.RemovePicture();
    imgPic_.Clear();
}

void Board::cmdPaste_Click() {
    ScopedBitmap picture;
    if (::IsClipboardFormatAvailable(CF_BITMAP) && ::OpenClipboard(Hwnd())) {
        // The clipboard keeps its bitmap: the frame gets a copy of its own.
        if (const auto held = static_cast<HBITMAP>(::GetClipboardData(CF_BITMAP)))
            picture.reset(static_cast<HBITMAP>(::CopyImage(held, IMAGE_BITMAP, 0, 0, 0)));
        ::CloseClipboard();
    }
    if (!picture) {
        Show(kNoPictureText, MB_OK | MB_ICONINFORMATION);
        return;
    }
    imgPic_.Add(picPaint_.Hwnd(), std::move(picture));
}

void Board::cmdSend_Click() {
    // The wait below lets messages run: a second click meanwhile waits for this send.
    if (sending_) return;
    sending_ = true;
    picPaint_.Commit();
    // The frames go into the image as the user sees them stacked.
    for (const PictureFrame* frame : imgPic_.BottomToTop()) {
        const RECT at = RectIn(frame->Hwnd(), picPaint_.Hwnd());
        picPaint_.PaintBitmap(frame->Picture(), at.left, at.top);
    }
    if (::OpenClipboard(Hwnd())) {
        ::EmptyClipboard();
        ScopedBitmap copy = picPaint_.CopyImage();
        // The clipboard owns the bitmap once it took it.
        if (copy && ::SetClipboardData(CF_BITMAP, copy.get())) copy.release();
        ::CloseClipboard();
    }
    // The canvas shows the drawing without the merged frames again; the frames stay movable.
    picPaint_.PaintPictureBack();
    picPaint_.Refresh();

    // Shift+Insert into the chat's input box: Shift is held as a real key while the box gets
    // Insert, so the client sees Shift down when it handles the key.
    ::keybd_event(VK_SHIFT, 0, 0, 0);
    PumpMessagesFor(0);
    // The key may not have reached this thread yet, or a focus change just handled may have
    // reset the modifiers: the input state shared with the chat's thread says Shift is down.
    const bool pressedHere = HoldShift(true);
    const HWND say = host_.SayHwnd();
    if (say) {
        ::PostMessageW(say, WM_KEYDOWN, VK_INSERT, 0);
        ::PostMessageW(say, WM_KEYUP, VK_INSERT, 0);
    }
    PumpMessagesFor(kShiftHoldMs);
    // A busy client may not have taken the keys yet: Shift stays down until its thread has come
    // back for messages twice (after the key down and after the key up), each wait bounded.
    if (say)
        for (int i = 0; i < 2; ++i) {
            DWORD_PTR ignored = 0;
            if (!::SendMessageTimeoutW(say, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kClientWaitMs, &ignored)) break;
        }
    ::keybd_event(VK_SHIFT, 0, KEYEVENTF_KEYUP, 0);
    if (pressedHere) HoldShift(false);
    sending_ = false;
}

void Board::tmrMove_Timer() {
    const MainFacts main = host_.ReadMain();
    if (!DockingActive(main)) return;
    if (button_) {
        // The button lives in the main window and is drawn at that window's dpi.
        button_->SetDpi(WindowDpi(::GetParent(button_->chkShow())));
        if (const std::optional<Point> place = ToggleButtonPlace(main, button_->Top(), button_->Width()))
            button_->MoveTo(*place);
    }
    if (const std::optional<Point> at = DockBoard(main, dock_)) {
        ::SetWindowPos(Hwnd(), nullptr, TwipsToPixels(at->x), TwipsToPixels(at->y), 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        dock_.lastLeft = at->x;
        dock_.lastTop = at->y;
    }
}

// ---- Saving and opening ----------------------------------------------------------------------

std::wstring Board::SaveDrawing(const std::filesystem::path& file) const {
    const std::string text = WriteDrawing(shapes_);
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    if (!out || !out.write(text.data(), static_cast<std::streamsize>(text.size())) || !out.flush())
        return L"写入失败。";
    return {};
}

std::wstring Board::OpenDrawing(const std::filesystem::path& file) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(file, error);
    if (error) return L"文件不存在或无法读取。";
    if (size > kMaxDrawingBytes) return L"文件大于 4 MB，不是涂鸦板保存的图形。";
    std::ifstream in(file, std::ios::binary);
    std::string text(static_cast<size_t>(size), '\0');
    if (!in || !in.read(text.data(), static_cast<std::streamsize>(size))) return L"文件无法读取。";
    DrawingRead read = ReadDrawing(text);
    if (!read.ok()) return read.error;
    // Drawn over the picture as it is (pencil strokes are not shapes and stay).
    for (auto& shape : read.shapes) {
        shape->Draw(picPaint_);
        shapes_.Add(std::move(shape));
    }
    picPaint_.Refresh();
    return {};
}

// The drawing file's path from the common dialog: saving asks before overwriting and adds the
// extension, opening wants an existing file. Empty when the user cancels.
std::wstring Board::AskForPath(bool save) const {
    wchar_t path[MAX_PATH] = L"";
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = Hwnd();
    ofn.lpstrFilter = kFileFilter;
    ofn.lpstrFile = path;
    ofn.nMaxFile = MAX_PATH;
    ofn.Flags = OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | (save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
    if (save) ofn.lpstrDefExt = L"skb";
    const BOOL chosen = save ? ::GetSaveFileNameW(&ofn) : ::GetOpenFileNameW(&ofn);
    return chosen ? std::wstring(path) : std::wstring();
}

void Board::SaveWithDialog() {
    const std::wstring path = AskForPath(true);
    if (path.empty()) return;
    if (const std::wstring failed = SaveDrawing(path); !failed.empty())
        Show(kSaveFailed + failed, MB_OK | MB_ICONWARNING);
}

void Board::OpenWithDialog() {
    const std::wstring path = AskForPath(false);
    if (path.empty()) return;
    if (const std::wstring failed = OpenDrawing(path); !failed.empty())
        Show(kOpenFailed + failed + kNothingLost, MB_OK | MB_ICONWARNING);
}

void Board::Show(const std::wstring& text, UINT type) { message_(Hwnd(), text, kErrorTitle, type); }

// ---- Messages --------------------------------------------------------------------------------

void Board::CanvasMouseDown(unsigned button, Point twips) { pen_.MouseDown(picPaint_, button, twips.x, twips.y); }

void Board::CanvasMouseMove(unsigned buttons, Point twips) {
    if (pen_.MouseMove(picPaint_, buttons, twips.x, twips.y)) picPaint_.Refresh();
}

void Board::CanvasMouseUp(unsigned, Point) { pen_.MouseUp(picPaint_); }

void Board::CanvasKey(UINT key) {
    if (::GetKeyState(VK_CONTROL) >= 0) return;
    if (key == 'S') SaveWithDialog();
    else if (key == 'O') OpenWithDialog();
}

void Board::OnCommand(WPARAM wParam, LPARAM) {
    const int id = LOWORD(wParam), code = HIWORD(wParam);
    if (id >= kToolboxId && id < kToolboxId + 4 && code == BN_CLICKED) optTools_Click(id - kToolboxId);
    else if (id == kWidthId && code == CBN_SELCHANGE)
        cboWidth_Click(static_cast<int>(::SendMessageW(Control(kWidthId), CB_GETCURSEL, 0, 0)));
    else if ((id == kPenSwatchId || id == kBoardSwatchId) && code == STN_CLICKED)
        lblColor_Click(id == kPenSwatchId ? 0 : 1);
    else if (code == BN_CLICKED && id == kSendId) cmdSend_Click();
    else if (code == BN_CLICKED && id == kClearId) cmdClear_Click();
    else if (code == BN_CLICKED && id == kPasteId) cmdPaste_Click();
}

LRESULT Board::OnColourStatic(HDC dc, HWND label) {
    const int id = ::GetDlgCtrlID(label);
    if (id != kPenSwatchId && id != kBoardSwatchId) return 0;
    const size_t i = id == kPenSwatchId ? 0 : 1;
    const BgrColor back = swatch_[i];
    // The pen swatch starts with its own text colour; after a choice, the inverse of the back.
    const BgrColor text = i == 0 && back == kInitialPenColor ? kInitialPenSwatchText : InverseColour(back);
    swatchBrush_[i].reset(::CreateSolidBrush(GdiColour(back)));
    ::SetBkColor(dc, GdiColour(back));
    ::SetTextColor(dc, GdiColour(text));
    return reinterpret_cast<LRESULT>(swatchBrush_[i].get());
}

void Board::OnSize() {
    RECT c{};
    ::GetClientRect(Hwnd(), &c);
    const std::optional<BoardLayout> l = LayoutBoard(c.right, c.bottom, Scale(kToolboxWidth), Scale(kBottomHeight));
    if (!l) return;
    ::MoveWindow(bottom_, l->bottom.left, l->bottom.top, l->bottom.width, l->bottom.height, TRUE);
    ::MoveWindow(toolbox_, l->toolbox.left, l->toolbox.top, l->toolbox.width, l->toolbox.height, TRUE);
    ::MoveWindow(picPaint_.Hwnd(), l->canvas.left, l->canvas.top, l->canvas.width, l->canvas.height, TRUE);
}

LRESULT Board::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    try {
        switch (msg) {
        case WM_COMMAND: OnCommand(wParam, lParam); return 0;
        case WM_CTLCOLORSTATIC:
            if (const LRESULT brush = OnColourStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)))
                return brush;
            break;
        case WM_SIZE:
            if (bottom_) OnSize();
            return 0;
        case kWmDpiChanged:
            DpiChanged(LOWORD(wParam), reinterpret_cast<const RECT*>(lParam));
            return 0;
        case WM_TIMER:
            if (wParam != kDockTimer) break;
            tmrMove_Timer();
            return 0;
        case WM_CLOSE:
            // Whatever asks the board to close: the button is released and the board stays.
            if (button_) button_->Value(0);
            return 0;
        case kMsgRemoveFrame: imgPic_.Remove(static_cast<int>(wParam)); return 0;
        default: break;
        }
    } catch (...) {
        // Nothing may leave a window procedure: the step is skipped.
        return 0;
    }
    return WindowBase::HandleMessage(msg, wParam, lParam);
}

void UnregisterBoardClasses() noexcept {
    for (const wchar_t* name : {kBoardClass, kCanvasClass, kFrameClass, kPanelClass})
        ::UnregisterClassW(name, WindowBase::Module());
}

}  // namespace parlix::doodle
