// The end-to-end driver itself: simulator processes under client names, deadlines, clean-up,
// screenshots, and the cross-process window operations the capture engine stands on.
#include "tests/support/fakeim_client.h"
#include "tests/support/windows.h"

#include <gtest/gtest.h>
#include <tlhelp32.h>

#include <fstream>

namespace parlix::test {
namespace {

class DriverTest : public ::testing::Test {
protected:
    TempDir dir{L"parlix-driver"};
};

TEST_F(DriverTest, StartsTheSimulatorUnderEveryClientName) {
    for (const wchar_t* name : {L"QQ.exe", L"TM.exe", L"FetionFx.exe", L"BaiduHi.exe", L"notaclient.exe"}) {
        SCOPED_TRACE(testing::Message() << std::filesystem::path(name).string());
        auto im = FakeIm::Launch(dir.Path(), name);
        ASSERT_NE(im, nullptr);
        EXPECT_EQ(ImageNameOf(im->Pid()), name);
        EXPECT_NE(im->Open(L"dialog", L"与 张三 交谈中"), nullptr);
    }
}

TEST_F(DriverTest, EndsItsProcessAndItsWindowsWhenItGoes) {
    auto im = FakeIm::Launch(dir.Path(), L"QQ.exe");
    ASSERT_NE(im, nullptr);
    const HWND chat = im->Open(L"dialog", L"与 李四 交谈中");
    ASSERT_TRUE(::IsWindow(chat));
    const DWORD pid = im->Pid();
    im.reset();
    EXPECT_TRUE(WaitFor([&] { return !::IsWindow(chat); }));
    EXPECT_EQ(ImageNameOf(pid), L"");
}

TEST_F(DriverTest, WaitForWindowGivesUpAtItsDeadline) {
    const auto start = std::chrono::steady_clock::now();
    const HWND none = WaitForWindow({.className = L"NoSuchClass.Parlix"}, 300ms);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(none, nullptr);
    EXPECT_GE(elapsed, 300ms);
    EXPECT_LT(elapsed, kPatience);
}

TEST_F(DriverTest, FindsAWindowByClassTitleAndProcess) {
    auto qq = FakeIm::Launch(dir.Path(), L"QQ.exe");
    auto tm = FakeIm::Launch(dir.Path(), L"TM.exe");
    ASSERT_TRUE(qq && tm);
    const HWND a = qq->Open(L"dialog", L"与 王五 交谈中");
    const HWND b = tm->Open(L"dialog", L"与 王五 交谈中");
    ASSERT_TRUE(a && b);
    EXPECT_EQ(WaitForWindow({.className = L"#32770", .title = L"与 王五 交谈中", .pid = tm->Pid()}), b);
    EXPECT_EQ(WaitForWindow({.className = L"#32770", .title = L"与 王五 交谈中", .pid = qq->Pid()}), a);
    const WindowFacts f = ReadFacts(b);
    EXPECT_EQ(f.pid, tm->Pid());
    EXPECT_EQ(f.root, b);
    EXPECT_EQ(f.title, L"与 王五 交谈中");
    EXPECT_TRUE(f.visible);
}

TEST_F(DriverTest, CommandToAHungSimulatorTimesOut) {
    auto im = FakeIm::Launch(dir.Path(), L"QQ.exe");
    ASSERT_NE(im, nullptr);
    const HWND chat = im->Open(L"dialog", L"与 赵六 交谈中");
    ASSERT_NE(chat, nullptr);
    ASSERT_EQ(im->Command(L"hang|5000"), 1);
    // Answered, this command would give 1: a 0 means the wait ended before the hang did.
    EXPECT_EQ(im->Command(L"title|" + HwndArg(chat) + L"|x", 300ms), 0);
    // It answers again once it pumps messages.
    EXPECT_TRUE(WaitFor([&] { return im->Open(L"dialog", L"与 钱七 交谈中") != nullptr; }));
}

TEST_F(DriverTest, ScreenshotIsAPngOfTheWholeScreen) {
    auto im = FakeIm::Launch(dir.Path(), L"QQ.exe");
    ASSERT_NE(im, nullptr);
    ASSERT_NE(im->Open(L"dialog", L"与 张三 交谈中"), nullptr);
    const auto png = dir.Path() / L"screen.png";
    ASSERT_TRUE(SaveScreenshot(png.wstring()));
    std::ifstream in(png, std::ios::binary);
    unsigned char head[24] = {};
    in.read(reinterpret_cast<char*>(head), sizeof head);
    ASSERT_EQ(in.gcount(), 24);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(head + 1), 3), "PNG");
    const auto be32 = [&](int at) { return (head[at] << 24) | (head[at + 1] << 16) | (head[at + 2] << 8) | head[at + 3]; };
    EXPECT_EQ(be32(16), ::GetSystemMetrics(SM_CXVIRTUALSCREEN));
    EXPECT_EQ(be32(20), ::GetSystemMetrics(SM_CYVIRTUALSCREEN));
}

// The capture engine re-parents another process's window into its own and back; the window
// must survive both ways with its rectangle and styles restorable.
TEST_F(DriverTest, WindowOfAnotherProcessCanBeEmbeddedAndGivenBack) {
    auto im = FakeIm::Launch(dir.Path(), L"QQ.exe");
    ASSERT_NE(im, nullptr);
    const HWND chat = im->Open(L"dialog", L"与 张三 交谈中", L"at=200,150,480,400");
    ASSERT_NE(chat, nullptr);
    const WindowFacts before = ReadFacts(chat);

    ScopedOwnWindow host(::CreateWindowExW(0, L"Static", L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 800,
                                           600, nullptr, nullptr, nullptr, nullptr));
    ASSERT_TRUE(host);
    ::SetWindowLongW(chat, GWL_STYLE, (before.style | WS_CHILD) & ~(WS_POPUP | WS_CAPTION | WS_THICKFRAME));
    ::SetParent(chat, host.get());
    EXPECT_EQ(ReadFacts(chat).parent, host.get());
    EXPECT_EQ(ReadFacts(chat).root, host.get());

    ::SetParent(chat, nullptr);
    ::SetWindowLongW(chat, GWL_STYLE, before.style);
    ::MoveWindow(chat, before.rect.left, before.rect.top, before.rect.right - before.rect.left,
                 before.rect.bottom - before.rect.top, TRUE);
    const WindowFacts after = ReadFacts(chat);
    EXPECT_EQ(after.root, chat);
    EXPECT_EQ(after.style, before.style);
    EXPECT_TRUE(::EqualRect(&after.rect, &before.rect));
}

}  // namespace
}  // namespace parlix::test
