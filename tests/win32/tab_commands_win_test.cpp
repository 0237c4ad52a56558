// TabCommands over a real tab strip and registry, with a host that records what it is asked.
#include "ui/tab_commands_win.h"

#include "capture/tab_registry_win.h"
#include "ui/tab_drag_win.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace parlix::test {
namespace {

class FakeHost final : public TabUiHost {
public:
    FakeHost() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = ::DefWindowProcW;
        wc.lpszClassName = L"ParlixTabCommandsTestMain";
        ::RegisterClassW(&wc);
        main_ = ::CreateWindowExW(0, wc.lpszClassName, L"", WS_OVERLAPPEDWINDOW, 0, 0, 640, 480, nullptr, nullptr,
                                  nullptr, nullptr);
        strip_.Create(main_, 0, 0, 640, 480);
    }
    ~FakeHost() { ::DestroyWindow(main_); }

    // Tabs named by one letter each; the letter stands in for the window handle.
    void Fill(const std::string& names, const std::string& locked = "") {
        for (char name : names) {
            auto node = registry_.CreateNode();
            node->window.hWnd = static_cast<HandleValue>(name);
            node->window.Locked = locked.find(name) != std::string::npos;
            (void)registry_.InsertNode(node);
            strip_.AddItem(std::wstring(1, static_cast<wchar_t>(name)));
        }
    }
    std::string Names() const {
        std::string names;
        for (const auto& node : registry_.Nodes()) names += static_cast<char>(node->window.hWnd);
        return names;
    }

    TabRegistry& Registry() override { return registry_; }
    TabControl& Strip() override { return strip_; }
    HWND MainHwnd() const override { return main_; }
    HWND PicWin() const override { return main_; }
    void PopTab(int index) override { popped.push_back(index); }
    // As the capture engine's close: a locked tab stays.
    void CloseTab(int index) override {
        closed += static_cast<char>(registry_.GetNode(index + 1)->window.hWnd);
        if (registry_.GetNode(index + 1)->window.Locked) return;
        registry_.DelNode(index + 1);
        strip_.DelItem(index);
    }
    void FocusCurrent() override {}
    bool TabShowIcon() const override { return showIcon; }
    std::int32_t TabNormal() const override { return 0x123456; }
    void ShowOrHide() override { calls += "show "; }
    void ShowSettings() override { calls += "settings "; }
    void ShowAbout() override { calls += "about "; }
    void Exit() override { calls += "exit "; }

    std::vector<int> popped;
    std::string closed;  // tabs asked to close, in order
    std::string calls;
    bool showIcon = true;

private:
    HWND main_ = nullptr;
    TabControl strip_;
    GdiNodeResourceFactory factory_{nullptr};
    TabRegistry registry_{factory_};
};

TEST(TabCommands, CloseAllAndCloseOthersLeaveLockedTabsAndCloseNoWrongOne) {
    struct Case {
        const char* locked;
        unsigned command;
        int context;
        const char* left;
    };
    const Case table[] = {
        {"", mnuCloseAll, 0, ""},        {"B", mnuCloseAll2, 0, "B"},   {"AD", mnuCloseAll3, 2, "AD"},
        {"", mnuCloseOther, 0, "A"},     {"C", mnuCloseOther, 0, "AC"}, {"A", mnuCloseOther, 2, "AC"},
        {"B", mnuCloseOther, 1, "B"},    {"ABCD", mnuCloseOther, 3, "ABCD"},
    };
    for (const Case& c : table) {
        FakeHost host;
        host.Fill("ABCD", c.locked);
        TabCommands commands(host);
        commands.ContextTab(c.context);
        EXPECT_TRUE(commands.Execute(c.command));
        EXPECT_EQ(host.Names(), c.left) << c.locked << " " << c.command;
        EXPECT_EQ(host.closed.find_first_of(c.locked), std::string::npos) << "a locked tab is not even tried";
        EXPECT_EQ(host.Strip().count(), static_cast<int>(std::string(c.left).size()));
    }
}

