#include "ui/recognition_list_win.h"

namespace parlix {

std::wstring RecognitionLine(HWND window, const Recognition& r) {
    return r.caption + L"\t" + (r.isGroup ? L"1" : L"0") + L"\t" + std::to_wstring(static_cast<int>(r.version)) +
           L"\t" + std::to_wstring(r.processId) + L"\t" +
           std::to_wstring(static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(window)));
}

void RecognitionList::Create(HWND parent) {
    list_ = ::CreateWindowExW(WS_EX_CLIENTEDGE, L"ListBox", L"",
                              WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOINTEGRALHEIGHT | LBS_USETABSTOPS |
                                  LBS_NOSEL,
                              0, 0, 100, 100, parent, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    ::SendMessageW(list_, WM_SETFONT, reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT)), FALSE);
}

void RecognitionList::Move(const RECT& r) {
    if (list_) ::MoveWindow(list_, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
}

void RecognitionList::Add(HWND window, const Recognition& recognition) {
    windows_.insert(window);
    if (list_) {
        const std::wstring line = RecognitionLine(window, recognition);
        ::SendMessageW(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    }
}

}  // namespace parlix
