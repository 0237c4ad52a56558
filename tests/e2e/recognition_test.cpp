// Parlix and simulated clients as separate processes: which windows Parlix recognises as chats
// and takes as tabs, with which caption, group flag and kind.
#include "tests/support/clean_state.h"
#include "tests/support/fakeim_client.h"
#include "tests/support/parlix_app.h"
#include "tests/support/windows.h"

#include <gtest/gtest.h>

#include <map>

namespace parlix::test {
namespace {

struct Expected {
    const wchar_t* exe;
    const wchar_t* kind;
    const wchar_t* title;
    const wchar_t* options;
    const wchar_t* caption;
    bool group;
    int version;  // as refined when the window is attached
};

std::string Narrow(const std::wstring& w) { return std::string(w.begin(), w.end()); }

class RecognitionTest : public testing::Test {
protected:
    void SetUp() override { ResetUserState(); }

    FakeIm& Client(const std::wstring& exe) {
        auto& slot = clients_[exe];
        if (!slot) {
            const std::wstring main = exe == L"QQ.exe"        ? L"main|1"
                                      : exe == L"TM.exe"      ? L"main|12"
                                      : exe == L"FetionFx.exe" ? L"main|10"
                                      : exe == L"BaiduHi.exe" ? L"main|17"
                                                              : L"";
            std::vector<std::wstring> commands;
            if (!main.empty()) commands.push_back(main);
            slot = FakeIm::Launch(dir_.Path(), exe, commands);
        }
        return Started(slot);
    }

    void StartParlix() {
        app_ = ParlixApp::Launch(dir_.Path());
        ASSERT_NE(app_, nullptr);
    }

    void ExpectRecognised(HWND window, const Expected& e) {
        SCOPED_TRACE(Narrow(std::wstring(e.kind)) + " " + Narrow(e.caption));
        ASSERT_NE(window, nullptr);
        const auto tab = app_->WaitForTab(window);
        ASSERT_TRUE(tab.has_value()) << "not captured";
        EXPECT_EQ(tab->caption, e.caption);
        EXPECT_EQ(tab->group, e.group);
        EXPECT_EQ(tab->version, e.version);
        EXPECT_EQ(::GetAncestor(window, GA_ROOT), app_->MainWindow());
    }

