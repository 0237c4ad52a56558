#include "plugins/doodle/draw_object.h"
#include "tests/native/fake_drawing.h"

#include <gtest/gtest.h>

namespace parlix::doodle {
namespace {

using test::FakeDrawing;
using test::Stroke;

std::shared_ptr<Shape> Make(ShapeKind kind, Point p1, Point p2, BgrColor colour = 0xFF) {
    auto s = NewShape(static_cast<int>(kind));
    s->SetPoint(1, p1.x, p1.y);
    s->SetPoint(2, p2.x, p2.y);
    s->Color(colour);
    return s;
}

struct HitCase {
    ShapeKind kind;
    Point p1, p2;
    Point at;
    int part;
};

// Points near an end are closer than 40 (d² ≤ 1599); the outline tests are strict; a circle's
// centre counts within 40 inclusive.
const HitCase kHits[] = {
    // Horizontal line (0,0)-(1000,0).
    {ShapeKind::Line, {0, 0}, {1000, 0}, {0, 0}, 1},
    {ShapeKind::Line, {0, 0}, {1000, 0}, {-24, -31}, 1},   // d² = 1537
    {ShapeKind::Line, {0, 0}, {1000, 0}, {-24, -32}, 0},   // d² = 1600: not near, outside the span
    {ShapeKind::Line, {0, 0}, {1000, 0}, {0, 40}, 0},      // end's x is not strictly inside
    {ShapeKind::Line, {0, 0}, {1000, 0}, {1000, 39}, 2},
    {ShapeKind::Line, {0, 0}, {1000, 0}, {1040, 0}, 0},
    {ShapeKind::Line, {0, 0}, {1000, 0}, {500, 39}, 3},
    {ShapeKind::Line, {0, 0}, {1000, 0}, {500, -39}, 3},
    {ShapeKind::Line, {0, 0}, {1000, 0}, {500, 40}, 0},    // distance exactly 40
    // Both points equal: near wins, nothing else.
    {ShapeKind::Line, {5, 5}, {5, 5}, {5, 44}, 1},
    // Vertical line: within 40 either side, strictly between the ends in y.
    {ShapeKind::Line, {100, 0}, {100, 1000}, {139, 500}, 3},
    {ShapeKind::Line, {100, 0}, {100, 1000}, {61, 500}, 3},
    {ShapeKind::Line, {100, 0}, {100, 1000}, {140, 500}, 0},
    {ShapeKind::Line, {100, 0}, {100, 1000}, {100, 1039}, 2},
    {ShapeKind::Line, {100, 0}, {100, 1000}, {100, 1040}, 0},
    // Slanted 3-4-5 line of length 500: perpendicular offsets (−32, 24) = 40, 39.4 one step in.
    {ShapeKind::Line, {0, 0}, {300, 400}, {118, 224}, 0},
    {ShapeKind::Line, {0, 0}, {300, 400}, {118, 223}, 3},
    // Near-vertical line: only its narrow x range is on it.
    {ShapeKind::Line, {0, 0}, {1, 1000}, {0, 500}, 0},
    // Far out: exact at the coordinate limit (distances 56/√2 ≈ 39.6 and 57/√2 ≈ 40.3).
    {ShapeKind::Line, {-kCoordinateLimit, -kCoordinateLimit}, {kCoordinateLimit, kCoordinateLimit}, {0, 56}, 3},
    {ShapeKind::Line, {-kCoordinateLimit, -kCoordinateLimit}, {kCoordinateLimit, kCoordinateLimit}, {0, 57}, 0},
    // Rectangle (0,0)-(1000,500): corners 1..4 in the order (x1,y1) (x2,y1) (x1,y2) (x2,y2).
    {ShapeKind::Rec, {0, 0}, {1000, 500}, {3, 3}, 1},
    {ShapeKind::Rec, {0, 0}, {1000, 500}, {1000, 0}, 2},
    {ShapeKind::Rec, {0, 0}, {1000, 500}, {0, 500}, 3},
    {ShapeKind::Rec, {0, 0}, {1000, 500}, {990, 510}, 4},
    {ShapeKind::Rec, {1000, 500}, {0, 0}, {1000, 500}, 1},  // parts follow the points, not the screen
    {ShapeKind::Rec, {0, 0}, {1000, 500}, {500, 39}, 5},
    {ShapeKind::Rec, {0, 0}, {1000, 500}, {500, 40}, 0},
    {ShapeKind::Rec, {0, 0}, {1000, 500}, {-39, 250}, 5},
    {ShapeKind::Rec, {0, 0}, {1000, 500}, {1039, 250}, 5},
    {ShapeKind::Rec, {0, 0}, {1000, 500}, {500, 250}, 0},
    {ShapeKind::Rec, {0, 0}, {1000, 500}, {1040, 500}, 0},
    // Circle, centre (0,0), radius 100: the ring reaches 40 inside, outside only to d² < R² + 40.
    {ShapeKind::Circle, {0, 0}, {100, 0}, {0, 100}, 1},
    {ShapeKind::Circle, {0, 0}, {100, 0}, {100, 1}, 1},     // d² = 10001 < 10040
    {ShapeKind::Circle, {0, 0}, {100, 0}, {101, 0}, 0},     // d² = 10201
    {ShapeKind::Circle, {0, 0}, {100, 0}, {61, 0}, 1},
    {ShapeKind::Circle, {0, 0}, {100, 0}, {60, 0}, 0},      // exactly 40 inside
    {ShapeKind::Circle, {0, 0}, {100, 0}, {40, 0}, 3},      // 40 from the centre, bound inclusive
    {ShapeKind::Circle, {0, 0}, {100, 0}, {41, 0}, 0},
    {ShapeKind::Circle, {0, 0}, {100, 0}, {-24, 32}, 3},
    // A circle smaller than the tolerance is ring all through.
    {ShapeKind::Circle, {0, 0}, {30, 0}, {0, 0}, 1},
};

TEST(DoodleShapes, IsCurrentNamesThePartUnderThePoint) {
    for (const HitCase& c : kHits) {
        const auto shape = Make(c.kind, c.p1, c.p2);
        EXPECT_EQ(shape->IsCurrent(c.at.x, c.at.y), c.part)
            << "kind " << static_cast<int>(c.kind) << " (" << c.p1.x << "," << c.p1.y << ")-(" << c.p2.x << ","
            << c.p2.y << ") at (" << c.at.x << "," << c.at.y << ")";
    }
}

struct MoveCase {
    ShapeKind kind;
    int style;
    Point p1, p2;  // after Move to (700, 800) from p1 (10,20), p2 (30,40), old point (5,5)
};

const MoveCase kMoves[] = {
    {ShapeKind::Line, 1, {700, 800}, {30, 40}},
    {ShapeKind::Line, 2, {10, 20}, {700, 800}},
    {ShapeKind::Line, 3, {705, 815}, {725, 835}},
    {ShapeKind::Line, 4, {10, 20}, {30, 40}},
    {ShapeKind::Rec, 1, {700, 800}, {30, 40}},
    {ShapeKind::Rec, 2, {10, 800}, {700, 40}},
    {ShapeKind::Rec, 3, {700, 20}, {30, 800}},
    {ShapeKind::Rec, 4, {10, 20}, {700, 800}},
    {ShapeKind::Rec, 5, {705, 815}, {725, 835}},
    {ShapeKind::Rec, 0, {10, 20}, {30, 40}},
    {ShapeKind::Circle, 1, {10, 20}, {700, 800}},
    {ShapeKind::Circle, 2, {10, 20}, {700, 800}},
    {ShapeKind::Circle, 3, {10, 20}, {30, 40}},
    {ShapeKind::Circle, 5, {10, 20}, {30, 40}},
};

TEST(DoodleShapes, MoveChangesThePartItsStyleNamesBetweenTwoXorOutlines) {
    for (const MoveCase& c : kMoves) {
        SCOPED_TRACE(testing::Message() << "kind " << static_cast<int>(c.kind) << " style " << c.style);
        const auto shape = Make(c.kind, {10, 20}, {30, 40}, 0x0000FF);
        shape->SetOldPoint(5, 5);
        FakeDrawing d;
        d.back = 0x00FF00;
        ASSERT_TRUE(shape->Move(d, 700, 800, c.style));
        EXPECT_EQ(shape->P1(), c.p1);
        EXPECT_EQ(shape->P2(), c.p2);
        // Erased at the old points, drawn at the new ones, in colour XOR background.
        ASSERT_EQ(d.strokes.size(), 2u);
        for (const Stroke& s : d.strokes) {
            EXPECT_EQ(s.mode, kXorPen);
            EXPECT_EQ(s.colour, 0x00FFFFu);
        }
        if (c.kind != ShapeKind::Circle) {
            EXPECT_EQ(d.strokes[0].a, (Point{10, 20}));
            EXPECT_EQ(d.strokes[1].b, c.p2);
        }
        EXPECT_EQ(d.mode, kCopyPen);
        EXPECT_EQ(d.fore, 0x123456u);
    }
}

TEST(DoodleShapes, MovingTheWholeShapeFollowsTheReferencePoint) {
    const auto line = Make(ShapeKind::Line, {0, 0}, {100, 0});
    line->SetOldPoint(50, 0);
    FakeDrawing d;
    line->Move(d, 60, 10, 3);
    line->Move(d, 70, 30, 3);
    EXPECT_EQ(line->P1(), (Point{20, 30}));
    EXPECT_EQ(line->P2(), (Point{120, 30}));
    EXPECT_EQ(line->OldPoint(), (Point{70, 30}));
    // At the coordinate limit the points stop instead of overflowing.
    line->Move(d, std::numeric_limits<std::int32_t>::max(), 30, 3);
    EXPECT_EQ(line->P2().x, kCoordinateLimit);
}

TEST(DoodleShapes, RectangleDraggedByPointTwoSpansTheStartAndTheMouseInEveryDirection) {
    const Point start{1000, 1000};
    for (const Point mouse : {Point{1500, 1600}, Point{400, 1600}, Point{1500, 300}, Point{400, 300}}) {
        const auto rec = Make(ShapeKind::Rec, start, start);
        FakeDrawing d;
        rec->Move(d, mouse.x, mouse.y, 2);
        const Point a = rec->P1(), b = rec->P2();
        EXPECT_EQ(std::min(a.x, b.x), std::min(start.x, mouse.x));
        EXPECT_EQ(std::max(a.x, b.x), std::max(start.x, mouse.x));
        EXPECT_EQ(std::min(a.y, b.y), std::min(start.y, mouse.y));
        EXPECT_EQ(std::max(a.y, b.y), std::max(start.y, mouse.y));
    }
}

TEST(DoodleShapes, DrawUsesTheCopyPenInTheShapeColourAndRestoresTheTarget) {
    const auto circle = Make(ShapeKind::Circle, {0, 0}, {30, 40}, 0xABCDEF);
    FakeDrawing d;
    d.mode = kXorPen;
    ASSERT_TRUE(circle->Draw(d));
    EXPECT_EQ(d.strokes, (std::vector<Stroke>{{Stroke::Circle, {0, 0}, {50, 0}, kCopyPen, 0xABCDEF}}));
    EXPECT_EQ(d.mode, kXorPen);
    EXPECT_EQ(d.fore, 0x123456u);
}

TEST(DoodleShapes, AFailingTargetStopsMoveButLeavesTheTargetAsItWas) {
    const auto line = Make(ShapeKind::Line, {0, 0}, {10, 10});
    FakeDrawing d;
    d.failAfter = 0;
    EXPECT_FALSE(line->Move(d, 50, 50, 2));
    EXPECT_EQ(line->P2(), (Point{10, 10}));
    EXPECT_EQ(d.mode, kCopyPen);
    EXPECT_EQ(d.fore, 0x123456u);
    // Printing skips the failure and keeps the draw mode it found.
    d.mode = kXorPen;
    line->PrintObject(d);
    EXPECT_EQ(d.strokes.back().mode, kXorPen);
    EXPECT_EQ(d.fore, 0x123456u);
}

TEST(DoodleCollection, KeysAreUniqueWithoutRegardToCaseAndPositionsCountFromOne) {
    DrawObject shapes;
    const auto a = Make(ShapeKind::Line, {0, 0}, {1, 1});
    const auto b = Make(ShapeKind::Rec, {0, 0}, {1, 1});
    EXPECT_EQ(shapes.Add(a, L"Sun"), a);
    EXPECT_EQ(shapes.Add(b, L"sUN"), nullptr);
    EXPECT_EQ(shapes.Add(b), b);
    EXPECT_EQ(shapes.Count(), 2);
    EXPECT_EQ(shapes.Item(1), a);
    EXPECT_EQ(shapes.Item(L"SUN"), a);
    EXPECT_EQ(shapes.Item(3), nullptr);
    EXPECT_EQ(shapes.Item(0), nullptr);
    EXPECT_FALSE(shapes.Remove(L"moon"));
    EXPECT_TRUE(shapes.Remove(L"sun"));
    EXPECT_EQ(shapes.Item(1), b);
    EXPECT_FALSE(shapes.Remove(2));
    EXPECT_TRUE(shapes.Remove(1));
    EXPECT_EQ(shapes.Count(), 0);
}

TEST(DoodleCollection, IsObjectFindsTheEarliestShapeAndClearsItsAnswersWhenNoneIsHit) {
    DrawObject shapes;
    DrawObject::ShapeRef found = Make(ShapeKind::Line, {0, 0}, {1, 1});
    int style = 9;
    EXPECT_EQ(shapes.IsObject(0, 0, found, style), 0);
    EXPECT_EQ(found, nullptr);
    EXPECT_EQ(style, 0);

    const auto rec = shapes.Add(Make(ShapeKind::Rec, {0, 0}, {1000, 1000}));
    const auto line = shapes.Add(Make(ShapeKind::Line, {0, 0}, {1000, 1000}));
    EXPECT_EQ(shapes.IsObject(0, 0, found, style), 1);
    EXPECT_EQ(found, rec);
    EXPECT_EQ(style, 1);
    EXPECT_EQ(shapes.IsObject(500, 500, found, style), 2);
    EXPECT_EQ(found, line);
    EXPECT_EQ(style, 3);
}

TEST(DoodleCollection, DrawClearsFirstThenDrawsEveryShapeInOrder) {
    DrawObject shapes;
    shapes.Add(Make(ShapeKind::Rec, {1, 2}, {3, 4}, 1));
    shapes.Add(Make(ShapeKind::Line, {5, 6}, {7, 8}, 2));
    FakeDrawing d;
    ASSERT_TRUE(shapes.Draw(d));
    ASSERT_EQ(d.strokes.size(), 3u);
    EXPECT_EQ(d.strokes[0].kind, Stroke::Cls);
    EXPECT_EQ(d.strokes[1], (Stroke{Stroke::Box, {1, 2}, {3, 4}, kCopyPen, 1}));
    EXPECT_EQ(d.strokes[2], (Stroke{Stroke::Segment, {5, 6}, {7, 8}, kCopyPen, 2}));
}

}  // namespace
}  // namespace parlix::doodle
