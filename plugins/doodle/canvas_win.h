// picPaint, the board's canvas: a child window that keeps its drawing in a persistent image (a
// memory bitmap it repaints from), works in twips as the drawing target of the shapes and the
// pencil, and reports the mouse in twips. Besides the image it may hold a committed picture: a
// copy of the image taken on request, painted back after a send.
#pragma once

#include "base/scoped_win.h"
#include "base/window_base_win.h"
#include "plugins/doodle/drawing.h"

#include <windows.h>

namespace parlix::doodle {

inline constexpr wchar_t kCanvasClass[] = L"Skribel.picPaint";

class CanvasEvents {
public:
    // button: the one that went down or up (MouseButton); buttons: all held (MouseButton bits).
    virtual void CanvasMouseDown(unsigned button, Point twips) = 0;
    virtual void CanvasMouseMove(unsigned buttons, Point twips) = 0;
    virtual void CanvasMouseUp(unsigned button, Point twips) = 0;
    virtual void CanvasKey(UINT key) = 0;

protected:
    ~CanvasEvents() = default;
};

class Canvas final : public WindowBase, public Drawing {
public:
    Canvas() = default;
    ~Canvas() override;

    bool Create(HWND parent, CanvasEvents& events, int x, int y, int width, int height);

    // Drawing, in twips.
    [[nodiscard]] int DrawMode() const override { return drawMode_; }
    void DrawMode(int mode) override;
    [[nodiscard]] BgrColor ForeColor() const override { return foreColor_; }
    void ForeColor(BgrColor colour) override { foreColor_ = colour; }
    [[nodiscard]] BgrColor BackColor() const override { return backColor_; }
    bool Line(Point a, Point b, Outline kind, BgrColor colour) override;
    bool Circle(Point centre, double radius, BgrColor colour) override;
    bool Cls() override;

    // Like a picture box's back colour: setting it clears the image to it.
    void BackColor(BgrColor colour);
    // The pen width of every primitive, in pixels.
    void DrawWidth(int pixels) noexcept { drawWidth_ = pixels; }
    [[nodiscard]] int DrawWidth() const noexcept { return drawWidth_; }
    // The pointer shown over the canvas.
    void Pointer(LPCWSTR cursor) noexcept { cursor_ = cursor; }

    // Shows the image now.
    void Refresh();
    // The committed picture := a copy of the image.
    void Commit();
    void RemovePicture() noexcept { picture_.reset(); }
    [[nodiscard]] bool HasPicture() const noexcept { return picture_.valid(); }
    // Paints the committed picture over the image at (0, 0); nothing without one.
    bool PaintPictureBack();
    // Paints a bitmap into the image at (x, y) pixels, in its own size.
    bool PaintBitmap(HBITMAP bitmap, int x, int y);
    // A device-compatible copy of the visible part of the image (for the clipboard), owned by the
    // caller.
    [[nodiscard]] ScopedBitmap CopyImage() const;
    // The image's pixel at (x, y) of the canvas's client area (CLR_INVALID outside it).
    [[nodiscard]] COLORREF ImagePixel(int x, int y) const;

private:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    LRESULT Handle(UINT msg, WPARAM wParam, LPARAM lParam);
    void OnPaint();
    void OnMouse(UINT msg, WPARAM wParam, LPARAM lParam);
    // The image grows (never shrinks) to cover the client area; its content stays.
    bool EnsureImage(int width, int height);
    void Fill(BgrColor colour);
    void Invalidate() { ::InvalidateRect(Hwnd(), nullptr, FALSE); }

    CanvasEvents* events_ = nullptr;
    ScopedMemoryDc imageDc_;
    ScopedBitmap image_;
    HGDIOBJ originalBitmap_ = nullptr;
    SIZE imageSize_{};
    ScopedBitmap picture_;
    int drawMode_ = 13;
    int drawWidth_ = 1;
    BgrColor foreColor_ = 0;
    BgrColor backColor_ = 0xFFFFFF;
    LPCWSTR cursor_ = IDC_ARROW;
    unsigned buttonsDown_ = 0;
};

// A colour of ours as GDI takes it (system colour indexes resolved).
[[nodiscard]] COLORREF GdiColour(BgrColor colour) noexcept;

}  // namespace parlix::doodle
