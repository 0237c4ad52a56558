// What fakeim's windows do on command: history growth, titles, show states, translucency,
// blocked closes, hangs and crashes, start-up commands and executable names.
#include "tests/support/fakeim_client.h"
#include "tests/support/windows.h"
#include "tests/win32/fakeim_test_util.h"

#include <gtest/gtest.h>

#include <tlhelp32.h>

#include <fstream>

namespace parlix::test {
namespace {

class FakeImBehaviour : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        dir_ = std::make_unique<TempDir>(L"fakeim-behaviour");
        im_ = FakeIm::Launch(dir_->Path(), L"QQ.exe");
    }
    static void TearDownTestSuite() {
        if (im_) im_->Command(L"quit");
        im_.reset();
        dir_.reset();
    }
    void SetUp() override { ASSERT_NE(im_, nullptr) << "fakeim did not start"; }

    static LRESULT Run(const std::wstring& command) { return im_->Command(command); }
    static LRESULT Run(const std::wstring& verb, HWND hwnd) {
        return im_->Command(verb + L"|" + HwndArg(hwnd));
    }
    static LRESULT Run(const std::wstring& verb, HWND hwnd, const std::wstring& rest) {
        return im_->Command(verb + L"|" + HwndArg(hwnd) + L"|" + rest);
    }

    static inline std::unique_ptr<TempDir> dir_;
    static inline std::unique_ptr<FakeIm> im_;
};

// The history box of a control kind, found along a path of class names from the top window
// ("W"/"E": the Fetion window and rich-edit classes of the process).
HWND FollowPath(HWND top, std::initializer_list<const wchar_t*> path) {
    const std::wstring suffix = FetionSuffixOf(top);
    HWND w = top;
    for (const wchar_t* step : path) {
        std::wstring cls = step;
        if (cls == L"W") cls = std::wstring(fakeim::kFetionWindowPrefix) + suffix;
        if (cls == L"E") cls = std::wstring(fakeim::kFetionRichEditPrefix) + suffix;
        w = ::FindWindowExW(w, nullptr, cls.c_str(), nullptr);
        if (!w) return nullptr;
    }
    return w;
}

