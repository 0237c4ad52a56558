// Parlix with the doodle-board plugin enabled: the toggle button under the tab strip opens the
// board docked under the main window, shapes drawn with the mouse appear on it, and "发送" pastes
// the picture into the current chat's input box. The mouse is simulated with the messages the
// windows get from it (Wine turns real input into late pointer events of the display under Xvfb).
#include "tests/support/clean_state.h"
#include "tests/support/fakeim_client.h"
#include "tests/support/mouse_input.h"
#include "tests/support/parlix_app.h"
#include "tests/support/plugin_files.h"
#include "tests/support/windows.h"

#include <gtest/gtest.h>

namespace parlix::test {
namespace {

constexpr COLORREF kRed = RGB(255, 0, 0), kWhite = RGB(255, 255, 255);

HWND ChildWithText(HWND parent, const std::wstring& cls, const std::wstring& text) {
    for (HWND c : Children(parent, cls))
        if (ReadFacts(c).title == text) return c;
    return nullptr;
}

// A button of the board's toolbox or command bar.
HWND BoardButton(HWND board, const std::wstring& text) {
    for (HWND panel : Children(board, L"Skribel.Panel"))
        if (HWND b = ChildWithText(panel, L"Button", text)) return b;
    return nullptr;
}

// What the screen shows at (x, y) of window's client area.
COLORREF ScreenPixel(HWND window, int x, int y) {
    POINT p{x, y};
    ::ClientToScreen(window, &p);
    const HDC screen = ::GetDC(nullptr);
    const COLORREF c = ::GetPixel(screen, p.x, p.y);
    ::ReleaseDC(nullptr, screen);
    return c;
}

std::wstring TextOf(HWND box) {
    wchar_t text[512] = {};
    DWORD_PTR n = 0;
    ::SendMessageTimeoutW(box, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000, &n);
    return text;
}

class DoodleTest : public testing::Test {
protected:
    void SetUp() override {
        ResetUserState();
        ASSERT_EQ(Regsvr32(BinDir() / L"Nexcor.dll"), 0);
        std::filesystem::create_directories(plugins_);
        std::filesystem::copy_file(BinDir() / L"Plugins" / L"Skribel.dll", plugins_ / L"Skribel.dll");
        ASSERT_EQ(Regsvr32(plugins_ / L"Skribel.dll"), 0);
        ::WritePrivateProfileStringW(L"Plugin", L"Skribel", L"True", (dir_.Path() / L"set.ini").wstring().c_str());
        tm_ = FakeIm::Launch(dir_.Path(), L"TM.exe", {L"main|12"});
        ASSERT_NE(tm_, nullptr);
        // Tabs on top: the button goes under the tab row.
        app_ = ParlixApp::Launch(dir_.Path(), 20s, {{L"tab_Bottom", L"False"}});
        ASSERT_NE(app_, nullptr);
    }
    void TearDown() override {
        if (app_) app_->Close(5s);
        Regsvr32(plugins_ / L"Skribel.dll", true);
    }

    TempDir dir_{L"parlix-doodle"};
    std::filesystem::path plugins_ = dir_.Path() / L"Plugins";
    std::unique_ptr<FakeIm> tm_;
    std::unique_ptr<ParlixApp> app_;
};

TEST_F(DoodleTest, TheButtonOpensTheDockedBoardWhereMouseDrawingAppearsAndSendPastesIntoTheChat) {
    const HWND chat = tm_->Open(L"tm2007", L"与 王五 会话中");
    ASSERT_TRUE(app_->WaitForTab(chat, 10s).has_value());
    const HWND main = app_->MainWindow();

    // The button sits at the right end of the main window, under the tab row.
    const HWND button = WaitFor([&] { return ChildWithText(main, L"Button", L"涂鸦板"); }, 10s);
    ASSERT_NE(button, nullptr);
    const auto placed = [&] {
        RECT client{}, r = ReadFacts(button).rect;
        ::GetClientRect(main, &client);
        ::MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&r), 2);
        return r.left == client.right - 55 && r.top >= app_->ItemRect(0).bottom;
    };
    EXPECT_TRUE(WaitFor(placed, 5s));

    const HWND board = WaitForWindow({.className = L"Skribel.frmPaint", .pid = app_->Proc().Id()}, 5s);
    ASSERT_NE(board, nullptr);
    EXPECT_FALSE(::IsWindowVisible(board));
    ASSERT_TRUE(SendMouseClick(button));
    ASSERT_TRUE(WaitFor([&] { return ::IsWindowVisible(board) != FALSE; }, 5s));
    EXPECT_EQ(::SendMessageW(button, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_TRUE(WaitFor(
        [&] {
            const RECT m = ReadFacts(main).rect, b = ReadFacts(board).rect;
            return b.left == m.left && b.top == m.bottom;
        },
        5s));

    // Freehand, then a rectangle chosen from the toolbox.
    const HWND canvas = Children(board, L"Skribel.picPaint").front();
    ASSERT_TRUE(SendMouseDrag(canvas, {{20, 20}, {50, 22}, {90, 24}}));
    const HWND rectangle = BoardButton(board, L"矩形");
    ASSERT_NE(rectangle, nullptr);
    ASSERT_TRUE(SendMouseClick(rectangle));
    EXPECT_EQ(::SendMessageW(rectangle, BM_GETCHECK, 0, 0), BST_CHECKED);
    ASSERT_TRUE(SendMouseDrag(canvas, {{150, 15}, {260, 85}, {220, 70}}));

    EXPECT_TRUE(WaitFor([&] { return ScreenPixel(canvas, 50, 22) == kRed; }, 5s));
    EXPECT_TRUE(WaitFor([&] { return ScreenPixel(canvas, 150, 40) == kRed; }, 5s));   // left edge
    EXPECT_TRUE(WaitFor([&] { return ScreenPixel(canvas, 190, 70) == kRed; }, 5s));   // bottom edge
    EXPECT_EQ(ScreenPixel(canvas, 190, 40), kWhite);                                  // inside
    EXPECT_EQ(ScreenPixel(canvas, 250, 80), kWhite);  // the rubber band left no trace

    // "发送": the chat's input box pastes the picture.
    const HWND inner = Children(chat, L"#32770").front();
    const HWND input = Children(inner, L"RICHEDIT").front();
    const HWND send = BoardButton(board, L"发送");
    ASSERT_NE(send, nullptr);
    ASSERT_TRUE(SendMouseClick(send));
    EXPECT_TRUE(WaitFor([&] { return TextOf(input).starts_with(L"[图片 "); }, 10s)) << std::string(TextOf(input).begin(), TextOf(input).end());

    // The second click hides the board again.
    ASSERT_TRUE(SendMouseClick(button));
    EXPECT_TRUE(WaitFor([&] { return !::IsWindowVisible(board); }, 5s));
    EXPECT_EQ(::SendMessageW(button, BM_GETCHECK, 0, 0), BST_UNCHECKED);
}

}  // namespace
}  // namespace parlix::test
