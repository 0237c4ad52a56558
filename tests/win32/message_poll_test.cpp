// The new-message poll against simulated clients: unread counts and notice texts from real
// history boxes and memory records, reading a tab, the tray flashing, and clients that hang or
// die while the poll runs.
#include "ui/message_poll_win.h"

#include "base/handle_value_win.h"
#include "capture/tab_registry_win.h"
#include "tests/support/fakeim_client.h"
#include "tests/support/process.h"
#include "tests/support/tab_nodes.h"
#include "tests/support/windows.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace parlix::test {
namespace {

// Records what the poll does to the main window, one line per call.
class RecordingHost final : public MessagePollHost {
public:
    int current = -1;
    bool active = true;
    bool silent = false;
    std::vector<std::wstring> log;

    int CurrentTab() const override { return current; }
    bool MainIsActive() const override { return active; }
    bool Silent() const override { return silent; }
    void SetItemText(int i, const std::wstring& c) override { Add(L"text " + std::to_wstring(i) + L" " + c); }
    void HilightItem(int i, bool on) override { Add(L"hilight " + std::to_wstring(i) + (on ? L" on" : L" off")); }
    void ShowTray(const std::wstring& t, const std::wstring& text, int flag) override {
        Add(L"tray " + t + L"|" + text + L"|" + std::to_wstring(flag));
    }
    std::wstring MainCaption() const override { return L"Parlix"; }
    void SetMainCaption(const std::wstring& c) override { Add(L"caption " + c); }
    void SetTrayTip(const std::wstring& t) override { Add(L"tip " + t); }
    void ApplyMaximizeBox() override { Add(L"maxbox"); }
    void SelectTab(int i) override {
        current = i + 1;
        Add(L"select " + std::to_wstring(i));
    }
    void FlashMain() override { Add(L"flash"); }
    void EnableFlashTimer(bool on) override { Add(on ? L"tmrMsg on" : L"tmrMsg off"); }
    void SetTrayIcon(TrayIconKind k) override {
        Add(k == TrayIconKind::NewMessage ? L"icon new" : k == TrayIconKind::None ? L"icon none" : L"icon main");
    }
    std::vector<std::wstring> Take() { return std::exchange(log, {}); }

private:
    void Add(std::wstring line) { log.push_back(std::move(line)); }
};

using Log = std::vector<std::wstring>;

class MessagePollTest : public testing::Test {
protected:
    void SetUp() override {
        settings_.org_AutoSwitch = 0;
        settings_.org_Caption = L"  -  家";
    }
    std::shared_ptr<clsLink> Tab(FakeIm& im, std::wstring_view kind, IM_VERSION version, const std::wstring& name) {
        const HWND w = im.Open(kind, name);
        return w ? AddTabNode(registry_, calls_, w, version, name) : nullptr;
    }
    bool Append(FakeIm& im, const std::shared_ptr<clsLink>& node, const std::wstring& text) {
        return im.Command(L"append|" + std::to_wstring(node->window.hWnd) + L"|" + text) != 0;
    }

