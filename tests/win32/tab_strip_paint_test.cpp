// The painted strip read back pixel by pixel in a shown window, in both skins with the tabs at
// the top and at the bottom: the gradient rows of normal, selected, unread and coloured tabs,
// the frames of the selected and the hot tab, the lock picture, the caption colour, the strip
// right of the last tab and the edges of the display area; the hot look follows the mouse,
// goes when the mouse leaves, and a move of the mouse paints only the two tabs it concerns.
#include "tests/support/strip_window.h"
#include "tests/support/windows.h"
#include "ui/tab_icon_cache_win.h"
#include "ui/tab_paint.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace parlix::test {
namespace {

using paint::Colour;
using paint::GradientStep;
using paint::ShadeColor;

constexpr int kNormal = 0, kSelected = 1, kCustom = 2, kUnread = 3, kLocked = 4;
constexpr Colour kTabColour = 0x3070D0;
constexpr COLORREF kLockPicture = 0x00A000;

// The gradient's colour at pixel row py of a tab filled from colour: the rows of each skin
// (their first row, their count less one for the XP skin) counted from the strip side.
Colour GradientAt(bool xp, bool bottom, const RECT& r, Colour colour, int py) {
    const int y = py - 1;  // row y is drawn one pixel lower
    const int T = r.top, B = r.bottom;
    int span = 0, distance = 0;
    if (!xp) {
        span = B - T + 3;
        distance = bottom ? B - y : y - T;
    } else {
        span = bottom ? B - T + 1 : B - T;
        distance = bottom ? B - 1 - y : y - T;
    }
    return ShadeColor(ShadeColor(colour, 48), GradientStep(distance, span));
}

class StripPaintTest : public testing::TestWithParam<std::tuple<bool, bool>> {
protected:
    void SetUp() override {
        ::SetCursorPos(700, 500);
        look_.xp = std::get<0>(GetParam());
        look_.tabColours[kCustom] = kTabColour;
        strip_ = std::make_unique<StripWindow>(look_, Bottom());
        TabControl& tabs = strip_->Tabs();
        tabs.CustomColor(true);
        // Picture 0 is the lock picture: a plain square here, to be found by its colour.
        ScopedBitmap lock(Square(kLockPicture));
        tabs.SetImageList(16, 16, lock.get(), RGB(255, 0, 255));
        strip_->Show({L"Alpha", L"Bravo", L"Charlie", L"Delta", L"Echo"}, kSelected);
        tabs.SetItemImage(0, kLocked);
        tabs.HilightItem(kUnread, true);
        strip_->Repaint();
        ::GetClientRect(tabs.hwnd(), &client_);
    }

    [[nodiscard]] bool Xp() const { return look_.xp; }
    [[nodiscard]] bool Bottom() const { return std::get<1>(GetParam()); }
    [[nodiscard]] RECT Item(int i) const { return strip_->Tabs().GetItemRect(i); }
    [[nodiscard]] COLORREF Pixel(int x, int y) const { return strip_->Pixel(x, y); }
    // Left of the caption, halfway down the tab.
    [[nodiscard]] COLORREF FillPixel(int i) const {
        const RECT r = Item(i);
        return Pixel(r.left + 3, (r.top + r.bottom) / 2);
    }
    [[nodiscard]] Colour ExpectedFill(int i, Colour colour) const {
        const RECT r = Item(i);
        return GradientAt(Xp(), Bottom(), r, colour, (r.top + r.bottom) / 2);
    }
    // The second row of a lifted frame (selected or hot) outside the tab: its outermost row
    // stays above every tab, as each tab is drawn hot in turn while the window paints.
    [[nodiscard]] COLORREF LiftPixel(int i) const {
        const RECT r = Item(i);
        if (Xp()) return Pixel(r.left + 5, Bottom() ? r.bottom + 1 : r.top - 1);
        return Pixel(r.left + 5, Bottom() ? r.bottom : r.top - 1);
    }
    [[nodiscard]] Colour LiftColour() const { return Xp() ? 0x3CC7FF : ShadeColor(look_.palette.selected, 80); }

