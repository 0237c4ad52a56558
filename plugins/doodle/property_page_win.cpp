#include "plugins/doodle/property_page_win.h"

#include "base/window_base_win.h"
#include "plugins/common/page_form_win.h"
#include "plugins/doodle/board_rules.h"

#include <cstdint>

namespace parlix::doodle {

namespace {

constexpr int kPageWidth = 333, kPageHeight = 200;  // 5000 × 3000 twips

}  // namespace

bool PropertyPage::Load() {
    auto state = std::make_shared<State>();
    const HINSTANCE module = WindowBase::Module();
    state->window.reset(::CreateWindowExW(0, L"Static", L"", WS_POPUP | WS_CLIPCHILDREN, 0, 0, kPageWidth, kPageHeight,
                                          nullptr, nullptr, module, nullptr));
    if (!state->window) return false;
    // A child from now on, so that the host can embed it.
    const HWND page = state->window.get();
    ::SetWindowLongW(page, GWL_STYLE, (::GetWindowLongW(page, GWL_STYLE) & ~WS_POPUP) | WS_CHILD);
    // "保存设置": there is nothing to save.
    const HWND save = ::CreateWindowExW(0, L"Button", L"保存设置", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 8, 8, 80, 24,
                                        page, nullptr, module, nullptr);
    if (save) ::SendMessageW(save, WM_SETFONT, reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    state_ = std::move(state);
    return true;
}

ComPtr<IDispatch> PropertyPage::Form() {
    if (form_) return form_;
    if (!state_ && !Load()) return nullptr;
    const std::weak_ptr<State> weak = state_;
    const auto window = [weak]() -> HWND {
        const std::shared_ptr<State> s = weak.lock();
        return s ? s->window.get() : nullptr;
    };
    form_ = plugins::MakePageForm(window);
    return form_;
}

void PropertyPage::Close() noexcept {
    form_.reset();
    state_.reset();
}

}  // namespace parlix::doodle
