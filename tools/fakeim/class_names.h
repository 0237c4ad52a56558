// Window class names of the simulated clients. Free of <windows.h>: the tests and the
// simulator share them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace fakeim {

inline constexpr wchar_t kDialogClass[] = L"#32770";
inline constexpr wchar_t kTxGuiClass[] = L"TXGuiFoundation";
inline constexpr wchar_t kBaseGuiClass[] = L"BaseGui";
inline constexpr wchar_t kAfxPanelClass[] = L"AfxWnd42";
inline constexpr wchar_t kQqBarClass[] = L"Tencent_QQBar";
inline constexpr wchar_t kTmBarClass[] = L"Tencent_BarMgr_Class_Ver1.0";
inline constexpr wchar_t kFlashClass[] = L"MacromediaFlashPlayerActiveX";

// Fetion's class names are WinForms names: a fixed part and a 7-character part that differs
// per process.
inline constexpr std::wstring_view kFetionWindowPrefix = L"WindowsForms10.Window.8.app.0.";
inline constexpr std::wstring_view kFetionRichEditPrefix = L"WindowsForms10.RichEdit20W.app.0.";
inline constexpr std::wstring_view kFetionButtonPrefix = L"WindowsForms10.BUTTON.app.0.";
inline constexpr std::wstring_view kFetionStaticPrefix = L"WindowsForms10.STATIC.app.0.";
// Near miss of kFetionWindowPrefix: a WinForms window of some other program.
inline constexpr std::wstring_view kOtherWinFormsPrefix = L"WindowsForms10.Window.208.app.0.";

inline constexpr std::size_t kFetionSuffixLength = 7;

// The per-process part: the process id as 7 lowercase hex digits.
[[nodiscard]] inline std::wstring FetionSuffix(std::uint32_t pid) {
    constexpr wchar_t kDigits[] = L"0123456789abcdef";
    std::wstring s(kFetionSuffixLength, L'0');
    for (std::size_t i = kFetionSuffixLength; i-- > 0; pid >>= 4)
        s[i] = kDigits[pid & 0xF];
    return s;
}

} // namespace fakeim
