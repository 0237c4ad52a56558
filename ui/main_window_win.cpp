#include "ui/main_window_win.h"

#include "base/product_info.h"
#include "settings/settings.h"

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
    if (!WindowBase::Create(kMainWindowClass, BaseCaption().c_str(), WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0,
                            CW_USEDEFAULT, CW_USEDEFAULT, kDefaultWidthTwips / kTwipsPerPixel,
                            kDefaultHeightTwips / kTwipsPerPixel))
        return false;
    router_ = &router;
    // Layered from the start, fully opaque: sizing may make it translucent.
    ::SetWindowLongW(Hwnd(), GWL_EXSTYLE, ::GetWindowLongW(Hwnd(), GWL_EXSTYLE) | WS_EX_LAYERED);
    ::SetLayeredWindowAttributes(Hwnd(), 0, 255, LWA_ALPHA);

    // The tab strip, the chat container on top of it, the notice, the number badges.
    btnTab_.Create(Hwnd(), 0, 0, 100, 100);
    picWin_ = ::CreateWindowExW(0, kPicWinClass, L"", WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0, 0, 10, 10,
                                Hwnd(), nullptr, self, nullptr);
    ::SetWindowPos(picWin_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    fraMsg_.Create(Hwnd());
    picNum_.Create(Hwnd());
    return picWin_ != nullptr;
}

void MainWindow::PrepareStrip() {
    btnTab_.CustomColor(true);
    // Image 0 the lock, image 1 the ordinary tab picture; the list copies the bitmaps.
    const HINSTANCE self = ::GetModuleHandleW(nullptr);
    ScopedBitmap lock(static_cast<HBITMAP>(::LoadImageW(self, MAKEINTRESOURCEW(101), IMAGE_BITMAP, 0, 0, 0)));
    ScopedBitmap tab(static_cast<HBITMAP>(::LoadImageW(self, MAKEINTRESOURCEW(102), IMAGE_BITMAP, 0, 0, 0)));
    btnTab_.SetImageList(16, 16, lock.get(), RGB(255, 255, 255));
    btnTab_.AddImage(tab.get(), RGB(255, 255, 255));
    btnTab_.AddItem(L"1");
    headerHeight_ = btnTab_.GetHeaderHeight();
    btnTab_.Clear();
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
