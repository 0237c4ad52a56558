#include "ui/no_chat_notice_win.h"

#include "base/dpi.h"
#include "base/dpi_win.h"
#include "base/product_info.h"

#include <algorithm>

namespace parlix {

void NoChatNotice::Create(HWND parent, int dpi) {
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    frame_ = ::CreateWindowExW(0, L"Button", L"  提示  ", WS_CHILD | BS_GROUPBOX, 0, 0, 10, 10, parent, nullptr,
                               instance, nullptr);
    label_ = ::CreateWindowExW(0, L"Static", kNoChatText, WS_CHILD | SS_LEFT, 0, 0, 10, 10, parent, nullptr,
                               instance, nullptr);
    link_ = ::CreateWindowExW(0, L"Static", NoChatLinkText().c_str(), WS_CHILD | SS_LEFT | SS_NOTIFY, 0, 0, 10, 10,
                              parent, nullptr, instance, nullptr);
    SetDpi(dpi);
}

void NoChatNotice::SetDpi(int dpi) {
    dpi_ = dpi;
    ScopedFont font = MessageFont(dpi);
    const auto handle = reinterpret_cast<WPARAM>(font ? font.get() : ::GetStockObject(DEFAULT_GUI_FONT));
    for (HWND w : {frame_, label_, link_}) ::SendMessageW(w, WM_SETFONT, handle, TRUE);
    font_ = std::move(font);
}

std::wstring NoChatLinkText() {
    return std::wstring(L"网址 ") + kHomePage + L"\r\n论坛 " + kForumPage;
}

void NoChatNotice::Move(const RECT& area) {
    // A frame of 360 x 200 in the middle of the chat area (smaller areas get what there is);
    // figures in pixels at 96 dpi.
    const auto px = [this](int at96) { return ScaleForDpi(at96, dpi_); };
    const int w = std::min<int>(px(360), area.right - area.left), h = std::min<int>(px(200), area.bottom - area.top);
    const int x = area.left + (area.right - area.left - w) / 2, y = area.top + (area.bottom - area.top - h) / 2;
    ::MoveWindow(frame_, x, y, w, h, TRUE);
    // The notice text, then the two address lines at the bottom of the frame.
    const int linkHeight = px(30);
    ::MoveWindow(label_, x + px(16), y + px(26), std::max(0, w - px(32)), std::max(0, h - px(36) - linkHeight), TRUE);
    ::MoveWindow(link_, x + px(16), y + h - px(10) - linkHeight, std::max(0, w - px(32)), linkHeight, TRUE);
}

void NoChatNotice::Show(bool visible) {
    ::ShowWindow(frame_, visible ? SW_SHOW : SW_HIDE);
    for (HWND w : {frame_, label_, link_}) {
        ::ShowWindow(w, visible ? SW_SHOW : SW_HIDE);
        if (visible) ::SetWindowPos(w, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    }
}

}  // namespace parlix
