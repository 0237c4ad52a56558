#include "ui/greetings.h"

#include <gtest/gtest.h>

namespace parlix {
namespace {

TEST(Greetings, OneBoxOnEachGreetingDayAndNoneOtherwise) {
    const struct {
        int month, day;
        const wchar_t* title;
        GreetingIcon icon;
    } days[] = {
        {1, 1, L"新年好！", GreetingIcon::Information},     {5, 1, L"劳动节快乐！", GreetingIcon::Information},
        {6, 1, L"儿童节快乐！", GreetingIcon::Information}, {10, 1, L"国庆节快乐！", GreetingIcon::Information},
        {1, 16, L"过生日咯~", GreetingIcon::Information},   {2, 14, L"囧…………", GreetingIcon::Information},
        {12, 25, L"Merry X'Max", GreetingIcon::Critical},
    };
    for (const auto& d : days) {
        const auto boxes = GreetingsFor(d.month, d.day);
        ASSERT_EQ(boxes.size(), 1u) << d.month << "/" << d.day;
        EXPECT_EQ(boxes[0].title, d.title);
        EXPECT_EQ(boxes[0].icon, d.icon);
        EXPECT_TRUE(boxes[0].text.starts_with(L"Parlix\r\n\r\n"));
    }
    for (auto [m, d] : {std::pair{1, 2}, {4, 2}, {12, 24}, {2, 29}, {11, 1}, {1, 6}})
        EXPECT_TRUE(GreetingsFor(m, d).empty()) << m << "/" << d;
}

TEST(Greetings, FirstOfAprilShowsTheFakeErrorThenTheJoke) {
    const auto boxes = GreetingsFor(4, 1);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].title, L"系统发生严重错误");
    EXPECT_EQ(boxes[0].icon, GreetingIcon::Critical);
    EXPECT_EQ(boxes[0].text,
              L"系统出现严重问题，点确定后将开始自动格式化C盘以尝试解决此错误。\r\n如果重新格式化后依然出现此问题，请联系您的系统管理员。");
    EXPECT_EQ(boxes[1].title, L"被骗到了吧？");
    EXPECT_EQ(boxes[1].icon, GreetingIcon::None);
    EXPECT_EQ(boxes[1].text, L"Parlix\r\n\r\n哈哈，愚人节快乐。");
}

}  // namespace
}  // namespace parlix
