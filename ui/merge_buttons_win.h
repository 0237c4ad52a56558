// cmdMerge: the "合并" buttons left in popped-out chat windows. The button is Parlix's own
// window re-parented into the client's window; releasing the mouse on it asks for that window
// to be captured again and the button goes.
#pragma once

#include "base/scoped_win.h"

#include <windows.h>

#include <functional>
#include <map>

namespace parlix {

class MergeButtons {
public:
    explicit MergeButtons(std::function<void(HWND target)> onMerge) : onMerge_(std::move(onMerge)) {}
    MergeButtons(const MergeButtons&) = delete;
    MergeButtons& operator=(const MergeButtons&) = delete;
    ~MergeButtons();

    // Puts button i (the first free index from 1) into target at (5, 5), 48 x 22 (pixels at
    // 96 dpi, scaled for dpi); returns i, 0 on failure.
    int Add(HWND owner, HWND target, int dpi = 96);
    // The window a button sits in (its Tag), null when button i does not exist.
    [[nodiscard]] HWND Target(int index) const;
    [[nodiscard]] HWND Button(int index) const;
    [[nodiscard]] int Count() const;

private:
    static LRESULT CALLBACK Subclass(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR self) noexcept;
    void Unload(int index);

    struct Entry {
        HWND button;
        HWND target;
        ScopedFont font;  // the button's, at the dpi it was made for
    };
    std::map<int, Entry> buttons_;  // by index; a button dies with its target window too
    std::function<void(HWND)> onMerge_;
};

}  // namespace parlix
