// What a captured window gets back when it leaves Parlix (place, size, styles, opacity), and how
// that record is carried by the window itself: a few 32-bit window properties, so that a later
// run of Parlix can still give the window back when the run that captured it ended without
// doing so.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace parlix {

struct GiveBackRecord {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint32_t style = 0;
    std::uint32_t exStyle = 0;
    std::int32_t alpha = -1;  // the window's own opacity when it was translucent, else -1 (opaque)

    friend bool operator==(const GiveBackRecord&, const GiveBackRecord&) = default;
};

// The property names of a mark, in the order of MarkValues. A property value 0 reads as
// "absent", so every value that must be told apart from absence is kept non-zero.
inline constexpr const wchar_t* kMarkProps[] = {L"Parlix.Owner",   L"Parlix.Place",   L"Parlix.Size",
                                                L"Parlix.Style",   L"Parlix.ExStyle", L"Parlix.Alpha"};
using MarkValues = std::array<std::uint32_t, 6>;

// The mark of a window captured by the Parlix process ownerPid (not 0). Positions are kept as
// 16-bit signed values and sizes as 16-bit unsigned ones, the range of screen coordinates.
[[nodiscard]] MarkValues PackMark(const GiveBackRecord& record, std::uint32_t ownerPid) noexcept;

struct Mark {
    std::uint32_t ownerPid = 0;
    GiveBackRecord record;
};
// nullopt when the values are not a mark: no owner, or an empty size.
[[nodiscard]] std::optional<Mark> UnpackMark(const MarkValues& values) noexcept;

}  // namespace parlix
