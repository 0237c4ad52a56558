// The program's error report: a message box titled "出错啦~~" whose four lines name the failing
// procedure, the error's description, its number and the source line. The Yes/No variant asks
// whether to go on. Text composition only; error_report_win.h shows it.
#pragma once

#include <string>
#include <string_view>

namespace parlix {

struct ErrorInfo {
    std::wstring module;     // e.g. L"modProc"
    std::wstring procedure;  // e.g. L"DetectWindow"
    std::wstring description;
    long number = 0;
    long line = 0;
};

inline constexpr std::wstring_view kErrorTitle = L"出错啦~~";
inline constexpr std::wstring_view kAskContinue = L"是否尝试忽略错误而继续执行程序？";

// "Parlix.<module>.<procedure> 发生错误。", "错误描述：…", "错误编号：…", "行号：…", one per line;
// with askContinue a blank line and the question follow.
[[nodiscard]] std::wstring ErrorReportText(const ErrorInfo& info, bool askContinue);

}  // namespace parlix
