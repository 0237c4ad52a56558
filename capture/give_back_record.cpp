#include "capture/give_back_record.h"

namespace parlix {

namespace {
std::uint32_t Pair(std::int32_t low, std::int32_t high) noexcept {
    return (static_cast<std::uint32_t>(low) & 0xFFFFu) | ((static_cast<std::uint32_t>(high) & 0xFFFFu) << 16);
}
std::int32_t SignedLow(std::uint32_t v) noexcept { return static_cast<std::int16_t>(v & 0xFFFFu); }
std::int32_t SignedHigh(std::uint32_t v) noexcept { return static_cast<std::int16_t>(v >> 16); }
}  // namespace

MarkValues PackMark(const GiveBackRecord& r, std::uint32_t ownerPid) noexcept {
    return {ownerPid,
            Pair(r.x, r.y),
            Pair(r.width, r.height),
            r.style,
            r.exStyle,
            r.alpha >= 0 && r.alpha <= 255 ? static_cast<std::uint32_t>(r.alpha) + 1 : 0u};
}

std::optional<Mark> UnpackMark(const MarkValues& v) noexcept {
    Mark m;
    m.ownerPid = v[0];
    GiveBackRecord& r = m.record;
    r.x = SignedLow(v[1]);
    r.y = SignedHigh(v[1]);
    r.width = static_cast<std::int32_t>(v[2] & 0xFFFFu);
    r.height = static_cast<std::int32_t>(v[2] >> 16);
    r.style = v[3];
    r.exStyle = v[4];
    r.alpha = v[5] >= 1 && v[5] <= 256 ? static_cast<std::int32_t>(v[5]) - 1 : -1;
    if (m.ownerPid == 0 || r.width <= 0 || r.height <= 0) return std::nullopt;
    return m;
}

}  // namespace parlix
