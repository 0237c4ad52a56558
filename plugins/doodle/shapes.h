// The board's shapes: straight lines, rectangles and circles that remember their two defining
// points and their colour, rubber-band themselves with the XOR pen while the user drags, tell
// which of their parts lies under a point, and draw, print and save themselves.
//
// Invariant: every coordinate lies within ±kCoordinateLimit (points are clamped when set or
// moved), so the squared distances and products of the hit tests are exact in 64-bit integers.
#pragma once

#include "plugins/doodle/drawing.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>

namespace parlix::doodle {

// Far beyond any screen in twips (2^24 twips ≈ 1.1 million pixels).
inline constexpr std::int32_t kCoordinateLimit = 1 << 24;
// Hit tolerance of every shape, in the target's unit.
inline constexpr std::int32_t kHitTolerance = 40;

// The kind tag of a saved record.
enum class ShapeKind : std::int16_t { Line = 1, Rec = 2, Circle = 3 };

// The five values of a record after its tag: x1, y1, x2, y2, colour.
struct ShapeRecord {
    std::int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    BgrColor colour = 0;
};

class Shape {
public:
    virtual ~Shape() = default;
    Shape(const Shape&) = delete;
    Shape& operator=(const Shape&) = delete;

    [[nodiscard]] virtual ShapeKind Kind() const noexcept = 0;

    // Position 1 sets point 1, 2 sets point 2; any other position does nothing.
    void SetPoint(int position, std::int32_t x, std::int32_t y) noexcept;
    [[nodiscard]] BgrColor Color() const noexcept { return colour_; }
    void Color(BgrColor vData) noexcept { colour_ = vData; }
    void SetOldPoint(std::int32_t x, std::int32_t y) noexcept;

    // Starts a rubber band: the outline at the current points with the XOR pen, so that the first
    // Move takes away what is on the picture instead of leaving a mark where the drag began.
    bool StartBand(Drawing& drawing);
    // Rubber band: XORs the outline away, changes the part Style names (the part numbers
    // IsCurrent reports) to (x, y), XORs the new outline in. Draw mode and fore colour are
    // restored whatever happens; false at the target's first failure.
    bool Move(Drawing& drawing, std::int32_t x, std::int32_t y, int style);
    // The part at (x, y), 0 for none.
    [[nodiscard]] virtual int IsCurrent(std::int32_t x, std::int32_t y) const noexcept = 0;
    // The outline in the shape's colour with the copy pen; false at the target's first failure.
    bool Draw(Drawing& drawing);
    // The outline without touching the draw mode; failing steps are skipped.
    void PrintObject(Drawing& drawing) noexcept;

    // Appends "tag,x1,y1,x2,y2,colour" and CR LF (plain decimal; the colour as a signed 32-bit
    // value, as written by the sequential-file write form).
    void Save(std::string& file) const;
    // Takes the five values that follow the tag (clamped like SetPoint).
    void Load(const ShapeRecord& record) noexcept;

    [[nodiscard]] Point P1() const noexcept { return {x1_, y1_}; }
    [[nodiscard]] Point P2() const noexcept { return {x2_, y2_}; }
    [[nodiscard]] Point OldPoint() const noexcept { return {oldX_, oldY_}; }

protected:
    Shape() noexcept = default;

    virtual bool DrawOutline(Drawing& drawing, BgrColor colour) const = 0;
    // Step 3 of Move: the points change as Style says.
    virtual void Reshape(std::int32_t x, std::int32_t y, int style) noexcept = 0;
    // Adds (x − oldX, y − oldY) to both points; the old point becomes (x, y).
    void MoveWhole(std::int32_t x, std::int32_t y) noexcept;

    std::int32_t x1_ = 0, y1_ = 0;
    std::int32_t x2_ = 0, y2_ = 0;
    std::int32_t oldX_ = 0, oldY_ = 0;
    BgrColor colour_ = 0;
};

class DrawLine final : public Shape {
public:
    DrawLine() noexcept = default;
    [[nodiscard]] ShapeKind Kind() const noexcept override { return ShapeKind::Line; }
    // 1 near point 1, 2 near point 2, 3 on the segment.
    [[nodiscard]] int IsCurrent(std::int32_t x, std::int32_t y) const noexcept override;

private:
    bool DrawOutline(Drawing& drawing, BgrColor colour) const override;
    void Reshape(std::int32_t x, std::int32_t y, int style) noexcept override;
    [[nodiscard]] bool IsOnOutline(std::int32_t x, std::int32_t y) const noexcept;
};

class DrawRec final : public Shape {
public:
    DrawRec() noexcept = default;
    [[nodiscard]] ShapeKind Kind() const noexcept override { return ShapeKind::Rec; }
    // 1..4 near the corners (x1,y1), (x2,y1), (x1,y2), (x2,y2); 5 on an edge.
    [[nodiscard]] int IsCurrent(std::int32_t x, std::int32_t y) const noexcept override;

private:
    bool DrawOutline(Drawing& drawing, BgrColor colour) const override;
    void Reshape(std::int32_t x, std::int32_t y, int style) noexcept override;
    [[nodiscard]] bool IsOnOutline(std::int32_t x, std::int32_t y) const noexcept;
};

class DrawCircle final : public Shape {
public:
    DrawCircle() noexcept = default;
    [[nodiscard]] ShapeKind Kind() const noexcept override { return ShapeKind::Circle; }
    // 1 on the ring, 3 within 40 of the centre.
    [[nodiscard]] int IsCurrent(std::int32_t x, std::int32_t y) const noexcept override;
    // R = √((x1 − x2)² + (y1 − y2)²)
    [[nodiscard]] double Radius() const noexcept;

private:
    bool DrawOutline(Drawing& drawing, BgrColor colour) const override;
    void Reshape(std::int32_t x, std::int32_t y, int style) noexcept override;
    [[nodiscard]] bool IsOnOutline(std::int32_t x, std::int32_t y) const noexcept;
};

// A new shape of the kind; null for a tag that names no kind.
[[nodiscard]] std::shared_ptr<Shape> NewShape(int kindTag);

}  // namespace parlix::doodle