TEST(TabCommands, LockSwapsTheTabImage) {
    for (const bool showIcon : {true, false}) {
        FakeHost host;
        host.showIcon = showIcon;
        host.Fill("AB");
        TabCommands commands(host);
        commands.ContextTab(1);
        commands.Execute(mnuLock);
        EXPECT_TRUE(host.Registry().GetNode(2)->window.Locked);
        EXPECT_EQ(host.Strip().GetItemImage(1), 0);
        commands.Execute(mnuLock);
        EXPECT_FALSE(host.Registry().GetNode(2)->window.Locked);
        EXPECT_EQ(host.Strip().GetItemImage(1), showIcon ? 1 : -1);
        EXPECT_FALSE(host.Registry().GetNode(1)->window.Locked) << "only the context tab";
    }
}

TEST(TabCommands, ColourItemsSetTheTabColour) {
    FakeHost host;
    host.Fill("AB");
    std::optional<COLORREF> answer;
    COLORREF offered = 0;
    TabCommands commands(host, [&](HWND, COLORREF initial) {
        offered = initial;
        return answer;
    });
    commands.ContextTab(0);
    clsLink& node = *host.Registry().GetNode(1);

    commands.Execute(mnuColor + 2);
    EXPECT_EQ(node.window.TabColor, 0xFFC8A6);
    EXPECT_EQ(node.colorIndex, 2);
    commands.Execute(mnuColor + 0);
    EXPECT_EQ(node.window.TabColor, 0x123456) << "the default is the normal tab colour setting";

    commands.Execute(mnuColor + 3);
    commands.Execute(mnuColor + 99);  // cancelled
    EXPECT_EQ(offered, 0xFF80u) << "the dialog starts from the tab's colour";
    EXPECT_EQ(node.window.TabColor, 0xFF80);
    EXPECT_EQ(node.colorIndex, 3);

    answer = RGB(1, 2, 3);
    commands.Execute(mnuColor + 99);
    EXPECT_EQ(node.window.TabColor, static_cast<std::int32_t>(RGB(1, 2, 3)));
    EXPECT_EQ(node.colorIndex, 99);
}

TEST(TabCommands, PerTabCommandsNeedAContextTab) {
    FakeHost host;
    host.Fill("AB");
    TabCommands commands(host);
    commands.ContextTab(-1);
    commands.Execute(mnuPop);
    commands.Execute(mnuClose);
    commands.Execute(mnuCloseOther);
    EXPECT_TRUE(host.popped.empty());
    EXPECT_EQ(host.Names(), "AB");
    commands.MButtonClicked(1);
    EXPECT_EQ(host.Names(), "A");
    EXPECT_EQ(commands.ContextTab(), 1);
}

}  // namespace
}  // namespace parlix::test

namespace parlix::test {
namespace {

TEST(TabDragMarker, IsAsTallAsTheTabRow) {
    FakeHost host;
    ::ShowWindow(host.MainHwnd(), SW_SHOW);
    host.Fill("AB");
    TabCommands commands(host);
    TabDrag drag(host, commands);
    const RECT first = host.Strip().GetItemRect(0), second = host.Strip().GetItemRect(1);
    drag.MouseDown(first.left + 4, first.top + 4, 0);
    drag.MouseMove(1, second.left + 12, second.top + 4, 1);
    ASSERT_NE(drag.picInsert(), nullptr);
    RECT marker{};
    ::GetWindowRect(drag.picInsert(), &marker);
    EXPECT_TRUE(::IsWindowVisible(drag.picInsert()));
    EXPECT_EQ(marker.bottom - marker.top, host.Strip().GetHeaderHeight());
    EXPECT_GT(host.Strip().GetHeaderHeight(), 0);
    drag.MouseUp(second.left + 12, second.top + 4, 1);
}

}  // namespace
}  // namespace parlix::test
