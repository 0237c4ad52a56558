// TabControl over a real tab window. Calls and user input go in as real calls and messages; the
// item and selection messages the tab window receives, the notices it sends its host and the
// control's events come out in one log, compared with expected sequences.
#include "ui/tab_control_win.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace parlix::test {
namespace {

using Log = std::vector<std::string>;

std::string Entry(const char* name, std::initializer_list<int> args = {}) {
    std::string text = name;
    for (int a : args) text += " " + std::to_string(a);
    return text;
}

class Recorder final : public TabControlEvents {
public:
    explicit Recorder(Log& log) : log_(log) {}
    void Changed(int i) override { log_.push_back(Entry("Changed", {i})); }
    void MouseMove(int b, int x, int y, int i) override { log_.push_back(Entry("MouseMove", {b, x, y, i})); }
    void MouseDown(int x, int y, int i) override { log_.push_back(Entry("MouseDown", {x, y, i})); }
    void MouseUp(int x, int y, int i) override { log_.push_back(Entry("MouseUp", {x, y, i})); }
    void LButtonClicked() override { log_.push_back("LButtonClicked"); }
    void LButtonDBLClicked() override { log_.push_back("LButtonDBLClicked"); }
    void RButtonClicked(int i) override { log_.push_back(Entry("RButtonClicked", {i})); }
    void MButtonClicked(int i) override { log_.push_back(Entry("MButtonClicked", {i})); }
    void RButtonClickedWindow() override { log_.push_back("RButtonClickedWindow"); }

private:
    Log& log_;
};

// Installed after the control's own watchers on both windows, so those see each message first.
LRESULT CALLBACK Spy(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR log) {
    auto& out = *reinterpret_cast<Log*>(log);
    const auto at = static_cast<int>(wParam);
    const UINT code = msg == WM_NOTIFY ? reinterpret_cast<const NMHDR*>(lParam)->code : 0;
    if (msg == TCM_INSERTITEMW) out.push_back(Entry("TCM_INSERTITEM", {at}));
    if (msg == TCM_DELETEITEM) out.push_back(Entry("TCM_DELETEITEM", {at}));
    if (msg == TCM_SETCURSEL) out.push_back(Entry("TCM_SETCURSEL", {at}));
    if (code == TCN_SELCHANGING) out.push_back("TCN_SELCHANGING");
    if (code == TCN_SELCHANGE) out.push_back("TCN_SELCHANGE");
    if (code == NM_CLICK) out.push_back("NM_CLICK");
    if (code == NM_RCLICK) out.push_back("NM_RCLICK");
    return ::DefSubclassProc(hwnd, msg, wParam, lParam);
}

// The host sits at (10, 20) in its parent, 400 × 300. The parent stays hidden: showing a
// window costs two seconds under Wine, and nothing here needs pixels.
constexpr RECT kHost{10, 20, 410, 320};

class TabControlTest : public ::testing::Test {
protected:
    void SetUp() override {
        WNDCLASSW wc{};
        wc.lpfnWndProc = ::DefWindowProcW;
        wc.lpszClassName = L"ParlixTabTestParent";
        ::RegisterClassW(&wc);
        parent_ = ::CreateWindowExW(0, wc.lpszClassName, L"", WS_OVERLAPPEDWINDOW, 0, 0, 640, 480, nullptr,
                                    nullptr, nullptr, nullptr);
        ASSERT_TRUE(tabs_.Create(parent_, kHost.left, kHost.top, 400, 300));
        tabs_.SetEvents(&recorder_);
        for (HWND w : {tabs_.hwnd(), tabs_.ControlhWnd()})
            ::SetWindowSubclass(w, Spy, 1, reinterpret_cast<DWORD_PTR>(&log_));
    }
    void TearDown() override { ::DestroyWindow(parent_); }
    // Tabs with these captions, the one at `selected` selected, the log emptied.
    void Fill(const std::vector<std::wstring>& captions, int selected = 0) {
        tabs_.Clear();
        for (const auto& c : captions) tabs_.AddItem(c);
        ::SendMessageW(tabs_.hwnd(), TCM_SETCURSEL, static_cast<WPARAM>(selected), 0);
        log_.clear();
    }
    [[nodiscard]] std::wstring Captions() const {
        std::wstring all;
        for (int i = 0; i < tabs_.count(); ++i) all += tabs_.GetItemText(i);
        return all;
    }
    [[nodiscard]] std::wstring SelectedCaption() const { return tabs_.GetItemText(tabs_.Selected()); }

