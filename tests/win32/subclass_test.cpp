// Subclasses kept in the process: the order they are called in, handing on to the window's own
// procedure, removal while running and from inside a nested message, the window's procedure
// given back, living beside the common controls' subclasses, and nothing left after destruction.
#include "base/subclass_win.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace parlix {
namespace {

constexpr UINT kProbe = WM_APP + 7;

std::wstring g_log;

LRESULT CALLBACK OwnProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == kProbe) {
        g_log += L"own;";
        return 100;
    }
    return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

// Logs its data as a letter and adds 1 to the answer of the rest of the chain.
LRESULT CALLBACK Letter(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
    if (msg != kProbe) return CallNextSubclass(hwnd, msg, wParam, lParam);
    g_log += static_cast<wchar_t>(data);
    g_log += L';';
    return CallNextSubclass(hwnd, msg, wParam, lParam) + 1;
}

// Removes itself, then, the first time, sends the probe again from inside.
LRESULT CALLBACK Leaving(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR) {
    if (msg != kProbe) return CallNextSubclass(hwnd, msg, wParam, lParam);
    g_log += L"leaving;";
    RemoveSubclass(hwnd, Leaving, id);
    const LRESULT nested = ::SendMessageW(hwnd, kProbe, 0, 0);
    g_log += L"back;";
    return CallNextSubclass(hwnd, msg, wParam, lParam) + nested;
}

LRESULT CALLBACK Common(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    if (msg == kProbe) g_log += L"common;";
    return ::DefSubclassProc(hwnd, msg, wParam, lParam);
}

class SubclassTest : public testing::Test {
protected:
    void SetUp() override {
        WNDCLASSW wc{};
        wc.lpfnWndProc = OwnProc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"ParlixSubclassTest";
        ::RegisterClassW(&wc);
        hwnd_ = ::CreateWindowExW(0, wc.lpszClassName, L"", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                  wc.hInstance, nullptr);
        ASSERT_TRUE(hwnd_);
        g_log.clear();
    }
    void TearDown() override {
        if (hwnd_) ::DestroyWindow(hwnd_);
    }
    LRESULT Probe() { return ::SendMessageW(hwnd_, kProbe, 0, 0); }
    [[nodiscard]] WNDPROC Proc() const { return reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(hwnd_, GWLP_WNDPROC)); }

    HWND hwnd_ = nullptr;
};

TEST_F(SubclassTest, NewestFirstEachHandingOnToTheWindowsOwn) {
    ASSERT_TRUE(AddSubclass(hwnd_, Letter, 1, L'a'));
    ASSERT_TRUE(AddSubclass(hwnd_, Letter, 2, L'b'));
    EXPECT_EQ(Probe(), 102);
    EXPECT_EQ(g_log, L"b;a;own;");
    // The same procedure and id again: new data, same place.
    ASSERT_TRUE(AddSubclass(hwnd_, Letter, 1, L'c'));
    g_log.clear();
    EXPECT_EQ(Probe(), 102);
    EXPECT_EQ(g_log, L"b;c;own;");
    EXPECT_FALSE(RemoveSubclass(hwnd_, Letter, 3)) << "never added";
    EXPECT_TRUE(RemoveSubclass(hwnd_, Letter, 2));
    EXPECT_TRUE(RemoveSubclass(hwnd_, Letter, 1));
    EXPECT_EQ(Proc(), &OwnProc) << "the window's own procedure was not given back";
    g_log.clear();
    EXPECT_EQ(Probe(), 100);
    EXPECT_FALSE(AddSubclass(nullptr, Letter, 1, L'a'));
}

TEST_F(SubclassTest, AProcedureRemovingItselfFinishesAndIsNotCalledAgain) {
    ASSERT_TRUE(AddSubclass(hwnd_, Letter, 1, L'a'));
    ASSERT_TRUE(AddSubclass(hwnd_, Leaving, 2, 0));
    ASSERT_TRUE(AddSubclass(hwnd_, Letter, 3, L'z'));
    // z, leaving (removes itself; the nested probe skips it), back, then a and own.
    EXPECT_EQ(Probe(), 1 + (101 + 1) + 101);
    EXPECT_EQ(g_log, L"z;leaving;z;a;own;back;a;own;");
    g_log.clear();
    EXPECT_EQ(Probe(), 102);
    EXPECT_EQ(g_log, L"z;a;own;");
}

TEST_F(SubclassTest, LivesBesideTheCommonControlsSubclasses) {
    ASSERT_TRUE(AddSubclass(hwnd_, Letter, 1, L'a'));
    ASSERT_TRUE(::SetWindowSubclass(hwnd_, Common, 1, 0));
    EXPECT_EQ(Probe(), 101);
    EXPECT_EQ(g_log, L"common;a;own;");
    // Ours goes while theirs sits on top: ours stays in place, passing messages on.
    EXPECT_TRUE(RemoveSubclass(hwnd_, Letter, 1));
    g_log.clear();
    EXPECT_EQ(Probe(), 100);
    EXPECT_EQ(g_log, L"common;own;");
    ASSERT_TRUE(AddSubclass(hwnd_, Letter, 1, L'b'));
    g_log.clear();
    EXPECT_EQ(Probe(), 101);
    EXPECT_EQ(g_log, L"common;b;own;");
}

TEST_F(SubclassTest, NothingIsLeftOfADestroyedWindow) {
    ASSERT_TRUE(AddSubclass(hwnd_, Letter, 1, L'a'));
    ASSERT_TRUE(::DestroyWindow(hwnd_));
    const HWND gone = std::exchange(hwnd_, nullptr);
    EXPECT_FALSE(RemoveSubclass(gone, Letter, 1)) << "the subclass outlived its window";
}

}  // namespace
}  // namespace parlix
