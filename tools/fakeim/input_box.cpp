#include "tools/fakeim/input_box.h"

#include <commctrl.h>
#include <richedit.h>

#include <string>

namespace fakeim {

namespace {

constexpr UINT_PTR kSubclassId = 3;

bool ShiftHeld() {
    // The key state of this thread follows its own queue; the sender may hold Shift in another
    // thread's queue (attached or not), which the global state shows.
    return ::GetKeyState(VK_SHIFT) < 0 || ::GetAsyncKeyState(VK_SHIFT) < 0;
}

// The clipboard's bitmap as the box shows it; false when there is none.
bool PastePicture(HWND box) {
    if (!::IsClipboardFormatAvailable(CF_BITMAP) || !::OpenClipboard(box)) return false;
    BITMAP info{};
    const auto bitmap = static_cast<HBITMAP>(::GetClipboardData(CF_BITMAP));
    const bool ok = bitmap && ::GetObjectW(bitmap, sizeof info, &info);
    ::CloseClipboard();
    if (!ok) return false;
    const std::wstring text =
        std::wstring(kPastedPictureText) + std::to_wstring(info.bmWidth) + L"x" + std::to_wstring(info.bmHeight) + L"]";
    ::SendMessageW(box, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
    return true;
}

LRESULT CALLBACK BoxProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR) {
    switch (msg) {
    case WM_KEYDOWN:
        if (wp == VK_INSERT && ShiftHeld() && PastePicture(hwnd)) return 0;
        break;
    case WM_NCDESTROY:
        ::RemoveWindowSubclass(hwnd, BoxProc, kSubclassId);
        break;
    default:
        break;
    }
    return ::DefSubclassProc(hwnd, msg, wp, lp);
}

} // namespace

bool AcceptPictures(HWND box) { return box && ::SetWindowSubclass(box, BoxProc, kSubclassId, 0); }

} // namespace fakeim
