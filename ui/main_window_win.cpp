#include "ui/main_window_win.h"

#include "base/dpi.h"
#include "base/dpi_win.h"
#include "base/product_info.h"
#include "settings/settings.h"
#include "ui/tab_images.h"

namespace parlix {

MainWindow::~MainWindow() { router_ = nullptr; }

std::wstring MainWindow::BaseCaption() {
    return L"Parlix Ver " + std::to_wstring(kVersionMajor) + L"." + std::to_wstring(kVersionMinor);
}

bool MainWindow::Create(MainWindowRouter& router) {
    const HINSTANCE self = ::GetModuleHandleW(nullptr);
    RegisterClassOnce(kMainWindowClass, ::LoadIconW(self, MAKEINTRESOURCEW(1)),
                      reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    RegisterClassOnce(kPicWinClass, nullptr, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    // Made on the primary monitor, whose dpi is the system's; WM_DPICHANGED follows any move.
    const int systemDpi = SystemDpi();
    if (!WindowBase::Create(kMainWindowClass, BaseCaption().c_str(), WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0,
                            CW_USEDEFAULT, CW_USEDEFAULT, TwipsToPixels(kDefaultWidthTwips, systemDpi),
                            TwipsToPixels(kDefaultHeightTwips, systemDpi)))
        return false;
    router_ = &router;
    dpi_ = WindowDpi(Hwnd());
    LoadWindowIcons();
    // Layered from the start, fully opaque: sizing may make it translucent.
    ::SetWindowLongW(Hwnd(), GWL_EXSTYLE, ::GetWindowLongW(Hwnd(), GWL_EXSTYLE) | WS_EX_LAYERED);
    ::SetLayeredWindowAttributes(Hwnd(), 0, 255, LWA_ALPHA);

    // The tab strip, the chat container on top of it, the notice, the number badges.
    btnTab_.SetDpi(dpi_);
    btnTab_.Create(Hwnd(), 0, 0, 100, 100);
    picWin_ = ::CreateWindowExW(0, kPicWinClass, L"", WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0, 0, 10, 10,
                                Hwnd(), nullptr, self, nullptr);
    ::SetWindowPos(picWin_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    fraMsg_.Create(Hwnd(), dpi_);
    picNum_.Create(Hwnd(), dpi_);
    return picWin_ != nullptr;
}

void MainWindow::PrepareStrip() {
    btnTab_.CustomColor(true);
    LoadTabImages();
    MeasureHeader();
}

void MainWindow::LoadTabImages() {
    // Image 0 the lock, image 1 the ordinary tab picture, as drawn for the dpi; the list copies
    // the bitmaps. Tabs keep their image numbers when the list is replaced.
    const HINSTANCE self = ::GetModuleHandleW(nullptr);
    const TabImageSet set = TabImagesForDpi(dpi_);
    ScopedBitmap lock(static_cast<HBITMAP>(::LoadImageW(self, MAKEINTRESOURCEW(set.lockId), IMAGE_BITMAP, 0, 0, 0)));
    ScopedBitmap tab(static_cast<HBITMAP>(::LoadImageW(self, MAKEINTRESOURCEW(set.chatId), IMAGE_BITMAP, 0, 0, 0)));
    btnTab_.SetImageList(set.size, set.size, lock.get(), RGB(255, 255, 255));
    btnTab_.AddImage(tab.get(), RGB(255, 255, 255));
}

void MainWindow::MeasureHeader() {
    // Measured on a dummy tab that nobody hears of.
    if (btnTab_.count() > 0) {
        headerHeight_ = btnTab_.GetHeaderHeight();
        return;
    }
    TabControlEvents* const events = btnTab_.Events();
    btnTab_.SetEvents(nullptr);
    btnTab_.AddItem(L"1");
    headerHeight_ = btnTab_.GetHeaderHeight();
    btnTab_.Clear();
    btnTab_.SetEvents(events);
}

void MainWindow::LoadWindowIcons() {
    const HINSTANCE self = ::GetModuleHandleW(nullptr);
    smallIcon_ = LoadIconOfSize(self, 1, SystemMetricForDpi(SM_CXSMICON, dpi_));
    bigIcon_ = LoadIconOfSize(self, 1, SystemMetricForDpi(SM_CXICON, dpi_));
    if (smallIcon_) ::SendMessageW(Hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));
    if (bigIcon_) ::SendMessageW(Hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.get()));
}

int MainWindow::Scale(int pixelsAt96) const noexcept { return ScaleForDpi(pixelsAt96, dpi_); }

void MainWindow::SetDpi(int dpi) {
    dpi = SaneDpi(dpi);
    if (dpi == dpi_) return;
    dpi_ = dpi;
    // The icons the window showed go once the new ones are in place.
    ScopedIcon oldSmall = std::move(smallIcon_), oldBig = std::move(bigIcon_);
    LoadWindowIcons();
    btnTab_.SetDpi(dpi);
    if (btnTab_.GetImageList()) LoadTabImages();
    MeasureHeader();
    fraMsg_.SetDpi(dpi);
    picNum_.SetDpi(dpi);
}

int MainWindow::HeaderHeight() const {
    const int measured = btnTab_.GetHeaderHeight();
    return measured > 0 ? measured : headerHeight_;
}

std::wstring MainWindow::Caption() const {
    std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(Hwnd())) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(Hwnd(), text.data(), static_cast<int>(text.size()))));
    return text;
}

void MainWindow::SetCaption(std::wstring_view caption) { ::SetWindowTextW(Hwnd(), std::wstring(caption).c_str()); }

MainWindow::Band MainWindow::StripBand() const {
    RECT c, p;
    ::GetClientRect(Hwnd(), &c);
    ::GetWindowRect(picWin_, &p);
    ::MapWindowPoints(nullptr, Hwnd(), reinterpret_cast<POINT*>(&p), 2);
    if (btnTab_.Bottom()) return {c.right, p.bottom - p.top, c.bottom};
    return {c.right, 0, p.top};
}

LRESULT MainWindow::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    bool handled = false;
    if (router_) {
        const LRESULT result = router_->Route(msg, wParam, lParam, handled);
        if (handled) return result;
    }
    return WindowBase::HandleMessage(msg, wParam, lParam);
}

}  // namespace parlix
