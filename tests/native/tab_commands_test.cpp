#include "ui/tab_commands.h"

#include "capture/tab_registry.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>

namespace parlix::tabs {
namespace {

// --- Selection ------------------------------------------------------------------------------

struct Step {
    int selected, count, next, previous;
};

TEST(TabSelection, StepsWrapAtBothEnds) {
    const Step table[] = {
        {0, 3, 1, 2},    // first: previous wraps to the last
        {1, 3, 2, 0},
        {2, 3, 0, 1},    // last: next wraps to the first
        {0, 1, 0, 0},    // one tab stays selected
        {-1, 3, 0, 2},   // nothing selected: first or last
        {5, 3, 0, 2},    // a stale selection past the end counts as none
        {-1, 0, -1, -1}, // no tabs
    };
    for (const Step& s : table) {
        EXPECT_EQ(NextTab(s.selected, s.count), s.next) << s.selected << " of " << s.count;
        EXPECT_EQ(PreviousTab(s.selected, s.count), s.previous) << s.selected << " of " << s.count;
    }
}

// --- Drop: every pressed tab onto every target of four tabs ---------------------------------

class NoResources final : public NodeResources {
public:
    HandleValue IconDc() const noexcept override { return 0; }
    HandleValue IconBitmap() const noexcept override { return 0; }
    void AdoptProcess(HandleValue) noexcept override {}
    HandleValue Process() const noexcept override { return 0; }
};

class NoResourceFactory final : public NodeResourceFactory {
public:
    std::unique_ptr<NodeResources> Create() override { return std::make_unique<NoResources>(); }
};

// The order of a registry of four tabs ABCD after MoveNode(src, dest).
std::string AfterMoveNode(int src, int dest) {
    NoResourceFactory factory;
    TabRegistry registry(factory);
    for (char name : std::string("ABCD")) {
        auto node = registry.CreateNode();
        node->window.hWnd = static_cast<HandleValue>(name);
        EXPECT_TRUE(registry.InsertNode(node));
    }
    EXPECT_TRUE(registry.MoveNode(src, dest)) << src << "," << dest;
    std::string order;
    for (const auto& node : registry.Nodes()) order += static_cast<char>(node->window.hWnd);
    return order;
}

// The order after TabControl::MoveTab(from, to): a copy inserted at `to`, the original deleted.
std::string AfterMoveTab(int from, int to) {
    std::string order = "ABCD";
    order.insert(order.begin() + to, order[static_cast<size_t>(from)]);
    order.erase(order.begin() + (from < to ? from : from + 1));
    return order;
}

struct DropCase {
    int pressed, index;
    const char* expected;  // order of ABCD afterwards
};

TEST(TabDrop, OnAnotherTabMovesTheRegistryAndTheStripAlike) {
    const DropCase table[] = {
        {0, 1, "BACD"}, {0, 2, "BCAD"}, {0, 3, "BCDA"},  // to the right: behind the target
        {1, 0, "BACD"}, {1, 2, "ACBD"}, {1, 3, "ACDB"},
        {2, 0, "CABD"}, {2, 1, "ACBD"}, {2, 3, "ABDC"},
        {3, 0, "DABC"}, {3, 1, "ADBC"}, {3, 2, "ABDC"},  // to the left: before the target
    };
    for (const DropCase& c : table) {
        const Drop drop = DecideDrop(c.pressed, c.index, 4, false, false);
        ASSERT_EQ(drop.action, DropAction::Move) << c.pressed << "->" << c.index;
        const TabMove& m = drop.move;
        EXPECT_EQ(AfterMoveNode(m.src, m.dest), c.expected) << c.pressed << "->" << c.index;
        EXPECT_EQ(AfterMoveTab(m.from, m.to), c.expected) << c.pressed << "->" << c.index;
        EXPECT_EQ(m.select, c.index) << "the moved tab is selected where it landed";
        EXPECT_NE(m.dest, m.src) << "never a no-op the registry refuses";
        EXPECT_NE(m.dest, m.src + 1);
    }
}

TEST(TabDrop, BehindTheLastTabMovesToTheEnd) {
    const DropCase table[] = {{0, -1, "BCDA"}, {1, -1, "ACDB"}, {2, -1, "ABDC"}};
    for (const DropCase& c : table) {
        const Drop drop = DecideDrop(c.pressed, c.index, 4, true, false);
        ASSERT_EQ(drop.action, DropAction::Move);
        EXPECT_EQ(drop.move, (TabMove{c.pressed + 1, 5, c.pressed, 4, 3}));
        EXPECT_EQ(AfterMoveNode(drop.move.src, drop.move.dest), c.expected);
        EXPECT_EQ(AfterMoveTab(drop.move.from, drop.move.to), c.expected);
    }
}

TEST(TabDrop, DropsThatMoveNothing) {
    struct Case {
        int pressed, index, count;
        bool behind, outside;
        DropAction action;
    };
    const Case table[] = {
        {3, -1, 4, true, false, DropAction::None},      // the last tab behind the last tab
        {1, -1, 4, false, false, DropAction::None},     // over the chat area
        {1, 1, 4, false, false, DropAction::Reselect},  // back onto itself
        {1, -1, 4, false, true, DropAction::Detach},    // outside the window: the dragged tab goes
        {3, -1, 4, false, true, DropAction::Detach},
        {-1, 2, 4, false, false, DropAction::None},     // the press was beside the tabs
        {3, 1, 3, false, false, DropAction::None},      // the pressed tab went during the drag
        {0, 3, 3, false, false, DropAction::None},      // so did the target
    };
    for (const Case& c : table)
        EXPECT_EQ(DecideDrop(c.pressed, c.index, c.count, c.behind, c.outside).action, c.action)
            << c.pressed << "->" << c.index << " of " << c.count;
}

// --- Close all / close others --------------------------------------------------------------

// Applies the closes one by one to tabs "ABCD…", deleting by index as the strip does, and
// returns what is left.
std::string Survivors(std::string tabs, const std::vector<int>& order) {
    for (int i : order) tabs.erase(static_cast<size_t>(i), 1);
    return tabs;
}

struct CloseCase {
    std::array<bool, 4> locked;
    int keep;
    const char* left;
};

TEST(TabClose, ClosesEveryUnlockedTabButTheKeptOneAndNoOther) {
    const CloseCase table[] = {
        // Close all.
        {{false, false, false, false}, -1, ""},
        {{true, false, false, false}, -1, "A"},
        {{false, true, false, false}, -1, "B"},
        {{false, false, true, false}, -1, "C"},
        {{false, false, false, true}, -1, "D"},
        {{true, false, true, false}, -1, "AC"},
        {{true, true, true, true}, -1, "ABCD"},
        // Close others, the context tab at every position.
        {{false, false, false, false}, 0, "A"},
        {{false, false, false, false}, 2, "C"},
        {{false, false, false, false}, 3, "D"},
        // A locked tab elsewhere stays, before or after the context tab.
        {{true, false, false, false}, 2, "AC"},
        {{false, false, false, true}, 0, "AD"},
        {{false, true, false, true}, 2, "BCD"},
        // The context tab itself locked.
        {{false, true, false, false}, 1, "B"},
        {{false, true, true, false}, 1, "BC"},
        {{true, true, true, true}, 3, "ABCD"},
    };
    for (const CloseCase& c : table) {
        const std::vector<int> order = TabsToClose(c.locked, c.keep);
        EXPECT_EQ(Survivors("ABCD", order), c.left) << "keep " << c.keep;
        for (size_t k = 1; k < order.size(); ++k) EXPECT_GT(order[k - 1], order[k]) << "highest index first";
    }
}

TEST(TabClose, NothingToCloseOnAnEmptyStrip) { EXPECT_TRUE(TabsToClose({}, -1).empty()); }

// --- Drag feedback --------------------------------------------------------------------------

TEST(TabDragFeedback, StartsOnlyPastTheThresholdWithTheLeftButtonOnAMultiTabStrip) {
    struct Case {
        bool dragging;
        unsigned buttons;
        int count, pressed;
        Offset cursor;
        bool starts;
    };
    const Offset press{50, 10};
    const Case table[] = {
        {false, 1, 3, 1, {56, 10}, true},   // 6 px right
        {false, 1, 3, 1, {50, 4}, true},    // 6 px up
        {false, 1, 3, 1, {55, 15}, false},  // 5 px both ways is still a click
        {false, 9, 3, 1, {60, 10}, true},   // Ctrl held too
        {false, 2, 3, 1, {60, 10}, false},  // right button
        {false, 1, 1, 0, {60, 10}, false},  // a single tab never drags
        {false, 1, 3, -1, {60, 10}, false}, // pressed beside the tabs
        {true, 1, 3, 1, {60, 10}, false},   // already dragging
    };
    for (const Case& c : table)
        EXPECT_EQ(DragStarts(c.dragging, c.buttons, c.count, c.pressed, press, c.cursor), c.starts)
            << c.cursor.x << "," << c.cursor.y << " buttons " << c.buttons;
}

TEST(TabDragFeedback, ZonesOffTheTabs) {
    struct Case {
        Offset client;
        bool outside;
        DragZone zone;
    };
    const Band band{403, 434};  // tabs at the bottom of a 500-wide client area
    const Case table[] = {
        {{250, 420}, false, DragZone::BehindTabs},
        {{250, 403}, false, DragZone::NoDrop},   // band edges excluded
        {{0, 420}, false, DragZone::NoDrop},
        {{250, 200}, false, DragZone::NoDrop},   // chat area
        {{250, -10}, false, DragZone::NoDrop},   // caption bar: a drop there does nothing
        {{250, -40}, true, DragZone::Outside},
        {{600, 420}, true, DragZone::Outside},
    };
    for (const Case& c : table)
        EXPECT_EQ(ClassifyOffTab(c.client, 500, band, c.outside), c.zone) << c.client.x << "," << c.client.y;
}

TEST(TabDragFeedback, OutsideMeansBeyondTheOuterRectangle) {
    const Rect window{100, 100, 300, 200};
    EXPECT_FALSE(OutsideRect(window, {100, 100}));
    EXPECT_FALSE(OutsideRect(window, {299, 199}));
    EXPECT_TRUE(OutsideRect(window, {300, 150}));
    EXPECT_TRUE(OutsideRect(window, {150, 99}));
}

TEST(TabDragFeedback, MarkerStandsWhereTheTabWouldGo) {
    struct Case {
        int pressed, index, count;
        MarkerAt at;
    };
    const Case table[] = {
        {1, 1, 4, {1, false}},   // over itself: its left edge
        {1, 3, 4, {3, true}},    // dragging right: the target's right edge
        {2, 0, 4, {0, false}},   // dragging left: the target's left edge
        {1, -1, 4, {3, true}},   // behind the tabs: after the last
        {3, -1, 4, {2, true}},   // the last tab itself: after the one before it
        {0, -1, 1, {}},          // no marker on a single tab
        {0, 5, 4, {}},           // no such tab
    };
    for (const Case& c : table) EXPECT_EQ(InsertionMarker(c.pressed, c.index, c.count), c.at) << c.pressed << "->" << c.index;
}

// --- Colours and images ----------------------------------------------------------------------

TEST(TabColours, PaletteFollowsTheMenuItems) {
    const std::int32_t normal = 0x123456;
    const std::pair<int, std::optional<std::int32_t>> table[] = {
        {0, normal}, {1, 0x8080FF}, {2, 0xFFC8A6}, {3, 0xFF80}, {4, 0xFFFF}, {5, 0x80FF},
        {kCustomColour, std::nullopt}, {6, std::nullopt}, {-1, std::nullopt}};
    for (const auto& [index, colour] : table) EXPECT_EQ(PaletteColour(index, normal), colour) << index;

    ASSERT_EQ(ColourItems().size(), 7u);
    EXPECT_EQ(ColourItems().back().index, kCustomColour);
}

}  // namespace
}  // namespace parlix::tabs
