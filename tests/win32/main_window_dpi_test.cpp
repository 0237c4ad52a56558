// The main window's view when its dpi changes (WM_DPICHANGED, sent here as the system sends it
// to a window moved to another monitor): fonts, tab images, the tab row, the number badges and
// the notice are measured again for the new dpi, and tabs keep their pictures.
#include "base/dpi.h"
#include "base/dpi_win.h"
#include "ui/main_window_win.h"
#include "ui/tab_images.h"

#include <commctrl.h>
#include <gtest/gtest.h>

namespace parlix::test {
namespace {

// Stands for the program's router: a dpi change goes to the view, as the program passes it on.
class DpiRouter final : public MainWindowRouter {
public:
    explicit DpiRouter(MainWindow& view) : view_(view) {}
    LRESULT Route(UINT msg, WPARAM wParam, LPARAM, bool& handled) override {
        if (msg != kWmDpiChanged) return 0;
        view_.SetDpi(LOWORD(wParam));
        handled = true;
        return 0;
    }

private:
    MainWindow& view_;
};

SIZE WindowSize(HWND window) {
    RECT r{};
    ::GetWindowRect(window, &r);
    return {r.right - r.left, r.bottom - r.top};
}

int FontHeight(HWND window) {
    const auto font = reinterpret_cast<HFONT>(::SendMessageW(window, WM_GETFONT, 0, 0));
    LOGFONTW lf{};
    return font && ::GetObjectW(font, sizeof lf, &lf) ? lf.lfHeight : 0;
}

void SendDpiChange(HWND main, int dpi) {
    RECT suggested{};
    ::GetWindowRect(main, &suggested);
    ::SendMessageW(main, kWmDpiChanged, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
}

TEST(MainWindowDpi, EveryMeasureFollowsTheNewDpiAndTabsKeepTheirPictures) {
    MainWindow view;
    DpiRouter router(view);
    ASSERT_TRUE(view.Create(router));
    view.PrepareStrip();
    const int start = view.Dpi();
    ASSERT_EQ(start, WindowDpi(view.Hwnd())) << "made at its monitor's dpi";
    view.Strip().AddItem(L"张三");
    view.Strip().SetItemImage(1, 0);
    const int header96 = ScaleRounded(view.HeaderHeight(), kBaseDpi, start);

    for (int dpi : {144, 192, 96, start}) {
        SCOPED_TRACE(dpi);
        SendDpiChange(view.Hwnd(), dpi);
        EXPECT_EQ(view.Dpi(), dpi);
        EXPECT_EQ(view.Scale(10), ScaleForDpi(10, dpi));
        // "宋体" 9 pt on the strip, in the window's pixels.
        EXPECT_EQ(FontHeight(view.Strip().hwnd()), -ScaleRounded(9, dpi, 72));
        int cx = 0, cy = 0;
        ASSERT_TRUE(::ImageList_GetIconSize(view.Strip().GetImageList(), &cx, &cy));
        EXPECT_EQ(cx, TabImagesForDpi(dpi).size);
        EXPECT_EQ(cy, TabImagesForDpi(dpi).size);
        EXPECT_EQ(::ImageList_GetImageCount(view.Strip().GetImageList()), 2);
        EXPECT_EQ(view.Strip().GetItemImage(0), 1) << "the tab keeps its picture";
        // The row grows with its font and pictures (not exactly in proportion: borders stay thin).
        if (dpi > kBaseDpi) {
            EXPECT_GT(view.HeaderHeight(), header96 + (dpi - kBaseDpi) / 16);
        }
        // Badges 15 x 16 pixels at 96 dpi.
        const SIZE badge = WindowSize(view.Badges().BadgeWindow(1));
        EXPECT_EQ(badge.cx, ScaleForDpi(15, dpi));
        EXPECT_EQ(badge.cy, ScaleForDpi(16, dpi));
        // The notice: a frame of 360 x 200 pixels at 96 dpi in a large area.
        view.Notice().Move(RECT{0, 0, 2000, 1500});
        const SIZE frame = WindowSize(view.Notice().Frame());
        EXPECT_EQ(frame.cx, ScaleForDpi(360, dpi));
        EXPECT_EQ(frame.cy, ScaleForDpi(200, dpi));
        EXPECT_NE(FontHeight(view.Notice().Label()), 0) << "a font made for the window";
    }
    ::DestroyWindow(view.Hwnd());
}

TEST(MainWindowDpi, TheSameDpiAgainChangesNothing) {
    MainWindow view;
    DpiRouter router(view);
    ASSERT_TRUE(view.Create(router));
    view.PrepareStrip();
    const HIMAGELIST images = view.Strip().GetImageList();
    const auto font = ::SendMessageW(view.Strip().hwnd(), WM_GETFONT, 0, 0);
    SendDpiChange(view.Hwnd(), view.Dpi());
    EXPECT_EQ(view.Strip().GetImageList(), images);
    EXPECT_EQ(::SendMessageW(view.Strip().hwnd(), WM_GETFONT, 0, 0), font);
    ::DestroyWindow(view.Hwnd());
}

}  // namespace
}  // namespace parlix::test
