#include "plugins/doodle/shapes.h"

#include <algorithm>
#include <cmath>

namespace parlix::doodle {

namespace {

constexpr std::int64_t kNearPoint = 1599;  // closer than 40: 40² = 1600 is not near
constexpr std::int64_t kNearCentre = 1600; // within 40 of a circle's centre, bound inclusive
constexpr std::int64_t kTolerance2 = std::int64_t{kHitTolerance} * kHitTolerance;

std::int32_t Clamp(std::int64_t v) noexcept {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, -kCoordinateLimit, kCoordinateLimit));
}

std::int64_t Square(std::int64_t v) noexcept { return v * v; }

std::int64_t Distance2(std::int64_t px, std::int64_t py, std::int64_t x, std::int64_t y) noexcept {
    return Square(x - px) + Square(y - py);
}

bool Near(std::int32_t px, std::int32_t py, std::int32_t x, std::int32_t y) noexcept {
    return Distance2(px, py, x, y) <= kNearPoint;
}

// Strictly between a and b (in either order).
bool Between(std::int64_t v, std::int64_t a, std::int64_t b) noexcept { return (v - a) * (v - b) < 0; }

bool Within(std::int64_t v, std::int64_t a) noexcept { return v - a < kHitTolerance && a - v < kHitTolerance; }

// a × b < c × d for unsigned 64-bit factors, exactly (128-bit products from 32-bit halves).
struct Wide {
    std::uint64_t hi, lo;
};
Wide Multiply(std::uint64_t a, std::uint64_t b) noexcept {
    const std::uint64_t aLo = a & 0xFFFFFFFFu, aHi = a >> 32, bLo = b & 0xFFFFFFFFu, bHi = b >> 32;
    const std::uint64_t ll = aLo * bLo, lh = aLo * bHi, hl = aHi * bLo, hh = aHi * bHi;
    const std::uint64_t mid = (ll >> 32) + (lh & 0xFFFFFFFFu) + (hl & 0xFFFFFFFFu);
    return {hh + (lh >> 32) + (hl >> 32) + (mid >> 32), (mid << 32) | (ll & 0xFFFFFFFFu)};
}
bool ProductLess(std::uint64_t a, std::uint64_t b, std::uint64_t c, std::uint64_t d) noexcept {
    const Wide l = Multiply(a, b), r = Multiply(c, d);
    return l.hi < r.hi || (l.hi == r.hi && l.lo < r.lo);
}
std::uint64_t Magnitude(std::int64_t v) noexcept { return static_cast<std::uint64_t>(v < 0 ? -v : v); }

// Puts the draw mode and fore colour back when a drawing step ends, however it ends.
class Restore {
public:
    explicit Restore(Drawing& d) noexcept : d_(d), mode_(d.DrawMode()), fore_(d.ForeColor()) {}
    Restore(const Restore&) = delete;
    Restore& operator=(const Restore&) = delete;
    ~Restore() {
        d_.ForeColor(fore_);
        d_.DrawMode(mode_);
    }

private:
    Drawing& d_;
    int mode_;
    BgrColor fore_;
};

}  // namespace

void Shape::SetPoint(int position, std::int32_t x, std::int32_t y) noexcept {
    if (position == 1) {
        x1_ = Clamp(x);
        y1_ = Clamp(y);
    } else if (position == 2) {
        x2_ = Clamp(x);
        y2_ = Clamp(y);
    }
}

void Shape::SetOldPoint(std::int32_t x, std::int32_t y) noexcept {
    oldX_ = Clamp(x);
    oldY_ = Clamp(y);
}

bool Shape::StartBand(Drawing& drawing) {
    const Restore restore(drawing);
    drawing.DrawMode(kXorPen);
    drawing.ForeColor(colour_ ^ drawing.BackColor());
    return DrawOutline(drawing, drawing.ForeColor());
}

bool Shape::Move(Drawing& drawing, std::int32_t x, std::int32_t y, int style) {
    const Restore restore(drawing);
    drawing.DrawMode(kXorPen);
    // Over the background the XOR pen shows exactly the shape's colour; the same outline drawn
    // twice leaves the picture as it was.
    drawing.ForeColor(colour_ ^ drawing.BackColor());
    if (!DrawOutline(drawing, drawing.ForeColor())) return false;
    Reshape(x, y, style);
    return DrawOutline(drawing, drawing.ForeColor());
}

bool Shape::Draw(Drawing& drawing) {
    const Restore restore(drawing);
    drawing.DrawMode(kCopyPen);
    drawing.ForeColor(colour_);
    return DrawOutline(drawing, colour_);
}

void Shape::PrintObject(Drawing& drawing) noexcept {
    const BgrColor fore = drawing.ForeColor();
    drawing.ForeColor(colour_);
    DrawOutline(drawing, colour_);
    drawing.ForeColor(fore);
}

void Shape::Save(std::string& file) const {
    file += std::to_string(static_cast<int>(Kind()));
    for (const std::int32_t v : {x1_, y1_, x2_, y2_, static_cast<std::int32_t>(colour_)}) {
        file += ',';
        file += std::to_string(v);
    }
    file += "\r\n";
}

void Shape::Load(const ShapeRecord& record) noexcept {
    SetPoint(1, record.x1, record.y1);
    SetPoint(2, record.x2, record.y2);
    colour_ = record.colour;
}

