// Showing error reports, and running a procedure under the program's error trap: exceptions
// stop at the trap (they never cross a window procedure, COM or module boundary), are reported,
// and the caller goes on after the trapped block.
#pragma once

#include "base/error_report.h"

#include <exception>
#include <functional>
#include <source_location>
#include <stdexcept>

namespace parlix {

// An error with the number the report shows.
class ProgramError : public std::runtime_error {
public:
    ProgramError(const std::string& what, long number) : std::runtime_error(what), number_(number) {}
    [[nodiscard]] long Number() const noexcept { return number_; }

private:
    long number_;
};

enum class ErrorAnswer { Ok, Yes, No };

// Where reports go: a message box by default; tests put a recorder here so nothing blocks.
using ErrorSink = std::function<ErrorAnswer(std::wstring_view title, std::wstring_view text, bool yesNo)>;
void SetErrorSink(ErrorSink sink);

// Shows the report (OK button).
void ReportError(const ErrorInfo& info);
// Shows the Yes/No report; No ends the program at once (after giving captured windows back,
// see last_chance_win.h). Returns on Yes.
void ReportErrorAskContinue(const ErrorInfo& info);

ErrorInfo DescribeCurrentException(std::wstring module, std::wstring procedure, long line);

// Runs f under the common trap (askContinue: the Yes/No variant). Returns false when f failed.
template <typename F>
bool Trapped(const wchar_t* module, const wchar_t* procedure, bool askContinue, F&& f,
             std::source_location where = std::source_location::current()) noexcept {
    try {
        std::forward<F>(f)();
        return true;
    } catch (...) {
        try {
            const ErrorInfo info = DescribeCurrentException(module, procedure, static_cast<long>(where.line()));
            if (askContinue) ReportErrorAskContinue(info);
            else ReportError(info);
        } catch (...) {
        }
        return false;
    }
}

}  // namespace parlix
