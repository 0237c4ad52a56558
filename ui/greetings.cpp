#include "ui/greetings.h"

namespace parlix {

namespace {
std::wstring Text(const wchar_t* body) { return std::wstring(L"Parlix\r\n\r\n") + body; }
}  // namespace

std::vector<Greeting> GreetingsFor(int month, int day) {
    using enum GreetingIcon;
    switch (month * 100 + day) {
    case 101: return {{L"新年好！", Text(L"新年一定有好运哦~"), Information}};
    case 401:
        // A joke: nothing is formatted; start-up simply continues.
        return {{L"系统发生严重错误",
                 L"系统出现严重问题，点确定后将开始自动格式化C盘以尝试解决此错误。\r\n"
                 L"如果重新格式化后依然出现此问题，请联系您的系统管理员。",
                 Critical},
                {L"被骗到了吧？", Text(L"哈哈，愚人节快乐。"), None}};
    case 501: return {{L"劳动节快乐！", Text(L"劳动人民最伟大。"), Information}};
    case 601: return {{L"儿童节快乐！", Text(L"满18岁了么？满了也能过儿童节，哈哈！"), Information}};
    case 1001: return {{L"国庆节快乐！", Text(L"中国加油，祖国万岁！"), Information}};
    case 116: return {{L"过生日咯~", Text(L"祝我生日快乐吧~"), Information}};
    case 214: return {{L"囧…………", Text(L"还上QQ？不去陪陪女朋友么？"), Information}};
    case 1225: return {{L"Merry X'Max", Text(L"圣诞快乐哦。有给我的圣诞礼物么？"), Critical}};
    default: return {};
    }
}

}  // namespace parlix