void Shape::MoveWhole(std::int32_t x, std::int32_t y) noexcept {
    const std::int64_t dx = std::int64_t{x} - oldX_;
    const std::int64_t dy = std::int64_t{y} - oldY_;
    x1_ = Clamp(x1_ + dx);
    x2_ = Clamp(x2_ + dx);
    y1_ = Clamp(y1_ + dy);
    y2_ = Clamp(y2_ + dy);
    SetOldPoint(x, y);
}

// ---- DrawLine ----------------------------------------------------------------------------

bool DrawLine::DrawOutline(Drawing& drawing, BgrColor colour) const {
    return drawing.Line(P1(), P2(), Outline::Segment, colour);
}

void DrawLine::Reshape(std::int32_t x, std::int32_t y, int style) noexcept {
    switch (style) {
    case 1: SetPoint(1, x, y); break;
    case 2: SetPoint(2, x, y); break;
    case 3: MoveWhole(x, y); break;
    default: break;
    }
}

int DrawLine::IsCurrent(std::int32_t x, std::int32_t y) const noexcept {
    if (Near(x1_, y1_, x, y)) return 1;
    if (Near(x2_, y2_, x, y)) return 2;
    return IsOnOutline(x, y) ? 3 : 0;
}

bool DrawLine::IsOnOutline(std::int32_t x, std::int32_t y) const noexcept {
    if (x1_ == x2_) return Within(x, x1_) && Between(y, y1_, y2_);
    // Only strictly between the ends in x: near-vertical lines are hit in their narrow x range,
    // their ends by parts 1 and 2.
    if (!Between(x, x1_, x2_)) return false;
    // Perpendicular distance below 40: cross² / length² < 1600, compared exactly.
    const std::int64_t dx = std::int64_t{x2_} - x1_, dy = std::int64_t{y2_} - y1_;
    const std::int64_t cross = dx * (std::int64_t{y} - y1_) - dy * (std::int64_t{x} - x1_);
    const std::uint64_t length2 = static_cast<std::uint64_t>(dx * dx + dy * dy);
    return ProductLess(Magnitude(cross), Magnitude(cross), static_cast<std::uint64_t>(kTolerance2), length2);
}

// ---- DrawRec -----------------------------------------------------------------------------

bool DrawRec::DrawOutline(Drawing& drawing, BgrColor colour) const {
    return drawing.Line(P1(), P2(), Outline::Box, colour);
}

void DrawRec::Reshape(std::int32_t x, std::int32_t y, int style) noexcept {
    // Style names the corner that follows the mouse; 5 moves the whole rectangle.
    switch (style) {
    case 1: SetPoint(1, x, y); break;
    case 2: SetPoint(2, x, y2_); SetPoint(1, x1_, y); break;
    case 3: SetPoint(1, x, y1_); SetPoint(2, x2_, y); break;
    case 4: SetPoint(2, x, y); break;
    case 5: MoveWhole(x, y); break;
    default: break;
    }
}

int DrawRec::IsCurrent(std::int32_t x, std::int32_t y) const noexcept {
    if (Near(x1_, y1_, x, y)) return 1;
    if (Near(x2_, y1_, x, y)) return 2;
    if (Near(x1_, y2_, x, y)) return 3;
    if (Near(x2_, y2_, x, y)) return 4;
    return IsOnOutline(x, y) ? 5 : 0;
}

bool DrawRec::IsOnOutline(std::int32_t x, std::int32_t y) const noexcept {
    return ((Within(x, x1_) || Within(x, x2_)) && Between(y, y1_, y2_)) ||
           ((Within(y, y1_) || Within(y, y2_)) && Between(x, x1_, x2_));
}

// ---- DrawCircle --------------------------------------------------------------------------

double DrawCircle::Radius() const noexcept {
    return std::sqrt(static_cast<double>(Distance2(x1_, y1_, x2_, y2_)));
}

bool DrawCircle::DrawOutline(Drawing& drawing, BgrColor colour) const {
    return drawing.Circle(P1(), Radius(), colour);
}

void DrawCircle::Reshape(std::int32_t x, std::int32_t y, int style) noexcept {
    if (style == 1 || style == 2) SetPoint(2, x, y);
}

int DrawCircle::IsCurrent(std::int32_t x, std::int32_t y) const noexcept {
    if (IsOnOutline(x, y)) return 1;
    return Distance2(x1_, y1_, x, y) <= kNearCentre ? 3 : 0;
}

bool DrawCircle::IsOnOutline(std::int32_t x, std::int32_t y) const noexcept {
    const std::int64_t d2 = Distance2(x1_, y1_, x, y);
    const std::int64_t r2 = Distance2(x1_, y1_, x2_, y2_);
    if (d2 >= r2 + kHitTolerance) return false;
    // The ring reaches 40 inside the circle: d > R − 40, i.e. with t = R² + 1600 − d²,
    // t < 80 R, compared exactly as t² < 6400 R² when t is positive.
    if (r2 <= kTolerance2) return !(r2 == kTolerance2 && d2 == 0);
    const std::int64_t t = r2 + kTolerance2 - d2;
    if (t <= 0) return true;
    return ProductLess(static_cast<std::uint64_t>(t), static_cast<std::uint64_t>(t), 4 * kTolerance2,
                       static_cast<std::uint64_t>(r2));
}

std::shared_ptr<Shape> NewShape(int kindTag) {
    switch (kindTag) {
    case static_cast<int>(ShapeKind::Line): return std::make_shared<DrawLine>();
    case static_cast<int>(ShapeKind::Rec): return std::make_shared<DrawRec>();
    case static_cast<int>(ShapeKind::Circle): return std::make_shared<DrawCircle>();
    default: return nullptr;
    }
}

}  // namespace parlix::doodle
