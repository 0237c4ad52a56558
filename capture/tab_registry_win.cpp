#include "capture/tab_registry_win.h"

#include "base/scoped_win.h"

#include "base/handle_value_win.h"

#include <cstdint>
#include <optional>

namespace parlix {
namespace {

class GdiNodeResources final : public NodeResources {
  public:
    explicit GdiNodeResources(HDC compatibleWith) noexcept
        : dc_(::CreateCompatibleDC(compatibleWith)),
          bitmap_(::CreateCompatibleBitmap(compatibleWith, kNodeIconSize, kNodeIconSize)) {
        if (dc_ && bitmap_) selection_.emplace(dc_.get(), bitmap_.get());
    }

    HandleValue IconDc() const noexcept override { return ToValue(dc_.get()); }
    HandleValue IconBitmap() const noexcept override { return ToValue(bitmap_.get()); }
    void AdoptProcess(HandleValue process) noexcept override { process_.reset(FromValue<HANDLE>(process)); }
    HandleValue Process() const noexcept override { return ToValue(process_.get()); }

  private:
    // Destroyed in reverse order: the bitmap is selected out, then deleted, then its context.
    ScopedMemoryDc dc_;
    ScopedBitmap bitmap_;
    std::optional<ScopedSelect> selection_;
    ScopedHandle process_;
};

} // namespace

std::unique_ptr<NodeResources> GdiNodeResourceFactory::Create() {
    const ScopedWindowDc surface(surfaceWindow_);
    return std::make_unique<GdiNodeResources>(surface.get());
}

bool DrawWindowIcon(const IMWindow& window, HICON icon) noexcept {
    const HDC dc = FromValue<HDC>(static_cast<std::uint32_t>(window.hDC));
    if (!dc || !icon) return false;
    return ::DrawIcon(dc, 0, 0, icon) != FALSE;
}

} // namespace parlix