TEST_F(FakeImBehaviour, AppendGrowsTheHistoryBoxOfControlKinds) {
    const struct {
        const wchar_t* kind;
        std::initializer_list<const wchar_t*> history;
    } cases[] = {
        {L"dialog", {L"#32770", L"RichEdit20A"}},
        {L"qq2008beta1", {L"#32770", L"RichEdit20A"}},
        {L"tm2005", {L"#32770", L"RichEdit20A"}},
        {L"tm2007", {L"#32770", L"RichEdit20A"}},
        {L"qq2008", {L"RichEdit20A"}},
        {L"fetion", {L"W", L"W", L"W", L"W", L"W", L"E"}},
        {L"fetiondeep", {L"W", L"W", L"W", L"W", L"W", L"W", L"E"}},
        {L"baiduchild", {L"RichEdit20W"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        HWND top = im_->Open(c.kind, L"与 乙 交谈中");
        HWND box = FollowPath(top, c.history);
        ASSERT_NE(box, nullptr);
        const auto before = ControlText(box);
        ASSERT_TRUE(before.has_value());
        EXPECT_FALSE(before->empty()); // a greeting, so a screenshot shows something
        EXPECT_EQ(Run(L"append", top, L"乙 10:01:00\\n新消息 {pic} 完\\n"), 1);
        const auto after = ControlText(box);
        ASSERT_TRUE(after.has_value());
        EXPECT_GT(after->size(), before->size());
        // A picture reads as a space in window text.
        EXPECT_NE(after->find(L"新消息   完"), std::wstring::npos) << *after;
    }
}

TEST_F(FakeImBehaviour, AppendExtendsTheMemoryRecordWhichStaysPut) {
    for (const wchar_t* kind : {L"qq2009", L"qq2009group", L"baidu"}) {
        SCOPED_TRACE(kind);
        HWND top = im_->Open(kind, L"丙");
        const auto before = ReadRecord(im_->Proc().Handle(), top);
        ASSERT_TRUE(before.has_value());
        ASSERT_EQ(Run(L"append", top, L"丙\\n图{pic}\\p"), 1);
        const auto after = ReadRecord(im_->Proc().Handle(), top);
        ASSERT_TRUE(after.has_value());
        EXPECT_EQ(after->address, before->address);
        EXPECT_EQ(after->text, before->text + L"丙\r\n图\uFFFC|");
        EXPECT_EQ(after->record.bytes, before->record.bytes + 6 * sizeof(wchar_t));

        // Growing past the buffer moves the characters, never the record.
        const std::wstring big(3000, L'字');
        ASSERT_EQ(Run(L"append", top, big), 1);
        const auto grown = ReadRecord(im_->Proc().Handle(), top);
        ASSERT_TRUE(grown.has_value());
        EXPECT_EQ(grown->address, before->address);
        EXPECT_EQ(grown->text, after->text + big);
    }
}

TEST_F(FakeImBehaviour, TitlesChangeAndLateTitlesArrive) {
    HWND dialog = im_->Open(L"dialog", L"旧");
    EXPECT_EQ(Run(L"title", dialog, L"与 丁 交谈中"), 1);
    EXPECT_EQ(WindowTitle(dialog), L"与 丁 交谈中");

    const struct {
        const wchar_t* kind;
        const wchar_t* options;
        const wchar_t* finalTitle;
    } late[] = {
        {L"fetion", L"late=400", L"戊 - 飞信"},
        {L"dialog", L"late=400", L"戊 - 飞信"},
        {L"fetiontip", L"late=400", L"contact_tip_widget"}, // whatever title is asked
    };
    for (const auto& c : late) {
        SCOPED_TRACE(c.kind);
        HWND w = im_->Open(c.kind, L"戊 - 飞信", c.options);
        EXPECT_EQ(WindowTitle(w), L"");
        EXPECT_EQ(WaitFor([&] { return WindowTitle(w); }), c.finalTitle);
    }
    // Fetion windows get their title after creation even unasked.
    HWND fetion = im_->Open(L"fetion", L"己");
    EXPECT_EQ(WaitFor([&] { return WindowTitle(fetion); }), L"己");
    // A title set in the meantime wins over the pending one.
    HWND pending = im_->Open(L"fetion", L"迟到", L"late=150");
    EXPECT_EQ(Run(L"title", pending, L"现在"), 1);
    // A later window's late title arrives after the pending one would have.
    HWND marker = im_->Open(L"fetion", L"标记", L"late=150");
    EXPECT_EQ(WaitFor([&] { return WindowTitle(marker); }), L"标记");
    EXPECT_EQ(WindowTitle(pending), L"现在");
}

TEST_F(FakeImBehaviour, ShowStatesByCommandAndOption) {
    HWND w = im_->Open(L"qq2009", L"庚");
    const struct {
        const wchar_t* how;
        bool visible, iconic, zoomed;
    } steps[] = {
        {L"min", true, true, false},      {L"restore", true, false, false}, {L"max", true, false, true},
        {L"restore", true, false, false}, {L"hide", false, false, false},   {L"show", true, false, false},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.how);
        ASSERT_EQ(Run(L"show", w, s.how), 1);
        EXPECT_EQ(::IsWindowVisible(w) != FALSE, s.visible);
        EXPECT_EQ(::IsIconic(w) != FALSE, s.iconic);
        EXPECT_EQ(::IsZoomed(w) != FALSE, s.zoomed);
    }
    const struct {
        const wchar_t* option;
        bool visible, iconic, zoomed;
    } opened[] = {{L"hidden", false, false, false}, {L"min", true, true, false}, {L"max", true, false, true}};
    for (const auto& o : opened) {
        SCOPED_TRACE(o.option);
        HWND x = im_->Open(L"dialog", L"辛", o.option);
        EXPECT_EQ(::IsWindowVisible(x) != FALSE, o.visible);
        EXPECT_EQ(::IsIconic(x) != FALSE, o.iconic);
        EXPECT_EQ(::IsZoomed(x) != FALSE, o.zoomed);
    }
}

TEST_F(FakeImBehaviour, LayeredAndMoved) {
    const auto alphaOf = [](HWND w) {
        BYTE alpha = 0;
        DWORD flags = 0;
        const bool ok = ::GetLayeredWindowAttributes(w, nullptr, &alpha, &flags) && (flags & LWA_ALPHA);
        return ok ? int(alpha) : -1;
    };
    HWND opened = im_->Open(L"baidu", L"壬", L"layered=90|at=100,120,300,250");
    EXPECT_TRUE(::GetWindowLongW(opened, GWL_EXSTYLE) & WS_EX_LAYERED);
    EXPECT_EQ(alphaOf(opened), 90);
    RECT r{};
    ::GetWindowRect(opened, &r);
    EXPECT_EQ((std::vector<LONG>{r.left, r.top, r.right - r.left, r.bottom - r.top}),
              (std::vector<LONG>{100, 120, 300, 250}));

    HWND later = im_->Open(L"fetion", L"癸");
    EXPECT_FALSE(::GetWindowLongW(later, GWL_EXSTYLE) & WS_EX_LAYERED);
    EXPECT_EQ(Run(L"layered", later, L"200"), 1);
    EXPECT_TRUE(::GetWindowLongW(later, GWL_EXSTYLE) & WS_EX_LAYERED);
    EXPECT_EQ(alphaOf(later), 200);
    EXPECT_EQ(Run(L"move", later, L"50|60|400|300"), 1);
    ::GetWindowRect(later, &r);
    EXPECT_EQ((std::vector<LONG>{r.left, r.top, r.right, r.bottom}), (std::vector<LONG>{50, 60, 450, 360}));
}

bool SendClose(HWND w) {
    DWORD_PTR result = 0;
    return ::SendMessageTimeoutW(w, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, 2000, &result) != 0;
}

TEST_F(FakeImBehaviour, ABlockedCloseShowsTheClientsQuestionAndKeepsTheChat) {
    const struct {
        const wchar_t* kind;
        const wchar_t* question;
    } cases[] = {
        {L"dialog", L"文件正在传送中..."},
        {L"qq2009", L"有消息正在发送..."},
        {L"fetion", L"请确认"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        HWND chat = im_->Open(c.kind, L"子");
        ASSERT_EQ(Run(L"block", chat, EscapeField(c.question)), 1);
        ASSERT_TRUE(SendClose(chat));
        HWND question = ::FindWindowW(L"#32770", c.question);
        ASSERT_NE(question, nullptr);
        EXPECT_EQ(ReadFacts(question).pid, im_->Pid());
        EXPECT_TRUE(::IsWindowVisible(question));
        EXPECT_TRUE(::IsWindow(chat));
        // A second close while the question shows does not ask twice.
        ASSERT_TRUE(SendClose(chat));
        EXPECT_EQ(FindTopLevel({L"#32770", c.question, true, im_->Pid()}).size(), 1u);

        EXPECT_EQ(Run(L"unblock", chat), 1);
        EXPECT_EQ(::FindWindowW(L"#32770", c.question), nullptr);
        EXPECT_TRUE(::IsWindow(chat));
        ASSERT_TRUE(SendClose(chat)); // answered: the next close goes through
        EXPECT_FALSE(::IsWindow(chat));
    }
}

TEST_F(FakeImBehaviour, AnsweringTheQuestionAndClearingTheBlock) {
    HWND chat = im_->Open(L"tm2005", L"丑");
    ASSERT_EQ(Run(L"block", chat, L"请确认"), 1);
    ASSERT_TRUE(SendClose(chat));
    HWND question = ::FindWindowW(L"#32770", L"请确认");
    ASSERT_NE(question, nullptr);
    ASSERT_TRUE(SendClose(question)); // the user answers in the dialog itself
    EXPECT_FALSE(::IsWindow(question));
    EXPECT_TRUE(::IsWindow(chat));

    HWND other = im_->Open(L"baidu", L"寅");
    ASSERT_EQ(Run(L"block", other, L"请确认"), 1);
    ASSERT_EQ(Run(L"block", other, L""), 1);
    ASSERT_TRUE(SendClose(other));
    EXPECT_FALSE(::IsWindow(other));
}

TEST_F(FakeImBehaviour, EveryKindClosesOnWmCloseOrCommand) {
    for (const wchar_t* kind : {L"dialog", L"qq2008", L"qq2009", L"qq2009group", L"txpanel", L"fetion",
                                L"fetiondeep", L"baidu", L"baiduchild"}) {
        SCOPED_TRACE(kind);
        HWND byMessage = im_->Open(kind, L"卯");
        ASSERT_TRUE(SendClose(byMessage));
        EXPECT_FALSE(::IsWindow(byMessage));
        HWND byCommand = im_->Open(kind, L"卯");
        EXPECT_EQ(Run(L"close", byCommand), 1);
        EXPECT_FALSE(::IsWindow(byCommand));
    }
    HWND main = im_->Main(L"1");
    EXPECT_EQ(Run(L"close", main), 1);
    EXPECT_FALSE(::IsWindow(main));
}

TEST_F(FakeImBehaviour, BadCommandsAnswerZero) {
    HWND chat = im_->Open(L"dialog", L"辰");
    HWND mainWindow = im_->Main(L"5");
    const std::wstring h = HwndArg(chat);
    const std::wstring foreign = HwndArg(::GetDesktopWindow()); // not a window of fakeim
    const std::vector<std::wstring> bads{
        L"",
        L"nonsense",
        L"open",
        L"open|nokind|t",
        L"open|dialog",
        L"open|dialog|t|late=x",
        L"main|0",
        L"main|19",
        L"append|" + h,
        L"append|" + foreign + L"|x",
        L"append|12|x",
        L"append|" + HwndArg(mainWindow) + L"|x",
        L"title|" + foreign + L"|x",
        L"show|" + h + L"|sideways",
        L"layered|" + h + L"|256",
        L"move|" + h + L"|1|2|3",
        L"block|" + foreign + L"|t",
        L"block|" + h + L"|t|soon",
        L"block|" + h + L"|t|1|2",
        L"unblock|" + foreign,
        L"close|" + foreign,
        L"hang|soon",
        L"crash|now",
        L"quit|later",
    };
    for (const std::wstring& bad : bads) {
        EXPECT_EQ(Run(bad), 0) << bad;
    }
    EXPECT_TRUE(::IsWindow(chat));
    EXPECT_TRUE(::IsWindow(::GetDesktopWindow()));
}


TEST(FakeImProcess, RunsUnderEveryClientsExecutableName) {
    TempDir dir(L"fakeim-names");
    std::vector<std::wstring> suffixes;
    for (const wchar_t* name : {L"QQ.exe", L"TM.exe", L"FetionFx.exe", L"BaiduHi.exe", L"notaclient.exe"}) {
        SCOPED_TRACE(name);
        auto im = FakeIm::Launch(dir.Path(), name);
        ASSERT_NE(im, nullptr);
        EXPECT_EQ(_wcsicmp(ImageNameOf(im->Pid()).c_str(), name), 0) << ImageNameOf(im->Pid());
        HWND fetion = im->Open(L"fetion", L"x", L"late=0");
        ASSERT_NE(fetion, nullptr);
        suffixes.push_back(FetionSuffixOf(fetion));
        EXPECT_EQ(suffixes.back().size(), fakeim::kFetionSuffixLength);
        EXPECT_EQ(im->Command(L"quit"), 1);
        EXPECT_TRUE(im->Proc().Wait(kPatience));
        EXPECT_EQ(im->Proc().ExitCode(), 0u);
    }
    // The WinForms class suffix differs between processes.
    std::sort(suffixes.begin(), suffixes.end());
    EXPECT_EQ(std::unique(suffixes.begin(), suffixes.end()), suffixes.end());
}

TEST(FakeImProcess, StartUpCommandsFromArgumentsAndScriptRunBeforeTheControlAnswers) {
    TempDir dir(L"fakeim-script");
    const auto script = dir.Path() / L"start.txt";
    {
        std::ofstream out(script, std::ios::binary);
        out << "# comment\r\nopen|baidu|\xE8\x84\x9A\xE6\x9C\xAC\r\n\r\nmain|17\n"; // 脚本
    }
    auto im =
        FakeIm::Launch(dir.Path(), L"BaiduHi.exe",
                       {L"open|dialog|与 参数 交谈中", L"--script", script.wstring(), L"bogus|command"});
    ASSERT_NE(im, nullptr);
    EXPECT_EQ(FindTopLevel({L"#32770", L"与 参数 交谈中", true, im->Pid()}).size(), 1u);
    EXPECT_EQ(FindTopLevel({L"BaseGui", L"脚本", true, im->Pid()}).size(), 1u);
    EXPECT_EQ(FindTopLevel({L"BaseGui", L"百度Hi", true, im->Pid()}).size(), 1u);
}

TEST(FakeImProcess, HangStopsEveryWindowAfterReleasingTheSender) {
    TempDir dir(L"fakeim-hang");
    auto im = FakeIm::Launch(dir.Path(), L"QQ.exe");
    ASSERT_NE(im, nullptr);
    HWND chat = im->Open(L"qq2009", L"午");
    EXPECT_EQ(im->Command(L"hang|4000"), 1);
    // The sender was answered while the hang goes on: the window does not answer now.
    DWORD_PTR result = 0;
    EXPECT_EQ(::SendMessageTimeoutW(chat, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 200, &result), 0);
    EXPECT_EQ(WaitFor([&] { return im->Command(L"title|" + HwndArg(chat) + L"|醒了", 200ms); }), 1);
    EXPECT_EQ(WindowTitle(chat), L"醒了");
}

TEST(FakeImProcess, CrashEndsTheProcessAtOnceWithoutADialog) {
    TempDir dir(L"fakeim-crash");
    auto im = FakeIm::Launch(dir.Path(), L"TM.exe");
    ASSERT_NE(im, nullptr);
    HWND chat = im->Open(L"dialog", L"未");
    EXPECT_EQ(im->Command(L"crash"), 1);
    ASSERT_TRUE(im->Proc().Wait(kPatience));
    EXPECT_EQ(im->Proc().ExitCode(), 0xC0000005u);
    EXPECT_FALSE(::IsWindow(chat));
    EXPECT_TRUE(FindTopLevel({L"", L"", false, im->Pid()}).empty());
}

} // namespace
} // namespace parlix::test
