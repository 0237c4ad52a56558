#include "ui/no_chat_notice_win.h"

#include "base/product_info.h"

#include <algorithm>

namespace parlix {

void NoChatNotice::Create(HWND parent) {
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    frame_ = ::CreateWindowExW(0, L"Button", L"  提示  ", WS_CHILD | BS_GROUPBOX, 0, 0, 10, 10, parent, nullptr,
                               instance, nullptr);
    label_ = ::CreateWindowExW(0, L"Static", kNoChatText, WS_CHILD | SS_LEFT, 0, 0, 10, 10, parent, nullptr,
                               instance, nullptr);
    link_ = ::CreateWindowExW(0, L"Static", NoChatLinkText().c_str(), WS_CHILD | SS_LEFT | SS_NOTIFY, 0, 0, 10, 10,
                              parent, nullptr, instance, nullptr);
    const auto font = reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT));
    for (HWND w : {frame_, label_, link_}) ::SendMessageW(w, WM_SETFONT, font, FALSE);
}

std::wstring NoChatLinkText() {
    return std::wstring(L"网址 ") + kHomePage + L"\r\n论坛 " + kForumPage;
}

void NoChatNotice::Move(const RECT& area) {
    // A frame of 360 x 200 in the middle of the chat area (smaller areas get what there is).
    const int w = std::min<int>(360, area.right - area.left), h = std::min<int>(200, area.bottom - area.top);
    const int x = area.left + (area.right - area.left - w) / 2, y = area.top + (area.bottom - area.top - h) / 2;
    ::MoveWindow(frame_, x, y, w, h, TRUE);
    // The notice text, then the two address lines at the bottom of the frame.
    constexpr int kLinkHeight = 30;
    ::MoveWindow(label_, x + 16, y + 26, std::max(0, w - 32), std::max(0, h - 36 - kLinkHeight), TRUE);
    ::MoveWindow(link_, x + 16, y + h - 10 - kLinkHeight, std::max(0, w - 32), kLinkHeight, TRUE);
}

void NoChatNotice::Show(bool visible) {
    ::ShowWindow(frame_, visible ? SW_SHOW : SW_HIDE);
    for (HWND w : {frame_, label_, link_}) {
        ::ShowWindow(w, visible ? SW_SHOW : SW_HIDE);
        if (visible) ::SetWindowPos(w, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    }
}

}  // namespace parlix
