#include "plugins/doodle/property_page_win.h"

#include "base/window_base_win.h"
#include "contract/automation_object.h"
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
    using com::AutomationMember;
    const std::weak_ptr<State> weak = state_;
    const auto window = [weak]() -> HWND {
        const std::shared_ptr<State> s = weak.lock();
        return s ? s->window.get() : nullptr;
    };
    form_ = com::AutomationObject::Create({
        {L"hWnd",
         [window](VARIANT& v) {
             const HWND w = window();
             return w ? com::SetLong(v, static_cast<long>(reinterpret_cast<std::intptr_t>(w))) : E_UNEXPECTED;
         },
         {}, {}},
        {L"Move", {}, {},
         [window](std::span<const VARIANT> args, VARIANT&) -> HRESULT {
             const HWND w = window();
             if (!w) return E_UNEXPECTED;
             if (args.empty() || args.size() > 4) return DISP_E_BADPARAMCOUNT;
             RECT r{};
             ::GetWindowRect(w, &r);
             long twips[4] = {0, 0, PixelsToTwips(r.right - r.left), PixelsToTwips(r.bottom - r.top)};
             for (size_t i = 0; i < args.size(); ++i)
                 if (FAILED(com::LongOf(args[i], twips[i]))) return DISP_E_TYPEMISMATCH;
             ::MoveWindow(w, TwipsToPixels(twips[0]), TwipsToPixels(twips[1]), TwipsToPixels(twips[2]),
                          TwipsToPixels(twips[3]), TRUE);
             return S_OK;
         }},
        {L"Show", {}, {},
         [window](std::span<const VARIANT>, VARIANT&) -> HRESULT {
             const HWND w = window();
             if (!w) return E_UNEXPECTED;
             ::ShowWindow(w, SW_SHOW);
             return S_OK;
         }},
    });
    return form_;
}

void PropertyPage::Close() noexcept {
    form_.reset();
    state_.reset();
}

}  // namespace parlix::doodle
