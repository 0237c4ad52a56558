#include "plugins/notice/notice_window_win.h"

#include <objidl.h>  // before GDI+: it uses PROPID
#include <gdiplus.h>

#include "base/dpi.h"
#include "base/dpi_win.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace parlix::notice {

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace {

constexpr UINT_PTR kShowMsgTimer = 1, kPaintTimer = 2, kMouseTimer = 3;
constexpr UINT kMaxSkinSide = 4096;  // pixels, before and after scaling: larger is no notice

int g_gdiplusStarts = 0;
std::weak_ptr<GdiplusSession> g_session;

// GDI+ objects of one kind, deleted by their own function.
template <typename T, void (*Delete)(T*)>
struct GdipHandle {
    T* p = nullptr;
    GdipHandle() = default;
    GdipHandle(const GdipHandle&) = delete;
    GdipHandle& operator=(const GdipHandle&) = delete;
    ~GdipHandle() { reset(); }
    void reset() noexcept {
        if (p) Delete(p);
        p = nullptr;
    }
};

void DeleteBitmap(GpBitmap* p) { GdipDisposeImage(p); }
void DeleteGraphics(GpGraphics* p) { GdipDeleteGraphics(p); }
void DeleteFamily(GpFontFamily* p) { GdipDeleteFontFamily(p); }
void DeleteFont(GpFont* p) { GdipDeleteFont(p); }
void DeleteFormat(GpStringFormat* p) { GdipDeleteStringFormat(p); }
void DeleteFill(GpSolidFill* p) { GdipDeleteBrush(p); }

}  // namespace

std::shared_ptr<GdiplusSession> GdiplusSession::Acquire() {
    if (auto running = g_session.lock()) return running;
    GdiplusStartupInput input;  // version 1, no other options
    ULONG_PTR token = 0;
    if (GdiplusStartup(&token, &input, nullptr) != Ok) return nullptr;
    ++g_gdiplusStarts;
    std::shared_ptr<GdiplusSession> session(new GdiplusSession(token));
    g_session = session;
    return session;
}

GdiplusSession::~GdiplusSession() { GdiplusShutdown(token_); }

int GdiplusSession::Starts() noexcept { return g_gdiplusStarts; }

// Declared in the order of creation: members are destroyed in reverse, so the graphics goes
// before the bitmap it draws into, the bitmap before the DIB memory it wraps, and the DIB
// before its DC.
struct NoticeWindow::Surface {
    SIZE size{0, 0};    // the card's pixels: the skin's size scaled for the dpi
    float scale = 1.f;  // skin pixels → card pixels
    ScopedMemoryDc drawingDc;
    ScopedBitmap drawingBitmap;
    HGDIOBJ previous = nullptr;  // what drawingDc held before the DIB
    std::uint32_t* bits = nullptr;
    std::vector<std::uint32_t> bare;  // the skin without text (premultiplied BGRA)
    GdipHandle<GpBitmap, &DeleteBitmap> bitmap;
    GdipHandle<GpGraphics, &DeleteGraphics> graphics;
    GdipHandle<GpFontFamily, &DeleteFamily> family;
    GdipHandle<GpFont, &DeleteFont> messageFont, titleFont;
    GdipHandle<GpStringFormat, &DeleteFormat> format;
    GdipHandle<GpSolidFill, &DeleteFill> messageBrush, titleBrush;
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 0, AC_SRC_ALPHA};

    ~Surface() {
        // The text tools and the graphics first, then the DIB goes back out of its DC.
        titleBrush.reset();
        messageBrush.reset();
        format.reset();
        titleFont.reset();
        messageFont.reset();
        family.reset();
        graphics.reset();
        bitmap.reset();
        if (drawingDc && previous) ::SelectObject(drawingDc.get(), previous);
    }
};

NoticeWindow::NoticeWindow(NoticeModel& model) noexcept : model_(model) {}

NoticeWindow::~NoticeWindow() { Unload(); }