    static HBITMAP Square(COLORREF c) {
        BITMAPINFO bi{};
        bi.bmiHeader = {sizeof(BITMAPINFOHEADER), 16, -16, 1, 32, BI_RGB};
        void* bits = nullptr;
        const HBITMAP bmp = ::CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
        auto* px = static_cast<DWORD*>(bits);
        for (int i = 0; i < 256; ++i) px[i] = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
        return bmp;
    }

    FixedLook look_;
    std::unique_ptr<StripWindow> strip_;
    RECT client_{};
};

TEST_P(StripPaintTest, TabsAreFilledFromTheirColoursAsGradients) {
    const paint::Palette& p = look_.palette;
    EXPECT_EQ(FillPixel(kNormal), static_cast<COLORREF>(ExpectedFill(kNormal, p.normal)));
    EXPECT_EQ(FillPixel(kCustom), static_cast<COLORREF>(ExpectedFill(kCustom, kTabColour))) << "its own colour";
    EXPECT_EQ(FillPixel(kUnread), static_cast<COLORREF>(ExpectedFill(kUnread, p.hot))) << "unread";
    EXPECT_EQ(FillPixel(kSelected), static_cast<COLORREF>(ExpectedFill(kSelected, p.selected)));
    // Tabs at the top start from the base colour at their top row.
    if (!Bottom()) {
        const RECT s = Item(kSelected);
        EXPECT_EQ(Pixel(s.left + 3, s.top + 1), static_cast<COLORREF>(ShadeColor(p.selected, 48)));
    }
    // Per-tab colours count only while the control asks for them.
    strip_->Tabs().CustomColor(false);
    strip_->Repaint();
    EXPECT_EQ(FillPixel(kCustom), static_cast<COLORREF>(ExpectedFill(kCustom, p.normal)));
    // An unread tab that is selected keeps the unread colour.
    strip_->Tabs().Selected(kUnread);
    strip_->Repaint();
    EXPECT_EQ(FillPixel(kUnread), static_cast<COLORREF>(ExpectedFill(kUnread, p.hot)));
}

TEST_P(StripPaintTest, FramesEdgesBackgroundLockAndCaption) {
    const paint::Palette& p = look_.palette;
    const RECT s = Item(kSelected), n = Item(kNormal), last = Item(kLocked);
    EXPECT_EQ(LiftPixel(kSelected), static_cast<COLORREF>(LiftColour())) << "selected tab's frame";
    if (Xp()) {
        // A normal tab's frame: one line just outside it.
        EXPECT_EQ(Pixel(n.left + 5, Bottom() ? n.bottom + 1 : n.top - 1), 0xB4A791u);
    } else {
        EXPECT_EQ(Pixel(s.left + 5, Bottom() ? s.bottom + 1 : s.top - 2),
                  static_cast<COLORREF>(ShadeColor(p.selected, -32)));
    }
    // The strip right of the last tab, a gradient of its own from tab_Normal.
    const Colour bg = ShadeColor(p.normal, 48);
    if (!Bottom()) {
        const int y = s.bottom / 2;
        EXPECT_EQ(Pixel(last.right + 10, y),
                  static_cast<COLORREF>(ShadeColor(bg, GradientStep(y, s.bottom))));
    } else {
        const int y = (s.top + last.bottom) / 2;
        EXPECT_EQ(Pixel(last.right + 10, y),
                  static_cast<COLORREF>(ShadeColor(bg, GradientStep(last.bottom - y, last.bottom - s.top - 1))));
    }
    // The display area's edges: both skins with the tabs at the top, only the QQ skin's two
    // lines beside the selected tab at the bottom.
    if (!Bottom()) {
        const int mid = (s.bottom + client_.bottom) / 2;
        EXPECT_EQ(Pixel(1, mid), 0x9C9B91u);
        EXPECT_EQ(Pixel(client_.right - 1, mid), 0xD0E0E3u);
        EXPECT_EQ(Pixel(client_.right / 2, client_.bottom - 2), 0xBFCED0u);
    } else if (!Xp()) {
        EXPECT_EQ(Pixel(s.right + 8, s.top - 2), static_cast<COLORREF>(ShadeColor(p.selected, -32)));
        EXPECT_EQ(Pixel(s.right + 8, s.top - 1), 0xFFFFFFu);
    } else {
        // The XP skin leaves the raised edge of the display area as a tab window has it.
        EXPECT_EQ(Pixel(0, s.top / 2), ::GetSysColor(COLOR_BTNHIGHLIGHT)) << "no edge round the display area";
    }
    // The lock picture at 6 pixels from the tab's left, centred; the caption right of it.
    const paint::IconPlace icon = paint::PlaceIcon({last.left, last.top, last.right, last.bottom});
    EXPECT_EQ(Pixel(icon.x + 8, icon.y + 8), kLockPicture);
    int textPixels = 0;
    for (int x = icon.captionLeft; x < last.right; ++x)
        for (int y = last.top; y < last.bottom; ++y) textPixels += Pixel(x, y) == static_cast<COLORREF>(look_.text);
    EXPECT_GT(textPixels, 5) << "no caption in tab_Text";
}

TEST_P(StripPaintTest, HotLookFollowsTheMouseAndGoesWhenItLeaves) {
    const RECT u = Item(kUnread), c = Item(kCustom);
    ASSERT_NE(LiftPixel(kUnread), static_cast<COLORREF>(LiftColour()));
    // The mouse comes from the coloured tab onto the unread one. The moves are told to the
    // window directly: the cursor itself stays away, so the system adds no moves of its own
    // and the 1 ms timer, once it runs, finds the mouse gone.
    strip_->MouseAt((c.left + c.right) / 2, (c.top + c.bottom) / 2);
    // A tab far from the mouse is marked: a paint of the whole strip would remove the mark.
    const COLORREF mark = 0xFF00FF;
    const RECT away = Item(kNormal);
    {
        const HDC dc = ::GetDC(strip_->Tabs().hwnd());
        ::SetPixel(dc, away.left + 3, (away.top + away.bottom) / 2, mark);
        ::ReleaseDC(strip_->Tabs().hwnd(), dc);
    }
    strip_->MouseAt((u.left + u.right) / 2, (u.top + u.bottom) / 2);
    EXPECT_EQ(strip_->Skin().HotTab(), kUnread);
    EXPECT_EQ(LiftPixel(kUnread), static_cast<COLORREF>(LiftColour())) << "no hot look";
    EXPECT_NE(LiftPixel(kCustom), static_cast<COLORREF>(LiftColour())) << "the tab left keeps the hot look";
    EXPECT_EQ(FillPixel(kUnread), static_cast<COLORREF>(ExpectedFill(kUnread, look_.palette.hot)));
    EXPECT_EQ(FillPixel(kNormal), mark) << "the whole strip was painted for a hover";
    const RECT again = strip_->Skin().LastRepaintBounds();
    EXPECT_GE(again.left, c.left - 2);
    EXPECT_LE(again.right, u.right + 3);

    // The timer finds the mouse outside the strip; the tab is drawn without the hot look.
    EXPECT_TRUE(WaitFor([&] {
        StripWindow::Pump();
        return LiftPixel(kUnread) != static_cast<COLORREF>(LiftColour());
    })) << "the hot look stayed";
    EXPECT_EQ(strip_->Skin().HotTab(), kSelected);
    EXPECT_EQ(LiftPixel(kSelected), static_cast<COLORREF>(LiftColour()));
}

// The row gets shorter when a caption does (an unread count read) or tabs go: where tabs were is
// the strip's background again, not what was painted there before.
TEST_P(StripPaintTest, ThePlaceOfTabsThatShrankOrWentIsPaintedAsTheStrip) {
    TabControl& tabs = strip_->Tabs();
    tabs.SetItemText(kLocked, L"Echo Echo Echo (12)");
    strip_->Repaint();
    const RECT wide = Item(kLocked);
    const int y = (wide.top + wide.bottom) / 2;
    tabs.SetItemText(kLocked, L"Echo");
    StripWindow::Pump();
    EXPECT_EQ(Pixel(wide.right - 2, y), Pixel(Item(kLocked).right + 10, y)) << "a trace of the wider tab stayed";

    const RECT gone = Item(kLocked);
    tabs.DelItem(kLocked);
    tabs.DelItem(kUnread);
    StripWindow::Pump();
    EXPECT_EQ(Pixel(gone.right - 2, y), Pixel(Item(kCustom).right + 10, y)) << "a trace of a tab that went stayed";
}

// A tab's icon surface drawn through the cache: black stays see-through, and a surface drawn
// afresh is shown as it is now, not as it was first read.
TEST(TabIconCache, DrawsTheSurfaceAsItIsWithBlackSeeThrough) {
    const auto surface = [](COLORREF left) {
        ScopedMemoryDc dc(::CreateCompatibleDC(nullptr));
        BITMAPINFO bi{};
        bi.bmiHeader = {sizeof(BITMAPINFOHEADER), 32, -32, 1, 32, BI_RGB};
        void* bits = nullptr;
        ScopedBitmap bitmap(::CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
        ::SelectObject(dc.get(), bitmap.get());
        RECT all{0, 0, 32, 32}, half{0, 0, 16, 32};
        ::FillRect(dc.get(), &all, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
        ScopedBrush brush(::CreateSolidBrush(left));
        ::FillRect(dc.get(), &half, brush.get());
        return std::pair{std::move(dc), std::move(bitmap)};
    };
    auto [dc, bitmap] = surface(RGB(200, 0, 0));
    ScopedMemoryDc dest(::CreateCompatibleDC(nullptr));
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), 40, -40, 1, 32, BI_RGB};
    void* bits = nullptr;
    ScopedBitmap target(::CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    ::SelectObject(dest.get(), target.get());
    RECT all{0, 0, 40, 40};
    ::FillRect(dest.get(), &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));

    TabIconCache cache;
    ASSERT_TRUE(cache.Draw(dest.get(), dc.get(), 4, 4, 16));
    EXPECT_EQ(::GetPixel(dest.get(), 6, 10), RGB(200, 0, 0));
    EXPECT_EQ(::GetPixel(dest.get(), 16, 10), RGB(255, 255, 255)) << "black was drawn";
    EXPECT_EQ(::GetPixel(dest.get(), 21, 10), RGB(255, 255, 255)) << "drawn past its size";
    // The same surface with another icon in it.
    ScopedBrush blue(::CreateSolidBrush(RGB(0, 0, 200)));
    RECT half{0, 0, 16, 32};
    ::FillRect(dc.get(), &half, blue.get());
    ASSERT_TRUE(cache.Draw(dest.get(), dc.get(), 4, 4, 16));
    EXPECT_EQ(::GetPixel(dest.get(), 6, 10), RGB(0, 0, 200)) << "a stale icon was drawn";
    EXPECT_EQ(cache.size(), 1u);
    cache.Trim(0);
    EXPECT_EQ(cache.size(), 0u);
}

std::string Name(const testing::TestParamInfo<std::tuple<bool, bool>>& info) {
    return std::string(std::get<0>(info.param) ? "XpSkin" : "QqSkin") + (std::get<1>(info.param) ? "Bottom" : "Top");
}

INSTANTIATE_TEST_SUITE_P(Skins, StripPaintTest,
                         testing::Combine(testing::Bool(), testing::Bool()), Name);

}  // namespace
}  // namespace parlix::test
