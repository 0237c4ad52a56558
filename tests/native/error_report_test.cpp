#include "base/error_report.h"

#include <gtest/gtest.h>

namespace parlix {
namespace {

TEST(ErrorReport, FourLinesNameProcedureDescriptionNumberAndLine) {
    const ErrorInfo info{L"modProc", L"DetectWindow", L"下标越界", 9, 120};
    EXPECT_EQ(ErrorReportText(info, false),
              L"Parlix.modProc.DetectWindow 发生错误。\r\n错误描述：下标越界\r\n错误编号：9\r\n行号：120");
}

TEST(ErrorReport, AskingVariantAddsBlankLineAndQuestion) {
    const ErrorInfo info{L"modProc", L"WndProc", L"x", 5, 1};
    const std::wstring text = ErrorReportText(info, true);
    EXPECT_TRUE(text.starts_with(L"Parlix.modProc.WndProc 发生错误。\r\n"));
    EXPECT_TRUE(text.ends_with(L"行号：1\r\n\r\n是否尝试忽略错误而继续执行程序？"));
}

}  // namespace
}  // namespace parlix
