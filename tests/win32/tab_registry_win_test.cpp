// The registry nodes' real resources: the icon surface is a memory context with a 32 x 32 bitmap
// selected into it, everything a node owns is gone once its last reference goes, and no GDI
// object is left behind.
#include "capture/tab_registry_win.h"

#include "base/scoped_win.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

namespace parlix::test {
namespace {

template <typename H> H ToHandle(std::int32_t value) {
    return reinterpret_cast<H>(static_cast<std::uintptr_t>(static_cast<std::uint32_t>(value)));
}

// The window the surfaces are made compatible with, as picWin is in the main window.
class TabRegistryWin : public testing::Test {
  protected:
    void SetUp() override {
        picWin_.reset(::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr,
                                        ::GetModuleHandleW(nullptr), nullptr));
        ASSERT_TRUE(picWin_);
    }
    ScopedOwnWindow picWin_;
};

// A 16 x 16 opaque icon of one colour.
ScopedIcon SolidIcon(COLORREF colour) {
    const ScopedWindowDc screen(nullptr);
    ScopedBitmap colourBits(::CreateCompatibleBitmap(screen.get(), 16, 16));
    ScopedBitmap mask(::CreateBitmap(16, 16, 1, 1, nullptr));
    {
        const ScopedMemoryDc dc(::CreateCompatibleDC(screen.get()));
        const ScopedSelect select(dc.get(), colourBits.get());
        const ScopedBrush brush(::CreateSolidBrush(colour));
        const RECT all{0, 0, 16, 16};
        ::FillRect(dc.get(), &all, brush.get());
        const ScopedSelect selectMask(dc.get(), mask.get());
        ::PatBlt(dc.get(), 0, 0, 16, 16, BLACKNESS); // mask 0: the colour shows everywhere
    }
    ICONINFO info{TRUE, 0, 0, mask.get(), colourBits.get()};
    return ScopedIcon(::CreateIconIndirect(&info));
}

TEST_F(TabRegistryWin, NodeSurfaceIsAMemoryContextWithA32By32BitmapSelected) {
    GdiNodeResourceFactory factory(picWin_.get());
    TabRegistry registry(factory);
    for (const auto& node : {registry.CreateNode(), registry.GetNode(0)}) {
        const HDC dc = ToHandle<HDC>(node->window.hDC);
        ASSERT_EQ(::GetObjectType(dc), static_cast<DWORD>(OBJ_MEMDC));
        const HGDIOBJ selected = ::GetCurrentObject(dc, OBJ_BITMAP);
        EXPECT_EQ(selected, ToHandle<HGDIOBJ>(node->window.hBMP));
        BITMAP bitmap{};
        ASSERT_EQ(::GetObjectW(selected, sizeof bitmap, &bitmap), static_cast<int>(sizeof bitmap));
        EXPECT_EQ(bitmap.bmWidth, 32);
        EXPECT_EQ(bitmap.bmHeight, 32);
        // Compatible with the window's context, not with the memory context (which is monochrome).
        const ScopedWindowDc windowDc(picWin_.get());
        EXPECT_EQ(bitmap.bmBitsPixel, ::GetDeviceCaps(windowDc.get(), BITSPIXEL));
    }
}

TEST_F(TabRegistryWin, RemovedNodeDeletesItsSurfaceWhenTheLastReferenceGoes) {
    GdiNodeResourceFactory factory(picWin_.get());
    TabRegistry registry(factory);
    ASSERT_TRUE(registry.InsertNode(registry.CreateNode()));
    auto closing = registry.DelNode(1);
    const HDC dc = ToHandle<HDC>(closing->window.hDC);
    const HGDIOBJ bitmap = ToHandle<HGDIOBJ>(closing->window.hBMP);
    EXPECT_NE(::GetObjectType(dc), 0u); // still in use by the closing code
    closing.reset();
    EXPECT_EQ(::GetObjectType(bitmap), 0u);
    EXPECT_EQ(::GetObjectType(dc), 0u);
}

// Windows counts the process's GDI objects; Wine answers 0 to GetGuiResources, so there the check
// of every surface handle is what finds a leak.
TEST_F(TabRegistryWin, TwoHundredNodesComingAndGoingLeaveNoGdiObjectBehind) {
    const DWORD start = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
    {
        GdiNodeResourceFactory factory(picWin_.get());
        TabRegistry registry(factory);
        std::vector<std::pair<HGDIOBJ, HGDIOBJ>> surfaces;
        for (int i = 0; i < 200; ++i) {
            const auto node = registry.CreateNode();
            ASSERT_NE(node->window.hDC, 0);
            ASSERT_NE(node->window.hBMP, 0);
            surfaces.emplace_back(ToHandle<HGDIOBJ>(node->window.hDC), ToHandle<HGDIOBJ>(node->window.hBMP));
            ASSERT_TRUE(registry.InsertNode(node));
        }
        ASSERT_TRUE(registry.MoveNode(1, 201));
        // Remove from both ends and the middle, as tab closes do.
        for (int pos : {200, 1, 100})
            registry.DelNode(pos);
        while (registry.count() > 0)
            registry.DelNode(registry.count());
        int alive = 0;
        for (const auto& [dc, bitmap] : surfaces)
            alive += (::GetObjectType(dc) != 0) + (::GetObjectType(bitmap) != 0);
        EXPECT_EQ(alive, 0);
    }
    EXPECT_EQ(::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS), start);
}

TEST_F(TabRegistryWin, AdoptedProcessHandleIsClosedWhenReplacedOrWithItsNode) {
    const auto openSelf = [] {
        return ::OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, ::GetCurrentProcessId());
    };
    const auto value = [](HANDLE h) { return static_cast<HandleValue>(reinterpret_cast<std::uintptr_t>(h)); };
    const auto isOpen = [](HANDLE h) {
        DWORD flags = 0;
        return ::GetHandleInformation(h, &flags) != FALSE;
    };
    GdiNodeResourceFactory factory(picWin_.get());
    TabRegistry registry(factory);
    auto node = registry.CreateNode();
    ASSERT_TRUE(registry.InsertNode(node));
    const HANDLE first = openSelf();
    const HANDLE second = openSelf();
    ASSERT_TRUE(first && second);

    node->AdoptProcess(value(first));
    node->AdoptProcess(value(second));
    EXPECT_FALSE(isOpen(first));
    EXPECT_EQ(node->pHandle(), value(second));

    registry.DelNode(1);
    EXPECT_TRUE(isOpen(second)); // our reference keeps the node
    node.reset();
    EXPECT_FALSE(isOpen(second));
}

TEST_F(TabRegistryWin, WindowIconIsDrawnAtTheTopLeftOfTheSurface) {
    GdiNodeResourceFactory factory(picWin_.get());
    TabRegistry registry(factory);
    const auto node = registry.CreateNode();
    const HDC dc = ToHandle<HDC>(node->window.hDC);
    const RECT all{0, 0, 32, 32};
    ::FillRect(dc, &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    const ScopedIcon icon = SolidIcon(RGB(255, 0, 0));
    ASSERT_TRUE(icon);

    EXPECT_FALSE(DrawWindowIcon(IMWindow{}, icon.get())); // a record without a surface
    EXPECT_TRUE(DrawWindowIcon(node->window, icon.get()));
    EXPECT_EQ(::GetPixel(dc, 0, 0), RGB(255, 0, 0));
    EXPECT_EQ(::GetPixel(dc, 8, 8), RGB(255, 0, 0));
}

} // namespace
} // namespace parlix::test
