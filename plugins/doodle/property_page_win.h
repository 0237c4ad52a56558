// frmProperty: the plugin's settings page, a form with the single button "保存设置". The plugin
// has no settings (HasProperty is False, so the host never asks for it); the page exists
// because GetProperty must answer with a form, and its button has nothing to save.
//
// The form is handed out as an automation object the host uses by name: hWnd, Move (left, top
// [, width, height] in twips) and Show. Once the page is closed its members fail.
#pragma once

#include "base/com_win.h"
#include "base/scoped_win.h"

#include <memory>

namespace parlix::doodle {

class PropertyPage {
public:
    PropertyPage() = default;
    PropertyPage(const PropertyPage&) = delete;
    PropertyPage& operator=(const PropertyPage&) = delete;
    ~PropertyPage() { Close(); }

    // The form object; the window is made on the first request.
    [[nodiscard]] ComPtr<IDispatch> Form();
    void Close() noexcept;
    [[nodiscard]] HWND Hwnd() const noexcept { return state_ ? state_->window.get() : nullptr; }

private:
    struct State {
        ScopedOwnWindow window;
    };
    bool Load();

    std::shared_ptr<State> state_;
    ComPtr<IDispatch> form_;
};

}  // namespace parlix::doodle
