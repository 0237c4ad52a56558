// ShadeButton as a window: a click is a press and a release inside it, reported to the parent as
// a button's BN_CLICKED; a release outside is no click; a disabled button's caption is grey.
#include "ui/shade_button_win.h"

#include <gtest/gtest.h>

#include <commctrl.h>

using namespace parlix;

namespace {

int g_clicks = 0;

LRESULT CALLBACK CountClicks(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    if (msg == WM_COMMAND && LOWORD(wParam) == 42 && HIWORD(wParam) == BN_CLICKED) ++g_clicks;
    return ::DefSubclassProc(hwnd, msg, wParam, lParam);
}

class ShadeButtonWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_clicks = 0;
        parent = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 200, 100, nullptr, nullptr, nullptr,
                                   nullptr);
        ::SetWindowSubclass(parent, CountClicks, 1, 0);
        ASSERT_TRUE(button.Create(parent, 42, L"btnOKShade", 10, 10, 90, 28));
    }
    void TearDown() override {
        ::RemoveWindowSubclass(parent, CountClicks, 1);
        ::DestroyWindow(parent);
    }
    void Mouse(UINT msg, int x, int y, WPARAM keys) { ::SendMessageW(button.Hwnd(), msg, keys, MAKELPARAM(x, y)); }

    HWND parent = nullptr;
    ShadeButton button;
};

TEST_F(ShadeButtonWindowTest, PressAndReleaseInsideIsOneClick) {
    EXPECT_EQ(button.Caption(), L"btnOK");
    Mouse(WM_LBUTTONDOWN, 20, 10, MK_LBUTTON);
    EXPECT_EQ(button.Fade().State(), kShadePressed);
    Mouse(WM_LBUTTONUP, 20, 10, 0);
    EXPECT_EQ(g_clicks, 1);
    EXPECT_EQ(button.Fade().State(), kShadeHot);
    ::SendMessageW(button.Hwnd(), BM_CLICK, 0, 0);
    EXPECT_EQ(g_clicks, 2);
}

TEST_F(ShadeButtonWindowTest, ReleaseOutsideIsNoClick) {
    Mouse(WM_LBUTTONDOWN, 20, 10, MK_LBUTTON);
    Mouse(WM_MOUSEMOVE, 150, 60, MK_LBUTTON);
    Mouse(WM_LBUTTONUP, 150, 60, 0);
    EXPECT_EQ(g_clicks, 0);
    EXPECT_EQ(button.Fade().State(), kShadeNormal);
}

TEST_F(ShadeButtonWindowTest, DisabledCaptionIsGreyWhateverItsColour) {
    button.ForeColor(0x0000FF);
    EXPECT_EQ(button.CaptionColour(), 0x0000FF);
    ::EnableWindow(button.Hwnd(), FALSE);
    EXPECT_FALSE(button.Enabled());
    EXPECT_EQ(button.CaptionColour(), kShadeGreyText);
    ::EnableWindow(button.Hwnd(), TRUE);
    EXPECT_EQ(button.CaptionColour(), 0x0000FF);
}

}  // namespace
