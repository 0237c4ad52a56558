#include "base/error_report.h"

namespace parlix {

std::wstring ErrorReportText(const ErrorInfo& info, bool askContinue) {
    std::wstring text = L"Parlix." + info.module + L"." + info.procedure + L" 发生错误。\r\n";
    text += L"错误描述：" + info.description + L"\r\n";
    text += L"错误编号：" + std::to_wstring(info.number) + L"\r\n";
    text += L"行号：" + std::to_wstring(info.line);
    if (askContinue) {
        text += L"\r\n\r\n";
        text += kAskContinue;
    }
    return text;
}

}  // namespace parlix