    TempDir dir_{L"parlix-e2e"};
    std::map<std::wstring, std::unique_ptr<FakeIm>> clients_;
    std::unique_ptr<ParlixApp> app_;
};

const Expected kEveryFamily[] = {
    {L"QQ.exe", L"dialog", L"与 张三 交谈中", L"", L"张三", false, 6},
    {L"QQ.exe", L"qq2008beta1", L"与 周一 交谈中", L"", L"周一", false, 6},
    {L"QQ.exe", L"qq2008", L"与来自同学群的 李四 交谈中", L"", L" 李四 ", false, 7},
    {L"QQ.exe", L"tm2005", L"老同学 － 群 ", L"", L"老同学", true, 1},
    {L"QQ.exe", L"dialog", L"技术交流(12345) － 超级群", L"", L"技术交流", true, 6},
    {L"TM.exe", L"tm2007", L"与 王五 会话中", L"", L"王五", false, 2},
    {L"QQ.exe", L"qq2009", L"赵六", L"", L"赵六", false, 8},
    {L"QQ.exe", L"qq2009group", L"周末爬山群", L"", L"周末爬山群", true, 8},
    {L"FetionFx.exe", L"fetion", L"钱七 - 飞信", L"", L"钱七", false, 10},
    {L"FetionFx.exe", L"fetion", L"飞信好友群 - 群聊", L"group", L"飞信好友群", true, 10},
    {L"FetionFx.exe", L"fetiondeep", L"孙八 - 飞信", L"", L"孙八", false, 12},
    {L"BaiduHi.exe", L"baidu", L"吴九", L"", L"吴九", false, 9},
};

TEST_F(RecognitionTest, ChatOfEveryFamilyOpenedAfterStartIsRecognised) {
    for (const auto& e : kEveryFamily) ASSERT_NE(Client(e.exe).Control(), nullptr);
    StartParlix();
    for (const auto& e : kEveryFamily) ExpectRecognised(Client(e.exe).Open(e.kind, e.title, e.options), e);
    EXPECT_EQ(app_->TabCount(), static_cast<int>(std::size(kEveryFamily)));
    EXPECT_EQ(app_->SelectedTab(), app_->TabCount() - 1);  // the newest tab is selected
}

TEST_F(RecognitionTest, ChatsThatExistedBeforeStartAreFoundByTheScan) {
    std::vector<std::pair<HWND, const Expected*>> opened;
    for (const auto& e : kEveryFamily) {
        FakeIm& im = Client(e.exe);
        opened.emplace_back(im.Open(e.kind, e.title, e.options), &e);
    }
    StartParlix();
    for (const auto& [window, e] : opened) ExpectRecognised(window, *e);
    EXPECT_EQ(app_->SelectedTab(), app_->TabCount() - 1);  // the scan ends on the last tab
}

// Windows of the clients that are not chats, and chats of a process that is no client: none
// is recognised. Each batch ends with a chat that is, which proves the batch was examined.
TEST_F(RecognitionTest, OnlyChatWindowsOfClientProcessesAreRecognised) {
    FakeIm& stranger = Client(L"notaclient.exe");
    const HWND strangerBefore = stranger.Open(L"dialog", L"与 张三 交谈中");
    const HWND strangerQQ2009 = stranger.Open(L"qq2009", L"李四");
    ASSERT_NE(Client(L"QQ.exe").Control(), nullptr);
    ASSERT_NE(Client(L"FetionFx.exe").Control(), nullptr);
    ASSERT_NE(Client(L"BaiduHi.exe").Control(), nullptr);
    StartParlix();

    std::vector<HWND> ignored = {strangerBefore, strangerQQ2009, stranger.Open(L"dialog", L"与 王五 交谈中")};
    FakeIm& qq = Client(L"QQ.exe");
    ignored.push_back(qq.Open(L"txpanel", L"QQ2009"));
    ignored.push_back(qq.Open(L"qq2009group", L"消息管理器"));
    ignored.push_back(qq.Open(L"qq2009group", L"表情管理"));
    ignored.push_back(qq.Open(L"qq2009group", L"TM2009 Beta"));
    ignored.push_back(qq.Open(L"dialog", L"好友验证"));
    ignored.push_back(qq.Open(L"qq2009", L"", L"hidden"));
    FakeIm& fetion = Client(L"FetionFx.exe");
    ignored.push_back(fetion.Open(L"fetiontip", L"contact_tip_widget"));
    ignored.push_back(fetion.Open(L"fetionbutton", L"系统消息 - 飞信"));
    FakeIm& baidu = Client(L"BaiduHi.exe");
    ignored.push_back(baidu.Open(L"baiduchild", L"百度Hi"));
    ignored.push_back(baidu.Open(L"baidu", L"BaiduBasement"));
    ignored.push_back(baidu.Open(L"baidu", L"Baidu Hi - 我的好友"));

    ExpectRecognised(qq.Open(L"dialog", L"与 郑十 交谈中"), {L"QQ.exe", L"dialog", L"", L"", L"郑十", false, 6});
    ExpectRecognised(fetion.Open(L"fetion", L"冯一 - 飞信"), {L"", L"fetion", L"", L"", L"冯一", false, 10});
    ExpectRecognised(baidu.Open(L"baidu", L"陈二"), {L"", L"baidu", L"", L"", L"陈二", false, 9});

    for (HWND w : ignored) {
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(::GetAncestor(w, GA_ROOT), w) << "a window that is no chat was taken";
    }
    EXPECT_EQ(app_->TabCount(), 3);
}

TEST_F(RecognitionTest, HungClientDoesNotStallRecognitionOfOtherClients) {
    FakeIm& qq = Client(L"QQ.exe");
    FakeIm& baidu = Client(L"BaiduHi.exe");
    StartParlix();
    const HWND hungChat = qq.Open(L"dialog", L"与 张三 交谈中");
    ExpectRecognised(hungChat, {L"", L"dialog", L"", L"", L"张三", false, 6});
    ASSERT_EQ(qq.Command(L"hang|8000"), 1);

    // Parlix keeps answering while a captured client hangs.
    const auto answers = [&] {
        DWORD_PTR r = 0;
        return ::SendMessageTimeoutW(app_->MainWindow(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG,
                                     static_cast<UINT>(kPatience.count()), &r) != 0;
    };
    EXPECT_TRUE(answers());
    DWORD_PTR ignored = 0;
    EXPECT_FALSE(::SendMessageTimeoutW(hungChat, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1, &ignored))
        << "the client's hang ended before Parlix answered";
    // A chat popping up in another client meanwhile is taken. (Under Wine the other client's
    // own window operations may wait on the hung one; at the latest it is taken when the hang
    // ends, and Parlix answers throughout.)
    const HWND other = baidu.Open(L"baidu", L"陈二", L"noactivate");
    EXPECT_TRUE(answers());
    const auto tab = app_->WaitForTab(other);
    ASSERT_TRUE(tab.has_value());
    EXPECT_EQ(tab->caption, L"陈二");
    EXPECT_TRUE(answers());
}

TEST_F(RecognitionTest, ClientStartedAfterParlixIsHookedByThePeriodicSearch) {
    StartParlix();
    FakeIm& qq = Client(L"QQ.exe");
    // The periodic search runs every five seconds; chats shown after it are recognised.
    // Chats keep opening until one is taken, which the first search after the client started
    // brings about; from then on every new chat is taken.
    const auto hooked = WaitFor(
        [&] {
            qq.Open(L"dialog", L"与 张三 交谈中");
            return app_->TabCount() > 0;
        },
        kPatience, 250ms);
    ASSERT_TRUE(hooked);
    EXPECT_TRUE(app_->WaitForTab(qq.Open(L"dialog", L"与 李四 交谈中")).has_value());
}

}  // namespace
}  // namespace parlix::test
