// The drawing target the shapes draw on: the board's canvas, or any target with the same
// members (an output target such as a printer). Shapes and the collection reach the target only
// through this interface, in the target's own unit (the board's canvas works in twips).
#pragma once

#include <cstdint>

namespace parlix::doodle {

// 32-bit &H00BBGGRR; a value with the top bit set is a system colour index.
using BgrColor = std::uint32_t;

// Draw modes, numbered as the raster operations of the same name.
inline constexpr int kCopyPen = 13;
inline constexpr int kXorPen = 7;

struct Point {
    std::int32_t x = 0;
    std::int32_t y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

enum class Outline {
    Segment,  // the segment between the two points
    Box,      // the outline of the rectangle the two points span, not filled
};

class Drawing {
public:
    [[nodiscard]] virtual int DrawMode() const = 0;
    virtual void DrawMode(int mode) = 0;
    [[nodiscard]] virtual BgrColor ForeColor() const = 0;
    virtual void ForeColor(BgrColor colour) = 0;
    [[nodiscard]] virtual BgrColor BackColor() const = 0;
    // The primitives draw with the current draw mode and pen width; false when the target failed.
    virtual bool Line(Point a, Point b, Outline kind, BgrColor colour) = 0;
    virtual bool Circle(Point centre, double radius, BgrColor colour) = 0;
    // Clears to BackColor.
    virtual bool Cls() = 0;

protected:
    ~Drawing() = default;
};

}  // namespace parlix::doodle
