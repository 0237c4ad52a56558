#include "capture/discovery_rules.h"

#include "fake_window_tree.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace parlix {
void PrintTo(Hwnd h, std::ostream* os) {
    *os << "Hwnd(" << std::hex << h.value << ")";
}
} // namespace parlix

namespace parlix::testing {
namespace {

constexpr const wchar_t* kFetionClass = L"WindowsForms10.Window.8.app.0.33c0d9d";

class Discovery : public ::testing::Test {
  protected:
    // A top-level window with the given children (class, title), first child first.
    Hwnd Main(std::wstring cls, std::wstring title,
              std::vector<std::pair<std::wstring, std::wstring>> children, std::uint32_t tid = 10,
              std::uint32_t pid = 20) {
        const Hwnd w = tree.Add({std::move(cls), std::move(title), 0x10000000, 0, pid, tid});
        for (auto& [childClass, childTitle] : children)
            tree.Add({childClass, childTitle, 0, 0, pid, tid}, w);
        return w;
    }
    std::vector<Hwnd> Found() const { return FindClientMainWindows(tree); }

    FakeWindowTree tree;
};

TEST_F(Discovery, ClientMainWindowNeedsItsFirstMatchingChildUntitled) {
    struct Case {
        std::wstring cls, title;
        std::vector<std::pair<std::wstring, std::wstring>> children;
        bool found;
    };
    const Case cases[] = {
        {L"#32770", L"QQ", {{L"Tencent_QQBar", L""}}, true},
        {L"#32770", L"", {{L"Button", L"OK"}, {L"Tencent_QQBar", L""}}, true},
        {L"#32770", L"QQ", {{L"Tencent_QQBar", L"bar"}}, false},
        {L"#32770", L"QQ", {{L"Tencent_QQBar", L"bar"}, {L"Tencent_QQBar", L""}}, false},
        {L"#32770", L"TM", {{L"Tencent_BarMgr_Class_Ver1.0", L""}}, true},
        {L"TXGuiFoundation", L"QQ2009", {{L"Static", L""}}, true},
        {L"TXGuiFoundation", L"QQ2009 正式版 SP1", {{L"Static", L""}}, true},
        {L"TXGuiFoundation", L"TM2009 Beta2", {{L"Static", L""}}, true},
        {L"TXGuiFoundation", L"QQ2009", {{L"Static", L"x"}, {L"Static", L""}}, false},
        {L"TXGuiFoundation", L"QQ2009", {}, false},
        {L"TXGuiFoundation", L"QQ2009 Beta3", {{L"Static", L""}}, false},
        {L"TXGuiFoundation", L"qq2009", {{L"Static", L""}}, false},
        {L"BaseGui", L"百度Hi", {{L"Panel", L""}}, true},
        {L"BaseGui", L"百度Hi", {{L"Panel", L"x"}}, false},
        {L"Tencent_QQBar", L"QQ", {{L"Tencent_QQBar", L""}}, false},
    };
    for (const Case& c : cases) {
        tree = FakeWindowTree{};
        const Hwnd w = Main(c.cls, c.title, c.children);
        EXPECT_EQ(Found(), c.found ? std::vector{w} : std::vector<Hwnd>{})
            << ::testing::PrintToString(c.cls) << " " << ::testing::PrintToString(c.title);
    }
}

TEST_F(Discovery, FetionSearchesAlsoTestTheFormClass) {
    const Hwnd fetion = Main(kFetionClass, L"Fetion 2008", {{L"Panel", L""}});
    const Hwnd olympic = Main(kFetionClass, L"Fetion 2008 奥运版", {{L"Panel", L""}});
    Main(L"Notepad", L"Fetion 2008", {{L"Edit", L""}});
    Main(L"WindowsForms10.Window.8.app.0", L"Fetion 2008", {{L"Panel", L""}});
    EXPECT_EQ(Found(), (std::vector{fetion, olympic}));
}

TEST_F(Discovery, OlderQQNeedsUntitledToolbarAndPanelInAnyOrder) {
    const Hwnd panelFirst = Main(L"#32770", L"", {{L"AfxWnd42", L"x"}, {L"ToolbarWindow32", L""}});
    Main(L"#32770", L"", {{L"ToolbarWindow32", L"tools"}, {L"AfxWnd42", L""}});
    Main(L"#32770", L"", {{L"ToolbarWindow32", L"tools"}, {L"ToolbarWindow32", L""}, {L"AfxWnd42", L""}});
    Main(L"#32770", L"", {{L"ToolbarWindow32", L""}});
    Main(L"#32770", L"", {{L"AfxWnd42", L""}});
    EXPECT_EQ(Found(), std::vector{panelFirst});
}

TEST_F(Discovery, WindowsComeInSearchOrderThenZOrderOncePerMatchingSearch) {
    const Hwnd baidu1 = Main(L"BaseGui", L"", {{L"P", L""}});
    const Hwnd tm = Main(L"TXGuiFoundation", L"TM2009", {{L"P", L""}});
    const Hwnd fetion = Main(kFetionClass, L"Fetion 2008", {{L"P", L""}});
    const Hwnd qq2009 = Main(L"TXGuiFoundation", L"QQ2009", {{L"P", L""}});
    const Hwnd baidu2 = Main(L"BaseGui", L"", {{L"P", L""}});
    // Matched by the first search and by the last one.
    const Hwnd qq =
        Main(L"#32770", L"", {{L"Tencent_QQBar", L""}, {L"ToolbarWindow32", L""}, {L"AfxWnd42", L""}});
    EXPECT_EQ(Found(), (std::vector{qq, qq2009, fetion, tm, baidu1, baidu2, qq}));
}

TEST_F(Discovery, RepeatedDiscoveryHooksEachClientThreadOnceAndRecordsEachProcessOnce) {
    Main(L"#32770", L"", {{L"Tencent_QQBar", L""}}, /*tid*/ 11, /*pid*/ 21);
    Main(L"TXGuiFoundation", L"QQ2009", {{L"P", L""}}, 11, 21); // same UI thread
    Main(L"BaseGui", L"", {{L"P", L""}}, 12, 21);               // same process, other thread
    Main(L"TXGuiFoundation", L"TM2009", {{L"P", L""}}, 13, 23);

    ClientList clients;
    std::vector<std::uint32_t> hooked;
    for (int round = 0; round < 3; ++round) {
        for (Hwnd w : Found()) {
            if (clients.AddThread(tree.ThreadId(w))) hooked.push_back(tree.ThreadId(w));
            clients.AddProcess(tree.ProcessId(w));
        }
    }
    EXPECT_EQ(hooked, (std::vector<std::uint32_t>{11, 13, 12}));
    EXPECT_EQ(std::vector(clients.ThreadIds().begin(), clients.ThreadIds().end()), hooked);
    EXPECT_EQ(std::vector(clients.ProcessIds().begin(), clients.ProcessIds().end()),
              (std::vector<std::uint32_t>{21, 23}));
}

TEST(ImName, ConfiguredNameMatchesStartOfExecutableNameIgnoringCase) {
    struct Case {
        std::wstring configured, exe;
        bool running;
    };
    const Case cases[] = {
        {L"QQ.exe", L"qq.exe", true},
        {L"qq.exe", L"QQ.EXE", true},
        {L"QQ", L"QQProtect.exe", true}, // a prefix is enough
        {L"QQ.exe", L"QQ.ex", false},
        {L"QQ.exe", L"TM.exe", false},
        {L"Fetion.EXE", L"FetionFx.exe", true},
        {L"fetion.exe", L"fetion.exe", false}, // the configured name stands for fetionfx.exe
        {L"fetion", L"fetion.exe", true},      // only the full name is replaced
        {L"", L"qq.exe", false},
        {L"", L"", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ImNameMatches(c.configured, c.exe), c.running)
            << ::testing::PrintToString(c.configured) << " " << ::testing::PrintToString(c.exe);
}

} // namespace
} // namespace parlix::testing