    HWND parent_ = nullptr;
    Log log_;
    Recorder recorder_{log_};
    TabControl tabs_;
};

TEST_F(TabControlTest, AddItemInsertsAtThePositionOrAtTheEndWithoutSelectionEvents) {
    Fill({});
    EXPECT_EQ((std::vector<int>{tabs_.AddItem(L"a"), tabs_.AddItem(L"b", 0), tabs_.AddItem(L"c", 9),
                                tabs_.AddItem(L"d", -1)}),
              (std::vector<int>{0, 0, 2, 3}));  // past the end: appended, the real index returned
    EXPECT_EQ(Captions(), L"bacd");
    EXPECT_EQ(SelectedCaption(), L"a");  // the first tab selected itself
    EXPECT_EQ(log_, (Log{"TCM_INSERTITEM 0", "TCM_INSERTITEM 0", "TCM_INSERTITEM 9", "TCM_INSERTITEM 3"}));
}

TEST_F(TabControlTest, DelItemKeepsTheSelectedTabOrSelectsTheOneTakingItsPlace) {
    const struct {
        const char* name;
        std::vector<std::wstring> tabs;
        int selected, position;
        Log expected;
        std::wstring selectedAfter;
    } cases[] = {
        {"selected last", {L"a", L"b", L"c", L"d"}, 3, 3, {"TCM_DELETEITEM 3", "TCM_SETCURSEL 2", "Changed 2"}, L"c"},
        {"selected middle", {L"a", L"b", L"c", L"d"}, 1, 1, {"TCM_DELETEITEM 1", "TCM_SETCURSEL 1", "Changed 1"}, L"c"},
        {"left of selected", {L"a", L"b", L"c", L"d"}, 2, 0, {"TCM_DELETEITEM 0", "TCM_SETCURSEL 1", "Changed 1"}, L"c"},
        {"right of selected", {L"a", L"b", L"c"}, 1, 2, {"TCM_DELETEITEM 2", "TCM_SETCURSEL 1", "Changed 1"}, L"b"},
        {"only tab", {L"a"}, 0, 0, {"TCM_DELETEITEM 0"}, L""},
        {"no such tab", {L"a", L"b"}, 1, 5, {"TCM_DELETEITEM 5", "TCM_SETCURSEL 1", "Changed 1"}, L"b"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Fill(c.tabs, c.selected);
        tabs_.DelItem(c.position);
        EXPECT_EQ(log_, c.expected);
        EXPECT_EQ(SelectedCaption(), c.selectedAfter);
    }
}

TEST_F(TabControlTest, WritingSelectedRaisesChangedEvenWhenNothingChanges) {
    Fill({L"a", L"b", L"c"});
    for (const int position : {1, 1, -1, 7}) tabs_.Selected(position);
    EXPECT_EQ(log_, (Log{"TCM_SETCURSEL 1", "Changed 1", "TCM_SETCURSEL 1", "Changed 1",  // -1: nothing
                         "TCM_SETCURSEL 7", "Changed 1"}));  // no such tab: the selection read back
}

TEST_F(TabControlTest, UserInputRaisesEventsBeforeTheWindowActsOnIt) {
    Fill({L"first", L"second", L"third"});
    const RECT r0 = tabs_.GetItemRect(0), r2 = tabs_.GetItemRect(2);
    const POINT p0{r0.left + 5, r0.top + 5}, p2{r2.left + 5, r2.top + 5};
    const LPARAM at0 = MAKELPARAM(p0.x, p0.y), at2 = MAKELPARAM(p2.x, p2.y);
    const HWND tab = tabs_.hwnd(), host = tabs_.ControlhWnd();
    NMHDR foreign{parent_, 0, TCN_SELCHANGE};
    const struct {
        const char* name;
        HWND target;
        UINT msg;
        WPARAM wParam;
        LPARAM lParam;
        Log expected;
    } steps[] = {
        {"press on another tab", tab, WM_LBUTTONDOWN, MK_LBUTTON, at2,
         {Entry("MouseDown", {p2.x, p2.y, 2}), "TCN_SELCHANGING", "TCN_SELCHANGE", "Changed 2"}},
        {"release", tab, WM_LBUTTONUP, 0, at2, {Entry("MouseUp", {p2.x, p2.y, 2}), "NM_CLICK", "LButtonClicked"}},
        {"press on the selected tab", tab, WM_LBUTTONDOWN, MK_LBUTTON, at2, {Entry("MouseDown", {p2.x, p2.y, 2})}},
        {"double click", tab, WM_LBUTTONDBLCLK, MK_LBUTTON, at0, {"LButtonDBLClicked"}},
        {"drag over a tab", tab, WM_MOUSEMOVE, MK_LBUTTON, at0, {Entry("MouseMove", {MK_LBUTTON, p0.x, p0.y, 0})}},
        {"drag above and left of the window", tab, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(-5, -3),
         {Entry("MouseMove", {MK_LBUTTON, -5, -3, -1})}},
        {"move over the display area", tab, WM_MOUSEMOVE, 0, MAKELPARAM(200, 250), {"MouseMove 0 200 250 -1"}},
        {"right release on a tab", tab, WM_RBUTTONUP, 0, at0, {"RButtonClicked 0", "NM_RCLICK"}},
        {"middle release on a tab", tab, WM_MBUTTONUP, 0, at2, {"MButtonClicked 2"}},
        {"left arrow key", tab, WM_KEYDOWN, VK_LEFT, 0, {"TCN_SELCHANGING", "TCN_SELCHANGE", "Changed 1"}},
        {"right release beside the tabs", host, WM_RBUTTONUP, 0, MAKELPARAM(380, 5), {"RButtonClickedWindow"}},
        {"another window's notice", host, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&foreign), {"TCN_SELCHANGE"}},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.name);
        log_.clear();
        ::SendMessageW(s.target, s.msg, s.wParam, s.lParam);
        EXPECT_EQ(log_, s.expected);
    }
}

