// A saved drawing: the shapes' records in collection order, one per line (see Shape::Save), no
// header. Reading checks the whole text before anything is used, so a truncated or hostile file
// is refused as a whole with a message saying what is wrong, and the caller's drawing stays as
// it was. Every size read is bounded: the file, the number of records, each record, each value.
#pragma once

#include "plugins/doodle/draw_object.h"

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace parlix::doodle {

inline constexpr std::size_t kMaxDrawingBytes = std::size_t{4} << 20;
inline constexpr std::size_t kMaxDrawingShapes = 100000;
// Six values of at most 11 characters with their commas, and room for spaces.
inline constexpr std::size_t kMaxRecordChars = 96;

struct DrawingRead {
    std::vector<std::shared_ptr<Shape>> shapes;  // in file order; empty on failure
    std::wstring error;                          // empty when the whole text was read
    [[nodiscard]] bool ok() const noexcept { return error.empty(); }
};

[[nodiscard]] DrawingRead ReadDrawing(std::string_view file);
[[nodiscard]] std::string WriteDrawing(const DrawObject& shapes);

}  // namespace parlix::doodle
