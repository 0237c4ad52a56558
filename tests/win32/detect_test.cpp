// The detector against a tree of chosen windows under real window handles: a window asked for
// again while the main window comes forward after its capture (a pop-out and a click on its
// merge button handled meanwhile) is taken again, not refused as still being examined.
#include "capture/detect_win.h"
#include "capture/window_tree_win.h"
#include "tests/native/fake_window_tree.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace parlix::test {
namespace {

// The tab popped out and asked for again from inside AfterCapture, once.
struct ReenteringSink final : CaptureSink {
    ChatDetector* detector = nullptr;
    std::set<HWND> captured;
    int added = 0;
    bool asking = false;
    std::optional<bool> askedAgain;
    bool IsCaptured(HWND window) const override { return captured.contains(window); }
    bool AddTab(HWND window, const Recognition&) override {
        ++added;
        captured.insert(window);
        return true;
    }
    void AfterCapture() override {
        if (asking) return;
        asking = true;
        const HWND window = *captured.begin();
        captured.erase(window);
        askedAgain = detector->DetectWindow(window, false);
    }
    void AfterScan() override {}
};

TEST(ChatDetector, AWindowAskedForAgainWhileItsCaptureEndsIsTakenAgain) {
    const HWND real = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(real, nullptr);
    testing::FakeWindowTree tree;
    tree.AddAs(FromHwnd(real), {L"#32770", L"与 张三 交谈中", WS_VISIBLE, 0, 7, 1});
    const std::vector<std::uint32_t> clients{7};
    ReenteringSink sink;
    ChatDetector detector(tree, [&] { return std::span<const std::uint32_t>(clients); }, sink);
    sink.detector = &detector;

    EXPECT_TRUE(detector.DetectWindow(real, false));
    ASSERT_TRUE(sink.askedAgain.has_value());
    EXPECT_TRUE(*sink.askedAgain);
    EXPECT_EQ(sink.added, 2);
    EXPECT_TRUE(sink.IsCaptured(real));
    // Captured, it is not taken a third time.
    EXPECT_FALSE(detector.DetectWindow(real, false));
    ::DestroyWindow(real);
}

}  // namespace
}  // namespace parlix::test