    TempDir dir_{L"parlix-poll"};
    GdiNodeResourceFactory factory_{nullptr};
    TabRegistry registry_{factory_};
    ClientCalls calls_;
    Settings settings_;
    RecordingHost host_;
    MessagePoll poll_{registry_, calls_, settings_, host_};
};

TEST_F(MessagePollTest, NewMessagesGiveCountsAndNoticesInTabOrder) {
    auto im = FakeIm::Launch(dir_.Path(), L"QQ.exe");
    ASSERT_NE(im, nullptr);
    auto qq = Tab(*im, L"qq2008", IM_VERSION::QQ, L"张三");
    auto tm = Tab(*im, L"tm2005", IM_VERSION::QQ, L"李四");
    auto fetion = Tab(*im, L"fetion", IM_VERSION::Fetion_3_6, L"王五");
    auto memory = Tab(*im, L"qq2009", IM_VERSION::QQ2009, L"赵六");
    ASSERT_TRUE(qq && tm && fetion && memory);
    EXPECT_GT(qq->window.Msg, 0);
    EXPECT_GT(memory->window.Msg, 0);
    host_.current = 1;  // 张三 is selected, the window is active and shows other tabs' notices
    settings_.tray_AlwaysShowTip = 1;

    poll_.Tick();
    EXPECT_EQ(host_.Take(), Log{});

    for (const auto& node : {qq, tm, fetion})
        ASSERT_TRUE(Append(*im, node, L"\\n小红 10:01:00\\n看{pic}这个"));
    // The memory histories end their lines with a bare CR.
    ASSERT_TRUE(Append(*im, memory, L"\\r小红 10:01:00\\r看{pic}这个"));
    poll_.Tick();
    EXPECT_EQ(host_.Take(), (Log{
                                L"text 1 李四(1)",
                                L"hilight 1 on",
                                L"tray 李四的新消息:|小红 10:01:00\r\n看 这个|1",
                                L"text 2 王五(1)",
                                L"hilight 2 on",
                                L"tray 王五的新消息:|\r\n小红[图片]10:01:00\r\n看[图片]这个|1",
                                L"text 3 赵六(1)",
                                L"hilight 3 on",
                                L"tray 赵六的新消息:|\r\n小红 10:01:00\r\n看[图片]这个|1",
                            }));
    EXPECT_EQ(qq->window.MsgNum, 0);
    EXPECT_EQ(memory->window.MsgNum, 1);

    // Nothing new: nothing happens, however often the poll runs.
    for (int i = 0; i < 3; ++i) poll_.Tick();
    EXPECT_EQ(host_.Take(), Log{});

    ASSERT_TRUE(Append(*im, tm, L"\\n小红 10:02:00\\n在吗"));
    poll_.Tick();
    EXPECT_EQ(host_.Take(), (Log{L"text 1 李四(2)", L"hilight 1 on", L"tray 李四的新消息:|小红 10:02:00\r\n在吗|1"}));
}

TEST_F(MessagePollTest, InactiveWindowGetsAttentionAndSwitchesToTheTab) {
    auto im = FakeIm::Launch(dir_.Path(), L"QQ.exe");
    ASSERT_NE(im, nullptr);
    auto first = Tab(*im, L"qq2008", IM_VERSION::QQ, L"张三");
    auto second = Tab(*im, L"baidu", IM_VERSION::BaiduHI, L"百度");
    ASSERT_TRUE(first && second);
    host_.current = 1;
    host_.active = false;
    settings_.org_AutoSwitch = 1;
    settings_.Murmelo = true;
    std::vector<std::wstring> plugin;
    poll_.SetNoticePlugin([&](std::int32_t ms, const std::wstring& t, const std::wstring& m) {
        plugin.push_back(std::to_wstring(ms) + L" " + t + L"|" + m);
    });

    ASSERT_TRUE(Append(*im, second, L"\\r好"));
    poll_.Tick();
    EXPECT_EQ(host_.Take(), (Log{L"text 1 百度(1)", L"hilight 1 on", L"caption 百度的新消息  -    -  家",
                                 L"tip 百度的新消息", L"maxbox", L"select 1", L"flash", L"tmrMsg on"}));
    EXPECT_EQ(plugin, (std::vector<std::wstring>{L"3000 百度的新消息:|\r\n好"}));
    EXPECT_EQ(host_.current, 2);

    // Reading the tab clears its marks but not what was seen.
    const std::int32_t seen = second->window.Msg;
    host_.active = true;
    poll_.SetTabRead();
    EXPECT_EQ(host_.Take(), (Log{L"text 1 百度", L"hilight 1 off", L"tip Parlix", L"maxbox", L"tmrMsg off", L"icon main"}));
    EXPECT_EQ(second->window.MsgNum, 0);
    EXPECT_EQ(second->window.Msg, seen);
    poll_.Tick();
    EXPECT_EQ(host_.Take(), Log{});
}

TEST_F(MessagePollTest, TrayIconAlternatesWhileFlashingIsOn) {
    const struct {
        int flash;
        int trans;
        Log icons;
    } cases[] = {
        {1, 0, {L"icon new", L"icon main", L"icon new", L"icon main"}},
        {1, 1, {L"icon new", L"icon none", L"icon new", L"icon none"}},
        {0, 0, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.trans);
        settings_.tray_FlashTray = c.flash;
        settings_.tray_TransIcon = c.trans;
        MessagePoll poll(registry_, calls_, settings_, host_);
        for (int i = 0; i < 4; ++i) poll.FlashTick();
        EXPECT_EQ(host_.Take(), c.icons);
    }
}

TEST_F(MessagePollTest, ReadingATabStopsTheFlashingAndRestsTheIconWhateverTheSettings) {
    auto im = FakeIm::Launch(dir_.Path(), L"QQ.exe");
    ASSERT_NE(im, nullptr);
    ASSERT_NE(Tab(*im, L"qq2008", IM_VERSION::QQ, L"张三"), nullptr);
    host_.current = 1;
    const struct {
        int flash;
        int trans;
        const wchar_t* icon;
    } cases[] = {{1, 0, L"icon main"}, {1, 1, L"icon none"}, {0, 0, L"icon main"}, {0, 1, L"icon none"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.flash) + std::to_string(c.trans));
        settings_.tray_FlashTray = c.flash;
        settings_.tray_TransIcon = c.trans;
        poll_.FlashTick();
        host_.Take();
        poll_.SetTabRead();
        const Log log = host_.Take();
        ASSERT_GE(log.size(), 2u);
        EXPECT_EQ(log[log.size() - 2], L"tmrMsg off");
        EXPECT_EQ(log.back(), c.icon);
    }
}

