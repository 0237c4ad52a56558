// Index arithmetic of the tab strip: where the selection goes when tabs are deleted or moved.
// Positions are the tab window's 0-based item indexes; -1 stands for "no tab".
#pragma once

namespace parlix::tabs {

// The tab to select after the tab at `deleted` went (deleted < 0: nothing was deleted). The
// selected tab keeps the selection when it survives; when it was the one deleted, its right
// neighbour (now at the same index) takes it, or the new last tab. -1 when no tab is left or
// nothing was selected.
[[nodiscard]] int SelectionAfterDelete(int selected, int deleted, int countAfter) noexcept;

// Index of the moved tab once the copy inserted at `insertedAt` stands and the original at
// `from` is gone.
[[nodiscard]] int MovedTabIndex(int from, int insertedAt) noexcept;

// Where the tab that was at `index` stands after the tab at `from` moved to `movedTo` (the
// others close the gap and make room).
[[nodiscard]] int IndexAfterMove(int index, int from, int movedTo) noexcept;

}  // namespace parlix::tabs
