// picNum: the number hints 1 to 9 shown on the first nine tabs while Ctrl is held.
#pragma once

#include "base/scoped_win.h"
#include "base/window_base_win.h"

#include <array>
#include <functional>
#include <memory>

namespace parlix {

class NumberBadges {
public:
    NumberBadges();
    ~NumberBadges();
    // Creates badges 1 to 9 as hidden children of parent, drawn for dpi.
    void Create(HWND parent, int dpi);
    // Size and font for another dpi; shown badges are placed again by the next ShowNumer.
    void SetDpi(int dpi);
    // Shows badge i on tab i - 1 for the first min(count, 9) tabs; tabRect gives a tab's rectangle
    // in the parent's client coordinates.
    void ShowNumer(int count, const std::function<RECT(int index)>& tabRect);
    void HideNumer();
    [[nodiscard]] HWND BadgeWindow(int number) const;

private:
    class Badge;
    std::array<std::unique_ptr<Badge>, 9> badges_;
    ScopedFont font_;  // "Arial Black" 9 pt, weight 900
    int dpi_ = 96;
};

}  // namespace parlix
