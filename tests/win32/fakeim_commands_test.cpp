// Parsing of fakeim's command lines.
#include "tools/fakeim/commands.h"

#include <gtest/gtest.h>

namespace fakeim {
namespace {

TEST(FakeImCommands, EscapesResolveInTextFields) {
    const struct {
        const wchar_t* field;
        const wchar_t* text;
    } cases[] = {
        {L"a\\nb", L"a\r\nb"},  {L"a\\rb", L"a\rb"},
        {L"a\\\\nb", L"a\\nb"}, // an escaped backslash does not start "\n"
        {L"x\\py", L"x|y"},     {L"{pic}{pic}", L"\uFFFC\uFFFC"},
        {L"{pi}", L"{pi}"},     {L"c:\\temp", L"c:\\temp"}, // unknown escapes stay literal
        {L"end\\", L"end\\"},   {L"", L""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Unescape(c.field), c.text) << c.field;
}

TEST(FakeImCommands, FieldsSplitAtBarsBeforeEscapesResolve) {
    const Command cmd = ParseCommand(L"append|123|a\\pb||c\\n\r\n");
    EXPECT_EQ(cmd.verb, L"append");
    EXPECT_EQ(cmd.fields, (std::vector<std::wstring>{L"123", L"a|b", L"", L"c\r\n"}));
    EXPECT_TRUE(ParseCommand(L"quit").fields.empty());
}

TEST(FakeImCommands, ScriptsSkipBlankAndCommentLines) {
    const auto lines =
        ScriptCommands(L"\uFEFF# start\r\nopen|dialog|a\r\n\r\n   \n  # indented comment\nmain|1\nquit");
    EXPECT_EQ(lines, (std::vector<std::wstring>{L"open|dialog|a", L"main|1", L"quit"}));
}

TEST(FakeImCommands, Numbers) {
    const struct {
        const wchar_t* text;
        std::optional<std::uint32_t> value;
    } cases[] = {
        {L"0", 0u},          {L"65794", 65794u}, {L"0x1A2b", 0x1A2Bu}, {L"4294967295", 0xFFFFFFFFu},
        {L"4294967296", {}}, {L"", {}},          {L"0x", {}},          {L"12a", {}},
        {L"-1", {}},         {L" 1", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseNumber(c.text), c.value) << c.text;
    EXPECT_EQ(ParseInt(L"-20"), -20);
    EXPECT_EQ(ParseInt(L"0x10"), std::nullopt);
    EXPECT_EQ(ParseAlpha(L"255"), 255);
    EXPECT_EQ(ParseAlpha(L"256"), std::nullopt);
}

TEST(FakeImCommands, OpenOptions) {
    const auto parse = [](std::vector<std::wstring> fields) { return ParseOptions(fields); };
    const auto all = parse({L"group", L"late=250", L"layered=128", L"at=-10,20,300,200"});
    ASSERT_TRUE(all.has_value());
    EXPECT_TRUE(all->group);
    EXPECT_EQ(all->lateMs, 250u);
    EXPECT_EQ(all->alpha, 128);
    ASSERT_TRUE(all->at.has_value());
    EXPECT_EQ(all->at->x, -10);
    EXPECT_EQ(all->at->h, 200);
    EXPECT_TRUE(parse({L"min"})->minimized);
    EXPECT_TRUE(parse({L"max"})->maximized);
    EXPECT_TRUE(parse({L"hidden"})->hidden);
    EXPECT_TRUE(parse({}).has_value());

    for (std::vector<std::wstring> bad : std::vector<std::vector<std::wstring>>{{L"late"},
                                                                                {L"late=x"},
                                                                                {L"layered=300"},
                                                                                {L"at=1,2,3"},
                                                                                {L"at=1,2,3,4,5"},
                                                                                {L"at=1,2,0,4"},
                                                                                {L"group=1"},
                                                                                {L"min", L"max"},
                                                                                {L"hidden", L"min"},
                                                                                {L"bogus"},
                                                                                {L""}})
        EXPECT_FALSE(parse(bad).has_value()) << bad.front();
}

TEST(FakeImCommands, KindsAndMainWindows) {
    EXPECT_EQ(ParseChatKind(L"fetiondeep"), ChatKind::FetionDeep);
    EXPECT_EQ(ParseChatKind(L"qq2009group"), ChatKind::Qq2009Group);
    EXPECT_EQ(ParseChatKind(L"QQ2009"), std::nullopt); // kinds are case-sensitive
    EXPECT_EQ(ParseChatKind(L""), std::nullopt);

    EXPECT_EQ(ParseMainRequest(L"1")->search, 1);
    EXPECT_EQ(ParseMainRequest(L"18")->search, 18);
    EXPECT_EQ(ParseMainRequest(L"titledchild")->decoy, Decoy::TitledChild);
    EXPECT_EQ(ParseMainRequest(L"fetionwrongclass")->decoy, Decoy::FetionWrongClass);
    for (const wchar_t* bad : {L"0", L"19", L"-1", L"", L"one"})
        EXPECT_FALSE(ParseMainRequest(bad)) << bad;

    EXPECT_EQ(ParseShow(L"restore"), ShowHow::Restore);
    EXPECT_EQ(ParseShow(L"minimize"), std::nullopt);
}

} // namespace
} // namespace fakeim
