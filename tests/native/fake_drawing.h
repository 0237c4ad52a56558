// A drawing target that records every primitive with the draw mode and colour it was drawn in.
#pragma once

#include "plugins/doodle/drawing.h"

#include <vector>

namespace parlix::doodle::test {

struct Stroke {
    enum Kind { Segment, Box, Circle, Cls } kind;
    Point a, b;          // circle: centre, (radius, 0)
    int mode;
    BgrColor colour;
    friend bool operator==(const Stroke&, const Stroke&) = default;
};

class FakeDrawing final : public Drawing {
public:
    [[nodiscard]] int DrawMode() const override { return mode; }
    void DrawMode(int m) override { mode = m; }
    [[nodiscard]] BgrColor ForeColor() const override { return fore; }
    void ForeColor(BgrColor c) override { fore = c; }
    [[nodiscard]] BgrColor BackColor() const override { return back; }
    bool Line(Point a, Point b, Outline kind, BgrColor colour) override {
        strokes.push_back({kind == Outline::Segment ? Stroke::Segment : Stroke::Box, a, b, mode, colour});
        return Result();
    }
    bool Circle(Point centre, double radius, BgrColor colour) override {
        strokes.push_back({Stroke::Circle, centre, {static_cast<std::int32_t>(radius), 0}, mode, colour});
        return Result();
    }
    bool Cls() override {
        strokes.push_back({Stroke::Cls, {}, {}, mode, back});
        return Result();
    }

    int mode = kCopyPen;
    BgrColor fore = 0x123456;
    BgrColor back = 0xFFFFFF;
    int failAfter = -1;  // primitives that succeed before every further one fails; -1 never fails
    std::vector<Stroke> strokes;

private:
    bool Result() { return failAfter < 0 || static_cast<int>(strokes.size()) <= failAfter; }
};

}  // namespace parlix::doodle::test
