#include "plugins/common/plugin_paths.h"
#include "plugins/doodle/board_pen.h"
#include "plugins/doodle/board_rules.h"
#include "tests/native/fake_drawing.h"

#include <gtest/gtest.h>

namespace parlix::doodle {
namespace {

using test::FakeDrawing;
using test::Stroke;

TEST(DoodleBoardRules, TwipsRoundToTheNearestPixel) {
    const std::pair<std::int64_t, int> cases[] = {{0, 0}, {7, 0}, {8, 1}, {15, 1}, {22, 1}, {23, 2},
                                                  {-7, 0}, {-8, -1}, {5640, 376}, {1725, 115}};
    for (const auto& [twips, pixels] : cases) EXPECT_EQ(TwipsToPixels(twips), pixels) << twips;
}

TEST(DoodleBoardRules, LayoutPutsTheBarAtTheBottomTheToolboxRightAndTheCanvasInTheRest) {
    const auto l = LayoutBoard(376, 115, 33, 23);
    ASSERT_TRUE(l);
    EXPECT_EQ(l->bottom, (Area{0, 92, 376, 23}));
    EXPECT_EQ(l->toolbox, (Area{343, 0, 33, 92}));
    EXPECT_EQ(l->canvas, (Area{0, 0, 343, 92}));
    EXPECT_FALSE(LayoutBoard(376, 23, 33, 23));  // no room above the bar: nothing moves
    EXPECT_EQ(LayoutBoard(20, 50, 33, 23)->canvas.width, 0);
}

TEST(DoodleBoardRules, TheButtonSitsAtTheRightEndUnderTheTabsOrKeepsItsTopWhenTabsAreAtTheBottom) {
    MainFacts main{.windowState = 0, .scaleWidth = 600, .tabsAtBottom = false, .headerHeight = 24};
    EXPECT_EQ(ToggleButtonPlace(main, 7), (Point{545, 27}));
    main.tabsAtBottom = true;
    EXPECT_EQ(ToggleButtonPlace(main, 7), (Point{545, 7}));
    main.scaleWidth.reset();
    EXPECT_FALSE(ToggleButtonPlace(main, 7));
    EXPECT_FALSE(ToggleButtonPlace({.windowState = 0, .scaleWidth = 600, .tabsAtBottom = false}, 7));
}

TEST(DoodleBoardRules, TheBoardDocksUnderTheMainWindowOnlyWhenItMovedAndOnlyInTheNormalState) {
    const MainFacts main{.windowState = 0, .left = 1500, .top = 3000, .height = 6000};
    EXPECT_EQ(DockBoard(main, {}), (Point{1500, 9000}));
    EXPECT_FALSE(DockBoard(main, {1500, 9000}));
    EXPECT_EQ(DockBoard(main, {1500, 8985}), (Point{1500, 9000}));
    EXPECT_EQ(DockBoard(main, {1485, 9000}), (Point{1500, 9000}));
    EXPECT_FALSE(DockBoard({.windowState = 0, .left = 1500, .top = 3000}, {}));
    EXPECT_TRUE(DockingActive(main));
    for (const long state : {1L, 2L}) EXPECT_FALSE(DockingActive({.windowState = state}));
    EXPECT_FALSE(DockingActive({}));
}

TEST(DoodleBoardRules, SwatchTextWidthAndFrameNumbers) {
    EXPECT_EQ(InverseColour(0x0000FF), 0xFFFF00u);
    EXPECT_EQ(InverseColour(0xFFFFFF), 0u);
    EXPECT_EQ(PenWidthForEntry(0), 1);
    EXPECT_EQ(PenWidthForEntry(4), 5);
    EXPECT_EQ(NextFrameIndex({}), 1);
    EXPECT_EQ(NextFrameIndex({1, 3}), 4);  // after frame 2 went, a new one goes above 3
    EXPECT_EQ(NextFrameIndex({1, 2}), 3);
}

TEST(DoodleBoardPen, PencilDrawsWithTheLeftButtonErasesWithTheRightAndFollowsAnyButton) {
    DrawObject shapes;
    BoardPen pen(shapes);
    pen.PenColor(0x0000FF);
    pen.BoardColor(0x00FF00);
    FakeDrawing canvas;
    pen.MouseDown(canvas, kLeftButton, 15, 15);
    EXPECT_TRUE(pen.MouseMove(canvas, kLeftButton, 30, 45));
    EXPECT_TRUE(pen.MouseMove(canvas, kRightButton, 60, 45));
    EXPECT_TRUE(pen.MouseMove(canvas, kMiddleButton, 90, 90));   // moves the point, draws nothing
    EXPECT_FALSE(pen.MouseMove(canvas, 0, 300, 300));             // no button: nothing at all
    EXPECT_TRUE(pen.MouseMove(canvas, kLeftButton, 105, 90));
    EXPECT_EQ(canvas.strokes, (std::vector<Stroke>{{Stroke::Segment, {15, 15}, {30, 45}, kCopyPen, 0x0000FF},
                                                   {Stroke::Segment, {30, 45}, {60, 45}, kCopyPen, 0x00FF00},
                                                   {Stroke::Segment, {90, 90}, {105, 90}, kCopyPen, 0x0000FF}}));
    pen.MouseUp(canvas);
    EXPECT_EQ(shapes.Count(), 0);
}

TEST(DoodleBoardPen, AShapeStartedWithAnyButtonIsRubberBandedThenDrawnAndKept) {
    for (const unsigned button : {kLeftButton, kRightButton, kMiddleButton}) {
        DrawObject shapes;
        BoardPen pen(shapes);
        pen.CurTool(Tool::Rectangle);
        FakeDrawing canvas;
        pen.MouseDown(canvas, button, 150, 150);
        EXPECT_TRUE(pen.Dragging());
        pen.MouseMove(canvas, button, 300, 450);
        pen.MouseMove(canvas, button, 600, 300);
        pen.MouseUp(canvas);
        EXPECT_FALSE(pen.Dragging());
        ASSERT_EQ(shapes.Count(), 1);
        const auto rec = shapes.Item(1);
        EXPECT_EQ(rec->Kind(), ShapeKind::Rec);
        EXPECT_EQ(rec->Color(), kInitialPenColor);
        // The band's first outline, two XOR outlines per move, the final one with the copy pen.
        ASSERT_EQ(canvas.strokes.size(), 6u);
        EXPECT_EQ(canvas.strokes[0].mode, kXorPen);
        EXPECT_EQ(canvas.strokes[0], canvas.strokes[1]);  // the first move takes the start mark away
        EXPECT_EQ(canvas.strokes.back(), (Stroke{Stroke::Box, {150, 300}, {600, 150}, kCopyPen, kInitialPenColor}));
    }
}

TEST(PluginPaths, TheSettingsFileIsTheProgramFoldersSetIni) {
    EXPECT_EQ(plugins::InitIniPath(L"C:\\Parlix\\Plugins"), L"C:\\Parlix\\set.ini");
    EXPECT_EQ(plugins::InitIniPath(L"C:\\Plugins\\Parlix\\Plugins"), L"C:\\set.ini");  // the first one
    EXPECT_FALSE(plugins::InitIniPath(L"C:\\Parlix\\plugins"));                         // exact case only
    EXPECT_FALSE(plugins::InitIniPath(L"C:\\Parlix"));
    EXPECT_EQ(plugins::VersionText(1, 0, 3), L"1.0.3");
}

}  // namespace
}  // namespace parlix::doodle
