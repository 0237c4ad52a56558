#include "base/error_report_win.h"

#include "base/last_chance_win.h"
#include "base/window_text_win.h"

#include <windows.h>

namespace parlix {

namespace {
ErrorSink& Sink() {
    static ErrorSink sink;
    return sink;
}

ErrorAnswer Show(std::wstring_view text, bool yesNo) {
    if (Sink()) return Sink()(kErrorTitle, text, yesNo);
    const std::wstring t(text), title(kErrorTitle);
    const int r = ::MessageBoxW(nullptr, t.c_str(), title.c_str(),
                                MB_ICONWARNING | (yesNo ? MB_YESNO : MB_OK) | MB_TASKMODAL);
    if (!yesNo) return ErrorAnswer::Ok;
    return r == IDNO ? ErrorAnswer::No : ErrorAnswer::Yes;
}
}  // namespace

void SetErrorSink(ErrorSink sink) { Sink() = std::move(sink); }

void ReportError(const ErrorInfo& info) { Show(ErrorReportText(info, false), false); }

void ReportErrorAskContinue(const ErrorInfo& info) {
    if (Show(ErrorReportText(info, true), true) == ErrorAnswer::No) EndProgramNow(1);
}

ErrorInfo DescribeCurrentException(std::wstring module, std::wstring procedure, long line) {
    ErrorInfo info{std::move(module), std::move(procedure), L"", 0, line};
    try {
        throw;
    } catch (const ProgramError& e) {
        info.description = FromCodePage(e.what(), CP_UTF8);
        info.number = e.Number();
    } catch (const std::bad_alloc&) {
        info.description = L"内存不足";
        info.number = 7;
    } catch (const std::exception& e) {
        info.description = FromCodePage(e.what(), CP_UTF8);
        info.number = 5;
    } catch (...) {
        info.description = L"未知错误";
        info.number = 51;
    }
    return info;
}

}  // namespace parlix
