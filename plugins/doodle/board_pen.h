// What the mouse does on the board's canvas: freehand pencil strokes (the right button erases in
// the board colour), and lines, rectangles and circles rubber-banded while the mouse moves and
// drawn and kept in Shapes when the button goes up. Coordinates are the canvas's twips.
#pragma once

#include "plugins/doodle/draw_object.h"

#include <memory>

namespace parlix::doodle {

// Mouse buttons as the board's handlers receive them (several may be held).
enum MouseButton : unsigned { kLeftButton = 1, kRightButton = 2, kMiddleButton = 4 };

enum class Tool : int { Pencil = 0, Line = 1, Rectangle = 2, Circle = 3 };

inline constexpr BgrColor kInitialPenColor = 0x0000FF;    // red
inline constexpr BgrColor kInitialBoardColor = 0xFFFFFF;  // white

class BoardPen {
public:
    explicit BoardPen(DrawObject& shapes) noexcept : shapes_(shapes) {}

    [[nodiscard]] Tool CurTool() const noexcept { return curTool_; }
    void CurTool(Tool tool) noexcept { curTool_ = tool; }
    [[nodiscard]] BgrColor PenColor() const noexcept { return penColor_; }
    void PenColor(BgrColor c) noexcept { penColor_ = c; }
    [[nodiscard]] BgrColor BoardColor() const noexcept { return boardColor_; }
    void BoardColor(BgrColor c) noexcept { boardColor_ = c; }
    [[nodiscard]] bool Dragging() const noexcept { return dragging_; }
    [[nodiscard]] const std::shared_ptr<Shape>& CurShape() const noexcept { return curShape_; }

    // Any button: a shape tool starts a shape at (Int(x), Int(y)) and its rubber band; every
    // tool notes the point.
    void MouseDown(Drawing& canvas, unsigned button, std::int32_t x, std::int32_t y);
    // Returns true when the canvas should be refreshed (a pencil move with a button held).
    bool MouseMove(Drawing& canvas, unsigned buttons, std::int32_t x, std::int32_t y);
    // Ends a shape drag: the shape is drawn and added to Shapes.
    void MouseUp(Drawing& canvas);

private:
    DrawObject& shapes_;
    Tool curTool_ = Tool::Pencil;
    BgrColor penColor_ = kInitialPenColor;
    BgrColor boardColor_ = kInitialBoardColor;
    std::shared_ptr<Shape> curShape_;
    int dragPart_ = 2;  // point 2 follows the mouse
    bool dragging_ = false;
    std::int32_t lastX_ = 0, lastY_ = 0;
};

}  // namespace parlix::doodle
