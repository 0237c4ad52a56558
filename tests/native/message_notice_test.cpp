// Notice text for a grown chat history, and what one poll step does with a changed tab.
#include "ui/message_notice.h"

#include <gtest/gtest.h>

#include <string>

namespace parlix {
namespace {

using V = IM_VERSION;

TEST(NoticeBody, TitleNamesTheSender) { EXPECT_EQ(NoticeTitle(L"张三"), L"张三的新消息"); }

// History boxes: each new message starts with CR LF, then the sender's line, then the text in
// which a rich-edit box shows each picture as a space.
TEST(NoticeBody, WindowTextKindsTakeTheNewPart) {
    const std::wstring old = L"小明 10:00:00\r\n你好\r\n";
    const std::wstring added = L"\r\n小红 10:01:00\r\n看 这个";
    const std::wstring text = old + added;
    const long long n = static_cast<long long>(text.size());
    const long long p = static_cast<long long>(old.size());
    const struct {
        V kind;
        const wchar_t* body;
    } cases[] = {
        // The leading line break is dropped, pictures after the sender's line are named.
        {V::QQ2008, L"小红 10:01:00\r\n看[图片]这个"},
        {V::TM, L"小红 10:01:00\r\n看[图片]这个"},
        {V::AliWangWang_2009, L"小红 10:01:00\r\n看[图片]这个"},
        // TM 2005 and 2007 keep their spaces.
        {V::TM2005, L"小红 10:01:00\r\n看 这个"},
        {V::TM2007, L"小红 10:01:00\r\n看 这个"},
        // Fetion: the whole new part; the first CR LF is its very start, so every space counts.
        {V::Fetion_3_2, L"\r\n小红[图片]10:01:00\r\n看[图片]这个"},
        {V::Fetion_3_9, L"\r\n小红[图片]10:01:00\r\n看[图片]这个"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.kind));
        EXPECT_EQ(ComposeNoticeBody(c.kind, text, n, p), c.body);
    }
}

TEST(NoticeBody, MemoryKindsNamePicturesAndWidenLineBreaks) {
    const std::wstring text = L"旧消息\r新消息\xFFFC\r好";
    for (const V kind : {V::QQ2009, V::TM2009, V::BaiduHI}) {
        SCOPED_TRACE(static_cast<int>(kind));
        // No characters are dropped and spaces stay.
        EXPECT_EQ(ComposeNoticeBody(kind, text, 10, 4), L"新消息[图片]\r\n好");
        EXPECT_EQ(ComposeNoticeBody(kind, L"a b", 3, 0), L"a b");
        // A line break that is CR LF already stays one line break.
        EXPECT_EQ(ComposeNoticeBody(kind, L"a\r\nb\r", 5, 0), L"a\r\nb\r\n");
    }
}

TEST(NoticeBody, HistoryThatDidNotGrowGivesItsLast70Characters) {
    const std::wstring head(30, L'a');
    const std::wstring tail = std::wstring(69, L'b') + L"c";
    const std::wstring text = head + tail;
    const auto n = static_cast<long long>(text.size());
    for (const V kind : {V::QQ2008, V::TM2005, V::Fetion_3_5, V::QQ2009, V::BaiduHI}) {
        SCOPED_TRACE(static_cast<int>(kind));
        EXPECT_EQ(ComposeNoticeBody(kind, text, n, n + 5), tail);  // shorter than before
        EXPECT_EQ(ComposeNoticeBody(kind, text, n, n), tail);
        EXPECT_EQ(ComposeNoticeBody(kind, L"短", 1, 9), L"短");  // fewer than 70 in all
    }
    // The last 70 of a box history still name pictures after the first line break; a memory
    // history's last 70 are left as they are.
    EXPECT_EQ(ComposeNoticeBody(V::QQ2008, L"a b\r\nc d", 8, 20), L"a b\r\nc[图片]d");
    EXPECT_EQ(ComposeNoticeBody(V::QQ2009, L"x\xFFFC\ry", 4, 20), L"x\xFFFC\ry");
}

TEST(NoticeBody, CountsOutsideTheTextAreSafe) {
    const struct {
        V kind;
        const wchar_t* text;
        long long n;
        long long p;
        const wchar_t* body;
    } cases[] = {
        {V::QQ2008, L"abcdef", 6, 5, L""},            // one new character, two dropped
        {V::QQ2008, L"abcdef", 6, 4, L""},
        {V::QQ2008, L"abcdef", 6, 3, L"f"},
        {V::QQ2008, L"abc", 1000, 0, L"abc"},         // more claimed than there is
        {V::Fetion_3_3, L"abc", 1LL << 40, -(1LL << 40), L"abc"},
        {V::QQ2009, L"abc", 2, -7, L"abc"},           // negative old length
        {V::BaiduHI, L"", 5, 0, L""},                 // text could not be read
        {V::TM2007, L"abc", -3, 0, L"abc"},           // negative new length: did not grow
        {V::QQ, L"xxa b", 5, 0, L"a b"},              // no line break: spaces stay
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << static_cast<int>(c.kind) << " n=" << c.n << " p=" << c.p);
        EXPECT_EQ(ComposeNoticeBody(c.kind, c.text, c.n, c.p), c.body);
    }
}

// Poll decisions. Defaults: notices on, nothing else.
PollFacts Facts() {
    PollFacts f;
    f.msgTip = true;
    return f;
}

TEST(PollDecision, EffectsFollowTabActivationAndSettings) {
    const auto with = [](auto change) {
        PollFacts f = Facts();
        change(f);
        return f;
    };
    using R = NoticeRoute;
    const struct {
        const char* name;
        PollFacts facts;
        PollEffects effects;
    } cases[] = {
        {"current tab, active window: nothing visible",
         with([](PollFacts& f) { f.isCurrentTab = f.mainIsActive = f.alwaysShowTip = f.autoSwitch = true; }),
         {false, R::None, false, false}},
        {"other tab, active window: count only",
         with([](PollFacts& f) { f.mainIsActive = true; }), {true, R::None, false, false}},
        {"other tab, active window, always notify",
         with([](PollFacts& f) { f.mainIsActive = f.alwaysShowTip = true; }), {true, R::Tray, false, false}},
        {"current tab, inactive window: notice and attention, no count",
         with([](PollFacts& f) { f.isCurrentTab = true; }), {false, R::Tray, true, false}},
        {"other tab, inactive window, auto-switch",
         with([](PollFacts& f) { f.autoSwitch = true; }), {true, R::Tray, true, true}},
        {"silent: everything but the notice",
         with([](PollFacts& f) { f.silent = f.autoSwitch = f.alwaysShowTip = true; }), {true, R::None, true, true}},
        {"notices off", with([](PollFacts& f) { f.msgTip = false; }), {true, R::None, true, false}},
        {"plugin connected",
         with([](PollFacts& f) { f.pluginEnabled = f.pluginConnected = true; }), {true, R::Plugin, true, false}},
        {"plugin enabled but missing: no notice, not even the tray",
         with([](PollFacts& f) { f.pluginEnabled = true; }), {true, R::None, true, false}},
        {"plugin connected but disabled: tray",
         with([](PollFacts& f) { f.pluginConnected = true; }), {true, R::Tray, true, false}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(DecidePollEffects(c.facts), c.effects);
    }
}

}  // namespace
}  // namespace parlix
