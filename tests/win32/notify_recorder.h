// A window of the test process standing in for Parlix's main window: it records the
// WM_HOOKNOTIFY, WM_HOTKEY and WM_MOUSEWHEEL messages the hook library sends it.
#pragma once

#include "base/window_base_win.h"
#include "hook/hook_protocol.h"

#include <vector>

namespace parlix::test {

struct Notice {
    UINT msg;
    WPARAM code;
    LPARAM value;
    friend bool operator==(const Notice&, const Notice&) = default;
};

class NotifyRecorder : public WindowBase {
public:
    NotifyRecorder() {
        RegisterClassOnce(L"Parlix.Test.NotifyRecorder", nullptr, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
        Create(L"Parlix.Test.NotifyRecorder", L"notify", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, 0, 900, 700);
    }
    std::vector<Notice> notices;
    LRESULT gestureAnswer = 0;

    [[nodiscard]] std::vector<Notice> Of(UINT msg, WPARAM code) const {
        std::vector<Notice> out;
        for (const auto& n : notices)
            if (n.msg == msg && n.code == code) out.push_back(n);
        return out;
    }

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == hook::kWmHookNotify || msg == WM_HOTKEY || msg == WM_MOUSEWHEEL) {
            notices.push_back({msg, wParam, lParam});
            if (msg == hook::kWmHookNotify && wParam == hook::kGesture && lParam == hook::kGestureEnd)
                return gestureAnswer;
            return 0;
        }
        return WindowBase::HandleMessage(msg, wParam, lParam);
    }
};

}  // namespace parlix::test
