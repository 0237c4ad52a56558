#include "plugins/doodle/board_pen.h"

namespace parlix::doodle {

void BoardPen::MouseDown(Drawing& canvas, unsigned, std::int32_t x, std::int32_t y) {
    // Shapes start with either button: a right or middle drag draws like a left one.
    if (curTool_ != Tool::Pencil) {
        curShape_ = NewShape(static_cast<int>(curTool_));
        curShape_->SetPoint(1, x, y);
        curShape_->SetPoint(2, x, y);
        curShape_->SetOldPoint(x, y);
        curShape_->Color(penColor_);
        dragPart_ = 2;
        dragging_ = true;
        // The band's first outline is on the picture before the first move takes it away.
        curShape_->StartBand(canvas);
    }
    lastX_ = x;
    lastY_ = y;
}

bool BoardPen::MouseMove(Drawing& canvas, unsigned buttons, std::int32_t x, std::int32_t y) {
    if (curTool_ != Tool::Pencil) {
        if (dragging_ && curShape_) curShape_->Move(canvas, x, y, dragPart_);
        return false;
    }
    if (buttons & kLeftButton) canvas.Line({lastX_, lastY_}, {x, y}, Outline::Segment, penColor_);
    else if (buttons & kRightButton) canvas.Line({lastX_, lastY_}, {x, y}, Outline::Segment, boardColor_);
    if (buttons == 0) return false;
    lastX_ = x;
    lastY_ = y;
    return true;
}

void BoardPen::MouseUp(Drawing& canvas) {
    if (!dragging_) return;
    dragging_ = false;
    if (curTool_ == Tool::Pencil || !curShape_) return;
    curShape_->Draw(canvas);
    shapes_.Add(curShape_);
}

}  // namespace parlix::doodle
