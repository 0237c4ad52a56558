// The doodle board against real windows: drawing into its canvas (pixels of its image and of the
// screen), picture frames, clear and background colour, sending (the clipboard's bitmap and
// Shift+Insert into a simulated chat's input box), closing, and docking under a main window.
#include "base/dpi.h"
#include "base/dpi_win.h"
#include "plugins/doodle/board_win.h"
#include "plugins/doodle/drawing_file.h"
#include "plugins/doodle/toggle_button_win.h"
#include "tests/support/fakeim_client.h"
#include "tests/support/process.h"
#include "tests/support/windows.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <optional>

namespace parlix::doodle {
namespace {

using namespace parlix::test;

constexpr COLORREF kRed = RGB(255, 0, 0), kWhite = RGB(255, 255, 255), kBlue = RGB(0, 0, 255),
                   kGreen = RGB(0, 255, 0);

struct FakeHost final : BoardHost {
    HWND SayHwnd() override { return say; }
    MainFacts ReadMain() override { return facts; }
    HWND say = nullptr;
    MainFacts facts;  // nothing known: the docking timer leaves everything alone
};

struct Shown {
    std::wstring text, title;
    UINT type = 0;
};

// A solid bitmap of the screen's format.
ScopedBitmap SolidBitmap(int w, int h, COLORREF colour) {
    const ScopedWindowDc screen(nullptr);
    ScopedBitmap bitmap(::CreateCompatibleBitmap(screen.get(), w, h));
    ScopedMemoryDc dc(::CreateCompatibleDC(screen.get()));
    const ScopedSelect into(dc.get(), bitmap.get());
    const RECT all{0, 0, w, h};
    const ScopedBrush brush(::CreateSolidBrush(colour));
    ::FillRect(dc.get(), &all, brush.get());
    return bitmap;
}

bool PutOnClipboard(HBITMAP bitmap) {
    if (!::OpenClipboard(nullptr)) return false;
    ::EmptyClipboard();
    const bool ok = !bitmap || ::SetClipboardData(CF_BITMAP, bitmap);
    ::CloseClipboard();
    return ok;
}

// The clipboard's bitmap: its size and the colour at (x, y).
struct ClipboardPicture {
    SIZE size{};
    std::vector<std::pair<POINT, COLORREF>> samples;
};
std::optional<ClipboardPicture> ReadClipboard(std::initializer_list<POINT> at) {
    if (!::OpenClipboard(nullptr)) return std::nullopt;
    std::optional<ClipboardPicture> picture;
    if (const auto bitmap = static_cast<HBITMAP>(::GetClipboardData(CF_BITMAP))) {
        BITMAP info{};
        ::GetObjectW(bitmap, sizeof info, &info);
        picture = ClipboardPicture{{info.bmWidth, info.bmHeight}, {}};
        const ScopedWindowDc screen(nullptr);
        ScopedMemoryDc dc(::CreateCompatibleDC(screen.get()));
        const ScopedSelect from(dc.get(), bitmap);
        for (const POINT p : at) picture->samples.push_back({p, ::GetPixel(dc.get(), p.x, p.y)});
    }
    ::CloseClipboard();
    return picture;
}

class DoodleBoardTest : public testing::Test {
protected:
    void SetUp() override {
        board_ = std::make_unique<Board>(
            host_,
            [this](HWND, COLORREF initial) {
                asked_ = initial;
                return chosen_;
            },
            [this](HWND, const std::wstring& text, const std::wstring& title, UINT type) {
                shown_.push_back({text, title, type});
            });
        ASSERT_TRUE(board_->Load());
        ::SetWindowPos(board_->Hwnd(), nullptr, 200, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        board_->Visible(true);
        canvas_ = board_->picPaint().Hwnd();
    }
    void TearDown() override {
        board_.reset();
        UnregisterBoardClasses();
    }

    // Mouse messages as the canvas receives them: down at the first point, moves through the
    // others with the button held, up at the last.
    void Drag(unsigned button, std::initializer_list<POINT> path) {
        const UINT down = button == kLeftButton ? WM_LBUTTONDOWN : button == kRightButton ? WM_RBUTTONDOWN : WM_MBUTTONDOWN;
        const WPARAM held = button == kLeftButton ? MK_LBUTTON : button == kRightButton ? MK_RBUTTON : MK_MBUTTON;
        const POINT first = *path.begin(), last = *(path.end() - 1);
        ::SendMessageW(canvas_, down, held, MAKELPARAM(first.x, first.y));
        for (const POINT p : path) ::SendMessageW(canvas_, WM_MOUSEMOVE, held, MAKELPARAM(p.x, p.y));
        ::SendMessageW(canvas_, down + 1, 0, MAKELPARAM(last.x, last.y));
    }
    // The board becomes the active window and the keyboard settles: under Wine the focus change
    // resets the modifier keys to the display's state when it arrives, so a Shift press is
    // repeated until one holds.
    bool ActivateBoard() {
        ::SetForegroundWindow(board_->Hwnd());
        if (!WaitFor([&] { return ::GetForegroundWindow() == board_->Hwnd(); }, 5s)) return false;
        const bool held = WaitFor(
            [] {
                ::keybd_event(VK_SHIFT, 0, 0, 0);
                return WaitFor([] { return ::GetKeyState(VK_SHIFT) < 0; }, 200ms) &&
                       !WaitFor([] { return ::GetKeyState(VK_SHIFT) >= 0; }, 200ms);
            },
            5s);
        ::keybd_event(VK_SHIFT, 0, KEYEVENTF_KEYUP, 0);
        return held && WaitFor([] { return ::GetKeyState(VK_SHIFT) >= 0; }, 5s);
    }
    COLORREF Pixel(int x, int y) const { return board_->picPaint().ImagePixel(x, y); }
    // What the screen shows at (x, y) of the canvas.
    COLORREF ScreenPixel(int x, int y) const {
        ::UpdateWindow(canvas_);
        POINT p{x, y};
        ::ClientToScreen(canvas_, &p);
        const ScopedWindowDc screen(nullptr);
        return ::GetPixel(screen.get(), p.x, p.y);
    }
    int Paste(COLORREF colour, int w, int h) {
        ScopedBitmap picture = SolidBitmap(w, h, colour);
        if (!PutOnClipboard(picture.get())) return 0;
        picture.release();  // the clipboard owns it
        const std::set<int> before = board_->imgPic().Indices();
        board_->cmdPaste_Click();
        for (const int i : board_->imgPic().Indices())
            if (!before.contains(i)) return i;
        return 0;
    }

    FakeHost host_;
    std::optional<COLORREF> chosen_;
    std::optional<COLORREF> asked_;
    std::vector<Shown> shown_;
    std::unique_ptr<Board> board_;
    HWND canvas_ = nullptr;
};

TEST_F(DoodleBoardTest, PencilDrawsInThePenColourAndTheRightButtonErasesWithThePenWidth) {
    Drag(kLeftButton, {{10, 20}, {40, 20}, {80, 20}});
    EXPECT_EQ(Pixel(30, 20), kRed);
    EXPECT_EQ(Pixel(60, 21), kWhite);
    EXPECT_TRUE(WaitFor([&] { return ScreenPixel(30, 20) == kRed; }, 5s));

    board_->cboWidth_Click(4);  // width 5: the eraser covers the line from two pixels away
    Drag(kRightButton, {{10, 22}, {80, 22}});
    EXPECT_EQ(Pixel(30, 20), kWhite);
    EXPECT_EQ(Pixel(60, 20), kWhite);
    // The middle button only moves the pen.
    Drag(kMiddleButton, {{10, 50}, {80, 50}});
    EXPECT_EQ(Pixel(40, 50), kWhite);
}

TEST_F(DoodleBoardTest, ShapesAreRubberBandedWithoutTraceAndDrawnWhenTheButtonGoesUp) {
    board_->optTools_Click(2);
    // Through a larger rectangle first: its XOR outline must leave nothing behind.
    Drag(kLeftButton, {{20, 10}, {150, 80}, {100, 50}});
    EXPECT_EQ(Pixel(20, 30), kRed);    // left edge
    EXPECT_EQ(Pixel(60, 50), kRed);    // bottom edge
    EXPECT_EQ(Pixel(100, 30), kRed);   // right edge
    EXPECT_EQ(Pixel(60, 30), kWhite);  // inside
    EXPECT_EQ(Pixel(150, 60), kWhite); // where the larger band was
    EXPECT_EQ(Pixel(120, 80), kWhite);
    EXPECT_EQ(board_->Shapes().Count(), 1);

    board_->optTools_Click(3);  // circle, started with the right button, pen width 3
    board_->cboWidth_Click(2);
    Drag(kRightButton, {{250, 45}, {270, 45}});
    EXPECT_EQ(Pixel(250, 25), kRed);
    EXPECT_EQ(Pixel(250, 45), kWhite);  // no mark where the drag began

    board_->optTools_Click(1);
    Drag(kLeftButton, {{200, 10}, {320, 10}, {300, 80}});
    EXPECT_EQ(Pixel(250, 45), kRed);   // the line's midpoint, over the circle's centre
    EXPECT_EQ(Pixel(260, 10), kWhite); // the band along the top went without trace
    EXPECT_EQ(board_->Shapes().Count(), 3);
}

TEST_F(DoodleBoardTest, PastedPicturesAreFramesNumberedAboveTheHighestAndARightClickRemovesOne) {
    PutOnClipboard(nullptr);
    board_->cmdPaste_Click();
    ASSERT_EQ(shown_.size(), 1u);
    EXPECT_EQ(shown_[0].text, kNoPictureText);
    EXPECT_EQ(shown_[0].title, L"出错啦~~");
    EXPECT_EQ(shown_[0].type, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
    EXPECT_TRUE(board_->imgPic().Indices().empty());

    EXPECT_EQ(Paste(kBlue, 20, 10), 1);
    EXPECT_EQ(Paste(kBlue, 20, 10), 2);
    EXPECT_EQ(Paste(kGreen, 30, 15), 3);
    const PictureFrame* third = board_->imgPic().Frame(3);
    ASSERT_NE(third, nullptr);
    const WindowFacts facts = ReadFacts(third->Hwnd());
    EXPECT_EQ(facts.rect.right - facts.rect.left, 30);
    EXPECT_EQ(facts.rect.bottom - facts.rect.top, 15);
    EXPECT_EQ(Children(canvas_).front(), third->Hwnd());  // in front

    ::SendMessageW(board_->imgPic().Frame(2)->Hwnd(), WM_RBUTTONUP, 0, MAKELPARAM(3, 3));
    EXPECT_TRUE(WaitFor([&] { return !board_->imgPic().Frame(2); }, 5s));
    EXPECT_EQ(Paste(kBlue, 20, 10), 4);
}

TEST_F(DoodleBoardTest, ChoosingTheBackgroundClearsTheDrawingAndTheFramesEvenWhenCancelled) {
    Drag(kLeftButton, {{10, 20}, {80, 20}});
    Paste(kBlue, 20, 10);
    chosen_ = kGreen;
    board_->lblColor_Click(1);
    EXPECT_EQ(asked_, kWhite);
    EXPECT_EQ(board_->SwatchColour(1), kGreen);
    EXPECT_EQ(Pixel(30, 20), kGreen);
    EXPECT_EQ(Pixel(2, 2), kGreen);
    EXPECT_TRUE(board_->imgPic().Indices().empty());

    Drag(kRightButton, {{10, 20}, {80, 20}});  // the eraser paints the new background
    EXPECT_EQ(Pixel(30, 20), kGreen);
    Drag(kLeftButton, {{10, 30}, {80, 30}});
    Paste(kBlue, 20, 10);
    chosen_.reset();
    board_->lblColor_Click(1);
    EXPECT_EQ(Pixel(30, 30), kGreen);
    EXPECT_TRUE(board_->imgPic().Indices().empty());

    chosen_ = kBlue;  // a new pen colour draws at once
    board_->lblColor_Click(0);
    Drag(kLeftButton, {{10, 40}, {80, 40}});
    EXPECT_EQ(Pixel(30, 40), kBlue);
}

TEST_F(DoodleBoardTest, SendPutsTheMergedPictureOnTheClipboardAndPastesItIntoTheChatWithShiftInsert) {
    TempDir dir(L"parlix-doodle");
    auto qq = FakeIm::Launch(dir.Path(), L"QQ.exe", {L"main|1"});
    ASSERT_NE(qq, nullptr);
    const HWND chat = qq->Open(L"qq2009", L"李四");
    ASSERT_NE(chat, nullptr);
    host_.say = static_cast<HWND>(::GetPropW(chat, L"ImInputBox"));
    ASSERT_NE(host_.say, nullptr);

    Drag(kLeftButton, {{10, 20}, {80, 20}});
    ASSERT_EQ(Paste(kBlue, 20, 10), 1);
    // The frame follows a left drag: grabbed at (5, 5), let go 100 right and 40 down.
    const HWND frame = board_->imgPic().Frame(1)->Hwnd();
    ::SendMessageW(frame, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    ::SendMessageW(frame, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(105, 45));
    ::SendMessageW(frame, WM_LBUTTONUP, 0, MAKELPARAM(105, 45));

    RECT client{};
    ::GetClientRect(canvas_, &client);
    const std::wstring pasted = L"[图片 " + std::to_wstring(client.right) + L"x" + std::to_wstring(client.bottom) + L"]";
    // Shift goes to the active window's queue, as when the user clicks "发送".
    ASSERT_TRUE(ActivateBoard());
    for (int send = 1; send <= 2; ++send) {
        SCOPED_TRACE(send);
        board_->cmdSend_Click();
        const auto picture = ReadClipboard({{30, 20}, {110, 45}, {2, 2}});
        ASSERT_TRUE(picture);
        EXPECT_EQ(picture->size.cx, client.right);
        EXPECT_EQ(picture->size.cy, client.bottom);
        EXPECT_EQ(picture->samples[0].second, kRed);
        EXPECT_EQ(picture->samples[1].second, kBlue);
        EXPECT_EQ(picture->samples[2].second, kWhite);
        // The canvas keeps the drawing without the frame, which stays movable.
        EXPECT_EQ(Pixel(110, 45), kWhite);
        EXPECT_EQ(Pixel(30, 20), kRed);
        EXPECT_NE(board_->imgPic().Frame(1), nullptr);
        // The chat's input box got Shift+Insert and pasted the picture.
        std::wstring expected, last;
        for (int i = 0; i < send; ++i) expected += pasted;
        EXPECT_TRUE(WaitFor(
            [&] {
                wchar_t text[256] = {};
                DWORD_PTR n = 0;
                ::SendMessageTimeoutW(host_.say, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                                      2000, &n);
                last = text;
                return std::wstring(text) == expected;
            },
            10s))
            << "input box text has " << last.size() << " characters";
    }
    EXPECT_TRUE(WaitFor([] { return ::GetKeyState(VK_SHIFT) >= 0; }, 5s));  // Shift is up again
}

TEST_F(DoodleBoardTest, SavedShapesOpenAgainAndAFileThatCannotBeUsedChangesNothing) {
    board_->optTools_Click(1);
    Drag(kLeftButton, {{10, 10}, {100, 10}});
    board_->optTools_Click(2);
    Drag(kLeftButton, {{20, 30}, {80, 70}});
    board_->optTools_Click(3);
    Drag(kLeftButton, {{200, 50}, {220, 50}});
    TempDir dir(L"parlix-drawing");
    const auto good = dir.Path() / L"drawing.skb";
    ASSERT_EQ(board_->SaveDrawing(good), L"");
    std::string text;
    {
        std::ifstream in(good, std::ios::binary);
        text.assign(std::istreambuf_iterator<char>(in), {});
    }
    ASSERT_EQ(std::count(text.begin(), text.end(), '\n'), 3);

    const struct {
        std::string content;
        std::wstring reason;
    } bad[] = {{text.substr(0, text.size() - 3), L"不完整"},
               {text + "2,0,0,99999999999,0,255\r\n", L"不是整数"},
               {std::string(kMaxDrawingBytes + 1, '1'), L"大于 4 MB"}};
    for (const auto& b : bad) {
        const auto file = dir.Path() / L"bad.skb";
        std::ofstream(file, std::ios::binary | std::ios::trunc) << b.content;
        const std::wstring refused = board_->OpenDrawing(file);
        EXPECT_NE(refused.find(b.reason), std::wstring::npos) << std::string(refused.begin(), refused.end());
        EXPECT_EQ(board_->Shapes().Count(), 3);
        EXPECT_EQ(Pixel(50, 10), kRed);
    }
    EXPECT_FALSE(board_->OpenDrawing(dir.Path() / L"missing.skb").empty());

    board_->cmdClear_Click();
    EXPECT_EQ(Pixel(50, 10), kWhite);
    ASSERT_EQ(board_->OpenDrawing(good), L"");
    EXPECT_EQ(Pixel(50, 10), kRed);   // line
    EXPECT_EQ(Pixel(20, 50), kRed);   // rectangle
    EXPECT_EQ(Pixel(200, 30), kRed);  // circle
    EXPECT_EQ(board_->Shapes().Count(), 6);
}

TEST_F(DoodleBoardTest, ClosingReleasesTheButtonAndKeepsTheBoard) {
    ToggleButton button([this](bool shown) { board_->Visible(shown); });
    ASSERT_TRUE(button.Load());
    board_->SetToggleButton(&button);
    ::SendMessageW(button.chkShow(), WM_LBUTTONUP, 0, 0);
    EXPECT_EQ(button.Value(), 1);
    ::SendMessageW(board_->Hwnd(), WM_CLOSE, 0, 0);
    EXPECT_EQ(button.Value(), 0);
    EXPECT_TRUE(::IsWindowVisible(board_->Hwnd()));
    // The next click inverts the flag as usual: the board goes.
    ::SendMessageW(button.chkShow(), WM_LBUTTONUP, 0, 0);
    EXPECT_FALSE(::IsWindowVisible(board_->Hwnd()));
    EXPECT_EQ(button.Value(), 0);
    board_->SetToggleButton(nullptr);
}

TEST_F(DoodleBoardTest, TheTimerDocksTheBoardUnderTheMainWindowAndPlacesTheButtonOnlyInTheNormalState) {
    const HWND main = ::CreateWindowExW(0, L"Static", L"main", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 60, 400, 300,
                                        nullptr, nullptr, nullptr, nullptr);
    ToggleButton button([](bool) {});
    ASSERT_TRUE(button.Load());
    ASSERT_TRUE(button.PlaceInto(main, 380));
    EXPECT_EQ(ReadFacts(button.chkShow()).parent, main);
    board_->SetToggleButton(&button);

    host_.facts = {.windowState = 0, .left = 750, .top = 900, .height = 4500, .scaleWidth = 380,
                   .tabsAtBottom = false, .headerHeight = 24};
    const auto boardAt = [&] {
        const RECT r = ReadFacts(board_->Hwnd()).rect;
        return std::make_pair(r.left, r.top);
    };
    EXPECT_TRUE(WaitFor([&] { return boardAt() == std::make_pair(50L, 360L); }, 5s));
    const auto buttonAt = [&] {
        RECT r = ReadFacts(button.chkShow()).rect;
        ::MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&r), 2);
        return std::make_pair(r.left, r.top);
    };
    EXPECT_TRUE(WaitFor([&] { return buttonAt() == std::make_pair(325L, 27L); }, 5s));

    // Minimised or maximised: nothing moves.
    host_.facts.windowState = 1;
    host_.facts.left = 1500;
    host_.facts.scaleWidth = 200;
    board_->tmrMove_Timer();
    EXPECT_EQ(boardAt(), std::make_pair(50L, 360L));
    EXPECT_EQ(buttonAt(), std::make_pair(325L, 27L));
    host_.facts.windowState = 0;
    host_.facts.tabsAtBottom = true;
    EXPECT_TRUE(WaitFor([&] { return boardAt() == std::make_pair(100L, 360L); }, 5s));
    EXPECT_TRUE(WaitFor([&] { return buttonAt() == std::make_pair(145L, 27L); }, 5s));
    board_->SetToggleButton(nullptr);
    ::DestroyWindow(main);
}

// A control's place in its parent and its font's height.
std::pair<RECT, LONG> PlacedOf(HWND control) {
    RECT r{};
    ::GetWindowRect(control, &r);
    ::MapWindowPoints(nullptr, ::GetParent(control), reinterpret_cast<POINT*>(&r), 2);
    LOGFONTW lf{};
    ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)), sizeof lf, &lf);
    return {r, lf.lfHeight};
}

