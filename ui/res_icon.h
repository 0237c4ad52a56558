// The byte size of one icon image as an icon resource stores it: the check LoadResIcon makes
// before handing the bytes to the system.
#pragma once

#include <cstddef>
#include <optional>

namespace parlix {

// size: 16, 24, 32 or 48 pixels; depth: 4, 16 (meaning 8 bits per pixel), 24 or 32. Any other
// value has no image size.
[[nodiscard]] std::optional<std::size_t> IconImageBytes(int size, int depth);

}  // namespace parlix
