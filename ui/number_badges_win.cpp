#include "ui/number_badges_win.h"

#include "base/dpi.h"
#include "base/dpi_win.h"

#include <algorithm>
#include <string>

namespace parlix {

namespace {
constexpr wchar_t kBadgeClass[] = L"Parlix.picNum";
constexpr int kBadgeWidth = 15, kBadgeHeight = 16;  // pixels at 96 dpi, as the offset below
constexpr COLORREF kBadgeBack = 0x0080FF;  // orange
constexpr COLORREF kBadgeText = 0x00FFFF;  // yellow
}  // namespace

class NumberBadges::Badge final : public WindowBase {
public:
    Badge(HWND parent, int number, HFONT font, int dpi) : number_(number), font_(font) {
        RegisterClassOnce(kBadgeClass, nullptr, nullptr);
        Create(kBadgeClass, L"", WS_CHILD | WS_CLIPSIBLINGS, 0, 0, 0, ScaleForDpi(kBadgeWidth, dpi),
               ScaleForDpi(kBadgeHeight, dpi), parent);
    }
    void SetFont(HFONT font, int dpi) {
        font_ = font;
        ::SetWindowPos(Hwnd(), nullptr, 0, 0, ScaleForDpi(kBadgeWidth, dpi), ScaleForDpi(kBadgeHeight, dpi),
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        ::InvalidateRect(Hwnd(), nullptr, TRUE);
    }

private:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg != WM_PAINT) return WindowBase::HandleMessage(msg, wParam, lParam);
        PAINTSTRUCT ps;
        const HDC dc = ::BeginPaint(Hwnd(), &ps);
        RECT r;
        ::GetClientRect(Hwnd(), &r);
        ScopedBrush back(::CreateSolidBrush(kBadgeBack));
        ::FillRect(dc, &r, back.get());
        {
            ScopedSelect sel(dc, font_);
            ::SetBkMode(dc, TRANSPARENT);
            ::SetTextColor(dc, kBadgeText);
            const std::wstring text = std::to_wstring(number_);
            ::DrawTextW(dc, text.c_str(), -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        }
        ::EndPaint(Hwnd(), &ps);
        return 0;
    }
    int number_;
    HFONT font_;
};

NumberBadges::NumberBadges() = default;
NumberBadges::~NumberBadges() = default;

void NumberBadges::Create(HWND parent, int dpi) {
    dpi_ = dpi;
    font_ = PointFont(L"Arial Black", 9, 900, DEFAULT_CHARSET, dpi);
    for (int i = 0; i < 9; ++i) badges_[i] = std::make_unique<Badge>(parent, i + 1, font_.get(), dpi);
    HideNumer();
}

void NumberBadges::SetDpi(int dpi) {
    ScopedFont font = PointFont(L"Arial Black", 9, 900, DEFAULT_CHARSET, dpi);
    for (auto& b : badges_)
        if (b) b->SetFont(font.get(), dpi);
    // The old font goes only once no badge paints with it.
    font_ = std::move(font);
    dpi_ = dpi;
}

void NumberBadges::ShowNumer(int count, const std::function<RECT(int)>& tabRect) {
    const int n = std::min(count, 9);
    for (int i = 0; i < n; ++i) {
        const RECT r = tabRect(i);
        ::SetWindowPos(badges_[i]->Hwnd(), HWND_TOP, r.left + (r.right - r.left) / 2, r.top + ScaleForDpi(2, dpi_), 0, 0,
                       SWP_NOSIZE | SWP_SHOWWINDOW);
        ::InvalidateRect(badges_[i]->Hwnd(), nullptr, TRUE);
    }
    // Placed again after a tab went: the badge of a tab that no longer exists goes too.
    for (int i = n; i < 9; ++i)
        if (badges_[i]) ::ShowWindow(badges_[i]->Hwnd(), SW_HIDE);
}

void NumberBadges::HideNumer() {
    for (auto& b : badges_)
        if (b) ::ShowWindow(b->Hwnd(), SW_HIDE);
}

HWND NumberBadges::BadgeWindow(int number) const {
    return number >= 1 && number <= 9 && badges_[number - 1] ? badges_[number - 1]->Hwnd() : nullptr;
}

}  // namespace parlix