TEST_F(MessagePollTest, TextThatArrivedWhileATabWasShownIsNotReportedAfterLeavingIt) {
    auto im = FakeIm::Launch(dir_.Path(), L"QQ.exe");
    ASSERT_NE(im, nullptr);
    auto left = Tab(*im, L"qq2008", IM_VERSION::QQ, L"张三");
    auto memory = Tab(*im, L"qq2009", IM_VERSION::QQ2009, L"赵六");
    ASSERT_TRUE(left && memory);
    host_.current = 3;  // neither: the tabs are being left
    ASSERT_TRUE(Append(*im, left, L"\\n小红 10:01:00\\n看这个"));
    ASSERT_TRUE(Append(*im, memory, L"\\r小红 10:01:00\\r看这个"));
    poll_.RefreshLength(left);
    poll_.RefreshLength(memory);
    poll_.Tick();
    EXPECT_EQ(host_.Take(), Log{});
}

TEST_F(MessagePollTest, HungClientCostsAtMostTheTimeoutAndOthersGoOn) {
    auto hung = FakeIm::Launch(dir_.Path(), L"QQ.exe");
    auto other = FakeIm::Launch(dir_.Path(), L"TM.exe");
    ASSERT_TRUE(hung && other);
    auto stuck = Tab(*hung, L"qq2008", IM_VERSION::QQ, L"张三");
    auto fine = Tab(*other, L"qq2008", IM_VERSION::QQ, L"李四");
    ASSERT_TRUE(stuck && fine);
    host_.active = true;

    ASSERT_TRUE(hung->Command(L"hang|6000"));
    ASSERT_TRUE(Append(*other, fine, L"\\n小红\\n你好"));
    for (int i = 0; i < 4; ++i) poll_.Tick();
    EXPECT_EQ(fine->window.MsgNum, 1);
    // The ticks gave up on the hung client instead of waiting for it: it still does not answer.
    // (What a tick costs meanwhile is a figure of bench/poll_cost.)
    DWORD_PTR ignored = 0;
    EXPECT_FALSE(::SendMessageTimeoutW(Window(stuck->window.hWnd), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1, &ignored));

    // Once it answers again its new messages count.
    ASSERT_TRUE(WaitFor([&] { return Append(*hung, stuck, L"\\n小红\\n回来了"); }));
    EXPECT_TRUE(WaitFor([&] {
        poll_.Tick();
        return stuck->window.MsgNum == 1;
    }));
}

// How quickly is a figure of bench/poll_cost.
TEST_F(MessagePollTest, DeadClientIsSkipped) {
    auto im = FakeIm::Launch(dir_.Path(), L"QQ.exe");
    ASSERT_NE(im, nullptr);
    auto box = Tab(*im, L"qq2008", IM_VERSION::QQ, L"张三");
    auto memory = Tab(*im, L"qq2009", IM_VERSION::QQ2009, L"赵六");
    ASSERT_TRUE(box && memory);
    im->Command(L"crash");
    ASSERT_TRUE(im->Proc().Wait(kPatience));
    poll_.Tick();
    EXPECT_EQ(host_.Take(), Log{});
}


// A window of the test's thread that hands the worker's results to the poll, as the main window
// does.
class ResultWindow {
public:
    static constexpr UINT kResults = WM_APP + 11;
    explicit ResultWindow(MessagePoll& poll) {
        WNDCLASSW wc{};
        wc.lpfnWndProc = Proc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"ParlixPollResults";
        ::RegisterClassW(&wc);
        hwnd_ = ::CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
        ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&poll));
    }
    ~ResultWindow() { ::DestroyWindow(hwnd_); }
    [[nodiscard]] HWND Hwnd() const { return hwnd_; }

