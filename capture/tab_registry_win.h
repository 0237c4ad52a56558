// The Win32 resources of the tab registry's nodes: the icon surface, a memory drawing context
// compatible with picWin's with a 32 x 32 bitmap selected into it, and the adopted process handle.
#pragma once

#include "capture/tab_registry.h"
#include "contract/im_window.h"

#include <windows.h>

#include <memory>

namespace parlix {

inline constexpr int kNodeIconSize = 32;

class GdiNodeResourceFactory final : public NodeResourceFactory {
  public:
    // Surfaces are made compatible with the device context of surfaceWindow (picWin); null
    // means the screen.
    explicit GdiNodeResourceFactory(HWND surfaceWindow) noexcept : surfaceWindow_(surfaceWindow) {}
    [[nodiscard]] std::unique_ptr<NodeResources> Create() override;

  private:
    HWND surfaceWindow_;
};

// Draws icon at (0, 0) into the record's icon surface. False when there is no surface or no icon.
bool DrawWindowIcon(const IMWindow& window, HICON icon) noexcept;

} // namespace parlix
