// The mark a captured window carries: what to restore, packed into 32-bit window properties.
#include "capture/give_back_record.h"

#include <gtest/gtest.h>

namespace parlix {
namespace {

TEST(GiveBackMark, EveryRecordComesBackAsItWasPacked) {
    const GiveBackRecord cases[] = {
        {300, 200, 480, 400, 0x16CF0000u, 0x00000100u, -1},            // opaque, on screen
        {-1920, -8, 1280, 1024, 0x94C80000u, 0x00080000u, 160},        // translucent, left monitor
        {0, 0, 1, 1, 0, 0, 0},                                          // fully transparent at the origin
        {32767, -32768, 65535, 65535, 0xFFFFFFFFu, 0xFFFFFFFFu, 255},  // the ends of the ranges
    };
    for (const GiveBackRecord& r : cases) {
        SCOPED_TRACE(r.x);
        const auto mark = UnpackMark(PackMark(r, 4242));
        ASSERT_TRUE(mark.has_value());
        EXPECT_EQ(mark->ownerPid, 4242u);
        EXPECT_EQ(mark->record, r);
    }
}

TEST(GiveBackMark, ValuesWithoutOwnerOrSizeAreNoMark) {
    const GiveBackRecord r{10, 20, 300, 200, 0x16CF0000u, 0, -1};
    EXPECT_FALSE(UnpackMark(PackMark(r, 0)).has_value());
    EXPECT_FALSE(UnpackMark(PackMark({10, 20, 0, 200, 0, 0, -1}, 7)).has_value());
    EXPECT_FALSE(UnpackMark(MarkValues{}).has_value());
}

}  // namespace
}  // namespace parlix