private:
    static LRESULT CALLBACK Proc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
        if (msg == kResults) {
            reinterpret_cast<MessagePoll*>(::GetWindowLongPtrW(w, GWLP_USERDATA))->TakeResults();
            return 0;
        }
        return ::DefWindowProcW(w, msg, wp, lp);
    }
    HWND hwnd_ = nullptr;
};

// On the worker: the first round reads every tab (the sweep); later rounds read only the tabs a
// notice named, with the same outcomes as a whole poll.
TEST_F(MessagePollTest, WorkerReadsNotifiedTabsAndAppliesTheirResultsInTabOrder) {
    auto im = FakeIm::Launch(dir_.Path(), L"QQ.exe");
    ASSERT_NE(im, nullptr);
    auto first = Tab(*im, L"qq2008", IM_VERSION::QQ, L"张三");
    auto box = Tab(*im, L"tm2005", IM_VERSION::QQ, L"李四");
    auto memory = Tab(*im, L"qq2009", IM_VERSION::QQ2009, L"赵六");
    ASSERT_TRUE(first && box && memory);
    host_.current = 1;
    settings_.tray_AlwaysShowTip = 1;
    ResultWindow results(poll_);
    poll_.Start(results.Hwnd(), ResultWindow::kResults);

    ASSERT_TRUE(Append(*im, memory, L"\\r小红 10:01:00\\r看{pic}这个"));
    ASSERT_TRUE(Append(*im, box, L"\\n小红 10:01:00\\n看{pic}这个"));
    poll_.Schedule();  // the sweep: both found
    ASSERT_TRUE(WaitFor([&] { return host_.log.size() >= 6; }));
    EXPECT_EQ(host_.Take(), (Log{
                                L"text 1 李四(1)",
                                L"hilight 1 on",
                                L"tray 李四的新消息:|小红 10:01:00\r\n看 这个|1",
                                L"text 2 赵六(1)",
                                L"hilight 2 on",
                                L"tray 赵六的新消息:|\r\n小红 10:01:00\r\n看[图片]这个|1",
                            }));
    EXPECT_EQ(poll_.LastFoundBy(*box), FoundBy::Sweep);

    ASSERT_TRUE(Append(*im, box, L"\\n小红 10:02:00\\n在吗"));
    poll_.HistoryChanged(Window(box->window.ChatHwnd));
    poll_.Schedule();
    ASSERT_TRUE(WaitFor([&] { return host_.log.size() >= 3; }));
    EXPECT_EQ(host_.Take(), (Log{L"text 1 李四(2)", L"hilight 1 on", L"tray 李四的新消息:|小红 10:02:00\r\n在吗|1"}));
    EXPECT_EQ(poll_.LastFoundBy(*box), FoundBy::Notice);
}

// A tab closed while the worker reads it: its result is dropped, nothing refers to the node.
TEST_F(MessagePollTest, TabThatLeavesWhileItsReadIsInFlightIsIgnored) {
    auto im = FakeIm::Launch(dir_.Path(), L"QQ.exe");
    ASSERT_NE(im, nullptr);
    auto gone = Tab(*im, L"qq2009", IM_VERSION::QQ2009, L"赵六");
    auto stays = Tab(*im, L"qq2008", IM_VERSION::QQ, L"张三");
    ASSERT_TRUE(gone && stays);
    settings_.tray_AlwaysShowTip = 1;
    ResultWindow results(poll_);
    poll_.Start(results.Hwnd(), ResultWindow::kResults);

    ASSERT_TRUE(Append(*im, gone, L"\\r好"));
    ASSERT_TRUE(Append(*im, stays, L"\\n小红\\n你好"));
    poll_.Schedule();
    // Closed before the results are taken: the registry lets go, so does the test.
    const std::weak_ptr<clsLink> watch = gone;
    ASSERT_NE(registry_.DelNode(1), nullptr);
    gone.reset();
    EXPECT_TRUE(watch.expired()) << "the worker's round holds the node";
    ASSERT_TRUE(WaitFor([&] { return stays->window.MsgNum == 1; }));
    EXPECT_EQ(host_.Take(), (Log{L"text 0 张三(1)", L"hilight 0 on", L"tray 张三的新消息:|小红\r\n你好|1"}));
}

}  // namespace
}  // namespace parlix::test