TEST_F(DoodleBoardTest, ADpiChangeTakesTheSuggestedRectangleAndScalesEveryControlAndTheToggleButton) {
    const HWND board = board_->Hwnd();
    const int start = board_->Dpi();
    LOGFONTW stock{};
    ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof stock, &stock);
    ToggleButton button([](bool) {});
    ASSERT_TRUE(button.Load());
    // Id, then left, top, width, height at 96 dpi in its panel (the width box: its font's height).
    const int rows[][5] = {{Board::kToolboxId + 3, 0, 64, 33, 19}, {Board::kSendId, 0, 1, 44, 21},
                           {Board::kWidthId, 130, 1, 39, 0},       {Board::kPenSwatchId, 174, 5, 55, 13},
                           {Board::kBoardSwatchId, 232, 5, 55, 13}, {Board::kPasteId, 288, 1, 44, 21}};
    for (const int dpi : {144, 192, start}) {
        SCOPED_TRACE(dpi);
        const auto s = [dpi](int v) { return ScaleForDpi(v, dpi); };
        RECT suggested = AdjustedWindowRect({0, 0, s(376), s(115)}, WS_POPUP | WS_CAPTION | WS_THICKFRAME,
                                            WS_EX_TOOLWINDOW, dpi);
        ::OffsetRect(&suggested, 200 - suggested.left, 150 - suggested.top);
        ::SendMessageW(board, kWmDpiChanged, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
        const RECT now = ReadFacts(board).rect;
        EXPECT_TRUE(::EqualRect(&now, &suggested));
        const LONG fontHeight = ScaleRounded(stock.lfHeight, dpi, SystemDpi());
        for (const auto& r : rows) {
            const auto [at, font] = PlacedOf(board_->Control(r[0]));
            EXPECT_EQ(at.left, s(r[1])) << r[0];
            EXPECT_EQ(at.top, s(r[2])) << r[0];
            EXPECT_EQ(at.right - at.left, s(r[3])) << r[0];
            EXPECT_TRUE(!r[4] || at.bottom - at.top == s(r[4])) << r[0];
            EXPECT_EQ(font, fontHeight) << r[0];
        }
        RECT inner{};
        ::GetClientRect(board, &inner);
        EXPECT_EQ(PlacedOf(::GetParent(board_->Control(Board::kSendId))).first.top, inner.bottom - s(23));
        EXPECT_EQ(PlacedOf(canvas_).first.right, inner.right - s(33)) << "the toolbox at its right";
        button.SetDpi(dpi);  // the main window's dpi, as the docking tick passes it on
        const auto [b, buttonFont] = PlacedOf(button.chkShow());
        EXPECT_EQ(b.right - b.left, s(55));
        EXPECT_EQ(b.bottom - b.top, s(19));
        EXPECT_EQ(buttonFont, fontHeight);
    }
    // The same dpi again: no new font, and the suggested rectangle is not taken.
    const auto font = ::SendMessageW(board_->Control(Board::kSendId), WM_GETFONT, 0, 0);
    const RECT where = ReadFacts(board).rect;
    RECT elsewhere{0, 0, 10, 10};
    ::SendMessageW(board, kWmDpiChanged, MAKEWPARAM(start, start), reinterpret_cast<LPARAM>(&elsewhere));
    EXPECT_EQ(::SendMessageW(board_->Control(Board::kSendId), WM_GETFONT, 0, 0), font);
    const RECT now = ReadFacts(board).rect;
    EXPECT_TRUE(::EqualRect(&now, &where));
}

}  // namespace
}  // namespace parlix::doodle
