// The board's view of the host through the host object it was connected with: CurrentWin's
// SayHwnd, and the main window's members read by name at run time (MainForm: hwnd, ScaleWidth,
// WindowState, Left, Top, Height, btnTab.Bottom, btnTab.GetHeaderHeight). Every read that fails
// (no object, a missing member, a main window gone) answers "unknown".
#pragma once

#include "base/com_win.h"
#include "contract/nexcor.h"
#include "plugins/doodle/board_win.h"

#include <optional>

namespace parlix::doodle {

class CoreHost final : public BoardHost {
public:
    explicit CoreHost(ComPtr<_Parlix_Core> core) noexcept : core_(std::move(core)) {}

    [[nodiscard]] HWND SayHwnd() override;
    [[nodiscard]] MainFacts ReadMain() override;
    [[nodiscard]] HWND MainHwnd();
    [[nodiscard]] std::optional<long> ScaleWidth();
    // Drops the host object (disconnection): every read answers "unknown" from then on.
    void Release() noexcept { core_.reset(); }

private:
    [[nodiscard]] ComPtr<IDispatch> MainForm();

    ComPtr<_Parlix_Core> core_;
};

}  // namespace parlix::doodle