TEST_F(TabControlTest, MoveTabCarriesCaptionImageAndHighlightAndKeepsTheSelectedTab) {
    const struct {
        int from, to;
        std::wstring order;
        Log expected;
    } cases[] = {
        {0, 4, L"bcda", {"TCM_INSERTITEM 4", "TCM_DELETEITEM 0", "TCM_SETCURSEL 1", "Changed 1"}},
        {0, 2, L"bacd", {"TCM_INSERTITEM 2", "TCM_DELETEITEM 0", "TCM_SETCURSEL 2", "Changed 2"}},
        {3, 0, L"dabc", {"TCM_INSERTITEM 0", "TCM_DELETEITEM 4", "TCM_SETCURSEL 3", "Changed 3"}},
        {2, 0, L"cabd", {"TCM_INSERTITEM 0", "TCM_DELETEITEM 3", "TCM_SETCURSEL 0", "Changed 0"}},  // the selected one
        {2, 2, L"abcd", {"TCM_INSERTITEM 2", "TCM_DELETEITEM 3", "TCM_SETCURSEL 2", "Changed 2"}},
        {1, -3, L"bacd", {"TCM_INSERTITEM 0", "TCM_DELETEITEM 2", "TCM_SETCURSEL 2", "Changed 2"}},
        {7, 0, L"abcd", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.from << " -> " << c.to);
        Fill({L"a", L"b", L"c", L"d"}, 2);
        for (int i = 0; i < 4; ++i) tabs_.SetItemImage(10 + i, i);
        tabs_.HilightItem(c.from, true);
        tabs_.MoveTab(c.from, c.to);
        EXPECT_EQ(log_, c.expected);
        ASSERT_EQ(Captions(), c.order);
        EXPECT_EQ(SelectedCaption(), L"c");
        for (int i = 0; i < 4; ++i) {
            const int letter = c.order[static_cast<size_t>(i)] - L'a';
            EXPECT_EQ(tabs_.GetItemImage(i), 10 + letter) << i;
            EXPECT_EQ(tabs_.IsHilighted(i), letter == c.from) << i;
        }
    }
}

