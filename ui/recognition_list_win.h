// The main window's list of recognised chat windows: one line per window with its caption,
// group flag, client kind and process, tab-separated. It stands where the tab strip will be
// and lets the end-to-end tests read the decisions (LB_GETTEXT) from outside.
#pragma once

#include "capture/recognition.h"

#include <windows.h>

#include <unordered_set>

namespace parlix {

class RecognitionList {
public:
    void Create(HWND parent);
    void Move(const RECT& r);
    void Add(HWND window, const Recognition& recognition);
    [[nodiscard]] bool Contains(HWND window) const { return windows_.contains(window); }
    [[nodiscard]] size_t Count() const noexcept { return windows_.size(); }

private:
    HWND list_ = nullptr;  // child of the main window, destroyed with it
    std::unordered_set<HWND> windows_;
};

// "caption<TAB>isGroup(0/1)<TAB>version<TAB>processId<TAB>window" as the list shows it.
[[nodiscard]] std::wstring RecognitionLine(HWND window, const Recognition& recognition);

}  // namespace parlix