SIZE NoticeWindow::SkinSize() const noexcept { return surface_ ? surface_->size : SIZE{0, 0}; }

bool NoticeWindow::Form_Load() {
    if (!Loaded()) {
        if (!gdiplus_) gdiplus_ = GdiplusSession::Acquire();
        if (!gdiplus_) {
            ::MessageBoxW(nullptr, L"没有找到GDI+库", nullptr, MB_OK | MB_ICONSTOP);
            return false;
        }
        if (!RegisterClassOnce(kNoticeClass, nullptr, nullptr)) return false;
        if (!Create(kNoticeClass, L"", WS_POPUP, WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, 0, 0, 0, 0)) return false;
        dpi_ = WindowDpi(Hwnd());
        repaints_ = 0;
        showOn_ = mouseOn_ = paintOn_ = false;
        model_.motion.paintEnabled = false;
        model_.motion.showEnabled = false;
        model_.motion.mouseEnabled = false;
        // A skin that cannot be read shows nothing at all: no window for this notice.
        if (!LoadSkin()) {
            Unload();
            return false;
        }
        CreateTextTools();
        // Where the window system would put a new window matters only for the centre position,
        // which does not move it: the screen's centre, its cell of the 3 × 3 grid.
        const long sw = ::GetSystemMetrics(SM_CXSCREEN) * kTwipsPerPixel;
        const long sh = ::GetSystemMetrics(SM_CYSCREEN) * kTwipsPerPixel;
        model_.motion.Left = (sw - surface_->size.cx * kTwipsPerPixel) / 2;
        model_.motion.Top = (sh - surface_->size.cy * kTwipsPerPixel) / 2;
        MoveToMotion();
    }
    model_.motion.Start();
    SyncTimers();
    return true;
}

