#include "ui/tab_icon_cache_win.h"

#include "ui/icon_scale.h"

#include <algorithm>
#include <cstring>
#include <span>

namespace parlix {
namespace {

// A top-down 32-bit surface of side × side pixels; bits receives where they are.
HBITMAP MakeSurface(int side, std::uint32_t** bits) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), side, -side, 1, 32, BI_RGB};
    void* memory = nullptr;
    const HBITMAP bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &memory, nullptr, 0);
    *bits = bitmap ? static_cast<std::uint32_t*>(memory) : nullptr;
    return bitmap;
}

constexpr std::size_t kPixels = static_cast<std::size_t>(TabIconCache::kSide) * TabIconCache::kSide;

}  // namespace

TabIconCache::TabIconCache()
    : readDc_(::CreateCompatibleDC(nullptr)), readBitmap_(MakeSurface(kSide, &readBits_)) {
    if (readDc_ && readBitmap_) readSelection_.emplace(readDc_.get(), readBitmap_.get());
}

bool TabIconCache::Draw(HDC dest, HDC surface, int x, int y, int size) {
    if (!readSelection_ || !surface || size <= 0) return false;
    if (!::BitBlt(readDc_.get(), 0, 0, kSide, kSide, surface, 0, 0, SRCCOPY)) return false;
    ::GdiFlush();
    Icon& icon = icons_[surface];
    const bool same = icon.size == size && icon.source.size() == kPixels &&
                      std::memcmp(icon.source.data(), readBits_, kPixels * sizeof(std::uint32_t)) == 0;
    if (!same && !Make(icon, size)) {
        icons_.erase(surface);
        return false;
    }
    icon.used = ++clock_;
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    return ::GdiAlphaBlend(dest, x, y, size, size, icon.dc.get(), 0, 0, size, size, blend) != FALSE;
}

bool TabIconCache::Make(Icon& icon, int size) {
    icon.source.assign(readBits_, readBits_ + kPixels);
    const std::vector<std::uint32_t> pixels = paint::KeyedIcon(icon.source, kSide, size, 0);
    icon.selection.reset();
    icon.size = 0;
    std::uint32_t* bits = nullptr;
    icon.bitmap.reset(MakeSurface(size, &bits));
    if (!icon.dc) icon.dc.reset(::CreateCompatibleDC(nullptr));
    if (!bits || !icon.dc || pixels.empty()) return false;
    std::copy(pixels.begin(), pixels.end(), bits);
    icon.selection.emplace(icon.dc.get(), icon.bitmap.get());
    icon.size = size;
    return true;
}

void TabIconCache::Trim(std::size_t keep) {
    if (icons_.size() <= keep) return;
    if (keep == 0) {
        icons_.clear();
        return;
    }
    std::vector<std::uint64_t> ages;
    ages.reserve(icons_.size());
    for (const auto& [dc, icon] : icons_) ages.push_back(icon.used);
    std::nth_element(ages.begin(), ages.end() - static_cast<std::ptrdiff_t>(keep), ages.end());
    const std::uint64_t oldestKept = *(ages.end() - static_cast<std::ptrdiff_t>(keep));
    std::erase_if(icons_, [&](const auto& entry) { return entry.second.used < oldestKept; });
}

}  // namespace parlix
