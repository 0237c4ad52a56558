// Where the selection and the tabs go when tabs are deleted or moved.
#include "ui/tab_index.h"

#include <gtest/gtest.h>

namespace parlix::tabs {
namespace {

TEST(TabIndex, SelectionAfterDeleteKeepsTheSelectedTabOrItsNeighbour) {
    const struct {
        int selected, deleted, countAfter, expected;
    } cases[] = {
        {2, 0, 3, 1},   // a tab to the left went: the selection moves with its tab
        {1, 3, 3, 1},   // a tab to the right went: nothing moves
        {1, 1, 3, 1},   // the selected tab went: its right neighbour takes its place
        {3, 3, 3, 2},   // the selected last tab went: the new last tab
        {0, 0, 0, -1},  // nothing left
        {-1, 0, 2, -1}, // nothing was selected
        {2, -1, 2, 1},  // nothing deleted but fewer tabs: clamped to the last
    };
    for (const auto& c : cases)
        EXPECT_EQ(SelectionAfterDelete(c.selected, c.deleted, c.countAfter), c.expected)
            << c.selected << " " << c.deleted << " " << c.countAfter;
}

TEST(TabIndex, MovesShiftTheTabsBetweenSourceAndTarget) {
    EXPECT_EQ(MovedTabIndex(3, 1), 1);  // inserted left of the original
    EXPECT_EQ(MovedTabIndex(1, 4), 3);  // inserted right of it: one less once it goes
    const struct {
        int index, from, to, expected;
    } cases[] = {
        {1, 1, 3, 3}, {2, 1, 3, 1}, {3, 1, 3, 2}, {4, 1, 3, 4},  // moved right
        {3, 3, 1, 1}, {1, 3, 1, 2}, {2, 3, 1, 3}, {0, 3, 1, 0},  // moved left
        {-1, 0, 2, -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IndexAfterMove(c.index, c.from, c.to), c.expected) << c.index << " " << c.from << "→" << c.to;
}

}  // namespace
}  // namespace parlix::tabs