bool NoticeWindow::LoadSkin() {
    auto s = std::make_unique<Surface>();
    const std::wstring file = model_.skinDir + model_.settings.msg_Skin + L".png";
    GpImage* image = nullptr;
    if (GdipLoadImageFromFile(file.c_str(), &image) != Ok || !image) return false;
    UINT w = 0, h = 0;
    GdipGetImageWidth(image, &w);
    GdipGetImageHeight(image, &h);
    // A skin larger than any screen is no notice.
    if (w == 0 || h == 0 || w > kMaxSkinSide || h > kMaxSkinSide) {
        GdipDisposeImage(image);
        return false;
    }
    // Scaled for the dpi, as far as the card stays within the bound.
    s->scale = std::min(static_cast<float>(dpi_) / kBaseDpi, static_cast<float>(kMaxSkinSide) / static_cast<float>(std::max(w, h)));
    s->size = SIZE{std::max(1L, std::lround(static_cast<float>(w) * s->scale)),
                   std::max(1L, std::lround(static_cast<float>(h) * s->scale))};
    w = static_cast<UINT>(s->size.cx);
    h = static_cast<UINT>(s->size.cy);

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = s->size.cx;
    info.bmiHeader.biHeight = -s->size.cy;  // top-down: rows in the order GDI+ writes them
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    info.bmiHeader.biSizeImage = 4 * w * h;
    {
        ScopedWindowDc windowDc(Hwnd());
        s->drawingDc.reset(::CreateCompatibleDC(windowDc.get()));
    }
    void* bits = nullptr;
    if (s->drawingDc)
        s->drawingBitmap.reset(::CreateDIBSection(s->drawingDc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!s->drawingBitmap || !bits) {
        GdipDisposeImage(image);
        return false;
    }
    s->previous = ::SelectObject(s->drawingDc.get(), s->drawingBitmap.get());
    s->bits = static_cast<std::uint32_t*>(bits);
    // GDI+ draws straight into the DIB's memory, premultiplied as UpdateLayeredWindow takes it.
    GdipCreateBitmapFromScan0(s->size.cx, s->size.cy, 4 * s->size.cx, PixelFormat32bppPARGB,
                              static_cast<BYTE*>(bits), &s->bitmap.p);
    // Points become pixels at 96 per inch on the card; the dpi is in its scale.
    if (s->bitmap.p) GdipBitmapSetResolution(s->bitmap.p, static_cast<REAL>(kBaseDpi), static_cast<REAL>(kBaseDpi));
    if (s->bitmap.p) GdipGetImageGraphicsContext(s->bitmap.p, &s->graphics.p);
    if (!s->graphics.p) {
        GdipDisposeImage(image);
        return false;
    }
    GdipSetCompositingMode(s->graphics.p, CompositingModeSourceCopy);
    if (s->scale != 1.f) GdipSetInterpolationMode(s->graphics.p, InterpolationModeHighQualityBicubic);
    GdipDrawImageRectI(s->graphics.p, image, 0, 0, s->size.cx, s->size.cy);
    GdipDisposeImage(image);
    GdipSetCompositingMode(s->graphics.p, CompositingModeSourceOver);
    GdipFlush(s->graphics.p, FlushIntentionSync);
    s->bare.assign(s->bits, s->bits + static_cast<std::size_t>(w) * h);

    const HWND hwnd = Hwnd();
    LONG ex = ::GetWindowLongW(hwnd, GWL_EXSTYLE) | WS_EX_LAYERED;
    if (model_.settings.msg_Trans == 1) ex |= WS_EX_TRANSPARENT;
    ::SetWindowLongW(hwnd, GWL_EXSTYLE, ex);
    ::SetWindowPos(hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE);
    s->blend = BLENDFUNCTION{AC_SRC_OVER, 0, model_.motion.Alpha, AC_SRC_ALPHA};
    surface_ = std::move(s);
    return true;
}

void NoticeWindow::CreateTextTools() {
    Surface& s = *surface_;
    GdipCreateStringFormat(0, 0, &s.format.p);
    if (s.format.p) {
        GdipSetStringFormatLineAlign(s.format.p, StringAlignmentNear);
        GdipSetStringFormatAlign(s.format.p, StringAlignmentNear);
        GdipSetStringFormatFlags(s.format.p, StringFormatFlagsLineLimit);
        GdipSetStringFormatTrimming(s.format.p, StringTrimmingEllipsisCharacter);
    }
    // "宋体" where the system has it; a system without it gets another CJK face, then any.
    for (const wchar_t* face : {L"宋体", L"SimSun", L"WenQuanYi Micro Hei", L"Microsoft YaHei"})
        if (!s.family.p) GdipCreateFontFamilyFromName(face, nullptr, &s.family.p);
    if (!s.family.p) GdipGetGenericFontFamilySansSerif(&s.family.p);
    if (s.family.p) {
        GdipCreateFont(s.family.p, static_cast<REAL>(model_.settings.msg_TitleSize) * s.scale, FontStyleRegular,
                       UnitPoint, &s.titleFont.p);
        GdipCreateFont(s.family.p, static_cast<REAL>(model_.settings.msg_MessageSize) * s.scale, FontStyleRegular,
                       UnitPoint, &s.messageFont.p);
    }
    GdipCreateSolidFill(model_.settings.msg_MessageColor, &s.messageBrush.p);
    GdipCreateSolidFill(model_.settings.msg_TitleColor, &s.titleBrush.p);
    // Smoothed glyphs blend into the translucent card; sub-pixel colour fringes would not.
    if (s.graphics.p) GdipSetTextRenderingHint(s.graphics.p, TextRenderingHintAntiAliasGridFit);
}

void NoticeWindow::DrawTextBox(float left, float top, float width, float height, const std::wstring& text,
                               bool title) {
    Surface& s = *surface_;
    if (!s.graphics.p || text.empty()) return;
    // A line break is drawn as LF alone: some GDI+ implementations break at the LF of a CR LF but
    // draw the CR as a missing-glyph box.
    std::wstring lines;
    lines.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n')) lines += text[i];
    // The boxes are the skin's: on the card they are scaled with it.
    const RectF layout(left * s.scale, top * s.scale, width * s.scale, height * s.scale);
    GdipDrawString(s.graphics.p, lines.c_str(), static_cast<INT>(lines.size()),
                   title ? s.titleFont.p : s.messageFont.p, &layout, s.format.p,
                   title ? s.titleBrush.p : s.messageBrush.p);
}

void NoticeWindow::tmrPaint_Timer() {
    if (!Loaded() || !surface_) return;
    NoticeMotion& m = model_.motion;
    m.FadeStep(model_.settings.msg_Alpha, model_.settings.msg_Direction);
    Repaint();
    SyncTimers();
}

void NoticeWindow::Repaint() {
    Surface& s = *surface_;
    s.blend.SourceConstantAlpha = model_.motion.Alpha;
    std::memcpy(s.bits, s.bare.data(), s.bare.size() * sizeof(std::uint32_t));
    const SkinLayout& l = model_.layout;
    DrawTextBox(static_cast<float>(l.title_left), static_cast<float>(l.title_top), static_cast<float>(l.title_width),
                static_cast<float>(l.title_height), model_.NoticeTitle, true);
    DrawTextBox(static_cast<float>(l.message_left), static_cast<float>(l.message_top),
                static_cast<float>(l.message_width), static_cast<float>(l.message_height), model_.NoticeText, false);
    if (s.graphics.p) GdipFlush(s.graphics.p, FlushIntentionSync);
    POINT source{0, 0};
    ScopedWindowDc screen(nullptr);
    ::UpdateLayeredWindow(Hwnd(), screen.get(), nullptr, &s.size, s.drawingDc.get(), &source, 0, &s.blend, ULW_ALPHA);
    ++repaints_;
}

void NoticeWindow::DpiChanged(int dpi) {
    dpi = SaneDpi(dpi);
    if (!Loaded() || !surface_ || dpi == dpi_) return;
    const SIZE was = surface_->size;
    dpi_ = dpi;
    // The skin was read at the start of this cycle; reading it again for the new size fails only
    // when it went away meanwhile, and then the notice ends as one without a skin would.
    if (!LoadSkin()) {
        Unload();
        return;
    }
    CreateTextTools();
    PlaceInput in;
    in.position = model_.settings.msg_Position;
    in.screenWidth = ::GetSystemMetrics(SM_CXSCREEN) * kTwipsPerPixel;
    in.screenHeight = ::GetSystemMetrics(SM_CYSCREEN) * kTwipsPerPixel;
    in.width = surface_->size.cx * kTwipsPerPixel;
    in.height = surface_->size.cy * kTwipsPerPixel;
    model_.motion.Resize(in, was.cx * kTwipsPerPixel, was.cy * kTwipsPerPixel);
    MoveToMotion();
    Repaint();
}

void NoticeWindow::PlaceNotice() {
    if (!Loaded() || !surface_) return;
    PlaceInput in;
    in.visible = ::IsWindowVisible(Hwnd()) != FALSE;
    in.position = model_.settings.msg_Position;
    in.direction = model_.settings.msg_Direction;
    in.screenWidth = ::GetSystemMetrics(SM_CXSCREEN) * kTwipsPerPixel;
    in.screenHeight = ::GetSystemMetrics(SM_CYSCREEN) * kTwipsPerPixel;
    in.width = surface_->size.cx * kTwipsPerPixel;
    in.height = surface_->size.cy * kTwipsPerPixel;
    model_.motion.Place(in);
    MoveToMotion();
}

void NoticeWindow::Show() {
    if (Loaded()) ::ShowWindow(Hwnd(), SW_SHOWNOACTIVATE);
}

void NoticeWindow::Unload() noexcept {
    surface_.reset();
    if (Loaded()) {
        const HWND w = Hwnd();
        ::KillTimer(w, kShowMsgTimer);
        ::KillTimer(w, kPaintTimer);
        ::KillTimer(w, kMouseTimer);
        ::DestroyWindow(w);
    }
    showOn_ = mouseOn_ = paintOn_ = false;
    model_.motion.showEnabled = model_.motion.mouseEnabled = model_.motion.paintEnabled = false;
}

void NoticeWindow::MoveToMotion() {
    ::SetWindowPos(Hwnd(), nullptr, TwipsToPixel(model_.motion.Left), TwipsToPixel(model_.motion.Top), 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void NoticeWindow::tmrShowMsg_Timer() {
    if (model_.motion.SlideTick() == NoticeMotion::TickResult::Close) {
        Unload();
        return;
    }
    MoveToMotion();
    tmrPaint_Timer();
}

void NoticeWindow::tmrMouse_Timer() {
    POINT p{};
    if (!::GetCursorPos(&p) || !surface_) return;
    model_.motion.CursorTest(p.x, p.y, surface_->size.cx, surface_->size.cy);
    SyncTimers();
}

void NoticeWindow::Form_Click() {
    const HWND main = model_.mainWindow ? model_.mainWindow() : nullptr;
    // The main window is in this process and on this thread: a plain send.
    if (main && ::IsWindow(main)) ::SendMessageW(main, kTrayCallbackMessage, 0, kBalloonUserClick);
}

void NoticeWindow::SyncTimers() {
    const HWND w = Hwnd();
    if (!w) return;
    const NoticeMotion& m = model_.motion;
    if (m.showEnabled) {
        if (!showOn_ || showInterval_ != m.showInterval || showRestarts_ != m.showRestarts)
            ::SetTimer(w, kShowMsgTimer, m.showInterval, nullptr);
    } else if (showOn_) {
        ::KillTimer(w, kShowMsgTimer);
    }
    showOn_ = m.showEnabled;
    showInterval_ = m.showInterval;
    showRestarts_ = m.showRestarts;
    if (m.mouseEnabled != mouseOn_) {
        if (m.mouseEnabled) ::SetTimer(w, kMouseTimer, kMouseIntervalMs, nullptr);
        else ::KillTimer(w, kMouseTimer);
        mouseOn_ = m.mouseEnabled;
    }
    if (m.paintEnabled && !paintOn_) {
        ::SetTimer(w, kPaintTimer, kPaintIntervalMs, nullptr);
        paintOn_ = true;
    }
}

bool NoticeWindow::OpaqueAt(POINT client) const noexcept {
    if (!surface_ || client.x < 0 || client.y < 0 || client.x >= surface_->size.cx || client.y >= surface_->size.cy)
        return false;
    return (surface_->bare[static_cast<std::size_t>(client.y) * surface_->size.cx + client.x] >> 24) != 0;
}

LRESULT NoticeWindow::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    try {
        switch (msg) {
        case WM_TIMER:
            if (wParam == kShowMsgTimer) tmrShowMsg_Timer();
            else if (wParam == kPaintTimer) tmrPaint_Timer();
            else if (wParam == kMouseTimer) tmrMouse_Timer();
            return 0;
        case WM_NCHITTEST: {
            // Clicks land only on the skin's visible pixels; elsewhere they fall through.
            POINT p{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
            ::ScreenToClient(Hwnd(), &p);
            return OpaqueAt(p) ? HTCLIENT : HTTRANSPARENT;
        }
        case WM_MOUSEACTIVATE:
            return MA_NOACTIVATE;
        case kWmDpiChanged:
            DpiChanged(LOWORD(wParam));
            return 0;
        case WM_LBUTTONUP:
            Form_Click();
            return 0;
        default:
            break;
        }
    } catch (...) {
        // A failing step of a timer or the click is skipped.
        return 0;
    }
    return WindowBase::HandleMessage(msg, wParam, lParam);
}

void UnregisterNoticeClasses() noexcept { ::UnregisterClassW(kNoticeClass, WindowBase::Module()); }

}  // namespace parlix::notice