TEST_F(TabControlTest, CaptionsRoundTripUpTo254Characters) {
    const std::wstring emoji = L"\U0001F600";
    const struct {
        const char* name;
        std::wstring caption, read;
    } cases[] = {
        {"empty", L"", L""},
        {"group chat", L"张三（群聊）", L"张三（群聊）"},
        {"Korean and emoji", L"테스트 " + emoji, L"테스트 " + emoji},
        {"254 characters", std::wstring(254, L'a'), std::wstring(254, L'a')},
        {"255 characters", std::wstring(255, L'a'), std::wstring(254, L'a')},
        {"300 CJK characters", std::wstring(300, L'中'), std::wstring(254, L'中')},
        {"pair cut in half", std::wstring(253, L'a') + emoji, std::wstring(253, L'a')},
        {"embedded NUL", std::wstring(L"ab\0cd", 5), L"ab"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Fill({L"x"});
        EXPECT_EQ(tabs_.AddItem(c.caption), 1);
        EXPECT_TRUE(tabs_.SetItemText(0, c.caption));
        EXPECT_EQ(tabs_.GetItemText(0), c.read);
        EXPECT_EQ(tabs_.GetItemText(1), c.read);
    }
    EXPECT_EQ(tabs_.GetItemText(2), L"");
    // A move carries the whole caption, beyond what GetItemText shows.
    Fill({std::wstring(300, L'x'), L"b"});
    tabs_.MoveTab(0, 2);
    std::wstring buffer(400, L'\0');
    TCITEMW item{TCIF_TEXT, 0, 0, buffer.data(), 400, 0, 0};
    ::SendMessageW(tabs_.hwnd(), TCM_GETITEMW, 1, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(std::wstring(buffer.c_str()), std::wstring(300, L'x'));
}

TEST_F(TabControlTest, BottomAndRollRestyleTheStripAndKeepItsItems) {
    std::vector<std::wstring> captions;
    std::wstring all;
    for (int i = 0; i < 12; ++i) all += captions.emplace_back(L"聊天窗口 " + std::to_wstring(i));
    Fill(captions, 5);
    tabs_.HilightItem(7, true);
    tabs_.SetItemImage(0, 3);
    for (const bool bottom : {true, false}) {
        for (const bool roll : {true, false}) {
            SCOPED_TRACE(testing::Message() << "bottom " << bottom << ", roll " << roll);
            tabs_.Bottom(bottom);
            tabs_.Roll(roll);
            const auto style = static_cast<DWORD>(::GetWindowLongW(tabs_.hwnd(), GWL_STYLE));
            EXPECT_EQ(style & (TCS_BOTTOM | TCS_MULTILINE), (bottom ? TCS_BOTTOM : 0u) | (roll ? 0u : TCS_MULTILINE));
            EXPECT_EQ(Captions(), all);
            EXPECT_EQ(tabs_.Selected(), 5);
            EXPECT_TRUE(tabs_.IsHilighted(7));
            EXPECT_EQ(tabs_.GetItemImage(3), 0);
            EXPECT_EQ(::SendMessageW(tabs_.hwnd(), TCM_GETROWCOUNT, 0, 0) > 1, !roll);
            EXPECT_EQ(tabs_.GetHeaderTop() > 150, bottom);
        }
    }
}

TEST_F(TabControlTest, DisplayAreaLiesInsideTheControlBesideTheHeader) {
    Fill({L"a", L"b"});
    for (const bool bottom : {false, true}) {
        SCOPED_TRACE(bottom ? "tabs at the bottom" : "tabs at the top");
        tabs_.Bottom(bottom);
        const int header = tabs_.GetHeaderHeight();
        EXPECT_GT(header, 10);
        EXPECT_LT(header, 60);
        const RECT a = tabs_.GetAdjustRect();  // in the parent's client coordinates
        EXPECT_GT(a.left, kHost.left);
        EXPECT_LT(a.right, kHost.right);
        EXPECT_LT(a.left, a.right);
        EXPECT_GT(a.top, kHost.top + (bottom ? 0 : header));
        EXPECT_LT(a.bottom, kHost.bottom - (bottom ? header : 0));
        EXPECT_GT(a.bottom - a.top, 300 - header - 20);
    }
}

TEST_F(TabControlTest, ImageListGoesWhenReplacedOrRemovedOrWithTheControl) {
    using Act = void (*)(std::unique_ptr<TabControl>&);
    const std::pair<const char*, Act> ways[] = {
        {"DelImgList", [](auto& t) { t->DelImgList(); }},
        {"a new list", [](auto& t) { t->SetImageList(16, 16, nullptr, 0); }},
        {"a list of the caller", [](auto& t) { t->SetImageList(ScopedImageList(::ImageList_Create(8, 8, 0, 0, 1))); }},
        {"Destroy", [](auto& t) { t->Destroy(); }},
        {"the control's end", [](auto& t) { t.reset(); }},
    };
    const ScopedBitmap bitmap(::CreateBitmap(16, 16, 1, 32, nullptr));
    for (const auto& [name, act] : ways) {
        SCOPED_TRACE(name);
        auto tabs = std::make_unique<TabControl>();
        ASSERT_TRUE(tabs->Create(parent_, 0, 0, 200, 100));
        const HIMAGELIST list = tabs->SetImageList(16, 16, bitmap.get(), RGB(255, 255, 255));
        EXPECT_EQ(tabs->AddImage(bitmap.get(), RGB(255, 255, 255)), 1);
        EXPECT_EQ(::ImageList_GetImageCount(list), 2);
        EXPECT_EQ(::SendMessageW(tabs->hwnd(), TCM_GETIMAGELIST, 0, 0), reinterpret_cast<LRESULT>(list));
        act(tabs);
        int cx = 0, cy = 0;
        EXPECT_EQ(::ImageList_GetImageCount(list), 0);
        EXPECT_FALSE(::ImageList_GetIconSize(list, &cx, &cy));
        if (tabs && tabs->hwnd()) {
            EXPECT_EQ(::SendMessageW(tabs->hwnd(), TCM_GETIMAGELIST, 0, 0), LRESULT(tabs->GetImageList()));
        }
    }
}

TEST_F(TabControlTest, WithoutTabWindowQueriesAnswerEmptyAndCommandsRaiseNothing) {
    Fill({L"a"});
    ::DestroyWindow(parent_);  // takes the host and the tab window along
    TabControl neverCreated;
    neverCreated.SetEvents(&recorder_);
    for (TabControl* t : {&tabs_, &neverCreated}) {
        EXPECT_EQ(t->hwnd(), nullptr);
        EXPECT_EQ((std::vector<int>{t->count(), t->Selected(), t->GetItemImage(0), t->AddItem(L"x"),
                                    t->GetHeaderHeight()}),
                  (std::vector<int>{0, -1, -1, -1, 0}));
        EXPECT_EQ(t->GetItemText(0), L"");
        EXPECT_EQ(t->SetImageList(16, 16, nullptr, 0), nullptr);
        const RECT a = t->GetAdjustRect();
        EXPECT_TRUE(::IsRectEmpty(&a) && a.left == 0 && a.top == 0);
        t->Selected(0);
        t->DelItem(0);
        t->MoveTab(0, 1);
    }
    EXPECT_EQ(log_, Log{});
}

TEST_F(TabControlTest, RectanglesOfMissingTabsAreEmptyEvenWithNothingSelected) {
    Fill({L"a", L"b"}, -1);  // a multi-line tab window would read item -1 unchecked
    ASSERT_EQ(tabs_.Selected(), -1);
    EXPECT_EQ(tabs_.GetHeaderTop(), 0);
    for (const int position : {-1, 2}) {
        const RECT r = tabs_.GetItemRect(position);
        EXPECT_TRUE(::IsRectEmpty(&r)) << position;
    }
}

}  // namespace
}  // namespace parlix::test
