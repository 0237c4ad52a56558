#include "hook/history_finder.h"

namespace {
constexpr wchar_t kHistoryProp[] = L"ImHistoryRecord";
constexpr wchar_t kInputProp[] = L"ImInputBox";
}  // namespace

std::uintptr_t FindHistoryRecord(HWND chat) {
    return reinterpret_cast<std::uintptr_t>(::GetPropW(chat, kHistoryProp));
}

HWND FindInputBox(HWND chat) {
    const HWND input = static_cast<HWND>(::GetPropW(chat, kInputProp));
    if (input && ::IsWindow(input) && ::IsChild(chat, input)) return input;
    const HWND focus = ::GetFocus();
    return (focus && ::IsChild(chat, focus)) ? focus : nullptr;
}
