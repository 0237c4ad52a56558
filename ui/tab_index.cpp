#include "ui/tab_index.h"

namespace parlix::tabs {

int SelectionAfterDelete(int selected, int deleted, int countAfter) noexcept {
    if (selected < 0 || countAfter <= 0) return -1;
    int target = (deleted >= 0 && deleted < selected) ? selected - 1 : selected;
    if (target >= countAfter) target = countAfter - 1;
    return target;
}

int MovedTabIndex(int from, int insertedAt) noexcept {
    // A copy inserted left of the original pushes it one place right; one inserted to its right
    // moves one place left when the original goes.
    return insertedAt <= from ? insertedAt : insertedAt - 1;
}

int IndexAfterMove(int index, int from, int movedTo) noexcept {
    if (index < 0) return index;
    if (index == from) return movedTo;
    if (from < index && index <= movedTo) return index - 1;
    if (movedTo <= index && index < from) return index + 1;
    return index;
}

}  // namespace parlix::tabs
