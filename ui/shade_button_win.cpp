#include "ui/shade_button_win.h"

#include <commctrl.h>

namespace parlix {

namespace {

constexpr wchar_t kClassName[] = L"Parlix.ShadeButton";
constexpr UINT_PTR kTimerPaint = 1;
constexpr int kSkinWidth = 6;
constexpr int kSkinHeight = 32;

struct SkinColours {
    COLORREF outer;  // row and column 0
    COLORREF inner;  // row and column 1 (the glow faces copy it inwards)
    COLORREF top;    // centre gradient
    COLORREF bottom;
};

// The five source skins: normal, hot, pressed, and the two glow faces of the default button.
constexpr SkinColours kSkins[5] = {
    {RGB(112, 138, 176), RGB(252, 253, 255), RGB(250, 252, 255), RGB(214, 225, 242)},
    {RGB(60, 127, 177), RGB(235, 246, 255), RGB(240, 248, 255), RGB(184, 216, 248)},
    {RGB(44, 98, 139), RGB(170, 196, 224), RGB(190, 212, 238), RGB(226, 236, 250)},
    {RGB(52, 100, 180), RGB(120, 170, 232), RGB(250, 252, 255), RGB(214, 225, 242)},
    {RGB(52, 100, 180), RGB(170, 210, 250), RGB(244, 250, 255), RGB(200, 222, 248)},
};

COLORREF Mix(COLORREF a, COLORREF b, int num, int den) {
    auto ch = [&](int shift) { return ((a >> shift & 0xFF) * (den - num) + (b >> shift & 0xFF) * num) / den; };
    return RGB(ch(0), ch(8), ch(16));
}

// A 6 × 32 skin as a bitmap compatible with dc.
ScopedBitmap MakeSkin(HDC dc, const SkinColours& s) {
    ScopedBitmap bmp(::CreateCompatibleBitmap(dc, kSkinWidth, kSkinHeight));
    ScopedMemoryDc mem(::CreateCompatibleDC(dc));
    if (!bmp || !mem) return {};
    ScopedSelect sel(mem.get(), bmp.get());
    for (int y = 0; y < kSkinHeight; ++y) {
        const COLORREF fill = Mix(s.top, s.bottom, y, kSkinHeight - 1);
        for (int x = 0; x < kSkinWidth; ++x) {
            const bool outer = x == 0 || y == 0 || x == kSkinWidth - 1 || y == kSkinHeight - 1;
            const bool inner = x == 1 || y == 1 || x == kSkinWidth - 2 || y == kSkinHeight - 2;
            COLORREF c = outer ? s.outer : inner ? s.inner : fill;
            // Softened corners.
            const bool cornerX = x == 0 || x == kSkinWidth - 1;
            const bool cornerY = y == 0 || y == kSkinHeight - 1;
            if (cornerX && cornerY) c = Mix(s.outer, ::GetSysColor(COLOR_BTNFACE), 2, 3);
            ::SetPixel(mem.get(), x, y, c);
        }
    }
    return bmp;
}

COLORREF ToGdi(std::int32_t colour) {
    const auto value = static_cast<std::uint32_t>(colour);
    return (value & 0x80000000u) ? ::GetSysColor(static_cast<int>(value & 0xFF)) : static_cast<COLORREF>(value);
}

ScopedBitmap CopyOf(HDC like, HBITMAP source, int w, int h) {
    ScopedBitmap copy(::CreateCompatibleBitmap(like, w, h));
    ScopedMemoryDc from(::CreateCompatibleDC(like));
    ScopedMemoryDc to(::CreateCompatibleDC(like));
    if (!copy || !from || !to || !source) return copy;
    ScopedSelect s1(from.get(), source);
    ScopedSelect s2(to.get(), copy.get());
    ::BitBlt(to.get(), 0, 0, w, h, from.get(), 0, 0, SRCCOPY);
    return copy;
}

}  // namespace

ShadeButton::~ShadeButton() {
    // The window goes first, while this object still answers its messages; then the faces.
    if (Hwnd()) ::DestroyWindow(Hwnd());
    for (std::size_t i = 0; i < faceDc_.size(); ++i)
        if (faceDc_[i] && faceOld_[i]) ::SelectObject(faceDc_[i].get(), faceOld_[i]);
}

bool ShadeButton::Create(HWND parent, int id, std::wstring_view name, int x, int y, int width, int height) {
    RegisterClassOnce(kClassName, nullptr, nullptr);
    caption_ = ShadeDefaultCaption(name);
    width_ = width;
    height_ = height;
    if (!WindowBase::Create(kClassName, caption_.c_str(), WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, x, y, width,
                            height, parent))
        return false;
    ::SetWindowLongPtrW(Hwnd(), GWLP_ID, id);
    ScopedWindowDc dc(Hwnd());
    for (auto& face : faceDc_) face.reset(::CreateCompatibleDC(dc.get()));
    captionColour_ = colours_.fore;
    fade_.Rest(default_);
    BuildFaces();
    ::SetTimer(Hwnd(), kTimerPaint, kShadeTickMs, nullptr);
    return true;
}

void ShadeButton::Caption(std::wstring_view caption) {
    caption_ = caption;
    if (Hwnd()) {
        ::SetWindowTextW(Hwnd(), caption_.c_str());
        BuildFaces();
    }
}

void ShadeButton::Enabled(bool enabled) {
    enabled_ = enabled;
    fade_.Rest(default_);
    captionColour_ = enabled ? colours_.fore : kShadeGreyText;
    if (!Hwnd()) return;
    if (static_cast<bool>(::IsWindowEnabled(Hwnd())) != enabled) ::EnableWindow(Hwnd(), enabled);
    BuildFaces();
}

void ShadeButton::ForeColor(std::int32_t colour) {
    colours_.fore = colour;
    if (enabled_) captionColour_ = colour;
    if (Hwnd()) BuildFaces();
}

void ShadeButton::Default(bool isDefault) {
    if (default_ == isDefault) return;
    default_ = isDefault;
    if (fade_.State() == kShadeIdle || fade_.State() >= kShadeGlowA) fade_.Rest(default_);
}

void ShadeButton::Font(HFONT font) {
    font_ = font;
    if (Hwnd()) BuildFaces();
}

void ShadeButton::BuildFaces() {
    RECT rc{};
    ::GetClientRect(Hwnd(), &rc);
    const int w = rc.right;
    const int h = rc.bottom;
    width_ = w;
    height_ = h;
    if (w < 6 || h < 6) return;
    ScopedWindowDc dc(Hwnd());
    ScopedMemoryDc src(::CreateCompatibleDC(dc.get()));
    for (int i = 0; i < 5; ++i) {
        ScopedBitmap skin = MakeSkin(dc.get(), kSkins[i]);
        ScopedBitmap face(::CreateCompatibleBitmap(dc.get(), w, h));
        HDC f = faceDc_[static_cast<std::size_t>(i)].get();
        if (!skin || !face || !f) continue;
        // The bitmap made for the previous size goes when the new one replaces it.
        const HGDIOBJ old = ::SelectObject(f, face.get());
        if (!faceOld_[static_cast<std::size_t>(i)]) faceOld_[static_cast<std::size_t>(i)] = old;
        faceBmp_[static_cast<std::size_t>(i)] = std::move(face);
        ScopedSelect s(src.get(), skin.get());
        HDC d = src.get();
        ::SetStretchBltMode(f, COLORONCOLOR);
        ::StretchBlt(f, 2, 2, w - 4, h - 4, d, 2, 2, 2, 28, SRCCOPY);
        ::BitBlt(f, 0, 0, 2, 2, d, 0, 0, SRCCOPY);
        ::BitBlt(f, w - 2, 0, 2, 2, d, 4, 0, SRCCOPY);
        ::BitBlt(f, 0, h - 2, 2, 2, d, 0, 30, SRCCOPY);
        ::BitBlt(f, w - 2, h - 2, 2, 2, d, 4, 30, SRCCOPY);
        ::StretchBlt(f, 2, 0, w - 4, 2, d, 2, 0, 2, 2, SRCCOPY);
        ::StretchBlt(f, 2, h - 2, w - 4, 2, d, 2, 30, 2, 2, SRCCOPY);
        ::StretchBlt(f, 0, 2, 2, h - 4, d, 0, 2, 2, 28, SRCCOPY);
        ::StretchBlt(f, w - 2, 2, 2, h - 4, d, 4, 2, 2, 28, SRCCOPY);
        if (i >= 3) {
            // The default button's faces have a thicker border, copied inwards.
            ::BitBlt(f, 2, 2, w - 4, 1, f, 2, 1, SRCCOPY);
            ::BitBlt(f, 2, h - 3, w - 4, 1, f, 2, h - 2, SRCCOPY);
            ::BitBlt(f, 2, 2, 1, h - 4, f, 1, 2, SRCCOPY);
            ::BitBlt(f, w - 3, 2, 1, h - 4, f, w - 2, 2, SRCCOPY);
            if (i == 4) {
                ::BitBlt(f, 2, 3, w - 4, 1, f, 2, 1, SRCCOPY);
                ::BitBlt(f, 2, h - 4, w - 4, 1, f, 2, h - 2, SRCCOPY);
                ::BitBlt(f, 3, 2, 1, h - 4, f, 1, 2, SRCCOPY);
                ::BitBlt(f, w - 4, 2, 1, h - 4, f, w - 2, 2, SRCCOPY);
            }
        }
    }
    // Face 0 with the caption is what shows and what the next fade starts from.
    image_.reset(::CreateCompatibleBitmap(dc.get(), w, h));
    {
        ScopedMemoryDc mem(::CreateCompatibleDC(dc.get()));
        ScopedSelect s(mem.get(), image_.get());
        ::BitBlt(mem.get(), 0, 0, w, h, faceDc_[0].get(), 0, 0, SRCCOPY);
        DrawCaption(mem.get());
    }
    KeepImage();
    ::InvalidateRect(Hwnd(), nullptr, FALSE);
}

void ShadeButton::KeepImage() {
    ScopedWindowDc dc(Hwnd());
    background_ = CopyOf(dc.get(), image_.get(), width_, height_);
}

void ShadeButton::DrawCaption(HDC dc) const {
    ScopedSelect f(dc, font_ ? static_cast<HGDIOBJ>(font_) : ::GetStockObject(DEFAULT_GUI_FONT));
    TEXTMETRICW tm{};
    ::GetTextMetricsW(dc, &tm);
    const int labelHeight = tm.tmHeight;
    RECT r{0, (height_ - labelHeight) / 2, width_, 0};
    r.bottom = r.top + labelHeight;
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ToGdi(enabled_ ? captionColour_ : kShadeGreyText));
    ::DrawTextW(dc, caption_.c_str(), static_cast<int>(caption_.size()), &r, DT_CENTER | DT_SINGLELINE);
}

