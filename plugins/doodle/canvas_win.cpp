#include "plugins/doodle/canvas_win.h"

#include "plugins/doodle/board_pen.h"
#include "plugins/doodle/board_rules.h"

#include <windowsx.h>

#include <algorithm>
#include <cmath>

namespace parlix::doodle {

namespace {

POINT ToPixels(Point p) { return {TwipsToPixels(p.x), TwipsToPixels(p.y)}; }

unsigned ButtonsOf(WPARAM keys) {
    return ((keys & MK_LBUTTON) ? kLeftButton : 0u) | ((keys & MK_RBUTTON) ? kRightButton : 0u) |
           ((keys & MK_MBUTTON) ? kMiddleButton : 0u);
}

// The bitmap's size, or 0 × 0.
SIZE BitmapSize(HBITMAP bitmap) {
    BITMAP info{};
    if (!bitmap || !::GetObjectW(bitmap, sizeof info, &info)) return {};
    return {info.bmWidth, info.bmHeight};
}

}  // namespace

COLORREF GdiColour(BgrColor colour) noexcept {
    if (colour & 0x80000000u) return ::GetSysColor(static_cast<int>(colour & 0xFFu));
    return static_cast<COLORREF>(colour & 0xFFFFFFu);
}

Canvas::~Canvas() {
    // The image goes back out of its context before either is deleted.
    if (imageDc_ && originalBitmap_) ::SelectObject(imageDc_.get(), originalBitmap_);
}

bool Canvas::Create(HWND parent, CanvasEvents& events, int x, int y, int width, int height) {
    events_ = &events;
    RegisterClassOnce(kCanvasClass, nullptr, nullptr);
    if (!WindowBase::Create(kCanvasClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, x, y, width, height,
                            parent))
        return false;
    return EnsureImage(std::max(width, 1), std::max(height, 1));
}

bool Canvas::EnsureImage(int width, int height) {
    if (imageDc_ && width <= imageSize_.cx && height <= imageSize_.cy) return true;
    const int w = std::max<int>(width, imageSize_.cx), h = std::max<int>(height, imageSize_.cy);
    const ScopedWindowDc screen(nullptr);
    ScopedBitmap grown(::CreateCompatibleBitmap(screen.get(), w, h));
    ScopedMemoryDc work(::CreateCompatibleDC(screen.get()));
    if (!grown || !work) return false;
    {
        const ScopedSelect into(work.get(), grown.get());
        const RECT all{0, 0, w, h};
        const ScopedBrush back(::CreateSolidBrush(GdiColour(backColor_)));
        ::FillRect(work.get(), &all, back.get());
        if (imageDc_) ::BitBlt(work.get(), 0, 0, imageSize_.cx, imageSize_.cy, imageDc_.get(), 0, 0, SRCCOPY);
    }
    if (!imageDc_) {
        imageDc_.reset(::CreateCompatibleDC(screen.get()));
        if (!imageDc_) return false;
        originalBitmap_ = ::SelectObject(imageDc_.get(), grown.get());
    } else {
        ::SelectObject(imageDc_.get(), grown.get());
    }
    image_ = std::move(grown);  // the old image, now out of the context, is deleted
    imageSize_ = {w, h};
    return true;
}

void Canvas::DrawMode(int mode) { drawMode_ = mode; }

bool Canvas::Line(Point a, Point b, Outline kind, BgrColor colour) {
    if (!imageDc_) return false;
    const ScopedPen pen(::CreatePen(PS_SOLID, drawWidth_, GdiColour(colour)));
    if (!pen) return false;
    const ScopedSelect usePen(imageDc_.get(), pen.get());
    const int oldRop = ::SetROP2(imageDc_.get(), drawMode_);
    const POINT p = ToPixels(a), q = ToPixels(b);
    BOOL done = FALSE;
    if (kind == Outline::Segment) {
        done = ::MoveToEx(imageDc_.get(), p.x, p.y, nullptr) && ::LineTo(imageDc_.get(), q.x, q.y);
    } else {
        const POINT box[] = {p, {q.x, p.y}, q, {p.x, q.y}, p};
        done = ::Polyline(imageDc_.get(), box, 5);
    }
    ::SetROP2(imageDc_.get(), oldRop);
    Invalidate();
    return done != FALSE;
}

bool Canvas::Circle(Point centre, double radius, BgrColor colour) {
    if (!imageDc_ || !(radius >= 0)) return false;
    const ScopedPen pen(::CreatePen(PS_SOLID, drawWidth_, GdiColour(colour)));
    if (!pen) return false;
    const ScopedSelect usePen(imageDc_.get(), pen.get());
    const ScopedSelect hollow(imageDc_.get(), ::GetStockObject(NULL_BRUSH));
    const int oldRop = ::SetROP2(imageDc_.get(), drawMode_);
    const POINT c = ToPixels(centre);
    const int r = TwipsToPixels(std::llround(radius));
    const BOOL done = ::Ellipse(imageDc_.get(), c.x - r, c.y - r, c.x + r + 1, c.y + r + 1);
    ::SetROP2(imageDc_.get(), oldRop);
    Invalidate();
    return done != FALSE;
}

void Canvas::Fill(BgrColor colour) {
    if (!imageDc_) return;
    const RECT all{0, 0, imageSize_.cx, imageSize_.cy};
    const ScopedBrush brush(::CreateSolidBrush(GdiColour(colour)));
    ::FillRect(imageDc_.get(), &all, brush.get());
    Invalidate();
}

bool Canvas::Cls() {
    if (!imageDc_) return false;
    Fill(backColor_);
    return true;
}

void Canvas::BackColor(BgrColor colour) {
    backColor_ = colour;
    Fill(colour);
}

void Canvas::Refresh() {
    if (Hwnd()) ::RedrawWindow(Hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void Canvas::Commit() {
    if (!imageDc_) return;
    const ScopedWindowDc screen(nullptr);
    ScopedBitmap copy(::CreateCompatibleBitmap(screen.get(), imageSize_.cx, imageSize_.cy));
    ScopedMemoryDc work(::CreateCompatibleDC(screen.get()));
    if (!copy || !work) return;
    {
        const ScopedSelect into(work.get(), copy.get());
        ::BitBlt(work.get(), 0, 0, imageSize_.cx, imageSize_.cy, imageDc_.get(), 0, 0, SRCCOPY);
    }
    picture_ = std::move(copy);
}

bool Canvas::PaintPictureBack() { return picture_ && PaintBitmap(picture_.get(), 0, 0); }

bool Canvas::PaintBitmap(HBITMAP bitmap, int x, int y) {
    const SIZE size = BitmapSize(bitmap);
    if (!imageDc_ || size.cx <= 0 || size.cy <= 0) return false;
    ScopedMemoryDc work(::CreateCompatibleDC(imageDc_.get()));
    if (!work) return false;
    const ScopedSelect from(work.get(), bitmap);
    const BOOL done = ::BitBlt(imageDc_.get(), x, y, size.cx, size.cy, work.get(), 0, 0, SRCCOPY);
    Invalidate();
    return done != FALSE;
}

ScopedBitmap Canvas::CopyImage() const {
    RECT client{};
    ::GetClientRect(Hwnd(), &client);
    const int w = std::min<int>(client.right, imageSize_.cx), h = std::min<int>(client.bottom, imageSize_.cy);
    if (!imageDc_ || w <= 0 || h <= 0) return {};
    const ScopedWindowDc screen(nullptr);
    ScopedBitmap copy(::CreateCompatibleBitmap(screen.get(), w, h));
    ScopedMemoryDc work(::CreateCompatibleDC(screen.get()));
    if (!copy || !work) return {};
    const ScopedSelect into(work.get(), copy.get());
    if (!::BitBlt(work.get(), 0, 0, w, h, imageDc_.get(), 0, 0, SRCCOPY)) return {};
    return copy;
}

COLORREF Canvas::ImagePixel(int x, int y) const {
    RECT client{};
    ::GetClientRect(Hwnd(), &client);
    if (!imageDc_ || x < 0 || y < 0 || x >= client.right || y >= client.bottom) return CLR_INVALID;
    return ::GetPixel(imageDc_.get(), x, y);
}

void Canvas::OnPaint() {
    PAINTSTRUCT ps;
    const HDC dc = ::BeginPaint(Hwnd(), &ps);
    if (imageDc_)
        ::BitBlt(dc, ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right - ps.rcPaint.left,
                 ps.rcPaint.bottom - ps.rcPaint.top, imageDc_.get(), ps.rcPaint.left, ps.rcPaint.top, SRCCOPY);
    ::EndPaint(Hwnd(), &ps);
}

void Canvas::OnMouse(UINT msg, WPARAM wParam, LPARAM lParam) {
    const Point at{PixelsToTwips(GET_X_LPARAM(lParam)), PixelsToTwips(GET_Y_LPARAM(lParam))};
    switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: {
        const unsigned button = msg == WM_LBUTTONDOWN ? kLeftButton : msg == WM_RBUTTONDOWN ? kRightButton : kMiddleButton;
        // The canvas keeps the mouse while a button is held, as a picture box does.
        if (!buttonsDown_) ::SetCapture(Hwnd());
        buttonsDown_ |= button;
        ::SetFocus(Hwnd());
        events_->CanvasMouseDown(button, at);
        break;
    }
    case WM_MOUSEMOVE: events_->CanvasMouseMove(ButtonsOf(wParam), at); break;
    default: {
        const unsigned button = msg == WM_LBUTTONUP ? kLeftButton : msg == WM_RBUTTONUP ? kRightButton : kMiddleButton;
        buttonsDown_ &= ~button;
        if (!buttonsDown_ && ::GetCapture() == Hwnd()) ::ReleaseCapture();
        events_->CanvasMouseUp(button, at);
        break;
    }
    }
}

LRESULT Canvas::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    try {
        return Handle(msg, wParam, lParam);
    } catch (...) {
        // Nothing may leave a window procedure: the mouse step or key is dropped.
        return 0;
    }
}

LRESULT Canvas::Handle(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_PAINT: OnPaint(); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_SIZE: EnsureImage(LOWORD(lParam), HIWORD(lParam)); return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
    case WM_MOUSEMOVE:
        if (events_) OnMouse(msg, wParam, lParam);
        return 0;
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(lParam) != Hwnd()) buttonsDown_ = 0;
        return 0;
    case WM_KEYDOWN:
        if (events_) events_->CanvasKey(static_cast<UINT>(wParam));
        return 0;
    case WM_SETCURSOR:
        if (LOWORD(lParam) == HTCLIENT) {
            ::SetCursor(::LoadCursorW(nullptr, cursor_));
            return TRUE;
        }
        break;
    default: break;
    }
    return WindowBase::HandleMessage(msg, wParam, lParam);
}

}  // namespace parlix::doodle
