#include "plugins/common/page_form_win.h"

#include "contract/automation_object.h"

#include <algorithm>
#include <cstdint>
#include <span>

namespace parlix::plugins {

namespace {

constexpr long kTwipsPerPixel = 15;

// To the nearest pixel, halves away from zero; kept within what a window rectangle can hold.
int Pixels(long twips) noexcept {
    const std::int64_t t = twips, half = kTwipsPerPixel / 2;
    const std::int64_t pixels = t >= 0 ? (t + half) / kTwipsPerPixel : -((-t + half) / kTwipsPerPixel);
    return static_cast<int>(std::clamp<std::int64_t>(pixels, -(1 << 30), 1 << 30));
}

}  // namespace

ComPtr<IDispatch> MakePageForm(std::function<HWND()> window) {
    return com::AutomationObject::Create({
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
             // Arguments left out keep the page's place at the origin and its present size.
             RECT r{};
             ::GetWindowRect(w, &r);
             long twips[4] = {0, 0, (r.right - r.left) * kTwipsPerPixel, (r.bottom - r.top) * kTwipsPerPixel};
             for (size_t i = 0; i < args.size(); ++i)
                 if (FAILED(com::LongOf(args[i], twips[i]))) return DISP_E_TYPEMISMATCH;
             ::MoveWindow(w, Pixels(twips[0]), Pixels(twips[1]), Pixels(twips[2]), Pixels(twips[3]), TRUE);
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
}

}  // namespace parlix::plugins