void ShadeButton::Tick() {
    const ShadeFrame frame = fade_.Tick(speed_, enabled_, colours_);
    if (!frame.draw) return;
    captionColour_ = frame.captionColour;
    ScopedWindowDc dc(Hwnd());
    ScopedMemoryDc img(::CreateCompatibleDC(dc.get()));
    ScopedMemoryDc bg(::CreateCompatibleDC(dc.get()));
    if (!image_ || !background_) return;
    {
        ScopedSelect s1(img.get(), image_.get());
        ScopedSelect s2(bg.get(), background_.get());
        ::BitBlt(img.get(), 0, 0, width_, height_, bg.get(), 0, 0, SRCCOPY);
        const BLENDFUNCTION blend{AC_SRC_OVER, 0, static_cast<BYTE>(frame.alpha), 0};
        ::AlphaBlend(img.get(), 0, 0, width_, height_, faceDc_[static_cast<std::size_t>(frame.face)].get(), 0, 0,
                     width_, height_, blend);
        DrawCaption(img.get());
    }
    if (frame.keep) KeepImage();
    ::InvalidateRect(Hwnd(), nullptr, FALSE);
}

bool ShadeButton::Inside(int x, int y) const noexcept { return x >= 0 && x <= width_ && y >= 0 && y <= height_; }

