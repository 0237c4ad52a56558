#include "ui/tab_paint.h"

#include "base/dpi.h"

#include <algorithm>
#include <cmath>

namespace parlix::paint {

namespace {

constexpr Colour kEdge = 0xB4A791;
constexpr Colour kWhite = 0xFFFFFF;

void Add(Lines& out, int x1, int y1, int x2, int y2, Colour c) { out.push_back({x1, y1, x2, y2, c}); }
void Pixel(Lines& out, int x, int y, Colour c) { out.push_back({x, y, x + 1, y, c}); }

// Rows first..last (both included), each a line at y + 1 from x1 to x2, shaded by distance
// from the strip side: base at the side, 25 levels darker across `span` rows.
template <typename Distance>
void Gradient(Lines& out, int first, int last, int x1, int x2, int span, Colour base, Distance distance) {
    for (int y = first; y <= last; ++y) Add(out, x1, y + 1, x2, y + 1, ShadeColor(base, GradientStep(distance(y), span)));
}

}  // namespace

Colour ShadeColor(Colour c, int d) noexcept {
    int r = (c & 0xFF) + d;
    int g = ((c >> 8) & 0xFF) + d;
    int b = (c >> 16) & 0xFF;
    b = b + (b * d) / 192;
    const auto clamp = [d](int v) { return d > 0 ? std::min(v, 255) : d < 0 ? std::max(v, 0) : v; };
    r = clamp(r);
    g = clamp(g);
    b = clamp(b);
    return (b << 16) | (g << 8) | r;
}

int RoundHalfEven(double v) noexcept { return static_cast<int>(std::nearbyint(v)); }

int RoundHalfEven(long long num, long long den) noexcept {
    if (den <= 0) return 0;
    // Floor division, then the remainder decides: above half up, at half to the even one.
    long long q = num / den, r = num % den;
    if (r < 0) {
        --q;
        r += den;
    }
    if (2 * r > den || (2 * r == den && (q % 2) != 0)) ++q;
    return static_cast<int>(q);
}

int GradientStep(int distance, int span) noexcept {
    return span > 0 ? RoundHalfEven(-25LL * distance, span) : 0;
}

Colour TabColour(bool selected, bool highlighted, bool customColour, Colour tabColour, const Palette& p) noexcept {
    if (highlighted) return p.hot;
    if (selected) return p.selected;
    return customColour ? tabColour : p.normal;
}

Lines FillTab(Skin skin, bool selected, bool bottom, const Rect& r, Colour colour) {
    Lines out;
    const Colour base = ShadeColor(colour, 48);
    const int L = r.left, T = r.top, R = r.right, B = r.bottom;
    if (skin == Skin::QQ) {
        const int rows = B - T + 3;
        if (!bottom) Gradient(out, T - 2, B, L, R + 1, rows, base, [T](int y) { return y - T; });
        else Gradient(out, T - 3, B - 1, L, R + 1, rows, base, [B](int y) { return B - y; });
        return out;
    }
    const int x1 = selected ? L - 1 : L + 1, x2 = selected ? R + 2 : R;
    if (!bottom) Gradient(out, T - 1, B - 1, x1, x2, B - T, base, [T](int y) { return y - T; });
    else Gradient(out, T - 2, B - 1, x1, x2, B - T + 1, base, [B](int y) { return B - 1 - y; });
    return out;
}

Lines FillBackground(bool bottom, int left, int right, const Rect& selected, const Rect& last, Colour tabNormal) {
    Lines out;
    const Colour base = ShadeColor(tabNormal, 48);
    const auto row = [&](int y, int span, int distance) {
        Add(out, left, y, right, y, ShadeColor(base, GradientStep(distance, span)));
    };
    if (!bottom) {
        for (int y = 0; y <= selected.bottom; ++y) row(y, selected.bottom, y);
    } else {
        const int span = last.bottom - selected.top - 1;
        for (int y = selected.top - 1; y <= last.bottom; ++y) row(y, span, last.bottom - y);
    }
    return out;
}

namespace {

Lines FrameQ(bool bottom, const Rect& r, Colour sel) {
    Lines out;
    const Colour c1 = ShadeColor(sel, -32), c2 = ShadeColor(sel, 80), c3 = ShadeColor(sel, 16);
    const int L = r.left, T = r.top, R = r.right, B = r.bottom;
    if (!bottom) {
        Add(out, L + 2, T - 2, R - 1, T - 2, c1);
        Add(out, L + 2, T - 1, R - 1, T - 1, c2);
        Add(out, L, T + 1, L, B + 2, c2);
        Add(out, R, T + 1, R, B + 2, c2);
        Add(out, L - 1, T + 1, L - 1, B + 2, c1);
        Add(out, R + 1, T + 1, R + 1, B + 2, c1);
        const struct {
            int x, y;
            Colour c;
        } px[] = {{L + 1, T - 2, c3}, {R - 1, T - 2, c3}, {L - 1, T, c3}, {R + 1, T, c3},
                  {L + 1, T, c2},     {R - 1, T, c2},     {L + 1, T - 1, c1}, {R - 1, T - 1, c1},
                  {L, T, c1},         {R, T, c1},         {L, T - 1, c3},   {R, T - 1, c3}};
        for (const auto& p : px) Pixel(out, p.x, p.y, p.c);
        return out;
    }
    Add(out, L + 2, B + 1, R - 1, B + 1, c1);
    Add(out, L + 2, B, R - 1, B, c2);
    Add(out, L, B - 2, L, T - 3, c2);
    Add(out, R, B - 2, R, T - 3, c2);
    Add(out, L - 1, B - 2, L - 1, T - 2, c1);
    Add(out, R + 1, B - 2, R + 1, T - 2, c1);
    const struct {
        int x, y;
        Colour c;
    } px[] = {{L + 1, B - 1, c2}, {R - 1, B - 1, c2}, {L + 1, B, c1}, {R - 1, B, c1},   {L, B - 1, c1}, {R, B - 1, c1},
              {L, B, c3},         {R, B, c3},         {L + 1, B + 1, c3}, {L, B + 1, c2}, {R - 1, B + 1, c3}};
    for (const auto& p : px) Pixel(out, p.x, p.y, p.c);
    return out;
}

Lines FrameX(Look look, bool bottom, const Rect& r, Colour buttonFace) {
    Lines out;
    const bool lifted = look != Look::Normal;
    const int h = lifted ? 2 : 1;
    const Colour p = lifted ? 0x8DC2DD : 0xD0D6D0, q = lifted ? 0x3C97E4 : 0xBFB9A9, rr = lifted ? 0x53A1DD : 0xCDC4B6;
    const int L = r.left, T = r.top, R = r.right, B = r.bottom;
    // The lifted edge runs away from the display area: up for tabs at the top, down at the bottom.
    const int s = bottom ? 1 : -1;
    const int edge = bottom ? B : T;  // the tab's outer edge
    const auto y = [&](int lift) { return edge + s * lift; };
    if (lifted) {
        Add(out, L + 1, y(h), R + h - 1, y(h), 0x288BE6);
        Add(out, L + 1, y(h - 1), R + h - 1, y(h - 1), 0x3CC7FF);
        Add(out, L, y(h - 2), R + 2, y(h - 2), 0x3CC7FF);
    } else {
        Add(out, L + 2, y(1), R - 1, y(1), kEdge);
    }
    if (!bottom) {
        Add(out, L - h + 1, T + 1, L - h + 1, B + 1, kEdge);
        Add(out, R + h - 1, T + 1, R + h - 1, B + 1, kEdge);
    } else {
        Add(out, L - h + 1, B - 1, L - h + 1, T - 2, kEdge);
        Add(out, R + h - 1, B - 1, R + h - 1, T - 2, kEdge);
    }
    Pixel(out, L - h + 1, y(h), buttonFace);
    Pixel(out, R + h - 1, y(h), buttonFace);
    const int e = L - h;
    const struct {
        int x, y;
        Colour c;
    } px[] = {{e + 2, y(h), p},         {e + 3, y(h), q},         {e + 1, y(h - 1), p},     {e + 2, y(h - 1), rr},
              {e + 1, y(h - 2), q},     {R + h - 2, y(h), p},     {R + h - 3, y(h), q},     {R + h - 1, y(h - 1), p},
              {R + h - 2, y(h - 1), rr}, {R + h - 1, y(h - 2), q}};
    for (const auto& px1 : px) Pixel(out, px1.x, px1.y, px1.c);
    return out;
}

}  // namespace

Lines FrameTab(Skin skin, Look look, bool bottom, const Rect& r, const Palette& p) {
    if (skin == Skin::QQ) return look == Look::Normal ? Lines{} : FrameQ(bottom, r, p.selected);
    return FrameX(look, bottom, r, p.buttonFace);
}

Lines Edges(Skin skin, bool bottom, const Rect& c, const Rect& s, const Palette& p) {
    Lines out;
    if (!bottom) {
        Add(out, 0, s.bottom + 1, 0, c.bottom - 3, p.buttonFace);
        Add(out, 1, s.bottom + 1, 1, c.bottom - 3, 0x9C9B91);
        Add(out, 1, c.bottom - 3, c.right, c.bottom - 3, 0x9C9B91);
        Add(out, 1, c.bottom - 2, c.right, c.bottom - 2, 0xBFCED0);
        Add(out, 0, c.bottom - 1, c.right, c.bottom - 1, 0xD0E0E3);
        Add(out, c.right - 3, s.bottom, c.right - 3, c.bottom - 3, 0x9C9B91);
        Add(out, c.right - 2, s.bottom, c.right - 2, c.bottom - 1, 0xBFCED0);
        Add(out, c.right - 1, s.bottom, c.right - 1, c.bottom - 1, 0xD0E0E3);
        Add(out, 1, s.bottom, c.right - 2, s.bottom, 0x9C9B91);
    } else if (skin == Skin::QQ) {
        const Colour dark = ShadeColor(p.selected, -32);
        Add(out, 0, s.top - 2, s.left, s.top - 2, dark);
        Add(out, 0, s.top - 1, s.left - 1, s.top - 1, kWhite);
        Add(out, s.right + 1, s.top - 2, c.right, s.top - 2, dark);
        Add(out, s.right + 2, s.top - 1, c.right, s.top - 1, kWhite);
    }
    return out;
}

IconPlace PlaceIcon(const Rect& r, int dpi) noexcept {
    const int size = PictureSizeForDpi(dpi);
    const int x = r.left + ScaleForDpi(6, dpi);
    return {x, r.top + (r.bottom - r.top - size) / 2, x + size + ScaleForDpi(1, dpi), size};
}

}  // namespace parlix::paint