void ShadeButton::Click() {
    const HWND parent = ::GetParent(Hwnd());
    if (parent)
        ::SendMessageW(parent, WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(Hwnd()), BN_CLICKED),
                       reinterpret_cast<LPARAM>(Hwnd()));
}

void ShadeButton::OnMouseMove(LPARAM lParam, WPARAM keys) {
    const POINT p{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    if (p.x == lastMouse_.x && p.y == lastMouse_.y) return;
    lastMouse_ = p;
    if (Inside(p.x, p.y)) {
        ::SetCapture(Hwnd());
        fade_.MovedInside((keys & MK_LBUTTON) != 0);
    } else {
        if ((keys & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) == 0) ::ReleaseCapture();
        fade_.MovedOutside(default_);
    }
    KeepImage();
}

LRESULT ShadeButton::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        const HDC dc = ::BeginPaint(Hwnd(), &ps);
        if (image_) {
            ScopedMemoryDc mem(::CreateCompatibleDC(dc));
            ScopedSelect s(mem.get(), image_.get());
            ::BitBlt(dc, 0, 0, width_, height_, mem.get(), 0, 0, SRCCOPY);
        }
        ::EndPaint(Hwnd(), &ps);
        return 0;
    }
    case WM_ERASEBKGND: return 1;
    case WM_TIMER:
        if (wParam == kTimerPaint) Tick();
        return 0;
    case WM_SIZE:
        BuildFaces();
        return 0;
    case WM_SETFONT:
        Font(reinterpret_cast<HFONT>(wParam));
        return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(font_);
    case WM_ENABLE:
        if (static_cast<bool>(wParam) != enabled_) Enabled(wParam != 0);
        return 0;
    case WM_LBUTTONDOWN:
        ::SetFocus(Hwnd());
        ::SetCapture(Hwnd());
        fade_.Pressed();
        KeepImage();
        return 0;
    case WM_MOUSEMOVE: OnMouseMove(lParam, wParam); return 0;
    case WM_LBUTTONUP: {
        const int x = static_cast<short>(LOWORD(lParam));
        const int y = static_cast<short>(HIWORD(lParam));
        const bool wasPressed = fade_.State() == kShadePressed || ::GetCapture() == Hwnd();
        inside_ = Inside(x, y);
        ::ReleaseCapture();
        fade_.Released(inside_);
        KeepImage();
        if (inside_ && wasPressed) Click();
        return 0;
    }
    case WM_GETDLGCODE:
        return DLGC_BUTTON | (default_ ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
    case WM_KEYDOWN:
        if (wParam == VK_SPACE) {
            fade_.Pressed();
            KeepImage();
        }
        return 0;
    case WM_KEYUP:
        if (wParam == VK_SPACE) {
            POINT p{};
            ::GetCursorPos(&p);
            ::ScreenToClient(Hwnd(), &p);
            OnMouseMove(MAKELPARAM(p.x, p.y), 0);
            Click();
        }
        return 0;
    case BM_CLICK: Click(); return 0;
    case BM_SETSTYLE: Default((wParam & 0xF) == BS_DEFPUSHBUTTON); return 0;
    case WM_SETTEXT: {
        const LRESULT r = ::DefWindowProcW(Hwnd(), msg, wParam, lParam);
        caption_ = lParam ? reinterpret_cast<const wchar_t*>(lParam) : L"";
        BuildFaces();
        return r;
    }
    case WM_DESTROY: ::KillTimer(Hwnd(), kTimerPaint); break;
    default: break;
    }
    return WindowBase::HandleMessage(msg, wParam, lParam);
}

}  // namespace parlix
